// The Text Editor bar on the real view: typing into a field, the track count, the grid's edits and
// the insert list change the view's design as undo steps of the view, which undo and redo undo
// and redo, with the bar refreshed through the view's host; a typed key redraws only the linked
// text's area.
#include <doctest.h>

#include <algorithm>
#include <vector>

#include "CanvasFixture.h"
#include "TextEditorHarness.h"
#include "bars/AlbumFieldEdit.h"
#include "bars/BarCanvas.h"
#include "bars/BarText.h"
#include "bars/ToolView.h"
#include "canvas/AppCanvasState.h"

namespace {

// The frame's part: the bar's events as the application's frame handles them, and the host's
// refreshes of the bar.
struct EditorHost : cvtest::RecordingHost {
    CBarText* bar = nullptr;
    void UpdateField(const CString& name) override {
        RecordingHost::UpdateField(name);
        if (bar) bar->UpdateField(name);
    }
    void UpdateAllFields() override {
        RecordingHost::UpdateAllFields();
        if (bar) bar->UpdateAllFields();
    }
    SidePanelState GetSidePanelState(int panel, ViewLayoutSnapshot* snapshot) override {
        return panel == 0 && bar ? bar->GetSidePanelState(snapshot) : kSidePanelIdle;
    }
    void OnUpdateText(CString& text, CEditText* box) { StoreFieldEdit(*bar, text, box); }
    void OnTrackChange(int count, CString name) { ChangeTrackCount(*bar, count, name); }
};

EditorHost& Host() {
    static EditorHost host;
    return host;
}

// The view in its frame with the bar docked on the left; a fresh design each time.
View* Start(int layout) {
    View* view = cvtest::EnsureView();
    EditorHost& host = Host();
    if (!host.bar) {
        View::SetHost(&host);
        CFrameWnd* frame = view->GetParentFrame();
        frame->EnableDocking(CBRS_ALIGN_ANY);
        CBarText* bar = new CBarText;
        bar->m_dwSizingStyle = RBS_SHOWEDGES;
        REQUIRE(bar->Create("Text Editor", frame, 1048, 0x50002800));
        bar->EnableDocking(CBRS_ALIGN_LEFT);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT);
        bar->HookUpdateText(&host, &EditorHost::OnUpdateText);
        bar->m_tracks.HookTrackChange(&host, &EditorHost::OnTrackChange);
        host.bar = bar;
        frame->RecalcLayout();
    }
    cvtest::NewDesign(view, layout, "Disc 1");
    host.bar->UpdateCaptions(view->m_design.GetCurrentSide());
    host.bar->UpdateAllFields();
    cvtest::Pump();
    return view;
}

CString TextOf(CWnd& w) {
    CString text;
    w.GetWindowText(text);
    return text;
}

ViewObject* Named(View* view, const char* name) {
    return view->m_design.FindObjectIf([&](ViewObject* o) { return o->name == CString(name); });
}

void SetTrackCount(CBarText& bar, const char* digits) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ::GetComboBoxInfo(bar.m_tracks.m_hWnd, &info);
    ::SetWindowTextA(info.hwndItem, digits);
    editortest::PressKey(info.hwndItem, VK_RETURN);
}

}  // namespace

TEST_CASE("typing into Artist changes the design and its linked text in one undo step of the view") {
    KvMessageBoxCapture boxes(IDOK);
    View* view = Start(kLayout1DiscTop);
    CBarText& bar = *Host().bar;
    view->InsertObject("Artist");
    ViewObject* linked = Named(view, "Artist");
    REQUIRE(linked != nullptr);
    const int steps = view->GetUndoCount();
    AppCanvasState::Get().m_redrawRequest = 0;
    bar.m_artist.SetSel(6, 6);
    editortest::TypeText(bar.m_artist, "X");
    CHECK(view->m_design.GetAlbumField("Artist") == CString("ArtistX\x08"));
    CHECK(linked->GetText() == CString("ArtistX\x08"));
    CHECK(view->GetUndoCount() == steps + 1);
    CHECK(AppCanvasState::Get().m_redrawRequest != 0);
    view->ApplyUndoStep(false);
    CHECK(view->m_design.GetAlbumField("Artist") == CString("Artist\x08"));
    CHECK(TextOf(bar.m_artist) == CString("Artist"));
    CHECK(Named(view, "Artist")->GetText() == CString("Artist\x08"));
    view->ApplyUndoStep(true);
    CHECK(TextOf(bar.m_artist) == CString("ArtistX"));
}

TEST_CASE("a key typed into a field redraws its linked text's area, with a whole redraw's pixels") {
    KvMessageBoxCapture boxes(IDOK);
    View* view = Start(kLayout1DiscTop);
    CBarText& bar = *Host().bar;
    view->InsertObject("Title");
    ViewObject* linked = Named(view, "Title");
    REQUIRE(linked != nullptr);
    AppCanvasState::Get().m_redrawRequest = 0;
    view->Redraw(true);
    // A mark in the buffer on the side, away from the title: drawing the whole side paints it over.
    const Gdiplus::Rect side = view->ObjectCanvasRect(view->m_design.GetCurrentSide());
    const Gdiplus::Rect area = view->ObjectCanvasRect(linked);
    const CPoint mark(side.X + side.Width / 2, side.Y + side.Height - 8);
    REQUIRE_FALSE(area.Contains(mark.x, mark.y + 20));
    REQUIRE_FALSE(area.Contains(mark.x, mark.y - 20));
    HDC buffer = view->m_memDC->m_hDC;
    ::SetPixel(buffer, mark.x, mark.y, RGB(1, 2, 3));
    REQUIRE(::GetPixel(buffer, mark.x, mark.y) == RGB(1, 2, 3));

    bar.m_title.SetSel(5, 5);
    editortest::TypeText(bar.m_title, "Z");
    cvtest::Pump();
    CHECK(linked->GetText() == CString("TitleZ\x08"));
    CHECK(AppCanvasState::Get().m_redrawRequest == 0);
    CHECK(::GetPixel(buffer, mark.x, mark.y) == RGB(1, 2, 3));

    std::vector<COLORREF> typed, whole;
    const Gdiplus::Rect around(area.X - 11, area.Y - 11, area.Width + 22, area.Height + 22);
    auto read = [&](std::vector<COLORREF>& out) {
        for (int y = around.Y; y < around.Y + around.Height; ++y)
            for (int x = around.X; x < around.X + around.Width; ++x) out.push_back(::GetPixel(buffer, x, y));
    };
    read(typed);
    view->Redraw(true);
    CHECK(::GetPixel(buffer, mark.x, mark.y) != RGB(1, 2, 3));
    read(whole);
    CHECK(typed == whole);
    CHECK(std::count(typed.begin(), typed.end(), RGB(255, 255, 255)) < static_cast<long>(typed.size()));
}

TEST_CASE("the track count as undo steps of the view") {
    KvMessageBoxCapture boxes(IDOK);
    SUBCASE("one disc: up to 9, down to 3, and the same count records nothing") {
        View* view = Start(kLayout1DiscTop);
        CBarText& bar = *Host().bar;
        const int steps = view->GetUndoCount();
        SetTrackCount(bar, "9");
        CString text = view->m_design.GetAlbumField("Track List");
        CHECK(CountTrackRecords(text) == 9);
        CHECK(GetTrackField(text, 9, kTrackTitleField) == CString("Track 9"));
        CHECK(view->GetUndoCount() == steps + 1);
        SetTrackCount(bar, "9");
        CHECK(view->GetUndoCount() == steps + 1);
        SetTrackCount(bar, "3");
        CHECK(CountTrackRecords(view->m_design.GetAlbumField("Track List")) == 3);
        CHECK(bar.m_trackList.GetItemCount() == 3);
        CHECK(view->GetUndoCount() == steps + 2);
        view->ApplyUndoStep(false);
        CHECK(CountTrackRecords(view->m_design.GetAlbumField("Track List")) == 9);
        CHECK(bar.m_trackList.GetItemCount() == 9);
        CHECK(bar.m_tracks.GetCurSel() == 8);
    }
    SUBCASE("second disc of a two-disc design") {
        Host().discChoice = 2;
        View* view = Start(kLayout2DiscTop);
        CBarText& bar = *Host().bar;
        view->InsertObject("Title");  // linked to disc 2 by the disc chooser's answer
        ViewObject* title = Named(view, "Title - Disc 2");
        REQUIRE(title != nullptr);
        bar.UpdateCaptions(title);
        CHECK(bar.m_discSuffix == CString(" - Disc 2"));
        SetTrackCount(bar, "9");
        const CString text = view->m_design.GetAlbumField("Track List - Disc 2");
        CHECK(GetTrackField(text, 8, kTrackTitleField) == CString("Track 8 - Disc 2"));
        CHECK(CountTrackRecords(view->m_design.GetAlbumField("Track List - Disc 1")) == 7);
        view->ApplyUndoStep(false);
        CHECK(CountTrackRecords(view->m_design.GetAlbumField("Track List - Disc 2")) == 7);
    }
}

TEST_CASE("the grid's moves and removals are undo steps of the view") {
    KvMessageBoxCapture boxes(IDOK);
    View* view = Start(kLayout1DiscTop);
    CBarText& bar = *Host().bar;
    CTrackList& grid = bar.m_trackList;
    const CString original = view->m_design.GetAlbumField("Track List");
    grid.m_currentRecord = 2;
    grid.m_currentField = kTrackTitleField;
    const int steps = view->GetUndoCount();
    bar.ChangeTrackRow(3);  // Move Down
    CString text = view->m_design.GetAlbumField("Track List");
    CHECK(GetTrackField(text, 3, kTrackTitleField) == CString("Track 2"));
    CHECK(GetTrackField(text, 2, kTrackTitleField) == CString("Track 3"));
    CHECK(grid.m_currentRecord == 3);
    bar.ChangeTrackRow(1);  // Remove record 3
    CHECK(CountTrackRecords(view->m_design.GetAlbumField("Track List")) == 6);
    CHECK(view->GetUndoCount() == steps + 2);
    view->ApplyUndoStep(false);
    view->ApplyUndoStep(false);
    CHECK(view->m_design.GetAlbumField("Track List") == original);
    CHECK(grid.GetItemText(2, 2) == CString("Track 3"));
    // A cell's text goes to the view's design the same way.
    grid.m_currentRecord = 1;
    grid.m_currentField = kTrackTimeField;
    grid.SetCellText(" 9:59");
    CHECK(GetTrackField(view->m_design.GetAlbumField("Track List"), 1, kTrackTimeField) == CString(" 9:59"));
}

TEST_CASE("the insert list puts its object on the view's design") {
    KvMessageBoxCapture boxes(IDOK);
    View* view = Start(kLayout1DiscTop);
    REQUIRE(GetBarCanvas() != nullptr);
    CHECK(Named(view, "Time") == nullptr);
    GetBarCanvas()->InsertObject(CToolView::ObjectForCommand(ID_INSERT_TIME));
    ViewObject* time = Named(view, "Time");
    REQUIRE(time != nullptr);
    CHECK(time->bLinkText != 0);
}
