// The main frame's command states as the user sees them - the menu items after their popup opens
// (WM_INITMENUPOPUP) and the main tool bar's buttons after the idle update - in the running
// application, step by step through real commands: inserting, text and object cut/copy/paste with
// the real clipboard, undo and redo; the main tool bar's buttons for each case kind and disc
// count; and the commands while the view does not exist.
#include <doctest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "print/LightScribe.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

namespace {

// ---- the real clipboard ----

void EmptyTheClipboard() {
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
}

void PutOnClipboard(UINT format, const void* bytes, size_t size) {
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    REQUIRE(::SetClipboardData(format, block) != nullptr);
    ::CloseClipboard();
}

// What another program leaves there: a line of text, or a 4 x 4 bitmap.
void PutText(const char* text) {
    PutOnClipboard(CF_TEXT, text, std::strlen(text) + 1);
}

void PutBitmap() {
    std::vector<unsigned char> dib(sizeof(BITMAPINFOHEADER) + 4 * 4 * 4, 0x80);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = header.biHeight = 4;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::memcpy(dib.data(), &header, sizeof(header));
    PutOnClipboard(CF_DIB, dib.data(), dib.size());
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(h))) text = p;
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return text;
}

// ---- the states the menus and the main tool bar show ----

// The popup (at any depth of the menu bar) whose item carries the command.
HMENU PopupHolding(HMENU menu, UINT id) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            if (HMENU found = PopupHolding(sub, id)) return found;
        } else if (::GetMenuItemID(menu, i) == id) {
            return menu;
        }
    }
    return nullptr;
}

// The item's state once its popup opened: enabled, and whether it carries a check.
bool MenuItemEnabled(KorvanelleFrame* frame, UINT id, bool* checked = nullptr) {
    HMENU popup = PopupHolding(::GetMenu(frame->m_hWnd), id);
    REQUIRE(popup != nullptr);
    frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)popup, 0);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    REQUIRE(::GetMenuItemInfoA(popup, id, FALSE, &info));
    if (checked) *checked = (info.fState & MFS_CHECKED) != 0;
    return (info.fState & MFS_DISABLED) == 0;
}

// The main tool bar after the idle update that the message loop runs.
HWND UpdatedToolbar(KorvanelleFrame* frame) {
    frame->m_toolMain.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    return frame->m_toolMain.m_hWnd;
}

bool ButtonEnabled(KorvanelleFrame* frame, UINT id) {
    return ::SendMessageA(UpdatedToolbar(frame), TB_ISBUTTONENABLED, id, 0) != 0;
}

// The edit commands in the order of the expectation strings below.
const UINT kEditCommands[] = {ID_EDIT_UNDO_CMD,  ID_EDIT_REDO_CMD,  ID_EDIT_CUT_TEXT,       ID_EDIT_COPY_TEXT,
                              ID_EDIT_PASTE_TEXT, ID_CUT_OBJECT,     ID_COPY_OBJECT,         ID_PASTE_OBJECT,
                              ID_DELETE_OBJECT,   ID_CENTER_HORIZONTALLY, ID_CENTER_VERTICALLY};

// One letter per command of kEditCommands ('-' disabled), spaces between the groups.
std::string EditStates(KorvanelleFrame* frame) {
    const char letters[] = "URxcvXCVDHV";
    std::string states;
    for (size_t i = 0; i < sizeof(kEditCommands) / sizeof(kEditCommands[0]); ++i) {
        if (i == 2 || i == 5 || i == 9) states += ' ';
        states += MenuItemEnabled(frame, kEditCommands[i]) ? letters[i] : '-';
    }
    return states;
}

int CountObjects(View* view) {
    int n = 0;
    view->m_design.ForEachObject([&](ViewObject* o) {
        if (o->IsText() || o->IsTrackList() || o->IsImage()) ++n;
    });
    return n;
}

struct Running {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    KorvanelleFrame* frame = nullptr;
    KorvanelleDoc* doc = nullptr;
    View* view = nullptr;
    Running() {
        REQUIRE(run.Started());
        frame = GetMainFrame();
        doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
        view = View::GetCurrent();
        REQUIRE(doc != nullptr);
        REQUIRE(view != nullptr);
    }
    void Command(UINT id) { frame->SendMessage(WM_COMMAND, id); }
    ViewObject* Selected() { return view->m_design.GetFirstSelected(); }
    std::string SelectedText() {
        ViewObject* o = Selected();
        return o && (o->IsText() || o->IsTrackList()) ? std::string((LPCSTR)o->GetText()) : std::string();
    }
    bool OwnFormatOffered() { return ::IsClipboardFormatAvailable(run.app.m_clipboardFormat) != FALSE; }
};

}  // namespace

TEST_CASE("edit command states follow the selection, the clipboard and the undo list; the commands do what they say") {
    Running r;
    const CString image = CString(r.folders.Root().c_str()) + "\\photo.png";
    REQUIRE(kvtest::WriteTestPng(image));
    int objects = 0;

    // Each step sets up a situation through the application and checks what it did; then the
    // states: U(ndo) R(edo) | Cut, Copy, Paste text | Cut, Copy, Paste, Delete object | centre H, V.
    const struct Step {
        const char* situation;
        std::function<void()> act;
        const char* states;
    } steps[] = {
        {"a new design, the clipboard empty",
         [&] {
             r.doc->NewFromTemplate(4, 0, 1);
             EmptyTheClipboard();
             objects = CountObjects(r.view);
         },
         "-- --- ---- --"},
        {"text from another program on the clipboard, nothing selected", [&] { PutText("Elsewhere"); },
         "-- --- ---- --"},
        {"Edit > Insert > Text",
         [&] {
             r.Command(ID_INSERT_TEXT);
             CHECK(CountObjects(r.view) == ++objects);
             CHECK(r.SelectedText() == "Text\b");
         },
         "U- --v XC-D HV"},
        {"the text's first three letters selected in the editor", [&] { r.view->m_select.SetSelection(0, 3); },
         "U- xcv XC-D HV"},
        {"Copy Text",
         [&] {
             r.Command(ID_EDIT_COPY_TEXT);
             CHECK(ClipboardText() == "Tex");
             CHECK(r.SelectedText() == "Text\b");
         },
         "U- xcv XC-D HV"},
        {"Cut Text",
         [&] {
             PutText("other");
             r.Command(ID_EDIT_CUT_TEXT);
             CHECK(ClipboardText() == "Tex");
             CHECK(r.SelectedText() == "t\b");
         },
         "U- --v XC-D HV"},
        {"Paste Text",
         [&] {
             r.Command(ID_EDIT_PASTE_TEXT);
             CHECK(r.SelectedText() == "Text\b");
         },
         "U- --v XC-D HV"},
        {"Undo",
         [&] {
             r.Command(ID_EDIT_UNDO_CMD);
             CHECK(r.SelectedText() == "t\b");
         },
         "UR --v XC-D HV"},
        {"Redo",
         [&] {
             r.Command(ID_EDIT_REDO_CMD);
             CHECK(r.SelectedText() == "Text\b");
         },
         "U- --v XC-D HV"},
        {"Copy Object: the object in the program's own format, no text",
         [&] {
             r.Command(ID_COPY_OBJECT);
             CHECK(r.OwnFormatOffered());
             CHECK_FALSE(::IsClipboardFormatAvailable(CF_TEXT));
         },
         "U- --- XCVD HV"},
        {"Cut Object",
         [&] {
             EmptyTheClipboard();
             r.Command(ID_CUT_OBJECT);
             CHECK(CountObjects(r.view) == --objects);
             CHECK(r.OwnFormatOffered());
         },
         "U- --- --V- --"},
        {"Paste Object",
         [&] {
             r.Command(ID_PASTE_OBJECT);
             CHECK(CountObjects(r.view) == ++objects);
             CHECK(r.SelectedText() == "Text\b");
         },
         "U- --- XCVD HV"},
        {"Delete Object",
         [&] {
             r.Command(ID_DELETE_OBJECT);
             CHECK(CountObjects(r.view) == --objects);
         },
         "U- --- --V- --"},
        {"an image inserted and selected, text on the clipboard",
         [&] {
             REQUIRE(r.view->InsertImageObject(CRect(300, 300, 1500, 1200), image, false) != nullptr);
             ++objects;
             PutText("Elsewhere");
         },
         "U- --- XC-D HV"},
        {"Copy Object of the image: a bitmap",
         [&] {
             r.Command(ID_COPY_OBJECT);
             CHECK(::IsClipboardFormatAvailable(CF_DIB));
             CHECK_FALSE(r.OwnFormatOffered());
         },
         "U- --- XCVD HV"},
        {"a new design with a bitmap from another program on the clipboard",
         [&] {
             r.doc->NewFromTemplate(4, 0, 1);
             objects = CountObjects(r.view);
             PutBitmap();
         },
         "-- --- --V- --"},
        {"Paste Object of a bitmap",
         [&] {
             r.Command(ID_PASTE_OBJECT);
             CHECK(CountObjects(r.view) == ++objects);
             REQUIRE(r.Selected() != nullptr);
             CHECK(r.Selected()->IsImage());
         },
         "U- --- XCVD HV"},
        {"Undo back to the list's start",
         [&] {
             r.Command(ID_EDIT_UNDO_CMD);
             CHECK(CountObjects(r.view) == --objects);
         },
         "-R --- --V- --"},
        {"Edit > Insert > Track with nothing on the clipboard",
         [&] {
             EmptyTheClipboard();
             r.Command(ID_INSERT_TRACK);
             REQUIRE(r.Selected() != nullptr);
             CHECK(r.Selected()->IsTrackList());
             r.view->m_select.SetSelection(0, 1);
         },
         "U- xc- XC-D HV"},
    };

    for (const Step& step : steps) {
        CAPTURE(step.situation);
        step.act();
        CHECK(EditStates(r.frame) == std::string(step.states));
        // The main tool bar's Undo and Redo buttons agree with the menu.
        CHECK(ButtonEnabled(r.frame, ID_EDIT_UNDO_CMD) == (step.states[0] == 'U'));
        CHECK(ButtonEnabled(r.frame, ID_EDIT_REDO_CMD) == (step.states[1] == 'R'));
    }
    r.run.Close();
}

namespace {

// The main tool bar's buttons as letters: F(ront) B(ack) D(isc) 2 (second disc) o(ut) i(n)
// R(ead CD) I(nsert) G(uides) U(ndo) r(edo) L(ightScribe) P(rint), '|' a separator.
std::string ToolbarLayout(HWND toolbar, std::string& images) {
    const struct {
        UINT id;
        char letter;
    } kLetters[] = {{ID_VIEW_FRONT_COVER, 'F'}, {ID_VIEW_BACK_COVER, 'B'}, {ID_VIEW_DISC_LABEL, 'D'},
                    {ID_VIEW_DISC2, '2'},       {ID_VIEW_ZOOM_OUT, 'o'},   {ID_VIEW_ZOOM_IN, 'i'},
                    {ID_READ_CD, 'R'},          {ID_INSERT_MENU, 'I'},     {ID_VIEW_SHOW_GUIDES, 'G'},
                    {ID_EDIT_UNDO_CMD, 'U'},    {ID_EDIT_REDO_CMD, 'r'},   {ID_LIGHTSCRIBE_PRINT, 'L'},
                    {ID_FILE_PRINT_CMD, 'P'}};
    std::string layout;
    images.clear();
    const int count = (int)::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(toolbar, TB_GETBUTTON, i, (LPARAM)&button);
        if (button.fsStyle & TBSTYLE_SEP) {
            layout += '|';
            continue;
        }
        char letter = '?';
        for (const auto& l : kLetters)
            if (l.id == (UINT)button.idCommand) letter = l.letter;
        layout += letter;
        if (letter == 'F' || letter == 'B' || letter == 'D' || letter == '2')
            images += (images.empty() ? "" : " ") + std::to_string(button.iBitmap);
    }
    return layout;
}

}  // namespace

TEST_CASE("the main tool bar's buttons follow the case kind, the disc count and LightScribe; the grid items their checks") {
    Running r;
    const struct {
        int caseKind, discLayout;
        bool lightScribe;
        const char* layout;
        const char* sideImages;
    } rows[] = {
        {4, 0, false, "FBD|oi|R|I|G|Ur|P", "0 1 2"},          // CD, one disc
        {4, 3, false, "FBD2|oi|R|I|G|Ur|P", "0 1 10 11"},     // CD, two discs
        {5, 0, false, "BFD|oi|R|I|G|Ur|P", "13 14 2"},        // DVD case: the back cover first
        {5, 3, false, "BFD2|oi|R|I|G|Ur|P", "13 14 10 11"},   // DVD, two discs
        {10, 0, false, "BFD|oi|R|I|G|Ur|P", "13 14 2"},       // Blu-ray case
        {10, 3, true, "BFD2|oi|R|I|G|Ur|LP", "13 14 10 11"},  // with LightScribe: its button before Print
        {4, 0, true, "FBD|oi|R|I|G|Ur|LP", "0 1 2"},
    };
    const BYTE lightScribeBefore = g_lightScribeAvailable;
    for (const auto& row : rows) {
        CAPTURE(row.caseKind);
        CAPTURE(row.discLayout);
        CAPTURE(row.lightScribe);
        g_lightScribeAvailable = row.lightScribe ? 1 : 0;
        // A new design rebuilds the bar through the view's template change.
        r.doc->NewFromTemplate(row.caseKind, row.discLayout, 1);
        std::string images;
        CHECK(ToolbarLayout(UpdatedToolbar(r.frame), images) == row.layout);
        CHECK(images == row.sideImages);
        // Every button but Undo and Redo is always enabled; a new design has nothing to undo.
        for (UINT id : {ID_VIEW_FRONT_COVER, ID_VIEW_BACK_COVER, ID_VIEW_DISC_LABEL, ID_VIEW_ZOOM_OUT,
                        ID_VIEW_ZOOM_IN, ID_READ_CD, ID_INSERT_MENU, ID_VIEW_SHOW_GUIDES, ID_FILE_PRINT_CMD}) {
            CAPTURE(id);
            CHECK(ButtonEnabled(r.frame, id));
        }
        CHECK_FALSE(ButtonEnabled(r.frame, ID_EDIT_UNDO_CMD));
        CHECK_FALSE(ButtonEnabled(r.frame, ID_EDIT_REDO_CMD));
    }
    g_lightScribeAvailable = lightScribeBefore;

    // The insert commands are always enabled, in the menu as on the bar's Insert button.
    for (UINT id : {ID_INSERT_ARTIST, ID_INSERT_TITLE, ID_INSERT_TRACK, ID_INSERT_YEAR, ID_INSERT_TIME,
                    ID_INSERT_GENRE, ID_INSERT_TEXT, ID_INSERT_IMAGE}) {
        CAPTURE(id);
        CHECK(MenuItemEnabled(r.frame, id));
    }

    // Show Grid and Snap to Grid: the command turns the setting over and the item shows it.
    for (UINT id : {ID_SHOW_GRID, ID_SNAP_TO_GRID}) {
        CAPTURE(id);
        BYTE& setting = id == ID_SHOW_GRID ? g_showGrid : g_snapToGrid;
        for (int i = 0; i < 2; ++i) {
            r.Command(id);
            bool checked = false;
            CHECK(MenuItemEnabled(r.frame, id, &checked));
            CHECK(checked == (setting != 0));
        }
    }
    r.run.Close();
}

TEST_CASE("insert commands put their kind of object on the label") {
    Running r;
    r.doc->NewFromTemplate(4, 0, 1);
    const struct {
        UINT command;
        const char* name;
        bool trackList;
    } rows[] = {
        {ID_INSERT_ARTIST, "Artist", false}, {ID_INSERT_TITLE, "Title", false},
        {ID_INSERT_TRACK, "Track List", true}, {ID_INSERT_YEAR, "Year", false},
        {ID_INSERT_TIME, "Time", false},     {ID_INSERT_GENRE, "Genre", false},
        {ID_INSERT_TEXT, "Text", false},
    };
    for (const auto& row : rows) {
        CAPTURE(row.name);
        const int before = CountObjects(r.view);
        r.Command(row.command);
        CHECK(CountObjects(r.view) == before + 1);
        ViewObject* made = r.Selected();
        REQUIRE(made != nullptr);
        CHECK(made->IsTrackList() == row.trackList);
        CHECK(made->IsText() == !row.trackList);
        CHECK(made->name.Left((int)std::strlen(row.name)) == row.name);
        CHECK(MenuItemEnabled(r.frame, ID_EDIT_UNDO_CMD));
    }
    // Image asks for the picture first.
    const CString photo = CString(r.folders.Root().c_str()) + "\\photo.png";
    REQUIRE(kvtest::WriteTestPng(photo));
    const int before = CountObjects(r.view);
    const UINT_PTR timer = kvtest::AnswerInsertImage(photo);
    r.Command(ID_INSERT_IMAGE);
    ::KillTimer(nullptr, timer);
    CHECK(CountObjects(r.view) == before + 1);
    REQUIRE(r.Selected() != nullptr);
    CHECK(r.Selected()->IsImage());
    CHECK(r.Selected()->imagePath == photo);
    r.run.Close();
}

TEST_CASE("without a view the view's commands are disabled and the frame's messages do no harm") {
    Running r;
    // A selected text leaves the object commands' state bytes set.
    r.Command(ID_INSERT_TEXT);
    r.view->m_select.SetSelection(0, 2);
    PutText("Elsewhere");
    REQUIRE(EditStates(r.frame) == "U- xcv XC-D HV");
    KvMessageBoxCapture boxes;

    auto checkFrameWithoutView = [&] {
        CHECK(EditStates(r.frame) == "-- --- ---- --");
        CHECK_FALSE(ButtonEnabled(r.frame, ID_EDIT_UNDO_CMD));
        CHECK_FALSE(ButtonEnabled(r.frame, ID_EDIT_REDO_CMD));
        // The frame's own messages that reach for the view: the end of a resize, a restore, a bar
        // toggled twice, an insert command and a rebuilt tool bar.
        r.frame->SendMessage(WM_EXITSIZEMOVE);
        r.frame->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
        r.Command(ID_VIEW_MAIN_TOOLBAR);
        r.Command(ID_VIEW_MAIN_TOOLBAR);
        r.Command(ID_INSERT_ARTIST);
        r.frame->UpdateMainToolbarButtons();
        std::string images;
        CHECK(ToolbarLayout(r.frame->m_toolMain.m_hWnd, images) == "FBD|oi|R|I|G|Ur|P");
        CHECK(r.run.Pump([] { return HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0; }, 5000));
        CHECK(boxes.Boxes().empty());
    };

    SUBCASE("not yet: start-up has not handed the view to the application") {
        View* view = r.run.app.m_pView;
        r.run.app.m_pView = nullptr;
        checkFrameWithoutView();
        r.run.app.m_pView = view;
    }
    SUBCASE("any more: the view's window is gone") {
        HWND frameWindow = r.frame->m_hWnd;
        r.view->DestroyWindow();
        REQUIRE(View::GetCurrent() == nullptr);
        checkFrameWithoutView();
        CHECK(::IsWindow(frameWindow));
    }
    r.run.Close();
}
