#include "GdiplusSession.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace {
struct GdiplusSession {
    ULONG_PTR token = 0;
    bool ok = false;
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        // GDI+ objects left in globals at exit are never deleted after this point.
        if (ok) Gdiplus::GdiplusShutdown(token);
    }
};
GdiplusSession& Session() {
    static GdiplusSession s;
    return s;
}
const bool g_started = Session().ok;
}  // namespace

namespace kvtest {
bool GdiplusReady() {
    return Session().ok;
}
}  // namespace kvtest
