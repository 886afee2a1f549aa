// The canvas's repaint helpers on a real memory DC.
#include <doctest.h>

#include <windows.h>

#include "controls/ThemeFill.h"
#include "model/ViewObject.h"
#include "render/CanvasBackground.h"

namespace {

struct MemoryDC {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    MemoryDC(int w, int h) {
        HDC screen = ::GetDC(nullptr);
        bitmap = ::CreateCompatibleBitmap(screen, w, h);
        ::ReleaseDC(nullptr, screen);
        old = ::SelectObject(dc, bitmap);
    }
    ~MemoryDC() {
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    void Fill(COLORREF colour) {
        HBRUSH brush = ::CreateSolidBrush(colour);
        RECT all = {-100, -100, 1000, 1000};
        ::FillRect(dc, &all, brush);
        ::DeleteObject(brush);
    }
};

}  // namespace

TEST_CASE("ExcludeSelectionFrame keeps the outline's ring out of the repaint, not the object's edge") {
    MemoryDC m(60, 40);
    m.Fill(RGB(0, 0, 255));
    const RECT r = {10, 10, 30, 25};
    ViewObject text;
    text.type = kObjectText;

    SUBCASE("animating outline of a text: the frame keeps its pixels, the rest is repainted") {
        ExcludeSelectionFrame(m.dc, true, &text, r);
        m.Fill(RGB(255, 0, 0));
        CHECK(::GetPixel(m.dc, 9, 9) == RGB(0, 0, 255));    // the ring's corner
        CHECK(::GetPixel(m.dc, 9, 15) == RGB(0, 0, 255));   // the ring beside the edge
        CHECK(::GetPixel(m.dc, 30, 24) == RGB(0, 0, 255));  // the ring right of the last column
        CHECK(::GetPixel(m.dc, 10, 15) == RGB(255, 0, 0));  // the object's own edge is repainted
        CHECK(::GetPixel(m.dc, 29, 24) == RGB(255, 0, 0));  // its last pixel too
        CHECK(::GetPixel(m.dc, 8, 15) == RGB(255, 0, 0));   // outside the ring
    }
    SUBCASE("no animation, or a page selected: nothing is excluded") {
        ExcludeSelectionFrame(m.dc, false, &text, r);
        ViewObject page;
        page.type = kObjectPage;
        ExcludeSelectionFrame(m.dc, true, &page, r);
        ExcludeSelectionFrame(m.dc, true, nullptr, r);
        m.Fill(RGB(255, 0, 0));
        CHECK(::GetPixel(m.dc, 10, 15) == RGB(255, 0, 0));
    }
}

TEST_CASE("PaintCanvasBackground covers the whole DC whatever its clip and origin") {
    MemoryDC m(50, 30);
    m.Fill(RGB(0, 0, 255));
    HRGN small = ::CreateRectRgn(0, 0, 5, 5);
    ::SelectClipRgn(m.dc, small);
    ::DeleteObject(small);
    ::SetWindowOrgEx(m.dc, 20, 10, nullptr);
    PaintCanvasBackground(m.dc);
    // Without loaded textures the canvas is the plain background grey.
    CHECK(::GetPixel(m.dc, 0, 0) == kThemeBackgroundGrey);
    CHECK(::GetPixel(m.dc, 49, 29) == kThemeBackgroundGrey);
}
