// Saving a window as the screen shows it (see WindowPicture.h).
#include "WindowPicture.h"

#include <cstdio>

#include "GuiSupport.h"

namespace screens {

bool SaveWindowPicture(HWND window, const std::string& folder, const char* name, DWORD settleMs, DWORD steadyMs) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    kvtest::PumpPending();
    const std::string path = folder + "\\" + name;
    const bool saved = kvtest::SavePng(kvtest::CaptureWindowFromScreenSettled(window, settleMs, steadyMs), path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.c_str());
    return saved;
}

}  // namespace screens
