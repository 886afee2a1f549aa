// The inverting painter: shows a path by inverting the pixels it covers, with or without
// anti-aliased edges, directly on 24-bit pixel memory.
#include "render/ColorProcessing.h"

#include <algorithm>
#include <memory>
#include <vector>

using namespace Gdiplus;

namespace {

// 24-bit pixel memory, rows of 'stride' bytes; row y at rows[y].
struct PixelTarget {
    unsigned char* bits = nullptr;
    INT stride = 0;  // may be negative for bottom-up memory
    INT width = 0;
    INT height = 0;
    unsigned char* Row(INT y) const { return bits + static_cast<INT_PTR>(y) * stride; }
};

// The region worked in: the caller's, else the path's own area (plain) or the band of the
// path widened by 3 pixels (anti-aliased); a filled anti-aliased path also covers its inside.
Region* MakeWorkRegion(GraphicsPath* path, bool antiAlias, bool fill, Region* given, Region& own) {
    if (given) return given;
    own.MakeInfinite();
    if (!antiAlias) {
        own.Intersect(path);
        return &own;
    }
    GraphicsPath* widened = path->Clone();
    if (widened) {
        Pen pen(Color(255, 255, 255, 255), 3.0f);
        widened->Widen(&pen, nullptr, 0.25f);
        if (fill) {
            Region band(widened);
            own.Intersect(path);
            own.Union(&band);
        } else {
            own.Intersect(widened);
        }
        delete widened;
    } else {
        own.Intersect(path);
    }
    return &own;
}

std::vector<Rect> CollectScans(Region* region, INT width, INT height) {
    std::vector<Rect> result;
    Matrix identity;
    UINT count = region->GetRegionScansCount(&identity);
    if (count == 0) return result;
    std::vector<Rect> scans(count);
    INT got = static_cast<INT>(count);
    if (region->GetRegionScans(&identity, scans.data(), &got) != Ok) return result;
    Rect bounds(0, 0, width, height);
    for (INT i = 0; i < got && i < static_cast<INT>(count); ++i) {
        Rect clipped;
        if (IntersectRectXYWH(&clipped, scans[i], bounds)) result.push_back(clipped);
    }
    return result;
}

void InvertScans(const PixelTarget& t, const std::vector<Rect>& scans) {
    for (const Rect& r : scans) {
        for (INT y = r.Y; y < r.Y + r.Height; ++y) {
            unsigned char* p = t.Row(y) + r.X * 3;
            for (INT n = r.Width * 3; n > 0; --n, ++p) *p = static_cast<unsigned char>(255 - *p);
        }
    }
}

void SaveAndBlacken(const PixelTarget& t, const std::vector<Rect>& scans, std::vector<unsigned char>& saved) {
    size_t total = 0;
    for (const Rect& r : scans) total += static_cast<size_t>(r.Width) * r.Height * 3;
    saved.resize(total);
    unsigned char* out = saved.data();
    for (const Rect& r : scans) {
        for (INT y = r.Y; y < r.Y + r.Height; ++y) {
            unsigned char* p = t.Row(y) + r.X * 3;
            for (INT n = r.Width * 3; n > 0; --n, ++p) {
                *out++ = *p;
                *p = 0;
            }
        }
    }
}

void BlendMask(const PixelTarget& t, const std::vector<Rect>& scans,
               const std::vector<unsigned char>& saved) {
    const ColorTables& tables = GetColorTables();
    const unsigned char* in = saved.data();
    for (const Rect& r : scans) {
        for (INT y = r.Y; y < r.Y + r.Height; ++y) {
            unsigned char* p = t.Row(y) + r.X * 3;
            for (INT n = r.Width * 3; n > 0; --n, ++p, ++in) *p = tables.exclusion[*in][*p];
        }
    }
}

// Draws the path in white over the blackened scans; the coverage left there is the mask.
void PaintMask(Graphics* g, GraphicsPath* path, bool fill, Region* area) {
    GraphicsState state = g->Save();
    g->ResetTransform();
    g->SetClip(area, CombineModeReplace);  // the paint never reaches pixels that were not saved
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    g->SetPixelOffsetMode(PixelOffsetModeHighQuality);
    g->SetCompositingMode(CompositingModeSourceOver);
    if (fill) {
        SolidBrush brush(Color(255, 255, 255, 255));
        g->FillPath(&brush, path);
    } else {
        Pen pen(Color(255, 255, 255, 255), 1.0f);
        g->DrawPath(&pen, path);
    }
    g->Flush(FlushIntentionSync);
    g->Restore(state);
}

}  // namespace

bool IntersectRectXYWH(Rect* out, const Rect& a, const Rect& b) {
    INT left = a.X > b.X ? a.X : b.X;
    INT top = a.Y > b.Y ? a.Y : b.Y;
    INT right = (a.X + a.Width) < (b.X + b.Width) ? (a.X + a.Width) : (b.X + b.Width);
    INT bottom = (a.Y + a.Height) < (b.Y + b.Height) ? (a.Y + a.Height) : (b.Y + b.Height);
    Rect r(left, top, right - left, bottom - top);
    if (out) *out = r;
    return r.Width >= 1 && r.Height >= 1;
}

void InvertPathOnDib(Graphics* g, HBITMAP dib, GraphicsPath* path, bool antiAlias, bool fill, Region* region,
                     const Region* limit) {
    // Straight inversion needs only the pixels; the anti-aliased mask is painted through g.
    if (!dib || !path || (antiAlias && !g)) return;
    GetColorTables();
    DIBSECTION ds;
    if (GetObject(dib, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 24) return;
    PixelTarget t;
    t.width = ds.dsBm.bmWidth;
    t.height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    // The off-screen buffers this paints on are top-down DIB sections (Wine reports their
    // header height as positive, so the sign cannot be relied on).
    t.bits = static_cast<unsigned char*>(ds.dsBm.bmBits);
    t.stride = ((t.width * 24 + 31) >> 3) & ~3;
    Region own;
    Region* area = MakeWorkRegion(path, antiAlias, fill, region, own);
    std::unique_ptr<Region> limited;
    if (limit) {
        limited.reset(area->Clone());
        limited->Intersect(limit);
        area = limited.get();
    }
    std::vector<Rect> scans = CollectScans(area, t.width, t.height);
    if (scans.empty()) return;
    if (g) g->Flush(FlushIntentionSync);
    GdiFlush();
    if (!antiAlias) {
        InvertScans(t, scans);
        return;
    }
    std::vector<unsigned char> saved;
    SaveAndBlacken(t, scans, saved);
    PaintMask(g, path, fill, area);
    GdiFlush();
    BlendMask(t, scans, saved);
}

void InvertRectOutlinesOnDib(Graphics* g, HBITMAP dib, const std::vector<Rect>& outlines,
                             const Region* limit) {
    if (!dib || outlines.empty()) return;
    DIBSECTION ds;
    if (GetObject(dib, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 24) return;
    PixelTarget t;
    t.width = ds.dsBm.bmWidth;
    t.height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    t.bits = static_cast<unsigned char*>(ds.dsBm.bmBits);  // top-down, as InvertPathOnDib takes it
    t.stride = ((t.width * 24 + 31) >> 3) & ~3;
    // The pixels each may change: the buffer's, or the limit's scans (disjoint) inside it.
    std::vector<Rect> within;
    if (limit) {
        Region copy;
        copy.Intersect(limit);
        within = CollectScans(&copy, t.width, t.height);
    } else {
        within.push_back(Rect(0, 0, t.width, t.height));
    }
    if (within.empty()) return;
    // Where outlines cross, the pixel is inverted once: the pixels are marked first.
    Rect box;
    bool any = false;
    std::vector<Rect> parts;
    for (const Rect& r : outlines) {
        if (r.Width <= 0 || r.Height <= 0) continue;
        const Rect sides[4] = {Rect(r.X, r.Y, r.Width + 1, 1), Rect(r.X, r.Y + r.Height, r.Width + 1, 1),
                               Rect(r.X, r.Y + 1, 1, r.Height - 1),
                               Rect(r.X + r.Width, r.Y + 1, 1, r.Height - 1)};
        for (const Rect& side : sides)
            for (const Rect& w : within) {
                Rect part;
                if (!IntersectRectXYWH(&part, side, w)) continue;
                parts.push_back(part);
                if (!any)
                    box = part;
                else
                    Rect::Union(box, box, part);
                any = true;
            }
    }
    if (!any) return;
    std::vector<unsigned char> marks(static_cast<size_t>(box.Width) * box.Height, 0);
    for (const Rect& p : parts)
        for (INT y = p.Y; y < p.Y + p.Height; ++y)
            std::fill_n(marks.begin() + static_cast<size_t>(y - box.Y) * box.Width + (p.X - box.X), p.Width,
                        1);
    if (g) g->Flush(FlushIntentionSync);
    GdiFlush();
    for (INT y = 0; y < box.Height; ++y) {
        const unsigned char* m = marks.data() + static_cast<size_t>(y) * box.Width;
        unsigned char* p = t.Row(box.Y + y) + box.X * 3;
        for (INT x = 0; x < box.Width; ++x, p += 3)
            if (m[x]) {
                p[0] = static_cast<unsigned char>(255 - p[0]);
                p[1] = static_cast<unsigned char>(255 - p[1]);
                p[2] = static_cast<unsigned char>(255 - p[2]);
            }
    }
}

void InvertPathOnBitmap(Graphics* g, Bitmap* bitmap, GraphicsPath* path, bool antiAlias, bool fill,
                        Region* region) {
    if (!g || !bitmap || !path) return;
    GetColorTables();
    INT w = static_cast<INT>(bitmap->GetWidth()), h = static_cast<INT>(bitmap->GetHeight());
    Region own;
    Region* area = MakeWorkRegion(path, antiAlias, fill, region, own);
    std::vector<Rect> scans = CollectScans(area, w, h);
    if (scans.empty()) return;
    g->Flush(FlushIntentionSync);
    Rect all(0, 0, w, h);
    BitmapData bd;
    if (bitmap->LockBits(&all, ImageLockModeRead | ImageLockModeWrite, PixelFormat24bppRGB, &bd) != Ok)
        return;
    PixelTarget t;
    t.bits = static_cast<unsigned char*>(bd.Scan0);
    t.stride = bd.Stride;
    t.width = w;
    t.height = h;
    if (!antiAlias) {
        InvertScans(t, scans);
        bitmap->UnlockBits(&bd);
        return;
    }
    std::vector<unsigned char> saved;
    SaveAndBlacken(t, scans, saved);
    bitmap->UnlockBits(&bd);
    PaintMask(g, path, fill, area);
    if (bitmap->LockBits(&all, ImageLockModeRead | ImageLockModeWrite, PixelFormat24bppRGB, &bd) != Ok)
        return;
    t.bits = static_cast<unsigned char*>(bd.Scan0);
    t.stride = bd.Stride;
    BlendMask(t, scans, saved);
    bitmap->UnlockBits(&bd);
}
