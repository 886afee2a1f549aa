// A stand-in for the ASPI layer of Windows 9x (WNASPI32.DLL): one host adapter with one CD-ROM
// drive in it, holding a recorded audio disc of four tracks with CD-TEXT. It answers the requests
// a disc-reading program sends - adapter inquiry, device type, INQUIRY, PAUSE, and READ TOC in
// its plain and CD-TEXT forms - as a drive does, without any hardware, so that a program running
// on a Windows 98 prefix reads this disc through its ASPI path.
//
// When the environment names a file in KV_ASPI_LOG, every request is appended to it as one line
// ("inquiry", "devtype 1 0", "exec 43 05", ...): the scenario learns from it which path the
// program took.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The request blocks of the interface, byte-packed as it defines them.
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

const BYTE kCmdHaInquiry = 0, kCmdGetDeviceType = 1, kCmdExecute = 2;
const BYTE kStatusPending = 0, kStatusDone = 1, kStatusError = 4, kStatusInvalidCommand = 0x80,
           kStatusNoDevice = 0x82;
const BYTE kFlagEventNotify = 0x40;
// Where the drive sits: adapter 0, target 1, unit 0.
const BYTE kTarget = 1, kLun = 0;

// The recorded disc: tracks starting at 0:02, 2:00, 4:00 and 6:00, lead-out at 8:00 (disc ID
// 1401de04), with this CD-TEXT.
const int kTrackStarts[5][2] = {{0, 2}, {2, 0}, {4, 0}, {6, 0}, {8, 0}};
const char kPerformer[] = "Harbour Lights";
const char kAlbum[] = "Night Ferry";
const char* const kTrackTitles[4] = {"Boarding", "Open Water", "Lighthouse", "Arrival"};

std::vector<BYTE> TableOfContents() {
    const int n = 4;
    std::vector<BYTE> toc(4 + 8 * (n + 1), 0);
    const int length = 2 + 8 * (n + 1);
    toc[0] = (BYTE)(length >> 8);
    toc[1] = (BYTE)length;
    toc[2] = 1;
    toc[3] = (BYTE)n;
    for (int i = 0; i <= n; ++i) {
        BYTE* d = &toc[4 + 8 * i];
        d[1] = 0x10;  // audio, no pre-emphasis
        d[2] = (BYTE)(i < n ? i + 1 : 0xAA);
        d[5] = (BYTE)kTrackStarts[i][0];
        d[6] = (BYTE)kTrackStarts[i][1];
    }
    return toc;
}

// CD-TEXT packs: the titles (0x80), then the performers (0x81), the album's first; each pack
// carries 12 characters, names end with a zero byte and run on into the next pack.
std::vector<BYTE> CdText() {
    std::vector<BYTE> packs;
    int count = 0;
    auto add = [&](BYTE type, const std::vector<std::string>& texts) {
        std::string all;
        std::vector<int> trackOfChar;
        for (size_t t = 0; t < texts.size(); ++t) {
            for (size_t i = 0; i <= texts[t].size(); ++i) trackOfChar.push_back((int)t);
            all += texts[t];
            all += '\0';
        }
        for (size_t pos = 0; pos < all.size(); pos += 12) {
            BYTE pack[18] = {type, (BYTE)trackOfChar[pos], (BYTE)count, 0};
            for (size_t i = 0; i < 12 && pos + i < all.size(); ++i) pack[4 + i] = (BYTE)all[pos + i];
            packs.insert(packs.end(), pack, pack + 18);
            ++count;
        }
    };
    std::vector<std::string> titles{kAlbum}, performers{kPerformer};
    for (const char* title : kTrackTitles) {
        titles.push_back(title);
        performers.push_back(kPerformer);
    }
    add(0x80, titles);
    add(0x81, performers);
    std::vector<BYTE> reply(4, 0);
    const int length = 2 + (int)packs.size();
    reply[0] = (BYTE)(length >> 8);
    reply[1] = (BYTE)length;
    reply.insert(reply.end(), packs.begin(), packs.end());
    return reply;
}

void Log(const char* format, ...) {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("KV_ASPI_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return;
    char line[128];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line) - 2, format, args);
    va_end(args);
    strcat(line, "\n");
    FILE* file = fopen(path, "a");
    if (file == nullptr) return;
    fputs(line, file);
    fclose(file);
}

// Copies `data` into the caller's buffer, as much as both hold.
BYTE Reply(SrbExecute* srb, const std::vector<BYTE>& data) {
    if (srb->bufPointer == nullptr) return kStatusError;
    const DWORD n = data.size() < srb->bufLen ? (DWORD)data.size() : srb->bufLen;
    memcpy(srb->bufPointer, data.data(), n);
    return kStatusDone;
}

BYTE Execute(SrbExecute* srb) {
    Log("exec %02x %02x", srb->cdb[0], srb->cdb[2]);
    if (srb->h.haId != 0 || srb->target != kTarget || srb->lun != kLun) return kStatusNoDevice;
    switch (srb->cdb[0]) {
        case 0x12: {  // INQUIRY: a CD-ROM unit, vendor and product
            std::vector<BYTE> inquiry(36, ' ');
            inquiry[0] = 5;
            inquiry[1] = 0x80;  // removable
            inquiry[2] = 2;
            inquiry[3] = 2;
            inquiry[4] = 31;
            inquiry[5] = inquiry[6] = inquiry[7] = 0;
            memcpy(&inquiry[8], "KORVTEST", 8);
            memcpy(&inquiry[16], "STAND-IN CD-ROM", 15);
            memcpy(&inquiry[32], "1.0 ", 4);
            return Reply(srb, inquiry);
        }
        case 0x4B:  // PAUSE/RESUME: nothing plays
            return kStatusDone;
        case 0x43:  // READ TOC: format 0 the table of contents, format 5 the CD-TEXT
            if ((srb->cdb[2] & 0x0F) == 0) return Reply(srb, TableOfContents());
            if ((srb->cdb[2] & 0x0F) == 5) return Reply(srb, CdText());
            return kStatusError;
        default:
            return kStatusError;
    }
}

}  // namespace

extern "C" __declspec(dllexport) DWORD __cdecl GetASPI32SupportInfo(void) {
    Log("support");
    // Done, one host adapter.
    return (DWORD)(kStatusDone << 8) | 1;
}

extern "C" __declspec(dllexport) DWORD __cdecl SendASPI32Command(void* request) {
    SrbHeader* header = static_cast<SrbHeader*>(request);
    if (header == nullptr) return kStatusInvalidCommand;
    switch (header->cmd) {
        case kCmdHaInquiry: {
            Log("inquiry %d", header->haId);
            SrbHaInquiry* srb = static_cast<SrbHaInquiry*>(request);
            if (srb->h.haId != 0) return srb->h.status = kStatusNoDevice;
            srb->haCount = 1;
            srb->haScsiId = 7;
            memcpy(srb->managerId, "ASPI for WIN32  ", 16);
            memcpy(srb->identifier, "KORVTEST HBA    ", 16);
            return srb->h.status = kStatusDone;
        }
        case kCmdGetDeviceType: {
            SrbGetDeviceType* srb = static_cast<SrbGetDeviceType*>(request);
            if (srb->h.haId != 0 || srb->target != kTarget || srb->lun != kLun)
                return srb->h.status = kStatusNoDevice;
            Log("devtype %d %d", srb->target, srb->lun);
            srb->deviceType = 5;
            return srb->h.status = kStatusDone;
        }
        case kCmdExecute: {
            // Carried out at once; a caller that asked for an event still gets it, after the
            // "pending" answer a real layer gives.
            SrbExecute* srb = static_cast<SrbExecute*>(request);
            srb->h.status = Execute(srb);
            if ((srb->h.flags & kFlagEventNotify) && srb->postProc != nullptr) {
                ::SetEvent(static_cast<HANDLE>(srb->postProc));
                return kStatusPending;
            }
            return srb->h.status;
        }
        default:
            return header->status = kStatusInvalidCommand;
    }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
