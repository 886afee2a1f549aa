// Per-pixel colour arithmetic shared by the colour processing files (inlined into their loops).
#pragma once

#include "render/ColorProcessing.h"

namespace kvcolor {

// Per sector of 60 degrees of hue one channel is q, one is p and one ramps between them, rising
// (p + (H - base) x d) or falling (p - (H - base) x d).
struct HueSector {
    float sign, base;
    unsigned char r, g, b;  // 0 = q, 1 = p, 2 = the ramp
};
inline constexpr HueSector kHueSectors[6] = {
    {1.0f, 0.0f, 0, 2, 1},  {-1.0f, 2.0f, 2, 0, 1}, {1.0f, 2.0f, 1, 0, 2},
    {-1.0f, 4.0f, 1, 2, 0}, {1.0f, 4.0f, 2, 1, 0},  {-1.0f, 6.0f, 0, 1, 2},
};

inline int WrapHue(int h) {
    h %= 360;
    return h < 0 ? h + 360 : h;
}

// Brings the shifts into their ranges: hue -359..359, saturation and lightness -100..100.
inline void ClampShifts(int& hue, int& sat, int& light) {
    hue %= 360;
    sat = sat < -100 ? -100 : (sat > 100 ? 100 : sat);
    light = light < -100 ? -100 : (light > 100 ? 100 : light);
}

inline void RgbToHslT(const ColorTables& t, int r, int g, int b, int& h, int& s, int& l) {
    int mx = r > g ? r : g;
    if (b > mx) mx = b;
    int mn = r < g ? r : g;
    if (b < mn) mn = b;
    int sum = mx + mn;
    int delta = mx - mn;
    l = t.lightPercent[sum];
    if (delta == 0) {
        h = 0;
        s = 0;
        return;
    }
    if (l >= 50) sum = 510 - sum;
    s = static_cast<int>((static_cast<unsigned long long>(delta * 100) * t.divide[sum]) >> 31);
    float step = t.hueStep[delta];
    // All three candidates are formed and one is picked, which keeps the processor from
    // guessing which channel is the largest.
    float hr = static_cast<float>(g - b) * step + (b > g ? 360.0f : 0.0f);
    float hg = static_cast<float>(b - r) * step + 120.0f;
    float hb = static_cast<float>(r - g) * step + 240.0f;
    int ir = static_cast<int>(hr), ig = static_cast<int>(hg), ib = static_cast<int>(hb);
    h = (mx == r) ? ir : ((mx == g) ? ig : ib);
}

// h 0..359, s and l 0..100.
inline void HslToRgbT(const ColorTables& t, int h, int s, int l, int& r, int& g, int& b) {
    if (s == 0) {
        // The grey level is l x 2.55 as a single-precision constant, taken at full precision, so
        // that lightness 100 gives 254 (stored files and screens rely on this level).
        int v = static_cast<int>(static_cast<double>(l) * static_cast<double>(2.55f));
        r = g = b = v;
        return;
    }
    float S = t.percent[s];
    float L = t.percent[l];
    float H = t.sixtieth[h];
    float p = (L < 0.5f) ? L * (1.0f - S) : L - (1.0f - L) * S;
    float q = 2.0f * L - p;
    float d = q - p;
    const HueSector& sec = kHueSectors[h / 60];
    float v[3];
    v[0] = q;
    v[1] = p;
    v[2] = p + sec.sign * ((H - sec.base) * d);
    r = static_cast<int>(v[sec.r] * 255.0f);
    g = static_cast<int>(v[sec.g] * 255.0f);
    b = static_cast<int>(v[sec.b] * 255.0f);
}

inline unsigned char ClampByte(int v) {
    return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// bgr: blue, green, red bytes. Shifts already clamped by ClampShifts.
inline void AdjustPixel(const ColorTables& t, unsigned char* bgr, int hueShift, int satShift,
                        int lightShift) {
    int h, s, l;
    RgbToHslT(t, bgr[2], bgr[1], bgr[0], h, s, l);
    h += hueShift;
    if (h > 359)
        h -= 360;
    else if (h < 0)
        h += 360;
    s = t.satChange[s][satShift + 100];
    int r, g, b;
    HslToRgbT(t, h, s, l, r, g, b);
    if (lightShift != 0) {
        int d = t.lightStep[lightShift + 100];
        r += d;
        g += d;
        b += d;
    }
    bgr[0] = ClampByte(b);
    bgr[1] = ClampByte(g);
    bgr[2] = ClampByte(r);
}

// The part of the HSL-to-RGB conversion that depends only on the pixel's saturation and
// lightness, worked out once per call for fixed shifts: for every (saturation, lightness) of a
// source pixel, the p and q levels of its new saturation and the channels they give. The
// per-pixel work is then the hue ramp alone; results equal AdjustPixel's exactly.
struct HslPlan {
    // 16 bytes, so that the vector code loads one entry per pixel in one go.
    struct Entry {
        float p;
        float d;    // q - p
        int pByte;  // p x 255 truncated
        int qByte;  // q x 255 truncated
    };
    Entry entries[101][101];  // [saturation][lightness] of the source pixel
    int hueShift = 0;
    int lightAdd = 0;

    void Build(const ColorTables& t, int hue, int sat, int light) {
        ClampShifts(hue, sat, light);
        hueShift = hue;
        lightAdd = light != 0 ? t.lightStep[light + 100] : 0;
        for (int s0 = 0; s0 <= 100; ++s0) {
            int s = t.satChange[s0][sat + 100];
            for (int l = 0; l <= 100; ++l) {
                Entry& e = entries[s0][l];
                if (s == 0) {
                    // Grey: every channel at the grey level, whatever the hue. With no ramp
                    // (d = 0) the ramp channel is p x 255 truncated, so p is put half a level
                    // above the grey level to give exactly that level.
                    const int grey = static_cast<int>(static_cast<double>(l) * static_cast<double>(2.55f));
                    e.p = (static_cast<float>(grey) + 0.5f) / 255.0f;
                    e.d = 0.0f;
                    e.pByte = e.qByte = grey;
                    continue;
                }
                float S = t.percent[s];
                float L = t.percent[l];
                float p = (L < 0.5f) ? L * (1.0f - S) : L - (1.0f - L) * S;
                float q = 2.0f * L - p;
                e.p = p;
                e.d = q - p;
                e.pByte = static_cast<int>(p * 255.0f);
                e.qByte = static_cast<int>(q * 255.0f);
            }
        }
    }
};

inline void AdjustPixelPlanned(const ColorTables& t, const HslPlan& plan, unsigned char* bgr) {
    int h, s, l;
    RgbToHslT(t, bgr[2], bgr[1], bgr[0], h, s, l);
    const HslPlan::Entry& e = plan.entries[s][l];
    h += plan.hueShift;
    if (h > 359)
        h -= 360;
    else if (h < 0)
        h += 360;
    const HueSector& sec = kHueSectors[h / 60];
    float H = t.sixtieth[h];
    int v[3];
    v[0] = e.qByte;
    v[1] = e.pByte;
    v[2] = static_cast<int>((e.p + sec.sign * ((H - sec.base) * e.d)) * 255.0f);
    const int r = v[sec.r] + plan.lightAdd;
    const int g = v[sec.g] + plan.lightAdd;
    const int b = v[sec.b] + plan.lightAdd;
    bgr[0] = ClampByte(b);
    bgr[1] = ClampByte(g);
    bgr[2] = ClampByte(r);
}

// Changes `width` pixels of one row from `src` into `dst` (which may be the same memory), 3 or 4
// bytes per pixel (the fourth, alpha, is copied): four pixels at a time in SSE2 registers, exactly
// as AdjustPixelPlanned changes each one.
void AdjustRowPlanned(const ColorTables& t, const HslPlan& plan, const unsigned char* src, unsigned char* dst,
                      int width, int bytesPerPixel);

}  // namespace kvcolor
