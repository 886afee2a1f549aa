// CPaletteDib: a device-independent bitmap in one heap block (header, palette, pixel rows, rows
// stored bottom-up) that can be drawn onto a device context. The themed push button keeps its
// generated faces in 8-bit palette images, so that a variant is made by changing 256 palette
// entries instead of every pixel.
#pragma once

#include <windows.h>

#include "framework/win/ScopedGdi.h"

class CPaletteDib {
public:
    CPaletteDib() = default;
    ~CPaletteDib();
    CPaletteDib(const CPaletteDib&) = delete;
    CPaletteDib& operator=(const CPaletteDib&) = delete;

    // Frees what it holds and allocates a zeroed image; the block, or NULL (a size below 1 or no memory).
    BYTE* Create(int width, int height, int bitCount);
    void Free();
    // A copy of the source's whole block (NULL when the source is empty).
    BYTE* Clone(const CPaletteDib& source);

    BYTE* GetBits() const;
    int GetWidth() const { return m_block ? m_header.biWidth : 0; }
    int GetHeight() const { return m_block ? m_header.biHeight : 0; }
    DWORD GetStride() const { return m_stride; }
    DWORD GetPaletteSize() const { return m_paletteEntries * 4u; }
    // Bytes of the whole block.
    DWORD GetSize() const;
    bool IsEmpty() const { return m_block == nullptr; }
    int GetBitCount() const { return m_block ? m_header.biBitCount : 0; }

    void SetPaletteIndex(int index, BYTE red, BYTE green, BYTE blue);
    RGBQUAD GetPaletteEntry(int index) const;
    // y counted from the top; outside the image nothing happens.
    void SetPixelIndex(int x, int y, BYTE index);
    BYTE GetPixelIndex(int x, int y) const;
    void Clear(BYTE value);
    // Every entry moves `percent` (at most 100) of the way to the colour.
    void BlendPalette(COLORREF colour, int percent);
    // Copies the image to (x, y) of the DC at its own size; an empty image draws nothing.
    void Draw(HDC dc, int x, int y);

private:
    BYTE* m_block = nullptr;
    BITMAPINFOHEADER m_header = {};
    DWORD m_stride = 0;
    WORD m_paletteEntries = 0;
    // The section the image is copied into for drawing, and the DC it is selected into while it is.
    ScopedBitmap m_section;
    ScopedDC m_memoryDC;
    void* m_sectionBits = nullptr;
};
