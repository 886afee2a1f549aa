// The arithmetic of the renderer that needs no surface: the AutoFit size search, the usable
// stretches of a text line on a disc label's ring, the split of a track list into two columns,
// underline thickness, the squares that shape a side, the bleed of a side's background, the
// selection handle rectangles and the grid step. Kept apart so that each rule can be checked
// exactly.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

class ViewObject;

// ---- AutoFit ------------------------------------------------------------------------------------

// Sizes are tenths of a point; the search runs between 25 and 5000 in steps of 5.
const int kAutoFitMinSize = 25;
const int kAutoFitMaxSize = 5000;
const int kAutoFitMaxTries = 69;

// The first size tried: the next multiple of 5 above the first font's height (raised to 100),
// or above 400 without a first font record.
int AutoFitStartSize(const LOGFONTA* firstFont);
// The next multiple of 5 at or above v.
int RoundUpToFive(int v);

// One AutoFit search: after each layout at `size`, Next says what to do.
struct AutoFitSearch {
    enum Step {
        kStop,    // the layout just made is the one to keep
        kTry,     // lay out again at `size`
        kGiveUp,  // a limit was reached: lay out once more at `size` without the fit tests
    };
    explicit AutoFitSearch(int startSize) : size(startSize) {}
    Step Next(bool fits);

    int size;
    int lo = -1;  // the largest size that fitted
    int hi = -1;  // the smallest size that did not
    int tries = 1;
};

// The table layout's extra shrinking of a wrapped title column: the next multiple of 5 above
// 95 % of the size, 5 less when that is the size itself, at least 25.
int ShrinkTableSize(int size);

// ---- disc rings ---------------------------------------------------------------------------------

// Two usable stretches of one text line, in text-area coordinates; a stretch whose right end is
// not beyond its left end is empty.
struct LineSegments {
    float left1 = 0, right1 = 0, left2 = 0, right2 = 0;
    float Width1() const { return right1 - left1; }
    float Width2() const { return right2 - left2; }
    bool Empty2() const { return !(right2 - left2 > 0); }
    // The first stretch wider than width (1 or 2), or 0 when neither is.
    int Holding(float width) const { return width < Width1() ? 1 : width < Width2() ? 2 : 0; }
};

// The geometry of the disc a text lies on, in the text's turned frame.
struct DiscRing {
    float centre = 0;      // R: the disc's centre coordinate and outer radius in its own square
    float holeRadius = 0;  // r
    float margin = 0;      // m: the disc's text margin
    float originX = 0;     // where the text area lies in the disc's square
    float originY = 0;
};

// The stretches of a line of top t and height h inside the printable ring of the disc:
// within the outer circle shrunk by the margin and outside the hole grown by it.
LineSegments ComputeRingSegments(const DiscRing& ring, float areaWidth, float t, float h);

// ---- track lists --------------------------------------------------------------------------------

// The track row that ends the first column of "2 Columns": the left column takes the first
// half of the tracks, one more when the count is odd. -1 without rows.
int TwoColumnSplitRow(int rowCount);

// ---- text ---------------------------------------------------------------------------------------

// A quarter of the line's descent, rounded: the thickness of an underline in design units.
int UnderlineThickness(float lineHeight, float baseline);

// ---- sides --------------------------------------------------------------------------------------

// The design squares that shape a side: a cover's rectangle, or a disc's outer square and hole
// square; for the disc-printer preview (purpose 7) the printer's ring is used where it is larger
// (outer) or smaller (hole) than the disc's own. `geometry` holds the printer's outer square and
// hole square (x, y, width, height each).
struct SideShape {
    bool disc = false;
    Gdiplus::RectF outer;
    Gdiplus::RectF hole;  // discs only
};
SideShape ComputeSideShape(const ViewObject* side, int purpose, const float* geometry);

// The rectangle (design units) a background object is filled over when its side bleeds by m.
Gdiplus::RectF ComputeBleedRect(const ViewObject* object, int margin);

// ---- screen overlays ----------------------------------------------------------------------------

// The eleven hit rectangles of the selection handles around the device rectangle of the selected
// object (already grown by 1 and 2): eight 10 x 10 squares from the top-left clockwise, an empty
// one, the rectangle itself and the rectangle grown by 12.
void ComputeHandleRects(const Gdiplus::Rect& r, Gdiplus::Rect out[11]);

// A grid step that always advances.
int GridStep(int step);
