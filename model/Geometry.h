// Conversions between design lengths (thousandths of an inch) and device pixels, snapping of
// float rectangles to whole units, fitting one size into another and carrying a rectangle
// through a rotation. Every part that maps model to device uses these, so that all of them
// round alike: rnd(v) = floor(v + 0.5) in double precision; a right or bottom edge x + w is
// first rounded to a float; a size taken from rounded edges is their difference.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// floor(v + 0.5)
inline int RoundHalfUp(double v);

// Fits a source of a x b into a box of c x d: inside the box (fill off) or covering it (fill on),
// keeping the source's proportions; lengths are truncated. An empty source gives (0, 0); an
// empty box gives the box.
Gdiplus::Size FitSize(int a, int b, int c, int d, bool fill);
Gdiplus::SizeF FitSizeF(int a, int b, int c, int d);

Gdiplus::Point RoundPointF(float x, float y);
RECT RoundRectFToEdges(float x, float y, float w, float h);
inline RECT RoundRectFToEdges(const Gdiplus::RectF& r) {
    return RoundRectFToEdges(r.X, r.Y, r.Width, r.Height);
}
Gdiplus::Rect RoundRectF(float x, float y, float w, float h);
inline Gdiplus::Rect RoundRectF(const Gdiplus::RectF& r) {
    return RoundRectF(r.X, r.Y, r.Width, r.Height);
}
Gdiplus::RectF SnapRectF(float x, float y, float w, float h);
inline Gdiplus::RectF SnapRectF(const Gdiplus::RectF& r) {
    return SnapRectF(r.X, r.Y, r.Width, r.Height);
}
Gdiplus::Rect RectFromEdges(int left, int top, int right, int bottom);
RECT EdgesFromRect(int x, int y, int w, int h);
Gdiplus::Size GetRectSize(int x, int y, int w, int h);
Gdiplus::RectF NormalizeRectF(float x, float y, float w, float h);
inline Gdiplus::RectF NormalizeRectF(const Gdiplus::RectF& r) {
    return NormalizeRectF(r.X, r.Y, r.Width, r.Height);
}
Gdiplus::PointF CenterOfRectF(float x, float y, float w, float h);
Gdiplus::Point CenterOfRect(int x, int y, int w, int h);

// Model to device: (ox + (x + dx) * sx, oy + (y + dy) * sy), not rounded.
Gdiplus::PointF ScalePointF(float x, float y, double sx, double sy, float dx, float dy, int ox, int oy);
// Model to device with edges rounded: (ox + L, oy + T, R - L, B - T).
Gdiplus::RectF ScaleRectF(float x, float y, float w, float h, double sx, double sy, float dx, float dy,
                          int ox, int oy);
inline Gdiplus::RectF ScaleRectF(const Gdiplus::RectF& r, double sx, double sy, float dx, float dy, int ox,
                                 int oy) {
    return ScaleRectF(r.X, r.Y, r.Width, r.Height, sx, sy, dx, dy, ox, oy);
}
Gdiplus::Rect ScaleRect(int x, int y, int w, int h, double sx, double sy, float dx, float dy);
// Device to model.
Gdiplus::PointF UnscalePoint(int x, int y, double sx, double sy, int ox, int oy);
Gdiplus::RectF UnscaleRect(int left, int top, int right, int bottom, double sx, double sy, int dx, int dy);

// Moves the rectangle's origin through the matrix (when given) and turns its size by the angle
// (90, 180, 270 degrees; other angles keep it).
void TransformRectF(Gdiplus::RectF& rect, const Gdiplus::Matrix* matrix, float angle);

// A GDI+ integer rectangle from edges.
Gdiplus::Rect MakeGdipRect(int left, int top, int right, int bottom);

inline int RoundHalfUp(double v) {
    double f = v + 0.5;
    int i = static_cast<int>(f);
    return (static_cast<double>(i) > f) ? i - 1 : i;  // floor for negative values
}
