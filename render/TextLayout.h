// Layout of texts and track lists, character by character: every character gets a cell box
// (where it sits in its line) and a glyph box (where it is drawn, its fourth field holding its
// ascent) in its object's frame, in thousandths of an inch. Lines wrap, align, avoid a disc's
// hole, and with AutoFit the font size is searched so that the text fills its box.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "render/RenderMath.h"

class ViewObject;
class RenderContext;

// The working record of one layout (lives on the stack of the layout call).
struct TextLayoutState {
    TextLayoutState(ViewObject* object, ViewObject* sideObject, bool twoColumns);

    void SetPart(int part);
    // Fills `segments` for a line of the given top and height.
    void GetLineSegments(float top, float height);
    // A line that would reach into the band kept free around a disc's hole starts below it.
    void SkipHoleBand(float& top, float height) const;
    // Searches the first line of a ring layout down from the top, a unit at a time, for a line
    // with a stretch that holds width; that stretch (1 or 2), or 0 when the area ends first.
    int FindFirstLine(float& top, float height, float width);
    // A line too wide for its stretch moves on: from the first stretch to the second beside it,
    // from the second to the first stretch that holds it on the next line down. False when
    // nothing further holds it.
    bool MoveToNextSegment(int& segNo, float& top, float height, float width);
    // Aligns the lines among characters first to last (a last of 0: the last character).
    void AlignLines(int first, int last);

    bool IsRingLayout() const;  // lines are fitted into a disc's ring

    ViewObject* object;
    ViewObject* sideObject;
    LineSegments segments;
    float objX = 0, objY = 0, objW = 0, objH = 0;
    bool twoColumns = false;
    float areaX = 0, areaY = 0, areaW = 0, areaH = 0;
    float partOffset = 0;
    int part = 1;
    DiscRing ring;
    bool sideIsDisc = false;
    float topBandEnd = 0, bottomBandStart = 0;
    int splitIndex = -1;
    bool topAndBottom = false;
};

// Lays out a text or track list whose layout is due and turns its boxes by its angle; draws
// nothing. Other objects are left alone.
void DrawTextObject(ViewObject* object, RenderContext& rc);
void LayoutText(ViewObject* object, RenderContext& rc);
bool LayoutTextLines(TextLayoutState& state, int size, float& used);
void SetLineBaseline(ViewObject* object, float lineHeight, int first, int last, float baseline);

// The line fitting shared by texts and track lists.
class TextMeasurer;
// The cell of character i in its font (made current): a line break is as wide as a space on a
// single line and takes no width otherwise; a field end takes no width, with a space's height
// where it ends an empty line.
Gdiplus::RectF MeasureLineChar(TextMeasurer& m, ViewObject* object, int i, int autoFitSize, bool singleLine);
// The height of the highest cell among characters first to last, and in `baseline` the height of
// the highest glyph.
float LineExtent(ViewObject* object, int first, int last, float& baseline);
// Moves characters first to last onto the line at `top` in stretch segNo (1 or 2) and sets their
// baseline and line height.
void PlaceLine(TextLayoutState& state, int first, int last, int segNo, float top, float height,
               float baseline);
// A line without a break point in a ring layout tries the next stretch, once; false when it may
// not or nothing further holds it.
bool RetryInNextSegment(TextLayoutState& state, bool discMode, bool& retried, int& segNo, float& top,
                        float& height, float& width);

// Track lists.
void LayoutTrackList(ViewObject* object, RenderContext& rc);
bool LayoutTrackLines(TextLayoutState& state, int size, float& used);
void LayoutTrackTable(ViewObject* object, RenderContext& rc);
bool MeasureTrackTable(TextLayoutState& state, int size, float& numberWidth, float& timeWidth, float& height);
bool LayoutTrackTableRows(TextLayoutState& state, float numberWidth, float timeWidth, float& height);
