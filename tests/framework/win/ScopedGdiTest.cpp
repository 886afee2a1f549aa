// The GDI scope types and the DC ownership of the CDC family: what each releases at the end of
// its scope, also when an exception leaves it, and what it must leave alone.
#include <doctest.h>

#include <stdexcept>

#include "framework/Win.h"

namespace {

bool IsLive(HGDIOBJ object) {
    return ::GetObjectType(object) != 0;
}

struct FakeBufferApi {
    int begun = 0, ended = 0;
    BOOL lastUpdate = -1;
    HDC memory = nullptr;
    HPAINTBUFFER BeginBufferedPaint(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC* dc) {
        ++begun;
        *dc = memory;
        return reinterpret_cast<HPAINTBUFFER>(this);
    }
    HRESULT EndBufferedPaint(HPAINTBUFFER, BOOL update) {
        ++ended;
        lastUpdate = update;
        return S_OK;
    }
};

}  // namespace

TEST_CASE("Selections put the previous object back and delete what they own, also on a throw") {
    ScopedMemoryDC dc(nullptr, 8, 8);
    REQUIRE(dc.Get());
    HGDIOBJ original = ::GetCurrentObject(dc, OBJ_PEN);
    HPEN kept = ::CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HPEN owned = ::CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    {
        ScopedSelect select(dc, kept);
        CHECK(::GetCurrentObject(dc, OBJ_PEN) == kept);
        CHECK(select.Previous() == original);
    }
    CHECK(::GetCurrentObject(dc, OBJ_PEN) == original);
    CHECK(IsLive(kept));
    try {
        ScopedSelect select(dc, owned, true);
        CHECK(::GetCurrentObject(dc, OBJ_PEN) == owned);
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {}
    CHECK(::GetCurrentObject(dc, OBJ_PEN) == original);
    CHECK_FALSE(IsLive(owned));
    ::DeleteObject(kept);

    // Nothing to select into: an owned object is still deleted.
    HBRUSH orphan = ::CreateSolidBrush(RGB(7, 8, 9));
    { ScopedSelect select(nullptr, orphan, true); }
    CHECK_FALSE(IsLive(orphan));
}

TEST_CASE("Owned handles are deleted at the end of the scope; released ones are not") {
    HRGN region = ::CreateRectRgn(0, 0, 4, 4);
    HBRUSH released = ::CreateSolidBrush(RGB(1, 1, 1));
    {
        ScopedRegion scoped(region);
        ScopedBrush brush(released);
        CHECK(scoped.Get() == region);
        CHECK(brush.Release() == released);
        CHECK_FALSE(brush);
    }
    CHECK_FALSE(IsLive(region));
    CHECK(IsLive(released));

    ScopedBrush first(released);
    HBRUSH second = ::CreateSolidBrush(RGB(2, 2, 2));
    first.Reset(second);  // the first brush goes as the second comes
    CHECK_FALSE(IsLive(released));
    ScopedBrush moved(std::move(first));
    CHECK(moved.Get() == second);
    CHECK_FALSE(first);
}

TEST_CASE("A memory DC deletes itself and the bitmap it owns, and gives back a bitmap it was lent") {
    HDC memory = nullptr;
    HBITMAP made = nullptr;
    {
        ScopedMemoryDC dc(nullptr, 16, 4);
        memory = dc;
        made = dc.Bitmap();
        REQUIRE(made);
        CHECK(::GetCurrentObject(dc, OBJ_BITMAP) == made);
    }
    CHECK_FALSE(IsLive(memory));
    CHECK_FALSE(IsLive(made));

    HDC screen = ::GetDC(nullptr);
    HBITMAP lent = ::CreateCompatibleBitmap(screen, 4, 4);
    ::ReleaseDC(nullptr, screen);
    {
        ScopedMemoryDC dc(nullptr);
        CHECK(dc.Select(lent, false));
        CHECK(::GetCurrentObject(dc, OBJ_BITMAP) == lent);
    }
    CHECK(IsLive(lent));
    // Deselected: another DC can take it.
    ScopedMemoryDC other(nullptr);
    CHECK(other.Select(lent, true));
    CHECK(::GetCurrentObject(other, OBJ_BITMAP) == lent);
}

TEST_CASE("A long-lived memory DC hands its DC and bitmap on when moved and frees them on Reset") {
    ScopedMemoryDC member;  // as a member starts: empty
    CHECK(member.Get() == nullptr);
    member.Reset();  // nothing to free
    {
        ScopedMemoryDC made(nullptr, 8, 8);
        REQUIRE(made.Bitmap());
        member = std::move(made);
        CHECK(made.Get() == nullptr);
        CHECK(made.Bitmap() == nullptr);
    }
    // The temporary went, the DC and its bitmap stayed with the member.
    HDC dc = member;
    HBITMAP bitmap = member.Bitmap();
    CHECK(::GetObjectType(dc) == OBJ_MEMDC);
    CHECK(::GetCurrentObject(dc, OBJ_BITMAP) == bitmap);

    // A new buffer in its place frees the old one.
    member = ScopedMemoryDC(nullptr, 4, 4);
    CHECK(::GetObjectType(dc) == 0);
    CHECK_FALSE(IsLive(bitmap));
    HDC second = member;
    HBITMAP secondBitmap = member.Bitmap();
    member.Reset();
    CHECK(::GetObjectType(second) == 0);
    CHECK_FALSE(IsLive(secondBitmap));
    CHECK(member.Get() == nullptr);
}

TEST_CASE("An owned DC is deleted when replaced or at the end, not when given up") {
    HDC first = ::CreateCompatibleDC(nullptr);
    HDC second = ::CreateCompatibleDC(nullptr);
    HDC kept = nullptr;
    {
        ScopedDC dc(first);
        dc.Reset(second);
        CHECK(::GetObjectType(first) == 0);
        ScopedDC moved(std::move(dc));
        CHECK_FALSE(dc);
        CHECK(moved.Get() == second);
        ScopedDC given(::CreateCompatibleDC(nullptr));
        kept = given.Release();
    }
    CHECK(::GetObjectType(second) == 0);
    CHECK(::GetObjectType(kept) == OBJ_MEMDC);
    ::DeleteDC(kept);
}

TEST_CASE("SaveDC is undone at the end of the scope") {
    ScopedMemoryDC dc(nullptr, 4, 4);
    ::SetMapMode(dc, MM_TEXT);
    {
        ScopedSaveDC saved(dc);
        ::SetMapMode(dc, MM_LOMETRIC);
        CHECK(::GetMapMode(dc) == MM_LOMETRIC);
    }
    CHECK(::GetMapMode(dc) == MM_TEXT);
}

TEST_CASE("A window DC and a paint DC end with their window; a borrowed DC is left alone") {
    HWND window =
        ::CreateWindowExA(0, "STATIC", "dc", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(window);
    {
        ScopedWindowDC dc(window);
        CHECK(::GetObjectType(dc) == OBJ_DC);
        CHECK(::WindowFromDC(dc) == window);
    }
    {
        ScopedWindowDC whole(window, ScopedWindowDC::kWhole);
        CHECK(::WindowFromDC(whole) == window);
    }
    ::InvalidateRect(window, nullptr, FALSE);
    {
        ScopedPaintDC paint(window);
        CHECK(paint.Get() != nullptr);
    }
    RECT update;
    CHECK_FALSE(::GetUpdateRect(window, &update, FALSE));  // EndPaint validated the window
    ::DestroyWindow(window);

    HDC memory = ::CreateCompatibleDC(nullptr);
    {
        CBorrowedDC borrowed(memory);
        CHECK(borrowed.GetSafeHdc() == memory);
    }
    CHECK(::GetObjectType(memory) == OBJ_MEMDC);
    {
        CDC owner;
        owner.Attach(memory);
    }
    CHECK(::GetObjectType(memory) == 0);
}

TEST_CASE("A buffered paint ends once, copying unless discarded") {
    FakeBufferApi api;
    RECT rect = {0, 0, 10, 10};
    {
        ScopedBufferedPaint<FakeBufferApi> paint(api, nullptr, rect, BPBF_TOPDOWNDIB, nullptr);
        CHECK(paint);
        CHECK(api.begun == 1);
        CHECK(api.ended == 0);
    }
    CHECK(api.ended == 1);
    CHECK(api.lastUpdate == TRUE);
    {
        ScopedBufferedPaint<FakeBufferApi> paint(api, nullptr, rect, BPBF_TOPDOWNDIB, nullptr);
        paint.Discard();
    }
    CHECK(api.ended == 2);
    CHECK(api.lastUpdate == FALSE);
}
