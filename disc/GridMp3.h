// CGridMp3: the MP3 track grid of the Read CD dialog. One row per MP3 file of a data disc: its
// position, a "Use Tag" switch, the playing time and the track name, and two hidden columns (the
// tag state and the other title). Names are edited in place; a row switches between its tag text
// and its file name; blocks of rows move up and down; the rows sort by name. The rows in their
// current order become the design's track list.
#pragma once

#include <vector>

#include "controls/ListTrans.h"
#include "disc/AlbumTransfer.h"
#include "framework/Win.h"

class CGridMp3 : public CListCtrl {
public:
    enum Column {
        kColumnEmpty = 0,
        kColumnPosition = 1,
        kColumnUseTag = 2,
        kColumnTime = 3,
        kColumnTitle = 4,
        kColumnTagState = 5,  // "2" no tag text, "0" known but not used, "1" used
        kColumnOther = 6,     // the tag text while not used, the file name while it is
    };
    enum { kEditorId = 1035 };

    CGridMp3();
    ~CGridMp3() override;

    // Makes the list window (report view, its header a CGridHeader that does not sort).
    BOOL CreateGrid(CWnd* parent, const CRect& rect, UINT id);
    // The switch images, the font, the editor, the columns and one row per name.
    void SetUp(const CStringArray& names);
    // A row's tag text arrived: with useTag the tag text becomes the title (the name moves to the
    // hidden column, state "1"), otherwise it waits in the hidden column (state "0").
    void SetTagText(int row, const CString& tagText, bool useTag);
    void SetTime(int row, const CString& time);
    // After the last time: time, title and hidden columns sized to their contents, the hidden
    // column then closed (the title column takes its width when that is wider).
    void FitColumns();

    // The buttons of the dialog.
    void MoveRow(bool up);
    void SortTrackNames();
    // A click on "Use Tag" (nothing for a row without tag text).
    void ToggleUseTag(int row);
    // The in-place editor over a title cell; hidden when the row lies under the header.
    void OpenEditor(int row, bool selectAll);
    void HideEditor();
    // The selected block (first <= last after a drag), -1 when none.
    void SelectBlock(int first, int last);

    // The rows in their current order: title and time.
    std::vector<Mp3Row> GetRows() const;

    int GetEditRow() const { return m_editRow; }
    int GetBlockFirst() const { return m_blockFirst; }
    CEdit& GetEditor() { return m_editor; }

    BOOL PreTranslateMessage(MSG* msg) override;

    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnEditorChange();

    DECLARE_MESSAGE_MAP()

private:
    bool WorkerFinished() const;
    int HitCell(CPoint point, int* column) const;
    void PaintTagImages(CDC& dc);
    void PaintBlock(CDC& dc);
    void MoveToRow(int row);
    void ScrollRowIntoView(int row);
    int HeaderBottom() const;
    void FitToContentsAndHeader(int column, const char* header);
    // Scrolls with the editor closed and reopens it at the same cell with the same selection.
    template <class Fn>
    void ScrollKeepingEditor(Fn scroll);

    CEdit m_editor;
    CGridHeader m_header;
    CImageList m_tagImages;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_blockFirst = -1;
    int m_blockLast = -1;
    int m_lastClickColumn = -1;
    bool m_dragging = false;
    bool m_settingEditorText = false;
};
