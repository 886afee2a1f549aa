// Enumerating the installed printers and making device blocks for one of them.
#include "print/PrinterList.h"

#include <cstring>
#include <vector>

#include "print/DeviceBlocks.h"

namespace {

// EnumPrinters into a buffer of `size` bytes, once more with the size it asks for (and a little
// room) when that is too small. The buffer holds `count` entries on success.
bool EnumerateInto(DWORD flags, LPSTR name, DWORD level, DWORD size, std::vector<BYTE>& buffer,
                   DWORD& count) {
    buffer.assign(size, 0);
    DWORD needed = 0;
    count = 0;
    if (::EnumPrintersA(flags, name, level, buffer.data(), size, &needed, &count)) return true;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.assign(static_cast<size_t>(needed) + 128, 0);
    return ::EnumPrintersA(flags, name, level, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                           &count) != FALSE;
}

}  // namespace

void CPrinterList::Clear() {
    m_count = 0;
    m_names.RemoveAll();
    m_ports.RemoveAll();
}

void CPrinterList::Append(LPCSTR name, LPCSTR port) {
    m_names.Add(CString(name ? name : ""));
    m_ports.Add(CString(port ? port : ""));
    ++m_count;
}

bool CPrinterList::AddLocalPrinters() {
    std::vector<BYTE> buffer;
    DWORD count = 0;
    if (EnumerateInto(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 5, 15000, buffer, count)) {
        const PRINTER_INFO_5A* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) Append(info[i].pPrinterName, info[i].pPortName);
    }
    return m_count > 0;
}

bool CPrinterList::AddNetworkPrinters() {
    std::vector<BYTE> providers;
    DWORD count = 0;
    if (EnumerateInto(PRINTER_ENUM_REMOTE, nullptr, 1, 15000, providers, count)) {
        const PRINTER_INFO_1A* provider = reinterpret_cast<const PRINTER_INFO_1A*>(providers.data());
        for (DWORD i = 0; i < count; ++i) {
            if (!provider[i].pName || !std::strstr(provider[i].pName, "!!")) continue;
            std::vector<BYTE> printers(30000, 0);
            DWORD needed = 0, found = 0;
            if (!::EnumPrintersA(PRINTER_ENUM_NAME, provider[i].pName, 1, printers.data(),
                                 static_cast<DWORD>(printers.size()), &needed, &found))
                continue;
            const PRINTER_INFO_1A* printer = reinterpret_cast<const PRINTER_INFO_1A*>(printers.data());
            for (DWORD j = 0; j < found; ++j) Append(printer[j].pName, "");
        }
    }
    return m_count > 0;
}

CString CPrinterList::GetPrinterName(int index) const {
    if (index < 0 || index >= m_names.GetSize()) return "Error";
    return m_names[index];
}

CString CPrinterList::GetPortName(int index) const {
    if (index < 0 || index >= m_ports.GetSize()) return "Error";
    return m_ports[index];
}

void CPrinterList::RemoveAt(int index) {
    if (index < 0 || index >= m_names.GetSize()) return;
    m_names.RemoveAt(index);
    if (index < m_ports.GetSize()) m_ports.RemoveAt(index);
    --m_count;
}

bool CPrinterList::CreatePrinterHandles(HGLOBAL* devMode, HGLOBAL* devNames, int index) {
    if (index < 0 || index >= m_names.GetSize()) return false;
    return MakePrinterHandles(m_names[index], "winspool", GetPortName(index), devMode, devNames);
}

bool CPrinterList::MakePrinterHandles(LPCSTR device, LPCSTR driver, LPCSTR port, HGLOBAL* devMode,
                                      HGLOBAL* devNames) {
    if (!devMode || !devNames || !device || !*device) return false;
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(const_cast<LPSTR>(device), &printer, nullptr) || !printer) return false;
    const LONG size = ::DocumentPropertiesA(nullptr, printer, const_cast<LPSTR>(device), nullptr, nullptr, 0);
    HGLOBAL mode = nullptr;
    if (size > 0 && static_cast<SIZE_T>(size) <= kMaxDeviceBlockSize) mode = ::GlobalAlloc(GHND, size);
    bool made = false;
    if (mode) {
        DEVMODEA* bytes = static_cast<DEVMODEA*>(::GlobalLock(mode));
        made = bytes && ::DocumentPropertiesA(nullptr, printer, const_cast<LPSTR>(device), bytes, nullptr,
                                              DM_OUT_BUFFER) == IDOK;
        if (bytes) ::GlobalUnlock(mode);
        if (!made) FreeBlock(mode);
    }
    ::ClosePrinter(printer);
    if (!made) return false;
    HGLOBAL names = MakeDevNamesBlock(driver, device, port ? port : "");
    if (!names) {
        FreeBlock(mode);
        return false;
    }
    FreeBlock(*devMode);
    FreeBlock(*devNames);
    *devMode = mode;
    *devNames = names;
    return true;
}
