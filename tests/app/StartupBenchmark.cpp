// Start-up time of the application to a shown main frame, splash excluded: the real application
// object runs InitInstance with a settings folder of its own; the splash is counted as done as
// soon as start-up returns, and the clock stops when the main frame is visible. Prints one line:
//   startup_ms=<start-up> shown_ms=<start-up and showing>
#include <windows.h>

#include <cstdio>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"

int main() {
    kvtest::TemporaryUserFolders folders;
    LARGE_INTEGER frequency, start, afterInit, shown;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    if (!app.InitInstance()) {
        std::printf("start-up failed\n");
        return 1;
    }
    QueryPerformanceCounter(&afterInit);
    app.m_splashDone = 1;
    KorvanelleFrame* frame = GetMainFrame();
    bool visible = frame && kvtest::PumpApp(
                                app, [&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }, 20000);
    QueryPerformanceCounter(&shown);
    auto ms = [&](LARGE_INTEGER t) {
        return 1000.0 * (double)(t.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    };
    std::printf("startup_ms=%.1f shown_ms=%.1f\n", ms(afterInit), visible ? ms(shown) : -1.0);
    if (frame) frame->DestroyWindow();
    app.ExitInstance();
    return visible ? 0 : 1;
}
