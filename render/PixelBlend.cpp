// Puts a premultiplied 32-bit picture on the screen's 24-bit buffer pixel for pixel, within a
// clip: GDI+ spends about half a millisecond on each such call whatever its size, and the canvas
// puts one picture per text at every redraw.
#include "render/ColorProcessing.h"

#include <cstdlib>

using namespace Gdiplus;

bool GetClipScans(Graphics* g, std::vector<Rect>& scans) {
    scans.clear();
    if (!g) return false;
    Matrix transform;
    if (g->GetTransform(&transform) != Ok || !transform.IsIdentity()) return false;
    Region clip;
    if (g->GetClip(&clip) != Ok) return false;
    if (clip.IsInfinite(g)) {
        scans.push_back(Rect(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30));
        return true;
    }
    Matrix identity;
    const UINT count = clip.GetRegionScansCount(&identity);
    if (count == 0) return true;
    scans.resize(count);
    INT got = static_cast<INT>(count);
    if (clip.GetRegionScans(&identity, scans.data(), &got) != Ok) return false;
    scans.resize(static_cast<size_t>(got > 0 ? got : 0));
    return true;
}

bool BlendPictureOnDib(Graphics* g, HBITMAP dib, Bitmap* picture, const Rect& source, int x, int y,
                       const std::vector<Rect>& clip, const Rect* within) {
    if (!g || !dib || !picture || source.Width <= 0 || source.Height <= 0) return false;
    DIBSECTION ds = {};
    if (GetObject(dib, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 24) return false;
    const int width = ds.dsBm.bmWidth, height = std::abs(ds.dsBm.bmHeight);
    const int stride = ((width * 24 + 31) / 32) * 4;

    // The pixels the picture may change: its place, within the clip, the buffer and `within`.
    Rect place(x, y, source.Width, source.Height);
    if (!IntersectRectXYWH(&place, place, Rect(0, 0, width, height))) return true;
    if (within && !IntersectRectXYWH(&place, place, *within)) return true;

    Rect locked(source.X, source.Y, source.Width, source.Height);
    BitmapData data;
    if (picture->LockBits(&locked, ImageLockModeRead, PixelFormat32bppPARGB, &data) != Ok) return false;
    // Drawing still queued for the buffer must land before its pixels are read.
    g->Flush(FlushIntentionSync);
    GdiFlush();
    BYTE* bits = static_cast<BYTE*>(ds.dsBm.bmBits);  // the screen's buffer is a top-down DIB
    for (const Rect& scan : clip) {
        Rect r;
        if (!IntersectRectXYWH(&r, scan, place)) continue;
        for (int row = r.Y; row < r.Y + r.Height; ++row) {
            const BYTE* s = static_cast<const BYTE*>(data.Scan0) + (row - y) * data.Stride + (r.X - x) * 4;
            BYTE* d = bits + static_cast<ptrdiff_t>(row) * stride + static_cast<ptrdiff_t>(r.X) * 3;
            for (int n = r.Width; n > 0; --n, s += 4, d += 3) {
                const unsigned a = s[3];
                if (a == 0) continue;
                // Source over destination, rounded as GDI+ rounds it.
                const unsigned keep = 255 - a;
                d[0] = static_cast<BYTE>(s[0] + (d[0] * keep + 127) / 255);
                d[1] = static_cast<BYTE>(s[1] + (d[1] * keep + 127) / 255);
                d[2] = static_cast<BYTE>(s[2] + (d[2] * keep + 127) / 255);
            }
        }
    }
    picture->UnlockBits(&data);
    return true;
}

bool BlendPictureOnDib(Graphics* g, HBITMAP dib, Bitmap* picture, const Rect& source, int x, int y) {
    std::vector<Rect> clip;
    return GetClipScans(g, clip) && BlendPictureOnDib(g, dib, picture, source, x, y, clip, nullptr);
}
