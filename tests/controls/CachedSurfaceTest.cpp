// CachedSurface: the kept memory DC frees what it owns, and only that, in the right order.
#include <doctest.h>

#include "controls/CachedSurface.h"

namespace {

CBitmap* NewBitmap(HDC reference) {
    CBitmap* bitmap = new CBitmap();
    bitmap->Attach(::CreateCompatibleBitmap(reference, 8, 8));
    return bitmap;
}

bool Exists(HGDIOBJ object) {
    return ::GetObjectType(object) != 0;
}

}  // namespace

TEST_CASE("a cached surface owns its DC and the bitmaps it is given to own") {
    HDC screen = ::GetDC(nullptr);
    CachedSurface surface;
    CHECK(surface.GetSafeHdc() == nullptr);
    REQUIRE(surface.MakeDC(screen));
    HDC dc = surface.GetSafeHdc();
    CHECK(surface.MakeDC(screen));
    CHECK(surface.GetSafeHdc() == dc);  // made once

    CBitmap* a = NewBitmap(screen);
    const HGDIOBJ aHandle = a->GetSafeHandle();
    surface.Select(a, true);
    CHECK(surface.Bitmap() == a);
    CHECK(::GetCurrentObject(dc, OBJ_BITMAP) == aHandle);

    SUBCASE("a second owned bitmap replaces the first, which is deleted") {
        CBitmap* b = NewBitmap(screen);
        const HGDIOBJ bHandle = b->GetSafeHandle();
        surface.Select(b, true);
        CHECK(surface.Bitmap() == b);
        CHECK_FALSE(Exists(aHandle));
        surface.Free();
        CHECK_FALSE(Exists(bHandle));
        CHECK(surface.GetSafeHdc() == nullptr);
        CHECK(surface.Bitmap() == nullptr);
    }
    SUBCASE("a lent bitmap outlives the surface") {
        CBitmap lent;
        lent.Attach(::CreateCompatibleBitmap(screen, 4, 4));
        surface.Select(&lent, false);
        CHECK(surface.Bitmap() == a);  // still the owned one
        CHECK(::GetCurrentObject(dc, OBJ_BITMAP) == lent.GetSafeHandle());
        surface.Free();
        CHECK(Exists(lent.GetSafeHandle()));
        CHECK_FALSE(Exists(aHandle));
    }
    SUBCASE("without a DC an owned bitmap is not kept") {
        surface.Free();
        CBitmap* c = NewBitmap(screen);
        const HGDIOBJ cHandle = c->GetSafeHandle();
        surface.Select(c, true);
        CHECK(surface.Bitmap() == nullptr);
        CHECK_FALSE(Exists(cHandle));
    }
    ::ReleaseDC(nullptr, screen);
}
