#include "framework/win/WinApp.h"

#include <process.h>
#include <shellapi.h>
#include <winsock.h>

#include "framework/core/File.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"
#include "framework/win/ProfileKeys.h"

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResource = nullptr;
}  // namespace

// ---- global accessors ----

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWinThread* AfxGetThread() {
    CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
    if (pThread == nullptr && g_pApp != nullptr && g_pApp->m_nThreadID == ::GetCurrentThreadId())
        pThread = g_pApp;
    return pThread;
}

CWnd* AfxGetMainWnd() {
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_hInstance == nullptr) g_hInstance = ::GetModuleHandleA(nullptr);
    return g_hInstance;
}

HINSTANCE AfxGetResourceHandle() {
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}
void AfxSetResourceHandle(HINSTANCE hInstResource) {
    g_hResource = hInstResource;
}

LPCTSTR AfxGetAppName() {
    if (g_pApp != nullptr && g_pApp->m_pszAppName != nullptr) return g_pApp->m_pszAppName;
    static CString s_name;
    if (s_name.IsEmpty()) s_name = AfxGetMessageBoxCaption();
    return s_name;
}

void AfxPostQuitMessage(int nExitCode) {
    ::PostQuitMessage(nExitCode);
}

BOOL AfxLoadString(UINT nID, CString& rString) {
    char sz[1024];
    int n = ::LoadStringA(AfxGetResourceHandle(), nID, sz, sizeof(sz));
    if (n <= 0) {
        rString.Empty();
        return FALSE;
    }
    rString = CString(sz, n);
    return TRUE;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxPlainMessageBox(lpszText, nType, AfxGetAppName(), ::GetActiveWindow());
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString s;
    AfxLoadString(nIDPrompt, s);
    if (nIDHelp == (UINT)-1) nIDHelp = nIDPrompt;
    return AfxMessageBox(s, nType, nIDHelp);
}

BOOL AfxSocketInit(WSADATA* lpwsaData) {
    static bool s_started = false;
    WSADATA data;
    if (lpwsaData == nullptr) lpwsaData = &data;
    if (!s_started) {
        if (::WSAStartup(MAKEWORD(1, 1), lpwsaData) != 0) return FALSE;
        s_started = true;
    }
    return TRUE;
}

void AfxEnableControlContainer() {}

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    static AFX_MODULE_STATE state;
    return &state;
}
AFX_MODULE_STATE* AfxGetAppModuleState() {
    return AfxGetStaticModuleState();
}

// ---- threads ----

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) ::CloseHandle(m_hThread);
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this) pState->m_pCurrentWinThread = nullptr;
}

CWnd* CWinThread::GetMainWnd() {
    if (m_pActiveWnd != nullptr) return m_pActiveWnd;
    return m_pMainWnd;
}

unsigned __stdcall KvThreadEntry(void* pParam) {
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    pState->m_pCurrentWinThread = pThread;

    UINT nResult = 0;
    if (pThread->m_pfnThreadProc != nullptr) {
        ::SetEvent(pThread->m_hEventStarted);
        nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    } else {
        // Make the queue before the creator goes on, so that it can post at once.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        ::SetEvent(pThread->m_hEventStarted);
        BOOL bOk = FALSE;
        try {
            bOk = pThread->InitInstance();
        } catch (CException* e) {
            e->Delete();
        } catch (...) {}
        if (bOk)
            nResult = (UINT)pThread->Run();
        else
            nResult = (UINT)pThread->ExitInstance();
    }
    AfxEndThread(nResult, TRUE);
    AfxTermThreadState();
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    m_hEventStarted = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    unsigned nThreadID = 0;
    m_hThread = (HANDLE)_beginthreadex(lpSecurityAttrs, nStackSize, KvThreadEntry, this,
                                       dwCreateFlags | CREATE_SUSPENDED, &nThreadID);
    if (m_hThread == nullptr) {
        ::CloseHandle(m_hEventStarted);
        m_hEventStarted = nullptr;
        return FALSE;
    }
    m_nThreadID = nThreadID;
    if (!(dwCreateFlags & CREATE_SUSPENDED)) {
        // Once resumed the thread may end and delete this object: use copies only.
        HANDLE hEvent = m_hEventStarted;
        ::ResumeThread(m_hThread);
        ::WaitForSingleObject(hEvent, INFINITE);
        ::CloseHandle(hEvent);
    }
    return TRUE;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CWinThread* pThread = pState->m_pCurrentWinThread;
    AfxDeleteTempMaps();
    if (pThread != nullptr) {
        pState->m_pCurrentWinThread = nullptr;
        if (bDelete) pThread->Delete();
    }
    (void)nExitCode;
}

void CWinThread::Delete() {
    if (m_bAutoDelete) delete this;
}

namespace {
// Starts a new thread object's thread (deleting the object when that fails); unless asked to
// stay suspended it returns once the thread has started.
CWinThread* StartThread(CWinThread* pThread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) {
        // Once resumed the thread may end and delete its object: use copies only.
        HANDLE hEvent = pThread->m_hEventStarted;
        ::ResumeThread(pThread->m_hThread);
        ::WaitForSingleObject(hEvent, INFINITE);
        ::CloseHandle(hEvent);
    }
    return pThread;
}
}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    return StartThread(pThread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    CObject* pObject = pThreadClass->CreateObject();
    if (pObject == nullptr) return nullptr;
    CWinThread* pThread = dynamic_cast<CWinThread*>(pObject);
    if (pThread == nullptr) {
        delete pObject;
        return nullptr;
    }
    return StartThread(pThread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

BOOL CWinThread::InitInstance() {
    return FALSE;
}

int CWinThread::ExitInstance() {
    return (int)m_msgCur.wParam;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == nullptr) return FALSE;  // thread messages go to their handlers through dispatch
    CWnd* pMainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg)) return TRUE;
    // The main window also sees messages of windows outside its tree (e.g. floating bars).
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr) {
        HWND hWnd = pMsg->hwnd;
        while (hWnd != nullptr && hWnd != pMainWnd->m_hWnd) hWnd = ::GetParent(hWnd);
        if (hWnd == nullptr && pMainWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
    pState->m_msgCur = m_msgCur;
    if (m_msgCur.hwnd == nullptr && m_msgCur.message >= WM_USER) {
        // a thread message: ON_THREAD_MESSAGE entries of this object
        for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
             pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
            const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMap->lpEntries, m_msgCur.message, 0, 0);
            if (e != nullptr && e->nSig == AfxSig_vwl) {
                (this->*AfxHandlerCast<void (CCmdTarget::*)(WPARAM, LPARAM)>(e->pfn))(m_msgCur.wParam,
                                                                                      m_msgCur.lParam);
                return TRUE;
            }
            if (pMap->pfnGetBaseMap == nullptr) break;
        }
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pState->m_ptCursorLast.x == pMsg->pt.x && pState->m_ptCursorLast.y == pMsg->pt.y &&
            pMsg->message == pState->m_nMsgLast)
            return FALSE;
        pState->m_ptCursorLast = pMsg->pt;
        pState->m_nMsgLast = pMsg->message;
        return TRUE;
    }
    // Paints and the caret blink happen without anything changing.
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMainWnd->IsWindowVisible()) {
            pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, (WPARAM)TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, (WPARAM)TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    if (lCount == 1) {
        AfxDeleteTempMaps();
        return TRUE;
    }
    return FALSE;
}

int CWinThread::Run() {
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++)) bIdle = FALSE;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpWaitingMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return FALSE;
        if (!PumpMessage()) return FALSE;
    }
    LONG lIdleCount = 0;
    while (OnIdle(lIdleCount++)) {
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
    return TRUE;
}

// ---- command line ----

CCommandLineInfo::CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam) {
    if (lstrcmpiA(pszParam, "pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (lstrcmpiA(pszParam, "p") == 0)
        m_nShellCommand = FilePrint;
    else if (lstrcmpiA(pszParam, "dde") == 0)
        m_nShellCommand = FileDDE;
    else if (lstrcmpiA(pszParam, "Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (lstrcmpiA(pszParam, "Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    } else if (lstrcmpiA(pszParam, "Register") == 0 || lstrcmpiA(pszParam, "Regserver") == 0) {
        m_nShellCommand = AppRegister;
    } else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam) {
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
}

// ---- application ----

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

AFX_DOCLAYER_HOOKS& AfxGetDocLayerHooks() {
    static AFX_DOCLAYER_HOOKS hooks;
    return hooks;
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    AFX_DOCLAYER_HOOKS& hooks = AfxGetDocLayerHooks();
    return hooks.pfnOpenDocumentFile ? hooks.pfnOpenDocumentFile(this, lpszFileName) : nullptr;
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
    AFX_DOCLAYER_HOOKS& hooks = AfxGetDocLayerHooks();
    if (hooks.pfnAddToRecentFileList) hooks.pfnAddToRecentFileList(this, lpszPathName);
}

BOOL CWinApp::SaveAllModified() {
    AFX_DOCLAYER_HOOKS& hooks = AfxGetDocLayerHooks();
    return hooks.pfnSaveAllModified ? hooks.pfnSaveAllModified(this) : TRUE;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

CWinApp::CWinApp(LPCTSTR lpszAppName) {
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    m_bAutoDelete = FALSE;
    m_nThreadID = ::GetCurrentThreadId();
    g_pApp = this;
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == nullptr) pState->m_pCurrentWinThread = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this) pState->m_pCurrentWinThread = nullptr;
    m_hThread = nullptr;  // the process's thread is not ours to close
}

void CWinApp::SetDefaultNames() {
    char szPath[MAX_PATH] = {0};
    ::GetModuleFileNameA(m_hInstance ? m_hInstance : AfxGetInstanceHandle(), szPath, MAX_PATH);
    CString path(szPath);
    int nSlash = path.ReverseFind('\\');
    CString file = path.Mid(nSlash + 1);
    int nDot = file.ReverseFind('.');
    m_strExeName = nDot >= 0 ? file.Left(nDot) : file;
    m_pszExeName = m_strExeName;
    if (m_pszAppName == nullptr) {
        if (!AfxLoadString(AFX_IDS_APP_TITLE, m_strAppName)) m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }
    int nPathDot = path.ReverseFind('.');
    m_strHelpFilePath = (nPathDot > nSlash ? path.Left(nPathDot) : path) + ".HLP";
    m_pszHelpFilePath = m_strHelpFilePath;
    if (m_pszProfileName == nullptr) {
        m_strProfileName = m_strExeName + ".INI";
        m_pszProfileName = m_strProfileName;
    }
    AfxSetMessageBoxCaption(m_pszAppName);
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
    g_hInstance = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr) {
        pApp->m_hInstance = g_hInstance;
        pApp->m_hPrevInstance = hPrevInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
        pApp->m_nThreadID = ::GetCurrentThreadId();
        pApp->InitApplication();
    }
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    return TRUE;
}

BOOL CWinApp::InitApplication() {
    SetDefaultNames();
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
    int nReturnCode = -1;
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) return nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != nullptr) pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } else {
        nReturnCode = pApp->Run();
    }
    AfxDeleteTempMaps();
    return nReturnCode;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    AFX_DOCLAYER_HOOKS& hooks = AfxGetDocLayerHooks();
    if (hooks.pfnExitInstance) hooks.pfnExitInstance(this);
    return (int)m_msgCur.wParam;
}

int CWinApp::Run() {
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount) {
    return CWinThread::OnIdle(lCount);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
    HWND hWndOwner = ::GetActiveWindow();
    if (hWndOwner == nullptr && m_pMainWnd != nullptr) hWndOwner = m_pMainWnd->GetSafeHwnd();
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
            case MB_OK:
            case MB_OKCANCEL:
                nType |= MB_ICONEXCLAMATION;
                break;
            case MB_YESNO:
            case MB_YESNOCANCEL:
                nType |= MB_ICONQUESTION;
                break;
            default:
                break;
        }
    }
    return AfxPlainMessageBox(lpszPrompt, nType, m_pszAppName, hWndOwner);
}

void CWinApp::WinHelp(DWORD_PTR, UINT) {}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const {
    return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const {
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    // The C run-time's arguments, each taken from its UTF-16 original as the program holds text: a
    // file name outside the ANSI code page would otherwise come with stand-in characters.
    std::vector<CString> args;
    for (int i = 0; i < __argc; ++i) args.push_back(__argv[i]);
    int wideCount = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &wideCount)) {
        for (int i = 0; i < wideCount && i < __argc; ++i)
            if (AfxSystemAnsiOf(wide[i]) == args[i]) args[i] = AfxNarrowOf(wide[i]);
        ::LocalFree(wide);
    }
    const int argc = static_cast<int>(args.size());
    for (int i = 1; i < argc; i++) {
        const char* pszParam = args[i];
        BOOL bFlag = FALSE;
        BOOL bLast = (i == argc - 1);
        if (pszParam[0] == '-' || pszParam[0] == '/') {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, bLast);
    }
}

// ---- profile ----

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
    if (m_pszAppName == nullptr) SetDefaultNames();
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName;
    m_pszProfileName = m_strProfileName;
    if (m_pProfileKeys) m_pProfileKeys->Reset();
}

LONG CWinApp::WithSectionKey(LPCTSTR lpszSection, const std::function<LONG(HKEY)>& use) {
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!m_pProfileKeys) m_pProfileKeys.reset(new CProfileKeys);
    return m_pProfileKeys->WithSection(m_pszRegistryKey, m_pszProfileName, lpszSection, use);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
    CString s;
    AfxLoadString(nIDRegistryKey, s);
    SetRegistryKey(s);
}

HKEY CWinApp::GetAppRegistryKey() {
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr) return nullptr;
    HKEY hSoftKey = nullptr, hCompanyKey = nullptr, hAppKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) == ERROR_SUCCESS) {
        DWORD dw;
        if (::RegCreateKeyExA(hSoftKey, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &hCompanyKey, &dw) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(hCompanyKey, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &hAppKey, &dw);
        }
    }
    if (hSoftKey) ::RegCloseKey(hSoftKey);
    if (hCompanyKey) ::RegCloseKey(hCompanyKey);
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection) {
    HKEY hSectionKey = nullptr;
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == nullptr) return nullptr;
    DWORD dw;
    ::RegCreateKeyExA(hAppKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                      nullptr, &hSectionKey, &dw);
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
    if (m_pszRegistryKey != nullptr) {
        DWORD dwValue = 0, dwType = 0, dwCount = sizeof(DWORD);
        LONG lResult = WithSectionKey(lpszSection, [&](HKEY hSecKey) {
            dwCount = sizeof(DWORD);
            return ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, (LPBYTE)&dwValue, &dwCount);
        });
        if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && dwCount == sizeof(DWORD)) return (UINT)dwValue;
        return nDefault;
    }
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
    if (m_pszRegistryKey != nullptr) {
        return WithSectionKey(lpszSection, [&](HKEY hSecKey) {
                   return ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_DWORD, (LPBYTE)&nValue, sizeof(nValue));
               }) == ERROR_SUCCESS;
    }
    char sz[16];
    wsprintfA(sz, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, sz, m_pszProfileName);
}

// Strings go in and out of the registry in UTF-16, which keeps a name outside the ANSI code page
// whole; values written narrow by earlier versions read the same. (A private .INI file keeps the
// program's bytes as they are.)
CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
    if (m_pszRegistryKey != nullptr) {
        const std::wstring entry = AfxWideOf(lpszEntry);
        std::wstring value;
        LONG lResult = WithSectionKey(lpszSection, [&](HKEY hSecKey) {
            DWORD dwType = 0, dwCount = 0;
            LONG r = ::RegQueryValueExW(hSecKey, entry.c_str(), nullptr, &dwType, nullptr, &dwCount);
            if (r != ERROR_SUCCESS) return r;
            if (dwType != REG_SZ && dwType != REG_EXPAND_SZ) return (LONG)ERROR_FILE_NOT_FOUND;
            value.assign(dwCount / sizeof(wchar_t) + 1, L'\0');
            r = ::RegQueryValueExW(hSecKey, entry.c_str(), nullptr, &dwType, (LPBYTE)&value[0], &dwCount);
            value.resize(r == ERROR_SUCCESS ? wcslen(value.c_str()) : 0);
            return r;
        });
        if (lResult == ERROR_SUCCESS) return AfxNarrowOf(value.c_str());
        return CString(lpszDefault);
    }
    char sz[4096];
    ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", sz, sizeof(sz),
                               m_pszProfileName);
    return CString(sz);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
    if (m_pszRegistryKey != nullptr) {
        LONG lResult;
        if (lpszEntry == nullptr) {  // the whole section goes
            if (m_pProfileKeys) m_pProfileKeys->Forget(lpszSection);
            HKEY hAppKey = GetAppRegistryKey();
            if (hAppKey == nullptr) return FALSE;
            lResult = ::RegDeleteKeyA(hAppKey, lpszSection);
            ::RegCloseKey(hAppKey);
        } else if (lpszValue == nullptr) {
            lResult = WithSectionKey(lpszSection,
                                     [&](HKEY hSecKey) { return ::RegDeleteValueA(hSecKey, lpszEntry); });
        } else {
            const std::wstring value = AfxWideOf(lpszValue);
            lResult = WithSectionKey(lpszSection, [&](HKEY hSecKey) {
                return ::RegSetValueExW(hSecKey, AfxWideOf(lpszEntry).c_str(), 0, REG_SZ,
                                        (const BYTE*)value.c_str(),
                                        (DWORD)((value.size() + 1) * sizeof(wchar_t)));
            });
        }
        return lResult == ERROR_SUCCESS;
    }
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes) {
    *ppData = nullptr;
    *pBytes = 0;
    if (m_pszRegistryKey != nullptr) {
        LONG lResult = WithSectionKey(lpszSection, [&](HKEY hSecKey) {
            DWORD dwType = 0, dwCount = 0;
            LONG r = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount);
            if (r != ERROR_SUCCESS) return r;
            if (dwType != REG_BINARY) return (LONG)ERROR_FILE_NOT_FOUND;
            delete[] * ppData;
            *ppData = new BYTE[dwCount ? dwCount : 1];
            r = ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, *ppData, &dwCount);
            *pBytes = dwCount;
            return r;
        });
        if (lResult != ERROR_SUCCESS) {
            delete[] * ppData;
            *ppData = nullptr;
            *pBytes = 0;
            return FALSE;
        }
        return TRUE;
    }
    // In a private profile the bytes are kept as letters, two per byte.
    CString str = GetProfileString(lpszSection, lpszEntry, nullptr);
    int nLen = str.GetLength();
    if (nLen == 0 || (nLen & 1)) return FALSE;
    *pBytes = (UINT)nLen / 2;
    *ppData = new BYTE[*pBytes];
    for (int i = 0; i < nLen; i += 2)
        (*ppData)[i / 2] = (BYTE)(((str.GetAt(i + 1) - 'A') << 4) + (str.GetAt(i) - 'A'));
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes) {
    if (m_pszRegistryKey != nullptr) {
        return WithSectionKey(lpszSection, [&](HKEY hSecKey) {
                   return ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
               }) == ERROR_SUCCESS;
    }
    CString str;
    for (UINT i = 0; i < nBytes; i++) {
        str += (char)((pData[i] & 0x0F) + 'A');
        str += (char)(((pData[i] >> 4) & 0x0F) + 'A');
    }
    return WriteProfileString(lpszSection, lpszEntry, str);
}
