// The image panel's canvas in the running program: the cells' insertions, removals, drop area and
// side choice go to the one editing View and its design.
#pragma once

#include "bars/ImagePanelCanvas.h"

class View;

class ViewImagePanelCanvas : public ImagePanelCanvas {
public:
    // The instance the application installs; it works on View::GetCurrent().
    static ViewImagePanelCanvas& Instance();

    void BeginUndoStep() override;
    void RecordUndoValue(LPCSTR key) override;
    void EndUndoStep() override;
    void InsertImage(const CRect& designRect, const CString& path, bool asBackground) override;
    void DeleteSelectedObject(bool refresh) override;
    bool GetSelectionBackgroundRect(CRect& designRect) override;
    CRect ScreenToDesign(const CRect& screenRect) override;
    void GetDropRegion(CRgn& region) override;
    void SetPendingImagePath(const CString& path) override;
    void SelectSideOfSelection() override;
    void RecenterAndRefresh() override;
    void GetLayoutSnapshot(CPoint& scrollPos, CRect& clientRect, CSize& totalSize) override;

private:
    static View* CurrentView();
    // The step this canvas opened, and whether the insertion inside it made an object: a step
    // around a failed insertion is dropped, so that Undo does not undo nothing.
    bool m_stepOpened = false;
    bool m_inserted = false;
};
