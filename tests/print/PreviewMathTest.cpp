// The template preview's arithmetic without a window: fitting a page into the control, the
// dimension fields' placing, reading, limits and writing, and their arrowheads.
#include <doctest.h>

#include <string>

#include "GdiplusSession.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "print/DimensionFields.h"
#include "print/PreviewLayout.h"

using namespace Gdiplus;

namespace {

struct Units {
    explicit Units(const char* units) : saved(g_units) { g_units = units; }
    ~Units() { g_units = saved; }
    CString saved;
};

ViewObject* Object(int type, const char* name, int side, int left, int top, int width, int height,
                   int panel = 0) {
    ViewObject* o = NewViewObject(type, name, side, name, left, top, width, height);
    o->spineWidth = panel;
    return o;
}

DimensionField FieldOf(int kind, ViewObject* o) {
    DimensionField f;
    f.kind = kind;
    f.object = o;
    return f;
}

}  // namespace

TEST_CASE("the preview fits a page into its control") {
    SUBCASE("a label stock preview in a wide control: a square box inset by 5 %, the page centred") {
        PreviewLayout L;
        L.target = RECT{0, 0, 400, 200};
        LayoutPreviewPage(L, RectF(0, 0, 8500, 11000), 1, kPreviewLabelStock);
        // The box: 400 - 2 * 20 = 360 by 200 - 2 * 10 = 180, made square at 180.
        CHECK(L.page.Height == 180);
        CHECK(L.page.Width == 139);  // 8500 / 11000 * 180, truncated
        CHECK(L.draw.Width == 400);
        CHECK(L.draw.Height == 200);
        CHECK(L.page.X == 130);  // (400 - 139) / 2
        CHECK(L.page.Y == 10);
        CHECK(L.design.X == doctest::Approx(130 / L.scaleX));
    }
    SUBCASE("a print preview leaves a one-pixel border and centres the bitmap in the target") {
        PreviewLayout L;
        L.target = RECT{0, 0, 300, 300};
        LayoutPreviewPage(L, RectF(0, 0, 11000, 8500), 1, kPreviewPrint);
        CHECK(L.page.Width == 298);
        CHECK(L.page.Height == 230);
        CHECK(L.draw.Width == 300);
        CHECK(L.draw.Height == 232);
        CHECK(L.draw.Y == 34);
        CHECK(L.page.X == 1);
        CHECK(L.page.Y == 1);
        CHECK(L.scaleX == doctest::Approx(298 / 11000.0));
    }
    SUBCASE("preset scales are kept: the 150-dot picture of a cover") {
        PreviewLayout L;
        L.target = RECT{0, 0, 100, 100};
        L.scaleX = L.scaleY = 0.15;
        L.border = false;
        LayoutPreviewPage(L, RectF(-100, -100, 4950, 4960), 0, kPreviewExport);
        CHECK(L.draw.Width == 743);
        CHECK(L.draw.Height == 744);
        CHECK(L.design.X == 0);
    }
}

TEST_CASE("dimension fields read and show lengths in the user's units") {
    {
        Units inches("Inches");
        CHECK(ParseFieldText("4.7256") == 4725);
        CHECK(ParseFieldText("4.7") == 4700);
        CHECK(ParseFieldText("12") == 12000);
        CHECK(ParseFieldText("4.750 ''") == 4750);
        CHECK(ParseFieldText("-1.5") == 1500);  // in the decimal reading a sign is a zero digit
        CHECK(ParseFieldText("-2") == -2000);
        CHECK(ParseFieldText("") == 0);
        // Saturates instead of wrapping into a small or negative length.
        CHECK(ParseFieldText("99999999999999") == INT32_MAX);
        CHECK(ParseFieldText("9999999999.5") == INT32_MAX);
        CHECK(FormatFieldValue(4725) == "4.725 ''");
    }
    {
        Units mm("Millimeters");
        CHECK(ParseFieldText("120.5") == 4744);
        CHECK(FormatFieldValue(4744) == "120.5 mm");
        CHECK(ParseFieldText("120.5 mm") == 4744);
        DimensionField f;
        f.value = 4744;
        CHECK(StepFieldValue(f, true, "120.5 mm") == 4783);  // 121.5 mm
        CHECK(StepFieldValue(f, false, "120.5 mm") == 4705);
    }
    Units inches("Inches");
    DimensionField f;
    f.value = 4700;
    CHECK(StepFieldValue(f, true, "") == 4710);
    CHECK(StepFieldValue(f, false, "") == 4690);
}

TEST_CASE("dimension fields keep the sides on the page") {
    const int W = 8500, H = 11000;
    std::vector<ViewObject*> none;
    SUBCASE("a jewel-case back cover's tab") {
        ViewObject* back = Object(kObjectJewel, "Back Cover", 3, 1300, 600, 5910, 4650, 250);
        const DimensionField tab = FieldOf(kDimensionPanel, back);
        CHECK(ClampFieldValue(tab, 50, W, H, none) == 100);
        CHECK(ClampFieldValue(tab, 2000, 20000, H, none) == 1000);
        CHECK(ClampFieldValue(tab, 2000, W, H, none) == 895);  // (8500 - 1300 - 5410) / 2
        // On a page 7500 wide the cover would leave it: (7500 - 1300 - 5410) / 2 = 395.
        CHECK(ClampFieldValue(tab, 900, 7500, H, none) == 395);
        DeleteViewObject(back);
    }
    SUBCASE("a cover's height and width") {
        ViewObject* front = Object(kObjectFront, "Front Cover", 2, 500, 500, 4750, 4750);
        CHECK(ClampFieldValue(FieldOf(kDimensionHeight, front), 2000, W, H, none) == 3000);
        CHECK(ClampFieldValue(FieldOf(kDimensionHeight, front), 9000, W, H, none) == 8250);
        CHECK(ClampFieldValue(FieldOf(kDimensionHeight, front), 9000, W, 6000, none) == 5500);
        CHECK(ClampFieldValue(FieldOf(kDimensionWidth, front), 9000, W, H, none) == 6000);
        front->bFolded = 1;
        CHECK(ClampFieldValue(FieldOf(kDimensionWidth, front), 5000, W, H, none) ==
              4000);  // (8500 - 500) / 2
        // A saturated value must not wrap round when the position is added.
        CHECK(ClampFieldValue(FieldOf(kDimensionLeft, front), INT32_MAX, W, H, none) == W - front->width);
        DeleteViewObject(front);
    }
    SUBCASE("a disc's diameters") {
        ViewObject* d1 = Object(kObjectDisc, "Disc 1", 1, 1938, 688, 4625, 1600);
        ViewObject* d2 = Object(kObjectDisc, "Disc 2", 1, 1938, 5688, 4625, 1600);
        std::vector<ViewObject*> discs = {d1, d2};
        CHECK(ClampFieldValue(FieldOf(kDimensionWidth, d1), 1000, W, H, discs) == 2100);
        CHECK(ClampFieldValue(FieldOf(kDimensionWidth, d1), 7000, W, H, discs) == 5000);
        CHECK(ClampFieldValue(FieldOf(kDimensionWidth, d1), 7000, 6000, H, discs) == 4062);  // 6000 - 1938
        CHECK(ClampFieldValue(FieldOf(kDimensionHeight, d1), 4500, W, H, discs) == 4125);
        DimensionField outer = FieldOf(kDimensionWidth, d2);
        outer.value = 4700;
        ApplyFieldValue(outer, discs);
        CHECK(d1->width == 4700);  // every disc of the template
        CHECK(d2->width == 4700);
        DeleteViewObject(d1);
        DeleteViewObject(d2);
    }
}

TEST_CASE("dimension fields write their values into the sides") {
    std::vector<ViewObject*> none;
    ViewObject* dvd = Object(kObjectDvd, "Back Cover", 3, 145, 647, 10727, 7191, 5079);
    DimensionField panel = FieldOf(kDimensionWidth, dvd);
    panel.value = 5000;  // the panels grow, the spine (569) stays
    ApplyFieldValue(panel, none);
    CHECK(dvd->spineWidth == 5000);
    CHECK(dvd->width == 10569);
    DimensionField spine = FieldOf(kDimensionPanel, dvd);
    spine.value = 600;
    ApplyFieldValue(spine, none);
    CHECK(dvd->width == 10600);
    DeleteViewObject(dvd);

    ViewObject* jewel = Object(kObjectJewel, "Back Cover", 3, 1300, 600, 5910, 4650, 250);
    DimensionField inner = FieldOf(kDimensionWidth, jewel);
    inner.value = 5000;
    ApplyFieldValue(inner, none);
    CHECK(jewel->width == 5500);
    DimensionField tab = FieldOf(kDimensionPanel, jewel);
    tab.value = 300;  // the inner width (5000) stays
    ApplyFieldValue(tab, none);
    CHECK(jewel->width == 5600);
    CHECK(jewel->spineWidth == 300);
    DeleteViewObject(jewel);

    ViewObject* front = Object(kObjectFront, "Front Cover", 2, 800, 800, 9520, 4760);
    front->bFolded = 1;
    DimensionField width = FieldOf(kDimensionWidth, front);
    width.value = 4700;
    ApplyFieldValue(width, none);
    CHECK(front->width == 9400);
    DeleteViewObject(front);
}

TEST_CASE("the fields of a template's sides and their places") {
    REQUIRE(kvtest::GdiplusReady());
    InitPaperTable();
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    PreviewLayout L;
    L.target = RECT{0, 0, 600, 600};
    L.border = false;
    SUBCASE("a jewel case's back cover: left, top, width, height and tab") {
        LabelTemplate* t = library.FindTemplate("(CD Jewel Case - Plain Paper)");
        REQUIRE(t != nullptr);
        ViewObject* page3 = t->FindPage(3);
        LayoutPreviewPage(L, page3->GetRectF(), 0, kPreviewAlignment);
        std::vector<ViewObject*> objects;
        for (int i = 0; i < t->GetObjectCount(); ++i) objects.push_back(t->GetObject(i));
        std::vector<DimensionField*> fields = BuildDimensionFields(L, objects, 3);
        REQUIRE(fields.size() == 5);
        CHECK(FieldCaption(*fields[0]) == "Left");
        CHECK(FieldCaption(*fields[2]) == "Width");
        CHECK(FieldCaption(*fields[4]) == "Tab");
        CHECK(fields[2]->value == 5910 - 2 * 250);
        CHECK(fields[4]->value == 250);
        CHECK(fields[0]->editRect.X == -76);
        CHECK(fields[1]->editRect.Y == -21);
        CHECK(fields[4]->spinRect.X == fields[4]->editRect.X + 58);
        CHECK(FieldCaptionBackground(*fields[0]) == 0);
        CHECK(FieldCaptionBackground(*fields[2]) == 0x00FFE6E6);
        FreeDimensionFields(fields);
    }
    SUBCASE("two discs stacked: the lower disc's Top field moves off the upper disc") {
        LabelTemplate* t = library.FindTemplate("(CD/DVD Disc Label - Generic)");
        REQUIRE(t != nullptr);
        LayoutPreviewPage(L, t->FindPage(1)->GetRectF(), 0, kPreviewAlignment);
        std::vector<ViewObject*> objects;
        for (int i = 0; i < t->GetObjectCount(); ++i) objects.push_back(t->GetObject(i));
        std::vector<DimensionField*> fields = BuildDimensionFields(L, objects, 1);
        REQUIRE(fields.size() == 6);  // disc 1: left, top, inner; disc 2: left, top, outer
        CHECK(FieldCaption(*fields[2]) == "Inner Diameter");
        CHECK(FieldCaption(*fields[5]) == "Outer Diameter");
        DimensionField* lowerTop = fields[4];
        const Rect upper = fields[1]->objectRect;
        const int before = lowerTop->editRect.X + lowerTop->editRect.Width / 2;
        SpreadTopFields(fields);
        const int after = lowerTop->editRect.X + lowerTop->editRect.Width / 2;
        CHECK(before != after);
        // Its line now runs beside the upper disc, not across it.
        CHECK((after <= upper.X - 20 || after >= upper.X + upper.Width + 20));
        CHECK(lowerTop->spinRect.X == lowerTop->editRect.X + 58);
        FreeDimensionFields(fields);
    }
    library.DeleteContents(true);
}

TEST_CASE("arrowheads and dimension lines") {
    REQUIRE(kvtest::GdiplusReady());
    GraphicsPath* heads[4] = {};
    BuildArrowHeads(heads);
    RectF up, down, left, right;
    heads[0]->GetBounds(&up);
    heads[1]->GetBounds(&down);
    heads[2]->GetBounds(&left);
    heads[3]->GetBounds(&right);
    // Each tip sits at the origin, the head reaching away from the end of its line.
    CHECK(up.Y == doctest::Approx(0));
    CHECK(up.X + up.Width / 2 == doctest::Approx(0));
    CHECK(down.Y + down.Height == doctest::Approx(0));
    CHECK(left.X == doctest::Approx(0));
    CHECK(left.Y + left.Height / 2 == doctest::Approx(0));
    CHECK(right.X + right.Width == doctest::Approx(0));
    CHECK(up.Height == doctest::Approx(10));

    GraphicsPath path;
    AddDimensionLine(path, 10, 5, 10, 100, true, heads);
    RectF b;
    path.GetBounds(&b);
    CHECK(b.Y == doctest::Approx(5));
    CHECK(b.Y + b.Height == doctest::Approx(100));
    CHECK(path.IsVisible(10, 50));
    CHECK_FALSE(path.IsVisible(14, 50));
    GraphicsPath shortLine;
    AddDimensionLine(shortLine, 10, 5, 10, 20, true, heads);
    shortLine.GetBounds(&b);
    CHECK(b.Y + b.Height == doctest::Approx(20));
    for (GraphicsPath* h : heads) delete h;
}
