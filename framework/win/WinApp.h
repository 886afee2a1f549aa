// Threads, the application object, the message loop and the profile.
#pragma once

#include <functional>
#include <memory>

#include "framework/win/Wnd.h"

class CWinThread;
class CWinApp;
class CDocument;
class CDocTemplate;
class CDocManager;
class CRecentFileList;
class CProfileKeys;

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// A thread of the program. A worker thread runs one function; a
// user-interface thread (a class derived from CWinThread, started with
// AfxBeginThread(RUNTIME_CLASS(...))) runs InitInstance, then its own message
// loop until WM_QUIT (posted when its main window is destroyed), then
// ExitInstance.
class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    CWnd* m_pMainWnd = nullptr;  // the thread's main window; its destruction ends the loop
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;  // the object deletes itself when the thread ends
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};

    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::PostThreadMessage(m_nThreadID, message, wParam, lParam);
    }
    virtual CWnd* GetMainWnd();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop: OnIdle(0, 1, 2, ...) while the queue is empty until it
    // returns FALSE; a new message (other than paints, caret blinks and mouse
    // moves that did not move) starts the counts again at 0.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    // Count 0 updates the command states of the main window (WM_IDLEUPDATECMDUI
    // to it and its descendants); count 1 deletes the temporary objects. TRUE
    // while more idle work remains.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual void Delete();  // deletes the object when m_bAutoDelete is set

    // For running the loop in place (tests, nested loops): dispatches queued
    // messages and the idle work once, without waiting.
    BOOL PumpWaitingMessages();

    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

    DECLARE_MESSAGE_MAP()

public:
    HANDLE m_hEventStarted = nullptr;  // signalled when the new thread runs (start-up use only)

protected:
    BOOL m_bInitOk = FALSE;
};

// Starts a worker thread running pfnThreadProc(pParam) at the given priority.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Creates an object of a CWinThread class and runs it as a user-interface thread.
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
CWinThread* AfxGetThread();
void AfxPostQuitMessage(int nExitCode);

// What the command line asked for.
class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo();
    ~CCommandLineInfo() override = default;

    // Called for each argument; flags start with '-' or '/'.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

// The application: one object of a class derived from CWinApp, made before
// the program's entry point runs (or by a test).
class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;  // from AFX_IDS_APP_TITLE, else the program's file name
    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszExeName = nullptr;       // the program's file name without extension
    LPCTSTR m_pszHelpFilePath = nullptr;  // the program's path with the extension ".HLP"
    LPCTSTR m_pszProfileName = nullptr;   // the application's key, or the .INI file without a registry key
    LPCTSTR m_pszRegistryKey = nullptr;   // set by SetRegistryKey

    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;
    virtual BOOL InitApplication();

    // Profile: HKEY_CURRENT_USER\Software\<registry key>\<application>\<section>
    // once SetRegistryKey ran, else the private .INI file named m_pszProfileName.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);  // null value deletes
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData,
                          UINT* pBytes);  // delete[] *ppData
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    HKEY GetAppRegistryKey();                 // caller closes
    HKEY GetSectionKey(LPCTSTR lpszSection);  // caller closes; created when missing

    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }
    HCURSOR LoadOEMCursor(UINT nIDCursor) const { return ::LoadCursor(nullptr, MAKEINTRESOURCE(nIDCursor)); }
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);

    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // ---- the document layer's share of the application ----
    // The virtual ones forward through AfxGetDocLayerHooks() and do nothing
    // while no document layer is linked; the others are defined by that layer.
    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    virtual BOOL SaveAllModified();
    void AddDocTemplate(CDocTemplate* pTemplate);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    void OnFileNew();
    void OnFileOpen();
    BOOL OnOpenRecentFile(UINT nID);
    void OnAppExit();  // closes the main window
    // The application's printer (defined by the document layer, which keeps
    // copies of the handles): jobs that name no printer use it.
    void SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld = TRUE);
    BOOL GetPrinterDeviceDefaults(struct tagPDA* pPrintDlg);

    DECLARE_MESSAGE_MAP()

protected:
    CString m_strAppName, m_strExeName, m_strHelpFilePath, m_strProfileName, m_strRegistryKey;
    std::unique_ptr<CProfileKeys> m_pProfileKeys;  // the profile's registry keys, opened once
    LONG WithSectionKey(LPCTSTR lpszSection, const std::function<LONG(HKEY)>& use);
    void SetDefaultNames();
};

// Entry points the document/view layer installs when its first object is made.
struct AFX_DOCLAYER_HOOKS {
    CDocument* (*pfnOpenDocumentFile)(CWinApp* pApp, LPCTSTR lpszFileName) = nullptr;
    void (*pfnAddToRecentFileList)(CWinApp* pApp, LPCTSTR lpszPathName) = nullptr;
    BOOL (*pfnSaveAllModified)(CWinApp* pApp) = nullptr;
    void (*pfnExitInstance)(CWinApp* pApp) = nullptr;  // e.g. saving the recent-file list
};
AFX_DOCLAYER_HOOKS& AfxGetDocLayerHooks();

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCTSTR AfxGetAppName();
// Fills the application's instance fields (the program's entry point does it; so can a test).
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
// The entry point's work: init, InitInstance, Run (or ExitInstance when InitInstance fails).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// The framework's message box: the application's caption, the active window as
// owner; through the core's message-box hook, so tests can answer it.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

BOOL AfxSocketInit(struct WSAData* lpwsaData = nullptr);

// The program is one module: window procedures that "switch to the
// application's module state" find nothing to switch.
struct AFX_MODULE_STATE {};
AFX_MODULE_STATE* AfxGetStaticModuleState();
AFX_MODULE_STATE* AfxGetAppModuleState();
#define AFX_MANAGE_STATE(p) (void)(p)
void AfxEnableControlContainer();
// Loads a string resource into rString; FALSE when missing.
BOOL AfxLoadString(UINT nID, CString& rString);

// The hour-glass for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { m_target.BeginWaitCursor(); }
    ~CWaitCursor() { m_target.EndWaitCursor(); }
    void Restore() { m_target.RestoreWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CCmdTarget m_target;  // the wait-cursor count is kept per thread
};

#define AFX_IDS_APP_TITLE 0xE000
#define ID_APP_EXIT       0xE141
#define ID_APP_ABOUT      0xE140
#define ID_HELP           0xE146
