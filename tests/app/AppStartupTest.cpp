// The application from start-up to File > Exit, with a settings folder and a profile of its own:
// the frame, its menu and caption, the files written at shut-down, and a run that stops at the
// graphics-library test writing nothing.
#include <doctest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "app/Settings.h"
#include "canvas/View.h"
#include "menu/StyledMenu.h"
#include "res/CommandIds.h"

namespace {

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MenuText(HMENU menu, int position) {
    char text[128] = {0};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text) - 1;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return text;
}

// The picture of a main-menu item: the icon set and the image in it (null and -1 for none).
std::pair<CStyledMenuIcons*, int> ItemImage(KorvanelleFrame* frame, UINT command) {
    CStyledMenuItemData* item = frame->m_defaultMenu.FindItemData(command);
    return item ? std::make_pair(item->m_pIcons, item->m_nImage) : std::make_pair(nullptr, -1);
}

bool IsChecked(KorvanelleFrame* frame, UINT command) {
    return (::GetMenuState(frame->m_defaultMenu.m_hMenu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// While a menu is open (its own modal loop): whether the menu had its pictures, then closes it.
KorvanelleFrame* g_openFrame = nullptr;
int g_menuSeen = 0;  // 0 not yet, 1 open without pictures, 2 open with them
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = ::FindWindowA("#32768", nullptr);
    if (popup == nullptr || !::IsWindowVisible(popup)) return;
    ::KillTimer(nullptr, timer);
    g_menuSeen = ItemImage(g_openFrame, ID_FILE_OPEN_CMD).first != nullptr ? 2 : 1;
    ::EndMenu();
}

// Dispatches the queue one message at a time as the program's loop does, but runs none of its
// idle work, until done() holds; false after 10 s.
bool PumpWithoutIdle(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > 10000) return false;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT || !AfxGetApp()->PumpMessage()) return false;
    }
    return true;
}

void DropQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

}  // namespace

TEST_CASE("the application starts with its frame hidden, shows it, and File > Exit writes the settings") {
    kvtest::TemporaryUserFolders folders;
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    REQUIRE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL));
    REQUIRE(app.InitInstance());
    CStringArray installedFonts;

    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame != nullptr);
    CHECK(frame->GetActiveDocument() != nullptr);
    CHECK(frame->GetActiveView() != nullptr);
    CHECK(g_settingsFolder == CString(folders.SettingsFolder().c_str()));
    CHECK(app.m_clipboardFormat != 0);

    // The font name box stays empty while the frame starts (listing the families is slow)...
    CComboFont& fonts = frame->m_toolProperties.m_fontName;
    CHECK_FALSE(fonts.IsFontListFilled());
    CHECK(fonts.GetCount() == 0);

    // Shown by the view's start-up once the splash is done, not before.
    bool filledWhileHidden = false;
    REQUIRE(kvtest::PumpApp(
        app,
        [&] {
            if (IsWindowVisible(frame->m_hWnd)) return true;
            filledWhileHidden = filledWhileHidden || fonts.IsFontListFilled();
            return false;
        },
        10000));
    // ...and is filled at the first idle time after the frame shows, not during the splash.
    CHECK_FALSE(filledWhileHidden);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return fonts.IsFontListFilled(); }, 10000));
    CComboFont::GetInstalledFontNames(installedFonts);
    CHECK(fonts.GetCount() == installedFonts.GetSize());

    char caption[128] = {0};
    GetWindowTextA(frame->m_hWnd, caption, sizeof(caption));
    CHECK(std::string(caption) == "Untitled.kvl - Korvanelle");

    HMENU bar = GetMenu(frame->m_hWnd);
    REQUIRE(bar != nullptr);
    CHECK(GetMenuItemCount(bar) == 5);
    HMENU view = GetSubMenu(bar, 2);
    REQUIRE(view != nullptr);
    // The View popup holds the bar toggles and a Toolbars sub-popup (owner-drawn items keep
    // their command ids).
    CHECK(GetMenuState(view, ID_VIEW_TEXT_EDITOR, MF_BYCOMMAND) != (UINT)-1);
    CHECK(GetMenuState(view, ID_VIEW_PROPERTIES_TOOLBAR, MF_BYCOMMAND) != (UINT)-1);
    CHECK(GetMenuState(bar, ID_HELP_WEBSITE, MF_BYCOMMAND) != (UINT)-1);
    (void)MenuText;

    // Minimum track size: 845 client pixels wide, 600 pixels high.
    MINMAXINFO info = {};
    SendMessageA(frame->m_hWnd, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    RECT window, client;
    GetWindowRect(frame->m_hWnd, &window);
    GetClientRect(frame->m_hWnd, &client);
    CHECK(info.ptMinTrackSize.x == (window.right - window.left) - (client.right - client.left) + 845);
    CHECK(info.ptMinTrackSize.y == 600);

    const std::string preferences = folders.SettingsFolder() + "\\preferences.ini";
    CHECK_FALSE(FileExists(preferences));
    HWND hFrame = frame->m_hWnd;
    PostMessageA(hFrame, WM_COMMAND, ID_APP_EXIT_CMD, 0);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return !IsWindow(hFrame); }, 10000));
    app.ExitInstance();
    DropQuit();
    CHECK(FileExists(preferences));
    CHECK(FileExists(folders.SettingsFolder() + "\\printers.ini"));
    CHECK(app.m_printers.GetSize() == 0);  // freed at shut-down
    CHECK(app.m_pMainWnd == nullptr);
}

TEST_CASE("the main menu gets its pictures at the first idle time, or when it opens before that") {
    kvtest::TemporaryUserFolders folders;
    KorvanelleFrame* frame = nullptr;
    bool shownBare = false, grid = false;
    std::vector<bool> barsChecked;
    SUBCASE("at idle time, keeping the check marks set meanwhile") {
        kvtest::RunningApp run([&] {
            frame = GetMainFrame();
            if (frame == nullptr || !PumpWithoutIdle([&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }))
                return;
            // Shown without them: the pictures are no part of the first picture on the screen.
            shownBare = !frame->IsMenuDecorated() && ItemImage(frame, ID_FILE_OPEN_CMD).first == nullptr;
            for (const auto& bar : frame->Bars()) barsChecked.push_back(IsChecked(frame, bar.command));
            grid = IsChecked(frame, ID_SHOW_GRID);
        });
        REQUIRE(run.Started());
        REQUIRE(frame != nullptr);
        CHECK(shownBare);
        REQUIRE(barsChecked.size() == frame->Bars().size());
        REQUIRE(run.Pump([&] { return frame->IsMenuDecorated(); }, 10000));
        CHECK(ItemImage(frame, ID_FILE_OPEN_CMD).first != nullptr);
        CHECK(ItemImage(frame, ID_FILE_OPEN_CMD).second >= 0);
        CHECK(ItemImage(frame, ID_EDIT_UNDO_CMD).first != nullptr);
        // Every bar is shown on a first run, and its item keeps its check mark.
        for (size_t i = 0; i < barsChecked.size(); ++i) {
            CAPTURE(i);
            CHECK(barsChecked[i]);
            CHECK(IsChecked(frame, frame->Bars()[i].command));
        }
        CHECK(IsChecked(frame, ID_SHOW_GRID) == grid);
        // A command used at once still works: Show Grid toggles its check mark.
        frame->PostMessage(WM_COMMAND, ID_SHOW_GRID, 0);
        CHECK(run.Pump([&] { return IsChecked(frame, ID_SHOW_GRID) != grid; }, 5000));
    }
    SUBCASE("a menu opened with its key before the idle time") {
        UINT_PTR timer = 0;
        kvtest::RunningApp run([&] {
            frame = GetMainFrame();
            if (frame == nullptr || !PumpWithoutIdle([&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }))
                return;
            shownBare = !frame->IsMenuDecorated();
            g_openFrame = frame;
            g_menuSeen = 0;
            timer = ::SetTimer(nullptr, 0, 20, CloseOpenMenu);
            // Alt+F, as the keyboard sends it: the File menu opens in the frame's menu loop.
            frame->PostMessage(WM_SYSKEYDOWN, 'F', 0x20000001);
            frame->PostMessage(WM_SYSKEYUP, 'F', 0xE0000001);
            PumpWithoutIdle([&] { return g_menuSeen != 0; });
            ::KillTimer(nullptr, timer);
        });
        REQUIRE(run.Started());
        CHECK(shownBare);
        CHECK(g_menuSeen == 2);
    }
    SUBCASE("closed before the idle time") {
        bool closed = false;
        kvtest::RunningApp run([&] {
            frame = GetMainFrame();
            if (frame == nullptr || !PumpWithoutIdle([&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }))
                return;
            shownBare = !frame->IsMenuDecorated();
            const HWND window = frame->m_hWnd;
            frame->GetActiveDocument()->SetModifiedFlag(FALSE);
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            closed = PumpWithoutIdle([&] { return !::IsWindow(window); });
        });
        CHECK(shownBare);
        CHECK(closed);
        run.Close();  // the shut-down runs with the menu never decorated
        DropQuit();
    }
}

TEST_CASE("ending the Windows session asks about the design and saves the settings") {
    kvtest::TemporaryUserFolders folders;
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    REQUIRE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL));
    REQUIRE(app.InitInstance());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame != nullptr);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }, 10000));
    CDocument* doc = frame->GetActiveDocument();
    REQUIRE(doc != nullptr);
    HWND hFrame = frame->m_hWnd;

    doc->SetModifiedFlag(TRUE);
    {
        KvMessageBoxCapture boxes;
        boxes.m_result = IDCANCEL;
        CHECK(SendMessageA(hFrame, WM_QUERYENDSESSION, 0, 0) == FALSE);
        CHECK(boxes.Boxes().size() == 1);
        CHECK(doc->IsModified());
    }
    // "No" drops the design only when the session really ends.
    {
        KvMessageBoxCapture boxes;
        boxes.m_result = IDNO;
        CHECK(SendMessageA(hFrame, WM_QUERYENDSESSION, 0, 0) == TRUE);
        CHECK(doc->IsModified());
    }
    const std::string preferences = folders.SettingsFolder() + "\\preferences.ini";
    // A session that goes on after all saves nothing, and the design is still asked about.
    SendMessageA(hFrame, WM_ENDSESSION, FALSE, 0);
    CHECK_FALSE(FileExists(preferences));
    CHECK(doc->IsModified());
    {
        KvMessageBoxCapture boxes;
        boxes.m_result = IDNO;
        CHECK(SendMessageA(hFrame, WM_QUERYENDSESSION, 0, 0) == TRUE);
        CHECK(boxes.Boxes().size() == 1);
    }
    SendMessageA(hFrame, WM_ENDSESSION, TRUE, 0);
    CHECK_FALSE(doc->IsModified());
    // Nothing to ask about any more.
    {
        KvMessageBoxCapture boxes;
        CHECK(SendMessageA(hFrame, WM_QUERYENDSESSION, 0, 0) == TRUE);
        CHECK(boxes.Boxes().empty());
    }
    CHECK(FileExists(preferences));
    CHECK(FileExists(folders.SettingsFolder() + "\\printers.ini"));
    // Saved once: shut-down does not write it again.
    DeleteFileA(preferences.c_str());
    DestroyWindow(hFrame);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return !IsWindow(hFrame); }, 10000));
    app.ExitInstance();
    DropQuit();
    CHECK_FALSE(FileExists(preferences));
}

namespace {

// The program's command line for one start: the C run-time's argument vector, put back after.
class CommandLine {
public:
    explicit CommandLine(const CString& file) : m_file(file), m_argc(__argc), m_argv(__argv) {
        m_args[0] = const_cast<char*>("Korvanelle.exe");
        m_args[1] = const_cast<char*>((LPCSTR)m_file);
        __argc = 2;
        __argv = m_args;
    }
    ~CommandLine() {
        __argc = m_argc;
        __argv = m_argv;
    }

private:
    CString m_file;
    int m_argc;
    char** m_argv;
    char* m_args[3] = {nullptr, nullptr, nullptr};
};

std::string Caption(CWnd* frame) {
    char caption[MAX_PATH] = {0};
    GetWindowTextA(frame->m_hWnd, caption, sizeof(caption));
    return caption;
}

}  // namespace

TEST_CASE("a design named on the command line is opened at start; one that cannot be read falls back") {
    kvtest::TemporaryUserFolders folders;
    const CString path = CString(folders.Root().c_str()) + "\\Cover.kvl";
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        CDocument* doc = GetMainFrame()->GetActiveDocument();
        doc->SetPathName(path, FALSE);
        dynamic_cast<KorvanelleDoc*>(doc)->OnFileSave();
        REQUIRE(FileExists((LPCSTR)path));
        run.Close();
    }
    {
        CommandLine line(path);
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        CHECK(run.app.m_commandLineFile == path);
        CHECK(GetMainFrame()->GetActiveDocument()->GetPathName() == path);
        CHECK(Caption(GetMainFrame()) == "Cover.kvl - Korvanelle");
        run.Close();
    }
    {
        KvMessageBoxCapture boxes;
        CommandLine line(path + ".missing");
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.Boxes()[0].text.Find("Error opening file:") == 0);
        CHECK(Caption(GetMainFrame()) == "Untitled.kvl - Korvanelle");
        run.Close();
    }
}

TEST_CASE("a main window stored outside every screen opens on the work area") {
    kvtest::TemporaryUserFolders folders;
    // A preferences.ini whose window placement lies millions of pixels off the screen.
    char source[MAX_PATH] = {0};
    GetFullPathNameA("preferences-window-off-screen.ini", MAX_PATH, source, nullptr);
    CreateDirectoryA(folders.SettingsFolder().c_str(), nullptr);
    REQUIRE(CopyFileA(source, (folders.SettingsFolder() + "\\preferences.ini").c_str(), FALSE));

    kvtest::RunningApp run;
    REQUIRE(run.Started());
    CHECK(g_firstRun == 0);  // the file was read
    HWND frame = GetMainFrame()->m_hWnd;
    RECT work = {}, window = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(frame, &window);
    CHECK(MonitorFromWindow(frame, MONITOR_DEFAULTTONULL) != nullptr);
    CHECK(window.left >= work.left);
    CHECK(window.top >= work.top);
    CHECK(window.right <= work.right);
    CHECK(window.bottom <= work.bottom);
    CHECK(window.right - window.left >= 845);  // usable, not a sliver
    run.Close();
}

TEST_CASE("closing the program during a colour render waits for the render before GDI+ shuts down") {
    kvtest::TemporaryUserFolders folders;
    std::thread render;
    std::atomic<int> ranWithGdiplus{-1};
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        View* view = View::GetCurrent();
        REQUIRE(view != nullptr);
        const CString picture = CString(folders.Root().c_str()) + "\\photo.png";
        REQUIRE(kvtest::WriteTestPng(picture));
        ViewObject* side = view->m_design.GetCurrentSide();
        REQUIRE(side != nullptr);
        ViewObject* image = view->InsertImageObject(
            CRect(side->left + 500, side->top + 500, side->left + 2100, side->top + 1700), picture, false);
        REQUIRE(image != nullptr);
        REQUIRE(run.Pump([&] { return image->adjustedImage != nullptr; }, 10000));  // drawn once

        // The render runs on a thread of its own and takes a while (1.5 s) before it uses GDI+.
        ViewSelect::SetHslExecutor([&](std::function<void()> task) {
            render = std::thread([task, &ranWithGdiplus]() mutable {
                ::Sleep(1500);
                ranWithGdiplus = g_gdiplusToken != 0 ? 1 : 0;
                if (ranWithGdiplus) {
                    task();
                } else {
                    // GDI+ is gone: touching the job's bitmaps now is the fault itself.
                    AppCanvasState::Get().m_hslThreadRunning = 0;
                    new std::function<void()>(std::move(task));  // never freed
                }
            });
        });
        view->m_select.SetImageHsl(60, 10, -10, TRUE);  // what a slider move asks for
        REQUIRE(render.joinable());
        run.Close();
    }
    if (render.joinable()) render.join();
    ViewSelect::SetHslExecutor(nullptr);
    CHECK(ranWithGdiplus == 1);
}

TEST_CASE("a graphics library that loads but does not start stops the start like a missing one") {
    kvtest::TemporaryUserFolders folders;
    KvMessageBoxCapture boxes;
    int (*const realStart)(ULONG_PTR*) = KorvanelleApp::s_startGdiplus;
    KorvanelleApp::s_startGdiplus = [](ULONG_PTR* token) {
        *token = 0;
        return 2;  // GenericError
    };
    {
        KorvanelleApp app;
        app.m_pszAppName = kvtest::kTestProfileName;
        REQUIRE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL));
        CHECK_FALSE(app.InitInstance());
        CHECK(app.m_pMainWnd == nullptr);
        CHECK_FALSE(app.m_gdiplusStarted);
        app.ExitInstance();
        DropQuit();
    }
    KorvanelleApp::s_startGdiplus = realStart;
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText().Find("Korvanelle requires gdiplus.dll") == 0);
    // Nothing was written: no settings folder, no profile.
    CHECK_FALSE(FileExists(folders.SettingsFolder()));
    HKEY profile = nullptr;
    const std::string key = std::string("Software\\Korvanelle\\") + kvtest::kTestProfileName;
    CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &profile) != ERROR_SUCCESS);
    if (profile) RegCloseKey(profile);
}
