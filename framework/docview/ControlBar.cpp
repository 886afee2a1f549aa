#include "framework/docview/ControlBar.h"

#include <algorithm>
#include <vector>

#include "framework/docview/DockBar.h"

// ======================= CControlBar =======================

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_WINDOWPOSCHANGING()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    delete m_pDockContext;
    m_pDockContext = nullptr;
    if (m_pDockSite != nullptr) m_pDockSite->RemoveControlBar(this);
    if (m_hWnd != nullptr) DestroyWindow();
}

void CControlBar::AttachToFrame(CWnd* pParentWnd) {
    CFrameWnd* pFrame = nullptr;
    for (CWnd* p = pParentWnd; p != nullptr && p->m_hWnd != nullptr;) {
        if (p->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
            pFrame = ((CMiniDockFrameWnd*)p)->m_pMainFrame;
            break;
        }
        if (p->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
            pFrame = (CFrameWnd*)p;
            break;
        }
        HWND hParent = ::GetParent(p->m_hWnd);
        p = hParent ? CWnd::FromHandlePermanent(hParent) : nullptr;
    }
    m_pDockSite = pFrame;
    if (pFrame != nullptr) {
        pFrame->AddControlBar(this);
        SetOwner(pFrame);
    }
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    HWND hParent = ::GetParent(m_hWnd);
    AttachToFrame(hParent ? CWnd::FromHandlePermanent(hParent) : nullptr);
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_pDockBar != nullptr && m_pDockBar->m_hWnd != nullptr) {
        m_pDockBar->RemoveControlBar(this);
        m_pDockBar = nullptr;
    }
    if (m_pDockSite != nullptr) m_pDockSite->RemoveControlBar(this);
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    DWORD dwOld = m_dwStyle;
    m_dwStyle = dwStyle & CBRS_ALL;
    if (dwOld != m_dwStyle) OnBarStyleChange(dwOld, m_dwStyle);
}

void CControlBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {
    (void)dwOldStyle;
    (void)dwNewStyle;
    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle;
    if (m_pDockContext == nullptr) m_pDockContext = new CDockContext(this);
    if (m_hWndOwner == nullptr && m_hWnd != nullptr) m_hWndOwner = ::GetParent(m_hWnd);
}

void CControlBar::DelayRecalcFrames() {
    if (m_pDockSite != nullptr) m_pDockSite->DelayRecalcLayout();
    CFrameWnd* pFrame = AfxGetParentFrame(this);
    if (IsFloating() && pFrame != nullptr && pFrame != m_pDockSite) pFrame->DelayRecalcLayout();
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    CFrameWnd* pFrame = AfxGetParentFrame(this);
    return pFrame ? pFrame : m_pDockSite;
}

BOOL CControlBar::IsFloating() const {
    if (IsDockBar()) return ((const CDockBar*)this)->m_bFloating;
    if (m_pDockBar != nullptr) return m_pDockBar->m_bFloating;
    return (m_dwStyle & CBRS_FLOATING) != 0;
}

BOOL CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide) return FALSE;
    if (m_nStateFlags & delayShow) return TRUE;
    return m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::DelayShow(BOOL bShow) {
    m_nStateFlags &= ~(delayHide | delayShow);
    BOOL bVisible = m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !bVisible) m_nStateFlags |= delayShow;
    if (!bShow && bVisible) m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) {
    DWORD dwStyle = GetStyle();
    if (!(m_nStateFlags & (delayHide | delayShow))) return dwStyle;
    BOOL bShow = (m_nStateFlags & delayShow) != 0;
    if (bShow)
        dwStyle |= WS_VISIBLE;
    else
        dwStyle &= ~WS_VISIBLE;
    // A layout that only measures leaves the pending change for the real one.
    if (lpLayout != nullptr && lpLayout->hDWP == nullptr) return dwStyle;
    m_nStateFlags &= ~(delayHide | delayShow);
    UINT flags =
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (lpLayout != nullptr && lpLayout->hDWP != nullptr)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0, flags);
    else
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, flags);
    return dwStyle;
}

CRect CControlBar::NonClientInsets() const {
    CRect r(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
    if (m_dwStyle & CBRS_BORDER_LEFT) r.left += kBorderWidth;
    if (m_dwStyle & CBRS_BORDER_TOP) r.top += kBorderWidth;
    if (m_dwStyle & CBRS_BORDER_RIGHT) r.right += kBorderWidth;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) r.bottom += kBorderWidth;
    if ((m_dwStyle & CBRS_GRIPPER) && !IsFloating()) {
        if (m_dwStyle & CBRS_ORIENT_HORZ)
            r.left += kGripperWidth;
        else
            r.top += kGripperWidth;
    }
    return r;
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const {
    (void)bHorz;
    CRect insets = NonClientInsets();
    rect.DeflateRect(&insets);
}

namespace {
// A stretched bar takes all the length there is along its side.
CSize Stretched(CSize size, BOOL bStretch, BOOL bHorz) {
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}
}  // namespace

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CRect insets = NonClientInsets();
    CSize size(insets.left + insets.right, insets.top + insets.bottom);
    return Stretched(size, bStretch, bHorz);
}

CSize CControlBar::CalcDynamicLayout(int nLength, DWORD nMode) {
    (void)nLength;
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::DoPaint(CDC* pDC) {
    (void)pDC;
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
    COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    HDC hdc = pDC->m_hDC;
    auto line = [&](int x1, int y1, int x2, int y2, COLORREF c) {
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, c);
        ScopedSelect selection(hdc, pen);
        ::MoveToEx(hdc, x1, y1, nullptr);
        ::LineTo(hdc, x2, y2);
        selection.Restore();
    };
    if (m_dwStyle & CBRS_BORDER_TOP) {
        line(rect.left, rect.top, rect.right, rect.top, shadow);
        line(rect.left, rect.top + 1, rect.right, rect.top + 1, hilite);
        rect.top += kBorderWidth;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        line(rect.left, rect.bottom - 2, rect.right, rect.bottom - 2, shadow);
        line(rect.left, rect.bottom - 1, rect.right, rect.bottom - 1, hilite);
        rect.bottom -= kBorderWidth;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        line(rect.left, rect.top, rect.left, rect.bottom, shadow);
        line(rect.left + 1, rect.top, rect.left + 1, rect.bottom, hilite);
        rect.left += kBorderWidth;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        line(rect.right - 2, rect.top, rect.right - 2, rect.bottom, shadow);
        line(rect.right - 1, rect.top, rect.right - 1, rect.bottom, hilite);
        rect.right -= kBorderWidth;
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect) {
    if (!(m_dwStyle & CBRS_GRIPPER) || IsFloating()) return;
    HDC hdc = pDC->m_hDC;
    COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    auto bar3d = [&](RECT r) {
        CBrush hb(hilite), sb(shadow);
        RECT a = {r.left, r.top, r.right - 1, r.top + 1};
        ::FillRect(hdc, &a, hb);
        RECT b = {r.left, r.top, r.left + 1, r.bottom - 1};
        ::FillRect(hdc, &b, hb);
        RECT c = {r.left, r.bottom - 1, r.right, r.bottom};
        ::FillRect(hdc, &c, sb);
        RECT d = {r.right - 1, r.top, r.right, r.bottom};
        ::FillRect(hdc, &d, sb);
    };
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        RECT r = {rect.left + 2, rect.top + 3, rect.left + 5, rect.bottom - 3};
        bar3d(r);
    } else {
        RECT r = {rect.left + 3, rect.top + 2, rect.right - 3, rect.top + 5};
        bar3d(r);
    }
}

void CControlBar::EraseNonClient() {
    ScopedWindowDC windowDC(m_hWnd, ScopedWindowDC::kWhole);
    HDC hdc = windowDC;
    if (hdc == nullptr) return;
    CRect rcClient, rcWindow;
    ::GetClientRect(m_hWnd, &rcClient);
    ::ClientToScreen(m_hWnd, (LPPOINT)&rcClient.left);
    ::ClientToScreen(m_hWnd, (LPPOINT)&rcClient.right);
    ::GetWindowRect(m_hWnd, &rcWindow);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    ::ExcludeClipRect(hdc, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
    ::FillRect(hdc, &rcWindow, ::GetSysColorBrush(COLOR_BTNFACE));
    CBorrowedDC dc(hdc);
    CRect rc = rcWindow;
    DrawBorders(&dc, rc);
    DrawGripper(&dc, rc);
}

void CControlBar::OnNcPaint() {
    EraseNonClient();
}

void CControlBar::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) {
    (void)bCalcValidRects;
    CRect insets = NonClientInsets();
    RECT& rc = lpncsp->rgrc[0];
    rc.left += insets.left;
    rc.top += insets.top;
    rc.right -= insets.right;
    rc.bottom -= insets.bottom;
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
}

void CControlBar::OnPaint() {
    CPaintDC dc(this);
    DoPaint(&dc);
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    ::FillRect(pDC->m_hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

BOOL CControlBar::PointOnGripper(CPoint point) const {
    CRect insets = NonClientInsets();
    if (!(m_dwStyle & CBRS_GRIPPER) || IsFloating()) return FALSE;
    return (m_dwStyle & CBRS_ORIENT_HORZ) ? point.x < 0 && point.x >= -insets.left
                                          : point.y < 0 && point.y >= -insets.top;
}

void CControlBar::OnLButtonDown(UINT nFlags, CPoint point) {
    if (m_pDockContext != nullptr) {
        CPoint pt = point;
        ClientToScreen(&pt);
        m_pDockContext->StartDrag(pt);
        return;
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CControlBar::OnLButtonDblClk(UINT nFlags, CPoint point) {
    if (m_pDockContext != nullptr) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CControlBar::OnWindowPosChanging(WINDOWPOS* lpWndPos) {
    CWnd::OnWindowPosChanging(lpWndPos);
    // A bar that changes size repaints its frame (borders and gripper move).
    if (!(lpWndPos->flags & SWP_NOSIZE)) lpWndPos->flags |= SWP_FRAMECHANGED;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    AFX_SIZEPARENTPARAMS* lpLayout = (AFX_SIZEPARENTPARAMS*)lParam;
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if (!(dwStyle & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;
    CRect rect(lpLayout->rect);
    CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = std::max(0, std::min((int)size.cx, (int)sizeAvail.cx));
    size.cy = std::max(0, std::min((int)size.cy, (int)sizeAvail.cy));
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max((int)lpLayout->sizeTotal.cx, (int)size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max((int)lpLayout->sizeTotal.cy, (int)size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (lpLayout->hDWP != nullptr)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, rect.left, rect.top, rect.Width(),
                                          rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    CFrameWnd* pTarget = m_pDockSite;
    if (pTarget == nullptr) {
        HWND hOwner = m_hWndOwner ? m_hWndOwner : ::GetParent(m_hWnd);
        CWnd* pOwner = hOwner ? CWnd::FromHandlePermanent(hOwner) : nullptr;
        if (pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CFrameWnd))) pTarget = (CFrameWnd*)pOwner;
    }
    if (pTarget != nullptr) OnUpdateCmdUI(pTarget, (BOOL)wParam);
    return 0;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM: {
            LRESULT lResult = 0;
            if (OnWndMsg(message, wParam, lParam, &lResult)) return lResult;
            HWND hOwner = m_hWndOwner;
            if (hOwner == nullptr && m_pDockSite != nullptr) hOwner = m_pDockSite->m_hWnd;
            if (hOwner != nullptr && hOwner != m_hWnd) return ::SendMessage(hOwner, message, wParam, lParam);
            break;
        }
        default:
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ======================= CToolBar =======================

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_NCPAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15) {}

CToolBar::~CToolBar() {
    if (m_hWnd != nullptr) DestroyWindow();
    if (m_hImageList != nullptr) ImageList_Destroy(m_hImageList);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_dwStyle = dwStyle & CBRS_ALL;
    m_cxLeftBorder = rcBorders.left;
    m_cyTopBorder = rcBorders.top;
    m_cxRightBorder = rcBorders.right;
    m_cyBottomBorder = rcBorders.bottom;
    DWORD style = (dwStyle & ~CBRS_ALL) | WS_CHILD | (dwCtrlStyle & 0xFFFF) | CCS_NOPARENTALIGN |
                  CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    if (dwStyle & CBRS_TOOLTIPS) style |= TBSTYLE_TOOLTIPS;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    m_ctrl.m_hWnd = m_hWnd;
    m_ctrl.Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (dwCtrlStyle & 0xFFFF0000) m_ctrl.SetExtendedStyle(dwCtrlStyle >> 16);
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == nullptr) return;
    m_ctrl.Send(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
    m_ctrl.Send(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight) {
    m_sizeButton.cy = cyHeight;
    SetSizes(m_sizeButton, m_sizeImage);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, MAKEINTRESOURCE(241));
    if (hRsrc == nullptr) return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const WORD* p = hGlobal ? (const WORD*)::LockResource(hGlobal) : nullptr;
    if (p == nullptr || ::SizeofResource(hInst, hRsrc) < 8 || p[0] != 1) return FALSE;
    int cx = p[1], cy = p[2], count = p[3];
    if (::SizeofResource(hInst, hRsrc) < (DWORD)(8 + 2 * count)) return FALSE;
    std::vector<UINT> ids;
    for (int i = 0; i < count; ++i) ids.push_back(p[4 + i]);
    SetSizes(CSize(cx + 7, cy + 7), CSize(cx, cy));
    if (!LoadBitmap(lpszResourceName)) return FALSE;
    return SetButtons(ids.data(), count);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName) {
    ScopedBitmap hbm((HBITMAP)::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0,
                                           LR_CREATEDIBSECTION));
    if (!hbm) return FALSE;
    if (!SetBitmap(hbm)) return FALSE;
    m_imageWell = std::move(hbm);  // the well loaded before goes
    return TRUE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell) {
    BITMAP bm;
    if (::GetObject(hbmImageWell, sizeof(bm), &bm) == 0 || m_sizeImage.cx <= 0) return FALSE;
    HIMAGELIST hList = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK,
                                        bm.bmWidth / m_sizeImage.cx, 0);
    if (hList == nullptr) return FALSE;
    // Light grey is the transparent colour of tool-bar strips.
    ImageList_AddMasked(hList, hbmImageWell, RGB(192, 192, 192));
    m_ctrl.SetImageList(hList);
    if (m_hImageList != nullptr) ImageList_Destroy(m_hImageList);
    m_hImageList = hList;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    if (m_hWnd == nullptr) return FALSE;
    while (m_ctrl.GetButtonCount() > 0) m_ctrl.Send(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons((size_t)std::max(0, nIDCount));
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON& b = buttons[(size_t)i];
        b = TBBUTTON();
        UINT nID = lpIDArray ? lpIDArray[i] : 0;
        if (nID == 0) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = 0;
        } else {
            b.fsStyle = TBSTYLE_BUTTON;
            b.fsState = TBSTATE_ENABLED;
            b.idCommand = (int)nID;
            b.iBitmap = iImage++;
        }
    }
    if (nIDCount > 0 && !m_ctrl.Send(TB_ADDBUTTONSA, (WPARAM)nIDCount, (LPARAM)buttons.data())) return FALSE;
    m_nCount = (UINT)nIDCount;
    DelayRecalcFrames();
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    int n = m_ctrl.GetButtonCount();
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        m_ctrl.GetButton(i, &b);
        if ((UINT)b.idCommand == nIDFind) return i;
    }
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const {
    TBBUTTON b = {};
    if (!m_ctrl.GetButton(nIndex, &b)) return 0;
    return (b.fsStyle & TBSTYLE_SEP) && b.idCommand == 0 ? 0 : (UINT)b.idCommand;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    ::SetRectEmpty(lpRect);
    m_ctrl.Send(TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
    TBBUTTON b = {};
    if (!m_ctrl.GetButton(nIndex, &b)) return 0;
    return MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
    TBBUTTON b = {};
    if (!m_ctrl.GetButton(nIndex, &b)) return;
    UINT nOld = MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
    if (nOld == nStyle) return;
    BYTE fsStyle = (BYTE)LOWORD(nStyle);
    BYTE fsState = (BYTE)HIWORD(nStyle ^ TBBS_DISABLED);
    if (fsStyle == b.fsStyle) {
        // Only the state changed: set it in place.
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = fsState;
        m_ctrl.Send(TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
        return;
    }
    b.fsStyle = fsStyle;
    b.fsState = fsState;
    m_ctrl.Send(TB_DELETEBUTTON, (WPARAM)nIndex);
    m_ctrl.Send(TB_INSERTBUTTONA, (WPARAM)nIndex, (LPARAM)&b);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
    TBBUTTON b = {};
    if (!m_ctrl.GetButton(nIndex, &b)) {
        nID = 0;
        nStyle = 0;
        iImage = 0;
        return;
    }
    nID = (UINT)b.idCommand;
    nStyle = MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
    iImage = b.iBitmap;
}

int CToolBar::SeparatorWidth(const TBBUTTON& button) const {
    return button.iBitmap > 0 ? button.iBitmap : 8;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
    TBBUTTON b = {};
    if (!m_ctrl.GetButton(nIndex, &b)) return;
    TBBUTTON n = b;
    n.idCommand = (int)nID;
    n.fsStyle = (BYTE)LOWORD(nStyle);
    n.fsState = (BYTE)HIWORD(nStyle ^ TBBS_DISABLED);
    if (n.fsStyle & TBSTYLE_SEP) {
        n.iBitmap = iImage > 0 ? iImage : 8;  // a separator's image is its width
        n.fsState &= (BYTE)~TBSTATE_ENABLED;
    } else {
        n.iBitmap = iImage;
    }
    if (n.idCommand == b.idCommand && n.fsStyle == b.fsStyle && n.fsState == b.fsState &&
        n.iBitmap == b.iBitmap)
        return;
    m_ctrl.Send(TB_DELETEBUTTON, (WPARAM)nIndex);
    m_ctrl.Send(TB_INSERTBUTTONA, (WPARAM)nIndex, (LPARAM)&n);
    if ((n.fsStyle & TBSTYLE_SEP) != (b.fsStyle & TBSTYLE_SEP) || n.iBitmap != b.iBitmap) DelayRecalcFrames();
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText) {
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    return (BOOL)m_ctrl.Send(TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
}

CString CToolBar::GetButtonText(int nIndex) const {
    char buf[256] = "";
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = buf;
    info.cchText = sizeof(buf);
    m_ctrl.Send(TB_GETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
    return CString(buf);
}

CSize CToolBar::LayoutItems(int nLength, BOOL bHorz, BOOL bWrap) {
    int n = m_ctrl.GetButtonCount();
    // Wrap flags: none for a single row, after every item for a column, else
    // where the next item would pass nLength.
    int x = 0;
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        m_ctrl.GetButton(i, &b);
        if (b.fsState & TBSTATE_HIDDEN) continue;
        int w = (b.fsStyle & TBSTYLE_SEP) ? SeparatorWidth(b) : m_sizeButton.cx;
        BOOL wrap = FALSE;
        if (!bHorz) {
            wrap = TRUE;
        } else if (bWrap && i + 1 < n) {
            TBBUTTON next = {};
            m_ctrl.GetButton(i + 1, &next);
            int wn = (next.fsStyle & TBSTYLE_SEP) ? SeparatorWidth(next) : m_sizeButton.cx;
            wrap = x + w + wn > nLength;
        }
        x = wrap ? 0 : x + w;
        BYTE state = wrap ? (BYTE)(b.fsState | TBSTATE_WRAP) : (BYTE)(b.fsState & ~TBSTATE_WRAP);
        if (state != b.fsState) {
            TBBUTTONINFOA info = {};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_STATE;
            info.fsState = state;
            m_ctrl.Send(TB_SETBUTTONINFOA, (WPARAM)i, (LPARAM)&info);
        }
    }
    CSize size(0, 0);
    for (int i = 0; i < n; ++i) {
        CRect rc;
        GetItemRect(i, &rc);
        size.cx = std::max((int)size.cx, (int)rc.right);
        size.cy = std::max((int)size.cy, (int)rc.bottom);
    }
    if (n == 0) size = CSize(0, m_sizeButton.cy);
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CSize size = LayoutItems(32767, bHorz, FALSE);
    CRect insets = NonClientInsets();
    size.cx += insets.left + insets.right;
    size.cy += insets.top + insets.bottom;
    return Stretched(size, bStretch, bHorz);
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD nMode) {
    if ((nMode & (LM_HORZDOCK | LM_VERTDOCK)) || !(m_dwStyle & CBRS_SIZE_DYNAMIC))
        return CalcFixedLayout((nMode & LM_STRETCH) != 0,
                               (nMode & (LM_HORZ | LM_HORZDOCK)) != 0 && !(nMode & LM_VERTDOCK));
    CRect insets = NonClientInsets();
    int extraX = insets.left + insets.right, extraY = insets.top + insets.bottom;
    CSize size;
    if (nMode & LM_MRUWIDTH) {
        size = LayoutItems(m_nMRUWidth - extraX, TRUE, TRUE);
    } else if (nMode & LM_LENGTHY) {
        // The narrowest layout whose height fits nLength.
        CSize full = LayoutItems(32767, TRUE, FALSE);
        size = full;
        for (int w = m_sizeButton.cx; w <= full.cx; w += m_sizeButton.cx) {
            CSize s = LayoutItems(w, TRUE, TRUE);
            if (s.cy + extraY <= nLength) {
                size = s;
                break;
            }
        }
    } else {
        size = LayoutItems(nLength >= 0 ? nLength - extraX : 32767, TRUE, TRUE);
    }
    size.cx += extraX;
    size.cy += extraY;
    if (nMode & LM_COMMIT) m_nMRUWidth = size.cx;
    return size;
}

void CToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {
    CControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)m_ctrl.GetButtonCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        TBBUTTON b = {};
        m_ctrl.GetButton((int)state.m_nIndex, &b);
        if (b.fsStyle & TBSTYLE_SEP) continue;
        state.m_nID = (UINT)b.idCommand;
        if (state.m_nID == 0) continue;
        // The bar's own map may answer for its buttons.
        if (CWnd::OnCmdMsg(state.m_nID, (int)CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CToolBar::OnLButtonDown(UINT nFlags, CPoint point) {
    // A press on a button belongs to the control; elsewhere it drags the bar.
    CPoint pt = point;
    int hit = (int)m_ctrl.Send(TB_HITTEST, 0, (LPARAM)&pt);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.PtInRect(point) && hit >= 0) {
        TBBUTTON b = {};
        if (m_ctrl.GetButton(hit, &b) && !(b.fsStyle & TBSTYLE_SEP)) {
            Default();
            return;
        }
    }
    if (m_pDockContext != nullptr) {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        m_pDockContext->StartDrag(ptScreen);
        return;
    }
    Default();
    (void)nFlags;
}

void CToolBar::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CPoint pt = point;
    int hit = (int)m_ctrl.Send(TB_HITTEST, 0, (LPARAM)&pt);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.PtInRect(point) && hit >= 0) {
        Default();
        return;
    }
    CControlBar::OnLButtonDblClk(nFlags, point);
}

void CToolBar::OnNcPaint() {
    EraseNonClient();
}

void CToolBar::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) {
    CControlBar::OnNcCalcSize(bCalcValidRects, lpncsp);
}

void CToolBar::OnWindowPosChanging(WINDOWPOS* lpWndPos) {
    CControlBar::OnWindowPosChanging(lpWndPos);
}

BOOL CToolBar::OnEraseBkgnd(CDC* /*pDC*/) {
    return (BOOL)Default();
}

void CToolBar::OnPaint() {
    Default();
}

// ======================= CToolCmdUI =======================

void CToolCmdUI::Enable(BOOL bOn) {
    m_bEnableChanged = TRUE;
    CToolBar* pToolBar = (CToolBar*)m_pOther;
    UINT nOld = pToolBar->GetButtonStyle((int)m_nIndex);
    UINT nNew = nOld & ~TBBS_DISABLED;
    if (!bOn) nNew = (nNew | TBBS_DISABLED) & ~TBBS_PRESSED;
    if (nNew != nOld) pToolBar->SetButtonStyle((int)m_nIndex, nNew);
}

void CToolCmdUI::SetCheck(int nCheck) {
    CToolBar* pToolBar = (CToolBar*)m_pOther;
    UINT nOld = pToolBar->GetButtonStyle((int)m_nIndex);
    UINT nNew = nOld & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1) nNew |= TBBS_CHECKED;
    if (nCheck == 2) nNew |= TBBS_INDETERMINATE;
    if (nNew != nOld) pToolBar->SetButtonStyle((int)m_nIndex, nNew);
}

void CToolCmdUI::SetText(LPCTSTR lpszText) {
    (void)lpszText;
}
