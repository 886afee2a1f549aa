// CDIB: the one-block device-independent bitmap of the colour picker.
#include "bars/Dib.h"

#include <cstring>

CDIB::CDIB(HGLOBAL packed) {
    if (!packed) return;
    const SIZE_T blockSize = ::GlobalSize(packed);
    const BYTE* source = static_cast<const BYTE*>(::GlobalLock(packed));
    if (!source) return;
    // Everything read from the block is checked against its size: a packed bitmap can come from
    // another program (the clipboard) and may claim more than it holds.
    do {
        if (blockSize < sizeof(BITMAPINFOHEADER)) break;
        BITMAPINFOHEADER header;
        std::memcpy(&header, source, sizeof header);
        if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > blockSize) break;
        if (header.biCompression != BI_RGB || header.biPlanes != 1) break;
        const int bpp = header.biBitCount;
        if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24)) break;
        if (header.biWidth <= 0 || header.biHeight == 0 || header.biWidth > 65535) break;
        const long long rows =
            header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
        if (rows > 65535) break;
        const int tableSize = ColorTableSize(bpp);
        const DWORD used = header.biClrUsed ? header.biClrUsed : static_cast<DWORD>(tableSize);
        if (used > static_cast<DWORD>(tableSize)) break;
        const DWORD stride = GetDibStride(static_cast<DWORD>(header.biWidth), static_cast<DWORD>(bpp));
        const unsigned long long colorsEnd = header.biSize + static_cast<unsigned long long>(used) * 4;
        const unsigned long long bitsEnd = colorsEnd + static_cast<unsigned long long>(stride) * rows;
        if (bitsEnd > blockSize) break;

        if (!m_dib.Create(header.biWidth, static_cast<int>(rows), bpp)) break;
        std::memcpy(m_dib.ColorTable(), source + header.biSize, used * 4);
        const BYTE* sourceBits = source + colorsEnd;
        const int height = m_dib.Height();
        for (int row = 0; row < height; ++row) {
            // Source rows are stored bottom-up unless its height is negative.
            const int stored = header.biHeight > 0 ? row : height - 1 - row;
            std::memcpy(m_dib.Bits() + static_cast<size_t>(row) * stride,
                        sourceBits + static_cast<size_t>(stored) * stride, stride);
        }
    } while (false);
    ::GlobalUnlock(packed);
}

void CDIB::SetPalette(const BYTE* triples, int count) {
    RGBQUAD* colors = m_dib.ColorTable();
    if (!colors || !triples) return;
    if (count > m_dib.ColorCount()) count = m_dib.ColorCount();
    for (int i = 0; i < count; ++i) {
        colors[i].rgbRed = triples[i * 3];
        colors[i].rgbGreen = triples[i * 3 + 1];
        colors[i].rgbBlue = triples[i * 3 + 2];
        colors[i].rgbReserved = 0;
    }
}

void CDIB::Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const {
    if (IsEmpty() || !dc) return;
    // The device call counts source rows from the bottom of a bottom-up bitmap.
    const int bottomY = GetHeight() - sourceY - height;
    ::SetDIBitsToDevice(dc, x, y, width, height, sourceX, bottomY, 0, GetHeight(), m_dib.Bits(),
                        reinterpret_cast<const BITMAPINFO*>(m_dib.Header()), DIB_RGB_COLORS);
}
