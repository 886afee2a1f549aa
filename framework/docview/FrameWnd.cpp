#include "framework/docview/FrameWnd.h"

#include <algorithm>
#include <vector>

#include "framework/docview/ControlBar.h"
#include "framework/docview/DockBar.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParentMsg)
    ON_MESSAGE(WM_RAISEFLOATINGBARS, OnRaiseFloatingBars)
    ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
    ON_WM_ENABLE()
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    if (m_hMenuDefault != nullptr && ::IsMenu(m_hMenuDefault)) {
        // Owned unless a window still shows it (then the window destroys it).
        if (m_hWnd == nullptr || ::GetMenu(m_hWnd) != m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
    }
    if (m_hAccelTable != nullptr) ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr) {
        HICON hIcon = nullptr;
        if (m_nIDHelp != 0) hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDHelp));
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_BTNFACE + 1), hIcon);
    }
    if ((cs.style & FWS_ADDTOTITLE)) cs.style |= FWS_PREFIXTITLE;
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr) {
        hMenu = ::LoadMenu(AfxGetResourceHandle(), lpszMenuName);
        if (hMenu == nullptr) {
            PostNcDestroy();
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    // The frame styles are the frame's business, not the window's.
    DWORD style = dwStyle & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
    if (dwStyle & FWS_ADDTOTITLE) m_nIdleFlags |= idleTitle;
    m_bAddToTitle = (dwStyle & FWS_ADDTOTITLE) != 0;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  hMenu, (LPVOID)pContext)) {
        if (hMenu != nullptr) ::DestroyMenu(hMenu);
        return FALSE;
    }
    if (hMenu != nullptr) m_hMenuDefault = hMenu;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    CString title;
    title.LoadString(nIDResource);
    int nl = title.Find('\n');
    if (nl >= 0) title = title.Left(nl);
    HINSTANCE hInst = AfxGetResourceHandle();
    LPCTSTR lpszMenu = nullptr;
    if (::FindResourceA(hInst, MAKEINTRESOURCE(nIDResource), RT_MENU) != nullptr)
        lpszMenu = MAKEINTRESOURCE(nIDResource);
    if (!Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0L, pContext))
        return FALSE;
    if (m_hAccelTable == nullptr) m_hAccelTable = ::LoadAccelerators(hInst, MAKEINTRESOURCE(nIDResource));
    // Let every child know the frame exists (the view's initial update comes later).
    if (pContext == nullptr) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* pContext = (CCreateContext*)lpcs->lpCreateParams;
    if (!OnCreateClient(lpcs, pContext)) return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) {
    (void)lpcs;
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) {
        if (CreateView(pContext, AFX_IDW_PANE_FIRST) == nullptr) return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = dynamic_cast<CWnd*>(pObject);
    if (pView == nullptr) {
        delete pObject;
        return nullptr;
    }
    // A view whose window fails is deleted by its PostNcDestroy.
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) {
        if (!IsWindowVisible()) {
            CWinApp* pApp = AfxGetApp();
            nCmdShow = (pApp != nullptr && pApp->m_pMainWnd == this) ? pApp->m_nCmdShow : SW_SHOWNORMAL;
            if (nCmdShow == SW_HIDE) nCmdShow = SW_SHOWNORMAL;
        } else if (IsIconic()) {
            nCmdShow = SW_RESTORE;
        } else {
            nCmdShow = SW_SHOW;
        }
    }
    ShowWindow(nCmdShow);
    if (nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINNOACTIVE) {
        BringWindowToTop();
        ::SetForegroundWindow(m_hWnd);
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    CView* pView = GetActiveView();
    if (pView == nullptr) {
        CWnd* pPane = GetDlgItem(AFX_IDW_PANE_FIRST);
        CWnd* pPerm = pPane ? CWnd::FromHandlePermanent(pPane->m_hWnd) : nullptr;
        if (pPerm != nullptr && pPerm->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = (CView*)pPerm;
            SetActiveView(pView, FALSE);
        }
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView != nullptr) pView->OnActivateView(TRUE, pView, pView);
        int nCmdShow = -1;
        ActivateFrame(nCmdShow);
    }
    (void)pDoc;
    OnUpdateFrameTitle(TRUE);
    RecalcLayout();
}

CDocument* CFrameWnd::GetActiveDocument() {
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld) return;
    m_pViewActive = nullptr;
    if (pViewOld != nullptr && bNotify) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew != nullptr && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (!m_bAddToTitle || m_hWnd == nullptr) return;
    CDocument* pDoc = GetActiveDocument();
    CString text = m_strTitle;
    if (bAddToTitle && pDoc != nullptr) {
        text = pDoc->GetTitle();
        if (!m_strTitle.IsEmpty()) text += " - " + m_strTitle;
    }
    CString old;
    GetWindowText(old);
    if (old != text) SetWindowText(text);
}

// ---------------- layout ----------------

void CFrameWnd::RecalcLayout(BOOL bNotify) {
    (void)bNotify;
    if (m_bInRecalcLayout || m_hWnd == nullptr) return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposDefault);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify) {
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
    CWnd::OnWindowPosChanged(lpwndpos);
    // Floating bars stay in front of their frame, as owned windows do: bars restored floating
    // are shown before the frame, which then comes up (and to the top) over them.
    if (lpwndpos != nullptr && ::IsWindowVisible(m_hWnd) &&
        ((lpwndpos->flags & SWP_SHOWWINDOW) || !(lpwndpos->flags & SWP_NOZORDER)))
        PostBringFloatingBarsToFront();
}

void CFrameWnd::PostBringFloatingBarsToFront() {
    // Once the messages already queued are handled: under X the window system stacks a window
    // that has just been shown only by then, and a raise before it would not last.
    if (!m_bFloatingRaisePosted && ::PostMessageA(m_hWnd, WM_RAISEFLOATINGBARS, 0, 0)) m_bFloatingRaisePosted = TRUE;
}

LRESULT CFrameWnd::OnRaiseFloatingBars(WPARAM, LPARAM) {
    m_bFloatingRaisePosted = FALSE;
    BringFloatingBarsToFront();
    return 0;
}

LRESULT CFrameWnd::OnEnterIdle(WPARAM, LPARAM) {
    // A modal dialog or menu of this frame runs its own loop, which gives the frame no idle time;
    // the window system may stack the frame over its floating bars meanwhile (as it gives the
    // activation back from one dialog to the frame before the next opens).
    RaiseFloatingBarsBehind();
    return 0;
}

void CFrameWnd::OnEnable(BOOL bEnable) {
    // A floating bar's small frame is a window of its own: left enabled while a dialog or message
    // box of this frame waits for an answer, its buttons would send their commands into that wait
    // (File > New over the save question, Print over New Project).
    EnableFloatingFrames(bEnable);
    CWnd::OnEnable(bEnable);
}

LRESULT CFrameWnd::OnSizeParentMsg(WPARAM, LPARAM) {
    return 0;
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
    // The view covers the client area; with no view the area is the button face.
    if (GetDlgItem(AFX_IDW_PANE_FIRST) != nullptr) return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
    (void)pOldWnd;
    CView* pView = GetActiveView();
    if (pView != nullptr && pView->m_hWnd != nullptr)
        ::SetFocus(pView->m_hWnd);
    else
        Default();
}

// ---------------- idle work and command states ----------------

void CFrameWnd::UpdateBarsCmdUI(BOOL bDisableIfNoHndler) {
    // Docked bars are children and get the message from the idle loop; floating
    // ones live in their own small frames and are updated from here.
    // Their small frames carry out their own delayed layouts then too.
    std::vector<HWND> targets;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->m_hWnd == nullptr || !pBar->IsFloating()) continue;
        targets.push_back(pBar->IsDockBar() ? ::GetParent(pBar->m_hWnd) : pBar->m_hWnd);
    }
    for (HWND h : targets)
        if (::IsWindow(h)) ::SendMessage(h, WM_IDLEUPDATECMDUI, bDisableIfNoHndler, 0);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (m_nIdleFlags & idleLayout) RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    // The window system may stack the frame over its floating bars without telling it (after
    // a BringWindowToTop, when a modal dialog gives the activation back, when X maps the
    // frame late): they are put back in front once the messages of the moment are handled.
    RaiseFloatingBarsBehind();
    if (m_nIdleFlags & idleTitle) {
        OnUpdateFrameTitle(TRUE);
        m_nIdleFlags &= ~idleTitle;
    }
    UpdateBarsCmdUI((BOOL)wParam);
    return 0;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
    (void)nIndex;
    if (bSysMenu) return;
    UpdatePopupMenuCmdUI(pPopupMenu, m_bAutoMenuEnable, this);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The view (then its document and template) first.
    CView* pView = GetActiveView();
    if (pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;

    // The framework's own commands of the application: the recent-file list.
    if (nID >= ID_FILE_MRU_FIRST && nID <= ID_FILE_MRU_LAST) {
        CRecentFileList* pMRU = AfxGetRecentFileList();
        if (pMRU == nullptr) return FALSE;
        int nIndex = (int)(nID - ID_FILE_MRU_FIRST);
        if ((UINT)nCode == CN_UPDATE_COMMAND_UI) {
            if (nID != ID_FILE_MRU_FILE1 || pExtra == nullptr) return FALSE;
            if (pHandlerInfo != nullptr) return TRUE;
            pMRU->UpdateMenu((CCmdUI*)pExtra);
            return TRUE;
        }
        if (nCode != CN_COMMAND || nIndex >= pMRU->GetSize() || (*pMRU)[nIndex].IsEmpty()) return FALSE;
        if (pHandlerInfo != nullptr) return TRUE;
        if (pApp != nullptr) pApp->OnOpenRecentFile(nID);
        return TRUE;
    }
    return FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != nullptr &&
        m_hWnd != nullptr) {
        if (::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg)) return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CFrameWnd::OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult) {
    (void)nID;
    UINT_PTR nCmd = pNMHDR->idFrom;
    BOOL bIsHwnd = FALSE;
    if (pNMHDR->code == TTN_NEEDTEXTA)
        bIsHwnd = (((NMTTDISPINFOA*)pNMHDR)->uFlags & TTF_IDISHWND) != 0;
    else
        bIsHwnd = (((NMTTDISPINFOW*)pNMHDR)->uFlags & TTF_IDISHWND) != 0;
    if (bIsHwnd) nCmd = (UINT_PTR)::GetDlgCtrlID((HWND)nCmd);
    if (nCmd == 0) return FALSE;
    CString full;
    if (!full.LoadString((UINT)nCmd)) return FALSE;
    // "prompt\ntip": the tip is the part after the line break.
    int nl = full.Find('\n');
    CString tip = nl >= 0 ? full.Mid(nl + 1) : full;
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* p = (NMTTDISPINFOA*)pNMHDR;
        lstrcpynA(p->szText, tip, (int)sizeof(p->szText));
        p->lpszText = p->szText;
        p->hinst = nullptr;
    } else {
        NMTTDISPINFOW* p = (NMTTDISPINFOW*)pNMHDR;
        ::MultiByteToWideChar(CP_ACP, 0, tip, -1, p->szText, (int)(sizeof(p->szText) / sizeof(WCHAR)));
        p->lpszText = p->szText;
        p->hinst = nullptr;
    }
    if (pResult) *pResult = 0;
    return TRUE;
}

// ---------------- closing ----------------

void CFrameWnd::OnClose() {
    if (m_pPreviewState != nullptr && m_pPreviewState->lpfnCloseProc != nullptr) {
        m_pPreviewState->lpfnCloseProc(this);
        return;
    }
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr && !pDoc->CanCloseFrame(this)) return;
    if (pDoc != nullptr) {
        pDoc->OnCloseDocument();  // destroys this frame
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy() {
    // Floating frames belong to this frame's bars: they go with it.
    std::vector<HWND> floating;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->IsDockBar() && ((CDockBar*)pBar)->m_bFloating && pBar->m_hWnd != nullptr) {
            HWND hFrame = ::GetParent(pBar->m_hWnd);
            if (hFrame != nullptr) floating.push_back(hFrame);
        }
    }
    for (HWND h : floating)
        if (::IsWindow(h)) ::DestroyWindow(h);
    if (m_pViewActive != nullptr) SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() {
    delete this;
}

// ---------------- control bars ----------------

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    if (m_listControlBars.Find(pBar) == nullptr) m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
    POSITION pos = m_listControlBars.Find(pBar);
    if (pos != nullptr) m_listControlBars.RemoveAt(pos);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
    if (nID == 0) return nullptr;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->m_hWnd != nullptr && (UINT)::GetDlgCtrlID(pBar->m_hWnd) == nID) return pBar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    CFrameWnd* pParentFrame = AfxGetParentFrame(pBar);
    if (bDelay) {
        pBar->DelayShow(bShow);
    } else {
        pBar->m_nStateFlags &= ~(CControlBar::delayShow | CControlBar::delayHide);
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (pBar->IsFloating() && pParentFrame != nullptr && pParentFrame != this) {
        // A floating frame shows while one of its bars does.
        CMiniDockFrameWnd* pMini = (CMiniDockFrameWnd*)pParentFrame;
        int nVisible = pMini->m_wndDockBar.GetDockedVisibleCount();
        if (bDelay) nVisible = bShow ? 1 : (nVisible > 1 ? nVisible - 1 : 0);
        if (nVisible > 0) {
            pMini->RecalcLayout(TRUE);
            pMini->ShowWindow(SW_SHOWNA);
        } else {
            pMini->ShowWindow(SW_HIDE);
        }
    } else if (bDelay) {
        DelayRecalcLayout();
    } else {
        RecalcLayout();
    }
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle) {
    CRuntimeClass* pClass = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    CObject* pObject = pClass->CreateObject();
    CMiniDockFrameWnd* pFrame = dynamic_cast<CMiniDockFrameWnd*>(pObject);
    if (pFrame == nullptr) {
        delete pObject;
        return nullptr;
    }
    if (!pFrame->Create(this, dwStyle)) return nullptr;  // deleted itself
    return pFrame;
}
