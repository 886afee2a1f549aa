// The Text Editor bar: its controls, their events, the field texts from the design, the disc
// suffix of a two-disc design, and the layout painted over one background bitmap.
#include "bars/BarText.h"

#include <algorithm>

#include "bars/BarPainting.h"
#include "bars/TextEditorErrors.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "model/KorvanelleDocument.h"

namespace {

// Control ids of the bar's children (the buttons use their command ids).
enum : UINT {
    kIdArtist = 1201,
    kIdTitle,
    kIdYear,
    kIdTime,
    kIdGenre,
    kIdTracks,
    kIdTrackList,
    kIdMeasure,
    kIdCaptionFirst = 1221,
};

const char* const kFieldNames[5] = {"Artist", "Title", "Year", "Time", "Genre"};
const char* const kFirstCaptions[7] = {"Artist", "Title",  "Year",      "Total Time",
                                       "Genre",  "Tracks", "Track List"};
const int kGap = 19;          // between a control and the caption of the next one
const int kButtonWidth = 43;  // Move Up, Move Down, Remove
const int kButtonHeight = 31;
const int kMinGridHeight = 35;

// A field's name as the album data reads it: before any "(", and without " - Disc 1", which
// names the same field as no suffix.
CString FieldKey(const CString& name) {
    CString key = name;
    const int paren = key.Find('(');
    if (paren >= 0) key = key.Left(paren);
    const CString disc1(" - Disc 1");
    if (key.Right(disc1.GetLength()) == disc1) key = key.Left(key.GetLength() - disc1.GetLength());
    return key;
}

KorvanelleDocument* CurrentDesign() {
    BarCanvas* canvas = GetBarCanvas();
    return canvas ? canvas->GetDesign() : nullptr;
}

}  // namespace

IMPLEMENT_DYNAMIC(CBarText, CResizeBarCF)

BEGIN_MESSAGE_MAP(CBarText, CResizeBarCF)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_MESSAGE(WM_PRINT, OnPrint)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_COMMAND(ID_TRACK_REMOVE, OnRemoveTrack)
    ON_COMMAND(ID_TRACK_MOVE_UP, OnMoveTrackUp)
    ON_COMMAND(ID_TRACK_MOVE_DOWN, OnMoveTrackDown)
END_MESSAGE_MAP()

void CBarText::IconDeleter::operator()(HICON icon) const {
    if (icon) ::DestroyIcon(icon);
}

CBarText::CBarText() {
    m_artist.m_name = "Artist";
    m_title.m_name = "Title";
    m_year.m_name = "Year";
    m_time.m_name = "Time";
    m_genre.m_name = "Genre";
    m_tracks.m_name = "Track List";
}

CBarText::~CBarText() = default;

CEditText* CBarText::FieldBox(int index) {
    CEditText* boxes[5] = {&m_artist, &m_title, &m_year, &m_time, &m_genre};
    return index >= 0 && index < 5 ? boxes[index] : nullptr;
}

void CBarText::HookBox(CEditText& box) {
    box.HookFocused(this, &CBarText::Focused);
    box.HookRemoveFocus(this, &CBarText::RemoveFocus);
    box.HookUpdateText(this, &CBarText::UpdateText);
}

void CBarText::UnhookBox(CEditText& box) {
    box.UnhookFocused(this, &CBarText::Focused);
    box.UnhookRemoveFocus(this, &CBarText::RemoveFocus);
    box.UnhookUpdateText(this, &CBarText::UpdateText);
}

int CBarText::OnCreate(LPCREATESTRUCT createStruct) {
    if (CResizeBar::OnCreate(createStruct) == -1) return -1;
    int result = 0;
    GuardOperation(kErrBarCreate, [&] {
        m_sizeMinVert = CSize(21, 100);
        const WPARAM font = reinterpret_cast<WPARAM>(g_uiFont);
        {
            CClientDC dc(this);
            ScopedSelect selectFont(dc, g_uiFont);
            TEXTMETRICA metrics = {};
            ::GetTextMetricsA(dc, &metrics);
            m_labelHeight = metrics.tmHeight;
        }
        m_captionRect = CRect(0, 0, 90, m_labelHeight);
        auto makeCaption = [&](int index) {
            AeroLabel& label = m_captions[index];
            label.Create(kFirstCaptions[index], WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, m_captionRect,
                         this, kIdCaptionFirst + index);
        };

        m_measure.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "",
                           WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, CRect(0, 0, 200, 40),
                           this, kIdMeasure);
        m_measure.SendMessage(WM_SETFONT, font, FALSE);
        for (int i = 0; i < 5; ++i) {
            CEditText& box = *FieldBox(i);
            box.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL,
                         CRect(0, 0, 100, 20), this, kIdArtist + i);
            box.SendMessage(WM_SETFONT, font, FALSE);
            box.SetMargins(0, 0);
            HookBox(box);
            makeCaption(i);
            FitFieldHeight(&box, CString());
        }

        m_tracks.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, CRect(0, 0, 51, 160),
                        this, kIdTracks);
        m_tracks.HookFocused(this, &CBarText::Focused);
        m_tracks.HookRemoveFocus(this, &CBarText::RemoveFocus);
        for (int n = 1; n <= 99; ++n) {
            CString item;
            item.Format("%d", n);
            m_tracks.AddString(item);
        }
        m_tracks.SetCurSel(0);
        makeCaption(5);

        m_trackList.m_pBar = this;
        m_trackList.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                               LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_NOSORTHEADER,
                           CRect(0, 0, 100, 100), this, kIdTrackList);
        m_trackList.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
        m_trackList.SendMessage(WM_SETFONT, font, TRUE);
        m_trackList.m_cellEditor.SendMessage(WM_SETFONT, font, FALSE);
        if (m_trackList.m_header.m_hWnd) m_trackList.m_header.SendMessage(WM_SETFONT, font, TRUE);
        m_trackList.m_cellEditor.SetMargins(0, 0);
        CEditText& editor = m_trackList.m_cellEditor;
        HookBox(editor);
        editor.HookKillFocus(this, &CBarText::OnTrackEditKillFocus);
        editor.HookTrackListTab(this, &CBarText::OnTrackListTab);
        editor.HookTrackListArrow(this, &CBarText::OnTrackListArrow);
        makeCaption(6);

        struct ButtonSpec {
            AeroButton* button;
            const char* text;
            const char* tip;
            UINT command;
            int image;
        } buttons[3] = {{&m_remove, "Remove", "Remove Track", ID_TRACK_REMOVE, 7},
                        {&m_moveUp, "Move", "Move Up", ID_TRACK_MOVE_UP, 16},
                        {&m_moveDown, "Move", "Move Down", ID_TRACK_MOVE_DOWN, 17}};
        for (int i = 0; i < 3; ++i) {
            ButtonSpec& spec = buttons[i];
            spec.button->Create(spec.text, WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON,
                                CRect(0, 0, kButtonWidth, kButtonHeight), this, spec.command);
            spec.button->SendMessage(WM_SETFONT, font, FALSE);
            if (g_menuImageList) m_icons[i].reset(ImageList_GetIcon(g_menuImageList, spec.image, ILD_NORMAL));
            spec.button->SetIcon(m_icons[i].get(), nullptr);
            // The picture above the caption, so that both fit the small button: drawn so by the
            // button itself without visual styles, and by the system's button with them.
            spec.button->SetAlign(1);
            if (m_buttonImages[i].Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0) && m_icons[i]) {
                m_buttonImages[i].Add(m_icons[i].get());
                BUTTON_IMAGELIST images = {
                    m_buttonImages[i].m_hImageList, {0, 1, 0, 0}, BUTTON_IMAGELIST_ALIGN_TOP};
                spec.button->SendMessage(BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
            }
            spec.button->SetTooltipText(spec.tip);
            spec.button->GenerateBackground(6, 8, 10, 0, 0);
        }
    });
    return result;
}

void CBarText::OnDestroy() {
    GuardOperation(kErrBarDestroy, [&] {
        for (int i = 0; i < 5; ++i) UnhookBox(*FieldBox(i));
        m_tracks.UnhookFocused(this, &CBarText::Focused);
        m_tracks.UnhookRemoveFocus(this, &CBarText::RemoveFocus);
        CEditText& editor = m_trackList.m_cellEditor;
        UnhookBox(editor);
        editor.UnhookKillFocus(this, &CBarText::OnTrackEditKillFocus);
        editor.UnhookTrackListTab(this, &CBarText::OnTrackListTab);
        editor.UnhookTrackListArrow(this, &CBarText::OnTrackListArrow);
        m_background.reset();
        m_layoutCache.SetRectEmpty();
    });
    CResizeBarCF::OnDestroy();
}

// ---- fields ----

CString CBarText::ChooseDiscSuffix(const CString& objectName, const CString& currentSuffix, bool twoDiscs) {
    if (!twoDiscs) return CString();
    CString name = objectName;
    const int paren = name.Find('(');
    if (paren >= 0) name = name.Left(paren);
    for (const char* suffix : {" - Disc 1", " - Disc 2"}) {
        const CString s(suffix);
        if (name.Right(s.GetLength()) == s) return s;
    }
    return currentSuffix.IsEmpty() ? CString(" - Disc 1") : currentSuffix;
}

void CBarText::UpdateField(CString name) {
    GuardOperation(kErrBarUpdateField, [&] {
        const int paren = name.Find('(');
        if (paren >= 0) name = name.Left(paren);
        KorvanelleDocument* design = CurrentDesign();
        if (!design || !m_hWnd) return;
        const CString key = FieldKey(name);
        const CString text = design->GetAlbumField(name);
        if (IsTrackListName(name)) {
            if (key != FieldKey(m_trackList.m_cellEditor.m_name)) return;
            const std::vector<TrackGridRow> rows = BuildTrackRows(text);
            CTrackList& grid = m_trackList;
            {
                // Rows come or go: the grid takes them as one change (each row a drawing list takes
                // moves its header and scroll bars again, milliseconds a row). A change of texts
                // alone (a cell being typed) repaints only the cells that changed.
                const CRedrawHold held(grid, static_cast<int>(rows.size()) != grid.GetItemCount());
                for (size_t i = 0; i < rows.size(); ++i) {
                    const int row = static_cast<int>(i);
                    if (row >= grid.GetItemCount()) grid.InsertItem(row, "");
                    for (int column = 1; column <= 3; ++column)
                        if (grid.GetItemText(row, column) != rows[i].cells[column])
                            grid.SetItemText(row, column, rows[i].cells[column]);
                    if (grid.GetRowRecord(row) != rows[i].record) grid.SetItemData(row, rows[i].record);
                }
                // Every row behind the last one used goes, all of them for a list without records.
                for (int row = grid.GetItemCount() - 1; row >= static_cast<int>(rows.size()); --row)
                    grid.DeleteItem(row);
            }
            m_tracks.ShowCount(rows.empty() ? 0 : rows.back().record);
            return;
        }
        for (int i = 0; i < 5; ++i) {
            CEditText* box = FieldBox(i);
            if (FieldKey(box->m_name) != key) continue;
            const CString shown = FieldTextForDisplay(text);
            CString now;
            box->GetWindowText(now);
            if (now != shown) box->SetTextQuietly(shown);
            FitFieldHeight(box, shown);
            return;
        }
    });
}

void CBarText::UpdateAllFields() {
    GuardOperation(kErrBarUpdateAll, [&] {
        for (const char* field : {"Artist", "Title", "Track List", "Year", "Time", "Genre"})
            UpdateField(CString(field) + m_discSuffix);
    });
}

void CBarText::UpdateCaptions(ViewObject* object) {
    GuardOperation(kErrBarCaptions, [&] {
        KorvanelleDocument* design = CurrentDesign();
        const bool twoDiscs = design && design->IsTwoDiscLayout();
        const CString suffix = ChooseDiscSuffix(object ? object->name : CString(), m_discSuffix, twoDiscs);
        if (suffix == m_discSuffix) return;
        m_discSuffix = suffix;
        if (!m_hWnd) return;
        const int width = twoDiscs ? 71 : 51;
        CRect tracks;
        m_tracks.GetWindowRect(&tracks);
        if (tracks.Width() != width) {
            // Only the width: the height of a drop-down box is the height of its open list.
            CRect dropped;
            m_tracks.GetDroppedControlRect(&dropped);
            m_tracks.SetWindowPos(nullptr, 0, 0, width, dropped.Height(),
                                  SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        for (int i = 0; i < 5; ++i) FieldBox(i)->m_name = CString(kFieldNames[i]) + suffix;
        m_tracks.m_name = "Track List" + suffix;
        m_trackList.m_cellEditor.m_name = "Track List" + suffix;
        for (int i = 0; i < 5; ++i) UpdateField(FieldBox(i)->m_name);
        UpdateField(m_trackList.m_cellEditor.m_name);

        const char* const captions[7] = {"Artist", "Title", "Year", "Time", "Genre", "Tracks", "Track List"};
        for (int i = 0; i < 7; ++i) m_captions[i].SetRedraw(FALSE);
        for (int i = 0; i < 7; ++i) m_captions[i].SetWindowText(CString(captions[i]) + suffix);
        for (int i = 0; i < 7; ++i) m_captions[i].SetRedraw(TRUE);
        SetWindowText("Text Editor" + suffix);
        m_layoutCache.SetRectEmpty();
        UpdateLayout(0, 0, 0, 0);
    });
}

void CBarText::FitFieldHeight(CEditText* box, const CString& text) {
    GuardOperation(kErrBarFitHeight, [&] {
        if (!box || !m_measure.m_hWnd) return;
        // The "a" on a line of its own: its top is the height of every line of the text. The box
        // adds its border and, below the last line, the inset the text has above the first.
        const CString probe = text + "\r\na";
        m_measure.SetTextQuietly(probe);
        CRect window, client;
        m_measure.GetWindowRect(&window);
        m_measure.GetClientRect(&client);
        const int inset = std::max(0, static_cast<int>(m_measure.PosFromChar(0).y));
        const int height =
            m_measure.PosFromChar(probe.GetLength() - 1).y + inset + window.Height() - client.Height();
        if (height == box->m_height) return;
        box->m_height = height;
        Invalidate(FALSE);
    });
}

// ---- layout and painting ----

CRect CBarText::ClientInWindow() const {
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    return client;
}

bool CBarText::PlaceControl(CWnd& control, const CRect& rect) {
    if (!control.m_hWnd) return false;
    CRect now;
    control.GetWindowRect(&now);
    control.GetParent()->ScreenToClient(&now);
    if (now == rect) return false;
    control.SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void CBarText::PaintBackground(const CSize& size) {
    m_background.reset();
    CWindowDC screen(this);
    m_background.reset(new ScopedMemoryDC(screen, size.cx, size.cy));
    if (!m_background->Bitmap()) return;
    HDC dc = *m_background;
    const CRect all(0, 0, size.cx, size.cy);
    // The layout may be made for the size the bar is about to take: its client area (and so the
    // caption band) grows or shrinks with the window.
    CRect client = ClientInWindow();
    CRect window;
    GetWindowRect(&window);
    client.right = std::max(client.left, client.right + size.cx - window.Width());
    client.bottom = std::max(client.top, client.bottom + size.cy - window.Height());
    // Tiles aligned with the client area's, as the captions tile theirs.
    TileThemeBackground(dc, all, client.left, client.top, 1);
    CDC* cdc = CDC::FromHandle(dc);
    cdc->Draw3dRect(CRect(0, 0, size.cx - 1, size.cy), ::GetSysColor(COLOR_BTNHIGHLIGHT),
                    ::GetSysColor(COLOR_BTNSHADOW));
    cdc->FillSolidRect(size.cx - 1, 0, 1, size.cy, ::GetSysColor(COLOR_BTNFACE));
    NcPaintGripper(cdc, client);
}

void CBarText::UpdateLayout(int x, int y, int cx, int cy) {
    GuardOperation(kErrBarLayout, [&] {
        if (!m_hWnd || !IsWindowVisible()) return;
        CRect rect(x, y, x + cx, y + cy);
        if (rect.IsRectEmpty()) GetWindowRect(&rect);
        // Whether anything differs from the picture the last layout painted: a new background,
        // a control moved.
        bool changed = false;
        if (rect != m_layoutCache || !m_background) {
            m_layoutCache = rect;
            PaintBackground(rect.Size());
            changed = true;
        }
        if (!m_layoutValid) return;

        CRect client;
        GetClientRect(&client);
        const int width = std::max(0, client.Width() - 1);
        const int labelHeight = m_labelHeight;
        auto placeCaption = [&](int index, const CRect& control) {
            AeroLabel& label = m_captions[index];
            CRect now;
            label.GetWindowRect(&now);
            ScreenToClient(&now);
            const CPoint at(control.left + 1, control.top - labelHeight);
            if (now.TopLeft() != at) {
                changed = true;
                label.SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                // Its cached picture holds the tiles of its old place.
                label.SendMessage(WM_SETFONT, label.SendMessage(WM_GETFONT), FALSE);
            }
        };
        int top = labelHeight + 5;
        CRect box;
        for (int i = 0; i < 5; ++i) {
            CEditText& field = *FieldBox(i);
            box = CRect(1, top, 1 + width, top + field.m_height);
            changed |= PlaceControl(field, box);
            placeCaption(i, box);
            top = box.bottom + kGap;
        }
        CRect tracks;
        m_tracks.GetWindowRect(&tracks);
        const CRect tracksRect(1, top, 1 + tracks.Width(), top + tracks.Height());
        ScreenToClient(&tracks);
        if (tracks.TopLeft() != tracksRect.TopLeft()) {
            changed = true;
            m_tracks.SetWindowPos(nullptr, tracksRect.left, tracksRect.top, 0, 0,
                                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        placeCaption(5, tracksRect);
        top = tracksRect.bottom + kGap;
        const int gridHeight = std::max(kMinGridHeight, client.Height() - top - 32);
        const CRect gridRect(1, top, 1 + width, top + gridHeight);
        if (IsTracking() && m_trackList.IsWindowVisible()) {
            changed = true;
            m_trackList.ShowWindow(SW_HIDE);
        }
        changed |= PlaceControl(m_trackList, gridRect);
        placeCaption(6, gridRect);
        const int buttonTop = std::max(client.Height() - kButtonHeight, static_cast<int>(gridRect.bottom));
        changed |= PlaceControl(m_moveUp, CRect(1, buttonTop, 1 + kButtonWidth, buttonTop + kButtonHeight));
        changed |=
            PlaceControl(m_moveDown, CRect(45, buttonTop, 45 + kButtonWidth, buttonTop + kButtonHeight));
        changed |= PlaceControl(m_remove, CRect(90, buttonTop, 90 + kButtonWidth, buttonTop + kButtonHeight));

        // The columns share the grid's client width; set before the grid paints, which then paints
        // once.
        m_trackList.FitColumnsToClient();

        // The background goes round the controls; the controls then paint themselves at once. With
        // nothing changed (the paint that follows a layout) a control that waits for no painting
        // still shows what it showed: the background leaves it out. A control shows only inside
        // the client area (at the smallest width the captions reach over the border and the
        // sizing edge), so only that part of it is left out.
        if (m_background && m_background->Bitmap()) {
            CWindowDC window(this);
            const CRect inWindow = ClientInWindow();
            ScopedSaveDC saved(window);
            for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
                if (!child->IsWindowVisible()) continue;
                CRect r;
                child->GetWindowRect(&r);
                ScreenToClient(&r);
                r.OffsetRect(inWindow.left, inWindow.top);
                if (!r.IntersectRect(&r, &inWindow)) continue;
                ::ExcludeClipRect(window, r.left, r.top, r.right, r.bottom);
            }
            ::BitBlt(window, 0, 0, m_layoutCache.Width(), m_layoutCache.Height(), *m_background, 0, 0,
                     SRCCOPY);
        }
        for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
            if (child->IsWindowVisible() && (changed || ::GetUpdateRect(child->m_hWnd, nullptr, FALSE)))
                child->RedrawWindow(nullptr, nullptr,
                                    RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

        if (!m_trackList.IsWindowVisible()) m_trackList.ShowWindow(SW_SHOW);
    });
}

void CBarText::OnPaint() {
    { CPaintDC paint(this); }
    GuardOperation(kErrBarPaint, [&] {
        if (!IsTracking()) UpdateLayout(0, 0, 0, 0);
    });
}

BOOL CBarText::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return FALSE;
}

void CBarText::OnNcPaint() {}

LRESULT CBarText::OnPrint(WPARAM wParam, LPARAM lParam) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible()) return 0;
    if ((lParam & (PRF_CLIENT | PRF_NONCLIENT)) && m_background && m_background->Bitmap())
        ::BitBlt(dc, 0, 0, m_layoutCache.Width(), m_layoutCache.Height(), *m_background, 0, 0, SRCCOPY);
    if (lParam & PRF_CHILDREN) DefWindowProc(WM_PRINT, wParam, lParam & (PRF_CHILDREN | PRF_OWNED));
    return 0;
}

LRESULT CBarText::OnPrintClient(WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (!m_background || !m_background->Bitmap()) return 0;
    const CRect client = ClientInWindow();
    ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.Width(), client.Height(), *m_background, client.left,
             client.top, SRCCOPY);
    return 0;
}

// ---- the grid and its buttons ----

void CBarText::EnableTrackButtons(BOOL enable) {
    for (AeroButton* button : {&m_remove, &m_moveUp, &m_moveDown})
        if (button->m_hWnd && (button->IsWindowEnabled() != FALSE) != (enable != FALSE))
            button->EnableWindow(enable);
}

void CBarText::TakeViewSnapshot() {
    if (BarCanvas* canvas = GetBarCanvas()) canvas->TakeSnapshot(m_viewSnapshot);
}

SidePanelState CBarText::GetSidePanelState(ViewLayoutSnapshot* snapshot) const {
    if (!m_hWnd || !(GetStyle() & WS_VISIBLE) || m_snapshotSuspended) return kSidePanelIdle;
    if (!m_layoutValid) {
        if (snapshot) {
            snapshot->scrollPosition = m_viewSnapshot.scrollPosition;
            snapshot->clientRect = m_viewSnapshot.clientRect;
            snapshot->pageOrigin = m_viewSnapshot.pageOrigin;
            snapshot->totalSize = m_viewSnapshot.totalSize;
        }
        return kSidePanelRelayout;
    }
    if (IsTracking() || m_trackList.m_dragging) return kSidePanelDragging;
    return kSidePanelIdle;
}

void CBarText::ChangeTrackRow(int kind) {
    GuardOperation(kErrBarTrackRow, [&] {
        if (kind == 1)
            m_trackList.RemoveRow();
        else
            m_trackList.MoveRow(kind == 2 ? "Up" : "Down");
    });
}

void CBarText::OnRemoveTrack() {
    ChangeTrackRow(1);
}
void CBarText::OnMoveTrackUp() {
    ChangeTrackRow(2);
}
void CBarText::OnMoveTrackDown() {
    ChangeTrackRow(3);
}

void CBarText::OnTrackEditKillFocus(CEditText* editor) {
    GuardOperation(kErrBarEditKillFocus, [&] {
        if (!editor || !IsTrackListName(editor->m_name)) return;
        // A click on a button still finds the cell it acts on.
        CPoint cursor;
        ::GetCursorPos(&cursor);
        for (AeroButton* button : {&m_remove, &m_moveUp, &m_moveDown}) {
            CRect r;
            button->GetWindowRect(&r);
            if (r.PtInRect(cursor)) return;
        }
        HWND focus = ::GetFocus();
        editor->ShowWindow(SW_HIDE);
        m_trackList.RedrawCurrentRows();
        m_trackList.m_currentRecord = -1;
        m_trackList.m_currentField = -1;
        EnableTrackButtons(FALSE);
        if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    });
}

void CBarText::ClickGridAt(CPoint point, CEditText* editor) {
    CTrackList& grid = m_trackList;
    const CString mode = grid.m_dragMode;
    grid.m_dragMode.Empty();
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    grid.m_dragMode = mode;
    CPoint inEditor = point;
    grid.MapWindowPoints(editor, &inEditor, 1);
    editor->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(inEditor.x, inEditor.y));
}

void CBarText::OnTrackListTab(CEditText* editor) {
    GuardOperation(kErrBarTab, [&] {
        if (!editor) return;
        CTrackList& grid = m_trackList;
        CPoint point;
        if (grid.m_currentRecord >= grid.GetLastRecord()) {
            // From the last record back to the first, in the same column.
            CRect item;
            grid.m_header.GetItemRect(grid.m_currentField, &item);
            point = CPoint(item.left, item.bottom + 4);
            grid.m_header.MapWindowPoints(&grid, &point, 1);
        } else {
            CRect r;
            editor->GetWindowRect(&r);
            grid.ScreenToClient(&r);
            point = CPoint(r.left, r.bottom + 4);
        }
        ClickGridAt(point, editor);
    });
}

void CBarText::OnTrackListArrow(CEditText* editor, MSG* msg) {
    GuardOperation(kErrBarArrow, [&] {
        if (!editor || !msg) return;
        CString text;
        editor->GetWindowText(text);
        int start = 0, end = 0;
        editor->GetSel(start, end);
        int x = 0;
        if (start >= text.GetLength() && start > 0) {
            // No position answers for the end of the text: the last character's, plus its width.
            x = editor->PosFromChar(start - 1).x;
            CClientDC dc(editor);
            ScopedSelect selectFont(dc, reinterpret_cast<HFONT>(editor->SendMessage(WM_GETFONT)));
            SIZE size = {};
            const char last = text[start - 1];
            ::GetTextExtentPoint32A(dc, &last, 1, &size);
            x += size.cx;
        } else {
            x = editor->PosFromChar(start).x;
        }
        CRect r;
        editor->GetWindowRect(&r);
        m_trackList.ScreenToClient(&r);
        const bool up = msg->wParam == VK_UP;
        ClickGridAt(CPoint(r.left + x, up ? r.top - 4 : r.bottom + 4), editor);
    });
}

// ---- the bar's window ----

void CBarText::OnWindowPosChanged(WINDOWPOS* position) {
    CResizeBarCF::OnWindowPosChanged(position);
    GuardOperation(kErrBarPosChanged,
                   [&] { CheckFrameMenuItem(ID_VIEW_TEXT_EDITOR, (GetStyle() & WS_VISIBLE) != 0); });
}

void CBarText::OnNcLButtonDown(UINT hitTest, CPoint point) {
    GuardOperation(kErrBarNcButtonDown, [&] { TakeViewSnapshot(); });
    CResizeBar::OnNcLButtonDown(hitTest, point);
}

void CBarText::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
    GuardOperation(kErrBarNcDoubleClick, [&] {
        if (hitTest != HTRIGHT) return;
        m_trackList.m_dragMode = "Edge";
        m_trackList.OnLButtonDblClk(0, point);
        m_trackList.m_dragMode.Empty();
    });
}
