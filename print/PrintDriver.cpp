// The printer set-up record: its device-mode accessors, its archive bytes and its checks.
#include "print/PrintDriver.h"

#include <cstddef>
#include <cstring>

#include "print/DeviceBlocks.h"

IMPLEMENT_SERIAL(CPrintDriver, CObject, CPrintDriver::kSchema)

CPrintDriver::~CPrintDriver() {
    FreeHandles();
}

CString CPrintDriver::GetDeviceName() const {
    return GetDevNamesString(m_devNames, 1);
}

int CPrintDriver::DevModeField(HGLOBAL block, size_t offset, size_t width, int value, int fallback) const {
    if (!block) return fallback;
    const SIZE_T size = ::GlobalSize(block);
    BYTE* bytes = static_cast<BYTE*>(::GlobalLock(block));
    if (!bytes) return fallback;
    int result = fallback;
    if (IsSoundDevMode(bytes, size) && offset + width <= reinterpret_cast<DEVMODEA*>(bytes)->dmSize) {
        if (width == sizeof(short)) {
            short field;
            if (value != kReadOnly) {
                field = static_cast<short>(value);
                std::memcpy(bytes + offset, &field, sizeof field);
            }
            std::memcpy(&field, bytes + offset, sizeof field);
            result = field;
        } else {
            DWORD field;
            if (value != kReadOnly) {
                field = static_cast<DWORD>(value);
                std::memcpy(bytes + offset, &field, sizeof field);
            }
            std::memcpy(&field, bytes + offset, sizeof field);
            result = static_cast<int>(field);
        }
    }
    ::GlobalUnlock(block);
    return result;
}

int CPrintDriver::SetCopies(int value) {
    const size_t offset = offsetof(DEVMODEA, dmCopies);
    if (value != kReadOnly) DevModeField(m_discDevMode, offset, sizeof(short), value, 0);
    return DevModeField(m_paperDevMode, offset, sizeof(short), value, 0);
}

int CPrintDriver::DefaultSource(bool disc, int value) {
    return DevModeField(disc ? m_discDevMode : m_paperDevMode, offsetof(DEVMODEA, dmDefaultSource),
                        sizeof(short), value, 0);
}

int CPrintDriver::MediaType(bool disc, int value) {
    return DevModeField(disc ? m_discDevMode : m_paperDevMode, offsetof(DEVMODEA, dmMediaType), sizeof(DWORD),
                        value, 0);
}

int CPrintDriver::PaperSize(bool disc, int value) {
    return DevModeField(disc ? m_discDevMode : m_paperDevMode, offsetof(DEVMODEA, dmPaperSize), sizeof(short),
                        value, 0);
}

namespace {

// A WORD field of the block's DEVMODE; -1 without a sound block.
int HeaderWord(HGLOBAL block, size_t offset) {
    if (!block) return -1;
    const SIZE_T size = ::GlobalSize(block);
    const BYTE* bytes = static_cast<const BYTE*>(::GlobalLock(block));
    if (!bytes) return -1;
    int result = -1;
    if (IsSoundDevMode(bytes, size)) {
        WORD field;
        std::memcpy(&field, bytes + offset, sizeof field);
        result = field;
    }
    ::GlobalUnlock(block);
    return result;
}

}  // namespace

int CPrintDriver::GetDriverVersion(bool live) const {
    return HeaderWord(live ? m_liveDevMode : m_paperDevMode, offsetof(DEVMODEA, dmDriverVersion));
}

int CPrintDriver::GetDevModeSize(bool live) const {
    return HeaderWord(live ? m_liveDevMode : m_paperDevMode, offsetof(DEVMODEA, dmSize));
}

int CPrintDriver::GetDriverExtra(bool live) const {
    return HeaderWord(live ? m_liveDevMode : m_paperDevMode, offsetof(DEVMODEA, dmDriverExtra));
}

void CPrintDriver::FreeLiveHandles() {
    FreeBlock(m_liveDevNames);
    FreeBlock(m_liveDevMode);
}

void CPrintDriver::FreeHandles() {
    FreeBlock(m_devNames);
    FreeBlock(m_paperDevMode);
    FreeBlock(m_discDevMode);
    FreeLiveHandles();
}

bool CPrintDriver::IsSound() const {
    if (m_devNames && !IsSoundDevNamesBlock(m_devNames)) return false;
    if (m_paperDevMode && !IsSoundDevModeBlock(m_paperDevMode)) return false;
    if (m_discDevMode && !IsSoundDevModeBlock(m_discDevMode)) return false;
    return true;
}

SIZE_T ReadDeviceBlockSize(CArchive& ar) {
    // Seven digits cover every size up to the 1 MB limit; a longer line is damage.
    char line[12];
    int length = 0;
    for (;;) {
        char c;
        if (ar.Read(&c, 1) != 1) AfxThrowArchiveException(CArchiveException::endOfFile);
        if (c == '\n') break;
        if (length == static_cast<int>(sizeof line) - 1)
            AfxThrowArchiveException(CArchiveException::badIndex);
        line[length++] = c;
    }
    if (length > 0 && line[length - 1] == '\r') --length;
    if (length == 0) AfxThrowArchiveException(CArchiveException::badIndex);
    SIZE_T size = 0;
    for (int i = 0; i < length; ++i) {
        if (line[i] < '0' || line[i] > '9') AfxThrowArchiveException(CArchiveException::badIndex);
        size = size * 10 + static_cast<SIZE_T>(line[i] - '0');
        if (size > kMaxDeviceBlockSize) AfxThrowArchiveException(CArchiveException::badIndex);
    }
    return size;
}

void CPrintDriver::Serialize(CArchive& ar) {
    HGLOBAL* blocks[3] = {&m_devNames, &m_paperDevMode, &m_discDevMode};
    if (ar.IsStoring()) {
        ar << m_offsetX << m_offsetY;
        SIZE_T sizes[3];
        for (int i = 0; i < 3; ++i) {
            sizes[i] = *blocks[i] ? ::GlobalSize(*blocks[i]) : 0;
            CString line;
            line.Format("%u\n", static_cast<unsigned>(sizes[i]));
            ar.WriteString(line);
        }
        for (int i = 0; i < 3; ++i) {
            if (sizes[i] == 0) continue;
            const void* bytes = ::GlobalLock(*blocks[i]);
            if (!bytes) AfxThrowMemoryException();
            ar.Write(bytes, static_cast<UINT>(sizes[i]));
            ::GlobalUnlock(*blocks[i]);
        }
        return;
    }
    const UINT schema = ar.GetObjectSchema();
    if (schema != static_cast<UINT>(-1) && schema > kSchema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    FreeHandles();
    ar >> m_offsetX >> m_offsetY;
    SIZE_T sizes[3];
    for (SIZE_T& size : sizes) size = ReadDeviceBlockSize(ar);
    ULONGLONG total = 0;
    for (SIZE_T size : sizes) total += size;
    if (total > ar.GetBytesLeft()) AfxThrowArchiveException(CArchiveException::endOfFile);
    for (int i = 0; i < 3; ++i) {
        if (sizes[i] == 0) continue;
        HGLOBAL block = ::GlobalAlloc(GHND, sizes[i]);
        if (!block) AfxThrowMemoryException();
        void* bytes = ::GlobalLock(block);
        if (!bytes) {
            ::GlobalFree(block);
            AfxThrowMemoryException();
        }
        try {
            ar.EnsureRead(bytes, static_cast<UINT>(sizes[i]));
        } catch (...) {
            ::GlobalUnlock(block);
            ::GlobalFree(block);
            throw;
        }
        ::GlobalUnlock(block);
        *blocks[i] = block;
    }
}
