// Keys and clicks in the running application, sent through its message loop with the frame's
// shortcuts in place: every key on the canvas does one thing (one change, one undo step), typed
// characters keep their order against the keys, clicks and commands after them, a click with
// Snap to Grid on moves nothing and a drag is one undo step, the Properties bar's gaps and a
// Delete or Backspace with nothing to delete leave the undo list, Redo and the modified flag
// alone, a track list takes the editing keys as a text does, the editing keys of a Text Editor
// field edit the field, a click on the canvas takes the keyboard back from the bar, an undone
// resize of a fitted text shows its size again in the size box, a click past the end of a text
// puts the caret after its last letter and one on an empty line on that line, a click on stacked
// objects picks the smallest, changes only the selection's marks on the canvas and lays the
// Properties bar out once, and Undo and Redo leave the canvas scrolled as it is unless what they
// bring back lies out of sight.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/AppCanvasState.h"
#include "canvas/TextEditing.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "render/RenderThreads.h"
#include "res/CommandIds.h"

namespace {

void PutText(const char* text) {
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), text, size);
    ::GlobalUnlock(block);
    REQUIRE(::SetClipboardData(CF_TEXT, block) != nullptr);
    ::CloseClipboard();
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

// Ctrl (or Shift) held, in the thread's key state, which the canvas and the shortcuts read,
// while it lives.
class ControlHeld {
public:
    explicit ControlHeld(bool held, BYTE vk = VK_CONTROL, BYTE left = VK_LCONTROL)
        : m_held(held), m_vk(vk), m_left(left) {
        Set(held);
    }
    ~ControlHeld() {
        if (m_held) Set(false);
    }

private:
    void Set(bool down) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[m_vk] = keys[m_left] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    bool m_held;
    BYTE m_vk, m_left;
};

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
    std::string Text() {
        ViewObject* o = view->m_design.GetFirstSelected();
        return o && (o->IsText() || o->IsTrackList()) ? std::string((LPCSTR)o->GetText()) : std::string();
    }
    // A new design with a picture inserted as one undo step, as the Images bar inserts one
    // (`fromField`: while a Text Editor field has the keyboard, which selects the page).
    ViewObject* DesignWithPicture(bool fromField = false) {
        doc->NewFromTemplate(4, 0, 1);
        if (fromField) frame->m_barText.m_artist.SetFocus();
        const CString image = CString(folders.Root().c_str()) + "\\photo.png";
        REQUIRE(kvtest::WriteTestPng(image));
        view->BeginUndoStep();
        view->RecordUndoValue("prevOrder", nullptr, "", "");
        ViewObject* picture = view->InsertImageObject(CRect(300, 300, 1500, 1200), image, false);
        REQUIRE(picture != nullptr);
        view->RecordUndoValue("nextRich", picture, "", "");
        view->RecordUndoValue("nextOrder", picture, "", "");
        view->EndUndoStep();
        return picture;
    }
    // A new design with an object inserted by its command: the object, selected and laid out.
    ViewObject* NewDesignWith(UINT command) {
        doc->NewFromTemplate(4, 0, 1);
        frame->SendMessage(WM_COMMAND, command);
        Settle();
        return view->m_design.GetFirstSelected();
    }
    bool RedoOffered() const { return view->m_undoPosition < view->GetUndoCount() - 1; }
    // Runs the loop until every posted key and click is handled and the typing is inserted.
    void Settle() {
        CHECK(run.Pump(
            [&] {
                MSG m;
                return !::PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) &&
                       !::PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE) &&
                       AppCanvasState::Get().m_queuedText.IsEmpty();
            },
            5000));
    }
    // A key pressed on the focused canvas (its auto-repeats too) and let go, each message
    // handled as it comes, as from the keyboard (characters come from TranslateMessage), but
    // without the idle time in between: a fast typist's burst.
    // `toFocus`: to the window that has the keyboard, not to the canvas.
    void PostKey(UINT vk, bool ctrl = false, int repeats = 0, bool shift = false, bool toFocus = false) {
        ControlHeld hold(ctrl);
        ControlHeld holdShift(shift, VK_SHIFT, VK_LSHIFT);
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(vk, 0)) << 16;
        const HWND to = toFocus ? ::GetFocus() : view->m_hWnd;
        Handle(WM_KEYDOWN, vk, scan | 1, to);
        for (int i = 0; i < repeats; ++i) Handle(WM_KEYDOWN, vk, scan | 1 | (1 << 30), to);
        Handle(WM_KEYUP, vk, scan | 1 | 0xC0000000, to);
    }
    void Handle(UINT message, WPARAM wParam, LPARAM lParam, HWND to) {
        ::PostMessageA(to, message, wParam, lParam);
        MSG m;
        while (::PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) run.app.PumpMessage();
    }
    void Key(UINT vk, bool ctrl = false, int repeats = 0) {
        PostKey(vk, ctrl, repeats);
        Settle();
    }
    void ShiftKey(UINT vk) {
        PostKey(vk, false, 0, true);
        Settle();
    }
    void FocusKey(UINT vk) {
        PostKey(vk, false, 0, false, true);
        Settle();
    }
    void PostTyping(const char* text) {
        for (const char* c = text; *c; ++c) PostKey(::VkKeyScanA(*c) & 0xFF);
    }
    // The canvas's client point of a design point.
    CPoint ClientOf(int x, int y) const {
        double sx = 0, sy = 0;
        view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
        CPoint origin;
        view->GetScrollOrigin(origin, false);
        return CPoint(static_cast<int>(x * sx + 0.5) - origin.x, static_cast<int>(y * sy + 0.5) - origin.y);
    }
    // The canvas's client point of a character's middle (its left part: the caret goes before it).
    CPoint ClientOfChar(const ViewObject* o, int index) const {
        REQUIRE(index < o->cellBoxes.GetSize());
        const Gdiplus::RectF& box = *o->cellBoxes[index];
        return ClientOf(o->left + static_cast<int>(box.X + box.Width / 4),
                        o->top + static_cast<int>(box.Y + box.Height / 2));
    }
    // The left button pressed at `from`, moved through `via` and let go at the last point (or
    // where it was pressed), each message through the loop. The pointer is put there first and
    // the canvas asked for its cursor, as the system does before a press; `mode` is what the
    // canvas then makes of the press; `whileHeld` runs before the release.
    void Click(CPoint from, std::initializer_list<CPoint> via = {}, const char* mode = "Move",
               const std::function<void()>& whileHeld = nullptr) {
        CPoint screen = from;
        view->ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        // A message taken from the queue records the pointer's place for the cursor question.
        const UINT marker = WM_APP + 77;
        view->PostMessage(marker, 0, 0);
        MSG m;
        while (::PeekMessageA(&m, view->m_hWnd, marker, marker, PM_REMOVE)) {}
        view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        REQUIRE(view->m_dragMode == mode);
        CPoint at = from;
        view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        for (CPoint p : via) {
            at = p;
            view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        }
        if (whileHeld) {
            Settle();
            whileHeld();
        }
        view->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Settle();
    }
    // A click on the Properties bar at the middle of its item.
    void ClickPropertiesItem(int index) {
        CToolFont& bar = frame->m_toolProperties;
        REQUIRE(index < bar.GetToolBarCtrl().GetButtonCount());
        CRect item;
        bar.GetItemRect(index, &item);
        REQUIRE_FALSE(item.IsRectEmpty());
        const CPoint middle = item.CenterPoint();
        // The press lands on the bar itself, not on one of the controls it holds.
        REQUIRE(::ChildWindowFromPointEx(bar.m_hWnd, middle, CWP_SKIPINVISIBLE) == bar.m_hWnd);
        const LPARAM at = MAKELPARAM(middle.x, middle.y);
        bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        bar.PostMessage(WM_LBUTTONUP, 0, at);
        Settle();
    }
};

}  // namespace

TEST_CASE("keys on the canvas while a text is edited: one key, one change, one undo step" *
          doctest::timeout(120)) {
    Running r;
    r.doc->NewFromTemplate(4, 0, 1);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(r.Text() == "Text\b");
    const int objects = CountObjects(r.view);
    r.view->SetFocus();
    ViewSelect& editor = r.view->m_select;
    int steps = r.view->GetUndoCount();
    int start = -1, end = -1;

    // Delete takes the character after the caret, never the object with it.
    editor.SetSelection(0, 0);
    r.Key(VK_DELETE);
    CHECK(r.Text() == "ext\b");
    CHECK(CountObjects(r.view) == objects);
    CHECK(r.view->GetUndoCount() == ++steps);
    editor.SetSelection(3, 3);  // on the end mark: nothing to delete
    r.Key(VK_DELETE);
    CHECK(r.Text() == "ext\b");
    CHECK(CountObjects(r.view) == objects);
    CHECK(r.view->GetUndoCount() == steps);
    // Ctrl+Z and Ctrl+Y reach the frame's shortcuts and step once each.
    r.Key('Z', true);
    CHECK(r.Text() == "Text\b");
    r.Key('Y', true);
    CHECK(r.Text() == "ext\b");
    r.Key('Z', true);
    CHECK(r.Text() == "Text\b");
    CHECK(CountObjects(r.view) == objects);

    // Ctrl+V pastes once, also when the key is held down.
    PutText("ab");
    editor.SetSelection(4, 4);
    r.Key('V', true, 3);
    CHECK(r.Text() == "Textab\b");
    CHECK(r.view->GetUndoCount() == steps);  // the redo tail went, one step came
    CHECK(r.view->m_undoPosition == steps - 1);
    r.Key('Z', true);
    CHECK(r.Text() == "Text\b");
    r.Key('Y', true);

    // Ctrl+C copies and changes nothing; Ctrl+X cuts once.
    editor.SetSelection(0, 2);
    r.Key('C', true);
    CHECK(ClipboardText() == "Te");
    CHECK(r.Text() == "Textab\b");
    CHECK(r.view->GetUndoCount() == steps);
    PutText("other");
    editor.SetSelection(0, 2);
    r.Key('X', true);
    CHECK(ClipboardText() == "Te");
    CHECK(r.Text() == "xtab\b");
    CHECK(r.view->GetUndoCount() == ++steps);

    // Ctrl+A selects the whole text and nothing else.
    r.Key('A', true);
    REQUIRE(editor.GetSelection(start, end));
    CHECK(start == 0);
    CHECK(end >= 4);
    CHECK(r.Text() == "xtab\b");
    CHECK(r.view->GetUndoCount() == steps);

    // An arrow moves the caret by one character; Backspace takes one character as one step.
    editor.SetSelection(0, 0);
    r.Key(VK_RIGHT);
    r.Key(VK_RIGHT);
    r.Key(VK_LEFT);
    REQUIRE(editor.GetSelection(start, end));
    CHECK(start == 1);
    CHECK(end == 1);
    r.Key(VK_BACK);
    CHECK(r.Text() == "tab\b");
    CHECK(r.view->GetUndoCount() == ++steps);

    // Saved (Ctrl+S): Ctrl+Z takes the design away from its file and Ctrl+Y back to it; saved
    // after Ctrl+Z, Ctrl+Y takes it away.
    r.doc->SetPathAndTitle(CString(r.folders.Root().c_str()) + "\\keys.kvl", FALSE);
    r.Key('S', true);
    REQUIRE_FALSE(r.doc->IsModified());
    r.Key('Z', true);
    CHECK(r.doc->IsModified());
    r.Key('Y', true);
    CHECK_FALSE(r.doc->IsModified());
    r.Key('Z', true);
    r.Key('S', true);
    r.Key('Y', true);
    CHECK(r.doc->IsModified());
}

TEST_CASE("characters typed just before a key keep their order: nothing typed is lost or undone out of turn" *
          doctest::timeout(120)) {
    Running r;
    r.doc->NewFromTemplate(4, 0, 1);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(r.Text() == "Text\b");
    r.view->SetFocus();
    ViewSelect& editor = r.view->m_select;
    int steps = r.view->GetUndoCount();

    // Typed, then Backspace at once (no idle time in between): the last typed character goes.
    editor.SetSelection(4, 4);
    r.PostTyping("yz");
    r.PostKey(VK_BACK);
    r.Settle();
    CHECK(r.Text() == "Texty\b");
    steps += 2;
    CHECK(r.view->GetUndoCount() == steps);
    // Typed, then the caret moved left and more typed: the second word goes where the caret went.
    r.PostTyping("ab");
    r.PostKey(VK_LEFT);
    r.PostTyping("c");
    r.Settle();
    CHECK(r.Text() == "Textyacb\b");
    steps += 2;
    // Typed, then Ctrl+Z: the typing is what is undone, and Ctrl+Y brings it back.
    r.PostTyping("q");
    r.PostKey('Z', true);
    r.Settle();
    CHECK(r.Text() == "Textyacb\b");
    r.Key('Y', true);
    CHECK(r.Text() == "Textyacqb\b");
    CHECK(r.view->GetUndoCount() == steps + 1);
}

TEST_CASE("Delete: a selected picture goes as one step; on a side with nothing to clear nothing is recorded" *
          doctest::timeout(120)) {
    Running r;
    ViewObject* picture = r.DesignWithPicture();
    r.view->OnSelectionChanged(picture->name, TRUE);
    r.view->SetFocus();
    const int objects = CountObjects(r.view);
    const int steps = r.view->GetUndoCount();
    r.Key(VK_DELETE);
    CHECK(CountObjects(r.view) == objects - 1);
    CHECK(r.view->GetUndoCount() == steps + 1);
    r.Key('Z', true);
    CHECK(CountObjects(r.view) == objects);
    r.Key('Z', true);
    CHECK(CountObjects(r.view) == objects - 1);  // back before the insertion: Redo waits
    REQUIRE(r.RedoOffered());

    // The side selected, no background picture nor colour: Delete and Backspace record nothing.
    r.view->OnSelectionChanged(r.view->m_design.currentSideName, TRUE);
    REQUIRE(r.view->m_design.GetFirstSelected() != nullptr);
    REQUIRE(r.view->m_design.GetFirstSelected()->IsSide());
    r.doc->SetModifiedFlag(FALSE);
    r.Key(VK_DELETE);
    r.Key(VK_BACK);
    CHECK(r.RedoOffered());
    CHECK_FALSE(r.doc->IsModified());
    r.Key('Y', true);
    CHECK(CountObjects(r.view) == objects);
}

TEST_CASE("keys on a track list edit its characters as on a text: Delete never takes the list" *
          doctest::timeout(120)) {
    Running r;
    r.doc->NewFromTemplate(4, 0, 1);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TRACK);
    ViewObject* list = r.view->m_design.GetFirstSelected();
    REQUIRE(list != nullptr);
    REQUIRE(list->IsTrackList());
    REQUIRE(list->trackRows.GetSize() >= 2);
    const int objects = CountObjects(r.view);
    r.view->SetFocus();
    ViewSelect& editor = r.view->m_select;
    const int steps = r.view->GetUndoCount();
    const std::string before = r.Text();

    // Delete in the first track's title takes its first character, as one step.
    const int first = TextEditing::FieldFirst(*list, 0, 2);
    REQUIRE(first >= 0);
    editor.SetSelection(first, first);
    r.Key(VK_DELETE);
    REQUIRE(CountObjects(r.view) == objects);  // the list is still there to read
    CHECK(r.Text() == before.substr(0, first) + before.substr(first + 1));
    CHECK(r.view->GetUndoCount() == steps + 1);

    // Tab goes on to the next track's title.
    r.Key(VK_TAB);
    int start = -1, end = -1;
    REQUIRE(editor.GetSelection(start, end));
    CHECK(start == TextEditing::FieldFirst(*list, 1, 2));
    CHECK(end == TextEditing::FieldEnd(*list, 1, 2));
    CHECK(CountObjects(r.view) == objects);
}

TEST_CASE(
    "with Snap to Grid on, a click on the selected picture over a text moves nothing; a drag is one step" *
    doctest::timeout(120)) {
    Running r;
    ViewObject* picture = r.DesignWithPicture();
    // A text lies over the picture, whose corner is off the grid; the picture is the selection.
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    ViewObject* text = r.view->m_design.GetFirstSelected();
    REQUIRE(text != nullptr);
    REQUIRE(text->IsText());
    r.view->BeginUndoStep();
    r.view->SetObjectLeft(picture, picture->left + g_gridSize[0] / 3);
    r.view->SetObjectTop(picture, picture->top + g_gridSize[1] / 3);
    r.view->SetObjectLeft(text, picture->left + 200);
    r.view->SetObjectTop(text, picture->top + 100);
    r.view->EndUndoStep();
    r.view->OnSelectionChanged(picture->name, TRUE);
    r.Settle();
    REQUIRE(r.view->m_design.GetFirstSelected() == picture);
    REQUIRE(g_snapToGrid == 0);
    r.frame->SendMessage(WM_COMMAND, ID_SNAP_TO_GRID);
    struct SnapOff {
        ~SnapOff() { g_snapToGrid = 0; }
    } snapOff;
    REQUIRE(g_snapToGrid != 0);
    const int left = picture->left, top = picture->top, steps = r.view->GetUndoCount();
    REQUIRE(left % g_gridSize[0] != 0);
    r.doc->SetModifiedFlag(FALSE);
    const CPoint on = r.ClientOf(text->left + 50, text->top + 50);

    r.Click(on);
    CHECK(picture->left == left);
    CHECK(picture->top == top);
    CHECK(r.view->GetUndoCount() == steps);
    CHECK_FALSE(r.doc->IsModified());
    // Moved and brought back before the release: nothing either.
    r.Click(on, {on + CPoint(40, 30), on});
    CHECK(picture->left == left);
    CHECK(picture->top == top);
    CHECK(r.view->GetUndoCount() == steps);
    // A drag that moves it is one step, which Ctrl+Z undoes.
    r.Click(on, {on + CPoint(40, 30)});
    CHECK(picture->left != left);
    CHECK(r.view->GetUndoCount() == steps + 1);
    r.view->SetFocus();
    r.Key('Z', true);
    CHECK(picture->left == left);
    CHECK(picture->top == top);
    // Saved while a drag is held, the file holds a place the drag passed that no undo position
    // holds: after the release and Ctrl+Z the design is modified still.
    const std::string file = r.folders.Root() + "\\held.kvl";
    r.doc->SetPathName(file.c_str(), FALSE);
    auto saveNow = [&] {
        ::DeleteFileA(file.c_str());
        r.frame->PostMessage(WM_COMMAND, ID_FILE_SAVE);
        CHECK(r.run.Pump([&] { return ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));
    };
    r.Click(on, {on + CPoint(40, 30)}, "Move", saveNow);
    r.Key('Z', true);
    CHECK(picture->left == left);
    CHECK(r.doc->IsModified());
    // So with the hue slider held, after Ctrl+Z or let go where it was pressed (no step then).
    CSliderCustom& hue = r.frame->m_toolProperties.m_sliderHue;
    CRect channel;
    hue.GetChannelRect(&channel);
    REQUIRE(hue.GetPos() == 0);
    const CPoint middle = channel.CenterPoint(), aside = middle + CPoint(channel.Width() / 4, 0);
    for (CPoint end : {aside, middle}) {
        saveNow();
        REQUIRE_FALSE(r.doc->IsModified());
        hue.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        hue.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(aside.x, aside.y));
        r.Settle();
        saveNow();
        hue.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
        hue.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
        r.Settle();
        if (end == aside) r.Key('Z', true);
        CHECK(picture->hue == 0);
        CHECK(r.doc->IsModified());
    }
}

TEST_CASE("a click between the Properties bar's buttons in the side and image layouts changes nothing" *
          doctest::timeout(120)) {
    Running r;
    // A picture, and a text inserted and undone: Redo waits.
    const CString pictureName = r.DesignWithPicture()->name;
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    r.frame->SendMessage(WM_COMMAND, ID_EDIT_UNDO_CMD);
    const int steps = r.view->GetUndoCount();
    REQUIRE(r.RedoOffered());

    auto clicksChangeNothing = [&](const std::string& layout) {
        INFO(layout);
        r.Settle();
        r.doc->SetModifiedFlag(FALSE);
        int clicked = 0;
        for (int index : {5, 9}) {
            if (index >= r.frame->m_toolProperties.GetToolBarCtrl().GetButtonCount()) continue;
            ++clicked;
            r.ClickPropertiesItem(index);
            CHECK(r.view->GetUndoCount() == steps);
            CHECK(r.RedoOffered());
            CHECK_FALSE(r.doc->IsModified());
        }
        CHECK(clicked > 0);
    };
    // The disc's layout (with its text margin and disc position buttons) is the longest.
    r.view->OnSelectionChanged("Disc 1", TRUE);
    REQUIRE(r.view->m_design.GetFirstSelected() != nullptr);
    REQUIRE(r.view->m_design.GetFirstSelected()->IsSide());
    clicksChangeNothing("side");
    r.view->OnSelectionChanged(pictureName, TRUE);
    REQUIRE(r.view->m_design.GetFirstSelected() != nullptr);
    REQUIRE(r.view->m_design.GetFirstSelected()->IsImage());
    clicksChangeNothing("image");
    // Bring to Front on the picture that already lies in front: a step that would change nothing.
    CIconButton& front = r.frame->m_toolProperties.m_btnBringToFront;
    REQUIRE(front.IsWindowVisible());
    CRect button;
    front.GetClientRect(&button);
    const LPARAM middle = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
    front.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, middle);
    front.PostMessage(WM_LBUTTONUP, 0, middle);
    r.Settle();
    CHECK(r.view->GetUndoCount() == steps);
    CHECK(r.RedoOffered());
    CHECK_FALSE(r.doc->IsModified());

    // In a text's layout the same place is the Italic button: one step.
    r.frame->SendMessage(WM_COMMAND, ID_EDIT_REDO_CMD);
    CString textName;
    r.view->m_design.ForEachObject([&](ViewObject* o) {
        if (o->IsText()) textName = o->name;
    });
    r.view->OnSelectionChanged(textName, TRUE);
    REQUIRE(r.Text() == "Text\b");
    r.Settle();
    r.ClickPropertiesItem(5);
    CHECK(r.view->GetUndoCount() == steps + 1);
    CHECK(r.view->m_undoPosition == steps);
    // Align Right is one step; pressed again on the right-aligned text it records nothing.
    REQUIRE(r.view->m_design.GetFirstSelected()->alignment != "Right");
    r.ClickPropertiesItem(10);
    CHECK(r.view->m_design.GetFirstSelected()->alignment == "Right");
    CHECK(r.view->GetUndoCount() == steps + 2);
    r.doc->SetModifiedFlag(FALSE);
    r.ClickPropertiesItem(10);
    CHECK(r.view->GetUndoCount() == steps + 2);
    CHECK(r.view->m_undoPosition == steps + 1);
    CHECK_FALSE(r.doc->IsModified());
}

TEST_CASE("keys typed into a field of the Text Editor bar stay in the field, not on the canvas's selection" *
          doctest::timeout(120)) {
    Running r;
    r.doc->NewFromTemplate(4, 0, 1);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    REQUIRE(r.Text() == "Text\b");
    const int objects = CountObjects(r.view);
    const CString textName = r.view->m_design.GetFirstSelected()->name;
    CEditText& field = r.frame->m_barText.m_artist;
    REQUIRE(field.m_hWnd != nullptr);
    field.SetFocus();
    field.SetWindowText("Artist");
    field.SetSel(0, 0);
    auto key = [&](UINT vk, bool ctrl) {
        ControlHeld hold(ctrl);
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(vk, 0)) << 16;
        field.PostMessage(WM_KEYDOWN, vk, scan | 1);
        field.PostMessage(WM_KEYUP, vk, scan | 1 | 0xC0000000);
        r.Settle();
    };
    key(VK_DELETE, false);
    CHECK(CountObjects(r.view) == objects);
    CString shown;
    field.GetWindowText(shown);
    CHECK(shown == "rtist");
    PutText("xy");
    key('V', true);
    field.GetWindowText(shown);
    CHECK(shown == "xyrtist");
    // The text on the canvas kept its characters; the field's edits are the field's own steps.
    ViewObject* text = r.view->m_design.FindObject(textName);
    REQUIRE(text != nullptr);
    CHECK(text->GetText() == "Text\b");
    CHECK(CountObjects(r.view) == objects);
}

TEST_CASE("a click on a text takes the keyboard from the Text Editor bar: the next keys edit the text" *
          doctest::timeout(120)) {
    Running r;
    ViewObject* text = r.NewDesignWith(ID_INSERT_TEXT);
    REQUIRE(r.Text() == "Text\b");
    const int objects = CountObjects(r.view);
    CBarText& bar = r.frame->m_barText;
    auto shown = [](CWnd& field) {
        CString t;
        field.GetWindowText(t);
        return std::string((LPCSTR)t);
    };

    // Typed into the Title field, then a click on the text's second character.
    bar.m_title.SetFocus();
    r.FocusKey('L');
    const std::string title = shown(bar.m_title);
    REQUIRE(title.find('l') != std::string::npos);
    r.Click(r.ClientOfChar(text, 1), {}, "");
    REQUIRE(r.view->m_design.GetFirstSelected() == text);
    r.FocusKey('Q');
    CHECK(r.Text() == "Tqext\b");
    r.FocusKey(VK_DELETE);
    CHECK(r.Text() == "Tqxt\b");
    CHECK(shown(bar.m_title) == title);
    CHECK(CountObjects(r.view) == objects);

    // A track cell being edited, then the click: the cell is left and Remove is off.
    CTrackList& grid = bar.m_trackList;
    CRect cell;
    REQUIRE(grid.GetSubItemRect(0, 2, LVIR_BOUNDS, cell));
    CPoint at(cell.left + 8, cell.top + 3), inEditor = at;
    grid.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    grid.MapWindowPoints(&grid.m_cellEditor, &inEditor, 1);
    grid.m_cellEditor.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(inEditor.x, inEditor.y));
    r.Settle();
    REQUIRE(::GetFocus() == grid.m_cellEditor.m_hWnd);
    REQUIRE(bar.m_remove.IsWindowEnabled());
    r.Click(r.ClientOfChar(text, 1), {}, "");
    CHECK_FALSE(bar.m_remove.IsWindowEnabled());
    r.FocusKey('Z');
    CHECK(r.Text() == "Tzqxt\b");
}

TEST_CASE("characters typed just before a click or a menu command go into the text they were typed into" *
          doctest::timeout(120)) {
    Running r;
    ViewObject* a = r.NewDesignWith(ID_INSERT_TEXT);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    ViewObject* b = r.view->m_design.GetFirstSelected();
    r.view->BeginUndoStep();
    r.view->SetObjectTop(b, a->top + a->height + 200);
    r.view->EndUndoStep();
    r.view->OnSelectionChanged(a->name, TRUE);
    r.Settle();
    r.view->SetFocus();
    r.view->m_select.SetSelection(4, 4);

    // Typed into A, then at once a click on B.
    r.PostTyping("qq");
    r.Click(r.ClientOfChar(b, 2), {}, "");
    CHECK(a->GetText() == "Textqq\b");
    CHECK(b->GetText() == "Text\b");
    // Typed into B, then at once Undo from the menu: the typing is what goes.
    REQUIRE(r.view->m_design.GetFirstSelected() == b);
    r.PostTyping("zz");
    r.frame->PostMessage(WM_COMMAND, ID_EDIT_UNDO_CMD);
    r.Settle();
    CHECK(b->GetText() == "Text\b");
    CHECK(a->GetText() == "Textqq\b");
}

TEST_CASE("Shift selects from where Home put the caret; a key that deletes nothing records nothing" *
          doctest::timeout(120)) {
    Running r;
    ViewObject* text = r.NewDesignWith(ID_INSERT_TEXT);
    ViewSelect& editor = r.view->m_select;
    int start = -1, end = -1;

    // A click inside the word, Home, then Shift+Right three times: the first three characters.
    r.view->OnSelectionChanged(r.view->m_design.currentSideName, TRUE);
    r.Click(r.ClientOfChar(text, 2), {}, "");
    REQUIRE(editor.GetSelection(start, end));
    REQUIRE(start == 2);
    r.Key(VK_HOME);
    for (int i = 0; i < 3; ++i) r.ShiftKey(VK_RIGHT);
    REQUIRE(editor.GetSelection(start, end));
    CHECK(start == 0);
    CHECK(end == 3);

    // Redo waiting, the design saved: Backspace at the start of the text, or just after a track
    // field's separator, changes nothing and records nothing.
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TRACK);
    ViewObject* list = r.view->m_design.GetFirstSelected();
    REQUIRE(list->IsTrackList());
    r.view->OnSelectionChanged(text->name, TRUE);
    r.Key('X');
    r.Key('Z', true);
    REQUIRE(r.RedoOffered());
    const int steps = r.view->GetUndoCount();
    r.doc->SetModifiedFlag(FALSE);
    r.Key(VK_HOME);
    r.Key(VK_BACK);
    CHECK(r.Text() == "Text\b");
    r.view->OnSelectionChanged(list->name, TRUE);
    const int title = TextEditing::FieldFirst(*list, 0, 2);
    editor.SetSelection(title, title);
    r.Key(VK_BACK);
    CHECK(r.view->GetUndoCount() == steps);
    CHECK(r.RedoOffered());
    CHECK_FALSE(r.doc->IsModified());
}

TEST_CASE(
    "a click past the end of a text puts the caret after its last letter, on a last line and turned too" *
    doctest::timeout(120)) {
    Running r;
    ViewObject* text = r.NewDesignWith(ID_INSERT_TEXT);
    r.view->SetFocus();
    r.Key('A', true);
    r.PostTyping("2024");
    // Half a letter on from the end of the text in its reading direction, with the caret at the
    // start before the click; then a capital typed.
    auto clickPastEndAndType = [&](UINT key) {
        r.Settle();
        const int n = text->GetCharCount();
        const Gdiplus::RectF &last = *text->cellBoxes[n - 2], &end = *text->cellBoxes[n - 1];
        const CPoint at(text->left + static_cast<int>(2 * end.X + end.Width - last.X - last.Width / 2),
                        text->top + static_cast<int>(2 * end.Y + end.Height - last.Y - last.Height / 2));
        REQUIRE(text->HitTest(static_cast<float>(at.x), static_cast<float>(at.y)));
        r.Key(VK_HOME);
        r.Click(r.ClientOf(at.x, at.y), {}, "Select");
        r.ShiftKey(key);
    };
    clickPastEndAndType('X');
    CHECK(r.Text() == "2024X\b");
    r.PostKey(VK_RETURN);
    r.PostTyping("ab");
    clickPastEndAndType('Y');
    CHECK(r.Text() == "2024X\rabY\b");
    // An empty line clicked (under the first letter) takes the caret, inside the text and last.
    auto clickLineAndType = [&](int index, UINT key) {
        r.Settle();
        const Gdiplus::RectF &first = *text->cellBoxes[0], &line = *text->cellBoxes[index];
        r.Click(r.ClientOf(text->left + static_cast<int>(first.X + first.Width / 2),
                           text->top + static_cast<int>(line.Y + line.Height / 2)),
                {}, "Select");
        r.ShiftKey(key);
    };
    r.PostKey(VK_RETURN);
    r.PostKey(VK_RETURN);
    r.PostTyping("cd");
    clickLineAndType(10, 'P');
    CHECK(r.Text() == "2024X\rabY\rP\rcd\b");
    r.PostKey(VK_END);
    r.PostKey(VK_RETURN);
    clickLineAndType(15, 'Q');
    CHECK(r.Text() == "2024X\rabY\rP\rcd\rQ\b");
    r.view->m_select.SetAngle("90 degrees");
    clickPastEndAndType('Z');
    CHECK(r.Text() == "2024X\rabY\rP\rcd\rQZ\b");
}

TEST_CASE(
    "a click on stacked objects picks the smallest, changes only the selection's marks and lays the "
    "Properties bar out once" *
    doctest::timeout(120)) {
    Running r;
    ViewObject* picture = r.DesignWithPicture();
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    ViewObject* text = r.view->m_design.GetFirstSelected();
    r.view->BeginUndoStep();
    r.view->SetObjectLeft(text, picture->left + 100);
    r.view->SetObjectTop(text, picture->top + 100);
    r.view->EndUndoStep();
    ViewObject* side = r.view->m_design.GetCurrentSide();
    r.view->OnSelectionChanged(side->name, TRUE);
    r.Settle();
    DIBSECTION dib = {};
    REQUIRE(::GetObject(r.view->m_buffer.Bitmap(), sizeof dib, &dib) == sizeof dib);
    auto at = [&](CPoint q) {
        return static_cast<BYTE*>(dib.dsBm.bmBits) + q.y * dib.dsBm.bmWidthBytes + q.x * 3;
    };
    // With guides shown the picture's outline reaches out of what the click draws again; a pixel
    // of the side far right of both objects is marked.
    const Gdiplus::Rect p = r.view->ObjectCanvasRect(picture), s = r.view->ObjectCanvasRect(side);
    BYTE* outline = at(CPoint(p.X + p.Width / 2, p.GetBottom()));
    const BYTE plain = *outline;
    r.frame->SendMessage(WM_COMMAND, ID_VIEW_SHOW_GUIDES);
    struct GuidesOff {
        ~GuidesOff() { g_showGuides = 0; }
    } guidesOff;
    r.Settle();
    ::GdiFlush();
    const BYTE outlined = *outline;
    REQUIRE(outlined != plain);
    const CPoint mark(s.X + s.Width * 7 / 8, s.Y + s.Height / 2);
    REQUIRE(mark.x > r.view->ObjectCanvasRect(text).GetRight() + 20);
    REQUIRE(r.view->ShownBufferArea().PtInRect(mark));
    const BYTE marked = *at(mark) ^= 0xFF;

    ResetRenderTimings();
    const unsigned layouts = r.frame->m_toolProperties.m_selectionUpdates;
    r.Click(r.ClientOf(text->left + 50, text->top + 50), {}, "");
    REQUIRE(text->GetArea() < picture->GetArea());
    CHECK(r.view->m_design.GetFirstSelected() == text);
    REQUIRE(r.view->m_objectHits.GetSize() == 2);  // the smallest first
    CHECK(r.view->m_objectHits[0] == text);
    CHECK(r.view->m_objectHits[1] == picture);
    ::GdiFlush();
    CHECK(*at(mark) == marked);
    CHECK(*outline == outlined);
    CHECK(GetRenderTimings().texts == 0);  // no text drawn again
    CHECK(r.frame->m_toolProperties.m_selectionUpdates == layouts + 1);
    *at(mark) ^= 0xFF;

    // The buffer holds what a drawing of the whole side gives: after the side's selection went to
    // the text, after the text's (with its caret) went to the picture, and after a colour change
    // drew the picture again where it lies, with the fitted text over it that reaches out of the side.
    auto sameAsWholeDrawing = [&] {
        auto shown = [&] {
            r.view->m_select.UpdateHighlight(false, false);  // the caret as a drawing leaves it, blink or not
            ::GdiFlush();
            const CRect a = r.view->ShownBufferArea();
            std::vector<BYTE> pixels;
            for (int y = a.top; y < a.bottom; ++y)
                pixels.insert(pixels.end(), at({a.left, y}), at({a.right, y}));
            return pixels;
        };
        const std::vector<BYTE> before = shown();
        r.view->Redraw(true);
        return shown() == before;
    };
    CHECK(sameAsWholeDrawing());
    r.Click(r.ClientOf(picture->left + 20, picture->top + 20), {}, "");
    CHECK(r.view->m_design.GetFirstSelected() == picture);
    CHECK(sameAsWholeDrawing());
    r.frame->m_toolProperties.m_sliderHue.SetFocus();
    r.FocusKey(VK_RIGHT);
    const AppCanvasState& state = AppCanvasState::Get();
    CHECK(r.run.Pump(
        [&] { return !state.m_hslThreadRunning && !state.m_hslResultReady && !state.m_redrawRequest; },
        5000));
    CHECK(picture->hue != 0);
    CHECK(sameAsWholeDrawing());
}

// A record of the own clipboard format found by mutation: a track list tens of millions of units
// tall, whose layout on the disc never ended. Paste Object, as the menu sends it, returns with the
// list brought within a design's sizes, and the side is drawn.
TEST_CASE("Paste Object with a damaged record of the own format returns and draws" * doctest::timeout(120)) {
    Running r;
    CString source = CString("Z:") + KV_HOSTILE_DATA_DIR + "/clipboard-object-hang.bin";
    source.Replace('/', '\\');
    const std::vector<unsigned char> bytes = kvtest::ReadFileBytes((LPCSTR)source);
    REQUIRE(bytes.size() > 14);
    for (const char* sideName : {"Disc 1", "Back Cover"}) {
        CAPTURE(sideName);
        r.doc->NewFromTemplate(4, 0, 1);
        REQUIRE(r.view->m_design.FindObject(sideName) != nullptr);
        r.view->OnSelectionChanged(sideName);
        REQUIRE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
        ::GlobalUnlock(block);
        const bool handed = ::SetClipboardData(AppCanvasState::Get().m_clipboardFormat, block) != nullptr;
        ::CloseClipboard();
        REQUIRE(handed);
        const int objects = CountObjects(r.view);
        r.frame->PostMessage(WM_COMMAND, ID_PASTE_OBJECT);
        REQUIRE(r.run.Pump([&] { return CountObjects(r.view) == objects + 1; }, 20000));
        ViewObject* pasted = r.view->m_design.GetFirstSelected();
        REQUIRE(pasted != nullptr);
        CHECK(pasted->IsTrackList());
        CHECK(pasted->width <= kMaxDesignLength);
        CHECK(pasted->height <= kMaxDesignLength);
        r.view->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CHECK(pasted->needsLayout == 0);
        r.doc->SetModifiedFlag(FALSE);
    }
}

TEST_CASE("undoing a resize of an automatically fitted text shows its size again in the size box" *
          doctest::timeout(120)) {
    Running r;
    r.frame->SendMessage(WM_COMMAND, ID_VIEW_FRONT_COVER);
    r.frame->SendMessage(WM_COMMAND, ID_INSERT_TEXT);
    r.Settle();
    ViewObject* text = r.view->m_design.GetFirstSelected();
    REQUIRE(text != nullptr);
    REQUIRE(text->bAutoFit == 1);
    CComboFontSize& box = r.frame->m_toolProperties.m_fontSize;
    auto shown = [&] {
        CString s;
        box.GetWindowText(s);
        return std::string(s);
    };
    const std::string fitted = shown();
    REQUIRE(fitted.find(" (AutoFit)") != std::string::npos);
    // The text's corner dragged in: a smaller size fits.
    const CPoint corner = r.ClientOf(text->left + text->width, text->top + text->height);
    r.Click(corner, {r.ClientOf(text->left + text->width / 6, text->top + text->height / 4)}, "BottomRight");
    CHECK(shown() != fitted);
    r.view->SetFocus();
    r.Key('Z', true);
    CHECK(r.run.Pump([&] { return shown() == fitted; }, 2000));
    CHECK(shown() == fitted);
}

TEST_CASE("Undo and Redo leave the canvas scrolled as it is unless what they bring back lies out of sight" *
          doctest::timeout(120)) {
    Running r;
    const CString name = r.DesignWithPicture(true)->name;
    CRect client, shown;
    auto inSight = [&] {
        const ViewObject* o = r.view->m_design.FindObject(name);
        r.view->GetClientRect(&client);
        return shown.IntersectRect(
            client, CRect(r.ClientOf(o->left, o->top), r.ClientOf(o->left + o->width, o->top + o->height)));
    };
    const CPoint scrolled = r.view->GetDeviceScrollPosition();
    r.Key('Z', true);
    r.Key('Y', true);
    CHECK(r.view->GetDeviceScrollPosition() == scrolled);
    // Zoomed in and scrolled to the page's foot, away from the picture: Ctrl+Z, Ctrl+Y bring it in.
    for (UINT command : {ID_VIEW_DISC_LABEL, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_IN})
        r.frame->SendMessage(WM_COMMAND, command);
    r.view->SendMessage(WM_VSCROLL, SB_BOTTOM);
    REQUIRE_FALSE(inSight());
    r.Key('Z', true);
    r.Key('Y', true);
    CHECK(inSight());
    // Undone from the Front Cover: the disc is shown, centred on its own page.
    for (UINT command : {ID_VIEW_FRONT_COVER, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_IN})
        r.frame->SendMessage(WM_COMMAND, command);
    r.Key('Z', true);
    const ViewObject* disc = r.view->m_design.GetCurrentSide();
    REQUIRE(disc->name == "Disc 1");
    r.view->GetClientRect(&client);
    CHECK(std::abs(r.ClientOf(0, disc->top + disc->width / 2).y - client.CenterPoint().y) <= 1);
}
