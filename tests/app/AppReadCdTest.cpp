// Read CD in the running program: the menu command opens the Read CD dialog over the main window
// (with a drive behind its seam), and OK writes the disc's CD-TEXT into the design as one undo
// step.
#include <doctest.h>

#include "AppTestSupport.h"
#include "ReadCdTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "disc/SettingsLookup.h"
#include "model/TrackListText.h"
#include "res/CommandIds.h"
#include "res/ReadCdIds.h"

namespace {

// Drives the modal dialog from the thread's timer: OK on the drive choice, then OK once the
// matches are shown.
int g_step = 0;

BOOL CALLBACK DriveReadCd(HWND window, LPARAM) {
    HWND timesOnly = GetDlgItem(window, IDC_READCD_TIMES_ONLY);
    if (!timesOnly || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    if (g_step == 0) {
        g_step = 1;
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(window, IDOK));
    } else if (g_step == 1 && IsWindowVisible(timesOnly)) {
        g_step = 2;
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(window, IDOK));
    }
    return FALSE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), DriveReadCd, 0);
}

}  // namespace

TEST_CASE("Read CD from the program's command writes the disc's CD-TEXT into the design") {
    CDiscDeviceApi::SetCurrent(&rctest::Drive());
    rctest::Drive().toc = rctest::Toc({{0, 2, 0}, {3, 0, 0}, {6, 30, 0}, {9, 0, 0}});
    rctest::Drive().cdText = rctest::CdText("Disc Performer", "Disc Album", {"One", "Two", "Three"});
    rctest::Boxes boxes;
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp running;
    REQUIRE(running.Started());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame != nullptr);
    CHECK(frame->m_cdDriveCount == 1);
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    g_useFreedb = 0;
    g_useCdText = 1;
    g_useCdPlayerIni = 0;
    g_useMp3 = 0;
    const int steps = view->GetUndoCount();

    g_step = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTick);
    frame->SendMessage(WM_COMMAND, ID_READ_CD, 0);
    KillTimer(nullptr, timer);

    CHECK(g_step == 2);
    CHECK(view->m_design.GetAlbumField("Artist") == CString("Disc Performer") + kTrackFieldEnd);
    CHECK(view->m_design.GetAlbumField("Title") == CString("Disc Album") + kTrackFieldEnd);
    const std::vector<TrackRecordFields> records =
        SplitTrackRecords(view->m_design.GetAlbumField("Track List"));
    REQUIRE(records.size() == 3);
    CHECK(records[2].title == "Three");
    CHECK(records[1].time == " 3:30");
    CHECK(view->GetUndoCount() == steps + 1);
    // The Text Editor bar shows what was read.
    CString shown;
    frame->m_barText.m_artist.GetWindowText(shown);
    CHECK(shown == "Disc Performer");
    CHECK(boxes.texts.empty());
    running.Close();
    CDiscDeviceApi::SetCurrent(nullptr);
}
