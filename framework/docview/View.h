// Views: CView (a window that shows a document and drives its printing) and
// CScrollView (a view whose contents are larger than its window), with the
// print record CPrintInfo that the print loop and print preview hand around.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/win/Gdi.h"
#include "framework/win/Wnd.h"
#include "framework/docview/Document.h"

class CPrintDialog;
class CPreviewView;
class CScrollBar;
struct CPrintPreviewState;

// One print job (or one preview) as the view's print overrides see it.
struct CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage);
    void SetMaxPage(UINT nMaxPage);
    UINT GetMinPage() const;
    UINT GetMaxPage() const;
    UINT GetFromPage() const;
    UINT GetToPage() const;
    UINT GetOffsetPage() const { return m_nOffsetPage; }

    // The print dialog (never shown for direct jobs and previews): its m_pd
    // holds the devices, the page numbers and the flags of the job.
    CPrintDialog* m_pPD = nullptr;
    BOOL m_bDocObject = FALSE;
    BOOL m_bDirect = FALSE;   // print without asking (no print dialog)
    BOOL m_bPreview = FALSE;  // this is print preview
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;  // pages shown at once in preview (always 1 here)
    UINT m_nOffsetPage = 0;
    CString m_strPageDesc;
    LPVOID m_lpUserData = nullptr;
    CRect m_rectDraw;       // the printable area of the page, in logical units
    UINT m_nJobNumber = 0;  // the spooler's job number (StartDoc) of a real job
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnInitialUpdate();                                       // OnUpdate(nullptr, 0, nullptr)
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);  // invalidates
    // Sets the DC up for OnDraw (screen) or OnPrint (pInfo given); the base
    // does nothing but remember that a printer DC is in use.
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual BOOL IsSelected(const CObject* pDocItem) const {
        (void)pDocItem;
        return FALSE;
    }

    // ---- printing ----
    // FALSE cancels the job. The base returns DoPreparePrinting(pInfo).
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);  // OnDraw(pDC)
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // The preview ended: pView tells how (CPreviewView::m_nEndCommand is
    // AFX_ID_PREVIEW_CLOSE or AFX_ID_PREVIEW_PRINT). The base restores the frame
    // and, after Print, starts the print command.
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView);
    // Makes the printer DC of the job: with m_bDirect or m_bPreview from the
    // devices in pInfo->m_pd (the application's printer when none is given),
    // else after the system print dialog. FALSE when there is no printer or the
    // user cancelled.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    void OnFilePrint();
    void OnFilePrintPreview();
    BOOL DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                        CPrintPreviewState* pState);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;  // views are deleted with their windows

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    CDocument* m_pDocument = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();
    ~CScrollView() override;

    static const SIZE sizeDefault;  // (0, 0): a tenth (page) and a hundredth (line) of the total

    // nMapMode: MM_TEXT, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH or
    // MM_TWIPS; sizes in that mode's logical units (positive).
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    // Shows the whole total size in the window (no scroll bars).
    void SetScaleToFitSize(SIZE sizeTotal);
    CPoint GetScrollPosition() const;        // logical units
    CPoint GetDeviceScrollPosition() const;  // pixels
    void ScrollToPosition(POINT pt);         // logical units
    void ScrollToDevicePosition(POINT ptDev);
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    void FillOutsideRect(CDC* pDC, CBrush* pBrush);
    void ResizeParentToFit(BOOL bShrinkOnly = TRUE);
    // Shows or hides the scroll bars for the current client and total sizes.
    void UpdateBars();

    // Screen: map mode and viewport origin at minus the scroll position
    // (centred when m_bCenter and the window is larger); printing: the base's.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    int m_nMapMode = 0;
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bCenter = FALSE;
    BOOL m_bInsideUpdate = FALSE;

protected:
    void CalcDeviceSizes(const SIZE& sizePage, const SIZE& sizeLine);
    CSize ClientSizeWithoutBars() const;
    int ScrollLimit(int nBar) const;

    DECLARE_MESSAGE_MAP()
};

// ---- the application's printer ----
// The printer jobs use when they name none; the framework keeps copies of
// the handles passed in.
void AfxSelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld = TRUE);
// Copies of the application's printer (the system's default printer until
// one was selected) into pPrintDlg; FALSE when there is no printer.
BOOL AfxGetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
HGLOBAL AfxGetAppDevMode();
HGLOBAL AfxGetAppDevNames();
// Device names and mode for a printer by name (new blocks for the caller).
BOOL AfxMakePrinterHandles(LPCTSTR lpszPrinter, HGLOBAL* phDevNames, HGLOBAL* phDevMode);
void AfxTermPrinter();

// Finds the frame that holds a window (its nearest CFrameWnd ancestor).
CFrameWnd* AfxGetParentFrame(const CWnd* pWnd);
