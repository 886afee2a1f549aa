// How long the running application takes, per key, to show a 500-character title typed in place
// on the canvas and through the album field (as the Text Editor bar's Title box stores it), and
// how long the user waits after typing a track count into the bar's Tracks box and Enter (10 to
// 99 tracks and back), with the bar docked beside the canvas. The side is a jewel-case back
// cover with a picture, twenty texts, the title and the track list. Each time runs until nothing
// of the application waits for painting and no idle work is queued. Run by hand (not by ctest):
//   build/wine-run build/tools/bench/typing_benchmark.exe
#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "BenchmarkTiming.h"
#include "canvas/CanvasFixture.h"
#include "app/KorvanelleFrame.h"
#include "bars/BarCanvas.h"
#include "canvas/AppCanvasState.h"
#include "canvas/ViewSettings.h"
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
    BarCanvas* canvas = GetBarCanvas();
    view->BeginUndoStep();
    canvas->SetDocumentText(name, value);
    canvas->RefreshLinkedObjects();
    view->EndUndoStep();
    canvas->RequestLinkedRedraw();
}

// Nothing of the application waits for painting and no redraw or layout is queued for the idle
// time.
bool Settled() {
    const AppCanvasState& state = AppCanvasState::Get();
    return !(HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &
             (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &&
           !state.m_redrawRequest && !state.m_relayoutRequest && state.m_queuedText.IsEmpty();
}

// A key pressed in a window, as the keyboard sends it (the character follows from the loop's
// translation).
void PostKey(HWND window, UINT key) {
    const UINT scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    ::PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
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

TEST_CASE("typing a 500-character title, and 10 to 99 tracks into the Tracks box, on a full back cover") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run([] { g_showNewProjectAtStart = 0; });
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    // The loop's turns until the application settled. The wait between turns ends as soon as any
    // message is there, also one the loop already looked at (as the message loop's own wait
    // does), so that no turn waits while work is queued.
    auto settle = [&](const std::function<bool()>& also) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            run.app.PumpWaitingMessages();
            if (also() && Settled()) return true;
            if (::GetTickCount() - start >= 30000) return false;
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    };
    auto timed = [&](const std::function<void()>& act, const std::function<bool()>& done) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        act();
        CHECK(settle(done));
        ::QueryPerformanceCounter(&b);
        return Milliseconds(a, b);
    };
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, 1000, 760, SWP_NOZORDER | SWP_NOACTIVATE);
    view->ShowSide("Back Cover");
    settle([] { return true; });
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
    view->Redraw(true);
    settle([&] { return !view->HasPicturesPending(); });
    const char* keysText = std::getenv("KV_BENCH_KEYS");
    const int keys = keysText ? std::max(50, std::atoi(keysText)) : 500;

    // The title and the track list, as Insert > Title and Insert > Track List place them.
    view->InsertObject("Track List");
    settle([] { return true; });
    view->InsertObject("Title");
    settle([] { return true; });
    ViewObject* title = FieldObject(view, &ViewObject::IsText, "Title");
    REQUIRE(title != nullptr);
    const CString field = title->name;
    std::printf("field \"%s\" at %d,%d %dx%d\n", field.GetString(), title->left, title->top, title->width,
                title->height);
    std::fflush(stdout);

    // In place: the object selected, the caret at its end, each key posted to the view.
    view->OnSelectionChanged(field, TRUE);
    settle([] { return true; });
    const int end = title->GetCharCount() - 1;
    view->m_select.SetSelection(end, end);
    std::vector<double> canvasKeys, canvasLast;
    for (int i = 0; i < keys; ++i) {
        const double ms = timed(
            [&] {
                view->PostMessage(WM_CHAR, static_cast<unsigned char>(kWords[i % (sizeof kWords - 1)]), 1);
            },
            [] { return true; });
        canvasKeys.push_back(ms);
        if (i >= keys - 50) canvasLast.push_back(ms);
    }
    CHECK(title->GetCharCount() >= keys);
    Report("canvas: one key", canvasKeys);
    Report("canvas: one of the last 50 keys", canvasLast);
    ReportSlow("canvas:", canvasKeys);

    // Through the field, as the bar stores each change of its box.
    view->OnSelectionChanged(back->name, TRUE);
    settle([] { return true; });
    CString typed;
    std::vector<double> fieldKeys, fieldLast;
    for (int i = 0; i < keys; ++i) {
        typed += kWords[i % (sizeof kWords - 1)];
        const double ms =
            timed([&] { StoreField(view, field, typed + kTrackFieldEnd); }, [] { return true; });
        fieldKeys.push_back(ms);
        if (i >= keys - 50) fieldLast.push_back(ms);
    }
    CHECK(title->GetText() == typed + kTrackFieldEnd);
    Report("field: one key", fieldKeys);
    Report("field: one of the last 50 keys", fieldLast);
    ReportSlow("field:", fieldKeys);
    std::printf("characters stamped into text pictures: %ld\n", GlyphsStamped());
    std::printf("text pictures drawn again only where characters changed: %ld\n", TextPicturesPatched());

    // The track count typed into the Tracks box and Enter: the box takes the focus (which selects
    // its text), the digits replace it, Enter sets the count.
    ViewObject* tracks = FieldObject(view, &ViewObject::IsTrackList);
    REQUIRE(tracks != nullptr);
    CBarText& bar = frame->m_barText;
    HWND edit = ::GetWindow(bar.m_tracks.m_hWnd, GW_CHILD);
    REQUIRE(edit != nullptr);
    // One key after the other, each taken (with its character) before the next comes.
    auto press = [&](UINT key) {
        PostKey(edit, key);
        settle([] { return true; });
    };
    auto typeCount = [&](const char* digits) {
        for (const char* d = digits; *d; ++d) press(static_cast<UINT>(*d));
        press(VK_RETURN);
    };
    auto shows = [&](int count) {
        return [&, count] {
            return tracks->trackRows.GetSize() == count && bar.m_trackList.GetLastRecord() == count;
        };
    };
    bar.m_tracks.SetFocus();
    settle([] { return true; });
    typeCount("10");
    REQUIRE(settle(shows(10)));
    std::vector<double> up, down;
    for (int round = 0; round < 7; ++round) {
        bar.m_tracks.SetFocus();
        settle([] { return true; });
        up.push_back(timed([&] { typeCount("99"); }, shows(99)));
        bar.m_tracks.SetFocus();
        settle([] { return true; });
        down.push_back(timed([&] { typeCount("10"); }, shows(10)));
    }
    CHECK(tracks->trackRows.GetSize() == 10);
    Report("Tracks box: 10 -> 99 typed, Enter", up);
    Report("Tracks box: 99 -> 10 typed, Enter", down);
    run.Close();
}
