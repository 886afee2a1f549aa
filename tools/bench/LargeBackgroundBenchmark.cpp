// How long the running application takes to put an 8000 x 8000 photo on the side as its
// background: the time the insert holds the user-interface thread, the time until the canvas
// shows the picture (no picture work pending, nothing waiting for painting, the queue empty),
// and the longest the message loop was kept from the canvas meanwhile. Each run is
// undone before the next. Then the photo as an object: Copy Object and Paste Object, each timed
// to a settled canvas with the most memory the process held meanwhile. Run by hand:
//   build/wine-run build/tools/bench/bench_large_background.exe
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <string>
#include <vector>

#include "BenchmarkPhoto.h"
#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/graphics/GdipImage.h"
#include "res/CommandIds.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Nothing of the application waits for painting, no redraw or layout is queued for the idle time
// and no picture is still being decoded.
bool Settled(View* view) {
    const AppCanvasState& state = AppCanvasState::Get();
    return !(HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &
             (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &&
           !state.m_redrawRequest && !state.m_relayoutRequest && state.m_queuedText.IsEmpty() &&
           !view->HasPicturesPending();
}

void Report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-44s median %7.1f ms  min %7.1f  max %7.1f  (%u runs)\n", what, v[v.size() / 2], v.front(),
                v.back(), static_cast<unsigned>(v.size()));
    std::fflush(stdout);
}

// The largest working set of the process while it lives, sampled every 2 ms.
class WorkingSetPeak {
public:
    WorkingSetPeak()
        : m_sampler([this] {
              while (!m_stop) {
                  PROCESS_MEMORY_COUNTERS memory = {};
                  memory.cb = sizeof memory;
                  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
                      m_peak = std::max<size_t>(m_peak, memory.WorkingSetSize);
                  Sleep(2);
              }
          }) {}
    ~WorkingSetPeak() { Stop(); }
    static unsigned long Now() {
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        return static_cast<unsigned long>(memory.WorkingSetSize >> 20);
    }
    unsigned long Megabytes() {
        Stop();
        return static_cast<unsigned long>(m_peak >> 20);
    }

private:
    void Stop() {
        m_stop = true;
        if (m_sampler.joinable()) m_sampler.join();
    }
    std::atomic<bool> m_stop{false};
    size_t m_peak = 0;
    std::thread m_sampler;
};

}  // namespace

int main() {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run([] { g_showNewProjectAtStart = 0; });
    if (!run.Started()) {
        std::printf("the application did not start\n");
        return 1;
    }
    KorvanelleFrame* frame = GetMainFrame();
    View* view = dynamic_cast<View*>(frame->GetActiveView());
    if (!view) {
        std::printf("no canvas\n");
        return 1;
    }
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, 900, 650, SWP_NOZORDER | SWP_NOACTIVATE);
    run.Pump([&] { return Settled(view); }, 30000);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"kv-bench-large-8000.jpg";
    if (!kvbench::WritePhotoJpeg(path, 8000, 32)) {
        std::printf("could not write the 8000 x 8000 photo\n");
        return 1;
    }
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);

    std::vector<double> held, shown, answer;
    int left = 0;
    for (int i = 0; i < 5; ++i) {
        ViewObject* side = view->m_design.GetCurrentSide();
        const double a = Now();
        // One undo step, as the Images bar makes it, so that Undo takes the picture off again: the
        // picture is inserted when it has decoded.
        view->InsertAsUndoStep([&] {
            return view->InsertImageObject(
                CRect(side->left, side->top, side->left + side->width, side->top + side->height), narrow,
                true);
        });
        const double b = Now();
        // The loop waits at most 10 ms for a message between its passes: the longest time between
        // two passes is the longest the canvas could not answer (to 10 ms).
        double last = b, longest = b - a;
        run.Pump(
            [&] {
                const double now = Now();
                longest = std::max(longest, now - last);
                last = now;
                return Settled(view);
            },
            30000);
        const double c = Now();
        held.push_back(b - a);
        shown.push_back(c - a);
        answer.push_back(longest);
        view->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
        run.Pump([&] { return Settled(view); }, 30000);
        view->m_design.ForEachObject([&](ViewObject* o) { left += o->IsImage() ? 1 : 0; });
    }
    if (left) std::printf("the undo left %d pictures on the design\n", left);
    Report("insert holds the user-interface thread", held);
    Report("inserted to shown on the canvas", shown);
    Report("longest wait of the canvas meanwhile", answer);

    // The photo as an object of the side, copied and pasted through the menu commands.
    ViewObject* side = view->m_design.GetCurrentSide();
    view->InsertAsUndoStep([&] {
        return view->InsertImageObject(CRect(side->left, side->top, side->left + 1000, side->top + 1000),
                                       narrow, false);
    });
    run.Pump([&] { return Settled(view); }, 30000);
    for (const UINT command : {ID_COPY_OBJECT, ID_PASTE_OBJECT}) {
        int images = 0;
        view->m_design.ForEachObject([&](ViewObject* o) { images += o->IsImage() ? 1 : 0; });
        const unsigned long before = WorkingSetPeak::Now();
        WorkingSetPeak peak;
        const double a = Now();
        frame->SendMessage(WM_COMMAND, command);
        run.Pump([&] { return Settled(view); }, 30000);
        const double b = Now();
        int after = 0;
        view->m_design.ForEachObject([&](ViewObject* o) { after += o->IsImage() ? 1 : 0; });
        std::printf("%-44s %7.1f ms  working set %lu MB, peak %lu MB  pictures %d -> %d\n",
                    command == ID_COPY_OBJECT ? "Copy Object of the photo" : "Paste Object of the photo",
                    b - a, before, peak.Megabytes(), images, after);
    }
    DeleteFileW(path.c_str());
    run.Close();
    return 0;
}
