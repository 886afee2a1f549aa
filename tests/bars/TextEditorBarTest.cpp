// The Text Editor bar in a main window over a real design: typing into the fields, the track
// count, the grid's editing, moves and removals as undo steps, the disc suffix of a two-disc
// design, the layout, the columns' edges and the View menu's check.
#include <doctest.h>

#include <string>

#include "TextEditorHarness.h"
#include "GuiSupport.h"
#include "controls/ThemeFill.h"

namespace {

struct Fixture {
    editortest::TestCanvas canvas;
    editortest::EditorFrame* frame = nullptr;
};

// One window for the program (hiding or destroying one waits for the display); every subcase
// starts from a fresh design.
Fixture& Start(bool twoDiscs = false) {
    static Fixture* fixture = nullptr;
    if (!fixture) {
        editortest::InitProgram();
        fixture = new Fixture;
        SetBarCanvas(&fixture->canvas);
        fixture->canvas.MakeDesign(false);
        fixture->frame = new editortest::EditorFrame;
        REQUIRE(fixture->frame->CreateEditor(fixture->canvas, CRect(0, 0, 1000, 720)));
        editortest::Settle(100);
    }
    Fixture& f = *fixture;
    CBarText& bar = f.frame->m_bar;
    // Leaving whatever was being edited, as the user does: pointer away, focus to the canvas.
    ::SetCursorPos(900, 600);
    f.frame->m_pane.SetFocus();
    editortest::Settle(20);
    f.canvas.MakeDesign(twoDiscs);
    bar.UpdateCaptions(nullptr);
    bar.UpdateAllFields();
    f.canvas.m_steps.clear();
    f.canvas.m_redraws = f.canvas.m_linkedRefreshes = f.canvas.m_recenters = f.canvas.m_snapshots = 0;
    f.frame->m_focused = f.frame->m_removedFocus = 0;
    editortest::Settle(30);
    return f;
}

CString TextOf(CWnd& w) {
    CString text;
    w.GetWindowText(text);
    return text;
}

CRect RectIn(CWnd& child, CWnd& parent) {
    CRect r;
    child.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

HWND ComboEdit(CCboTracks& combo) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ::GetComboBoxInfo(combo.m_hWnd, &info);
    return info.hwndItem;
}

void SetTrackCount(CBarText& bar, const char* digits) {
    HWND edit = ComboEdit(bar.m_tracks);
    ::SetWindowTextA(edit, "");
    for (const char* p = digits; *p; ++p) editortest::PressKey(edit, static_cast<UINT>(*p));
    editortest::PressKey(edit, VK_RETURN);
}

// Clicks a cell of the grid as the mouse would: the press on the grid, the release on the editor.
void ClickCell(CTrackList& grid, int row, int column) {
    CRect cell;
    grid.GetSubItemRect(row, column, LVIR_BOUNDS, cell);
    const CPoint at(cell.left + 8, cell.top + 3);
    grid.m_dragMode.Empty();
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    CPoint inEditor = at;
    grid.MapWindowPoints(&grid.m_cellEditor, &inEditor, 1);
    grid.m_cellEditor.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(inEditor.x, inEditor.y));
    editortest::Settle(20);
}

// Presses a button as the mouse does: the pointer over it, so that the cell editor's loss of
// focus is not taken for leaving the grid.
void ClickButton(CWnd& button) {
    CRect r;
    button.GetWindowRect(&r);
    ::SetCursorPos(r.CenterPoint().x, r.CenterPoint().y);
    button.SendMessage(BM_CLICK);
    editortest::Settle(20);
}

ViewObject* AddLinkedText(KorvanelleDocument& design, const char* name) {
    ViewObject* object = new ViewObject;
    object->type = kObjectText;
    object->name = name;
    object->bLinkText = 1;
    object->SetText("old\x08");
    design.AddObject(object);
    return object;
}

}  // namespace

TEST_CASE("typing into a field stores the album field and its linked texts in one undo step") {
    KvMessageBoxCapture boxes(IDOK);
    editortest::PointerRestore pointer;
    Fixture& f = Start();
    CBarText& bar = f.frame->m_bar;
    ViewObject* linked = AddLinkedText(f.canvas.m_design, "Artist");
    CHECK(TextOf(bar.m_artist) == CString("Artist"));
    bar.m_artist.SetSel(6, 6);
    editortest::TypeText(bar.m_artist, "X");
    CHECK(f.canvas.m_design.GetAlbumField("Artist") == CString("ArtistX\x08"));
    CHECK(linked->GetText() == CString("ArtistX\x08"));
    REQUIRE(f.canvas.m_steps.size() == 1);
    CHECK(f.canvas.m_steps[0].field == CString("Artist"));
    CHECK(f.canvas.m_steps[0].before == CString("Artist\x08"));
    CHECK(f.canvas.m_steps[0].after == CString("ArtistX\x08"));
    CHECK(f.canvas.m_redraws == 1);
    // The side no longer carries the field after the step.
    CHECK(f.canvas.m_design.GetCurrentSide()->chars.GetSize() == 0);
    CHECK(f.canvas.m_design.GetCurrentSide()->imagePath.IsEmpty());

    SUBCASE("a tab is stored as a blank; every keystroke is a step of its own") {
        editortest::TypeText(bar.m_artist, "\tY");
        CHECK(f.canvas.m_design.GetAlbumField("Artist") == CString("ArtistX Y\x08"));
        CHECK(f.canvas.m_steps.size() == 3);
    }
    SUBCASE("Return breaks the line: the box grows by a line and the boxes below move down") {
        const int height = bar.m_artist.m_height;
        const int titleTop = RectIn(bar.m_title, bar).top;
        editortest::PressKey(bar.m_artist, VK_RETURN);
        editortest::Settle(30);
        CHECK(f.canvas.m_design.GetAlbumField("Artist") == CString("ArtistX\r\x08"));
        CHECK(TextOf(bar.m_artist) == CString("ArtistX\r\n"));
        const int grown = bar.m_artist.m_height - height;
        CHECK(grown >= 12);
        CHECK(grown <= 16);
        CHECK(RectIn(bar.m_title, bar).top == titleTop + grown);
        CHECK(RectIn(bar.m_artist, bar).Height() == bar.m_artist.m_height);
    }
    SUBCASE("focus in a box selects the side; Ctrl+Z gives the focus back to the canvas") {
        bar.m_title.SetFocus();
        editortest::Settle(20);
        CHECK(f.frame->m_focused == 1);
        editortest::PressKey(bar.m_title, 'Z', true);
        CHECK(f.frame->m_removedFocus == 1);
        CHECK(::GetFocus() == f.frame->m_pane.m_hWnd);
    }
}

TEST_CASE("the disc suffix of a two-disc design, and a track list without records") {
    KvMessageBoxCapture boxes(IDOK);
    editortest::PointerRestore pointer;
    SUBCASE("second disc of a two-disc design") {
        Fixture& f = Start(true);
        CBarText& bar = f.frame->m_bar;
        // In a two-disc design the names carry the disc: disc 1 until an object of disc 2 is chosen.
        CHECK(bar.m_discSuffix == CString(" - Disc 1"));
        CHECK(bar.m_artist.m_name == CString("Artist - Disc 1"));
        ViewObject disc2Title;
        disc2Title.name = "Title - Disc 2";
        bar.UpdateCaptions(&disc2Title);
        CHECK(bar.m_discSuffix == CString(" - Disc 2"));
        CHECK(bar.m_tracks.m_name == CString("Track List - Disc 2"));
        CHECK(TextOf(bar.m_captions[3]) == CString("Time - Disc 2"));
        CHECK(TextOf(bar.m_captions[5]) == CString("Tracks - Disc 2"));
        CHECK(TextOf(bar) == CString("Text Editor - Disc 2"));
        CHECK(RectIn(bar.m_tracks, bar).Width() == 71);
        CHECK(TextOf(bar.m_title) == CString("Title - Disc 2"));
        SetTrackCount(bar, "9");
        REQUIRE(f.canvas.m_steps.size() == 1);
        CHECK(f.canvas.m_steps[0].field == CString("Track List - Disc 2"));
        // Another object of the same disc changes nothing; back to one disc, no suffix.
        ViewObject disc2Artist;
        disc2Artist.name = "Artist - Disc 2(1)";
        bar.UpdateCaptions(&disc2Artist);
        CHECK(bar.m_discSuffix == CString(" - Disc 2"));
        f.canvas.MakeDesign(false);
        bar.UpdateCaptions(&disc2Artist);
        CHECK(bar.m_discSuffix.IsEmpty());
        CHECK(RectIn(bar.m_tracks, bar).Width() == 51);
        CHECK(TextOf(bar.m_captions[3]) == CString("Time"));
    }
    SUBCASE("a track list without records empties the grid and the Tracks box") {
        Fixture& f = Start();
        CBarText& bar = f.frame->m_bar;
        f.canvas.SetDocumentText("Track List", "");
        CHECK(bar.m_trackList.GetItemCount() == 0);
        CHECK(bar.m_tracks.GetCurSel() == -1);
        // A text cut short shows its last record with the fields it has.
        f.canvas.SetDocumentText("Track List",
                                 "1. \x08One\x08 1:00\x08"
                                 "2. \x08Tw");
        CHECK(bar.m_trackList.GetItemCount() == 2);
        CHECK(bar.m_trackList.GetItemText(1, 2) == CString("Tw"));
        CHECK(bar.m_tracks.GetCurSel() == 1);
    }
}

TEST_CASE("editing the track list in the grid") {
    KvMessageBoxCapture boxes(IDOK);
    editortest::PointerRestore pointer;
    Fixture& f = Start();
    CBarText& bar = f.frame->m_bar;
    CTrackList& grid = bar.m_trackList;
    CEditText& editor = grid.m_cellEditor;
    // A three-line title in record 2.
    CString text = f.canvas.m_design.GetAlbumField("Track List");
    f.canvas.SetDocumentText("Track List", SetTrackField(text, 2, kTrackTitleField, "a\rb\rc"));
    REQUIRE(grid.GetItemCount() == 9);
    CHECK_FALSE(bar.m_remove.IsWindowEnabled());

    SUBCASE("a click on a number chooses the record and lays the editor over that one line") {
        ClickCell(grid, 1, 1);
        CHECK(grid.m_currentRecord == 2);
        CHECK(grid.m_currentField == 1);
        CHECK(editor.IsWindowVisible());
        CHECK(TextOf(editor) == CString("2. "));
        CRect cell, placed = RectIn(editor, grid);
        grid.GetSubItemRect(1, 1, LVIR_BOUNDS, cell);
        CHECK(placed.top == cell.top);
        CHECK(placed.bottom == cell.bottom);
        CHECK(placed.left == cell.left + 3);
        CHECK(bar.m_remove.IsWindowEnabled());
        // All three rows of the record carry the outline: left edge of the number column.
        const kvtest::Capture picture = kvtest::CaptureWindow(grid.m_hWnd);
        const unsigned outline = kvtest::Rgb(::GetSysColor(COLOR_HIGHLIGHT));
        // The client area's left edge, wherever the picture puts the list's border.
        CRect window;
        grid.GetWindowRect(&window);
        CPoint origin(0, 0);
        grid.ClientToScreen(&origin);
        auto outlinedAt = [&](int y) {
            for (int x = 0; x <= origin.x - window.left; ++x)
                if (picture.At(x + cell.left, y) == outline) return true;
            return false;
        };
        CRect row3, row4;
        grid.GetItemRect(3, &row3, LVIR_BOUNDS);
        grid.GetItemRect(4, &row4, LVIR_BOUNDS);
        CHECK(outlinedAt(row3.top + 4));
        CHECK_FALSE(outlinedAt(row4.top + 6));
    }
    SUBCASE("a click on the title covers its three lines; typing stores the cell as one step") {
        ClickCell(grid, 2, 2);
        CHECK(grid.m_currentRecord == 2);
        CHECK(TextOf(editor) == CString("a\r\nb\r\nc"));
        CRect first, third;
        grid.GetSubItemRect(1, 2, LVIR_BOUNDS, first);
        grid.GetSubItemRect(3, 2, LVIR_BOUNDS, third);
        CHECK(RectIn(editor, grid).top == first.top);
        CHECK(RectIn(editor, grid).bottom == third.bottom);
        editor.SetSel(0, 0);
        editortest::TypeText(editor, "Z\t");
        text = f.canvas.m_design.GetAlbumField("Track List");
        CHECK(GetTrackField(text, 2, kTrackTitleField) == CString("Z a\rb\rc"));
        CHECK(GetTrackField(text, 2, kTrackTimeField) == CString(" 0:02"));
        CHECK(f.canvas.m_steps.size() == 2);
        CHECK(grid.GetItemText(1, 2) == CString("Z a"));
    }
    SUBCASE("Tab goes down the column and from the last record back to the first") {
        ClickCell(grid, 0, 2);
        CHECK(grid.m_currentRecord == 1);
        editortest::PressKey(editor, VK_TAB);
        CHECK(grid.m_currentRecord == 2);
        CHECK(grid.m_currentField == 2);
        editortest::PressKey(editor, VK_TAB);
        CHECK(grid.m_currentRecord == 3);
        ClickCell(grid, 8, 3);
        CHECK(grid.m_currentRecord == 7);
        editortest::PressKey(editor, VK_TAB);
        CHECK(grid.m_currentRecord == 1);
        CHECK(grid.m_currentField == 3);
        CHECK(TextOf(editor) == CString(" 0:01"));
    }
    SUBCASE("Down on the last line and Up on the first move to the neighbouring record") {
        ClickCell(grid, 0, 2);
        editortest::PressKey(editor, VK_DOWN);
        CHECK(grid.m_currentRecord == 2);
        CHECK(editor.LineFromChar(-1) == 0);    // the caret in the first line of the new cell
        editortest::PressKey(editor, VK_DOWN);  // inside the three lines: caret only
        CHECK(grid.m_currentRecord == 2);
        editortest::PressKey(editor, VK_DOWN);
        editortest::PressKey(editor, VK_DOWN);
        CHECK(grid.m_currentRecord == 3);
        editortest::PressKey(editor, VK_UP);
        CHECK(grid.m_currentRecord == 2);
    }
    SUBCASE("Move Up and Move Down swap one column with the neighbour, one step each") {
        ClickCell(grid, 4, 3);  // record 3's time
        REQUIRE(grid.m_currentRecord == 3);
        const CString original = f.canvas.m_design.GetAlbumField("Track List");
        ClickButton(bar.m_moveUp);
        text = f.canvas.m_design.GetAlbumField("Track List");
        CHECK(GetTrackField(text, 2, kTrackTimeField) == CString(" 0:03"));
        CHECK(GetTrackField(text, 3, kTrackTimeField) == CString(" 0:02"));
        CHECK(GetTrackField(text, 2, kTrackTitleField) == CString("a\rb\rc"));  // the other columns stay
        CHECK(grid.m_currentRecord == 2);
        REQUIRE(f.canvas.m_steps.size() == 1);
        CHECK(f.canvas.m_steps[0].before == original);
        CHECK(f.canvas.m_steps[0].after == text);
        ClickButton(bar.m_moveDown);
        text = f.canvas.m_design.GetAlbumField("Track List");
        CHECK(GetTrackField(text, 3, kTrackTimeField) == CString(" 0:03"));
        CHECK(GetTrackField(text, 2, kTrackTimeField) == CString(" 0:02"));
        CHECK(grid.m_currentRecord == 3);
        CHECK(f.canvas.m_steps.size() == 2);
        // At the ends nothing moves and no step opens.
        ClickCell(grid, 0, 2);
        ClickButton(bar.m_moveUp);
        ClickCell(grid, 8, 2);
        ClickButton(bar.m_moveDown);
        CHECK(f.canvas.m_steps.size() == 2);
        CHECK(editor.IsWindowVisible());
    }
    SUBCASE("Remove cuts the record, never the only one") {
        ClickCell(grid, 4, 2);  // record 3
        ClickButton(bar.m_remove);
        text = f.canvas.m_design.GetAlbumField("Track List");
        CHECK(CountTrackRecords(text) == 6);
        CHECK(GetTrackField(text, 3, kTrackNumberField) == CString("4. "));
        CHECK(f.canvas.m_steps.size() == 1);
        CHECK(grid.GetItemCount() == 8);
        f.canvas.SetDocumentText("Track List", "1. \x08Only\x08 1:00\x08");
        ClickCell(grid, 0, 2);
        ClickButton(bar.m_remove);
        CHECK(f.canvas.m_design.GetAlbumField("Track List") == CString("1. \x08Only\x08 1:00\x08"));
        CHECK(f.canvas.m_steps.size() == 1);
    }
    SUBCASE("leaving the editor hides it and disables the buttons") {
        ClickCell(grid, 0, 2);
        REQUIRE(editor.IsWindowVisible());
        ::SetCursorPos(900, 600);
        f.frame->m_pane.SetFocus();
        editortest::Settle(20);
        CHECK_FALSE(editor.IsWindowVisible());
        CHECK(grid.m_currentRecord == -1);
        CHECK_FALSE(bar.m_moveUp.IsWindowEnabled());
    }
}

TEST_CASE("layout, columns and the View menu") {
    KvMessageBoxCapture boxes(IDOK);
    editortest::PointerRestore pointer;
    Fixture& f = Start();
    CBarText& bar = f.frame->m_bar;
    CTrackList& grid = bar.m_trackList;
    CRect client;
    bar.GetClientRect(&client);

    SUBCASE("controls stack from the top with their captions above them") {
        CRect previous;
        for (int i = 0; i < 5; ++i) {
            CEditText& box = *bar.FieldBox(i);
            const CRect r = RectIn(box, bar);
            CHECK(r.left == 1);
            CHECK(r.Width() == client.Width() - 1);
            CHECK(r.Height() == box.m_height);
            CHECK(r.top == (i == 0 ? bar.m_labelHeight + 5 : previous.bottom + 19));
            CHECK(RectIn(bar.m_captions[i], bar).top == r.top - bar.m_labelHeight);
            previous = r;
        }
        const CRect tracks = RectIn(bar.m_tracks, bar);
        CHECK(tracks.top == previous.bottom + 19);
        const CRect g = RectIn(grid, bar);
        CHECK(g.top == tracks.bottom + 19);
        CHECK(g.bottom == client.Height() - 32);
        CHECK(RectIn(bar.m_moveUp, bar).top == client.Height() - 31);
        CHECK(RectIn(bar.m_moveDown, bar).left == 45);
        CHECK(RectIn(bar.m_remove, bar).left == 90);
        // The columns share the grid's client width.
        CHECK(grid.GetColumnWidths().Sum() == grid.GetClientWidth());
        // The caption strip: the caption colour from its left end, the title in the caption text
        // colour, the tile above it.
        const kvtest::Capture picture = kvtest::CaptureWindow(bar.m_hWnd);
        CRect window;
        bar.GetWindowRect(&window);
        CPoint origin(0, 0);
        bar.ClientToScreen(&origin);
        const int bandLeft = origin.x - window.left;
        CHECK(picture.At(bandLeft, 12) == kvtest::Rgb(::GetSysColor(COLOR_ACTIVECAPTION)));
        CHECK(picture.At(bandLeft, 2) != kvtest::Rgb(::GetSysColor(COLOR_ACTIVECAPTION)));
        int titlePixels = 0;
        for (int x = bandLeft + 22; x < bandLeft + 100; ++x)
            for (int y = 5; y < 21; ++y)
                titlePixels += picture.At(x, y) == kvtest::Rgb(::GetSysColor(COLOR_CAPTIONTEXT));
        CHECK(titlePixels > 40);
    }
    SUBCASE("a very short bar keeps a grid of 35 pixels and puts the buttons under it") {
        f.frame->SetWindowPos(nullptr, 0, 0, 1000, 430, SWP_NOZORDER | SWP_NOMOVE);
        editortest::Settle(50);
        bar.GetClientRect(&client);
        const CRect g = RectIn(grid, bar);
        CHECK(g.Height() == 35);
        CHECK(RectIn(bar.m_moveUp, bar).top == g.bottom);
        f.frame->SetWindowPos(nullptr, 0, 0, 1000, 720, SWP_NOZORDER | SWP_NOMOVE);
        editortest::Settle(50);
    }
    SUBCASE("dragging the title's right edge beyond the grid widens the bar and re-centres the canvas") {
        CRect barBefore;
        bar.GetWindowRect(&barBefore);
        CRect header;
        grid.m_header.GetItemRect(2, &header);
        CPoint edge(header.right, header.bottom + 5);
        CPoint screen = edge;
        grid.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        grid.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(grid.m_hWnd),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        CHECK(grid.m_dragMode == CString("Right"));
        grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge.x, edge.y));
        CHECK(f.canvas.m_snapshots == 1);
        const TrackColumnWidths before = grid.GetColumnWidths();
        grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge.x + 30, edge.y));
        grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(edge.x + 30, edge.y));
        editortest::Settle(50);
        CRect barAfter;
        bar.GetWindowRect(&barAfter);
        CHECK(grid.GetColumnWidths().title == before.title + 30);
        CHECK(grid.GetColumnWidths().time == before.time);
        CHECK(barAfter.Width() == barBefore.Width() + 30);
        CHECK(grid.GetColumnWidths().Sum() == grid.GetClientWidth());
        CHECK(f.canvas.m_recenters == 1);
        // A double click on the bar's right border fits the time column, then the title and
        // the number column: the bar takes the width of the texts.
        bar.SendMessage(WM_NCLBUTTONDBLCLK, HTRIGHT, 0);
        editortest::Settle(50);
        const TrackColumnWidths fitted = grid.GetColumnWidths();
        CHECK(fitted.time == TrackColumns::kMinTime);
        CHECK(fitted.number == TrackColumns::kMinNumber);
        CHECK(fitted.title >= TrackColumns::kMinTitle);
        CHECK(fitted.title < before.title + 30);
        CHECK(fitted.Sum() == grid.GetClientWidth());
        CHECK(f.canvas.m_recenters == 2);
    }
    SUBCASE("a press on the bar's edge keeps the view's layout for the view while the bar resizes") {
        CRect window;
        bar.GetWindowRect(&window);
        const CPoint edge(window.right - 3, window.CenterPoint().y);
        bar.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
        CHECK(f.canvas.m_snapshots == 1);
        CHECK(bar.IsTracking());
        ViewLayoutSnapshot kept;
        CHECK(bar.GetSidePanelState(&kept) == kSidePanelDragging);
        bar.SendMessage(WM_LBUTTONUP, 0, 0);
        CHECK_FALSE(bar.IsTracking());
        CHECK(bar.GetSidePanelState(&kept) == kSidePanelIdle);
        // While the frame lays the bars out, the view keeps its page where the snapshot has it.
        bar.m_layoutValid = FALSE;
        CHECK(bar.GetSidePanelState(&kept) == kSidePanelRelayout);
        CHECK(kept.scrollPosition == CPoint(1, 0));
        bar.m_layoutValid = TRUE;
    }
    SUBCASE("hiding the bar by any means unchecks its View menu item") {
        HMENU menu = ::GetMenu(f.frame->m_hWnd);
        auto checked = [&](UINT command) {
            return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
        };
        CHECK(checked(ID_VIEW_TEXT_EDITOR));
        f.frame->ShowControlBar(&bar, FALSE, FALSE);
        CHECK_FALSE(checked(ID_VIEW_TEXT_EDITOR));
        f.frame->ShowControlBar(&bar, TRUE, FALSE);
        CHECK(checked(ID_VIEW_TEXT_EDITOR));
        f.frame->ShowControlBar(&f.frame->m_toolbar, FALSE, FALSE);
        CHECK_FALSE(checked(ID_VIEW_MAIN_TOOLBAR));
        f.frame->ShowControlBar(&f.frame->m_toolbar, TRUE, FALSE);
        CHECK(checked(ID_VIEW_MAIN_TOOLBAR));
        editortest::Settle(30);
    }
}
