// Pictures of windows for GUI tests: a window (or the whole screen) copied
// into a 32-bit bitmap, read back pixel by pixel, or saved as a PNG file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kvtest {

// Pixels of a captured area, top row first, as 0x00RRGGBB.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    bool Empty() const { return pixels.empty(); }
};

// Paints the window (with its children) into a bitmap of its window rectangle
// through PrintWindow, so that other windows on the screen do not matter (test
// programs run side by side on one display).
Capture CaptureWindow(HWND hWnd);
// Copies what the window shows on the screen (its whole window rectangle).
// Empty when the window is not visible.
Capture CaptureWindowFromScreen(HWND hWnd);
// Copies the whole screen.
Capture CaptureScreen();
// Copies a rectangle of the screen as it is now (nothing is waited for); empty when it is empty.
Capture CaptureRect(const RECT& rc);

// Writes a capture as a PNG file (through GDI+); false on failure.
bool SavePng(const Capture& capture, const std::string& path);
// Shorthands: the window or the screen straight to a PNG file.
bool SaveWindowPng(HWND hWnd, const std::string& path);
bool SaveScreenPng(const std::string& path);

// 0x00RRGGBB from a COLORREF.
inline unsigned Rgb(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Dispatches waiting messages of the calling thread for up to `ms`
// milliseconds, or until `done()` becomes true.
template <class Pred>
bool PumpUntil(Pred done, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pictures of what the screen shows of a window (or the whole screen), taken again and again with
// the thread's messages dispatched in between, until `shows(picture)` holds or `ms` pass. The last
// picture is returned either way: the checks made on it then say what the screen showed when time
// ran out. A window's pixels reach the screen some time after it painted, later on a busy machine.
template <class Pred>
Capture CaptureWindowFromScreenWhen(HWND hWnd, Pred shows, DWORD ms = 5000) {
    Capture picture;
    PumpUntil(
        [&] {
            picture = CaptureWindowFromScreen(hWnd);
            return !picture.Empty() && shows(picture);
        },
        ms);
    return picture;
}
template <class Pred>
Capture CaptureScreenWhen(Pred shows, DWORD ms = 5000) {
    Capture picture;
    PumpUntil(
        [&] {
            picture = CaptureScreen();
            return shows(picture);
        },
        ms);
    return picture;
}

// True once the pictures it is shown have stayed alike for `steadyMs` (at least two in a row).
class Steadiness {
public:
    explicit Steadiness(DWORD steadyMs) : m_steadyMs(steadyMs) {}
    bool operator()(const Capture& picture) {
        const DWORD now = GetTickCount();
        if (m_previous.Empty() || picture.width != m_previous.width || picture.pixels != m_previous.pixels) {
            m_previous = picture;
            m_since = now;
            return false;
        }
        return now - m_since >= m_steadyMs;
    }

private:
    DWORD m_steadyMs;
    DWORD m_since = 0;
    Capture m_previous;
};

// The same once painting has finished: the pictures stay alike (for `steadyMs`, when drawing goes
// on in steps, as a preview drawn by a worker does). For pictures that are only saved, where no
// pixel is known in advance.
inline Capture CaptureWindowFromScreenSettled(HWND hWnd, DWORD ms = 5000, DWORD steadyMs = 0) {
    return CaptureWindowFromScreenWhen(hWnd, Steadiness(steadyMs), ms);
}
inline Capture CaptureScreenSettled(DWORD ms = 5000, DWORD steadyMs = 0) {
    return CaptureScreenWhen(Steadiness(steadyMs), ms);
}

// Dispatches the calling thread's messages until none waits any more (input, posted and sent
// messages, paint requests, timers that are due), for up to `ms` milliseconds; true when the queue
// ran empty. What a message handler does in reply to another message is done when it returns.
inline bool PumpPending(DWORD ms = 5000) {
    return PumpUntil([] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, ms);
}

}  // namespace kvtest
