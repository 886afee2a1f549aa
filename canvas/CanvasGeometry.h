// The arithmetic of the editing canvas, free of windows: the sizes the off-screen buffer is made
// at, the dash patterns of the animated outline, where the page lies on the canvas, the fit zoom
// of a side, grid snapping and the rules a dragged rectangle obeys, the cycle through stacked
// objects, and an image's natural size. The View feeds these from its state.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Core.h"

namespace CanvasGeometry {

// ---- the off-screen buffer ------------------------------------------------------------------------
// Tries (width, height), then 100 pixels less each way while the width stays above 500; the size
// made, or (0, 0) when every try failed.
CSize MakeBufferSize(int width, int height, const std::function<bool(int, int)>& tryMake);
// The buffer a cover template needs: the requested size grown to every page at 300 pixels per
// inch (pages as design sizes), plus 2; false when the requested size already holds them all.
bool GrowBufferSize(CSize requested, const std::vector<CSize>& pageSizes, int unitsPerInchX,
                    int unitsPerInchY, CSize& grown);

// ---- the animated outline ---------------------------------------------------------------------------
const int kDashPatternCount = 8;
// The four lengths (on, off, on, off) of pattern `phase` (0 to 7): a 4-on, 4-off dash shifted by
// the phase.
const float* DashPattern(int phase);
int NextDashPhase(int phase);
// The white pen's phase, four patterns after the black one.
int SecondDashPhase(int phase);
// The length after which every dash pattern repeats (pixels).
const int kDashPeriod = 8;
// One straight line of the outline.
struct OutlineRun {
    CPoint from, to;
};
// What can show in `visible` (window pixels) of the closed outline through `corners`, whose
// dashes run from corners[0] round the path. False when all of it lies near `visible` (it is drawn
// whole). Otherwise `runs` holds each edge's visible stretch, begun a whole number of dash
// periods along the path, so that its dashes fall where the whole path's do; a stretch may so
// begin before its edge's corner, and the caller clips to the outline's bounds.
bool OutlineRuns(const CPoint corners[4], const CRect& visible, std::vector<OutlineRun>& runs);

// ---- placing the page ---------------------------------------------------------------------------------
// The page origin: the page centred in the client area, or `margin` pixels in from the edge
// along an axis on which it is larger.
CPoint CanvasOrigin(CSize client, CSize page, CSize margin);

// What the fit zoom of a side depends on.
struct FitZoomInput {
    CSize side;             // the side's size, design units
    CSize page;             // the page's size, design units
    double pixelsPerUnitX;  // screen pixels per design unit at 100 %
    double pixelsPerUnitY;
    CRect client;        // the view's client area (GetViewClientArea)
    CSize clientInside;  // the client rectangle inside the bars (for placing the page)
    CSize totalSize;     // the scroll view's total size now
    CSize buffer;        // the off-screen buffer
    CSize margin;        // the canvas margin
    int hBarHeight;      // thickness of a horizontal scroll bar
    int vBarWidth;       // thickness of a vertical scroll bar
    CPoint pageOrigin;   // the page origin now
};
struct FitZoomResult {
    int zoom;
    CPoint pageOrigin;
    int passes;
};
FitZoomResult FitZoom(const FitZoomInput& in);
// A size in design units at the screen scale of a zoom, as whole pixels.
CSize DeviceSize(CSize design, double pixelsPerUnitX, double pixelsPerUnitY, int zoom);
// The side rectangle widened by the canvas border (the screen drawing record's wide rectangle).
CSize WideSideSize(CSize page, double pixelsPerUnitX, double pixelsPerUnitY, int zoom, CPoint pageOrigin);
// The next zoom level of Zoom In (-1 when the side would no longer fit the buffer) and Zoom Out
// (-1 below level 4).
int ZoomInLevel(int zoom, CSize page, double pixelsPerUnitX, double pixelsPerUnitY, CPoint pageOrigin,
                CSize buffer);
int ZoomOutLevel(int zoom);

// ---- dragging -------------------------------------------------------------------------------------------
// Snaps a value to the grid from the side's origin (truncating toward zero); a step of 0 or below
// counts as 1.
int SnapToGrid(int value, int origin, int step);
// The dragged rectangle (design units, left/top/right/bottom) of a drag mode ("Move" or a handle
// name) after a motion d from the start bounds; with snapping and a side, edges come to rest on
// the grid (left and top edges one pixel `p1` past it).
CRect DragRect(const CString& mode, const CRect& start, CPoint d, CPoint p1, const CRect* side, bool snap,
               CSize grid);
// Keeps a dragged rectangle inside its side (design units, left/top/right/bottom). `image` and
// `keepRatio` say whether the object is an image keeping its proportions; `naturalSize` fits
// (w, h) to them (false when it cannot).
void ConstrainRect(const CString& mode, CRect& rect, const CRect& side, CSize minimum, bool image,
                   bool keepRatio, const std::function<bool(int&, int&)>& naturalSize);
bool IsTopMode(const CString& mode);
bool IsBottomMode(const CString& mode);
bool IsLeftMode(const CString& mode);
bool IsRightMode(const CString& mode);

// ---- picking --------------------------------------------------------------------------------------------
// The index in `hits` of the object a press selects: the one after `selected` when the list is
// the same as the previous press's (wrapping to the first), else the first.
int NextPick(const std::vector<const void*>& hits, const std::vector<const void*>& previous,
             const void* selected);

// ---- images ---------------------------------------------------------------------------------------------
// (w, h) reduced to the proportions of an image of pixelWidth x pixelHeight; with `fit` the box is
// taken to screen pixels at the zoom first and back afterwards. False for an empty image or one
// whose one dimension is more than 500 times the other.
bool NaturalSize(int pixelWidth, int pixelHeight, int& w, int& h, bool fit, int zoom, double unitsPerPixelX,
                 double unitsPerPixelY);

}  // namespace CanvasGeometry
