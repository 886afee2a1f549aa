// What every end-to-end scenario shares: its clock, the object counts and memory it records at its
// start and at its end, files read back, and waiting for the screen to settle before a picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "AppDriver.h"
#include "GuiSupport.h"

namespace e2e {

// The scenario's wall time, recorded as "wall_ms" when it ends (passed or not).
class ScenarioClock {
public:
    ScenarioClock() : m_start(::GetTickCount()) {}
    ~ScenarioClock() { RecordMetric("wall_ms", static_cast<long long>(::GetTickCount() - m_start)); }

private:
    DWORD m_start;
};

// Measures the program through the probe and records "<when>_gdi", "<when>_user",
// "<when>_working_set_kb" and "<when>_peak_working_set_kb".
ProbeResult RecordCounts(AppDriver& app, const std::string& when);

// Starts the program with `commandLine` and waits until it is ready for the user: its main window
// shown, the splash gone and the window still; then records "ready_ms" and the counts at the
// start. The main window, or null when a step did not happen in time.
HWND StartReady(AppDriver& app, const std::string& commandLine);

// A design name no other run on this machine uses now: print jobs are named after the design, and
// the print queue's folder is shared by every test run.
std::string UniqueDesignName(const std::string& prefix);

// What the window shows on the screen (the part of its window rectangle that lies on the screen),
// as a user sees it, without asking the program to paint.
kvtest::Capture CaptureOnScreen(HWND hWnd);

// Waits until two pictures of the window's screen area, 300 ms apart, differ in no more than
// `tolerance` pixels: the program has finished drawing (fades, first paint of the canvas). The
// marching outline of a selected object never stops: a tolerance lets it move.
bool WaitForStillWindow(HWND hWnd, DWORD ms, size_t tolerance = 0);

// The smallest rectangle (in screen coordinates) around the pixels of `hWnd`'s screen area that
// have exactly `color` (0x00RRGGBB); empty when there are none.
RECT FindColorBox(HWND hWnd, unsigned color);
// The selection's frame: the smallest rectangle (screen coordinates) around the small solid black
// squares (the handles, drawn inverted over white) in the window's screen area; empty when fewer
// than four show.
RECT FindHandleBox(HWND hWnd);
// The selection's handles one by one (screen coordinates), as FindHandleBox finds them: also
// when some of them lie on a line or a picture and do not show as black squares.
std::vector<RECT> FindHandles(HWND hWnd);
// The centre of a rectangle, in the client coordinates of `hWnd`.
POINT ClientCentre(HWND hWnd, const RECT& screenRect);

// Waits until the window's screen area differs from `before`, then until it holds still but for a
// selection's moving outline.
bool WaitForChange(HWND hWnd, const kvtest::Capture& before, DWORD ms);

// What a list box of the program shows: the text of each entry (a list that keeps strings).
std::vector<std::string> ListBoxTexts(HWND list);
// The point (client coordinates of the list) in the middle of entry `index`, found from the
// entries' heights as the list lays them out (it may hold entries of different heights).
POINT ListBoxEntryCentre(HWND list, int index);
// What a report-style list view of the program shows: one row of `columns` texts per item, read
// through a buffer in the program's own memory (the texts live there).
std::vector<std::vector<std::string>> ListViewTexts(HWND list, int columns);

std::vector<unsigned char> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::string& path);
// The little-endian 32-bit number at `offset`, or -1 when the bytes end before it.
long long Uint32At(const std::vector<unsigned char>& bytes, size_t offset);

}  // namespace e2e
