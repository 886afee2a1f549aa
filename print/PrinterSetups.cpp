// The printer set-up list: its files, the default printer, the check against the installed driver
// and the driver calls on the current record.
#include "print/PrinterSetups.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "print/DeviceBlocks.h"
#include "framework/Win.h"
#include "model/Folders.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"

namespace {

PrinterSetups*& Registered() {
    static PrinterSetups* registered = nullptr;
    return registered;
}

const DWORD kPrintDialogFlags =
    PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;

// Owns records while a file is read, so that a failed read frees what it had made.
struct RecordList {
    std::vector<CPrintDriver*> records;
    ~RecordList() {
        for (CPrintDriver* record : records) delete record;
    }
    void MoveTo(CObArray& target) {
        for (CPrintDriver* record : records) target.Add(record);
        records.clear();
    }
};

// Opens a file for reading; false when it cannot be opened or is empty.
bool OpenNonEmpty(CFile& file, const CString& path) {
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return false;
    if (file.GetLength() == 0) {
        file.Abort();
        return false;
    }
    return true;
}

// The printer of the record; the device names may be absent.
CString DeviceOf(const CObArray& printers, INT_PTR index) {
    return static_cast<const CPrintDriver*>(printers[index])->GetDeviceName();
}

// A device-mode block ready for a driver of `printer`: sound, and at least as large as the driver's
// own device mode (the driver writes that many bytes into it); grown when it is smaller.
bool PrepareForDriver(HGLOBAL& block, HANDLE printer, LPSTR device) {
    if (!IsSoundDevModeBlock(block)) return false;
    const LONG needed = ::DocumentPropertiesA(nullptr, printer, device, nullptr, nullptr, 0);
    if (needed <= 0 || static_cast<SIZE_T>(needed) > kMaxDeviceBlockSize) return false;
    if (::GlobalSize(block) >= static_cast<SIZE_T>(needed)) return true;
    HGLOBAL grown = ::GlobalReAlloc(block, needed, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!grown) return false;
    block = grown;
    return true;
}

}  // namespace

PrinterSetups::PrinterSetups() = default;

PrinterSetups::~PrinterSetups() {
    FreePrinters();
    if (Registered() == this) Registered() = nullptr;
}

PrinterSetups& PrinterSetups::Get() {
    static PrinterSetups own;
    return Registered() ? *Registered() : own;
}

void PrinterSetups::SetCurrent(PrinterSetups* setups) {
    Registered() = setups;
}

CString PrinterSetups::PrinterFilePath(LPCSTR name) {
    return g_settingsFolder + "\\" + name;
}

void PrinterSetups::FreePrinters() {
    for (INT_PTR i = 0; i < m_printers.GetSize(); ++i) delete static_cast<CPrintDriver*>(m_printers[i]);
    m_printers.RemoveAll();
}

CPrintDriver* PrinterSetups::GetCurrentPrintDriver() {
    CPrintDriver* current = nullptr;
    GuardOperation(1131, [&] {
        if (m_currentPrinter >= 0 && m_currentPrinter < m_printers.GetSize())
            current = static_cast<CPrintDriver*>(m_printers[m_currentPrinter]);
    });
    return current;
}

HGLOBAL PrinterSetups::CopyGlobalBlock(HGLOBAL h) {
    HGLOBAL copy = nullptr;
    GuardOperation(979, [&] {
        if (!h) return;
        const SIZE_T size = ::GlobalSize(h);
        const void* bytes = ::GlobalLock(h);
        if (!bytes) return;
        copy = MakeBlock(bytes, size);
        ::GlobalUnlock(h);
    });
    return copy;
}

// ---- files ----

void PrinterSetups::LoadSavePrinters(bool save) {
    GuardOperation(978, [&] {
        if (save) {
            for (INT_PTR i = 0; i < m_printers.GetSize(); ++i)
                static_cast<CPrintDriver*>(m_printers[i])->FreeLiveHandles();
            WritePrinterArchive();
            return;
        }
        FreePrinters();
        m_currentPrinter = 0;
        if (!ReadPrinterArchive("printers.ini", 0) && !ReadPrinterArchive("printDrivers.ini", 1873))
            ReadOldestPrinterFiles();
        // One record per printer, whichever file the records came from.
        RemoveDuplicates();
        for (INT_PTR i = 0; i < m_printers.GetSize(); ++i)
            static_cast<CPrintDriver*>(m_printers[i])->FreeLiveHandles();
    });
}

bool PrinterSetups::WritePrinterArchive() {
    // Written beside the old file and put in its place only when complete, so that a failure on
    // the way never leaves a cut-off printers.ini.
    const CString path = PrinterFilePath("printers.ini");
    return WriteFileWhole(path, [&](CFile& file) {
        return SerializeOrAbort(&file, CArchive::store, [&](CArchive& ar) {
            ar << static_cast<DWORD>(m_currentPrinter);
            ar.WriteCount(static_cast<DWORD_PTR>(m_printers.GetSize()));
            for (INT_PTR i = 0; i < m_printers.GetSize(); ++i) ar.WriteObject(m_printers[i]);
        });
    });
}

bool PrinterSetups::ReadPrinterArchive(LPCSTR name, int errorNumber) {
    bool loaded = false;
    auto read = [&] {
        CFile file;
        if (!OpenNonEmpty(file, PrinterFilePath(name))) return;
        RecordList list;
        DWORD current = 0;
        try {
            CArchive ar(&file, CArchive::load, 4096);
            ar >> current;
            const DWORD_PTR count = ar.ReadCount();
            std::unordered_set<CPrintDriver*> seen;
            for (DWORD_PTR i = 0; i < count; ++i) {
                CObject* object = ar.ReadObject(RUNTIME_CLASS(CPrintDriver));
                CPrintDriver* record = static_cast<CPrintDriver*>(object);
                // A null reference or a second reference to a record already read is damage:
                // the list would hold one record twice.
                if (!record || !seen.insert(record).second)
                    AfxThrowArchiveException(CArchiveException::badIndex);
                list.records.push_back(record);
            }
        } catch (CException* e) {
            // An unreadable file: the records read so far go with the list.
            e->Delete();
            return;
        }
        // Records whose blocks are not well formed are dropped; the current index follows its
        // record (to the first one when its own was dropped). An index past the end stays so:
        // the check of the current printer starts again from the first record.
        CPrintDriver* currentRecord = current < list.records.size() ? list.records[current] : nullptr;
        int index = static_cast<int>(current > 0x7FFFFFFF ? 0x7FFFFFFF : current);
        size_t dropped = 0, kept = 0;
        for (size_t i = 0; i < list.records.size(); ++i) {
            CPrintDriver* record = list.records[i];
            if (record->IsSound()) {
                list.records[kept++] = record;
                continue;
            }
            if (record == currentRecord) currentRecord = nullptr;
            delete record;
            ++dropped;
        }
        list.records.resize(kept);
        if (current < list.records.size() + dropped) index = 0;
        for (size_t i = 0; i < list.records.size(); ++i)
            if (list.records[i] == currentRecord) index = static_cast<int>(i);
        list.MoveTo(m_printers);
        m_currentPrinter = index;
        loaded = true;
    };
    if (errorNumber)
        GuardOperation(errorNumber, read);
    else
        read();
    return loaded;
}

namespace {

// One record from printer.ini or printerCD.ini: two archive strings with the decimal sizes of the
// device mode and the device names, then the two blocks. Null when the file is missing, empty,
// damaged, or its blocks are not well formed.
std::unique_ptr<CPrintDriver> ReadOldPrinterFile(const CString& path) {
    CFile file;
    if (!OpenNonEmpty(file, path)) return nullptr;
    auto record = std::make_unique<CPrintDriver>();
    try {
        CArchive ar(&file, CArchive::load, 4096);
        SIZE_T sizes[2];
        for (SIZE_T& size : sizes) {
            CString text;
            ar >> text;
            if (text.IsEmpty() || text.GetLength() > 7) AfxThrowArchiveException(CArchiveException::badIndex);
            size = 0;
            for (int i = 0; i < text.GetLength(); ++i) {
                if (text[i] < '0' || text[i] > '9') AfxThrowArchiveException(CArchiveException::badIndex);
                size = size * 10 + static_cast<SIZE_T>(text[i] - '0');
            }
            if (size == 0 || size > kMaxDeviceBlockSize)
                AfxThrowArchiveException(CArchiveException::badIndex);
        }
        if (static_cast<ULONGLONG>(sizes[0]) + sizes[1] > ar.GetBytesLeft())
            AfxThrowArchiveException(CArchiveException::endOfFile);
        std::vector<BYTE> mode(sizes[0]), names(sizes[1]);
        ar.EnsureRead(mode.data(), static_cast<UINT>(mode.size()));
        ar.EnsureRead(names.data(), static_cast<UINT>(names.size()));
        if (!IsSoundDevMode(mode.data(), mode.size()) || !IsSoundDevNames(names.data(), names.size()))
            return nullptr;
        record->m_paperDevMode = MakeBlock(mode.data(), mode.size());
        record->m_devNames = MakeBlock(names.data(), names.size());
        if (!record->m_paperDevMode || !record->m_devNames) return nullptr;
    } catch (CException* e) {
        e->Delete();
        return nullptr;
    }
    return record;
}

}  // namespace

bool PrinterSetups::ReadOldestPrinterFiles() {
    bool result = false;
    GuardOperation(1125, [&] {
        std::unique_ptr<CPrintDriver> paper = ReadOldPrinterFile(PrinterFilePath("printer.ini"));
        std::unique_ptr<CPrintDriver> disc = ReadOldPrinterFile(PrinterFilePath("printerCD.ini"));
        if (paper && disc && paper->GetDeviceName() == disc->GetDeviceName()) {
            FreeBlock(paper->m_discDevMode);
            paper->m_discDevMode = CopyGlobalBlock(disc->m_paperDevMode);
            disc.reset();
        }
        if (!paper && !disc) return;
        if (paper) {
            if (!paper->m_discDevMode) paper->m_discDevMode = CopyGlobalBlock(paper->m_paperDevMode);
            m_printers.Add(paper.release());
        }
        if (disc) {
            disc->m_discDevMode = CopyGlobalBlock(disc->m_paperDevMode);
            m_printers.Add(disc.release());
        }
        result = true;
    });
    return result;
}

void PrinterSetups::RemoveDuplicates() {
    GuardOperation(1232, [&] {
        // The last record of each device name stays; a current record that goes hands its place
        // to the one that stays. One pass to find the last record of each name and one to keep
        // those: a file of many records of one printer costs no more than one of many printers.
        const INT_PTR count = m_printers.GetSize();
        std::unordered_map<std::string, INT_PTR> lastOf;
        lastOf.reserve(static_cast<size_t>(count));
        std::vector<std::string> names(static_cast<size_t>(count));
        for (INT_PTR i = 0; i < count; ++i) {
            names[i] = DeviceOf(m_printers, i).GetString();
            lastOf[names[i]] = i;
        }
        const INT_PTR currentKept =
            m_currentPrinter >= 0 && m_currentPrinter < count ? lastOf[names[m_currentPrinter]] : -1;
        INT_PTR kept = 0;
        for (INT_PTR i = 0; i < count; ++i) {
            if (lastOf[names[i]] != i) {
                delete static_cast<CPrintDriver*>(m_printers[i]);
                continue;
            }
            if (i == currentKept) m_currentPrinter = static_cast<int>(kept);
            m_printers.SetAt(kept++, m_printers[i]);
        }
        m_printers.SetSize(kept);
    });
}

// ---- the installed printers ----

int PrinterSetups::FindPrinter(CString name) {
    int found = -1;
    GuardOperation(1016, [&] {
        for (int i = 0; i < m_printerList.GetCount(); ++i) {
            if (m_printerList.GetPrinterName(i) == name) {
                found = i;
                return;
            }
        }
    });
    return found;
}

CPrintDriver* PrinterSetups::AddDefaultPrinter() {
    CPrintDriver* added = nullptr;
    GuardOperation(1126, [&] {
        g_helpCdPrinter = 1;
        auto record = std::make_unique<CPrintDriver>();
        CString name;
        {
            CPrintDialog defaults(FALSE, kPrintDialogFlags);
            if (defaults.GetDefaults()) name = defaults.GetDeviceName();
            defaults.FreeHandles();
        }
        bool made = false;
        const int index = name.IsEmpty() ? -1 : FindPrinter(name);
        if (index >= 0)
            made = m_printerList.CreatePrinterHandles(&record->m_paperDevMode, &record->m_devNames, index);
        for (int i = 0; !made && i < m_printerList.GetCount(); ++i)
            made = m_printerList.CreatePrinterHandles(&record->m_paperDevMode, &record->m_devNames, i);
        if (made) {
            record->m_discDevMode = CopyGlobalBlock(record->m_paperDevMode);
            record->m_liveDevMode = CopyGlobalBlock(record->m_paperDevMode);
            record->m_liveDevNames = CopyGlobalBlock(record->m_devNames);
        }
        if (!record->m_paperDevMode || !record->m_devNames) return;
        m_printers.Add(record.get());
        added = record.release();
        m_currentPrinter = static_cast<int>(m_printers.GetSize() - 1);
    });
    return added;
}

bool PrinterSetups::RefreshCurrentPrinter() {
    bool fits = false;
    GuardOperation(1124, [&] {
        if (m_printers.GetSize() == 0) return;
        if (m_currentPrinter < 0 || m_currentPrinter >= m_printers.GetSize()) m_currentPrinter = 0;
        CPrintDriver* record = static_cast<CPrintDriver*>(m_printers[m_currentPrinter]);
        if (record->m_liveDevMode && record->m_liveDevNames) {
            fits = true;
            return;
        }
        const CString name = record->GetDeviceName();
        const int index = FindPrinter(name);
        if (index >= 0 &&
            m_printerList.CreatePrinterHandles(&record->m_liveDevMode, &record->m_liveDevNames, index) &&
            record->GetDriverVersion(true) == record->GetDriverVersion(false) &&
            record->GetDevModeSize(true) == record->GetDevModeSize(false) &&
            record->GetDriverExtra(true) == record->GetDriverExtra(false)) {
            HGLOBAL names = CopyGlobalBlock(record->m_liveDevNames);
            if (names) {
                FreeBlock(record->m_devNames);
                record->m_devNames = names;
            }
            MergePrinterDevModes(true, true);
            fits = true;
            return;
        }
        RemovePrinter(name);
    });
    return fits;
}

void PrinterSetups::RemovePrinter(CString deviceName) {
    GuardOperation(1875, [&] {
        for (INT_PTR i = 0; i < m_printers.GetSize(); ++i) {
            if (DeviceOf(m_printers, i) != deviceName) continue;
            delete static_cast<CPrintDriver*>(m_printers[i]);
            m_printers.RemoveAt(i);
            m_currentPrinter = static_cast<int>(m_printers.GetSize() - 1);
            return;
        }
    });
}

void PrinterSetups::MergePrinterDevModes(bool paper, bool disc) {
    GuardOperation(1129, [&] {
        CPrintDriver* record = GetCurrentPrintDriver();
        if (!record) return;
        CString name = record->GetDeviceName();
        HANDLE printer = nullptr;
        if (name.IsEmpty() || !::OpenPrinterA(name.GetBuffer(), &printer, nullptr) || !printer) return;
        HGLOBAL* blocks[2] = {paper ? &record->m_paperDevMode : nullptr,
                              disc ? &record->m_discDevMode : nullptr};
        for (HGLOBAL* block : blocks) {
            if (!block || !PrepareForDriver(*block, printer, name.GetBuffer())) continue;
            DEVMODEA* mode = static_cast<DEVMODEA*>(::GlobalLock(*block));
            if (!mode) continue;
            ::DocumentPropertiesA(nullptr, printer, name.GetBuffer(), mode, mode,
                                  DM_IN_BUFFER | DM_OUT_BUFFER);
            ::GlobalUnlock(*block);
        }
        ::ClosePrinter(printer);
    });
}

void PrinterSetups::ShowPrinterProperties(HWND owner, bool disc) {
    GuardOperation(1130, [&] {
        CPrintDriver* record = GetCurrentPrintDriver();
        if (!record) return;
        CString name = record->GetDeviceName();
        HGLOBAL& block = disc ? record->m_discDevMode : record->m_paperDevMode;
        HANDLE printer = nullptr;
        {
            HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            if (!name.IsEmpty()) ::OpenPrinterA(name.GetBuffer(), &printer, nullptr);
            ::SetCursor(previous);
        }
        if (!printer) return;
        if (PrepareForDriver(block, printer, name.GetBuffer())) {
            DEVMODEA* mode = static_cast<DEVMODEA*>(::GlobalLock(block));
            if (mode) {
                ::DocumentPropertiesA(owner, printer, name.GetBuffer(), mode, mode,
                                      DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
                ::GlobalUnlock(block);
            }
        }
        ::ClosePrinter(printer);
    });
}

bool PrinterSetups::GetPaperAndMediaNames(CString kind, bool disc, CStringArray& names, CDWordArray& ids) {
    bool listed = false;
    GuardOperationSteps(1069, [&](int& step) {
        struct Capability {
            LPCSTR kind;
            WORD namesCapability, idsCapability;
            int nameSlot, idWidth;
        };
        static const Capability kCapabilities[] = {{"media", DC_MEDIATYPENAMES, DC_MEDIATYPES, 64, 4},
                                                   {"bin", DC_BINNAMES, DC_BINS, 24, 2},
                                                   {"paper", DC_PAPERNAMES, DC_PAPERS, 64, 2}};
        const Capability* capability = nullptr;
        for (const Capability& c : kCapabilities)
            if (kind == c.kind) capability = &c;
        step = 1;
        if (!capability) return;
        CPrintDriver* record = GetCurrentPrintDriver();
        if (!record) return;
        step = 2;
        HGLOBAL block = disc ? record->m_discDevMode : record->m_paperDevMode;
        if (block && !IsSoundDevModeBlock(block)) return;
        const CString device = GetDevNamesString(record->m_devNames, 1);
        const CString port = GetDevNamesString(record->m_devNames, 2);
        if (device.IsEmpty()) return;
        const DEVMODEA* mode = block ? static_cast<const DEVMODEA*>(::GlobalLock(block)) : nullptr;
        step = 3;
        const int count = ::DeviceCapabilitiesA(device, port, capability->namesCapability, nullptr, mode);
        step = 4;
        // A driver that answers with an absurd count is not followed.
        if (count > 0 && count <= 10000) {
            std::vector<char> nameBuffer(static_cast<size_t>(count) * capability->nameSlot + 1, 0);
            std::vector<BYTE> idBuffer(static_cast<size_t>(count) * capability->idWidth, 0);
            const int gotNames =
                ::DeviceCapabilitiesA(device, port, capability->namesCapability, nameBuffer.data(), mode);
            step = 5;
            const int gotIds = ::DeviceCapabilitiesA(device, port, capability->idsCapability,
                                                     reinterpret_cast<LPSTR>(idBuffer.data()), mode);
            step = 6;
            const int n = std::min(count, std::min(gotNames, gotIds));
            for (int i = 0; i < n; ++i) {
                const char* slot = nameBuffer.data() + static_cast<size_t>(i) * capability->nameSlot;
                names.Add(CString(slot, static_cast<int>(strnlen(slot, capability->nameSlot))));
                DWORD id = 0;
                if (capability->idWidth == 2) {
                    WORD word;
                    std::memcpy(&word, idBuffer.data() + i * 2, 2);
                    id = word;
                } else {
                    std::memcpy(&id, idBuffer.data() + i * 4, 4);
                }
                ids.Add(id);
            }
            listed = n > 0;
        }
        if (block) ::GlobalUnlock(block);
    });
    return listed;
}

void PrinterSetups::MeasurePrintableAreas() {
    GuardOperation(1019, [&] {
        CPrintDriver* record = GetCurrentPrintDriver();
        if (!record || !IsSoundDevNamesBlock(record->m_devNames) ||
            !IsSoundDevModeBlock(record->m_paperDevMode))
            return;
        CPrintDialog dialog(FALSE, kPrintDialogFlags);
        dialog.m_pd.hDevNames = CopyGlobalBlock(record->m_devNames);
        dialog.m_pd.hDevMode = CopyGlobalBlock(record->m_paperDevMode);
        HDC dc = dialog.CreatePrinterDC();
        bool measured = false;
        if (dc) {
            const int dpiX = ::GetDeviceCaps(dc, LOGPIXELSX), dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
            DEVMODEA* mode = dialog.GetDevMode();
            if (mode && dpiX > 0 && dpiY > 0) {
                mode->dmOrientation = DMORIENT_PORTRAIT;
                mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
                for (int i = 0; i < 5; ++i) {
                    mode->dmPaperSize = static_cast<short>(g_paperCodes[i]);
                    if (!::ResetDCA(dc, mode)) continue;
                    g_printableAreas[i][0] =
                        static_cast<int>(::GetDeviceCaps(dc, PHYSICALOFFSETX) * 1000.0 / dpiX);
                    g_printableAreas[i][1] =
                        static_cast<int>(::GetDeviceCaps(dc, PHYSICALOFFSETY) * 1000.0 / dpiY);
                    g_printableAreas[i][2] = static_cast<int>(::GetDeviceCaps(dc, HORZRES) * 1000.0 / dpiX);
                    g_printableAreas[i][3] = static_cast<int>(::GetDeviceCaps(dc, VERTRES) * 1000.0 / dpiY);
                    measured = true;
                }
            }
        }
        dialog.FreeHandles();
        if (measured && g_showGuides) OnPrintableAreasChanged();
    });
}
