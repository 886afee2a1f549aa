// Packed DIB layout helpers.
#include "controls/DibHelpers.h"

#include "framework/core/operation_error.h"

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

bool ReadInfo(const void* dib, DibInfo& info)
{
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

// Header plus colour table (or core palette) plus the masks of a 40-byte bit-field header.
DWORD HeaderAndTable(const DibInfo& info)
{
    if (info.headerSize == sizeof(BITMAPCOREHEADER))
        return 12 + (info.bitCount < 9 ? 3u * (1u << info.bitCount) : 0u);
    DWORD size = info.headerSize;
    if (info.colorsUsed != 0) size += 4 * info.colorsUsed;
    else if (info.bitCount < 9) size += 4 * (1u << info.bitCount);
    if (info.headerSize == sizeof(BITMAPINFOHEADER) && info.compression == BI_BITFIELDS) size += 12;
    return size;
}

}  // namespace

DWORD GetDibHeaderSize(const void* dib)
{
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

DWORD GetDibStride(DWORD width, DWORD bitCount)
{
    return ((width * bitCount + 31) >> 3) & ~3u;
}

DWORD GetDibBitsOffset(const void* dib)
{
    DibInfo info;
    if (!ReadInfo(dib, info)) return 0;
    DWORD offset = HeaderAndTable(info);
    if (info.headerSize == sizeof(BITMAPV5HEADER) && info.profileData <= offset) offset += info.profileSize;
    return offset;
}

DWORD GetPackedDibSize(const void* dib)
{
    DibInfo info;
    if (!ReadInfo(dib, info)) return 0;
    DWORD total = HeaderAndTable(info);
    if (info.headerSize == sizeof(BITMAPCOREHEADER)) {
        return total + GetDibStride(info.width, info.bitCount) * static_cast<DWORD>(info.height);
    }
    DWORD image = info.imageSize;
    if (image == 0) {
        if (info.compression != BI_RGB && info.compression != BI_BITFIELDS) return 0;
        DWORD rows = static_cast<DWORD>(info.height < 0 ? -info.height : info.height);
        image = GetDibStride(info.width, info.bitCount) * rows;
    }
    total += image;
    if (info.headerSize == sizeof(BITMAPV5HEADER)) total = (total > info.profileData ? total : info.profileData) + info.profileSize;
    return total;
}

int FillBitmapFileHeader(const void* dib, BITMAPFILEHEADER* out)
{
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

HBITMAP Create24BitDibSection(HDC dc, int width, int height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}
