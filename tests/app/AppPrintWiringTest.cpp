// The running application reaches the printing layer's dialogs through the view's commands and at
// start-up (each dialog found open and cancelled), and runs without the LightScribe library: its print command
// explains what is missing, and no LightScribe list is left behind. Damaged settings and label stock
// files are worked with through New Project, the zoom and Save As Image within 256 MB. Save As
// Image names the pictures it cannot draw rather than save an image without them. Print Preview
// shows the lines that print.
#include <doctest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AllocationCounter.h"
#include "AppTestSupport.h"
#include "HeldResources.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/core/WholeFileWrite.h"
#include "framework/docview/Ids.h"
#include "framework/docview/Preview.h"
#include "framework/graphics/DibHelpers.h"
#include "model/ImageStream.h"
#include "model/PageSizes.h"
#include "print/DlgNewDoc.h"
#include "print/DlgSaveAsImage.h"
#include "print/LightScribe.h"
#include "render/CanvasSettings.h"
#include "render/ColorPixel.h"
#include "render/DocumentBitmap.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

namespace {

// A thread timer killed however the test case ends (a failed REQUIRE too): left running, it would
// go on cancelling the dialogs of the next case.
class ThreadTimer {
public:
    ThreadTimer(UINT ms, TIMERPROC proc) : m_id(::SetTimer(nullptr, 0, ms, proc)) {}
    ~ThreadTimer() { Stop(); }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;
    void Stop() {
        if (m_id) ::KillTimer(nullptr, m_id);
        m_id = 0;
    }

private:
    UINT_PTR m_id;
};

// The message-box handler of the test case, the previous one put back however the case ends.
class BoxHandler {
public:
    explicit BoxHandler(KvMessageBoxHandler handler)
        : m_previous(AfxSetMessageBoxHandler(std::move(handler))) {}
    ~BoxHandler() { AfxSetMessageBoxHandler(m_previous); }
    BoxHandler(const BoxHandler&) = delete;
    BoxHandler& operator=(const BoxHandler&) = delete;

private:
    KvMessageBoxHandler m_previous;
};

// The captions of the dialogs the timer found and cancelled.
std::vector<std::string> g_closed;

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
    char className[16] = {0};
    ::GetClassNameA(window, className, sizeof(className));
    // A visible, enabled dialog with a caption: the modal one (the splash window has none).
    const LONG style = ::GetWindowLongA(window, GWL_STYLE);
    if (std::string(className) != "#32770" || !::IsWindowVisible(window) || !::IsWindowEnabled(window) ||
        (style & WS_CAPTION) != WS_CAPTION)
        return TRUE;
    char caption[128] = {0};
    ::GetWindowTextA(window, caption, sizeof(caption));
    g_closed.push_back(caption);

    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

// Runs inside whatever modal loop the command opened.
void CALLBACK CloseTimer(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseDialog, 0);
}

// Sends the command to the frame; the dialog it opens is cancelled from its own loop.
std::string RunCommand(HWND frame, UINT command) {
    g_closed.clear();
    ThreadTimer closing(100, CloseTimer);
    ::SendMessageA(frame, WM_COMMAND, command, 0);
    closing.Stop();
    return g_closed.empty() ? std::string() : g_closed.front();
}

// The bytes of the view's off-screen buffer.
std::vector<BYTE> BufferBytes(View* view) {
    DIBSECTION dib = {};
    HGDIOBJ bitmap = ::GetCurrentObject(view->m_buffer.Get(), OBJ_BITMAP);
    if (!bitmap || ::GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return {};
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    return std::vector<BYTE>(bits, bits + dib.dsBm.bmWidthBytes * dib.dsBm.bmHeight);
}

// The visible, enabled dialog of this thread with the caption, or null.
struct CaptionSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindDialogByCaption(HWND window, LPARAM data) {
    CaptionSearch* search = reinterpret_cast<CaptionSearch*>(data);
    char className[16] = {0}, caption[128] = {0};
    ::GetClassNameA(window, className, sizeof(className));
    ::GetWindowTextA(window, caption, sizeof(caption));
    if (std::string(className) == "#32770" && ::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
        std::string(caption) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND OpenDialog(const char* caption) {
    CaptionSearch search = {caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialogByCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Edit Dimensions opened from Change Label Template and saved; then the Escape key.
struct NestedDialogRun {
    int stage = 0;
    int ticks = 0;
    HWND stock = nullptr;
    HWND activeAfterSave = nullptr;
    bool stockEnabledAfterSave = false;
    int activationTicks = 0;
    HWND editOwner = nullptr;
    bool undoShownAfterSave = true;
    bool redoShownAfterSave = true;
    bool gaveUp = false;
} g_nested;

void CALLBACK NestedDialogTimer(HWND, UINT, UINT_PTR, DWORD) {
    NestedDialogRun& run = g_nested;
    ++run.ticks;
    if (run.stage == 0) {
        run.stock = OpenDialog("Change Label Template");
        if (!run.stock) return;
        // A click on Edit Dimensions (disc).
        ::PostMessageA(::GetDlgItem(run.stock, IDC_STOCK_DISC_EDIT), BM_CLICK, 0, 0);
        run.stage = 1;
    } else if (run.stage == 1) {
        HWND edit = OpenDialog("Edit Dimensions");
        if (!edit) return;
        run.editOwner = ::GetWindow(edit, GW_OWNER);
        ::PostMessageA(::GetDlgItem(edit, IDOK), BM_CLICK, 0, 0);
        run.stage = 2;
    } else if (run.stage == 2) {
        if (OpenDialog("Edit Dimensions")) return;
        // The window system hands activation on a moment after the dialog goes (later on a
        // loaded machine): wait for it to land somewhere before reading where.
        run.activeAfterSave = ::GetActiveWindow();
        if (!run.activeAfterSave && ++run.activationTicks < 100) return;
        run.stockEnabledAfterSave = ::IsWindowEnabled(run.stock) != FALSE;
        // The main tool bar as it shows while the dialog is still open.
        HWND tools = static_cast<KorvanelleFrame*>(AfxGetMainWnd())->m_toolMain.m_hWnd;
        run.undoShownAfterSave = ::SendMessageA(tools, TB_ISBUTTONENABLED, ID_EDIT_UNDO_CMD, 0) != 0;
        run.redoShownAfterSave = ::SendMessageA(tools, TB_ISBUTTONENABLED, ID_EDIT_REDO_CMD, 0) != 0;
        // Escape, typed where the keyboard now is (into the dialog when another program's
        // window took the keyboard meanwhile: tests beside this one share the screen).
        HWND focus = ::GetFocus();
        if (!focus) focus = run.stock;
        ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        run.stage = 3;
    }
    // A run that went wrong ends its dialogs anyway after 60 seconds (a loaded machine opens a
    // dialog slowly), so that the test goes on.
    if (run.ticks > 1200) {
        run.gaveUp = true;
        for (const char* caption : {"Edit Dimensions", "Change Label Template"})
            if (HWND open = OpenDialog(caption)) ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    }
}

}  // namespace

TEST_CASE("measuring the printer's printable areas again redraws the guide on the canvas" *
          doctest::timeout(120)) {
    kvtest::TemporaryUserFolders folders;
    g_closed.clear();
    ThreadTimer closing(100, CloseTimer);
    {
        kvtest::RunningApp running;
        REQUIRE(running.Started());
        View* view = running.app.m_pView;
        REQUIRE(view != nullptr);
        // The test spooler's printer as the current set-up.
        if (running.app.GetCurrentPrintDriver() == nullptr) {
            REQUIRE(running.app.m_printerList.AddLocalPrinters());
            REQUIRE(running.app.AddDefaultPrinter() != nullptr);
        }
        const BYTE guides = g_showGuides;
        g_showGuides = 1;
        // A guide drawn for areas no printer has.
        int kept[6][4];
        std::memcpy(kept, g_printableAreas, sizeof(kept));
        for (auto& area : g_printableAreas) area[0] = 2000, area[1] = 2000, area[2] = 500, area[3] = 500;
        view->Redraw(true);
        const std::vector<BYTE> stale = BufferBytes(view);
        REQUIRE(!stale.empty());
        running.app.MeasurePrintableAreas();
        CHECK(g_printableAreas[0][2] != 500);
        running.Pump([] { return false; }, 200);
        const std::vector<BYTE> shown = BufferBytes(view);
        view->Redraw(true);
        const std::vector<BYTE> fresh = BufferBytes(view);
        CHECK(shown != stale);
        CHECK(shown == fresh);
        std::memcpy(g_printableAreas, kept, sizeof(kept));
        g_showGuides = guides;
        running.Close();
    }
}

TEST_CASE(
    "Edit Dimensions belongs to Change Label Template: after Save the keyboard is back there and the "
    "tool bar shows the undo history ended") {
    kvtest::TemporaryUserFolders folders;
    std::vector<CString> boxes;
    BoxHandler cancelling([&](KvMessageBoxRequest& r) {
        boxes.push_back(r.text);
        return r.ResultOf("Cancel") >= 0 ? r.ResultOf("Cancel") : IDCANCEL;
    });
    g_closed.clear();
    ThreadTimer closing(100, CloseTimer);
    {
        kvtest::RunningApp running;
        REQUIRE(running.Started());
        closing.Stop();
        HWND frame = running.app.m_pMainWnd->m_hWnd;
        const CString library = CString(folders.SettingsFolder().c_str()) + "\\templates.ini";
        std::unique_ptr<kvtest::FullDiskFile> full;
        SUBCASE("the label template library saved") {}
        SUBCASE("the label template library saved onto a full disk: one box names its file") {
            full.reset(new kvtest::FullDiskFile(WholeFileTemporaryOf(library)));
            REQUIRE(full->made);
        }
        boxes.clear();
        g_nested = NestedDialogRun();
        // An undo step: the template saved for the design ends the undo history.
        ::SendMessageA(frame, WM_COMMAND, ID_INSERT_TEXT, 0);
        REQUIRE(running.Pump([] { return View::GetCurrent()->GetUndoCount() == 1; }, 5000));
        ThreadTimer nested(50, NestedDialogTimer);
        ::SendMessageA(frame, WM_COMMAND, ID_CHANGE_LABEL_TEMPLATE, 0);
        nested.Stop();
        CHECK(g_nested.stage == 3);
        CHECK_FALSE(g_nested.gaveUp);
        CHECK(g_nested.stockEnabledAfterSave);
        CHECK(View::GetCurrent()->GetUndoCount() == 0);
        CHECK_FALSE(g_nested.undoShownAfterSave);
        CHECK_FALSE(g_nested.redoShownAfterSave);
        // Opened from Change Label Template, Edit Dimensions belongs to it, so closing it hands
        // activation back there, not to the disabled frame behind it.
        CHECK(g_nested.editOwner == g_nested.stock);
        // Where activation went is read when this program still has it: another program's window
        // on the shared test screen may take it meanwhile.
        if (g_nested.activeAfterSave != nullptr) CHECK(g_nested.activeAfterSave == g_nested.stock);
        CHECK(::IsWindowEnabled(frame));
        REQUIRE(boxes.size() == (full ? 1u : 0u));
        if (full) CHECK(boxes[0] == "Error saving the label template file:\r\n\r\n" + library);
        running.Close();
    }
}

TEST_CASE("the view's commands open the print layer's dialogs; no LightScribe library is needed") {
    kvtest::TemporaryUserFolders folders;
    std::vector<KvMessageBoxRequest> boxes;
    BoxHandler recording([&](KvMessageBoxRequest& r) {
        boxes.push_back(r);
        return r.ResultOf("Cancel") >= 0 ? r.ResultOf("Cancel") : IDCANCEL;
    });
    // Dialogs are cancelled from their own loops from the start: the settings of a first run
    // show New Project at start-up.
    g_closed.clear();
    ThreadTimer closing(100, CloseTimer);
    {
        kvtest::RunningApp running;
        REQUIRE(running.Started());
        CHECK(g_closed == std::vector<std::string>{"New Project"});
        CHECK(g_lightScribeAvailable == 0);
        HWND frame = running.app.m_pMainWnd->m_hWnd;
        CHECK(RunCommand(frame, ID_SAVE_AS_IMAGE) == "Save As Image");
        CHECK(RunCommand(frame, ID_CHANGE_LABEL_TEMPLATE) == "Change Label Template");
        CHECK(RunCommand(frame, ID_FILE_NEW) == "New Project");
        // No LightScribe button on the main tool bar (Print is there); the command stays in the
        // menu and says what it needs.
        KorvanelleFrame* korvanelle = GetMainFrame();
        REQUIRE(korvanelle != nullptr);
        CHECK(korvanelle->m_toolMain.CommandToIndex(ID_FILE_PRINT) >= 0);
        CHECK(korvanelle->m_toolMain.CommandToIndex(ID_LIGHTSCRIBE_PRINT) < 0);
        CHECK(::GetMenuState(::GetMenu(frame), ID_LIGHTSCRIBE_PRINT, MF_BYCOMMAND) != static_cast<UINT>(-1));
        boxes.clear();
        CHECK(RunCommand(frame, ID_LIGHTSCRIBE_PRINT).empty());
        REQUIRE(boxes.size() == 1);
        CHECK(boxes[0].caption == "LightScribe");
        CHECK(boxes[0].text.Find("LightScribe System Software") >= 0);
        running.Close();
    }
    closing.Stop();
    CHECK(::GetFileAttributesA((folders.SettingsFolder() + "\\LightScribeTemp.dat").c_str()) ==
          INVALID_FILE_ATTRIBUTES);
}

namespace {

// What the timer saw of the New Project dialog and did in it: at first sight, Down and Enter
// pressed in its list.
struct NewProjectKeys {
    int pendingAtFirstSight = -1;
    int selectedAtFirstSight = -1;
    bool pressed = false;
};
NewProjectKeys g_newProjectKeys;

void CALLBACK PressNewProjectKeys(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = OpenDialog("New Project");
    DlgNewDoc* dialog = window ? dynamic_cast<DlgNewDoc*>(CWnd::FromHandlePermanent(window)) : nullptr;
    if (!dialog || g_newProjectKeys.pressed) return;
    g_newProjectKeys.pressed = true;
    g_newProjectKeys.pendingAtFirstSight = dialog->PicturesPending();
    HWND list = ::GetDlgItem(window, IDC_NEW_LIST);
    g_newProjectKeys.selectedAtFirstSight = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
    for (UINT key : {VK_DOWN, VK_RETURN}) {
        ::PostMessageA(list, WM_KEYDOWN, key, 1);
        ::PostMessageA(list, WM_KEYUP, key, 0xC0000001);
    }
}

// The Print dialog answered as the user does: Front Cover ticked, then Preview; Cancel when it is back.
int g_printAnswers = 0;
void CALLBACK PreviewFrontCover(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = OpenDialog("Print"), front = ::GetDlgItem(dialog, IDC_PRINT_FRONT);
    if (dialog && !g_printAnswers && ::SendMessageA(front, BM_GETCHECK, 0, 0) != BST_CHECKED)
        ::SendMessageA(front, BM_CLICK, 0, 0);
    else if (dialog)
        ::PostMessageA(::GetDlgItem(dialog, g_printAnswers++ ? IDCANCEL : IDC_PRINT_PREVIEW), BM_CLICK, 0, 0);
}

}  // namespace

TEST_CASE("File > New: New Project takes its keys while its layout pictures are being made") {
    kvtest::TemporaryUserFolders folders;
    g_closed.clear();
    ThreadTimer closing(100, CloseTimer);
    kvtest::RunningApp running;
    REQUIRE(running.Started());
    closing.Stop();
    REQUIRE(g_closed == std::vector<std::string>{"New Project"});
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    REQUIRE_FALSE(view->m_design.IsTwoDiscLayout());
    HWND frame = running.app.m_pMainWnd->m_hWnd;

    g_newProjectKeys = NewProjectKeys();
    {
        ThreadTimer keys(20, PressNewProjectKeys);
        ::SendMessageA(frame, WM_COMMAND, ID_FILE_NEW, 0);
    }
    CHECK(g_newProjectKeys.pressed);
    CHECK(g_newProjectKeys.pendingAtFirstSight > 0);
    CHECK(g_newProjectKeys.selectedAtFirstSight == 0);
    // "CD Case - 2 Disc", the entry below the saved layout, was chosen with Enter.
    CHECK(view->m_design.IsTwoDiscLayout());
    CHECK(OpenDialog("New Project") == nullptr);
    running.Close();
}

TEST_CASE("Print Preview shows the border and fold lines that print, also in a smaller window") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp running([] { g_showNewProjectAtStart = 0; });
    REQUIRE(running.Started());
    CFrameWnd* frame = GetMainFrame();
    ThreadTimer answering(20, PreviewFrontCover);
    frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
    CPreviewView* preview = nullptr;
    REQUIRE(
        running.Pump([&] { return (preview = dynamic_cast<CPreviewView*>(frame->GetActiveView())); }, 20000));
    // Next Page shows the front cover.
    ::SendMessageA(::GetDlgItem(frame->GetDlgItem(AFX_IDW_PREVIEW_BAR)->m_hWnd, AFX_ID_PREVIEW_NEXT),
                   BM_CLICK, 0, 0);
    const ViewObject* cover = View::GetCurrent()->m_design.FindObject("Front Cover");
    REQUIRE(cover != nullptr);
    const int l = cover->left, t = cover->top, w = cover->width, h = cover->height;
    for (const bool smaller : {false, true}) {
        if (smaller) {
            const CSize drawn = preview->m_pPreviewDC->GetShownSize();
            frame->SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOMOVE);
            // Painted at once, the page shows stretched; it is drawn again at the new size once
            // the size has rested (a window dragged changes it many times a second).
            preview->UpdateWindow();
            CHECK(preview->m_pPreviewDC->GetShownSize() == drawn);
            REQUIRE(running.Pump([&] { return preview->m_pPreviewDC->GetShownSize() != drawn; }, 5000));
        }
        // The window paints into a bitmap of its own.
        CRect client;
        preview->GetClientRect(&client);
        ScopedMemoryDC shown(nullptr);
        REQUIRE(shown.Select(CreateTopDownDibSection(nullptr, client.Width(), client.Height(), 24).Release(),
                             true));
        CBorrowedDC dc(shown.Get());
        preview->OnDraw(&dc);
        // Each border, and the fold, a quarter of the way along: a pixel within 2 of it is dark.
        const CRect& paper = preview->m_rectPage;
        const double perUnit = paper.Width() / (preview->m_pPreviewDC->GetPaperSize().cx * 1000.0 /
                                                preview->m_pPreviewDC->GetDeviceCaps(LOGPIXELSX));
        for (const CPoint& line :
             {CPoint(l, t + h / 4), CPoint(l + w, t + h / 4), CPoint(l + w / 2, t + h / 4),
              CPoint(l + w / 4, t), CPoint(l + w / 4, t + h)}) {
            int darkest = 255;
            for (int y = -2; y <= 2; ++y)
                for (int x = -2; x <= 2; ++x) {
                    const COLORREF c = ::GetPixel(shown.Get(), paper.left + int(line.x * perUnit) + x,
                                                  paper.top + int(line.y * perUnit) + y);
                    darkest = std::min(darkest, int(std::max({GetRValue(c), GetGValue(c), GetBValue(c)})));
                }
            INFO("the line at " << line.x << ", " << line.y << " in a window " << client.Width() << " wide");
            CHECK(darkest < 100);
        }
    }
    frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
    CHECK(running.Pump([] { return g_printAnswers == 2 && !OpenDialog("Print"); }, 20000));
    running.Close();
}

// ---- damaged settings and label stock files, worked with ----------------------------------------
// The program that reads them stays within 256 MB. The peak is the process's since its start, so
// these cases come last.

namespace {

const size_t kMemoryLimit = 256u << 20;

// Copies a file of the test's data folder into the settings folder under `name`.
void PutSetting(const kvtest::TemporaryUserFolders& folders, const char* data, const char* name) {
    char source[MAX_PATH] = {0};
    ::GetFullPathNameA(data, MAX_PATH, source, nullptr);
    ::CreateDirectoryA(folders.SettingsFolder().c_str(), nullptr);
    REQUIRE(::CopyFileA(source, (folders.SettingsFolder() + "\\" + name).c_str(), FALSE));
}

// New Project (at start-up or from File > New), once all its pictures are made: the entry
// g_chosen chosen and Enter pressed, or Escape when there is none.
int g_chosen = -1;
bool g_drawn = false;
void CALLBACK ChooseWhenDrawn(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = OpenDialog("New Project");
    DlgNewDoc* dialog = window ? dynamic_cast<DlgNewDoc*>(CWnd::FromHandlePermanent(window)) : nullptr;
    if (!dialog || dialog->PicturesPending() > 0 || g_drawn) return;
    g_drawn = true;
    HWND list = ::GetDlgItem(window, IDC_NEW_LIST);
    if (g_chosen >= 0) ::SendMessageA(list, LB_SETCURSEL, g_chosen, 0);
    const UINT key = g_chosen >= 0 ? VK_RETURN : VK_ESCAPE;
    ::PostMessageA(list, WM_KEYDOWN, key, 1);
    ::PostMessageA(list, WM_KEYUP, key, 0xC0000001);
}

// Save As Image: the part g_part chosen in its list, its size read, then Save Image pressed.
const char* g_part = nullptr;
std::string g_pixels;
void CALLBACK SavePart(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = OpenDialog("Save As Image");
    if (!window || !g_part) return;
    HWND images = ::GetDlgItem(window, IDC_EXPORT_IMAGE);
    ::SendMessageA(images, CB_SETCURSEL, ::SendMessageA(images, CB_FINDSTRINGEXACT, -1, (LPARAM)g_part), 0);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_IMAGE, CBN_SELCHANGE), (LPARAM)images);
    char text[64] = {0};
    ::GetDlgItemTextA(window, IDC_EXPORT_PIXELS, text, sizeof(text));
    g_pixels = text;
    g_part = nullptr;
    ::PostMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
}

// Save As Image of `part` into `target`; the messages shown (each closes the dialog).
std::vector<CString> SaveAsImage(HWND frame, const char* part, const std::string& target) {
    auto asked = DlgSaveAsImage::s_askFileName;
    DlgSaveAsImage::s_askFileName = [&](CWnd*, CString& path, int& filterIndex) {
        path = target.c_str();
        filterIndex = 1;
        return true;
    };
    std::vector<CString> messages;
    {
        BoxHandler closing([&](KvMessageBoxRequest& r) {
            messages.push_back(r.text);
            if (HWND dialog = OpenDialog("Save As Image")) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return IDOK;
        });
        g_part = part;
        ThreadTimer saving(50, SavePart);
        ::SendMessageA(frame, WM_COMMAND, ID_SAVE_AS_IMAGE, 0);
    }
    DlgSaveAsImage::s_askFileName = asked;
    return messages;
}

}  // namespace

TEST_CASE(
    "Save As Image draws each picture, decoded for it alone, or names those it cannot draw and saves none") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp running([] { g_showNewProjectAtStart = 0; });
    REQUIRE(running.Started());
    HWND frame = running.app.m_pMainWnd->m_hWnd;
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    // A picture over the disc, which is not the side shown.
    ViewObject* disc = view->m_design.FindObject("Disc 1");
    REQUIRE(disc != nullptr);
    const CString file = CString(folders.Root().c_str()) + "\\label.png";
    REQUIRE(kvtest::WriteTestPng(file, 4000, 3000));
    ViewObject* picture = NewViewObject(kObjectImage, "Image", disc->side, disc->name, disc->left, disc->top,
                                        disc->width, disc->width);
    REQUIRE(picture->ReadImageFile(file));
    view->m_design.AddObject(picture);
    ::PostMessageA(frame, WM_COMMAND, ID_VIEW_BACK_COVER, 0);
    REQUIRE(running.Pump([&] { return view->m_design.currentSideName == "Back Cover"; }, 10000));
    const std::string target = folders.Root() + "\\disc.bmp";

    // Too little memory for it: no file, and the picture named.
    PictureMemoryStandIn() = [](const PictureHeaderCheck& headers) { return headers.width != 4000; };
    std::vector<CString> messages = SaveAsImage(frame, "Disc Label", target);
    PictureMemoryStandIn() = nullptr;
    REQUIRE(messages.size() == 1);
    CHECK(messages[0].Find("No image was saved") == 0);
    CHECK(messages[0].Find("\r\nImage on Disc 1\r\n") > 0);
    CHECK(::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES);

    // With the memory: the disc's ring carries the picture, let go once drawn.
    messages = SaveAsImage(frame, "Disc Label", target);
    CHECK(messages.empty());
    std::unique_ptr<Gdiplus::Bitmap> saved(Gdiplus::Bitmap::FromFile(AfxWideOf(target.c_str()).c_str()));
    REQUIRE(saved != nullptr);
    Gdiplus::Color ring;
    saved->GetPixel(static_cast<INT>(saved->GetWidth() / 2), static_cast<INT>(saved->GetHeight() / 8), &ring);
    CHECK(ring.GetValue() != 0xFFFFFFFF);
    CHECK(picture->decodedImage == nullptr);
    saved.reset();

    // Held decoded (as the screen holds a picture it shows), with a colour change that then finds
    // no memory for its table: no file either, and the picture named; the disc printer's picture too.
    REQUIRE(::DeleteFileA(target.c_str()));
    picture->hue = 40;
    REQUIRE(picture->EnsureImageLoaded());
    CObjectPtrArray undrawn;
    kvtest::FailAllocationsOfSize(sizeof(kvcolor::HslPlan));
    messages = SaveAsImage(frame, "Disc Label", target);
    CHECK(RenderDocumentToBitmap(&view->m_design, disc, kPurposeLightScribe, 150, nullptr, &undrawn) == nullptr);
    kvtest::FailAllocationsOfSize(0);
    REQUIRE(messages.size() == 1);
    CHECK(messages[0].Find("\r\nImage on Disc 1\r\n") > 0);
    CHECK(::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES);
    CHECK((undrawn.GetSize() == 1 && undrawn[0] == picture));
    running.Close();
}

TEST_CASE("a preferences.ini with bleeds of miles: Save As Image writes the disc in little memory") {
    kvtest::TemporaryUserFolders folders;
    PutSetting(folders, "preferences-export-margins-huge.ini", "preferences.ini");
    kvtest::RunningApp running;
    REQUIRE(running.Started());
    const std::string target = folders.Root() + "\\disc.bmp";
    const std::vector<CString> messages = SaveAsImage(running.app.m_pMainWnd->m_hWnd, "Disc Label", target);
    // The disc 4.625 inches across with at most the largest overlap offered, 0.15 inch, at the
    // resolution the file names.
    int width = 0, height = 0;
    CHECK(std::sscanf(g_pixels.c_str(), "%d x %d pixels", &width, &height) == 2);
    CHECK(width == height);
    CHECK(width <= 4925 * 600 / 1000);
    CHECK(messages.empty());
    CHECK(::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(kvtest::PeakResidentBytes() < kMemoryLimit);
    running.Close();
}

TEST_CASE("a labels.ini of stocks many feet wide: New Project, zooms and Save As Image take little memory") {
    kvtest::TemporaryUserFolders folders;
    PutSetting(folders, "labels-stock-huge.ini", "labels.ini");
    std::vector<CString> shown;
    BoxHandler recording([&](KvMessageBoxRequest& r) {
        shown.push_back(r.text);
        return IDOK;
    });
    // A first run shows New Project at start-up too: it is closed once its pictures are there.
    g_chosen = -1;
    g_drawn = false;
    ThreadTimer choosing(50, ChooseWhenDrawn);
    kvtest::RunningApp running;
    REQUIRE(running.Started());
    CHECK(g_drawn);
    // File > New, "DVD Case - 1 Disc": the file's only DVD case stock.
    HWND frame = running.app.m_pMainWnd->m_hWnd;
    g_chosen = 2;
    g_drawn = false;
    ::SendMessageA(frame, WM_COMMAND, ID_FILE_NEW, 0);
    choosing.Stop();
    CHECK(g_drawn);
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    REQUIRE(view->m_design.GetFrontCover() != nullptr);
    CHECK(view->m_design.GetFrontCover()->height == kMaxDesignLength);
    for (UINT command : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT})
        ::SendMessageA(frame, WM_COMMAND, command, 0);
    running.Pump([] { return false; }, 200);
    CHECK(shown.empty());
    // The booklet is larger than any paper: no picture is made of it, and the user is told why.
    const std::vector<CString> messages = SaveAsImage(frame, "Booklet", folders.Root() + "\\booklet.bmp");
    REQUIRE(messages.size() == 1);
    CHECK(messages[0].Find("larger than any paper") >= 0);
    CHECK(kvtest::PeakResidentBytes() < kMemoryLimit);
    running.Close();
}
