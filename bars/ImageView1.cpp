// The Images bar's pane: grid layout, scrolling, loading timers and the two worker threads.
#include "bars/ImageView1.h"

#include <algorithm>
#include <cmath>

#include "bars/BarBackground.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImageLoadThreads.h"
#include "bars/Thumb.h"
#include "controls/ThemeFill.h"
#include "framework/core/OperationError.h"

namespace {
const int kSquare = 110;
const int kGap = 7;
const int kWheelStep = 55;
// Rows above and below the view whose cell pictures are kept, so that a short scroll back shows
// them at once.
const int kKeptRows = 3;
// The scroll bar's positions stay below its 16-bit range.
const int kScrollRangeLimit = 32700;

ImagePanelState& State() {
    return *ImagePanelState::Get();
}
}  // namespace

ImageGrid CalcImageGrid(int width, int count) {
    ImageGrid grid;
    if (count <= 0) return grid;
    grid.columns = width / kSquare;
    if (grid.columns <= 1) {
        grid.columns = 1;
        grid.width = kSquare;
    } else {
        grid.width = grid.columns * (kSquare + kGap) - kGap;
        if (grid.width > width) {
            grid.columns -= 1;
            grid.width -= kSquare + kGap;
        }
    }
    grid.rows = (count + grid.columns - 1) / grid.columns;
    grid.height = CImageView1::kRowHeight * grid.rows;
    return grid;
}

IMPLEMENT_DYNAMIC(CImageView1, CButton)

BEGIN_MESSAGE_MAP(CImageView1, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CImageView1::CImageView1() = default;

CImageView1::~CImageView1() {
    DestroyCells();
}

BOOL CImageView1::CreatePane(CBarBackground* bar) {
    m_bar = bar;
    return Create("", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | BS_OWNERDRAW, CRect(0, 0, 0, 0), bar, 0);
}

void CImageView1::PreSubclassWindow() {
    // The pane is drawn by its owner: the button-type bits become the owner-drawn type.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, 0);
    CButton::PreSubclassWindow();
}

CScrollBar* CImageView1::ScrollBar() const {
    return m_bar != nullptr ? &m_bar->m_scrollBar : nullptr;
}

void CImageView1::CalcGrid(int left, int top, int right, int bottom, int& columns, int& rows, int& gridWidth,
                           int& gridHeight) const {
    (void)top;
    (void)bottom;
    const ImageGrid grid = CalcImageGrid(right - left, State().RecordCount());
    columns = grid.columns;
    rows = grid.rows;
    gridWidth = grid.width;
    gridHeight = grid.height;
}

void CImageView1::LoadImageFolder(const CString& folder, int fileTypeIndex, bool includeSubfolders) {
    GuardOperation(7240, [&] {
        ImagePanelState& state = State();
        KillTimer(kTimerFolderLoad);
        state.m_stopFolderLoad = 1;
        state.m_stopThumbLoad = 1;
        if (fileTypeIndex < 0 || fileTypeIndex >= kImageFilterCount) fileTypeIndex = 0;
        m_folder = folder;
        m_fileTypeIndex = fileTypeIndex;
        m_includeSubfolders = includeSubfolders;
        m_patterns = g_imageFilterPatterns[fileTypeIndex];
        if (state.m_folderLoadRunning || state.m_thumbLoadRunning) {
            // One load at a time: try again once both workers have seen their stop requests.
            SetTimer(kTimerReloadFolder, 100);
            m_loadPending = true;
            return;
        }
        m_loadPending = false;
        state.ReapThreads();
        m_firstShown = m_lastShown = m_lastUnit = m_columns = -1;
        m_scrollOffset = 0;
        if (m_bar != nullptr) m_bar->SetWindowText("Images");
        if (ScrollBar() != nullptr && ScrollBar()->m_hWnd != nullptr) {
            // The layout keeps the scroll bar's relative position (for a resize); a new folder
            // starts at its top.
            ScrollBar()->SetScrollPos(0, FALSE);
            ScrollBar()->ShowWindow(SW_HIDE);
        }
        HideAllCells();
        state.FreeRecords();
        m_shownCount = 0;

        state.m_collectImages = 1;
        state.m_stopFolderLoad = 0;
        state.m_stopThumbLoad = 0;
        state.m_folderLoadRunning = 1;
        if (m_requestSerial > state.m_folderRequestStarted) state.m_folderRequestStarted = m_requestSerial;
        SetTimer(kTimerFolderLoad, 100);
        FolderScanJob* job = new FolderScanJob;
        job->state = &state;
        job->folder = m_folder;
        job->patterns = m_patterns;
        job->includeSubfolders = m_includeSubfolders;
        state.m_folderThread = StartPanelThread(BackgroundFolderThreadProc, job);
        if (state.m_folderThread == nullptr) {
            delete job;
            state.m_folderLoadRunning = 0;
        }
    });
}

void CImageView1::StartThumbnailThread() {
    GuardOperation(7241, [&] {
        ImagePanelState& state = State();
        if (state.m_thumbLoadRunning) {
            // The running thread follows the window (it looks again before it lets go).
            m_thumbStartPending = false;
            return;
        }
        if (ImagePanelState::IsRunning(state.m_thumbThread)) {
            // The last thread has cleared its flag and is returning: it ends at once. Should it
            // not, the redraw timer starts the new one later; the window must not be left without
            // a thread, or its cells would keep their placeholders until the next scroll.
            ::WaitForSingleObject(state.m_thumbThread->m_hThread, 20);
            if (ImagePanelState::IsRunning(state.m_thumbThread)) {
                m_thumbStartPending = true;
                SetTimer(kTimerThumbRedraw, 200);
                return;
            }
        }
        m_thumbStartPending = false;
        state.ReapThreads();
        state.m_thumbLoadRunning = 1;
        state.m_thumbReady = 1;
        ThumbnailJob* job = new ThumbnailJob;
        job->state = &state;
        CWnd* main = AfxGetMainWnd();
        job->mainWindow = main != nullptr ? main->GetSafeHwnd() : nullptr;
        state.m_thumbThread = StartPanelThread(ThumbnailThreadProc, job);
        if (state.m_thumbThread == nullptr) {
            delete job;
            state.m_thumbLoadRunning = 0;
        }
        SetTimer(kTimerThumbRedraw, 200);
    });
}

void CImageView1::OnSize(UINT type, int cx, int cy) {
    (void)type;
    (void)cx;
    (void)cy;
    GuardOperation(7242, [&] { Layout(); });
}

void CImageView1::Layout() {
    if (m_hWnd == nullptr || m_shutDown) return;
    ImagePanelState& state = State();
    const int n = state.RecordCount();
    if (n == 0) return;
    CRect client;
    GetClientRect(&client);
    const int h = client.Height();
    int columns = 0, rows = 0, gridWidth = 0, gridHeight = 0;
    CalcGrid(client.left, client.top, client.right, client.bottom, columns, rows, gridWidth, gridHeight);

    CScrollBar* scrollBar = ScrollBar();
    const bool hasScrollBar = scrollBar != nullptr && scrollBar->m_hWnd != nullptr;
    if (gridHeight > h && hasScrollBar) {
        const int limit = scrollBar->GetScrollLimit();
        // A bar with nothing to scroll has no position to keep.
        const double ratio = limit > 0 ? (double)scrollBar->GetScrollPos() / limit : 0.0;
        m_scrollUnit = gridHeight / kScrollRangeLimit + 1;
        SCROLLINFO info = {};
        info.cbSize = sizeof(SCROLLINFO);
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = gridHeight / m_scrollUnit;
        info.nPage = (UINT)(h / m_scrollUnit);
        scrollBar->SetScrollInfo(&info, TRUE);
        if (m_scrollUnit != m_lastUnit) {
            m_lastUnit = m_scrollUnit;
            scrollBar->SetScrollPos((int)(info.nMax * ratio), TRUE);
        }
        m_scrollOffset = m_scrollUnit * scrollBar->GetScrollPos();
        scrollBar->ShowWindow(SW_SHOW);
    } else {
        if (hasScrollBar) scrollBar->ShowWindow(SW_HIDE);
        m_scrollOffset = 0;
    }

    int first = (m_scrollOffset / m_rowHeight) * columns;
    if (first < 0) first = 0;
    int last = ((m_scrollOffset + h) / m_rowHeight + 1) * columns + 6;
    if (last > n - 1) last = n - 1;
    state.m_thumbFirst = first;
    state.m_thumbLast = last;
    // Bitmaps are kept for the cells near the view only: a folder of thousands of pictures must
    // not hold one per cell ever shown (Windows allows a process 10,000 GDI objects).
    state.ReleasePicturesOutside(first - kKeptRows * columns, last + 2 + kKeptRows * columns);
    if (columns == m_columns && first == m_firstShown && last == m_lastShown &&
        m_scrollOffset == m_lastOffset && n > 1)
        return;
    m_columns = columns;
    m_firstShown = first;
    m_lastShown = last;
    m_lastOffset = m_scrollOffset;

    int y = (m_scrollOffset / m_rowHeight) * m_rowHeight - m_scrollOffset;
    int x = 0;
    SetRedraw(FALSE);
    size_t used = 0;
    for (int i = first; i <= last; ++i) {
        if (used == m_cells.size()) {
            CThumb* cell = new CThumb;
            if (!cell->CreateCell(this)) {
                delete cell;
                break;
            }
            m_cells.push_back(cell);
        }
        CThumb* cell = m_cells[used++];
        cell->Reset();
        cell->m_recordIndex = i;
        ImageRecord* record = state.RecordAt(i);
        const int width = record != nullptr && record->IsNoBackground() ? client.Width() - x : m_columnStep;
        cell->SetWindowPos(nullptr, x, y, width, m_rowHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        if (x / m_columnStep != columns - 1) {
            x += m_columnStep;
        } else {
            x = 0;
            y += m_rowHeight;
        }
    }
    for (size_t i = used; i < m_cells.size(); ++i) m_cells[i]->ShowWindow(SW_HIDE);
    SetRedraw(TRUE);
    for (size_t i = 0; i < used; ++i)
        m_cells[i]->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    StartThumbnailThread();
}

void CImageView1::OnTimer(UINT_PTR id) {
    GuardOperation(7243, [&] {
        switch (id) {
            case kTimerFolderLoad:
                OnLoadingTick();
                break;
            case kTimerReloadFolder:
                KillTimer(kTimerReloadFolder);
                LoadImageFolder(m_folder, m_fileTypeIndex, m_includeSubfolders);
                break;
            case kTimerThumbRedraw:
                OnRedrawTick();
                break;
            default:
                CButton::OnTimer(id);
        }
    });
}

void CImageView1::OnLoadingTick() {
    ImagePanelState& state = State();
    // Whether the scan still runs is read before the count: once it has ended, the count is final.
    const bool running = state.m_folderLoadRunning != 0;
    const int n = state.RecordCount();
    if (m_shownCount < n) {
        Layout();
        m_shownCount = n;
        if (m_bar != nullptr) {
            CString caption;
            caption.Format("Images (%d)", n - 1);
            m_bar->SetWindowText(caption);
            m_bar->ForceRepaint();
            m_bar->UpdateLayout(0, 0, 0, 0);
        }
    }
    if (!running && m_shownCount == n) {
        KillTimer(kTimerFolderLoad);
        state.m_collectImages = 0;
    }
}

void CImageView1::OnRedrawTick() {
    ImagePanelState& state = State();
    if (m_thumbStartPending) {
        StartThumbnailThread();
        if (m_thumbStartPending) return;
    }
    if (!state.m_thumbReady) {
        KillTimer(kTimerThumbRedraw);
        return;
    }
    // Read before the pass: a thread that has ended has stored everything this pass draws.
    const bool running = state.m_thumbLoadRunning != 0;
    const int n = state.RecordCount();
    const int first = state.m_thumbFirst, last = state.m_thumbLast;
    for (CThumb* cell : m_cells) {
        const int i = cell->m_recordIndex;
        if (!cell->m_waiting || i < first || i > last + 2 || i >= n || !cell->IsWindowVisible()) continue;
        cell->m_waiting = false;
        cell->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    if (!running) state.m_thumbReady = 0;
}

void CImageView1::ScrollTo(int offset) {
    CScrollBar* scrollBar = ScrollBar();
    if (scrollBar == nullptr || scrollBar->m_hWnd == nullptr) return;
    scrollBar->SetScrollPos(offset / std::max(1, m_scrollUnit), TRUE);
    m_scrollOffset = m_scrollUnit * scrollBar->GetScrollPos();
    Layout();
}

void CImageView1::OnVScroll(UINT code, UINT position, CScrollBar* scrollBar) {
    (void)scrollBar;
    GuardOperation(7244, [&] {
        CRect client;
        GetClientRect(&client);
        const int page = client.Height();
        switch (code) {
            case SB_LINEUP:
                ScrollTo(m_scrollOffset - m_rowHeight);
                break;
            case SB_LINEDOWN:
                ScrollTo(m_scrollOffset + m_rowHeight);
                break;
            case SB_PAGEUP:
                ScrollTo(m_scrollOffset - page);
                break;
            case SB_PAGEDOWN:
                ScrollTo(m_scrollOffset + page);
                break;
            case SB_THUMBTRACK:
                if (ScrollBar() != nullptr && ScrollBar()->m_hWnd != nullptr) {
                    ScrollBar()->SetScrollPos((int)position, TRUE);
                    m_scrollOffset = m_scrollUnit * (int)position;
                    Layout();
                }
                break;
            default:
                break;
        }
    });
}

BOOL CImageView1::OnMouseWheel(UINT flags, short delta, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(7245, [&] {
        if (ScrollBar() == nullptr || ScrollBar()->m_hWnd == nullptr) return;
        const int notches = std::max(1, std::abs((int)delta) / WHEEL_DELTA);
        ScrollTo(m_scrollOffset + (delta < 0 ? 1 : -1) * kWheelStep * notches);
    });
    return TRUE;
}

BOOL CImageView1::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return TRUE;
}

void CImageView1::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    // What the cells leave free (the end of the last row) shows the bar's background.
    GuardOperation(7246, [&] { TileThemeBackground(drawItem->hDC, drawItem->rcItem, 0, 0, 1); });
}

void CImageView1::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(7247, [&] {
        SetFocus();
        CButton::OnLButtonDown(flags, point);
    });
}

void CImageView1::HideAllCells() {
    for (CThumb* cell : m_cells) {
        if (cell->m_hWnd != nullptr) cell->ShowWindow(SW_HIDE);
        cell->Reset();
    }
}

void CImageView1::DestroyCells() {
    for (CThumb* cell : m_cells) {
        if (cell->m_hWnd != nullptr) cell->DestroyWindow();
        delete cell;
    }
    m_cells.clear();
}

bool CImageView1::Shutdown(DWORD timeoutMs) {
    bool ended = false;
    GuardOperation(7248, [&] {
        ImagePanelState& state = State();
        if (m_hWnd != nullptr) {
            KillTimer(kTimerFolderLoad);
            KillTimer(kTimerReloadFolder);
            KillTimer(kTimerThumbRedraw);
        }
        m_shutDown = true;
        state.m_stopFolderLoad = 1;
        state.m_stopThumbLoad = 1;
        state.m_closeFolderSelect = 1;
        // The chooser's timer sees the request; a posted cancel makes sure its dialog ends soon.
        HWND chooser = state.m_folderSelectDialog;
        if (chooser != nullptr) ::PostMessage(chooser, WM_COMMAND, IDCANCEL, 0);
        ended = WaitForPanelThreads(state, timeoutMs);
        DestroyCells();
        // Records may be freed only once no worker can touch them.
        if (ended) state.FreeRecords();
    });
    return ended;
}

void CImageView1::OnDestroy() {
    GuardOperation(7249, [&] {
        if (!m_shutDown) Shutdown(kCloseWaitMs);
        CButton::OnDestroy();
    });
}
