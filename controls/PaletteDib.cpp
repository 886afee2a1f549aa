#include "controls/PaletteDib.h"

#include <cstring>
#include <new>

#include "framework/graphics/DibHelpers.h"
#include "framework/win/ScopedGdi.h"
#include "framework/core/OperationError.h"

CPaletteDib::~CPaletteDib() {
    GuardOperation(1329, [&] { Free(); });
}

BYTE* CPaletteDib::Create(int width, int height, int bitCount) {
    BYTE* result = nullptr;
    GuardOperation(1331, [&] {
        Free();
        if (width < 1 || height < 1) return;
        const DWORD stride = GetDibStride(static_cast<DWORD>(width), static_cast<DWORD>(bitCount));
        // Sizes whose bytes would not fit in 32 bits are refused rather than wrapped.
        if (stride != 0 &&
            static_cast<unsigned long long>(stride) * static_cast<unsigned>(height) > 0x7FFFFFFFull)
            return;
        m_paletteEntries = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
        m_stride = stride;
        m_header = {};
        m_header.biSize = sizeof(BITMAPINFOHEADER);
        m_header.biWidth = width;
        m_header.biHeight = height;
        m_header.biPlanes = 1;
        m_header.biBitCount = static_cast<WORD>(bitCount);
        m_header.biCompression = BI_RGB;
        m_header.biSizeImage = stride * static_cast<DWORD>(height);
        m_block = new (std::nothrow) BYTE[GetSize()]();
        if (!m_block) {
            m_header = {};
            m_stride = 0;
            m_paletteEntries = 0;
            return;
        }
        std::memcpy(m_block, &m_header, sizeof(m_header));
        result = m_block;
    });
    return result;
}

void CPaletteDib::Free() {
    m_memoryDC.Reset();
    m_section.Reset();
    delete[] m_block;
    m_sectionBits = nullptr;
    m_block = nullptr;
    m_header = {};
    m_stride = 0;
    m_paletteEntries = 0;
}

BYTE* CPaletteDib::Clone(const CPaletteDib& source) {
    BYTE* result = nullptr;
    GuardOperation(1338, [&] {
        if (&source == this) {
            result = m_block;
            return;
        }
        if (source.IsEmpty()) {
            Free();
            return;
        }
        if (!Create(source.GetWidth(), source.GetHeight(), source.GetBitCount())) return;
        std::memcpy(m_block, source.m_block, GetSize());
        result = m_block;
    });
    return result;
}

DWORD CPaletteDib::GetSize() const {
    return sizeof(BITMAPINFOHEADER) + m_header.biSizeImage + GetPaletteSize();
}

BYTE* CPaletteDib::GetBits() const {
    return m_block ? m_block + sizeof(BITMAPINFOHEADER) + GetPaletteSize() : nullptr;
}

void CPaletteDib::SetPaletteIndex(int index, BYTE red, BYTE green, BYTE blue) {
    if (!m_block || index < 0 || index >= m_paletteEntries) return;
    RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(m_block + sizeof(BITMAPINFOHEADER));
    palette[index] = {blue, green, red, 0};
}

RGBQUAD CPaletteDib::GetPaletteEntry(int index) const {
    if (!m_block || index < 0 || index >= m_paletteEntries) return RGBQUAD{0, 0, 0, 0};
    return reinterpret_cast<const RGBQUAD*>(m_block + sizeof(BITMAPINFOHEADER))[index];
}

void CPaletteDib::SetPixelIndex(int x, int y, BYTE index) {
    GuardOperation(1337, [&] {
        if (!m_block || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return;
        GetBits()[static_cast<DWORD>(GetHeight() - y - 1) * m_stride + static_cast<DWORD>(x)] = index;
    });
}

BYTE CPaletteDib::GetPixelIndex(int x, int y) const {
    if (!m_block || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return 0;
    return GetBits()[static_cast<DWORD>(GetHeight() - y - 1) * m_stride + static_cast<DWORD>(x)];
}

void CPaletteDib::Clear(BYTE value) {
    GuardOperation(1336, [&] {
        if (m_block) std::memset(GetBits(), value, m_header.biSizeImage);
    });
}

void CPaletteDib::BlendPalette(COLORREF colour, int percent) {
    if (!m_block) return;
    if (percent > 100) percent = 100;
    if (percent < 0) percent = 0;
    RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(m_block + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < m_paletteEntries; ++i) {
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
        if (!m_block || !dc) return;
        if (!m_section) {
            m_section.Reset(::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(m_block), DIB_RGB_COLORS,
                                               &m_sectionBits, nullptr, 0));
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
        std::memcpy(m_sectionBits, GetBits(), m_header.biSizeImage);
        // The palette may have changed since the section was made.
        if (m_paletteEntries)
            ::SetDIBColorTable(m_memoryDC, 0, m_paletteEntries,
                               reinterpret_cast<const RGBQUAD*>(m_block + sizeof(BITMAPINFOHEADER)));
        ::BitBlt(dc, x, y, GetWidth(), GetHeight(), m_memoryDC, 0, 0, SRCCOPY);
        selection.Restore();
    });
}
