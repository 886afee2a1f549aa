// Control bars: CControlBar (a bar that a frame lays out along its edges,
// docks and floats) and CToolBar (a bar of command buttons on the common
// tool-bar control, whose separators may host child controls).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/docview/FrameWnd.h"
#include "framework/win/Gdi.h"
#include "framework/win/ScopedGdi.h"

class CDockBar;
class CDockContext;
class CImageList;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    // Lets the bar be dragged to the dock sides in dwDockStyle (CBRS_ALIGN_*,
    // CBRS_FLOAT_MULTI); makes its dock context on first use.
    void EnableDocking(DWORD dwDockStyle);
    CFrameWnd* GetDockingFrame() const;
    // The bar's size changed: the frames that lay it out do so again at idle time, the dock site
    // and, while the bar floats, its small frame (which takes the bar's size).
    void DelayRecalcFrames();
    BOOL IsFloating() const;
    // Visible, counting a pending delayed show or hide.
    virtual BOOL IsVisible() const;
    virtual BOOL IsDockBar() const { return FALSE; }
    int GetCount() const { return (int)m_nCount; }

    // Size of the bar: docked (bStretch fills the dock bar's length).
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // Size of the bar for a mode of LM_* flags; nLength is a width (or with
    // LM_LENGTHY a height) wanted while floating, -1 for none. The base asks
    // CalcFixedLayout.
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Runs the command-state updates of the bar's items against pTarget.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // The client rectangle less borders and gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
    virtual void DoPaint(CDC* pDC);
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    virtual void DrawGripper(CDC* pDC, const CRect& rect);
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
    // Shows or hides at the frame's next layout.
    virtual void DelayShow(BOOL bShow);
    // Carries out a pending delayed show or hide (into lpLayout's batch when
    // given) and returns the resulting window style.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    void EraseNonClient();

    // Commands and notifications of the bar's children go to the owner when the
    // bar's own map does not take them.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    void OnNcPaint();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    int m_cxLeftBorder = 0;
    int m_cxRightBorder = 0;
    int m_cyTopBorder = 0;
    int m_cyBottomBorder = 0;
    int m_cxDefaultGap = 2;
    int m_nMRUWidth = 32767;  // the floating width last used
    UINT m_nCount = 0;
    UINT m_nStateFlags = 0;
    DWORD m_dwStyle = 0;      // CBRS_* styles
    DWORD m_dwDockStyle = 0;  // where the bar may dock
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;
    BOOL m_bAutoDelete = FALSE;

    static const int kGripperWidth = 8;  // the band a CBRS_GRIPPER bar reserves when docked
    static const int kBorderWidth = 2;   // each CBRS_BORDER_* edge

    DECLARE_MESSAGE_MAP()

protected:
    // Registers the bar with its frame and takes the frame as owner.
    void AttachToFrame(CWnd* pParentWnd);
    // Whether a point (client coordinates) lies on the gripper band.
    BOOL PointOnGripper(CPoint point) const;
    // The non-client insets (borders and gripper) for the current style.
    CRect NonClientInsets() const;
};

// The tool-bar control of a CToolBar, for the control's own messages.
class CToolBarCtrl {
public:
    HWND m_hWnd = nullptr;
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessage(m_hWnd, msg, wParam, lParam);
    }
    // Image lists of the buttons (normal, hot, disabled); the previous handle is returned.
    HIMAGELIST SetImageList(HIMAGELIST hList) { return (HIMAGELIST)Send(TB_SETIMAGELIST, 0, (LPARAM)hList); }
    HIMAGELIST SetHotImageList(HIMAGELIST hList) {
        return (HIMAGELIST)Send(TB_SETHOTIMAGELIST, 0, (LPARAM)hList);
    }
    HIMAGELIST SetDisabledImageList(HIMAGELIST hList) {
        return (HIMAGELIST)Send(TB_SETDISABLEDIMAGELIST, 0, (LPARAM)hList);
    }
    template <class IL>
    HIMAGELIST SetImageList(IL* pList) {
        return SetImageList(pList ? pList->m_hImageList : nullptr);
    }
    template <class IL>
    HIMAGELIST SetHotImageList(IL* pList) {
        return SetHotImageList(pList ? pList->m_hImageList : nullptr);
    }
    template <class IL>
    HIMAGELIST SetDisabledImageList(IL* pList) {
        return SetDisabledImageList(pList ? pList->m_hImageList : nullptr);
    }
    HIMAGELIST GetImageList() const { return (HIMAGELIST)Send(TB_GETIMAGELIST); }
    int GetButtonCount() const { return (int)Send(TB_BUTTONCOUNT); }
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const {
        return (BOOL)Send(TB_GETBUTTON, nIndex, (LPARAM)lpButton);
    }
    BOOL IsButtonEnabled(int nID) const { return (BOOL)Send(TB_ISBUTTONENABLED, nID); }
    BOOL IsButtonChecked(int nID) const { return (BOOL)Send(TB_ISBUTTONCHECKED, nID); }
    BOOL EnableButton(int nID, BOOL bEnable = TRUE) {
        return (BOOL)Send(TB_ENABLEBUTTON, nID, MAKELPARAM(bEnable, 0));
    }
    BOOL CheckButton(int nID, BOOL bCheck = TRUE) {
        return (BOOL)Send(TB_CHECKBUTTON, nID, MAKELPARAM(bCheck, 0));
    }
    BOOL SetState(int nID, UINT nState) { return (BOOL)Send(TB_SETSTATE, nID, MAKELPARAM(nState, 0)); }
    int GetState(int nID) const { return (int)Send(TB_GETSTATE, nID); }
    int HitTest(LPPOINT ppt) const { return (int)Send(TB_HITTEST, 0, (LPARAM)ppt); }
    HWND GetToolTips() const { return (HWND)Send(TB_GETTOOLTIPS); }
    DWORD SetExtendedStyle(DWORD dwExStyle) { return (DWORD)Send(TB_SETEXTENDEDSTYLE, 0, dwExStyle); }
    DWORD GetExtendedStyle() const { return (DWORD)Send(TB_GETEXTENDEDSTYLE); }
};

// Button styles as CToolBar reports and takes them: the tool-bar control's
// style in the low word, its state in the high word (TBBS_DISABLED is the
// control's "enabled" state inverted).
#define TBBS_BUTTON        MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR     MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX      MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP         MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP    MAKELONG(TBSTYLE_CHECKGROUP, 0)
#define TBBS_DROPDOWN      MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE      MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_NOPREFIX      MAKELONG(TBSTYLE_NOPREFIX, 0)
#define TBBS_CHECKED       MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED       MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED      MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN        MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED       MAKELONG(0, TBSTATE_WRAP)

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: TBSTYLE_* of the control; dwStyle: window and CBRS_* styles;
    // rcBorders: extra space (left, top, right, bottom) around the buttons.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);

    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);
    // A tool-bar resource (type 241: version 1, image width and height, count,
    // then the command ids, 0 for a separator) and the bitmap of the same name.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // Buttons with these ids (0: a separator), images numbered in order; a null
    // array makes nIDCount empty separators to be filled with SetButtonInfo.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;  // -1 when no item has the id
    UINT GetItemID(int nIndex) const;
    // The item's rectangle in the bar's client coordinates.
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    // iImage: the image index of a button, the width of a separator (-1 and 0:
    // the default width).
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    CToolBarCtrl& GetToolBarCtrl() const { return const_cast<CToolBarCtrl&>(m_ctrl); }
    CSize GetButtonSize() const { return m_sizeButton; }
    CSize GetImageSize() const { return m_sizeImage; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnNcPaint();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();

    CSize m_sizeButton;
    CSize m_sizeImage;
    ScopedBitmap m_imageWell;  // the bitmap loaded by LoadBitmap
    HRSRC m_hRsrcImageWell = nullptr;
    HIMAGELIST m_hImageList = nullptr;  // the list made from a bitmap by SetBitmap (owned)
    CRect m_rcBorders;

    DECLARE_MESSAGE_MAP()

protected:
    CToolBarCtrl m_ctrl;
    // Lays the items out in rows no longer than nLength (wrap flags); returns
    // the size of the items' area.
    CSize LayoutItems(int nLength, BOOL bHorz, BOOL bWrap);
    int SeparatorWidth(const TBBUTTON& button) const;
    void SizeToolBar(BOOL bHorz);
};

// The CCmdUI of one tool-bar button.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCTSTR lpszText) override;
};
