// The Read CD dialog end to end: a drive behind its seam (recorded tables of contents and
// CD-TEXT), the loopback disc database, CDPlayer.ini and MP3 files on disk, and the real View
// receiving what is read as undo steps.
#include <doctest.h>

#include <map>

#include "canvas/CanvasFixture.h"
#include "GuiSupport.h"
#include "ReadCdTestSupport.h"
#include "TestSupport.h"
#include "canvas/FrameCommandState.h"
#include "controls/ThemeResources.h"
#include "disc/DlgReadCD.h"
#include "disc/GridMp3.h"
#include "disc/ReadCdWorker.h"
#include "disc/ServerList.h"
#include "disc/SettingsLookup.h"
#include "model/TrackListText.h"
#include "res/ReadCdIds.h"

using rctest::Boxes;
using rctest::Drive;
using rctest::Toc;

namespace {

const char kEnd = 0x08;

// Tracks at 0:02, 3:30 and 7:00, lead-out 10:00: one match in the disc database.
const std::vector<std::vector<int>> kOneMatch = {{0, 2, 0}, {3, 30, 0}, {7, 0, 0}, {10, 0, 0}};
// Four tracks: three matches.
const std::vector<std::vector<int>> kThreeMatches = {{0, 2, 0}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}, {8, 0, 0}};
// Two tracks: no match.
const std::vector<std::vector<int>> kNoMatch = {{0, 2, 0}, {5, 0, 0}, {9, 0, 0}};
// Two tracks each that the database answers with an error, with a reply that has no blank line
// behind its headers, with a reply past the client's cap, and with 15,000 matches.
const std::vector<std::vector<int>> kServerError = {{0, 2, 0}, {1, 0, 0}, {2, 0, 0}};
const std::vector<std::vector<int>> kNoBlankLine = {{0, 2, 0}, {4, 0, 0}, {5, 0, 0}};
const std::vector<std::vector<int>> kHugeReply = {{0, 2, 0}, {2, 0, 0}, {3, 0, 0}};
const std::vector<std::vector<int>> kManyMatches = {{0, 2, 0}, {3, 0, 0}, {4, 0, 0}};
// Two tracks each whose query connection the database closes mid-reply, resets, or closes after
// garbage; and two tracks with four matches whose records each come complete, but slowly.
const std::vector<std::vector<int>> kClosedMidReply = {{0, 2, 0}, {6, 0, 0}, {8, 0, 0}};
const std::vector<std::vector<int>> kReset = {{0, 2, 0}, {7, 0, 0}, {8, 0, 0}};
const std::vector<std::vector<int>> kGarbage = {{0, 2, 0}, {7, 0, 0}, {9, 0, 0}};
const std::vector<std::vector<int>> kSlowRecords = {{0, 2, 0}, {6, 0, 0}, {7, 0, 0}};
// Three tracks the database never answers for.
const std::vector<std::vector<int>> kSilent = {{0, 2, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}};

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
    }
    ~Winsock() { WSACleanup(); }
};

std::string S(const CString& s) {
    return std::string(s.GetString());
}

std::string Field(View* view, const char* name) {
    return S(view->m_design.GetAlbumField(name));
}

std::vector<std::string> Titles(View* view, const char* name) {
    std::vector<std::string> titles;
    for (const TrackRecordFields& r : SplitTrackRecords(view->m_design.GetAlbumField(name)))
        titles.push_back(S(r.title));
    return titles;
}

std::vector<std::string> Times(View* view, const char* name) {
    std::vector<std::string> times;
    for (const TrackRecordFields& r : SplitTrackRecords(view->m_design.GetAlbumField(name)))
        times.push_back(S(r.time));
    return times;
}

// The caption without the blanks the themed frame adds or takes away at its ends.
std::string Caption(CWnd& w) {
    CString text;
    w.GetWindowText(text);
    text.Trim();
    return S(text);
}

// Sources, server and drive for a scan; the design a fresh one-disc design.
struct Setup {
    Winsock winsock;
    View* view;
    Setup(const std::vector<std::vector<int>>& toc, bool freedb, bool cdText, bool cdPlayer) {
        rctest::Drives();
        view = cvtest::EnsureView();
        cvtest::NewDesign(view, kLayout1DiscTop, "Disc 1");
        cvtest::Host().discChoice = 2;
        Drive().toc = Toc(toc);
        Drive().cdText.clear();
        g_useFreedb = freedb;
        g_useCdText = cdText;
        g_useCdPlayerIni = cdPlayer;
        g_useMp3 = 1;
        g_useMp3Tag = 1;
        g_lastDrive.Empty();
        g_currentServer = rctest::LoopbackSite();
        FrameCommandState::Get().m_targetDisc = 1;
        REQUIRE(g_currentServer.m_port > 0);
    }
};

// The dialog, modeless, over the canvas's frame.
struct Dialog {
    DlgReadCD dialog;
    explicit Dialog(View* view) : dialog(nullptr, rctest::Drives(), view) {
        dialog.m_defaultServer = rctest::LoopbackSite();
        dialog.m_queryPollInterval = 20;
        REQUIRE(dialog.Create(IDD_READCD, nullptr));
        dialog.ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~Dialog() {
        if (dialog.m_hWnd) dialog.DestroyWindow();
    }
    void Press(int id) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)dialog.GetDlgItem(id)->m_hWnd);
    }
    // A click on "Read CD" through the message loop, then the scan to its end.
    void ClickScan() {
        ::PostMessageA(dialog.GetDlgItem(IDOK)->m_hWnd, BM_CLICK, 0, 0);
        REQUIRE(
            kvtest::PumpUntil([&] { return dialog.GetScan() != nullptr && !dialog.IsScanning(); }, 20000));
    }
    // OK, then the scan to its end.
    void Scan() {
        Press(IDOK);
        REQUIRE(kvtest::PumpUntil([&] { return !dialog.IsScanning(); }, 20000));
    }
    void ChooseMatch(int index) {
        dialog.m_list.SetCurSel(index);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_READCD_LIST, LBN_SELCHANGE),
                           (LPARAM)dialog.m_list.m_hWnd);
    }
    std::string ListEntry(int i) {
        CString text;
        dialog.m_list.GetText(i, text);
        return S(text);
    }
};

}  // namespace

TEST_CASE("an audio disc read into the design") {
    Boxes boxes;
    SUBCASE("one match: shown, then written with its times as one undo step") {
        Setup setup(kOneMatch, true, false, false);
        View* view = setup.view;
        const std::string artistBefore = Field(view, "Artist");
        const int steps = view->GetUndoCount();
        Dialog d(view);
        CHECK(Caption(d.dialog) == "Read CD");
        CHECK(d.ListEntry(0) == "Drive [E:]");
        d.Scan();
        CHECK(d.dialog.GetMode() == DlgReadCD::kModeMatches);
        CHECK(Caption(d.dialog) == "Found 1 match");
        REQUIRE(d.dialog.m_list.GetCount() == 1);
        CHECK(d.ListEntry(0) == " 1. [Freedb]");
        CHECK(S(d.dialog.m_preview.GetItemText(0, 2)) == "Solo Artist");
        CHECK(S(d.dialog.m_preview.GetItemText(5, 1)) == "Track 2:");
        d.Press(IDOK);
        CHECK(d.dialog.GetCloseResult() != 0);
        CHECK(Field(view, "Artist") == std::string("Solo Artist") + kEnd);
        CHECK(Field(view, "Title") == std::string("Only Album") + kEnd);
        CHECK(Field(view, "Year") == std::string("1999") + kEnd);
        CHECK(Field(view, "Genre") == std::string("Ambient") + kEnd);
        CHECK(Field(view, "Time") == std::string("9:58") + kEnd);
        // The tab inside a title becomes a blank.
        CHECK(Titles(view, "Track List") == std::vector<std::string>{"First", "Second Song", "Third"});
        CHECK(Times(view, "Track List") == std::vector<std::string>{" 3:28", " 3:30", " 3:00"});
        CHECK(view->GetUndoCount() == steps + 1);
        view->ApplyUndoStep(false);
        CHECK(Field(view, "Artist") == artistBefore);
        view->ApplyUndoStep(true);
        CHECK(Field(view, "Artist") == std::string("Solo Artist") + kEnd);
        CHECK(boxes.texts.empty());
    }
    SUBCASE("three matches: the preview follows the choice, the chosen one is written") {
        Setup setup(kThreeMatches, true, false, false);
        View* view = setup.view;
        Dialog d(view);
        d.Scan();
        CHECK(Caption(d.dialog) == "Found 3 matches");
        REQUIRE(d.dialog.m_list.GetCount() == 3);
        CHECK(d.ListEntry(2) == " 3. [Freedb]");
        CHECK(S(d.dialog.m_preview.GetItemText(0, 2)) == "Artist One");
        d.ChooseMatch(1);
        CHECK(d.dialog.GetChosenMatch() == 1);
        CHECK(S(d.dialog.m_preview.GetItemText(0, 2)) == "Artist Two");
        CHECK(S(d.dialog.m_preview.GetItemText(2, 2)).empty());  // year 0 shows no year
        d.Press(IDOK);
        CHECK(Field(view, "Artist") == std::string("Artist Two") + kEnd);
        CHECK(Field(view, "Year") == std::string(1, kEnd));
        CHECK(Titles(view, "Track List") == std::vector<std::string>{"B1", "B2", "B3", "B4"});
    }
    SUBCASE("only the track times, when the box says so") {
        Setup setup(kThreeMatches, true, false, false);
        View* view = setup.view;
        const std::string artist = Field(view, "Artist");
        Dialog d(view);
        d.Scan();
        d.dialog.m_timesOnly.SetCheck(BST_CHECKED);
        d.Press(IDC_READCD_TIMES_ONLY);
        CHECK_FALSE(d.dialog.m_list.IsWindowEnabled());
        CHECK(d.dialog.m_preview.GetItemCount() == 0);
        // The disabled track list is the list that shows the dialog's texture instead of itself.
        CWnd* preview = CWnd::FromHandlePermanent(d.dialog.GetDlgItem(IDC_READCD_PREVIEW)->m_hWnd);
        CHECK(dynamic_cast<CListTrans*>(preview) != nullptr);
        CHECK_FALSE(preview->IsWindowEnabled());
        d.Press(IDOK);
        CHECK(Field(view, "Artist") == artist);
        CHECK(Times(view, "Track List") == std::vector<std::string>{" 1:58", " 2:00", " 2:00", " 2:00"});
    }
}

TEST_CASE("no match in the database: CD-TEXT, then CDPlayer.ini") {
    Boxes boxes;
    SUBCASE("the disc's CD-TEXT") {
        Setup setup(kNoMatch, true, true, false);
        Drive().cdText = rctest::CdText("Text Performer", "Text Album", {"Song A", "Song B"});
        Dialog d(setup.view);
        d.Scan();
        REQUIRE(d.dialog.m_list.GetCount() == 1);
        CHECK(d.ListEntry(0) == " 1. [CD-TEXT]");
        d.Press(IDOK);
        CHECK(Field(setup.view, "Artist") == std::string("Text Performer") + kEnd);
        CHECK(Titles(setup.view, "Track List") == std::vector<std::string>{"Song A", "Song B"});
    }
    SUBCASE("the CD player's file, its last line without a line feed") {
        Setup setup(kNoMatch, true, true, true);
        const std::string dir = kvtest::TempDir("cdplayer");
        const std::string path = dir + "\\cdplayer.ini";
        // The key of the two-track disc: 0x000200 + 0x050000 + its length in frames + 0.
        CString key;
        key.Format("[%lX]", 0x000200L + 0x050000L + (9L * 60 * 75 - 150));
        const std::string text =
            "[1]\r\nartist=x\r\n" + S(key) + "\r\nartist=Ini Artist\r\ntitle=Ini Album\r\n0=I1\r\n1=I2";
        REQUIRE(kvtest::WriteFileBytes(path, std::vector<unsigned char>(text.begin(), text.end())));
        g_cdPlayerPath = path.c_str();
        Dialog d(setup.view);
        d.Scan();
        REQUIRE(d.dialog.m_list.GetCount() == 1);
        CHECK(d.ListEntry(0) == " 1. [CDPlayer.ini]");
        d.Press(IDOK);
        CHECK(Field(setup.view, "Title") == std::string("Ini Album") + kEnd);
        CHECK(Titles(setup.view, "Track List") == std::vector<std::string>{"I1", "I2"});
    }
    SUBCASE("nothing anywhere: the times are still written") {
        Setup setup(kNoMatch, true, false, false);
        Dialog d(setup.view);
        d.Scan();
        CHECK(Caption(d.dialog) == "No matches were found");
        CHECK(d.ListEntry(0).find("could not be found") != std::string::npos);
        d.Press(IDOK);
        CHECK(Times(setup.view, "Track List") == std::vector<std::string>{" 4:58", " 4:00"});
        CHECK(Field(setup.view, "Time") == std::string("8:58") + kEnd);
    }
    SUBCASE("all lookup sources off: the times go in at once") {
        Setup setup(kNoMatch, false, false, false);
        const int steps = setup.view->GetUndoCount();
        Dialog d(setup.view);
        d.Scan();
        CHECK(d.dialog.GetCloseResult() == IDOK);
        CHECK(setup.view->GetUndoCount() == steps + 1);
        CHECK(Field(setup.view, "Time") == std::string("8:58") + kEnd);
    }
}

TEST_CASE("track times drop the last second when it is not complete") {
    Boxes boxes;
    // 185 s with a smaller frame field at the next start, then 240 s likewise, then 3300 s whose
    // next start has the same frame field: an album of 3725 s.
    Setup setup({{0, 2, 50}, {3, 7, 10}, {7, 7, 5}, {62, 7, 5}}, false, false, false);
    Dialog d(setup.view);
    d.Scan();
    CHECK(d.dialog.GetCloseResult() == IDOK);
    CHECK(Times(setup.view, "Track List") == std::vector<std::string>{" 3:04", " 3:59", " 55:00"});
    CHECK(Field(setup.view, "Time") == std::string("62:05") + kEnd);
}

TEST_CASE("the source switches of the drive choice") {
    Boxes boxes;
    Setup setup(kOneMatch, false, false, false);
    g_cdPlayerPath = "C:\\nowhere\\cdplayer.ini";
    Dialog d(setup.view);
    d.dialog.m_freedb.SetCheck(BST_CHECKED);
    d.Press(IDC_READCD_FREEDB);
    CHECK(g_useFreedb == 1);
    // The CD player's file must open before its source can be switched on.
    d.dialog.m_cdPlayerIni.SetCheck(BST_CHECKED);
    d.Press(IDC_READCD_CDPLAYER);
    CHECK(boxes.Shown("Please select a valid CDPlayer file in 'Advanced Settings'."));
    CHECK(d.dialog.m_cdPlayerIni.GetCheck() == BST_UNCHECKED);
    CHECK(g_useCdPlayerIni == 0);
    const std::string path = kvtest::TempDir("cdplayer-switch") + "\\cdplayer.ini";
    REQUIRE(kvtest::WriteFileBytes(path, {'[', '1', ']'}));
    g_cdPlayerPath = path.c_str();
    d.dialog.m_cdPlayerIni.SetCheck(BST_CHECKED);
    d.Press(IDC_READCD_CDPLAYER);
    CHECK(g_useCdPlayerIni == 1);
    CHECK(boxes.texts.size() == 1);
}

TEST_CASE("a two-disc design asks for the disc") {
    Boxes boxes;
    Setup setup(kOneMatch, true, false, false);
    View* view = setup.view;
    cvtest::NewDesign(view, kLayout2DiscTop, "Disc 1");
    const std::string disc1 = Field(view, "Artist - Disc 1"), disc2 = Field(view, "Artist - Disc 2");
    const std::string list2 = S(view->m_design.GetAlbumField("Track List - Disc 2"));
    const int steps = view->GetUndoCount();
    Dialog d(view);
    d.Scan();
    SUBCASE("Cancel in the chooser writes nothing and leaves the dialog open") {
        cvtest::Host().discChoice = -1;
        d.Press(IDOK);
        CHECK(d.dialog.GetCloseResult() == 0);
        CHECK(Field(view, "Artist - Disc 1") == disc1);
        CHECK(Field(view, "Artist - Disc 2") == disc2);
        CHECK(S(view->m_design.GetAlbumField("Track List - Disc 2")) == list2);
        CHECK(view->GetUndoCount() == steps);
        CHECK(view->m_openUndoStep == nullptr);
    }
    SUBCASE("Disc 2 gets the album") {
        cvtest::Host().discChoice = 2;
        d.Press(IDOK);
        CHECK(Field(view, "Artist - Disc 2") == std::string("Solo Artist") + kEnd);
        CHECK(Field(view, "Artist - Disc 1") == disc1);
        CHECK(Titles(view, "Track List - Disc 2") ==
              std::vector<std::string>{"First", "Second Song", "Third"});
        CHECK(view->GetUndoCount() == steps + 1);
    }
}

TEST_CASE("enhanced and mixed-mode discs") {
    Boxes boxes;
    SUBCASE("a data track last: the audio before it ends 150 seconds earlier") {
        Setup setup({{0, 2, 0}, {3, 0, 0}, {20, 0, 0}, {30, 0, 0}}, false, false, false);
        Drive().toc = Toc({{0, 2, 0}, {3, 0, 0}, {20, 0, 0}, {30, 0, 0}}, {false, false, true});
        Dialog d(setup.view);
        d.Scan();
        CHECK(Times(setup.view, "Track List") == std::vector<std::string>{" 2:58", " 14:30"});
    }
    SUBCASE("a data track first: the audio tracks get their own times") {
        Setup setup({{0, 2, 0}, {10, 0, 0}, {13, 0, 0}, {16, 30, 0}}, false, false, false);
        Drive().toc = Toc({{0, 2, 0}, {10, 0, 0}, {13, 0, 0}, {16, 30, 0}}, {true, false, false});
        Dialog d(setup.view);
        d.Scan();
        CHECK(Times(setup.view, "Track List") == std::vector<std::string>{" 3:00", " 3:30"});
    }
}

TEST_CASE("drive and server faults") {
    Boxes boxes;
    SUBCASE("an empty drive: not ready, Retry, then Cancel back to the drives") {
        Setup setup(kOneMatch, true, false, false);
        Drive().toc.assign(CDiscTools::kTocSize, 0);
        boxes.answers = {1, 2};
        Dialog d(setup.view);
        d.Scan();
        REQUIRE(kvtest::PumpUntil([&] { return boxes.texts.size() == 2 && !d.dialog.IsScanning(); }, 10000));
        CHECK(boxes.texts[0] == "The CD-ROM drive is not ready.");
        CHECK(d.dialog.GetMode() == DlgReadCD::kModeDrives);
        CHECK(Caption(d.dialog) == "Read CD");
        CHECK(d.dialog.m_ok.IsWindowVisible());
        CHECK(d.dialog.m_list.IsWindowEnabled());
    }
    SUBCASE("a server that never answers: the time-out, and the dialog keeps working") {
        Setup setup(kSilent, true, false, false);
        Dialog d(setup.view);
        d.dialog.m_queryTimeout = 1500;
        const DWORD start = GetTickCount();
        d.Press(IDOK);
        std::map<std::string, int> captions;
        REQUIRE(kvtest::PumpUntil(
            [&] {
                captions[Caption(d.dialog)]++;
                return !d.dialog.IsScanning();
            },
            15000));
        const DWORD elapsed = GetTickCount() - start;
        CHECK(elapsed >= 1400);
        CHECK(elapsed < 8000);
        // The caption's progress dots grew while the worker waited.
        CHECK(captions.size() >= 5);
        CHECK(boxes.Shown("Error: The Freedb server did not respond in time. (Timeout)"));
        CHECK(Caption(d.dialog) == "No matches were found");
    }
    SUBCASE("the server's error reply is told as it is") {
        Setup setup(kServerError, true, false, false);
        Dialog d(setup.view);
        d.Scan();
        CHECK(boxes.Shown("The Freedb server answered with an error:\r\n\r\n403 Database entry is corrupt"));
        CHECK(Caption(d.dialog) == "No matches were found");
    }
    SUBCASE("a reply with no end of headers is an unexpected error, not 'no match'") {
        Setup setup(kNoBlankLine, true, false, false);
        Dialog d(setup.view);
        d.Scan();
        CHECK(boxes.Shown("An unexpected error occurred while connected to the Freedb server."));
    }
    SUBCASE("a connection closed, reset or garbled is an unexpected error, not a time-out") {
        for (const auto& toc : {kClosedMidReply, kReset, kGarbage}) {
            Setup setup(toc, true, false, false);
            Dialog d(setup.view);
            boxes.texts.clear();
            d.ClickScan();
            CHECK(boxes.texts == std::vector<std::string>{
                                     "An unexpected error occurred while connected to the Freedb server."});
        }
    }
    SUBCASE("records that each come slowly: the lookup ends at its deadline and offers the ones read") {
        Setup setup(kSlowRecords, true, false, false);
        Dialog d(setup.view);
        d.dialog.m_lookupDeadline = 3500;
        const DWORD start = GetTickCount();
        d.ClickScan();
        CHECK(GetTickCount() - start < 5500);
        const int listed = d.dialog.m_list.GetCount();
        CHECK(listed >= 1);
        CHECK(listed < 4);
        CHECK(d.ListEntry(0) == " 1. [Freedb]");
        CHECK(boxes.Shown("Error: The Freedb server did not respond in time. (Timeout)"));
    }
    SUBCASE("a reply past the cap is told as too large, not as a time-out") {
        Setup setup(kHugeReply, true, false, false);
        Dialog d(setup.view);
        d.Scan();
        CHECK(boxes.Shown("Error: The Freedb server's reply was too large."));
        CHECK_FALSE(boxes.Shown("Error: The Freedb server did not respond in time. (Timeout)"));
    }
    SUBCASE("15,000 matches: the first ones are read and listed, the rest not fetched") {
        Setup setup(kManyMatches, true, false, false);
        Dialog d(setup.view);
        d.Scan();
        REQUIRE(d.dialog.m_list.GetCount() == kMaxFreedbRecords);
        CHECK(Caption(d.dialog) == "Found 20 matches");
        CHECK(d.ListEntry(19) == " 20. [Freedb]");
        CHECK(boxes.texts.empty());
    }
    SUBCASE("a server that cannot be reached: the default server is asked and becomes the current one") {
        Setup setup(kOneMatch, true, false, false);
        g_currentServer.m_port = rctest::ClosedPort();
        Dialog d(setup.view);
        d.Scan();
        CHECK(d.dialog.m_list.GetCount() == 1);
        CHECK(g_currentServer.m_port == rctest::LoopbackSite().m_port);
        CHECK(boxes.texts.empty());
    }
    SUBCASE("Cancel while the worker waits for the server") {
        Setup setup(kSilent, true, false, false);
        Dialog d(setup.view);
        d.Press(IDOK);
        kvtest::PumpUntil([&] { return d.dialog.IsScanning() && RunningReadCdWorkers() > 0; }, 5000);
        REQUIRE(d.dialog.IsScanning());
        REQUIRE(RunningReadCdWorkers() > 0);
        d.Press(IDCANCEL);
        CHECK(d.dialog.GetCloseResult() == IDCANCEL);
        CHECK(kvtest::PumpUntil([] { return RunningReadCdWorkers() == 0 && ReadCdScan::LiveCount() == 0; },
                                5000));
        CHECK(boxes.texts.empty());
    }
}

TEST_CASE("200 cancelled scans: late replies are dropped") {
    Boxes boxes;
    Setup setup(kThreeMatches, true, true, false);
    Drive().cdText = rctest::CdText("P", "T", {"1", "2", "3", "4"});
    const int steps = setup.view->GetUndoCount();
    const std::string artist = Field(setup.view, "Artist");
    for (int i = 0; i < 200; ++i) {
        Dialog d(setup.view);
        d.Press(IDOK);
        // Some are cancelled at once, others while their requests are under way.
        if (i % 4 == 1) kvtest::PumpUntil([] { return false; }, 5);
        if (i % 4 == 2) kvtest::PumpUntil([] { return false; }, 40);
        d.Press(IDCANCEL);
        REQUIRE(d.dialog.GetCloseResult() == IDCANCEL);
    }
    CHECK(
        kvtest::PumpUntil([] { return RunningReadCdWorkers() == 0 && ReadCdScan::LiveCount() == 0; }, 30000));
    CHECK(g_discRecords.GetSize() == 0);
    CHECK(boxes.texts.empty());
    CHECK(setup.view->GetUndoCount() == steps);
    CHECK(Field(setup.view, "Artist") == artist);
}

namespace {

std::vector<unsigned char> Bytes(const char* name) {
    std::vector<unsigned char> bytes = kvtest::ReadFileBytes(name);
    REQUIRE_FALSE(bytes.empty());
    return bytes;
}

// The encoder's audio frames without their ID3v2 tag.
std::vector<unsigned char> AudioOnly(const char* name) {
    std::vector<unsigned char> bytes = Bytes(name);
    const size_t size =
        ((size_t)bytes[6] << 21) | ((size_t)bytes[7] << 14) | ((size_t)bytes[8] << 7) | bytes[9];
    bytes.erase(bytes.begin(), bytes.begin() + 10 + size);
    return bytes;
}

void AppendId3v1(std::vector<unsigned char>& bytes, const std::string& title, const std::string& artist) {
    std::vector<unsigned char> tag(128, 0);
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    std::copy(title.begin(), title.end(), tag.begin() + 3);
    std::copy(artist.begin(), artist.end(), tag.begin() + 33);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
}

// A data disc's folder: ID3v2 in Latin-1, ID3v2 in UTF-16 (in a sub-folder), ID3v1 only, no tag.
std::string MakeMp3Folder() {
    const std::string dir = kvtest::TempDir("mp3disc");
    CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
    REQUIRE(kvtest::WriteFileBytes(dir + "\\01_latin_song.mp3", Bytes("latin1-3s.mp3")));
    REQUIRE(kvtest::WriteFileBytes(dir + "\\sub\\02 utf16.mp3", Bytes("utf16-7s.mp3")));
    std::vector<unsigned char> v1 = AudioOnly("latin1-3s.mp3");
    AppendId3v1(v1, "Old Title", "Old Artist");
    REQUIRE(kvtest::WriteFileBytes(dir + "\\my_song - live.mp3", v1));
    REQUIRE(kvtest::WriteFileBytes(dir + "\\zz_bare.mp3", AudioOnly("latin1-3s.mp3")));
    return dir;
}

// The process's GDI objects, found by trying every handle value.
int CountGdiObjects() {
    int n = 0;
    for (UINT_PTR value = 1; value < 0x10000; ++value)
        if (GetObjectType((HGDIOBJ)value) != 0) ++n;
    return n;
}

int RowOf(CGridMp3& grid, const std::string& title) {
    for (int i = 0; i < grid.GetItemCount(); ++i)
        if (S(grid.GetItemText(i, CGridMp3::kColumnTitle)) == title) return i;
    return -1;
}

void ClickCell(CGridMp3& grid, int row, int column) {
    CRect cell;
    grid.GetSubItemRect(row, column, LVIR_BOUNDS, cell);
    const CPoint at = cell.CenterPoint();
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

}  // namespace

TEST_CASE("a data disc of MP3 files: the grid, its editing and the written track list") {
    Boxes boxes;
    Setup setup({{0, 2, 0}, {10, 0, 0}}, true, true, false);
    Drive().toc = Toc({{0, 2, 0}, {10, 0, 0}}, {true});
    View* view = setup.view;
    const std::string artist = Field(view, "Artist");
    const int steps = view->GetUndoCount();
    Dialog d(view);
    d.dialog.m_mp3Root = MakeMp3Folder().c_str();
    d.Scan();
    REQUIRE(d.dialog.GetMode() == DlgReadCD::kModeMp3);
    CHECK(Caption(d.dialog) == "Found 4 Tracks");
    CGridMp3* grid = d.dialog.GetGrid();
    REQUIRE(grid != nullptr);
    REQUIRE(grid->GetItemCount() == 4);
    CHECK_FALSE(d.dialog.m_list.IsWindowVisible());
    CHECK(d.dialog.m_moveUp.IsWindowVisible());

    // Tag texts as titles (ID3v2 Latin-1 and UTF-16, ID3v1), the file name where there is none.
    const int latin = RowOf(*grid, "Latin Artist-Hello");
    const int utf16 = RowOf(*grid, "Korvanelle Test-Hello");
    const int v1 = RowOf(*grid, "Old Artist-Old Title");
    const int bare = RowOf(*grid, "Zz Bare");
    REQUIRE(latin >= 0);
    REQUIRE(utf16 >= 0);
    REQUIRE(v1 >= 0);
    REQUIRE(bare >= 0);
    CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnOther)) == "01 Latin Song");
    CHECK(S(grid->GetItemText(v1, CGridMp3::kColumnOther)) == "My Song-live");
    CHECK(S(grid->GetItemText(bare, CGridMp3::kColumnTagState)) == "2");
    CHECK(S(grid->GetItemText(utf16, CGridMp3::kColumnTime)) == "0:07");
    CHECK(S(grid->GetItemText(bare, CGridMp3::kColumnTime)) == "0:03");
    for (int i = 0; i < 4; ++i)
        CHECK(S(grid->GetItemText(i, CGridMp3::kColumnPosition)) == std::to_string(i + 1));

    SUBCASE("Use Tag switches between tag text and file name; clicks wait for the worker") {
        ReadCdState::Get().m_workerResult = kScanRunning;
        ClickCell(*grid, latin, CGridMp3::kColumnUseTag);
        CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnTitle)) == "Latin Artist-Hello");
        ReadCdState::Get().m_workerResult = kScanDone;
        ClickCell(*grid, latin, CGridMp3::kColumnUseTag);
        CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnTitle)) == "01 Latin Song");
        CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnTagState)) == "0");
        ClickCell(*grid, latin, CGridMp3::kColumnUseTag);
        CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnTitle)) == "Latin Artist-Hello");
        CHECK(S(grid->GetItemText(latin, CGridMp3::kColumnTagState)) == "1");
        ClickCell(*grid, bare, CGridMp3::kColumnUseTag);
        CHECK(S(grid->GetItemText(bare, CGridMp3::kColumnTitle)) == "Zz Bare");
    }
    SUBCASE("a title edited in place, then moved with the buttons, then sorted") {
        ClickCell(*grid, bare, CGridMp3::kColumnTitle);
        REQUIRE(grid->GetEditor().IsWindowVisible());
        CHECK(grid->GetEditRow() == bare);
        grid->GetEditor().SetWindowText("a renamed track");
        CHECK(S(grid->GetItemText(bare, CGridMp3::kColumnTitle)) == "a renamed track");
        // Scrolling closes the editor and opens it again with the caret and selection it had.
        grid->GetEditor().SetSel(2, 5);
        grid->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        int start = 0, end = 0;
        grid->GetEditor().GetSel(start, end);
        CHECK(grid->GetEditor().IsWindowVisible());
        CHECK(start == 2);
        CHECK(end == 5);
        grid->SelectBlock(1, 2);
        const std::string row0 = S(grid->GetItemText(0, CGridMp3::kColumnTitle));
        const std::string row2 = S(grid->GetItemText(2, CGridMp3::kColumnTitle));
        d.Press(IDC_READCD_MOVE_UP);
        CHECK(S(grid->GetItemText(0, CGridMp3::kColumnTitle)) != row0);
        CHECK(S(grid->GetItemText(1, CGridMp3::kColumnTitle)) == row2);
        CHECK(S(grid->GetItemText(2, CGridMp3::kColumnTitle)) == row0);
        CHECK(grid->GetBlockFirst() == 0);
        d.Press(IDC_READCD_MOVE_UP);  // the first row goes no higher
        CHECK(S(grid->GetItemText(2, CGridMp3::kColumnTitle)) == row0);
        CHECK(S(grid->GetItemText(0, CGridMp3::kColumnPosition)) == "1");
        d.Press(IDC_READCD_ADVANCED);  // Sort Track Names
        std::vector<std::string> sorted;
        for (int i = 0; i < 4; ++i) sorted.push_back(S(grid->GetItemText(i, CGridMp3::kColumnTitle)));
        CHECK(sorted == std::vector<std::string>{"a renamed track", "Korvanelle Test-Hello",
                                                 "Latin Artist-Hello", "Old Artist-Old Title"});
        CHECK(S(grid->GetItemText(3, CGridMp3::kColumnPosition)) == "4");
        d.Press(IDOK);
        CHECK(Titles(view, "Track List") == sorted);
        CHECK(Times(view, "Track List") == std::vector<std::string>{" 0:03", " 0:07", " 0:03", " 0:03"});
        CHECK(Field(view, "Artist") == artist);
        CHECK(view->GetUndoCount() == steps + 1);
        view->ApplyUndoStep(false);
        CHECK(Titles(view, "Track List") != sorted);
    }
    CHECK(boxes.texts.empty());
}

TEST_CASE("the MP3 mode's pictures go with their dialog") {
    Boxes boxes;
    Setup setup({{0, 2, 0}, {10, 0, 0}}, false, false, false);
    Drive().toc = Toc({{0, 2, 0}, {10, 0, 0}}, {true});
    const std::string folder = MakeMp3Folder();
    // A menu image list as the program's: 24 pictures of 16 x 16.
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 24, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 16 * 24, 16);
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(images, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    HIMAGELIST saved = g_menuImageList;
    g_menuImageList = images;
    auto cycle = [&] {
        Dialog d(setup.view);
        d.dialog.m_mp3Root = folder.c_str();
        d.Scan();
        REQUIRE(d.dialog.GetMode() == DlgReadCD::kModeMp3);
    };
    cycle();
    const int gdi = CountGdiObjects();
    for (int i = 0; i < 5; ++i) cycle();
    MESSAGE("GDI objects " << gdi << " -> " << CountGdiObjects());
    CHECK(gdi > 20);  // the count sees the program's objects at all
    CHECK(CountGdiObjects() <= gdi);
    g_menuImageList = saved;
    ImageList_Destroy(images);
}

TEST_CASE("a data disc without MP3 files, or with the MP3 source off") {
    Boxes boxes;
    Setup setup({{0, 2, 0}, {10, 0, 0}}, true, false, false);
    Drive().toc = Toc({{0, 2, 0}, {10, 0, 0}}, {true});
    SUBCASE("no file") {
        Dialog d(setup.view);
        d.dialog.m_mp3Root = kvtest::TempDir("emptydisc").c_str();
        d.Scan();
        CHECK(d.dialog.GetCloseResult() == IDOK);
    }
    SUBCASE("the source off") {
        g_useMp3 = 0;
        Dialog d(setup.view);
        d.Scan();
        CHECK(d.dialog.GetCloseResult() == IDOK);
    }
    CHECK(boxes.Shown(" \r\nThe CD does not contain any music tracks."));
}
