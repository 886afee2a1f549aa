// First start with no settings: the splash, then the main window with New Project over it, then its
// bars on a new design;
// at exit the settings folder holds the settings and the printer list, and the profile the bars'
// layout.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <iostream>

#include "AppDriver.h"
#include "ScenarioSupport.h"
#include "res/CommandIds.h"

using namespace e2e;

namespace {

// The bars the frame docks on a first start, by control id.
struct ExpectedBar {
    int id;
    const char* name;
};
const ExpectedBar kBars[] = {{1048, "Text Editor bar"},
                             {1053, "colour tool bar"},
                             {1054, "main tool bar"},
                             {1057, "Images bar"},
                             {1060, "properties tool bar"}};

bool ProfileKeyExists(const char* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

}  // namespace

TEST_CASE("first_start") {
    ScenarioClock clock;
    const std::string settings = SettingsFolder();
    REQUIRE(!settings.empty());
    // A fresh profile: nothing of an earlier run.
    REQUIRE(::GetFileAttributesA(settings.c_str()) == INVALID_FILE_ATTRIBUTES);

    AppDriver app;
    REQUIRE(app.Start());
    // The splash: a layered window without a caption, before the main window is usable.
    HWND splash = app.WaitForWindow(AppDriver::IsSplash, 20000);
    CHECK(splash != nullptr);
    RecordMetric("splash_ms", app.Elapsed());

    HWND main = app.WaitForMainWindow(30000);
    REQUIRE(main != nullptr);
    RecordMetric("main_window_ms", app.Elapsed());
    CHECK(app.WaitForSplashGone(20000));
    RecordMetric("splash_gone_ms", app.Elapsed());
    // The settings of a first run show New Project at start-up; Cancel keeps the default design.
    HWND newProject = app.WaitForDialog("New Project", 20000);
    CHECK(newProject != nullptr);
    if (newProject) {
        CHECK(app.PressButton(newProject, "Cancel"));
        CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
    }

    CHECK(WaitForStillWindow(main, 20000));
    RecordMetric("ready_ms", app.Elapsed());
    // Nothing was done yet: once the program is idle, with nothing more sent to it, the main tool
    // bar shows Undo and Redo disabled.
    HWND mainBar = FindDescendant(main, [](HWND child) { return ::GetDlgCtrlID(child) == 1054; });
    auto enabled = [&](UINT id) { return ::SendMessageA(mainBar, TB_ISBUTTONENABLED, id, 0) != 0; };
    CHECK(WaitFor([&] { return !enabled(ID_EDIT_UNDO_CMD) && !enabled(ID_EDIT_REDO_CMD); }, 10000));
    for (const ExpectedBar& bar : kBars) {
        CAPTURE(bar.name);
        HWND hWnd = FindDescendant(main, [&](HWND child) { return ::GetDlgCtrlID(child) == bar.id; });
        CHECK(hWnd != nullptr);
        CHECK(::IsWindowVisible(hWnd));
    }
    // The colour bar shows its colours: it spans most of the frame's width.
    RECT colours = {};
    ::GetWindowRect(FindDescendant(main, [](HWND child) { return ::GetDlgCtrlID(child) == 1053; }), &colours);
    CHECK(colours.right - colours.left > 600);
    RecordCounts(app, "start");
    CHECK(app.Screenshot("first-start"));

    RecordCounts(app, "end");
    CHECK(app.Quit(30000));

    // What the first run leaves for the next one.
    const std::vector<unsigned char> preferences = ReadBytes(settings + "\\preferences.ini");
    CHECK(Uint32At(preferences, 0) == 507);
    CHECK(FileExists(settings + "\\printers.ini"));
    CHECK(ProfileKeyExists("Software\\Korvanelle\\Korvanelle\\Toolbars-Summary"));
}
