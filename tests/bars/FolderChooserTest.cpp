// The image folder chooser on its own thread: the controls it adds to the shell's folder dialog,
// a folder clicked loading the panel with the chosen file type, the progress in the title, the
// choices reaching the settings by message, and closing it (also by destroying the panel).
#include <doctest.h>

#include <functional>
#include <string>

#include "GuiSupport.h"
#include "ImageFolderFixture.h"
#include "ImagePanelFrame.h"
#include "bars/ImageLoadThreads.h"
#include "bars/DlgFolderSelect.h"
#include "bars/ImageBrowseSettings.h"
#include "controls/DialogPositions.h"
#include "framework/core/OperationError.h"
#include "res/ImagePanelIds.h"

using namespace kvtest;

namespace {

const int kShellTreeId = 14145;  // the folder tree of the shell's dialog
const DWORD kAnswerMs = 20000;    // the longest a message to the chooser's thread may take

// Each step is written out as it begins: should the chooser's thread stop answering, the time-out
// report shows where.
void Step(const char* what) {
    static const DWORD start = GetTickCount();
    fprintf(stderr, "[%6lu ms] %s\n", (unsigned long)(GetTickCount() - start), what);
    fflush(stderr);
}

// A message sent to a window of the chooser's thread: 0 when it is not answered in time.
LRESULT SendToChooser(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD ms = kAnswerMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, ms, &result)) {
        fprintf(stderr, "no answer to message %#x within %lu ms\n", message, (unsigned long)ms);
        return 0;
    }
    return (LRESULT)result;
}

ImagePanelState& State() {
    return *ImagePanelState::Get();
}

CString Text(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return CString(text);
}

// The title as the dialog base keeps it: blanks trimmed under visual styles, one leading blank
// without them.
CString Title(HWND window) {
    CString text = Text(window);
    text.Trim();
    return text;
}

// The text of the folder the shell dialog's tree has selected ("" when none). Sent to the tree,
// which answers only when the chooser's thread takes its messages again: never in the middle of
// the dialog's set-up.
CString SelectedFolder(HWND shell) {
    HWND tree = GetDlgItem(shell, kShellTreeId);
    if (tree == nullptr) return CString();
    const HTREEITEM item = (HTREEITEM)SendToChooser(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, 1000);
    if (item == nullptr) return CString();
    char text[MAX_PATH] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof(text);
    if (!SendToChooser(tree, TVM_GETITEMA, 0, (LPARAM)&tv, 1000)) return CString();
    return CString(text);
}

// The items of the shell dialog's tree that are shown, one a line, indented by depth, the selected
// one marked: what the tree looked like when a selection was not made.
std::string TreeOutline(HWND shell) {
    HWND tree = GetDlgItem(shell, kShellTreeId);
    if (tree == nullptr) return "(no tree)";
    const HTREEITEM selected = (HTREEITEM)SendToChooser(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, 1000);
    std::string outline;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
        for (; item != nullptr; item = (HTREEITEM)SendToChooser(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item, 1000)) {
            char text[MAX_PATH] = {};
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT | TVIF_STATE;
            tv.stateMask = TVIS_EXPANDED;
            tv.hItem = item;
            tv.pszText = text;
            tv.cchTextMax = sizeof(text);
            SendToChooser(tree, TVM_GETITEMA, 0, (LPARAM)&tv, 1000);
            outline += std::string(depth * 2, ' ') + text + (item == selected ? "  <- selected" : "") + "\n";
            if (tv.state & TVIS_EXPANDED)
                walk((HTREEITEM)SendToChooser(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item, 1000), depth + 1);
        }
    };
    walk((HTREEITEM)SendToChooser(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, 1000), 0);
    return outline;
}

// Opens the chooser and waits until it is ready for a user: its controls added and its own first
// selection (the folder it opens on) made and done with. A selection made before that would be
// taken for the chooser's own and start no search.
HWND OpenChooser(ImagePanelFrame* frame, const char* firstFolder) {
    Step("opening the chooser");
    frame->m_bar.SendMessage(WM_COMMAND, IDC_IMAGE_FOLDER_BUTTON, 0);
    HWND shell = nullptr;
    PumpUntil(
        [&] {
            shell = State().m_folderSelectDialog;
            return shell != nullptr && GetDlgItem(shell, IDC_BROWSE_CLOSE) != nullptr &&
                   SelectedFolder(shell) == CString(firstFolder) && !State().m_ignoreFolderSelChange;
        },
        20000);
    return shell;
}

// Selects a folder as a click in the tree would, and waits for the search it starts.
bool SelectFolder(HWND shell, const std::string& folder) {
    Step(("selecting " + folder).c_str());
    const LONG requests = State().m_folderRequestPosted;
    SendToChooser(shell, BFFM_SETSELECTIONA, TRUE, (LPARAM)folder.c_str());
    return PumpUntil([&] { return State().m_folderRequestPosted > requests; }, 10000);
}

}  // namespace

TEST_CASE("the image folder chooser") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    // Folders of its own, away from where the other tests write: the shell's dialog follows
    // changes in the folders it shows, and a change there may move its selection.
    CreateDirectoryA("C:\\kv-chooser-test", nullptr);
    REQUIRE(SetCurrentDirectoryA("C:\\kv-chooser-test"));
    const ImageFolderInfo big = MakeImageFolder("panel80", 80);
    const ImageFolderInfo small = MakeImageFolder("panel12", 12);
    g_browseFolder = small.root.c_str();
    g_browseDefaultPath = small.root.c_str();
    g_browseFilter = 5;
    g_browseSubfolders = 1;
    g_dialogPositions[kImageBrowserPos] = POINT{-1, -1};
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 380);
    REQUIRE(frame != nullptr);
    HWND shell = nullptr;
    // The chooser is closed and the panel destroyed also when a check ends the test early: a
    // chooser left open would be found by the next pass through the test.
    struct Cleanup {
        ImagePanelFrame*& frame;
        HWND& shell;
        ~Cleanup() {
            if (frame == nullptr) return;
            if (State().m_folderSelectOpen) {
                Step("cancelling the chooser");
                if (shell != nullptr) SendToChooser(shell, WM_COMMAND, IDCANCEL, 0);
                PumpUntil([] { return !State().m_folderSelectOpen; }, 10000);
            }
            Step("destroying the panel");
            DestroyPanelFrame(frame);
        }
    } cleanup{frame, shell};

    shell = OpenChooser(frame, "panel12");
    REQUIRE(shell != nullptr);
    Step("the chooser is open");
    INFO("the tree shows:\n" << TreeOutline(shell));
    REQUIRE(SelectedFolder(shell) == CString("panel12"));
    CHECK(State().m_folderSelectOpen);
    CHECK(Text(shell) == CString("Click on a folder to start your search."));

    SUBCASE("it opens with its extra controls, set from the settings") {
        HWND combo = GetDlgItem(shell, IDC_BROWSE_FILE_TYPES);
        REQUIRE(combo != nullptr);
        CHECK(SendMessage(combo, CB_GETCOUNT, 0, 0) == 8);
        CHECK(SendMessage(combo, CB_GETCURSEL, 0, 0) == 5);
        char item[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, 5, (LPARAM)item);
        CHECK(CString(item) == CString("PNG Files (*.png)"));
        CHECK(IsDlgButtonChecked(shell, IDC_BROWSE_SUBFOLDERS) == BST_CHECKED);
        // The chosen folder is the default one: checked and disabled.
        CHECK(IsDlgButtonChecked(shell, IDC_BROWSE_DEFAULT_FOLDER) == BST_CHECKED);
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(shell, IDC_BROWSE_DEFAULT_FOLDER)));
        CHECK(Text(GetDlgItem(shell, IDC_BROWSE_CLOSE)) == CString("Close"));
        CHECK_FALSE(IsWindowVisible(GetDlgItem(shell, IDOK)));
        CHECK((GetWindowLong(shell, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) == 0);
        // The tree is a square; the list and the button line up with its edges.
        CRect tree, list, close;
        GetWindowRect(GetDlgItem(shell, kShellTreeId), &tree);
        GetWindowRect(combo, &list);
        GetWindowRect(GetDlgItem(shell, IDC_BROWSE_CLOSE), &close);
        CHECK(tree.Width() == tree.Height());
        CHECK(list.left == tree.left);
        CHECK(list.right == tree.right);
        CHECK(close.right == tree.right);
        SaveWindowPng(shell, "image-folder-chooser.png");
        // A second press while it is open starts nothing.
        CWinThread* thread = State().m_folderSelectThread;
        frame->m_bar.SendMessage(WM_COMMAND, IDC_IMAGE_FOLDER_BUTTON, 0);
        CHECK(State().m_folderSelectThread == thread);
    }

    SUBCASE("a folder clicked loads the panel with the chosen file type and shows the progress") {
        REQUIRE(SelectFolder(shell, big.root));
        CHECK(SelectedFolder(shell) == CString("panel80"));
        CHECK(PumpUntil([&] { return Text(GetDlgItem(shell, IDC_BROWSE_CLOSE)) == CString("Stop Search"); },
                        10000));
        Step("waiting for the search");
        REQUIRE(WaitForScan(frame));
        const std::vector<std::string> png = ExpectedImages(big, {".png"}, true);
        CHECK(RecordPaths(big.root) == png);
        CString found;
        found.Format("%d Images Found", (int)png.size());
        CHECK(PumpUntil([&] { return Title(shell) == found; }, 10000));
        // Half a second of "found" ticks, then the button reads Close again.
        CHECK(PumpUntil([&] { return Text(GetDlgItem(shell, IDC_BROWSE_CLOSE)) == CString("Close"); }, 5000));
        CHECK(g_browseFolder == CString(big.root.c_str()));
        CHECK(IsDlgButtonChecked(shell, IDC_BROWSE_DEFAULT_FOLDER) == BST_UNCHECKED);
        CHECK(IsWindowEnabled(GetDlgItem(shell, IDC_BROWSE_DEFAULT_FOLDER)));

        // Unticking the sub-folders reloads the same folder alone, and is stored.
        HWND sub = GetDlgItem(shell, IDC_BROWSE_SUBFOLDERS);
        Step("unticking the sub-folders");
        SendToChooser(sub, BM_CLICK, 0, 0);
        CHECK(PumpUntil([&] { return g_browseSubfolders == 0; }, 5000));
        REQUIRE(PumpUntil(
            [&] {
                return frame->m_bar.m_imageView.GetFolder() == CString(big.root.c_str()) &&
                       State().RecordCount() == big.pngInRoot + 1 && !State().m_folderLoadRunning;
            },
            20000));
        CHECK(RecordPaths(big.root) == ExpectedImages(big, {".png"}, false));

        // "Set as Default Image Folder" stores the folder and stays checked, disabled.
        Step("setting the default folder");
        SendToChooser(GetDlgItem(shell, IDC_BROWSE_DEFAULT_FOLDER), BM_CLICK, 0, 0);
        CHECK(PumpUntil([&] { return g_browseDefaultPath == CString(big.root.c_str()); }, 5000));
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(shell, IDC_BROWSE_DEFAULT_FOLDER)));

        // A search of one GIF reads " 1 Image Found".
        HWND combo = GetDlgItem(shell, IDC_BROWSE_FILE_TYPES);
        Step("choosing GIF files");
        SendToChooser(combo, CB_SETCURSEL, 3, 0);
        SendToChooser(shell, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_FILE_TYPES, CBN_SELCHANGE), (LPARAM)combo);
        CHECK(PumpUntil([&] { return g_browseFilter == 3; }, 5000));
        REQUIRE(SelectFolder(shell, small.root));  // root alone: img003.gif
        CHECK(PumpUntil([&] { return Title(shell) == CString("1 Image Found"); }, 20000));
    }

    SUBCASE("Close ends the chooser and its place is remembered") {
        HWND close = GetDlgItem(shell, IDC_BROWSE_CLOSE);
        Step("pressing Close");
        SendToChooser(shell, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_CLOSE, BN_CLICKED), (LPARAM)close);
        CHECK(PumpUntil([] { return !State().m_folderSelectOpen; }, 10000));
        CHECK_FALSE(IsWindow(shell));
        CHECK(g_dialogPositions[kImageBrowserPos].x >= 0);
        CHECK(g_dialogPositions[kImageBrowserPos].y >= 0);
    }

    SUBCASE("destroying the panel closes the chooser and waits for it") {
        REQUIRE(SelectFolder(shell, big.root));
        PumpUntil([] { return State().m_folderLoadRunning != 0; }, 5000);
        Step("destroying the panel while it searches");
        DestroyPanelFrame(frame);
        frame = nullptr;
        CHECK_FALSE(State().m_folderSelectOpen);
        CHECK_FALSE(IsWindow(shell));
        // The pane waits only a moment for its search; on a busy machine the search may outlast
        // it, and the records are then freed by the program's exit, once no worker runs.
        CHECK(WaitForPanelThreads(State(), 10000));
        if (State().RecordCount() != 0) State().FreeRecords();
        CHECK(State().ReapThreads());
        CHECK(State().RecordCount() == 0);
    }

    CHECK(boxes.Boxes().empty());
}
