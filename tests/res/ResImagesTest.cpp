// Loads every picture the program carries, by id and type, the way the program loads it,
// and checks sizes, image counts and the details that other code relies on.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/ResourceImages.h"

namespace {

HINSTANCE Self() {
    return GetModuleHandleW(nullptr);
}

struct ResBytes {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

ResBytes FindBytes(UINT id, LPCWSTR type) {
    ResBytes r;
    HRSRC h = FindResourceW(Self(), MAKEINTRESOURCEW(id), type);
    if (!h) return r;
    HGLOBAL g = LoadResource(Self(), h);
    if (!g) return r;
    r.data = static_cast<const unsigned char*>(LockResource(g));
    r.size = SizeofResource(Self(), h);
    return r;
}

// A bitmap loaded as a DIB section, as the image lists and textures load it.
struct Dib {
    HBITMAP bmp = nullptr;
    BITMAP info{};
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    explicit Dib(UINT id) {
        bmp = static_cast<HBITMAP>(
            LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bmp) GetObjectW(bmp, sizeof info, &info);
    }
    ~Dib() {
        Release();
        if (bmp) DeleteObject(bmp);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    // Colour of one pixel as 0xRRGGBB (24- and 8-bit DIB sections).
    unsigned Pixel(int x, int y) {
        if (!dc) {
            dc = CreateCompatibleDC(nullptr);
            old = SelectObject(dc, bmp);
        }
        COLORREF c = GetPixel(dc, x, y);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // Takes the bitmap out of the DC so that other code may select it.
    void Release() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
            dc = nullptr;
        }
    }
};

struct Strip {
    UINT id;
    int cx, cy, count;
};

const Strip kStrips[] = {
    {IDB_MENU_IMAGES, 16, 16, 26},    {IDB_MENU_ICONS16, 16, 16, 24},     {IDB_TOOL_IMAGES, 19, 19, 44},
    {IDB_PROPBAR_NORMAL, 19, 19, 12}, {IDB_PROPBAR_HOT, 19, 19, 12},      {IDB_MAINBAR_NORMAL, 55, 41, 16},
    {IDB_MAINBAR_HOT, 55, 41, 16},    {IDB_MAINBAR_DISABLED, 55, 41, 16}, {IDB_READCD_IMAGES, 32, 32, 5},
    {IDR_MENU_TOOLBAR, 16, 16, 13},   {IDB_TAB_FRONT, 145, 36, 1},        {IDB_TAB_BACK, 145, 36, 1},
    {IDB_TAB_CASE, 145, 36, 1},       {IDB_TAB_BOOKLET, 145, 36, 1},      {IDB_TAG_UNUSED, 11, 11, 1},
    {IDB_TAG_USED, 11, 11, 1},        {IDB_TAG_NONE, 11, 11, 1},
};

}  // namespace

TEST_CASE("masked strips load into image lists with their image counts") {
    for (const Strip& s : kStrips) {
        CAPTURE(s.id);
        Dib dib(s.id);
        REQUIRE(dib.bmp != nullptr);
        CHECK(dib.info.bmWidth == s.cx * s.count);
        CHECK(dib.info.bmHeight == s.cy);
        CHECK(dib.info.bmBitsPixel == 24);
        // the corner is the key colour: lists built with the default mask colour still work
        CHECK(dib.Pixel(0, 0) == 0xFF00FFu);

        // no picture of a strip is empty or fills its whole cell
        for (int i = 0; i < s.count; ++i) {
            int opaque = 0;
            for (int y = 0; y < s.cy; ++y)
                for (int x = 0; x < s.cx; ++x)
                    if (dib.Pixel(i * s.cx + x, y) != 0xFF00FFu) ++opaque;
            CAPTURE(i);
            CHECK(opaque > s.cx * s.cy / 16);
            CHECK(opaque < s.cx * s.cy);
        }

        // adding to a masked list blackens the key colour in the source, so it comes last
        dib.Release();
        HIMAGELIST list = ImageList_Create(s.cx, s.cy, ILC_COLOR24 | ILC_MASK, s.count, 0);
        REQUIRE(list != nullptr);
        CHECK(ImageList_AddMasked(list, dib.bmp, RGB(255, 0, 255)) == 0);
        CHECK(ImageList_GetImageCount(list) == s.count);
        ImageList_Destroy(list);
    }
}

TEST_CASE("tool-bar description matches its bitmap") {
    ResBytes tb = FindBytes(IDR_MENU_TOOLBAR, MAKEINTRESOURCEW(KV_RT_TOOLBAR));
    REQUIRE(tb.data != nullptr);
    REQUIRE(tb.size >= 8);
    const WORD* w = reinterpret_cast<const WORD*>(tb.data);
    CHECK(w[0] == 1);
    CHECK(w[1] == 16);
    CHECK(w[2] == 16);
    const int items = w[3];
    REQUIRE(tb.size == DWORD(8 + 2 * items));
    int buttons = 0;
    for (int i = 0; i < items; ++i)
        if (w[4 + i]) ++buttons;
    Dib dib(IDR_MENU_TOOLBAR);
    REQUIRE(dib.bmp != nullptr);
    CHECK(dib.info.bmWidth == 16 * buttons);
    CHECK(w[4] == 57600);  // New comes first
}

TEST_CASE("application icon has 16, 32 and 48 pixel entries in 32 and 8 bits") {
    ResBytes grp = FindBytes(IDI_KORVANELLE, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    REQUIRE(grp.data != nullptr);
    const WORD count = reinterpret_cast<const WORD*>(grp.data)[2];
    REQUIRE(count == 6);
    int found32 = 0, found8 = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = grp.data + 6 + 14 * i;  // packed group entries
        const int width = e[0], height = e[1];
        WORD bits, id;
        std::memcpy(&bits, e + 6, 2);
        std::memcpy(&id, e + 12, 2);
        CAPTURE(width);
        CHECK(width == height);
        CHECK((width == 16 || width == 32 || width == 48));
        if (bits == 32) ++found32;
        if (bits == 8) ++found8;
        // each entry makes an icon of its own size
        ResBytes one = FindBytes(id, MAKEINTRESOURCEW(3) /* RT_ICON */);
        REQUIRE(one.data != nullptr);
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(one.data), one.size, TRUE, 0x30000, width,
                                              width, LR_DEFAULTCOLOR);
        REQUIRE(icon != nullptr);
        ICONINFO ii{};
        REQUIRE(GetIconInfo(icon, &ii));
        BITMAP bm{};
        GetObjectW(ii.hbmMask, sizeof bm, &bm);
        CHECK(bm.bmWidth == width);
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        DestroyIcon(icon);
    }
    CHECK(found32 == 3);
    CHECK(found8 == 3);
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(Self(), MAKEINTRESOURCEW(IDI_KORVANELLE), IMAGE_ICON, size, size, 0));
        CHECK(icon != nullptr);
        if (icon) DestroyIcon(icon);
    }
}

TEST_CASE("cursors load with their hot spots") {
    struct {
        UINT id;
        DWORD hx, hy;
    } cursors[] = {{IDC_DRAG_NO_DROP, 0, 0}, {IDC_DRAG_DROP, 0, 0}, {IDC_TEXT_TURNED, 15, 15}};
    for (auto& c : cursors) {
        CAPTURE(c.id);
        HCURSOR cur = LoadCursorW(Self(), MAKEINTRESOURCEW(c.id));
        REQUIRE(cur != nullptr);
        ICONINFO ii{};
        REQUIRE(GetIconInfo(cur, &ii));
        CHECK(ii.fIcon == FALSE);
        CHECK(ii.xHotspot == c.hx);
        CHECK(ii.yHotspot == c.hy);
        BITMAP bm{};
        GetObjectW(ii.hbmMask, sizeof bm, &bm);
        CHECK(bm.bmWidth == 32);
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
    }
}

TEST_CASE("textures and palettes") {
    for (UINT id : {IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS}) {
        Dib t(id);
        REQUIRE(t.bmp != nullptr);
        CHECK(t.info.bmWidth == 64);
        CHECK(t.info.bmHeight == 64);
        // quiet: every pixel stays near grey and within a small range
        unsigned lo = 255, hi = 0;
        for (int y = 0; y < 64; y += 3)
            for (int x = 0; x < 64; x += 3) {
                unsigned g = (t.Pixel(x, y) >> 8) & 0xFF;
                lo = g < lo ? g : lo;
                hi = g > hi ? g : hi;
            }
        CHECK(hi - lo < 40);
    }

    Dib pal(IDB_PALETTE);
    REQUIRE(pal.bmp != nullptr);
    CHECK(pal.info.bmWidth == 739);
    CHECK(pal.info.bmHeight == 19);
    CHECK(pal.info.bmBitsPixel == 24);
    auto at = [&](int col, int row) { return pal.Pixel(5 + 9 * col, 5 + 9 * row); };
    CHECK(at(0, 0) == 0x000000u);
    CHECK(at(1, 0) == 0x4B4B4Bu);
    CHECK(at(0, 1) == 0x212121u);
    CHECK(at(1, 1) == 0x737373u);
    CHECK(at(2, 0) == 0x430010u);
    CHECK(at(3, 0) == 0x430000u);
    CHECK(at(4, 0) == 0x431000u);
    CHECK(at(2, 1) == 0x660033u);
    CHECK(at(3, 1) == 0x660000u);
    CHECK(at(4, 1) == 0x663300u);
    CHECK(at(80, 0) == 0x818181u);
    CHECK(at(81, 0) == 0xCDCDCDu);
    CHECK(at(80, 1) == 0xA7A7A7u);
    CHECK(at(81, 1) == 0xFFFFFFu);
    bool red = false, green = false, blue = false;
    for (int c = 0; c < 82; ++c) {
        red |= at(c, 0) == 0xFF0000u;
        green |= at(c, 0) == 0x00FF00u;
        blue |= at(c, 0) == 0x0000FFu;
    }
    CHECK(red);
    CHECK(green);
    CHECK(blue);
    CHECK(pal.Pixel(0, 0) == 0u);  // one-pixel black grid lines
    CHECK(pal.Pixel(9, 7) == 0u);

    Dib inactive(IDB_PALETTE_INACTIVE);
    REQUIRE(inactive.bmp != nullptr);
    CHECK(inactive.info.bmWidth == 739);
    CHECK(inactive.info.bmHeight == 19);
    CHECK(inactive.info.bmBitsPixel == 8);
}

TEST_CASE("PNG pictures decode with alpha at their sizes") {
    Gdiplus::GdiplusStartupInput in;
    ULONG_PTR token = 0;
    REQUIRE(Gdiplus::GdiplusStartup(&token, &in, nullptr) == Gdiplus::Ok);
    struct {
        UINT id;
        UINT w, h;
    } pngs[] = {{IDP_LIGHTSCRIBE_WARNING, 64, 64},
                {IDP_THEME_IMAGE, 96, 96},
                {IDP_SPLASH, 560, 290},
                {IDP_SIZE_GRIP, 12, 12},
                {IDP_COLOR_WHEEL, 201, 201}};
    for (auto& p : pngs) {
        CAPTURE(p.id);
        ResBytes r = FindBytes(p.id, L"PNG");
        REQUIRE(r.data != nullptr);
        REQUIRE(r.size > 33);
        CHECK(std::memcmp(r.data, "\x89PNG\r\n\x1a\n", 8) == 0);
        CHECK(r.data[25] == 6);  // colour type: RGB with alpha

        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, r.size);
        REQUIRE(mem != nullptr);
        std::memcpy(GlobalLock(mem), r.data, r.size);
        GlobalUnlock(mem);
        IStream* stream = nullptr;
        REQUIRE(CreateStreamOnHGlobal(mem, TRUE, &stream) == S_OK);
        {
            Gdiplus::Bitmap bmp(stream);
            REQUIRE(bmp.GetLastStatus() == Gdiplus::Ok);
            CHECK(bmp.GetWidth() == p.w);
            CHECK(bmp.GetHeight() == p.h);
            CHECK((bmp.GetPixelFormat() & PixelFormatAlpha) != 0);
            if (p.id == IDP_COLOR_WHEEL) {
                Gdiplus::Color c;
                bmp.GetPixel(200, 100, &c);  // red at the right
                CHECK(c.GetR() == 255);
                CHECK(c.GetG() < 10);
                bmp.GetPixel(100, 100, &c);  // white in the middle
                CHECK(c.GetG() > 245);
                CHECK(c.GetB() > 245);
                bmp.GetPixel(0, 0, &c);  // clear outside the circle
                CHECK(c.GetA() == 0);
                bmp.GetPixel(100, 3, &c);  // counter-clockwise: a quarter turn up is yellow-green
                CHECK(c.GetG() > 200);
                CHECK(c.GetB() < 30);
            }
        }
        stream->Release();
    }
    Gdiplus::GdiplusShutdown(token);
}

TEST_CASE("common-controls manifest is embedded") {
    ResBytes m = FindBytes(1, MAKEINTRESOURCEW(24));
    REQUIRE(m.data != nullptr);
    std::string text(reinterpret_cast<const char*>(m.data), m.size);
    CHECK(text.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    CHECK(text.find("6595b64144ccf1df") != std::string::npos);
    CHECK(text.find("processorArchitecture=\"x86\"") != std::string::npos);
}
