#include "framework/docview/View.h"

#include "framework/win/ScopedGdi.h"

#include <algorithm>

#include "framework/docview/FrameWnd.h"

CFrameWnd* AfxGetParentFrame(const CWnd* pWnd) {
    if (pWnd == nullptr || pWnd->m_hWnd == nullptr) return nullptr;
    for (HWND h = ::GetParent(pWnd->m_hWnd); h != nullptr; h = ::GetParent(h)) {
        CWnd* p = CWnd::FromHandlePermanent(h);
        if (p != nullptr && p->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return (CFrameWnd*)p;
    }
    return nullptr;
}

// ======================= CView =======================

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    // The framework's print preview command (a view's own map adds printing).
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView() {
    if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const {
    return AfxGetParentFrame(this);
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    (void)pSender;
    (void)lHint;
    (void)pHint;
    if (m_hWnd != nullptr) Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    (void)pDC;
    if (pInfo != nullptr && pInfo->m_bPreview == FALSE) pDC->m_bPrinting = TRUE;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    (void)pDeactiveView;
    if (bActivate && pActivateView == this && m_hWnd != nullptr) {
        HWND hFocus = ::GetFocus();
        if (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus)) ::SetFocus(m_hWnd);
    }
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}
void CView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
    (void)pDC;
    (void)pInfo;
}
void CView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    (void)pInfo;
    OnDraw(pDC);
}
void CView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    (void)pDC;
    (void)pInfo;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return FALSE;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1), nullptr);
    }
    // The view's sunken edge replaces the plain border the frame asks for.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return CWnd::PreCreateWindow(cs);
}

void CView::PostNcDestroy() {
    delete this;
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* pContext = (CCreateContext*)lpcs->lpCreateParams;
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
    int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT) return nResult;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame == nullptr) return nResult;
    if (pFrame->GetActiveView() != this)
        pFrame->SetActiveView(this);
    else
        // Already the active view, but the keyboard may be elsewhere (a field of a bar): the
        // click gives it back to the view, as activating the view does.
        OnActivateView(TRUE, this, this);
    return nResult;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

// ======================= CScrollView =======================

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

CScrollView::CScrollView() = default;
CScrollView::~CScrollView() = default;

namespace {
// Logical size in a mapping mode to screen pixels (always positive).
CSize LogicalToDevice(int nMapMode, SIZE size) {
    if (nMapMode == MM_TEXT || nMapMode == 0) return CSize(size);
    ScopedWindowDC hdc(nullptr);
    ::SetMapMode(hdc, nMapMode);
    POINT pts[2] = {{0, 0}, {size.cx, size.cy}};
    ::LPtoDP(hdc, pts, 2);
    return CSize(std::abs((int)(pts[1].x - pts[0].x)), std::abs((int)(pts[1].y - pts[0].y)));
}

// Has a scroll bar drawn with the window's frame at the next paint. A size change, a fit of
// the page and a scroll set the bars several times in a row, and each drawing of a bar (tens of
// milliseconds under Wine's theme) is then done once.
void RedrawScrollBarSoon(HWND hWnd, int nBar) {
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetScrollBarInfo(hWnd, nBar == SB_HORZ ? OBJID_HSCROLL : OBJID_VSCROLL, &info)) {
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
        return;
    }
    RECT bar = info.rcScrollBar;
    ::MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&bar), 2);
    ::RedrawWindow(hWnd, &bar, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
}

// Shows one scroll bar over a total of `total` with a page of `page` at `pos`, or hides it
// (at 0) when the view needs none. A shown bar that already has that range, page and position
// is left alone: the system draws a bar again at every setting, changed or not.
void ShowViewBar(HWND hWnd, int nBar, BOOL bNeeded, int total, int page, int pos) {
    if (!bNeeded) {
        ::SetScrollPos(hWnd, nBar, 0, FALSE);
        ::ShowScrollBar(hWnd, nBar, FALSE);
        return;
    }
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_PAGE | SIF_RANGE | SIF_POS;
    si.nMin = 0;
    si.nMax = total - 1;
    si.nPage = (UINT)page;
    si.nPos = pos;
    const LONG shownStyle = nBar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    SCROLLINFO now = {};
    now.cbSize = sizeof(now);
    now.fMask = SIF_PAGE | SIF_RANGE | SIF_POS;
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & shownStyle) && ::GetScrollInfo(hWnd, nBar, &now) &&
        now.nMin == si.nMin && now.nMax == si.nMax && now.nPage == si.nPage && now.nPos == si.nPos)
        return;
    ::ShowScrollBar(hWnd, nBar, TRUE);
    ::SetScrollInfo(hWnd, nBar, &si, FALSE);
    RedrawScrollBarSoon(hWnd, nBar);
}
}  // namespace

void CScrollView::CalcDeviceSizes(const SIZE& sizePage, const SIZE& sizeLine) {
    m_totalDev = LogicalToDevice(m_nMapMode, m_totalLog);
    m_pageDev = LogicalToDevice(m_nMapMode, sizePage);
    m_lineDev = LogicalToDevice(m_nMapMode, sizeLine);
    if (m_pageDev.cx == 0) m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0) m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0) m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0) m_lineDev.cy = m_pageDev.cy / 10;
    if (m_lineDev.cx == 0) m_lineDev.cx = 1;
    if (m_lineDev.cy == 0) m_lineDev.cy = 1;
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine) {
    m_nMapMode = nMapMode;
    m_totalLog = CSize(std::max(0, (int)sizeTotal.cx), std::max(0, (int)sizeTotal.cy));
    CalcDeviceSizes(sizePage, sizeLine);
    if (m_hWnd != nullptr) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal) {
    m_nMapMode = MM_ANISOTROPIC;
    m_totalLog = sizeTotal;
    m_totalDev = CSize(0, 0);  // always fits: no scroll bars
    if (m_hWnd != nullptr) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const {
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetDeviceScrollPosition() const {
    CPoint pt(0, 0);
    if (m_hWnd == nullptr) return pt;
    if (GetStyle() & WS_HSCROLL) pt.x = ::GetScrollPos(m_hWnd, SB_HORZ);
    if (GetStyle() & WS_VSCROLL) pt.y = ::GetScrollPos(m_hWnd, SB_VERT);
    return pt;
}

CPoint CScrollView::GetScrollPosition() const {
    CPoint pt = GetDeviceScrollPosition();
    if (m_nMapMode != MM_TEXT && m_nMapMode != MM_ANISOTROPIC && m_nMapMode != 0) {
        ScopedWindowDC hdc(nullptr);
        ::SetMapMode(hdc, m_nMapMode);
        ::DPtoLP(hdc, &pt, 1);
    }
    return pt;
}

void CScrollView::ScrollToPosition(POINT pt) {
    if (m_nMapMode != MM_TEXT && m_nMapMode != MM_ANISOTROPIC && m_nMapMode != 0) {
        ScopedWindowDC hdc(nullptr);
        ::SetMapMode(hdc, m_nMapMode);
        ::LPtoDP(hdc, &pt, 1);
    }
    ScrollToDevicePosition(pt);
}

int CScrollView::ScrollLimit(int nBar) const {
    if (m_hWnd == nullptr) return 0;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(m_hWnd, nBar, &si)) return 0;
    int limit = si.nMax - si.nMin + 1 - (int)si.nPage;
    return limit < 0 ? 0 : limit;
}

void CScrollView::ScrollToDevicePosition(POINT ptDev) {
    if (m_hWnd == nullptr) return;
    CPoint cur = GetDeviceScrollPosition();
    int x = (GetStyle() & WS_HSCROLL) ? std::max(0, std::min((int)ptDev.x, ScrollLimit(SB_HORZ))) : 0;
    int y = (GetStyle() & WS_VSCROLL) ? std::max(0, std::min((int)ptDev.y, ScrollLimit(SB_VERT))) : 0;
    if ((GetStyle() & WS_HSCROLL) && cur.x != x) {
        ::SetScrollPos(m_hWnd, SB_HORZ, x, FALSE);
        RedrawScrollBarSoon(m_hWnd, SB_HORZ);
    }
    if ((GetStyle() & WS_VSCROLL) && cur.y != y) {
        ::SetScrollPos(m_hWnd, SB_VERT, y, FALSE);
        RedrawScrollBarSoon(m_hWnd, SB_VERT);
    }
    if (cur.x != x || cur.y != y) ::ScrollWindow(m_hWnd, cur.x - x, cur.y - y, nullptr, nullptr);
}

CSize CScrollView::ClientSizeWithoutBars() const {
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    CSize size = rc.Size();
    DWORD style = GetStyle();
    if (style & WS_VSCROLL) size.cx += ::GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) size.cy += ::GetSystemMetrics(SM_CYHSCROLL);
    return size;
}

void CScrollView::UpdateBars() {
    if (m_bInsideUpdate || m_hWnd == nullptr) return;
    m_bInsideUpdate = TRUE;
    CSize client = ClientSizeWithoutBars();
    const int cxV = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cyH = ::GetSystemMetrics(SM_CYHSCROLL);
    BOOL needH = m_totalDev.cx > client.cx;
    BOOL needV = m_totalDev.cy > client.cy;
    // One bar takes room from the other direction.
    if (needH && !needV && m_totalDev.cy > client.cy - cyH) needV = TRUE;
    if (needV && !needH && m_totalDev.cx > client.cx - cxV) needH = TRUE;
    CSize view = client;
    if (needV) view.cx -= cxV;
    if (needH) view.cy -= cyH;
    if (view.cx < 0) view.cx = 0;
    if (view.cy < 0) view.cy = 0;

    CPoint old = GetDeviceScrollPosition();
    CPoint pos(needH ? std::max(0, std::min((int)old.x, (int)(m_totalDev.cx - view.cx))) : 0,
               needV ? std::max(0, std::min((int)old.y, (int)(m_totalDev.cy - view.cy))) : 0);

    ShowViewBar(m_hWnd, SB_HORZ, needH, m_totalDev.cx, view.cx, pos.x);
    ShowViewBar(m_hWnd, SB_VERT, needV, m_totalDev.cy, view.cy, pos.y);
    if (old != pos) ::InvalidateRect(m_hWnd, nullptr, TRUE);
    m_bInsideUpdate = FALSE;
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    if (pInfo != nullptr) {
        CView::OnPrepareDC(pDC, pInfo);
        return;
    }
    CRect rc;
    GetClientRect(&rc);
    if (m_nMapMode == MM_ANISOTROPIC) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_totalLog.cx > 0 ? m_totalLog.cx : 1, m_totalLog.cy > 0 ? m_totalLog.cy : 1);
        pDC->SetViewportExt(rc.Width() > 0 ? rc.Width() : 1, rc.Height() > 0 ? rc.Height() : 1);
        pDC->SetViewportOrg(0, 0);
        return;
    }
    if (m_nMapMode != 0) pDC->SetMapMode(m_nMapMode);
    CPoint ptVpOrg = -GetDeviceScrollPosition();
    if (m_bCenter) {
        if (m_totalDev.cx < rc.Width()) ptVpOrg.x = (rc.Width() - m_totalDev.cx) / 2;
        if (m_totalDev.cy < rc.Height()) ptVpOrg.y = (rc.Height() - m_totalDev.cy) / 2;
    }
    pDC->SetViewportOrg(ptVpOrg.x, ptVpOrg.y);
}

void CScrollView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    UpdateBars();
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll) {
    (void)nPos;
    // Low byte: horizontal code, high byte: vertical code (0xFF for none).
    CPoint pt = GetDeviceScrollPosition();
    int x = pt.x, y = pt.y;
    auto apply = [&](int code, int nBar, int& v, int page, int line) {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        ::GetScrollInfo(m_hWnd, nBar, &si);
        switch (code) {
            case SB_TOP:
                v = 0;
                break;
            case SB_BOTTOM:
                v = 0x7FFFFFFF;
                break;
            case SB_LINEUP:
                v -= line;
                break;
            case SB_LINEDOWN:
                v += line;
                break;
            case SB_PAGEUP:
                v -= page;
                break;
            case SB_PAGEDOWN:
                v += page;
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                v = si.nTrackPos;
                break;
            default:
                break;
        }
    };
    BYTE h = LOBYTE(nScrollCode), v = HIBYTE(nScrollCode);
    if (h != 0xFF) apply(h, SB_HORZ, x, m_pageDev.cx, m_lineDev.cx);
    if (v != 0xFF) apply(v, SB_VERT, y, m_pageDev.cy, m_lineDev.cy);
    return OnScrollBy(CSize(x - pt.x, y - pt.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll) {
    CPoint pt = GetDeviceScrollPosition();
    int x = (GetStyle() & WS_HSCROLL)
                ? std::max(0, std::min((int)(pt.x + sizeScroll.cx), ScrollLimit(SB_HORZ)))
                : 0;
    int y = (GetStyle() & WS_VSCROLL)
                ? std::max(0, std::min((int)(pt.y + sizeScroll.cy), ScrollLimit(SB_VERT)))
                : 0;
    if (x == pt.x && y == pt.y) return FALSE;
    if (bDoScroll) {
        ::ScrollWindow(m_hWnd, pt.x - x, pt.y - y, nullptr, nullptr);
        if (x != pt.x) ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
        if (y != pt.y) ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
        ::UpdateWindow(m_hWnd);
    }
    return TRUE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr) return;
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr) return;
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    (void)nFlags;
    (void)pt;
    if (!(GetStyle() & WS_VSCROLL)) return FALSE;
    int lines = -zDelta / WHEEL_DELTA * 3;
    return OnScrollBy(CSize(0, lines * m_lineDev.cy), TRUE);
}

void CScrollView::FillOutsideRect(CDC* pDC, CBrush* pBrush) {
    CRect rc;
    GetClientRect(&rc);
    CPoint org = GetDeviceScrollPosition();
    CRect right(m_totalDev.cx - org.x, 0, rc.right, rc.bottom);
    CRect below(0, m_totalDev.cy - org.y, std::min((int)rc.right, (int)(m_totalDev.cx - org.x)), rc.bottom);
    int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    if (!right.IsRectEmpty()) pDC->FillRect(&right, pBrush);
    if (!below.IsRectEmpty()) pDC->FillRect(&below, pBrush);
    pDC->RestoreDC(saved);
}

void CScrollView::ResizeParentToFit(BOOL bShrinkOnly) {
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame == nullptr) return;
    CRect rcView;
    GetClientRect(&rcView);
    CSize extra(m_totalDev.cx - rcView.Width(), m_totalDev.cy - rcView.Height());
    if (bShrinkOnly) {
        extra.cx = std::min(0, (int)extra.cx);
        extra.cy = std::min(0, (int)extra.cy);
    }
    CRect rcFrame;
    pFrame->GetWindowRect(&rcFrame);
    pFrame->SetWindowPos(nullptr, 0, 0, rcFrame.Width() + extra.cx, rcFrame.Height() + extra.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
