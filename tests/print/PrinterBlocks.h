// Device blocks made by hand for the printer tests, and the bytes of printer files.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "print/PrintDriver.h"

namespace printtest {

using Bytes = std::vector<unsigned char>;

// A DEVMODE of the full public size plus `extra` driver bytes (filled with a pattern).
inline Bytes DevMode(const char* device, WORD driverVersion = 0x0100, WORD extra = 16, short paper = 1) {
    Bytes bytes(sizeof(DEVMODEA) + extra, 0);
    DEVMODEA mode = {};
    std::strncpy(reinterpret_cast<char*>(mode.dmDeviceName), device, CCHDEVICENAME - 1);
    mode.dmSpecVersion = 0x0401;
    mode.dmDriverVersion = driverVersion;
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmDriverExtra = extra;
    mode.dmFields = DM_PAPERSIZE | DM_COPIES | DM_ORIENTATION;
    mode.dmPaperSize = paper;
    mode.dmCopies = 1;
    mode.dmOrientation = DMORIENT_PORTRAIT;
    std::memcpy(bytes.data(), &mode, sizeof mode);
    for (WORD i = 0; i < extra; ++i) bytes[sizeof mode + i] = static_cast<unsigned char>(0xA0 + i);
    return bytes;
}

// A DEVNAMES block: the header, then driver, device and port, each terminated.
inline Bytes DevNames(const char* device, const char* port = "CUPS:PDF", const char* driver = "winspool") {
    const size_t d = std::strlen(driver), n = std::strlen(device), p = std::strlen(port);
    Bytes bytes(8 + d + n + p + 3, 0);
    const WORD offsets[4] = {8, static_cast<WORD>(d + 9), static_cast<WORD>(d + n + 10), 0};
    std::memcpy(bytes.data(), offsets, 8);
    std::memcpy(bytes.data() + 8, driver, d);
    std::memcpy(bytes.data() + 9 + d, device, n);
    std::memcpy(bytes.data() + 10 + d + n, port, p);
    return bytes;
}

inline HGLOBAL Block(const Bytes& bytes) {
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

inline Bytes BytesOf(HGLOBAL h) {
    if (!h) return Bytes();
    const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(h));
    Bytes bytes(p, p + GlobalSize(h));
    GlobalUnlock(h);
    return bytes;
}

// A record of the printer `device`, with a disc device mode unless `noDisc`.
inline CPrintDriver* Record(const char* device, int offsetX = 0, int offsetY = 0, bool noDisc = false) {
    CPrintDriver* record = new CPrintDriver;
    record->m_devNames = Block(DevNames(device));
    record->m_paperDevMode = Block(DevMode(device, 0x0100, 16, 1));
    if (!noDisc) record->m_discDevMode = Block(DevMode(device, 0x0100, 16, 9));
    record->m_offsetX = offsetX;
    record->m_offsetY = offsetY;
    return record;
}

inline void Append(Bytes& out, const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    out.insert(out.end(), b, b + n);
}
inline void Word(Bytes& out, WORD w) {
    Append(out, &w, 2);
}
inline void Dword(Bytes& out, DWORD d) {
    Append(out, &d, 4);
}
inline void Text(Bytes& out, const std::string& s) {
    Append(out, s.data(), s.size());
}

// The bytes a record of these blocks takes in printers.ini, after its class tag.
inline Bytes RecordBytes(int x, int y, const Bytes& names, const Bytes& paper, const Bytes& disc) {
    Bytes out;
    Dword(out, static_cast<DWORD>(x));
    Dword(out, static_cast<DWORD>(y));
    for (const Bytes* b : {&names, &paper, &disc}) Text(out, std::to_string(b->size()) + "\n");
    for (const Bytes* b : {&names, &paper, &disc}) out.insert(out.end(), b->begin(), b->end());
    return out;
}

// An older printer.ini / printerCD.ini: two archive strings with the sizes, then the blocks.
inline Bytes OldPrinterFile(const Bytes& mode, const Bytes& names) {
    Bytes out;
    for (const Bytes* b : {&mode, &names}) {
        const std::string size = std::to_string(b->size());
        out.push_back(static_cast<unsigned char>(size.size()));
        Text(out, size);
    }
    out.insert(out.end(), mode.begin(), mode.end());
    out.insert(out.end(), names.begin(), names.end());
    return out;
}

}  // namespace printtest
