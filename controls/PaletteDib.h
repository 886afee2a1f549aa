// CPaletteDib: a device-independent bitmap in one heap block (header, palette, pixel rows, rows
// stored bottom-up) that can be drawn onto a device context. The themed push button keeps its
// generated faces in 8-bit palette images, so that a variant is made by changing 256 palette
// entries instead of every pixel.
#pragma once

#include <windows.h>

#include "framework/graphics/DibHelpers.h"
#include "framework/win/ScopedGdi.h"

class CPaletteDib {
public:
    CPaletteDib() = default;
    ~CPaletteDib();
    CPaletteDib(const CPaletteDib&) = delete;
    CPaletteDib& operator=(const CPaletteDib&) = delete;

    // Frees what it holds and allocates a zeroed image; the block, or NULL (a size below 1, a
    // depth a bitmap cannot have, or no memory).
    BYTE* Create(int width, int height, int bitCount);
    void Free();
    // A copy of the source's whole block (NULL when the source is empty).
    BYTE* Clone(const CPaletteDib& source);

    BYTE* GetBits() const { return m_dib.Bits(); }
    int GetWidth() const { return m_dib.Width(); }
    int GetHeight() const { return m_dib.Height(); }
    DWORD GetStride() const { return m_dib.Stride(); }
    DWORD GetPaletteSize() const { return static_cast<DWORD>(m_dib.ColorCount()) * 4u; }
    // Bytes of the whole block.
    DWORD GetSize() const { return m_dib.Size(); }
    bool IsEmpty() const { return m_dib.IsEmpty(); }
    int GetBitCount() const { return m_dib.BitCount(); }

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
    PackedDib m_dib;
    // The section the image is copied into for drawing, and the DC it is selected into while it is.
    ScopedBitmap m_section;
    ScopedDC m_memoryDC;
    void* m_sectionBits = nullptr;
};
