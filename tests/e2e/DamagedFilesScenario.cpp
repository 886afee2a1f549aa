// Damaged files: a design that cannot be read named on the command line, and a damaged
// preferences.ini and printers.ini in the settings folder. The program starts, says which design
// it could not open, carries on with a design of its own, and at exit replaces the damaged
// settings with sound ones; the damaged design and the user's other files are left as they were.
#include <doctest.h>

#include <iostream>

#include "AppDriver.h"
#include "ScenarioSupport.h"

using namespace e2e;

namespace {

// A settings file that starts like the current release's and ends after a few fields.
std::vector<unsigned char> CutPreferences() {
    std::vector<unsigned char> bytes = {0xFB, 0x01, 0x00, 0x00};  // 507
    for (int i = 0; i < 23; ++i) bytes.push_back(static_cast<unsigned char>(i * 37 + 5));
    return bytes;
}

// A printer list whose record count promises far more than the file holds.
std::vector<unsigned char> BrokenPrinters() {
    return {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x7F, 0x00, 'C', 'P', 'r', 'i', 'n', 't', 0x13, 0x77};
}

// Bytes that are no design of any version.
std::vector<unsigned char> BrokenDesign() {
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 300; ++i) bytes.push_back(static_cast<unsigned char>((i * 131 + 7) ^ (i >> 3)));
    return bytes;
}

}  // namespace

TEST_CASE("damaged_files") {
    ScenarioClock clock;
    const std::string settings = SettingsFolder();
    REQUIRE(!settings.empty());
    REQUIRE(::CreateDirectoryA(settings.c_str(), nullptr));
    const std::string preferencesPath = settings + "\\preferences.ini";
    const std::string printersPath = settings + "\\printers.ini";
    // A file of the user's own beside the settings: nobody's business but theirs.
    const std::string notesPath = settings + "\\my notes.txt";
    const std::vector<unsigned char> notes = {'k', 'e', 'e', 'p', ' ', 'm', 'e', '\r', '\n'};
    REQUIRE(WriteBytes(preferencesPath, CutPreferences()));
    REQUIRE(WriteBytes(printersPath, BrokenPrinters()));
    REQUIRE(WriteBytes(notesPath, notes));
    const std::string designPath = OutDir() + "\\Damaged cover.kvl";
    REQUIRE(WriteBytes(designPath, BrokenDesign()));

    AppDriver app;
    REQUIRE(app.Start("\"" + designPath + "\""));
    HWND box = app.WaitForMessageBox(40000);
    REQUIRE(box != nullptr);
    const std::string message = AppDriver::MessageText(box);
    std::cout << "the program says: " << message << std::endl;
    CHECK(message.find("Error opening file") != std::string::npos);
    CHECK(message.find(designPath) != std::string::npos);
    CHECK(WaitForStillWindow(box, 10000));
    // The box shows while the splash still lies over the middle of the screen; a user clicks
    // once it has faded.
    CHECK(app.WaitForSplashGone(15000));
    CHECK(app.Screenshot("damaged-design-message"));
    REQUIRE(app.Answer(box, IDOK));
    CHECK(WaitFor([&] { return !::IsWindow(box); }, 10000));

    // The program goes on with a design of its own; nothing else is asked.
    HWND main = app.WaitForMainWindow(30000);
    REQUIRE(main != nullptr);
    CHECK(WindowText(main).find("Damaged") == std::string::npos);
    CHECK(WaitForStillWindow(main, 20000));
    CHECK(app.WaitForMessageBox(500) == nullptr);
    RecordCounts(app, "start");
    RecordCounts(app, "end");
    CHECK(app.Quit(30000));

    CHECK(ReadBytes(designPath) == BrokenDesign());
    CHECK(ReadBytes(notesPath) == notes);
    const std::vector<unsigned char> preferences = ReadBytes(preferencesPath);
    CHECK(Uint32At(preferences, 0) == 507);
    CHECK(preferences.size() > CutPreferences().size());
    CHECK(ReadBytes(printersPath) != BrokenPrinters());

    // What the first run wrote is read without a word at the next start.
    AppDriver again;
    REQUIRE(again.Start());
    REQUIRE(again.WaitForMainWindow(30000) != nullptr);
    // Without a design on the command line, the start shows New Project as the settings ask.
    HWND newProject = again.WaitForDialog("New Project", 20000);
    CHECK(newProject != nullptr);
    if (newProject) {
        // A user clicks once the splash over the middle of the screen has faded.
        CHECK(again.WaitForSplashGone(15000));
        CHECK(again.PressButton(newProject, "Cancel"));
        CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
    }
    CHECK(WaitForStillWindow(again.Main(), 20000));
    CHECK(again.WaitForMessageBox(500) == nullptr);
    CHECK(again.Quit(30000));
    CHECK(ReadBytes(preferencesPath).size() == preferences.size());
}
