#include "render/RenderMath.h"

#include <cmath>

#include "model/ViewObject.h"

using namespace Gdiplus;

int RoundUpToFive(int v) {
    int r = v % 5;
    if (r == 0) return v;
    return r > 0 ? v + (5 - r) : v - r;
}

int AutoFitStartSize(const LOGFONTA* firstFont) {
    int s = firstFont ? static_cast<int>(firstFont->lfHeight) : 400;
    if (s < 100) s = 100;
    return (s / 5 + 1) * 5;
}

AutoFitSearch::Step AutoFitSearch::Next(bool fits) {
    if (fits) {
        if (size == lo) return kStop;
        lo = size;
    } else {
        hi = size;
    }
    if (hi == kAutoFitMinSize || lo == kAutoFitMaxSize || tries > kAutoFitMaxTries) return kGiveUp;
    ++tries;
    const int last = size;
    int next;
    if (lo == -1) {
        next = RoundUpToFive(static_cast<int>(last * 0.9));
        if (next == last) next -= 5;
        if (next < kAutoFitMinSize) next = kAutoFitMinSize;
    } else if (hi == -1) {
        next = RoundUpToFive(static_cast<int>(last * 1.1));
        if (next == last) next += 5;
        if (next > kAutoFitMaxSize) next = kAutoFitMaxSize;
    } else {
        next = RoundUpToFive((lo + hi) / 2);
        if (fits && next >= hi) return kStop;
        if (next == last) next = fits ? next + 5 : next - 5;
    }
    size = next;
    return kTry;
}

int ShrinkTableSize(int size) {
    int next = (static_cast<int>(size * 0.95) / 5 + 1) * 5;
    if (next == size) next -= 5;
    if (next < kAutoFitMinSize) next = kAutoFitMinSize;
    return next;
}

LineSegments ComputeRingSegments(const DiscRing& ring, float areaWidth, float t, float h) {
    LineSegments seg;
    const float R = ring.centre, r = ring.holeRadius, m = ring.margin;
    const float ox = ring.originX;
    const float y0 = ring.originY + t;

    // Outer edge: the line edge farther from the centre decides how wide the ring is there.
    float e = (R < y0 + h / 2) ? y0 + h : y0;
    float d = std::fabs(R - e);
    float outer = (R - m) * (R - m) - d * d;
    if (!(outer > 0)) {
        seg.left1 = seg.right1 = R - ox;
        return seg;
    }
    float s = std::sqrt(outer);
    seg.left1 = R - s;
    seg.right1 = R + s;
    if (seg.left1 < ox) seg.left1 = ox;
    if (seg.right1 > ox + areaWidth) seg.right1 = ox + areaWidth;
    seg.left2 = seg.right2 = ox;  // empty until the hole splits the line

    // Hole: the line edge nearest the centre.
    float e2;
    if (y0 >= R)
        e2 = y0;
    else if (y0 + h <= R)
        e2 = y0 + h;
    else
        e2 = R;
    float dh = std::fabs(R - e2);
    if (dh < r + m) {
        float q = std::sqrt((r + m) * (r + m) - (R - e2) * (R - e2));
        float holeLeft = R - q, holeRight = R + q;
        seg.left2 = seg.left1;
        seg.right2 = seg.right1;
        int cuts = 0;
        if (holeLeft > seg.left1 && holeLeft < seg.right1) {
            seg.right1 = holeLeft;
            ++cuts;
        }
        if (holeRight > seg.left2 && holeRight < seg.right2) {
            seg.left2 = holeRight;
            ++cuts;
        }
        // Unless the hole split the line in two, one stretch is left: the narrower of the two
        // (the part outside the hole). Two identical stretches would place a line's characters
        // twice over the same room.
        if (cuts != 2) {
            if (seg.Width2() < seg.Width1()) {
                seg.left1 = seg.left2;
                seg.right1 = seg.right2;
            }
            seg.left2 = seg.right2 = ox;
        }
        if (holeLeft <= seg.left1 && seg.right1 <= holeRight) seg.right1 = seg.left1;
    }
    seg.left1 -= ox;
    seg.right1 -= ox;
    seg.left2 -= ox;
    seg.right2 -= ox;
    return seg;
}

int TwoColumnSplitRow(int rowCount) {
    if (rowCount <= 0) return -1;
    int middle = (rowCount % 2 == 0) ? rowCount / 2 - 1 : rowCount / 2;
    if (middle < 0) middle = 0;
    if (middle > rowCount - 1) middle = rowCount - 1;
    return middle;
}

int UnderlineThickness(float lineHeight, float baseline) {
    return static_cast<int>(std::floor((lineHeight - baseline) * 0.25 + 0.5));
}

SideShape ComputeSideShape(const ViewObject* side, int purpose, const float* geometry) {
    SideShape shape;
    if (!side) return shape;
    shape.disc = side->IsDisc();
    shape.outer = side->GetRectF(false);
    if (!shape.disc) return shape;
    shape.hole = side->GetRectF(true);
    if (purpose == 7 && geometry) {
        if (static_cast<float>(side->width) < geometry[2])
            shape.outer = RectF(geometry[0], geometry[1], geometry[2], geometry[3]);
        if (static_cast<float>(side->height) > geometry[6])
            shape.hole = RectF(geometry[4], geometry[5], geometry[6], geometry[7]);
    }
    return shape;
}

RectF ComputeBleedRect(const ViewObject* object, int margin) {
    RectF r = object->GetRectF(false);
    if (margin == 0) return r;
    const float m = static_cast<float>(margin);
    if (object->IsDisc()) {
        r.X -= m;
        r.Y -= m;
        r.Width += 2 * m;
        r.Height += 2 * m;
        return r;
    }
    r.Y -= m;
    r.Height += 2 * m;
    if (object->IsLeftTab() || object->IsFrontCoverInside()) {
        r.X -= m;
        r.Width += m;
    } else if (object->IsRightTab()) {
        r.Width += m;
    } else if (object->IsFoldedFrontCover()) {
        // The rectangle already spans both panels; only the outer (right) edge is a cut line of
        // its own here, the inside panel's edge is bled by the inside boundary.
        r.Width += m;
    } else if (object->IsFrontCover()) {
        r.X -= m;
        r.Width += 2 * m;
    }
    return r;
}

void ComputeHandleRects(const Rect& R, Rect out[11]) {
    const int cx = R.X + R.Width / 2, cy = R.Y + R.Height / 2;
    const int right = R.X + R.Width, bottom = R.Y + R.Height;
    out[0] = Rect(R.X - 10, R.Y - 10, 10, 10);
    out[1] = Rect(cx - 5, R.Y - 10, 10, 10);
    out[2] = Rect(right, R.Y - 10, 10, 10);
    out[3] = Rect(right, cy - 5, 10, 10);
    out[4] = Rect(right, bottom, 10, 10);
    out[5] = Rect(cx - 5, bottom, 10, 10);
    out[6] = Rect(R.X - 10, bottom, 10, 10);
    out[7] = Rect(R.X - 10, cy - 5, 10, 10);
    out[8] = Rect(0, 0, 0, 0);
    out[9] = R;
    out[10] = Rect(R.X - 12, R.Y - 12, R.Width + 24, R.Height + 24);
}

int GridStep(int step) {
    return step < 1 ? 1 : step;
}
