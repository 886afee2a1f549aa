#include <doctest.h>

#include <cmath>

#include "GdiplusSession.h"
#include "model/Geometry.h"

using namespace Gdiplus;

TEST_CASE("rounding to whole units") {
    Rect r = RoundRectF(0.4f, 0.4f, 0.4f, 0.4f);
    CHECK(r.X == 0);
    CHECK(r.Y == 0);
    CHECK(r.Width == 1);
    CHECK(r.Height == 1);
    Point p = RoundPointF(-0.5f, 2.5f);
    CHECK(p.X == 0);
    CHECK(p.Y == 3);
    RECT e = RoundRectFToEdges(-2.5f, 1.49f, 5.0f, 0.02f);
    CHECK(e.left == -2);
    CHECK(e.top == 1);
    CHECK(e.right == 3);
    CHECK(e.bottom == 2);
    RectF s = SnapRectF(0.4f, 0.4f, 0.4f, 0.4f);
    CHECK(s.Width == 1.0f);
    CHECK(RoundHalfUp(-2.5) == -2);
    CHECK(RoundHalfUp(2.5) == 3);
    CHECK(RoundHalfUp(-2.6) == -3);
}

TEST_CASE("fitting sizes") {
    Size in = FitSize(400, 300, 100, 100, false);
    CHECK(in.Width == 100);
    CHECK(in.Height == 75);
    Size cover = FitSize(400, 300, 100, 100, true);
    CHECK(cover.Width == 133);
    CHECK(cover.Height == 100);
    Size tall = FitSize(300, 400, 100, 100, false);
    CHECK(tall.Width == 75);
    CHECK(tall.Height == 100);
    Size same = FitSize(200, 100, 50, 25, true);
    CHECK(same.Width == 50);
    CHECK(same.Height == 25);
    SizeF f = FitSizeF(400, 300, 100, 100);
    CHECK(f.Height == doctest::Approx(75.0f));

    // empty sizes return without dividing
    Size z = FitSize(0, 300, 100, 100, false);
    CHECK(z.Width == 0);
    CHECK(z.Height == 0);
    Size z2 = FitSize(400, 0, 100, 100, true);
    CHECK(z2.Width == 0);
    Size box = FitSize(400, 300, 0, 100, false);
    CHECK(box.Width == 0);
    CHECK(box.Height == 100);
    SizeF zf = FitSizeF(400, 300, 100, 0);
    CHECK(zf.Width == 100.0f);
    CHECK(zf.Height == 0.0f);
}

TEST_CASE("rectangle helpers") {
    Point c = CenterOfRect(0, 0, -3, -3);
    CHECK(c.X == -1);
    CHECK(c.Y == -1);
    c = CenterOfRect(1, 1, 3, 3);
    CHECK(c.X == 2);
    RectF n = NormalizeRectF(10, 10, -4, 6);
    CHECK(n.X == 6.0f);
    CHECK(n.Width == 4.0f);
    CHECK(n.Y == 10.0f);
    PointF cf = CenterOfRectF(1, 2, 3, 4);
    CHECK(cf.X == 2.5f);
    CHECK(cf.Y == 4.0f);
    Rect fe = RectFromEdges(1, 2, 11, 22);
    CHECK(fe.Width == 10);
    RECT ef = EdgesFromRect(1, 2, 10, 20);
    CHECK(ef.bottom == 22);
    Rect g = MakeGdipRect(5, 6, 15, 36);
    CHECK(g.X == 5);
    CHECK(g.Width == 10);
    CHECK(g.Height == 30);
    CHECK(GetRectSize(1, 2, 3, 4).Height == 4);
}

TEST_CASE("model to device and back") {
    // 96 dpi at 100 %: 0.096 pixels per unit
    RectF r = ScaleRectF(1000, 500, 2000, 1000, 0.096, 0.096, 0, 0, 10, 20);
    CHECK(r.X == 106.0f);
    CHECK(r.Y == 68.0f);
    CHECK(r.Width == 192.0f);
    CHECK(r.Height == 96.0f);
    // edges rounded, the size is the difference of rounded edges
    RectF odd = ScaleRectF(0.4f, 0, 0.4f, 1, 1.0, 1.0, 0, 0, 0, 0);
    CHECK(odd.X == 0.0f);
    CHECK(odd.Width == 1.0f);
    Rect ir = ScaleRect(100, 100, 50, 50, 0.5, 0.5, -100, 0);
    CHECK(ir.X == 0);
    CHECK(ir.Y == 50);
    CHECK(ir.Width == 25);
    PointF p = ScalePointF(10, 20, 2.0, 3.0, 1, 1, 5, 6);
    CHECK(p.X == 27.0f);
    CHECK(p.Y == 69.0f);
    PointF u = UnscalePoint(48, 0, 0.096, 0.096, 0, 0);
    CHECK(u.X == 500.0f);
    RectF ur = UnscaleRect(0, 0, 96, 48, 0.096, 0.096, 0, 0);
    CHECK(ur.Width == 1000.0f);
    CHECK(ur.Height == 500.0f);
}

TEST_CASE("rotating a rectangle") {
    REQUIRE(kvtest::GdiplusReady());
    RectF r(10, 20, 30, 40);
    TransformRectF(r, nullptr, 90.0f);
    CHECK(r.X == 10.0f);
    CHECK(r.Y == 20.0f);
    CHECK(r.Width == -40.0f);
    CHECK(r.Height == 30.0f);
    RectF r2(10, 20, 30, 0);
    TransformRectF(r2, nullptr, 180.0f);
    CHECK(r2.Width == -30.0f);
    CHECK(r2.Height == 0.0f);
    CHECK_FALSE(std::signbit(r2.Height));
    RectF r3(0, 0, 30, 40);
    Matrix m;
    m.Translate(5, 7);
    TransformRectF(r3, &m, 270.0f);
    CHECK(r3.X == 5.0f);
    CHECK(r3.Y == 7.0f);
    CHECK(r3.Width == 40.0f);
    CHECK(r3.Height == -30.0f);
    RectF r4(1, 2, 3, 4);
    TransformRectF(r4, nullptr, 45.0f);
    CHECK(r4.Width == 3.0f);
}
