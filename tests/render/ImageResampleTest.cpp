// Our own resampling of pictures: the filter against a reference worked out here in double
// precision, pixel by pixel in two dimensions (photo-like and hard-edged pictures, shrinking and
// enlarging, odd sizes, a one-pixel picture), parts and threads giving the same pixels, and the
// drawing 1:1 inside a clip, transparency included.
#include <doctest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GdiplusSession.h"
#include "RenderFixtures.h"
#include "framework/graphics/DibHelpers.h"
#include "render/ImageResample.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

struct Picture {
    int w, h, bpp;
    std::vector<unsigned char> px;
    Picture(int width, int height, int bytes = 3)
        : w(width), h(height), bpp(bytes), px(width * height * bytes) {}
    unsigned char* At(int x, int y) { return &px[(static_cast<size_t>(y) * w + x) * bpp]; }
    PixelBlock Block() {
        PixelBlock b;
        b.bits = px.data();
        b.width = w;
        b.height = h;
        b.stride = w * bpp;
        b.bytesPerPixel = bpp;
        return b;
    }
};

Picture PhotoLike(int w, int h, unsigned seed) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int n = static_cast<int>((seed >> 16) % 21) - 10;
            unsigned char* q = p.At(x, y);
            q[0] =
                static_cast<unsigned char>(std::max(0, std::min(255, 40 + 170 * x / std::max(1, w - 1) + n)));
            q[1] = static_cast<unsigned char>(
                std::max(0, std::min(255, 200 - 150 * y / std::max(1, h - 1) + n)));
            q[2] = static_cast<unsigned char>(
                std::max(0, std::min(255, 128 + static_cast<int>(90 * std::sin(x * 0.3 + y * 0.2)) + n)));
        }
    return p;
}

// Black and white blocks of odd sizes with a one-pixel red frame: the filter's overshoot and
// the edges both show.
Picture HardEdged(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* q = p.At(x, y);
            const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const unsigned char v = ((x / 3 + y / 5) & 1) ? 255 : 0;
            q[0] = frame ? 0 : v;
            q[1] = frame ? 0 : v;
            q[2] = frame ? 255 : v;
        }
    return p;
}

// Keys' cubic with a = -0.5, written out on its own.
double Keys(double x) {
    const double a = -0.5;
    x = std::fabs(x);
    if (x <= 1) return (a + 2) * x * x * x - (a + 3) * x * x + 1;
    if (x < 2) return a * x * x * x - 5 * a * x * x + 8 * a * x - 4 * a;
    return 0;
}

// The reference: every output pixel a weighted sum over every source pixel within the filter's
// reach, in double precision, the weights of the taps inside the picture summing to one.
Picture Reference(Picture& src, int dw, int dh) {
    Picture out(dw, dh, src.bpp);
    const double sx = static_cast<double>(src.w) / dw, sy = static_cast<double>(src.h) / dh;
    const double fx = std::max(1.0, sx), fy = std::max(1.0, sy);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
            const double cx = (x + 0.5) * sx, cy = (y + 0.5) * sy;
            double acc[4] = {0, 0, 0, 0}, total = 0;
            // Only pixels within the kernel's reach (two filter widths) can weigh.
            const int j0 = std::max(0, static_cast<int>(cy - 2 * fy) - 1),
                      j1 = std::min(src.h, static_cast<int>(cy + 2 * fy) + 2);
            const int i0 = std::max(0, static_cast<int>(cx - 2 * fx) - 1),
                      i1 = std::min(src.w, static_cast<int>(cx + 2 * fx) + 2);
            for (int j = j0; j < j1; ++j) {
                const double wy = Keys((j + 0.5 - cy) / fy);
                if (wy == 0) continue;
                for (int i = i0; i < i1; ++i) {
                    const double wx = Keys((i + 0.5 - cx) / fx);
                    if (wx == 0) continue;
                    total += wx * wy;
                    for (int c = 0; c < src.bpp; ++c) acc[c] += wx * wy * src.At(i, j)[c];
                }
            }
            for (int c = 0; c < src.bpp; ++c) {
                const double v = std::floor(acc[c] / total + 0.5);
                out.At(x, y)[c] = static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
        }
    return out;
}

int LargestDifference(const Picture& a, const Picture& b) {
    int m = 0;
    for (size_t i = 0; i < a.px.size(); ++i) m = std::max(m, std::abs(a.px[i] - b.px[i]));
    return m;
}

Picture Resample(Picture& src, int dw, int dh, int threads) {
    Picture out(dw, dh, src.bpp);
    REQUIRE(ResamplePixels(src.Block(), dw, dh, 0, 0, out.Block(), threads));
    return out;
}

}  // namespace

TEST_CASE("resampling matches the reference within one level, edges included") {
    struct Case {
        int sw, sh, dw, dh;
    };
    const Case cases[] = {
        {37, 23, 101, 67},   // enlarging
        {203, 151, 41, 29},  // shrinking (area average)
        {50, 120, 173, 31},  // enlarging across, shrinking down
        {64, 64, 64, 64},    // the same size
        {1, 1, 17, 9},       // one pixel
        {1, 40, 7, 13},      // one column
        {3, 2, 2, 5},
    };
    for (const Case& c : cases) {
        CAPTURE(c.sw);
        CAPTURE(c.sh);
        CAPTURE(c.dw);
        CAPTURE(c.dh);
        for (int kind = 0; kind < 2; ++kind) {
            CAPTURE(kind);
            Picture src = kind == 0 ? PhotoLike(c.sw, c.sh, 99) : HardEdged(c.sw, c.sh);
            Picture ours = Resample(src, c.dw, c.dh, 3);
            Picture ref = Reference(src, c.dw, c.dh);
            CHECK(LargestDifference(ours, ref) <= 1);
        }
    }
    // A one-pixel picture, or a flat one, fills everything with exactly its colour: no seam.
    Picture dot(1, 1);
    dot.At(0, 0)[0] = 10, dot.At(0, 0)[1] = 200, dot.At(0, 0)[2] = 77;
    Picture big = Resample(dot, 31, 17, 2);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x)
            CHECK((big.At(x, y)[0] == 10 && big.At(x, y)[1] == 200 && big.At(x, y)[2] == 77));
    // The red frame of a hard-edged picture reaches the last row and column when enlarged.
    Picture framed = HardEdged(20, 12);
    Picture grown = Resample(framed, 80, 48, 1);
    CHECK(grown.At(79, 20)[2] > 240);
    CHECK(grown.At(79, 20)[1] < 15);
    CHECK(grown.At(40, 47)[2] > 240);
    CHECK(grown.At(40, 47)[0] < 15);
}

TEST_CASE("parts and threads of a resampling give the same pixels as the whole on one thread") {
    Picture src = PhotoLike(300, 170, 7);
    Picture whole = Resample(src, 977, 531, 1);
    for (int threads : {2, 4, 8}) {
        CAPTURE(threads);
        CHECK(Resample(src, 977, 531, threads).px == whole.px);
    }
    // A part starting at (101, 53): the same pixels as that part of the whole.
    Picture part(400, 300);
    REQUIRE(ResamplePixels(src.Block(), 977, 531, 101, 53, part.Block(), 4));
    int off = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            for (int c = 0; c < 3; ++c) off += part.At(x, y)[c] != whole.At(x + 101, y + 53)[c];
    CHECK(off == 0);
    // Nonsense is refused.
    CHECK_FALSE(ResamplePixels(src.Block(), 977, 531, 900, 0, part.Block(), 1));
    Picture four(10, 10, 4);
    CHECK_FALSE(ResamplePixels(src.Block(), 10, 10, 0, 0, four.Block(), 1));
}

TEST_CASE("premultiplied pixels keep colour within alpha, and match the reference") {
    Picture src(23, 19, 4);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 23; ++x) {
            unsigned char* q = src.At(x, y);
            const int a = (x * 37 + y * 11) % 256;
            q[3] = static_cast<unsigned char>((x / 4 + y / 3) % 2 ? a : 0);
            q[2] = static_cast<unsigned char>(q[3]);  // red, premultiplied at full
            q[1] = static_cast<unsigned char>(q[3] / 2);
            q[0] = 0;
        }
    Picture ours = Resample(src, 71, 45, 2);
    int over = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 71; ++x)
            for (int c = 0; c < 3; ++c) over += ours.At(x, y)[c] > ours.At(x, y)[3];
    CHECK(over == 0);
    Picture ref = Reference(src, 71, 45);
    // Colour may be cut down to alpha where the reference overshoots; alpha itself within one.
    int alphaOff = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 71; ++x)
            alphaOff = std::max(alphaOff, std::abs(ours.At(x, y)[3] - ref.At(x, y)[3]));
    CHECK(alphaOff <= 1);
}

TEST_CASE("a resampled picture is drawn 1:1 inside the clip of a ring, with no light edge") {
    REQUIRE(kvtest::GdiplusReady());
    // A flat picture: every drawn pixel must be exactly its colour, the edges too.
    Bitmap flat(120, 140, PixelFormat24bppRGB);
    {
        Graphics g(&flat);
        g.Clear(Color(255, 200, 40, 30));
    }
    const int size = 300;
    Bitmap surface(size, size, PixelFormat24bppRGB), mask(size, size, PixelFormat24bppRGB);
    GraphicsPath ring;
    ring.AddEllipse(20, 20, 260, 260);
    ring.AddEllipse(120, 120, 60, 60);
    Region clip(&ring);
    const Rect dest(10, 10, 280, 280);
    {
        Graphics g(&surface);
        g.Clear(Color(255, 255, 255, 255));
        g.SetClip(&clip);
        REQUIRE(DrawImageResampled(&g, &flat, dest, 0, 0, 0));
    }
    {
        // The same clip as GDI+ applies it to its own fills.
        Graphics g(&mask);
        g.Clear(Color(255, 255, 255, 255));
        g.SetClip(&clip);
        SolidBrush brush(Color(255, 200, 40, 30));
        g.FillRectangle(&brush, dest);
    }
    int wrong = 0, inside = 0;
    for (int y = 0; y < size; y += 1)
        for (int x = 0; x < size; x += 1) {
            const Color a = rt::Pixel(&surface, x, y), b = rt::Pixel(&mask, x, y);
            wrong += a.GetValue() != b.GetValue();
            inside += rt::SameRgb(a, 200, 40, 30);
        }
    CHECK(wrong == 0);
    CHECK(inside > 40000);
    CHECK(rt::SameRgb(rt::Pixel(&surface, 150, 150), 255, 255, 255));  // the hole
    CHECK(rt::SameRgb(rt::Pixel(&surface, 15, 15), 255, 255, 255));    // outside the disc
    CHECK(rt::SameRgb(rt::Pixel(&surface, 150, 278), 200, 40, 30));    // the last rows
    CHECK(rt::SameRgb(rt::Pixel(&surface, 278, 150), 200, 40, 30));

    // A rotated world is left to GDI+.
    Graphics turned(&surface);
    turned.RotateTransform(30);
    CHECK_FALSE(DrawImageResampled(&turned, &flat, dest, 0, 0, 0));
}

TEST_CASE("transparent pictures are blended, and the colour change comes before the scaling") {
    REQUIRE(kvtest::GdiplusReady());
    Bitmap half(90, 110, PixelFormat32bppARGB);
    {
        Graphics g(&half);
        g.Clear(Color(128, 255, 0, 0));
        SolidBrush clear(Color(0, 0, 0, 0));
        g.SetCompositingMode(CompositingModeSourceCopy);
        g.FillRectangle(&clear, 0, 0, 45, 110);  // the left half fully transparent
    }
    Bitmap surface(200, 200, PixelFormat24bppRGB);
    {
        Graphics g(&surface);
        g.Clear(Color(255, 0, 0, 255));
        REQUIRE(DrawImageResampled(&g, &half, Rect(0, 0, 180, 200), 0, 0, 0));
    }
    CHECK(rt::SameRgb(rt::Pixel(&surface, 20, 100), 0, 0, 255));        // under the clear half
    CHECK(rt::SameRgb(rt::Pixel(&surface, 150, 100), 128, 0, 127, 2));  // half red over blue
    CHECK(rt::SameRgb(rt::Pixel(&surface, 190, 100), 0, 0, 255));       // beside the picture

    // Lightness -100 turns a grey picture black before it is scaled.
    Bitmap grey(80, 120, PixelFormat24bppRGB);
    {
        Graphics g(&grey);
        g.Clear(Color(255, 128, 128, 128));
    }
    Bitmap dark(100, 100, PixelFormat24bppRGB);
    {
        Graphics g(&dark);
        g.Clear(Color(255, 255, 255, 255));
        REQUIRE(DrawImageResampled(&g, &grey, Rect(10, 10, 80, 80), 0, 0, -100));
    }
    CHECK(rt::Pixel(&dark, 50, 50).GetR() < 5);
    CHECK(rt::SameRgb(rt::Pixel(&dark, 5, 5), 255, 255, 255));
}

TEST_CASE("a picture taller than one strip of rows is put whole, each strip where it belongs") {
    REQUIRE(kvtest::GdiplusReady());
    Picture src = PhotoLike(31, 233, 11);
    Bitmap picture(31, 233, PixelFormat24bppRGB);
    Rect all(0, 0, 31, 233);
    BitmapData d;
    REQUIRE(picture.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &d) == Ok);
    for (int y = 0; y < 233; ++y)
        std::memcpy(static_cast<BYTE*>(d.Scan0) + y * d.Stride, src.At(0, y), 31 * 3);
    picture.UnlockBits(&d);
    const int h = 1337;
    Bitmap surface(70, h + 20, PixelFormat24bppRGB);
    {
        Graphics g(&surface);
        g.Clear(Color(255, 255, 255, 255));
        REQUIRE(DrawImageResampled(&g, &picture, Rect(5, 10, 61, h), 0, 0, 0));
    }
    Picture expected = Resample(src, 61, h, 1);
    Rect whole(0, 0, 70, h + 20);
    REQUIRE(surface.LockBits(&whole, ImageLockModeRead, PixelFormat24bppRGB, &d) == Ok);
    int off = 0;
    for (int y = 0; y < h; ++y)
        off += std::memcmp(static_cast<const BYTE*>(d.Scan0) + (y + 10) * d.Stride + 5 * 3, expected.At(0, y),
                           61 * 3) != 0;
    const BYTE* below = static_cast<const BYTE*>(d.Scan0) + (h + 10) * d.Stride + 5 * 3;
    CHECK((below[0] == 255 && below[1] == 255 && below[2] == 255));
    surface.UnlockBits(&d);
    CHECK(off == 0);
}

// A surface that is a DIB section in memory gets the rows written straight into its pixels; the
// section's rows may lie top-down or bottom-up, and each row must land where the DC shows it.
TEST_CASE("rows put straight into a DIB section land on their rows, top-down and bottom-up") {
    REQUIRE(kvtest::GdiplusReady());
    Picture src = PhotoLike(45, 77, 5);
    Bitmap picture(45, 77, PixelFormat24bppRGB);
    Rect all(0, 0, 45, 77);
    BitmapData d;
    REQUIRE(picture.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &d) == Ok);
    for (int y = 0; y < 77; ++y) std::memcpy(static_cast<BYTE*>(d.Scan0) + y * d.Stride, src.At(0, y), 45 * 3);
    picture.UnlockBits(&d);
    const int w = 90, h = 131;
    Picture expected = Resample(src, 60, 100, 1);
    for (bool bottomUp : {false, true}) {
        CAPTURE(bottomUp);
        BITMAPINFO info = {MakeDibHeader(w, bottomUp ? h : -h, 24), {}};
        void* bits = nullptr;
        ScopedBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        REQUIRE(section);
        const int stride = (w * 3 + 3) & ~3;
        std::memset(bits, 255, static_cast<size_t>(stride) * h);
        ScopedMemoryDC dc(nullptr);
        dc.Select(section, false);
        {
            Graphics g(dc.Get());
            REQUIRE(DrawImageResampled(&g, &picture, Rect(7, 20, 60, 100), 0, 0, 0));
        }
        GdiFlush();
        auto row = [&](int y) {
            return static_cast<const unsigned char*>(bits) + static_cast<ptrdiff_t>(bottomUp ? h - 1 - y : y) * stride;
        };
        int off = 0;
        for (int y = 0; y < 100; ++y) off += std::memcmp(row(20 + y) + 7 * 3, expected.At(0, y), 60 * 3) != 0;
        CHECK(off == 0);
        // Above and below the picture the surface is untouched.
        CHECK((row(19)[7 * 3] == 255 && row(120)[7 * 3] == 255 && row(60)[6 * 3] == 255));
    }
}
