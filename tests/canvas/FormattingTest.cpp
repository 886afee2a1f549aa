// The formatting commands on the selection in the real view: size texts, bold inside a word and
// back, the state the formatting bar shows, side colours and backgrounds, the track layouts on a
// disc, and the image colour worker's reruns and discarded results with a worker run by hand.
#include <doctest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "canvas/AppCanvasState.h"

using namespace cvtest;

namespace {

int Records(const ViewObject* o) {
    int n = 0;
    for (INT_PTR i = 0; i < o->charFonts.GetSize(); ++i) n += o->charFonts[i] != nullptr;
    return n;
}

ViewObject* EditedText(View* view, const char* text) {
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* t = AddText(view, "Text 1", text, side->left + 500, side->top + 500, 3000, 500);
    view->OnSelectionChanged("Text 1", TRUE);
    return t;
}

// The view's off-screen buffer as it is now.
struct Buffer {
    std::vector<BYTE> bytes;
    int width = 0, height = 0, stride = 0;
};

Buffer Snapshot(View* view) {
    Buffer b;
    DIBSECTION dib = {};
    HGDIOBJ bitmap = ::GetCurrentObject(view->m_buffer.Get(), OBJ_BITMAP);
    if (!bitmap || ::GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return b;
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    b.width = dib.dsBm.bmWidth, b.height = dib.dsBm.bmHeight, b.stride = dib.dsBm.bmWidthBytes;
    b.bytes.assign(bits, bits + b.stride * b.height);
    return b;
}

// The columns and rows of the pixels that differ between two snapshots.
struct Changed {
    std::set<int> xs, ys;
};

Changed Compare(const Buffer& a, const Buffer& b) {
    Changed c;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (std::memcmp(&a.bytes[y * a.stride + x * 3], &b.bytes[y * b.stride + x * 3], 3) != 0)
                c.xs.insert(x), c.ys.insert(y);
    return c;
}

}  // namespace

TEST_CASE("size texts become tenths of a point in steps of five") {
    CHECK(ParseFontSizeText("10.1") == 105);
    CHECK(ParseFontSizeText("10.5") == 105);
    CHECK(ParseFontSizeText("10") == 100);
    CHECK(ParseFontSizeText("1") == 25);
    CHECK(ParseFontSizeText("900") == 5000);
    CHECK(ParseFontSizeText("12.04") == 120);
    CHECK(ParseFontSizeText("none") == 25);
    CHECK(ParseFontSizeText("") == 25);
}

TEST_CASE("the track layouts' places on a disc") {
    // A disc at (500, 700), 4724 across with a 1500 hole and a text margin of 100.
    TrackPlacement p = TrackLayoutPlacement("Left Side", 500, 700, 4724, 1500, 100);
    CHECK(p.placed);
    CHECK((p.left == 500 && p.top == 1600 && p.width == 2362 && p.height == 3124));
    CHECK(std::string(p.wrapStyle) == "Word-Wrap");
    p = TrackLayoutPlacement("Right Side", 500, 700, 4724, 1500, 100);
    CHECK((p.left == 2862 && p.top == 1600 && p.width == 2362 && p.height == 3124));
    p = TrackLayoutPlacement("Top", 500, 700, 4724, 1500, 100);
    CHECK((p.left == 500 && p.top == 700 && p.width == 4724 && p.height == 1512));
    CHECK(std::string(p.wrapStyle) == "Track-Wrap");
    p = TrackLayoutPlacement("Bottom", 500, 700, 4724, 1500, 100);
    CHECK((p.top == 700 + 4724 - 1512 && p.height == 1512));
    p = TrackLayoutPlacement("Top && Bottom", 500, 700, 4724, 1500, 100);
    CHECK((p.width == 4724 && p.height == 4724));
    p = TrackLayoutPlacement("2 Columns", 500, 700, 4724, 1500, 100);
    CHECK((p.top == 700 + 2362 - 800 && p.height == 1650));
    CHECK_FALSE(TrackLayoutPlacement("Table Format", 500, 700, 4724, 1500, 100).placed);
}

TEST_CASE("bold inside a word gives three runs, normal again merges them; undo puts the runs back") {
    View* view = EnsureView();
    ViewObject* t = EditedText(view, "Hello\b");
    ViewSelect& s = view->m_select;
    s.SetSelection(1, 3);
    Host().formatImages[4] = 0;  // the bar shows Bold off
    view->BeginUndoStep();
    view->RecordUndoValue("prevFont", nullptr, "", "");
    s.OnBold();
    view->RecordUndoValue("nextFont", nullptr, "", "");
    view->EndUndoStep();
    CHECK(Records(t) == 3);
    REQUIRE(t->charFonts[1] != nullptr);
    CHECK(t->charFonts[1]->lfWeight == 700);
    REQUIRE(t->charFonts[3] != nullptr);
    CHECK(t->charFonts[3]->lfWeight == 400);
    view->OnEditUndo();
    CHECK(Records(t) == 1);
    view->OnEditRedo();
    CHECK(Records(t) == 3);
    // The same selection made normal merges back into one record.
    s.SetSelection(1, 3);
    Host().formatImages[4] = 3;
    s.OnBold();
    CHECK(Records(t) == 1);
    CHECK(t->charFonts[0]->lfWeight == 400);
}

TEST_CASE("a selection that ends before a field separator formats the separator too") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* t =
        AddText(view, "Text 1", "1. \bOne\b 0:01\b", side->left + 500, side->top + 500, 3000, 900);
    t->type = kObjectTrack;
    t->trackNumbers = "Track Numbers && Times";
    t->RebuildTrackRows();
    view->OnSelectionChanged("Text 1", TRUE);
    view->m_select.SetSelection(4, 7);  // "One"; 7 is the title's separator
    view->m_select.SetFontSize("20");
    REQUIRE(t->charFonts[4] != nullptr);
    CHECK(t->charFonts[4]->lfHeight == 200);
    // The separator belongs to the run; the time field starts a record of the old size.
    REQUIRE(t->charFonts[8] != nullptr);
    CHECK(t->charFonts[8]->lfHeight == 400);
    CHECK(view->m_select.GetRunFont(t, 7)->lfHeight == 200);
}

TEST_CASE("the formatting bar shows the selection's common font state") {
    View* view = EnsureView();
    ViewObject* t = EditedText(view, "Hello\b");
    ViewSelect& s = view->m_select;
    t->bAutoFit = 1;
    t->charFonts[0]->lfHeight = 120;
    s.SetSelection(2, 2);
    FontSelectionState state = s.GetFontSelectionState();
    CHECK(state.faceName == "Arial");
    CHECK(state.sizeText == "12.0 (AutoFit)");
    CHECK_FALSE(state.bold);
    // "el" bold, "lo" not: bold is off for a selection across both, on for the bold part.
    t->charFonts[1] = ViewObject::CopyFontRecord(t->charFonts[0]);
    t->charFonts[1]->lfWeight = 700;
    std::strcpy(t->charFonts[1]->lfFaceName, "Courier New");
    t->charFonts[3] = ViewObject::CopyFontRecord(t->charFonts[0]);
    s.SetSelection(1, 3);
    state = s.GetFontSelectionState();
    CHECK(state.bold);
    CHECK(state.faceName == "Courier New");
    s.SetSelection(1, 4);
    state = s.GetFontSelectionState();
    CHECK_FALSE(state.bold);
    CHECK(state.faceName.IsEmpty());
    CHECK(state.sizeText == "12.0 (AutoFit)");
    // What the bar is given.
    Host().formatImages[4] = 3;
    s.SetSelection(1, 3);
    s.ShowFontSize();
    CHECK(Host().formatImages[4] == 3);
    CHECK(Host().shownFontName == "Courier New");
    s.SetSelection(1, 4);
    s.ShowFontSize();
    CHECK(Host().formatImages[4] == 0);
    CHECK(Host().shownFontName.IsEmpty());
}

TEST_CASE("white on a side removes its colour; any colour on a fully covered side removes the picture") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    view->m_select.SetColor(side, RGB(200, 10, 10), TRUE);
    REQUIRE(side->charColors.GetSize() == 1);
    CHECK(*side->charColors[0] == RGB(200, 10, 10));
    view->m_select.SetColor(side, RGB(255, 255, 255), TRUE);
    CHECK(side->charColors.GetSize() == 0);

    const std::string picture = MakePicture("background", 300, 240, RGB(10, 200, 10));
    view->InsertImage(CRect(side->left, side->top, side->left + 1000, side->top + 800), picture.c_str(),
                      true);
    ViewObject* background = view->m_design.FindBackgroundImage(side);
    REQUIRE(background != nullptr);
    CHECK(view->m_design.IsBackgroundFullSide(side));
    view->BeginUndoStep();
    view->RecordUndoValue("prevOrder", side, "", "");
    view->m_select.SetColor(side, RGB(0, 0, 200), TRUE);
    view->RecordUndoValue("nextOrder", side, "", "");
    view->EndUndoStep();
    CHECK(view->m_design.FindBackgroundImage(side) == nullptr);
    // Undo brings the picture back.
    view->OnEditUndo();
    CHECK(view->m_design.FindBackgroundImage(side) != nullptr);
}

TEST_CASE("Set as Background cycles through the eight margin options") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    const std::string picture = MakePicture("cycle", 200, 200, RGB(200, 200, 10));
    view->InsertImage(CRect(side->left + 500, side->top + 500, side->left + 1500, side->top + 1500),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    std::vector<int> options;
    for (int i = 0; i < 9; ++i) {
        view->m_select.SetAsBackground(image, FALSE, FALSE);
        int panel = 0, option = 0;
        view->m_design.FindBackgroundFit(image, panel, option);
        options.push_back(option);
        CHECK(image->bBackground == 1);
        CHECK(image->bAspectRatio == 0);
    }
    CHECK(options == std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 1});
    // Drawn first: right after its side.
    LabelTemplate* cover = view->m_design.GetCoverTemplate();
    int sideAt = -1, imageAt = -1;
    for (int i = 0; i < cover->GetObjectCount(); ++i) {
        if (cover->GetObject(i) == side) sideAt = i;
        if (cover->GetObject(i) == image) imageAt = i;
    }
    CHECK(imageAt == sideAt + 1);
    // Bring to Front makes it a free 1250 x 1250 image drawn last.
    view->m_select.BringImageToFront(image);
    CHECK(image->bBackground == 0);
    CHECK(image->height == image->width);
    CHECK(cover->GetObject(cover->GetObjectCount() - 1) == image);
}

namespace {

std::deque<std::function<void()>> g_tasks;

void RunQueued(View* view) {
    REQUIRE_FALSE(g_tasks.empty());
    std::function<void()> task = g_tasks.front();
    g_tasks.pop_front();
    task();
    view->m_select.OnTimer(kTimerHslPoll);
}

}  // namespace

TEST_CASE("the colour worker: moves while it runs give exactly one more run; a deleted image gets nothing") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    const std::string picture = MakePicture("hsl", 160, 120, RGB(200, 40, 40));
    view->InsertImage(CRect(side->left + 500, side->top + 500, side->left + 2100, side->top + 1700),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->adjustedImage != nullptr);  // drawn on screen: the image that is drawn exists
    AppCanvasState& app = AppCanvasState::Get();
    ViewSelect::SetHslExecutor([](std::function<void()> task) { g_tasks.push_back(task); });
    const int steps = view->GetUndoCount();
    view->m_select.SetImageHsl(40, 0, 0, TRUE);
    CHECK(view->GetUndoCount() == steps + 1);
    CHECK(g_tasks.size() == 1);
    CHECK(app.m_hslThreadRunning == 1);
    view->m_select.SetImageHsl(80, 0, 0, FALSE);
    view->m_select.SetImageHsl(120, 10, -5, FALSE);
    CHECK(g_tasks.size() == 1);  // no second worker while one runs
    CHECK(app.m_hslRerun == 1);
    Gdiplus::Bitmap* before = image->adjustedImage;
    RunQueued(view);  // the first result is shown, and one rerun starts with the last values
    CHECK(image->adjustedImage != before);
    CHECK(g_tasks.size() == 1);
    CHECK(image->hue == 120);
    RunQueued(view);
    CHECK(g_tasks.empty());
    CHECK(app.m_hslThreadRunning == 0);
    CHECK(app.m_hslResultReady == 0);
    CHECK(app.m_hslRerun == 0);
    // The same value again starts nothing.
    view->m_select.SetImageHsl(120, 10, -5, FALSE);
    CHECK(g_tasks.empty());

    // A run under way when the image is deleted: its result is dropped, nothing is touched.
    view->m_select.SetImageHsl(-30, 0, 0, FALSE);
    REQUIRE(g_tasks.size() == 1);
    view->OnDeleteObject();
    CHECK(view->m_design.FindObject("Image") == nullptr);
    RunQueued(view);
    CHECK(app.m_hslResultReady == 0);
    CHECK(app.m_hslThreadRunning == 0);
    CHECK(g_tasks.empty());
    ViewSelect::SetHslExecutor(nullptr);
}

TEST_CASE("the key gate: one paste per press, keys again after a release") {
    View* view = EnsureView();
    EditedText(view, "Hello\b");
    ViewSelect& s = view->m_select;
    REQUIRE(s.m_keysEnabled == 1);
    s.m_keysEnabled = 0;
    MSG down = {view->m_hWnd, WM_KEYDOWN, VK_END, 0, 0, {0, 0}};
    s.SetSelection(0, 0);
    s.OnKey(&down);
    CHECK(s.m_selStart == 0);  // ignored while the gate is shut
    MSG up = {view->m_hWnd, WM_KEYUP, 'V', 0, 0, {0, 0}};
    s.OnKey(&up);
    CHECK(s.m_keysEnabled == 1);
    s.OnKey(&down);
    CHECK(s.m_selStart == 5);  // End: the last character, the closing separator
    // Typed characters are queued for the idle handler; control characters are not text.
    AppCanvasState::Get().m_queuedText.Empty();
    MSG chr = {view->m_hWnd, WM_CHAR, 'x', 0, 0, {0, 0}};
    s.OnKey(&chr);
    MSG ctrlA = {view->m_hWnd, WM_CHAR, 1, 0, 0, {0, 0}};
    s.OnKey(&ctrlA);
    MSG enter = {view->m_hWnd, WM_CHAR, 13, 0, 0, {0, 0}};
    s.OnKey(&enter);
    CHECK(AppCanvasState::Get().m_queuedText == "x\r");
    AppCanvasState::Get().m_queuedText.Empty();
}

TEST_CASE("a table's field frame is turned with the text: two lines across the row, numbers first") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* t = AddText(view, "Tracks", "1. \bOne\b 0:01\b2. \bTwo\b 0:02\b", side->left + 500,
                            side->top + 500, 2500, 2500);
    t->type = kObjectTrack;
    t->trackNumbers = "Track Numbers && Times";
    t->textLayout = "Table Format";
    t->RebuildTrackRows();
    ViewSelect& s = view->m_select;
    // Drawn with the angle's own word; the number goes from the numbers to the times in reading order.
    const struct {
        const char* angle;
        bool alongX;
        bool numbersFirst;  // the number line lies at the smaller coordinate
    } kAngles[] = {{"0 degrees", true, true},
                   {"180 degrees", true, false},
                   {"90 degrees", false, false},
                   {"270 degrees", false, true}};
    for (const auto& a : kAngles) {
        CAPTURE(a.angle);
        t->angle = a.angle;
        t->needsLayout = 1;
        view->OnSelectionChanged("Tracks", TRUE);
        view->Redraw(true);
        // Without the focus there is no caret: only the frame changes the buffer.
        ::SetFocus(nullptr);
        s.UpdateHighlight(true, false);
        const Buffer plain = Snapshot(view);
        REQUIRE(!plain.bytes.empty());
        s.SetSelection(5, 5);  // in "One"
        s.UpdateHighlight(false, false);
        const Changed title = Compare(plain, Snapshot(view));
        s.UpdateHighlight(true, false);
        CHECK(Compare(plain, Snapshot(view)).xs.empty());
        s.SetSelection(1, 1);  // in the number "1."
        s.UpdateHighlight(false, false);
        const Changed number = Compare(plain, Snapshot(view));
        s.UpdateHighlight(true, false);
        // Two one-pixel lines across the row.
        const std::set<int>& across = a.alongX ? title.xs : title.ys;
        const std::set<int>& along = a.alongX ? title.ys : title.xs;
        REQUIRE(across.size() == 2);
        CHECK(along.size() > 4);
        // Framing the number moves the number line, the other stays.
        const std::set<int>& moved = a.alongX ? number.xs : number.ys;
        REQUIRE(moved.size() == 2);
        const int low = *across.begin(), high = *across.rbegin();
        const int numberLine = moved.count(low) ? high : low;
        CHECK(moved.count(numberLine) == 0);
        CHECK((numberLine == low) == a.numbersFirst);
    }
    t->angle = "0 degrees";
}
