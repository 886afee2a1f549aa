// What every end-to-end scenario shares (see ScenarioSupport.h).
#include "ScenarioSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "GuiSupport.h"

namespace e2e {

HWND StartReady(AppDriver& app, const std::string& commandLine) {
    if (!app.Start(commandLine)) return nullptr;
    HWND main = app.WaitForMainWindow(30000);
    if (!main || !app.WaitForSplashGone(20000) || !WaitForStillWindow(main, 20000)) return nullptr;
    RecordMetric("ready_ms", app.Elapsed());
    RecordCounts(app, "start");
    return main;
}

std::string UniqueDesignName(const std::string& prefix) {
    return prefix + " " + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(::GetTickCount() % 1000000);
}

namespace {
// Pixels a selection's marching outline changes between two pictures (its perimeter, at most).
const size_t kOutlineTolerance = 4000;
}  // namespace

ProbeResult RecordCounts(AppDriver& app, const std::string& when) {
    ProbeResult counts = app.Measure();
    RecordMetric(when + "_gdi", counts.gdiObjects);
    RecordMetric(when + "_user", counts.userObjects);
    RecordMetric(when + "_working_set_kb", static_cast<long long>(counts.workingSetKb));
    RecordMetric(when + "_peak_working_set_kb", static_cast<long long>(counts.peakWorkingSetKb));
    return counts;
}

kvtest::Capture CaptureOnScreen(HWND hWnd) {
    RECT window = {};
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT rc = {};
    if (!::IsWindowVisible(hWnd) || !::GetWindowRect(hWnd, &window) ||
        !::IntersectRect(&rc, &window, &screen))
        return kvtest::Capture();
    return kvtest::CaptureRect(rc);
}

bool WaitForStillWindow(HWND hWnd, DWORD ms, size_t tolerance) {
    const DWORD start = ::GetTickCount();
    kvtest::Capture previous = CaptureOnScreen(hWnd);
    while (::GetTickCount() - start < ms) {
        // Polls the condition: a picture that no longer changes.
        ::Sleep(300);
        kvtest::Capture now = CaptureOnScreen(hWnd);
        if (!now.Empty() && now.width == previous.width && now.height == previous.height) {
            size_t different = 0;
            for (size_t i = 0; i < now.pixels.size() && different <= tolerance; ++i)
                different += now.pixels[i] != previous.pixels[i];
            if (different <= tolerance) return true;
        }
        previous = std::move(now);
    }
    return false;
}

bool WaitForChange(HWND hWnd, const kvtest::Capture& before, DWORD ms) {
    const DWORD start = ::GetTickCount();
    const bool changed = WaitFor(
        [&] {
            const kvtest::Capture now = CaptureOnScreen(hWnd);
            return now.width != before.width || now.height != before.height || now.pixels != before.pixels;
        },
        ms);
    const DWORD spent = ::GetTickCount() - start;
    return changed && WaitForStillWindow(hWnd, ms > spent ? ms - spent : 0, kOutlineTolerance);
}

RECT FindColorBox(HWND hWnd, unsigned color) {
    RECT box = {0, 0, 0, 0};
    RECT window = {};
    ::GetWindowRect(hWnd, &window);
    window.left = std::max<LONG>(window.left, 0);
    window.top = std::max<LONG>(window.top, 0);
    const kvtest::Capture capture = CaptureOnScreen(hWnd);
    bool any = false;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x) {
            if (capture.At(x, y) != color) continue;
            if (!any) box = RECT{x, y, x + 1, y + 1};
            any = true;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    if (any) ::OffsetRect(&box, window.left, window.top);
    return box;
}

RECT FindHandleBox(HWND hWnd) {
    RECT box = {0, 0, 0, 0};
    RECT window = {};
    ::GetWindowRect(hWnd, &window);
    window.left = std::max<LONG>(window.left, 0);
    window.top = std::max<LONG>(window.top, 0);
    const kvtest::Capture c = CaptureOnScreen(hWnd);
    auto black = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < c.width && y < c.height && c.At(x, y) == 0;
    };
    int handles = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            if (!black(x, y) || black(x - 1, y) || black(x, y - 1)) continue;
            int w = 0, h = 0;
            while (black(x + w, y)) ++w;
            while (black(x, y + h)) ++h;
            if (w < 6 || w > 12 || h < 6 || h > 12) continue;
            bool square = true;
            for (int j = 0; j < h && square; ++j)
                for (int i = 0; i < w && square; ++i) square = black(x + i, y + j);
            // Alone: hardly anything black on the ring around it (the frame's dashed line may touch a
            // corner; a glyph's stroke goes on).
            int ring = 0;
            for (int i = -1; i <= w; ++i) ring += black(x + i, y - 1) + black(x + i, y + h);
            for (int j = 0; j < h; ++j) ring += black(x - 1, y + j) + black(x + w, y + j);
            if (!square || ring > 4) continue;
            if (handles++ == 0) box = RECT{x, y, x + w, y + h};
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + w);
            box.bottom = std::max<LONG>(box.bottom, y + h);
        }
    if (handles < 4) return RECT{0, 0, 0, 0};
    ::OffsetRect(&box, window.left, window.top);
    return box;
}

std::vector<RECT> FindHandles(HWND hWnd) {
    std::vector<RECT> handles;
    RECT window = {};
    ::GetWindowRect(hWnd, &window);
    window.left = std::max<LONG>(window.left, 0);
    window.top = std::max<LONG>(window.top, 0);
    const kvtest::Capture c = CaptureOnScreen(hWnd);
    auto black = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < c.width && y < c.height && c.At(x, y) == 0;
    };
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            if (!black(x, y) || black(x - 1, y) || black(x, y - 1)) continue;
            int w = 0, h = 0;
            while (black(x + w, y)) ++w;
            while (black(x, y + h)) ++h;
            if (w < 6 || w > 12 || h < 6 || h > 12) continue;
            bool square = true;
            for (int j = 0; j < h && square; ++j)
                for (int i = 0; i < w && square; ++i) square = black(x + i, y + j);
            // Alone: hardly anything black on the ring around it (the frame's dashed line may touch a
            // corner; a glyph's stroke goes on).
            int ring = 0;
            for (int i = -1; i <= w; ++i) ring += black(x + i, y - 1) + black(x + i, y + h);
            for (int j = 0; j < h; ++j) ring += black(x - 1, y + j) + black(x + w, y + j);
            if (!square || ring > 4) continue;
            RECT handle = {x, y, x + w, y + h};
            ::OffsetRect(&handle, window.left, window.top);
            handles.push_back(handle);
        }
    return handles;
}

POINT ClientCentre(HWND hWnd, const RECT& screenRect) {
    POINT centre = {(screenRect.left + screenRect.right) / 2, (screenRect.top + screenRect.bottom) / 2};
    ::ScreenToClient(hWnd, &centre);
    return centre;
}

std::vector<std::string> ListBoxTexts(HWND list) {
    std::vector<std::string> texts;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The wide form: Wine hands the text of another process's list only in that form.
        const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::vector<wchar_t> text(length > 0 ? length + 1 : 1, L'\0');
        if (length > 0) ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        char narrow[1024] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, narrow, sizeof(narrow) - 1, nullptr, nullptr);
        texts.push_back(narrow);
    }
    return texts;
}

POINT ListBoxEntryCentre(HWND list, int index) {
    const int top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int y = 0;
    for (int i = top; i < index; ++i) y += static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, i, 0));
    RECT client = {};
    ::GetClientRect(list, &client);
    return POINT{client.right / 2,
                 y + static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, index, 0)) / 2};
}

std::vector<std::vector<std::string>> ListViewTexts(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return rows;
    const SIZE_T textSize = 512;
    char* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + textSize,
                                                       MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote != nullptr) {
        char* remoteText = remote + sizeof(LVITEMA);
        const LRESULT count = ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT row = 0; row < count; ++row) {
            std::vector<std::string> texts;
            for (int column = 0; column < columns; ++column) {
                LVITEMA item = {};
                item.iSubItem = column;
                item.pszText = remoteText;
                item.cchTextMax = static_cast<int>(textSize);
                char text[textSize] = {};
                ::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
                ::WriteProcessMemory(process, remoteText, text, textSize, nullptr);
                ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
                ::ReadProcessMemory(process, remoteText, text, textSize - 1, nullptr);
                texts.push_back(text);
            }
            rows.push_back(texts);
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return rows;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

long long Uint32At(const std::vector<unsigned char>& bytes, size_t offset) {
    if (bytes.size() < offset + 4) return -1;
    return static_cast<long long>(bytes[offset]) | (static_cast<long long>(bytes[offset + 1]) << 8) |
           (static_cast<long long>(bytes[offset + 2]) << 16) |
           (static_cast<long long>(bytes[offset + 3]) << 24);
}

}  // namespace e2e
