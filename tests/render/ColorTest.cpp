#include <doctest.h>

#include "GdiplusSession.h"
#include "framework/graphics/DibHelpers.h"
#include "render/ColorProcessing.h"

#include <algorithm>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

Bitmap* SolidBitmap(INT w, INT h, PixelFormat fmt, Color c) {
    Bitmap* b = new Bitmap(w, h, fmt);
    Graphics g(b);
    SolidBrush brush(c);
    g.SetCompositingMode(CompositingModeSourceCopy);
    g.FillRectangle(&brush, 0, 0, w, h);
    return b;
}

Color PixelAt(Bitmap* b, INT x, INT y) {
    Color c;
    b->GetPixel(x, y, &c);
    return c;
}

}  // namespace

TEST_CASE("lookup tables") {
    const ColorTables& t = GetColorTables();
    CHECK(t.lightPercent[510] == 100);
    CHECK(t.lightPercent[255] == 50);
    CHECK(t.logWeight[0] == t.logWeight[2]);
    CHECK(t.logWeight[100] == doctest::Approx(1.0f));
    CHECK(t.logWeight[2] == doctest::Approx(0.1505f).epsilon(0.001));
    CHECK(t.hueStep[0] == 0.0f);
    CHECK(t.lightStep[0] == -255);
    CHECK(t.lightStep[200] == 255);
    CHECK(t.lightStep[199] == 237);
    CHECK(t.lightStep[100] == 0);
    CHECK(t.satChange[50][100] == 50);
    CHECK(t.satChange[100][200] == 100);
    CHECK(t.satChange[0][0] == 0);
    for (unsigned int d = 1; d <= 510; ++d)
        for (unsigned int n = 0; n <= 25500; n += (n < 600 ? 1 : 97))
            REQUIRE(((static_cast<unsigned long long>(n) * t.divide[d]) >> 31) == n / d);
    for (int b = 0; b < 256; ++b) {
        CHECK(t.exclusion[0][b] == b);
        CHECK(t.exclusion[255][b] == 255 - b);
    }
}

TEST_CASE("the tables are complete for every thread that asks at once") {
    // Several threads race for the first use; each must see finished tables.
    std::vector<int> seen(8, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back(
            [&seen, i] { seen[i] = GetColorTables().lightStep[200] + GetColorTables().exclusion[255][0]; });
    for (auto& th : threads) th.join();
    for (int v : seen) CHECK(v == 510);
}

TEST_CASE("RGB to HSL and back") {
    int h, s, l;
    RgbToHsl(255, 0, 0, &h, &s, &l);
    CHECK(h == 0);
    CHECK(s == 100);
    CHECK(l == 50);
    RgbToHsl(0, 0, 255, &h, &s, &l);
    CHECK(h == 240);
    RgbToHsl(0, 255, 0, &h, &s, &l);
    CHECK(h == 120);
    RgbToHsl(128, 128, 128, &h, &s, &l);
    CHECK(s == 0);
    CHECK(l == 50);
    RgbToHsl(255, 0, 255, &h, &s, &l);
    CHECK(h == 300);

    int r, g, b;
    HslToRgb(0, 0, 100, &r, &g, &b);
    CHECK(r == 254);
    CHECK(g == 254);
    CHECK(b == 254);
    HslToRgb(0, 0, 50, &r, &g, &b);
    CHECK(r == 127);
    HslToRgb(0, 100, 50, &r, &g, &b);
    CHECK(r == 255);
    CHECK(g == 0);
    CHECK(b == 0);
    HslToRgb(240, 100, 50, &r, &g, &b);
    CHECK(b == 255);
    CHECK(r == 0);
}

TEST_CASE("per-pixel shifts") {
    const ColorTables& t = GetColorTables();
    int h, s, l;
    // hue 350 + 30 wraps to 20
    int r, g, b;
    HslToRgb(350, 100, 50, &r, &g, &b);
    unsigned char px[3] = {static_cast<unsigned char>(b), static_cast<unsigned char>(g),
                           static_cast<unsigned char>(r)};
    RgbToHsl(px[2], px[1], px[0], &h, &s, &l);
    REQUIRE(h >= 349);
    AdjustPixelHsl(t, px, 30, 0, 0);
    RgbToHsl(px[2], px[1], px[0], &h, &s, &l);
    CHECK(h >= 18);
    CHECK(h <= 21);

    HslToRgb(10, 100, 50, &r, &g, &b);
    unsigned char px2[3] = {static_cast<unsigned char>(b), static_cast<unsigned char>(g),
                            static_cast<unsigned char>(r)};
    AdjustPixelHsl(t, px2, -30, 0, 0);
    RgbToHsl(px2[2], px2[1], px2[0], &h, &s, &l);
    CHECK(h >= 338);
    CHECK(h <= 341);

    unsigned char white[3] = {255, 255, 255};
    AdjustPixelHsl(t, white, 1, 0, 0);
    CHECK(white[0] == 254);
    CHECK(white[2] == 254);

    unsigned char dark[3] = {0, 0, 0};
    AdjustPixelHsl(t, dark, 0, 0, 100);
    CHECK(dark[0] == 255);
    CHECK(dark[1] == 255);
    unsigned char dark2[3] = {0, 0, 0};
    AdjustPixelHsl(t, dark2, 0, 0, 99);
    CHECK(dark2[0] == 237);

    // shifts far outside their ranges do not read outside the tables
    unsigned char odd[3] = {10, 200, 30};
    AdjustPixelHsl(t, odd, 100000, -5000, 777);
    CHECK(odd[0] == 255);
}

TEST_CASE("whole bitmaps change exactly as single pixels do") {
    REQUIRE(kvtest::GdiplusReady());
    const ColorTables& t = GetColorTables();
    // every colour with channels in steps of 5 (52^3 pixels)
    const INT side = 52 * 52;
    Bitmap src(side, 52, PixelFormat24bppRGB), dst(side, 52, PixelFormat24bppRGB);
    Rect rc(0, 0, side, 52);
    BitmapData bd;
    REQUIRE(src.LockBits(&rc, ImageLockModeWrite, PixelFormat24bppRGB, &bd) == Ok);
    for (INT y = 0; y < 52; ++y) {
        unsigned char* row = static_cast<unsigned char*>(bd.Scan0) + y * bd.Stride;
        for (INT x = 0; x < side; ++x) {
            row[x * 3 + 0] = static_cast<unsigned char>(y * 5);
            row[x * 3 + 1] = static_cast<unsigned char>((x / 52) * 5);
            row[x * 3 + 2] = static_cast<unsigned char>((x % 52) * 5);
        }
    }
    src.UnlockBits(&bd);
    const int shifts[][3] = {{40, 30, -20}, {-180, -100, 100}, {180, 100, -100},
                             {1, 0, 0},     {0, 57, 0},        {-7, -33, 99}};
    for (const auto& sh : shifts) {
        REQUIRE(ApplyHslAdjustment(&src, &dst, sh[0], sh[1], sh[2]));
        BitmapData a, b;
        src.LockBits(&rc, ImageLockModeRead, PixelFormat24bppRGB, &a);
        dst.LockBits(&rc, ImageLockModeRead, PixelFormat24bppRGB, &b);
        int mismatches = 0;
        for (INT y = 0; y < 52; ++y) {
            const unsigned char* ra = static_cast<const unsigned char*>(a.Scan0) + y * a.Stride;
            const unsigned char* rb = static_cast<const unsigned char*>(b.Scan0) + y * b.Stride;
            for (INT x = 0; x < side; ++x) {
                unsigned char px[3] = {ra[x * 3], ra[x * 3 + 1], ra[x * 3 + 2]};
                AdjustPixelHsl(t, px, sh[0], sh[1], sh[2]);
                if (px[0] != rb[x * 3] || px[1] != rb[x * 3 + 1] || px[2] != rb[x * 3 + 2]) ++mismatches;
            }
        }
        dst.UnlockBits(&b);
        src.UnlockBits(&a);
        CHECK(mismatches == 0);
    }
}

// The rows are changed four pixels at a time in vector registers, with the last pixels of a row
// one by one; every colour there is must come out as the single-pixel change gives it, in rows
// of 3 and of 4 bytes per pixel, in place and into another buffer.
TEST_CASE("every colour changes in whole rows exactly as single pixels do") {
    const ColorTables& t = GetColorTables();
    // 4093 pixels a row (the last ones left to the one-by-one code), 4099 rows hold all 2^24
    // colours; the rows' end is padded as bitmaps' rows are.
    const int width = 4093, height = (1 << 24) / width + 1;
    std::vector<unsigned char> src, dst;
    auto fill = [&](int bpp, int stride) {
        src.assign(static_cast<size_t>(stride) * height, 0x5A);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned int c = static_cast<unsigned int>(y * width + x) & 0xFFFFFF;
                unsigned char* p = &src[static_cast<size_t>(y) * stride + x * bpp];
                p[0] = static_cast<unsigned char>(c), p[1] = static_cast<unsigned char>(c >> 8),
                p[2] = static_cast<unsigned char>(c >> 16);
                if (bpp == 4) p[3] = static_cast<unsigned char>(x * 7 + y);
            }
    };
    auto mismatches = [&](int bpp, int stride, const std::vector<unsigned char>& out, const int* sh) {
        int bad = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t at = static_cast<size_t>(y) * stride + x * bpp;
                unsigned char px[3] = {src[at], src[at + 1], src[at + 2]};
                AdjustPixelHsl(t, px, sh[0], sh[1], sh[2]);
                if (px[0] != out[at] || px[1] != out[at + 1] || px[2] != out[at + 2]) ++bad;
                if (bpp == 4 && out[at + 3] != src[at + 3]) ++bad;
            }
        // The padding after each row is never written.
        for (int y = 0; y < height; ++y)
            for (int x = width * bpp; x < stride; ++x)
                if (out[static_cast<size_t>(y) * stride + x] != 0x5A) ++bad;
        return bad;
    };
    auto run = [&](int bpp, std::vector<unsigned char>& out, const int* sh) {
        BitmapData from = {}, to = {};
        from.Width = to.Width = width;
        from.Height = to.Height = height;
        from.Stride = to.Stride = (width * bpp + 3) & ~3;
        from.Scan0 = src.data();
        to.Scan0 = out.data();
        AdjustPixelRows(from, to, bpp, sh[0], sh[1], sh[2]);
    };
    const int shifts[][3] = {{40, 30, -20}, {-359, 100, 0}, {359, -100, 100}, {181, 7, -100}, {0, 0, 0}};
    for (int bpp : {3, 4}) {
        const int stride = (width * bpp + 3) & ~3;
        fill(bpp, stride);
        for (const auto& sh : shifts) {
            CAPTURE(bpp);
            CAPTURE(sh[0]);
            CAPTURE(sh[1]);
            CAPTURE(sh[2]);
            dst.assign(src.size(), 0x5A);
            run(bpp, dst, sh);
            CHECK(mismatches(bpp, stride, dst, sh) == 0);
        }
        // In place.
        dst = src;
        const int sh[3] = {-75, 45, 12};
        BitmapData rows = {};
        rows.Width = width;
        rows.Height = height;
        rows.Stride = stride;
        rows.Scan0 = dst.data();
        AdjustPixelRows(rows, rows, bpp, sh[0], sh[1], sh[2]);
        CHECK(mismatches(bpp, stride, dst, sh) == 0);
    }
}

TEST_CASE("bitmap adjustment") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("destination smaller than the source is refused and left alone") {
        Bitmap* src = SolidBitmap(8, 8, PixelFormat24bppRGB, Color(255, 200, 10, 10));
        Bitmap* dst = SolidBitmap(4, 8, PixelFormat24bppRGB, Color(255, 1, 2, 3));
        CHECK_FALSE(ApplyHslAdjustment(src, dst, 10, 0, 0));
        CHECK(PixelAt(dst, 0, 0).GetValue() == Color(255, 1, 2, 3).GetValue());
        CHECK_FALSE(ApplyHslAdjustment(nullptr, dst, 10, 0, 0));
        delete src;
        delete dst;
    }
    SUBCASE("red shifted by 120 degrees becomes green, alpha kept") {
        Bitmap* src = SolidBitmap(4, 4, PixelFormat32bppARGB, Color(128, 255, 0, 0));
        Bitmap* dst = new Bitmap(6, 6, PixelFormat32bppARGB);
        REQUIRE(ApplyHslAdjustment(src, dst, 120, 0, 0));
        Color c = PixelAt(dst, 1, 1);
        CHECK(c.GetA() == 128);
        CHECK(c.GetR() == 0);
        CHECK(c.GetG() == 255);
        CHECK(c.GetB() == 0);
        delete src;
        delete dst;
    }
    SUBCASE("in place, 24-bit") {
        Bitmap* b = SolidBitmap(5, 3, PixelFormat24bppRGB, Color(255, 0, 0, 255));
        AdjustBitmapHsl(b, 120, 0, 0);
        Color c = PixelAt(b, 4, 2);
        CHECK(c.GetR() == 255);
        CHECK(c.GetB() == 0);
        AdjustBitmapHsl(nullptr, 1, 1, 1);
        delete b;
    }
    SUBCASE("scaled copy carries the change") {
        Bitmap* b = SolidBitmap(20, 20, PixelFormat24bppRGB, Color(255, 255, 0, 0));
        Bitmap* big = CreateScaledBitmap(b, RectF(0, 0, 40, 30), 240, 0, 0);
        REQUIRE(big != nullptr);
        CHECK(big->GetWidth() == 40);
        CHECK(big->GetHeight() == 30);
        Color c = PixelAt(big, 20, 15);
        CHECK(c.GetB() == 255);
        CHECK(c.GetR() == 0);
        Bitmap* small = CreateScaledBitmap(b, RectF(0, 0, 10, 10), 120, 0, 0);
        REQUIRE(small != nullptr);
        CHECK(PixelAt(small, 5, 5).GetG() == 255);
        CHECK(CreateScaledBitmap(b, RectF(0, 0, 0, 10), 0, 0, 0) == nullptr);
        delete big;
        delete small;
        delete b;
    }
    SUBCASE("drawing through the scratch bitmap") {
        Bitmap* b = SolidBitmap(10, 10, PixelFormat24bppRGB, Color(255, 255, 0, 0));
        Bitmap target(30, 30, PixelFormat24bppRGB);
        {
            Graphics g(&target);
            DrawImageWithHsl(&g, b, RectF(0, 0, 30, 30), 120, 0, 0);
        }
        Color c = PixelAt(&target, 15, 15);
        CHECK(c.GetG() == 255);
        CHECK(c.GetR() == 0);
        // a smaller image afterwards reuses the scratch and shows none of the old pixels
        Bitmap* s = SolidBitmap(4, 4, PixelFormat24bppRGB, Color(255, 0, 0, 255));
        {
            Graphics g(&target);
            DrawImageWithHsl(&g, s, RectF(0, 0, 30, 30), 0, 0, 10);
        }
        Color e = PixelAt(&target, 29, 29);
        CHECK(e.GetG() == e.GetR());
        CHECK(e.GetB() > 200);
        delete s;
        delete b;
        FreeColorScratchBitmaps();
    }
}

TEST_CASE("format normalisation and DIBs") {
    REQUIRE(kvtest::GdiplusReady());
    Bitmap* pal = new Bitmap(3, 3, PixelFormat8bppIndexed);
    Bitmap* n = NormalizeBitmapFormat(pal);
    REQUIRE(n != nullptr);
    CHECK(n->GetPixelFormat() == PixelFormat32bppARGB);
    CHECK(n->GetWidth() == 3);
    CHECK(NormalizeBitmapFormat(n) == n);
    delete n;

    // 2 x 2 bottom-up 32-bit DIB: bottom row first in memory
    std::vector<unsigned char> dib(40 + 16, 0);
    BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    bih->biSize = 40;
    bih->biWidth = 2;
    bih->biHeight = 2;
    bih->biPlanes = 1;
    bih->biBitCount = 32;
    unsigned char* px = dib.data() + 40;
    // bottom row: blue, half-transparent
    px[0] = 255;
    px[3] = 128;
    px[4] = 255;
    px[7] = 128;
    // top row: red, opaque
    px[10] = 255;
    px[11] = 255;
    px[14] = 255;
    px[15] = 255;
    // One byte short of the pixels: refused, nothing is read past the block.
    CHECK(CreateBitmapFromDib(dib.data(), dib.size() - 1) == nullptr);
    Bitmap* fromDib = CreateBitmapFromDib(dib.data(), dib.size());
    REQUIRE(fromDib != nullptr);
    Color top = PixelAt(fromDib, 0, 0), bottom = PixelAt(fromDib, 1, 1);
    CHECK(top.GetR() == 255);
    CHECK(top.GetA() == 255);
    CHECK(bottom.GetB() == 255);
    CHECK(bottom.GetA() == 128);
    delete fromDib;
    bih->biBitCount = 24;
    CHECK(CreateBitmapFromDib(dib.data(), dib.size()) == nullptr);

    CLSID clsid;
    CHECK(GetEncoderClsid(L"image/png", &clsid) >= 0);
    CHECK(GetEncoderClsid(L"image/PNG", &clsid) == -1);
}

TEST_CASE("inverting a path") {
    REQUIRE(kvtest::GdiplusReady());
    Rect a(0, 0, 10, 10), b(5, 5, 10, 10), out;
    CHECK(IntersectRectXYWH(&out, a, b));
    CHECK(out.X == 5);
    CHECK(out.Width == 5);
    CHECK_FALSE(IntersectRectXYWH(&out, a, Rect(10, 0, 5, 5)));

    SUBCASE("plain inversion twice restores the pixels") {
        Bitmap* bmp = SolidBitmap(20, 20, PixelFormat24bppRGB, Color(255, 10, 100, 200));
        Graphics g(bmp);
        GraphicsPath path;
        path.AddRectangle(Rect(2, 2, 10, 10));
        InvertPathOnBitmap(&g, bmp, &path, false, true, nullptr);
        Color c = PixelAt(bmp, 5, 5);
        CHECK(c.GetR() == 245);
        CHECK(c.GetG() == 155);
        CHECK(c.GetB() == 55);
        CHECK(PixelAt(bmp, 15, 15).GetR() == 10);
        InvertPathOnBitmap(&g, bmp, &path, false, true, nullptr);
        CHECK(PixelAt(bmp, 5, 5).GetR() == 10);
        CHECK(PixelAt(bmp, 5, 5).GetB() == 200);
        delete bmp;
    }
    SUBCASE("anti-aliased fill inverts the inside, not just the edge band") {
        Bitmap* bmp = SolidBitmap(40, 40, PixelFormat24bppRGB, Color(255, 0, 0, 0));
        Graphics g(bmp);
        GraphicsPath path;
        path.AddRectangle(Rect(5, 5, 30, 30));
        InvertPathOnBitmap(&g, bmp, &path, true, true, nullptr);
        CHECK(PixelAt(bmp, 20, 20).GetR() == 255);
        CHECK(PixelAt(bmp, 0, 0).GetR() == 0);
        delete bmp;
    }
    SUBCASE("anti-aliased outline on a DIB section") {
        void* bits = nullptr;
        ScopedMemoryDC dc(nullptr);
        REQUIRE(dc.Select(CreateTopDownDibSection(dc, 40, 40, 24, &bits).Release(), true));
        HBITMAP dib = dc.Bitmap();
        std::fill(static_cast<unsigned char*>(bits), static_cast<unsigned char*>(bits) + 120 * 40, 255);
        {
            Graphics g(dc.Get());
            GraphicsPath path;
            path.AddRectangle(Rect(10, 10, 20, 20));
            InvertPathOnDib(&g, dib, &path, true, false, nullptr);
            // a plain fill of a strip near the top shows the rows run top-down
            GraphicsPath strip;
            strip.AddRectangle(Rect(0, 0, 5, 3));
            InvertPathOnDib(&g, dib, &strip, false, true, nullptr);
        }
        const unsigned char* p = static_cast<const unsigned char*>(bits);
        int stride = 120;
        CHECK(p[20 * stride + 20 * 3] == 255);  // inside untouched by an outline
        CHECK(p[0] == 0);                       // the strip at the top is inverted
        CHECK(p[39 * stride] == 255);           // the bottom row is not
        int darkest = 255;
        for (int x = 8; x <= 12; ++x) darkest = std::min<int>(darkest, p[20 * stride + x * 3]);
        CHECK(darkest < 128);  // the edge is inverted (white becomes dark)
    }
}

TEST_CASE("a part of a scaled copy holds the whole's pixels there") {
    REQUIRE(kvtest::GdiplusReady());
    // A busy picture: a part placed even one pixel off would differ everywhere.
    Bitmap picture(300, 300, PixelFormat24bppRGB);
    for (INT y = 0; y < 300; ++y)
        for (INT x = 0; x < 300; ++x)
            picture.SetPixel(x, y, Color(255, BYTE(x * 37 + y * 91), BYTE(x * y), BYTE(x * 13 ^ y * 7)));
    // Enlarged (the colour changed before scaling) and reduced (after), with and without a change;
    // GDI+ may place its samples a hair apart for a part, never a level or two more.
    for (int size : {1100, 250})
        for (int hue : {0, 40}) {
            const Rect r = size > 300 ? Rect(610, 550, 200, 150) : Rect(20, 30, 60, 50);
            Bitmap* whole = CreateScaledBitmap(&picture, RectF(0, 0, REAL(size), REAL(size)), hue, 0, 0);
            Bitmap* part = CreateScaledPart(&picture, size, size, r, hue, 0, 0);
            REQUIRE(part != nullptr);
            CHECK(part->GetWidth() == UINT(r.Width));
            int most = 0;
            for (INT y = 0; y < r.Height; ++y)
                for (INT x = 0; x < r.Width; ++x) {
                    const Color a = PixelAt(whole, r.X + x, r.Y + y), b = PixelAt(part, x, y);
                    most = std::max({most, std::abs(a.GetR() - b.GetR()), std::abs(a.GetG() - b.GetG()),
                                     std::abs(a.GetB() - b.GetB())});
                }
            CHECK(most <= 2);
            delete whole;
            delete part;
        }
}
