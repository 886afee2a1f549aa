// Two pieces of the canvas's repaint that work on the window's device context rather than on
// the off-screen bitmap: keeping the animated selection outline out of a repaint, and the
// canvas background behind a view that shows no side.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

class ViewObject;

// How a screen drawing fills the canvas around a side and behind a view that shows no side. The
// renderer knows no theme: the window that owns the canvas hands in the themed texture (through
// RenderContext::canvasBackdrop and PaintCanvasBackground); this base fills the plain grey of a
// canvas whose texture is missing.
class CanvasBackdrop {
public:
    virtual ~CanvasBackdrop() = default;
    // Fills (left, top)-(right, bottom) of a GDI+ surface.
    virtual void Fill(Gdiplus::Graphics* g, int left, int top, int right, int bottom) const;
    // Fills `rect` of a device context.
    virtual void Tile(HDC dc, const RECT& rect) const;
};

// The plain grey of a background whose texture is missing (a COLORREF).
const COLORREF kCanvasBackdropGrey = RGB(185, 185, 185);

// While the selection outline is animating and the first selected object is an image, a text or
// a track list, removes the ring the outline covers - one pixel outside its device rectangle
// (window coordinates) - from the DC's clip, so the dashes do not blink. The object's own edge
// pixels are repainted: after an undo or a move they no longer show what the window held.
void ExcludeSelectionFrame(HDC dc, bool outlineAnimating, const ViewObject* firstSelected,
                           const RECT& deviceRect);

// Removes the DC's clip region, moves its window origin to (0, 0) and fills the DC's clip box,
// which is then its whole drawing area, with the backdrop (the plain grey when null).
void PaintCanvasBackground(HDC dc, const CanvasBackdrop* backdrop = nullptr);
