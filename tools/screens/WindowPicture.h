// Saving a window as the screen shows it: the one step every picture program of tools/screens
// takes for each dialog it pictures.
#pragma once

#include <windows.h>

#include <string>

namespace screens {

// Redraws the window with its frame and children, lets it finish its pending drawing, waits at
// most settleMs until the screen shows it unchanged (for steadyMs) and saves that as the PNG file
// folder\name. Prints "saved <path>" or "FAILED <path>"; returns whether the file was written.
bool SaveWindowPicture(HWND window, const std::string& folder, const char* name, DWORD settleMs = 5000,
                       DWORD steadyMs = 0);

}  // namespace screens
