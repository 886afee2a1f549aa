// The README's first command with a design after it: the user types scripts/run.sh and the design's
// full path on this machine (/.../Night Train.kvl, as ~/album.kvl is). The script (started by
// scenario-run_script.sh once the driver asks for it) checks what is installed, builds the program
// and starts it on that design: the main window's caption names it, and File > Exit ends the
// program and the script. Then once more with a name mistyped: the program says it cannot open it.
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
    // The file the scenario's script waits for, put in place whole: the name of a design in this
    // scenario's folder, for one run of the script.
    const std::string requestFile = OutDir() + "\\run-request";
    auto askToRun = [&](const char* name) {
        std::ofstream(requestFile + ".part", std::ios::binary) << name;
        ::MoveFileA((requestFile + ".part").c_str(), requestFile.c_str());
    };
    askToRun("Night Train.kvl");

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

    // A second run on a name mistyped (no such file): the program is handed it as a file, not a
    // switch, and says it cannot open it.
    askToRun("albm.kvl");
    AppDriver typo;
    REQUIRE(
        typo.Attach([](HWND w) { return AppDriver::IsMainWindow(w) || AppDriver::IsMessageBox(w); }, 120000));
    HWND box = typo.WaitForMessageBox(60000);
    REQUIRE(box != nullptr);
    const std::string said = AppDriver::MessageText(box);
    CHECK(said.find("Error opening file:") == 0);
    CHECK(said.find(OutDir() + "\\albm.kvl") != std::string::npos);
    typo.Answer(box, IDOK);
    CHECK(WaitFor([&] { return !::IsWindow(box); }, 10000));
    CHECK(typo.WaitForMainWindow(30000) != nullptr);
    CHECK(typo.WaitForSplashGone(20000));
    CHECK(WaitForStillWindow(typo.Main(), 20000));
    CHECK(typo.Quit(30000));
}
