// Layout of packed device-independent bitmaps (header, colour table or masks, colour profile,
// pixel rows), the 14-byte "BM" file header that makes one a BMP file, the BI_RGB header and the
// top-down DIB sections every drawing surface is made from, and PackedDib, the one-block bitmap
// under the colour picker's bar and the plain push button's faces.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/win/ScopedGdi.h"

// 12, 40, 108 or 124 (the recognised headers), else 0.
DWORD GetDibHeaderSize(const void* dib);
// Bytes per row: width x bits rounded up to whole 32-bit words.
DWORD GetDibStride(DWORD width, DWORD bitCount);
// Offset of the pixel rows from the start of the packed DIB; 0 for an unknown header.
DWORD GetDibBitsOffset(const void* dib);
// Total size of the packed DIB; 0 when it cannot be known. The header must be readable: use
// GetPackedDibSizeWithin for a block of untrusted size.
DWORD GetPackedDibSize(const void* dib);
// The same for a block of `available` bytes: 0 unless the block holds the whole header, the
// colour table and every pixel row the header describes.
DWORD GetPackedDibSizeWithin(const void* dib, SIZE_T available);
// Fills the BMP file header for the DIB; 0 (header untouched) when a size is unknown.
int FillBitmapFileHeader(const void* dib, BITMAPFILEHEADER* out);
// A 24-bit top-down DIB section for the DC; NULL when it cannot be made. The caller owns it.
HBITMAP Create24BitDibSection(HDC dc, int width, int height);

// Entries of the colour table of a BI_RGB bitmap: 1 bit -> 2, 4 -> 16, 8 -> 256, any other none.
int GetDibColorTableSize(int bitCount);
// A BI_RGB header of one plane, everything not given 0. `height` as the header stores it: positive
// for rows stored bottom-up, negative for rows stored top-down.
BITMAPINFOHEADER MakeDibHeader(int width, int height, int bitCount);
// The header (no colour table) of a top-down BI_RGB bitmap of width x height pixels.
BITMAPINFO MakeTopDownDibInfo(int width, int height, int bitCount);
// A top-down BI_RGB DIB section of width x height pixels (the DC only matters to palette colours;
// NULL is fine); empty when it cannot be made. `bits`, when given, receives its pixel memory.
ScopedBitmap CreateTopDownDibSection(HDC dc, int width, int height, int bitCount, void** bits = nullptr);

// A packed BI_RGB bitmap in one heap block: the 40-byte header, the colour table (see
// GetDibColorTableSize; entries blue, green, red, 0) and the pixel rows stored bottom-up, each
// rounded up to whole 32-bit words. Rows are addressed from the top of the picture.
class PackedDib {
public:
    // Frees what it holds and allocates a zeroed bitmap. False, and empty, for a size below 1, a
    // bit count other than 1, 4, 8, 16, 24 or 32, an image of 2 GB or more, or no memory.
    bool Create(int width, int height, int bitCount);
    void Free();

    bool IsEmpty() const { return !m_block; }
    // The whole block (a packed DIB) and its size; null and 0 when empty.
    BYTE* Data() const { return m_block.get(); }
    DWORD Size() const { return m_size; }
    // Null when empty.
    BITMAPINFOHEADER* Header() const { return reinterpret_cast<BITMAPINFOHEADER*>(m_block.get()); }
    RGBQUAD* ColorTable() const;
    BYTE* Bits() const;
    int Width() const { return m_block ? Header()->biWidth : 0; }
    int Height() const { return m_block ? Header()->biHeight : 0; }
    int BitCount() const { return m_block ? Header()->biBitCount : 0; }
    int ColorCount() const { return m_block ? GetDibColorTableSize(BitCount()) : 0; }
    DWORD Stride() const { return m_stride; }
    DWORD ImageSize() const { return m_stride * static_cast<DWORD>(Height()); }
    // The first byte of row `top` counted from the top of the picture; null outside it.
    BYTE* Row(int top) const;

private:
    std::unique_ptr<BYTE[]> m_block;
    DWORD m_size = 0;
    DWORD m_stride = 0;
};
