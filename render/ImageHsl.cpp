// Hue, saturation and lightness changes of GDI+ bitmaps and scaling with the change applied.
#include "render/ColorProcessing.h"
#include "render/ColorPixel.h"
#include "render/RenderThreads.h"
#include "framework/graphics/GdipImage.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

using namespace Gdiplus;

namespace {

// Scratch bitmaps of DrawImageWithHsl, reused between calls. The user-interface thread (print,
// export) and the colour worker (through CreateScaledBitmap) both reach them, so one lock
// guards both for the whole time a call uses one.
std::mutex g_scratchLock;
Bitmap* g_scratchArgb = nullptr;
Bitmap* g_scratchRgb = nullptr;

bool AllShiftsZero(int h, int s, int l) {
    return h == 0 && s == 0 && l == 0;
}

// Changes every pixel of 'src' into the same place of 'dst' (which may be the same memory).
void AdjustRows(const ColorTables& t, const kvcolor::HslPlan& plan, const BitmapData& src, const BitmapData& dst,
                int bytesPerPixel, int begin, int end) {
    for (int y = begin; y < end; ++y) {
        const unsigned char* s =
            static_cast<const unsigned char*>(src.Scan0) + static_cast<INT_PTR>(y) * src.Stride;
        unsigned char* d = static_cast<unsigned char*>(dst.Scan0) + static_cast<INT_PTR>(y) * dst.Stride;
        kvcolor::AdjustRowPlanned(t, plan, s, d, static_cast<int>(src.Width), bytesPerPixel);
    }
}

// Repeats the last column and row of the image's part of a larger scratch bitmap into the
// next two columns and rows, so that filtering at the edges of that part never blends in
// pixels left over from an earlier, larger image.
void ExtendEdges(Bitmap* scratch, UINT iw, UINT ih) {
    UINT sw = scratch->GetWidth(), sh = scratch->GetHeight();
    if (iw == 0 || ih == 0 || (iw >= sw && ih >= sh)) return;
    UINT ew = iw + 2 < sw ? iw + 2 : sw, eh = ih + 2 < sh ? ih + 2 : sh;
    Rect rc(0, 0, static_cast<INT>(ew), static_cast<INT>(eh));
    PixelFormat fmt =
        scratch->GetPixelFormat() == PixelFormat32bppARGB ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    int bpp = fmt == PixelFormat32bppARGB ? 4 : 3;
    BitmapData bd;
    if (scratch->LockBits(&rc, ImageLockModeRead | ImageLockModeWrite, fmt, &bd) != Ok) return;
    auto row = [&](UINT y) {
        return static_cast<unsigned char*>(bd.Scan0) + static_cast<INT_PTR>(y) * bd.Stride;
    };
    for (UINT y = 0; y < ih; ++y) {
        unsigned char* r = row(y);
        for (UINT x = iw; x < ew; ++x) std::memcpy(r + x * bpp, r + (iw - 1) * bpp, bpp);
    }
    for (UINT y = ih; y < eh; ++y) std::memcpy(row(y), row(ih - 1), static_cast<size_t>(ew) * bpp);
    scratch->UnlockBits(&bd);
}

Bitmap* AsBitmap(Image* image) {
    return (image && image->GetType() == ImageTypeBitmap) ? static_cast<Bitmap*>(image) : nullptr;
}

}  // namespace

bool AdjustPixelRows(const BitmapData& src, const BitmapData& dst, int bytesPerPixel, int hueShift,
                     int satShift, int lightShift) {
    const ColorTables& t = GetColorTables();
    std::unique_ptr<kvcolor::HslPlan> plan(new (std::nothrow) kvcolor::HslPlan);
    if (!plan) return false;
    plan->Build(t, hueShift, satShift, lightShift);
    // Every pixel is worked out on its own, so the rows are shared out over the cores; runs of
    // fewer than 64 rows are not worth a thread.
    ParallelRuns(static_cast<int>(src.Height), GetRenderThreadCount(), 64,
                 [&](int begin, int end) { AdjustRows(t, *plan, src, dst, bytesPerPixel, begin, end); });
    return true;
}

bool ApplyHslAdjustment(Bitmap* source, Bitmap* dest, int hueShift, int satShift, int lightShift) {
    if (!source || !dest) return false;
    UINT w = source->GetWidth(), h = source->GetHeight();
    if (w > dest->GetWidth() || h > dest->GetHeight()) return false;
    if (w == 0 || h == 0) return true;
    PixelFormat fmt =
        source->GetPixelFormat() == PixelFormat32bppARGB ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    Rect rc(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData sd, dd;
    if (source->LockBits(&rc, ImageLockModeRead, fmt, &sd) != Ok) return false;
    if (dest->LockBits(&rc, ImageLockModeRead | ImageLockModeWrite, fmt, &dd) != Ok) {
        source->UnlockBits(&sd);
        return false;
    }
    const bool changed =
        AdjustPixelRows(sd, dd, fmt == PixelFormat32bppARGB ? 4 : 3, hueShift, satShift, lightShift);
    dest->UnlockBits(&dd);
    source->UnlockBits(&sd);
    return changed;
}

bool AdjustBitmapHsl(Bitmap* bitmap, int hueShift, int satShift, int lightShift) {
    if (!bitmap) return false;
    UINT w = bitmap->GetWidth(), h = bitmap->GetHeight();
    if (w == 0 || h == 0) return true;
    PixelFormat fmt =
        bitmap->GetPixelFormat() == PixelFormat32bppARGB ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    Rect rc(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData bd;
    if (bitmap->LockBits(&rc, ImageLockModeRead | ImageLockModeWrite, fmt, &bd) != Ok) return false;
    const bool changed =
        AdjustPixelRows(bd, bd, fmt == PixelFormat32bppARGB ? 4 : 3, hueShift, satShift, lightShift);
    bitmap->UnlockBits(&bd);
    return changed;
}

bool DrawImageWithHsl(Graphics* g, Image* image, const RectF& dest, int hueShift, int satShift,
                      int lightShift) {
    if (!g || !image) return false;
    UINT iw = image->GetWidth(), ih = image->GetHeight();
    bool argb = image->GetPixelFormat() == PixelFormat32bppARGB;
    std::lock_guard<std::mutex> lock(g_scratchLock);
    Bitmap*& scratch = argb ? g_scratchArgb : g_scratchRgb;
    if (!scratch || scratch->GetWidth() < iw || scratch->GetHeight() < ih) {
        delete scratch;
        scratch = nullptr;
        if (iw > 0 && ih > 0) {
            scratch = new Bitmap(static_cast<INT>(iw), static_cast<INT>(ih),
                                 argb ? PixelFormat32bppARGB : PixelFormat24bppRGB);
            if (scratch->GetLastStatus() != Ok) {
                delete scratch;
                scratch = nullptr;
            }
        }
    }
    Bitmap* source = AsBitmap(image);
    if (scratch && source && ApplyHslAdjustment(source, scratch, hueShift, satShift, lightShift)) {
        // Only the image's part of the (possibly larger) scratch is shown; the repeated edges and
        // the flip tiling keep the filter from reading stale pixels beyond that part.
        ExtendEdges(scratch, iw, ih);
        ImageAttributes attrs;
        attrs.SetWrapMode(WrapModeTileFlipXY);
        return g->DrawImage(scratch, dest, 0.0f, 0.0f, static_cast<REAL>(iw), static_cast<REAL>(ih),
                            UnitPixel, &attrs) == Ok;
    }
    // Without memory for the change the picture is drawn as it is: the screen may show that, paper
    // and files must not take it for the picture.
    g->DrawImage(image, dest);
    return false;
}

Bitmap* CreateScaledBitmap(Image* image, const RectF& dest, int hueShift, int satShift, int lightShift) {
    const INT w = static_cast<INT>(dest.Width), h = static_cast<INT>(dest.Height);
    return CreateScaledPart(image, w, h, Rect(0, 0, w, h), hueShift, satShift, lightShift);
}

Bitmap* CreateScaledPart(Image* image, int wholeWidth, int wholeHeight, const Rect& part, int hueShift,
                         int satShift, int lightShift) {
    if (!image || part.Width <= 0 || part.Height <= 0) return nullptr;
    Bitmap* result = new Bitmap(part.Width, part.Height, image->GetPixelFormat());
    if (result->GetLastStatus() != Ok) {
        delete result;
        return nullptr;
    }
    bool adjustAfter = false, changed = true;
    Status drawn = Ok;
    {
        Graphics g(result);
        if (g.GetLastStatus() != Ok) {
            delete result;
            return nullptr;
        }
        PrepareCopyGraphics(g, image);
        const RectF r(static_cast<REAL>(-part.X), static_cast<REAL>(-part.Y), static_cast<REAL>(wholeWidth),
                      static_cast<REAL>(wholeHeight));
        if (AllShiftsZero(hueShift, satShift, lightShift)) {
            drawn = g.DrawImage(image, r);
        } else if (image->GetWidth() < static_cast<UINT>(wholeWidth)) {
            // Changed before it is scaled, as the whole is: the part's pixels are the whole's.
            changed = DrawImageWithHsl(&g, image, r, hueShift, satShift, lightShift);
        } else {
            drawn = g.DrawImage(image, r);
            adjustAfter = true;
        }
    }
    if (drawn == Ok && adjustAfter) changed = AdjustBitmapHsl(result, hueShift, satShift, lightShift);
    if (drawn != Ok || !changed) {
        // Kept, a copy the picture did not go into (a large one scaled while memory is short) would
        // show black in its place, and one without the change would stand for the changed picture,
        // until it is made again.
        delete result;
        return nullptr;
    }
    return result;
}

void FreeColorScratchBitmaps() {
    std::lock_guard<std::mutex> lock(g_scratchLock);
    delete g_scratchArgb;
    delete g_scratchRgb;
    g_scratchArgb = nullptr;
    g_scratchRgb = nullptr;
}
