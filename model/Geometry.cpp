// Geometry helpers shared by the model, the renderer and the canvas.
#include "model/Geometry.h"

#include "framework/core/OperationError.h"

#include <cmath>

using namespace Gdiplus;

namespace {

// Rounds a sum to single precision first, as right and bottom edges are formed.
inline double Edge(float a, float b) {
    volatile float s = a + b;
    return static_cast<double>(s);
}

inline double Rnd(double v) {
    return std::floor(v + 0.5);
}

}  // namespace

Size FitSize(int a, int b, int c, int d, bool fill) {
    // An empty box or source has no proportions to keep (and would divide by zero).
    if (c == 0 || d == 0) return Size(c, d);
    if (a == 0 || b == 0) return Size(0, 0);
    long double r1 = static_cast<long double>(a) / b;
    long double r2 = static_cast<long double>(c) / d;
    Size byWidth(c, static_cast<INT>(b * (static_cast<long double>(c) / a)));
    Size byHeight(static_cast<INT>(a * (static_cast<long double>(d) / b)), d);
    if (r2 < r1) return fill ? byHeight : byWidth;
    if (r2 > r1) return fill ? byWidth : byHeight;
    return Size(c, d);
}

SizeF FitSizeF(int a, int b, int c, int d) {
    if (c == 0 || d == 0) return SizeF(static_cast<REAL>(c), static_cast<REAL>(d));
    if (a == 0 || b == 0) return SizeF(0.0f, 0.0f);
    float r1 = static_cast<float>(a) / static_cast<float>(b);
    float r2 = static_cast<float>(c) / static_cast<float>(d);
    if (r2 < r1)
        return SizeF(static_cast<REAL>(c),
                     static_cast<float>(c) / static_cast<float>(a) * static_cast<float>(b));
    if (r2 > r1)
        return SizeF(static_cast<float>(a) * (static_cast<float>(d) / static_cast<float>(b)),
                     static_cast<REAL>(d));
    return SizeF(static_cast<REAL>(c), static_cast<REAL>(d));
}

Point RoundPointF(float x, float y) {
    return Point(static_cast<INT>(Rnd(x)), static_cast<INT>(Rnd(y)));
}

RECT RoundRectFToEdges(float x, float y, float w, float h) {
    RECT r;
    r.left = static_cast<LONG>(Rnd(x));
    r.top = static_cast<LONG>(Rnd(y));
    r.right = static_cast<LONG>(Rnd(Edge(x, w)));
    r.bottom = static_cast<LONG>(Rnd(Edge(y, h)));
    return r;
}

Rect RoundRectF(float x, float y, float w, float h) {
    INT l = static_cast<INT>(Rnd(x));
    INT t = static_cast<INT>(Rnd(y));
    INT r = static_cast<INT>(Rnd(Edge(x, w)));
    INT b = static_cast<INT>(Rnd(Edge(y, h)));
    return Rect(l, t, r - l, b - t);
}

RectF SnapRectF(float x, float y, float w, float h) {
    Rect r = RoundRectF(x, y, w, h);
    return RectF(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width),
                 static_cast<REAL>(r.Height));
}

Rect RectFromEdges(int left, int top, int right, int bottom) {
    return Rect(left, top, right - left, bottom - top);
}

RECT EdgesFromRect(int x, int y, int w, int h) {
    RECT r = {x, y, x + w, y + h};
    return r;
}

Size GetRectSize(int x, int y, int w, int h) {
    (void)x;
    (void)y;
    return Size(w, h);
}

RectF NormalizeRectF(float x, float y, float w, float h) {
    if (w < 0) {
        w = -w;
        x = x - w;
    }
    if (h < 0) {
        h = -h;
        y = y - h;
    }
    return RectF(x, y, w, h);
}

PointF CenterOfRectF(float x, float y, float w, float h) {
    volatile float sx = x + Edge(x, w);
    volatile float sy = y + Edge(y, h);
    return PointF(sx * 0.5f, sy * 0.5f);
}

Point CenterOfRect(int x, int y, int w, int h) {
    return Point((2 * x + w) / 2, (2 * y + h) / 2);
}

PointF ScalePointF(float x, float y, double sx, double sy, float dx, float dy, int ox, int oy) {
    volatile float x1 = x + dx;
    volatile float y1 = y + dy;
    volatile float px = static_cast<float>(x1 * sx);
    volatile float py = static_cast<float>(y1 * sy);
    return PointF(static_cast<float>(ox) + px, static_cast<float>(oy) + py);
}

RectF ScaleRectF(float x, float y, float w, float h, double sx, double sy, float dx, float dy, int ox,
                 int oy) {
    volatile float x1 = x + dx;
    volatile float y1 = y + dy;
    double l = Rnd(x1 * sx);
    double t = Rnd(y1 * sy);
    double r = Rnd(Edge(w, x1) * sx);
    double b = Rnd(Edge(h, y1) * sy);
    return RectF(static_cast<REAL>(ox + l), static_cast<REAL>(t + oy), static_cast<REAL>(r - l),
                 static_cast<REAL>(b - t));
}

Rect ScaleRect(int x, int y, int w, int h, double sx, double sy, float dx, float dy) {
    RectF f = ScaleRectF(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                         static_cast<float>(h), sx, sy, dx, dy, 0, 0);
    return RoundRectF(f);
}

PointF UnscalePoint(int x, int y, double sx, double sy, int ox, int oy) {
    return PointF(static_cast<REAL>(Rnd((x + ox) / sx)), static_cast<REAL>(Rnd((y + oy) / sy)));
}

RectF UnscaleRect(int left, int top, int right, int bottom, double sx, double sy, int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    float l = static_cast<float>(Rnd(left / sx));
    float t = static_cast<float>(Rnd(top / sy));
    float r = static_cast<float>(Rnd(right / sx));
    float b = static_cast<float>(Rnd(bottom / sy));
    return RectF(l, t, r - l, b - t);
}

void TransformRectF(RectF& rect, const Matrix* matrix, float angle) {
    GuardOperation(520, [&] {
        GraphicsPath path;
        path.AddLine(rect.X, rect.Y, rect.X + rect.Width, rect.Y + rect.Height);
        if (matrix) path.Transform(matrix);
        INT count = path.GetPointCount();
        if (count > 0) {
            PointF* points = new PointF[count];
            if (path.GetPathPoints(points, count) == Ok) {
                rect.X = points[0].X;
                rect.Y = points[0].Y;
            }
            delete[] points;
        }
        float w = rect.Width, h = rect.Height;
        auto neg = [](float v) { return v == 0.0f ? v : -v; };
        if (angle == 180.0f) {
            rect.Width = neg(w);
            rect.Height = neg(h);
        } else if (angle == 90.0f) {
            rect.Width = neg(h);
            rect.Height = w;
        } else if (angle == 270.0f) {
            rect.Width = h;
            rect.Height = neg(w);
        }
    });
}

Rect MakeGdipRect(int left, int top, int right, int bottom) {
    return Rect(left, top, right - left, bottom - top);
}
