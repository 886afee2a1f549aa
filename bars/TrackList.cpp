// The track-list grid: rows painted by hand with the outline of the current record, the cell
// editor laid over one field, moves and removals as undo steps, and the title column's edges
// dragged or fitted to their texts.
#include "bars/TrackList.h"

#include <algorithm>

#include "bars/AlbumFieldEdit.h"
#include "bars/BarCanvas.h"
#include "framework/win/ScopedGdi.h"
#include "bars/BarText.h"
#include "bars/TextEditorErrors.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "framework/core/OperationError.h"
#include "model/KorvanelleDocument.h"

namespace {

const UINT kCellEditorId = 1;

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOut(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF colour) {
    FillSolid(dc, CRect(x, top, x + 1, bottom), colour);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour) {
    FillSolid(dc, CRect(left, y, right, y + 1), colour);
}

}  // namespace

// ============================== column arithmetic ==============================

namespace TrackColumns {

TrackColumnWidths FitToClient(TrackColumnWidths w, int clientWidth) {
    const int g = clientWidth;
    if (g <= w.Sum()) {
        w.time = g - w.title - w.number;
        if (w.time < kMinTime) {
            w.time = kMinTime;
            w.number = g - w.time - w.title;
            if (w.number < kMinNumber) {
                w.number = kMinNumber;
                w.title = std::max(kMinTitle, g - w.time - w.number);
            }
        }
    } else {
        w.title = g - w.time - w.number;
    }
    return w;
}

TrackColumnWidths Drag(TrackColumnWidths w, int clientWidth, bool leftEdge, int dx) {
    const int g = clientWidth;
    if (dx == 0) return w;
    if (leftEdge) {
        if (dx > 0) {
            if (w.time - dx >= kMinTime) {
                w.time -= dx;
                w.number = g - w.time - w.title;
            } else {
                w.time = kMinTime;
                if (w.title - dx >= kMinTitle) {
                    w.title -= dx;
                    w.number = g - kMinTime - w.title;
                } else {
                    w.title = kMinTitle;
                    w.number += dx;
                }
            }
        } else {
            w.number = std::max(kMinNumber, w.number + dx);
            w.title = g - w.time - w.number;
        }
    } else {
        if (dx > 0) {
            w.title += dx;
            if (w.Sum() <= g)
                w.time = g - w.title - w.number;
            else
                w.time = std::max(kMinTime, w.time - dx);
        } else {
            w.title += dx;
            if (w.title < kMinTitle) {
                w.title = kMinTitle;
                w.number = std::max(kMinNumber, w.number + dx);
            }
            w.time = g - w.title - w.number;
        }
    }
    return w;
}

TrackColumnWidths FitColumn(TrackColumnWidths w, int column, int widestText, int limit) {
    const int minimum = column == 1 ? kMinNumber : column == 2 ? kMinTitle : kMinTime;
    int width = std::max(minimum, widestText);
    if (widestText > minimum) width = widestText + 2 + 2 * kTextMargin;
    int& target = column == 1 ? w.number : column == 2 ? w.title : w.time;
    target = width;
    if (w.Sum() > limit) target = std::max(minimum, limit - (w.Sum() - target));
    return w;
}

}  // namespace TrackColumns

// ============================== CTrackListHeader ==============================

IMPLEMENT_DYNAMIC(CTrackListHeader, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CTrackListHeader, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CTrackListHeader::CTrackListHeader() = default;
CTrackListHeader::~CTrackListHeader() = default;

void CTrackListHeader::PreSubclassWindow() {
    if (g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
    CHeaderCtrl::PreSubclassWindow();
    // The user never drags the dividers: the grid's own edges do that.
    EnableWindow(FALSE);
}

BOOL CTrackListHeader::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return TRUE;
}

void CTrackListHeader::OnPaint() {
    CPaintDC paint(this);
    GuardOperation(kErrGridHeaderPaint, [&] {
        CRect client;
        GetClientRect(&client);
        ScopedMemoryDC memory(paint, client.Width(), client.Height());
        if (!memory.Bitmap()) return;
        FillSolid(memory, client, ::GetSysColor(COLOR_BTNFACE));
        HorizontalLine(memory, client.left, client.right, client.bottom - 3, ::GetSysColor(COLOR_BTNSHADOW));
        const CTrackList* grid = dynamic_cast<const CTrackList*>(GetParent());
        const bool outlined = grid && grid->GetItemCount() > 0 && grid->m_currentRecord > 0 &&
                              grid->GetRowRecord(0) == grid->m_currentRecord;
        HorizontalLine(memory, client.left, client.right, client.bottom - 1,
                       ::GetSysColor(outlined ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        HFONT font = grid ? reinterpret_cast<HFONT>(grid->SendMessage(WM_GETFONT)) : nullptr;
        ScopedSelect selectFont(memory, font);
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, ::GetSysColor(COLOR_WINDOWTEXT));
        for (int column = 1; column <= 3 && column < GetItemCount(); ++column) {
            CRect item;
            GetItemRect(column, &item);
            if (column < 3) {
                VerticalLine(memory, item.right - 2, item.top, item.bottom, ::GetSysColor(COLOR_BTNSHADOW));
                VerticalLine(memory, item.right - 1, item.top, item.bottom,
                             ::GetSysColor(COLOR_BTNHIGHLIGHT));
            }
            const char* caption = column == 2 ? "Track Name" : column == 3 ? "Time" : nullptr;
            if (!caption) continue;
            CRect text(item.left + TrackColumns::kTextMargin, item.top + 2, item.right, item.bottom);
            ::DrawTextA(memory, caption, -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
        ::BitBlt(paint, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
    });
}

// ============================== CTrackList ==============================

IMPLEMENT_DYNAMIC(CTrackList, CListCtrl)

BEGIN_MESSAGE_MAP(CTrackList, CListCtrl)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CTrackList::CTrackList() {
    m_cellEditor.m_name = "Track List";
}
CTrackList::~CTrackList() = default;

int CTrackList::OnCreate(LPCREATESTRUCT createStruct) {
    (void)createStruct;
    int result = -1;
    GuardOperation(kErrGridCreate, [&] {
        result = static_cast<int>(Default());
        if (result == -1) return;
        if (g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
        // A font too small to count: the rows take the height of the row image instead, one
        // line of the field boxes.
        m_tinyFont.CreateFont(3, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
        SetFont(&m_tinyFont);
        m_lineHeight = MeasureLineHeight();
        m_rowBitmap.CreateBitmap(1, m_lineHeight, 1, 1, nullptr);
        m_rowImages.Create(1, m_lineHeight, ILC_COLOR, 1, 0);
        m_rowImages.Add(&m_rowBitmap, static_cast<CBitmap*>(nullptr));
        SetImageList(&m_rowImages, LVSIL_SMALL);
        const TrackColumnWidths initial;
        InsertColumn(0, "", LVCFMT_LEFT, 0);
        InsertColumn(1, "", LVCFMT_LEFT, initial.number);
        InsertColumn(2, "Track Name", LVCFMT_LEFT, initial.title);
        InsertColumn(3, "Time", LVCFMT_LEFT, initial.time);
        m_cellEditor.Create(WS_CHILD | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                            CRect(0, 0, 0, 0), this, kCellEditorId);
        m_cellEditor.SetMargins(0, 0);
        if (CHeaderCtrl* header = GetHeaderCtrl()) m_header.SubclassWindow(header->m_hWnd);
    });
    return result;
}

int CTrackList::MeasureLineHeight() {
    int height = 12;
    GuardOperation(kErrGridMeasure, [&] {
        CEditText probe;
        if (!probe.Create(WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, CRect(0, 0, 100, 100),
                          this, 0xFFFE))
            return;
        probe.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
        probe.SetTextQuietly("a\r\na");
        const int first = probe.PosFromChar(0).y;
        const int last = probe.PosFromChar(probe.GetWindowTextLength() - 1).y;
        probe.DestroyWindow();
        if (last - first - 1 >= 1) height = last - first - 1;
    });
    return height;
}

int CTrackList::GetRowRecord(int row) const {
    if (row < 0 || row >= GetItemCount()) return 0;
    return static_cast<int>(GetItemData(row));
}

int CTrackList::GetLastRecord() const {
    return GetRowRecord(GetItemCount() - 1);
}

TrackColumnWidths CTrackList::GetColumnWidths() const {
    TrackColumnWidths w;
    w.number = GetColumnWidth(1);
    w.title = GetColumnWidth(2);
    w.time = GetColumnWidth(3);
    return w;
}

void CTrackList::SetColumnWidths(const TrackColumnWidths& widths) {
    const TrackColumnWidths now = GetColumnWidths();
    if (now.number != widths.number) SetColumnWidth(1, widths.number);
    if (now.title != widths.title) SetColumnWidth(2, widths.title);
    if (now.time != widths.time) SetColumnWidth(3, widths.time);
}

void CTrackList::FitColumnsToClient() {
    SetColumnWidths(TrackColumns::FitToClient(GetColumnWidths(), GetClientWidth()));
}

void CTrackList::OnSize(UINT type, int cx, int cy) {
    CListCtrl::OnSize(type, cx, cy);
    // Not before the grid is on the screen: the frame makes the bar's first width from the columns'
    // first widths; the bar's layout fits them once it shows.
    GuardOperation(kErrGridSize, [&] {
        if (m_header.m_hWnd && IsWindowVisible()) FitColumnsToClient();
    });
}

int CTrackList::GetClientWidth() const {
    CRect client;
    GetClientRect(&client);
    return client.Width();
}

void CTrackList::GetColumnSpan(int column, int& left, int& right) const {
    left = right = 0;
    CRect item;
    if (m_header.m_hWnd && m_header.GetItemRect(column, &item)) {
        left = item.left;
        right = item.right;
    }
}

CString CTrackList::GetCellText(int record, int field) const {
    CString text;
    GuardOperation(kErrGridCellText, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        if (!design) return;
        text = FieldTextForDisplay(GetTrackField(design->GetAlbumField(m_cellEditor.m_name), record, field));
    });
    return text;
}

void CTrackList::SetCellText(const CString& text) {
    GuardOperation(kErrGridSetCell, [&] {
        if (m_currentRecord < 1 || m_currentRecord > GetLastRecord()) return;
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        if (!design) return;
        const CString& name = m_cellEditor.m_name;
        const CString album = design->GetAlbumField(name);
        canvas->SetDocumentText(name, SetTrackField(album, m_currentRecord, m_currentField, text));
    });
}

void CTrackList::GiveFocusBack() {
    if (m_cellEditor.m_hWnd && m_cellEditor.IsWindowVisible()) m_cellEditor.SetFocus();
}

void CTrackList::MoveRow(const CString& direction) {
    GuardOperation(kErrGridMoveRow, [&] {
        const bool up = direction == CString("Up");
        if ((up && m_currentRecord < 2) || (!up && m_currentRecord >= GetLastRecord()) ||
            m_currentRecord < 1 || m_currentField < 1) {
            GiveFocusBack();
            return;
        }
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        if (!design) return;
        const CString name = m_cellEditor.m_name;
        AlbumFieldStep step(name);
        const CString album = design->GetAlbumField(name);
        const int neighbour = up ? m_currentRecord - 1 : m_currentRecord + 1;
        canvas->SetDocumentText(name, SwapTrackField(album, m_currentRecord, m_currentField, up));
        m_previousRecord = m_currentRecord;
        m_currentRecord = neighbour;
        RedrawCurrentRows();
        PlaceCellEditor();
        GiveFocusBack();
        canvas->RefreshLinkedObjects();
        step.End();
        canvas->RequestRedraw();
    });
}

void CTrackList::RemoveRow() {
    GuardOperation(kErrGridRemoveRow, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        const CString name = m_cellEditor.m_name;
        const CString album = design ? design->GetAlbumField(name) : CString();
        if (!design || m_currentRecord < 1 || m_currentRecord > GetLastRecord() ||
            SplitTrackRecords(album).size() < 2) {
            GiveFocusBack();
            return;
        }
        AlbumFieldStep step(name);
        canvas->SetDocumentText(name, RemoveTrackRecord(album, m_currentRecord));
        if (m_currentRecord > GetLastRecord()) m_currentRecord = GetLastRecord();
        RedrawCurrentRows();
        PlaceCellEditor();
        GiveFocusBack();
        canvas->RefreshLinkedObjects();
        step.End();
        canvas->RequestRedraw();
    });
}

void CTrackList::RedrawCurrentRows() {
    GuardOperation(kErrGridRedraw, [&] {
        auto isNear = [](int record, int around) {
            return around > 0 && record >= around - 1 && record <= around + 1;
        };
        bool firstRow = false;
        for (int row = 0; row < GetItemCount(); ++row) {
            const int record = GetRowRecord(row);
            if (!isNear(record, m_currentRecord) && !isNear(record, m_previousRecord)) continue;
            RedrawItems(row, row);
            if (row == 0) firstRow = true;
        }
        if (firstRow && m_header.m_hWnd) m_header.Invalidate();
        m_previousRecord = -7;
    });
}

void CTrackList::PlaceCellEditor() {
    GuardOperation(kErrGridPlaceEditor, [&] {
        if (m_currentRecord < 1 || m_currentField < 1 || !m_cellEditor.m_hWnd) return;
        CRect area;
        for (int row = 0; row < GetItemCount(); ++row) {
            if (GetRowRecord(row) != m_currentRecord || GetItemText(row, m_currentField).IsEmpty()) continue;
            CRect cell;
            GetSubItemRect(row, m_currentField, LVIR_BOUNDS, cell);
            if (area.IsRectEmpty())
                area = cell;
            else
                area.UnionRect(&area, &cell);
        }
        if (area.IsRectEmpty()) return;
        area.left += TrackColumns::kTextMargin;
        area.right -= m_currentField == 3 ? 2 : TrackColumns::kTextMargin;
        CRect now;
        m_cellEditor.GetWindowRect(&now);
        ScreenToClient(&now);
        if (now != area)
            m_cellEditor.SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(),
                                      SWP_NOZORDER | SWP_NOACTIVATE);
        if (!m_cellEditor.IsWindowVisible()) m_cellEditor.ShowWindow(SW_SHOWNA);
        if (m_pBar) m_pBar->EnableTrackButtons(TRUE);
        const CString text = GetCellText(m_currentRecord, m_currentField);
        CString shown;
        m_cellEditor.GetWindowText(shown);
        if (shown != text) m_cellEditor.SetTextQuietly(text);
    });
}

void CTrackList::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(kErrGridDrawItem, [&] {
        const int row = static_cast<int>(drawItem->itemID);
        // The columns stand where the header's items do; the list may hand over a row starting a
        // little to their right, so the row is painted over the whole width of the columns.
        int left[4] = {}, right[4] = {};
        for (int column = 1; column <= 3; ++column) GetColumnSpan(column, left[column], right[column]);
        CRect rect(drawItem->rcItem);
        rect.left = std::min(static_cast<int>(rect.left), left[1]);
        rect.right = std::max(static_cast<int>(rect.right), right[3]);
        if (rect.IsRectEmpty()) return;
        ScopedMemoryDC memory(drawItem->hDC, rect.Width(), rect.Height());
        if (!memory.Bitmap()) return;
        const CRect local(0, 0, rect.Width(), rect.Height());
        FillSolid(memory, local, ::GetSysColor(COLOR_WINDOW));
        ScopedSelect selectFont(memory, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, ::GetSysColor(COLOR_WINDOWTEXT));
        for (int column = 1; column <= 3; ++column) {
            left[column] -= rect.left;
            right[column] -= rect.left;
            const CString text = GetItemText(row, column);
            if (text.IsEmpty()) continue;
            CRect cell(left[column] + TrackColumns::kTextMargin, 0,
                       column < 3 ? right[column] - TrackColumns::kTextMargin : right[column], local.bottom);
            ::DrawTextA(memory, text, text.GetLength(), &cell,
                        DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        VerticalLine(memory, right[1] - 2, 0, local.bottom, ::GetSysColor(COLOR_BTNSHADOW));
        VerticalLine(memory, right[2] - 2, 0, local.bottom, ::GetSysColor(COLOR_BTNSHADOW));

        // The current record is outlined, never filled.
        const COLORREF outline = ::GetSysColor(COLOR_HIGHLIGHT);
        const int record = GetRowRecord(row);
        if (m_currentRecord > 0) {
            if (record == m_currentRecord) {
                // Where the list starts its rows right of the first column's edge, the line goes
                // on the first pixel the row may paint.
                const int edge = std::max(left[1], static_cast<int>(drawItem->rcItem.left - rect.left));
                VerticalLine(memory, edge, 0, local.bottom, outline);
                VerticalLine(memory, right[3] - 1, 0, local.bottom, outline);
            } else if (GetRowRecord(row + 1) == m_currentRecord) {
                HorizontalLine(memory, left[1], right[3], local.bottom - 1, outline);
            } else if (row > 0 && GetRowRecord(row - 1) == m_currentRecord) {
                HorizontalLine(memory, left[1], right[3], 0, outline);
            }
        }

        ScopedSaveDC saved(drawItem->hDC);
        if (m_cellEditor.m_hWnd && m_cellEditor.IsWindowVisible()) {
            PlaceCellEditor();
            CRect editor;
            m_cellEditor.GetWindowRect(&editor);
            ScreenToClient(&editor);
            ::ExcludeClipRect(drawItem->hDC, editor.left, editor.top, editor.right, editor.bottom);
        }
        ::BitBlt(drawItem->hDC, rect.left, rect.top, rect.Width(), rect.Height(), memory, 0, 0, SRCCOPY);
    });
}

BOOL CTrackList::OnEraseBkgnd(CDC* dc) {
    GuardOperation(kErrGridErase, [&] {
        const int rows = GetItemCount();
        if (rows == 0 || dc == nullptr) return;
        CRect client, last;
        GetClientRect(&client);
        GetItemRect(rows - 1, &last, LVIR_BOUNDS);
        if (last.bottom >= client.bottom) return;
        CRect below(client.left, last.bottom, client.right, client.bottom);
        FillSolid(dc->m_hDC, below, ::GetSysColor(COLOR_WINDOW));
        if (m_currentRecord > 0 && GetLastRecord() == m_currentRecord) {
            int left = 0, right = 0, unused = 0;
            GetColumnSpan(1, left, unused);
            GetColumnSpan(3, unused, right);
            HorizontalLine(dc->m_hDC, left, right, last.bottom, ::GetSysColor(COLOR_HIGHLIGHT));
        }
    });
    return TRUE;
}

BOOL CTrackList::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    BOOL handled = FALSE;
    GuardOperation(kErrGridCursor, [&] {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        int bottom = 0;
        if (GetItemCount() > 0) {
            CRect last;
            GetItemRect(GetItemCount() - 1, &last, LVIR_BOUNDS);
            bottom = last.bottom;
        }
        int left = 0, right = 0;
        GetColumnSpan(2, left, right);
        const bool inRows = point.y >= 0 && point.y < bottom;
        if (inRows && point.x >= left - 4 && point.x < left + 2)
            m_dragMode = "Left";
        else if (inRows && point.x >= right - 4 && point.x < right + 2)
            m_dragMode = "Right";
        else
            m_dragMode.Empty();
        if (!m_dragMode.IsEmpty()) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            handled = TRUE;
        }
    });
    if (handled) return TRUE;
    (void)wnd;
    (void)hitTest;
    (void)message;
    return static_cast<BOOL>(Default());
}

bool CTrackList::ChooseCell(CPoint point) {
    for (int row = 0; row < GetItemCount(); ++row) {
        for (int column = 1; column <= 3; ++column) {
            CRect cell;
            GetSubItemRect(row, column, LVIR_BOUNDS, cell);
            if (!cell.PtInRect(point)) continue;
            m_currentField = column;
            m_previousRecord = m_currentRecord;
            m_currentRecord = GetRowRecord(row);
            m_cellEditor.SetTextQuietly(GetCellText(m_currentRecord, m_currentField));
            PlaceCellEditor();
            RedrawCurrentRows();
            return true;
        }
    }
    return false;
}

void CTrackList::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(kErrGridButtonDown, [&] {
        if (!m_dragMode.IsEmpty()) {
            SetCapture();
            m_dragging = TRUE;
            m_lastDrag = point;
            int left = 0, right = 0;
            GetColumnSpan(2, left, right);
            m_grabOffset = point.x - (m_dragMode == CString("Left") ? left : right);
            if (m_pBar) m_pBar->TakeViewSnapshot();
            return;
        }
        if (!ChooseCell(point)) return;
        // The caret lands where the user clicked.
        CPoint inEditor = point;
        MapWindowPoints(&m_cellEditor, &inEditor, 1);
        m_cellEditor.SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(inEditor.x, inEditor.y));
    });
}

void CTrackList::ApplyWidths(const TrackColumnWidths& widths) {
    const int client = GetClientWidth();
    if (widths.Sum() != client && m_pBar) {
        // The bar grows or shrinks by what the columns need beyond the grid's client width.
        CRect bar;
        m_pBar->GetWindowRect(&bar);
        m_pBar->SetSizeCX(bar.Width() + widths.Sum() - client, "Vert");
        if (CFrameWnd* frame = m_pBar->GetDockingFrame()) {
            frame->RecalcLayout();
            frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        m_barWidened = TRUE;
    }
    ShowWindow(SW_HIDE);
    SetColumnWidths(widths);
    ShowWindow(SW_SHOW);
    UpdateWindow();
}

void CTrackList::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(kErrGridMouseMove, [&] {
        if (!m_dragging || m_dragMode.IsEmpty() || !(flags & MK_LBUTTON) || point == m_lastMouse) return;
        m_lastMouse = point;
        const bool left = m_dragMode == CString("Left");
        const int lowest = TrackColumns::kMinNumber + (left ? 0 : TrackColumns::kMinTitle) + m_grabOffset;
        const int x = std::max(static_cast<int>(point.x), lowest);
        const int dx = x - m_lastDrag.x;
        if (dx == 0) return;
        ApplyWidths(TrackColumns::Drag(GetColumnWidths(), GetClientWidth(), left, dx));
        m_lastDrag.x = x;
    });
    Default();
}

void CTrackList::RecenterCanvas() {
    BarCanvas* canvas = GetBarCanvas();
    if (!canvas) return;
    // The view lays itself out anew, not from the snapshot taken when the drag began.
    if (m_pBar) m_pBar->m_snapshotSuspended = TRUE;
    canvas->RecenterAndRefresh();
    if (m_pBar) m_pBar->m_snapshotSuspended = FALSE;
}

void CTrackList::OnLButtonUp(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(kErrGridButtonUp, [&] {
        if (!m_dragging) return;
        m_dragging = FALSE;
        ::ReleaseCapture();
        if (m_barWidened) {
            m_barWidened = FALSE;
            RecenterCanvas();
        }
    });
    Default();
}

int CTrackList::WidestText(int column) {
    int widest = 0;
    CClientDC dc(this);
    ScopedSelect selectFont(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    for (int row = 0; row < GetItemCount(); ++row) {
        CString text = GetItemText(row, column);
        text.Trim(' ');
        SIZE size = {};
        ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    return widest;
}

void CTrackList::FitColumns(const CString& mode) {
    const int column = mode == CString("Left") ? 1 : mode == CString("Right") ? 2 : 3;
    CRect frame;
    if (CWnd* main = AfxGetMainWnd())
        main->GetWindowRect(&frame);
    else
        ::GetWindowRect(::GetDesktopWindow(), &frame);
    const int limit = (frame.right - frame.left) / 2;
    const TrackColumnWidths widths =
        TrackColumns::FitColumn(GetColumnWidths(), column, WidestText(column), limit);
    if (widths.Sum() == GetClientWidth()) {
        SetColumnWidths(widths);
        // The bar already fits: go on with the next column inwards.
        if (column == 2) FitColumns("Left");
        if (column == 3) FitColumns("Right");
        return;
    }
    ApplyWidths(widths);
}

void CTrackList::OnLButtonDblClk(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(kErrGridDoubleClick, [&] {
        if (m_dragMode.IsEmpty()) return;
        FitColumns(m_dragMode);
        if (m_barWidened) {
            m_barWidened = FALSE;
            RecenterCanvas();
        }
    });
}
