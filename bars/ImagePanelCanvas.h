// What the image panel asks of the editing canvas: the undo steps and the image insertion of a
// drop or a double click, the drop area on the screen, the selected object's area, the canvas's
// pending image path for its Copy Image command and its re-layout. The canvas side installs its
// implementation when the canvas is made (tests install their own); with none installed the
// panel's cells change nothing.
#pragma once

#include <windows.h>

#include "framework/Win.h"

class ImagePanelCanvas {
public:
    virtual ~ImagePanelCanvas() = default;

    static ImagePanelCanvas* Get();
    static void Set(ImagePanelCanvas* canvas);

    // The undo step that brackets an insertion (the keys are "prevOrder", "nextRich", "nextOrder").
    virtual void BeginUndoStep() = 0;
    virtual void RecordUndoValue(LPCSTR key) = 0;
    virtual void EndUndoStep() = 0;
    // Inserts an image object made from the file into the rectangle (design units) of the
    // current side, as its background when asked.
    virtual void InsertImage(const CRect& designRect, const CString& path, bool asBackground) = 0;
    // Removes the first selected object (with its undo step); nothing without a selection.
    virtual void DeleteSelectedObject(bool refresh) = 0;
    // The selected object's bounds in design units for a background image (a folded front
    // cover gives its outside half); false when nothing is selected.
    virtual bool GetSelectionBackgroundRect(CRect& designRect) = 0;
    // A rectangle on the screen in design units of the current side.
    virtual CRect ScreenToDesign(const CRect& screenRect) = 0;
    // The screen area that takes a drop: the current side's objects (a disc without its hole),
    // within the canvas's client area. Fills `region` (an existing region object).
    virtual void GetDropRegion(CRgn& region) = 0;
    // The file that the canvas's Copy Image command copies.
    virtual void SetPendingImagePath(const CString& path) = 0;
    // A right click on a cell: the canvas makes the selected object's side current and shows its
    // properties.
    virtual void SelectSideOfSelection() = 0;
    // Re-centres the design in the canvas and redraws it (the bar changed width).
    virtual void RecenterAndRefresh() = 0;
    // The canvas's scroll position, client rectangle (inside the bars) and total scroll size,
    // recorded before the bar is resized.
    virtual void GetLayoutSnapshot(CPoint& scrollPos, CRect& clientRect, CSize& totalSize) = 0;
};
