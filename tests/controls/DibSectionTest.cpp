// DIB sections wrapped in framework bitmaps.
#include <doctest.h>

#include "framework/graphics/DibSectionBitmap.h"
#include "framework/Core.h"
#include "framework/Win.h"

TEST_CASE("CreateDibSectionBitmap makes top-down sections the caller owns") {
    SUBCASE("32-bit section of the asked size, rows top-down") {
        CBitmap* bitmap = CreateDibSectionBitmap(7, 5, 32);
        REQUIRE(bitmap != nullptr);
        DIBSECTION ds = {};
        REQUIRE(::GetObject(static_cast<HBITMAP>(*bitmap), sizeof ds, &ds) == sizeof ds);
        CHECK(ds.dsBm.bmWidth == 7);
        CHECK(ds.dsBm.bmHeight == 5);
        CHECK(ds.dsBm.bmBitsPixel == 32);
        CHECK(ds.dsBm.bmBits != nullptr);
        CHECK(ds.dsBmih.biCompression == BI_RGB);
        // Writing the first row of the buffer shows at y = 0 when read through a DC.
        static_cast<DWORD*>(ds.dsBm.bmBits)[0] = 0x00FF0000;
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, static_cast<HBITMAP>(*bitmap));
        CHECK(::GetPixel(dc, 0, 0) == RGB(255, 0, 0));
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        delete bitmap;
    }
    SUBCASE("8-bit and 24-bit sections") {
        for (WORD bits : {8, 24}) {
            CBitmap* bitmap = CreateDibSectionBitmap(16, 16, bits);
            REQUIRE(bitmap != nullptr);
            BITMAP bm = {};
            ::GetObject(static_cast<HBITMAP>(*bitmap), sizeof bm, &bm);
            CHECK(bm.bmBitsPixel == bits);
            delete bitmap;
        }
    }
    SUBCASE("an impossible size gives no bitmap and no message") {
        KvMessageBoxCapture capture(IDOK);
        CHECK(CreateDibSectionBitmap(0, 0, 32) == nullptr);
        CHECK(CreateDibSectionBitmap(100000, 100000, 32) == nullptr);
        CHECK(capture.Boxes().empty());
    }
}
