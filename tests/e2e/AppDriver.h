// The end-to-end driver's hold on the running application: it starts Korvanelle.exe as a separate
// process, finds its windows, gives it input as a user would (mouse and keys through the system's
// input queue, menu commands as the menu sends them), reads its object counts and memory through
// the object probe, takes pictures of the screen, and makes it quit.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ObjectProbe.h"

namespace e2e {

// What the scenario runner hands over through the environment: the program under test, the
// scenario's own output folder, and the source tree (for sample files).
std::string AppPath();
std::string OutDir();
std::string SourceDir();
// The per-user settings folder the program uses (local application data + "\Korvanelle").
std::string SettingsFolder();

// Polls `done` every 20 ms until it holds or `ms` pass.
bool WaitFor(const std::function<bool()>& done, DWORD ms);

std::string WindowText(HWND hWnd);
// The text the window holds, in UTF-16: a name outside the ANSI code page whole.
std::wstring WideWindowText(HWND hWnd);
std::string ClassName(HWND hWnd);
// The first descendant of `parent` (any depth) that `match` accepts, or null.
HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& match);
// Every window under `parent`, one line each, for the log of a failed scenario.
std::string DescribeWindows(HWND parent);

// One measurement of the scenario: appended to OutDir()\metrics.txt as "name value" and logged.
void RecordMetric(const std::string& name, long long value);

class AppDriver {
public:
    AppDriver();
    // A program still running (a failed scenario) is ended.
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // Starts the program with `arguments` after its own path on the command line.
    bool Start(const std::string& arguments = std::string());
    // The same with arguments in UTF-16 (file names outside the ANSI code page).
    bool StartWide(const std::wstring& arguments);
    // Takes hold of a program started by someone else (the README's run script): waits `ms` for
    // a visible top-level window of any process that `match` accepts and opens that process.
    // The window becomes Main().
    bool Attach(const std::function<bool(HWND)>& match, DWORD ms);
    bool Running() const;
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Milliseconds since Start.
    DWORD Elapsed() const { return ::GetTickCount() - m_startTick; }

    // The program's visible top-level windows.
    std::vector<HWND> Windows() const;
    HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD ms) const;
    // The main window: visible, its caption ends with "Korvanelle".
    static bool IsMainWindow(HWND hWnd);
    HWND WaitForMainWindow(DWORD ms);
    HWND Main() const { return m_main; }
    // The splash picture: a layered window without a caption.
    static bool IsSplash(HWND hWnd);
    bool WaitForSplashGone(DWORD ms) const;
    // A message box of the program: the themed box, a dialog with its message label, icon and
    // check box (not merely a control with the label's id, which other dialogs reuse).
    static bool IsMessageBox(HWND hWnd);
    // A visible message box of the program, waited for `ms`.
    HWND WaitForMessageBox(DWORD ms) const;
    static std::string MessageText(HWND box);
    // A visible top-level dialog of the program whose caption is `caption`.
    HWND WaitForDialog(const std::string& caption, DWORD ms) const;

    // Presses the button of `dialog` that reads `caption` (ampersands ignored).
    bool PressButton(HWND dialog, const std::string& caption) const;
    // Presses the button of a message box that answers `result` (IDYES, IDNO, IDCANCEL, IDOK...):
    // in the box, a button's control id is its result.
    bool Answer(HWND box, int result) const;

    // Object counts and memory of the program, read on a thread of its own.
    ProbeResult Measure();

    // Ends the program through File > Exit; answers "No" when it asks to save. True when the
    // process ended within `ms` with exit code 0.
    bool Quit(DWORD ms);
    // Waits for the process to end by itself.
    bool WaitForExit(DWORD ms);
    DWORD ExitCode() const;

    // A menu command, posted to the main window as the menu posts it (for commands that open a
    // dialog: the driver goes on while it is open).
    void Command(UINT id) const;
    // A menu command that opens nothing, handed to the main window; returns once it was carried out.
    bool Run(UINT id) const;
    // Mouse and keys through the system's input queue; points are in the window's client area.
    void Click(HWND window, POINT point) const;
    // Moves the pointer to `point` (client coordinates) and waits until the system has it there
    // for three readings in a row: a click sent right after a move may otherwise land where the
    // pointer was before - on the entry clicked a moment ago, which makes it a double click.
    bool PointAt(HWND window, POINT point, DWORD ms) const;
    void Drag(HWND window, POINT from, POINT to) const;
    void Type(const std::string& text) const;
    void Key(WORD vk, bool ctrl = false, bool shift = false) const;
    // Moves the pointer to `point` of `window` and waits until the X server has it there too:
    // Wine asks the X server where the pointer is (a program's GetCursorPos), and a position
    // that lags behind the input queue's makes the program judge a press by the old place.
    // That the driver sees the pointer there says nothing of the program, which reads the X
    // server's report of the move at its own pace (and until then puts the pointer back where an
    // older report said): a button therefore carries its own place (LeftButton), and the driver
    // waits for the program to take it.
    bool PointTo(HWND window, POINT point, DWORD ms = 10000) const;
    // The left button pressed or let go at `point` of `window` (client coordinates).
    void LeftButton(HWND window, POINT point, bool down) const;
    // A click (two with `twice`) after the pointer has reached the point (see PointTo). Where the
    // control holds the mouse while its button is down, the driver waits until the program took
    // the press and the release; false when it did not.
    bool SteadyClick(HWND window, POINT point, bool twice = false) const;
    // A drag whose every step the X server's pointer has reached before the next one, the press
    // and the release each taken by the program (the window holds the mouse, then lets it go)
    // before the driver goes on.
    bool SteadyDrag(HWND window, POINT from, POINT to) const;
    // The window that holds the mouse in `window`'s thread (a press being dragged), or null.
    static HWND CaptureOf(HWND window);
    // How long the driver waits for the program to take a press or a release: a program on a
    // loaded machine may take seconds over a drawing.
    static const DWORD kInputTaken = 30000;
    // Types `text` and waits until the program has taken it. A character that needs Shift arrives
    // as the character itself (as an input method gives it): Shift sent through the input queue
    // never reaches the X server, which Wine asks for the modifiers whenever the pointer or the
    // focus changes, and then loses it.
    void TypeText(const std::string& text) const;
    // Sends `message` with an lParam that points at a copy of `block` in the program (common
    // controls read and write such structures in their own process only) and copies back what
    // the program wrote. `prepare` may fill pointers into the block, given the copy's address.
    LRESULT SendWithBlock(HWND window, UINT message, WPARAM wParam, std::vector<unsigned char>& block,
                          const std::function<void(std::vector<unsigned char>&, UINT_PTR)>& prepare = {}) const;
    // Brings the window's top-level window to the front.
    bool Activate(HWND window) const;
    // Waits until `window` has the program's keyboard focus.
    bool WaitForFocus(HWND window, DWORD ms) const;

    // The whole screen as OutDir()\<name>.png.
    bool Screenshot(const std::string& name) const;

private:
    void MoveMouse(int x, int y) const;
    // The pointer over the button, then the button's own click.
    void ClickButton(HWND dialog, HWND button) const;

    PROCESS_INFORMATION m_process = {};
    DWORD m_startTick = 0;
    HWND m_main = nullptr;
    DWORD m_probeBase = 0;
};

}  // namespace e2e
