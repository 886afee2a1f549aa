// The drawing record: update regions, the side clip for every purpose, clipping, inverting
// pixels of the off-screen DIB, and the side rectangle.
#include <doctest.h>

#include <string>
#include <vector>

#include "GdiplusSession.h"
#include "model/Geometry.h"
#include "render/CanvasBackground.h"
#include "render/ColorProcessing.h"
#include "render/RenderContext.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

namespace {

// The shared DIB, filled with a pattern of every row and column.
struct Dib : rt::Dib24 {
    Dib(int w, int h) : Dib24(w, h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * 3; ++x) bits[y * stride + x] = static_cast<BYTE>((x * 7 + y * 13) & 0xFF);
    }
};

}  // namespace

TEST_CASE("update regions") {
    REQUIRE(kvtest::GdiplusReady());
    RenderContext rc;
    rc.SetUpdateRects(Rect(), Rect(), 11, 0, 0);
    CHECK(rc.hasUpdateRegion == 0);
    CHECK(rc.updateRgn == nullptr);

    rc.scaleX = rc.scaleY = 0.5;
    rc.SetUpdateRects(Rect(100, 200, 100, 100), Rect(), 11, 5, 7);
    CHECK(rc.hasUpdateRegion == 1);
    RECT box;
    REQUIRE(rc.updateRgn != nullptr);
    GetRgnBox(rc.updateRgn, &box);
    CHECK(box.left == 50 - 11 - 5);
    CHECK(box.top == 100 - 11 - 7);
    CHECK(box.right == 100 + 11 - 5);
    CHECK(box.bottom == 150 + 11 - 7);
    CHECK(rc.updateRegion->IsVisible(50 - 11, 100 - 11));
    CHECK(!rc.updateRegion->IsVisible(50 - 12, 100 - 11));

    // A second rectangle joins both regions; mirroring adds the other disc's place.
    rc.SetUpdateRects(Rect(0, 0, 20, 20), Rect(1000, 0, 20, 20), 0, 0, 0);
    CHECK(rc.updateRegion->IsVisible(505, 5));
    CHECK(!rc.updateRegion->IsVisible(300, 5));
    rc.MirrorUpdateRegion(600, 0);  // 300 device pixels
    CHECK(rc.updateRegion->IsVisible(305, 5));
    CHECK(rc.updateRegion->IsVisible(205, 5));  // 505 - 300
}

TEST_CASE("side clip by purpose") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(1, 5000, 5000);
    ViewObject* disc = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 0, 0, 4000, 1500));
    RenderContext rc;
    rc.Init(nullptr, 0.1, 0.1, 0, 0, kPurposeScreen, &d.doc, disc, nullptr);
    CHECK(rc.sideClip->IsVisible(200, 30));    // inside the ring
    CHECK(!rc.sideClip->IsVisible(200, 200));  // the hole
    CHECK(!rc.sideClip->IsVisible(231, 455));  // past the disc's own edge
    rc.purpose = kPurposeLightScribePreview;
    rc.SetCurrentObject(disc);
    CHECK(rc.sideClip->IsVisible(231, 455));  // the printer's larger circle at the origin

    ViewObject* cover =
        d.Add(NewViewObject(kObjectFront, "Front Cover", 1, "Front Cover", 100, 100, 1000, 500));
    rc.purpose = kPurposeExport;
    rc.SetCurrentObject(cover);
    CHECK(rc.sideClip->IsVisible(10, 10));
    CHECK(rc.sideClip->IsVisible(109, 59));
    CHECK(!rc.sideClip->IsVisible(110, 59));
    rc.SetCurrentObject(nullptr);
    CHECK(!rc.sideClip->IsVisible(10, 10));

    // Clipping: with no update region, switching the clip off leaves the surface unclipped.
    Bitmap b(50, 50, PixelFormat24bppRGB);
    Graphics g(&b);
    rc.graphics = &g;
    rc.ApplyClip(false);
    CHECK(g.IsClipEmpty() == FALSE);
    Region clip;
    g.GetClip(&clip);
    CHECK(clip.IsInfinite(&g));
    rc.SetCurrentObject(cover);
    rc.ApplyClip(true);
    CHECK(g.IsVisible(15, 15));
    CHECK(!g.IsVisible(5, 5));
    rc.purpose = kPurposeLightScribe;  // no clip at all while objects are drawn
    rc.ApplyClip(true);
    CHECK(g.IsVisible(5, 5));
}

TEST_CASE("inverting a region of the off-screen bitmap") {
    REQUIRE(kvtest::GdiplusReady());
    Dib dib(40, 40);
    RenderContext rc;
    rc.offscreenBitmap = dib.bitmap;
    const std::vector<BYTE> before = dib.Snapshot();
    rc.SetUpdateRects(Rect(0, 0, 20, 20), Rect(), 0, 0, 0);
    HRGN r = CreateRectRgn(10, 10, 60, 60);  // reaches past the bitmap too
    const BYTE inside = *dib.At(15, 15), outside = *dib.At(25, 15);
    rc.InvertRegion(r);
    CHECK(*dib.At(15, 15) == 255 - inside);
    CHECK(*dib.At(25, 15) == outside);  // outside the update region
    CHECK(*dib.At(5, 5) == before[5 * dib.stride + 15]);
    rc.InvertRegion(r);
    CHECK(dib.Snapshot() == before);
    DeleteObject(r);
}

TEST_CASE("the printable area's dashed frame has the pixels of GDI+'s dash-dot-dot pen") {
    REQUIRE(kvtest::GdiplusReady());
    // Sizes of every remainder of the pattern's length, degenerate ones, and frames that reach
    // past the buffer on each side.
    std::vector<Rect> frames = {Rect(5, 5, 30, 20), Rect(3, 4, 31, 17), Rect(10, 10, 1, 1), Rect(2, 2, 2, 9),
                                Rect(0, 0, 50, 3),  Rect(-7, 6, 40, 30), Rect(20, -3, 50, 70), Rect(-5, -5, 90, 90)};
    for (int w = 1; w <= 9; ++w) frames.push_back(Rect(7, 9, w + 11, 13 - w));
    for (const Rect& r : frames) {
        CAPTURE(r.X);
        CAPTURE(r.Y);
        CAPTURE(r.Width);
        CAPTURE(r.Height);
        Dib byPen(60, 50), direct(60, 50);
        {
            Graphics g(byPen.dc);
            g.SetSmoothingMode(SmoothingModeNone);
            g.SetPixelOffsetMode(PixelOffsetModeNone);
            Pen pen(Color(0xFF000000), 1.0f);
            pen.SetDashStyle(DashStyleDashDotDot);
            g.DrawRectangle(&pen, r);
            g.Flush(FlushIntentionSync);
        }
        GdiFlush();
        PaintDashDotDotFrame(direct.bits, direct.stride, direct.width, direct.height, r);
        const std::vector<BYTE> a = byPen.Snapshot(), b = direct.Snapshot();
        int differing = 0;
        for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
        CHECK(differing == 0);
    }
}

TEST_CASE("side rectangle") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    RenderContext rc;
    Rect side, wide;
    rc.SetupGeometry(&d.doc, 0.1, 0.1, kPurposeScreen, -17, -17);
    CHECK(!rc.GetSideRect(&side, &wide));  // no page
    ViewObject* page = d.AddPage(2, 0, 11000);
    d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 1000, 1000));
    CHECK(!rc.GetSideRect(&side, &wide));  // a page of zero width
    page->width = 8500;
    d.SetCurrent("Front Cover");
    REQUIRE(rc.GetSideRect(&side, &wide));
    CHECK(side.Equals(Rect(17, 17, 850, 1100)));
    CHECK(wide.Equals(Rect(0, 0, 850 + 34 + 20, 1100 + 34 + 20)));

    // A screen record whose offsets hold the border puts the side at the same place.
    RenderContext view;
    Dib dib(10, 10);
    view.SetupView(nullptr, dib.bitmap, 0.1, 0.1, &d.doc, Rect(), -17, -17, Rect(), false);
    CHECK(view.offsetX == 170.0f);
    REQUIRE(view.GetSideRect(&side, &wide));
    CHECK(side.Equals(Rect(17, 17, 850, 1100)));
    CHECK(view.printOptions.frontBorder == 1);
    CHECK(view.printOptions.backFold == 1);
}

// Records the rectangles the screen's backdrop is asked to fill.
class RecordingBackdrop : public CanvasBackdrop {
public:
    mutable std::vector<Rect> fills;
    void Fill(Graphics* g, int left, int top, int right, int bottom) const override {
        fills.push_back(Rect(left, top, right - left, bottom - top));
        CanvasBackdrop::Fill(g, left, top, right, bottom);
    }
};

TEST_CASE("the screen's backdrop fills the canvas around the side, never under it") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 8500, 11000);
    d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 1000, 1000, 1000, 1000));
    d.SetCurrent("Front Cover");
    Bitmap b(904, 1154, PixelFormat24bppRGB);
    Graphics g(&b);
    g.Clear(Color(0xFF000000));
    RenderContext rc;
    rc.SetupGeometry(&d.doc, 0.1, 0.1, kPurposeScreen, -17, -17);
    rc.graphics = &g;
    RecordingBackdrop backdrop;
    rc.canvasBackdrop = &backdrop;
    rc.FillBackground();
    Rect side, wide;
    REQUIRE(rc.GetSideRect(&side, &wide));
    // The backdrop's texture is slow to paint; the side is filled white over whatever lies there,
    // so painting the texture under it would be wasted.
    long covered = 0;
    for (const Rect& fill : backdrop.fills) {
        Rect overlap;
        CHECK(!Rect::Intersect(overlap, fill, side));
        covered += (long)fill.Width * fill.Height;
    }
    // Together the fills still cover every pixel of the canvas around the side.
    CHECK(covered >= (long)wide.GetRight() * wide.GetBottom() - (long)side.Width * side.Height);
    const COLORREF grey = kCanvasBackdropGrey;
    for (Point p :
         {Point(5, 500), Point(side.GetRight() + 5, 500), Point(400, 5), Point(400, side.GetBottom() + 5)})
        CHECK(rt::SameRgb(rt::Pixel(&b, p.X, p.Y), GetRValue(grey), GetGValue(grey), GetBValue(grey)));
    CHECK(rt::SameRgb(rt::Pixel(&b, side.X, side.Y), 255, 255, 255));
    CHECK(rt::SameRgb(rt::Pixel(&b, side.GetRight() - 1, side.GetBottom() - 1), 255, 255, 255));
}

TEST_CASE("a premultiplied picture blended into the buffer has the pixels GDI+ draws, within the clip") {
    REQUIRE(kvtest::GdiplusReady());
    // A picture with every kind of pixel: clear, faint, half and fully covered, of many colours.
    Bitmap picture(90, 70, PixelFormat32bppPARGB);
    {
        Rect all(0, 0, 90, 70);
        BitmapData data;
        REQUIRE(picture.LockBits(&all, ImageLockModeWrite, PixelFormat32bppPARGB, &data) == Ok);
        unsigned seed = 99;
        for (int y = 0; y < 70; ++y) {
            UINT32* row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < 90; ++x) {
                seed = seed * 1103515245u + 12345u;
                const unsigned a = (x < 10 || y < 8) ? 0 : (x % 7 == 0 ? 255 : (seed >> 24));
                auto channel = [&](int shift) { return ((seed >> shift) & 0xFF) * a / 255; };
                row[x] = (a << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
            }
        }
        picture.UnlockBits(&data);
    }
    struct Case {
        const char* clip;
        Rect source;
        int x, y;
    };
    const Case cases[] = {{"none", Rect(0, 0, 90, 70), 20, 15},     {"rectangle", Rect(5, 3, 80, 60), 33, 12},
                          {"two rectangles", Rect(0, 0, 90, 70), -12, 30}, {"ellipse", Rect(0, 0, 90, 70), 40, 25},
                          {"past the buffer", Rect(0, 0, 90, 70), 75, 60}};
    for (const Case& c : cases) {
        CAPTURE(c.clip);
        Dib byGdiplus(130, 110), direct(130, 110);
        auto setClip = [&](Graphics& g) {
            const std::string clip = c.clip;
            if (clip == "rectangle") g.SetClip(Rect(40, 20, 50, 35));
            if (clip == "two rectangles") {
                Region region(Rect(0, 30, 30, 20));
                region.Union(Rect(10, 60, 40, 30));
                g.SetClip(&region);
            }
            if (clip == "ellipse") {
                GraphicsPath path;
                path.AddEllipse(RectF(35.5f, 20.25f, 70.0f, 55.0f));
                g.SetClip(&path);
            }
        };
        {
            Graphics g(byGdiplus.dc);
            setClip(g);
            g.SetInterpolationMode(InterpolationModeNearestNeighbor);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            g.DrawImage(&picture, Rect(c.x, c.y, c.source.Width, c.source.Height), c.source.X, c.source.Y,
                        c.source.Width, c.source.Height, UnitPixel);
            g.Flush(FlushIntentionSync);
        }
        GdiFlush();
        {
            Graphics g(direct.dc);
            setClip(g);
            CHECK(BlendPictureOnDib(&g, direct.bitmap, &picture, c.source, c.x, c.y));
        }
        const std::vector<BYTE> a = byGdiplus.Snapshot(), b = direct.Snapshot();
        int differing = 0;
        for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
        CHECK(differing == 0);
    }
    // The side's clip asked once and a text's rectangle applied to its scans give the pixels of
    // both clips set on the surface, as the text layer uses them.
    {
        GraphicsPath ring;
        ring.AddEllipse(RectF(5.5f, 4.25f, 110.0f, 95.0f));
        const Rect text(30, 27, 61, 33);
        Dib byGdiplus(130, 110), direct(130, 110);
        {
            Graphics g(byGdiplus.dc);
            g.SetClip(&ring);
            g.SetClip(text, CombineModeIntersect);
            g.SetInterpolationMode(InterpolationModeNearestNeighbor);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            g.DrawImage(&picture, Rect(20, 10, 90, 70), 0, 0, 90, 70, UnitPixel);
            g.Flush(FlushIntentionSync);
        }
        GdiFlush();
        {
            Graphics g(direct.dc);
            g.SetClip(&ring);
            std::vector<Rect> scans;
            REQUIRE(GetClipScans(&g, scans));
            g.SetClip(text, CombineModeIntersect);
            CHECK(BlendPictureOnDib(&g, direct.bitmap, &picture, Rect(0, 0, 90, 70), 20, 10, scans, &text));
        }
        const std::vector<BYTE> a = byGdiplus.Snapshot(), b = direct.Snapshot();
        int differing = 0;
        for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
        CHECK(differing == 0);
    }
    // A surface with a transform is left to GDI+.
    Dib other(40, 40);
    Graphics turned(other.dc);
    turned.RotateTransform(90);
    CHECK_FALSE(BlendPictureOnDib(&turned, other.bitmap, &picture, Rect(0, 0, 90, 70), 0, 0));
}
