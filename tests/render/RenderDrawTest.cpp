// Sides drawn into bitmaps: backgrounds inside the cut and white outside, a disc's hole left
// empty, the bleed past the cut in exports and not on screen, outlines, the collected objects,
// and the screen overlays.
#include <doctest.h>

#include <algorithm>
#include <vector>

#include "GdiplusSession.h"
#include "controls/ThemeFill.h"
#include "render/CanvasSettings.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"
#include "RenderFixtures.h"
#include "TestSupport.h"

using namespace Gdiplus;

namespace {

const COLORREF kRed = RGB(220, 20, 30);
const COLORREF kBlue = RGB(10, 40, 200);

void SetColor(ViewObject* o, COLORREF c) {
    if (o->charColors.GetSize() == 0) o->charColors.Add(nullptr);
    delete o->charColors[0];
    o->charColors[0] = new COLORREF(c);
}

// A 3000 x 3000 front cover holding a 1000 x 1000 picture at its top left corner.
ViewObject* FrontWithPicture(rt::Design& d, ViewObject*& front) {
    d.AddPage(2, 3000, 3000);
    front = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 3000, 3000));
    return d.Add(NewViewObject(kObjectImage, "Image", 2, "Front Cover", 0, 0, 1000, 1000));
}

// Draws the design's current side with DrawSide into a white bitmap.
Bitmap* DrawWhole(rt::Design& d, double scale, int purpose, int w, int h,
                  const PrintOptions* options = nullptr) {
    Bitmap* b = new Bitmap(w, h, PixelFormat24bppRGB);
    Graphics g(b);
    g.Clear(Color(0xFFFFFFFF));
    RenderContext rc;
    rc.Setup(&g, scale, scale, purpose, &d.doc, options);
    DrawSide(rc);
    return b;
}

// The shared DIB, filled with a pattern of every byte.
struct Dib : rt::Dib24 {
    Dib(int w, int h) : Dib24(w, h) {
        for (int i = 0; i < stride * h; ++i) bits[i] = static_cast<BYTE>((i * 37) & 0xFF);
    }
};

// Windows queues GDI drawing per thread and carries it out at the latest at GdiFlush; Wine draws
// at once. To see whether direct pixel writes wait for queued drawing, GdiFlush is replaced (in
// this program's import table) by one that carries out a "queued" fill of the whole buffer first.
struct QueuedFill {
    static QueuedFill* s_current;
    rt::Dib24& dib;
    BYTE value;
    bool pending = true;
    kvtest::ImportPatch patch;
    QueuedFill(rt::Dib24& d, BYTE v)
        : dib(d), value(v), patch("gdi32.dll", "GdiFlush", reinterpret_cast<void*>(&Flush)) {
        s_current = this;
        REQUIRE(patch.Valid());
    }
    ~QueuedFill() { s_current = nullptr; }
    // The end of the batch, which Windows may reach at any later moment.
    void Land() {
        if (!pending) return;
        std::fill(dib.bits, dib.bits + dib.stride * dib.height, value);
        pending = false;
    }
    static BOOL WINAPI Flush() {
        if (s_current) s_current->Land();
        return TRUE;
    }
};
QueuedFill* QueuedFill::s_current = nullptr;

}  // namespace

TEST_CASE("a cover's background inside the cut, white outside") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 8500, 11000);
    ViewObject* front =
        d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 4000, 3000));
    SetColor(front, kRed);
    Bitmap* b = DrawWhole(d, 0.05, kPurposeExport, 425, 550);
    CHECK(rt::SameRgb(rt::Pixel(b, 150, 120), 220, 20, 30));
    CHECK(rt::SameRgb(rt::Pixel(b, 51, 51), 220, 20, 30));
    CHECK(rt::SameRgb(rt::Pixel(b, 248, 198), 220, 20, 30));
    CHECK(rt::SameRgb(rt::Pixel(b, 48, 120), 255, 255, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 252, 120), 255, 255, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 150, 202), 255, 255, 255));
    delete b;

    // A print preview fills the page grey.
    b = DrawWhole(d, 0.05, kPurposePrintPreview, 425, 550);
    CHECK(rt::SameRgb(rt::Pixel(b, 20, 20), 128, 128, 128));
    CHECK(rt::SameRgb(rt::Pixel(b, 150, 120), 220, 20, 30));
    delete b;
}

TEST_CASE("a disc's hole stays empty") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(1, 5600, 5600);
    ViewObject* disc = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 500, 500, 4600, 1500));
    SetColor(disc, kBlue);
    Bitmap* b = DrawWhole(d, 0.05, kPurposeExport, 280, 280);
    CHECK(rt::SameRgb(rt::Pixel(b, 140, 140), 255, 255, 255));  // the centre
    CHECK(rt::SameRgb(rt::Pixel(b, 140, 110), 255, 255, 255));  // inside the hole (radius 37.5)
    CHECK(rt::SameRgb(rt::Pixel(b, 140, 60), 10, 40, 200));     // on the ring
    CHECK(rt::SameRgb(rt::Pixel(b, 50, 50), 255, 255, 255));    // the square's corner, past the circle
    delete b;

    // A picture over the whole disc square is drawn only on the ring, exported and printed.
    ViewObject* image = d.Add(NewViewObject(kObjectImage, "Image", 1, "Disc 1", 500, 500, 4600, 4600));
    Bitmap pixels(200, 200, PixelFormat24bppRGB);
    {
        Graphics pg(&pixels);
        pg.Clear(Color(255, 0, 200, 0));
    }
    REQUIRE(image->image.EncodeImage(&pixels, false));
    for (int purpose : {kPurposeExport, kPurposePrint}) {
        CAPTURE(purpose);
        b = DrawWhole(d, 0.05, purpose, 280, 280);
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 140), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 110), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 60), 0, 200, 0));
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 27), 0, 200, 0));  // just inside the outer circle
        CHECK(rt::SameRgb(rt::Pixel(b, 50, 50), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 20), 255, 255, 255));  // just outside it
        delete b;
    }

    // Outlines: a border drawn on the disc for the label stock preview, which fills the ring.
    PrintOptions withBorder;
    withBorder.discBorder = 1;
    b = DrawWhole(d, 0.05, kPurposeLabelStockPreview, 280, 280, &withBorder);
    CHECK(rt::SameRgb(rt::Pixel(b, 140, 140), 255, 255, 255));
    Color edge = rt::Pixel(b, 140, 25);  // the outer circle at the top
    CHECK(edge.GetR() < 128);
    delete b;
}

TEST_CASE("the bleed shows past the cut in exports and prints, never on screen") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 8500, 11000);
    ViewObject* front =
        d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 4000, 3000));
    SetColor(front, kRed);
    PrintOptions options;
    options.frontMargin = 100;

    SUBCASE("export of the side at 100 dpi") {
        Bitmap* b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 100, &options);
        REQUIRE(b != nullptr);
        CHECK(b->GetWidth() == 420);
        CHECK(b->GetHeight() == 320);
        CHECK(rt::SameRgb(rt::Pixel(b, 3, 160), 220, 20, 30));    // 0.07 inch left of the cut
        CHECK(rt::SameRgb(rt::Pixel(b, 416, 160), 220, 20, 30));  // right of it
        CHECK(rt::SameRgb(rt::Pixel(b, 200, 2), 220, 20, 30));    // above it
        delete b;
    }
    SUBCASE("screen drawing keeps the background inside the side") {
        Bitmap b(420, 320, PixelFormat24bppRGB);
        Graphics g(&b);
        g.Clear(Color(0xFFFFFFFF));
        RenderContext rc;
        rc.Init(&g, 0.1, 0.1, -900, -900, kPurposeScreen, &d.doc, front, &options);
        DrawSideObjects(rc);
        CHECK(rt::SameRgb(rt::Pixel(&b, 5, 160), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(&b, 200, 5), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(&b, 15, 160), 220, 20, 30));
    }
    SUBCASE("a folded front cover bleeds by the margin on its outer edge only") {
        front->bFolded = 1;
        Bitmap* b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 100, &options);
        REQUIRE(b != nullptr);
        CHECK(rt::SameRgb(rt::Pixel(b, 416, 160), 220, 20, 30));  // outer edge bled
        CHECK(rt::SameRgb(rt::Pixel(b, 3, 160), 255, 255, 255));  // the inside panel's edge is the boundary's
        delete b;
    }
    SUBCASE("a disc bleeds outwards and into its hole") {
        rt::Design dd;
        dd.AddPage(1, 5600, 5600);
        ViewObject* disc = dd.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 500, 500, 4600, 1500));
        SetColor(disc, kBlue);
        PrintOptions discOptions;
        discOptions.discMargin = 150;
        Bitmap* b = RenderDocumentToBitmap(&dd.doc, disc, kPurposePrint, 100, &discOptions);
        REQUIRE(b != nullptr);
        CHECK(b->GetWidth() == 490);
        const int c = 245;
        CHECK(rt::SameRgb(rt::Pixel(b, c, 4), 10, 40, 200));         // past the outer edge
        CHECK(rt::SameRgb(rt::Pixel(b, c, c - 70), 10, 40, 200));    // inside the hole's edge (75)
        CHECK(rt::SameRgb(rt::Pixel(b, c, c - 50), 255, 255, 255));  // the hole shrunk by 15
        delete b;
    }
}

TEST_CASE("a side's picture has the side's size at the resolution wherever the side lies") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(1, 8500, 11000);
    // The generic disc stock's first disc: 4.625 inch across, 0.688 inch from the top.
    ViewObject* disc = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 1938, 688, 4625, 1600));
    PrintOptions options;
    options.discMargin = 0;
    // 4625 x 600 / 1000 = 2775 and 4625 x 300 / 1000 = 1387.5: square pictures, as announced.
    for (int dpi : {600, 300, 150}) {
        CAPTURE(dpi);
        Bitmap* b = RenderDocumentToBitmap(&d.doc, disc, kPurposeExport, dpi, &options);
        REQUIRE(b != nullptr);
        const int expected = 4625 * dpi / 1000;
        CHECK(static_cast<int>(b->GetWidth()) == expected);
        CHECK(static_cast<int>(b->GetHeight()) == expected);
        delete b;
    }
    // The same disc a little further down has the same picture size.
    disc->top = 5688;
    Bitmap* b = RenderDocumentToBitmap(&d.doc, disc, kPurposeExport, 600, &options);
    REQUIRE(b != nullptr);
    CHECK(b->GetWidth() == 2775);
    CHECK(b->GetHeight() == 2775);
    delete b;
}

TEST_CASE("objects collected for a side") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(1, 8500, 11000);
    ViewObject* disc1 = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 500, 500, 4600, 1500));
    ViewObject* disc2 = d.Add(NewViewObject(kObjectDisc, "Disc 2", 1, "Disc 2", 500, 5500, 4600, 1500));
    ViewObject* t1 = d.Add(NewViewObject(kObjectText, "Artist", 1, "Disc 1", 1000, 1000, 2000, 500));
    ViewObject* t2 = d.Add(NewViewObject(kObjectText, "Artist - Disc 2", 1, "Disc 1", 1000, 1500, 2000, 500));
    ViewObject* t3 = d.Add(NewViewObject(kObjectText, "Title", 1, "Disc 2", 1000, 6000, 2000, 500));
    d.SetCurrent("Disc 1");

    SUBCASE("one-disc layout: no second disc, no disc 2 texts") {
        d.tmpl->layout = kLayout1DiscTop;
        CObjectPtrArray sides;
        CollectSideObjects(sides, &d.doc);
        REQUIRE(sides.GetSize() == 1);
        CHECK(sides[0] == disc1);
        CObjectPtrArray hit;
        PrepareSideHitTest(hit, &d.doc);
        REQUIRE(hit.GetSize() == 2);
        CHECK(hit[0] == disc1);
        CHECK(hit[1] == t1);
    }
    SUBCASE("two discs: both sides, then the children of the first, then of the second") {
        d.tmpl->layout = kLayout2DiscTop;
        CObjectPtrArray hit;
        PrepareSideHitTest(hit, &d.doc);
        REQUIRE(hit.GetSize() == 5);
        CHECK(hit[0] == disc1);
        CHECK(hit[1] == disc2);
        CHECK(hit[2] == t1);
        CHECK(hit[3] == t2);
        CHECK(hit[4] == t3);
    }
    SUBCASE("print choices leave sides out, a hidden current side is still drawn") {
        d.tmpl->layout = kLayout2DiscTop;
        SetColor(disc1, kBlue);
        PrintOptions options;
        options.printDisc1 = 0;
        options.printDisc2 = 0;
        RenderContext rc;
        rc.Setup(nullptr, 0.05, 0.05, kPurposePrint, &d.doc, &options);
        CObjectPtrArray sides;
        rc.CollectObjects(sides);
        CHECK(sides.GetSize() == 0);
        Bitmap* b = DrawWhole(d, 0.05, kPurposePrint, 425, 550, &options);
        CHECK(rt::SameRgb(rt::Pixel(b, 140, 60), 10, 40, 200));
        delete b;
    }
    SUBCASE("label stock previews show a duplicated layout's discs once") {
        d.tmpl->layout = kLayout2DiscDuplicate;
        RenderContext rc;
        rc.Setup(nullptr, 0.05, 0.05, kPurposeLabelStockPreview, &d.doc, nullptr);
        CObjectPtrArray sides;
        rc.CollectObjects(sides);
        CHECK(sides.GetSize() == 2);
        rc.purpose = kPurposePrint;
        rc.CollectObjects(sides);
        REQUIRE(sides.GetSize() == 1);  // the first disc is drawn at the second's place
        CHECK(sides[0] == disc2);
    }
}

TEST_CASE("fold lines and images") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(3, 8500, 11000);
    ViewObject* back =
        d.Add(NewViewObject(kObjectJewel, "Back Cover", 3, "Back Cover", 1000, 1000, 5900, 4650));
    back->spineWidth = 0;
    PrintOptions options;
    options.backFold = 1;
    Bitmap* b = DrawWhole(d, 0.05, kPurposePrint, 425, 550, &options);
    // With spine width 0 both fold lines lie on the cover's edges.
    CHECK(rt::Pixel(b, 50, 150).GetR() < 128);
    CHECK(rt::Pixel(b, 345, 150).GetR() < 128);
    CHECK(rt::SameRgb(rt::Pixel(b, 200, 150), 255, 255, 255));
    delete b;
}

TEST_CASE("screen overlays") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 3000, 3000);
    ViewObject* front = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 1000, 1000));
    ViewObject* text = d.Add(NewViewObject(kObjectText, "Text 1", 2, "Front Cover", 200, 300, 400, 200));
    Dib dib(200, 200);
    Graphics g(dib.dc);
    BYTE savedGrid = g_showGrid, savedGuides = g_showGuides;
    int savedSize[2] = {g_gridSize[0], g_gridSize[1]};

    SUBCASE("grid dots: 10 x 10 on a 1000 x 1000 cover, none outside it") {
        g_showGrid = 1;
        g_gridSize[0] = g_gridSize[1] = 100;
        RenderContext rc;
        rc.SetupScreen(&g, dib.bitmap, 0.1, 0.1, &d.doc, front, 0, 0);
        rc.BuildSideClip();
        std::vector<BYTE> before = dib.Snapshot();
        rc.DrawGridDots();
        std::vector<BYTE> after = dib.Snapshot();
        int changed = 0, outside = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (before[y * dib.stride + x * 3] != after[y * dib.stride + x * 3]) {
                    ++changed;
                    if (x >= 100 || y >= 100) ++outside;
                }
        CHECK(changed == 100);
        CHECK(outside == 0);
        // A grid step of 0 still ends: one dot per design unit, not an endless loop.
        front->width = front->height = 40;
        rc.SetCurrentObject(front);
        g_gridSize[0] = g_gridSize[1] = 0;
        rc.DrawGridDots();
    }
    SUBCASE("direct pixel writes come after the drawing queued before them") {
        g_showGrid = 1;
        g_gridSize[0] = g_gridSize[1] = 100;
        RenderContext rc;
        rc.SetupScreen(&g, dib.bitmap, 0.1, 0.1, &d.doc, front, 0, 0);
        rc.BuildSideClip();
        auto countWhite = [&] {
            int white = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 200; ++x) white += *dib.At(x, y) == 255;
            return white;
        };
        {
            QueuedFill fill(dib, 0);  // black, queued before the dots
            rc.DrawGridDots();
            fill.Land();
        }
        CHECK(countWhite() == 100);  // the dots inverted the black, not the other way round
        {
            QueuedFill fill(dib, 0);
            HRGN r = CreateRectRgn(10, 10, 20, 20);
            rc.InvertRegion(r);
            DeleteObject(r);
            fill.Land();
        }
        CHECK(countWhite() == 100);
    }
    SUBCASE("outlines of a drawing record without a surface (the text highlight)") {
        RenderContext rc;
        rc.SetupHighlight(dib.bitmap, 0.1, 0.1, &d.doc, 0, 0);
        REQUIRE(rc.graphics == nullptr);
        const std::vector<BYTE> before = dib.Snapshot();
        rc.AddRectPath(20, 30, 40, 50);
        rc.DrawOutlinePaths();
        CHECK(rc.outlinePaths.GetSize() == 0);
        // Pixels inverted within a box around (x, y).
        auto inverted = [&](int x0, int y0, int x1, int y1) {
            int n = 0;
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) n += *dib.At(x, y) == 255 - before[y * dib.stride + x * 3];
            return n;
        };
        // Each edge of the frame is inverted along its length, its inside is not.
        CHECK(inverted(25, 29, 55, 31) >= 31);  // top
        CHECK(inverted(25, 79, 55, 81) >= 31);  // bottom
        CHECK(inverted(19, 35, 21, 75) >= 41);  // left
        CHECK(inverted(59, 35, 61, 75) >= 41);  // right
        CHECK(inverted(23, 33, 57, 77) == 0);
        // Drawn again, it is gone.
        rc.AddRectPath(20, 30, 40, 50);
        rc.DrawOutlinePaths();
        CHECK(dib.Snapshot() == before);
        // Where two outlines cross, the pixel is inverted once.
        rc.AddRectPath(20, 30, 40, 50);
        rc.AddRectPath(40, 20, 40, 50);
        rc.DrawOutlinePaths();
        CHECK(inverted(40, 30, 40, 30) + inverted(60, 70, 60, 70) == 2);
    }
    SUBCASE("overlays drawn twice restore the pixels") {
        g_showGuides = 1;
        g_showGrid = 1;
        g_gridSize[0] = g_gridSize[1] = 100;
        d.doc.selection.Add(text);
        std::vector<BYTE> before = dib.Snapshot();
        for (int pass = 0; pass < 2; ++pass) {
            RenderContext rc;
            rc.SetupView(&g, dib.bitmap, 0.1, 0.1, &d.doc, Rect(100, 100, 300, 300), 0, 0, Rect(), true);
            rc.SetCurrentObject(front);
            rc.children.Add(front);
            rc.CollectChildren();
            rc.DrawGridDots();
            rc.AddGuidePaths();
            rc.AddMarqueePath();
            rc.AddSelectionHandles();
            CHECK(rc.outlinePaths.GetSize() == 8);  // the handles
            CHECK(rc.outlineRects.size() == 1);     // the marquee (the selected text's guide gives way)
            rc.DrawOutlinePaths();
            CHECK(rc.outlinePaths.GetSize() + rc.outlineRects.size() == 0);
            if (pass == 0) CHECK(dib.Snapshot() != before);
        }
        CHECK(dib.Snapshot() == before);
        // Eleven handle regions, the ninth empty; a handle is hit 5 pixels around its square.
        REQUIRE(d.doc.handleRegions.GetSize() == 11);
        CHECK(d.doc.handleRegions[8] == nullptr);
        Region* topLeft = d.doc.handleRegions[0];
        REQUIRE(topLeft != nullptr);
        CHECK(topLeft->IsVisible(19 - 10 + 1, 29 - 10 + 1));  // inside the square at (9, 19)
        CHECK(topLeft->IsVisible(9 - 4, 19 - 4));             // 4 pixels out
        CHECK(!topLeft->IsVisible(9 - 8, 19 - 8));
    }
    SUBCASE("a selected cover gets no handles") {
        d.doc.selection.Add(front);
        RenderContext rc;
        rc.SetupView(&g, dib.bitmap, 0.1, 0.1, &d.doc, Rect(), 0, 0, Rect(), true);
        rc.AddSelectionHandles();
        CHECK(d.doc.handleRegions.GetSize() == 0);
        CHECK(rc.outlinePaths.GetSize() == 0);
        rc.AddMarqueePath();  // an empty marquee adds nothing
        CHECK(rc.outlinePaths.GetSize() + rc.outlineRects.size() == 0);
    }
    SUBCASE("a disc without text margin has no margin rings") {
        ViewObject* disc = d.Add(NewViewObject(kObjectDisc, "Disc 1", 2, "Disc 1", 0, 0, 1000, 300));
        RenderContext rc;
        rc.SetupScreen(&g, dib.bitmap, 0.1, 0.1, &d.doc, disc, 0, 0);
        rc.AddDiscMarginPaths(false);
        CHECK(rc.outlinePaths.GetSize() == 0);
        disc->textMargin = 50;
        rc.AddDiscMarginPaths(false);
        CHECK(rc.outlinePaths.GetSize() == 2);
        rc.DrawOutlinePaths();
    }
    d.doc.ClearSelection();
    g_showGrid = savedGrid;
    g_showGuides = savedGuides;
    g_gridSize[0] = savedSize[0];
    g_gridSize[1] = savedSize[1];
}

TEST_CASE("theme texture fills: the canvas around a side") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("resources not loaded: plain grey, kinds other than 1 and 2 draw nothing") {
        Bitmap b(40, 40, PixelFormat24bppRGB);
        Graphics g(&b);
        g.Clear(Color(0xFFFFFFFF));
        FillThemeRect(&g, 0, 0, 20, 40, 0, 0, 2);
        FillThemeRect(&g, 20, 0, 40, 40, 0, 0, 3);
        CHECK(rt::SameRgb(rt::Pixel(&b, 5, 5), 185, 185, 185));
        CHECK(rt::SameRgb(rt::Pixel(&b, 25, 5), 255, 255, 255));

        Dib dib(30, 30);
        RECT r = {5, 5, 25, 25};
        TileThemeBackground(dib.dc, r, 0, 0, 2);
        const BYTE* p = dib.bits + 10 * dib.stride + 10 * 3;
        CHECK(p[0] == 185);
        CHECK(p[2] == 185);
        const BYTE* outside = dib.bits + 2 * dib.stride + 2 * 3;
        CHECK(outside[0] == static_cast<BYTE>(((2 * dib.stride + 6) * 37) & 0xFF));
    }
    SUBCASE("loaded: tiles aligned to their origin, also left of and above it") {
        // A 4 x 3 tile whose pixels all differ.
        Dib tile(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                BYTE* p = tile.bits + y * tile.stride + x * 3;
                p[0] = static_cast<BYTE>(10 * x + 1);
                p[1] = static_cast<BYTE>(50 * y + 1);
                p[2] = 7;
            }
        HDC savedDC1 = g_backgroundDC1, savedDC2 = g_backgroundDC2;
        g_backgroundDC1 = tile.dc;
        g_backgroundDC2 = tile.dc;
        Dib target(30, 30);
        RECT r = {2, 3, 27, 28};
        const int ox = 9, oy = 11;  // the rectangle starts left of and above the origin
        TileThemeBackground(target.dc, r, ox, oy, 2);
        g_backgroundDC1 = savedDC1;
        g_backgroundDC2 = savedDC2;
        int wrong = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const BYTE* p = target.bits + y * target.stride + x * 3;
                const int tx = ((x - ox) % 4 + 4) % 4, ty = ((y - oy) % 3 + 3) % 3;
                if (p[0] != 10 * tx + 1 || p[1] != 50 * ty + 1) ++wrong;
            }
        CHECK(wrong == 0);

        Bitmap texture(2, 2, PixelFormat24bppRGB);
        texture.SetPixel(0, 0, Color(255, 10, 20, 30));
        texture.SetPixel(1, 0, Color(255, 10, 20, 30));
        texture.SetPixel(0, 1, Color(255, 10, 20, 30));
        texture.SetPixel(1, 1, Color(255, 10, 20, 30));
        TextureBrush brush(&texture, WrapModeTile);
        TextureBrush* saved = g_textureBrush2;
        g_textureBrush2 = &brush;
        Bitmap b(20, 20, PixelFormat24bppRGB);
        Graphics g(&b);
        g.Clear(Color(0xFFFFFFFF));
        FillThemeRect(&g, 0, 0, 10, 20, 0, 0, 2);
        g_textureBrush2 = saved;
        CHECK(rt::SameRgb(rt::Pixel(&b, 5, 5), 10, 20, 30));
        CHECK(rt::SameRgb(rt::Pixel(&b, 15, 5), 255, 255, 255));
    }
    SUBCASE("a fill reaching far past the clip gives the pixels of the whole texture fill") {
        // A 3 x 2 texture whose pixels all differ, so a tile started anywhere but the world
        // origin shows; the clip has fractional edges and the drawing is smoothed and moved.
        Bitmap texture(3, 2, PixelFormat24bppRGB);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) texture.SetPixel(x, y, Color(255, 40 * x + 20, 100 * y + 30, 90));
        TextureBrush brush(&texture, WrapModeTile);
        TextureBrush* saved = g_textureBrush2;
        g_textureBrush2 = &brush;
        auto draw = [&](Bitmap& b, bool throughFill) {
            Graphics g(&b);
            g.Clear(Color(0xFFFFFFFF));
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.TranslateTransform(3, -2);
            g.SetClip(RectF(4.5f, 3.25f, 11.5f, 9.6f));
            if (throughFill)
                FillThemeRect(&g, -500, -400, 900, 700, 0, 0, 2);
            else
                g.FillRectangle(&brush, -500, -400, 1400, 1100);
        };
        Bitmap cut(30, 20, PixelFormat24bppRGB), whole(30, 20, PixelFormat24bppRGB);
        draw(cut, true);
        draw(whole, false);
        g_textureBrush2 = saved;
        int differing = 0, textured = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                Color a, b;
                cut.GetPixel(x, y, &a);
                whole.GetPixel(x, y, &b);
                if (a.GetValue() != b.GetValue()) ++differing;
                if (b.GetB() == 90) ++textured;
            }
        CHECK(differing == 0);
        CHECK(textured >= 100);
    }
    SUBCASE("a screen drawing paints the canvas around the side and the side white") {
        rt::Design d;
        d.AddPage(2, 1000, 1000);
        d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 100, 100, 800, 800));
        Dib dib(150, 150);
        Graphics g(dib.dc);
        RenderContext rc;
        rc.SetupView(&g, dib.bitmap, 0.1, 0.1, &d.doc, Rect(), -17, -17, Rect(), false);
        DrawSide(rc);
        auto rgb = [&](int x, int y) { return dib.bits + y * dib.stride + x * 3; };
        CHECK(rgb(5, 5)[0] == 185);      // canvas
        CHECK(rgb(140, 140)[0] == 185);  // canvas right of and below the page
        CHECK(rgb(20, 20)[0] == 255);    // the page, moved by the border
        CHECK(rgb(70, 70)[0] == 255);    // the cover, white
    }
}

TEST_CASE("duplicated discs, images and their interpolation") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("a duplicate layout draws the disc's contents at both places, label previews once") {
        rt::Design d;
        d.AddPage(1, 5000, 10000);
        ViewObject* disc1 = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 200, 200, 4600, 1500));
        ViewObject* disc2 = d.Add(NewViewObject(kObjectDisc, "Disc 2", 1, "Disc 2", 200, 5200, 4600, 1500));
        SetColor(disc1, kBlue);
        SetColor(disc2, kRed);
        d.tmpl->layout = kLayout1DiscDuplicate;
        d.SetCurrent("Disc 1");
        Bitmap* b = DrawWhole(d, 0.05, kPurposePrint, 250, 500);
        CHECK(rt::SameRgb(rt::Pixel(b, 125, 30), 10, 40, 200));
        CHECK(rt::SameRgb(rt::Pixel(b, 125, 280), 10, 40, 200));  // disc 1's design again at disc 2's place
        delete b;
        b = DrawWhole(d, 0.05, kPurposeLabelStockPreview, 250, 500);
        CHECK(rt::SameRgb(rt::Pixel(b, 125, 30), 10, 40, 200));
        CHECK(rt::SameRgb(rt::Pixel(b, 125, 280), 220, 20, 30));  // each disc once, as itself
        delete b;
    }
    SUBCASE("images: scaling quality by size and purpose, the screen cache follows the device size") {
        rt::Design d;
        ViewObject* front = nullptr;
        ViewObject* small = FrontWithPicture(d, front);
        Bitmap pixels(74, 120, PixelFormat24bppRGB);
        {
            Graphics pg(&pixels);
            pg.Clear(Color(255, 0, 200, 0));
        }
        REQUIRE(small->image.EncodeImage(&pixels, false));
        Bitmap b(300, 300, PixelFormat24bppRGB);
        Graphics g(&b);
        RenderContext rc;
        rc.Init(&g, 0.1, 0.1, 0, 0, kPurposePrint, &d.doc, front, nullptr);
        rc.children.Add(small);
        rc.DrawImages();
        CHECK(g.GetInterpolationMode() == InterpolationModeNearestNeighbor);
        CHECK(rt::SameRgb(rt::Pixel(&b, 50, 50), 0, 200, 0));

        Bitmap wider(75, 101, PixelFormat24bppRGB);
        {
            Graphics pg(&wider);
            pg.Clear(Color(255, 200, 0, 0));
        }
        small->FreeImageData(false);
        REQUIRE(small->image.EncodeImage(&wider, false));
        rc.DrawImages();
        CHECK(g.GetInterpolationMode() == InterpolationModeHighQualityBicubic);
        CHECK(rt::SameRgb(rt::Pixel(&b, 50, 50), 200, 0, 0));
        // Its last row and column keep the picture's colour: no light line at the edges.
        CHECK(rt::SameRgb(rt::Pixel(&b, 99, 99), 200, 0, 0));
        CHECK(rt::SameRgb(rt::Pixel(&b, 99, 0), 200, 0, 0));
        CHECK(rt::SameRgb(rt::Pixel(&b, 100, 50), 0, 0, 0));

        // On screen the image comes from a cache of the exact device size, made with the colour change.
        small->hue = 120;
        rc.purpose = kPurposeScreen;
        rc.DrawImages();
        REQUIRE(small->adjustedImage != nullptr);
        CHECK(small->adjustedImage->GetWidth() == 100);
        CHECK(rt::Pixel(&b, 50, 50).GetG() > 150);  // red turned green
        rc.scaleX = rc.scaleY = 0.05;
        rc.DrawImages();
        REQUIRE(small->adjustedImage != nullptr);
        CHECK(small->adjustedImage->GetWidth() == 50);
        // Previews use the cache when it is nearer in size than the decoded image.
        rc.purpose = kPurposeThumbnail;
        rc.DrawImages();
        CHECK(g.GetInterpolationMode() == InterpolationModeNearestNeighbor);
    }
    SUBCASE("a picture far larger than its side keeps a screen copy of the side's part only") {
        rt::Design d;
        d.AddPage(2, 3000, 3000);
        ViewObject* front =
            d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 3000, 3000));
        // Fifty inches wide: at this scale 2000 x 2000 pixels, of which the side shows 120 x 120.
        ViewObject* huge =
            d.Add(NewViewObject(kObjectImage, "Image", 2, "Front Cover", -20000, -20000, 50000, 50000));
        Bitmap pixels(100, 100, PixelFormat24bppRGB);
        {
            Graphics pg(&pixels);
            pg.Clear(Color(255, 200, 0, 0));
        }
        REQUIRE(huge->image.EncodeImage(&pixels, false));
        huge->hue = 120;
        Bitmap b(150, 150, PixelFormat24bppRGB);
        Graphics g(&b);
        RenderContext rc;
        rc.Init(&g, 0.04, 0.04, 0, 0, kPurposeScreen, &d.doc, front, nullptr);
        rc.SetCurrentObject(front);
        rc.children.Add(huge);
        rc.ApplyClip(true);
        rc.DrawImages();
        REQUIRE(huge->adjustedImage != nullptr);
        CHECK(huge->adjustedImage->GetWidth() == 120);
        CHECK(huge->adjustedImage->GetHeight() == 120);
        CHECK(huge->adjustedPlace.part.Equals(Rect(800, 800, 120, 120)));
        CHECK(rt::SameRgb(rt::Pixel(&b, 60, 60), 0, 200, 0, 2));  // red turned green
        CHECK(rt::SameRgb(rt::Pixel(&b, 130, 60), 0, 0, 0));      // outside the side: nothing
    }
    SUBCASE("a Print Preview copy twice its place's size is averaged down, not every second pixel") {
        rt::Design d;
        ViewObject* front = nullptr;
        ViewObject* photo = FrontWithPicture(d, front);
        Bitmap copy(200, 1, PixelFormat24bppRGB);  // columns of one pixel, white and black in turn
        for (int x = 0; x < 200; ++x) copy.SetPixel(x, 0, x % 2 ? Color(255, 0, 0, 0) : Color(255, 255, 255, 255));
        REQUIRE(photo->image.EncodeImage(&copy, false));
        Bitmap b(150, 150, PixelFormat24bppRGB);
        Graphics g(&b);
        RenderContext rc;
        rc.Init(&g, 0.1, 0.1, 0, 0, kPurposePrint, &d.doc, front, nullptr);
        rc.previewPicture = [&](ViewObject*, int, int, Bitmap*& made) { return made = &copy, true; };
        rc.children.Add(photo);
        rc.DrawImages();
        for (int x = 10; x < 90; x += 7) CHECK(rt::SameRgb(rt::Pixel(&b, x, 50), 128, 128, 128, 12));
    }
    SUBCASE("outlines: label previews fill the cover before its border") {
        rt::Design d;
        d.AddPage(2, 3000, 3000);
        ViewObject* front =
            d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 500, 500, 2000, 2000));
        PrintOptions border;
        border.frontBorder = 1;
        Bitmap b(150, 150, PixelFormat24bppRGB);
        Graphics g(&b);
        g.Clear(Color(0xFFFFFFFF));
        RenderContext rc;
        rc.Init(&g, 0.05, 0.05, 0, 0, kPurposeAlignmentPreview, &d.doc, front, &border);
        rc.DrawSideOutline();
        CHECK(rt::SameRgb(rt::Pixel(&b, 75, 75), 0xE6, 0xE6, 0xFF));
        CHECK(rt::SameRgb(rt::Pixel(&b, 25, 75), 0, 0, 0));  // the border, snapped to whole pixels
        CHECK(rt::SameRgb(rt::Pixel(&b, 10, 75), 255, 255, 255));
        // The screen's outline pen.
        rc.purpose = kPurposeScreen;
        g.Clear(Color(0xFFFFFFFF));
        rc.DrawSideOutline();
        Color c = rt::Pixel(&b, 75, 25);
        CHECK(c.GetR() < 200);
        CHECK(c.GetG() > c.GetR());
    }
}

TEST_CASE("fills under an opaque picture or on a blank bitmap are left out only where nothing shows") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 3000, 3000);
    ViewObject* front =
        d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 500, 500, 2000, 2000));
    SetColor(front, kBlue);
    // The picture reaches past the side on every edge (it is clipped to the side).
    ViewObject* image = d.Add(NewViewObject(kObjectImage, "Image", 2, "Front Cover", 400, 400, 2200, 2200));
    Bitmap pixels(100, 120, PixelFormat24bppRGB);
    {
        Graphics pg(&pixels);
        pg.Clear(Color(255, 0, 200, 0));
    }
    REQUIRE(image->image.EncodeImage(&pixels, false));
    d.SetCurrent("Front Cover");
    PrintOptions options;
    options.frontMargin = 0;
    // Without a bleed the picture covers the side whole: green everywhere, edges included.
    Bitmap* b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 100, &options);
    REQUIRE(b != nullptr);
    REQUIRE(b->GetWidth() == 200);
    for (int at : {0, 1, 100, 198, 199}) {
        CAPTURE(at);
        CHECK(rt::SameRgb(rt::Pixel(b, at, at), 0, 200, 0));
        CHECK(rt::SameRgb(rt::Pixel(b, at, 199 - at), 0, 200, 0));
    }
    delete b;
    // With a bleed the side's colour runs past the picture and must still be filled there.
    options.frontMargin = 50;
    b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 100, &options);
    REQUIRE(b != nullptr);
    REQUIRE(b->GetWidth() == 210);
    CHECK(rt::SameRgb(rt::Pixel(b, 2, 105), 10, 40, 200));
    CHECK(rt::SameRgb(rt::Pixel(b, 105, 207), 10, 40, 200));
    CHECK(rt::SameRgb(rt::Pixel(b, 105, 105), 0, 200, 0));
    delete b;
    // A white side on the page's white is skipped, a coloured one drawn: the whole page.
    SetColor(front, RGB(255, 255, 255));
    image->left = image->top = 500;
    image->width = 1000;  // the picture covers the left half only
    image->height = 2000;
    image->FreeImageData(false);
    REQUIRE(image->image.EncodeImage(&pixels, false));
    ViewObject* page = d.doc.FindObject("Page 2");
    REQUIRE(page != nullptr);
    b = RenderDocumentToBitmap(&d.doc, page, kPurposeExport, 100, &options);
    REQUIRE(b != nullptr);
    CHECK(rt::SameRgb(rt::Pixel(b, 100, 150), 0, 200, 0));
    CHECK(rt::SameRgb(rt::Pixel(b, 200, 150), 255, 255, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 10, 10), 255, 255, 255));
    delete b;
}

TEST_CASE("a background picture runs past the cut by the bleed in exports and prints alike") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 8500, 11000);
    ViewObject* front =
        d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 4000, 3000));
    // The background as Set as Background sizes it for a bleed of 0.10 inch, and a free picture
    // across the right edge.
    ViewObject* background =
        d.Add(NewViewObject(kObjectImage, "Image 1", 2, "Front Cover", 900, 900, 4200, 3200));
    background->bBackground = 1;
    ViewObject* free = d.Add(NewViewObject(kObjectImage, "Image 2", 2, "Front Cover", 4500, 2000, 1000, 500));
    Bitmap green(400, 320, PixelFormat24bppRGB), blue(100, 120, PixelFormat24bppRGB);
    {
        Graphics g1(&green), g2(&blue);
        g1.Clear(Color(255, 0, 200, 0));
        g2.Clear(Color(255, 10, 40, 200));
    }
    REQUIRE(background->image.EncodeImage(&green, false));
    REQUIRE(free->image.EncodeImage(&blue, false));
    d.SetCurrent("Front Cover");
    PrintOptions options;
    options.frontMargin = 100;
    // At 300 dots per inch on the page: the background from 900 to 5100 by 900 to 4100, the free
    // picture up to the cut at 5000.
    const Rect expected(270, 270, 1260, 960);
    auto blueRight = [](Bitmap* b, int y, int from, int to) {
        int right = -1;
        for (int x = from; x < to; ++x)
            if (rt::SameRgb(rt::Pixel(b, x, y), 10, 40, 200, 8)) right = x + 1;
        return right;
    };

    SUBCASE("Save As Image: the picture fills the side and its bleed") {
        Bitmap* b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 300, &options);
        REQUIRE(b != nullptr);
        CHECK(b->GetWidth() == 1260);
        CHECK(b->GetHeight() == 960);
        const Rect ink = rt::InkBox(b, Rect(0, 0, 1260, 960), 600);
        CHECK(ink.X == 0);
        CHECK(ink.Y == 0);
        CHECK(ink.Width == expected.Width);
        CHECK(ink.Height == expected.Height);
        CHECK(blueRight(b, 330, 1000, 1260) == 1230);  // 5000 on the page
        delete b;
    }
    SUBCASE("printing the page: the same extent") {
        Bitmap b(2550, 3300, PixelFormat24bppRGB);
        Graphics g(&b);
        RenderContext rc;
        rc.Setup(&g, 0.3, 0.3, kPurposePrint, &d.doc, &options);
        DrawSide(rc);
        const Rect ink = rt::InkBox(&b, Rect(0, 0, 2550, 3300), 600);
        CHECK(ink.X == expected.X);
        CHECK(ink.Y == expected.Y);
        CHECK(ink.Width == expected.Width);
        CHECK(ink.Height == expected.Height);
        CHECK(blueRight(&b, 660, 1300, 1530) == 1500);
    }
    SUBCASE("on screen nothing runs past the cut") {
        Bitmap b(2550, 3300, PixelFormat24bppRGB);
        Graphics g(&b);
        g.Clear(Color(0xFFFFFFFF));
        RenderContext rc;
        rc.Init(&g, 0.3, 0.3, 0, 0, kPurposeScreen, &d.doc, front, &options);
        DrawSideObjects(rc);
        CHECK(rt::SameRgb(rt::Pixel(&b, 290, 600), 255, 255, 255));
        CHECK(rt::SameRgb(rt::Pixel(&b, 310, 600), 0, 200, 0, 8));
    }
}
