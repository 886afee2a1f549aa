// The shared theme textures: tiling the background bitmaps and filling with their brushes.
#include "controls/ThemeFill.h"

#include <algorithm>
#include <cmath>

#include "framework/core/OperationError.h"

using namespace Gdiplus;

HDC g_backgroundDC1 = nullptr;
HDC g_backgroundDC2 = nullptr;
TextureBrush* g_textureBrush1 = nullptr;
TextureBrush* g_textureBrush2 = nullptr;

void TileThemeBackground(HDC dc, RECT rect, int originX, int originY, int kind) {
    if (!dc) return;
    HDC source = kind == 2 ? g_backgroundDC2 : g_backgroundDC1;
    HBITMAP bitmap = source ? static_cast<HBITMAP>(GetCurrentObject(source, OBJ_BITMAP)) : nullptr;
    BITMAP bm = {};
    if (!g_backgroundDC1 || !bitmap || GetObject(bitmap, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 ||
        bm.bmHeight <= 0) {
        CanvasBackdrop().Tile(dc, rect);
        return;
    }
    const int w = bm.bmWidth, h = bm.bmHeight;
    // The first tile starts at or before the rectangle's edge, also when the rectangle begins
    // left of or above the tiling's origin (else a strip of it would stay unpainted).
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int firstX = originX + floorDiv(rect.left - originX, w) * w;
    const int firstY = originY + floorDiv(rect.top - originY, h) * h;
    for (int x = firstX; x < rect.right; x += w) {
        for (int y = firstY; y < rect.bottom; y += h) {
            const int dx = x < rect.left ? rect.left : x;
            const int dy = y < rect.top ? rect.top : y;
            const int sx = x < rect.left ? rect.left - x : 0;
            const int sy = y < rect.top ? rect.top - y : 0;
            int cw = w - sx, ch = h - sy;
            if (dx + cw > rect.right) cw = rect.right - dx;
            if (dy + ch > rect.bottom) ch = rect.bottom - dy;
            if (cw > 0 && ch > 0) BitBlt(dc, dx, dy, cw, ch, source, sx, sy, SRCCOPY);
        }
    }
}

void FillThemeRect(Graphics* g, int left, int top, int right, int bottom, int ignored1, int ignored2,
                   int kind) {
    (void)ignored1;
    (void)ignored2;
    if (!g || (kind != 1 && kind != 2)) return;
    TextureBrush* brush = kind == 1 ? g_textureBrush1 : g_textureBrush2;
    if (brush) {
        // Wine's GDI+ works out a texture fill over the whole rectangle before the clip cuts it,
        // so a canvas strip reaching far past the window cost tens of milliseconds. The rectangle
        // is cut to the clip's bounds, a pixel wider all round (smoothed edges lie outside); the
        // texture is anchored to the world origin, so every pixel inside comes out the same.
        RectF clip;
        if (right > left && bottom > top && g->GetClipBounds(&clip) == Ok) {
            left = std::max(left, static_cast<int>(std::floor(clip.X)) - 1);
            top = std::max(top, static_cast<int>(std::floor(clip.Y)) - 1);
            right = std::min(right, static_cast<int>(std::ceil(clip.GetRight())) + 1);
            bottom = std::min(bottom, static_cast<int>(std::ceil(clip.GetBottom())) + 1);
            if (right <= left || bottom <= top) return;
        }
        g->FillRectangle(brush, left, top, right - left, bottom - top);
        return;
    }
    // Resources not loaded: the plain background grey, as the tiled background does.
    CanvasBackdrop().Fill(g, left, top, right, bottom);
}

void ThemedCanvasBackdrop::Fill(Graphics* g, int left, int top, int right, int bottom) const {
    FillThemeRect(g, left, top, right, bottom, 0, 0, 2);
}

void ThemedCanvasBackdrop::Tile(HDC dc, const RECT& rect) const {
    TileThemeBackground(dc, rect, 0, 0, 2);
}
