// PreviewLayout: where a template preview puts a page or a side - the scales from design units
// to pixels, the bitmap's size and place inside the area drawn into, the page inside the bitmap
// and the design origin handed to the renderer. The preview control fills it; the dialogs use
// the same record to size the control to a page. The arithmetic is a pure function, so that it
// can be checked without a window.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// The kinds of template preview; each is also the renderer's drawing purpose.
enum PreviewKind {
    kPreviewExport = 2,       // Save as Image
    kPreviewPrint = 5,        // the print dialog's side pages
    kPreviewLightScribe = 7,  // the disc-printer picture of the LightScribe dialog
    kPreviewLabelStock = 9,   // the label stock dialog
    kPreviewAlignment = 10,   // the label alignment dialog, with its dimension fields
    kPreviewThumbnail = 11,   // the thumbnail strip of a design
};

struct PreviewLayout {
    // Pixels per thousandth of an inch; both 0 means: fit the page into the target.
    double scaleX = 0.0, scaleY = 0.0;
    // The area to draw into; empty means the control's client rectangle.
    RECT target = {0, 0, 0, 0};
    // The bitmap's size and its place inside the target (relative to the target's own origin).
    Gdiplus::Rect draw;
    // The page or object shown, in thousandths of an inch; after the layout, X and Y hold the
    // design origin that centres the page in the bitmap.
    Gdiplus::RectF design;
    // The page inside the bitmap, in pixels.
    Gdiplus::RectF page;
    // Leave a border around the page (1 pixel, 2 for the disc-printer picture).
    bool border = true;
};

// Lays out `layout` for a picture of `design` (thousandths of an inch) with a border of `border`
// pixels, for a preview of `kind`; `layout.target` must be set. The label stock preview fits the
// page into a square inset by 5 % of the target and uses the whole target as its bitmap.
void LayoutPreviewPage(PreviewLayout& layout, const Gdiplus::RectF& design, int border, int kind);
