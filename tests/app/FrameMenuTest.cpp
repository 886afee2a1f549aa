// The main menu in the running application: every item reaches a handler, the Layout menu's
// settings dialogs open over the main window and change the settings the canvas draws with, an
// opened design joins the recent-file list (a design saved as a name outside the code page is
// named as the user gave it there, in the save question and the caption), Save As Startup Design
// replaces the startup design without a question, marks its menu item, and says when it cannot
// write, and a save or Save As that fails on the way (a full disk, memory running out) says so
// once, naming the file.
#include <doctest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../AllocationCounter.h"
#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "menu/StyledMenu.h"
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

// A file dialog answered: the path typed as its file name and OK clicked.
void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND field = ::GetDlgItem(dialog, 1148);  // the file name (a combo box, or an edit field)
    if (field == nullptr) field = ::GetDlgItem(dialog, 1152);
    ::SetWindowTextW(field, path.c_str());
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

// The running program, its design written to a file of that name in a folder of its own.
struct SavedDesign {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    KorvanelleFrame* frame = nullptr;
    KorvanelleDoc* doc = nullptr;
    CString path;
    explicit SavedDesign(const char* name) {
        REQUIRE(run.Started());
        frame = GetMainFrame();
        doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
        REQUIRE(doc != nullptr);
        path = CString(folders.Root().c_str()) + "\\" + name;
        doc->SetPathName(path, FALSE);
        doc->OnFileSave();
    }
    // The File menu's first recent-file entry as the menu draws it when it opens.
    std::wstring FirstRecentFile() {
        HMENU file = ::GetSubMenu(::GetMenu(frame->m_hWnd), 0);
        frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)file, 0);
        CStyledMenu* menu = CStyledMenu::FromHandleStyled(file);
        CStyledMenuItemData* item = menu ? menu->FindItemData(ID_FILE_MRU_FILE1_CMD) : nullptr;
        return item ? AfxWideOf(item->m_strText) : std::wstring();
    }
};

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
    SavedDesign saved("Recent.kvl");
    KorvanelleDoc* doc = saved.doc;
    CString path = saved.path;
    std::wstring shown = AfxWideOf(path);
    // A long path shows shortened to 60 characters in the menu; the whole path opens.
    const std::wstring root = AfxWideOf(saved.folders.Root().c_str());
    auto saveIn = [&](int folders, const CString& name) {
        path = saved.folders.Root().c_str();
        for (char i = '1'; i < '1' + folders; ++i)
            REQUIRE(::CreateDirectoryA(path += "\\" + CString('f', 28) + "-" + i, nullptr));
        path += "\\" + name;
        doc->SetPathName(path, FALSE);
        doc->OnFileSave();
    };
    SUBCASE("its folders: the first, an ellipsis, the last that fit and the name") {
        saveIn(3, "Recent.kvl");
        shown = root.substr(0, root.find(L'\\', 3)) + L"\\...\\" + std::wstring(28, L'f') + L"-3\\Recent.kvl";
    }
    SUBCASE("its file name alone, cut before the extension") {
        saveIn(0, CString('n', 70) + ".kvl");
        shown = std::wstring(53, L'n') + L"....kvl";
    }
    REQUIRE(doc->LoadFile(path, 1, true, false));
    CHECK(saved.FirstRecentFile() == L"&1 " + shown);

    doc->NewFromTemplate(4, 0, 1);
    REQUIRE(doc->GetPathName() != path);
    saved.frame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1_CMD);
    CHECK(doc->GetPathName() == path);
    saved.run.Close();
}

TEST_CASE("a design saved as a name outside the code page: the question, recent list and caption name it") {
    SavedDesign saved("written.kvl");
    const std::wstring name =
        L"\x041E\x0431\x043B\x043E\x0436\x043A\x0430 \x0430\x043B\x044C\x0431\x043E\x043C\x0430.kvl";
    const std::wstring path = AfxWideOf(saved.folders.Root().c_str()) + L"\\" + name;
    KvMessageBoxCapture boxes(IDCANCEL);

    // File > Save As, the new name typed into its dialog.
    WhileDialogShows(
        "Save As",
        [&] {
            saved.frame->PostMessage(WM_COMMAND, ID_FILE_SAVE_AS_CMD);
            saved.run.Pump([&] { return saved.doc->GetPathName() != saved.path || !boxes.Boxes().empty(); },
                           15000);
        },
        [&](HWND dialog) { ChooseFile(dialog, path); });
    CHECK(boxes.Boxes().empty());
    CHECK(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(AfxWideOf(saved.doc->GetPathName()) == path);
    wchar_t caption[MAX_PATH] = {0};
    ::InternalGetWindowText(saved.frame->m_hWnd, caption, MAX_PATH);
    CHECK(std::wstring(caption) == name + L" - Korvanelle");
    CHECK(saved.FirstRecentFile() == L"&1 " + path);

    // An edit, then File > New: the question names it.
    saved.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    saved.frame->SendMessage(WM_COMMAND, ID_FILE_NEW_CMD);
    CHECK(AfxWideOf(boxes.LastText()) == L"Save changes to " + name + L"?");
    // Opened again from the recent-file list.
    saved.doc->NewFromTemplate(4, 0, 1);
    saved.frame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1_CMD);
    CHECK(AfxWideOf(saved.doc->GetPathName()) == path);
    // An entry an earlier version stored, through the file's short names, reads as its name.
    wchar_t shortPath[MAX_PATH] = {0};
    REQUIRE(::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH) > 0);
    saved.run.app.WriteProfileString("Recent File List", "File1", AfxSystemAnsiOf(shortPath));
    saved.run.app.LoadStdProfileSettings(4);
    CHECK(saved.FirstRecentFile() == L"&1 " + path);
    saved.run.Close();
}

TEST_CASE(
    "File > Save or Save As that fails on the way: one box with the path; the file kept, the design open and "
    "modified") {
    SavedDesign saved("Full.kvl");
    KorvanelleDoc* doc = saved.doc;
    const CString& path = saved.path;
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    const std::vector<char> before = ReadBytes(path);
    REQUIRE(before.size() > 100);
    saved.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(doc->IsModified());
    auto countObjects = [&] {
        int n = 0;
        view->m_design.ForEachObject([&](ViewObject*) { ++n; });
        return n;
    };
    const int objects = countObjects();
    std::unique_ptr<kvtest::FullDiskFile> full;
    UINT command = ID_FILE_SAVE_CMD;
    CString target = path;
    SUBCASE("the disk full where the save writes first, beside the file") {
        full.reset(new kvtest::FullDiskFile(KorvanelleDoc::SavingFileOf(path)));
        REQUIRE(full->made);
    }
    SUBCASE("the disk full beside the new name File > Save As was given") {
        command = ID_FILE_SAVE_AS_CMD;
        target = CString(saved.folders.Root().c_str()) + "\\Other.kvl";
        full.reset(new kvtest::FullDiskFile(KorvanelleDoc::SavingFileOf(target)));
        REQUIRE(full->made);
    }
    SUBCASE("memory running out as a long text is stored") {
        view->m_design.GetFirstSelected()->SetText(CString('x', 10000));
        saved.run.Pump([] { return true; }, 0);  // its layout and drawing done
        kvtest::FailNextAllocationFrom(8192);
    }

    KvMessageBoxCapture boxes;
    WhileDialogShows(
        "Save As",
        [&] {
            saved.frame->PostMessage(WM_COMMAND, command);
            saved.run.Pump([&] { return !boxes.Boxes().empty(); }, 10000);
        },
        [&](HWND dialog) { ChooseFile(dialog, AfxWideOf(target)); });
    kvtest::FailNextAllocationFrom(0);
    CHECK(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + target);
    CHECK(doc->IsModified());
    CHECK(doc->GetPathName() == path);
    CHECK(countObjects() == objects);  // the edit is still there
    CHECK(ReadBytes(path) == before);
    saved.run.Close();
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
