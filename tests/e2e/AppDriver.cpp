// The end-to-end driver's hold on the running application (see AppDriver.h).
#include "AppDriver.h"

#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "GuiSupport.h"
#include "res/CommandIds.h"
#include "res/ControlsIds.h"

namespace e2e {

namespace {

std::string Environment(const char* name) {
    char buffer[MAX_PATH * 2] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string WithoutAmpersands(const std::string& text) {
    std::string result;
    for (char c : text)
        if (c != '&') result += c;
    return result;
}

struct EnumState {
    DWORD pid;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND hWnd, LPARAM lParam) {
    EnumState* state = reinterpret_cast<EnumState*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == state->pid && ::IsWindowVisible(hWnd)) state->windows->push_back(hWnd);
    return TRUE;
}

struct FindState {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND hWnd, LPARAM lParam) {
    FindState* state = reinterpret_cast<FindState*>(lParam);
    if (!::IsWindowVisible(hWnd) || !(*state->match)(hWnd)) return TRUE;
    state->found = hWnd;
    return FALSE;
}

BOOL CALLBACK FindChild(HWND hWnd, LPARAM lParam) {
    FindState* state = reinterpret_cast<FindState*>(lParam);
    if ((*state->match)(hWnd)) {
        state->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

void Describe(HWND hWnd, int depth, std::string& out) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    char line[512];
    std::snprintf(line, sizeof(line), "%*s%p id=%d class=\"%s\" text=\"%s\" %s (%ld,%ld)-(%ld,%ld)\n",
                  depth * 2, "", (void*)hWnd, ::GetDlgCtrlID(hWnd), ClassName(hWnd).c_str(),
                  WindowText(hWnd).substr(0, 60).c_str(), ::IsWindowVisible(hWnd) ? "visible" : "hidden",
                  rc.left, rc.top, rc.right, rc.bottom);
    out += line;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        Describe(child, depth + 1, out);
}

INPUT MouseInput(DWORD flags, int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((x * 65535LL + cx / 2) / (cx - 1));
    input.mi.dy = static_cast<LONG>((y * 65535LL + cy / 2) / (cy - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

std::string AppPath() {
    return Environment("KV_E2E_APP");
}

std::string OutDir() {
    return Environment("KV_E2E_OUT");
}

std::string SourceDir() {
    return Environment("KV_E2E_SOURCE");
}

std::string SettingsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                  SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return std::string(path) + "\\Korvanelle";
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= ms) return false;
        ::Sleep(20);
    }
}

std::string WindowText(HWND hWnd) {
    char text[1024] = {};
    // WM_GETTEXT with a time-out: a program that hangs must not hang the driver.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 2000, &length))
        return std::string();
    return std::string(text);
}

std::wstring WideWindowText(HWND hWnd) {
    // The text as the window keeps it: asked through WM_GETTEXT, a window of the narrow kind hands
    // it over in the ANSI code page.
    wchar_t text[1024] = {};
    ::InternalGetWindowText(hWnd, text, 1024);
    return std::wstring(text);
}

std::string ClassName(HWND hWnd) {
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& match) {
    FindState state = {&match, nullptr};
    ::EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string DescribeWindows(HWND parent) {
    std::string out;
    if (parent != nullptr) Describe(parent, 0, out);
    return out;
}

void RecordMetric(const std::string& name, long long value) {
    std::ofstream file(OutDir() + "\\metrics.txt", std::ios::app);
    file << name << ' ' << value << '\n';
    std::cout << "metric " << name << ' ' << value << std::endl;
}

AppDriver::AppDriver() = default;

AppDriver::~AppDriver() {
    if (m_process.hProcess != nullptr) {
        if (Running()) {
            std::cout << "ending the program; its windows were:\n";
            for (HWND hWnd : Windows()) std::cout << DescribeWindows(hWnd);
            ::TerminateProcess(m_process.hProcess, 99);
            ::WaitForSingleObject(m_process.hProcess, 5000);
        }
        ::CloseHandle(m_process.hProcess);
        if (m_process.hThread != nullptr) ::CloseHandle(m_process.hThread);
    }
}

bool AppDriver::Start(const std::string& arguments) {
    std::string commandLine = "\"" + AppPath() + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    m_main = nullptr;
    m_startTick = ::GetTickCount();
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_process)) {
        std::cout << "cannot start " << commandLine << ": error " << ::GetLastError() << std::endl;
        return false;
    }
    return true;
}

bool AppDriver::StartWide(const std::wstring& arguments) {
    const std::string app = AppPath();
    std::wstring commandLine = L"\"" + std::wstring(app.begin(), app.end()) + L"\" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    m_main = nullptr;
    m_startTick = ::GetTickCount();
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_process)) {
        std::cout << "cannot start the program: error " << ::GetLastError() << std::endl;
        return false;
    }
    return true;
}

bool AppDriver::Attach(const std::function<bool(HWND)>& match, DWORD ms) {
    FindState search = {&match, nullptr};
    m_startTick = ::GetTickCount();
    WaitFor(
        [&] {
            ::EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        ms);
    if (search.found == nullptr) return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(search.found, &pid);
    m_process.hProcess = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (m_process.hProcess == nullptr) {
        std::cout << "cannot open process " << pid << ": error " << ::GetLastError() << std::endl;
        return false;
    }
    m_process.dwProcessId = pid;
    m_main = search.found;
    return true;
}

bool AppDriver::Running() const {
    return m_process.hProcess != nullptr && ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> AppDriver::Windows() const {
    std::vector<HWND> windows;
    EnumState state = {m_process.dwProcessId, &windows};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return windows;
}

HWND AppDriver::WaitForWindow(const std::function<bool(HWND)>& match, DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hWnd : Windows())
                if (match(hWnd)) {
                    found = hWnd;
                    return true;
                }
            return !Running();
        },
        ms);
    return found;
}

bool AppDriver::IsMainWindow(HWND hWnd) {
    const std::string text = WindowText(hWnd);
    const std::string suffix = "Korvanelle";
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION && text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

HWND AppDriver::WaitForMainWindow(DWORD ms) {
    m_main = WaitForWindow(IsMainWindow, ms);
    return m_main;
}

bool AppDriver::IsSplash(HWND hWnd) {
    return (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
           (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
}

bool AppDriver::WaitForSplashGone(DWORD ms) const {
    return WaitFor(
        [&] {
            for (HWND hWnd : Windows())
                if (IsSplash(hWnd)) return false;
            return true;
        },
        ms);
}

bool AppDriver::IsMessageBox(HWND hWnd) {
    // A dialog of the system's dialog class...
    if (ClassName(hWnd) != "#32770") return false;
    // ...with the themed box's own parts: the message label, the icon picture and the check box,
    // each of its kind (its buttons carry their results as ids, so they tell nothing). Other
    // dialogs use the message label's id for a label of their own (Read CD's "Match:", the disc
    // chooser's question), but none has the rest.
    auto child = [&](int id, const char* kind) {
        HWND control = ::GetDlgItem(hWnd, id);
        return control != nullptr && ClassName(control) == kind ? control : nullptr;
    };
    HWND icon = child(IDC_MSGBOX_ICON, "Static");
    HWND check = child(IDC_MSGBOX_CHECK, "Button");
    return child(IDC_MSGBOX_TEXT, "Static") != nullptr && icon != nullptr &&
           (::GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && check != nullptr &&
           (::GetWindowLongA(check, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

HWND AppDriver::WaitForMessageBox(DWORD ms) const {
    return WaitForWindow(IsMessageBox, ms);
}

std::string AppDriver::MessageText(HWND box) {
    return WindowText(::GetDlgItem(box, IDC_MSGBOX_TEXT));
}

HWND AppDriver::WaitForDialog(const std::string& caption, DWORD ms) const {
    return WaitForWindow([&](HWND hWnd) { return hWnd != m_main && WindowText(hWnd) == caption; }, ms);
}

bool AppDriver::PressButton(HWND dialog, const std::string& caption) const {
    HWND button = FindDescendant(dialog, [&](HWND hWnd) {
        return ::IsWindowVisible(hWnd) && WithoutAmpersands(WindowText(hWnd)) == WithoutAmpersands(caption);
    });
    if (button == nullptr) {
        std::cout << "no button \"" << caption << "\" in\n" << DescribeWindows(dialog);
        return false;
    }
    ClickButton(dialog, button);
    return true;
}

bool AppDriver::Answer(HWND box, int result) const {
    HWND button = ::GetDlgItem(box, result);
    if (button == nullptr || ClassName(button) != "Button" || !::IsWindowVisible(button)) {
        std::cout << "no button answers " << result << " in\n" << DescribeWindows(box);
        return false;
    }
    ClickButton(box, button);
    return true;
}

void AppDriver::ClickButton(HWND dialog, HWND button) const {
    RECT rc = {};
    ::GetWindowRect(button, &rc);
    Activate(dialog);
    // The pointer goes over the button as a hand would; the press itself is the button's own click
    // message, which does not depend on Wine's hit-testing of the layered windows that were on
    // the screen a moment before (the splash).
    MoveMouse((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::PostMessageA(button, BM_CLICK, 0, 0);
}

ProbeResult AppDriver::Measure() {
    ProbeResult result;
    if (!Running()) return result;
    char driverPath[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, driverPath, MAX_PATH);
    std::string probePath(driverPath);
    probePath = probePath.substr(0, probePath.find_last_of("\\/") + 1) + "kv_e2e_probe.dll";

    // The probe is loaded into the program once; its entry point lies at the same distance from
    // the library's base there as here.
    HMODULE local = ::LoadLibraryA(probePath.c_str());
    FARPROC localEntry = local ? ::GetProcAddress(local, "ProbeCounts@4") : nullptr;
    if (localEntry == nullptr && local != nullptr) localEntry = ::GetProcAddress(local, "ProbeCounts");
    if (localEntry == nullptr) {
        std::cout << "cannot load the probe " << probePath << std::endl;
        return result;
    }
    const DWORD entryOffset = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(localEntry)) -
                              static_cast<DWORD>(reinterpret_cast<UINT_PTR>(local));

    const SIZE_T blockSize = MAX_PATH + sizeof(ProbeResult);
    char* block = static_cast<char*>(
        ::VirtualAllocEx(m_process.hProcess, nullptr, blockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (block == nullptr) return result;
    auto runRemote = [&](LPTHREAD_START_ROUTINE start, void* parameter, DWORD* exitCode) {
        HANDLE thread = ::CreateRemoteThread(m_process.hProcess, nullptr, 0, start, parameter, 0, nullptr);
        if (thread == nullptr) return false;
        const bool ended = ::WaitForSingleObject(thread, 15000) == WAIT_OBJECT_0;
        ::GetExitCodeThread(thread, exitCode);
        ::CloseHandle(thread);
        return ended;
    };
    if (m_probeBase == 0) {
        ::WriteProcessMemory(m_process.hProcess, block, probePath.c_str(), probePath.size() + 1, nullptr);
        // kernel32 lies at the same address in every process of a session.
        auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
        DWORD base = 0;
        if (runRemote(loadLibrary, block, &base)) m_probeBase = base;
    }
    if (m_probeBase != 0) {
        ProbeResult* remote = reinterpret_cast<ProbeResult*>(block + MAX_PATH);
        ::WriteProcessMemory(m_process.hProcess, remote, &result, sizeof(result), nullptr);
        DWORD exitCode = 0;
        if (runRemote(
                reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<UINT_PTR>(m_probeBase + entryOffset)),
                remote, &exitCode))
            ::ReadProcessMemory(m_process.hProcess, remote, &result, sizeof(result), nullptr);
    }
    ::VirtualFreeEx(m_process.hProcess, block, 0, MEM_RELEASE);
    return result;
}

bool AppDriver::Quit(DWORD ms) {
    if (!Running()) return ExitCode() == 0;
    if (m_main != nullptr) Command(ID_APP_EXIT_CMD);
    const DWORD start = ::GetTickCount();
    while (Running() && ::GetTickCount() - start < ms) {
        // A question to save the design is answered "No"; the scenarios save on purpose.
        HWND box = WaitForMessageBox(200);
        if (box != nullptr && Running()) {
            std::cout << "at exit the program asks: " << MessageText(box) << std::endl;
            Answer(box, IDNO);
            WaitFor([&] { return !::IsWindow(box) || !Running(); }, 5000);
        }
    }
    return WaitForExit(0) && ExitCode() == 0;
}

bool AppDriver::WaitForExit(DWORD ms) {
    return m_process.hProcess != nullptr && ::WaitForSingleObject(m_process.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD AppDriver::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process.hProcess != nullptr) ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

void AppDriver::Command(UINT id) const {
    ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool AppDriver::Run(UINT id) const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 20000, &result) != 0;
}

bool AppDriver::Activate(HWND window) const {
    HWND top = ::GetAncestor(window, GA_ROOT);
    if (::GetForegroundWindow() != top) ::SetForegroundWindow(top);
    return WaitFor([&] { return ::GetForegroundWindow() == top; }, 3000);
}

bool AppDriver::WaitForFocus(HWND window, DWORD ms) const {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return WaitFor(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == window;
        },
        ms);
}

void AppDriver::MoveMouse(int x, int y) const {
    INPUT input = MouseInput(MOUSEEVENTF_MOVE, x, y);
    ::SendInput(1, &input, sizeof(INPUT));
}

void AppDriver::Click(HWND window, POINT point) const {
    ::ClientToScreen(window, &point);
    // Each button with its place (see LeftButton).
    INPUT inputs[3] = {MouseInput(MOUSEEVENTF_MOVE, point.x, point.y),
                       MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, point.x, point.y),
                       MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, point.x, point.y)};
    ::SendInput(3, inputs, sizeof(INPUT));
    ::WaitForInputIdle(m_process.hProcess, 2000);
}

bool AppDriver::PointAt(HWND window, POINT point, DWORD ms) const {
    ::ClientToScreen(window, &point);
    MoveMouse(point.x, point.y);
    int steady = 0;
    return WaitFor(
        [&] {
            POINT now = {};
            ::GetCursorPos(&now);
            steady = now.x == point.x && now.y == point.y ? steady + 1 : 0;
            if (steady == 0) MoveMouse(point.x, point.y);
            // WaitFor polls every 20 ms: three readings in a row span 40-60 ms.
            return steady >= 3;
        },
        ms);
}

void AppDriver::Drag(HWND window, POINT from, POINT to) const {
    ::ClientToScreen(window, &from);
    ::ClientToScreen(window, &to);
    MoveMouse(from.x, from.y);
    INPUT down = MouseInput(MOUSEEVENTF_LEFTDOWN, from.x, from.y);
    ::SendInput(1, &down, sizeof(INPUT));
    ::WaitForInputIdle(m_process.hProcess, 2000);
    // Several steps, each taken by the program before the next, as a hand moves.
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        MoveMouse(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
        ::WaitForInputIdle(m_process.hProcess, 2000);
    }
    INPUT up = MouseInput(MOUSEEVENTF_LEFTUP, to.x, to.y);
    ::SendInput(1, &up, sizeof(INPUT));
    ::WaitForInputIdle(m_process.hProcess, 2000);
}

void AppDriver::Key(WORD vk, bool ctrl, bool shift) const {
    std::vector<INPUT> inputs;
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::WaitForInputIdle(m_process.hProcess, 2000);
}

void AppDriver::Type(const std::string& text) const {
    // One batch, as fast typing arrives.
    std::vector<INPUT> inputs;
    for (char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        if (scan == -1) continue;
        const WORD vk = LOBYTE(scan);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
        inputs.push_back(KeyInput(vk, false));
        inputs.push_back(KeyInput(vk, true));
        if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool AppDriver::PointTo(HWND window, POINT point, DWORD ms) const {
    ::ClientToScreen(window, &point);
    // The pointer is put where it goes in the X server, as a hand moves it: the program sees
    // the move as it sees a user's. (A move through the input queue reaches the X server from
    // the driver's own connection, and the program gets it twice, the X server's echo perhaps
    // after a later move.)
    ::SetCursorPos(point.x, point.y);
    // Wine answers from the input queue for 100 ms after a move and from the X server after
    // that: the pointer is there when it has been reported there for longer than that.
    DWORD since = 0;
    const bool there = WaitFor(
        [&] {
            POINT now = {};
            if (!::GetCursorPos(&now) || now.x != point.x || now.y != point.y) {
                since = 0;
                return false;
            }
            if (since == 0) since = ::GetTickCount();
            return ::GetTickCount() - since > 150;
        },
        ms);
    ::WaitForInputIdle(m_process.hProcess, 2000);
    return there;
}

void AppDriver::LeftButton(HWND window, POINT point, bool down) const {
    ::ClientToScreen(window, &point);
    // The button's own place goes with it. A button alone is taken where the system has the
    // pointer when it queues it, and that may still be an older place: the program reads the X
    // server's reports of the driver's moves at its own pace and puts the pointer back at each.
    const DWORD button = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    INPUT input = MouseInput(MOUSEEVENTF_MOVE | button, point.x, point.y);
    ::SendInput(1, &input, sizeof(INPUT));
}

bool AppDriver::SteadyClick(HWND window, POINT point, bool twice) const {
    bool ok = PointTo(window, POINT{point.x + 1, point.y + 1}) && PointTo(window, point);
    POINT at = point;
    ::ClientToScreen(window, &at);
    if (twice) {
        // Two clicks within the double-click time: one batch, each with its place. What they do
        // is for the caller to see.
        INPUT inputs[4] = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at.x, at.y),
                           MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at.x, at.y),
                           MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at.x, at.y),
                           MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at.x, at.y)};
        ::SendInput(4, inputs, sizeof(INPUT));
        return ok;
    }
    // A control that holds the mouse only while its button is down (a button, a tool bar, an edit
    // box, the canvas, the lists) shows when it took the press (it holds the mouse) and the
    // release (it lets it go): the driver's next step cannot overtake the click. A control that
    // holds the mouse already (one that follows the pointer over it) shows nothing: its click goes
    // as one batch, and what it does is for the caller to see.
    if (CaptureOf(window) != nullptr) {
        INPUT inputs[2] = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at.x, at.y),
                           MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at.x, at.y)};
        ::SendInput(2, inputs, sizeof(INPUT));
        return ok;
    }
    LeftButton(window, point, true);
    if (!WaitFor([&] { return CaptureOf(window) != nullptr || !Running(); }, kInputTaken)) {
        std::cout << "the press at " << at.x << "," << at.y << " on " << ClassName(window) << " was not taken"
                  << std::endl;
        ok = false;
    }
    LeftButton(window, point, false);
    if (!WaitFor([&] { return CaptureOf(window) == nullptr || !Running(); }, kInputTaken)) {
        std::cout << "the release at " << at.x << "," << at.y << " was not taken" << std::endl;
        ok = false;
    }
    return ok;
}

HWND AppDriver::CaptureOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndCapture;
}

bool AppDriver::SteadyDrag(HWND window, POINT from, POINT to) const {
    // Onto the object from a pixel away, as a hand arrives: the program sets its cursor (and
    // with it what a press will do) when the pointer moves.
    bool ok = PointTo(window, POINT{from.x + 1, from.y + 1}) && PointTo(window, from);
    // The press is taken when the window holds the mouse; only then do the moves belong to the
    // drag. (The press goes through the system's input queue, the moves through the X server,
    // and the program reads the two at its own pace.)
    LeftButton(window, from, true);
    if (!WaitFor([&] { return CaptureOf(window) == window || !Running(); }, kInputTaken)) {
        std::cout << "the press at " << from.x << "," << from.y << " was not taken" << std::endl;
        ok = false;
    }
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        ok = PointTo(window, POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}) &&
             ok;
    // The release says where it happened; the drag ends there. It is taken when the window lets
    // the mouse go.
    LeftButton(window, to, false);
    if (!WaitFor([&] { return CaptureOf(window) != window || !Running(); }, kInputTaken)) {
        std::cout << "the release at " << to.x << "," << to.y << " was not taken" << std::endl;
        ok = false;
    }
    return ok;
}

void AppDriver::TypeText(const std::string& text) const {
    std::vector<INPUT> inputs;
    for (char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        if (scan != -1 && (HIBYTE(scan) & 7) == 0) {
            inputs.push_back(KeyInput(LOBYTE(scan), false));
            inputs.push_back(KeyInput(LOBYTE(scan), true));
            continue;
        }
        wchar_t wide = 0;
        if (::MultiByteToWideChar(CP_ACP, 0, &c, 1, &wide, 1) != 1) continue;
        for (bool up : {false, true}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = wide;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::WaitForInputIdle(m_process.hProcess, 2000);
}

LRESULT AppDriver::SendWithBlock(HWND window, UINT message, WPARAM wParam, std::vector<unsigned char>& block,
                                 const std::function<void(std::vector<unsigned char>&, UINT_PTR)>& prepare) const {
    if (block.empty() || !Running()) return 0;
    void* remote =
        ::VirtualAllocEx(m_process.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) return 0;
    if (prepare) prepare(block, reinterpret_cast<UINT_PTR>(remote));
    ::WriteProcessMemory(m_process.hProcess, remote, block.data(), block.size(), nullptr);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 10000,
                          &result);
    ::ReadProcessMemory(m_process.hProcess, remote, block.data(), block.size(), nullptr);
    ::VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
    return static_cast<LRESULT>(result);
}

bool AppDriver::Screenshot(const std::string& name) const {
    const std::string path = OutDir() + "\\" + name + ".png";
    const bool saved = kvtest::SavePng(kvtest::CaptureScreen(), path);
    std::cout << (saved ? "screenshot " : "no screenshot ") << path << std::endl;
    return saved;
}

}  // namespace e2e
