// CTrackList: the track-list grid of the Text Editor bar. It shows the album's track list one
// text line per row in three columns (number, title, time); the user edits one field at a time
// in a cell editor laid over the field's lines, moves a field up or down, removes a record,
// drags the title column's edges and double-clicks them to fit a column to its texts. Every
// change is written back into the design's album field inside one undo step of the view.
//
// CTrackListHeader paints the grid's header: flat, disabled, with the outline of the current
// record along its bottom when the record starts in the first row.
#pragma once

#include "bars/EditText.h"
#include "framework/Win.h"

class CBarText;

// The widths of the three visible columns.
struct TrackColumnWidths {
    int number = 28;
    int title = 100;
    int time = 36;
    int Sum() const { return number + title + time; }
    bool operator==(const TrackColumnWidths& o) const {
        return number == o.number && title == o.title && time == o.time;
    }
};

// The column arithmetic of the grid, apart from the window.
namespace TrackColumns {
const int kMinNumber = 28;
const int kMinTitle = 64;
const int kMinTime = 36;
const int kTextMargin = 3;
// The widths for a grid client width: a narrower grid takes from the time column first, then from
// the number column, then from the title column, each down to its minimum; a wider one gives
// the room to the title column.
TrackColumnWidths FitToClient(TrackColumnWidths w, int clientWidth);
// The widths after the pointer moved by dx while dragging the title column's left edge
// (`leftEdge`) or right edge. The sum may come out above the client width: the bar then widens.
TrackColumnWidths Drag(TrackColumnWidths w, int clientWidth, bool leftEdge, int dx);
// One column (1 number, 2 title, 3 time) fitted to its widest text: at least its minimum, and
// above the minimum with room for the text margins; the sum held to `limit`, the fitted column
// giving way.
TrackColumnWidths FitColumn(TrackColumnWidths w, int column, int widestText, int limit);
}  // namespace TrackColumns

class CTrackListHeader : public CHeaderCtrl {
    DECLARE_DYNAMIC(CTrackListHeader)
public:
    CTrackListHeader();
    ~CTrackListHeader() override;

    void PreSubclassWindow() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()
};

class CTrackList : public CListCtrl {
    DECLARE_DYNAMIC(CTrackList)
public:
    CTrackList();
    ~CTrackList() override;

    // The bar whose buttons, layout snapshot and width the grid uses; may stay null.
    CBarText* m_pBar = nullptr;

    // Drag mode: "" none, "Left" or "Right" (the pointer is over that edge of the title column),
    // "Edge" (the bar's right border was double-clicked).
    CString m_dragMode;
    int m_currentRecord = -1;   // 1-based; -1 none
    int m_currentField = -1;    // 1 number, 2 title, 3 time; -1 none
    int m_previousRecord = -7;  // -7 none
    CEditText m_cellEditor;     // its name is the album field the grid edits
    CTrackListHeader m_header;
    int m_lineHeight = 12;
    BOOL m_dragging = FALSE;
    CPoint m_lastDrag;
    int m_grabOffset = 0;
    CPoint m_lastMouse;
    BOOL m_barWidened = FALSE;

    // The record a row belongs to (its row data); 0 outside the rows.
    int GetRowRecord(int row) const;
    // The record of the last row; 0 without rows.
    int GetLastRecord() const;
    TrackColumnWidths GetColumnWidths() const;
    // Sets the widths that differ.
    void SetColumnWidths(const TrackColumnWidths& widths);
    // Shares the client width among the three columns (TrackColumns::FitToClient).
    void FitColumnsToClient();
    // The grid's client width less nothing: the room the three columns share.
    int GetClientWidth() const;

    // The line height of the shared font, measured in a hidden field box; 12 when unmeasurable.
    int MeasureLineHeight();
    // A field's text as the editor shows it ("\r\n" line breaks), from the album field the cell
    // editor names.
    CString GetCellText(int record, int field) const;
    // Writes the text into the current field of the current record through the canvas.
    void SetCellText(const CString& text);
    // Moves the current field's text "Up" or "Down" (one undo step).
    void MoveRow(const CString& direction);
    // Cuts the current record out (one undo step).
    void RemoveRow();
    // Repaints the rows of the current and previous records and of their neighbours.
    void RedrawCurrentRows();
    // Lays the cell editor over the current field's lines and shows it.
    void PlaceCellEditor();
    // Chooses the cell under a point (client coordinates): true when one was hit.
    bool ChooseCell(CPoint point);
    // Fits a column to its texts for a drag mode "Left", "Right" or "Edge" (see the drag mode).
    void FitColumns(const CString& mode);

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    int OnCreate(LPCREATESTRUCT createStruct);
    BOOL OnEraseBkgnd(CDC* dc);
    // The client width changes with the bar's width and with the vertical scroll bar, which
    // comes and goes with the rows: the columns follow it.
    void OnSize(UINT type, int cx, int cy);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    // The x range of a column (1 to 3) from the header's item.
    void GetColumnSpan(int column, int& left, int& right) const;
    // Gives the new widths to the grid and widens or narrows the bar when they do not fit.
    void ApplyWidths(const TrackColumnWidths& widths);
    void GiveFocusBack();
    // Re-centres and refreshes the canvas after the bar changed its width.
    void RecenterCanvas();
    // The widest shown text of a column, trimmed, in the grid's font.
    int WidestText(int column);

    CFont m_tinyFont;
    CBitmap m_rowBitmap;
    CImageList m_rowImages;
};
