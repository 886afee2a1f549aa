// CDIB: the one-block device-independent bitmap of the colour picker.
#include "bars/Dib.h"

#include <cstring>

namespace {

// Stride in bytes of a row of `width` pixels: whole 32-bit words.
int RowStride(int width, int bitsPerPixel) {
    return static_cast<int>(((static_cast<long long>(width) * bitsPerPixel + 31) / 32) * 4);
}

}  // namespace

int CDIB::ColorTableSize(int bitsPerPixel) {
    switch (bitsPerPixel) {
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
        const int stride = RowStride(header.biWidth, bpp);
        const unsigned long long colorsEnd = header.biSize + static_cast<unsigned long long>(used) * 4;
        const unsigned long long bitsEnd = colorsEnd + static_cast<unsigned long long>(stride) * rows;
        if (bitsEnd > blockSize) break;

        Allocate(header.biWidth, static_cast<int>(rows), bpp);
        std::memcpy(m_colors, source + header.biSize, used * 4);
        const BYTE* sourceBits = source + colorsEnd;
        for (int row = 0; row < m_height; ++row) {
            // Source rows are stored bottom-up unless its height is negative.
            const int stored = header.biHeight > 0 ? row : m_height - 1 - row;
            std::memcpy(m_bits + static_cast<size_t>(row) * m_stride,
                        sourceBits + static_cast<size_t>(stored) * stride, m_stride);
        }
    } while (false);
    ::GlobalUnlock(packed);
}

void CDIB::Allocate(int width, int height, int bitsPerPixel) {
    Free();
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_stride = RowStride(width, bitsPerPixel);
    const int tableSize = ColorTableSize(bitsPerPixel);
    const size_t bitsSize = static_cast<size_t>(m_stride) * height;
    m_block.assign(sizeof(BITMAPINFOHEADER) + tableSize * sizeof(RGBQUAD) + bitsSize, 0);
    m_header = reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
    m_header->biSize = sizeof(BITMAPINFOHEADER);
    m_header->biWidth = width;
    m_header->biHeight = height;
    m_header->biPlanes = 1;
    m_header->biBitCount = static_cast<WORD>(bitsPerPixel);
    m_header->biCompression = BI_RGB;
    m_colors = reinterpret_cast<RGBQUAD*>(m_block.data() + sizeof(BITMAPINFOHEADER));
    m_bits = m_block.data() + sizeof(BITMAPINFOHEADER) + tableSize * sizeof(RGBQUAD);
    // Rows are stored bottom-up: the top row of the picture is the last one in the block.
    m_rows.resize(height);
    for (int i = 0; i < height; ++i) m_rows[i] = m_bits + static_cast<size_t>(height - 1 - i) * m_stride;
}

bool CDIB::Create(int width, int height, int bitsPerPixel) {
    Free();
    const bool knownDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
                            bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (width < 1 || height < 1 || !knownDepth) return false;
    Allocate(width, height, bitsPerPixel);
    return true;
}

void CDIB::SetPalette(const BYTE* triples, int count) {
    const int tableSize = ColorTableSize(m_bitsPerPixel);
    if (!m_colors || !triples) return;
    if (count > tableSize) count = tableSize;
    for (int i = 0; i < count; ++i) {
        m_colors[i].rgbRed = triples[i * 3];
        m_colors[i].rgbGreen = triples[i * 3 + 1];
        m_colors[i].rgbBlue = triples[i * 3 + 2];
        m_colors[i].rgbReserved = 0;
    }
}

BYTE* CDIB::GetRow(int index) const {
    if (index < 0 || index >= m_height) return nullptr;
    return m_rows[index];
}

void CDIB::Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const {
    if (IsEmpty() || !dc) return;
    // The device call counts source rows from the bottom of a bottom-up bitmap.
    const int bottomY = m_height - sourceY - height;
    ::SetDIBitsToDevice(dc, x, y, width, height, sourceX, bottomY, 0, m_height, m_bits,
                        reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS);
}

void CDIB::Free() {
    m_block.clear();
    m_block.shrink_to_fit();
    m_rows.clear();
    m_bits = nullptr;
    m_header = nullptr;
    m_colors = nullptr;
    m_width = m_height = m_stride = m_bitsPerPixel = 0;
}
