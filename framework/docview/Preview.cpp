#include "framework/docview/Preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/graphics/DibHelpers.h"
#include "framework/win/CommonDialogs.h"

namespace {
std::vector<BYTE> DevModeBytes(HGLOBAL hDevMode) {
    std::vector<BYTE> bytes;
    if (hDevMode == nullptr) return bytes;
    const BYTE* p = (const BYTE*)::GlobalLock(hDevMode);
    if (p != nullptr) {
        const DEVMODEA* pdm = (const DEVMODEA*)p;
        bytes.assign(p, p + pdm->dmSize + pdm->dmDriverExtra);
        ::GlobalUnlock(hDevMode);
    }
    return bytes;
}

const UINT kOrigViewHiddenID = AFX_IDW_PANE_LAST;  // the id the document's view has while hidden
const UINT kPreviewCreateID = AFX_IDW_PANE_LAST - 1;
// The page is drawn again at the window's size once the size has rested this long (a window
// dragged larger changes it many times a second).
const UINT_PTR kRefitTimer = 0x5046;
const UINT kRefitDelay = 100;
}  // namespace

// ======================= CPreviewDC =======================

IMPLEMENT_DYNAMIC(CPreviewDC, CDC)

CPreviewDC::CPreviewDC() {
    m_bPrinting = TRUE;
}

CPreviewDC::~CPreviewDC() {
    ReleasePage();
}

void CPreviewDC::ReleasePage() {
    m_page.Reset();
    m_hDC = nullptr;
}

BOOL CPreviewDC::CreateForPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode) {
    if (hDevNames == nullptr) return FALSE;
    const DEVNAMES* pdn = (const DEVNAMES*)::GlobalLock(hDevNames);
    if (pdn == nullptr) return FALSE;
    m_strDriver = (LPCSTR)pdn + pdn->wDriverOffset;
    m_strDevice = (LPCSTR)pdn + pdn->wDeviceOffset;
    m_strOutput = (LPCSTR)pdn + pdn->wOutputOffset;
    ::GlobalUnlock(hDevNames);
    const DEVMODEA* pdm = hDevMode ? (const DEVMODEA*)::GlobalLock(hDevMode) : nullptr;
    HDC hIC = ::CreateICA(m_strDriver, m_strDevice, m_strOutput, pdm);
    if (pdm != nullptr) ::GlobalUnlock(hDevMode);
    if (hIC == nullptr) return FALSE;
    m_printerIC.Reset(hIC);
    m_hAttribDC = hIC;
    return MakePage();
}

HDC CPreviewDC::ResetDC(const DEVMODE* lpDevMode) {
    if (!m_printerIC) return nullptr;
    HDC hIC = ::CreateICA(m_strDriver, m_strDevice, m_strOutput, lpDevMode);
    if (hIC == nullptr) return nullptr;
    m_printerIC.Reset(hIC);
    m_hAttribDC = hIC;
    return MakePage() ? m_hAttribDC : nullptr;
}

BOOL CPreviewDC::MakePage() {
    ReleasePage();
    const HDC ic = m_printerIC.Get();
    m_sizePage = CSize(::GetDeviceCaps(ic, HORZRES), ::GetDeviceCaps(ic, VERTRES));
    m_sizePaper = CSize(::GetDeviceCaps(ic, PHYSICALWIDTH), ::GetDeviceCaps(ic, PHYSICALHEIGHT));
    m_ptOffset = CPoint(::GetDeviceCaps(ic, PHYSICALOFFSETX), ::GetDeviceCaps(ic, PHYSICALOFFSETY));
    if (m_sizePaper.cx <= 0 || m_sizePaper.cy <= 0) {
        m_sizePaper = m_sizePage;
        m_ptOffset = CPoint(0, 0);
    }
    if (m_sizePage.cx <= 0 || m_sizePage.cy <= 0) return FALSE;
    // The page at the size it is shown, not the printer's: drawn at the screen's resolution, a
    // printed line keeps at least a pixel of its own, which a shrunken page would average away,
    // and a page takes a fraction of the time and memory.
    const CSize shown = GetShownSize();
    ScopedBitmap bitmap =
        CreateTopDownDibSection(nullptr, std::max(1L, shown.cx), std::max(1L, shown.cy), 24);
    if (!bitmap) return FALSE;
    ScopedMemoryDC page(nullptr);
    if (!page.Select(bitmap.Release(), true)) return FALSE;
    m_page = std::move(page);
    m_hDC = m_page.Get();
    StartPage();
    return TRUE;
}

void CPreviewDC::StartPage() {
    if (m_page.Get() == nullptr) return;
    for (HDC h : {m_page.Get(), m_printerIC.Get()}) {
        ::SelectClipRgn(h, nullptr);
        ::SetMapMode(h, MM_TEXT);
        ::SetViewportOrgEx(h, 0, 0, nullptr);
        ::SetWindowOrgEx(h, 0, 0, nullptr);
    }
    const CSize shown = GetShownSize();
    RECT rc = {0, 0, shown.cx, shown.cy};
    ::FillRect(m_page.Get(), &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    ::SetMapMode(m_page.Get(), MM_ANISOTROPIC);
    ::SetWindowExtEx(m_page.Get(), m_sizePage.cx, m_sizePage.cy, nullptr);
    ::SetViewportExtEx(m_page.Get(), shown.cx, shown.cy, nullptr);
}

BOOL CPreviewDC::SetShownScale(double scaleX, double scaleY) {
    if (scaleX <= 0 || scaleY <= 0) return FALSE;
    const CSize before = GetShownSize();
    m_scaleX = scaleX;
    m_scaleY = scaleY;
    if (m_page.Get() != nullptr && GetShownSize() == before) return FALSE;
    return m_printerIC && MakePage();
}

CSize CPreviewDC::PrinterToShown(CSize printer) const {
    return CSize((int)std::lround(printer.cx * m_scaleX), (int)std::lround(printer.cy * m_scaleY));
}

// ======================= CPreviewBar =======================

IMPLEMENT_DYNAMIC(CPreviewBar, CControlBar)

BEGIN_MESSAGE_MAP(CPreviewBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CPreviewBar::Create(CFrameWnd* pParent) {
    m_dwStyle = CBRS_TOP;
    m_bAutoDelete = TRUE;
    LPCTSTR cls =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CWnd::CreateEx(0, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParent,
                        AFX_IDW_PREVIEW_BAR))
        return FALSE;
    static const struct {
        const char* text;
        UINT id;
    } kButtons[4] = {{"&Print...", AFX_ID_PREVIEW_PRINT},
                     {"&Next Page", AFX_ID_PREVIEW_NEXT},
                     {"Pre&v Page", AFX_ID_PREVIEW_PREV},
                     {"&Close", AFX_ID_PREVIEW_CLOSE}};
    HFONT hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    for (int i = 0; i < 4; ++i) {
        m_buttons[i].CreateEx(0, "BUTTON", kButtons[i].text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              CRect(4 + i * 84, 3, 84 + i * 84, 27), this, kButtons[i].id);
        m_buttons[i].SendMessage(WM_SETFONT, (WPARAM)hFont, FALSE);
    }
    return TRUE;
}

CSize CPreviewBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    (void)bHorz;
    return CSize(bStretch ? 32767 : 4 * 84 + 8, 30);
}

void CPreviewBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CCmdUI state;
    state.m_nIndexMax = 4;
    for (int i = 0; i < 4; ++i) {
        if (m_buttons[i].m_hWnd == nullptr) continue;
        state.m_pOther = &m_buttons[i];
        state.m_nIndex = (UINT)i;
        state.m_nID = (UINT)m_buttons[i].GetDlgCtrlID();
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CPreviewBar::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
}

// ======================= CPreviewView =======================

IMPLEMENT_DYNCREATE(CPreviewView, CScrollView)

BEGIN_MESSAGE_MAP(CPreviewView, CScrollView)
    ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
    ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
    ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CPreviewView::CPreviewView() = default;

CPreviewView::~CPreviewView() {
    delete m_pPreviewDC;
    delete m_pPreviewInfo;
    delete m_pPreviewState;
}

BOOL CPreviewView::SetPrintView(CView* pPrintView) {
    m_pPrintView = pPrintView;
    m_pPreviewInfo = new CPrintInfo;
    m_pPreviewInfo->m_bPreview = TRUE;
    if (!pPrintView->OnPreparePrinting(m_pPreviewInfo)) return FALSE;
    PRINTDLG& pd = m_pPreviewInfo->m_pPD->m_pd;
    m_pPreviewDC = new CPreviewDC;
    if (!m_pPreviewDC->CreateForPrinter(pd.hDevNames, pd.hDevMode)) return FALSE;
    m_devModeShown = DevModeBytes(pd.hDevMode);
    m_pPrintView->OnBeginPrinting(m_pPreviewDC, m_pPreviewInfo);
    m_nCurrentPage = std::max(m_pPreviewInfo->GetMinPage(), (UINT)1);
    return TRUE;
}

void CPreviewView::RenderPage() {
    if (m_pPrintView == nullptr || m_pPreviewDC == nullptr) return;
    CPrintInfo* pInfo = m_pPreviewInfo;
    PRINTDLG& pd = pInfo->m_pPD->m_pd;
    pInfo->m_nCurPage = m_nCurrentPage;
    FitPageToWindow();
    m_pPreviewDC->StartPage();
    m_pPrintView->OnPrepareDC(m_pPreviewDC, pInfo);
    // The view may have changed the paper for this page (its device mode):
    // the page is made again for the new paper and prepared once more.
    std::vector<BYTE> now = DevModeBytes(pd.hDevMode);
    if (now != m_devModeShown) {
        m_devModeShown = now;
        m_pPreviewDC->CreateForPrinter(pd.hDevNames, pd.hDevMode);
        FitPageToWindow();
        m_pPreviewDC->StartPage();
        m_pPrintView->OnPrepareDC(m_pPreviewDC, pInfo);
    }
    int saved = ::SaveDC(m_pPreviewDC->m_hDC);
    pInfo->m_rectDraw.SetRect(0, 0, m_pPreviewDC->GetShownSize().cx, m_pPreviewDC->GetShownSize().cy);
    m_pPreviewDC->DPtoLP(&pInfo->m_rectDraw);
    m_pPrintView->OnPrint(m_pPreviewDC, pInfo);
    ::RestoreDC(m_pPreviewDC->m_hDC, saved);
    // Back to plain pixels for copying the page to the screen.
    ::SetMapMode(m_pPreviewDC->m_hDC, MM_TEXT);
    ::SetViewportOrgEx(m_pPreviewDC->m_hDC, 0, 0, nullptr);
    ::SetWindowOrgEx(m_pPreviewDC->m_hDC, 0, 0, nullptr);
    ::SelectClipRgn(m_pPreviewDC->m_hDC, nullptr);
    m_bPageRendered = TRUE;
}

void CPreviewView::SetCurrentPage(UINT nPage, BOOL bClearRatios) {
    (void)bClearRatios;
    if (m_pPreviewInfo == nullptr) return;
    UINT nMin = m_pPreviewInfo->GetMinPage(), nMax = m_pPreviewInfo->GetMaxPage();
    if (nPage < nMin) nPage = nMin;
    if (nPage > nMax) nPage = nMax;
    m_nCurrentPage = nPage;
    RenderPage();
    if (m_hWnd != nullptr) Invalidate(TRUE);
}

CRect CPreviewView::PaperRect() const {
    CRect rc;
    if (m_hWnd == nullptr || m_pPreviewDC == nullptr) return CRect(0, 0, 0, 0);
    ::GetClientRect(m_hWnd, &rc);
    return PaperRectIn(rc.Size());
}

CRect CPreviewView::PaperRectIn(CSize client) const {
    const CRect rc(CPoint(0, 0), client);
    // The paper, at its proportions, as large as the window allows.
    double dpiX = std::max(1, m_pPreviewDC->GetDeviceCaps(LOGPIXELSX));
    double dpiY = std::max(1, m_pPreviewDC->GetDeviceCaps(LOGPIXELSY));
    CSize paper = m_pPreviewDC->GetPaperSize();
    double wIn = paper.cx / dpiX, hIn = paper.cy / dpiY;
    const int margin = 16;
    double scale = std::min((rc.Width() - 2 * margin) / wIn, (rc.Height() - 2 * margin) / hIn);
    if (scale <= 0) return CRect(0, 0, 0, 0);
    int w = (int)(wIn * scale), h = (int)(hIn * scale);
    return CRect(CPoint((rc.Width() - w) / 2, (rc.Height() - h) / 2), CSize(w, h));
}

CSize CPreviewView::ShownSizeForWindow() const {
    const CRect shown = PaperRect();
    const CSize paper = m_pPreviewDC != nullptr ? m_pPreviewDC->GetPaperSize() : CSize(0, 0);
    if (shown.IsRectEmpty() || paper.cx <= 0 || paper.cy <= 0)
        return m_pPreviewDC != nullptr ? m_pPreviewDC->GetShownSize() : CSize(0, 0);
    const CSize page = m_pPreviewDC->GetPageSize();
    return CSize((int)std::lround(page.cx * ((double)shown.Width() / paper.cx)),
                 (int)std::lround(page.cy * ((double)shown.Height() / paper.cy)));
}

BOOL CPreviewView::PageAtWindowSize() const {
    return m_pPreviewDC != nullptr && m_pPreviewDC->GetShownSize() == ShownSizeForWindow();
}

void CPreviewView::FitPageToWindow() {
    const CRect shown = PaperRect();
    const CSize paper = m_pPreviewDC != nullptr ? m_pPreviewDC->GetPaperSize() : CSize(0, 0);
    if (shown.IsRectEmpty() || paper.cx <= 0 || paper.cy <= 0) return;
    // The largest the page can be shown is in the window maximised on its monitor, whose client
    // area is within the work area; a pixel or two more leaves room for rounding.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfo(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const CRect largest = PaperRectIn(CRect(monitor.rcWork).Size());
        m_pPreviewDC->SetReach(
            std::max((largest.Width() + 2.0) / shown.Width(), (largest.Height() + 2.0) / shown.Height()));
    }
    m_pPreviewDC->SetShownScale((double)shown.Width() / paper.cx, (double)shown.Height() / paper.cy);
}

void CPreviewView::OnDraw(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    HDC hdc = pDC->m_hDC;
    ::SetMapMode(hdc, MM_TEXT);
    ::SetViewportOrgEx(hdc, 0, 0, nullptr);
    ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    if (m_pPreviewDC == nullptr || !m_bPageRendered) return;
    m_rectPage = PaperRect();
    if (m_rectPage.IsRectEmpty()) return;
    // Shown larger or smaller since it was drawn (the window's size changed): the page shows
    // stretched, and is drawn again at its new size once the size has rested.
    const CSize drawn = m_pPreviewDC->GetShownSize(), shown = ShownSizeForWindow();
    if (shown != drawn) SetTimer(kRefitTimer, kRefitDelay);
    RECT shadow = {m_rectPage.left + 4, m_rectPage.top + 4, m_rectPage.right + 4, m_rectPage.bottom + 4};
    ::FillRect(hdc, &shadow, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    ::FillRect(hdc, &m_rectPage, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    // The printable area, drawn at the size it shows: pixel for pixel.
    const CPoint off = m_pPreviewDC->GetPrintableOffset();
    const CSize paper = m_pPreviewDC->GetPaperSize();
    const int x = m_rectPage.left + (int)std::lround(off.x * ((double)m_rectPage.Width() / paper.cx)),
              y = m_rectPage.top + (int)std::lround(off.y * ((double)m_rectPage.Height() / paper.cy));
    if (shown == drawn) {
        ::BitBlt(hdc, x, y, shown.cx, shown.cy, m_pPreviewDC->m_hDC, 0, 0, SRCCOPY);
    } else {
        ::SetStretchBltMode(hdc, COLORONCOLOR);
        ::StretchBlt(hdc, x, y, shown.cx, shown.cy, m_pPreviewDC->m_hDC, 0, 0, drawn.cx, drawn.cy, SRCCOPY);
    }
    ::FrameRect(hdc, &m_rectPage, (HBRUSH)::GetStockObject(BLACK_BRUSH));
}

void CPreviewView::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kRefitTimer) {
        CScrollView::OnTimer(nIDEvent);
        return;
    }
    KillTimer(kRefitTimer);
    if (!m_bPageRendered || PageAtWindowSize()) return;
    RenderPage();
    Invalidate(FALSE);
}

BOOL CPreviewView::OnEraseBkgnd(CDC* pDC) {
    (void)pDC;
    return TRUE;
}

void CPreviewView::OnSize(UINT nType, int cx, int cy) {
    CScrollView::OnSize(nType, cx, cy);
    Invalidate(TRUE);
}

void CPreviewView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CPreviewView::OnNextPage() {
    SetCurrentPage(m_nCurrentPage + 1);
}
void CPreviewView::OnPrevPage() {
    if (m_nCurrentPage > 1) SetCurrentPage(m_nCurrentPage - 1);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pPreviewInfo != nullptr && m_nCurrentPage < m_pPreviewInfo->GetMaxPage());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pPreviewInfo != nullptr && m_nCurrentPage > m_pPreviewInfo->GetMinPage());
}

void CPreviewView::CloseAndDelete() {
    if (m_pPrintView == nullptr) {
        DestroyWindow();
        return;
    }
    m_pPrintView->OnEndPrintPreview(m_pPreviewDC, m_pPreviewInfo, CPoint(0, 0), this);
}

void CPreviewView::OnPreviewClose() {
    m_nEndCommand = AFX_ID_PREVIEW_CLOSE;
    CloseAndDelete();
}

void CPreviewView::OnPreviewPrint() {
    m_nEndCommand = AFX_ID_PREVIEW_PRINT;
    CFrameWnd* pFrame = GetParentFrame();
    CloseAndDelete();  // this object is gone from here on
    // Printing starts from the document's view again, after the preview closed.
    if (pFrame != nullptr && pFrame->m_hWnd != nullptr) pFrame->PostMessage(WM_COMMAND, ID_FILE_PRINT, 0);
}

// ======================= the view's side of preview =======================

namespace {
BOOL PreviewCloseProc(CFrameWnd* pFrame) {
    pFrame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
    return FALSE;
}
}  // namespace

void CView::OnFilePrintPreview() {
    CPrintPreviewState* pState = new CPrintPreviewState;
    pState->lpfnCloseProc = PreviewCloseProc;
    if (!DoPrintPreview(0, this, RUNTIME_CLASS(CPreviewView), pState)) delete pState;
}

BOOL CView::DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                           CPrintPreviewState* pState) {
    (void)nIDResource;
    CFrameWnd* pParent = GetParentFrame();
    if (pParent == nullptr || pParent->IsInPreview()) return FALSE;
    CObject* pObject = pPreviewViewClass->CreateObject();
    CPreviewView* pView = dynamic_cast<CPreviewView*>(pObject);
    if (pView == nullptr) {
        delete pObject;
        return FALSE;
    }
    // The preview shows the same document: the frame's active document stays it.
    CCreateContext context;
    context.m_pCurrentFrame = pParent;
    context.m_pCurrentDoc = GetDocument();
    context.m_pLastView = this;
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW & ~WS_VISIBLE, CRect(0, 0, 0, 0), pParent,
                       kPreviewCreateID, &context))
        return FALSE;  // the view deleted itself
    pView->m_pOrigView = this;
    if (!pView->SetPrintView(pPrintView)) {
        pView->DestroyWindow();  // deletes the object (not the state, which is not its yet)
        return FALSE;
    }
    pView->m_pPreviewState = pState;
    pState->pViewActiveOld = pParent->GetActiveView();
    pState->nIDMainPane = (UINT)GetDlgCtrlID();
    pParent->OnSetPreviewMode(TRUE, pState);

    // The preview takes the document view's place.
    SetDlgCtrlID((int)kOrigViewHiddenID);
    ShowWindow(SW_HIDE);
    pView->SetDlgCtrlID((int)pState->nIDMainPane);
    pParent->SetActiveView(pView);
    pView->ShowWindow(SW_SHOW);
    pParent->RecalcLayout();
    pView->SetCurrentPage(pView->m_nCurrentPage);
    pView->UpdateWindow();
    return TRUE;
}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) {
    (void)point;
    if (pView->m_pPrintView != nullptr) pView->m_pPrintView->OnEndPrinting(pDC, pInfo);
    CFrameWnd* pParent = AfxGetParentFrame(pView);
    CPrintPreviewState* pState = pView->m_pPreviewState;
    if (pParent != nullptr) {
        pParent->OnSetPreviewMode(FALSE, pState);
        CView* pOrig = pView->m_pOrigView;
        if (pOrig != nullptr && pOrig->m_hWnd != nullptr) {
            pView->SetDlgCtrlID((int)kPreviewCreateID);
            pOrig->SetDlgCtrlID(pState ? (int)pState->nIDMainPane : AFX_IDW_PANE_FIRST);
            pOrig->ShowWindow(SW_SHOW);
            pParent->SetActiveView(pState && pState->pViewActiveOld ? pState->pViewActiveOld : pOrig);
        }
        pParent->RecalcLayout();
    }
    pView->DestroyWindow();  // deletes the preview, its context and its state
    if (pParent != nullptr) pParent->UpdateWindow();
}

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) {
    if (bPreview) {
        m_pPreviewState = pState;
        // Bars and floating frames go out of sight while the preview shows.
        pState->listHiddenBars.RemoveAll();
        POSITION pos = m_listControlBars.GetHeadPosition();
        while (pos != nullptr) {
            CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
            if (pBar->m_hWnd == nullptr) continue;
            HWND hWnd = pBar->m_hWnd;
            if (pBar->IsDockBar() && ((CDockBar*)pBar)->m_bFloating)
                hWnd = ::GetParent(hWnd);
            else if (pBar->IsDockBar() || ::GetParent(hWnd) != m_hWnd)
                continue;
            if (::IsWindowVisible(hWnd)) {
                pState->listHiddenBars.AddTail((void*)hWnd);
                ::ShowWindow(hWnd, SW_HIDE);
            }
        }
        // Docked bars hide with their dock bars.
        pos = m_listControlBars.GetHeadPosition();
        while (pos != nullptr) {
            CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
            if (pBar->m_hWnd != nullptr && pBar->IsDockBar() && !((CDockBar*)pBar)->m_bFloating &&
                ::IsWindowVisible(pBar->m_hWnd)) {
                pState->listHiddenBars.AddTail((void*)pBar->m_hWnd);
                ::ShowWindow(pBar->m_hWnd, SW_HIDE);
            }
        }
        pState->hAccelTable = m_hAccelTable;
        m_hAccelTable = nullptr;
        CPreviewBar* pBar = new CPreviewBar;
        if (pBar->Create(this)) m_pPreviewBar = pBar;  // else it deleted itself
    } else {
        if (m_pPreviewBar != nullptr) {
            CControlBar* pBar = m_pPreviewBar;
            m_pPreviewBar = nullptr;
            pBar->DestroyWindow();  // deletes itself
        }
        if (pState != nullptr) {
            POSITION pos = pState->listHiddenBars.GetHeadPosition();
            while (pos != nullptr) {
                HWND hWnd = (HWND)pState->listHiddenBars.GetNext(pos);
                if (::IsWindow(hWnd)) ::ShowWindow(hWnd, SW_SHOWNA);
            }
            pState->listHiddenBars.RemoveAll();
            m_hAccelTable = pState->hAccelTable;
            pState->hAccelTable = nullptr;
        }
        m_pPreviewState = nullptr;
    }
    RecalcLayout();
}
