// Makes sure the Wine prefix's desktop process runs before a test or the application starts.
//
// The first program of a prefix that touches a window starts Wine's desktop process
// ("explorer.exe /desktop"), which inherits that program's standard error. When that program is a
// test run by ctest, the desktop keeps the test's output pipe open for as long as the prefix lives
// and ctest waits for the pipe until the test times out, although the test itself has ended. The
// Wine runner starts this program first, with its output on /dev/null: it asks for the desktop
// window, which starts the desktop process under our control, and ends.
#include <windows.h>

int main() {
    HWND desktop = GetDesktopWindow();
    // A real (hidden) top-level window makes sure the desktop's window is fully set up.
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe) DestroyWindow(probe);
    return desktop ? 0 : 1;
}
