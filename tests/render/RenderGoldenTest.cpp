// Golden pictures: every side of the sample designs of the built-in templates exported at 300
// dots per inch, compared with the pictures kept beside this test. Run with KV_WRITE_GOLDEN=1 to
// write them anew (and look at every one before keeping it).
#include <doctest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "GdiplusSession.h"
#include "GoldenDesigns.h"
#include "render/ColorProcessing.h"
#include "render/DocumentBitmap.h"

using namespace Gdiplus;

namespace {

std::wstring GoldenPath(const std::string& file) {
    // The source folder, seen through the emulator's drive that maps the host's root.
    std::string path = std::string("Z:") + KV_GOLDEN_DIR + "/" + file;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

struct Difference {
    double meanAbs = 0;
    // The largest 8-connected area of pixels with a channel off by more than 64: a word missing
    // or moved is an area of hundreds of pixels, anti-aliasing noise a few scattered ones.
    size_t largestArea = 0;
};

// Changed pixels of two bitmaps of one size, as a mask.
Difference Compare(Bitmap* a, Bitmap* b) {
    Difference d;
    const int w = static_cast<int>(a->GetWidth()), h = static_cast<int>(a->GetHeight());
    Rect r(0, 0, w, h);
    BitmapData da, db;
    a->LockBits(&r, ImageLockModeRead, PixelFormat24bppRGB, &da);
    b->LockBits(&r, ImageLockModeRead, PixelFormat24bppRGB, &db);
    std::vector<unsigned char> changed(static_cast<size_t>(w) * h, 0);
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const BYTE* pa = static_cast<const BYTE*>(da.Scan0) + y * da.Stride;
        const BYTE* pb = static_cast<const BYTE*>(db.Scan0) + y * db.Stride;
        for (int x = 0; x < w; ++x) {
            int m = 0;
            for (int c = 0; c < 3; ++c) {
                const int v = std::abs(pa[x * 3 + c] - pb[x * 3 + c]);
                sum += v;
                if (v > m) m = v;
            }
            changed[static_cast<size_t>(y) * w + x] = m > 64;
        }
    }
    a->UnlockBits(&da);
    b->UnlockBits(&db);
    d.meanAbs = sum / (3.0 * w * h);
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (!changed[start]) continue;
        size_t area = 0;
        changed[start] = 0;
        stack.push_back(start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            ++area;
            const int x = at % w, y = at / w;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const int n = ny * w + nx;
                    if (!changed[n]) continue;
                    changed[n] = 0;
                    stack.push_back(n);
                }
        }
        if (area > d.largestArea) d.largestArea = area;
    }
    return d;
}

// Paints over the first word found below `fromY`: its ink's row band, in the colour beside it.
bool PaintOverWord(Bitmap* b, int fromY) {
    const int w = static_cast<int>(b->GetWidth()), h = static_cast<int>(b->GetHeight());
    for (int y = fromY; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Color c;
            b->GetPixel(x, y, &c);
            if (c.GetR() + c.GetG() + c.GetB() >= 150) continue;
            Color beside;
            b->GetPixel(x > 12 ? x - 12 : 0, y > 6 ? y - 6 : 0, &beside);
            Graphics g(b);
            SolidBrush brush(beside);
            g.FillRectangle(&brush, x - 2, y - 2, 90, 30);
            return true;
        }
    return false;
}

}  // namespace

TEST_CASE("golden pictures of the built-in templates at 300 dpi") {
    REQUIRE(kvtest::GdiplusReady());
    const bool write = std::getenv("KV_WRITE_GOLDEN") != nullptr;
    CLSID png;
    REQUIRE(GetEncoderClsid(L"image/png", &png) >= 0);
    std::vector<rt::GoldenDesign*> designs = rt::MakeGoldenDesigns();
    CHECK(designs.size() == 3);
    PrintOptions options;  // all four sides, a bleed of 50 on every side
    options.frontMargin = options.backMargin = options.discMargin = 50;
    int compared = 0;
    for (rt::GoldenDesign* design : designs) {
        for (const rt::GoldenSide& side : design->sides) {
            CAPTURE(side.file);
            Bitmap* picture = RenderDocumentToBitmap(&design->doc, side.side, 3, 300, &options);
            REQUIRE(picture != nullptr);
            const std::wstring path = GoldenPath(side.file);
            if (write) {
                CHECK(picture->Save(path.c_str(), &png, nullptr) == Ok);
            } else {
                Bitmap golden(path.c_str());
                REQUIRE(golden.GetLastStatus() == Ok);
                REQUIRE(golden.GetWidth() == picture->GetWidth());
                REQUIRE(golden.GetHeight() == picture->GetHeight());
                Difference d = Compare(picture, &golden);
                CHECK(d.meanAbs < 1.0);
                CHECK(d.largestArea <= 40);
                // The comparison itself must see a word go: paint one over and compare again.
                if (compared == 0) {
                    REQUIRE(PaintOverWord(picture, static_cast<int>(picture->GetHeight()) / 3));
                    CHECK(Compare(picture, &golden).largestArea > 200);
                }
                ++compared;
            }
            delete picture;
        }
        delete design;
    }
    if (!write) CHECK(compared == 10);
}
