// The application object: start-up, the idle work of the message loop, shut-down, opening a
// document by path, the About box and help topics. It also carries the state that several parts
// of the program share through it (the view pointer, the printer set-ups, the flags through which
// worker threads and bars talk to the user-interface thread).
#pragma once

#include "app/DlgSplash.h"
#include "bars/ImagePanelState.h"
#include "canvas/AppCanvasState.h"
#include "disc/ReadCdState.h"
#include "framework/DocView.h"
#include "print/PrinterSetups.h"

class KorvanelleApp : public CWinApp,
                      public AppCanvasState,
                      public PrinterSetups,
                      public ImagePanelState,
                      public ReadCdState {
    DECLARE_MESSAGE_MAP()
public:
    KorvanelleApp();
    ~KorvanelleApp() override;

    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    // Every message taken from the queue: characters typed on the canvas and still waiting for
    // the idle time go in before input that may change where they would land.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int ExitInstance() override;
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;

    void OnAppAbout();
    void ShowHelpContext(HWND hOwner, DWORD contextId);

    // Steps of start-up.
    bool CheckGdiPlus();
    void LoadThemeResources();
    void SetHelpFilePath();

    // Forwards to HtmlHelpA of the HTML Help control; 0 when the control cannot be loaded.
    static HWND CallHtmlHelp(HWND hCaller, LPCSTR file, UINT command, DWORD_PTR data);

    // The settings and printers are saved once per run: at shut-down, or earlier when Windows ends
    // the session (the process may be ended before ExitInstance runs).
    void SaveStateForExit();

    // New printable areas while the guides are shown: the view draws its guide again.
    void OnPrintableAreasChanged() override;

    // The start-up splash window.
    DlgSplash m_splash;
    // GDI+ was found and started; shut-down work runs only when it is set.
    BYTE m_gdiplusStarted = 0;
    // Starts GDI+ and gives its status (0 when started); tests put in a start that fails.
    static int (*s_startGdiplus)(ULONG_PTR* token);

private:
    // The parts of start-up, idle work and shut-down that belong to the splash, printing and the
    // canvas, each in one place so that the sequences above read as the steps they are.
    void StartSplash();
    void StartLightScribe();
    void LoadPrinters();
    void StartView();
    // Start-up work the shown frame does not need, done once at the first idle time after the
    // frame is on the screen (its parts also do it earlier when first needed).
    bool RunDeferredStartup();
    void SaveLightScribe();
    void SavePrinters();
    void ShowAbout();

    // Shut-down: asks the image panel's workers to stop and waits, at most `timeoutMs` in all, for
    // them and for the colour worker; frees the panel's records once its workers ended. True
    // when every worker ended.
    bool EndWorkers(DWORD timeoutMs);
    // How long shut-down waits for a worker still in the middle of a picture (the window is
    // already closed).
    static const DWORD kExitWorkerWaitMs = 10000;

    bool m_stateSaved = false;
    bool m_deferredStartupDone = false;
    // Idle calls of the current idle time taken by the program's own idle work.
    LONG m_ownIdleCalls = 0;
};

// The token of GdiplusStartup.
extern ULONG_PTR g_gdiplusToken;

// The help-file path rule: every "\.\" and then every "\..\" becomes a single backslash, then
// ".HLP" becomes ".chm".
CString MakeHelpFilePath(const CString& frameworkPath);

// The one application object (null before it is made).
KorvanelleApp* GetKorvanelleApp();
