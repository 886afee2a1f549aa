#include "controls/AeroButton.h"

#include <algorithm>
#include <cstdlib>

#include "controls/ThemeApi.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"

IMPLEMENT_DYNAMIC(AeroButton, CIconButton)

BEGIN_MESSAGE_MAP(AeroButton, CIconButton)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

AeroButton::AeroButton() = default;
AeroButton::~AeroButton() = default;

void AeroButton::GenerateBackground(int pattern, BYTE noise, int hoverPercent, int blendPercent,
                                    COLORREF blendColour) {
    (void)pattern;  // every pattern is drawn as the shaded one
    GuardOperation(1706, [&] {
        if (m_look != kLookPlain || !m_hWnd) return;
        RECT window;
        GetWindowRect(&window);
        const int w = window.right - window.left, h = window.bottom - window.top;
        m_face.Create(w, h, 8);
        m_rowStrip.Create(std::max(w, 1), 1, 8);
        m_columnStrip.Create(1, std::max(h, 1), 8);

        for (CPaletteDib* image : {&m_face, &m_rowStrip, &m_columnStrip}) {
            for (int i = 0; i <= 128; ++i) {
                const BYTE level = static_cast<BYTE>(((128 - i) * 128 + 185 * i) / 128);
                image->SetPaletteIndex(i, level, level, level);
            }
            for (int k = 1; k <= 128; ++k) {
                const BYTE level = static_cast<BYTE>(((128 - k) * 185 + 255 * k) / 128);
                image->SetPaletteIndex(127 + k, level, level, level);
            }
        }
        m_face.BlendPalette(blendColour, blendPercent);

        if (BYTE* row = m_rowStrip.GetBits())
            for (int x = 0; x < m_rowStrip.GetWidth(); ++x) row[x] = (x & 1) ? 255 : 0;
        if (BYTE* column = m_columnStrip.GetBits())
            for (int r = 0; r < m_columnStrip.GetHeight(); ++r)
                column[r * m_columnStrip.GetStride()] = (r & 1) ? 255 : 0;

        if (BYTE* bits = m_face.GetBits()) {
            const int n = noise;
            const int noiseDivisor = 32767 / std::max(2 * n, 1);
            for (int r = 0; r < h; ++r) {
                BYTE* line = bits + static_cast<size_t>(r) * m_face.GetStride();
                const int a = (r * 255) / h - 127;
                const int a3 = a * a * a / 128 / 128;
                for (int x = 0; x < w; ++x) {
                    const int b = ((w - x) * 255) / w - 127;
                    int v = ((128 - n) * (a3 + b * b * b / 128 / 128)) / 128 + 128;
                    v = std::clamp(v, n, 255 - n);
                    // The noise lies in -n..+n; keep the index in range for any noise level.
                    const int index = v + (std::rand() / noiseDivisor - n);
                    line[x] = static_cast<BYTE>(std::clamp(index, 0, 255));
                }
            }
        }
        m_faceCopy.Clone(m_face);
        m_hover.Clone(m_face);
        m_hover.BlendPalette(RGB(255, 255, 255), hoverPercent);
        m_hoverCopy.Clone(m_hover);
        Invalidate();
    });
}

void AeroButton::UpdateTheme() {
    GuardOperation(2240, [&] {
        if (m_glassRequest != 0 && g_uxTheme.IsAppThemed()) {
            if (m_look == kLookPlain) {
                ModifyStyle(BS_OWNERDRAW, 0);
                m_look = kLookThemed;
                g_uxTheme.SetWindowTheme(m_hWnd, L"Explorer", nullptr);
                SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_icons[0].icon));
            }
            if (m_glassRequest == 1) m_look = GlassCompositionEnabled() ? kLookGlass : kLookThemed;
        } else if (m_look != kLookPlain) {
            ModifyStyle(0, BS_OWNERDRAW);
            m_look = kLookPlain;
            GenerateBackground(6, 8, 10, 0, 0);
        }
        Invalidate();
    });
}

void AeroButton::OnSysColorChange() {
    GuardOperation(2239, [&] {
        CIconButton::OnSysColorChange();
        UpdateTheme();
    });
}

DWORD AeroButton::OnDrawBackground(CDC* dc, RECT* rect) {
    (void)rect;
    GuardOperation(1707, [&] {
        if (m_look != kLookPlain) return;
        GetWindowText(m_captionText);
        if (m_mouseOver && m_pressed)
            m_hover.Draw(dc->GetSafeHdc(), 1, 1);
        else if (m_mouseOver)
            m_hover.Draw(dc->GetSafeHdc(), 0, 0);
        else
            m_face.Draw(dc->GetSafeHdc(), 0, 0);
    });
    return 0;
}

DWORD AeroButton::OnDrawBorder(CDC* dc, RECT* rect) {
    DWORD result = 0;
    GuardOperation(1708, [&] {
        if (m_look != kLookPlain) return;
        GetWindowText(m_captionText);
        result = CIconButton::OnDrawBorder(dc, rect);
    });
    return result;
}

void AeroButton::ReleaseImages() {
    GuardOperation(1709, [&] {
        if (m_look == kLookPlain) {
            for (CPaletteDib* image :
                 {&m_face, &m_hover, &m_faceCopy, &m_hoverCopy, &m_rowStrip, &m_columnStrip})
                image->Free();
        }
        CIconButton::OnDestroy();
    });
}

void AeroButton::OnDestroy() {
    ReleaseImages();
}
