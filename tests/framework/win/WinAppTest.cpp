// The application object, its message loop and idle work, threads, the
// profile, and a modeless dialog beside a user-interface thread.
#include <doctest.h>

#include <string>
#include <vector>

#include "framework/Win.h"
#include "GuiSupport.h"
#include "WinTestIds.h"

namespace {

HWND Host() {
    static HWND hWnd = ::CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                         400, 300, nullptr, nullptr, nullptr, nullptr);
    return hWnd;
}

std::vector<std::string> g_log;

// Records PreTranslateMessage and keys; the one marked as trap swallows keys.
class CTrapWnd : public CWnd {
public:
    std::string m_name;
    BOOL m_bTrap = FALSE;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN) {
            g_log.push_back("pre:" + m_name);
            return m_bTrap;
        }
        return FALSE;
    }
    void OnKeyDown(UINT, UINT, UINT) { g_log.push_back("key:" + m_name); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTrapWnd, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CIdleApp : public CWinApp {
public:
    CIdleApp() : CWinApp("KvIdleTest") {}
    std::vector<LONG> m_counts;
    int m_rounds = 0;
    HWND m_hWndKeyTarget = nullptr;
    BOOL OnIdle(LONG lCount) override {
        m_counts.push_back(lCount);
        CWinApp::OnIdle(lCount);
        if (lCount < 3) return TRUE;
        // The idle work is done: a new message starts it again, the second time we quit.
        if (++m_rounds == 1)
            ::PostMessage(m_hWndKeyTarget, WM_KEYDOWN, 'A', 0x001E0001);
        else
            ::PostQuitMessage(5);
        return FALSE;
    }
    int ExitInstance() override { return CWinApp::ExitInstance() + 100; }
};

}  // namespace

TEST_CASE("the message loop calls OnIdle with rising counts until FALSE and walks PreTranslateMessage") {
    // Nothing left over from the system before the loop starts.
    kvtest::PumpPending();
    CIdleApp app;
    REQUIRE(AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW));
    CHECK(AfxGetApp() == &app);
    CHECK(CString(app.m_pszAppName) == "KvIdleTest");
    CHECK(CString(app.m_pszHelpFilePath).Right(4) == ".HLP");

    CTrapWnd main, child;
    main.m_name = "main";
    main.m_bTrap = TRUE;
    child.m_name = "child";
    REQUIRE(main.CreateEx(0, nullptr, "main", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, Host(), nullptr));
    REQUIRE(child.CreateEx(0, nullptr, "child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, main.m_hWnd, nullptr));
    app.m_pMainWnd = &main;
    app.m_hWndKeyTarget = child.m_hWnd;
    CHECK(AfxGetMainWnd() == &main);

    int nResult = app.Run();
    CHECK(nResult == 105);
    CHECK(app.m_counts == std::vector<LONG>{0, 1, 2, 3, 0, 1, 2, 3});
    // The key went from the child up to the main window, which kept it.
    CHECK(g_log == std::vector<std::string>{"pre:child", "pre:main"});
    app.m_pMainWnd = nullptr;
}

TEST_CASE("the profile round-trips through the registry under Software\\<key>\\<application>") {
    CWinApp app("KvProfileTest");
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW);
    app.SetRegistryKey("KorvanelleTest");
    CHECK(CString(app.m_pszRegistryKey) == "KorvanelleTest");
    CHECK(CString(app.m_pszProfileName) == "KvProfileTest");

    CHECK(app.WriteProfileInt("Section", "Number", -17));
    CHECK(app.WriteProfileString("Section", "Text", "hello world"));
    BYTE bytes[] = {1, 2, 250, 0};
    CHECK(app.WriteProfileBinary("Section", "Bytes", bytes, sizeof(bytes)));

    CHECK((int)app.GetProfileInt("Section", "Number", 5) == -17);
    CHECK(app.GetProfileInt("Section", "Missing", 5) == 5u);
    CHECK(app.GetProfileString("Section", "Text") == "hello world");
    CHECK(app.GetProfileString("Section", "Missing", "dflt") == "dflt");
    CHECK(app.GetProfileString("Other", "Text") == "");
    // A string value is not an integer.
    CHECK(app.GetProfileInt("Section", "Text", 9) == 9u);
    BYTE* pData = nullptr;
    UINT nBytes = 0;
    REQUIRE(app.GetProfileBinary("Section", "Bytes", &pData, &nBytes));
    CHECK(nBytes == 4u);
    CHECK(pData[2] == 250);
    delete[] pData;

    // The values live where the registry key says.
    HKEY hKey = nullptr;
    REQUIRE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KorvanelleTest\\KvProfileTest\\Section", 0,
                            KEY_READ, &hKey) == ERROR_SUCCESS);
    DWORD dwValue = 0, dwSize = sizeof(dwValue), dwType = 0;
    CHECK(::RegQueryValueExA(hKey, "Number", nullptr, &dwType, (LPBYTE)&dwValue, &dwSize) == ERROR_SUCCESS);
    CHECK(dwType == REG_DWORD);
    CHECK((int)dwValue == -17);
    ::RegCloseKey(hKey);

    // A null value deletes the entry, a null entry the section.
    CHECK(app.WriteProfileString("Section", "Text", nullptr));
    CHECK(app.GetProfileString("Section", "Text", "gone") == "gone");
    CHECK(app.WriteProfileString("Section", nullptr, nullptr));
    CHECK(app.GetProfileInt("Section", "Number", 5) == 5u);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvanelleTest\\KvProfileTest");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvanelleTest");
}

TEST_CASE("the profile's keys, kept open, follow keys deleted behind their back") {
    CWinApp app("KvProfileKeysTest");
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW);
    app.SetRegistryKey("KorvanelleTest");
    auto readBack = [](const char* section) {
        HKEY hKey = nullptr;
        const std::string path = std::string("Software\\KorvanelleTest\\KvProfileKeysTest\\") + section;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return -1;
        DWORD value = 0, size = sizeof(value), type = 0;
        const LONG r = ::RegQueryValueExA(hKey, "N", nullptr, &type, (LPBYTE)&value, &size);
        ::RegCloseKey(hKey);
        return r == ERROR_SUCCESS ? (int)value : -1;
    };
    CHECK(app.WriteProfileInt("Keys", "N", 1));
    CHECK(readBack("Keys") == 1);
    // Another program (or a test's clean-up) removes the section, then the whole application key:
    // what is written next still lands in the registry, and reads see it.
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvanelleTest\\KvProfileKeysTest\\Keys");
    CHECK(app.GetProfileInt("Keys", "N", 7) == 7u);
    CHECK(app.WriteProfileInt("Keys", "N", 2));
    CHECK(readBack("Keys") == 2);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KorvanelleTest\\KvProfileKeysTest");
    CHECK(app.WriteProfileInt("Keys", "N", 3));
    CHECK(readBack("Keys") == 3);
    CHECK(app.GetProfileInt("Keys", "N", 7) == 3u);
    // A section deleted through the profile is written again afresh.
    CHECK(app.WriteProfileString("Keys", nullptr, nullptr));
    CHECK(readBack("Keys") == -1);
    CHECK(app.WriteProfileInt("Keys", "N", 4));
    CHECK(readBack("Keys") == 4);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KorvanelleTest\\KvProfileKeysTest");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KorvanelleTest");
}

TEST_CASE("the command line is parsed into file name and shell command") {
    struct CTestInfo : public CCommandLineInfo {
        void Feed(std::vector<std::pair<const char*, BOOL>> params) {
            for (size_t i = 0; i < params.size(); i++)
                ParseParam(params[i].first, params[i].second, i + 1 == params.size());
        }
    };
    CTestInfo none;
    CHECK(none.m_nShellCommand == CCommandLineInfo::FileNew);
    CTestInfo open;
    open.Feed({{"C:\\a.kvl", FALSE}});
    CHECK(open.m_nShellCommand == CCommandLineInfo::FileOpen);
    CHECK(open.m_strFileName == "C:\\a.kvl");
    CTestInfo print;
    print.Feed({{"p", TRUE}, {"x.kvl", FALSE}});
    CHECK(print.m_nShellCommand == CCommandLineInfo::FilePrint);
    CHECK(print.m_strFileName == "x.kvl");
}

namespace {

volatile LONG g_workerResult = 0;
volatile LONG g_workerPriority = -99;

UINT __cdecl Worker(LPVOID pParam) {
    g_workerPriority = ::GetThreadPriority(::GetCurrentThread());
    ::Sleep(60);
    ::InterlockedExchange(&g_workerResult, (LONG)(INT_PTR)pParam);
    return 0;
}

// Polls the worker's result with a window timer, as the application's dialogs do.
class CPollWnd : public CWnd {
public:
    LONG m_seen = 0;
    int m_ticks = 0;
    void OnTimer(UINT_PTR) {
        ++m_ticks;
        if (g_workerResult != 0 && m_seen == 0) {
            m_seen = g_workerResult;
            KillTimer(1);
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPollWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

TEST_CASE("a worker thread's result is seen by a window timer") {
    CPollWnd poll;
    REQUIRE(poll.CreateEx(0, nullptr, "poll", WS_CHILD, 0, 0, 10, 10, Host(), nullptr));
    poll.SetTimer(1, 10);
    CWinThread* pThread = AfxBeginThread(Worker, (LPVOID)42, THREAD_PRIORITY_HIGHEST);
    REQUIRE(pThread != nullptr);
    CHECK(kvtest::PumpUntil([&] { return poll.m_seen != 0; }, 5000));
    CHECK(poll.m_seen == 42);
    CHECK(poll.m_ticks >= 2);  // the timer polled before the result was there
    CHECK(g_workerPriority == THREAD_PRIORITY_HIGHEST);
    poll.DestroyWindow();
}

namespace {

volatile LONG g_uiTicks = 0;
volatile LONG g_uiExited = 0;
volatile HWND g_uiWindow = nullptr;

class CTickWnd : public CWnd {
public:
    void OnTimer(UINT_PTR) { ::InterlockedIncrement(&g_uiTicks); }
    void OnClose() { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTickWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

// A thread with its own window and message loop.
class CUiThread : public CWinThread {
    DECLARE_DYNCREATE(CUiThread)
public:
    CUiThread() { m_bAutoDelete = FALSE; }
    BOOL InitInstance() override {
        CTickWnd* pWnd = new CTickWnd;
        if (!pWnd->CreateEx(0, nullptr, "ui thread", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr)) return FALSE;
        pWnd->SetTimer(1, 15);
        m_pMainWnd = pWnd;
        g_uiWindow = pWnd->m_hWnd;
        return TRUE;
    }
    int ExitInstance() override {
        ::InterlockedExchange(&g_uiExited, 1);
        return CWinThread::ExitInstance();
    }
};

IMPLEMENT_DYNCREATE(CUiThread, CWinThread)

class CModeless : public CDialog {
public:
    int m_pings = 0;
    void OnPing() {
        ++m_pings;
        CListBox* pList = (CListBox*)GetDlgItem(IDC_LIST);
        pList->AddString("ping");
    }
    void PostNcDestroy() override { m_bGone = TRUE; }
    BOOL m_bGone = FALSE;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModeless, CDialog)
    ON_BN_CLICKED(IDC_PING, OnPing)
END_MESSAGE_MAP()

}  // namespace

TEST_CASE("a modeless dialog and a user-interface thread that owns a window work side by side") {
    CModeless dlg;
    REQUIRE(dlg.Create(IDD_MODELESS, CWnd::FromHandle(Host())));
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    CHECK(CWnd::FromHandlePermanent(dlg.m_hWnd) == &dlg);

    CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CUiThread));
    REQUIRE(pThread != nullptr);
    REQUIRE(kvtest::PumpUntil([] { return g_uiWindow != nullptr; }, 5000));
    HWND hWndUi = g_uiWindow;
    // The window belongs to the other thread, and so does its object.
    CHECK(::GetWindowThreadProcessId(hWndUi, nullptr) == pThread->m_nThreadID);
    CHECK(CWnd::FromHandlePermanent(hWndUi) == nullptr);

    HWND hWndPing = ::GetDlgItem(dlg.m_hWnd, IDC_PING);
    LONG ticksBefore = g_uiTicks;
    for (int i = 0; i < 3; i++) {
        ::PostMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PING, BN_CLICKED), (LPARAM)hWndPing);
        kvtest::PumpPending();
    }
    CHECK(kvtest::PumpUntil([&] { return dlg.m_pings == 3 && g_uiTicks >= ticksBefore + 3; }, 5000));
    CHECK(dlg.SendDlgItemMessage(IDC_LIST, LB_GETCOUNT) == 3);

    // Closing the thread's main window ends its loop.
    ::PostMessage(hWndUi, WM_CLOSE, 0, 0);
    CHECK(::WaitForSingleObject(pThread->m_hThread, 10000) == WAIT_OBJECT_0);
    CHECK(g_uiExited == 1);
    delete pThread;

    dlg.DestroyWindow();
    CHECK(dlg.m_bGone);
}

TEST_CASE("AfxMessageBox goes through the message-box hook") {
    CWinApp app("KvBoxTest");
    KvMessageBoxCapture boxes(IDNO);
    CHECK(AfxMessageBox("Question?", MB_YESNO) == IDNO);
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.Boxes()[0].text == "Question?");
    CHECK((boxes.Boxes()[0].type & MB_ICONQUESTION) == MB_ICONQUESTION);
    CHECK(boxes.Boxes()[0].caption == "KvBoxTest");
}
