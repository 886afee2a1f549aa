// The print loop of the view and the application's printer.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"
#include "framework/win/CommonDialogs.h"

namespace {
HGLOBAL g_hAppDevMode = nullptr;  // the application's printer (copies owned here)
HGLOBAL g_hAppDevNames = nullptr;

// Device names and mode of the default printer, built from the spooler when
// the print dialog cannot give them.
BOOL DefaultPrinterHandles(HGLOBAL* phDevNames, HGLOBAL* phDevMode) {
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT;
    if (::PrintDlgA(&pd) && pd.hDevNames != nullptr) {
        *phDevNames = pd.hDevNames;
        *phDevMode = pd.hDevMode;
        return TRUE;
    }
    char name[256];
    DWORD cch = sizeof(name);
    if (!::GetDefaultPrinterA(name, &cch)) return FALSE;
    return AfxMakePrinterHandles(name, phDevNames, phDevMode);
}
}  // namespace

BOOL AfxMakePrinterHandles(LPCTSTR lpszPrinter, HGLOBAL* phDevNames, HGLOBAL* phDevMode) {
    *phDevNames = nullptr;
    *phDevMode = nullptr;
    HANDLE hPrinter = nullptr;
    if (!::OpenPrinterA(const_cast<LPSTR>(lpszPrinter), &hPrinter, nullptr)) return FALSE;
    LONG cb = ::DocumentPropertiesA(nullptr, hPrinter, const_cast<LPSTR>(lpszPrinter), nullptr, nullptr, 0);
    if (cb > 0) {
        HGLOBAL hDevMode = ::GlobalAlloc(GHND, (SIZE_T)cb);
        DEVMODEA* pdm = (DEVMODEA*)::GlobalLock(hDevMode);
        if (::DocumentPropertiesA(nullptr, hPrinter, const_cast<LPSTR>(lpszPrinter), pdm, nullptr,
                                  DM_OUT_BUFFER) == IDOK) {
            ::GlobalUnlock(hDevMode);
            *phDevMode = hDevMode;
        } else {
            ::GlobalUnlock(hDevMode);
            ::GlobalFree(hDevMode);
        }
    }
    // The printer's own port: an empty output would not reach the spooler.
    std::string portName;
    DWORD cbNeeded = 0;
    ::GetPrinterA(hPrinter, 2, nullptr, 0, &cbNeeded);
    if (cbNeeded > 0) {
        std::vector<BYTE> buf(cbNeeded);
        if (::GetPrinterA(hPrinter, 2, buf.data(), cbNeeded, &cbNeeded)) {
            const PRINTER_INFO_2A* pi = (const PRINTER_INFO_2A*)buf.data();
            if (pi->pPortName != nullptr) portName = pi->pPortName;
        }
    }
    ::ClosePrinter(hPrinter);
    const char* driver = "winspool";
    const char* port = portName.c_str();
    size_t lenName = strlen(lpszPrinter) + 1, lenDriver = strlen(driver) + 1, lenPort = strlen(port) + 1;
    HGLOBAL hNames = ::GlobalAlloc(GHND, sizeof(DEVNAMES) + lenName + lenDriver + lenPort);
    DEVNAMES* pdn = (DEVNAMES*)::GlobalLock(hNames);
    char* base = (char*)pdn;
    pdn->wDriverOffset = sizeof(DEVNAMES);
    memcpy(base + pdn->wDriverOffset, driver, lenDriver);
    pdn->wDeviceOffset = (WORD)(pdn->wDriverOffset + lenDriver);
    memcpy(base + pdn->wDeviceOffset, lpszPrinter, lenName);
    pdn->wOutputOffset = (WORD)(pdn->wDeviceOffset + lenName);
    memcpy(base + pdn->wOutputOffset, port, lenPort);
    pdn->wDefault = 0;
    ::GlobalUnlock(hNames);
    *phDevNames = hNames;
    return TRUE;
}

void AfxSelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld) {
    // The application keeps copies: whoever passed the handles keeps theirs.
    HGLOBAL hNewNames = AfxCopyGlobalBlock(hDevNames);
    HGLOBAL hNewMode = AfxCopyGlobalBlock(hDevMode);
    (void)bFreeOld;  // the old copies are the framework's own: always freed
    if (g_hAppDevNames != nullptr) ::GlobalFree(g_hAppDevNames);
    if (g_hAppDevMode != nullptr) ::GlobalFree(g_hAppDevMode);
    g_hAppDevNames = hNewNames;
    g_hAppDevMode = hNewMode;
}

BOOL AfxGetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg) {
    if (g_hAppDevNames == nullptr) {
        HGLOBAL hNames = nullptr, hMode = nullptr;
        if (!DefaultPrinterHandles(&hNames, &hMode)) return FALSE;
        g_hAppDevNames = hNames;
        g_hAppDevMode = hMode;
    }
    if (pPrintDlg->hDevNames != nullptr) ::GlobalFree(pPrintDlg->hDevNames);
    if (pPrintDlg->hDevMode != nullptr) ::GlobalFree(pPrintDlg->hDevMode);
    pPrintDlg->hDevNames = AfxCopyGlobalBlock(g_hAppDevNames);
    pPrintDlg->hDevMode = AfxCopyGlobalBlock(g_hAppDevMode);
    return pPrintDlg->hDevNames != nullptr;
}

void CWinApp::SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld) {
    AfxSelectPrinter(hDevNames, hDevMode, bFreeOld);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg) {
    return AfxGetPrinterDeviceDefaults(pPrintDlg);
}

HGLOBAL AfxGetAppDevMode() {
    return g_hAppDevMode;
}
HGLOBAL AfxGetAppDevNames() {
    return g_hAppDevNames;
}

void AfxTermPrinter() {
    if (g_hAppDevNames != nullptr) ::GlobalFree(g_hAppDevNames);
    if (g_hAppDevMode != nullptr) ::GlobalFree(g_hAppDevMode);
    g_hAppDevNames = g_hAppDevMode = nullptr;
}

// ======================= paper changes on Wine =======================

namespace {
bool RunningOnWine() {
    static int s_onWine = -1;
    if (s_onWine < 0) {
        HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
        s_onWine = (hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr) ? 1 : 0;
    }
    return s_onWine == 1;
}

// Windows printer drivers honour a paper size changed between pages (the
// view resets the DC in OnPrepareDC). Wine's PostScript driver lays the page
// out for the new paper but writes the paper size once per document, so the
// spooled page keeps the first size. On Wine the page's size is written into
// the page itself: its page save is closed, the size set, the save opened
// again and the driver's page transform set up anew for the new size.
void MatchPostScriptPaper(HDC hdc, CSize sizeDocumentPaper) {
    if (!RunningOnWine()) return;
    int nEscape = PASSTHROUGH;
    if (::ExtEscape(hdc, QUERYESCSUPPORT, sizeof(int), (LPCSTR)&nEscape, 0, nullptr) <= 0) return;
    CSize paper(::GetDeviceCaps(hdc, PHYSICALWIDTH), ::GetDeviceCaps(hdc, PHYSICALHEIGHT));
    if (paper == sizeDocumentPaper || paper.cx <= 0 || paper.cy <= 0) return;
    int rx = ::GetDeviceCaps(hdc, LOGPIXELSX), ry = ::GetDeviceCaps(hdc, LOGPIXELSY);
    if (rx <= 0 || ry <= 0) return;
    int offX = ::GetDeviceCaps(hdc, PHYSICALOFFSETX), offY = ::GetDeviceCaps(hdc, PHYSICALOFFSETY);
    char ps[400];
    int n =
        snprintf(ps, sizeof(ps),
                 "\npgsave restore\n<< /PageSize [%g %g] >> setpagedevice\n/pgsave save def\n"
                 "72 %d div 72 %d div scale\n%d %d translate\n1 -1 scale\n",
                 paper.cx * 72.0 / rx, paper.cy * 72.0 / ry, rx, ry, offX, static_cast<int>(paper.cy - offY));
    if (n <= 0 || n >= (int)sizeof(ps)) return;
    std::vector<char> data(sizeof(WORD) + (size_t)n);
    WORD cb = (WORD)n;
    memcpy(data.data(), &cb, sizeof(WORD));
    memcpy(data.data() + sizeof(WORD), ps, (size_t)n);
    ::ExtEscape(hdc, PASSTHROUGH, (int)data.size(), data.data(), 0, nullptr);
}
}  // namespace

// ======================= CPrintInfo =======================

CPrintInfo::CPrintInfo() {
    m_pPD = new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION);
    m_pPD->m_pd.nMinPage = 1;
    m_pPD->m_pd.nMaxPage = 0xFFFF;
    m_pPD->m_pd.nFromPage = 1;
    m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() {
    delete m_pPD;
}

void CPrintInfo::SetMinPage(UINT nMinPage) {
    m_pPD->m_pd.nMinPage = (WORD)nMinPage;
}
void CPrintInfo::SetMaxPage(UINT nMaxPage) {
    m_pPD->m_pd.nMaxPage = (WORD)nMaxPage;
}
UINT CPrintInfo::GetMinPage() const {
    return m_pPD->m_pd.nMinPage;
}
UINT CPrintInfo::GetMaxPage() const {
    return m_pPD->m_pd.nMaxPage;
}
UINT CPrintInfo::GetFromPage() const {
    return m_pPD->m_pd.nFromPage;
}
UINT CPrintInfo::GetToPage() const {
    return m_pPD->m_pd.nToPage;
}

// ======================= the print loop =======================

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
    PRINTDLG& pd = pInfo->m_pPD->m_pd;
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        if (pd.hDevNames == nullptr && !AfxGetPrinterDeviceDefaults(&pd)) {
            if (!pInfo->m_bPreview) AfxMessageBox("No printers are installed.", MB_ICONEXCLAMATION);
            return FALSE;
        }
        if (pd.hDC == nullptr) pInfo->m_pPD->CreatePrinterDC();
        if (pd.hDC == nullptr) return FALSE;
        // Without a chosen range the job runs from the first page to the last.
        if (!(pd.Flags & PD_PAGENUMS)) {
            pd.nFromPage = pd.nMinPage;
            pd.nToPage = pd.nMaxPage;
        }
    } else {
        if (pd.hDevNames == nullptr) AfxGetPrinterDeviceDefaults(&pd);
        pd.Flags |= PD_RETURNDC;
        pd.Flags &= ~(PD_RETURNIC | PD_PRINTSETUP);
        if (pd.nMinPage > pd.nMaxPage) pd.nMaxPage = pd.nMinPage;
        if (pd.nFromPage < pd.nMinPage || pd.nFromPage > pd.nMaxPage) pd.nFromPage = pd.nMinPage;
        if (pd.nToPage < pd.nFromPage || pd.nToPage > pd.nMaxPage) pd.nToPage = pd.nMaxPage;
        if (pInfo->m_pPD->DoModal() != IDOK) return FALSE;
        AfxSelectPrinter(pd.hDevNames, pd.hDevMode, TRUE);
        if (!(pd.Flags & PD_PAGENUMS)) {
            pd.nFromPage = pd.nMinPage;
            pd.nToPage = pd.nMaxPage;
        }
    }
    return pd.hDC != nullptr;
}

void CView::OnFilePrint() {
    CPrintInfo printInfo;
    if (!OnPreparePrinting(&printInfo)) return;
    PRINTDLG& pd = printInfo.m_pPD->m_pd;
    if (pd.hDC == nullptr) return;

    CBorrowedDC dcPrint(pd.hDC);  // the dialog object deletes its DC
    dcPrint.m_bPrinting = TRUE;
    // However the loop is left (an exception from the view's drawing included), a started job
    // is ended or aborted.
    struct JobScope {
        CDC& dc;
        bool started = false;
        bool finished = false;
        ~JobScope() {
            if (started && !finished) ::AbortDoc(dc.m_hDC);
        }
    } job{dcPrint};

    CString title = m_pDocument ? m_pDocument->GetTitle() : CString();
    if (title.IsEmpty()) {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame) title = pFrame->GetTitle();
    }
    if (title.GetLength() > 31) title = title.Left(31);
    DOCINFOA docInfo = {};
    docInfo.cbSize = sizeof(docInfo);
    docInfo.lpszDocName = title;

    OnBeginPrinting(&dcPrint, &printInfo);
    CSize sizeDocumentPaper(dcPrint.GetDeviceCaps(PHYSICALWIDTH), dcPrint.GetDeviceCaps(PHYSICALHEIGHT));
    int nJob = ::StartDocA(dcPrint.m_hDC, &docInfo);
    BOOL bError = nJob <= 0;
    job.started = !bError;
    printInfo.m_nJobNumber = bError ? 0 : (UINT)nJob;
    if (!bError) {
        UINT nStart = std::max(printInfo.GetFromPage(), printInfo.GetMinPage());
        UINT nEnd = std::min(printInfo.GetToPage(), printInfo.GetMaxPage());
        for (printInfo.m_nCurPage = nStart; printInfo.m_nCurPage <= nEnd && !bError; printInfo.m_nCurPage++) {
            // Before the page starts: the view may reset the DC for another paper.
            OnPrepareDC(&dcPrint, &printInfo);
            if (!printInfo.m_bContinuePrinting) break;
            if (::StartPage(dcPrint.m_hDC) <= 0) {
                bError = TRUE;
                break;
            }
            MatchPostScriptPaper(dcPrint.m_hDC, sizeDocumentPaper);
            printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES),
                                         dcPrint.GetDeviceCaps(VERTRES));
            ::DPtoLP(dcPrint.m_hDC, (LPPOINT)&printInfo.m_rectDraw, 2);
            OnPrint(&dcPrint, &printInfo);
            if (::EndPage(dcPrint.m_hDC) <= 0) bError = TRUE;
        }
        if (!bError)
            ::EndDoc(dcPrint.m_hDC);
        else
            ::AbortDoc(dcPrint.m_hDC);
        job.finished = true;
    }
    OnEndPrinting(&dcPrint, &printInfo);
}
