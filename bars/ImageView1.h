// CImageView1: the pane of the Images bar that lays out the thumbnail cells of the loaded folder
// in a scrolling grid, starts and follows the folder scan and the thumbnail thread, and redraws
// the cells whose thumbnails arrive.
#pragma once

#include <windows.h>

#include <vector>

#include "bars/ImagePanelState.h"
#include "framework/Win.h"

class CBarBackground;
class CThumb;

// The grid of `count` cells in a pane `width` pixels wide.
struct ImageGrid {
    int columns = 0;
    int rows = 0;
    int width = 0;
    int height = 0;
};
ImageGrid CalcImageGrid(int width, int count);

// Timers of the pane.
enum : UINT_PTR {
    kTimerThumbRedraw = 1073,
    kTimerFolderLoad = 1094,
    kTimerReloadFolder = 1098,
};

class CImageView1 : public CButton {
    DECLARE_DYNAMIC(CImageView1)
public:
    static const int kColumnStep = 117;
    static const int kRowHeight = 132;
    // How long closing the pane waits for its workers: they stop between two pictures, so this
    // is enough unless one is in the middle of a large picture, which the program's exit waits for.
    static const DWORD kCloseWaitMs = 300;

    CImageView1();
    ~CImageView1() override;

    // Creates the pane as a child of the bar.
    BOOL CreatePane(CBarBackground* bar);
    // (Re)starts loading a folder with the file type of that index (0 to 7).
    void LoadImageFolder(const CString& folder, int fileTypeIndex, bool includeSubfolders);
    // The grid of the records for a rectangle (client coordinates).
    void CalcGrid(int left, int top, int right, int bottom, int& columns, int& rows, int& gridWidth,
                  int& gridHeight) const;
    void StartThumbnailThread();
    // The chooser's request number that the next LoadImageFolder carries out.
    void SetRequestSerial(LONG serial) { m_requestSerial = serial; }
    // Stops both workers and the folder chooser, waits for them (sent messages are still
    // answered meanwhile) and frees the cells, and the records when everything ended (otherwise
    // the records stay for whoever waits longer). True when everything ended.
    bool Shutdown(DWORD timeoutMs);

    // Layout state, read by the bar and by tests.
    int GetShownCount() const { return m_shownCount; }
    int GetScrollOffset() const { return m_scrollOffset; }
    int GetColumns() const { return m_columns; }
    int GetFirstShown() const { return m_firstShown; }
    int GetLastShown() const { return m_lastShown; }
    const CString& GetFolder() const { return m_folder; }
    // A load waits for the last one's workers to end (it retries every 100 ms).
    bool IsLoadPending() const { return m_loadPending; }
    // The cells (owned); a cell may show no record.
    const std::vector<CThumb*>& GetCells() const { return m_cells; }

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void PreSubclassWindow() override;

    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnSize(UINT type, int cx, int cy);
    void OnVScroll(UINT code, UINT position, CScrollBar* scrollBar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void Layout();
    void OnLoadingTick();
    void OnRedrawTick();
    // Moves the scroll offset to `offset` (pixels) through the scroll bar and lays out again.
    void ScrollTo(int offset);
    void HideAllCells();
    void DestroyCells();
    CScrollBar* ScrollBar() const;

    CBarBackground* m_bar = nullptr;
    CString m_folder;
    CString m_patterns;
    bool m_includeSubfolders = false;
    int m_shownCount = 0;
    int m_fileTypeIndex = 0;
    int m_scrollUnit = 1;
    int m_firstShown = -1;
    int m_lastShown = -1;
    int m_lastUnit = -1;
    int m_scrollOffset = 0;
    int m_columns = -1;
    int m_lastOffset = 0;
    std::vector<CThumb*> m_cells;
    int m_columnStep = kColumnStep;
    int m_rowHeight = kRowHeight;
    bool m_shutDown = false;
    LONG m_requestSerial = 0;
    bool m_loadPending = false;
    // A thumbnail thread is wanted while the last one is still ending (the redraw timer starts it).
    bool m_thumbStartPending = false;
};
