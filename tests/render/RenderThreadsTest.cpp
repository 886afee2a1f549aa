// The work split over threads: every item worked exactly once whatever the split, and the colour
// change giving the same pixels on one thread and on many.
#include <doctest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "GdiplusSession.h"
#include "render/ColorProcessing.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

TEST_CASE("runs cover every item once, in parts of at least the least run") {
    for (int count : {0, 1, 15, 16, 17, 1000, 1001}) {
        for (int parts : {1, 2, 3, 8, 40}) {
            CAPTURE(count);
            CAPTURE(parts);
            std::vector<std::atomic<int>> seen(count);
            std::atomic<int> runs{0}, shortest{1 << 30};
            ParallelRuns(count, parts, 16, [&](int begin, int end) {
                ++runs;
                int n = end - begin, s = shortest.load();
                while (n < s && !shortest.compare_exchange_weak(s, n)) {}
                for (int i = begin; i < end; ++i) ++seen[i];
            });
            int wrong = 0;
            for (auto& s : seen) wrong += s.load() != 1;
            CHECK(wrong == 0);
            if (count >= 16) {
                CHECK(runs.load() <= parts);
                CHECK(shortest.load() >= 16);
            }
        }
    }
    SetRenderThreadCount(5);
    CHECK(GetRenderThreadCount() == 5);
    SetRenderThreadCount(0);
    CHECK(GetRenderThreadCount() >= 1);
}

TEST_CASE("the colour change gives the same pixels on one thread and on eight") {
    REQUIRE(kvtest::GdiplusReady());
    const int w = 613, h = 419;
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
        Bitmap src(w, h, format), one(w, h, format), many(w, h, format);
        Rect r(0, 0, w, h);
        BitmapData d;
        REQUIRE(src.LockBits(&r, ImageLockModeWrite, format, &d) == Ok);
        const int bpp = format == PixelFormat24bppRGB ? 3 : 4;
        unsigned seed = 5;
        for (int y = 0; y < h; ++y) {
            unsigned char* row = static_cast<unsigned char*>(d.Scan0) + y * d.Stride;
            for (int x = 0; x < w * bpp; ++x) {
                seed = seed * 1103515245u + 12345u;
                row[x] = static_cast<unsigned char>((x / 9 + y) % 3 ? seed >> 24 : 128);
            }
        }
        src.UnlockBits(&d);
        SetRenderThreadCount(1);
        REQUIRE(ApplyHslAdjustment(&src, &one, 140, -35, 22));
        SetRenderThreadCount(8);
        REQUIRE(ApplyHslAdjustment(&src, &many, 140, -35, 22));
        SetRenderThreadCount(0);
        BitmapData a, b;
        REQUIRE(one.LockBits(&r, ImageLockModeRead, format, &a) == Ok);
        REQUIRE(many.LockBits(&r, ImageLockModeRead, format, &b) == Ok);
        int off = 0, changed = 0;
        for (int y = 0; y < h; ++y) {
            const unsigned char* pa = static_cast<const unsigned char*>(a.Scan0) + y * a.Stride;
            const unsigned char* pb = static_cast<const unsigned char*>(b.Scan0) + y * b.Stride;
            off += std::memcmp(pa, pb, static_cast<size_t>(w) * bpp) != 0;
            changed += pa[0] != 0 || pa[1] != 0;
        }
        many.UnlockBits(&b);
        one.UnlockBits(&a);
        CHECK(off == 0);
        CHECK(changed > h / 2);
        // Each pixel as the one-pixel change makes it.
        const ColorTables& t = GetColorTables();
        Color in, out;
        src.GetPixel(300, 200, &in);
        many.GetPixel(300, 200, &out);
        unsigned char bgr[3] = {in.GetB(), in.GetG(), in.GetR()};
        AdjustPixelHsl(t, bgr, 140, -35, 22);
        CHECK(out.GetB() == bgr[0]);
        CHECK(out.GetG() == bgr[1]);
        CHECK(out.GetR() == bgr[2]);
    }
}

TEST_CASE("the thread count follows the processors the process may use") {
    DWORD_PTR process = 0, system = 0;
    REQUIRE(::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system));
    SetRenderThreadCount(0);
    // Pinned to the lowest processor it may use, the process gets one render thread.
    const DWORD_PTR lowest = process & (~process + 1);
    REQUIRE(::SetProcessAffinityMask(::GetCurrentProcess(), lowest));
    CHECK(GetRenderThreadCount() == 1);
    if (system & ~lowest) {
        REQUIRE(::SetProcessAffinityMask(::GetCurrentProcess(), system));
        int all = 0;
        for (DWORD_PTR m = system; m; m &= m - 1) ++all;
        CHECK(GetRenderThreadCount() == (all > 32 ? 32 : all));
    }
    ::SetProcessAffinityMask(::GetCurrentProcess(), process);
}
