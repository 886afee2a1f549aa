// Filling with the shared theme textures: the tiled background bitmaps of the themed dialogs and
// of the canvas (kinds 1 and 2) and their GDI+ texture brushes. The theme resources fill the four
// globals at start-up; until then (or when a bitmap is missing) the fills fall back to the plain
// background grey.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "render/CanvasBackground.h"

// Memory DCs holding the background bitmaps of kind 1 and 2 (null while not loaded).
extern HDC g_backgroundDC1;
extern HDC g_backgroundDC2;
// Tiled texture brushes made from the same bitmaps (null while not loaded).
extern Gdiplus::TextureBrush* g_textureBrush1;
extern Gdiplus::TextureBrush* g_textureBrush2;

// The plain grey of a background whose texture is missing (a COLORREF).
const COLORREF kThemeBackgroundGrey = kCanvasBackdropGrey;

// Tiles the background bitmap of `kind` (2: the canvas's; any other: the dialogs') over `rect`
// of the DC, tiles aligned to (originX, originY).
void TileThemeBackground(HDC dc, RECT rect, int originX, int originY, int kind);
// Fills (left, top)-(right, bottom) with the texture brush of kind 1 or 2; other kinds draw
// nothing. A failing status stays as the graphics object's last status.
void FillThemeRect(Gdiplus::Graphics* g, int left, int top, int right, int bottom, int ignored1, int ignored2,
                   int kind);

// The canvas's themed texture (kind 2) for the renderer's screen drawings and the empty view.
class ThemedCanvasBackdrop : public CanvasBackdrop {
public:
    void Fill(Gdiplus::Graphics* g, int left, int top, int right, int bottom) const override;
    void Tile(HDC dc, const RECT& rect) const override;
};
