// Resizable docking bars: CResizeBar keeps a size per docking state (docked horizontally,
// docked vertically, floating), shares the length of its row with the other sizing bars of the
// row, lets the user drag its inner edges, and keeps its sizes in the profile. CResizeBarG adds
// a gripper band with a close button, CResizeBarCF draws that band as a coloured caption with the
// bar's title. CResizeBarDockContext drags a sizing bar with the sizes it has in each state.
#pragma once

#include <windows.h>

#include "controls/BarEvent.h"
#include "framework/docview/ControlBar.h"
#include "framework/docview/DockBar.h"

class CResizeBar;
typedef CTypedPtrArray<CPtrArray, CResizeBar*> CResizeBarArray;

// m_dwSizingStyle flags.
enum : DWORD {
    RBS_EDGELEFT = 0x01,
    RBS_EDGERIGHT = 0x02,
    RBS_EDGETOP = 0x04,
    RBS_EDGEBOTTOM = 0x08,
    RBS_SHOWEDGES = 0x10,  // the sizable edges take room and are drawn
    RBS_SIZECHILD = 0x20,  // the first child window fills the client area
};

class CResizeBar : public CControlBar {
    DECLARE_DYNAMIC(CResizeBar)
public:
    CResizeBar();
    ~CResizeBar() override;

    virtual BOOL Create(LPCTSTR lpszWindowName, CWnd* pParentWnd, UINT nID,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    // All three stored sizes become sizeDefault first.
    virtual BOOL CreateWithSize(LPCTSTR lpszWindowName, CWnd* pParentWnd, SIZE sizeDefault, BOOL bIgnored,
                                UINT nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    // Sizes in section "<profile>-ResizeBar-<id>"; loaded sizes are raised to the minima.
    virtual void LoadState(LPCTSTR lpszProfileName);
    virtual void SaveState(LPCTSTR lpszProfileName);
    // Edge dragging (screen coordinates).
    virtual void StartTracking(UINT nHitTest, CPoint point);
    virtual void StopTracking();
    virtual void TrackUpdateSize(CPoint& point);
    virtual void InvertTracker();
    virtual void NcPaintGripper(CDC* pDC, CRect rcClient);
    // rect: the window rectangle in, the client rectangle out.
    virtual void NcCalcClient(LPRECT pRect, UINT nDockBarID);
    virtual void RealignRow();

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    // Makes a CResizeBarDockContext (rather than the plain one) on first use.
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloating() const;
    BOOL IsHorzDocked() const;
    BOOL IsVertDocked() const;
    BOOL IsTracking() const { return m_bTracking; }
    // side: "Float", "Horz" or "Vert"; any other side changes nothing.
    void SetSizeCX(int cx, CString side);
    void SetSizeCY(int cy, CString side);
    // "Top", "Bottom", "Left", "Right" or "Float".
    CString GetDockSideName() const;
    static void GlobalLoadState(CFrameWnd* pFrame, LPCTSTR lpszProfileName);
    static void GlobalSaveState(CFrameWnd* pFrame, LPCTSTR lpszProfileName);

    // BarMoved: an edge drag ended with the cursor's horizontal position changed.
    template <class R>
    HRESULT HookBarMoved(R* pReceiver, void (R::*pHandler)()) {
        return m_evBarMoved.Hook(pReceiver, pHandler);
    }
    template <class R>
    HRESULT UnhookBarMoved(R* pReceiver, void (R::*pHandler)()) {
        return m_evBarMoved.Unhook(pReceiver, pHandler);
    }
    void BarMoved() { m_evBarMoved.Raise(); }

    // Edge rectangle (screen) of edge code nHitTest for the window rectangle rcWnd; FALSE when the
    // edge is not sizable.
    BOOL GetEdgeRect(CRect rcWnd, UINT nHitTest, CRect& rcEdge) const;
    // The visible sizing bars of this bar's row, in array order (empty when not docked).
    void GetRowSizingBars(CResizeBarArray& arrBars) const;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    void OnPaint();
    void OnNcPaint();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    LRESULT OnNcHitTest(CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnCaptureChanged(CWnd* pWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    void OnClose();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);

    DWORD m_dwSizingStyle = 0;
    int m_nDragEdge = 0;
    CSize m_sizeHorz{200, 200};
    CSize m_sizeVert{200, 200};
    CSize m_sizeFloat{180, 230};
    CSize m_sizeMinHorz{33, 32};
    CSize m_sizeMinVert{33, 32};
    CSize m_sizeMinFloat{37, 32};
    int m_nDragMin = 0;
    int m_nDragMax = 0;
    int m_nDragPos = 0;
    int m_nDragOffset = 0;
    BOOL m_bTracking = FALSE;
    BOOL m_bKeepLength = FALSE;
    BOOL m_bRowResize = FALSE;
    BOOL m_bFullDrag = FALSE;
    UINT m_nDockSideId = 0;
    int m_nEdgeWidth = 14;
    CPoint m_ptDragStart;
    CBarEvent<> m_evBarMoved;

    DECLARE_MESSAGE_MAP()

protected:
    // Indices (in the dock bar's array) of this bar's row; FALSE when the bar is not docked.
    BOOL GetRowBounds(int& nFirst, int& nLast, int& nThis) const;
    void CollectSizingBars(int nFirst, int nLast, CResizeBarArray& arrBars) const;
    // Shares a row length among the row's bars; TRUE when the row should be realigned.
    BOOL NegotiateSpace(int nLength, BOOL bHorz);
    // The stored size for the current dock state, and its length and thickness in the row.
    CSize& DockedSize(BOOL bHorz) { return bHorz ? m_sizeHorz : m_sizeVert; }
    int MinLength(BOOL bHorz) const { return bHorz ? m_sizeMinHorz.cx : m_sizeMinVert.cy; }
    int MinThickness(BOOL bHorz) const { return bHorz ? m_sizeMinHorz.cy : m_sizeMinVert.cx; }
    LONG& Length(BOOL bHorz) { return bHorz ? m_sizeHorz.cx : m_sizeVert.cy; }
    LONG& Thickness(BOOL bHorz) { return bHorz ? m_sizeHorz.cy : m_sizeVert.cx; }
    // The client rectangle in window coordinates.
    CRect ClientInWindow() const;
};

class CResizeBarG : public CResizeBar {
    DECLARE_DYNAMIC(CResizeBarG)
public:
    CResizeBarG();
    ~CResizeBarG() override;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void NcPaintGripper(CDC* pDC, CRect rcClient) override;
    void NcCalcClient(LPRECT pRect, UINT nDockBarID) override;
    virtual BOOL ShowsGripper() const { return TRUE; }
    // The close button's square in window coordinates.
    CRect CloseButtonRect() const { return CRect(m_ptCloseButton, CSize(14, 14)); }

    LRESULT OnNcHitTest(CPoint point);
    void OnNcLButtonUp(UINT nHitTest, CPoint point);

    int m_nGripperSize = 17;
    BOOL m_bClosePushed = FALSE;
    BOOL m_bCloseHot = FALSE;
    CPoint m_ptCloseButton;

    DECLARE_MESSAGE_MAP()

protected:
    // The close button's painter: the bars show no close glyph, yet the square answers clicks.
    virtual void PaintCloseButton(CDC* pDC) { (void)pDC; }
    // Hit-tests the cursor; TRUE (and WM_NCPAINT sent) when the button's state changed.
    BOOL UpdateCloseButtonState();
};

class CResizeBarCF : public CResizeBarG {
    DECLARE_DYNAMIC(CResizeBarCF)
public:
    CResizeBarCF();
    ~CResizeBarCF() override;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void NcPaintGripper(CDC* pDC, CRect rcClient) override;
    // The caption band (window coordinates) for a client rectangle.
    CRect CaptionRect(const CRect& rcClient) const;

    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

    BOOL m_bFocusInside = FALSE;

    DECLARE_MESSAGE_MAP()
};

// Fills rc with the caption gradient from clrStart to clrEnd: left to right, or bottom to top
// when bVertical. Slices of the band take the colour of a 20-bit fraction, as the caption does.
void FillCaptionGradient(HDC hdc, const RECT& rc, COLORREF clrStart, COLORREF clrEnd, BOOL bVertical);

class CResizeBarDockContext : public CDockContext {
public:
    explicit CResizeBarDockContext(CControlBar* pBar) : CDockContext(pBar) {}
    ~CResizeBarDockContext() override;

    void StartDrag(CPoint pt) override;
    // The drag rectangles StartDrag lays out (exposed for checking them without a drag loop).
    void LayDragRects(CPoint pt);
};
