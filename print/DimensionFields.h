// The dimension fields of the label alignment preview: one record per edited length of a side
// (its left and top position, width and height or outer and inner diameter, tab or spine), where
// its edit box sits beside the picture, the limits that keep the side on its page, how a typed
// text is read and shown in the user's units, how a value is written back into the template,
// and the blue dimension lines from each field to the edges it measures. Everything here is
// arithmetic on the records and the template's objects; the preview control owns the windows.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/Core.h"
#include "model/ViewObject.h"
#include "print/PreviewLayout.h"

enum DimensionKind {
    kDimensionLeft = 1,
    kDimensionTop = 2,
    kDimensionWidth = 3,   // outer diameter of a disc
    kDimensionHeight = 4,  // inner diameter of a disc
    kDimensionPanel = 5,   // tab of a jewel-case back cover, spine of a DVD or Blu-ray case
};

// The edit box (with its up-down control) of a field, in pixels.
const int kFieldEditWidth = 75;
const int kFieldEditHeight = 20;
const int kFieldSpinWidth = 17;

struct DimensionField {
    int kind = 0;
    Gdiplus::Rect objectRect;  // the object in preview pixels (scaled, no origin)
    Gdiplus::Rect holeRect;    // a disc's hole, for the inner-diameter field only
    Gdiplus::Rect pageRect;    // the layout's page rectangle
    int panelWidth = 0;        // the side panel's width in pixels (0 for discs)
    int value = 0;             // thousandths of an inch
    Gdiplus::Rect editRect;    // edit box plus up-down control
    Gdiplus::Rect spinRect;    // the up-down control
    Gdiplus::Rect captionRect;
    int index = -1;  // position in the preview's field list once laid out
    ViewObject* object = nullptr;
};

// The fields of the side objects on `sideIndex`, in object order, with their values and edit
// boxes placed for the layout. The caller owns the records.
std::vector<DimensionField*> BuildDimensionFields(const PreviewLayout& layout,
                                                  const std::vector<ViewObject*>& objects, int sideIndex);
void FreeDimensionFields(std::vector<DimensionField*>& fields);
// Moves the edit box of the lower of two stacked sides' Top fields sideways, so that its
// dimension line does not run across the upper side.
void SpreadTopFields(std::vector<DimensionField*>& fields);

// "Left", "Top", "Width", "Outer Diameter", "Tab", "Spine" ...
CString FieldCaption(const DimensionField& field);
// The caption's background: a light blue fill for the fields that lie inside their side, else 0
// (the label's themed background).
COLORREF FieldCaptionBackground(const DimensionField& field);

// A value as the user's units show it: "4.750 ''", or "120.7 mm" in millimetres.
CString FormatFieldValue(int value);
// A typed text read back in thousandths of an inch: at most three decimals are read; in
// millimetres the number is converted. Long numbers saturate instead of overflowing.
int ParseFieldText(const CString& text);
// The value held within the limits that keep the side on a page of pageWidth x pageHeight;
// `discs` are the template's discs.
int ClampFieldValue(const DimensionField& field, int value, int pageWidth, int pageHeight,
                    const std::vector<ViewObject*>& discs);
// Writes field.value into the object (and, for a disc's diameters, into every disc).
void ApplyFieldValue(const DimensionField& field, const std::vector<ViewObject*>& discs);
// The value one step of an up-down control further: up adds 0.010 inch, or 1 mm to the shown
// millimetres.
int StepFieldValue(const DimensionField& field, bool up, const CString& shownText);

// The four arrowheads (up, down, left, right) with their tips at the origin; the caller owns them.
void BuildArrowHeads(Gdiplus::GraphicsPath* heads[4]);
// Adds the dimension lines of one field to the path (nothing for an edit box without area).
void AddFieldDimensionLines(Gdiplus::GraphicsPath& path, const DimensionField& field,
                            Gdiplus::GraphicsPath* const heads[4]);
// One line of 2 pixels, with arrowheads at its ends when `arrows` is set.
void AddDimensionLine(Gdiplus::GraphicsPath& path, int x1, int y1, int x2, int y2, bool arrows,
                      Gdiplus::GraphicsPath* const heads[4]);
