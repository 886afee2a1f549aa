// The gripper band, the close button and the coloured caption of the sizing bars, and the dock
// context that drags them.
#include <algorithm>
#include <cstdint>

#include "controls/ResizeBar.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"

namespace {

void Line3d(HDC hdc, int x, int y, int cx, int cy) {
    // A one-pixel raised line of cx x cy (one of them 1 or 2): light top-left, shadow bottom-right.
    auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        ::SetBkColor(hdc, c);
        RECT rr = {l, t, r, b};
        ::ExtTextOut(hdc, 0, 0, ETO_OPAQUE, &rr, nullptr, 0, nullptr);
    };
    fill(x, y, x + cx, y + cy, ::GetSysColor(COLOR_BTNSHADOW));
    fill(x, y, x + cx - 1, y + cy - 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

}  // namespace

void FillCaptionGradient(HDC hdc, const RECT& rc, COLORREF clrStart, COLORREF clrEnd, BOOL bVertical) {
    const int64_t length = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
    if (length <= 0 || rc.right <= rc.left || rc.bottom <= rc.top) return;
    const int64_t kOne = 1 << 20;
    const int sr = GetRValue(clrStart), sg = GetGValue(clrStart), sb = GetBValue(clrStart);
    const int er = GetRValue(clrEnd), eg = GetGValue(clrEnd), eb = GetBValue(clrEnd);
    for (int64_t t = 0; t < kOne; ++t) {
        const int64_t a = (length * t) >> 20, b = (length * (t + 1)) >> 20;
        if (b - a < 1) continue;
        const COLORREF c =
            RGB((int)((sr * (kOne - t) + er * t) >> 20), (int)((sg * (kOne - t) + eg * t) >> 20),
                (int)((sb * (kOne - t) + eb * t) >> 20));
        RECT slice = rc;
        if (bVertical) {  // bottom (start) to top (end)
            slice.bottom = rc.bottom - (int)a;
            slice.top = rc.bottom - (int)b;
        } else {
            slice.left = rc.left + (int)a;
            slice.right = rc.left + (int)b;
        }
        ScopedBrush slab(::CreateSolidBrush(c));
        ::FillRect(hdc, &slice, slab);
    }
}

// ============================== CResizeBarG ==============================

IMPLEMENT_DYNAMIC(CResizeBarG, CResizeBar)

BEGIN_MESSAGE_MAP(CResizeBarG, CResizeBar)
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONUP()
END_MESSAGE_MAP()

CResizeBarG::CResizeBarG() = default;
CResizeBarG::~CResizeBarG() = default;

void CResizeBarG::NcCalcClient(LPRECT pRect, UINT nDockBarID) {
    GuardOperation(1701, [&] {
        const CRect rcWnd(pRect);
        CResizeBar::NcCalcClient(pRect, nDockBarID);
        if (!ShowsGripper()) return;
        CRect rc(pRect);
        if (IsHorzDocked()) {
            m_ptCloseButton = CPoint(rc.left + 3 - rcWnd.left, rc.top - rcWnd.top);
            rc.left = std::min(rc.right, rc.left + m_nGripperSize);
        } else {
            m_ptCloseButton = CPoint(rc.right - 12 - rcWnd.left, 7);
            rc.top = std::min(rc.bottom, rc.top + m_nGripperSize);
        }
        *pRect = rc;
    });
}

void CResizeBarG::NcPaintGripper(CDC* pDC, CRect rcClient) {
    GuardOperation(1702, [&] {
        if (!ShowsGripper() || pDC == nullptr) return;
        HDC hdc = pDC->m_hDC;
        if (IsHorzDocked()) {
            // Two vertical lines in the band left of the client area.
            const int x = rcClient.left - m_nGripperSize + (m_nGripperSize - 6) / 2;
            const int top = m_ptCloseButton.y + 14 + 4, bottom = rcClient.bottom;
            if (bottom > top) {
                Line3d(hdc, x, top, 3, bottom - top);
                Line3d(hdc, x + 3, top, 3, bottom - top);
            }
        } else {
            const int y = rcClient.top - m_nGripperSize + (m_nGripperSize - 6) / 2;
            const int left = rcClient.left, right = m_ptCloseButton.x - 4;
            if (right > left) {
                Line3d(hdc, left, y, right - left, 3);
                Line3d(hdc, left, y + 3, right - left, 3);
            }
        }
        PaintCloseButton(pDC);
    });
}

LRESULT CResizeBarG::OnNcHitTest(CPoint point) {
    LRESULT result = CResizeBar::OnNcHitTest(point);
    GuardOperation(1703, [&] {
        if (result != HTCLIENT || !ShowsGripper()) return;
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        CRect rcClose = CloseButtonRect();
        rcClose.OffsetRect(rcWnd.left, rcWnd.top);
        if (rcClose.PtInRect(point)) result = HTCLOSE;
    });
    return result;
}

void CResizeBarG::OnNcLButtonUp(UINT nHitTest, CPoint point) {
    (void)point;
    GuardOperation(1700, [&] {
        if (nHitTest == HTCLOSE) {
            CString text;
            GetWindowText(text);
            if (text != "View" && m_pDockSite != nullptr) m_pDockSite->ShowControlBar(this, FALSE, FALSE);
        }
        Default();
    });
}

BOOL CResizeBarG::UpdateCloseButtonState() {
    CPoint pt;
    ::GetCursorPos(&pt);
    const BOOL bOnClose = ::SendMessage(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLOSE;
    const BOOL bDown =
        (::GetKeyState(::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
    const BOOL bPushed = bOnClose && bDown, bHot = bOnClose && !bDown;
    if (bPushed == m_bClosePushed && bHot == m_bCloseHot) return FALSE;
    m_bClosePushed = bPushed;
    m_bCloseHot = bHot;
    SendMessage(WM_NCPAINT);
    return TRUE;
}

void CResizeBarG::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
    GuardOperation(1704, [&] {
        if (ShowsGripper()) UpdateCloseButtonState();
    });
}

// ============================== CResizeBarCF ==============================

IMPLEMENT_DYNAMIC(CResizeBarCF, CResizeBarG)

BEGIN_MESSAGE_MAP(CResizeBarCF, CResizeBarG)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CResizeBarCF::CResizeBarCF() = default;
CResizeBarCF::~CResizeBarCF() = default;

void CResizeBarCF::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
    GuardOperation(1697, [&] {
        if (!ShowsGripper()) return;
        UpdateCloseButtonState();
        HWND hFocus = ::GetFocus();
        const BOOL bInside = hFocus != nullptr && ::IsChild(m_hWnd, hFocus);
        if (bInside != m_bFocusInside) {
            m_bFocusInside = bInside;
            SendMessage(WM_NCPAINT);
        }
    });
}

CRect CResizeBarCF::CaptionRect(const CRect& rcClient) const {
    if (IsHorzDocked())
        return CRect(rcClient.left - m_nGripperSize - 1, m_ptCloseButton.y + 3,
                     rcClient.left - m_nGripperSize + 19, rcClient.bottom);
    return CRect(rcClient.left, 4, rcClient.right - 5, 22);
}

void CResizeBarCF::NcPaintGripper(CDC* pDC, CRect rcClient) {
    GuardOperation(1698, [&] {
        if (!ShowsGripper() || pDC == nullptr) return;
        HDC hdc = pDC->m_hDC;
        const BOOL bHorz = IsHorzDocked();
        const CRect rcBand = CaptionRect(rcClient);
        if (rcBand.IsRectEmpty()) return;
        BOOL bGradient = FALSE;
        if (!::SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &bGradient, 0)) bGradient = FALSE;
        const COLORREF clrStart = ::GetSysColor(COLOR_ACTIVECAPTION);
        const COLORREF clrEnd = bGradient ? ::GetSysColor(COLOR_GRADIENTACTIVECAPTION) : RGB(166, 202, 240);
        FillCaptionGradient(hdc, rcBand, clrStart, clrEnd, bHorz);

        CString title;
        GetWindowText(title);
        LOGFONT lf = {};
        lf.lfHeight = PointsToHeight(g_uiFontSize, hdc);
        lf.lfWeight = 600;
        lf.lfCharSet = DEFAULT_CHARSET;
        if (bHorz) lf.lfEscapement = lf.lfOrientation = 900;
        lstrcpynA(lf.lfFaceName, g_uiFaceName.IsEmpty() ? "Arial" : (LPCSTR)g_uiFaceName, LF_FACESIZE);
        ScopedFont hFont(::CreateFontIndirect(&lf));
        ScopedSelect fontSelection(hdc, hFont);
        const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
        const COLORREF oldColor = ::SetTextColor(hdc, ::GetSysColor(COLOR_CAPTIONTEXT));
        // The title follows the icon: to its right, or above it reading upward on a horizontal dock.
        if (bHorz)
            ::ExtTextOut(hdc, rcBand.left + 2, rcBand.bottom - 4, ETO_CLIPPED, &rcBand, title,
                         title.GetLength(), nullptr);
        else
            ::ExtTextOut(hdc, rcBand.left + 22, rcBand.top + 2, ETO_CLIPPED, &rcBand, title,
                         title.GetLength(), nullptr);
        ::SetTextColor(hdc, oldColor);
        ::SetBkMode(hdc, oldMode);
        fontSelection.Restore();
        if (g_appIcon16 != nullptr)
            ::DrawIconEx(hdc, rcBand.left + 2, rcBand.top + 1, g_appIcon16, 16, 16, 0, nullptr, DI_NORMAL);
        PaintCloseButton(pDC);
    });
}

LRESULT CResizeBarCF::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT result = CResizeBar::OnSetText(wParam, lParam);
    SendMessage(WM_NCPAINT);
    return result;
}

// ============================== CResizeBarDockContext ==============================

CResizeBarDockContext::~CResizeBarDockContext() = default;

void CResizeBarDockContext::LayDragRects(CPoint pt) {
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptStart = m_ptLast = pt;
    const CSize sizeHorz = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK);
    const CSize sizeVert = m_pBar->CalcDynamicLayout(0, LM_VERTDOCK);
    const CSize sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    m_rectDragHorz = CRect(rect.TopLeft(), sizeHorz);
    m_rectDragVert = CRect(rect.TopLeft(), sizeVert);
    CRect rcFloat(rect.TopLeft(), sizeFloat);
    ::AdjustWindowRectEx(&rcFloat, WS_THICKFRAME, FALSE, 0);  // widened for a thick frame
    rcFloat.OffsetRect(rect.left - rcFloat.left, rect.top - rcFloat.top);
    rcFloat.DeflateRect(2, 2);
    m_rectFrameDragHorz = m_rectFrameDragVert = rcFloat;
    ContainDragRects(pt);
}

void CResizeBarDockContext::StartDrag(CPoint pt) {
    GuardOperation(1744, [&] {
        m_pDockSite = m_pBar->m_pDockSite;
        if (m_pDockSite == nullptr) return;
        m_bDragging = TRUE;
        m_dwDockStyle = m_pBar->m_dwDockStyle;
        m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
        InitLoop();
        LayDragRects(pt);
        m_dwOverDockStyle = CanDock();
        Move(pt);
        Track();
    });
}
