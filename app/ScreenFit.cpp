// Placing a stored main-window placement on the work area of a screen that exists.
#include "app/ScreenFit.h"

#include <algorithm>

namespace {

// The band along the window's top edge that must be on a screen for the user to grab the caption,
// and how much of its width (all of it when the window is narrower).
const LONG kCaptionBand = 30;
const LONG kCaptionReach = 100;
// Window coordinates beyond this cannot be placed by the window system at all.
const LONG kCoordinateLimit = 32767;

// The work area of the screen nearest to the rectangle.
RECT NearestWorkArea(const RECT& rect) {
    RECT work = {};
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoA(monitor, &info))
        work = info.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool WithinLimits(const RECT& r) {
    for (LONG v : {r.left, r.top, r.right, r.bottom})
        if (v < -kCoordinateLimit || v > kCoordinateLimit) return false;
    return true;
}

// Whether the user can reach the caption of a window with this rectangle on that work area.
bool CaptionReachable(const RECT& r, const RECT& work) {
    if (r.top < work.top || r.top > work.bottom - kCaptionBand) return false;
    const LONG overlap = std::min(r.right, work.right) - std::max(r.left, work.left);
    return overlap >= std::min(kCaptionReach, r.right - r.left);
}

// One side: [start, end) placed inside [low, high), shortened when it is longer.
void FitSpan(LONG& start, LONG& end, LONG low, LONG high) {
    // 64 bits: a damaged file may hold edges two billion pixels apart.
    const long long length = std::min((long long)end - start, (long long)high - low);
    const long long placed = std::max((long long)low, std::min((long long)start, (long long)high - length));
    start = (LONG)placed;
    end = (LONG)(placed + length);
}

}  // namespace

bool FitPlacementToScreens(WINDOWPLACEMENT& placement) {
    RECT& normal = placement.rcNormalPosition;
    if (::IsRectEmpty(&normal)) return false;
    if (WithinLimits(normal)) {
        const RECT band = {normal.left, normal.top, normal.right, normal.top + kCaptionBand};
        if (CaptionReachable(normal, NearestWorkArea(band))) return false;
    }
    const RECT work = NearestWorkArea(normal);
    if (::IsRectEmpty(&work)) return false;
    FitSpan(normal.left, normal.right, work.left, work.right);
    FitSpan(normal.top, normal.bottom, work.top, work.bottom);
    return true;
}
