// Golden pictures: every side of the sample designs of the built-in templates exported at 300
// dots per inch, compared with the pictures kept beside this test. Run with KV_WRITE_GOLDEN=1 to
// write them anew (and look at every one before keeping it).
#include <doctest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gdiplus_session.h"
#include "golden_designs.h"
#include "render/ColorProcessing.h"
#include "render/DocumentBitmap.h"

using namespace Gdiplus;

namespace {

std::wstring GoldenPath(const std::string& file)
{
    // The source folder, seen through the emulator's drive that maps the host's root.
    std::string path = std::string("Z:") + KV_GOLDEN_DIR + "/" + file;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

struct Difference {
    double meanAbs = 0;
    double farFraction = 0;  // share of pixels with a channel off by more than 64
};

Difference Compare(Bitmap* a, Bitmap* b)
{
    Difference d;
    const UINT w = a->GetWidth(), h = a->GetHeight();
    Rect r(0, 0, w, h);
    BitmapData da, db;
    a->LockBits(&r, ImageLockModeRead, PixelFormat24bppRGB, &da);
    b->LockBits(&r, ImageLockModeRead, PixelFormat24bppRGB, &db);
    double sum = 0;
    size_t farCount = 0;
    for (UINT y = 0; y < h; ++y) {
        const BYTE* pa = static_cast<const BYTE*>(da.Scan0) + y * da.Stride;
        const BYTE* pb = static_cast<const BYTE*>(db.Scan0) + y * db.Stride;
        for (UINT x = 0; x < w * 3; x += 3) {
            int m = 0;
            for (int c = 0; c < 3; ++c) {
                int v = std::abs(pa[x + c] - pb[x + c]);
                sum += v;
                if (v > m) m = v;
            }
            if (m > 64) ++farCount;
        }
    }
    a->UnlockBits(&da);
    b->UnlockBits(&db);
    d.meanAbs = sum / (3.0 * w * h);
    d.farFraction = static_cast<double>(farCount) / (static_cast<double>(w) * h);
    return d;
}

}  // namespace

TEST_CASE("golden pictures of the built-in templates at 300 dpi")
{
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
                CHECK(d.farFraction < 0.002);
                ++compared;
            }
            delete picture;
        }
        delete design;
    }
    if (!write) CHECK(compared == 10);
}
