// The main menu in the running application: every item reaches a handler, the Layout menu's
// settings dialogs open over the main window and change the settings the canvas draws with, an
// opened design joins the recent-file list, and Save As Startup Design replaces the startup
// design without a question, marks its menu item, and says when it cannot write.
#include <doctest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "model/Folders.h"
#include "render/CanvasSettings.h"
#include "res/AppDialogsIds.h"
#include "res/CommandIds.h"

namespace {

void CollectCommands(HMENU menu, std::vector<UINT>& ids) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            CollectCommands(sub, ids);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, i);
        if (id != 0 && id != (UINT)-1) ids.push_back(id);
    }
}

// Runs `drive` on the dialog box of that caption once it shows while `start` runs (the splash,
// a dialog box too, may still be fading out).
const char* g_caption = nullptr;
std::function<void(HWND)> g_drive;

BOOL CALLBACK FindShownDialog(HWND w, LPARAM found) {
    char name[16] = {0}, caption[64] = {0};
    ::GetClassNameA(w, name, sizeof(name));
    ::GetWindowTextA(w, caption, sizeof(caption));
    if (::IsWindowVisible(w) && lstrcmpA(name, "#32770") == 0 && lstrcmpA(caption, g_caption) == 0) {
        *(HWND*)found = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindShownDialog, (LPARAM)&dialog);
    if (dialog == nullptr || !g_drive) return;
    ::KillTimer(nullptr, timer);
    auto drive = g_drive;
    g_drive = nullptr;
    drive(dialog);
}

void WhileDialogShows(const char* caption, const std::function<void()>& start,
                      const std::function<void(HWND)>& drive) {
    g_caption = caption;
    g_drive = drive;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveDialog);
    start();
    ::KillTimer(nullptr, timer);
    g_drive = nullptr;
}

std::vector<char> ReadBytes(const CString& path) {
    std::ifstream in((LPCSTR)path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_CASE("every item of the main menu reaches a handler") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    std::vector<UINT> ids;
    CollectCommands(::GetMenu(frame->m_hWnd), ids);
    CHECK(ids.size() >= 40);
    for (UINT id : ids) {
        // The recent-file placeholder is an item to be replaced, with nothing to open yet.
        if (id == ID_FILE_MRU_FILE1_CMD) continue;
        CAPTURE(id);
        AFX_CMDHANDLERINFO info = {};
        CHECK(frame->OnCmdMsg(id, CN_COMMAND, nullptr, &info));
    }
    run.Close();
}

TEST_CASE("Layout > Grid Size and Units open their dialogs over the main window") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    g_units = "Inches";

    HWND owner = nullptr;
    WhileDialogShows(
        "Grid Size", [&] { frame->SendMessage(WM_COMMAND, ID_GRID_SIZE); },
        [&](HWND dialog) {
            owner = ::GetWindow(dialog, GW_OWNER);
            ::SetDlgItemTextA(dialog, IDC_GRID_WIDTH, "0.250");
            ::SetDlgItemTextA(dialog, IDC_GRID_HEIGHT, "0.500");
            ::SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
    CHECK(owner == frame->m_hWnd);
    CHECK(g_gridSize[0] == 250);
    CHECK(g_gridSize[1] == 500);

    WhileDialogShows(
        "Units", [&] { frame->SendMessage(WM_COMMAND, ID_UNITS); },
        [&](HWND dialog) {
            ::SendDlgItemMessageA(dialog, IDC_UNITS_COMBO, CB_SETCURSEL, 1, 0);
            ::SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
    CHECK(g_units == "Millimeters");
    run.Close();
}

TEST_CASE("an opened design joins the recent-file list, which opens it again") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
    REQUIRE(doc != nullptr);
    const CString path = CString(folders.Root().c_str()) + "\\Recent.kvl";
    doc->SetPathName(path, FALSE);
    doc->OnFileSave();
    REQUIRE(doc->LoadFile(path, 1, true, false));

    // The File menu lists it when it opens.
    HMENU file = ::GetSubMenu(::GetMenu(frame->m_hWnd), 0);
    frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)file, 0);
    char text[MAX_PATH] = {0};
    ::GetMenuStringA(file, ID_FILE_MRU_FILE1_CMD, text, sizeof(text), MF_BYCOMMAND);
    CHECK(CString(text).Find("Recent.kvl") >= 0);

    doc->NewFromTemplate(4, 0, 1);
    REQUIRE(doc->GetPathName() != path);
    frame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1_CMD);
    CHECK(doc->GetPathName() == path);
    run.Close();
}

TEST_CASE(
    "File > Save As Startup Design replaces the startup design without a question and says when it cannot") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
    View* view = View::GetCurrent();
    REQUIRE(doc != nullptr);
    REQUIRE(view != nullptr);
    KvMessageBoxCapture boxes;
    const CString folder = g_openSaveFolder;
    g_openSaveFolder = CString(folders.Root().c_str()) + "\\designs";
    REQUIRE(::CreateDirectoryA(g_openSaveFolder, nullptr));
    const CString startup = g_openSaveFolder + "\\CD-Template-1-Disc.kvl";
    {
        std::ofstream out((LPCSTR)startup, std::ios::binary);
        out << "the user's earlier startup design";
    }
    const std::vector<char> earlier = ReadBytes(startup);
    doc->NewFromTemplate(4, 0, 1);
    frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(view->m_startupDesignSaved == 0);
    // The command as the menu posts it: the design is written over the earlier one, no box shows,
    // and the menu item gets its mark.
    frame->PostMessage(WM_COMMAND, ID_FILE_SAVE_STARTUP);
    CHECK(run.Pump([&] { return view->m_startupDesignSaved != 0; }, 10000));
    CHECK(boxes.Boxes().empty());
    const std::vector<char> written = ReadBytes(startup);
    CHECK(written != earlier);
    CHECK(written.size() > 100);

    // A startup design that cannot be written: the error is shown as for Save, and neither the
    // file nor the mark claims a save.
    frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(view->m_startupDesignSaved == 0);
    REQUIRE(::SetFileAttributesA(startup, FILE_ATTRIBUTE_READONLY));
    frame->PostMessage(WM_COMMAND, ID_FILE_SAVE_STARTUP);
    CHECK(run.Pump([&] { return !boxes.Boxes().empty(); }, 10000));
    ::SetFileAttributesA(startup, FILE_ATTRIBUTE_NORMAL);
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + startup);
    CHECK(view->m_startupDesignSaved == 0);
    CHECK(ReadBytes(startup) == written);
    g_openSaveFolder = folder;
    run.Close();
}
