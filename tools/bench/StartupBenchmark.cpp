// Start-up time of the application to a shown main frame, splash excluded: the real application
// object runs InitInstance with a settings folder of its own; the splash's minimum showing time is
// taken as over as soon as start-up returns, and the clock stops when the main frame is on the
// screen and painted. Two starts are measured, chosen by the environment variable KV_BENCH_START
// (not by an argument: the application reads its command line as a file to open):
//   design       (default) the frame opens on its design: "New Project at start" is off. The clock
//                stops when the frame is visible, the view has drawn and no window of the
//                application waits for painting or for a queued redraw.
//   new-project  a first start: the frame opens with the New Project dialog over it. shown_ms is
//                taken when the frame is visible and painted, dialog_ms when the dialog is too;
//                the dialog is then cancelled.
// Prints one line:
//   launch_ms=<process creation to main> startup_ms=<InitInstance> shown_ms=<shown and painted>
//   [dialog_ms=<New Project shown and painted>] idle_ms=<until the queue and idle work ran empty>
// All times but launch_ms count from the start of main.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"

namespace {

LARGE_INTEGER g_frequency, g_start;

double MsSinceStart() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)(now.QuadPart - g_start.QuadPart) / (double)g_frequency.QuadPart;
}

// How long before main the process was created (Wine's loader, the DLLs and the C run-time).
double LaunchMs() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1.0;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) { return ((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime; };
    return (double)(ticks(now) - ticks(created)) / 10000.0;
}

BOOL CALLBACK CheckPainted(HWND child, LPARAM param) {
    if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *(bool*)param = false;
    return FALSE;
}

// A window and all its descendants hold no invalid area.
bool NothingToPaint(HWND hWnd) {
    if (GetUpdateRect(hWnd, nullptr, FALSE)) return false;
    bool clean = true;
    EnumChildWindows(hWnd, CheckPainted, (LPARAM)&clean);
    return clean;
}

BOOL CALLBACK CheckNewProject(HWND hWnd, LPARAM param) {
    // Not GetWindowText: for another thread's window it sends a message and would wait for the
    // busy application thread.
    WCHAR text[64] = {0};
    InternalGetWindowText(hWnd, text, 64);
    if (!IsWindowVisible(hWnd) || wcscmp(text, L"New Project") != 0) return TRUE;
    *(HWND*)param = hWnd;
    return FALSE;
}

// The New Project dialog of the thread, once it is visible.
HWND FindNewProject(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, CheckNewProject, (LPARAM)&found);
    return found;
}

// Watches the application's thread from outside while it is busy with New Project (its pictures,
// then its modal loop): records when the frame is visible with the view drawing and nothing left
// to paint, and when the dialog is visible and painted too; then cancels the dialog.
struct DialogWatch {
    DWORD threadId = 0;
    HWND frame = nullptr;
    const View* view = nullptr;
    std::atomic<double> frameMs{-1.0}, dialogMs{-1.0};
    std::atomic<bool> stop{false};

    static DWORD WINAPI Run(void* param) {
        DialogWatch& w = *(DialogWatch*)param;
        while (!w.stop) {
            if (w.frameMs < 0 && IsWindowVisible(w.frame) && w.view->m_paintEnabled &&
                NothingToPaint(w.frame))
                w.frameMs = MsSinceStart();
            HWND dialog = FindNewProject(w.threadId);
            if (w.frameMs >= 0 && dialog && NothingToPaint(dialog)) {
                w.dialogMs = MsSinceStart();
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return 0;
            }
            Sleep(1);
        }
        return 0;
    }
};

// Dispatches the queue one message at a time, as the application's own loop does, and runs the
// idle work once the queue is empty; after every step asks whether done() holds.
bool PumpUntil(CWinApp& app, const std::function<bool()>& done, DWORD ms) {
    const DWORD begin = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (msg.message == WM_QUIT || !app.PumpMessage()) return false;
            if (done()) return true;
        }
        for (LONG count = 0; app.OnIdle(count); ++count)
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
        if (done()) return true;
        if (GetTickCount() - begin >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

int main() {
    const char* start = std::getenv("KV_BENCH_START");
    const bool newProject = start != nullptr && std::strcmp(start, "new-project") == 0;
    kvtest::TemporaryUserFolders folders;
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_start);
    const double launch = LaunchMs();
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    if (!app.InitInstance()) {
        std::printf("start-up failed\n");
        return 1;
    }
    const double startup = MsSinceStart();
    app.m_splashDone = 1;
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    if (frame == nullptr || view == nullptr) {
        std::printf("no frame or view\n");
        return 1;
    }
    double shown = -1.0, dialog = -1.0;
    bool ok = false;
    if (newProject) {
        // A first start's settings show New Project at start.
        g_showNewProjectAtStart = 1;
        DialogWatch watch;
        watch.threadId = GetCurrentThreadId();
        watch.frame = frame->m_hWnd;
        watch.view = view;
        HANDLE thread = CreateThread(nullptr, 0, DialogWatch::Run, &watch, 0, nullptr);
        ok = kvtest::PumpApp(
            app,
            [&] { return watch.dialogMs >= 0 && view->m_paintEnabled && IsWindowVisible(frame->m_hWnd); },
            20000);
        watch.stop = true;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        shown = watch.frameMs;
        dialog = watch.dialogMs;
        ok = ok && shown >= 0 && dialog >= 0;
    } else {
        g_showNewProjectAtStart = 0;
        AppCanvasState& state = AppCanvasState::Get();
        ok = PumpUntil(
            app,
            [&] {
                if (shown < 0 && view->m_paintEnabled && IsWindowVisible(frame->m_hWnd) &&
                    !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) && !state.m_redrawRequest &&
                    !state.m_relayoutRequest && state.m_queuedText.IsEmpty())
                    shown = MsSinceStart();
                return shown >= 0;
            },
            20000);
    }
    // Whatever start-up left for the queue and the idle time.
    kvtest::PumpApp(
        app, [] { return true; }, 20000);
    const double idle = MsSinceStart();
    std::printf("launch_ms=%.1f startup_ms=%.1f shown_ms=%.1f", launch, startup, ok ? shown : -1.0);
    if (newProject) std::printf(" dialog_ms=%.1f", ok ? dialog : -1.0);
    std::printf(" idle_ms=%.1f\n", ok ? idle : -1.0);
    frame->DestroyWindow();
    app.ExitInstance();
    return ok ? 0 : 1;
}
