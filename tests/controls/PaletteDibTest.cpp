// The palette image of the themed push button's faces.
#include <doctest.h>

#include "controls/PaletteDib.h"
#include "framework/Core.h"

TEST_CASE("CPaletteDib layout, pixels and palette") {
    CPaletteDib dib;
    REQUIRE(dib.Create(5, 3, 8) != nullptr);
    CHECK(dib.GetStride() == 8);
    CHECK(dib.GetPaletteSize() == 1024);
    CHECK(dib.GetSize() == 40 + 1024 + 24);
    CHECK(dib.GetBits() != nullptr);

    SUBCASE("rows are counted from the top, stored bottom-up") {
        dib.SetPixelIndex(1, 0, 200);
        CHECK(dib.GetBits()[2 * 8 + 1] == 200);
        CHECK(dib.GetPixelIndex(1, 0) == 200);
        dib.SetPixelIndex(5, 0, 9);  // outside: nothing
        dib.SetPixelIndex(-1, 0, 9);
        dib.SetPixelIndex(0, 3, 9);
        int nines = 0;
        for (DWORD i = 0; i < 24; ++i) nines += dib.GetBits()[i] == 9;
        CHECK(nines == 0);
        dib.Clear(7);
        CHECK(dib.GetPixelIndex(4, 2) == 7);
    }
    SUBCASE("blending moves entries towards the colour, at most all the way") {
        dib.SetPaletteIndex(0, 100, 0, 200);
        dib.SetPaletteIndex(300, 1, 1, 1);  // past the palette: nothing
        dib.BlendPalette(RGB(200, 100, 0), 50);
        RGBQUAD e = dib.GetPaletteEntry(0);
        CHECK(e.rgbRed == 150);
        CHECK(e.rgbGreen == 50);
        CHECK(e.rgbBlue == 100);
        dib.BlendPalette(RGB(10, 20, 30), 250);
        e = dib.GetPaletteEntry(0);
        CHECK(e.rgbRed == 10);
        CHECK(e.rgbGreen == 20);
        CHECK(e.rgbBlue == 30);
    }
    SUBCASE("a clone is an independent copy") {
        dib.SetPaletteIndex(3, 1, 2, 3);
        dib.SetPixelIndex(0, 0, 3);
        CPaletteDib copy;
        REQUIRE(copy.Clone(dib) != nullptr);
        CHECK(copy.GetPixelIndex(0, 0) == 3);
        CHECK(copy.GetPaletteEntry(3).rgbGreen == 2);
        copy.SetPixelIndex(0, 0, 4);
        CHECK(dib.GetPixelIndex(0, 0) == 3);
    }
    SUBCASE("drawing copies the pixels through the current palette") {
        dib.SetPaletteIndex(1, 255, 0, 0);
        dib.SetPaletteIndex(2, 0, 0, 255);
        dib.Clear(1);
        dib.SetPixelIndex(4, 2, 2);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, 10, 10);
        HGDIOBJ old = SelectObject(dc, target);
        dib.Draw(dc, 2, 1);
        CHECK(GetPixel(dc, 2, 1) == RGB(255, 0, 0));
        CHECK(GetPixel(dc, 6, 3) == RGB(0, 0, 255));
        // A palette change after the first drawing shows at the next one.
        dib.SetPaletteIndex(1, 0, 255, 0);
        dib.Draw(dc, 2, 1);
        CHECK(GetPixel(dc, 2, 1) == RGB(0, 255, 0));
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
}

TEST_CASE("CPaletteDib refuses empty sizes and draws nothing then") {
    KvMessageBoxCapture boxes;
    CPaletteDib dib;
    CHECK(dib.Create(0, 5, 8) == nullptr);
    CHECK(dib.IsEmpty());
    CHECK(dib.GetBits() == nullptr);
    // A width whose bits wrap round 32 bits must not give a small block the pixel calls overrun.
    CHECK(dib.Create(0x20000000, 1, 32) == nullptr);
    CHECK(dib.IsEmpty());
    REQUIRE(dib.Create(1, 1, 8) != nullptr);
    CHECK(dib.GetStride() == 4);
    dib.Free();
    HDC dc = CreateCompatibleDC(nullptr);
    dib.Draw(dc, 0, 0);
    DeleteDC(dc);
    CPaletteDib empty, copy;
    CHECK(copy.Clone(empty) == nullptr);
    CHECK(boxes.Boxes().empty());
}
