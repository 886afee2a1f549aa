// The README's first command with a design after it: the user types scripts/run.sh and the design's
// full path on this machine (/.../Night Train.kvl, as ~/album.kvl is). The script (started by scenario-run_script.sh once the driver
// asks for it) checks what is installed, builds the program and starts it on that design: the
// main window's caption names it, and File > Exit ends the program and the script.
#include <doctest.h>

#include <windows.h>

#include <fstream>

#include "AppDriver.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"

using namespace e2e;

TEST_CASE("run_script") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    REQUIRE(WriteSampleDesign(OutDir() + "\\Night Train.kvl"));
    // The file the scenario's script waits for: the name of the design in this scenario's folder.
    {
        std::ofstream request(OutDir() + "\\run-request", std::ios::binary);
        request << "Night Train.kvl";
    }

    AppDriver app;
    // Before the program starts the script checks the installed packages and the build.
    REQUIRE(app.Attach(AppDriver::IsMainWindow, 120000));
    HWND main = app.Main();
    CHECK(app.WaitForSplashGone(20000));
    CHECK(WaitForStillWindow(main, 20000));
    // A path taken for a switch would leave an empty design, with New Project over it on this
    // first start.
    CHECK(WaitFor([&] { return WindowText(main) == "Night Train.kvl - Korvanelle"; }, 10000));
    CHECK(WindowText(main) == "Night Train.kvl - Korvanelle");
    CHECK(app.WaitForDialog("New Project", 0) == nullptr);
    CHECK(app.Quit(30000));
}
