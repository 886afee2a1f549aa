// The calibration page's text, crosshair and scales as primitives.
#include "canvas/CalibrationPage.h"

#include <cmath>

CalibrationPrimitives BuildCalibrationPage(int pageWidth, int pageHeight, int printableLeft, int printableTop,
                                           int offsetX, int offsetY, bool a4, bool inches, int lineHeight,
                                           int labelHeight) {
    CalibrationPrimitives page;
    const char* size = a4 ? (inches ? "A4  (8.27'' x 11.69'')" : "A4  (210mm x 297mm)")
                          : (inches ? "Letter  (8.5'' x 11'')" : "Letter  (216mm x 279mm)");
    const CString lines[16] = {
        "Korvanelle Printer Calibration",
        CString("Printed Page Size: ") + size,
        "",
        "The printer can be calibrated using the crosshair printed below. The crosshair has been printed "
        "exactly "
        "where the",
        "center of the page should be. ",
        "",
        "1. Carefully fold this sheet in half vertically.",
        "2. Unfold the paper and note the position where the fold crosses the horizontal printed scale. This "
        "is "
        "the horizontal offset.",
        "3. Carefully fold this sheet in half horizontally.",
        "4. Unfold the paper and note the position where the fold crosses the vertical printed scale. This "
        "is the "
        "vertical offset.",
        "5. Enter the horizontal and vertical offset values in the 'Print Calibration' dialog box that was "
        "used "
        "to print this sheet.",
        "6. Repeat this process until the crosshair is centered on the folds.",
        "",
        "*** Please Note: The horizontal and vertical offsets may be a negative number. Perfect calibration "
        "may "
        "not be possible",
        "because printers often feed the paper slightly different each time. Most printers do not require "
        "adjustment, so only",
        "adjust if there is a large offset.",
    };
    int y = printableTop + 500;
    for (int i = 0; i < 16; ++i) {
        page.texts.push_back({lines[i], printableLeft + 500, y, TA_LEFT | TA_TOP, i == 0 ? 1815 : 1000});
        y += i == 0 ? lineHeight * 1815 / 1000 : lineHeight;
    }
    const int cx = pageWidth / 2, cy = pageHeight / 2;
    page.lines.push_back({cx - 1500, cy, cx + 1500, cy});
    page.lines.push_back({cx, cy - 1500, cx, cy + 1500});
    for (int v = -1000; v <= 1000; v += 25) {
        const int k = v + 1000;
        const int reach = k % 125 == 0 ? 50 : 25;
        page.lines.push_back({cx + v, cy - reach, cx + v, cy + reach});
        page.lines.push_back({cx - reach, cy + v, cx + reach, cy + v});
        if (k % 250 != 0) continue;
        const int n = k / 250;
        if (n == 4) continue;
        CString h, w;
        h.Format("%d", offsetX - 40 + 10 * n);
        w.Format("%d", offsetY - 40 + 10 * n);
        if (n < 4) {
            page.texts.push_back({h, cx + v, cy + 50, TA_CENTER | TA_TOP, 825});
            page.texts.push_back({w, cx - 50, cy + v - labelHeight / 2, TA_RIGHT | TA_TOP, 825});
        } else {
            page.texts.push_back({h, cx + v, cy - 50, TA_CENTER | TA_BOTTOM, 825});
            page.texts.push_back({w, cx + 50, cy + v - labelHeight / 2, TA_LEFT | TA_TOP, 825});
        }
    }
    page.texts.push_back({"Horizontal", cx - 1505, cy + lineHeight / 2, TA_RIGHT | TA_BOTTOM, 1000});
    page.texts.push_back({"Horizontal", cx + 1505, cy + lineHeight / 2, TA_LEFT | TA_BOTTOM, 1000});
    page.texts.push_back({"Vertical", cx, cy - 1505, TA_CENTER | TA_BOTTOM, 1000});
    page.texts.push_back({"Vertical", cx, cy + 1500, TA_CENTER | TA_TOP, 1000});
    return page;
}

int CalibrationFontHeight(int factor, double scaleY, double fontScale, int dpiY) {
    // The point size in tenths follows the drawing's scale, as a point font made for the context.
    const double tenths = scaleY * factor * fontScale;
    if (scaleY <= 0) return 0;
    const double pixels = tenths / 10.0 * dpiY / 72.0;
    return static_cast<int>(std::floor(pixels / scaleY + 0.5));
}
