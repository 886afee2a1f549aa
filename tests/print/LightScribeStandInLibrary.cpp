// A stand-in for the drive maker's LightScribe print library, built as LSPrintAPI.dll for the
// tests: it exports the two operations the application binds, records every call, answers as the
// test configured it, and starts the stand-in print dialog program (LSPrintDialog.exe beside it),
// at once or after a delay, as the real library starts its own.
#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;
int g_drive = 1;         // the byte the drive test answers
int g_launchResult = 0;  // what the launch answers; 0 starts the dialog
DWORD g_launchDelayMs = 0;
int g_driveCalls = 0;
int g_launchCalls = 0;
std::wstring g_lastCommand;
volatile LONG g_lastPid = 0;

std::wstring DialogProgramPath() {
    wchar_t path[MAX_PATH] = {0};
    ::GetModuleFileNameW(g_self, path, MAX_PATH);
    std::wstring folder(path);
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
    return folder + L"LSPrintDialog.exe";
}

void StartDialog(const std::wstring& command) {
    std::wstring line = L"\"" + DialogProgramPath() + L"\" " + command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                         &startup, &process)) {
        ::InterlockedExchange(&g_lastPid, static_cast<LONG>(process.dwProcessId));
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

struct DelayedStart {
    std::wstring command;
    DWORD delayMs;
};

DWORD WINAPI StartLater(void* parameter) {
    DelayedStart* start = static_cast<DelayedStart*>(parameter);
    ::Sleep(start->delayMs);
    StartDialog(start->command);
    delete start;
    return 0;
}

}  // namespace

extern "C" {

__declspec(dllexport) void __cdecl have_lightscribe_drive(unsigned char* present) {
    ++g_driveCalls;
    if (present) *present = static_cast<unsigned char>(g_drive);
}

__declspec(dllexport) int __cdecl launch_print_options_dialog(const wchar_t* command) {
    ++g_launchCalls;
    g_lastCommand = command ? command : L"";
    if (g_launchResult != 0) return g_launchResult;
    if (g_launchDelayMs == 0) {
        StartDialog(g_lastCommand);
    } else {
        HANDLE thread = ::CreateThread(nullptr, 0, StartLater,
                                       new DelayedStart{g_lastCommand, g_launchDelayMs}, 0, nullptr);
        if (thread) ::CloseHandle(thread);
    }
    return 0;
}

// ---- the tests' controls ----

__declspec(dllexport) void __cdecl standin_configure(int drive, int launchResult, int launchDelayMs) {
    g_drive = drive;
    g_launchResult = launchResult;
    g_launchDelayMs = launchDelayMs < 0 ? 0 : static_cast<DWORD>(launchDelayMs);
    ::InterlockedExchange(&g_lastPid, 0);
}

// 0: drive tests, 1: launches.
__declspec(dllexport) int __cdecl standin_calls(int which) {
    return which == 0 ? g_driveCalls : g_launchCalls;
}

__declspec(dllexport) int __cdecl standin_last_command(wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return static_cast<int>(g_lastCommand.size());
    lstrcpynW(buffer, g_lastCommand.c_str(), size);
    return static_cast<int>(g_lastCommand.size());
}

// The process id of the dialog started last; 0 until it has started.
__declspec(dllexport) DWORD __cdecl standin_last_pid() {
    return static_cast<DWORD>(::InterlockedCompareExchange(&g_lastPid, 0, 0));
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}
