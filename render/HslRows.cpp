// The hue, saturation and lightness change of a row of pixels, four pixels at a time in SSE2
// registers (every processor that runs Windows 8 or later has SSE2). Each step is the scalar
// AdjustPixelPlanned's own operation in the same order and precision (single-precision products,
// sums and quotients are rounded the same way in a vector lane as in a scalar register), and the
// integer divisions are exact multiply-and-shift stand-ins, so the pixels come out identical.
#include "render/ColorPixel.h"

#include <emmintrin.h>

#include <cstring>

namespace {

// Adjusts four pixels held one per 32-bit lane as blue | green << 8 | red << 16 (the top byte is
// ignored); returns them in the same form with the top byte zero.
inline __m128i AdjustFour(const kvcolor::HslPlan& plan, __m128i px, __m128i hueShift, __m128i lightAdd) {
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    const __m128i b = _mm_and_si128(px, byteMask);
    const __m128i g = _mm_and_si128(_mm_srli_epi32(px, 8), byteMask);
    const __m128i r = _mm_and_si128(_mm_srli_epi32(px, 16), byteMask);

    // Values up to 510 fit 16 bits: the 16-bit minimum and maximum work on the 32-bit lanes.
    const __m128i mx = _mm_max_epi16(_mm_max_epi16(r, g), b);
    const __m128i mn = _mm_min_epi16(_mm_min_epi16(r, g), b);
    const __m128i sum = _mm_add_epi32(mx, mn);
    const __m128i delta = _mm_sub_epi32(mx, mn);

    // Lightness: sum x 100 / 510 = (sum x 10) / 51, which is (n x 5141) >> 18 for every n up to 5100.
    const __m128i tenSum = _mm_mullo_epi16(sum, _mm_set1_epi32(10));
    const __m128i l = _mm_srli_epi32(_mm_mulhi_epu16(tenSum, _mm_set1_epi32(5141)), 2);

    // Saturation: delta x 100 / (sum, or 510 - sum from lightness 50 on), truncated. The quotient
    // of two integers this small is never within a float's rounding of the next integer, so the
    // single-precision division truncates to the integer quotient. Grey gives 0 / n = 0.
    const __m128i upper = _mm_cmpgt_epi32(l, _mm_set1_epi32(49));
    __m128i divisor = _mm_or_si128(_mm_andnot_si128(upper, sum),
                                   _mm_and_si128(upper, _mm_sub_epi32(_mm_set1_epi32(510), sum)));
    divisor = _mm_max_epi16(divisor, _mm_set1_epi32(1));
    const __m128i s = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(_mm_mullo_epi16(delta, _mm_set1_epi32(100))),
                                                  _mm_cvtepi32_ps(divisor)));

    // Hue: the three candidates of RgbToHslT, the one of the largest channel picked. Grey gives
    // (0 x step) + 0 from the red candidate, as the scalar code does.
    const __m128 step = _mm_div_ps(_mm_set1_ps(60.0f), _mm_cvtepi32_ps(_mm_max_epi16(delta, _mm_set1_epi32(1))));
    const __m128 wrap = _mm_and_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(b, g)), _mm_set1_ps(360.0f));
    const __m128i hr =
        _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(g, b)), step), wrap));
    const __m128i hg = _mm_cvttps_epi32(
        _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(b, r)), step), _mm_set1_ps(120.0f)));
    const __m128i hb = _mm_cvttps_epi32(
        _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(r, g)), step), _mm_set1_ps(240.0f)));
    const __m128i isR = _mm_cmpeq_epi32(mx, r), isG = _mm_cmpeq_epi32(mx, g);
    const __m128i hgb = _mm_or_si128(_mm_and_si128(isG, hg), _mm_andnot_si128(isG, hb));
    __m128i h = _mm_or_si128(_mm_and_si128(isR, hr), _mm_andnot_si128(isR, hgb));

    // The plan's entries of the four (saturation, lightness) pairs, turned into one vector of
    // each field.
    alignas(16) int index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index),
                    _mm_add_epi32(_mm_mullo_epi16(s, _mm_set1_epi32(101)), l));
    const kvcolor::HslPlan::Entry* entries = &plan.entries[0][0];
    __m128 e0 = _mm_loadu_ps(&entries[index[0]].p), e1 = _mm_loadu_ps(&entries[index[1]].p);
    __m128 e2 = _mm_loadu_ps(&entries[index[2]].p), e3 = _mm_loadu_ps(&entries[index[3]].p);
    _MM_TRANSPOSE4_PS(e0, e1, e2, e3);
    const __m128 p = e0, d = e1;
    const __m128i pByte = _mm_castps_si128(e2), qByte = _mm_castps_si128(e3);

    // The new hue, wrapped into 0..359, its sector (h / 60 = (h x 1093) >> 16 for h below 360)
    // and the ramp: p + sign x ((h / 60 - base) x d), scaled to 255 and truncated.
    h = _mm_add_epi32(h, hueShift);
    h = _mm_sub_epi32(h, _mm_and_si128(_mm_cmpgt_epi32(h, _mm_set1_epi32(359)), _mm_set1_epi32(360)));
    h = _mm_add_epi32(h, _mm_and_si128(_mm_cmplt_epi32(h, _mm_setzero_si128()), _mm_set1_epi32(360)));
    const __m128i sector = _mm_mulhi_epu16(h, _mm_set1_epi32(1093));
    const __m128i one = _mm_set1_epi32(1);
    // Sectors 0..5 start at 0, 2, 2, 4, 4, 6 and ramp up, down, up, down, up, down.
    const __m128 base = _mm_cvtepi32_ps(_mm_slli_epi32(_mm_srli_epi32(_mm_add_epi32(sector, one), 1), 1));
    const __m128 sign = _mm_castsi128_ps(_mm_slli_epi32(_mm_and_si128(sector, one), 31));
    const __m128 hue = _mm_div_ps(_mm_cvtepi32_ps(h), _mm_set1_ps(60.0f));
    const __m128 offset = _mm_xor_ps(_mm_mul_ps(_mm_sub_ps(hue, base), d), sign);
    const __m128i ramp = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(p, offset), _mm_set1_ps(255.0f)));

    // Which level each channel takes in each sector (kHueSectors): red is q in 0 and 5, the ramp
    // in 1 and 4, p in 2 and 3; green the ramp in 0 and 3, q in 1 and 2, p in 4 and 5; blue p in 0
    // and 1, the ramp in 2 and 5, q in 3 and 4.
    const __m128i s0 = _mm_cmpeq_epi32(sector, _mm_setzero_si128());
    const __m128i s1 = _mm_cmpeq_epi32(sector, one);
    const __m128i s2 = _mm_cmpeq_epi32(sector, _mm_set1_epi32(2));
    const __m128i s3 = _mm_cmpeq_epi32(sector, _mm_set1_epi32(3));
    const __m128i s4 = _mm_cmpeq_epi32(sector, _mm_set1_epi32(4));
    const __m128i s5 = _mm_cmpeq_epi32(sector, _mm_set1_epi32(5));
    auto pick = [](__m128i qMask, __m128i rampMask, __m128i q, __m128i rampV, __m128i pV) {
        const __m128i neither = _mm_or_si128(qMask, rampMask);
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(qMask, q), _mm_and_si128(rampMask, rampV)),
                            _mm_andnot_si128(neither, pV));
    };
    __m128i outR = pick(_mm_or_si128(s0, s5), _mm_or_si128(s1, s4), qByte, ramp, pByte);
    __m128i outG = pick(_mm_or_si128(s1, s2), _mm_or_si128(s0, s3), qByte, ramp, pByte);
    __m128i outB = pick(_mm_or_si128(s3, s4), _mm_or_si128(s2, s5), qByte, ramp, pByte);

    // The lightness step, then each channel clamped to 0..255 (the values stay within 16 bits,
    // so the 16-bit clamps work on the 32-bit lanes).
    const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi32(255);
    outR = _mm_min_epi16(_mm_max_epi16(_mm_add_epi32(outR, lightAdd), zero), top);
    outG = _mm_min_epi16(_mm_max_epi16(_mm_add_epi32(outG, lightAdd), zero), top);
    outB = _mm_min_epi16(_mm_max_epi16(_mm_add_epi32(outB, lightAdd), zero), top);
    return _mm_or_si128(outB, _mm_or_si128(_mm_slli_epi32(outG, 8), _mm_slli_epi32(outR, 16)));
}

inline void Store4(unsigned char* p, __m128i v) {
    const int word = _mm_cvtsi128_si32(v);
    std::memcpy(p, &word, 4);
}

}  // namespace

namespace kvcolor {

void AdjustRowPlanned(const ColorTables& t, const HslPlan& plan, const unsigned char* src,
                      unsigned char* dst, int width, int bytesPerPixel) {
    const __m128i hueShift = _mm_set1_epi32(plan.hueShift), lightAdd = _mm_set1_epi32(plan.lightAdd);
    const __m128i low3 = _mm_set1_epi32(0x00FFFFFF);
    int x = 0;
    // Flat areas repeat the same four pixels: those are changed once.
    __m128i lastIn = _mm_set1_epi32(-1), lastOut = _mm_setzero_si128();
    if (bytesPerPixel == 4) {
        for (; x + 4 <= width; x += 4) {
            const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x * 4));
            const __m128i colour = _mm_and_si128(px, low3);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(colour, lastIn)) != 0xFFFF) {
                lastIn = colour;
                lastOut = AdjustFour(plan, colour, hueShift, lightAdd);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 4),
                             _mm_or_si128(lastOut, _mm_andnot_si128(low3, px)));
        }
    } else {
        // Sixteen bytes are read for four pixels (twelve), so two pixels must follow in the row.
        for (; x + 6 <= width; x += 4) {
            const unsigned char* s = src + x * 3;
            unsigned char* d = dst + x * 3;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            // Pixel i's three bytes into lane i: bytes 0-3, 3-6, 6-9 and 9-12.
            const __m128i px = _mm_unpacklo_epi64(_mm_unpacklo_epi32(v, _mm_srli_si128(v, 3)),
                                                  _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9)));
            const __m128i colour = _mm_and_si128(px, low3);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(colour, lastIn)) != 0xFFFF) {
                lastIn = colour;
                lastOut = AdjustFour(plan, colour, hueShift, lightAdd);
            }
            // Four bytes per pixel written 3 bytes apart, each overwriting the spare byte of the
            // one before; the last spare byte is the next pixel's own first byte as read, and that
            // pixel is written later in this row.
            const __m128i out = _mm_or_si128(lastOut, _mm_andnot_si128(low3, px));
            Store4(d, out);
            Store4(d + 3, _mm_srli_si128(out, 4));
            Store4(d + 6, _mm_srli_si128(out, 8));
            Store4(d + 9, _mm_srli_si128(out, 12));
        }
    }
    for (; x < width; ++x) {
        const unsigned char* s = src + x * bytesPerPixel;
        unsigned char* d = dst + x * bytesPerPixel;
        unsigned char px[3] = {s[0], s[1], s[2]};
        kvcolor::AdjustPixelPlanned(t, plan, px);
        if (bytesPerPixel == 4) d[3] = s[3];
        d[0] = px[0];
        d[1] = px[1];
        d[2] = px[2];
    }
}

}  // namespace kvcolor
