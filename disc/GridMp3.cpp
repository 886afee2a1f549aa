// The MP3 track grid.
#include "disc/GridMp3.h"

#include <algorithm>

#include "controls/ThemeResources.h"
#include "framework/win/ScopedGdi.h"
#include "disc/ReadCdState.h"
#include "res/ResourceImages.h"

BEGIN_MESSAGE_MAP(CGridMp3, CListCtrl)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_EN_CHANGE(CGridMp3::kEditorId, OnEditorChange)
END_MESSAGE_MAP()

namespace {

const int kImageSize = 11;
const int kImageBox = 13;

// Column 5's texts as the index of their switch image.
int TagState(const CString& text) {
    const int state = atoi(text);
    return state >= 0 && state <= 2 ? state : 2;
}

// The columns that travel with a row when rows move or sort (the position stays).
const int kMovedColumns[4] = {CGridMp3::kColumnTime, CGridMp3::kColumnTitle, CGridMp3::kColumnTagState,
                              CGridMp3::kColumnOther};

}  // namespace

CGridMp3::CGridMp3() = default;

CGridMp3::~CGridMp3() = default;

bool CGridMp3::WorkerFinished() const {
    return ReadCdState::Get().m_workerResult != kScanRunning;
}

BOOL CGridMp3::CreateGrid(CWnd* parent, const CRect& rect, UINT id) {
    const DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_CLIPCHILDREN | LVS_REPORT | LVS_SINGLESEL |
                        LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    if (!Create(style, rect, parent, id)) return FALSE;
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    return TRUE;
}

void CGridMp3::SetUp(const CStringArray& names) {
    HIMAGELIST images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 3, 0);
    m_tagImages.Attach(images);
    for (UINT id : {IDB_TAG_UNUSED, IDB_TAG_USED, IDB_TAG_NONE}) {
        ScopedGdiObject<HBITMAP> bitmap((HBITMAP)LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmap.Get()) ImageList_AddMasked(images, bitmap.Get(), RGB(255, 0, 255));
    }
    CFont* font = GetParent() ? GetParent()->GetFont() : nullptr;
    if (font) SetFont(font);
    CRect none(0, 0, 0, 0);
    m_editor.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, none, this, kEditorId);
    if (font) m_editor.SetFont(font);
    m_editor.SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 0));
    if (CHeaderCtrl* header = GetHeaderCtrl()) {
        m_header.SubclassWindow(header->m_hWnd);
        m_header.EnableWindow(FALSE);
    }
    InsertColumn(kColumnEmpty, "", LVCFMT_LEFT, 0);
    InsertColumn(kColumnPosition, "", LVCFMT_CENTER, 20);
    InsertColumn(kColumnUseTag, "Use Tag", LVCFMT_LEFT, 40);
    InsertColumn(kColumnTime, "Time", LVCFMT_CENTER, 40);
    InsertColumn(kColumnTitle, "Track Name", LVCFMT_LEFT, 100);
    InsertColumn(kColumnTagState, "", LVCFMT_LEFT, 0);
    InsertColumn(kColumnOther, "", LVCFMT_LEFT, 0);
    DeleteAllItems();
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
        const int row = InsertItem((int)i, "");
        CString position;
        position.Format("%d", (int)i + 1);
        SetItemText(row, kColumnPosition, position);
        SetItemText(row, kColumnTitle, names[i]);
        SetItemText(row, kColumnTagState, "2");
        SetItemData(row, (DWORD_PTR)i);
    }
    SetColumnWidth(kColumnPosition, LVSCW_AUTOSIZE);
    FitToContentsAndHeader(kColumnUseTag, "Use Tag");
    FitToContentsAndHeader(kColumnTime, "Time");
    SetColumnWidth(kColumnTime, GetColumnWidth(kColumnTime) + 7);
    CRect client;
    GetClientRect(&client);
    const int used =
        GetColumnWidth(kColumnPosition) + GetColumnWidth(kColumnUseTag) + GetColumnWidth(kColumnTime);
    SetColumnWidth(kColumnTitle, std::max(40, client.Width() - used - 16));
}

void CGridMp3::SetTagText(int row, const CString& tagText, bool useTag) {
    if (row < 0 || row >= GetItemCount()) return;
    if (useTag) {
        SetItemText(row, kColumnOther, GetItemText(row, kColumnTitle));
        SetItemText(row, kColumnTitle, tagText);
        SetItemText(row, kColumnTagState, "1");
    } else {
        SetItemText(row, kColumnOther, tagText);
        SetItemText(row, kColumnTagState, "0");
    }
}

void CGridMp3::SetTime(int row, const CString& time) {
    if (row >= 0 && row < GetItemCount()) SetItemText(row, kColumnTime, time);
}

void CGridMp3::FitToContentsAndHeader(int column, const char* header) {
    // The header's text measured in the list's font with room for its margins: the system's own
    // measure leaves some headers cut short.
    SetColumnWidth(column, LVSCW_AUTOSIZE);
    const int contents = GetColumnWidth(column);
    SetColumnWidth(column, std::max(contents, GetStringWidth(header) + 16));
}

void CGridMp3::FitColumns() {
    FitToContentsAndHeader(kColumnTime, "Time");
    FitToContentsAndHeader(kColumnTitle, "Track Name");
    SetColumnWidth(kColumnOther, LVSCW_AUTOSIZE);
    const int other = GetColumnWidth(kColumnOther);
    SetColumnWidth(kColumnOther, 0);
    SetColumnWidth(kColumnTagState, 0);
    if (other > GetColumnWidth(kColumnTitle)) SetColumnWidth(kColumnTitle, other);
}

std::vector<Mp3Row> CGridMp3::GetRows() const {
    std::vector<Mp3Row> rows;
    for (int i = 0; i < GetItemCount(); ++i)
        rows.push_back({GetItemText(i, kColumnTitle), GetItemText(i, kColumnTime)});
    return rows;
}

// ---- switching, moving, sorting -----------------------------------------------------------------

void CGridMp3::ToggleUseTag(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    HideEditor();
    const CString state = GetItemText(row, kColumnTagState);
    if (state == "2") return;
    const CString title = GetItemText(row, kColumnTitle);
    SetItemText(row, kColumnTitle, GetItemText(row, kColumnOther));
    SetItemText(row, kColumnOther, title);
    SetItemText(row, kColumnTagState, state == "1" ? "0" : "1");
    SelectBlock(-1, -1);
    Invalidate();
}

void CGridMp3::SelectBlock(int first, int last) {
    m_blockFirst = first;
    m_blockLast = last;
    Invalidate();
}

void CGridMp3::MoveRow(bool up) {
    if (m_blockFirst < 0) {
        if (m_lastClickColumn != kColumnTitle || m_editRow < 0) return;
        m_blockFirst = m_blockLast = m_editRow;
    }
    HideEditor();
    const int first = std::min(m_blockFirst, m_blockLast), last = std::max(m_blockFirst, m_blockLast);
    const int count = GetItemCount();
    const int neighbour = up ? first - 1 : last + 1;
    if (neighbour < 0 || neighbour >= count) return;
    const int* moved = kMovedColumns;
    SetRedraw(FALSE);
    CString saved[4];
    for (int c = 0; c < 4; ++c) saved[c] = GetItemText(neighbour, moved[c]);
    if (up) {
        for (int row = neighbour; row < last; ++row)
            for (int c = 0; c < 4; ++c) SetItemText(row, moved[c], GetItemText(row + 1, moved[c]));
        for (int c = 0; c < 4; ++c) SetItemText(last, moved[c], saved[c]);
    } else {
        for (int row = neighbour; row > first; --row)
            for (int c = 0; c < 4; ++c) SetItemText(row, moved[c], GetItemText(row - 1, moved[c]));
        for (int c = 0; c < 4; ++c) SetItemText(first, moved[c], saved[c]);
    }
    const int shift = up ? -1 : 1;
    m_blockFirst = first + shift;
    m_blockLast = last + shift;
    SetRedraw(TRUE);
    EnsureVisible(up ? m_blockFirst : m_blockLast, FALSE);
    Invalidate();
}

void CGridMp3::SortTrackNames() {
    HideEditor();
    m_editRow = m_editColumn = m_blockFirst = m_blockLast = -1;
    // Rows in ascending order of their upper-case titles, compared byte by byte; equal titles
    // keep their order.
    struct Row {
        CString key;
        CString texts[4];
    };
    std::vector<Row> rows(GetItemCount());
    for (int i = 0; i < (int)rows.size(); ++i) {
        for (int c = 0; c < 4; ++c) rows[i].texts[c] = GetItemText(i, kMovedColumns[c]);
        rows[i].key = rows[i].texts[1];
        rows[i].key.MakeUpper();
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return strcmp(a.key, b.key) < 0; });
    SetRedraw(FALSE);
    for (int i = 0; i < (int)rows.size(); ++i) {
        for (int c = 0; c < 4; ++c) SetItemText(i, kMovedColumns[c], rows[i].texts[c]);
        CString position;
        position.Format("%d", i + 1);
        SetItemText(i, kColumnPosition, position);
        SetItemData(i, (DWORD_PTR)i);
    }
    SetRedraw(TRUE);
    Invalidate();
}

// ---- the editor ---------------------------------------------------------------------------------

int CGridMp3::HeaderBottom() const {
    CRect rect;
    if (!m_header.m_hWnd) return 0;
    m_header.GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect.bottom;
}

void CGridMp3::OpenEditor(int row, bool selectAll) {
    if (row < 0 || row >= GetItemCount()) return;
    int start = 0, end = -1;
    if (!selectAll && m_editor.m_hWnd) m_editor.GetSel(start, end);
    m_editRow = row;
    m_editColumn = kColumnTitle;
    CRect cell;
    GetSubItemRect(row, kColumnTitle, LVIR_LABEL, cell);
    cell.top -= 2;
    cell.bottom += 3;
    if (cell.left < 0) cell.left = 0;
    if (cell.top <= HeaderBottom() - 3) {
        m_editor.ShowWindow(SW_HIDE);
        return;
    }
    m_settingEditorText = true;
    m_editor.SetWindowText(GetItemText(row, kColumnTitle));
    m_settingEditorText = false;
    m_editor.SetWindowPos(nullptr, cell.left, cell.top, cell.Width(), cell.Height(), SWP_SHOWWINDOW);
    m_editor.SetFocus();
    if (selectAll)
        m_editor.SetSel(0, -1);
    else
        m_editor.SetSel(start, end);
    m_editor.SendMessage(EM_SCROLLCARET, 0, 0);
}

void CGridMp3::HideEditor() {
    if (m_editor.m_hWnd && m_editor.IsWindowVisible()) m_editor.ShowWindow(SW_HIDE);
}

void CGridMp3::OnEditorChange() {
    if (m_settingEditorText || m_editRow < 0) return;
    CString text;
    m_editor.GetWindowText(text);
    SetItemText(m_editRow, kColumnTitle, text);
}

template <class Fn>
void CGridMp3::ScrollKeepingEditor(Fn scroll) {
    const bool editing = m_editor.m_hWnd && m_editor.IsWindowVisible();
    int start = 0, end = 0;
    if (editing) m_editor.GetSel(start, end);
    HideEditor();
    scroll();
    if (editing) {
        OpenEditor(m_editRow, true);
        if (m_editor.IsWindowVisible()) m_editor.SetSel(start, end);
    }
}

void CGridMp3::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    ScrollKeepingEditor([&] { CListCtrl::OnHScroll(code, pos, bar); });
}

void CGridMp3::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    ScrollKeepingEditor([&] { CListCtrl::OnVScroll(code, pos, bar); });
}

BOOL CGridMp3::OnMouseWheel(UINT flags, short delta, CPoint point) {
    BOOL handled = FALSE;
    ScrollKeepingEditor([&] { handled = CListCtrl::OnMouseWheel(flags, delta, point); });
    return handled;
}

void CGridMp3::ScrollRowIntoView(int row) {
    CRect cell, client;
    GetSubItemRect(row, kColumnTitle, LVIR_LABEL, cell);
    GetClientRect(&client);
    if (cell.bottom + 3 > client.bottom) {
        Scroll(CSize(0, cell.bottom + 3 - client.bottom));
    } else if (cell.top - 2 <= HeaderBottom() - 3) {
        Scroll(CSize(0, (cell.top - 2) - (HeaderBottom() + 12)));
    }
}

void CGridMp3::MoveToRow(int row) {
    ScrollRowIntoView(row);
    OpenEditor(row, true);
}

BOOL CGridMp3::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || m_editRow < 0) return FALSE;
    if (msg->hwnd != m_hWnd && msg->hwnd != m_editor.m_hWnd) return FALSE;
    const int last = GetItemCount() - 1;
    switch (msg->wParam) {
        case VK_UP:
            if (m_editRow > 0) MoveToRow(m_editRow - 1);
            return TRUE;
        case VK_DOWN:
        case VK_TAB:
        case VK_RETURN:
            if (m_editRow < last) MoveToRow(m_editRow + 1);
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- the mouse ----------------------------------------------------------------------------------

int CGridMp3::HitCell(CPoint point, int* column) const {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    const int row = (int)const_cast<CGridMp3*>(this)->SendMessage(LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    *column = row >= 0 ? hit.iSubItem : -1;
    return row;
}

void CGridMp3::OnLButtonDown(UINT, CPoint point) {
    if (!WorkerFinished()) return;
    SetFocus();
    int column = -1;
    const int row = HitCell(point, &column);
    if (row < 0) {
        HideEditor();
        return;
    }
    m_lastClickColumn = column;
    if (column == kColumnUseTag) {
        ToggleUseTag(row);
    } else if (column == kColumnPosition || column == kColumnTime) {
        SetCapture();
        HideEditor();
        m_dragging = true;
        SelectBlock(row, row);
    } else if (column == kColumnTitle) {
        if (m_blockFirst >= 0) SelectBlock(-1, -1);
        OpenEditor(row, true);
    } else {
        HideEditor();
    }
}

void CGridMp3::OnMouseMove(UINT flags, CPoint point) {
    if (!m_dragging || !(flags & MK_LBUTTON)) return;
    int column = -1;
    const int row = HitCell(point, &column);
    if (row >= 0 && row != m_blockLast) SelectBlock(m_blockFirst, row);
}

void CGridMp3::OnLButtonUp(UINT, CPoint) {
    if (GetCapture() == this) ReleaseCapture();
    m_dragging = false;
    if (m_blockFirst > m_blockLast) std::swap(m_blockFirst, m_blockLast);
}

// ---- painting -----------------------------------------------------------------------------------

void CGridMp3::OnPaint() {
    Default();
    CClientDC dc(this);
    if (m_blockFirst >= 0) PaintBlock(dc);
    PaintTagImages(dc);
}

void CGridMp3::PaintTagImages(CDC& dc) {
    if (!m_tagImages.GetSafeHandle()) return;
    const int top = GetTopIndex();
    const int end = std::min(GetItemCount(), top + GetCountPerPage() + 1);
    const int headerBottom = HeaderBottom();
    for (int row = top; row < end; ++row) {
        CRect cell;
        GetSubItemRect(row, kColumnUseTag, LVIR_BOUNDS, cell);
        if (cell.top < headerBottom) continue;
        const int x = cell.left + cell.Width() / 2 - 5;
        ImageList_Draw(m_tagImages.GetSafeHandle(), TagState(GetItemText(row, kColumnTagState)),
                       dc.GetSafeHdc(), x, cell.top + 2, ILD_TRANSPARENT);
    }
}

void CGridMp3::PaintBlock(CDC& dc) {
    const int first = std::min(m_blockFirst, m_blockLast), last = std::max(m_blockFirst, m_blockLast);
    const int top = GetTopIndex();
    const int end = std::min(GetItemCount(), top + GetCountPerPage() + 1);
    const int headerBottom = HeaderBottom();
    CFont* font = GetFont();
    ScopedSelect selectFont(dc.GetSafeHdc(), font ? font->GetSafeHandle() : nullptr);
    dc.SetBkMode(TRANSPARENT);
    for (int row = top; row < end; ++row) {
        const bool inBlock = row >= first && row <= last;
        const COLORREF back = GetSysColor(inBlock ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        dc.SetTextColor(GetSysColor(inBlock ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        for (int column = kColumnPosition; column <= kColumnTitle; ++column) {
            CRect cell;
            GetSubItemRect(row, column, LVIR_BOUNDS, cell);
            if (cell.top < headerBottom) break;
            if (column == kColumnUseTag) {
                const int boxLeft = cell.left + cell.Width() / 2 - 5 - 1;
                dc.FillSolidRect(CRect(cell.left, cell.top, boxLeft, cell.bottom), back);
                dc.FillSolidRect(CRect(boxLeft + kImageBox, cell.top, cell.right, cell.bottom), back);
                continue;
            }
            dc.FillSolidRect(&cell, back);
            CString text = GetItemText(row, column);
            CRect textRect = cell;
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
            if (column == kColumnTitle) {
                textRect.left += 6;
                format |= DT_LEFT;
            } else {
                format |= DT_CENTER;
            }
            dc.DrawText(text, &textRect, format);
        }
    }
}
