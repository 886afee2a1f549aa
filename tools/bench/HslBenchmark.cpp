// Measures the hue, saturation and lightness change of a 12-megapixel picture (a disc label at
// 600 dots per inch) on 1, 2, 4 and all threads and prints megapixels per second.
#include "GdiplusSession.h"
#include "render/ColorProcessing.h"
#include "render/RenderThreads.h"

#include <cstdio>

using namespace Gdiplus;

int main() {
    if (!kvtest::GdiplusReady()) return 1;
    const INT w = 4000, h = 3000;
    Bitmap src(w, h, PixelFormat24bppRGB), dst(w, h, PixelFormat24bppRGB);
    Rect rc(0, 0, w, h);
    BitmapData bd;
    src.LockBits(&rc, ImageLockModeWrite, PixelFormat24bppRGB, &bd);
    // A photograph-like picture: smooth gradients with pseudo-random noise, so that
    // neighbouring pixels rarely repeat.
    unsigned int seed = 12345;
    for (INT y = 0; y < h; ++y) {
        unsigned char* row = static_cast<unsigned char*>(bd.Scan0) + y * bd.Stride;
        for (INT x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            int n = (seed >> 16) & 31;
            row[x * 3 + 0] = static_cast<unsigned char>((x * 255 / w + n) & 255);
            row[x * 3 + 1] = static_cast<unsigned char>((y * 255 / h + n) & 255);
            row[x * 3 + 2] = static_cast<unsigned char>(((x + y) * 127 / (w + h) + n * 3) & 255);
        }
    }
    src.UnlockBits(&bd);
    BuildColorTables();
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    SetRenderThreadCount(0);
    const int all = GetRenderThreadCount();
    for (int threads : {1, 2, 4, all}) {
        SetRenderThreadCount(threads);
        double best = 0, worst = 1e9;
        for (int run = 0; run < 5; ++run) {
            QueryPerformanceCounter(&t0);
            ApplyHslAdjustment(&src, &dst, 40, 30, -20);
            QueryPerformanceCounter(&t1);
            double sec = double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
            double mpx = (double(w) * h / 1e6) / sec;
            if (mpx > best) best = mpx;
            if (mpx < worst) worst = mpx;
        }
        std::printf("%d threads: best %.1f Mpx/s (%.0f ms per update), worst %.1f Mpx/s\n", threads, best,
                    double(w) * h / 1e3 / best, worst);
    }
    return 0;
}
