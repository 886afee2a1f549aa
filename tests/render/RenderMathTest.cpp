// The renderer's arithmetic, checked exactly: AutoFit sizes, ring segments, the two-column split,
// underline thickness, side shapes, background bleed, handle rectangles and the grid step.
#include <doctest.h>

#include <cmath>
#include <vector>

#include "model/ViewObject.h"
#include "render/RenderMath.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

namespace {

// Runs a whole search against a fit rule; returns the sizes tried, the last one last.
std::vector<int> RunSearch(int start, bool (*fits)(int), AutoFitSearch::Step* end) {
    AutoFitSearch s(start);
    std::vector<int> tried;
    for (int guard = 0; guard < 200; ++guard) {
        tried.push_back(s.size);
        AutoFitSearch::Step step = s.Next(fits(s.size));
        if (step != AutoFitSearch::kTry) {
            if (step == AutoFitSearch::kGiveUp) tried.push_back(s.size);
            *end = step;
            return tried;
        }
    }
    *end = AutoFitSearch::kTry;
    return tried;
}

struct ObjectHolder {
    ViewObject* o;
    explicit ObjectHolder(ViewObject* p) : o(p) {}
    ~ObjectHolder() { DeleteViewObject(o); }
};

}  // namespace

TEST_CASE("AutoFit start size and search") {
    LOGFONTA f = {};
    f.lfHeight = 120;
    CHECK(AutoFitStartSize(&f) == 125);  // 12 points start at 12.5
    f.lfHeight = 125;
    CHECK(AutoFitStartSize(&f) == 130);  // strictly above
    f.lfHeight = 40;
    CHECK(AutoFitStartSize(&f) == 105);  // raised to 10 points first
    CHECK(AutoFitStartSize(nullptr) == 405);
    CHECK(RoundUpToFive(112) == 115);
    CHECK(RoundUpToFive(115) == 115);

    AutoFitSearch::Step end;
    SUBCASE("ends on the largest multiple of 5 that fits") {
        auto tried = RunSearch(
            125, [](int s) { return s <= 237; }, &end);
        CHECK(end == AutoFitSearch::kStop);
        CHECK(tried.back() == 235);
        for (size_t i = 1; i < tried.size(); ++i) CHECK(tried[i] % 5 == 0);
    }
    SUBCASE("shrinking from above") {
        auto tried = RunSearch(
            405, [](int s) { return s <= 163; }, &end);
        CHECK(end == AutoFitSearch::kStop);
        CHECK(tried.back() == 160);
        CHECK(tried[1] == 365);  // 405 x 0.9 = 364.5 -> 364 -> 365
    }
    SUBCASE("nothing fits: gives up at 25") {
        auto tried = RunSearch(
            125, [](int) { return false; }, &end);
        CHECK(end == AutoFitSearch::kGiveUp);
        CHECK(tried.back() == 25);
    }
    SUBCASE("everything fits: gives up at 5000") {
        auto tried = RunSearch(
            4000, [](int) { return true; }, &end);
        CHECK(end == AutoFitSearch::kGiveUp);
        CHECK(tried.back() == 5000);
    }
    SUBCASE("an erratic fit gives up after 70 tries") {
        auto tried = RunSearch(
            1000, [](int s) { return (s / 5) % 2 == 0; }, &end);
        CHECK(end != AutoFitSearch::kTry);
        CHECK(tried.size() <= 72);
    }
    CHECK(ShrinkTableSize(100) == 100 - 5);  // 95 -> next multiple above is 100 -> equal, 5 less
    CHECK(ShrinkTableSize(200) == 195);
    CHECK(ShrinkTableSize(25) == 25);
}

TEST_CASE("line segments in a disc's ring") {
    DiscRing ring;
    ring.centre = 2300;  // a disc 4600 across
    ring.holeRadius = 300;
    ring.margin = 100;
    ring.originX = 100;  // text area from x 100 to 4500 of the disc square
    ring.originY = 0;
    const float areaW = 4400;

    SUBCASE("a line across the hole is split around it") {
        LineSegments s = ComputeRingSegments(ring, areaW, 2250, 100);  // y 2250..2350 holds the centre
        // outer: the edge farther from the centre is 2350 (d = 50): s = sqrt(2200^2 - 50^2)
        const float so = std::sqrt(2200.0f * 2200.0f - 50.0f * 50.0f);
        CHECK(s.left1 == doctest::Approx(2300 - so - 100).epsilon(1e-5));
        // hole: the nearest edge is the centre itself, q = 400
        CHECK(s.right1 == doctest::Approx(2300 - 400 - 100));
        CHECK(s.left2 == doctest::Approx(2300 + 400 - 100));
        CHECK(s.right2 == doctest::Approx(std::min(2300 + so, 4500.0f) - 100).epsilon(1e-5));
    }
    SUBCASE("a line clear of the hole has one stretch") {
        LineSegments s = ComputeRingSegments(ring, areaW, 600, 200);  // 600..800, hole band 1900..2700
        CHECK(s.Empty2());
        const float d = 2300 - 600;
        const float so = std::sqrt(2200.0f * 2200.0f - d * d);
        CHECK(s.left1 == doctest::Approx(2300 - so - 100).epsilon(1e-5));
        CHECK(s.right1 == doctest::Approx(2300 + so - 100).epsilon(1e-5));
    }
    SUBCASE("a line outside the ring is empty") {
        LineSegments s = ComputeRingSegments(ring, areaW, 0, 50);
        CHECK(!(s.Width1() > 0));
        CHECK(s.Empty2());
    }
    SUBCASE("a narrow area beside the hole keeps only the part outside it") {
        DiscRing r2 = ring;
        r2.originX = 2500;  // area from 2500 to 2900 of the square: the hole covers 1900..2700 there
        LineSegments s = ComputeRingSegments(r2, 400, 2250, 100);
        CHECK(s.Empty2());
        CHECK(s.left1 == doctest::Approx(200));  // 2700 - 2500
        CHECK(s.right1 == doctest::Approx(400));
    }
    SUBCASE("an area wholly inside the hole gets no room") {
        DiscRing r3 = ring;
        r3.originX = 2200;
        LineSegments s = ComputeRingSegments(r3, 200, 2250, 100);
        CHECK(!(s.Width1() > 0));
        CHECK(s.Empty2());
    }
}

TEST_CASE("two-column split, underline thickness, grid step") {
    CHECK(TwoColumnSplitRow(5) == 2);  // tracks 1 to 3 on the left
    CHECK(TwoColumnSplitRow(4) == 1);  // two and two
    CHECK(TwoColumnSplitRow(1) == 0);
    CHECK(TwoColumnSplitRow(2) == 0);
    CHECK(TwoColumnSplitRow(0) == -1);
    CHECK(UnderlineThickness(1000, 800) == 50);
    CHECK(UnderlineThickness(1000, 802) == 50);  // 49.5 rounds up
    CHECK(UnderlineThickness(1000, 803) == 49);
    CHECK(GridStep(0) == 1);
    CHECK(GridStep(-30) == 1);
    CHECK(GridStep(30) == 30);
}

TEST_CASE("side shapes") {
    const float ls[8] = {0, 0, 4622, 4622, 1374, 1374, 1874, 1874};
    ObjectHolder disc(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 100, 200, 4000, 1500));
    SideShape own = ComputeSideShape(disc.o, 1, ls);
    CHECK(own.disc);
    CHECK(own.outer.Equals(RectF(100, 200, 4000, 4000)));
    CHECK(own.hole.Equals(RectF(100 + 1250, 200 + 1250, 1500, 1500)));
    SideShape lsShape = ComputeSideShape(disc.o, 7, ls);
    CHECK(lsShape.outer.Equals(RectF(0, 0, 4622, 4622)));  // smaller disc: the printer's circle
    CHECK(lsShape.hole.Equals(own.hole));                  // its hole is smaller than the printer's
    disc.o->width = 4700;
    disc.o->height = 2000;
    SideShape big = ComputeSideShape(disc.o, 7, ls);
    CHECK(big.outer.Equals(RectF(100, 200, 4700, 4700)));
    CHECK(big.hole.Equals(RectF(1374, 1374, 1874, 1874)));

    ObjectHolder cover(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 10, 20, 300, 400));
    SideShape c = ComputeSideShape(cover.o, 7, ls);
    CHECK(!c.disc);
    CHECK(c.outer.Equals(RectF(10, 20, 300, 400)));
}

TEST_CASE("background bleed") {
    ObjectHolder front(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 4000, 3000));
    CHECK(ComputeBleedRect(front.o, 0).Equals(RectF(1000, 1000, 4000, 3000)));
    CHECK(ComputeBleedRect(front.o, 100).Equals(RectF(900, 900, 4200, 3200)));
    front.o->bFolded = 1;  // both panels already in the rectangle: only the outer edge grows
    CHECK(ComputeBleedRect(front.o, 100).Equals(RectF(1000, 900, 4100, 3200)));

    ObjectHolder left(NewViewObject(kObjectBoundary, "Left Tab", 3, "Back Cover", 1000, 1000, 250, 3000));
    CHECK(ComputeBleedRect(left.o, 100).Equals(RectF(900, 900, 350, 3200)));
    ObjectHolder right(NewViewObject(kObjectBoundary, "Right Tab", 3, "Back Cover", 5000, 1000, 250, 3000));
    CHECK(ComputeBleedRect(right.o, 100).Equals(RectF(5000, 900, 350, 3200)));
    ObjectHolder inside(
        NewViewObject(kObjectBoundary, "Front Cover (Inside)", 2, "Front Cover", 1000, 1000, 2000, 3000));
    CHECK(ComputeBleedRect(inside.o, 50).Equals(RectF(950, 950, 2050, 3100)));
    ObjectHolder back(NewViewObject(kObjectJewel, "Back Cover", 3, "Back Cover", 1000, 1000, 5900, 4650));
    CHECK(ComputeBleedRect(back.o, 100).Equals(RectF(1000, 900, 5900, 4850)));
    ObjectHolder disc(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 500, 500, 4600, 1500));
    CHECK(ComputeBleedRect(disc.o, 150).Equals(RectF(350, 350, 4900, 4900)));
}

TEST_CASE("selection handle rectangles") {
    Rect r[11];
    ComputeHandleRects(Rect(100, 200, 51, 31), r);
    CHECK(r[0].Equals(Rect(90, 190, 10, 10)));
    CHECK(r[1].Equals(Rect(100 + 25 - 5, 190, 10, 10)));
    CHECK(r[2].Equals(Rect(151, 190, 10, 10)));
    CHECK(r[3].Equals(Rect(151, 200 + 15 - 5, 10, 10)));
    CHECK(r[4].Equals(Rect(151, 231, 10, 10)));
    CHECK(r[5].Equals(Rect(120, 231, 10, 10)));
    CHECK(r[6].Equals(Rect(90, 231, 10, 10)));
    CHECK(r[7].Equals(Rect(90, 210, 10, 10)));
    CHECK(r[8].IsEmptyArea());
    CHECK(r[9].Equals(Rect(100, 200, 51, 31)));
    CHECK(r[10].Equals(Rect(88, 188, 75, 55)));
}
