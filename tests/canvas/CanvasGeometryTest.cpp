// The canvas's arithmetic, exactly: buffer sizes, outline dashes, page placement, fit zoom and
// zoom steps, snapping and drag rules, the pick cycle and natural image sizes.
#include <doctest.h>

#include <vector>

#include "GdiplusSession.h"
#include "canvas/CalibrationPage.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/View.h"

#include <string>

using namespace CanvasGeometry;

TEST_CASE("the buffer is tried 100 pixels smaller each time down to 510") {
    std::vector<int> tried;
    CSize made = MakeBufferSize(3510, 3510, [&](int w, int h) {
        CHECK(w == h);
        tried.push_back(w);
        return w == 1810;
    });
    CHECK(made == CSize(1810, 1810));
    REQUIRE(tried.size() == 18);
    CHECK(tried.front() == 3510);
    CHECK(tried[1] == 3410);
    CHECK(tried.back() == 1810);

    tried.clear();
    made = MakeBufferSize(3510, 3510, [&](int w, int) {
        tried.push_back(w);
        return false;
    });
    CHECK(made == CSize(0, 0));
    CHECK(tried.size() == 31);
    CHECK(tried.back() == 510);
}

TEST_CASE("the buffer grows only for a page larger than it at 300 pixels per inch") {
    CSize grown;
    // Letter and A4 pages fit the first buffer: nothing changes.
    CHECK_FALSE(
        GrowBufferSize(CSize(3510, 3510), {CSize(8500, 11000), CSize(8268, 11693)}, 1000, 1000, grown));
    // A tabloid page: 11000 x 17000 is 3300 x 5100 pixels; the buffer becomes 2 pixels larger.
    REQUIRE(GrowBufferSize(CSize(3510, 3510), {CSize(11000, 17000)}, 1000, 1000, grown));
    CHECK(grown == CSize(3510 + 2, 5100 + 2));
    REQUIRE(GrowBufferSize(CSize(3510, 3510), {CSize(14000, 9000)}, 1000, 1000, grown));
    CHECK(grown == CSize(4200 + 2, 3510 + 2));
}

TEST_CASE("the outline's two pens are four patterns apart and move a pixel per tick") {
    int phase = 0;
    std::vector<int> phases;
    for (int i = 0; i < 9; ++i) {
        phase = NextDashPhase(phase);
        phases.push_back(phase);
    }
    CHECK(phases == std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1});
    for (int p = 0; p < kDashPatternCount; ++p) CHECK(SecondDashPhase(p) == (p + 4) % 8);
    // Each pattern is 4 on and 4 off, shifted by its phase: the lengths sum to 8.
    for (int p = 0; p < kDashPatternCount; ++p) {
        const float* d = DashPattern(p);
        CHECK(d[0] + d[1] + d[2] + d[3] == doctest::Approx(8.0f));
    }
    CHECK(DashPattern(0)[0] == 4.0f);
    CHECK(DashPattern(2)[1] == 2.0f);
    CHECK(DashPattern(2)[2] == 4.0f);
    CHECK(DashPattern(6)[0] == 2.0f);
}

TEST_CASE("a small page is centred, a large one sits 17 pixels in") {
    CHECK(CanvasOrigin(CSize(800, 600), CSize(400, 300), CSize(17, 17)) == CPoint(-200, -150));
    CHECK(CanvasOrigin(CSize(800, 600), CSize(1200, 300), CSize(17, 17)) == CPoint(-17, -150));
    CHECK(CanvasOrigin(CSize(800, 600), CSize(790, 900), CSize(17, 17)) == CPoint(-17, -17));
    // Odd differences truncate toward zero.
    CHECK(CanvasOrigin(CSize(801, 600), CSize(400, 301), CSize(17, 17)) == CPoint(-200, -149));
}

namespace {

FitZoomInput Input(CSize side, CSize client) {
    FitZoomInput in;
    in.side = side;
    in.page = CSize(side.cx + 1000, side.cy + 1000);
    in.pixelsPerUnitX = in.pixelsPerUnitY = 96 / 1000.0;
    in.client = CRect(-2, -2, client.cx + 2, client.cy + 2);
    in.clientInside = client;
    in.totalSize = CSize(3, 3);
    in.buffer = CSize(3510, 3510);
    in.margin = CSize(17, 17);
    in.hBarHeight = in.vBarWidth = 16;
    in.pageOrigin = CPoint(-17, -17);
    return in;
}

}  // namespace

TEST_CASE("fit zoom over side, client, buffer and bars") {
    // A 4.7-inch disc in an 800 x 600 window: the zoom is the largest level whose side fits in
    // the client area less 27 pixels on each side (550 pixels high at most).
    FitZoomInput in = Input(CSize(4724, 4724), CSize(800, 600));
    FitZoomResult r = FitZoom(in);
    // Level 12 is 4724 * 0.096 * 1.2 = 544 pixels, level 13 is 590.
    CHECK(r.zoom == 12);
    // A tiny side reaches the top level.
    r = FitZoom(Input(CSize(100, 100), CSize(800, 600)));
    CHECK(r.zoom == 50);
    // A side that does not fit at level 4 gets level 3.
    r = FitZoom(Input(CSize(20000, 20000), CSize(800, 600)));
    CHECK(r.zoom == 3);
    // The buffer limits too: a page wider than the buffer at a level stops the search.
    in = Input(CSize(4724, 4724), CSize(4000, 4000));
    in.buffer = CSize(1000, 1000);
    r = FitZoom(in);
    CHECK(r.zoom == 17);
    CHECK(WideSideSize(in.page, in.pixelsPerUnitX, in.pixelsPerUnitY, 17, in.pageOrigin).cx <= 1000);
    CHECK(WideSideSize(in.page, in.pixelsPerUnitX, in.pixelsPerUnitY, 18, in.pageOrigin).cx > 1000);
    // A page that overflows the window after fitting needs a scroll bar: one more pass with the
    // client area less the bar.
    in = Input(CSize(4724, 4724), CSize(800, 600));
    in.page = CSize(9000, 9000);
    r = FitZoom(in);
    CHECK(r.passes == 2);
    // The bars take 16 pixels of the 550: level 12 (544 pixels) no longer fits.
    CHECK(r.zoom == 11);
    CHECK(r.pageOrigin == CPoint(-17, -17));
}

TEST_CASE("zoom steps") {
    CHECK(ZoomOutLevel(6) == 4);
    CHECK(ZoomOutLevel(5) == -1);
    CHECK(ZoomOutLevel(4) == -1);
    CHECK(ZoomOutLevel(12) == 10);
    const double ppu = 96 / 1000.0;
    CHECK(ZoomInLevel(10, CSize(8500, 11000), ppu, ppu, CPoint(-17, -17), CSize(3510, 3510)) == 12);
    // No fixed top level: only the buffer. 11000 units at level 32 are 3379 pixels + 54.
    CHECK(ZoomInLevel(30, CSize(8500, 11000), ppu, ppu, CPoint(-17, -17), CSize(3510, 3510)) == 32);
    CHECK(ZoomInLevel(32, CSize(8500, 11000), ppu, ppu, CPoint(-17, -17), CSize(3510, 3510)) == -1);
}

TEST_CASE("snapping and the drag rules") {
    // A grid of 100 on a side starting at x = 50.
    CHECK(SnapToGrid(377, 50, 100) == 350);
    CHECK(SnapToGrid(349, 50, 100) == 250);
    // Left of the side's origin it truncates toward the origin.
    CHECK(SnapToGrid(-80, 50, 100) == -50);
    // A step of 0 or below counts as 1.
    CHECK(SnapToGrid(377, 50, 0) == 377);
    CHECK(SnapToGrid(377, 50, -10) == 377);

    const CRect side(50, 50, 5050, 5050);
    const CRect start(1000, 1000, 2000, 1400);
    const CPoint p1(10, 10);  // one pixel in design units
    CRect moved = DragRect("Move", start, CPoint(237, 61), p1, &side, true, CSize(100, 100));
    CHECK(moved == CRect(1160, 1060, 2160, 1460));  // left at 50 + 1100 + one pixel
    CRect unsnapped = DragRect("Move", start, CPoint(237, 61), p1, &side, false, CSize(100, 100));
    CHECK(unsnapped == CRect(1237, 1061, 2237, 1461));
    CRect right = DragRect("Right", start, CPoint(237, 61), p1, &side, true, CSize(100, 100));
    CHECK(right == CRect(1000, 1000, 2150, 1400));  // right edge exactly on the grid
    CRect topLeft = DragRect("TopLeft", start, CPoint(-237, -61), p1, &side, true, CSize(100, 100));
    CHECK(topLeft == CRect(760, 860, 2000, 1400));

    // Moving keeps the rectangle inside the side, a larger one ends at the right and bottom.
    CRect r(4500, -200, 5600, 300);
    ConstrainRect("Move", r, side, CSize(0, 0), false, false, nullptr);
    CHECK(r == CRect(3950, 50, 5050, 550));
    r = CRect(0, 0, 6000, 6000);
    ConstrainRect("Move", r, side, CSize(0, 0), false, false, nullptr);
    CHECK(r == CRect(-950, -950, 5050, 5050));
    // Resizing a text: at least the minimum size, clipped to the side.
    r = CRect(1000, 1000, 1010, 1400);
    ConstrainRect("Right", r, side, CSize(100, 100), false, false, nullptr);
    CHECK(r == CRect(1000, 1000, 1100, 1400));
    r = CRect(1000, 1000, 9000, 1400);
    ConstrainRect("Right", r, side, CSize(100, 100), false, false, nullptr);
    CHECK(r.right == 5050);
    // An image keeping its ratio resized by its right handle stays centred on its middle.
    r = CRect(1000, 1000, 3000, 2000);
    ConstrainRect("Right", r, side, CSize(100, 100), true, true, [](int& w, int& h) {
        h = w / 2;
        return true;
    });
    CHECK(r == CRect(1000, 1000, 3000, 2000));
    r = CRect(1000, 1000, 2000, 2000);
    ConstrainRect("Right", r, side, CSize(100, 100), true, true, [](int& w, int& h) {
        h = w / 2;
        return true;
    });
    CHECK(r == CRect(1000, 1250, 2000, 1750));
    // A refused natural size keeps the dragged rectangle; images may leave the side.
    r = CRect(4000, 1000, 7000, 2000);
    ConstrainRect("Right", r, side, CSize(100, 100), true, true, [](int&, int&) { return false; });
    CHECK(r == CRect(4000, 1000, 7000, 2000));
}

TEST_CASE("repeated presses cycle through the stacked objects") {
    int a, b, c;
    const void* small = &a;
    const void* middle = &b;
    const void* large = &c;
    std::vector<const void*> hits{small, middle, large};
    CHECK(NextPick(hits, {}, nullptr) == 0);
    CHECK(NextPick(hits, hits, small) == 1);
    CHECK(NextPick(hits, hits, middle) == 2);
    CHECK(NextPick(hits, hits, large) == 0);
    // Another place: the smallest again.
    CHECK(NextPick(hits, {small, large}, middle) == 0);
    CHECK(NextPick({}, {}, nullptr) == -1);
}

TEST_CASE("natural sizes and their refusals") {
    int w = 3000, h = 3000;
    REQUIRE(NaturalSize(400, 200, w, h, false, 10, 1000 / 96.0, 1000 / 96.0));
    CHECK(w == 3000);
    CHECK(h == 1500);
    w = 3000, h = 1000;
    REQUIRE(NaturalSize(400, 200, w, h, false, 10, 1000 / 96.0, 1000 / 96.0));
    CHECK(w == 2000);
    CHECK(h == 1000);
    w = h = 1000;
    CHECK_FALSE(NaturalSize(0, 200, w, h, false, 10, 10, 10));
    CHECK_FALSE(NaturalSize(200, 0, w, h, false, 10, 10, 10));
    CHECK_FALSE(NaturalSize(501, 1, w, h, false, 10, 10, 10));
    CHECK_FALSE(NaturalSize(1, 501, w, h, false, 10, 10, 10));
    CHECK(NaturalSize(500, 1, w, h, false, 10, 10, 10));
    CHECK(w == 1000);  // the refusals left the box alone until the last call
    // With fit, the box goes to screen pixels and back at the zoom.
    w = 3000, h = 3000;
    REQUIRE(NaturalSize(400, 200, w, h, true, 20, 1000 / 96.0, 1000 / 96.0));
    CHECK(w == 3000);
    CHECK(h == 1500);
}

TEST_CASE(
    "the calibration page: crosshair, ticks every 25 with long ones every 125, labels around the offsets") {
    CalibrationPrimitives page = BuildCalibrationPage(8500, 11000, 250, 300, 3, -2, false, true, 150, 100);
    const int cx = 4250, cy = 5500;
    // Two crosshair lines and 81 ticks on each scale.
    REQUIRE(page.lines.size() == 2 + 2 * 81);
    CHECK((page.lines[0].x1 == cx - 1500 && page.lines[0].x2 == cx + 1500 && page.lines[0].y1 == cy));
    CHECK((page.lines[1].y1 == cy - 1500 && page.lines[1].y2 == cy + 1500 && page.lines[1].x1 == cx));
    int longTicks = 0;
    for (size_t i = 2; i < page.lines.size(); i += 2) {
        const CalibrationLine& h = page.lines[i];
        CHECK(h.x1 == h.x2);
        const int reach = h.y2 - cy;
        CHECK((reach == 25 || reach == 50));
        if (reach == 50) {
            ++longTicks;
            CHECK((h.x1 - cx + 1000) % 125 == 0);
        }
    }
    CHECK(longTicks == 17);
    // The texts: sixteen lines from the printable area's corner + 500, then the labels.
    REQUIRE(page.texts.size() >= 16 + 16 + 4);
    CHECK(page.texts[0].text == "Korvanelle Printer Calibration");
    CHECK(page.texts[0].x == 750);
    CHECK(page.texts[0].y == 800);
    CHECK(page.texts[0].factor == 1815);
    CHECK(page.texts[1].text == "Printed Page Size: Letter  (8.5'' x 11'')");
    CHECK(page.texts[2].text.IsEmpty());
    CHECK(page.texts[15].text == "adjust if there is a large offset.");
    std::vector<std::string> horizontal;
    for (size_t i = 16; i < page.texts.size(); ++i)
        if (page.texts[i].factor == 825 && (page.texts[i].align & TA_CENTER) == TA_CENTER)
            horizontal.push_back(page.texts[i].text.GetString());
    // Eight labels (the centre one left out) reading the horizontal offset - 40 + 10 n.
    CHECK(horizontal == std::vector<std::string>{"-37", "-27", "-17", "-7", "13", "23", "33", "43"});
    bool vertical = false;
    for (const CalibrationText& t : page.texts)
        if (t.text == "-2" + CString()) vertical = true;
    CHECK_FALSE(vertical);  // the centre of the vertical scale is not labelled either
    CalibrationPrimitives a4 = BuildCalibrationPage(8268, 11693, 0, 0, 0, 0, true, false, 150, 100);
    CHECK(a4.texts[1].text == "Printed Page Size: A4  (210mm x 297mm)");
    CHECK(CalibrationFontHeight(1000, 0.3, 1.0, 96) == 133);
}

TEST_CASE("an outline far larger than the window is drawn only where it shows, dash for dash as the whole") {
    REQUIRE(kvtest::GdiplusReady());
    const CRect window(0, 0, 200, 150);
    for (const Gdiplus::Rect& r : {Gdiplus::Rect(-3000, 40, 9000, 60), Gdiplus::Rect(30, 20, 5000, 4000)}) {
        const CPoint corners[4] = {CPoint(r.X - 1, r.Y - 1), CPoint(r.X + r.Width, r.Y - 1),
                                   CPoint(r.X + r.Width, r.Y + r.Height), CPoint(r.X - 1, r.Y + r.Height)};
        std::vector<OutlineRun> runs;
        REQUIRE(OutlineRuns(corners, window, runs));
        long length = 0;
        for (const OutlineRun& run : runs)
            length += std::abs(run.to.x - run.from.x) + std::abs(run.to.y - run.from.y);
        CHECK(length < 2 * (window.Width() + window.Height()) + 8 * kDashPeriod);
        auto pixels = [&](bool whole) {
            Gdiplus::Bitmap b(200, 150, PixelFormat24bppRGB);
            {
                Gdiplus::Graphics g(&b);
                g.Clear(Gdiplus::Color(0xFF808080));
                Gdiplus::Pen black(Gdiplus::Color(0xFF000000), 1), white(Gdiplus::Color(0xFFFFFFFF), 1);
                black.SetDashPattern(DashPattern(3), 4);
                white.SetDashPattern(DashPattern(SecondDashPhase(3)), 4);
                if (whole) {
                    g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
                    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
                    Gdiplus::PointF points[5];
                    for (int k = 0; k < 5; ++k)
                        points[k] =
                            Gdiplus::PointF(Gdiplus::REAL(corners[k % 4].x), Gdiplus::REAL(corners[k % 4].y));
                    g.DrawLines(&black, points, 5);
                    g.DrawLines(&white, points, 5);
                } else {
                    DrawDashedOutline(g, r, window, black, white);
                }
            }
            std::vector<Gdiplus::ARGB> out;
            for (INT y = 0; y < 150; ++y)
                for (INT x = 0; x < 200; ++x) {
                    Gdiplus::Color c;
                    b.GetPixel(x, y, &c);
                    out.push_back(c.GetValue());
                }
            return out;
        };
        CHECK(pixels(true) == pixels(false));
    }
}
