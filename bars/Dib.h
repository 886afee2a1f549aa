// CDIB: a device-independent bitmap held in one memory block (a PackedDib: 40-byte header,
// colour table, pixel rows stored bottom-up), its rows counted from the top of the picture.
// The colour picker draws its brightness bar from an 8-bit one whose palette it rewrites; it can
// also take a copy of a packed bitmap from global memory.
#pragma once

#include <windows.h>

#include "framework/graphics/DibHelpers.h"

class CDIB {
public:
    CDIB() = default;
    // Takes a copy of a packed bitmap in global memory when it is one this class can hold: a
    // 40-byte (or longer, of the same layout) header, uncompressed, below 15 or exactly 24 bits
    // per pixel, a colour count that fits the depth, and header, colours and rows inside the
    // block. Anything else leaves the object empty.
    explicit CDIB(HGLOBAL packed);
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    // A new uncompressed bitmap, everything zero; false (and empty) for a size below 1.
    bool Create(int width, int height, int bitsPerPixel) { return m_dib.Create(width, height, bitsPerPixel); }
    // Fills the whole colour table from red, green, blue triples (count triples; the rest stay).
    void SetPalette(const BYTE* triples, int count);
    // The first byte of a row, row 0 being the top row; null outside the picture.
    BYTE* GetRow(int index) const { return m_dib.Row(index); }
    // Copies (sourceX, sourceY, width, height) of the picture, rows counted from the top, to
    // (x, y) of the device.
    void Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const;
    void Free() { m_dib.Free(); }

    bool IsEmpty() const { return m_dib.IsEmpty(); }
    int GetWidth() const { return m_dib.Width(); }
    int GetHeight() const { return m_dib.Height(); }
    int GetStride() const { return static_cast<int>(m_dib.Stride()); }
    int GetBitsPerPixel() const { return m_dib.BitCount(); }
    const BITMAPINFOHEADER* GetHeader() const { return m_dib.Header(); }
    const RGBQUAD* GetColorTable() const { return m_dib.ColorTable(); }
    const BYTE* GetBits() const { return m_dib.Bits(); }

    // Entries of the colour table for a depth: 1 -> 2, 4 -> 16, 8 -> 256, others none.
    static int ColorTableSize(int bitsPerPixel) { return GetDibColorTableSize(bitsPerPixel); }

private:
    PackedDib m_dib;
};
