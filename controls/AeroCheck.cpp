#include "controls/AeroCheck.h"

#include <vector>

#include "controls/AeroDialog.h"
#include "framework/graphics/DibSectionBitmap.h"
#include "controls/ThemeApi.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(AeroCheck, CButton)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ENABLE()
    ON_WM_ERASEBKGND()
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

namespace {

const int kPartCheckBox = 3;

}  // namespace

AeroCheck::AeroCheck() : ThemedControl(2244, 2243) {}

AeroCheck::~AeroCheck() {
    GuardOperation(2242, [&] { ReleaseGlass(); });
}

void AeroCheck::ReleaseGlass() {
    m_glass.Free();
}

// A window made through Create was set up once already when it was attached, but the creation
// then gave it the rectangle it asked for: no margin is applied any more.
void AeroCheck::PrepareCreatedWindow() {
    m_glowMarginApplied = 0;
}

void AeroCheck::InitControl() {
    GuardOperation(2245, [&] {
        HFONT font = m_standardFont ? g_uiFont : g_uiScaledFont;
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        const AeroDialog* dialog =
            dynamic_cast<const AeroDialog*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
        if (dialog && dialog->m_glassMode == 1) m_onGlass = 1;
        UpdateTheme();
    });
}

void AeroCheck::UpdateTheme() {
    if (!m_onGlass) return;
    if (GlassCompositionEnabled()) {
        m_glassRendering = 1;
        SetGlowMargin(true);
        RenderGlass();
        g_uxTheme.SetWindowTheme(m_hWnd, L"Explorer", nullptr);
    } else {
        m_glassRendering = 0;
        SetGlowMargin(false);
    }
}

void AeroCheck::SetGlowMargin(bool on) {
    GuardOperation(2248, [&] {
        if ((on ? 1 : 0) == m_glowMarginApplied) return;
        m_glowMarginApplied = on ? 1 : 0;
        RECT r;
        GetWindowRect(&r);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
        const int g = g_glowMargin;
        const int w = r.right - r.left, h = r.bottom - r.top;
        // The glyph keeps its left edge: the box grows up, down and to the right only.
        if (on)
            SetWindowPos(nullptr, r.left, r.top - g, w + g, h + 2 * g, SWP_NOZORDER);
        else
            SetWindowPos(nullptr, r.left, r.top + g, w - g, h - 2 * g, SWP_NOZORDER);
    });
}

HBRUSH AeroCheck::CtlColor(CDC* dc, UINT) {
    HBRUSH brush = nullptr;
    GuardOperation(395, [&] {
        dc->SetBkMode(TRANSPARENT);
        if (m_glassRendering || !g_backgroundBrush)
            brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        else
            brush = g_backgroundBrush;
    });
    return brush;
}

void AeroCheck::OnEnable(BOOL enable) {
    GuardOperation(396, [&] {
        HWND parent = ::GetParent(m_hWnd);
        if (parent) {
            ScopedWindowDC dc(parent);
            if (dc) {
                RECT r;
                GetClientRect(&r);
                ::MapWindowPoints(m_hWnd, parent, reinterpret_cast<POINT*>(&r), 2);
                ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
                ::SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
            }
        }
        CButton::OnEnable(enable);
    });
}

BOOL AeroCheck::OnEraseBkgnd(CDC*) {
    return TRUE;
}

LRESULT AeroCheck::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CButton::WindowProc(message, wParam, lParam);
    // The glass rendering holds the text, its colour and the focus rectangle: it is made again
    // when one of them changes.
    switch (message) {
        case WM_SETTEXT:
        case WM_SETFONT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_SIZE:
        case WM_ENABLE:
            if (m_glass.Bitmap()) {
                ReleaseGlass();
                if (m_glassRendering) ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            break;
        default:
            break;
    }
    return result;
}

void AeroCheck::RenderGlass() {
    if (m_glass.Bitmap()) return;
    GuardOperation(2247, [&] {
        RECT client;
        GetClientRect(&client);
        ScopedWindowDC windowDC(m_hWnd);
        if (!m_glass.MakeDC(windowDC)) return;
        CBitmap* bitmap = CreateDibSectionBitmap(client.right, client.bottom, 32);
        if (!bitmap) return;
        m_glass.Select(bitmap, true);
        HDC dc = m_glass.GetSafeHdc();

        HTHEME theme = UxTheme().OpenThemeData(m_hWnd, L"Button");
        if (!theme) {
            // Nothing to draw the glass text with: give the bitmap up, so that custom draw leaves
            // the whole button to the system instead of covering it with an empty picture.
            ReleaseGlass();
            return;
        }
        {
            Graphics g(dc);
            g.Clear(Color(g_glassTintColor));
        }
        const DWORD style = GetStyle();
        POINT cursor = {0, 0};
        ::GetCursorPos(&cursor);
        RECT window;
        GetWindowRect(&window);
        const bool hot = ::PtInRect(&window, cursor) != 0;
        const bool focused = ::GetFocus() == m_hWnd;
        const bool pushed = (SendMessage(BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        const int check = static_cast<int>(SendMessage(BM_GETCHECK, 0, 0));
        const int state = GetButtonThemeState(style, hot, pushed, check, kPartCheckBox, focused);

        SIZE glyph = {13, 13};
        UxTheme().GetThemePartSize(theme, dc, kPartCheckBox, state, nullptr, TS_TRUE, &glyph);
        const int gw = glyph.cx;
        // With the text on the left the system puts the glyph at the right edge; the clip that
        // lets it draw only the glyph has to be there too.
        const int glyphLeft = (style & BS_LEFTTEXT) ? client.right - gw : 0;
        m_glyphRect.left = glyphLeft;
        m_glyphRect.top = (client.bottom - gw) / 2;
        m_glyphRect.right = glyphLeft + gw;
        m_glyphRect.bottom = m_glyphRect.top + gw;

        RECT textRect = client;
        UxTheme().GetThemeBackgroundContentRect(theme, dc, kPartCheckBox, state, &client, &textRect);
        if (style & BS_LEFTTEXT)
            textRect.right -= gw + gw / 2;
        else
            textRect.left += gw + gw / 2;

        UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        if ((style & BS_CENTER) == BS_CENTER)
            format |= DT_CENTER;
        else if ((style & BS_CENTER) == BS_RIGHT)
            format |= DT_RIGHT;
        if ((style & BS_VCENTER) == BS_VCENTER)
            format |= DT_VCENTER;
        else if (style & BS_TOP)
            ;
        else if (style & BS_BOTTOM)
            format |= DT_BOTTOM;
        else
            format |= DT_VCENTER;

        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
        ScopedSelect fontSelection(dc, font);
        CString text;
        GetWindowText(text);
        const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(wideLength) + 5, 0);
        ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), wide.data(), wideLength);
        DTTOPTS options = {};
        options.dwSize = sizeof(options);
        options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
        options.iGlowSize = g_glowMargin;
        UxTheme().DrawThemeTextEx(theme, dc, kPartCheckBox, state, wide.data(), wideLength, format, &textRect,
                                  &options);
        if (focused) {
            RECT measured = textRect;
            ::DrawTextW(dc, wide.data(), wideLength, &measured, format | DT_CALCRECT);
            if (format & DT_SINGLELINE) {
                RECT again = textRect;
                ::DrawTextW(dc, wide.data(), wideLength, &again, (format & ~DT_VCENTER) | DT_CALCRECT);
                const int height = again.bottom - again.top;
                // The measured box goes where the text went.
                const int top = (format & DT_VCENTER)
                                    ? textRect.top + (textRect.bottom - textRect.top - height) / 2
                                    : measured.top;
                measured.top = top;
                measured.bottom = top + height;
            }
            const int width = measured.right - measured.left;
            if (format & DT_RIGHT) {
                measured.right = textRect.right;
                measured.left = measured.right - width;
            } else if (format & DT_CENTER) {
                measured.left = textRect.left + (textRect.right - textRect.left - width) / 2;
                measured.right = measured.left + width;
            }
            RECT focus;
            if (::IntersectRect(&focus, &measured, &client)) ::DrawFocusRect(dc, &focus);
        }
        fontSelection.Restore();
        UxTheme().CloseThemeData(theme);
    });
}

void AeroCheck::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(2249, [&] {
        if (!m_glassRendering) return;
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage != CDDS_PREPAINT) return;
        RenderGlass();
        if (!m_glass.Bitmap() || !m_glass.GetSafeHdc()) return;
        RECT client;
        GetClientRect(&client);
        HDC dc = draw->hdc;
        ::ExcludeClipRect(dc, m_glyphRect.left, m_glyphRect.top, m_glyphRect.right, m_glyphRect.bottom);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, m_glass.GetSafeHdc(), 0, 0, SRCCOPY);
        ::SelectClipRgn(dc, nullptr);
        ::IntersectClipRect(dc, m_glyphRect.left, m_glyphRect.top, m_glyphRect.right, m_glyphRect.bottom);
    });
}
