// The application object: start-up, idle work, shut-down, documents by path, About and help.
#include "app/KorvanelleApp.h"

#include <objidl.h>
#include <gdiplus.h>

#include "app/DlgAbout.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "app/AppViewHost.h"
#include "canvas/View.h"
#include "app/Settings.h"
#include "bars/ImageLoadThreads.h"
#include "controls/ThemeResources.h"
#include "disc/ServerList.h"
#include "menu/StyledMenu.h"
#include "print/LightScribe.h"
#include "res/AppIds.h"
#include "res/ResourceImages.h"

ULONG_PTR g_gdiplusToken = 0;

namespace {

// The HTML Help glue: the control's module, a loading-failed flag and its HtmlHelpA entry.
HMODULE g_htmlHelpModule = nullptr;
BOOL g_htmlHelpFailed = FALSE;
typedef HWND(WINAPI* HtmlHelpAProc)(HWND, LPCSTR, UINT, DWORD_PTR);
HtmlHelpAProc g_htmlHelpA = nullptr;

const UINT kHelpContext = 15;  // HH_HELP_CONTEXT

const char kGdiplusMissing[] =
    "Korvanelle requires gdiplus.dll\r\n\r\n1. Please visit https://www.microsoft.com/download\r\n"
    "2. Download 'Platform SDK Redistributable: GDI+'\r\n3. Extract all files and locate "
    "gdiplus.dll\r\n4. Copy gdiplus.dll into 'C:/Program Files/Korvanelle'";

void ReplaceAll(CString& text, const char* from, const char* to) {
    text.Replace(from, to);
}

int StartGdiplus(ULONG_PTR* token) {
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    return Gdiplus::GdiplusStartup(token, &input, nullptr);
}

void SetWindowIcons(HWND hWnd) {
    if (hWnd == nullptr) return;
    ::SendMessageA(hWnd, WM_SETICON, ICON_BIG, (LPARAM)g_appIconLarge);
    ::SendMessageA(hWnd, WM_SETICON, ICON_SMALL, (LPARAM)g_appIconSmall);
}

}  // namespace

BEGIN_MESSAGE_MAP(KorvanelleApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

int (*KorvanelleApp::s_startGdiplus)(ULONG_PTR* token) = StartGdiplus;

KorvanelleApp* GetKorvanelleApp() {
    return static_cast<KorvanelleApp*>(AfxGetApp());
}

CString MakeHelpFilePath(const CString& frameworkPath) {
    CString path = frameworkPath;
    ReplaceAll(path, "\\.\\", "\\");
    ReplaceAll(path, "\\..\\", "\\");
    ReplaceAll(path, ".HLP", ".chm");
    return path;
}

KorvanelleApp::KorvanelleApp() {
    AppCanvasState::SetCurrent(this);
    PrinterSetups::SetCurrent(this);
    ImagePanelState::Set(this);
    ReadCdState::SetCurrent(this);
}

KorvanelleApp::~KorvanelleApp() {
    if (&PrinterSetups::Get() == this) PrinterSetups::SetCurrent(nullptr);
    if (ImagePanelState::Get() == this) ImagePanelState::Set(nullptr);
    if (&ReadCdState::Get() == this) ReadCdState::SetCurrent(nullptr);
    if (View::GetHost() == &AppViewHost::Instance()) View::SetHost(nullptr);
    AppCanvasState::SetCurrent(nullptr);
}

bool KorvanelleApp::CheckGdiPlus() {
    bool ok = false;
    GuardOperation(1137, [&] {
        HMODULE module = ::LoadLibraryA("gdiplus.dll");
        if (module == nullptr) {
            AfxPlainMessageBox(kGdiplusMissing, MB_OK);
            return;
        }
        ::FreeLibrary(module);
        // A library that is there but does not start is as good as missing: the same message,
        // and no start (nothing is written at shut-down).
        if (s_startGdiplus(&g_gdiplusToken) != Gdiplus::Ok) {
            g_gdiplusToken = 0;
            AfxPlainMessageBox(kGdiplusMissing, MB_OK);
            return;
        }
        ok = true;
    });
    return ok;
}

void KorvanelleApp::LoadThemeResources() {
    GuardOperation(1135, [&] {
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    });
}

void KorvanelleApp::SetHelpFilePath() {
    GuardOperation(1138, [&] {
        m_strHelpFilePath = MakeHelpFilePath(m_pszHelpFilePath ? CString(m_pszHelpFilePath) : CString());
        m_pszHelpFilePath = m_strHelpFilePath;
    });
}

BOOL KorvanelleApp::InitInstance() {
    BOOL result = FALSE;
    GuardOperation(279, [&] {
        m_gdiplusStarted = CheckGdiPlus() ? 1 : 0;
        if (!m_gdiplusStarted) return;
        LoadThemeResources();
        StartSplash();
        SetWindowIcons(::GetActiveWindow());
        SetRegistryKey("Korvanelle");
        AfxEnableControlContainer();
        SetHelpFilePath();
        LoadSettings();
        StartLightScribe();
        AfxSocketInit();
        LoadStdProfileSettings(4);
        View::SetHost(&AppViewHost::Instance());
        SetDesignViewLink(&AppViewHost::Instance());
        AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(KorvanelleDoc),
                                              RUNTIME_CLASS(KorvanelleFrame), RUNTIME_CLASS(View)));
        InstallMenuQueries();
        CStyledMenu::SetMenuStyle(2);
        CCommandLineInfo cmdInfo;
        cmdInfo.m_bShowSplash = FALSE;
        ParseCommandLine(cmdInfo);
        m_commandLineFile = cmdInfo.m_strFileName;
        // A named document is opened by the view when it starts, not by the framework.
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileNew;
        if (!ProcessShellCommand(cmdInfo)) return;
        m_clipboardFormat = (WORD)::RegisterClipboardFormatA("Korvanelle500");
        LoadPrinters();
        InitServerList();
        StartView();
        if (m_pMainWnd != nullptr) SetWindowIcons(m_pMainWnd->m_hWnd);
        result = TRUE;
    });
    return result;
}

BOOL KorvanelleApp::OnIdle(LONG lCount) {
    // The program's own idle work takes whole idle calls. The framework's steps (the tool bars',
    // bars' and menus' states first) count from the first call that reaches them: counted from
    // the start of the idle time they would be passed over whenever a typed text, a redraw or a
    // start-up step came first, and the bars would show Undo as it was before the change until
    // something else reached the program.
    if (lCount <= 0) m_ownIdleCalls = 0;
    BOOL result = FALSE;
    GuardOperationSteps(280, [&](int& step) {
        if (RunIdleWork(step) || RunDeferredStartup()) {
            ++m_ownIdleCalls;
            result = TRUE;
            return;
        }
        step = 5;
        result = CWinApp::OnIdle(lCount - m_ownIdleCalls);
    });
    return result;
}

BOOL KorvanelleApp::PreTranslateMessage(MSG* pMsg) {
    if (pMsg != nullptr && m_pView != nullptr) m_pView->InsertTypingBefore(*pMsg);
    return CWinApp::PreTranslateMessage(pMsg);
}

void KorvanelleApp::SaveStateForExit() {
    if (m_stateSaved || !m_gdiplusStarted) return;
    m_stateSaved = true;
    LoadSavePreferences(kSettingsStore);
    SaveLightScribe();
    SavePrinters();
}

int KorvanelleApp::ExitInstance() {
    GuardOperation(922, [&] {
        if (!m_gdiplusStarted) return;
        SaveStateForExit();
        m_pView = nullptr;
        // The window is gone by now; workers still decoding a picture or rendering a colour change
        // use GDI+ and are waited for first. Should one not end in time, GDI+ stays up for it (the
        // process ends anyway) rather than going away under it.
        const bool workersEnded = EndWorkers(kExitWorkerWaitMs);
        PrinterSetups::FreePrinters();
        ReleaseThemeResources();
        if (workersEnded) Gdiplus::GdiplusShutdown(g_gdiplusToken);
        g_gdiplusToken = 0;
        m_gdiplusStarted = 0;
        FreeDiscDatabaseState();
    });
    return CWinApp::ExitInstance();
}

bool KorvanelleApp::EndWorkers(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    ImagePanelState& panel = *this;
    panel.m_stopFolderLoad = 1;
    panel.m_stopThumbLoad = 1;
    panel.m_closeFolderSelect = 1;
    const bool panelEnded = WaitForPanelThreads(panel, timeoutMs);
    // The records hold GDI+ thumbnails: freed now, while no worker can touch them.
    if (panelEnded) panel.FreeRecords();
    const DWORD spent = ::GetTickCount() - start;
    const bool colourEnded = ViewSelect::WaitForHslWorkers(spent < timeoutMs ? timeoutMs - spent : 0);
    return panelEnded && colourEnded;
}

CDocument* KorvanelleApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    CDocument* result = nullptr;
    GuardOperation(281, [&] {
        CFrameWnd* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
        if (frame == nullptr) return;
        KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
        if (doc == nullptr) return;
        doc->OpenByPath(lpszFileName);
        result = doc;
    });
    return result;
}

void KorvanelleApp::OnAppAbout() {
    GuardOperation(1872, [&] { ShowAbout(); });
}

void KorvanelleApp::ShowHelpContext(HWND hOwner, DWORD contextId) {
    GuardOperation(1067, [&] { CallHtmlHelp(hOwner, m_pszHelpFilePath, kHelpContext, contextId); });
}

HWND KorvanelleApp::CallHtmlHelp(HWND hCaller, LPCSTR file, UINT command, DWORD_PTR data) {
    if (g_htmlHelpFailed) return nullptr;
    if (g_htmlHelpModule == nullptr) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT,
                            "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0, KEY_READ,
                            &key) == ERROR_SUCCESS) {
            char path[260] = {0};
            DWORD size = sizeof(path) - 1;
            DWORD type = 0;
            if (::RegQueryValueExA(key, nullptr, nullptr, &type, (BYTE*)path, &size) == ERROR_SUCCESS &&
                path[0] != 0)
                g_htmlHelpModule = ::LoadLibraryA(path);
            ::RegCloseKey(key);
        }
        if (g_htmlHelpModule == nullptr) g_htmlHelpModule = ::LoadLibraryA("hhctrl.ocx");
        if (g_htmlHelpModule == nullptr) {
            g_htmlHelpFailed = TRUE;
            return nullptr;
        }
    }
    if (g_htmlHelpA == nullptr) {
        g_htmlHelpA = reinterpret_cast<HtmlHelpAProc>(
            reinterpret_cast<void*>(::GetProcAddress(g_htmlHelpModule, MAKEINTRESOURCEA(14))));
        if (g_htmlHelpA == nullptr) {
            g_htmlHelpFailed = TRUE;
            return nullptr;
        }
    }
    return g_htmlHelpA(hCaller, file, command, data);
}

// ---- the steps that belong to the splash, printing and the canvas ----

void KorvanelleApp::StartSplash() {
    m_splash.m_doneFlag = &m_splashDone;
    // Without its window start-up goes on as if the splash time were over.
    if (!m_splash.Start()) m_splashDone = 1;
}

void KorvanelleApp::StartLightScribe() {
    LightScribeInit();
}

void KorvanelleApp::LoadPrinters() {
    LoadSavePrinters(false);
}

void KorvanelleApp::StartView() {
    CFrameWnd* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
    m_pView = frame ? dynamic_cast<View*>(frame->GetActiveView()) : nullptr;
    if (m_pView != nullptr) m_pView->StartUp();
}

void KorvanelleApp::OnPrintableAreasChanged() {
    if (m_pView == nullptr || m_pView->m_hWnd == nullptr) return;
    m_pView->Redraw(true);
}

bool KorvanelleApp::RunDeferredStartup() {
    if (m_deferredStartupDone || m_pView == nullptr || !m_pView->m_paintEnabled) return false;
    KorvanelleFrame* frame = dynamic_cast<KorvanelleFrame*>(m_pMainWnd);
    if (frame == nullptr || frame->m_hWnd == nullptr || !::IsWindowVisible(frame->m_hWnd)) return false;
    // One piece per idle call, so that input waiting meanwhile is handled in between.
    if (!frame->IsMenuDecorated()) {
        frame->DecorateMenu();
        return true;
    }
    m_deferredStartupDone = true;
    // The font name box lists the installed families: a hidden box until a text is selected.
    frame->m_toolProperties.m_fontName.EnsureFontList();
    return true;
}

void KorvanelleApp::SaveLightScribe() {
    SaveLightScribeTempList(true);
}

void KorvanelleApp::SavePrinters() {
    LoadSavePrinters(true);
}

void KorvanelleApp::ShowAbout() {
    DlgAbout about(m_pMainWnd);
    about.DoModal();
}
