// How long the canvas takes, per key, to show a 500-character title typed in place on the canvas
// and through the album field (as the Text Editor bar's Title box stores it), and to show the track
// list going from 10 to 99 records (as the bar's Tracks box sets it). The side is a jewel-case back
// cover with a picture and twenty texts. Run by hand (not by ctest):
//   build/wine-run build/tools/bench/typing_benchmark.exe
#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchmarkTiming.h"
#include "CanvasFixture.h"
#include "bars/BarCanvas.h"
#include "bars/ViewBarCanvas.h"
#include "model/TrackListText.h"
#include "render/GlyphStamps.h"
#include "render/TextLayer.h"

using namespace cvtest;

namespace {

// The album field's text object on the shown side.
ViewObject* FieldObject(View* view, bool (ViewObject::*is)() const, const CString& name = CString()) {
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* found = nullptr;
    view->m_design.ForEachObject([&](ViewObject* o) {
        if (!found && o->side == side->side && (o->*is)() && o->bLinkText && (name.IsEmpty() || o->name == name))
            found = o;
    });
    return found;
}

// What the Text Editor bar's change of a field does through its canvas: the field stored, the
// linked objects given its text, a redraw asked of the idle work.
void StoreField(View* view, const CString& name, const CString& value) {
    BarCanvas* canvas = GetViewBarCanvas();
    view->BeginUndoStep();
    canvas->SetDocumentText(name, value);
    canvas->RefreshLinkedObjects();
    view->EndUndoStep();
    canvas->RequestLinkedRedraw();
}

const char kWords[] = "the quick brown fox jumps over a lazy dog ";

// How many of the keys took longer than a frame, and which.
void ReportSlow(const char* what, const std::vector<double>& times) {
    std::string which;
    long slow = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        if (times[i] <= 16.0) continue;
        ++slow;
        char one[32];
        std::snprintf(one, sizeof one, " %u (%.0f ms)", static_cast<unsigned>(i + 1), times[i]);
        which += one;
    }
    std::printf("%-48s %ld of %u keys over 16 ms:%s\n", what, slow, static_cast<unsigned>(times.size()),
                which.c_str());
}

}  // namespace

TEST_CASE("typing a 500-character title and 10 to 99 tracks on a full back cover") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    REQUIRE(back != nullptr);
    const std::string picture = MakePicture("typing", 1600, 1200, RGB(90, 140, 200));
    view->InsertImage(CRect(back->left, back->top, back->left + back->width, back->top + back->height),
                      picture.c_str(), false);
    for (int i = 0; i < 20; ++i) {
        char name[16], text[64];
        std::snprintf(name, sizeof name, "Text %d", i + 1);
        std::snprintf(text, sizeof text, "Track %d - A song with a title\b", i + 1);
        AddText(view, name, text, back->left + 300 + (i % 2) * 2600, back->top + 200 + (i / 2) * 450, 2400, 400);
    }
    view->m_zoom = 10;
    view->PlaceCanvas();
    view->SetPageScrollSizes();
    view->Redraw(true);
    Pump();
    const char* keysText = std::getenv("KV_BENCH_KEYS");
    const int keys = keysText ? std::max(50, std::atoi(keysText)) : 500;

    // The title and the track list, as Insert > Title and Insert > Track List place them.
    view->InsertObject("Track List");
    Pump();
    view->InsertObject("Title");
    Pump();
    ViewObject* title = FieldObject(view, &ViewObject::IsText, "Title");
    REQUIRE(title != nullptr);
    const CString field = title->name;
    std::printf("field \"%s\" at %d,%d %dx%d\n", field.GetString(), title->left, title->top, title->width,
                title->height);
    std::fflush(stdout);

    // In place: the object selected, the caret at its end, each key posted to the view.
    view->OnSelectionChanged(field, TRUE);
    Pump();
    const int end = title->GetCharCount() - 1;
    view->m_select.SetSelection(end, end);
    std::vector<double> canvasKeys, canvasLast;
    for (int i = 0; i < keys; ++i) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->PostMessage(WM_CHAR, static_cast<unsigned char>(kWords[i % (sizeof kWords - 1)]), 1);
        Pump();
        ::QueryPerformanceCounter(&b);
        canvasKeys.push_back(Milliseconds(a, b));
        if (i >= keys - 50) canvasLast.push_back(Milliseconds(a, b));
    }
    CHECK(title->GetCharCount() >= keys);
    Report("canvas: one key", canvasKeys);
    Report("canvas: one of the last 50 keys", canvasLast);
    ReportSlow("canvas:", canvasKeys);

    // Through the field, as the bar stores each change of its box.
    view->OnSelectionChanged(back->name, TRUE);
    Pump();
    CString typed;
    std::vector<double> fieldKeys, fieldLast;
    for (int i = 0; i < keys; ++i) {
        typed += kWords[i % (sizeof kWords - 1)];
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        StoreField(view, field, typed + kTrackFieldEnd);
        Pump();
        ::QueryPerformanceCounter(&b);
        fieldKeys.push_back(Milliseconds(a, b));
        if (i >= keys - 50) fieldLast.push_back(Milliseconds(a, b));
    }
    CHECK(title->GetText() == typed + kTrackFieldEnd);
    Report("field: one key", fieldKeys);
    Report("field: one of the last 50 keys", fieldLast);
    ReportSlow("field:", fieldKeys);
    std::printf("characters stamped into text pictures: %ld\n", GlyphsStamped());
    std::printf("text pictures drawn again only where characters changed: %ld\n", TextPicturesPatched());

    // The track list: 10 records, then 99.
    ViewObject* tracks = FieldObject(view, &ViewObject::IsTrackList);
    REQUIRE(tracks != nullptr);
    const CString tracksName = tracks->name;
    std::vector<double> resize;
    for (int round = 0; round < 5; ++round) {
        StoreField(view, tracksName, ResizeTrackList(view->m_design.GetAlbumField(tracksName), 10, ""));
        Pump();
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        StoreField(view, tracksName, ResizeTrackList(view->m_design.GetAlbumField(tracksName), 99, ""));
        Pump();
        ::QueryPerformanceCounter(&b);
        resize.push_back(Milliseconds(a, b));
    }
    CHECK(tracks->trackRows.GetSize() == 99);
    Report("tracks 10 -> 99", resize);
}
