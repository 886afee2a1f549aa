// Test programs of the bars run on a desktop of their own, taken before anything (GDI+ included)
// makes a window: windows of test programs running beside them cannot take the activation from
// the colour picker, whose undo steps follow its activation. (The screenshot program stays on the
// desktop the screenshot script shows.) A test that may run beside one of those names its own
// desktop through KV_OWN_DESKTOP.
#include <windows.h>

#ifndef KV_OWN_DESKTOP
#define KV_OWN_DESKTOP "KvBarsTest"
#endif

namespace {

struct OwnDesktop {
    OwnDesktop() {
        if (HDESK own = ::CreateDesktopA(KV_OWN_DESKTOP, nullptr, nullptr, 0, GENERIC_ALL, nullptr))
            ::SetThreadDesktop(own);
    }
};
__attribute__((init_priority(101))) OwnDesktop g_ownDesktop;

}  // namespace
