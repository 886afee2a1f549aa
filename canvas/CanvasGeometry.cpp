// The canvas's arithmetic: buffer sizes, dash patterns, page placement, fit zoom, snapping and
// drag rules, picking and natural image sizes.
#include "canvas/CanvasGeometry.h"

#include <cmath>
#include <cstdlib>

#include "model/Geometry.h"

namespace CanvasGeometry {

namespace {

// e: a length GDI+ accepts in place of zero in a dash pattern.
const float e = 1e-31f;
const float kPatterns[kDashPatternCount][4] = {
    {4, 4, e, e}, {e, 1, 4, 3}, {e, 2, 4, 2}, {e, 3, 4, 1},
    {e, 4, 4, e}, {1, 4, 3, e}, {2, 4, 2, e}, {3, 4, 1, e},
};

// The device extent of [pos, pos + len) at a scale, edges rounded as every mapping rounds them.
int DeviceExtent(int pos, int len, double scale) {
    return RoundHalfUp((pos + len) * scale) - RoundHalfUp(pos * scale);
}

}  // namespace

CSize MakeBufferSize(int width, int height, const std::function<bool(int, int)>& tryMake) {
    for (;;) {
        if (tryMake(width, height)) return CSize(width, height);
        width -= 100;
        height -= 100;
        if (width <= 500) return CSize(0, 0);
    }
}

bool GrowBufferSize(CSize requested, const std::vector<CSize>& pageSizes, int unitsPerInchX,
                    int unitsPerInchY, CSize& grown) {
    int w = requested.cx, h = requested.cy;
    for (const CSize& page : pageSizes) {
        int pw = static_cast<int>(page.cx * (300.0 / unitsPerInchX));
        int ph = static_cast<int>(page.cy * (300.0 / unitsPerInchY));
        if (pw > w) w = pw;
        if (ph > h) h = ph;
    }
    if (w == requested.cx && h == requested.cy) return false;
    grown = CSize(w + 2, h + 2);
    return true;
}

const float* DashPattern(int phase) {
    if (phase < 0 || phase >= kDashPatternCount) phase = 0;
    return kPatterns[phase];
}

int NextDashPhase(int phase) {
    ++phase;
    return phase >= kDashPatternCount ? 0 : phase;
}

int SecondDashPhase(int phase) {
    phase += 4;
    return phase >= kDashPatternCount ? phase - kDashPatternCount : phase;
}

bool OutlineRuns(const CPoint corners[4], const CRect& visible, std::vector<OutlineRun>& runs) {
    runs.clear();
    CRect around = visible;
    around.InflateRect(kDashPeriod, kDashPeriod);
    bool allNear = true;
    for (int k = 0; k < 4; ++k) allNear = allNear && around.PtInRect(corners[k]);
    if (allNear) return false;
    long along = 0;  // path length before the edge
    for (int k = 0; k < 4; ++k) {
        const CPoint a = corners[k], b = corners[(k + 1) % 4];
        const bool horizontal = a.y == b.y;
        const long length = std::labs(horizontal ? b.x - a.x : b.y - a.y);
        const int step = (horizontal ? b.x - a.x : b.y - a.y) >= 0 ? 1 : -1;
        const long fixed = horizontal ? a.y : a.x;
        const long lo = horizontal ? visible.top : visible.left,
                   hi = horizontal ? visible.bottom : visible.right;
        const long from = horizontal ? a.x : a.y;
        const long first = horizontal ? visible.left - 1 : visible.top - 1;
        const long last = horizontal ? visible.right + 1 : visible.bottom + 1;
        if (fixed >= lo && fixed < hi) {
            // The part of the edge whose moving coordinate lies within [first, last].
            long t0 = step > 0 ? first - from : from - last, t1 = step > 0 ? last - from : from - first;
            if (t0 < 0) t0 = 0;
            if (t1 > length) t1 = length;
            if (t0 <= t1) {
                t0 = (along + t0) / kDashPeriod * kDashPeriod - along;
                auto at = [&](long t) {
                    return horizontal ? CPoint(static_cast<int>(a.x + step * t), a.y)
                                      : CPoint(a.x, static_cast<int>(a.y + step * t));
                };
                runs.push_back(OutlineRun{at(t0), at(t1)});
            }
        }
        along += length;
    }
    return true;
}

CPoint CanvasOrigin(CSize client, CSize page, CSize margin) {
    int x = -((client.cx - page.cx) / 2);
    int y = -((client.cy - page.cy) / 2);
    if (x > -margin.cx) x = -margin.cx;
    if (y > -margin.cy) y = -margin.cy;
    return CPoint(x, y);
}

CSize DeviceSize(CSize design, double pixelsPerUnitX, double pixelsPerUnitY, int zoom) {
    const double sx = pixelsPerUnitX * zoom * 0.1, sy = pixelsPerUnitY * zoom * 0.1;
    return CSize(DeviceExtent(0, design.cx, sx), DeviceExtent(0, design.cy, sy));
}

CSize WideSideSize(CSize page, double pixelsPerUnitX, double pixelsPerUnitY, int zoom, CPoint pageOrigin) {
    CSize d = DeviceSize(page, pixelsPerUnitX, pixelsPerUnitY, zoom);
    return CSize(d.cx + std::abs(2 * pageOrigin.x) + 20, d.cy + std::abs(2 * pageOrigin.y) + 20);
}

FitZoomResult FitZoom(const FitZoomInput& in) {
    FitZoomResult result{4, in.pageOrigin, 0};
    CRect real = in.client;
    bool hBar = in.totalSize.cx > real.Width();
    bool vBar = in.totalSize.cy > real.Height();
    CRect area = real;
    area.DeflateRect(27, 27);
    int zoom = 4;
    for (int pass = 0; pass < 2; ++pass) {
        result.passes = pass + 1;
        zoom = 4;
        while (zoom < 50) {
            CSize side = DeviceSize(in.side, in.pixelsPerUnitX, in.pixelsPerUnitY, zoom);
            CSize wide = WideSideSize(in.page, in.pixelsPerUnitX, in.pixelsPerUnitY, zoom, result.pageOrigin);
            if (side.cx > area.Width() || side.cy > area.Height() || wide.cx > in.buffer.cx ||
                wide.cy > in.buffer.cy) {
                if (zoom != 1) --zoom;
                break;
            }
            ++zoom;
        }
        CSize page = DeviceSize(in.page, in.pixelsPerUnitX, in.pixelsPerUnitY, zoom);
        result.pageOrigin = CanvasOrigin(in.clientInside, page, in.margin);
        CSize needed(page.cx + 2 * in.margin.cx, page.cy + 2 * in.margin.cy);
        // A scroll bar that comes or goes with the new zoom takes or gives back its thickness.
        bool changed = false;
        bool needH = needed.cx > real.Width();
        if (needH != hBar) {
            int d = needH ? -in.hBarHeight : in.hBarHeight;
            area.bottom += d;
            real.bottom += d;
            hBar = needH;
            changed = true;
        }
        bool needV = needed.cy > real.Height();
        if (needV != vBar) {
            int d = needV ? -in.vBarWidth : in.vBarWidth;
            area.right += d;
            real.right += d;
            vBar = needV;
            changed = true;
        }
        if (!changed) break;
    }
    result.zoom = zoom;
    return result;
}

int ZoomInLevel(int zoom, CSize page, double pixelsPerUnitX, double pixelsPerUnitY, CPoint pageOrigin,
                CSize buffer) {
    int next = zoom + 2;
    CSize wide = WideSideSize(page, pixelsPerUnitX, pixelsPerUnitY, next, pageOrigin);
    if (wide.cx > buffer.cx || wide.cy > buffer.cy) return -1;
    return next;
}

int ZoomOutLevel(int zoom) {
    return zoom - 2 < 4 ? -1 : zoom - 2;
}

int SnapToGrid(int value, int origin, int step) {
    if (step <= 0) step = 1;
    return origin + ((value - origin) / step) * step;
}

bool IsTopMode(const CString& m) {
    return m == "Top" || m == "TopLeft" || m == "TopRight";
}
bool IsBottomMode(const CString& m) {
    return m == "Bottom" || m == "BottomLeft" || m == "BottomRight";
}
bool IsLeftMode(const CString& m) {
    return m == "Left" || m == "BottomLeft" || m == "TopLeft";
}
bool IsRightMode(const CString& m) {
    return m == "Right" || m == "BottomRight" || m == "TopRight";
}

CRect DragRect(const CString& mode, const CRect& start, CPoint d, CPoint p1, const CRect* side, bool snap,
               CSize grid) {
    CRect r = start;
    const bool snapping = snap && side != nullptr;
    if (mode == "Move") {
        r.OffsetRect(d.x, d.y);
        if (snapping) {
            int left = SnapToGrid(r.left, side->left, grid.cx) + p1.x;
            int top = SnapToGrid(r.top, side->top, grid.cy) + p1.y;
            r.OffsetRect(left - r.left, top - r.top);
        }
        return r;
    }
    if (IsRightMode(mode)) r.right += d.x;
    if (IsBottomMode(mode)) r.bottom += d.y;
    if (IsLeftMode(mode)) r.left += d.x;
    if (IsTopMode(mode)) r.top += d.y;
    if (snapping) {
        if (IsRightMode(mode)) r.right = SnapToGrid(r.right, side->left, grid.cx);
        if (IsBottomMode(mode)) r.bottom = SnapToGrid(r.bottom, side->top, grid.cy);
        if (IsLeftMode(mode)) r.left = SnapToGrid(r.left, side->left, grid.cx) + p1.x;
        if (IsTopMode(mode)) r.top = SnapToGrid(r.top, side->top, grid.cy) + p1.y;
    }
    return r;
}

void ConstrainRect(const CString& mode, CRect& rect, const CRect& side, CSize minimum, bool image,
                   bool keepRatio, const std::function<bool(int&, int&)>& naturalSize) {
    if (side.Width() <= 0 || side.Height() <= 0) return;
    if (mode == "Move") {
        if (rect.left < side.left) rect.OffsetRect(side.left - rect.left, 0);
        if (rect.right > side.right) rect.OffsetRect(side.right - rect.right, 0);
        if (rect.top < side.top) rect.OffsetRect(0, side.top - rect.top);
        if (rect.bottom > side.bottom) rect.OffsetRect(0, side.bottom - rect.bottom);
        return;
    }
    int w = rect.Width(), h = rect.Height();
    if (w < minimum.cx) w = minimum.cx;
    if (h < minimum.cy) h = minimum.cy;
    const bool ratio = image && keepRatio;
    if (ratio) {
        if (mode == "Right" || mode == "Left") h = 12000;
        if (mode == "Top" || mode == "Bottom") w = 12000;
        if (w < minimum.cx) w = minimum.cx;
        if (h < minimum.cy) h = minimum.cy;
        if (!naturalSize || !naturalSize(w, h)) {
            w = rect.Width();
            h = rect.Height();
        }
    }
    if (IsTopMode(mode)) rect.top = rect.bottom - h;
    if (IsBottomMode(mode)) rect.bottom = rect.top + h;
    if (IsLeftMode(mode)) rect.left = rect.right - w;
    if (IsRightMode(mode)) rect.right = rect.left + w;
    if (ratio) {
        if (mode == "Right" || mode == "Left") {
            int inward = (rect.Height() - h) / 2;
            rect.top += inward;
            rect.bottom -= inward;
        } else if (mode == "Top" || mode == "Bottom") {
            int inward = (rect.Width() - w) / 2;
            rect.left += inward;
            rect.right -= inward;
        }
    }
    if (!image) {
        if (rect.left < side.left) rect.left = side.left;
        if (rect.top < side.top) rect.top = side.top;
        if (rect.right > side.right) rect.right = side.right;
        if (rect.bottom > side.bottom) rect.bottom = side.bottom;
    }
}

int NextPick(const std::vector<const void*>& hits, const std::vector<const void*>& previous,
             const void* selected) {
    if (hits.empty()) return -1;
    if (hits == previous) {
        for (size_t i = 0; i < hits.size(); ++i)
            if (hits[i] == selected) return static_cast<int>((i + 1) % hits.size());
    }
    return 0;
}

bool NaturalSize(int pixelWidth, int pixelHeight, int& w, int& h, bool fit, int zoom, double unitsPerPixelX,
                 double unitsPerPixelY) {
    if (pixelWidth <= 0 || pixelHeight <= 0) return false;
    if (static_cast<double>(pixelWidth) > 500.0 * pixelHeight ||
        static_cast<double>(pixelHeight) > 500.0 * pixelWidth)
        return false;
    double bw = w, bh = h;
    const double z = zoom * 0.1;
    if (fit) {
        if (z <= 0 || unitsPerPixelX <= 0 || unitsPerPixelY <= 0) return false;
        bw = bw * unitsPerPixelX / z + 1;
        bh = bh * unitsPerPixelY / z + 1;
    }
    const double ratio = static_cast<double>(pixelWidth) / pixelHeight;
    if (bh > 0 && bw / bh > ratio)
        bw = bh * ratio;
    else
        bh = bw / ratio;
    if (fit) {
        bw = bw * z / unitsPerPixelX;
        bh = bh * z / unitsPerPixelY;
    }
    w = static_cast<int>(bw);
    h = static_cast<int>(bh);
    return true;
}

}  // namespace CanvasGeometry
