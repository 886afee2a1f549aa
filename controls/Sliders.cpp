#include "controls/Sliders.h"

#include <cstdlib>
#include <memory>

#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "framework/graphics/DibSectionBitmap.h"

IMPLEMENT_DYNAMIC(CJumpSliderCtrl, CSliderCtrl)
IMPLEMENT_DYNAMIC(CSliderCustom, CJumpSliderCtrl)

BEGIN_MESSAGE_MAP(CJumpSliderCtrl, CSliderCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CSliderCustom, CJumpSliderCtrl)
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

namespace {

const int kThumbImage = 37;
const int kThumbHotImage = 38;

bool StartsWith(const CString& text, char c) {
    return text.GetLength() > 0 && text[0] == c;
}

}  // namespace

// ---- CJumpSliderCtrl ----

void CJumpSliderCtrl::NotifyParent(UINT code) {
    GuardOperation(1103, [&] {
        HWND parent = ::GetParent(m_hWnd);
        if (!parent) return;
        const WPARAM wParam = (static_cast<WPARAM>(GetPos()) << 16) | (code & 0xFFFF);
        ::PostMessage(parent, WM_HSCROLL, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    });
}

BOOL CJumpSliderCtrl::SetPosFromPoint(CPoint point) {
    BOOL changed = FALSE;
    GuardOperation(1104, [&] {
        const int minimum = GetRangeMin();
        const int maximum = GetRangeMax();
        RECT channel;
        GetChannelRect(&channel);
        const int span = channel.right - channel.left;
        if (span <= 0) return;  // no channel yet: no place to jump to
        const int along = (GetStyle() & TBS_VERT) ? point.y : point.x;
        const double fraction = static_cast<double>(along - channel.left) / span;
        int position = static_cast<int>(fraction * (maximum - minimum) + 0.5) + minimum;
        // The trackbar would clamp it anyway; clamping first keeps a click beyond either end from
        // being reported as a change when the thumb already sits there.
        if (position < minimum) position = minimum;
        if (position > maximum) position = maximum;
        if (position != GetPos()) {
            SendMessage(TBM_SETPOS, TRUE, position);
            changed = TRUE;
        }
    });
    return changed;
}

void CJumpSliderCtrl::OnLButtonDown(UINT, CPoint point) {
    GuardOperation(1100, [&] {
        m_bDragging = true;
        SetCapture();
        SetFocus();
        NotifyParent(kSliderCodePress);
        if (SetPosFromPoint(point)) NotifyParent(TB_THUMBTRACK);
    });
}

void CJumpSliderCtrl::OnMouseMove(UINT, CPoint point) {
    GuardOperation(1102, [&] {
        if (m_bDragging) {
            if (SetPosFromPoint(point)) NotifyParent(TB_THUMBTRACK);
        } else {
            Default();
        }
    });
}

void CJumpSliderCtrl::OnLButtonUp(UINT, CPoint point) {
    GuardOperation(1101, [&] {
        if (!m_bDragging) {
            Default();
            return;
        }
        m_bDragging = false;
        ::ReleaseCapture();
        NotifyParent(kSliderCodeRelease);
        if (SetPosFromPoint(point)) NotifyParent(TB_THUMBTRACK);
    });
}

// ---- CSliderCustom ----

CSliderCustom::CSliderCustom() = default;

CSliderCustom::~CSliderCustom() {
    delete m_pBackground;
}

int CSliderCustom::OnCreate(LPCREATESTRUCT) {
    const int result = static_cast<int>(Default());
    // The slider paints itself; visual styles would only fight the custom drawing.
    if (result != -1 && g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
    return result;
}

void CSliderCustom::FocusEdit() {
    if (m_edit.m_hWnd) m_edit.SetFocus();
}

void CSliderCustom::SetEditSel(int start, int end) {
    if (!m_edit.m_hWnd) return;
    m_edit.SendMessage(EM_SETSEL, start, end);
    m_edit.SendMessage(EM_SCROLLCARET, 0, 0);
}

void CSliderCustom::GetEditSel(int& start, int& end) const {
    start = end = 0;
    if (!m_edit.m_hWnd) return;
    DWORD s = 0, e = 0;
    m_edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void CSliderCustom::SetEditText(LPCTSTR text) {
    if (m_edit.m_hWnd) m_edit.SetWindowText(text);
}

CString CSliderCustom::GetEditText() const {
    CString text;
    if (m_edit.m_hWnd) m_edit.GetWindowText(text);
    return text;
}

int CSliderCustom::EditNumber() const {
    return std::atoi(GetEditText());
}

void CSliderCustom::FreeBackground() {
    GuardOperation(1113, [&] {
        delete m_pBackground;
        m_pBackground = nullptr;
    });
}

void CSliderCustom::StepUp(int delta) {
    GuardOperation(1114, [&] {
        const int value = EditNumber() + delta;
        CString text;
        text.Format(value > 0 ? "+%d" : "%d", value);
        SetEditText(text);
        SetEditSel(text.GetLength(), text.GetLength());
        if (value == 0) m_bBlankZero = false;
        AnnounceValue();
    });
}

void CSliderCustom::StepDown(int delta) {
    GuardOperation(3310, [&] {
        const CString old = GetEditText();
        const int value = EditNumber() - delta;
        CString text;
        // Only a positive result can keep the user's "+"; a negative one carries its own sign.
        text.Format(value > 0 && StartsWith(old, '+') ? "+%d" : "%d", value);
        SetEditText(text);
        SetEditSel(text.GetLength(), text.GetLength());
        if (value == 0) m_bBlankZero = false;
        AnnounceValue();
    });
}

void CSliderCustom::AnnounceValue() {
    GuardOperation(1111, [&] {
        HWND parent = ::GetParent(m_hWnd);
        if (!parent) return;
        const WPARAM wParam = (static_cast<WPARAM>(EditNumber()) << 16) | TB_THUMBPOSITION;
        ::PostMessage(parent, WM_HSCROLL, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    });
}

void CSliderCustom::MeasureEdit() {
    // A right-aligned multi-line edit wraps what does not fit its width, and one of no size wraps
    // every character: the sample is measured in room enough for it.
    m_edit.SetWindowPos(nullptr, 0, 0, 400, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_edit.SetWindowText("+1800\r\n+1800");
    const int length = m_edit.GetWindowTextLength();
    const LRESULT first = m_edit.SendMessage(EM_POSFROMCHAR, 0, 0);
    const LRESULT last = m_edit.SendMessage(EM_POSFROMCHAR, length - 1, 0);
    int width = static_cast<short>(LOWORD(last)) - static_cast<short>(LOWORD(first));
    int height = static_cast<short>(HIWORD(last)) - static_cast<short>(HIWORD(first));
    if (width < 26) width = 26;
    if (height < 13) height = 13;
    // The edit keeps room of its own beside the text (for the caret) and wraps a value that
    // would need it: the box widens until the widest value, a sign and three digits, stays on
    // one line with its first character in view.
    m_edit.SetWindowText("+180");
    for (int widest = width * 2; width < widest; ++width) {
        m_edit.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const short firstX = static_cast<short>(LOWORD(m_edit.SendMessage(EM_POSFROMCHAR, 0, 0)));
        if (m_edit.SendMessage(EM_GETLINECOUNT) == 1 && firstX >= 0) break;
    }
    m_edit.SetWindowText("");
    m_sizeEdit.cx = width;
    m_sizeEdit.cy = height;
}

void CSliderCustom::BuildBackground(HDC reference) {
    RECT client;
    GetClientRect(&client);
    const int w = client.right;
    const int h = client.bottom;
    if (w <= 0 || h <= 0) return;

    std::unique_ptr<CBitmap> background(CreateDibSectionBitmap(w, h, 24));
    if (!background) return;
    {
        ScopedMemoryDC memory(reference);
        if (!memory.Get()) return;
        memory.Select(*background, false);
        TileThemeBackground(memory, client, 0, 0, 1);

        CString text;
        GetWindowText(text);
        if (!text.IsEmpty()) {
            HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
            ScopedSelect fontSelection(memory,
                                       font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
            ::SetBkMode(memory, TRANSPARENT);
            RECT textRect = client;
            ::DrawText(memory, text, text.GetLength(), &textRect,
                       DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
        CDC* dc = CDC::FromHandle(memory);
        const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
        const COLORREF light = ::GetSysColor(COLOR_3DLIGHT);
        RECT groove = {0, 14, w, 16};
        dc->Draw3dRect(&groove, dark, light);
        RECT tick = {w / 2 - 1, 2, w / 2 + 1, 10};
        dc->Draw3dRect(&tick, dark, light);
    }

    delete m_pBackground;
    m_pBackground = background.release();

    if (!m_edit.m_hWnd) {
        RECT none = {0, 0, 0, 0};
        if (m_edit.Create(WS_CHILD | WS_TABSTOP | ES_MULTILINE | ES_RIGHT | ES_AUTOHSCROLL | ES_WANTRETURN,
                          none, this, 1)) {
            m_edit.m_sliderMode = 1;
            m_edit.SetMargins(0, 0);
            m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
            m_edit.SetLimitText(4);
            MeasureEdit();
            m_edit.SetWindowPos(nullptr, w - m_sizeEdit.cx - 4, -1, m_sizeEdit.cx, m_sizeEdit.cy,
                                SWP_NOZORDER | SWP_NOACTIVATE);
            m_edit.ShowWindow(SW_SHOW);
            m_backgroundWidth = w;
        }
    } else if (m_backgroundWidth != w) {
        m_edit.SetWindowPos(nullptr, w - m_sizeEdit.cx - 4, -1, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_backgroundWidth = w;
    }
    if (m_edit.m_hWnd) {
        m_edit.GetWindowRect(&m_rcEdit);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rcEdit), 2);
    }
}

void CSliderCustom::PaintBackground(HDC dc) {
    GuardOperation(1107, [&] {
        if (!m_pBackground) BuildBackground(dc);
        if (!m_pBackground) return;
        if (m_edit.m_hWnd) {
            ::ExcludeClipRect(dc, m_rcEdit.left, m_rcEdit.top, m_rcEdit.right, m_rcEdit.bottom);
        }
        BITMAP bm = {};
        ::GetObject(m_pBackground->GetSafeHandle(), sizeof bm, &bm);
        ScopedMemoryDC memory(dc);
        memory.Select(static_cast<HBITMAP>(m_pBackground->GetSafeHandle()), false);
        ::BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
    });
}

void CSliderCustom::PaintBackgroundUnder(HWND child, HDC dc) {
    GuardOperation(3315, [&] {
        if (!m_pBackground) BuildBackground(dc);
        if (!m_pBackground || !child) return;
        RECT r;
        ::GetClientRect(child, &r);
        POINT at = {0, 0};
        ::MapWindowPoints(child, m_hWnd, &at, 1);
        ScopedMemoryDC memory(dc);
        memory.Select(static_cast<HBITMAP>(m_pBackground->GetSafeHandle()), false);
        ::BitBlt(dc, 0, 0, r.right, r.bottom, memory, at.x, at.y, SRCCOPY);
    });
}

LRESULT CSliderCustom::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TBM_GETPOS || message == WM_PAINT || message == WM_NOTIFY)
        return CJumpSliderCtrl::WindowProc(message, wParam, lParam);
    const bool drawn = m_hWnd && ::IsWindow(m_hWnd);
    const int before = drawn ? static_cast<int>(::SendMessage(m_hWnd, TBM_GETPOS, 0, 0)) : 0;
    const bool dragging = m_bDragging;
    const LRESULT result = CJumpSliderCtrl::WindowProc(message, wParam, lParam);
    // The thumb's picture is wider than the trackbar's thumb, and the trackbar repaints only the
    // thumb's old and new places: a moved thumb, or one that stops being dragged (its lit
    // picture), repaints the whole slider, which is drawn off one background picture.
    if (drawn && message != WM_DESTROY && message != WM_NCDESTROY && ::IsWindow(m_hWnd)) {
        const int after = static_cast<int>(::SendMessage(m_hWnd, TBM_GETPOS, 0, 0));
        if (after != before || dragging != m_bDragging) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return result;
}

void CSliderCustom::UpdateValueText() {
    if (!m_edit.m_hWnd) return;
    const int position = GetPos();
    CString value;
    value.Format("%d", position);
    const CString current = GetEditText();
    if (m_bKeepEditText) {
        if (m_bBlankZero && position == 0) value = StartsWith(current, '-') ? "-" : "";
        // The user's "+" stays only on a positive value; a negative one shows its own sign.
        if (StartsWith(current, '+') && position > 0) value = "+" + value;
        m_bBlankZero = true;
    } else if (position > 0) {
        value = "+" + value;
    }
    // Rewriting an unchanged text would announce the value again and repaint for nothing.
    if (value == current) return;
    int start = 0, end = 0;
    GetEditSel(start, end);
    m_edit.SetWindowText(value);
    SetEditSel(start, end);
}

void CSliderCustom::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(1106, [&] {
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
            return;
        }
        if (draw->dwDrawStage != CDDS_ITEMPREPAINT) return;
        switch (draw->dwItemSpec) {
            case TBCD_CHANNEL:
                PaintBackground(draw->hdc);
                *result = CDRF_SKIPDEFAULT;
                break;
            case TBCD_TICS:
                *result = CDRF_SKIPDEFAULT;
                break;
            case TBCD_THUMB:
                if (g_toolImageList) {
                    ImageList_Draw(g_toolImageList, m_bDragging ? kThumbHotImage : kThumbImage, draw->hdc,
                                   draw->rc.left, draw->rc.top, ILD_TRANSPARENT);
                }
                *result = CDRF_SKIPDEFAULT;
                UpdateValueText();
                break;
            default:
                break;
        }
    });
}

void CSliderCustom::DrawThumbImage(int image, int x, int y) {
    if (!g_toolImageList) return;
    ScopedWindowDC dc(m_hWnd);
    if (!dc) return;
    ImageList_Draw(g_toolImageList, image, dc, x, y, ILD_TRANSPARENT);
}

void CSliderCustom::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(1108, [&] {
        if (!m_bDragging) {
            RECT thumb;
            GetThumbRect(&thumb);
            const bool inside = ::PtInRect(&thumb, point) != FALSE;
            if (inside && !m_bThumbHot) {
                m_bThumbHot = TRUE;
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
                ::TrackMouseEvent(&track);
                DrawThumbImage(kThumbHotImage, thumb.left, thumb.top + 10);
            } else if (!inside && m_bThumbHot) {
                m_bThumbHot = FALSE;
                DrawThumbImage(kThumbImage, thumb.left, thumb.top + 10);
            }
        }
        CJumpSliderCtrl::OnMouseMove(flags, point);
    });
}

void CSliderCustom::OnMouseLeave() {
    GuardOperation(1109, [&] {
        if (!m_bThumbHot) return;
        m_bThumbHot = FALSE;
        RECT thumb;
        GetThumbRect(&thumb);
        DrawThumbImage(kThumbImage, thumb.left, thumb.top + 10);
    });
}

void CSliderCustom::OnDestroy() {
    GuardOperation(1756, [&] {
        FreeBackground();
        Default();
    });
}

BOOL CSliderCustom::OnEraseBkgnd(CDC*) {
    return FALSE;
}
