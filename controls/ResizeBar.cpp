#include "controls/ResizeBar.h"

#include <cstring>

#include <algorithm>
#include <cstdint>

#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "framework/win/WinApp.h"

namespace {

const UINT kDockTop = AFX_IDW_DOCKBAR_TOP;        // 59419
const UINT kDockLeft = AFX_IDW_DOCKBAR_LEFT;      // 59420
const UINT kDockRight = AFX_IDW_DOCKBAR_RIGHT;    // 59421
const UINT kDockBottom = AFX_IDW_DOCKBAR_BOTTOM;  // 59422
const UINT kDockFloat = AFX_IDW_DOCKBAR_FLOAT;    // 59423

BOOL IsEdgeAcross(UINT nHitTest) {
    return nHitTest == HTLEFT || nHitTest == HTRIGHT;
}

// Edge flag of an edge code.
DWORD EdgeFlag(UINT nHitTest) {
    switch (nHitTest) {
        case HTLEFT:
            return RBS_EDGELEFT;
        case HTRIGHT:
            return RBS_EDGERIGHT;
        case HTTOP:
            return RBS_EDGETOP;
        case HTBOTTOM:
            return RBS_EDGEBOTTOM;
    }
    return 0;
}

BOOL ReadFullDrag() {
    BOOL bFull = FALSE;
    if (!::SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &bFull, 0)) bFull = FALSE;
    return bFull;
}

// A 50% checker brush for the tracker; the caller deletes it.
HBRUSH CreateHalftoneBrush() {
    static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    ScopedBitmap hbm(::CreateBitmap(8, 8, 1, 1, pattern));
    return ::CreatePatternBrush(hbm);
}

void Frame3d(HDC hdc, const CRect& rc, COLORREF topLeft, COLORREF bottomRight) {
    auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        ::SetBkColor(hdc, c);
        RECT rr = {l, t, r, b};
        ::ExtTextOut(hdc, 0, 0, ETO_OPAQUE, &rr, nullptr, 0, nullptr);
    };
    fill(rc.left, rc.top, rc.right - 1, rc.top + 1, topLeft);
    fill(rc.left, rc.top, rc.left + 1, rc.bottom - 1, topLeft);
    fill(rc.right - 1, rc.top, rc.right, rc.bottom, bottomRight);
    fill(rc.left, rc.bottom - 1, rc.right, rc.bottom, bottomRight);
}

// Where `bar` stands in its row; `none` when it is not there.
int IndexInRow(CResizeBarArray& bars, const CResizeBar* bar, int none) {
    int index = none;
    for (INT_PTR k = 0; k < bars.GetSize(); ++k)
        if (bars[k] == bar) index = (int)k;
    return index;
}

}  // namespace

// ============================== CResizeBar ==============================

IMPLEMENT_DYNAMIC(CResizeBar, CControlBar)

BEGIN_MESSAGE_MAP(CResizeBar, CControlBar)
    ON_WM_CREATE()
    ON_WM_SETTINGCHANGE()
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_NCHITTEST()
    ON_WM_SETCURSOR()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_CAPTURECHANGED()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_NCMOUSEMOVE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CResizeBar::CResizeBar() = default;
CResizeBar::~CResizeBar() = default;

BOOL CResizeBar::Create(LPCTSTR lpszWindowName, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
    BOOL bOk = FALSE;
    GuardOperation(1711, [&] {
        m_dwStyle = dwStyle & CBRS_ALL;
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                          ::GetSysColorBrush(COLOR_BTNFACE));
        bOk = CWnd::Create(cls, lpszWindowName, (dwStyle & ~CBRS_ALL) | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                           pParentWnd, nID);
    });
    return bOk;
}

BOOL CResizeBar::CreateWithSize(LPCTSTR lpszWindowName, CWnd* pParentWnd, SIZE sizeDefault, BOOL bIgnored,
                                UINT nID, DWORD dwStyle) {
    (void)bIgnored;
    m_sizeHorz = m_sizeVert = m_sizeFloat = sizeDefault;
    return Create(lpszWindowName, pParentWnd, nID, dwStyle);
}

int CResizeBar::OnCreate(LPCREATESTRUCT lpcs) {
    int result = -1;
    GuardOperation(1713, [&] {
        if (CControlBar::OnCreate(lpcs) == -1) return;
        m_bFullDrag = ReadFullDrag();
        result = 0;
    });
    return result;
}

void CResizeBar::OnSettingChange(UINT uFlags, LPCTSTR lpszSection) {
    GuardOperation(1726, [&] {
        CControlBar::OnSettingChange(uFlags, lpszSection);
        m_bFullDrag = ReadFullDrag();
    });
}

void CResizeBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
}

void CResizeBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle;
    if (m_pDockContext == nullptr) m_pDockContext = new CResizeBarDockContext(this);
    if (m_hWndOwner == nullptr && m_hWnd != nullptr) m_hWndOwner = ::GetParent(m_hWnd);
}

BOOL CResizeBar::IsFloating() const {
    return !IsHorzDocked() && !IsVertDocked();
}
BOOL CResizeBar::IsHorzDocked() const {
    return m_nDockSideId == kDockTop || m_nDockSideId == kDockBottom;
}
BOOL CResizeBar::IsVertDocked() const {
    return m_nDockSideId == kDockLeft || m_nDockSideId == kDockRight;
}

void CResizeBar::SetSizeCX(int cx, CString side) {
    if (side == "Float")
        m_sizeFloat.cx = cx;
    else if (side == "Horz")
        m_sizeHorz.cx = cx;
    else if (side == "Vert")
        m_sizeVert.cx = cx;
}

void CResizeBar::SetSizeCY(int cy, CString side) {
    if (side == "Float")
        m_sizeFloat.cy = cy;
    else if (side == "Horz")
        m_sizeHorz.cy = cy;
    else if (side == "Vert")
        m_sizeVert.cy = cy;
    else
        return;
    if (m_pDockSite != nullptr && m_pDockSite->m_hWnd != nullptr) m_pDockSite->DelayRecalcLayout();
}

CString CResizeBar::GetDockSideName() const {
    switch (m_nDockSideId) {
        case kDockTop:
            return "Top";
        case kDockBottom:
            return "Bottom";
        case kDockLeft:
            return "Left";
        case kDockRight:
            return "Right";
    }
    return "Float";
}

// ---- rows ----

BOOL CResizeBar::GetRowBounds(int& nFirst, int& nLast, int& nThis) const {
    nFirst = nLast = nThis = -1;
    if (IsFloating() || m_pDockBar == nullptr) return FALSE;
    const CPtrArray& arr = m_pDockBar->m_arrBars;
    nThis = m_pDockBar->FindBar(const_cast<CResizeBar*>(this));
    if (nThis < 0) return FALSE;
    nFirst = nThis;
    while (nFirst > 0 && arr[nFirst - 1] != nullptr) --nFirst;
    nLast = nThis;
    while (nLast + 1 < arr.GetSize() && arr[nLast + 1] != nullptr) ++nLast;
    return TRUE;
}

void CResizeBar::CollectSizingBars(int nFirst, int nLast, CResizeBarArray& arrBars) const {
    arrBars.RemoveAll();
    for (int i = nFirst; i <= nLast && i >= 0; ++i) {
        CControlBar* pBar = m_pDockBar->GetDockedControlBar(i);
        if (pBar == nullptr || pBar->m_hWnd == nullptr || !pBar->IsVisible()) continue;
        if (pBar->IsKindOf(RUNTIME_CLASS(CResizeBar))) arrBars.Add((CResizeBar*)pBar);
    }
}

void CResizeBar::GetRowSizingBars(CResizeBarArray& arrBars) const {
    arrBars.RemoveAll();
    GuardOperation(1735, [&] {
        int nFirst, nLast, nThis;
        if (GetRowBounds(nFirst, nLast, nThis)) CollectSizingBars(nFirst, nLast, arrBars);
    });
}

// ---- layout ----

CSize CResizeBar::CalcDynamicLayout(int nLength, DWORD nMode) {
    if (nMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (nLength == -1) m_bRowResize = TRUE;
        return CControlBar::CalcDynamicLayout(nLength, nMode);
    }
    // Floating. The mini frame hands over its new width or height while the user sizes it (it
    // marks that call LM_COMMIT); the drag set-up and the floating layout ask with LM_MRUWIDTH.
    if (!(nMode & LM_MRUWIDTH) && nLength >= 0) {
        if (nMode & LM_LENGTHY)
            m_sizeFloat.cy = nLength;
        else
            m_sizeFloat.cx = nLength;
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_sizeMinFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_sizeMinFloat.cy);
    return m_sizeFloat;
}

CSize CResizeBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    if (bStretch) return bHorz ? CSize(32767, m_sizeHorz.cy) : CSize(m_sizeVert.cx, 32767);

    CResizeBarArray arrBars;
    GetRowSizingBars(arrBars);
    if (m_pDockBar != nullptr && !m_pDockBar->m_bLayoutQuery) {
        // Pending shows and hides of the row are carried out together.
        AFX_SIZEPARENTPARAMS layout = {};
        layout.hDWP = nullptr;
        for (INT_PTR i = 0; i < arrBars.GetSize(); ++i) {
            CResizeBar* pBar = arrBars[i];
            if (!(pBar->m_nStateFlags & (delayHide | delayShow))) continue;
            if (layout.hDWP == nullptr) layout.hDWP = ::BeginDeferWindowPos((int)arrBars.GetSize());
            if (layout.hDWP != nullptr) pBar->RecalcDelayShow(&layout);
        }
        if (layout.hDWP != nullptr) ::EndDeferWindowPos(layout.hDWP);
    }

    // Sharing the row resizes and moves the bars (and may break the row): a real layout's work.
    // A layout query asks only for the size and is answered with the sizes the bars have.
    const BOOL bQuery = m_pDockBar != nullptr && m_pDockBar->m_bLayoutQuery;
    if (!bQuery && IsVisible() && !IsFloating() && m_bRowResize && arrBars.GetSize() > 0 &&
        arrBars[0] == this) {
        CRect rc = m_pDockBar->m_rectLayout;
        if (rc.IsRectEmpty() && m_pDockSite != nullptr) m_pDockSite->GetClientRect(&rc);
        int nLength = bHorz ? rc.Width() + 2 : rc.Height() - 2;
        if (NegotiateSpace(nLength, bHorz)) RealignRow();
    }
    m_bRowResize = FALSE;

    CSize size = bHorz ? m_sizeHorz : m_sizeVert;
    const CSize& sizeMin = bHorz ? m_sizeMinHorz : m_sizeMinVert;
    size.cx = std::max(size.cx, sizeMin.cx);
    size.cy = std::max(size.cy, sizeMin.cy);
    return size;
}

BOOL CResizeBar::NegotiateSpace(int nLength, BOOL bHorz) {
    BOOL bAnswer = FALSE;
    GuardOperation(1734, [&] {
        int nFirst, nLast, nThis;
        if (!GetRowBounds(nFirst, nLast, nThis)) return;
        CPtrArray& arr = m_pDockBar->m_arrBars;
        auto windowLength = [&](CControlBar* pBar) {
            CRect rc;
            pBar->GetWindowRect(&rc);
            return bHorz ? rc.Width() : rc.Height();
        };

        // 1-2. Do the row's bars fit at their minima? If not, the row breaks.
        int nTotal = 2;
        for (int i = nFirst; i <= nLast; ++i) {
            CControlBar* pBar = m_pDockBar->GetDockedControlBar(i);
            if (pBar == nullptr || pBar->m_hWnd == nullptr || !pBar->IsVisible()) continue;
            BOOL bSizing = pBar->IsKindOf(RUNTIME_CLASS(CResizeBar));
            nTotal += (bSizing ? ((CResizeBar*)pBar)->MinLength(bHorz) : windowLength(pBar)) - 2;
            if (nTotal <= nLength) continue;
            if (i < nThis) {
                arr.InsertAt(i + 1, (void*)nullptr);
                return;
            }
            if (i == nThis) {
                Length(bHorz) = MinLength(bHorz);
                bAnswer = TRUE;
                return;
            }
            arr.InsertAt(i, (void*)nullptr);
            nLast = i - 1;
            break;
        }

        // 3. What the fitting bars have, and what the other bars leave.
        int nSum = 0, nThickness = 0, nFree = nLength;
        for (int i = nFirst; i <= nLast; ++i) {
            CControlBar* pBar = m_pDockBar->GetDockedControlBar(i);
            if (pBar == nullptr || pBar->m_hWnd == nullptr || !pBar->IsVisible()) continue;
            if (pBar->IsKindOf(RUNTIME_CLASS(CResizeBar))) {
                CResizeBar* p = (CResizeBar*)pBar;
                nSum += p->Length(bHorz) - 2;
                nThickness = std::max(nThickness, (int)p->Thickness(bHorz));
            } else {
                nFree -= windowLength(pBar) - 2;
            }
        }

        // 4. The difference is shared among the sizing bars.
        CResizeBarArray arrBars;
        CollectSizingBars(nFirst, nLast, arrBars);
        const int n = (int)arrBars.GetSize();
        int d = nFree - nSum;
        if (n == 1) {
            arrBars[0]->m_bKeepLength = FALSE;
            arrBars[0]->Length(bHorz) += d;
        } else if (n > 1) {
            for (int k = 0; k < n; ++k) arrBars[k]->Thickness(bHorz) = nThickness;
            const int nEven = nFree / n;
            while (d != 0) {
                BOOL bChanged = FALSE;
                for (int k = 0; k < n && d != 0; ++k) {
                    CResizeBar* p = arrBars[k];
                    if (p->m_bKeepLength) continue;
                    if (d < 0 && (p->Length(bHorz) == nEven || p->Length(bHorz) <= p->MinLength(bHorz)))
                        continue;
                    const int step = d > 0 ? 1 : -1;
                    p->Length(bHorz) += step;
                    d -= step;
                    bChanged = TRUE;
                }
                if (!bChanged) break;
            }
            for (int k = 0; k < n; ++k) arrBars[k]->m_bKeepLength = FALSE;
        }
        bAnswer = TRUE;
    });
    return bAnswer;
}

void CResizeBar::RealignRow() {
    GuardOperation(1738, [&] {
        int nFirst, nLast, nThis;
        if (!GetRowBounds(nFirst, nLast, nThis)) return;
        const BOOL bHorz = IsHorzDocked();
        int p = bHorz ? -2 : 0;
        BOOL bMoved = FALSE;
        for (int i = nFirst; i <= nLast; ++i) {
            CControlBar* pBar = m_pDockBar->GetDockedControlBar(i);
            if (pBar == nullptr || pBar->m_hWnd == nullptr || !pBar->IsVisible()) continue;
            CRect rc;
            pBar->GetWindowRect(&rc);
            m_pDockBar->ScreenToClient(&rc);
            if (pBar->IsKindOf(RUNTIME_CLASS(CResizeBar))) {
                CSize size = ((CResizeBar*)pBar)->DockedSize(bHorz);
                rc.right = rc.left + size.cx;
                rc.bottom = rc.top + size.cy;
            }
            // Vertical rows reach 2 pixels over the dock bar's top, as the dock bar lays them out.
            const int target = bHorz ? p : p - 2;
            const int lead = bHorz ? rc.left : rc.top;
            if (lead != target) {
                if (bHorz)
                    rc.OffsetRect(target - rc.left, 0);
                else
                    rc.OffsetRect(0, target - rc.top);
                bMoved = TRUE;
            }
            pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
            p += (bHorz ? rc.Width() : rc.Height()) - 2;
        }
        if (bMoved && m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
    });
}

// ---- non-client area ----

void CResizeBar::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) {
    (void)bCalcValidRects;
    GuardOperation(1722, [&] {
        m_dwSizingStyle &= ~(RBS_EDGELEFT | RBS_EDGERIGHT | RBS_EDGETOP | RBS_EDGEBOTTOM);
        if (!IsFloating()) {
            CResizeBarArray arrBars;
            GetRowSizingBars(arrBars);
            const int i = IndexInRow(arrBars, this, -1);
            const int n = (int)arrBars.GetSize();
            if (i >= 0) {
                if (IsHorzDocked()) {
                    if (i > 0) m_dwSizingStyle |= RBS_EDGELEFT;
                    if (i < n - 1) m_dwSizingStyle |= RBS_EDGERIGHT;
                } else {
                    if (i > 0) m_dwSizingStyle |= RBS_EDGETOP;
                    if (i < n - 1) m_dwSizingStyle |= RBS_EDGEBOTTOM;
                }
            }
        }
        NcCalcClient(&lpncsp->rgrc[0], m_nDockSideId);
    });
}

void CResizeBar::NcCalcClient(LPRECT pRect, UINT nDockBarID) {
    CRect rc(pRect);
    rc.DeflateRect(3, 5, 3, 3);
    if (nDockBarID != kDockFloat) rc.DeflateRect(2, 0, 2, 2);
    switch (nDockBarID) {
        case kDockTop:
            m_dwSizingStyle |= RBS_EDGEBOTTOM;
            break;
        case kDockLeft:
            m_dwSizingStyle |= RBS_EDGERIGHT;
            break;
        case kDockRight:
            m_dwSizingStyle |= RBS_EDGELEFT;
            break;
        case kDockBottom:
            m_dwSizingStyle |= RBS_EDGETOP;
            break;
    }
    if (m_dwSizingStyle & RBS_SHOWEDGES) {
        const int w = m_nEdgeWidth - (nDockBarID == kDockLeft ? 2 : 1);
        if (m_dwSizingStyle & RBS_EDGELEFT) rc.left += w;
        if (m_dwSizingStyle & RBS_EDGETOP) rc.top += w;
        if (m_dwSizingStyle & RBS_EDGERIGHT) rc.right -= w;
        if (m_dwSizingStyle & RBS_EDGEBOTTOM) rc.bottom -= w;
    }
    // A bar laid out smaller than its frame keeps an empty (not inverted) client rectangle.
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    *pRect = rc;
}

BOOL CResizeBar::GetEdgeRect(CRect rcWnd, UINT nHitTest, CRect& rcEdge) const {
    const DWORD flag = EdgeFlag(nHitTest);
    if (flag == 0 || !(m_dwSizingStyle & flag)) return FALSE;
    rcEdge = rcWnd;
    if (m_dwSizingStyle & RBS_SHOWEDGES) rcEdge.DeflateRect(1, 1);
    const int w = m_nEdgeWidth;
    const BOOL bHorz = IsHorzDocked();
    switch (nHitTest) {
        case HTLEFT:
            rcEdge.right = rcEdge.left + w;
            break;
        case HTRIGHT:
            rcEdge.left = rcEdge.right - w;
            break;
        case HTTOP:
            rcEdge.bottom = rcEdge.top + w;
            break;
        case HTBOTTOM:
            rcEdge.top = rcEdge.bottom - w;
            break;
    }
    if (IsEdgeAcross(nHitTest) && bHorz) rcEdge.DeflateRect(0, w);
    if (!IsEdgeAcross(nHitTest) && !bHorz) rcEdge.DeflateRect(w, 0);
    return TRUE;
}

LRESULT CResizeBar::OnNcHitTest(CPoint point) {
    LRESULT result = HTCLIENT;
    GuardOperation(1725, [&] {
        if (IsFloating()) return;
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        static const UINT order[4] = {HTLEFT, HTTOP, HTRIGHT, HTBOTTOM};
        for (UINT ht : order) {
            CRect rcEdge;
            if (GetEdgeRect(rcWnd, ht, rcEdge) && rcEdge.PtInRect(point)) {
                result = ht;
                return;
            }
        }
    });
    return result;
}

BOOL CResizeBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (nHitTest == HTLEFT || nHitTest == HTRIGHT) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return CControlBar::OnSetCursor(pWnd, nHitTest, message);
}

CRect CResizeBar::ClientInWindow() const {
    CRect rcWnd, rcClient;
    GetWindowRect(&rcWnd);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWnd.left, -rcWnd.top);
    return rcClient;
}

void CResizeBar::OnNcPaint() {
    GuardOperation(1724, [&] {
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        const int cx = rcWnd.Width(), cy = rcWnd.Height();
        if (cx <= 0 || cy <= 0) return;
        const CRect rcClient = ClientInWindow();
        ScopedWindowDC hdcWnd(m_hWnd, ScopedWindowDC::kWhole);
        if (hdcWnd == nullptr) return;
        ScopedMemoryDC hdcMem(hdcWnd, cx, cy);

        CRect rcDraw(0, 0, cx, cy);
        // Lent by the scope type above, which releases it however this ends.
        CBorrowedDC dc(hdcMem.Get());
        DrawBorders(&dc, rcDraw);
        ::FillRect(hdcMem, &rcDraw, (HBRUSH)::GetClassLongPtr(m_hWnd, GCLP_HBRBACKGROUND));

        if ((m_dwSizingStyle & RBS_SHOWEDGES) &&
            (m_nDockSideId == kDockLeft || m_nDockSideId == kDockRight)) {
            CRect rcEdge;
            const UINT inner = m_nDockSideId == kDockLeft ? HTRIGHT : HTLEFT;
            if (GetEdgeRect(rcWnd, inner, rcEdge)) {
                rcEdge.OffsetRect(-rcWnd.left, -rcWnd.top);
                TileThemeBackground(hdcMem, rcEdge, 0, 0, 1);
                DrawCenteredThemeImage(hdcMem, rcEdge);
                Frame3d(hdcMem, rcEdge, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
            }
        }
        NcPaintGripper(&dc, rcClient);

        ::ExcludeClipRect(hdcWnd, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
        ::BitBlt(hdcWnd, 0, 0, cx, cy, hdcMem, 0, 0, SRCCOPY);
    });
}

void CResizeBar::NcPaintGripper(CDC* pDC, CRect rcClient) {
    (void)pDC;
    (void)rcClient;
}

void CResizeBar::OnPaint() {
    // The child fills the client area.
    ::ValidateRect(m_hWnd, nullptr);
}

BOOL CResizeBar::OnEraseBkgnd(CDC* pDC) {
    return CControlBar::OnEraseBkgnd(pDC);
}

void CResizeBar::OnWindowPosChanging(WINDOWPOS* lpWndPos) {
    GuardOperation(1717, [&] {
        lpWndPos->flags |= SWP_FRAMECHANGED;
        CControlBar::OnWindowPosChanging(lpWndPos);
        HWND hParent = ::GetParent(m_hWnd);
        m_nDockSideId = hParent ? (UINT)::GetDlgCtrlID(hParent) : 0;
        if (!IsFloating() && (lpWndPos->flags & SWP_SHOWWINDOW)) m_bKeepLength = TRUE;
    });
}

// ---- edge dragging ----

void CResizeBar::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    GuardOperation(1718, [&] {
        if (m_bTracking || IsFloating()) return;
        if (nHitTest >= HTSIZEFIRST && nHitTest <= HTSIZELAST) StartTracking(nHitTest, point);
    });
}

void CResizeBar::StartTracking(UINT nHitTest, CPoint point) {
    GuardOperation(1728, [&] {
        m_ptDragStart = point;
        SetCapture();
        if (!m_bFullDrag && m_pDockSite != nullptr)
            ::RedrawWindow(m_pDockSite->m_hWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
        m_nDragEdge = (int)nHitTest;
        m_bTracking = TRUE;
        const BOOL bAcross = IsEdgeAcross(nHitTest);
        m_nDragPos = bAcross ? point.x : point.y;
        CRect rcWnd, rcEdge;
        GetWindowRect(&rcWnd);
        if (!GetEdgeRect(rcWnd, nHitTest, rcEdge)) rcEdge = rcWnd;
        m_nDragOffset =
            m_nDragPos - (bAcross ? (rcEdge.left + rcEdge.right) / 2 : (rcEdge.top + rcEdge.bottom) / 2);
        m_nDragMin = m_nDragMax = m_nDragPos;

        const BOOL bHorzRow = IsHorzDocked();
        CResizeBarArray arrBars;
        GetRowSizingBars(arrBars);
        if (bHorzRow == bAcross) {
            // The edge runs between two bars of the row: each bar lends its slack to its side.
            const int nThis = IndexInRow(arrBars, this, 0);
            const int nEdge = (nHitTest == HTLEFT || nHitTest == HTTOP) ? nThis : nThis + 1;
            for (int k = 0; k < (int)arrBars.GetSize(); ++k) {
                CResizeBar* p = arrBars[k];
                const int slack = std::max(0, (int)(p->Length(bHorzRow) - p->MinLength(bHorzRow)));
                if (k < nEdge)
                    m_nDragMin -= slack;
                else
                    m_nDragMax += slack;
            }
        } else {
            // The edge is the row's thickness.
            int nMinThick = MinThickness(bHorzRow);
            for (INT_PTR k = 0; k < arrBars.GetSize(); ++k)
                nMinThick = std::max(nMinThick, arrBars[k]->MinThickness(bHorzRow));
            const int nShrink = std::max(0, (int)(Thickness(bHorzRow) - nMinThick));
            int nGrow = 0;
            if (m_pDockSite != nullptr) {
                CRect rcView;
                m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcView);
                nGrow = std::max(0, (bHorzRow ? rcView.Height() : rcView.Width()) - 2);
            }
            if (nHitTest == HTLEFT || nHitTest == HTTOP) {
                m_nDragMin -= nGrow;
                m_nDragMax += nShrink;
            } else {
                m_nDragMin -= nShrink;
                m_nDragMax += nGrow;
            }
        }
        InvertTracker();
    });
}

void CResizeBar::TrackUpdateSize(CPoint& point) {
    GuardOperation(1730, [&] {
        const UINT ht = (UINT)m_nDragEdge;
        const BOOL bAcross = IsEdgeAcross(ht);
        int pos = bAcross ? point.x : point.y;
        pos = std::max(m_nDragMin, std::min(m_nDragMax, pos));
        const int delta = pos - m_nDragPos;
        if (delta == 0) return;
        InvertTracker();
        m_nDragPos = pos;

        const BOOL bHorzRow = IsHorzDocked();
        CResizeBarArray arrBars;
        GetRowSizingBars(arrBars);
        if (bHorzRow == bAcross) {
            const int nThis = IndexInRow(arrBars, this, 0);
            const int n = (int)arrBars.GetSize();
            const int nEdge = (ht == HTLEFT || ht == HTTOP) ? nThis : nThis + 1;
            // The bar on the growing side takes what the bars on the other side give, nearest first.
            int want = delta > 0 ? delta : -delta;
            int given = 0;
            if (delta > 0) {
                for (int k = nEdge; k < n && given < want; ++k) {
                    CResizeBar* p = arrBars[k];
                    const int take = std::min(
                        want - given, std::max(0, (int)(p->Length(bHorzRow) - p->MinLength(bHorzRow))));
                    p->Length(bHorzRow) -= take;
                    given += take;
                }
                if (nEdge - 1 >= 0) arrBars[nEdge - 1]->Length(bHorzRow) += given;
            } else {
                for (int k = nEdge - 1; k >= 0 && given < want; --k) {
                    CResizeBar* p = arrBars[k];
                    const int take = std::min(
                        want - given, std::max(0, (int)(p->Length(bHorzRow) - p->MinLength(bHorzRow))));
                    p->Length(bHorzRow) -= take;
                    given += take;
                }
                if (nEdge < n) arrBars[nEdge]->Length(bHorzRow) += given;
            }
        } else {
            int thickness = Thickness(bHorzRow);
            if (ht == HTLEFT || ht == HTTOP)
                thickness -= delta;
            else
                thickness += delta;
            Thickness(bHorzRow) = thickness;
            for (INT_PTR k = 0; k < arrBars.GetSize(); ++k) arrBars[k]->Thickness(bHorzRow) = thickness;
        }

        if (m_bFullDrag) {
            if (m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
        } else {
            InvertTracker();
        }
    });
}

void CResizeBar::StopTracking() {
    GuardOperation(1729, [&] {
        InvertTracker();
        m_bTracking = FALSE;  // before the capture goes, so that WM_CAPTURECHANGED finds nothing to stop
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        if (m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
    });
}

void CResizeBar::InvertTracker() {
    GuardOperation(1731, [&] {
        if (m_bFullDrag || m_pDockSite == nullptr) return;
        const UINT ht = (UINT)m_nDragEdge;
        const BOOL bAcross = IsEdgeAcross(ht);
        CRect rcWnd, rc;
        GetWindowRect(&rcWnd);
        if (!GetEdgeRect(rcWnd, ht, rc)) return;
        if (bAcross != IsHorzDocked() && m_pDockBar != nullptr) {
            // The row's thickness: the tracker spans the whole dock bar.
            CRect rcDock;
            m_pDockBar->GetWindowRect(&rcDock);
            if (bAcross) {
                rc.top = rcDock.top;
                rc.bottom = rcDock.bottom;
            } else {
                rc.left = rcDock.left;
                rc.right = rcDock.right;
            }
        }
        const int centre = m_nDragPos - m_nDragOffset;
        if (bAcross)
            rc.OffsetRect(centre - (rc.left + rc.right) / 2, 0);
        else
            rc.OffsetRect(0, centre - (rc.top + rc.bottom) / 2);
        CRect rcFrame;
        m_pDockSite->GetWindowRect(&rcFrame);
        rc.OffsetRect(-rcFrame.left, -rcFrame.top);
        ScopedWindowDC hdc(m_pDockSite->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
        if (hdc == nullptr) return;
        ScopedSelect selection(hdc, CreateHalftoneBrush(), true);
        ::PatBlt(hdc, rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
    });
}

void CResizeBar::OnMouseMove(UINT nFlags, CPoint point) {
    GuardOperation(1720, [&] {
        if (m_bTracking) {
            CPoint pt = point;
            ClientToScreen(&pt);
            TrackUpdateSize(pt);
        }
        Default();
    });
    (void)nFlags;
}

void CResizeBar::OnLButtonUp(UINT nFlags, CPoint point) {
    (void)nFlags;
    GuardOperation(1003, [&] {
        if (m_bTracking) {
            StopTracking();
            CPoint pt = point;
            ClientToScreen(&pt);
            if (pt.x != m_ptDragStart.x) BarMoved();
        }
        Default();
    });
}

void CResizeBar::OnRButtonDown(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    GuardOperation(1719, [&] {
        if (m_bTracking) StopTracking();
        Default();
    });
}

void CResizeBar::OnCaptureChanged(CWnd* pWnd) {
    GuardOperation(1721, [&] {
        if (m_bTracking && (pWnd == nullptr || pWnd->m_hWnd != m_hWnd)) StopTracking();
    });
}

void CResizeBar::OnLButtonDown(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
}

void CResizeBar::OnLButtonDblClk(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
}

void CResizeBar::OnNcMouseMove(UINT nHitTest, CPoint point) {
    (void)nHitTest;
    (void)point;
    Default();
}

void CResizeBar::OnClose() {}

LRESULT CResizeBar::OnSetText(WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    LRESULT result = Default();
    HWND hParent = ::GetParent(m_hWnd);
    CWnd* pParent = hParent ? CWnd::FromHandlePermanent(hParent) : nullptr;
    if (pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CDockBar)) &&
        ((CDockBar*)pParent)->m_bFloating) {
        HWND hMini = ::GetParent(hParent);
        CWnd* pMini = hMini ? CWnd::FromHandlePermanent(hMini) : nullptr;
        if (pMini != nullptr && pMini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
            ::SetWindowText(hParent, (LPCTSTR)lParam);
            ((CMiniDockFrameWnd*)pMini)->DelayRecalcLayout();
        }
    }
    return result;
}

void CResizeBar::OnSize(UINT nType, int cx, int cy) {
    GuardOperation(1727, [&] {
        CControlBar::OnSize(nType, cx, cy);
        if (!(m_dwSizingStyle & RBS_SIZECHILD)) return;
        HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
        if (hChild != nullptr) {
            ::MoveWindow(hChild, 0, 0, cx, cy, FALSE);
            ::InvalidateRect(hChild, nullptr, TRUE);
        }
    });
}

// ---- profile ----

void CResizeBar::SaveState(LPCTSTR lpszProfileName) {
    GuardOperation(1740, [&] {
        CWinApp* pApp = AfxGetApp();
        if (pApp == nullptr) return;
        CString section;
        section.Format("%s-ResizeBar-%d", lpszProfileName, ::GetDlgCtrlID(m_hWnd));
        pApp->WriteProfileInt(section, "sizeHorzCX", m_sizeHorz.cx);
        pApp->WriteProfileInt(section, "sizeHorzCY", m_sizeHorz.cy);
        pApp->WriteProfileInt(section, "sizeVertCX", m_sizeVert.cx);
        pApp->WriteProfileInt(section, "sizeVertCY", m_sizeVert.cy);
        pApp->WriteProfileInt(section, "sizeFloatCX", m_sizeFloat.cx);
        pApp->WriteProfileInt(section, "sizeFloatCY", m_sizeFloat.cy);
    });
}

void CResizeBar::LoadState(LPCTSTR lpszProfileName) {
    // The framework's dock state restores a floating bar's frame exactly where it was saved, so the
    // floating records are left as they are (shifting them here would move the panel a little
    // further at every start).
    GuardOperation(1739, [&] {
        CWinApp* pApp = AfxGetApp();
        if (pApp == nullptr) return;
        CString section;
        section.Format("%s-ResizeBar-%d", lpszProfileName, ::GetDlgCtrlID(m_hWnd));
        // A damaged profile value may be far past the screen: a docked bar that wide would push
        // its edge out of reach. Sizes are held within the work area (and above the minima).
        RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const int maxCX = std::max(1, (int)(work.right - work.left));
        const int maxCY = std::max(1, (int)(work.bottom - work.top));
        auto read = [&](LPCTSTR key, LONG current, LONG minimum) {
            const bool across = key[std::strlen(key) - 1] == 'X';
            int v = (int)pApp->GetProfileInt(section, key, (int)current);
            v = std::min(v, across ? maxCX : maxCY);
            return std::max(v, (int)minimum);
        };
        m_sizeHorz.cx = read("sizeHorzCX", m_sizeHorz.cx, m_sizeMinHorz.cx);
        m_sizeHorz.cy = read("sizeHorzCY", m_sizeHorz.cy, m_sizeMinHorz.cy);
        m_sizeVert.cx = read("sizeVertCX", m_sizeVert.cx, m_sizeMinVert.cx);
        m_sizeVert.cy = read("sizeVertCY", m_sizeVert.cy, m_sizeMinVert.cy);
        m_sizeFloat.cx = read("sizeFloatCX", m_sizeFloat.cx, m_sizeMinFloat.cx);
        m_sizeFloat.cy = read("sizeFloatCY", m_sizeFloat.cy, m_sizeMinFloat.cy);
    });
}

void CResizeBar::GlobalLoadState(CFrameWnd* pFrame, LPCTSTR lpszProfileName) {
    GuardOperation(1741, [&] {
        if (pFrame == nullptr) return;
        for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
            CControlBar* pBar = (CControlBar*)pFrame->m_listControlBars.GetNext(pos);
            if (pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CResizeBar)))
                ((CResizeBar*)pBar)->LoadState(lpszProfileName);
        }
    });
}

void CResizeBar::GlobalSaveState(CFrameWnd* pFrame, LPCTSTR lpszProfileName) {
    GuardOperation(1742, [&] {
        if (pFrame == nullptr) return;
        for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
            CControlBar* pBar = (CControlBar*)pFrame->m_listControlBars.GetNext(pos);
            if (pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CResizeBar)))
                ((CResizeBar*)pBar)->SaveState(lpszProfileName);
        }
    });
}
