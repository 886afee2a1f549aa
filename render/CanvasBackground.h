// Two pieces of the canvas's repaint that work on the window's device context rather than on
// the off-screen bitmap: keeping the animated selection outline out of a repaint, and the
// canvas background behind a view that shows no side.
#pragma once

#include <windows.h>

class ViewObject;

// While the selection outline is animating and the first selected object is an image, a text or
// a track list, removes the one-pixel frame between its device rectangle (window coordinates)
// grown by 1 and shrunk by 1 from the DC's clip, so the repaint leaves the outline alone.
void ExcludeSelectionFrame(HDC dc, bool outlineAnimating, const ViewObject* firstSelected,
                           const RECT& deviceRect);

// Removes the DC's clip region, moves its window origin to (0, 0) and tiles the canvas
// background over the DC's clip box, which is then its whole drawing area.
void PaintCanvasBackground(HDC dc);
