// Read CD: the program on a Windows 98 machine whose one CD drive (E:) holds a recorded audio disc
// with CD-TEXT, served by the stand-in ASPI layer (scenario-read_cd.sh sets the machine up). The
// user's settings point the disc lookup at the loopback disc database. Read CD from the menu finds
// the database's three matches and the disc's own CD-TEXT; the third match is chosen, and the Text
// Editor bar then shows its artist, title, year, genre and track list with the disc's times.
#include <doctest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "AppDriver.h"
#include "ScenarioSupport.h"
#include "res/CommandIds.h"
#include "res/ControlsIds.h"
#include "res/ReadCdIds.h"

using namespace e2e;

namespace {

// The boxes and the track list of the Text Editor bar, by control id.
const int kArtistBox = 1201, kTitleBox = 1202, kYearBox = 1203, kTimeBox = 1204, kGenreBox = 1205,
          kTracksBox = 1206, kTrackList = 1207;

int LoopbackPort() {
    std::ifstream in(OutDir() + "\\cddb_server.port");
    int port = 0;
    in >> port;
    return port;
}

// The user's settings of an earlier run with the disc-database server replaced by `server`: the
// settings file opens with its version and four texts (last drive, units, case, CDPlayer.ini);
// the server setting is the fifth. Texts are stored behind their length (one byte, or 0xFF and
// two bytes).
bool ReplaceServerSetting(std::vector<unsigned char>& settings, const std::string& server) {
    size_t at = 4;
    auto textLength = [&](size_t& length) {
        if (at >= settings.size()) return false;
        if (settings[at] < 0xFF) {
            length = settings[at];
            at += 1;
            return true;
        }
        if (at + 3 > settings.size()) return false;
        length = settings[at + 1] | (settings[at + 2] << 8);
        at += 3;
        return length < 0xFFFE;
    };
    for (int skipped = 0; skipped < 4; ++skipped) {
        size_t length = 0;
        if (!textLength(length) || at + length > settings.size()) return false;
        at += length;
    }
    const size_t start = at;
    size_t length = 0;
    if (!textLength(length) || at + length > settings.size() || server.size() >= 0xFF) return false;
    std::vector<unsigned char> replacement(1, static_cast<unsigned char>(server.size()));
    replacement.insert(replacement.end(), server.begin(), server.end());
    settings.erase(settings.begin() + start, settings.begin() + at + length);
    settings.insert(settings.begin() + start, replacement.begin(), replacement.end());
    return true;
}

// Starts the program and waits until its main window is ready for the user: the splash faded,
// the New Project question of the settings answered with Cancel.
HWND StartReady(AppDriver& app) {
    if (!app.Start()) return nullptr;
    HWND main = app.WaitForMainWindow(40000);
    if (main == nullptr) return nullptr;
    CHECK(app.WaitForSplashGone(20000));
    HWND newProject = app.WaitForDialog("New Project", 20000);
    CHECK(newProject != nullptr);
    if (newProject != nullptr) {
        CHECK(app.PressButton(newProject, "Cancel"));
        CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
    }
    CHECK(WaitForStillWindow(main, 20000));
    return main;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A message box of the program, waited for `ms`; what it says goes to the log.
HWND MessageBoxShown(const AppDriver& app, DWORD ms) {
    HWND box = app.WaitForMessageBox(ms);
    if (box != nullptr) std::cout << "the program says: " << AppDriver::MessageText(box) << std::endl;
    return box;
}

std::string BarText(HWND main, int id) {
    HWND box = FindDescendant(main, [&](HWND child) { return ::GetDlgCtrlID(child) == id; });
    return box != nullptr ? WindowText(box) : std::string("(no box)");
}

// The chosen preview's first value (the artist), or empty.
std::string PreviewArtist(HWND preview) {
    const std::vector<std::vector<std::string>> rows = ListViewTexts(preview, 3);
    return rows.empty() ? std::string() : rows[0][2];
}

// Clicks entry `index` of the Read CD dialog's list, as a hand does: the pointer goes there first.
void ClickEntry(const AppDriver& app, HWND list, int index) {
    const POINT centre = ListBoxEntryCentre(list, index);
    CHECK(app.PointAt(list, centre, 5000));
    app.Click(list, centre);
}

// An earlier run leaves the user's settings, in which the user then points the disc lookup at
// the loopback server.
void PrepareSettings(const std::string& settings, int port) {
    {
        AppDriver first;
        REQUIRE(StartReady(first) != nullptr);
        RecordMetric("first_run_ready_ms", first.Elapsed());
        REQUIRE(first.Quit(30000));
    }
    const std::string path = settings + "\\preferences.ini";
    std::vector<unsigned char> preferences = ReadBytes(path);
    REQUIRE(Uint32At(preferences, 0) == 507);
    const std::string server =
        "127.0.0.1`" + std::to_string(port) + "`/~cddb/cddb.cgi`Loopback disc database`0`````";
    REQUIRE(ReplaceServerSetting(preferences, server));
    REQUIRE(WriteBytes(path, preferences));
}

// What the Text Editor bar shows once the third match is written: its album and the disc's times
// (7:58 from the first track to the lead-out).
void CheckTextEditorBar(HWND main) {
    CHECK(WaitFor([&] { return BarText(main, kArtistBox) == "Artist Three"; }, 10000));
    CHECK(BarText(main, kArtistBox) == "Artist Three");
    CHECK(BarText(main, kTitleBox) == "Album Three");
    CHECK(BarText(main, kYearBox) == "1977");
    CHECK(BarText(main, kGenreBox) == "Jazz");
    CHECK(BarText(main, kTimeBox) == "7:58");
    HWND tracksBox = FindDescendant(main, [](HWND child) { return ::GetDlgCtrlID(child) == kTracksBox; });
    CHECK((tracksBox != nullptr && WindowText(tracksBox) == "4"));
    HWND tracks = FindDescendant(main, [](HWND child) { return ::GetDlgCtrlID(child) == kTrackList; });
    REQUIRE(tracks != nullptr);
    std::vector<std::string> rows;
    for (const auto& row : ListViewTexts(tracks, 4))
        rows.push_back(Trimmed(row[1]) + " " + Trimmed(row[2]) + " " + Trimmed(row[3]));
    CHECK(rows == std::vector<std::string>{"1. C1 1:58", "2. C2 2:00", "3. C3 2:00", "4. C4 2:00"});
}

// File > Save As under a name of its own; the file holds the chosen album and nothing of the
// CD-TEXT that was only looked at.
void SaveAndReadBack(const AppDriver& app, HWND main) {
    const std::string path = OutDir() + "\\Night ferry cover.kvl";
    ::DeleteFileA(path.c_str());
    app.Command(ID_FILE_SAVE_AS_CMD);
    HWND saveAs = app.WaitForDialog("Save As", 20000);
    REQUIRE(saveAs != nullptr);
    HWND name = FindDescendant(
        saveAs, [](HWND child) { return ClassName(child) == "Edit" && ::IsWindowVisible(child); });
    REQUIRE(name != nullptr);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    REQUIRE(app.PressButton(saveAs, "Save"));
    CHECK(WaitFor(
        [&] {
            return !::IsWindow(saveAs) && WindowText(main).find("Night ferry cover") != std::string::npos;
        },
        15000));
    const std::vector<unsigned char> bytes = ReadBytes(path);
    const std::string design(bytes.begin(), bytes.end());
    for (const char* text : {"Artist Three", "Album Three", "1977", "Jazz", "C1", "C4", "7:58"}) {
        CAPTURE(text);
        CHECK(design.find(text) != std::string::npos);
    }
    CHECK(design.find("Harbour Lights") == std::string::npos);
}

}  // namespace

TEST_CASE("read_cd") {
    ScenarioClock clock;
    // The machine the set-up made: Windows 98, the stand-in's requests logged, the server's port.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    REQUIRE(::GetVersionExA(&version));
    REQUIRE(version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS);
    const int port = LoopbackPort();
    REQUIRE(port > 0);
    const std::string aspiLog = OutDir() + "\\aspi.log";
    ::DeleteFileA(aspiLog.c_str());
    REQUIRE(::SetEnvironmentVariableA("KV_ASPI_LOG", aspiLog.c_str()));
    const std::string settings = SettingsFolder();
    REQUIRE(!settings.empty());
    REQUIRE(::GetFileAttributesA(settings.c_str()) == INVALID_FILE_ATTRIBUTES);
    PrepareSettings(settings, port);

    AppDriver app;
    HWND main = StartReady(app);
    REQUIRE(main != nullptr);
    RecordMetric("ready_ms", app.Elapsed());
    RecordCounts(app, "start");
    // The drive was found through ASPI when the program started.
    const std::vector<unsigned char> startBytes = ReadBytes(aspiLog);
    const std::string startLog(startBytes.begin(), startBytes.end());
    CHECK(startLog.find("devtype 1 0") != std::string::npos);
    CHECK(startLog.find("exec 12") != std::string::npos);

    // Read CD from the menu: the drive list names the drive by the letter the system gave it.
    app.Command(ID_READ_CD);
    HWND dialog = app.WaitForDialog("Read CD", 20000);
    REQUIRE(dialog != nullptr);
    HWND list = ::GetDlgItem(dialog, IDC_READCD_LIST);
    HWND preview = ::GetDlgItem(dialog, IDC_READCD_PREVIEW);
    REQUIRE((list != nullptr && preview != nullptr));
    CHECK(ListBoxTexts(list) == std::vector<std::string>{"Drive [E:]"});
    const DWORD scanStart = ::GetTickCount();
    REQUIRE(app.PressButton(dialog, "Read CD"));

    // The matches: the database's three, then the disc's own CD-TEXT; the first is shown.
    const bool found = WaitFor([&] { return WindowText(dialog).find("Found") != std::string::npos; }, 30000);
    RecordMetric("lookup_ms", ::GetTickCount() - scanStart);
    CHECK_MESSAGE(found, "caption: " << WindowText(dialog));
    // The dialog's "Match:" label has the id of a message box's text; the dialog is no box.
    CHECK_FALSE(AppDriver::IsMessageBox(dialog));
    REQUIRE(MessageBoxShown(app, 300) == nullptr);
    CHECK(Trimmed(WindowText(dialog)) == "Found 4 matches");
    CHECK(ListBoxTexts(list) ==
          std::vector<std::string>{" 1. [Freedb]", " 2. [Freedb]", " 3. [Freedb]", " 4. [CD-TEXT]"});
    std::vector<std::vector<std::string>> shown = ListViewTexts(preview, 3);
    REQUIRE(shown.size() >= 8);
    CHECK(shown[0][1] == "Artist:");
    CHECK(shown[0][2] == "Artist One");
    CHECK(shown[4][2] == "A1");
    CHECK(WaitForStillWindow(dialog, 10000));
    CHECK(app.Screenshot("read-cd-chooser"));

    // The disc's own CD-TEXT, as the stand-in drive gave it.
    ClickEntry(app, list, 3);
    CHECK(WaitFor([&] { return PreviewArtist(preview) == "Harbour Lights"; }, 10000));
    shown = ListViewTexts(preview, 3);
    REQUIRE(shown.size() >= 5);
    CHECK(shown[1][2] == "Night Ferry");
    CHECK(shown[4][2] == "Boarding");

    // The third match is chosen and written into the design.
    ClickEntry(app, list, 2);
    CHECK(WaitFor([&] { return PreviewArtist(preview) == "Artist Three"; }, 10000));
    REQUIRE(app.PressButton(dialog, "OK"));
    CHECK(WaitFor([&] { return !::IsWindow(dialog); }, 15000));
    CHECK(MessageBoxShown(app, 300) == nullptr);
    CheckTextEditorBar(main);
    CHECK(WaitForStillWindow(main, 20000, 4000));
    CHECK(app.Screenshot("read-cd-written"));
    // Reading the disc and writing the album leave no objects behind (the file dialog below
    // keeps the system's pictures for the rest of the run).
    RecordCounts(app, "after_read");

    SaveAndReadBack(app, main);

    // The disc was read through ASPI: its table of contents and its CD-TEXT.
    const std::vector<unsigned char> log = ReadBytes(aspiLog);
    const std::string requests(log.begin(), log.end());
    CHECK(requests.find("exec 43 00") != std::string::npos);
    CHECK(requests.find("exec 43 05") != std::string::npos);

    RecordCounts(app, "end");
    CHECK(app.Quit(30000));
}
