// Print preview: the view that shows one printed page at a time in the
// frame, the device context that lets a view draw a page for it, and the bar
// with its Print, Next Page, Previous Page and Close buttons.
#pragma once

#include <vector>

#include "framework/docview/DockBar.h"
#include "framework/win/ScopedGdi.h"

// A context for drawing a printed page on the screen: output goes to a
// bitmap of the printer's printable area at the size the preview shows it
// (a printer pixel is a fraction of a screen pixel there), queries are
// answered by the printer (its resolution, page size and offsets). Each page
// starts mapped from printer pixels onto the bitmap, so that a view draws in
// printer pixels as it does on paper.
class CPreviewDC : public CDC {
    DECLARE_DYNAMIC(CPreviewDC)
public:
    CPreviewDC();
    ~CPreviewDC() override;

    // Makes the printer information context from the devices and the bitmap
    // of its printable area; FALSE when there is no such printer.
    BOOL CreateForPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode);
    // A changed device mode (paper, orientation) makes a new page.
    HDC ResetDC(const DEVMODE* lpDevMode) override;
    void ReleasePage();
    // Fills the page white and maps printer pixels onto it for a new page.
    void StartPage();
    // Screen pixels per printer pixel across and down: the page is made again
    // at that size when it changes; FALSE when it cannot be made.
    BOOL SetShownScale(double scaleX, double scaleY);
    // A size in printer pixels as the page bitmap shows it.
    CSize PrinterToShown(CSize printer) const;
    CSize GetShownSize() const { return PrinterToShown(m_sizePage); }  // the page bitmap's size
    // How many times larger than now the page can be shown at most (in the largest window the
    // preview can have): at least 1.
    double GetReach() const { return m_reach; }
    void SetReach(double reach) { m_reach = reach > 1.0 ? reach : 1.0; }
    CSize GetPageSize() const { return m_sizePage; }          // printable area, printer pixels
    CSize GetPaperSize() const { return m_sizePaper; }        // physical page, printer pixels
    CPoint GetPrintableOffset() const { return m_ptOffset; }  // printable area's corner on the paper
    HBITMAP GetPageBitmap() const { return m_page.Bitmap(); }
    CString GetDeviceName() const { return m_strDevice; }

private:
    BOOL MakePage();
    ScopedDC m_printerIC;   // answers the queries (m_hAttribDC)
    ScopedMemoryDC m_page;  // takes the output (m_hDC): the page's DIB section selected
    CSize m_sizePage;
    CSize m_sizePaper;
    double m_scaleX = 1.0, m_scaleY = 1.0;
    double m_reach = 1.0;
    CPoint m_ptOffset;
    CString m_strDriver, m_strDevice, m_strOutput;
};

class CPreviewView : public CScrollView {
    DECLARE_DYNCREATE(CPreviewView)
public:
    CPreviewView();
    ~CPreviewView() override;

    // Prepares printing on pPrintView for preview (OnPreparePrinting,
    // OnBeginPrinting); FALSE when the view declined.
    BOOL SetPrintView(CView* pPrintView);
    // Shows page nPage (renders it through the print view).
    void SetCurrentPage(UINT nPage, BOOL bClearRatios = TRUE);
    UINT GetCurrentPage() const { return m_nCurrentPage; }
    // Ends the preview: the print view's OnEndPrintPreview, which closes it.
    void CloseAndDelete();

    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    void OnPreviewClose();
    void OnPreviewPrint();
    void OnNextPage();
    void OnPrevPage();
    void OnUpdateNextPage(CCmdUI* pCmdUI);
    void OnUpdatePrevPage(CCmdUI* pCmdUI);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    // Whether the page is drawn at the size the window shows it (it is drawn again once a new
    // size has rested, and shows stretched until then).
    BOOL PageAtWindowSize() const;

    CView* m_pPrintView = nullptr;
    CView* m_pOrigView = nullptr;
    CPrintInfo* m_pPreviewInfo = nullptr;
    CPreviewDC* m_pPreviewDC = nullptr;
    CPrintPreviewState* m_pPreviewState = nullptr;
    CControlBar* m_pToolBar = nullptr;
    UINT m_nCurrentPage = 1;
    UINT m_nEndCommand = 0;  // AFX_ID_PREVIEW_CLOSE or AFX_ID_PREVIEW_PRINT once it ended
    BOOL m_bPageRendered = FALSE;
    // Where the page is shown in the window (client coordinates), after OnDraw.
    CRect m_rectPage;
    // The paper as large as the window shows it (client coordinates), and
    // through it the screen pixels per printer pixel.
    CRect PaperRect() const;
    // The same in a window whose client area has that size.
    CRect PaperRectIn(CSize client) const;
    // The device mode the shown page was made with (the view may change it per page).
    std::vector<BYTE> m_devModeShown;

    DECLARE_MESSAGE_MAP()

protected:
    void RenderPage();
    // Makes the page bitmap the size the window shows it at.
    void FitPageToWindow();
    // The page bitmap's size at the window's present size.
    CSize ShownSizeForWindow() const;
};

// The row of buttons above the preview.
class CPreviewBar : public CControlBar {
    DECLARE_DYNAMIC(CPreviewBar)
public:
    CPreviewBar() = default;
    BOOL Create(CFrameWnd* pParent);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnSize(UINT nType, int cx, int cy);

    CWnd m_buttons[4];

    DECLARE_MESSAGE_MAP()
};
