// Docking: the dock bars along a frame's edges (CDockBar), the small frames
// that float bars (CMiniDockFrameWnd), the drag that moves a bar between them
// (CDockContext) and the saved bar layout (CDockState).
//
// A dock bar keeps its bars in m_arrBars: rows of bars separated by null
// entries, starting with a null entry. An entry below 0x10000 is not a bar but
// a placeholder holding a bar's id: the place the bar left when it was
// floated, to which it returns when docked again without a position.
#pragma once

#include "framework/docview/ControlBar.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    // dwStyle: window styles and CBRS_ALIGN_* of the side; nID one of the
    // AFX_IDW_DOCKBAR_* ids.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    BOOL IsDockBar() const override { return TRUE; }
    int GetDockedCount() const;
    virtual int GetDockedVisibleCount() const;
    // Index of the bar in m_arrBars (skipping nPosExclude); -1 when absent.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    // Docks the bar: at the row and place that lpRect (screen) points to; with
    // no rectangle at the bar's placeholder, else in a new last row.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes the bar out (leaving its placeholder when nAddPlaceHolder is 1);
    // empty rows are closed up. FALSE when the bar was not here.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);
    void RemovePlaceHolder(CControlBar* pBar);
    BOOL HasPlaceHolder(UINT nBarID) const;
    // Index at which a bar dropped at ptMid (client coordinates) goes; a new
    // row is opened (its null entry inserted) when the point lies outside every
    // row.
    int Insert(CControlBar* pBar, CRect rect, CPoint ptMid);
    // The bar at an index, null for a row break or a placeholder.
    CControlBar* GetDockedControlBar(int nPos) const;
    static BOOL IsPlaceHolder(void* p) { return p != nullptr && (UINT_PTR)p < 0x10000; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC* pDC) override;

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);

    CPtrArray m_arrBars;
    BOOL m_bFloating;
    BOOL m_bLayoutQuery = FALSE;  // the current layout only measures
    CRect m_rectLayout;           // the frame's rectangle given to the current layout

    DECLARE_MESSAGE_MAP()

protected:
    // The rows as (first, last) index pairs of m_arrBars.
    void CloseUpRows();
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
};

// A small tool window that holds one floating dock bar.
class CMiniDockFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    using CFrameWnd::Create;
    // Sizes the window around its dock bar.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

    void OnClose();  // hides the bars instead of destroying them
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    void OnSizing(UINT fwSide, LPRECT pRect);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CDockBar m_wndDockBar;
    CFrameWnd* m_pMainFrame = nullptr;
    BOOL m_bInSizing = FALSE;

    DECLARE_MESSAGE_MAP()
};

// Moves a bar with the mouse between the dock sites and floating frames.
class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext();

    // Starts dragging at pt (screen): lays the drag rectangles for a
    // horizontal dock, a vertical dock and floating around the point, then
    // tracks the mouse until the button is released (dock or float there),
    // Escape or the right button (nothing changes).
    virtual void StartDrag(CPoint pt);
    // Docks a floating bar where it was docked last, or floats a docked one
    // where it floated last.
    virtual void ToggleDocking();

    // The steps of a drag, for classes that start it their own way.
    void InitLoop();
    // Moves each of the four drag rectangles by the least amount that puts pt inside it.
    void ContainDragRects(CPoint pt);
    void CancelLoop();
    BOOL Track();
    void Move(CPoint pt);
    void EndDrag();
    void DrawFocusRect(BOOL bRemoveRect = FALSE);
    DWORD CanDock();
    CDockBar* GetDockBar(DWORD dwOverDockStyle);
    // Floating rectangle (frame included) for a bar laid out at sizeBar.
    CRect FloatingFrameRect(CSize sizeBar, CPoint ptTopLeft) const;
    // Remembers where the bar is now (dock bar and place, or floating point).
    void RememberPosition();

    CPoint m_ptStart;
    CPoint m_ptLast;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bDitherLast = FALSE;
    CRect m_rectDragHorz;
    CRect m_rectDragVert;
    CRect m_rectFrameDragHorz;
    CRect m_rectFrameDragVert;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;
    DWORD m_dwOverDockStyle = 0;
    DWORD m_dwStyle = 0;
    BOOL m_bFlip = FALSE;
    BOOL m_bForceFrame = FALSE;
    CDC* m_pDC = nullptr;
    BOOL m_bDragging = FALSE;
    int m_nHitTest = 0;

    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos = CPoint(-1, -1);
};

class CDockState;

// The saved layout of one control bar or dock bar.
class CControlBarInfo {
public:
    CControlBarInfo();

    // Reads and writes section "<profile>-Bar<index>". LoadState returns FALSE
    // when the section holds no bar.
    BOOL LoadState(LPCTSTR lpszProfileName, int nIndex, CDockState* pDockState);
    BOOL SaveState(LPCTSTR lpszProfileName, int nIndex);

    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = TRUE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos;  // floating frame's position, or the bar's in its dock bar
    UINT m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;  // the bar has a dock context
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    // A dock bar's entries: 0 a row break, an id a bar, id | 0x10000 a placeholder.
    CPtrArray m_arrBarID;
    CControlBar* m_pBar = nullptr;  // filled while the state is applied
};

class CDockState : public CObject {
    DECLARE_DYNAMIC(CDockState)
public:
    CDockState() = default;
    ~CDockState() override;

    // Section "<profile>-Summary" holds the count; "<profile>-Bar<n>" the bars.
    void LoadState(LPCTSTR lpszProfileName);
    void SaveState(LPCTSTR lpszProfileName);
    void Clear();
    // Whether every bar the state names exists in pFrame (see CFrameWnd::SetDockState).
    BOOL IsValidFor(CFrameWnd* pFrame) const;

    CPtrArray m_arrBarInfo;  // CControlBarInfo*, owned
    DWORD m_dwVersion = 2;
    CSize m_sizeScreen;
};
