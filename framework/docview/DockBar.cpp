#include "framework/docview/DockBar.h"

#include <algorithm>
#include <vector>

// ======================= CDockBar =======================

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_WINDOWPOSCHANGING()
END_MESSAGE_MAP()

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating) {
    m_arrBars.Add(nullptr);
    // Frame dock bars are made with new and go with their windows; a floating
    // one is a member of its small frame.
    m_bAutoDelete = !bFloating;
}

CDockBar::~CDockBar() {
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = GetDockedControlBar((int)i);
        if (pBar != nullptr && pBar->m_pDockBar == this) pBar->m_pDockBar = nullptr;
    }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    m_dwStyle = dwStyle & CBRS_ALL;
    LPCTSTR cls =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    DWORD style = (dwStyle & ~CBRS_ALL) | WS_CHILD;
    return CWnd::CreateEx(0, cls, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID);
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const {
    void* p = m_arrBars[nPos];
    if (p == nullptr || IsPlaceHolder(p)) return nullptr;
    return (CControlBar*)p;
}

int CDockBar::GetDockedCount() const {
    int n = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (GetDockedControlBar((int)i) != nullptr) ++n;
    return n;
}

int CDockBar::GetDockedVisibleCount() const {
    int n = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = GetDockedControlBar((int)i);
        if (pBar != nullptr && pBar->IsVisible()) ++n;
    }
    return n;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const {
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if ((int)i != nPosExclude && m_arrBars[i] == pBar) return (int)i;
    return -1;
}

BOOL CDockBar::HasPlaceHolder(UINT nBarID) const {
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (IsPlaceHolder(m_arrBars[i]) && (UINT)(UINT_PTR)m_arrBars[i] == nBarID) return TRUE;
    return FALSE;
}

void CDockBar::CloseUpRows() {
    // A leading break, no two breaks in a row, a closing break when not empty.
    if (m_arrBars.GetSize() == 0 || m_arrBars[0] != nullptr) m_arrBars.InsertAt(0, (void*)nullptr);
    for (INT_PTR i = 1; i < m_arrBars.GetSize();) {
        if (m_arrBars[i] == nullptr && m_arrBars[i - 1] == nullptr)
            m_arrBars.RemoveAt(i);
        else
            ++i;
    }
    if (m_arrBars.GetSize() > 1 && m_arrBars[m_arrBars.GetSize() - 1] != nullptr) m_arrBars.Add(nullptr);
}

void CDockBar::RemovePlaceHolder(CControlBar* pBar) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    UINT nID = (UINT)::GetDlgCtrlID(pBar->m_hWnd);
    BOOL bChanged = FALSE;
    for (INT_PTR i = m_arrBars.GetSize() - 1; i >= 0; --i) {
        if (IsPlaceHolder(m_arrBars[i]) && (UINT)(UINT_PTR)m_arrBars[i] == nID) {
            m_arrBars.RemoveAt(i);
            bChanged = TRUE;
        }
    }
    if (bChanged) CloseUpRows();
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder) {
    int nPos = FindBar(pBar, nPosExclude);
    if (nPos < 0) return FALSE;
    if (nAddPlaceHolder == 1 && pBar->m_hWnd != nullptr) {
        UINT nID = (UINT)::GetDlgCtrlID(pBar->m_hWnd);
        // One placeholder per bar.
        for (INT_PTR i = m_arrBars.GetSize() - 1; i >= 0; --i)
            if ((int)i != nPos && IsPlaceHolder(m_arrBars[i]) && (UINT)(UINT_PTR)m_arrBars[i] == nID) {
                m_arrBars.RemoveAt(i);
                if (i < nPos) --nPos;
            }
        m_arrBars[nPos] = (void*)(UINT_PTR)nID;
    } else {
        m_arrBars.RemoveAt(nPos);
    }
    CloseUpRows();
    if (pBar->m_pDockBar == this && nPosExclude < 0) pBar->m_pDockBar = nullptr;
    if (!m_bFloating && m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
    return TRUE;
}

int CDockBar::Insert(CControlBar* pBar, CRect rect, CPoint ptMid) {
    (void)rect;
    const BOOL bHorz = IsHorz() || m_bFloating;
    const int nCount = (int)m_arrBars.GetSize();
    // Where the other bar at i lies in this dock bar's client area; false when it is not shown.
    auto otherBarRect = [&](int i, CRect& rc) {
        CControlBar* p = GetDockedControlBar(i);
        if (p == nullptr || p == pBar || !p->IsVisible() || p->m_hWnd == nullptr) return false;
        p->GetWindowRect(&rc);
        ScreenToClient(&rc);
        return true;
    };
    int first = 1;
    while (first < nCount) {
        int last = first;
        while (last < nCount && m_arrBars[last] != nullptr) ++last;  // m_arrBars[last] is the row's break
        // The row's extent across the dock bar, from its visible bars.
        int lo = INT_MAX, hi = INT_MIN;
        for (int i = first; i < last; ++i) {
            CRect rc;
            if (!otherBarRect(i, rc)) continue;
            lo = std::min(lo, (int)(bHorz ? rc.top : rc.left));
            hi = std::max(hi, (int)(bHorz ? rc.bottom : rc.right));
        }
        if (lo != INT_MAX) {
            int c = bHorz ? ptMid.y : ptMid.x;
            if (c < lo) {
                // A new row before this one.
                m_arrBars.InsertAt(first, (void*)nullptr);
                m_arrBars.InsertAt(first, pBar);
                return first;
            }
            if (c < hi) {
                int nPos = last;
                for (int i = first; i < last; ++i) {
                    CRect rc;
                    if (!otherBarRect(i, rc)) continue;
                    int mid = bHorz ? (rc.left + rc.right) / 2 : (rc.top + rc.bottom) / 2;
                    if ((bHorz ? ptMid.x : ptMid.y) < mid) {
                        nPos = i;
                        break;
                    }
                }
                m_arrBars.InsertAt(nPos, pBar);
                return nPos;
            }
        }
        first = last + 1;
    }
    // Past every row: a new last row.
    if (m_arrBars.GetSize() == 0 || m_arrBars[m_arrBars.GetSize() - 1] != nullptr) m_arrBars.Add(nullptr);
    int nPos = (int)m_arrBars.Add(pBar);
    m_arrBars.Add(nullptr);
    return nPos;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    CDockBar* pOld = pBar->m_pDockBar;
    int nPos = -1;
    if (lpRect != nullptr) {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        CPoint ptMid(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
        nPos = Insert(pBar, rect, ptMid);
    } else {
        UINT nID = (UINT)::GetDlgCtrlID(pBar->m_hWnd);
        for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
            if (IsPlaceHolder(m_arrBars[i]) && (UINT)(UINT_PTR)m_arrBars[i] == nID) {
                m_arrBars[i] = pBar;  // back to the place it left
                nPos = (int)i;
                break;
            }
        if (nPos < 0) {
            if (pOld == this) return;  // already docked here, nowhere in particular asked
            if (m_arrBars.GetSize() == 0 || m_arrBars[m_arrBars.GetSize() - 1] != nullptr)
                m_arrBars.Add(nullptr);
            nPos = (int)m_arrBars.Add(pBar);
            m_arrBars.Add(nullptr);
        }
    }
    // Out of the old place: a placeholder stays where a docked bar was floated.
    if (pOld == this) {
        int nOld = FindBar(pBar, nPos);
        if (nOld >= 0) {
            m_arrBars.RemoveAt(nOld);
            if (nOld < nPos) --nPos;
        }
    } else if (pOld != nullptr) {
        pOld->RemoveControlBar(pBar, -1, (m_bFloating && !pOld->m_bFloating) ? 1 : 0);
    }
    CloseUpRows();
    pBar->m_pDockBar = this;

    DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING | CBRS_ALIGN_TOP;
    else
        dwStyle |= (m_dwStyle & CBRS_ALIGN_ANY);
    if (::GetParent(pBar->m_hWnd) != m_hWnd) {
        ::SetParent(pBar->m_hWnd, m_hWnd);
    }
    pBar->SetBarStyle(dwStyle);
    if (!m_bFloating && m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam) {
    AFX_SIZEPARENTPARAMS* lpLayout = (AFX_SIZEPARENTPARAMS*)lParam;
    m_bLayoutQuery = lpLayout->hDWP == nullptr;
    m_rectLayout = lpLayout->rect;
    LRESULT lResult = CControlBar::OnSizeParent(wParam, lParam);
    m_bLayoutQuery = FALSE;
    return lResult;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorzIn) {
    (void)bHorzIn;
    const BOOL bHorz = IsHorz() || m_bFloating;
    const UINT nID = m_hWnd ? (UINT)::GetDlgCtrlID(m_hWnd) : 0;
    // Bars overlap their neighbours by the width of their borders and the top
    // rows reach 2 pixels over the frame's edge, so that borders meet.
    const int kOverlap = m_bFloating ? 0 : 2;
    int cross = (!m_bFloating && nID == AFX_IDW_DOCKBAR_TOP) ? -2 : 0;
    const int crossStart = cross;
    int maxLength = 0;
    BOOL bAny = FALSE;
    HDWP hDWP = m_bLayoutQuery ? nullptr : ::BeginDeferWindowPos((int)m_arrBars.GetSize());

    const int nCount = (int)m_arrBars.GetSize();
    int first = 1;
    while (first < nCount) {
        int last = first;
        while (last < nCount && m_arrBars[last] != nullptr) ++last;
        int pos = -kOverlap;
        int thickness = 0;
        BOOL bRowVisible = FALSE;
        for (int i = first; i < last; ++i) {
            CControlBar* pBar = GetDockedControlBar(i);
            if (pBar == nullptr || pBar->m_hWnd == nullptr) continue;
            // A pending show or hide is carried out by a real layout only.
            DWORD dwStyle = pBar->m_nStateFlags & (CControlBar::delayHide | CControlBar::delayShow)
                                ? ((pBar->m_nStateFlags & CControlBar::delayShow) ? WS_VISIBLE : 0)
                                : (pBar->GetStyle() & WS_VISIBLE);
            if (!m_bLayoutQuery && (pBar->m_nStateFlags & (CControlBar::delayHide | CControlBar::delayShow)))
                pBar->RecalcDelayShow(nullptr);
            if (!(dwStyle & WS_VISIBLE)) continue;
            CSize size;
            if (m_bFloating)
                size = pBar->CalcDynamicLayout(
                    -1, LM_HORZ | LM_MRUWIDTH);  // fixed bars answer with their fixed size
            else
                size = pBar->CalcDynamicLayout(-1, bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
            CRect rc = bHorz ? CRect(CPoint(pos, cross), size) : CRect(CPoint(cross, pos), size);
            if (hDWP != nullptr) {
                CRect cur;
                pBar->GetWindowRect(&cur);
                ScreenToClient(&cur);
                // A moved bar is drawn afresh at its new place, borders and all: its old pixels are
                // not carried along, since the window system moves the windows of a pass one after
                // the other, and a bar placed before it may already have taken them over (a bar
                // dragged into another row shuffles its neighbours).
                if (cur != rc)
                    hDWP = ::DeferWindowPos(
                        hDWP, pBar->m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_FRAMECHANGED);
            }
            int len = bHorz ? size.cx : size.cy;
            thickness = std::max(thickness, (int)(bHorz ? size.cy : size.cx));
            pos += len - kOverlap;
            bRowVisible = TRUE;
        }
        if (bRowVisible) {
            maxLength = std::max(maxLength, pos + kOverlap);
            cross += thickness - kOverlap;
            bAny = TRUE;
        }
        first = last + 1;
    }
    if (hDWP != nullptr) ::EndDeferWindowPos(hDWP);

    (void)crossStart;
    int total = bAny ? cross + kOverlap : 0;
    if (total < 0) total = 0;
    if (m_bFloating) return CSize(maxLength, total);
    if (bHorz) return CSize(bStretch ? 32767 : maxLength, total);
    return CSize(total, bStretch ? 32767 : maxLength);
}

void CDockBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
}

void CDockBar::DoPaint(CDC* pDC) {
    (void)pDC;
}

void CDockBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {}
void CDockBar::OnNcPaint() {}
void CDockBar::OnWindowPosChanging(WINDOWPOS* lpWndPos) {
    CWnd::OnWindowPosChanging(lpWndPos);
}

// ======================= CMiniDockFrameWnd =======================

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CFrameWnd)
    ON_WM_CLOSE()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_SIZE()
    ON_WM_SIZING()
    ON_WM_MOUSEACTIVATE()
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}
CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

void CMiniDockFrameWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
    CFrameWnd::OnWindowPosChanged(lpwndpos);
    // Shown again, it keeps its place in the z-order, which may be under its frame: the frame
    // puts it in front, where an owned window belongs.
    if (lpwndpos != nullptr && (lpwndpos->flags & SWP_SHOWWINDOW) && m_pMainFrame != nullptr &&
        ::IsWindowVisible(m_pMainFrame->m_hWnd))
        m_pMainFrame->PostBringFloatingBarsToFront();
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle) {
    m_pMainFrame = (CFrameWnd*)pParent;
    LPCTSTR cls =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (dwBarStyle & CBRS_SIZE_DYNAMIC) style |= WS_THICKFRAME;
    if (!CWnd::CreateEx(WS_EX_TOOLWINDOW, cls, "", style, 0, 0, 100, 50, pParent ? pParent->m_hWnd : nullptr,
                        nullptr)) {
        return FALSE;
    }
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | (dwBarStyle & CBRS_ALIGN_ANY),
                             AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    m_wndDockBar.m_pDockSite = m_pMainFrame;
    m_wndDockBar.SetOwner(m_pMainFrame);
    return TRUE;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL bNotify) {
    (void)bNotify;
    if (m_hWnd == nullptr || m_wndDockBar.m_hWnd == nullptr || m_bInRecalcLayout) return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    CSize size = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    if (size.cx < 16) size.cx = 16;
    if (size.cy < 8) size.cy = 8;
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rc(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rc, GetStyle(), FALSE, GetExStyle());
    CRect cur;
    GetWindowRect(&cur);
    if (cur.Width() != rc.Width() || cur.Height() != rc.Height())
        SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The caption is the first bar's title.
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = m_wndDockBar.GetDockedControlBar((int)i);
        if (pBar == nullptr) continue;
        CString title;
        pBar->GetWindowText(title);
        CString old;
        GetWindowText(old);
        if (old != title) SetWindowText(title);
        break;
    }
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
}

BOOL CMiniDockFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // Commands of floating bars go the main frame's way.
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pMainFrame != nullptr && m_pMainFrame->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CMiniDockFrameWnd::OnClose() {
    // Closing a floating frame hides its bars; they stay where they are.
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = m_wndDockBar.GetDockedControlBar((int)i);
        if (pBar != nullptr && m_pMainFrame != nullptr) m_pMainFrame->ShowControlBar(pBar, FALSE, FALSE);
    }
    ShowWindow(SW_HIDE);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point) {
    if (nHitTest == HTCAPTION) {
        for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i) {
            CControlBar* pBar = m_wndDockBar.GetDockedControlBar((int)i);
            if (pBar != nullptr && pBar->m_pDockContext != nullptr) {
                pBar->m_pDockContext->ToggleDocking();
                return;
            }
        }
    }
    CFrameWnd::OnNcLButtonDblClk(nHitTest, point);
}

void CMiniDockFrameWnd::OnSizing(UINT fwSide, LPRECT pRect) {
    // A floating bar of dynamic size lays itself out for the new width or height.
    CControlBar* pBar = nullptr;
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize() && pBar == nullptr; ++i)
        pBar = m_wndDockBar.GetDockedControlBar((int)i);
    if (pBar == nullptr || !(pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)) return;
    CRect rcFrame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&rcFrame, GetStyle(), FALSE, GetExStyle());
    int cx = (pRect->right - pRect->left) - rcFrame.Width();
    int cy = (pRect->bottom - pRect->top) - rcFrame.Height();
    BOOL bVertical = fwSide == WMSZ_TOP || fwSide == WMSZ_BOTTOM;
    CSize size = bVertical ? pBar->CalcDynamicLayout(cy, LM_HORZ | LM_LENGTHY | LM_COMMIT)
                           : pBar->CalcDynamicLayout(cx, LM_HORZ | LM_COMMIT);
    pRect->right = pRect->left + size.cx + rcFrame.Width();
    pRect->bottom = pRect->top + size.cy + rcFrame.Height();
}

void CMiniDockFrameWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (!m_bInRecalcLayout && nType != SIZE_MINIMIZED) RecalcLayout();
}

int CMiniDockFrameWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return MA_NOACTIVATE;
}

// ======================= CDockContext =======================

CDockContext::CDockContext(CControlBar* pBar)
    : m_pBar(pBar), m_pDockSite(pBar ? pBar->m_pDockSite : nullptr) {}
CDockContext::~CDockContext() {
    // Destroyed in the middle of a drag (its bar went away): the screen DC is still held.
    delete m_pDC;
}

CRect CDockContext::FloatingFrameRect(CSize sizeBar, CPoint ptTopLeft) const {
    CRect rc(0, 0, sizeBar.cx, sizeBar.cy);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) style |= WS_THICKFRAME;
    ::AdjustWindowRectEx(&rc, style, FALSE, WS_EX_TOOLWINDOW);
    rc.OffsetRect(ptTopLeft.x - rc.left, ptTopLeft.y - rc.top);
    return rc;
}

namespace {
// Moves rc by the least amount that puts pt inside it.
void ContainPoint(CRect& rc, CPoint pt) {
    if (pt.x < rc.left) rc.OffsetRect(pt.x - rc.left, 0);
    if (pt.x >= rc.right) rc.OffsetRect(pt.x - rc.right + 1, 0);
    if (pt.y < rc.top) rc.OffsetRect(0, pt.y - rc.top);
    if (pt.y >= rc.bottom) rc.OffsetRect(0, pt.y - rc.bottom + 1);
}
}  // namespace

void CDockContext::ContainDragRects(CPoint pt) {
    ContainPoint(m_rectDragHorz, pt);
    ContainPoint(m_rectDragVert, pt);
    ContainPoint(m_rectFrameDragHorz, pt);
    ContainPoint(m_rectFrameDragVert, pt);
}

void CDockContext::StartDrag(CPoint pt) {
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr) return;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
    InitLoop();
    m_bDragging = TRUE;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptStart = m_ptLast = pt;
    CSize sizeHorz = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK);
    CSize sizeVert = m_pBar->CalcDynamicLayout(0, LM_VERTDOCK);
    CSize sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    m_rectDragHorz = CRect(rect.TopLeft(), sizeHorz);
    m_rectDragVert = CRect(rect.TopLeft(), sizeVert);
    m_rectFrameDragHorz = FloatingFrameRect(sizeFloat, rect.TopLeft());
    m_rectFrameDragVert = m_rectFrameDragHorz;
    ContainDragRects(pt);
    m_dwOverDockStyle = CanDock();
    Move(pt);
    Track();
}

void CDockContext::InitLoop() {
    m_bDitherLast = FALSE;
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    m_bForceFrame = FALSE;
    m_bFlip = FALSE;
    if (m_pDC == nullptr) {
        m_pDC = new CClientDC(nullptr);  // the screen's DC, released when deleted
    }
}

void CDockContext::CancelLoop() {
    DrawFocusRect(TRUE);
    if (::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
    delete m_pDC;
    m_pDC = nullptr;
    m_bDragging = FALSE;
}

void CDockContext::DrawFocusRect(BOOL bRemoveRect) {
    if (m_pDC == nullptr) return;
    CRect rect;
    BOOL bDither = FALSE;
    if (m_dwOverDockStyle & CBRS_ORIENT_HORZ)
        rect = m_rectDragHorz;
    else if (m_dwOverDockStyle & CBRS_ORIENT_VERT)
        rect = m_rectDragVert;
    else {
        rect = m_rectFrameDragHorz;
        bDither = TRUE;
    }
    if (bRemoveRect) rect.SetRectEmpty();
    HDC hdc = m_pDC->m_hDC;
    auto frame = [&](const CRect& r, BOOL dither) {
        if (r.IsRectEmpty()) return;
        int t = dither ? 3 : 1;
        static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        ScopedBitmap hbm(::CreateBitmap(8, 8, 1, 1, pattern));
        HBRUSH hbr = dither ? ::CreatePatternBrush(hbm) : (HBRUSH)::GetStockObject(GRAY_BRUSH);
        ScopedSelect selection(hdc, hbr, dither != FALSE);
        ::PatBlt(hdc, r.left, r.top, r.Width(), t, PATINVERT);
        ::PatBlt(hdc, r.left, r.bottom - t, r.Width(), t, PATINVERT);
        ::PatBlt(hdc, r.left, r.top + t, t, r.Height() - 2 * t, PATINVERT);
        ::PatBlt(hdc, r.right - t, r.top + t, t, r.Height() - 2 * t, PATINVERT);
        selection.Restore();
    };
    if (rect == m_rectLast && bDither == m_bDitherLast) return;
    frame(m_rectLast, m_bDitherLast);  // erase (XOR again)
    frame(rect, bDither);
    m_rectLast = rect;
    m_bDitherLast = bDither;
}

BOOL CDockContext::Track() {
    if (m_pBar->m_hWnd == nullptr) return FALSE;
    ::SetCapture(m_pBar->m_hWnd);
    while (::GetCapture() == m_pBar->m_hWnd) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        switch (msg.message) {
            case WM_LBUTTONUP:
                if (m_bDragging) EndDrag();
                return TRUE;
            case WM_MOUSEMOVE: {
                CPoint pt((short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam));
                ::ClientToScreen(msg.hwnd, &pt);
                Move(pt);
                break;
            }
            case WM_KEYDOWN:
                if (msg.wParam == VK_CONTROL && !m_bForceFrame) {
                    m_bForceFrame = TRUE;
                    Move(m_ptLast);
                } else if (msg.wParam == VK_ESCAPE) {
                    CancelLoop();
                    return FALSE;
                }
                break;
            case WM_KEYUP:
                if (msg.wParam == VK_CONTROL && m_bForceFrame) {
                    m_bForceFrame = FALSE;
                    Move(m_ptLast);
                }
                break;
            case WM_RBUTTONDOWN:
                CancelLoop();
                return FALSE;
            default:
                ::DispatchMessageA(&msg);
                break;
        }
    }
    CancelLoop();
    return FALSE;
}

void CDockContext::Move(CPoint pt) {
    CSize delta = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(delta);
    m_rectDragVert.OffsetRect(delta);
    m_rectFrameDragHorz.OffsetRect(delta);
    m_rectFrameDragVert.OffsetRect(delta);
    m_ptLast = pt;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void CDockContext::EndDrag() {
    CancelLoop();
    if (m_ptLast == m_ptStart) return;  // a click, not a drag
    if (m_dwOverDockStyle & CBRS_ALIGN_ANY) {
        CDockBar* pDockBar = GetDockBar(m_dwOverDockStyle);
        if (pDockBar == nullptr) return;
        CRect rect = (m_dwOverDockStyle & CBRS_ORIENT_VERT) ? m_rectDragVert : m_rectDragHorz;
        m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
    } else {
        m_pDockSite->FloatControlBar(m_pBar, m_rectFrameDragHorz.TopLeft(),
                                     CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}

DWORD CDockContext::CanDock() {
    DWORD dw = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & CBRS_ORIENT_HORZ);
    if (dw != 0) return dw;
    return m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & CBRS_ORIENT_VERT);
}

CDockBar* CDockContext::GetDockBar(DWORD dwOverDockStyle) {
    CDockBar* pDockBar = nullptr;
    CRect rect = (dwOverDockStyle & CBRS_ORIENT_VERT) ? m_rectDragVert : m_rectDragHorz;
    m_pDockSite->CanDock(rect, dwOverDockStyle, &pDockBar);
    return pDockBar;
}

void CDockContext::RememberPosition() {
    if (m_pBar->m_pDockBar == nullptr || m_pBar->m_hWnd == nullptr) return;
    if (m_pBar->m_pDockBar->m_bFloating) {
        CWnd* pFrame = m_pBar->m_pDockBar->GetParent();
        if (pFrame != nullptr) {
            CRect rc;
            pFrame->GetWindowRect(&rc);
            m_ptMRUFloatPos = rc.TopLeft();
        }
        m_dwMRUFloatStyle = m_pBar->m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    } else {
        m_uMRUDockID = (UINT)::GetDlgCtrlID(m_pBar->m_pDockBar->m_hWnd);
        m_pBar->GetWindowRect(&m_rectMRUDockPos);
    }
}

void CDockContext::ToggleDocking() {
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr) return;
    if (m_pBar->IsFloating()) {
        RememberPosition();
        CDockBar* pDock = m_uMRUDockID ? (CDockBar*)m_pDockSite->GetControlBar(m_uMRUDockID) : nullptr;
        if (pDock != nullptr) {
            UINT nID = (UINT)::GetDlgCtrlID(m_pBar->m_hWnd);
            if (pDock->HasPlaceHolder(nID) || m_rectMRUDockPos.IsRectEmpty())
                m_pDockSite->DockControlBar(m_pBar, pDock, nullptr);
            else
                m_pDockSite->DockControlBar(m_pBar, pDock, &m_rectMRUDockPos);
        } else {
            m_pDockSite->DockControlBar(m_pBar, (UINT)0, nullptr);
        }
    } else {
        CPoint pt = m_ptMRUFloatPos;
        if (pt.x == -1 && pt.y == -1) {
            CRect rc;
            m_pBar->GetWindowRect(&rc);
            pt = rc.TopLeft() + CSize(16, 16);
        }
        m_pDockSite->FloatControlBar(m_pBar, pt, CBRS_ALIGN_TOP | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}
