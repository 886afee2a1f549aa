// Packed DIB layout helpers.
#include "framework/graphics/DibHelpers.h"

#include <new>

#include "framework/core/OperationError.h"

namespace {

struct DibInfo {
    DWORD headerSize = 0;
    DWORD width = 0;
    LONG height = 0;
    DWORD bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD imageSize = 0;
    DWORD colorsUsed = 0;
    DWORD profileData = 0;
    DWORD profileSize = 0;
};

bool ReadInfo(const void* dib, DibInfo& info) {
    if (!dib) return false;
    info.headerSize = GetDibHeaderSize(dib);
    if (info.headerSize == 0) return false;
    if (info.headerSize == sizeof(BITMAPCOREHEADER)) {
        const BITMAPCOREHEADER* h = static_cast<const BITMAPCOREHEADER*>(dib);
        info.width = h->bcWidth;
        info.height = h->bcHeight;
        info.bitCount = h->bcBitCount;
        return true;
    }
    const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(dib);
    info.width = static_cast<DWORD>(h->biWidth);
    info.height = h->biHeight;
    info.bitCount = h->biBitCount;
    info.compression = h->biCompression;
    info.imageSize = h->biSizeImage;
    info.colorsUsed = h->biClrUsed;
    if (info.headerSize >= sizeof(BITMAPV5HEADER)) {
        const BITMAPV5HEADER* v5 = static_cast<const BITMAPV5HEADER*>(dib);
        info.profileData = v5->bV5ProfileData;
        info.profileSize = v5->bV5ProfileSize;
    }
    return true;
}

// Header plus colour table (or core palette) plus the masks of a 40-byte bit-field header. In 64
// bits: a damaged colour count must not wrap the sum round to something small.
ULONGLONG HeaderAndTable(const DibInfo& info) {
    if (info.headerSize == sizeof(BITMAPCOREHEADER))
        return 12 + (info.bitCount < 9 ? 3ull * (1ull << info.bitCount) : 0ull);
    ULONGLONG size = info.headerSize;
    if (info.colorsUsed != 0)
        size += 4ull * info.colorsUsed;
    else if (info.bitCount < 9)
        size += 4ull * (1ull << info.bitCount);
    if (info.headerSize == sizeof(BITMAPINFOHEADER) && info.compression == BI_BITFIELDS) size += 12;
    return size;
}

// The whole packed DIB in 64 bits; 0 when it cannot be known. The pixel rows of uncompressed and
// bit-field images are counted from the width, bit count and height, never from the image-size
// field, which a damaged or hostile block may set to anything.
ULONGLONG PackedSize64(const DibInfo& info) {
    ULONGLONG total = HeaderAndTable(info);
    const ULONGLONG rowBits = static_cast<ULONGLONG>(info.width) * info.bitCount;
    const ULONGLONG stride = ((rowBits + 31) >> 3) & ~3ull;
    if (info.headerSize == sizeof(BITMAPCOREHEADER))
        return total + stride * static_cast<ULONGLONG>(static_cast<WORD>(info.height));
    ULONGLONG image;
    if (info.compression == BI_RGB || info.compression == BI_BITFIELDS) {
        // A negative width has no meaning; it would read as some four thousand million pixels.
        if (static_cast<LONG>(info.width) < 0) return 0;
        const ULONGLONG rows =
            info.height < 0 ? 0ull - static_cast<LONGLONG>(info.height) : static_cast<ULONGLONG>(info.height);
        image = stride * rows;
    } else {
        if (info.imageSize == 0) return 0;
        image = info.imageSize;
    }
    total += image;
    if (info.headerSize == sizeof(BITMAPV5HEADER))
        total = (total > info.profileData ? total : info.profileData) + info.profileSize;
    return total;
}

}  // namespace

DWORD GetDibHeaderSize(const void* dib) {
    if (!dib) return 0;
    DWORD size = *static_cast<const DWORD*>(dib);
    switch (size) {
        case 12:
        case 40:
        case 108:
        case 124:
            return size;
        default:
            return 0;
    }
}

DWORD GetDibStride(DWORD width, DWORD bitCount) {
    return ((width * bitCount + 31) >> 3) & ~3u;
}

DWORD GetDibBitsOffset(const void* dib) {
    DibInfo info;
    if (!ReadInfo(dib, info)) return 0;
    ULONGLONG offset = HeaderAndTable(info);
    if (info.headerSize == sizeof(BITMAPV5HEADER) && info.profileData <= offset) offset += info.profileSize;
    return offset > 0xFFFFFFFFull ? 0 : static_cast<DWORD>(offset);
}

DWORD GetPackedDibSize(const void* dib) {
    DibInfo info;
    if (!ReadInfo(dib, info)) return 0;
    const ULONGLONG total = PackedSize64(info);
    return total > 0xFFFFFFFFull ? 0 : static_cast<DWORD>(total);
}

DWORD GetPackedDibSizeWithin(const void* dib, SIZE_T available) {
    // The header's own fields are read only once the block is known to hold them.
    if (!dib || available < sizeof(DWORD)) return 0;
    const DWORD headerSize = GetDibHeaderSize(dib);
    if (headerSize == 0 || available < headerSize) return 0;
    const DWORD total = GetPackedDibSize(dib);
    if (total == 0 || total > available) return 0;
    const DWORD bits = GetDibBitsOffset(dib);
    if (bits == 0 || bits > total) return 0;
    return total;
}

int FillBitmapFileHeader(const void* dib, BITMAPFILEHEADER* out) {
    int result = 0;
    GuardOperation(2210, [&] {
        DWORD size = GetPackedDibSize(dib);
        DWORD bits = GetDibBitsOffset(dib);
        if (size == 0 || bits == 0 || !out) return;
        out->bfType = 0x4D42;
        out->bfSize = size + 14;
        out->bfReserved1 = 0;
        out->bfReserved2 = 0;
        out->bfOffBits = bits + 14;
        result = 1;
    });
    return result;
}

HBITMAP Create24BitDibSection(HDC dc, int width, int height) {
    return CreateTopDownDibSection(dc, width, height, 24).Release();
}

int GetDibColorTableSize(int bitCount) {
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

BITMAPINFOHEADER MakeDibHeader(int width, int height, int bitCount) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    return header;
}

BITMAPINFO MakeTopDownDibInfo(int width, int height, int bitCount) {
    BITMAPINFO info = {};
    info.bmiHeader = MakeDibHeader(width, -height, bitCount);
    return info;
}

ScopedBitmap CreateTopDownDibSection(HDC dc, int width, int height, int bitCount, void** bits) {
    // Room for a whole colour table, so that a palette bit count reads a valid (black) one.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header = MakeDibHeader(width, -height, bitCount);
    void* pixels = nullptr;
    ScopedBitmap section(
        ::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits) *bits = section ? pixels : nullptr;
    return section;
}

bool PackedDib::Create(int width, int height, int bitCount) {
    Free();
    const bool knownDepth =
        bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    if (width < 1 || height < 1 || !knownDepth) return false;
    // Sizes in 64 bits: a width or height whose bytes would not fit is refused, never wrapped.
    const ULONGLONG stride = ((static_cast<ULONGLONG>(width) * bitCount + 31) / 32) * 4;
    const ULONGLONG table = sizeof(RGBQUAD) * static_cast<ULONGLONG>(GetDibColorTableSize(bitCount));
    const ULONGLONG image = stride * static_cast<ULONGLONG>(height);
    if (image > 0x7FFFFFFFull) return false;
    const DWORD size = static_cast<DWORD>(sizeof(BITMAPINFOHEADER) + table + image);
    m_block.reset(new (std::nothrow) BYTE[size]());
    if (!m_block) return false;
    *Header() = MakeDibHeader(width, height, bitCount);
    m_size = size;
    m_stride = static_cast<DWORD>(stride);
    return true;
}

void PackedDib::Free() {
    m_block.reset();
    m_size = 0;
    m_stride = 0;
}

RGBQUAD* PackedDib::ColorTable() const {
    return m_block ? reinterpret_cast<RGBQUAD*>(m_block.get() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

BYTE* PackedDib::Bits() const {
    return m_block ? m_block.get() + sizeof(BITMAPINFOHEADER) + ColorCount() * sizeof(RGBQUAD) : nullptr;
}

BYTE* PackedDib::Row(int top) const {
    if (!m_block || top < 0 || top >= Height()) return nullptr;
    return Bits() + static_cast<size_t>(Height() - 1 - top) * m_stride;
}
