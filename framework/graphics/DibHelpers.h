// Layout of packed device-independent bitmaps (header, colour table or masks, colour profile,
// pixel rows), the 14-byte "BM" file header that makes one a BMP file, and 24-bit DIB sections.
#pragma once

#include <windows.h>

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
// A 24-bit top-down DIB section for the DC; NULL when it cannot be made.
HBITMAP Create24BitDibSection(HDC dc, int width, int height);
