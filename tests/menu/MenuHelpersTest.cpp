#include <doctest.h>

#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"

TEST_CASE("colour arithmetic of the menu looks") {
    CHECK(DarkenColor(50, 0xFFFFFF) == 0xCDCDCD);
    CHECK(LightenColor(115, 0x000000) == 0x737373);
    CHECK(LightenColor(0, 0x123456) == 0x123456);
    CHECK(AlphaBlendColor(0x123456, 0xFFFFFFFF, 77) == 0xFFFFFFFF);
    CHECK(AlphaBlendColor(0x000000, 0xFFFFFF, 0) == 0x000000);
    CHECK(BlueShadeColor(0xFFFFFF) == 0xD9B3B3);
    CHECK(BlendColor86(RGB(100, 0, 255), RGB(0, 100, 255)) == RGB(86, 14, 255));
    CHECK(BlendColor70(RGB(100, 0, 200), RGB(0, 100, 200)) == RGB(70, 30, 200));
    CHECK(IsLightColor(RGB(129, 128, 128)));
    CHECK_FALSE(IsLightColor(RGB(128, 128, 128)));
}

TEST_CASE("version classes and colour counts") {
    CHECK(WinVersionClassOf(TRUE, 3, 10) == 0);
    CHECK(WinVersionClassOf(FALSE, 3, 51) == 1);
    CHECK(WinVersionClassOf(TRUE, 4, 0) == 2);
    CHECK(WinVersionClassOf(TRUE, 4, 10) == 3);
    CHECK(WinVersionClassOf(TRUE, 4, 90) == 4);
    CHECK(WinVersionClassOf(FALSE, 4, 0) == 5);
    CHECK(WinVersionClassOf(FALSE, 5, 0) == 6);
    CHECK(WinVersionClassOf(FALSE, 5, 1) == 7);
    CHECK(WinVersionClassOf(FALSE, 6, 0) == 7);  // Vista and later
    CHECK(WinVersionClassOf(FALSE, 10, 0) == 7);
    CHECK(g_winVersion == GetWinVersion());  // computed before start-up

    BITMAPINFOHEADER h = {};
    h.biBitCount = 4;
    CHECK(GetDibColorCount(&h) == 16);
    h.biBitCount = 24;
    CHECK(GetDibColorCount(&h) == 0);
    h.biClrUsed = 37;
    CHECK(GetDibColorCount(&h) == 37);
}

TEST_CASE("the hand-painted shadow darkens the right and bottom edges of the background") {
    const int w = 40, h = 30;
    HDC screen = GetDC(nullptr);
    HDC bg = CreateCompatibleDC(screen), out = CreateCompatibleDC(screen);
    HBITMAP b1 = CreateCompatibleBitmap(screen, w, h), b2 = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ o1 = SelectObject(bg, b1), o2 = SelectObject(out, b2);
    RECT all = {0, 0, w, h};
    HBRUSH white = CreateSolidBrush(RGB(200, 200, 200)), black = CreateSolidBrush(0);
    FillRect(bg, &all, white);
    FillRect(out, &all, black);

    DrawMenuShadowFrom(out, bg, w, h, FALSE);
    CHECK(GetPixel(out, w - 1, 2) == RGB(200, 200, 200));                    // top rows unchanged
    CHECK(GetPixel(out, w - 2, 15) == DarkenColor(60, RGB(200, 200, 200)));  // i = 2: 60 parts
    CHECK(GetPixel(out, 20, h - 1) == DarkenColor(30, RGB(200, 200, 200)));
    CHECK(GetPixel(out, 10, 10) == 0);  // inside untouched

    FillRect(out, &all, black);
    DrawMenuShadowFrom(out, bg, w, h, TRUE);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    CHECK(GetPixel(out, w - 3, 10) == shadow);
    CHECK(GetPixel(out, w - 1, 10) == RGB(200, 200, 200));
    CHECK(GetPixel(out, 10, h - 4) == shadow);
    CHECK(GetPixel(out, 10, h - 2) == RGB(200, 200, 200));

    SelectObject(bg, o1);
    SelectObject(out, o2);
    DeleteObject(b1);
    DeleteObject(b2);
    DeleteObject(white);
    DeleteObject(black);
    DeleteDC(bg);
    DeleteDC(out);
}

TEST_CASE("twelve looks; the style switch follows the system") {
    CHECK(CStyledMenuHook::FindTheme(12) == nullptr);
    for (UINT s = 0; s < 12; s++) {
        CMenuTheme* p = CStyledMenuHook::FindTheme(s);
        REQUIRE(p != nullptr);
        CHECK(p->DoDrawBorder() == (s % 2 == 0));
    }
    CHECK_FALSE(CStyledMenuHook::AddTheme(CStyledMenuHook::FindTheme(4)));
    REQUIRE(CStyledMenuHook::s_pCurrentTheme != nullptr);
    CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 2);
    CHECK(CStyledMenuHook::s_hHook == nullptr);  // only while a menu is open
}

TEST_CASE("a bitmap's pixels changed in one pass, as pixel by pixel") {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 7, 5);  // a screen bitmap, as an icon's colours
    ReleaseDC(nullptr, screen);
    REQUIRE(bitmap != nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto original = [](int x, int y) { return RGB(x * 37, y * 51, (x * y * 13) & 255); };
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++) SetPixel(dc, x, y, original(x, y));
    SelectObject(dc, old);
    const COLORREF tint = RGB(200, 100, 20);
    const COLORREF first = ColorizeBitmap(bitmap, 110, tint);
    old = SelectObject(dc, bitmap);
    int wrong = 0;
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++) {
            const COLORREF p = original(x, y);
            const int grey = (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3;
            auto ch = [&](int c) { return (c * (255 - 110) + grey * 110) >> 8; };
            wrong += GetPixel(dc, x, y) != RGB(ch(GetRValue(tint)), ch(GetGValue(tint)), ch(GetBValue(tint)));
        }
    CHECK(wrong == 0);
    CHECK(first == GetPixel(dc, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}
