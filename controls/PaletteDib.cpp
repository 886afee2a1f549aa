// CPaletteDib: the 8-bit palette images of the plain push button's faces, over a PackedDib.
#include "controls/PaletteDib.h"

#include <cstring>

#include "framework/core/OperationError.h"

CPaletteDib::~CPaletteDib() {
    GuardOperation(1329, [&] { Free(); });
}

BYTE* CPaletteDib::Create(int width, int height, int bitCount) {
    BYTE* result = nullptr;
    GuardOperation(1331, [&] {
        Free();
        if (!m_dib.Create(width, height, bitCount)) return;
        // The block's header carries its image size, so that a copy of it is complete.
        m_dib.Header()->biSizeImage = m_dib.ImageSize();
        result = m_dib.Data();
    });
    return result;
}

void CPaletteDib::Free() {
    m_memoryDC.Reset();
    m_section.Reset();
    m_dib.Free();
    m_sectionBits = nullptr;
}

BYTE* CPaletteDib::Clone(const CPaletteDib& source) {
    BYTE* result = nullptr;
    GuardOperation(1338, [&] {
        if (&source == this) {
            result = m_dib.Data();
            return;
        }
        if (source.IsEmpty()) {
            Free();
            return;
        }
        if (!Create(source.GetWidth(), source.GetHeight(), source.GetBitCount())) return;
        std::memcpy(m_dib.Data(), source.m_dib.Data(), GetSize());
        result = m_dib.Data();
    });
    return result;
}

void CPaletteDib::SetPaletteIndex(int index, BYTE red, BYTE green, BYTE blue) {
    if (index < 0 || index >= m_dib.ColorCount()) return;
    m_dib.ColorTable()[index] = {blue, green, red, 0};
}

RGBQUAD CPaletteDib::GetPaletteEntry(int index) const {
    if (index < 0 || index >= m_dib.ColorCount()) return RGBQUAD{0, 0, 0, 0};
    return m_dib.ColorTable()[index];
}

void CPaletteDib::SetPixelIndex(int x, int y, BYTE index) {
    GuardOperation(1337, [&] {
        BYTE* row = m_dib.Row(y);
        if (row && x >= 0 && x < GetWidth()) row[x] = index;
    });
}

BYTE CPaletteDib::GetPixelIndex(int x, int y) const {
    const BYTE* row = m_dib.Row(y);
    return row && x >= 0 && x < GetWidth() ? row[x] : 0;
}

void CPaletteDib::Clear(BYTE value) {
    GuardOperation(1336, [&] {
        if (!IsEmpty()) std::memset(GetBits(), value, m_dib.ImageSize());
    });
}

void CPaletteDib::BlendPalette(COLORREF colour, int percent) {
    if (percent > 100) percent = 100;
    if (percent < 0) percent = 0;
    RGBQUAD* palette = m_dib.ColorTable();
    for (int i = 0; i < m_dib.ColorCount(); ++i) {
        palette[i].rgbRed =
            static_cast<BYTE>((palette[i].rgbRed * (100 - percent) + GetRValue(colour) * percent) / 100);
        palette[i].rgbGreen =
            static_cast<BYTE>((palette[i].rgbGreen * (100 - percent) + GetGValue(colour) * percent) / 100);
        palette[i].rgbBlue =
            static_cast<BYTE>((palette[i].rgbBlue * (100 - percent) + GetBValue(colour) * percent) / 100);
    }
}

void CPaletteDib::Draw(HDC dc, int x, int y) {
    GuardOperation(1340, [&] {
        if (IsEmpty() || !dc) return;
        if (!m_section) {
            m_section.Reset(::CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(m_dib.Data()),
                                               DIB_RGB_COLORS, &m_sectionBits, nullptr, 0));
            if (!m_section || !m_sectionBits) {
                m_section.Reset();
                m_sectionBits = nullptr;
                return;
            }
            m_memoryDC.Reset(::CreateCompatibleDC(dc));
            if (!m_memoryDC) return;
        }
        if (!m_memoryDC) return;
        ScopedSelect selection(m_memoryDC, m_section);
        std::memcpy(m_sectionBits, GetBits(), m_dib.ImageSize());
        // The palette may have changed since the section was made.
        if (m_dib.ColorCount()) ::SetDIBColorTable(m_memoryDC, 0, m_dib.ColorCount(), m_dib.ColorTable());
        ::BitBlt(dc, x, y, GetWidth(), GetHeight(), m_memoryDC, 0, 0, SRCCOPY);
        selection.Restore();
    });
}
