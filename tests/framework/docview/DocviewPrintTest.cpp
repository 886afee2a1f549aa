// Printing through the view's print loop onto the "PDF" printer, two pages
// on different paper, and print preview ended by Close and by Print.
#include <doctest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/DocView.h"
#include "framework/Win.h"
#include "DocviewTestIds.h"
#include "GuiSupport.h"
#include "TestPrinter.h"
#include "TestSupport.h"

namespace {

// A job's title: the checking script gives each run a tag of its own, so that the PDFs of other
// runs on the same queue are never taken for this run's.
CString JobTitle(const char* base) {
    return CString(kvtest::PrintJobTitle(base).c_str());
}

class CPrintDoc : public CDocument {
    DECLARE_DYNCREATE(CPrintDoc)
};
IMPLEMENT_DYNCREATE(CPrintDoc, CDocument)

// Prints two pages: A4 portrait, then Letter landscape, a frame and a
// filled square on each.
class CPrintView : public CView {
    DECLARE_DYNCREATE(CPrintView)
public:
    std::vector<UINT> m_pages;       // pages printed (or previewed)
    std::vector<CSize> m_pageSizes;  // printable sizes seen by OnPrint
    int m_nBegin = 0, m_nEnd = 0;
    UINT m_nEndCommand = 0;
    int m_nEndPreview = 0;
    BOOL m_bSawPreviewInfo = FALSE;

    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override {
        pInfo->SetMaxPage(2);
        if (pInfo->m_bPreview) m_bSawPreviewInfo = TRUE;
        if (!pInfo->m_bPreview) pInfo->m_bDirect = TRUE;
        HGLOBAL hNames = nullptr, hMode = nullptr;
        if (!kvtest::TestPrinterHandles(&hNames, &hMode)) return FALSE;
        PRINTDLG& pd = pInfo->m_pPD->m_pd;
        if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
        if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
        pd.hDevNames = hNames;
        pd.hDevMode = hMode;
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { ++m_nBegin; }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++m_nEnd; }
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override {
        if (pInfo != nullptr) {
            PRINTDLG& pd = pInfo->m_pPD->m_pd;
            DEVMODEA* pdm = (DEVMODEA*)::GlobalLock(pd.hDevMode);
            if (pdm != nullptr) {
                pdm->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
                pdm->dmPaperSize = pInfo->m_nCurPage == 1 ? DMPAPER_A4 : DMPAPER_LETTER;
                pdm->dmOrientation = pInfo->m_nCurPage == 1 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
                pDC->ResetDC(pdm);
                ::GlobalUnlock(pd.hDevMode);
            }
        }
        CView::OnPrepareDC(pDC, pInfo);
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override {
        m_pages.push_back(pInfo->m_nCurPage);
        int w = pDC->GetDeviceCaps(HORZRES), h = pDC->GetDeviceCaps(VERTRES);
        m_pageSizes.push_back(CSize(w, h));
        HDC hdc = pDC->m_hDC;
        HPEN pen = ::CreatePen(PS_SOLID, 12, RGB(0, 0, 0));
        HGDIOBJ oldPen = ::SelectObject(hdc, pen);
        HGDIOBJ oldBrush = ::SelectObject(hdc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(hdc, 100, 100, w - 100, h - 100);
        RECT square = {300, 300, 900, 900};
        ::FillRect(hdc, &square, (HBRUSH)::GetStockObject(BLACK_BRUSH));
        ::SelectObject(hdc, oldBrush);
        ::SelectObject(hdc, oldPen);
        ::DeleteObject(pen);
        CString text;
        text.Format("Page %u", pInfo->m_nCurPage);
        ::TextOutA(hdc, 300, 1000, text, text.GetLength());
    }
    void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) override {
        m_nEndCommand = pView->m_nEndCommand;
        ++m_nEndPreview;
        CView::OnEndPrintPreview(pDC, pInfo, point, pView);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPrintView, CView)
BEGIN_MESSAGE_MAP(CPrintView, CView)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

class CPrintFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CPrintFrame)
};
IMPLEMENT_DYNCREATE(CPrintFrame, CFrameWnd)

class CPrintApp : public CWinApp {
public:
    CPrintApp() : CWinApp("KvDocviewPrintTest") {}
};

CPrintApp& App() {
    static CPrintApp* pApp = [] {
        CPrintApp* p = new CPrintApp;
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
        p->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CPrintDoc),
                                                 RUNTIME_CLASS(CPrintFrame), RUNTIME_CLASS(CPrintView)));
        return p;
    }();
    return *pApp;
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 200 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) break;
        if (!App().PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    for (LONG n = 0; App().OnIdle(n); ++n) {}
}

CFrameWnd* Frame() {
    if (App().m_pMainWnd == nullptr) {
        App().OnFileNew();
        App().m_pMainWnd->SetWindowPos(nullptr, 0, 0, 700, 560, SWP_NOZORDER);
        Pump();
    }
    return (CFrameWnd*)App().m_pMainWnd;
}

// Whether the area of the window holds dark ink in a picture of it.
bool InkIn(HWND hWnd, const kvtest::Capture& cap, const CRect& rc) {
    CRect rcWnd;
    ::GetWindowRect(hWnd, &rcWnd);
    POINT origin = {0, 0};
    ::ClientToScreen(hWnd, &origin);
    int dx = origin.x - rcWnd.left, dy = origin.y - rcWnd.top;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            int cx = x + dx, cy = y + dy;
            if (cx < 0 || cy < 0 || cx >= cap.width || cy >= cap.height) continue;
            unsigned p = cap.At(cx, cy);
            if (((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) return true;
        }
    return false;
}

// Whether the area of the window shows dark ink on the screen, read until it does (the window's
// pixels reach the screen some time after it painted) or time runs out.
bool HasInk(HWND hWnd, const CRect& rc) {
    const kvtest::Capture cap =
        kvtest::CaptureWindowFromScreenWhen(hWnd, [&](const kvtest::Capture& c) { return InkIn(hWnd, c, rc); });
    return !cap.Empty() && InkIn(hWnd, cap, rc);
}

}  // namespace

TEST_CASE("the print loop prints two pages, each on its own paper") {
    HGLOBAL hNames = nullptr, hMode = nullptr;
    REQUIRE(kvtest::TestPrinterHandles(&hNames, &hMode));
    CHECK(hMode != nullptr);
    {
        HDC hdc = AfxCreateDC(hNames, hMode);
        CHECK(hdc != nullptr);
        if (hdc) ::DeleteDC(hdc);
    }
    ::GlobalFree(hNames);
    ::GlobalFree(hMode);
    CFrameWnd* pFrame = Frame();
    CPrintView* pView = (CPrintView*)pFrame->GetActiveView();
    REQUIRE(pView != nullptr);
    pFrame->GetActiveDocument()->SetTitle(JobTitle("KvPrintDirect"));
    pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    CHECK(pView->m_nBegin == 1);
    CHECK(pView->m_nEnd == 1);
    REQUIRE(pView->m_pages == std::vector<UINT>{1, 2});
    // 300 pixels per inch: A4 portrait, then Letter landscape (printable areas).
    CSize a4 = pView->m_pageSizes[0], letter = pView->m_pageSizes[1];
    CHECK(a4.cy > a4.cx);
    CHECK(letter.cx > letter.cy);
    CHECK(a4.cx > 2300);
    CHECK(a4.cx < 2480);
    CHECK(letter.cx > 3100);
    CHECK(letter.cx <= 3300);
}

TEST_CASE("print preview shows a page at a time and tells the view how it ended") {
    CFrameWnd* pFrame = Frame();
    CPrintView* pView = (CPrintView*)pFrame->GetActiveView();
    pView->m_pages.clear();
    pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    Pump();
    CView* pActive = pFrame->GetActiveView();
    REQUIRE(pActive != nullptr);
    REQUIRE(pActive->IsKindOf(RUNTIME_CLASS(CPreviewView)));
    CPreviewView* pPreview = (CPreviewView*)pActive;
    CHECK(pView->m_bSawPreviewInfo);
    CHECK(pFrame->IsInPreview());
    CHECK_FALSE(pView->IsWindowVisible());
    CHECK(pPreview->IsWindowVisible());
    CHECK(pPreview->GetDlgCtrlID() == AFX_IDW_PANE_FIRST);
    CHECK(pPreview->GetCurrentPage() == 1);
    CHECK(pView->m_pages == std::vector<UINT>{1});
    REQUIRE(pPreview->m_pPreviewDC != nullptr);
    CSize paper = pPreview->m_pPreviewDC->GetPaperSize();
    CHECK(paper.cy > paper.cx);
    // The preview DC answers for the printer.
    CHECK(pPreview->m_pPreviewDC->GetDeviceCaps(LOGPIXELSX) == 300);
    // The page is on the screen with the view's square on it.
    ::RedrawWindow(pPreview->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CRect rcPage = pPreview->m_rectPage;
    CHECK(rcPage.Width() > 100);
    CHECK(
        HasInk(pPreview->m_hWnd, CRect(rcPage.left + rcPage.Width() / 8, rcPage.top + rcPage.Height() / 8,
                                       rcPage.left + rcPage.Width() / 4, rcPage.top + rcPage.Height() / 5)));
    // Next page: landscape Letter.
    pFrame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
    Pump();
    CHECK(pPreview->GetCurrentPage() == 2);
    paper = pPreview->m_pPreviewDC->GetPaperSize();
    CHECK(paper.cx > paper.cy);
    CWnd* pBar = pFrame->GetDlgItem(AFX_IDW_PREVIEW_BAR);
    REQUIRE(pBar != nullptr);
    CWnd* pNext = pBar->GetDlgItem(AFX_ID_PREVIEW_NEXT);
    CWnd* pPrev = pBar->GetDlgItem(AFX_ID_PREVIEW_PREV);
    REQUIRE(pNext != nullptr);
    REQUIRE(pPrev != nullptr);
    CHECK_FALSE(pNext->IsWindowEnabled());
    CHECK(pPrev->IsWindowEnabled());
    kvtest::SaveScreenPng("docview_preview.png");

    // Close: the view hears it, and is the active, visible view again.
    pFrame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
    Pump();
    CHECK(pView->m_nEndCommand == AFX_ID_PREVIEW_CLOSE);
    CHECK(pFrame->GetActiveView() == pView);
    CHECK(pView->IsWindowVisible());
    CHECK(pView->GetDlgCtrlID() == AFX_IDW_PANE_FIRST);
    CHECK_FALSE(pFrame->IsInPreview());
    CHECK(pFrame->GetDlgItem(AFX_IDW_PREVIEW_BAR) == nullptr);

    // Closing the frame while previewing only ends the preview.
    pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    Pump();
    REQUIRE(pFrame->IsInPreview());
    pFrame->SendMessage(WM_CLOSE, 0, 0);
    Pump();
    CHECK_FALSE(pFrame->IsInPreview());
    CHECK(App().m_pMainWnd == pFrame);

    // Print: the view hears it, then the job is printed without a dialog.
    int nPrintedBefore = pView->m_nBegin;
    pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    Pump();
    pFrame->GetActiveDocument()->SetTitle(JobTitle("KvPrintPreview"));
    pFrame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT, 0);
    CHECK(pView->m_nEndCommand == AFX_ID_PREVIEW_PRINT);
    kvtest::PumpUntil(
        [&] { return pView->m_nBegin > nPrintedBefore + 0 && pView->m_nEnd >= pView->m_nBegin; }, 5000);
    Pump();
    CHECK(pView->m_nEndPreview == 3);
    CHECK(pFrame->GetActiveView() == pView);
    CHECK(pView->m_pages.size() >= 2);
    CHECK(pView->m_pages[pView->m_pages.size() - 1] == 2);
}
