// The field box and the Tracks box in real windows: Return, paste, Ctrl+A, Ctrl+Z, the grid
// editor's Tab and arrows, the Tracks box's keys and counts, and their event lists.
#include <doctest.h>

#include <string>
#include <vector>

#include "TextEditorHarness.h"
#include "bars/CboTracks.h"
#include "bars/EditText.h"
#include "controls/ThemeResources.h"

namespace {

struct Log {
    std::vector<std::string> events;
    CString lastText;
    CEditText* lastBox = nullptr;
    int lastCount = 0;
    CString lastName;
    void OnFocused() { events.push_back("focused"); }
    void OnRemoveFocus() { events.push_back("removefocus"); }
    void OnUpdateText(CString& text, CEditText* box) {
        events.push_back("update");
        lastText = text;
        lastBox = box;
    }
    void OnTab(CEditText* box) {
        events.push_back("tab");
        lastBox = box;
    }
    void OnArrow(CEditText* box, MSG* msg) {
        events.push_back(msg->wParam == VK_UP ? "arrow-up" : "arrow-down");
        lastBox = box;
    }
    void OnKillFocus(CEditText*) { events.push_back("killfocus"); }
    void OnTrackChange(int count, CString name) {
        events.push_back("tracks");
        lastCount = count;
        lastName = name;
    }
    int Count(const char* name) const {
        int n = 0;
        for (const std::string& e : events) n += e == name;
        return n;
    }
};

const UINT kUndoCommand = 57643;

class BoxesFrame : public CFrameWnd {
public:
    CEditText m_field;
    CEditText m_cell;
    CCboTracks m_tracks;
    Log m_log;

    int OnCreate(LPCREATESTRUCT lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        const DWORD edit = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL;
        m_field.m_name = "Artist";
        m_field.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", edit, CRect(10, 10, 300, 60), this, 101);
        m_cell.m_name = "Track List - Disc 2";
        m_cell.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", edit, CRect(10, 70, 300, 120), this, 102);
        m_tracks.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, CRect(10, 130, 61, 290), this,
                        103);
        m_tracks.m_name = "Track List";
        for (int n = 1; n <= 99; ++n) {
            CString item;
            item.Format("%d", n);
            m_tracks.AddString(item);
        }
        for (CEditText* box : {&m_field, &m_cell}) {
            box->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont));
            box->HookFocused(&m_log, &Log::OnFocused);
            box->HookRemoveFocus(&m_log, &Log::OnRemoveFocus);
            box->HookUpdateText(&m_log, &Log::OnUpdateText);
            box->HookTrackListTab(&m_log, &Log::OnTab);
            box->HookTrackListArrow(&m_log, &Log::OnArrow);
            box->HookKillFocus(&m_log, &Log::OnKillFocus);
        }
        m_tracks.HookFocused(&m_log, &Log::OnFocused);
        m_tracks.HookRemoveFocus(&m_log, &Log::OnRemoveFocus);
        m_tracks.HookTrackChange(&m_log, &Log::OnTrackChange);
        // The application's accelerators undo in the canvas.
        ACCEL undo = {FVIRTKEY | FCONTROL, 'Z', kUndoCommand};
        m_hAccelTable = ::CreateAcceleratorTable(&undo, 1);
        return 0;
    }
    void OnDestroy() {
        ::DestroyAcceleratorTable(m_hAccelTable);
        m_hAccelTable = nullptr;
        CFrameWnd::OnDestroy();
    }
    void OnUndo() { m_log.events.push_back("undo"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BoxesFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_COMMAND(kUndoCommand, OnUndo)
END_MESSAGE_MAP()

CString TextOf(CWnd& w) {
    CString text;
    w.GetWindowText(text);
    return text;
}

void PutClipboardText(HWND owner, const char* text) {
    REQUIRE(::OpenClipboard(owner));
    ::EmptyClipboard();
    if (text) {
        const size_t size = strlen(text) + 1;
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(::GlobalLock(block), text, size);
        ::GlobalUnlock(block);
        ::SetClipboardData(CF_TEXT, block);
    }
    ::CloseClipboard();
}

HWND ComboEdit(CCboTracks& combo) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ::GetComboBoxInfo(combo.m_hWnd, &info);
    return info.hwndItem;
}

// One frame for the whole program: hiding or destroying a window waits for the display. It
// stands off the screen, out of the way of the tests that use the mouse.
BoxesFrame& TheFrame() {
    static BoxesFrame* frame = nullptr;
    if (!frame) {
        editortest::InitProgram();
        frame = new BoxesFrame;
        REQUIRE(
            frame->Create(nullptr, "Boxes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(-1200, 30, -830, 400)));
        AfxGetApp()->m_pMainWnd = frame;
        editortest::Settle();
    }
    frame->m_log = Log();
    return *frame;
}

}  // namespace

TEST_CASE("field boxes and the Tracks box") {
    KvMessageBoxCapture boxes(IDOK);
    BoxesFrame* frame = &TheFrame();
    Log& log = frame->m_log;
    CEditText& field = frame->m_field;
    CEditText& cell = frame->m_cell;
    field.SetTextQuietly("");
    cell.SetTextQuietly("");

    SUBCASE("typing raises UpdateText with the box's text; text set by the program raises nothing") {
        field.SetTextQuietly("Abba");
        CHECK(log.Count("update") == 0);
        field.SetSel(4, 4);
        editortest::TypeText(field, "x");
        CHECK(log.Count("update") == 1);
        CHECK(log.lastText == CString("Abbax"));
        CHECK(log.lastBox == &field);
    }

    SUBCASE("Return inserts a line break at the caret, the selection staying, and raises one update") {
        field.SetTextQuietly("HelloWorld");
        field.SetSel(5, 7);
        editortest::PressKey(field, VK_RETURN);
        CHECK(TextOf(field) == CString("Hello\r\nWorld"));
        CHECK(log.Count("update") == 1);
        CHECK(log.lastText == CString("Hello\r\nWorld"));
        int start = 0, end = 0;
        field.GetSel(start, end);
        CHECK(start == 7);
        CHECK(field.m_pendingBreak == -1);
    }

    SUBCASE("paste replaces the selection with the cleaned clipboard text") {
        field.SetTextQuietly("one TWO three");
        field.SetSel(4, 7);
        PutClipboardText(frame->m_hWnd,
                         "a\tb\x08"
                         "c");
        field.SendMessage(WM_PASTE);
        CHECK(TextOf(field) == CString("one a bc three"));
        int start = 0, end = 0;
        field.GetSel(start, end);
        CHECK(start == 8);
        CHECK(end == 8);
        CHECK(log.Count("update") == 1);
        // Without text on the clipboard the selection just goes.
        PutClipboardText(frame->m_hWnd, nullptr);
        field.SetSel(0, 4);
        field.SendMessage(WM_PASTE);
        CHECK(TextOf(field) == CString("a bc three"));
        CHECK(log.Count("update") == 2);
    }

    SUBCASE("Ctrl+A selects everything and goes no further; Ctrl+Z gives the focus away first") {
        field.SetTextQuietly("Select me");
        field.SetSel(2, 2);
        editortest::PressKey(field, 'A', true);
        int start = 0, end = 0;
        field.GetSel(start, end);
        CHECK(start == 0);
        CHECK(end == 9);
        CHECK(TextOf(field) == CString("Select me"));
        CHECK(log.Count("update") == 0);
        // A plain 'A' types as usual.
        editortest::PressKey(field, 'A');
        CHECK(TextOf(field) == CString("a"));
        log.events.clear();
        editortest::PressKey(field, 'Z', true);
        REQUIRE(log.events.size() >= 2);
        CHECK(log.events[0] == "removefocus");
        CHECK(log.events[1] == "undo");
        CHECK(log.Count("update") == 0);
    }

    SUBCASE("in the grid's editor Tab moves on, and arrows leave only from the edge lines") {
        cell.SetTextQuietly("line one\r\nline two");
        cell.SetSel(0, 0);
        editortest::PressKey(cell, VK_TAB);
        CHECK(log.Count("tab") == 1);
        CHECK(TextOf(cell) == CString("line one\r\nline two"));  // no tab typed
        int start = 0, end = 0;
        cell.GetSel(start, end);
        CHECK(end - start == 18);
        cell.SetSel(0, 0);
        editortest::PressKey(cell, VK_DOWN);  // first of two lines: the caret moves, no event
        CHECK(log.Count("arrow-down") == 0);
        CHECK(cell.LineFromChar(-1) == 1);
        editortest::PressKey(cell, VK_DOWN);  // last line: leaves the cell
        CHECK(log.Count("arrow-down") == 1);
        CHECK(log.lastBox == &cell);
        editortest::PressKey(cell, VK_UP);  // from the last line up: caret only
        CHECK(log.Count("arrow-up") == 0);
        editortest::PressKey(cell, VK_UP);
        CHECK(log.Count("arrow-up") == 1);
        // An ordinary field keeps its Tab and arrows.
        field.SetTextQuietly("x");
        editortest::PressKey(field, VK_DOWN);
        CHECK(log.Count("arrow-down") == 1);
    }

    SUBCASE("the Tracks box takes digits, clamps the count and reports it") {
        CCboTracks& tracks = frame->m_tracks;
        HWND edit = ComboEdit(tracks);
        REQUIRE(edit != nullptr);
        tracks.SetCurSel(0);
        ::SetWindowTextA(edit, "");
        // Letters and keypad digits never reach the box; digits do.
        for (UINT key : {UINT('Q'), UINT(VK_NUMPAD5), UINT('1'), UINT('5'), UINT('0')})
            editortest::PressKey(edit, key);
        CHECK(TextOf(tracks) == CString("150"));
        editortest::PressKey(edit, VK_RETURN);
        CHECK(log.Count("tracks") == 1);
        CHECK(log.lastCount == 99);
        CHECK(log.lastName == CString("Track List"));
        CHECK(tracks.GetCurSel() == 98);
        CHECK(log.Count("removefocus") == 1);
        ::SetWindowTextA(edit, "0");
        editortest::PressKey(edit, VK_RETURN);
        CHECK(log.lastCount == 1);
        CHECK(tracks.GetCurSel() == 0);
        // A choice from the list reports the chosen item.
        tracks.SetCurSel(6);
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(103, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(tracks.m_hWnd));
        CHECK(log.lastCount == 7);
        CHECK(tracks.ParseCount("7") == 7);
    }

    CHECK(boxes.Boxes().empty());
}
