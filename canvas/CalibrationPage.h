// The printer calibration page as drawing primitives in thousandths of an inch from the page's
// top-left corner: sixteen lines of instructions, a crosshair at the page's centre and a
// horizontal and a vertical scale whose labels read the printer's current offsets.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Core.h"

struct CalibrationLine {
    int x1, y1, x2, y2;
};

struct CalibrationText {
    CString text;
    int x, y;
    UINT align;  // TA_LEFT / TA_CENTER / TA_RIGHT with TA_TOP / TA_BOTTOM
    int factor;  // font size factor: 1815 title, 1000 text, 825 scale labels
};

struct CalibrationPrimitives {
    std::vector<CalibrationLine> lines;
    std::vector<CalibrationText> texts;
};

// The page of the given size; `printableLeft`/`Top` the printable area's corner; the offsets
// in fortieths of an inch; `lineHeight` the height of one text line and `labelHeight` of a scale
// label, both in design units.
CalibrationPrimitives BuildCalibrationPage(int pageWidth, int pageHeight, int printableLeft, int printableTop,
                                           int offsetX, int offsetY, bool a4, bool inches, int lineHeight,
                                           int labelHeight);

// The font height (design units) of a text of `factor` on a record of y scale `scaleY` (device
// pixels per design unit) drawn on a context of `dpiY` with the theme's font scale.
int CalibrationFontHeight(int factor, double scaleY, double fontScale, int dpiY);
