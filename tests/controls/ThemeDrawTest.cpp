// The shared 3-D frame and colour shading.
#include <doctest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/graphics/Frame3d.h"
#include "GdiplusSession.h"

using namespace Gdiplus;

namespace {

COLORREF PixelAt(Bitmap& bitmap, int x, int y) {
    Color c;
    bitmap.GetPixel(x, y, &c);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

}  // namespace

TEST_CASE("ShadeColor adds to each channel and keeps it in range") {
    CHECK(ShadeColor(RGB(100, 150, 200), -10) == RGB(90, 140, 190));
    CHECK(ShadeColor(RGB(5, 250, 128), 10) == RGB(15, 255, 138));
    CHECK(ShadeColor(RGB(5, 30, 0), -40) == RGB(0, 0, 0));
}

TEST_CASE("Draw3dFrame puts the dark lines where the light does not reach") {
    REQUIRE(kvtest::GdiplusReady());
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), dark = ::GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_3DLIGHT), highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const int w = 20, h = 12;

    SUBCASE("sunken") {
        Bitmap bitmap(w, h, PixelFormat24bppRGB);
        Graphics g(&bitmap);
        g.Clear(Color(255, 1, 2, 3));
        Draw3dFrame(&g, 0, 0, w, h, false, false);
        CHECK(PixelAt(bitmap, 5, 0) == shadow);         // outer top
        CHECK(PixelAt(bitmap, 0, 5) == shadow);         // outer left
        CHECK(PixelAt(bitmap, 5, 1) == dark);           // inner top
        CHECK(PixelAt(bitmap, w - 1, 5) == highlight);  // outer right
        CHECK(PixelAt(bitmap, 5, h - 1) == highlight);  // outer bottom
        CHECK(PixelAt(bitmap, w - 2, 5) == light);      // inner right
        CHECK(PixelAt(bitmap, 5, h - 2) == light);      // inner bottom
        CHECK(PixelAt(bitmap, 5, 5) == RGB(1, 2, 3));   // the inside is left alone
    }
    SUBCASE("raised and soft") {
        Bitmap bitmap(w, h, PixelFormat24bppRGB);
        Graphics g(&bitmap);
        g.Clear(Color(255, 1, 2, 3));
        Draw3dFrame(&g, 0, 0, w, h, true, true);
        CHECK(PixelAt(bitmap, 5, 0) == ShadeColor(light, -40));
        CHECK(PixelAt(bitmap, 5, 1) == highlight);
        CHECK(PixelAt(bitmap, w - 1, 5) == ShadeColor(dark, -10));
        CHECK(PixelAt(bitmap, w - 2, 5) == ShadeColor(shadow, -10));
    }
}
