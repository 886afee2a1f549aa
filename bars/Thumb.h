// CThumb: one cell of the Images panel: the thumbnail of one image record with the file's name,
// a tooltip with its details, and the ways of bringing the image into the design (drag and drop,
// double click for the background, the canvas's context menu). The "[No Background]" cell
// removes the selected object instead.
#pragma once

#include <windows.h>

#include <memory>

#include "bars/ImagePanelState.h"
#include "framework/Win.h"

class CImageView1;

// Timers of a cell.
enum : UINT_PTR {
    kTimerCellOutline = 1058,
    kTimerImageHint = 1120,
};

// "%d KB" below 1000 KB, else "%.2f MB".
CString FormatImageFileSize(DWORD size);
// The tooltip text of a record: name, dimensions, size and folder, one per line.
CString BuildImageTipText(const CString& name, int width, int height, DWORD size, const CString& path);

class CThumb : public CButton {
    DECLARE_DYNAMIC(CThumb)
public:
    static const int kNoRecord = -999;

    CThumb();
    ~CThumb() override;

    // A hidden owner-drawn cell of 117 x 132 in the pane.
    BOOL CreateCell(CImageView1* pane);
    // The cell shows no record until the pane gives it one.
    void Reset();
    void SetTipText(const CString& text);
    void CreateToolTip();
    void DestroyToolTip();
    // Draws (or, drawn twice, erases) the 3-pixel outline of the image's rectangle on the screen.
    void InvertOutline();
    // The image's rectangle inside the cell (the square's centre, the thumbnail's size), client
    // coordinates.
    CRect ImageRectInCell() const;
    void ShowAddImageTip();

    bool m_waiting = false;
    int m_recordIndex = kNoRecord;
    std::unique_ptr<CToolTipCtrl> m_toolTip;
    CString m_tipText;  // what the tooltip shows
    CString m_tip;      // the tip built by the last draw; empty forces a rebuild
    CRect m_dragStartRect;
    CRect m_dragRect;
    CRgn m_dropRegion;
    bool m_dragging = false;
    CPoint m_dragStartPoint;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void PreSubclassWindow() override;

    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnContextMenu(CWnd* wnd, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    // The record, when it is final (its picture is complete); null otherwise.
    ImageRecord* FinalRecord() const;
    ImageRecord* Record() const;
    void DrawName(HDC dc, const CString& name, int top);
    void PaintPicture(ImageRecord* record, HDC itemDC);
    bool DragRectInDropRegion() const;
    void MoveOutline(const CRect& from, const CRect& to);
    void BuildDropRegion();
    void InsertAsUndoStep(const CRect& designRect, const CString& path, bool asBackground);
};
