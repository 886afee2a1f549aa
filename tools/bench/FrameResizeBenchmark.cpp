// How long the running application takes from a maximise (and a restore) of its main frame to a
// complete picture: the clock starts when the system command is posted and stops when the frame
// is maximised (restored), no window of it waits for painting and the message queue and idle
// work ran empty. (An inserted 8000 x 8000 background is timed by bench_large_background.) Run by
// hand:
//   build/wine-run build/tools/bench/bench_frame_resize.exe
#include <windows.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"

namespace {

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

// Nothing of the application waits for painting and no redraw or layout is queued for the idle
// time (timers, such as the selection outline's, may still come).
bool Settled() {
    const AppCanvasState& state = AppCanvasState::Get();
    return !(HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &
             (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &&
           !state.m_redrawRequest && !state.m_relayoutRequest && state.m_queuedText.IsEmpty();
}

void Report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-32s median %7.1f ms  min %7.1f  max %7.1f  (%u runs)\n", what, v[v.size() / 2], v.front(),
                v.back(), static_cast<unsigned>(v.size()));
    std::fflush(stdout);
}

}  // namespace

int main() {
    kvtest::TemporaryUserFolders folders;
    // Started on its design, as a user who turned New Project at start off.
    kvtest::RunningApp run([] { g_showNewProjectAtStart = 0; });
    if (!run.Started()) {
        std::printf("the application did not start\n");
        return 1;
    }
    KorvanelleFrame* frame = GetMainFrame();
    auto settle = [&](const std::function<bool()>& also) {
        return run.Pump([&] { return also() && Settled(); }, 30000);
    };
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, 900, 650, SWP_NOZORDER | SWP_NOACTIVATE);
    settle([] { return true; });

    std::vector<double> maximise, restore;
    for (int i = 0; i < 7; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
        if (!settle([&] { return frame->IsZoomed() != FALSE; })) std::printf("maximise did not settle\n");
        QueryPerformanceCounter(&b);
        maximise.push_back(Ms(a, b));
        QueryPerformanceCounter(&a);
        frame->PostMessage(WM_SYSCOMMAND, SC_RESTORE);
        if (!settle([&] { return frame->IsZoomed() == FALSE; })) std::printf("restore did not settle\n");
        QueryPerformanceCounter(&b);
        restore.push_back(Ms(a, b));
    }
    Report("maximise to a complete picture", maximise);
    Report("restore to a complete picture", restore);

    run.Close();
    return 0;
}
