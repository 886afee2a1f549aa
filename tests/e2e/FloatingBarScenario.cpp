// A tool bar left floating: on a first start the user drags the main tool bar off its dock onto
// the canvas and quits. Started again, with New Project over the window at start-up and then with
// a design on the command line, the program shows the floating bar in front of its main window:
// the screen shows the bar's first button where that button lies.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "AppDriver.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"

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
// at rest.
void PointerAway(AppDriver& app, HWND main) {
    RECT client = {};
    ::GetClientRect(main, &client);
    app.PointAt(main, POINT{client.right - 40, client.bottom - 40}, 5000);
    CHECK(WaitForStillWindow(main, 20000));
}

void CancelNewProject(AppDriver& app) {
    HWND newProject = app.WaitForDialog("New Project", 20000);
    REQUIRE(newProject != nullptr);
    CHECK(app.PressButton(newProject, "Cancel"));
    CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
}

// The main tool bar floats and the screen shows its first button as it looked docked.
void CheckBarInFront(AppDriver& app, HWND main, const kvtest::Capture& button, const std::string& when) {
    CAPTURE(when);
    HWND toolbar = nullptr;
    for (HWND window : app.Windows())
        if (HWND found = FindDescendant(window, IsMainBar)) toolbar = found;
    REQUIRE(toolbar != nullptr);
    REQUIRE(::GetAncestor(toolbar, GA_ROOT) != main);
    PointerAway(app, main);
    const kvtest::Capture shown = kvtest::CaptureRect(ItemOnScreen(app, toolbar, 0));
    const bool same = shown.width == button.width && shown.height == button.height && shown.pixels == button.pixels;
    CHECK(same);
    if (!same) app.Screenshot(when);
}

}  // namespace

TEST_CASE("floating_bar") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    const std::string design = OutDir() + "\\Night Train.kvl";
    REQUIRE(WriteSampleDesign(design));

    kvtest::Capture button;
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
        CheckBarInFront(app, main, button, "after-new-project");
        CHECK(app.Quit(30000));
    }
    {
        AppDriver app;
        HWND main = StartReady(app, "\"" + design + "\"");
        REQUIRE(main != nullptr);
        CheckBarInFront(app, main, button, "with-design");
        CHECK(app.Quit(30000));
    }
}
