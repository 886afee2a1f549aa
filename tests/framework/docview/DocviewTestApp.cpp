#include "DocviewTestApp.h"

namespace dvtest {

std::vector<std::string> g_log;
bool CTestFrame::s_bLoadState = false;

HBITMAP MakeStrip(int n) {
    HDC hdcScreen = ::GetDC(nullptr);
    HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, 16 * n, 15);
    HDC hdc = ::CreateCompatibleDC(hdcScreen);
    HGDIOBJ old = ::SelectObject(hdc, hbm);
    RECT all = {0, 0, 16 * n, 15};
    HBRUSH grey = ::CreateSolidBrush(RGB(192, 192, 192));
    ::FillRect(hdc, &all, grey);
    ::DeleteObject(grey);
    static const COLORREF colours[] = {RGB(200, 0, 0),   RGB(0, 150, 0),   RGB(0, 0, 200),
                                       RGB(200, 150, 0), RGB(150, 0, 150), RGB(0, 150, 150)};
    for (int i = 0; i < n; ++i) {
        HBRUSH b = ::CreateSolidBrush(colours[i % 6]);
        RECT r = {16 * i + 2, 2, 16 * i + 14, 13};
        ::FillRect(hdc, &r, b);
        ::DeleteObject(b);
    }
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hdcScreen);
    return hbm;
}

// ---- document ----
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_ROUTE_VIEW, OnRouteView)
    ON_COMMAND(ID_ROUTE_DOC, OnRouteDoc)
END_MESSAGE_MAP()

BOOL CTestDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    ++m_nNew;
    return TRUE;
}

BOOL CTestDoc::OnOpenDocument(LPCTSTR) {
    ++m_nOpen;
    return TRUE;
}

BOOL CTestDoc::SaveModified() {
    if (!IsModified()) return TRUE;
    switch (AfxMessageBox("Save changes to " + GetTitle() + "?", MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
        case IDCANCEL:
            return FALSE;
        case IDYES:
            return DoFileSave();
        default:
            SetModifiedFlag(FALSE);
            return TRUE;
    }
}

// ---- view ----
IMPLEMENT_DYNCREATE(CTestView, CScrollView)
BEGIN_MESSAGE_MAP(CTestView, CScrollView)
    ON_COMMAND(ID_ROUTE_VIEW, OnRouteView)
    ON_COMMAND(ID_BTN_ENABLE, OnCommandEnable)
    ON_COMMAND(ID_BTN_CHECK, OnCommandCheck)
    ON_UPDATE_COMMAND_UI(ID_BTN_ENABLE, OnUpdateEnable)
    ON_UPDATE_COMMAND_UI(ID_BTN_CHECK, OnUpdateCheck)
END_MESSAGE_MAP()

void CTestView::OnDraw(CDC* pDC) {
    // A chequer of 100-pixel squares over the whole scroll area.
    for (int y = 0; y < GetTotalSize().cy; y += 100)
        for (int x = 0; x < GetTotalSize().cx; x += 100)
            if (((x + y) / 100) % 2 == 0) {
                RECT r = {x, y, x + 100, y + 100};
                ::FillRect(pDC->m_hDC, &r, (HBRUSH)::GetStockObject(LTGRAY_BRUSH));
            }
}

void CTestView::OnInitialUpdate() {
    ++m_nInitialUpdates;
    CScrollView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize(400, 300));
}

// ---- frame ----
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_ROUTE_VIEW, OnRouteView)
    ON_COMMAND(ID_ROUTE_DOC, OnRouteDoc)
    ON_COMMAND(ID_ROUTE_FRAME, OnRouteFrame)
    ON_COMMAND(ID_BTN_PLAIN, OnPlain)
END_MESSAGE_MAP()

CTestFrame::~CTestFrame() {
    if (m_hStrip != nullptr) ::DeleteObject(m_hStrip);
}

int CTestFrame::OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    m_hStrip = MakeStrip(6);
    const DWORD style =
        WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
    static const UINT one[] = {ID_BTN_ENABLE, ID_BTN_CHECK, 0, ID_BTN_ORPHAN, ID_BTN_PLAIN};
    static const UINT two[] = {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_PRINT, 0, ID_BTN_COLOR};
    static const UINT three[] = {ID_BTN_PLAIN, ID_BTN_COLOR, ID_BTN_ENABLE};
    struct {
        CToolBar* bar;
        UINT id;
        const UINT* ids;
        int n;
        const char* title;
    } bars[] = {{&m_barOne, IDW_BAR_ONE, one, 5, "One"},
                {&m_barTwo, IDW_BAR_TWO, two, 6, "Two"},
                {&m_barFloat, IDW_BAR_FLOAT, three, 3, "Floating"}};
    for (auto& b : bars) {
        if (!b.bar->CreateEx(this, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), b.id)) return -1;
        b.bar->SetBitmap(m_hStrip);
        b.bar->SetButtons(b.ids, b.n);
        b.bar->SetWindowText(b.title);
        b.bar->EnableDocking(CBRS_ALIGN_ANY);
    }
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_barOne, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_barTwo, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_barFloat, AFX_IDW_DOCKBAR_TOP);
    CRect rc;
    GetWindowRect(&rc);
    FloatControlBar(&m_barFloat, CPoint(rc.left + 420, rc.top + 200));
    if (s_bLoadState) LoadBarState("Toolbars");
    return 0;
}

// ---- application ----
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnNew)
    ON_COMMAND(ID_ROUTE_VIEW, OnRouteAll)
    ON_COMMAND(ID_ROUTE_DOC, OnRouteAll)
    ON_COMMAND(ID_ROUTE_FRAME, OnRouteAll)
    ON_COMMAND(ID_ROUTE_APP, OnRouteAll)
END_MESSAGE_MAP()

CTestApp& App() {
    static CTestApp* pApp = [] {
        CTestApp* p = new CTestApp;
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
        p->SetRegistryKey("KorvanelleTest");
        p->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTestDoc),
                                                 RUNTIME_CLASS(CTestFrame), RUNTIME_CLASS(CTestView)));
        return p;
    }();
    return *pApp;
}

CTestFrame* EnsureFrame() {
    CTestApp& app = App();
    if (app.m_pMainWnd == nullptr) {
        CCommandLineInfo cmd;
        app.ProcessShellCommand(cmd);
        CWnd* pMain = app.m_pMainWnd;
        if (pMain != nullptr) pMain->SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOZORDER);
        Pump();
    }
    return (CTestFrame*)app.m_pMainWnd;
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

}  // namespace dvtest
