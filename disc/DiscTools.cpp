#include "disc/DiscTools.h"

#include <algorithm>
#include <cstring>

#include "framework/core/OperationError.h"

IMPLEMENT_DYNAMIC(CDiscTools, CObject)

namespace {

const DWORD kIoctlStopAudio = 0x24008;
const DWORD kIoctlPassThroughDirect = 0x4D014;
const DWORD kIoctlReadToc = 0x24000;

// The SCSI pass-through request as the system expects it on 32-bit Windows:
// a 44-byte header and the sense area behind it, 80 bytes in all.
struct PassThroughDirect {
    USHORT length;
    UCHAR scsiStatus;
    UCHAR pathId;
    UCHAR targetId;
    UCHAR lun;
    UCHAR cdbLength;
    UCHAR senseInfoLength;
    UCHAR dataIn;
    ULONG dataTransferLength;
    ULONG timeOutValue;
    void* dataBuffer;
    ULONG senseInfoOffset;
    UCHAR cdb[16];
};
struct PassThroughRequest {
    PassThroughDirect sptd;
    ULONG filler;
    UCHAR sense[32];
};
#ifndef _WIN64
static_assert(sizeof(PassThroughDirect) == 44, "pass-through header is 44 bytes");
static_assert(sizeof(PassThroughRequest) == 80, "pass-through request is 80 bytes");
#endif

// ASPI requests (byte-packed as the interface defines them).
#pragma pack(push, 1)
struct SrbHeader {
    BYTE cmd;
    BYTE status;
    BYTE haId;
    BYTE flags;
    DWORD reserved;
};
struct SrbHaInquiry {
    SrbHeader h;
    BYTE haCount;
    BYTE haScsiId;
    BYTE managerId[16];
    BYTE identifier[16];
    BYTE unique[16];
    WORD reserved;
};
struct SrbGetDeviceType {
    SrbHeader h;
    BYTE target;
    BYTE lun;
    BYTE deviceType;
    BYTE reserved;
};
struct SrbExecute {
    SrbHeader h;
    BYTE target;
    BYTE lun;
    WORD reserved1;
    DWORD bufLen;
    BYTE* bufPointer;
    BYTE senseLen;
    BYTE cdbLen;
    BYTE haStat;
    BYTE targStat;
    void* postProc;
    BYTE reserved2[20];
    BYTE cdb[16];
    BYTE sense[16];
};
#pragma pack(pop)
#ifndef _WIN64
static_assert(sizeof(SrbExecute) == 80, "ASPI execute request is 80 bytes");
#endif

const BYTE kAspiStatusDone = 1;
const BYTE kAspiStatusNoAdapters = 0xE8;
const BYTE kAspiFlags = 0x48;  // data in, event notification
const DWORD kAspiWaitMs = 10000;

// INQUIRY reply shared by every instance; used only while drives are listed.
BYTE g_inquiryBuffer[64];

int SecondsOf(const BYTE* pToc, int descriptor) {
    const BYTE* d = pToc + 4 + 8 * descriptor;
    return d[5] * 60 + d[6];
}

long FramesOf(const BYTE* pToc, int descriptor) {
    const BYTE* d = pToc + 4 + 8 * descriptor;
    return (long)(d[5] * 60 + d[6]) * 75 + d[7];
}

CString RemoveBlanks(const CString& s) {
    CString out = s;
    out.Remove(' ');
    return out;
}

// The text of a registry value read into a 2048-byte buffer; empty on failure.
CString ReadRegText(CDiscDeviceApi* pApi, HKEY hKey, LPCSTR pszValue) {
    BYTE data[2048];
    DWORD size = sizeof(data) - 1;
    if (pApi->RegQuery(hKey, pszValue, data, &size) != ERROR_SUCCESS) return CString();
    if (size > sizeof(data) - 1) size = sizeof(data) - 1;
    data[size] = 0;
    return CString((LPCSTR)data);
}

}  // namespace

CDiscTools::CDiscTools() : CDiscTools(CDiscDeviceApi::GetCurrent()) {}

CDiscTools::CDiscTools(CDiscDeviceApi* pApi) : m_pApi(pApi) {
    memset(m_cdText, 0, sizeof(m_cdText));
}

CDiscTools::~CDiscTools() {
    FreeDrives();
    for (DriveInfo* p : m_registryDrives) delete p;
    m_registryDrives.clear();
}

int CDiscTools::ComputeSystemCode() {
    DWORD platform = 0, major = 0, minor = 0;
    if (!m_pApi->QueryVersion(&platform, &major, &minor)) return 0;
    if (platform == VER_PLATFORM_WIN32_WINDOWS) return minor == 0 ? 1 : 2;
    if (platform == VER_PLATFORM_WIN32_NT) {
        if (major == 3 && minor >= 50) return 3;
        if (major == 4) return 4;
        if (major == 5) return 5;
        return 6;
    }
    return 0;
}

bool CDiscTools::Init() {
    return GuardOperation<bool>(9101, false, [&]() -> bool {
        if (m_initialised) return false;
        m_systemCode = ComputeSystemCode();
        if (m_systemCode < 4) {
            int loaded = m_pApi->LoadAspi();
            if (loaded == 1) {
                m_pApi->ShowPlainMessage("Error: WNASPI32.DLL could not be found.");
                return false;
            }
            if (loaded != 0) {
                m_pApi->ShowPlainMessage("Error: ASPI functions not supported.");
                return false;
            }
            BuildAspiDrives();
        } else {
            BuildPassThroughDrives();
        }
        m_initialised = 1;
        return true;
    });
}

bool CDiscTools::InitFrom(const CDiscTools& source) {
    return GuardOperation(9105, false, [&]() -> bool {
        if (m_initialised || !source.m_initialised) return false;
        m_systemCode = source.m_systemCode;
        for (const DriveInfo* d : source.m_drives)
            if (d) m_drives.push_back(new DriveInfo(*d));
        m_initialised = 1;
        return true;
    });
}

int CDiscTools::GetDriveCount() const {
    return m_initialised ? (int)m_drives.size() : 0;
}

CString CDiscTools::GetDriveLabel(int index) const {
    if (!m_initialised || index < 0 || index >= (int)m_drives.size() || !m_drives[index]) return CString();
    return m_drives[index]->label;
}

void CDiscTools::FreeDrives() {
    // The records go and so do the pointers to them: a label asked for after this
    // must not reach a deleted record.
    for (DriveInfo* p : m_drives) delete p;
    m_drives.clear();
}

void CDiscTools::BuildPassThroughDrives() {
    char root[4] = "A:\\";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        root[0] = letter;
        if (m_pApi->QueryDriveType(root) == DRIVE_CDROM) {
            DriveInfo* p = new DriveInfo;
            p->label = CString(root, 2);
            m_drives.push_back(p);
        }
    }
}

// ---------------------------------------------------------------------------
// Windows 9x: drives through ASPI, letters from the registry.

void CDiscTools::BuildAspiDrives() {
    ScanAspiBus();
    ReadRegistryDrives();
    MatchDriveLetters();
    std::stable_sort(m_drives.begin(), m_drives.end(),
                     [](const DriveInfo* a, const DriveInfo* b) { return strcmp(a->label, b->label) < 0; });
}

void CDiscTools::ScanAspiBus() {
    DWORD info = m_pApi->GetASPI32SupportInfo();
    BYTE status = (BYTE)((info >> 8) & 0xFF);
    int adapters = (status == kAspiStatusDone || status == kAspiStatusNoAdapters) ? (int)(info & 0xFF) : 0;
    for (int ha = 0; ha < adapters; ++ha) {
        SrbHaInquiry inq;
        memset(&inq, 0, sizeof(inq));
        inq.h.cmd = 0;
        inq.h.haId = (BYTE)ha;
        m_pApi->SendASPI32Command(&inq);
        if (inq.h.status != kAspiStatusDone) continue;
        for (int target = 0; target < 8; ++target) {
            for (int lun = 0; lun < 8; ++lun) {
                SrbGetDeviceType dev;
                memset(&dev, 0, sizeof(dev));
                dev.h.cmd = 1;
                dev.h.haId = (BYTE)ha;
                dev.target = (BYTE)target;
                dev.lun = (BYTE)lun;
                m_pApi->SendASPI32Command(&dev);
                if (dev.h.status != kAspiStatusDone || dev.deviceType != 5) continue;
                DriveInfo* p = new DriveInfo;
                p->adapter = (BYTE)ha;
                p->target = (BYTE)target;
                p->lun = (BYTE)lun;
                // INQUIRY for the vendor and product name.
                memset(g_inquiryBuffer, 0, sizeof(g_inquiryBuffer));
                BYTE cdb[6] = {0x12, (BYTE)(lun << 5), 0, 0, 36, 0};
                SrbExecute srb;
                memset(&srb, 0, sizeof(srb));
                srb.h.cmd = 2;
                srb.h.haId = (BYTE)ha;
                srb.h.flags = kAspiFlags;
                srb.target = (BYTE)target;
                srb.lun = (BYTE)lun;
                srb.bufLen = 37;
                srb.bufPointer = g_inquiryBuffer;
                srb.senseLen = 14;
                srb.cdbLen = 6;
                memcpy(srb.cdb, cdb, sizeof(cdb));
                HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
                srb.postProc = ev;
                if (m_pApi->SendASPI32Command(&srb) == 0 && ev) m_pApi->WaitForEvent(ev, kAspiWaitMs);
                if (ev) CloseHandle(ev);
                if (srb.h.status == kAspiStatusDone) {
                    const char* text = (const char*)g_inquiryBuffer + 8;
                    int len = 0;
                    while (len < 24 && text[len]) ++len;
                    p->name = CString(text, len);
                }
                p->compactName = RemoveBlanks(p->name);
                m_drives.push_back(p);
            }
        }
    }
}

void CDiscTools::ReadRegistryDrives() {
    HKEY hEnum = nullptr;
    if (m_pApi->RegOpen(HKEY_DYN_DATA, "Config Manager\\Enum", &hEnum) != ERROR_SUCCESS) {
        m_pApi->ShowPlainMessage("Error getting drive letters, the registry may be corrupt.");
        return;
    }
    char subName[2048];
    for (DWORD i = 0; m_pApi->RegEnum(hEnum, i, subName, sizeof(subName)) == ERROR_SUCCESS; ++i) {
        subName[sizeof(subName) - 1] = 0;
        HKEY hSub = nullptr;
        if (m_pApi->RegOpen(hEnum, subName, &hSub) != ERROR_SUCCESS) continue;
        CString hardwareKey = ReadRegText(m_pApi, hSub, "HardWareKey");
        m_pApi->RegClose(hSub);
        if (hardwareKey.Left(4) != "SCSI") continue;
        HKEY hDev = nullptr;
        if (m_pApi->RegOpen(HKEY_LOCAL_MACHINE, CString("Enum\\") + hardwareKey, &hDev) != ERROR_SUCCESS)
            continue;
        BYTE type[2048];
        DWORD size = sizeof(type);
        bool isCd = false;
        if (m_pApi->RegQuery(hDev, "DeviceType", type, &size) == ERROR_SUCCESS && size > 0) {
            // Stored as a byte on most systems, as the text "5" on some.
            isCd = type[0] == 5 || (type[0] == '5' && (size < 2 || type[1] == 0));
        }
        if (isCd) {
            DriveInfo* p = new DriveInfo;
            p->label = ReadRegText(m_pApi, hDev, "CurrentDriveLetterAssignment") + ":";
            p->lun = (BYTE)atoi(ReadRegText(m_pApi, hDev, "SCSILUN"));
            p->target = (BYTE)atoi(ReadRegText(m_pApi, hDev, "SCSITargetID"));
            p->name = ReadRegText(m_pApi, hDev, "DeviceDesc");
            p->compactName = RemoveBlanks(p->name);
            m_registryDrives.push_back(p);
        }
        m_pApi->RegClose(hDev);
    }
    m_pApi->RegClose(hEnum);
}

void CDiscTools::MatchDriveLetters() {
    auto allLabelled = [this]() {
        for (DriveInfo* d : m_drives)
            if (d->label.IsEmpty()) return false;
        return true;
    };
    // 1. Same name (or one containing the other) on the same target and unit.
    for (DriveInfo* d : m_drives) {
        if (!d->label.IsEmpty()) continue;
        for (DriveInfo* r : m_registryDrives) {
            bool nameMatch = r->compactName == d->compactName || r->compactName.Find(d->compactName) >= 0 ||
                             d->compactName.Find(r->compactName) >= 0;
            if (nameMatch && r->target == d->target && r->lun == d->lun) {
                d->label = r->label;
                break;
            }
        }
    }
    if (allLabelled()) return;
    // 2. Same target and unit; the record is then used up.
    for (DriveInfo* d : m_drives) {
        if (!d->label.IsEmpty()) continue;
        for (DriveInfo* r : m_registryDrives) {
            if (r->target == d->target && r->lun == d->lun) {
                d->label = r->label;
                r->target = 9;
                r->lun = 9;
                break;
            }
        }
    }
    if (allLabelled()) return;
    // 3. The CD letters of the system that no drive holds yet, in order.
    std::vector<CString> letters;
    char root[4] = "A:\\";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        root[0] = letter;
        if (m_pApi->QueryDriveType(root) == DRIVE_CDROM) letters.push_back(CString(root, 2));
    }
    for (DriveInfo* d : m_drives) {
        if (d->label.IsEmpty()) continue;
        letters.erase(std::remove(letters.begin(), letters.end(), d->label), letters.end());
    }
    for (DriveInfo* d : m_drives) {
        if (!d->label.IsEmpty() || letters.empty()) continue;
        d->label = letters.front();
        letters.erase(letters.begin());
    }
    if (allLabelled()) return;
    // 4. The name itself.
    for (DriveInfo* d : m_drives) {
        if (!d->label.IsEmpty()) continue;
        CString label = d->name;
        label.TrimRight(' ');
        label.Replace("  ", " ");
        label.Replace("  ", " ");
        d->label = label;
    }
}

// ---------------------------------------------------------------------------
// Reading the table of contents.

int CDiscTools::ReadToc(int driveIndex, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo) {
    return GuardOperation<int>(9102, -1, [&]() -> int {
        if (!m_initialised || !pToc || driveIndex < 0 || driveIndex >= (int)m_drives.size()) return -1;
        const DriveInfo& drive = *m_drives[driveIndex];
        int result = m_systemCode >= 4 ? ReadTocPassThrough(drive, pToc, wantCdText, pInfo)
                                       : ReadTocAspi(drive, pToc, wantCdText, pInfo);
        bool read = m_systemCode >= 4 ? result == 1 : result == 0;
        if (read && !IsTocUsable(pToc)) {
            // Whatever the drive sent, the caller must see a disc without a usable
            // table of contents rather than walk descriptors that are not there.
            memset(pToc, 0, 4);
            return -1;
        }
        return result;
    });
}

HANDLE CDiscTools::OpenDrive(const DriveInfo& drive) {
    CString path = CString("\\\\.\\") + drive.label;
    DWORD access = m_systemCode >= 5 ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ;
    HANDLE h = m_pApi->OpenDevice(path, access, FILE_SHARE_READ, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE)
        h = m_pApi->OpenDevice(path, MAXIMUM_ALLOWED, FILE_SHARE_READ, OPEN_EXISTING);
    return h;
}

bool CDiscTools::SendPassThrough(HANDLE h, BYTE* pBuffer, DWORD length, DWORD timeoutSeconds, BYTE format) {
    PassThroughRequest req;
    memset(&req, 0, sizeof(req));
    req.sptd.length = sizeof(PassThroughDirect);
    req.sptd.cdbLength = 10;
    req.sptd.senseInfoLength = sizeof(req.sense);
    req.sptd.dataIn = 1;
    req.sptd.dataTransferLength = length;
    req.sptd.timeOutValue = timeoutSeconds;
    req.sptd.dataBuffer = pBuffer;
    req.sptd.senseInfoOffset = offsetof(PassThroughRequest, sense);
    req.sptd.cdb[0] = 0x43;
    req.sptd.cdb[1] = 2;
    req.sptd.cdb[2] = format;
    req.sptd.cdb[7] = (BYTE)(length >> 8);
    req.sptd.cdb[8] = (BYTE)(length & 0xFF);
    DWORD returned = 0;
    return m_pApi->IoControl(h, kIoctlPassThroughDirect, &req, sizeof(req), &req, sizeof(req), &returned) !=
           0;
}

int CDiscTools::ReadTocPassThrough(const DriveInfo& drive, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo) {
    try {
        bool done = false;
        HANDLE h = OpenDrive(drive);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD returned = 0;
            m_pApi->IoControl(h, kIoctlStopAudio, nullptr, 0, nullptr, 0, &returned);
            memset(pToc, 0, kTocSize);
            done = SendPassThrough(h, pToc, kTocSize, 5, 0);
            if (done && wantCdText) {
                memset(m_cdText, 0, sizeof(m_cdText));
                if (SendPassThrough(h, m_cdText, kCdTextSize, 10, 5) && pInfo) ParseCdText(m_cdText, pInfo);
            }
            m_pApi->CloseDevice(h);
        }
        if (done) return 1;
        // The drive or its driver does not take pass-through requests: ask the CD-ROM
        // class driver for the table of contents instead.
        h = OpenDrive(drive);
        if (h == INVALID_HANDLE_VALUE) return -1;
        DWORD returned = 0;
        m_pApi->IoControl(h, kIoctlStopAudio, nullptr, 0, nullptr, 0, &returned);
        memset(pToc, 0, kTocSize);
        BOOL ok = m_pApi->IoControl(h, kIoctlReadToc, nullptr, 0, pToc, kTocSize, &returned);
        m_pApi->CloseDevice(h);
        return ok ? 1 : -1;
    } catch (...) {
        return 0;
    }
}

bool CDiscTools::ExecuteAspi(const DriveInfo& drive, BYTE* pBuffer, DWORD length, BYTE cdbLength,
                             const BYTE* pCdb) {
    SrbExecute srb;
    memset(&srb, 0, sizeof(srb));
    srb.h.cmd = 2;
    srb.h.haId = drive.adapter;
    srb.h.flags = kAspiFlags;
    srb.target = drive.target;
    srb.lun = drive.lun;
    srb.bufLen = length;
    srb.bufPointer = pBuffer;
    srb.senseLen = 14;
    srb.cdbLen = cdbLength;
    memcpy(srb.cdb, pCdb, 10);
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (ev) ResetEvent(ev);
    srb.postProc = ev;
    if (m_pApi->SendASPI32Command(&srb) == 0 && ev) m_pApi->WaitForEvent(ev, kAspiWaitMs);
    if (ev) CloseHandle(ev);
    return srb.h.status == kAspiStatusDone;
}

int CDiscTools::ReadTocAspi(const DriveInfo& drive, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo) {
    try {
        BYTE pause[10] = {0x4B, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        ExecuteAspi(drive, m_cdText, kCdTextSize, 10, pause);
        BYTE readToc[10] = {0x43, 2, 0, 0, 0, 0, 0, (BYTE)(kTocSize >> 8), (BYTE)(kTocSize & 0xFF), 0};
        bool ok = ExecuteAspi(drive, pToc, kTocSize, 10, readToc);
        if (wantCdText) {
            BYTE readText[10] = {0x43, 2, 5, 0, 0, 0, 0, (BYTE)(kCdTextSize >> 8), (BYTE)(kCdTextSize & 0xFF),
                                 0};
            memset(m_cdText, 0, sizeof(m_cdText));
            if (ExecuteAspi(drive, m_cdText, kCdTextSize, 10, readText) && pInfo)
                ParseCdText(m_cdText, pInfo);
        }
        memset(m_cdText, 0, sizeof(m_cdText));
        return ok ? 0 : -1;
    } catch (...) {
        return 0;
    }
}

// ---------------------------------------------------------------------------
// The table of contents' numbers.

bool CDiscTools::IsTocUsable(const BYTE* pToc) {
    if (!pToc) return false;
    int dataLength = (pToc[0] << 8) | pToc[1];
    int first = pToc[2], last = pToc[3];
    if (first < 1 || first > last || last > 99) return false;
    int n = last - first + 1;
    // The length counts the bytes behind its own two; the lead-out is descriptor n.
    int needed = 2 + 8 * (n + 1);
    if (needed > dataLength || 4 + 8 * (n + 1) > kTocSize) return false;
    // A drive that reports a track starting where the one before it starts, or later than the
    // lead-out, gives no track lengths to trust.
    for (int i = 0; i < n; ++i)
        if (FramesOf(pToc, i + 1) <= FramesOf(pToc, i)) return false;
    return true;
}

int CDiscTools::DigitSum(int n) {
    int sum = 0;
    if (n < 0) n = -n;
    while (n > 0) {
        sum += n % 10;
        n /= 10;
    }
    return sum;
}

DWORD CDiscTools::ComputeDiscId(const BYTE* pToc) const {
    return GuardOperation<DWORD>(9103, 0, [&]() -> DWORD {
        if (!pToc || !IsTocUsable(pToc)) return 0;
        int n = pToc[3] - pToc[2] + 1;
        DWORD sum = 0;
        for (int i = 0; i < n; ++i) sum += (DWORD)DigitSum(SecondsOf(pToc, i));
        DWORD length = (DWORD)(SecondsOf(pToc, n) - SecondsOf(pToc, 0));
        return ((sum % 255) << 24) | (length << 8) | (DWORD)n;
    });
}

CString CDiscTools::BuildQueryCommand(const BYTE* pToc) const {
    return GuardOperation<CString>(9104, CString(), [&]() -> CString {
        if (!pToc || !IsTocUsable(pToc)) return CString();
        int n = pToc[3] - pToc[2] + 1;
        CString cmd;
        cmd.Format("cddb+query+%08lx+%d", (unsigned long)ComputeDiscId(pToc), n);
        for (int i = 0; i < n; ++i) cmd.AppendFormat("+%ld", FramesOf(pToc, i));
        cmd.AppendFormat("+%ld", (long)SecondsOf(pToc, n));
        return cmd;
    });
}

// ---------------------------------------------------------------------------
// CD-TEXT.

bool CDiscTools::ParseCdText(const BYTE* pBuffer, CdTextInfo* pInfo) {
    if (!pBuffer || !pInfo) return false;
    const int kMaxTrack = 99;
    const int kMaxText = 255;  // the running text holds 256 bytes with its terminator
    std::vector<CString> titles(1), performers(1);
    bool found = false;
    char running[kMaxText + 1];
    int length = 0;
    int lastType = -1;
    for (int pack = 0; pack < 255; ++pack) {
        int offset = 4 + 18 * pack;
        if (offset + 18 > kCdTextSize) break;
        const BYTE* p = pBuffer + offset;
        if (p[2] != pack) break;
        int type = p[0];
        int block = (p[3] >> 4) & 7;
        if (type < 0x80 || type > 0x85 || block != 0) continue;
        // A text never runs from one kind of pack into another.
        if (type != lastType) length = 0;
        lastType = type;
        int track = p[1];
        for (int i = 4; i < 16; ++i) {
            BYTE c = p[i];
            if (c != 0) {
                // A longer text is cut at the end of the running buffer.
                if (length < kMaxText) running[length++] = (char)c;
                continue;
            }
            running[length] = 0;
            CString text(running, length);
            length = 0;
            if (type == 0x82 || type == 0x83 || type == 0x84) continue;
            if (type == 0x85) {
                pInfo->message += text;
            } else if (track >= 0 && track <= kMaxTrack) {
                std::vector<CString>& list = type == 0x80 ? titles : performers;
                // The zero bytes that pad the last pack of a kind end no real text.
                if (!text.IsEmpty()) {
                    if (track == 0) {
                        (type == 0x80 ? pInfo->title : pInfo->performer) = text;
                    } else {
                        if ((int)list.size() <= track) list.resize(track + 1);
                        list[track] = text;
                    }
                    found = true;
                }
            }
            ++track;
        }
    }
    for (int n = 1; n < (int)titles.size(); ++n) {
        CString title = titles[n];
        if (n < (int)performers.size() && !performers[n].IsEmpty() && performers[n] != pInfo->performer) {
            CString joined;
            joined.Format("%s / %s", (LPCSTR)performers[n], (LPCSTR)titles[n]);
            title = joined;
        }
        if ((int)pInfo->tracks.size() <= n) pInfo->tracks.resize(n + 1);
        pInfo->tracks[n].title = title;
    }
    return found;
}
