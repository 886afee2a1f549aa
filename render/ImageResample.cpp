// Resampling of pictures by our own filter, and their drawing 1:1 inside a surface's clip.
#include "render/ImageResample.h"

#include <emmintrin.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "framework/graphics/DibHelpers.h"
#include "framework/win/ScopedGdi.h"
#include "render/ColorProcessing.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

// Weights are fixed-point numbers with 14 fraction bits; the rows between the two passes keep
// 6 fraction bits (the filter's overshoot stays well inside 16 bits).
const int kWeightBits = 14;
const int kRowBits = 6;
// Rows resampled and put at a time.
const int kStripRows = 512;

// The taps of one axis for a run of destination pixels: each pixel reads `taps` source pixels
// from its `start`, some with weight 0 so that every pixel has the same count.
struct Axis {
    int taps = 0;
    std::vector<int> start;
    std::vector<int16_t> weights;
};

void BuildAxis(int sourceSize, int fullSize, int first, int count, Axis& axis) {
    const double scale = static_cast<double>(sourceSize) / fullSize;
    const double widen = scale > 1.0 ? scale : 1.0;
    const double support = 2.0 * widen;
    int taps = static_cast<int>(std::ceil(2.0 * support)) + 2;
    if (taps > sourceSize) taps = sourceSize;
    axis.taps = taps;
    axis.start.assign(count, 0);
    axis.weights.assign(static_cast<size_t>(count) * taps, 0);
    std::vector<double> w;
    for (int i = 0; i < count; ++i) {
        const double center = (first + i + 0.5) * scale;
        int lo = static_cast<int>(std::floor(center - support - 0.5));
        int hi = static_cast<int>(std::ceil(center + support - 0.5));
        if (lo < 0) lo = 0;
        if (hi > sourceSize - 1) hi = sourceSize - 1;
        if (hi - lo + 1 > taps) {
            // Only zero-weight ends can make the range longer than the taps.
            const int extra = hi - lo + 1 - taps;
            lo += extra / 2;
            hi = lo + taps - 1;
        }
        w.assign(hi - lo + 1, 0.0);
        double sum = 0;
        for (int j = lo; j <= hi; ++j) {
            w[j - lo] = CatmullRomWeight((j + 0.5 - center) / widen);
            sum += w[j - lo];
        }
        int start = lo;
        if (start + taps > sourceSize) start = sourceSize - taps;
        axis.start[i] = start;
        int16_t* out = &axis.weights[static_cast<size_t>(i) * taps];
        if (!(sum > 1e-9)) {
            // Cannot happen with this kernel; the nearest pixel keeps the output defined.
            int nearest = static_cast<int>(center);
            if (nearest > sourceSize - 1) nearest = sourceSize - 1;
            out[nearest - start] = 1 << kWeightBits;
            continue;
        }
        int total = 0, largest = lo - start;
        for (int j = lo; j <= hi; ++j) {
            const int v = static_cast<int>(std::lround(w[j - lo] / sum * (1 << kWeightBits)));
            out[j - start] = static_cast<int16_t>(v);
            total += v;
            if (v > out[largest]) largest = j - start;
        }
        // The rounding's remainder goes to the largest weight, so flat areas stay exact.
        out[largest] = static_cast<int16_t>(out[largest] + ((1 << kWeightBits) - total));
    }
}

// One source row filtered horizontally into 16-bit values.
template <int Bpp>
void FilterRow(const unsigned char* source, int16_t* out, const Axis& axis, int count) {
    const int taps = axis.taps;
    const int round = 1 << (kWeightBits - kRowBits - 1);
    for (int i = 0; i < count; ++i) {
        const unsigned char* p = source + axis.start[i] * Bpp;
        const int16_t* w = &axis.weights[static_cast<size_t>(i) * taps];
        int a[Bpp];
        for (int c = 0; c < Bpp; ++c) a[c] = round;
        for (int k = 0; k < taps; ++k, p += Bpp)
            for (int c = 0; c < Bpp; ++c) a[c] += w[k] * p[c];
        for (int c = 0; c < Bpp; ++c) out[c] = static_cast<int16_t>(a[c] >> (kWeightBits - kRowBits));
        out += Bpp;
    }
}

// One destination row from `taps` filtered rows: out = clamp(sum w_k x row_k), rounded.
void FilterColumn(int16_t* const* rows, const int16_t* w, int taps, int n, unsigned char* out) {
    const int shift = kWeightBits + kRowBits;
    const int round = 1 << (shift - 1);
    int i = 0;
    const __m128i vround = _mm_set1_epi32(round);
    for (; i + 8 <= n; i += 8) {
        __m128i lo = vround, hi = vround;
        int k = 0;
        for (; k + 1 < taps; k += 2) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k + 1] + i));
            const __m128i pair = _mm_set1_epi32(
                static_cast<int>(static_cast<uint16_t>(w[k]) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(w[k + 1])) << 16)));
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair));
        }
        if (k < taps) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i));
            const __m128i single = _mm_set1_epi32(static_cast<int>(static_cast<uint16_t>(w[k])));
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, _mm_setzero_si128()), single));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, _mm_setzero_si128()), single));
        }
        lo = _mm_srai_epi32(lo, shift);
        hi = _mm_srai_epi32(hi, shift);
        const __m128i words = _mm_packs_epi32(lo, hi);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
    }
    for (; i < n; ++i) {
        int a = round;
        for (int k = 0; k < taps; ++k) a += w[k] * rows[k][i];
        a >>= shift;
        out[i] = static_cast<unsigned char>(a < 0 ? 0 : (a > 255 ? 255 : a));
    }
}

// Destination rows [begin, end) of the part: the source rows they read are filtered once each
// into a ring of `taps` rows, in order.
template <int Bpp>
bool ResampleRows(const PixelBlock& source, const PixelBlock& dest, const Axis& ax, const Axis& ay, int begin,
                  int end) {
    const int taps = ay.taps;
    const size_t rowValues = static_cast<size_t>(dest.width) * Bpp;
    std::unique_ptr<int16_t[]> ring(new (std::nothrow) int16_t[rowValues * taps + 8]);
    std::unique_ptr<int16_t*[]> rows(new (std::nothrow) int16_t*[taps]);
    if (!ring || !rows) return false;
    int next = -1;  // the next source row not yet filtered
    for (int y = begin; y < end; ++y) {
        const int first = ay.start[y];
        int from = next > first ? next : first;
        for (int r = from; r < first + taps; ++r)
            FilterRow<Bpp>(source.bits + static_cast<ptrdiff_t>(r) * source.stride,
                           ring.get() + (r % taps) * rowValues, ax, dest.width);
        next = first + taps;
        for (int k = 0; k < taps; ++k) rows[k] = ring.get() + ((first + k) % taps) * rowValues;
        unsigned char* out = dest.bits + static_cast<ptrdiff_t>(y) * dest.stride;
        FilterColumn(rows.get(), &ay.weights[static_cast<size_t>(y) * taps], taps,
                     static_cast<int>(rowValues), out);
        if (Bpp == 4) {
            // Premultiplied colour never exceeds its alpha, whatever the filter's overshoot.
            for (int x = 0; x < dest.width; ++x, out += 4)
                for (int c = 0; c < 3; ++c)
                    if (out[c] > out[3]) out[c] = out[3];
        }
    }
    return true;
}

// The DC draws in device pixels: text mapping, no origins, no world transform.
bool IsPlainDc(HDC dc) {
    if (::GetMapMode(dc) != MM_TEXT) return false;
    POINT window = {0, 0}, viewport = {0, 0};
    ::GetWindowOrgEx(dc, &window);
    ::GetViewportOrgEx(dc, &viewport);
    if (window.x || window.y || viewport.x || viewport.y) return false;
    if (::GetGraphicsMode(dc) == GM_ADVANCED) {
        XFORM x;
        if (!::GetWorldTransform(dc, &x)) return false;
        if (x.eM11 != 1.0f || x.eM22 != 1.0f || x.eM12 != 0.0f || x.eM21 != 0.0f || x.eDx != 0.0f ||
            x.eDy != 0.0f)
            return false;
    }
    return true;
}

// The world of `g` is device pixels.
bool IsPixelWorld(Graphics* g) {
    PointF p[2] = {PointF(0, 0), PointF(1000, 1000)};
    if (g->TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, p, 2) != Ok) return false;
    return std::fabs(p[0].X) < 1e-3f && std::fabs(p[0].Y) < 1e-3f && std::fabs(p[1].X - 1000) < 1e-3f &&
           std::fabs(p[1].Y - 1000) < 1e-3f;
}

// The picture's pixels to resample: its own locked bits, or a copy with the colour change
// applied (and, with transparency, premultiplied).
class SourcePixels {
public:
    ~SourcePixels() {
        if (m_locked) m_image->UnlockBits(&m_data);
    }
    bool Load(Bitmap* image, int hue, int sat, int light) {
        m_image = image;
        const PixelFormat format = image->GetPixelFormat();
        const bool maybeAlpha = IsAlphaPixelFormat(format) || IsIndexedPixelFormat(format);
        const PixelFormat lockAs = maybeAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
        Rect all(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
        if (all.Width <= 0 || all.Height <= 0) return false;
        if (image->LockBits(&all, ImageLockModeRead, lockAs, &m_data) != Ok) return false;
        m_locked = true;
        const bool change = hue != 0 || sat != 0 || light != 0;
        bool transparent = false;
        if (maybeAlpha) {
            for (int y = 0; y < all.Height && !transparent; ++y) {
                const unsigned char* row =
                    static_cast<const unsigned char*>(m_data.Scan0) + y * m_data.Stride;
                for (int x = 0; x < all.Width; ++x)
                    if (row[x * 4 + 3] != 255) {
                        transparent = true;
                        break;
                    }
            }
        }
        block.width = all.Width;
        block.height = all.Height;
        block.bytesPerPixel = transparent ? 4 : 3;
        if (!change && (transparent || !maybeAlpha)) {
            block.bits = static_cast<unsigned char*>(m_data.Scan0);
            block.stride = m_data.Stride;
            if (!transparent) return true;
        }
        // A copy: 4 bytes per pixel kept for transparency, else 3.
        block.stride = (block.width * block.bytesPerPixel + 3) & ~3;
        m_copy.reset(new (std::nothrow) unsigned char[static_cast<size_t>(block.stride) * block.height]);
        if (!m_copy) return false;
        const unsigned char* from = static_cast<const unsigned char*>(m_data.Scan0);
        const int fromBpp = maybeAlpha ? 4 : 3;
        for (int y = 0; y < block.height; ++y) {
            const unsigned char* s = from + static_cast<ptrdiff_t>(y) * m_data.Stride;
            unsigned char* d = m_copy.get() + static_cast<ptrdiff_t>(y) * block.stride;
            if (fromBpp == block.bytesPerPixel) {
                std::memcpy(d, s, static_cast<size_t>(block.width) * fromBpp);
            } else {
                for (int x = 0; x < block.width; ++x, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
            }
        }
        block.bits = m_copy.get();
        if (change) {
            BitmapData rows = {};
            rows.Width = block.width;
            rows.Height = block.height;
            rows.Stride = block.stride;
            rows.Scan0 = block.bits;
            if (!AdjustPixelRows(rows, rows, block.bytesPerPixel, hue, sat, light)) return false;
        }
        if (transparent) {
            for (int y = 0; y < block.height; ++y) {
                unsigned char* p = block.bits + static_cast<ptrdiff_t>(y) * block.stride;
                for (int x = 0; x < block.width; ++x, p += 4)
                    for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>((p[c] * p[3] + 127) / 255);
            }
        }
        return true;
    }
    PixelBlock block;

private:
    Bitmap* m_image = nullptr;
    BitmapData m_data = {};
    bool m_locked = false;
    std::unique_ptr<unsigned char[]> m_copy;
};

// True when the pixel (x, y) of `dc` reads from the memory at `p`: the blue byte there is turned
// over, read back through the DC, and put back.
bool PixelLivesAt(HDC dc, int x, int y, unsigned char* p) {
    const COLORREF before = ::GetPixel(dc, x, y);
    if (before == CLR_INVALID) return false;
    const unsigned char kept = *p;
    *p = static_cast<unsigned char>(kept ^ 0xFF);
    const COLORREF after = ::GetPixel(dc, x, y);
    *p = kept;
    return after != before && after != CLR_INVALID;
}

// The rows of `part` in the 24-bit DIB section selected into `dc`, when its clip is that one
// rectangle (or wider): the resampled rows then go straight into the surface, every row on every
// thread at once, with no copy through a strip and no wait for the copy between strips.
bool SurfaceRows(HDC dc, const RECT& part, PixelBlock& out) {
    RECT box;
    if (::GetClipBox(dc, &box) != SIMPLEREGION) return false;
    if (part.left < box.left || part.top < box.top || part.right > box.right || part.bottom > box.bottom)
        return false;
    HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION section;
    if (!bitmap || ::GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return false;
    const BITMAP& bm = section.dsBm;
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (!bm.bmBits || bm.bmBitsPixel != 24 || section.dsBmih.biCompression != BI_RGB || part.left < 0 ||
        part.top < 0 || part.right > bm.bmWidth || part.bottom > height || part.right <= part.left ||
        part.bottom <= part.top)
        return false;
    // Which way up the rows lie in memory the section's record does not tell reliably, so it is
    // asked of the DC itself, at a row of the part whose place differs in the two orders.
    unsigned char* const bits = static_cast<unsigned char*>(bm.bmBits);
    const ptrdiff_t stride = bm.bmWidthBytes;
    bool bottomUp = false;
    for (int y : {part.top, part.bottom - 1}) {
        if (height - 1 - y == y) continue;
        if (PixelLivesAt(dc, part.left, y, bits + y * stride + part.left * 3)) break;
        if (!PixelLivesAt(dc, part.left, y, bits + (height - 1 - y) * stride + part.left * 3)) return false;
        bottomUp = true;
        break;
    }
    const ptrdiff_t topRow = bottomUp ? height - 1 - part.top : part.top;
    out.bits = bits + topRow * stride + part.left * 3;
    out.width = part.right - part.left;
    out.height = part.bottom - part.top;
    out.stride = static_cast<int>(bottomUp ? -stride : stride);
    out.bytesPerPixel = 3;
    return true;
}

// The part `part` (device pixels) of the picture resampled to `dest`, put on the DC: straight into
// its pixels when it draws on a bitmap in memory, else in strips of rows, so that a picture
// filling a page at 600 dots per inch never needs a second page of memory.
bool PutResampled(HDC dc, const PixelBlock& source, const Rect& dest, const RECT& part) {
    const int w = part.right - part.left, h = part.bottom - part.top;
    const int bpp = source.bytesPerPixel;
    if (bpp == 3) {
        PixelBlock surface;
        ::GdiFlush();
        if (SurfaceRows(dc, part, surface))
            return ResamplePixels(source, dest.Width, dest.Height, part.left - dest.X, part.top - dest.Y, surface,
                                  GetRenderThreadCount());
    }
    const int strip = h < kStripRows ? h : kStripRows;
    const BITMAPINFO info = MakeTopDownDibInfo(w, strip, bpp * 8);
    PixelBlock out;
    out.width = w;
    out.bytesPerPixel = bpp;
    out.stride = (w * bpp + 3) & ~3;
    std::unique_ptr<unsigned char[]> rows;
    ScopedMemoryDC memory(bpp == 3 ? nullptr : dc);
    if (bpp == 3) {
        rows.reset(new (std::nothrow) unsigned char[static_cast<size_t>(out.stride) * strip]);
        out.bits = rows.get();
    } else {
        // Transparent pictures are blended from a DIB section of premultiplied pixels.
        void* bits = nullptr;
        if (memory.Select(CreateTopDownDibSection(nullptr, w, strip, bpp * 8, &bits).Release(), true))
            out.bits = static_cast<unsigned char*>(bits);
    }
    bool drawn = out.bits != nullptr;
    for (int y = 0; drawn && y < h; y += strip) {
        out.height = h - y < strip ? h - y : strip;
        drawn = ResamplePixels(source, dest.Width, dest.Height, part.left - dest.X, part.top - dest.Y + y,
                               out, GetRenderThreadCount());
        if (!drawn) break;
        if (bpp == 3) {
            // A top-down DIB of `strip` rows of which the first out.height are put.
            drawn = ::SetDIBitsToDevice(dc, part.left, part.top + y, w, out.height, 0, 0, 0, out.height,
                                        out.bits, &info, DIB_RGB_COLORS) == out.height;
        } else {
            ::GdiFlush();
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            drawn = ::GdiAlphaBlend(dc, part.left, part.top + y, w, out.height, memory, 0, 0, w, out.height,
                                    blend) != 0;
        }
    }
    return drawn;
}

}  // namespace

double CatmullRomWeight(double t) {
    t = std::fabs(t);
    if (t < 1.0) return (1.5 * t - 2.5) * t * t + 1.0;
    if (t < 2.0) return ((-0.5 * t + 2.5) * t - 4.0) * t + 2.0;
    return 0.0;
}

bool ResamplePixels(const PixelBlock& source, int fullWidth, int fullHeight, int left, int top,
                    const PixelBlock& dest, int threads) {
    if (!source.bits || !dest.bits || source.width <= 0 || source.height <= 0 || dest.width <= 0 ||
        dest.height <= 0 || fullWidth <= 0 || fullHeight <= 0 || left < 0 || top < 0 ||
        left + dest.width > fullWidth || top + dest.height > fullHeight ||
        source.bytesPerPixel != dest.bytesPerPixel ||
        (source.bytesPerPixel != 3 && source.bytesPerPixel != 4))
        return false;
    try {
        Axis ax, ay;
        BuildAxis(source.width, fullWidth, left, dest.width, ax);
        BuildAxis(source.height, fullHeight, top, dest.height, ay);
        std::atomic<bool> ok{true};
        ParallelRuns(dest.height, threads, 16, [&](int begin, int end) {
            const bool done = source.bytesPerPixel == 4 ? ResampleRows<4>(source, dest, ax, ay, begin, end)
                                                        : ResampleRows<3>(source, dest, ax, ay, begin, end);
            if (!done) ok = false;
        });
        return ok;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DrawImageResampled(Graphics* g, Bitmap* image, const Rect& dest, int hueShift, int satShift,
                        int lightShift) {
    if (!g || !image || dest.Width <= 0 || dest.Height <= 0) return false;
    if (!IsPixelWorld(g)) return false;
    const double started = RenderClockSeconds();
    // The clip as GDI+ clips its own drawing, in device pixels.
    HRGN clip = nullptr;
    {
        Region region;
        if (g->GetClip(&region) != Ok) return false;
        if (!region.IsInfinite(g)) {
            clip = region.GetHRGN(g);
            if (!clip) return false;
        }
    }
    ScopedRegion clipHolder(clip);

    SourcePixels source;
    if (!source.Load(image, hueShift, satShift, lightShift)) return false;

    HDC dc = g->GetHDC();
    if (!dc) return false;
    bool drawn = false;
    {
        ScopedSaveDC state(dc);
        if (IsPlainDc(dc) && (!clip || ::ExtSelectClipRgn(dc, clip, RGN_AND) != ERROR)) {
            RECT box;
            const int kind = ::GetClipBox(dc, &box);
            RECT target = {dest.X, dest.Y, dest.X + dest.Width, dest.Y + dest.Height}, part;
            if (kind == NULLREGION || kind == ERROR || !::IntersectRect(&part, &target, &box)) {
                drawn = kind != ERROR;
            } else {
                drawn = PutResampled(dc, source.block, dest, part);
            }
        }
    }
    ::GdiFlush();
    g->ReleaseHDC(dc);
    GetRenderTimings().resampling += RenderClockSeconds() - started;
    return drawn;
}
