// The colour lookup tables and the integer RGB/HSL conversions built on them.
#include "render/ColorProcessing.h"
#include "render/ColorPixel.h"

#include <cmath>
#include <mutex>

namespace {

ColorTables* g_tables = nullptr;
std::once_flag g_tablesOnce;

void FillTables(ColorTables& t) {
    for (int i = 0; i <= 510; ++i) t.lightPercent[i] = i * 100 / 510;
    const double ln100 = std::log(100.0);
    for (int i = 0; i <= 100; ++i)
        t.logWeight[i] = static_cast<float>(std::log(static_cast<double>(i < 2 ? 2 : i)) / ln100);
    t.hueStep[0] = 0.0f;
    for (int i = 1; i <= 255; ++i) t.hueStep[i] = 60.0f / static_cast<float>(i);
    for (int k = 0; k <= 100; ++k) {
        for (int c = 0; c <= 200; ++c) {
            int v = static_cast<int>(static_cast<float>(k) + static_cast<float>(c - 100) * t.logWeight[k]);
            t.satChange[k][c] = v < 0 ? 0 : (v > 100 ? 100 : v);
        }
    }
    for (int i = 0; i <= 200; ++i) t.lightStep[i] = static_cast<int>((i - 100) * 2.4);
    t.lightStep[0] = -255;
    t.lightStep[200] = 255;
    t.divide[0] = 0;
    for (unsigned int d = 1; d <= 510; ++d)
        t.divide[d] = static_cast<unsigned int>((0x80000000ull + d - 1) / d);
    for (int i = 0; i <= 100; ++i) t.percent[i] = static_cast<float>(i) / 100.0f;
    for (int h = 0; h < 360; ++h) t.sixtieth[h] = static_cast<float>(h) / 60.0f;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            t.exclusion[a][b] = static_cast<unsigned char>(std::floor(a + b * (255.0 - 2.0 * a) / 255.0));
}

}  // namespace

// The tables are filled completely before the pointer becomes visible to any thread:
// std::call_once makes every other caller wait for the first one to finish.
const ColorTables& GetColorTables() {
    std::call_once(g_tablesOnce, [] {
        ColorTables* t = new ColorTables;
        FillTables(*t);
        g_tables = t;
    });
    return *g_tables;
}

void BuildColorTables() {
    GetColorTables();
}

void RgbToHsl(int r, int g, int b, int* h, int* s, int* l) {
    const ColorTables& t = GetColorTables();
    kvcolor::RgbToHslT(t, r & 255, g & 255, b & 255, *h, *s, *l);
}

void HslToRgb(int h, int s, int l, int* r, int* g, int* b) {
    h = kvcolor::WrapHue(h);
    s = s < 0 ? 0 : (s > 100 ? 100 : s);
    l = l < 0 ? 0 : (l > 100 ? 100 : l);
    kvcolor::HslToRgbT(GetColorTables(), h, s, l, *r, *g, *b);
}

void AdjustPixelHsl(const ColorTables& t, unsigned char* bgr, int hueShift, int satShift, int lightShift) {
    kvcolor::ClampShifts(hueShift, satShift, lightShift);
    kvcolor::AdjustPixel(t, bgr, hueShift, satShift, lightShift);
}
