// A small library that the end-to-end driver loads into the running application to read its GDI
// and USER object counts and its memory from the inside. Wine answers GetGuiResources with 0 for
// every process, and GetProcessMemoryInfo with zeros for a process other than the caller, so the
// driver runs ProbeCounts on a thread of the application's own.
#include <windows.h>
#include <psapi.h>

#include "ObjectProbe.h"

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<long*>(lParam);
    return TRUE;
}

// The windows of this process: each top-level one with all its descendants.
BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM lParam) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(lParam);
        ::EnumChildWindows(hWnd, CountChild, lParam);
    }
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI ProbeCounts(void* parameter) {
    ProbeResult* result = static_cast<ProbeResult*>(parameter);
    if (result == nullptr) return 0;
    // Windows: GetGuiResources is the answer. Wine: every live GDI handle answers GetObjectType,
    // and the USER objects are the windows plus the menus.
    long gdi = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
    long user = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    if (gdi == 0) {
        for (UINT_PTR value = 1; value < 0x10000; ++value)
            if (::GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++gdi;
    }
    if (user == 0) {
        ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&user));
        for (UINT_PTR value = 1; value < 0x10000; ++value)
            if (::IsMenu(reinterpret_cast<HMENU>(value))) ++user;
    }
    result->gdiObjects = gdi;
    result->userObjects = user;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory))) {
        result->workingSetKb = static_cast<unsigned long>(memory.WorkingSetSize / 1024);
        result->peakWorkingSetKb = static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024);
    }
    result->done = 1;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) {
    return TRUE;
}
