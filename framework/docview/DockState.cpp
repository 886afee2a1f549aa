// The frame's docking operations and the saved bar layout.
#include <algorithm>
#include <vector>

#include "framework/docview/DockBar.h"

namespace {
struct DockSide {
    DWORD dwAlign;
    UINT nID;
    DWORD dwStyle;
};
const DockSide kSides[4] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};

CMiniDockFrameWnd* MiniFrameOf(CDockBar* pDockBar) {
    if (pDockBar == nullptr || !pDockBar->m_bFloating || pDockBar->m_hWnd == nullptr) return nullptr;
    CWnd* p = CWnd::FromHandlePermanent(::GetParent(pDockBar->m_hWnd));
    return (p != nullptr && p->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) ? (CMiniDockFrameWnd*)p : nullptr;
}

// A floating frame left without bars goes away.
void DestroyIfEmpty(CDockBar* pDockBar) {
    CMiniDockFrameWnd* pMini = MiniFrameOf(pDockBar);
    if (pMini != nullptr && pDockBar->GetDockedCount() == 0) pMini->DestroyWindow();
}
}  // namespace

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (const DockSide& side : kSides) {
        if (!(dwDockStyle & side.dwAlign) || GetControlBar(side.nID) != nullptr) continue;
        // A dock bar whose window fails deletes itself (m_bAutoDelete).
        CDockBar* pDock = new CDockBar;
        pDock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.dwStyle,
                      side.nID);
    }
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar) {
    CRect rcClient;
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* p = (CControlBar*)m_listControlBars.GetNext(pos);
        if (!p->IsDockBar() || p->m_hWnd == nullptr) continue;
        CDockBar* pDock = (CDockBar*)p;
        if (pDock->m_bFloating || !(pDock->m_dwStyle & dwDockStyle & CBRS_ALIGN_ANY)) continue;
        // An empty dock bar still answers along its edge.
        CRect zone;
        pDock->GetWindowRect(&zone);
        const int kZone = 16;
        if (pDock->m_dwStyle & CBRS_ALIGN_TOP) {
            if (zone.Height() < kZone)
                zone = CRect(rcClient.left, zone.top, rcClient.right, zone.top + kZone);
        } else if (pDock->m_dwStyle & CBRS_ALIGN_BOTTOM) {
            if (zone.Height() < kZone)
                zone = CRect(rcClient.left, zone.bottom - kZone, rcClient.right, zone.bottom);
        } else if (pDock->m_dwStyle & CBRS_ALIGN_LEFT) {
            if (zone.Width() < kZone) zone = CRect(zone.left, zone.top, zone.left + kZone, zone.bottom);
        } else {
            if (zone.Width() < kZone) zone = CRect(zone.right - kZone, zone.top, zone.right, zone.bottom);
        }
        if (zone.Height() <= 0) zone.bottom = zone.top + kZone;
        CRect inter;
        if (inter.IntersectRect(&zone, &rect)) {
            if (ppDockBar != nullptr) *ppDockBar = pDock;
            return pDock->m_dwStyle & CBRS_ALIGN_ANY;
        }
    }
    if (ppDockBar != nullptr) *ppDockBar = nullptr;
    return 0;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (pBar == nullptr) return;
    CDockBar* pDockBar = nullptr;
    if (nDockBarID != 0) {
        CControlBar* p = GetControlBar(nDockBarID);
        if (p != nullptr && p->IsDockBar()) pDockBar = (CDockBar*)p;
    }
    if (pDockBar == nullptr && nDockBarID == 0) {
        // Where it was docked last, else the first side it may dock on.
        UINT nMRU = pBar->m_pDockContext ? pBar->m_pDockContext->m_uMRUDockID : 0;
        CControlBar* p = nMRU ? GetControlBar(nMRU) : nullptr;
        if (p != nullptr && p->IsDockBar()) pDockBar = (CDockBar*)p;
        for (int i = 0; i < 4 && pDockBar == nullptr; ++i) {
            if (pBar->m_dwDockStyle != 0 && !(pBar->m_dwDockStyle & kSides[i].dwAlign)) continue;
            CControlBar* q = GetControlBar(kSides[i].nID);
            if (q != nullptr && q->IsDockBar()) pDockBar = (CDockBar*)q;
        }
    }
    if (pDockBar == nullptr) return;
    DockControlBar(pBar, pDockBar, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) {
    if (pBar == nullptr || pDockBar == nullptr || pBar->m_hWnd == nullptr) return;
    CDockBar* pOld = pBar->m_pDockBar;
    if (!pDockBar->m_bFloating) {
        // Docked somewhere definite: its places elsewhere are forgotten.
        POSITION pos = m_listControlBars.GetHeadPosition();
        while (pos != nullptr) {
            CControlBar* p = (CControlBar*)m_listControlBars.GetNext(pos);
            if (p != pDockBar && p->IsDockBar() && !((CDockBar*)p)->m_bFloating)
                ((CDockBar*)p)->RemovePlaceHolder(pBar);
        }
    }
    pDockBar->DockControlBar(pBar, lpRect);
    if (pOld != nullptr && pOld != pDockBar) DestroyIfEmpty(pOld);
    if (pBar->m_pDockContext != nullptr && !pDockBar->m_bFloating)
        pBar->m_pDockContext->m_uMRUDockID = (UINT)::GetDlgCtrlID(pDockBar->m_hWnd);
    if (!pDockBar->m_bFloating && (pBar->GetStyle() & WS_VISIBLE)) ::ShowWindow(pBar->m_hWnd, SW_SHOWNA);
    RecalcLayout();
    if (pBar->m_pDockContext != nullptr && !pDockBar->m_bFloating) pBar->m_pDockContext->RememberPosition();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    if (pBar->m_pDockContext != nullptr) pBar->m_pDockContext->RememberPosition();
    if (pBar->IsFloating()) {
        CMiniDockFrameWnd* pMini = MiniFrameOf(pBar->m_pDockBar);
        if (pMini != nullptr) {
            pMini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pMini->RecalcLayout(TRUE);
            if (pBar->m_pDockContext != nullptr) pBar->m_pDockContext->m_ptMRUFloatPos = point;
            return;
        }
    }
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) dwStyle |= CBRS_SIZE_DYNAMIC;
    CMiniDockFrameWnd* pMini = CreateFloatingFrame(dwStyle);
    if (pMini == nullptr) return;
    pMini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CDockBar* pOld = pBar->m_pDockBar;
    pMini->m_wndDockBar.DockControlBar(pBar, nullptr);
    if (pOld != nullptr) DestroyIfEmpty(pOld);
    pMini->RecalcLayout(TRUE);
    if (pBar->GetStyle() & WS_VISIBLE) pMini->ShowWindow(SW_SHOWNA);
    if (pBar->m_pDockContext != nullptr) {
        pBar->m_pDockContext->m_ptMRUFloatPos = point;
        pBar->m_pDockContext->m_dwMRUFloatStyle = dwStyle;
    }
    RecalcLayout();
}

std::vector<HWND> CFrameWnd::ShownFloatingFrames(BOOL bBehindOnly) const {
    std::vector<HWND> frames;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* p = (CControlBar*)m_listControlBars.GetNext(pos);
        if (!p->IsDockBar() || !((CDockBar*)p)->m_bFloating) continue;
        CMiniDockFrameWnd* pMini = MiniFrameOf((CDockBar*)p);
        if (pMini == nullptr || !::IsWindowVisible(pMini->m_hWnd)) continue;
        // In front of the frame: among the windows stacked above it.
        bool inFront = false;
        for (HWND h = ::GetWindow(m_hWnd, GW_HWNDPREV); h != nullptr && !inFront; h = ::GetWindow(h, GW_HWNDPREV))
            inFront = h == pMini->m_hWnd;
        if (!bBehindOnly || !inFront) frames.push_back(pMini->m_hWnd);
    }
    return frames;
}

void CFrameWnd::EnableFloatingFrames(BOOL bEnable) {
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* p = (CControlBar*)m_listControlBars.GetNext(pos);
        if (!p->IsDockBar()) continue;
        if (CMiniDockFrameWnd* pMini = MiniFrameOf((CDockBar*)p)) ::EnableWindow(pMini->m_hWnd, bEnable);
    }
}

void CFrameWnd::RaiseFloatingFrames(const std::vector<HWND>& frames) {
    if (frames.empty()) return;
    // This thread's other windows that lie over the frame (a dialog it has open, a picker) stay
    // over the bars: the window system restacks a window only when it comes to the very top, so
    // the bars go to the top and those windows are raised again after them, the lowest first.
    std::vector<HWND> over;
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDPREV); h != nullptr; h = ::GetWindow(h, GW_HWNDPREV))
        if (::IsWindowVisible(h) && ::GetWindowThreadProcessId(h, nullptr) == ::GetCurrentThreadId() &&
            !(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
            std::find(frames.begin(), frames.end(), h) == frames.end())
            over.push_back(h);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (HWND h : frames) ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, flags);
    for (HWND h : over) ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, flags);
}

void CFrameWnd::BringFloatingBarsToFront() {
    RaiseFloatingFrames(ShownFloatingFrames(FALSE));
}

void CFrameWnd::RaiseFloatingBarsBehind() {
    if (m_hWnd == nullptr || !::IsWindowVisible(m_hWnd) || ::IsIconic(m_hWnd)) return;
    RaiseFloatingFrames(ShownFloatingFrames(TRUE));
}

// ---------------- saved layout ----------------

BOOL CDockState::IsValidFor(CFrameWnd* pFrame) const {
    if (pFrame == nullptr || m_arrBarInfo.GetSize() == 0) return FALSE;
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        const CControlBarInfo* pInfo = (const CControlBarInfo*)m_arrBarInfo[i];
        // Floating dock bars are made anew; every other entry names a bar the frame has.
        if (!(pInfo->m_bDockBar && pInfo->m_bFloating) && pFrame->GetControlBar(pInfo->m_nBarID) == nullptr)
            return FALSE;
        for (INT_PTR j = 0; j < pInfo->m_arrBarID.GetSize(); ++j) {
            UINT nID = (UINT)(UINT_PTR)pInfo->m_arrBarID[j] & 0xFFFF;
            if (nID != 0 && pFrame->GetControlBar(nID) == nullptr) return FALSE;
        }
    }
    return TRUE;
}

void CFrameWnd::GetDockState(CDockState& state) const {
    state.Clear();
    state.m_sizeScreen = CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* pBar = (CControlBar*)m_listControlBars.GetNext(pos);
        if (pBar->m_hWnd == nullptr) continue;
        CControlBarInfo* pInfo = new CControlBarInfo;
        pInfo->m_nBarID = (UINT)::GetDlgCtrlID(pBar->m_hWnd);
        pInfo->m_bVisible = pBar->IsVisible();
        pInfo->m_bFloating = pBar->IsFloating();
        pInfo->m_bHorz = (pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        pInfo->m_bDockBar = pBar->IsDockBar();
        pInfo->m_nMRUWidth = (UINT)pBar->m_nMRUWidth;
        CRect rc;
        pBar->GetWindowRect(&rc);
        pInfo->m_pointPos = rc.TopLeft();
        if (pInfo->m_bDockBar) {
            CDockBar* pDock = (CDockBar*)pBar;
            if (pDock->m_bFloating) {
                CMiniDockFrameWnd* pMini = MiniFrameOf(pDock);
                if (pMini != nullptr) {
                    pMini->GetWindowRect(&rc);
                    pInfo->m_pointPos = rc.TopLeft();
                    pInfo->m_bVisible = pMini->IsWindowVisible();
                }
            }
            for (INT_PTR i = 0; i < pDock->m_arrBars.GetSize(); ++i) {
                void* p = pDock->m_arrBars[i];
                UINT_PTR v = 0;
                if (CDockBar::IsPlaceHolder(p))
                    v = (UINT_PTR)p | 0x10000;
                else if (p != nullptr && ((CControlBar*)p)->m_hWnd != nullptr)
                    v = (UINT_PTR)::GetDlgCtrlID(((CControlBar*)p)->m_hWnd);
                else if (p != nullptr)
                    continue;
                pInfo->m_arrBarID.Add((void*)v);
            }
        }
        if (pBar->m_pDockContext != nullptr) {
            CDockContext* pCtx = pBar->m_pDockContext;
            pInfo->m_bDocking = TRUE;
            pInfo->m_uMRUDockID = pCtx->m_uMRUDockID;
            pInfo->m_rectMRUDockPos = pCtx->m_rectMRUDockPos;
            pInfo->m_dwMRUFloatStyle = pCtx->m_dwMRUFloatStyle;
            pInfo->m_ptMRUFloatPos = pCtx->m_ptMRUFloatPos;
        }
        state.m_arrBarInfo.Add(pInfo);
    }
}

BOOL CFrameWnd::SetDockState(const CDockState& state) {
    // A layout saved by another version of the program may name bars that do
    // not exist any more: it is not applied at all.
    if (!state.IsValidFor(this)) return FALSE;

    std::vector<CMiniDockFrameWnd*> oldFrames;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos != nullptr) {
        CControlBar* p = (CControlBar*)m_listControlBars.GetNext(pos);
        if (p->IsDockBar() && ((CDockBar*)p)->m_bFloating) {
            CMiniDockFrameWnd* pMini = MiniFrameOf((CDockBar*)p);
            if (pMini != nullptr) oldFrames.push_back(pMini);
        }
    }

    // Dock bars: the docked ones by id, floating ones made anew.
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        CControlBarInfo* pInfo = (CControlBarInfo*)state.m_arrBarInfo[i];
        pInfo->m_pBar = nullptr;
        if (pInfo->m_bDockBar && pInfo->m_bFloating) {
            CMiniDockFrameWnd* pMini = CreateFloatingFrame(pInfo->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
            if (pMini == nullptr) continue;
            pMini->SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pInfo->m_pBar = &pMini->m_wndDockBar;
        } else {
            pInfo->m_pBar = GetControlBar(pInfo->m_nBarID);
        }
    }

    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        CControlBarInfo* pInfo = (CControlBarInfo*)state.m_arrBarInfo[i];
        if (!pInfo->m_bDockBar || pInfo->m_pBar == nullptr || !pInfo->m_pBar->IsDockBar()) continue;
        CDockBar* pDock = (CDockBar*)pInfo->m_pBar;
        CPtrArray arr;
        arr.Add(nullptr);
        for (INT_PTR j = 0; j < pInfo->m_arrBarID.GetSize(); ++j) {
            UINT_PTR v = (UINT_PTR)pInfo->m_arrBarID[j];
            if (v == 0) {
                arr.Add(nullptr);
            } else if (v & 0xFFFF0000) {
                arr.Add((void*)(v & 0xFFFF));
            } else {
                CControlBar* pBar = GetControlBar((UINT)v);
                if (pBar == nullptr || pBar->IsDockBar()) continue;
                CDockBar* pOld = pBar->m_pDockBar;
                if (pOld != nullptr && pOld != pDock) {
                    pOld->RemoveControlBar(pBar);
                } else if (pOld == pDock) {
                    int n = pDock->FindBar(pBar);
                    if (n >= 0) pDock->m_arrBars.RemoveAt(n);
                }
                if (::GetParent(pBar->m_hWnd) != pDock->m_hWnd) ::SetParent(pBar->m_hWnd, pDock->m_hWnd);
                pBar->m_pDockBar = pDock;
                DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
                dwStyle |= pDock->m_bFloating ? (CBRS_FLOATING | CBRS_ALIGN_TOP)
                                              : (pDock->m_dwStyle & CBRS_ALIGN_ANY);
                pBar->SetBarStyle(dwStyle);
                arr.Add(pBar);
            }
        }
        // Bars still listed in this dock bar but not in the saved row list keep
        // their place at the end.
        for (INT_PTR j = 0; j < pDock->m_arrBars.GetSize(); ++j) {
            CControlBar* pBar = pDock->GetDockedControlBar((int)j);
            if (pBar == nullptr) continue;
            BOOL listed = FALSE;
            for (INT_PTR k = 0; k < arr.GetSize(); ++k) listed = listed || arr[k] == pBar;
            if (!listed) {
                arr.Add(pBar);
                arr.Add(nullptr);
            }
        }
        pDock->m_arrBars.RemoveAll();
        for (INT_PTR k = 0; k < arr.GetSize(); ++k) pDock->m_arrBars.Add(arr[k]);
        pDock->m_arrBars.Add(nullptr);
        // Close up the rows (duplicate breaks).
        for (INT_PTR k = 1; k < pDock->m_arrBars.GetSize();) {
            if (pDock->m_arrBars[k] == nullptr && pDock->m_arrBars[k - 1] == nullptr)
                pDock->m_arrBars.RemoveAt(k);
            else
                ++k;
        }
    }

    // Each bar's visibility and remembered positions.
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        CControlBarInfo* pInfo = (CControlBarInfo*)state.m_arrBarInfo[i];
        CControlBar* pBar = pInfo->m_pBar;
        if (pBar == nullptr || pInfo->m_bDockBar) continue;
        pBar->m_nStateFlags &= ~(CControlBar::delayHide | CControlBar::delayShow);
        ::ShowWindow(pBar->m_hWnd, pInfo->m_bVisible ? SW_SHOWNA : SW_HIDE);
        pBar->m_nMRUWidth = (int)pInfo->m_nMRUWidth;
        if (pInfo->m_bDocking) {
            if (pBar->m_pDockContext == nullptr) pBar->EnableDocking(pBar->m_dwDockStyle);
            CDockContext* pCtx = pBar->m_pDockContext;
            pCtx->m_uMRUDockID = pInfo->m_uMRUDockID;
            pCtx->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
            pCtx->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
            pCtx->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
        }
    }

    // Floating frames: laid out, shown when they hold a visible bar; old ones
    // that lost their bars go.
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        CControlBarInfo* pInfo = (CControlBarInfo*)state.m_arrBarInfo[i];
        if (!(pInfo->m_bDockBar && pInfo->m_bFloating) || pInfo->m_pBar == nullptr) continue;
        CDockBar* pDock = (CDockBar*)pInfo->m_pBar;
        CMiniDockFrameWnd* pMini = MiniFrameOf(pDock);
        if (pMini == nullptr) continue;
        if (pDock->GetDockedCount() == 0) {
            pMini->DestroyWindow();
            continue;
        }
        pMini->RecalcLayout(TRUE);
        pMini->ShowWindow(pInfo->m_bVisible && pDock->GetDockedVisibleCount() > 0 ? SW_SHOWNA : SW_HIDE);
    }
    for (CMiniDockFrameWnd* pMini : oldFrames) {
        if (::IsWindow(pMini->m_hWnd) && pMini->m_wndDockBar.GetDockedCount() == 0) pMini->DestroyWindow();
    }
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
        ((CControlBarInfo*)state.m_arrBarInfo[i])->m_pBar = nullptr;
    RecalcLayout();
    if (::IsWindowVisible(m_hWnd)) PostBringFloatingBarsToFront();
    return TRUE;
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName) {
    CDockState state;
    state.LoadState(lpszProfileName);
    SetDockState(state);
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const {
    CDockState state;
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

// ---------------- CDockState ----------------

IMPLEMENT_DYNAMIC(CDockState, CObject)

CDockState::~CDockState() {
    Clear();
}

void CDockState::Clear() {
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) delete (CControlBarInfo*)m_arrBarInfo[i];
    m_arrBarInfo.RemoveAll();
}

void CDockState::LoadState(LPCTSTR lpszProfileName) {
    Clear();
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return;
    CString section;
    section.Format("%s-Summary", lpszProfileName);
    int nBars = (int)pApp->GetProfileInt(section, "Bars", 0);
    m_sizeScreen.cx = (int)pApp->GetProfileInt(section, "ScreenCX", 0);
    m_sizeScreen.cy = (int)pApp->GetProfileInt(section, "ScreenCY", 0);
    if (nBars < 0 || nBars > 1000) nBars = 0;  // a damaged count
    for (int i = 0; i < nBars; ++i) {
        CControlBarInfo* pInfo = new CControlBarInfo;
        if (pInfo->LoadState(lpszProfileName, i, this))
            m_arrBarInfo.Add(pInfo);
        else
            delete pInfo;
    }
}

void CDockState::SaveState(LPCTSTR lpszProfileName) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return;
    int nIndex = 0;
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        if (((CControlBarInfo*)m_arrBarInfo[i])->SaveState(lpszProfileName, nIndex)) ++nIndex;
    CString section;
    section.Format("%s-Summary", lpszProfileName);
    pApp->WriteProfileInt(section, "Bars", nIndex);
    pApp->WriteProfileInt(section, "ScreenCX", ::GetSystemMetrics(SM_CXSCREEN));
    pApp->WriteProfileInt(section, "ScreenCY", ::GetSystemMetrics(SM_CYSCREEN));
}

CControlBarInfo::CControlBarInfo() = default;

BOOL CControlBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex, CDockState* pDockState) {
    (void)pDockState;
    CWinApp* pApp = AfxGetApp();
    CString section;
    section.Format("%s-Bar%d", lpszProfileName, nIndex);
    m_nBarID = pApp->GetProfileInt(section, "BarID", 0);
    if (m_nBarID == 0) return FALSE;
    m_bVisible = (BOOL)pApp->GetProfileInt(section, "Visible", TRUE);
    m_bHorz = (BOOL)pApp->GetProfileInt(section, "Horz", TRUE);
    m_bFloating = (BOOL)pApp->GetProfileInt(section, "Floating", FALSE);
    m_bDockBar = (BOOL)pApp->GetProfileInt(section, "DockBar", FALSE);
    m_pointPos.x = (int)pApp->GetProfileInt(section, "XPos", -1);
    m_pointPos.y = (int)pApp->GetProfileInt(section, "YPos", -1);
    m_nMRUWidth = pApp->GetProfileInt(section, "MRUWidth", 32767);
    m_bDocking = (BOOL)pApp->GetProfileInt(section, "Docking", 0);
    if (m_bDocking) {
        m_uMRUDockID = pApp->GetProfileInt(section, "MRUDockID", 0);
        m_rectMRUDockPos.left = (int)pApp->GetProfileInt(section, "MRUDockLeftPos", 0);
        m_rectMRUDockPos.top = (int)pApp->GetProfileInt(section, "MRUDockTopPos", 0);
        m_rectMRUDockPos.right = (int)pApp->GetProfileInt(section, "MRUDockRightPos", 0);
        m_rectMRUDockPos.bottom = (int)pApp->GetProfileInt(section, "MRUDockBottomPos", 0);
        m_dwMRUFloatStyle = pApp->GetProfileInt(section, "MRUFloatStyle", 0);
        m_ptMRUFloatPos.x = (int)pApp->GetProfileInt(section, "MRUFloatXPos", -1);
        m_ptMRUFloatPos.y = (int)pApp->GetProfileInt(section, "MRUFloatYPos", -1);
    }
    int nBars = (int)pApp->GetProfileInt(section, "Bars", 0);
    if (nBars < 0 || nBars > 10000) nBars = 0;
    m_arrBarID.RemoveAll();
    for (int i = 0; i < nBars; ++i) {
        CString key;
        key.Format("Bar#%d", i);
        m_arrBarID.Add((void*)(UINT_PTR)pApp->GetProfileInt(section, key, 0));
    }
    return TRUE;
}

BOOL CControlBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex) {
    CWinApp* pApp = AfxGetApp();
    CString section;
    section.Format("%s-Bar%d", lpszProfileName, nIndex);
    // The section is written whole, so no value of an earlier layout survives.
    pApp->WriteProfileString(section, nullptr, nullptr);
    pApp->WriteProfileInt(section, "BarID", (int)m_nBarID);
    pApp->WriteProfileInt(section, "Visible", m_bVisible ? 1 : 0);
    pApp->WriteProfileInt(section, "Horz", m_bHorz ? 1 : 0);
    pApp->WriteProfileInt(section, "Floating", m_bFloating ? 1 : 0);
    pApp->WriteProfileInt(section, "DockBar", m_bDockBar ? 1 : 0);
    pApp->WriteProfileInt(section, "XPos", m_pointPos.x);
    pApp->WriteProfileInt(section, "YPos", m_pointPos.y);
    pApp->WriteProfileInt(section, "MRUWidth", (int)m_nMRUWidth);
    pApp->WriteProfileInt(section, "Docking", m_bDocking ? 1 : 0);
    if (m_bDocking) {
        pApp->WriteProfileInt(section, "MRUDockID", (int)m_uMRUDockID);
        pApp->WriteProfileInt(section, "MRUDockLeftPos", m_rectMRUDockPos.left);
        pApp->WriteProfileInt(section, "MRUDockTopPos", m_rectMRUDockPos.top);
        pApp->WriteProfileInt(section, "MRUDockRightPos", m_rectMRUDockPos.right);
        pApp->WriteProfileInt(section, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
        pApp->WriteProfileInt(section, "MRUFloatStyle", (int)m_dwMRUFloatStyle);
        pApp->WriteProfileInt(section, "MRUFloatXPos", m_ptMRUFloatPos.x);
        pApp->WriteProfileInt(section, "MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    pApp->WriteProfileInt(section, "Bars", (int)m_arrBarID.GetSize());
    for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i) {
        CString key;
        key.Format("Bar#%d", (int)i);
        pApp->WriteProfileInt(section, key, (int)(UINT_PTR)m_arrBarID[i]);
    }
    return TRUE;
}
