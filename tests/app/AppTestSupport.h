// Running the real application object inside a test: a temporary settings folder (the shell's
// local application data folder pointed elsewhere) and a profile of the test's own, start-up,
// pumping the message loop with its idle work, and shut-down.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/KorvanelleApp.h"

namespace kvtest {

// Points the current user's local application data folder at a new empty folder while it lives,
// and removes the application's profile key before and after. Both are shared by every program of
// the Wine prefix, so it first waits for any other test program's TemporaryUserFolders to end (a
// named mutex: two ctest runs in one build tree do not share their resource locks).
class TemporaryUserFolders {
public:
    TemporaryUserFolders();
    ~TemporaryUserFolders();
    TemporaryUserFolders(const TemporaryUserFolders&) = delete;
    TemporaryUserFolders& operator=(const TemporaryUserFolders&) = delete;

    // The folder the settings files go to ("<local app data>\Korvanelle").
    std::string SettingsFolder() const { return m_root + "\\Korvanelle"; }
    const std::string& Root() const { return m_root; }

private:
    std::string m_root;
    std::string m_previous;
    bool m_hadPrevious = false;
    HANDLE m_settingsLock = nullptr;
};

// The application started for real (InitInstance, then the main frame shown); Close ends it
// through the frame's own closing and runs the shut-down.
class RunningApp {
public:
    RunningApp();
    // afterInit runs once InitInstance returned, before the splash has gone and the frame shows.
    explicit RunningApp(const std::function<void()>& afterInit);
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    bool Started() const { return m_started; }
    // Closes the main window (WM_CLOSE, the design not modified) and runs ExitInstance.
    void Close();
    bool Pump(const std::function<bool()>& done, DWORD ms);

    KorvanelleApp app;

private:
    bool m_started = false;
    bool m_closed = false;
};

// Dispatches messages and runs the application's idle work until done() or ms pass.
bool PumpApp(CWinApp& app, const std::function<bool()>& done, DWORD ms);

// Answers the file dialog of that title with `path` once it shows, from a thread timer (returned)
// that the dialog's own loop runs and that ends with the answer.
UINT_PTR AnswerFileDialog(const char* title, const CString& path);
// The same for the "Insert Image" dialog.
UINT_PTR AnswerInsertImage(const CString& path);

// Writes a photo-like PNG (a colour gradient, 96 x 64 unless sized) for image objects.
bool WriteTestPng(const CString& path, int width = 96, int height = 64);

// Deletes a folder with everything in it.
void RemoveTree(const std::string& path);

// Live objects of this process. Wine answers GetGuiResources with 0, so the GDI objects are
// counted by asking for the type of every 16-bit handle value, and the USER objects as the
// windows of this thread (with their children) plus the menu handles found the same way.
int CountGdiObjects();
int CountUserObjects();

// While it lives, `path` is the host's full device (/dev/full), linked by the host's own tool: a
// file that opens, but every write into it fails as on a full disk.
struct FullDiskFile {
    CString path;
    bool made;
    explicit FullDiskFile(const CString& p) : path(p) { made = Host("/bin/ln -sfn /dev/full", true); }
    ~FullDiskFile() {
        if (made) Host("/bin/rm -f", false);
    }
    bool Full() const {
        HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD written = 0;
        const bool full = file != INVALID_HANDLE_VALUE && !::WriteFile(file, "x", 1, &written, nullptr) &&
                          ::GetLastError() == ERROR_DISK_FULL;
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        return full;
    }
    // Runs the host's command on the file's host name; true once the file is (or is no more) full.
    bool Host(const char* command, bool full) const {
        typedef char*(__cdecl * UnixNameOf)(LPCWSTR);
        auto unixNameOf = reinterpret_cast<UnixNameOf>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        char* name = unixNameOf ? unixNameOf(AfxWideOf(path).c_str()) : nullptr;
        if (name == nullptr) return false;
        std::string line = std::string(command) + " \"" + name + "\"";
        ::HeapFree(::GetProcessHeap(), 0, name);
        STARTUPINFOA start = {};
        start.cb = sizeof(start);
        PROCESS_INFORMATION process = {};
        const std::string program = "Z:" + line.substr(0, line.find(' '));
        if (!::CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                              &process))
            return false;
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);  // a host process cannot be waited for; its effect can
        for (DWORD began = ::GetTickCount(); ::GetTickCount() - began < 5000; ::Sleep(20))
            if (Full() == full) return true;
        return false;
    }
};

// The application's registry profile name used by tests.
extern const char kTestProfileName[];

}  // namespace kvtest
