// A tool bar left floating: on a first start the user drags the main tool bar off its dock onto
// the canvas and quits. Started again, with New Project over the window at start-up, then with New
// Project opened by File > New after the save question (a two-disc design chosen there gives the
// bar one button more), and then with a design on the command line, the program shows the
// floating bar in front of its main window: the screen shows the bar's first button (its last one
// from New Project on) where that button lies.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "AppDriver.h"
#include "DialogControls.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"
#include "res/CommandIds.h"

using namespace e2e;

namespace {

bool IsMainBar(HWND window) {
    return ::GetDlgCtrlID(window) == 1054;
}

// A tool-bar item's rectangle on the screen.
RECT ItemOnScreen(AppDriver& app, HWND toolbar, int index) {
    std::vector<unsigned char> block(sizeof(RECT), 0);
    app.SendWithBlock(toolbar, TB_GETITEMRECT, index, block);
    RECT rc = *reinterpret_cast<RECT*>(block.data());
    ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The first gap between the tool bar's buttons (a press there drags the bar), or -1.
int FirstSeparator(AppDriver& app, HWND toolbar) {
    const int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::vector<unsigned char> block(sizeof(TBBUTTON), 0);
        if (app.SendWithBlock(toolbar, TB_GETBUTTON, i, block) &&
            (reinterpret_cast<TBBUTTON*>(block.data())->fsStyle & TBSTYLE_SEP))
            return i;
    }
    return -1;
}

// The pointer over the canvas, away from the bars, so that no button shows hot; then the window
// at rest (but for a selected object's moving outline, when `outline`).
void PointerAway(AppDriver& app, HWND main, bool outline = false) {
    RECT client = {};
    ::GetClientRect(main, &client);
    app.PointAt(main, POINT{client.right - 40, client.bottom - 40}, 5000);
    CHECK(WaitForStillWindow(main, 20000, outline ? 4000 : 0));
}

void CancelNewProject(AppDriver& app) {
    HWND newProject = app.WaitForDialog("New Project", 20000);
    REQUIRE(newProject != nullptr);
    CHECK(app.PressButton(newProject, "Cancel"));
    CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
}

// The main tool bar floats and the screen shows its button `index` as it looked docked; the bar.
HWND CheckBarInFront(AppDriver& app, HWND main, int index, const kvtest::Capture& button,
                     const std::string& when, bool outline = false) {
    CAPTURE(when);
    HWND toolbar = nullptr;
    for (HWND window : app.Windows())
        if (HWND found = FindDescendant(window, IsMainBar)) toolbar = found;
    REQUIRE(toolbar != nullptr);
    REQUIRE(::GetAncestor(toolbar, GA_ROOT) != main);
    PointerAway(app, main, outline);
    const kvtest::Capture shown = kvtest::CaptureRect(ItemOnScreen(app, toolbar, index));
    const bool same = shown.width == button.width && shown.height == button.height && shown.pixels == button.pixels;
    CHECK(same);
    if (!same) app.Screenshot(when);
    return toolbar;
}

}  // namespace

TEST_CASE("floating_bar") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    const std::string design = OutDir() + "\\Night Train.kvl";
    REQUIRE(WriteSampleDesign(design));

    kvtest::Capture button, print;
    int last = 0;
    {
        AppDriver app;
        REQUIRE(app.Start());
        HWND main = app.WaitForMainWindow(30000);
        REQUIRE(main != nullptr);
        CancelNewProject(app);
        HWND toolbar = FindDescendant(main, IsMainBar);
        REQUIRE(toolbar != nullptr);
        PointerAway(app, main);
        button = kvtest::CaptureRect(ItemOnScreen(app, toolbar, 0));
        REQUIRE_FALSE(button.Empty());
        last = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)) - 1;
        print = kvtest::CaptureRect(ItemOnScreen(app, toolbar, last));

        // Dragged by a gap between its buttons to the middle of the canvas, the bar floats.
        const int gap = FirstSeparator(app, toolbar);
        REQUIRE(gap >= 0);
        const RECT from = ItemOnScreen(app, toolbar, gap);
        POINT start = {(from.left + from.right) / 2, (from.top + from.bottom) / 2};
        ::ScreenToClient(toolbar, &start);
        RECT client = {};
        ::GetClientRect(main, &client);
        POINT end = {client.right / 2, client.bottom / 2};
        ::MapWindowPoints(main, toolbar, &end, 1);
        CHECK(app.SteadyDrag(toolbar, start, end));
        CHECK(WaitFor([&] { return ::GetAncestor(toolbar, GA_ROOT) != main; }, 10000));
        CHECK(app.Quit(30000));
    }
    {
        AppDriver app;
        REQUIRE(app.Start());
        HWND main = app.WaitForMainWindow(30000);
        REQUIRE(main != nullptr);
        CancelNewProject(app);
        CheckBarInFront(app, main, 0, button, "after-new-project");
        // An edit (a new selected text), File > New and No to the save question: New Project lies
        // over the window and the bar's first button, and the bar stays in front of the window.
        REQUIRE(app.Run(ID_INSERT_ARTIST));
        app.Command(ID_FILE_NEW_CMD);
        CHECK(app.Answer(app.WaitForMessageBox(20000), IDNO));
        HWND newProject = app.WaitForDialog("New Project", 20000);
        REQUIRE(newProject != nullptr);
        HWND toolbar = CheckBarInFront(app, main, last, print, "new-project-after-question", true);
        // Its buttons take no click meanwhile: their commands would reach a frame waiting for the
        // dialog.
        CHECK_FALSE(::IsWindowEnabled(::GetAncestor(toolbar, GA_ROOT)));
        // A two-disc design (from the list, 1104): the bar gets a button more, and its floating
        // frame widens to show it.
        REQUIRE(ChooseListEntry(newProject, 1104, "CD Case - 2 Disc"));
        CHECK(app.PressButton(newProject, "OK"));
        HWND floating = ::GetAncestor(toolbar, GA_ROOT);
        CHECK(WaitFor(
            [&] {
                RECT frame = {};
                ::GetClientRect(floating, &frame);
                ::MapWindowPoints(floating, nullptr, reinterpret_cast<POINT*>(&frame), 2);
                return ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) == last + 2 &&
                       ItemOnScreen(app, toolbar, last + 1).right <= frame.right;
            },
            10000));
        CHECK(::IsWindowEnabled(floating));
        CHECK(app.Quit(30000));
    }
    {
        AppDriver app;
        HWND main = StartReady(app, "\"" + design + "\"");
        REQUIRE(main != nullptr);
        CheckBarInFront(app, main, 0, button, "with-design");
        CHECK(app.Quit(30000));
    }
}
