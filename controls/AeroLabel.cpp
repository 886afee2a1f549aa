#include "controls/AeroLabel.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "controls/AeroDialog.h"
#include "framework/graphics/DibSectionBitmap.h"
#include "controls/ThemeApi.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(AeroLabel, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ENABLE()
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

namespace {

const COLORREF kDarkTextColour = RGB(57, 57, 57);
const COLORREF kDisabledTextColour = RGB(128, 128, 128);
const ARGB kUnderlineColour = 0xFF000040;

// The window's text as it holds it, in UTF-16: what it shows is measured and drawn so. (Asked through
// the window's narrow procedure, a name outside the ANSI code page would come back with stand-ins.)
std::wstring WindowTextOf(HWND hWnd) {
    const LRESULT length = ::DefWindowProcW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = ::DefWindowProcW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

}  // namespace

AeroLabel::AeroLabel() : ThemedControl(2288, 1764) {}

AeroLabel::~AeroLabel() {
    GuardOperation(2279, [&] {
        m_glass.Free();
        m_normal.Free();
        m_text.Empty();
        m_linkTarget.Empty();
    });
}

void AeroLabel::EnableLink() {
    m_linkMode = 1;
    m_underline = 1;
}

void AeroLabel::SetLink(CString target, CString text) {
    m_linkMode = 1;
    m_underline = 1;
    m_linkTarget = target;
    m_text = text;
}

CString AeroLabel::PadEmptyLines(const CString& text) {
    CString result = text;
    result.Replace("\r\n\r\n", "\r\n \r\n");
    return result;
}

// A window made through Create was set up once already when it was attached, but the creation
// then gave it the rectangle it asked for: no margin is applied any more.
void AeroLabel::PrepareCreatedWindow() {
    m_glowMarginApplied = 0;
}

void AeroLabel::InitControl() {
    GuardOperation(2286, [&] {
        if (m_linkMode) ModifyStyle(0, SS_NOTIFY);
        HFONT font = m_standardFont ? g_uiFont : g_uiScaledFont;
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        const AeroDialog* dialog =
            dynamic_cast<const AeroDialog*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
        if (dialog && dialog->m_glassMode == 1) m_onGlass = 1;
        if (!m_text.IsEmpty()) {
            m_text = PadEmptyLines(m_text);
            // Kept in UTF-16 as it is: a message may name a file outside the ANSI code page.
            ::DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AfxWideOf(m_text).c_str()));
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
        SizeToText();
        UpdateTheme();
        m_initialised = 1;
    });
}

UINT AeroLabel::GetDrawTextFormat() const {
    const DWORD style = GetStyle();
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    UINT format = style & 0x3;
    if (style & SS_CENTERIMAGE) format |= DT_VCENTER | DT_SINGLELINE;
    if ((style & SS_WORDELLIPSIS) == SS_WORDELLIPSIS)
        format |= DT_WORD_ELLIPSIS | DT_MODIFYSTRING;
    else if (style & SS_ENDELLIPSIS)
        format |= DT_END_ELLIPSIS | DT_MODIFYSTRING;
    else if (style & SS_PATHELLIPSIS)
        format |= DT_PATH_ELLIPSIS | DT_MODIFYSTRING;
    if (exStyle & WS_EX_RIGHT) format |= DT_RIGHT;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

void AeroLabel::SizeToText() {
    if (m_fixedSize) return;
    GuardOperation(2287, [&] {
        const std::wstring text = WindowTextOf(m_hWnd);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
        ScopedWindowDC dc(nullptr);
        if (!dc) return;
        ScopedSelect fontSelection(dc, font);
        int width = 0, height = 0;
        if (text.find(L"\r\n") == std::wstring::npos) {
            SIZE extent = {0, 0};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            width = extent.cx;
            height = extent.cy;
        } else {
            // An edit control splits the text into its lines exactly as the system shows them; the
            // extra "a" line makes the position of the last character cover every real line.
            std::wstring copy = text + L"\r\na";
            for (size_t at = copy.find(L"\r\n\r\n"); at != std::wstring::npos;
                 at = copy.find(L"\r\n\r\n", at + 5))
                copy.insert(at + 2, L" ");
            HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 0,
                                          0, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
            if (edit) {
                ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
                ::SetWindowTextW(edit, copy.c_str());
                const int lines = static_cast<int>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
                for (int i = 0; i < lines; ++i) {
                    const int start = static_cast<int>(::SendMessageW(edit, EM_LINEINDEX, i, 0));
                    const int length = static_cast<int>(::SendMessageW(edit, EM_LINELENGTH, start, 0));
                    if (length <= 0) continue;
                    // EM_GETLINE reads the buffer size from the first word of the buffer.
                    std::vector<wchar_t> line(static_cast<size_t>(length) + 2, 0);
                    line[0] = static_cast<wchar_t>(line.size() - 1);
                    const int copied = static_cast<int>(
                        ::SendMessageW(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(line.data())));
                    SIZE extent = {0, 0};
                    ::GetTextExtentPoint32W(dc, line.data(), std::min(copied, length), &extent);
                    width = std::max(width, static_cast<int>(extent.cx));
                }
                const LRESULT position =
                    ::SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(copy.size() - 1), 0);
                height = static_cast<short>(HIWORD(position));
                if (position == -1 || height <= 0) {
                    // The edit could not place the character: every real line is one font height.
                    TEXTMETRICA metrics = {};
                    ::GetTextMetricsA(dc, &metrics);
                    height = std::max(lines - 1, 1) * metrics.tmHeight;
                }
                ::DestroyWindow(edit);
            }
        }
        fontSelection.Restore();
        // The text's own corner stays put: a window grown by the glow margin gives its margin
        // back first, or every text change would walk the label up and left.
        if (m_glowMarginApplied) {
            RECT r;
            GetWindowRect(&r);
            ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
            SetWindowPos(nullptr, r.left + g_glowMargin, r.top + g_glowMargin, width, height, SWP_NOZORDER);
        } else {
            SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        }
        m_glowMarginApplied = 0;
    });
}

void AeroLabel::UpdateTheme() {
    GuardOperation(2285, [&] {
        if (m_onGlass && GlassCompositionEnabled()) {
            m_glassRendering = 1;
            SetGlowMargin(true);
        } else {
            m_glassRendering = 0;
            SetGlowMargin(m_linkMode != 0);
        }
    });
}

void AeroLabel::SetGlowMargin(bool on) {
    GuardOperation(2284, [&] {
        if ((on ? 1 : 0) == m_glowMarginApplied || m_fixedSize) return;
        m_glowMarginApplied = on ? 1 : 0;
        RECT r;
        GetWindowRect(&r);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
        const int g = g_glowMargin;
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (on)
            SetWindowPos(nullptr, r.left - g, r.top - g, w + 2 * g, h + 2 * g, SWP_NOZORDER);
        else
            SetWindowPos(nullptr, r.left + g, r.top + g, w - 2 * g, h - 2 * g, SWP_NOZORDER);
    });
}

void AeroLabel::ReleaseBitmaps() {
    GuardOperation(2280, [&] {
        m_glass.Free();
        m_normal.Free();
    });
}

void AeroLabel::Render() {
    if (m_normal.Bitmap()) return;
    GuardOperation(2281, [&] {
        RECT rc;
        GetClientRect(&rc);
        if (!m_normal.GetSafeHdc()) {
            ScopedWindowDC windowDC(m_hWnd);
            if (!m_normal.MakeDC(windowDC)) return;
        }
        CBitmap* bitmap = CreateDibSectionBitmap(rc.right - rc.left, rc.bottom - rc.top, 24);
        if (!bitmap) return;
        m_normal.Select(bitmap, true);
        HDC dc = m_normal.GetSafeHdc();

        if (m_backgroundColour == 0) {
            // Tiles aligned with the dialog's, so that the label does not show as a patch.
            RECT inParent = rc;
            ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&inParent), 2);
            TileThemeBackground(dc, rc, -inParent.left, -inParent.top, 1);
        } else {
            CBrush solid;
            solid.CreateSolidBrush(m_backgroundColour);
            ::FillRect(dc, &rc, solid);
        }
        ::SetTextColor(dc, m_darkText ? kDarkTextColour : (m_enabled ? RGB(0, 0, 0) : kDisabledTextColour));
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
        ScopedSelect fontSelection(dc, font);
        ::SetBkMode(dc, TRANSPARENT);

        const UINT format = GetDrawTextFormat();
        RECT textRect = rc;
        if (m_glowMarginApplied) {
            if (!(format & (DT_CENTER | DT_RIGHT))) ::OffsetRect(&textRect, g_glowMargin, 0);
            if (!(format & DT_VCENTER)) ::OffsetRect(&textRect, 0, g_glowMargin);
        }
        const std::wstring text = WindowTextOf(m_hWnd);
        // The ellipsis flags let DrawText rewrite the string, up to four characters beyond it.
        std::vector<wchar_t> buffer(text.size() + 5, 0);
        std::copy(text.begin(), text.end(), buffer.begin());
        ::DrawTextW(dc, buffer.data(), static_cast<int>(text.size()), &textRect, format);
        fontSelection.Restore();

        // The hover frame is not cached: it is drawn over the copy while the pointer is there.
        if (m_underline) {
            // In link mode the line keeps inside the glow margin; a label that has no margin
            // (fixed size) would otherwise get its line through the text.
            RECT u = rc;
            const bool inset = m_linkMode && m_glowMarginApplied;
            if (inset) ::InflateRect(&u, -g_glowMargin, -g_glowMargin);
            // The bottom edge of a rectangle lies outside it: the line goes on its last row.
            const int y = inset ? u.bottom : u.bottom - 1;
            Graphics g(dc);
            Pen pen{Color(kUnderlineColour), 1.0f};
            g.DrawLine(&pen, static_cast<INT>(u.left), static_cast<INT>(y), static_cast<INT>(u.right),
                       static_cast<INT>(y));
        }
    });
}

void AeroLabel::RenderGlass() {
    if (m_glass.Bitmap()) return;
    GuardOperation(2282, [&] {
        RECT rc;
        GetClientRect(&rc);
        if (!m_glass.GetSafeHdc()) {
            ScopedWindowDC windowDC(m_hWnd);
            if (!m_glass.MakeDC(windowDC)) return;
        }
        CBitmap* bitmap = CreateDibSectionBitmap(rc.right - rc.left, rc.bottom - rc.top, 32);
        if (!bitmap) return;
        m_glass.Select(bitmap, true);
        HDC dc = m_glass.GetSafeHdc();
        {
            Graphics g(dc);
            g.Clear(Color(g_glassTintColor));
        }
        HTHEME theme = UxTheme().OpenThemeData(m_hWnd, L"ControlPanelStyle");
        if (!theme) return;
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
        ScopedSelect fontSelection(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        const UINT format = GetDrawTextFormat();
        RECT textRect = rc;
        if (!(format & (DT_CENTER | DT_RIGHT))) ::OffsetRect(&textRect, g_glowMargin, 0);
        if (!(format & DT_VCENTER)) ::OffsetRect(&textRect, 0, g_glowMargin);

        const std::wstring text = WindowTextOf(m_hWnd);
        const int wideLength = static_cast<int>(text.size());
        std::vector<wchar_t> wide(text.size() + 5, 0);
        std::copy(text.begin(), text.end(), wide.begin());
        DTTOPTS options = {};
        options.dwSize = sizeof(options);
        options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
        options.iGlowSize = g_glowMargin;
        UxTheme().DrawThemeTextEx(theme, dc, 0, 0, wide.data(), wideLength, format, &textRect, &options);
        fontSelection.Restore();

        if (GetStyle() & (WS_BORDER | SS_SUNKEN)) {
            ScopedSelect previousPenSelection(dc, ::GetStockObject(BLACK_PEN));
            ScopedSelect previousBrushSelection(dc, ::GetStockObject(NULL_BRUSH));
            ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
            previousBrushSelection.Restore();
            previousPenSelection.Restore();
        }
        if (m_underline) {
            RECT u = rc;
            if (m_linkMode) ::InflateRect(&u, -g_glowMargin, -g_glowMargin);
            const int y = m_linkMode ? u.bottom : u.bottom - 1;
            Graphics g(dc);
            Pen pen{Color(kUnderlineColour), 1.0f};
            g.DrawLine(&pen, static_cast<INT>(u.left), static_cast<INT>(y), static_cast<INT>(u.right),
                       static_cast<INT>(y));
        }
        UxTheme().CloseThemeData(theme);
    });
}

void AeroLabel::OnPaint() {
    GuardOperation(400, [&] {
        const int o = m_pressed ? 1 : 0;
        RECT rc;
        GetClientRect(&rc);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        auto drawHover = [&](HDC target) {
            if (!IsHovered()) return;
            Graphics g(target);
            DrawThinFrame(&g, rc.left, rc.top, rc.right, rc.bottom, true);
        };
        if (!m_glassRendering) {
            CPaintDC paint(this);
            Render();
            if (m_normal.Bitmap() && m_normal.GetSafeHdc())
                ::BitBlt(paint.GetSafeHdc(), rc.left + o, rc.top + o, w, h, m_normal.GetSafeHdc(), 0, 0,
                         SRCCOPY);
            drawHover(paint.GetSafeHdc());
        } else {
            RenderGlass();
            ScopedWindowDC windowDC(m_hWnd);
            if (windowDC) {
                if (m_glass.Bitmap() && m_glass.GetSafeHdc())
                    ::BitBlt(windowDC, rc.left + o, rc.top + o, w, h, m_glass.GetSafeHdc(), 0, 0, SRCCOPY);
                drawHover(windowDC);
            }
            CPaintDC validate(this);
        }
    });
}

BOOL AeroLabel::OnEraseBkgnd(CDC*) {
    return TRUE;
}

HBRUSH AeroLabel::CtlColor(CDC*, UINT) {
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT AeroLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    GuardOperation(2289, [&] {
        result = CStatic::WindowProc(message, wParam, lParam);
        if (m_initialised && (message == WM_SETTEXT || message == WM_SETFONT)) {
            ReleaseBitmaps();
            SizeToText();
            UpdateTheme();
        }
        // Losing the capture ends hover and press; the label repaints without its frame.
        if (message == WM_CAPTURECHANGED && ::GetCapture() != m_hWnd) {
            m_pressed = 0;
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    });
    return result;
}

void AeroLabel::RedrawNow() {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void AeroLabel::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(2290, [&] {
        CStatic::OnMouseMove(flags, point);
        RECT rc;
        GetClientRect(&rc);
        if (::PtInRect(&rc, point)) {
            if (::GetCapture() != m_hWnd) {
                ::SetCapture(m_hWnd);
                RedrawNow();
            }
        } else if (::GetCapture() == m_hWnd) {
            ::ReleaseCapture();
        }
    });
}

void AeroLabel::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(2291, [&] {
        m_pressed = 1;
        RedrawNow();
        CStatic::OnLButtonDown(flags, point);
    });
}

void AeroLabel::OnLButtonDblClk(UINT flags, CPoint point) {
    GuardOperation(2293, [&] {
        m_pressed = 1;
        RedrawNow();
        CStatic::OnLButtonDblClk(flags, point);
    });
}

void AeroLabel::OnLButtonUp(UINT, CPoint point) {
    GuardOperation(2292, [&] {
        if (!m_pressed) return;
        m_pressed = 0;
        RedrawNow();
        // A press that ends off the label is no click.
        RECT rc;
        GetClientRect(&rc);
        if (!::PtInRect(&rc, point)) return;
        if (HasLink()) {
            CWaitCursor wait;
            OpenLinkTarget(m_hWnd, m_linkTarget);
        } else if (m_linkMode) {
            INT32 clickPoint[2] = {point.x, point.y};
            ::SendMessageA(::GetParent(m_hWnd), kLabelClickMessage, 1, reinterpret_cast<LPARAM>(clickPoint));
        }
    });
}

BOOL AeroLabel::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    BOOL result = FALSE;
    GuardOperation(2295, [&] {
        if (m_linkMode) {
            ::SetCursor(g_handCursor);
            result = TRUE;
        } else {
            result = CStatic::OnSetCursor(wnd, hitTest, message);
        }
    });
    return result;
}

void AeroLabel::OnEnable(BOOL enable) {
    m_enabled = enable ? 1 : 0;
    // The text colour follows the state: the cached rendering of the other state is dropped.
    ReleaseBitmaps();
    RedrawNow();
}
