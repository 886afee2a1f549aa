// Checks, reading and making of DEVNAMES and DEVMODE blocks.
#include "print/DeviceBlocks.h"

#include <cstring>

namespace {

// A NUL between offset and the end.
bool TerminatedAt(const BYTE* bytes, SIZE_T size, SIZE_T offset) {
    if (offset < sizeof(DEVNAMES) || offset >= size) return false;
    return std::memchr(bytes + offset, 0, size - offset) != nullptr;
}

}  // namespace

bool IsSoundDevMode(const BYTE* bytes, SIZE_T size) {
    if (!bytes || size < kMinDevModeSize || size > kMaxDeviceBlockSize) return false;
    DEVMODEA mode;
    std::memcpy(&mode, bytes, kMinDevModeSize);
    if (mode.dmSize < kMinDevModeSize) return false;
    return static_cast<SIZE_T>(mode.dmSize) + mode.dmDriverExtra <= size;
}

bool IsSoundDevNames(const BYTE* bytes, SIZE_T size) {
    if (!bytes || size < sizeof(DEVNAMES) || size > kMaxDeviceBlockSize) return false;
    DEVNAMES names;
    std::memcpy(&names, bytes, sizeof names);
    return TerminatedAt(bytes, size, names.wDriverOffset) && TerminatedAt(bytes, size, names.wDeviceOffset) &&
           TerminatedAt(bytes, size, names.wOutputOffset);
}

namespace {

template <class Check>
bool CheckBlock(HGLOBAL block, Check check) {
    if (!block) return false;
    const SIZE_T size = ::GlobalSize(block);
    const BYTE* bytes = static_cast<const BYTE*>(::GlobalLock(block));
    if (!bytes) return false;
    const bool sound = check(bytes, size);
    ::GlobalUnlock(block);
    return sound;
}

}  // namespace

bool IsSoundDevModeBlock(HGLOBAL block) {
    return CheckBlock(block, IsSoundDevMode);
}

bool IsSoundDevNamesBlock(HGLOBAL block) {
    return CheckBlock(block, IsSoundDevNames);
}

CString GetDevNamesString(HGLOBAL block, int which) {
    CString result;
    if (!block || which < 0 || which > 2) return result;
    const SIZE_T size = ::GlobalSize(block);
    const BYTE* bytes = static_cast<const BYTE*>(::GlobalLock(block));
    if (!bytes) return result;
    if (IsSoundDevNames(bytes, size)) {
        const DEVNAMES* names = reinterpret_cast<const DEVNAMES*>(bytes);
        const WORD offset = which == 0   ? names->wDriverOffset
                            : which == 1 ? names->wDeviceOffset
                                         : names->wOutputOffset;
        result = reinterpret_cast<LPCSTR>(bytes + offset);
    }
    ::GlobalUnlock(block);
    return result;
}

HGLOBAL MakeDevNamesBlock(LPCSTR driver, LPCSTR device, LPCSTR port) {
    const SIZE_T driverLength = std::strlen(driver), deviceLength = std::strlen(device),
                 portLength = std::strlen(port);
    const SIZE_T size = driverLength + deviceLength + portLength + 11;
    if (size > 0xFFFF) return nullptr;  // the offsets are words
    HGLOBAL block = ::GlobalAlloc(GHND, size);
    if (!block) return nullptr;
    BYTE* bytes = static_cast<BYTE*>(::GlobalLock(block));
    if (!bytes) {
        ::GlobalFree(block);
        return nullptr;
    }
    DEVNAMES* names = reinterpret_cast<DEVNAMES*>(bytes);
    names->wDriverOffset = 8;
    names->wDeviceOffset = static_cast<WORD>(driverLength + 9);
    names->wOutputOffset = static_cast<WORD>(driverLength + deviceLength + 10);
    names->wDefault = 0;
    std::memcpy(bytes + names->wDriverOffset, driver, driverLength);
    std::memcpy(bytes + names->wDeviceOffset, device, deviceLength);
    std::memcpy(bytes + names->wOutputOffset, port, portLength);
    ::GlobalUnlock(block);
    return block;
}

HGLOBAL MakeBlock(const void* bytes, SIZE_T size) {
    if (size == 0) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GHND, size);
    if (!block) return nullptr;
    void* target = ::GlobalLock(block);
    if (!target) {
        ::GlobalFree(block);
        return nullptr;
    }
    if (bytes) std::memcpy(target, bytes, size);
    ::GlobalUnlock(block);
    return block;
}

void FreeBlock(HGLOBAL& block) {
    if (block && block != reinterpret_cast<HGLOBAL>(static_cast<INT_PTR>(-1))) {
        // The lock count lives in the low byte of the flags; 255 unlocks reach any count.
        for (int i = 0; i < 256 && (::GlobalFlags(block) & GMEM_LOCKCOUNT); ++i) ::GlobalUnlock(block);
        ::GlobalFree(block);
    }
    block = nullptr;
}
