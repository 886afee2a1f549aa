// CFrameWnd: the main window of a document: its menu, accelerators, view,
// control bars and dock bars, and the route of every command.
//
// Commands reach the active view first (which passes them to its document,
// which passes them to its template), then the frame, then the application.
// At idle time the frame carries out a delayed layout and updates the
// command states of its bars (ON_UPDATE_COMMAND_UI), floating ones included.
#pragma once

#include <vector>

#include "framework/docview/View.h"
#include "framework/win/Menu.h"

class CControlBar;
class CDockBar;
class CDockState;
class CMiniDockFrameWnd;

// What a frame restores when print preview ends.
struct CPrintPreviewState {
    UINT nIDMainPane = AFX_IDW_PANE_FIRST;
    HMENU hMenu = nullptr;
    DWORD dwStates = 0;
    CView* pViewActiveOld = nullptr;
    BOOL (*lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;
    HACCEL hAccelTable = nullptr;
    CPtrList listHiddenBars;  // bars the preview hid
};

// Posted to a frame: its floating bars come in front of it.
#define WM_RAISEFLOATINGBARS 0x036D

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;  // CW_USEDEFAULT position and size
    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };

    CFrameWnd();
    ~CFrameWnd() override;

    // Registers the window class when none is given, stores the title, loads the
    // menu (lpszMenuName) and creates the window with CreateEx, passing the
    // context to WM_CREATE.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                        LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                        CCreateContext* pContext = nullptr);
    using CWnd::Create;
    // The title (first piece of string nIDResource), menu nIDResource and
    // accelerators nIDResource, then the virtual Create.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // ---- layout ----
    // Lays the bars out along the client edges (CWnd::RepositionBars) and
    // gives the rest to the view.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // The same at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE);

    // ---- document and view ----
    virtual CDocument* GetActiveDocument();
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }
    BOOL IsInPreview() const { return m_pPreviewState != nullptr; }

    // ---- control bars and docking ----
    // Makes the dock bars of the sides named in dwDockStyle (CBRS_ALIGN_*) and
    // sets mini dock frames as the floating frames.
    void EnableDocking(DWORD dwDockStyle);
    // Docks pBar on dock bar nDockBarID (0: the first side it may dock on), at
    // lpRect (screen coordinates) when given, else where it was docked last.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    // Puts pBar in a floating frame whose top-left corner is at point (screen).
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Puts the shown floating frames of the bars in front of this frame (their owner), where
    // they take the clicks on them.
    void BringFloatingBarsToFront();
    // The same, once the messages already queued are handled.
    void PostBringFloatingBarsToFront();
    // Puts in front the shown floating frames that lie behind this frame (checked at idle time,
    // and while a modal dialog or menu of the frame waits for input).
    void RaiseFloatingBarsBehind();
    // Shows or hides a bar (at the next layout when bDelay).
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    // The dock side a rectangle (screen) touches among dwDockStyle; 0 when none.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // Bar layout in the profile: sections "<name>-Summary" and "<name>-Bar<n>".
    // A saved layout that names a bar the frame does not have is not applied.
    void LoadBarState(LPCTSTR lpszProfileName);
    void SaveBarState(LPCTSTR lpszProfileName) const;
    // FALSE (and nothing changed) when the state names a missing bar.
    BOOL SetDockState(const CDockState& state);
    void GetDockState(CDockState& state) const;

    // ---- print preview ----
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);

    // ---- routing and messages ----
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;  // frames are deleted with their windows

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();  // asks the document to save its changes, then closes it
    void OnSize(UINT nType, int cx, int cy);
    // A frame that becomes visible or comes to the top puts its floating bars in front of it.
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnSetFocus(CWnd* pOldWnd);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParentMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnRaiseFloatingBars(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnterIdle(WPARAM wParam, LPARAM lParam);
    // A modal dialog or message box disables the frame: its floating bars go with it.
    void OnEnable(BOOL bEnable);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    CPtrList m_listControlBars;
    CRuntimeClass* m_pFloatingFrameClass = nullptr;
    BOOL m_bInRecalcLayout = FALSE;
    BOOL m_bFloatingRaisePosted = FALSE;
    UINT m_nIdleFlags = 0;
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    CString m_strTitle;
    UINT m_nIDHelp = 0;
    CView* m_pViewActive = nullptr;
    BOOL m_bAutoMenuEnable = TRUE;  // menu items without a handler are disabled
    CPrintPreviewState* m_pPreviewState = nullptr;
    CControlBar* m_pPreviewBar = nullptr;
    BOOL m_bAddToTitle = FALSE;  // the caption shows "document - title"

    DECLARE_MESSAGE_MAP()

protected:
    void UpdateBarsCmdUI(BOOL bDisableIfNoHndler);
    // The small frames of the shown floating bars (only those behind this frame with bBehindOnly).
    std::vector<HWND> ShownFloatingFrames(BOOL bBehindOnly) const;
    // Puts those small frames in front of this frame, behind this thread's other windows over it.
    void RaiseFloatingFrames(const std::vector<HWND>& frames);
    // Enables or disables the small frames of all floating bars.
    void EnableFloatingFrames(BOOL bEnable);
};
