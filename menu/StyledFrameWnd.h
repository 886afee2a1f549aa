// A frame window whose menu bar and system menu are owner-drawn CStyledMenus:
// popups are converted as they open, measuring and mnemonics are answered
// here, and on older systems (or in a remote session) the frame draws the hot
// tracking of its menu-bar items itself.
#pragma once

#include "framework/DocView.h"
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

template <class TBase>
class CStyledFrame : public TBase {
public:
    CStyledFrame() : m_defaultMenu(nullptr), m_systemMenu(nullptr) {}
    ~CStyledFrame() override {
        m_systemMenu.DestroyMenu();
        m_defaultMenu.DestroyMenu();
    }

    CStyledMenu m_defaultMenu;
    CStyledMenu m_systemMenu;
    int m_bInMenuLoop = 0;
    UINT_PTR m_nHoverTimer = 0;
    int m_nHotItem = -1;

    int OnCreate(LPCREATESTRUCT lpcs) {
        if (TBase::OnCreate(lpcs) == -1) return -1;
        if (m_systemMenu.m_hMenu != nullptr) ::DestroyMenu(m_systemMenu.Detach());
        m_systemMenu.Attach(::GetSystemMenu(this->m_hWnd, FALSE));
        return 0;
    }

    void OnDestroy() {
        StopHoverTimer();
        TBase::OnDestroy();
    }

    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS) {
        if (CStyledMenu::MeasureMenuItem(CWnd::GetCurrentMessage())) return;
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        if (pState->m_hTrackingWindow == this->m_hWnd && pState->m_hTrackingMenu != nullptr) {
            if (CMenu::FromHandlePermanent(pState->m_hTrackingMenu)) CWnd::OnMeasureItem(nIDCtl, lpMIS);
        } else if (::GetMenu(this->m_hWnd) != nullptr) {
            CWnd::OnMeasureItem(nIDCtl, lpMIS);
        }
    }

    LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
        CStyledMenu* p = pMenu ? CStyledMenu::FromHandleStyled(pMenu->m_hMenu) : nullptr;
        if (p) return p->FindMnemonic(nChar);
        return TBase::OnMenuChar(nChar, nFlags, pMenu);
    }

    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
        TBase::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
        CStyledMenu::InitMenuPopup(this->m_hWnd, pPopupMenu, nIndex, bSysMenu);
    }

    void OnEnterMenuLoop(BOOL bIsTrackPopupMenu) {
        m_bInMenuLoop = 1;
        StopHoverTimer();
        if (m_nHotItem != -1) {
            CStyledMenu::DrawMenuBarItem(this->m_hWnd, CStyledMenu::FromHandleStyled(::GetMenu(this->m_hWnd)),
                                         m_nHotItem, 0);
            m_nHotItem = -1;
        }
        TBase::OnEnterMenuLoop(bIsTrackPopupMenu);
    }

    void OnExitMenuLoop(BOOL bIsTrackPopupMenu) {
        m_bInMenuLoop = 0;
        TBase::OnExitMenuLoop(bIsTrackPopupMenu);
    }

    void OnTimer(UINT_PTR nIDEvent) {
        TBase::OnTimer(nIDEvent);
        if (nIDEvent == m_nHoverTimer && m_nHoverTimer != 0) {
            POINT pt;
            ::GetCursorPos(&pt);
            ::SendMessageA(this->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
        }
    }

    LRESULT OnNcHitTest(CPoint point) {
        LRESULT result = TBase::OnNcHitTest(point);
        if (!OwnHotTracking()) return result;
        return TrackHotItem(point, result);
    }

    void OnSysColorChange() {
        TBase::OnSysColorChange();
        CStyledMenuIcons::RefreshIconSets();
        SetMenuBackground(m_defaultMenu.m_hMenu);
    }

    // The frame draws menu-bar hot tracking itself before Windows 2000 and in a remote session.
    static bool OwnHotTracking() { return GetWinVersion() < 6 || CStyledMenuHook::s_bRemoteSession; }

    // The hot-tracking step of WM_NCHITTEST for a hit-test result.
    LRESULT TrackHotItem(CPoint point, LRESULT result) {
        HWND hWnd = this->m_hWnd;
        UINT hot = 0, normal = 0;
        HWND focus = ::GetFocus();
        int version = GetWinVersion();
        if (focus && ::IsChild(hWnd, focus)) {
            hot = ODS_HOTLIGHT;
        } else if (version != 2 && version != 5) {
            hot = ODS_HOTLIGHT | ODS_INACTIVE;
            normal = ODS_INACTIVE;
        }
        CStyledMenu* pBar = CStyledMenu::FromHandleStyled(::GetMenu(hWnd));
        if (!m_bInMenuLoop && result == HTMENU && pBar) {
            int item = ::MenuItemFromPoint(hWnd, pBar->m_hMenu, point);
            if (item >= 0) {
                if (item == m_nHotItem) {
                    if (CStyledMenuHook::s_pMenuBarItemRedrawn) return HTMENU;
                    if (!CStyledMenu::DrawMenuBarItem(hWnd, pBar, item, hot)) return HTMENU;
                    if (m_nHoverTimer) return HTMENU;
                } else {
                    CStyledMenu::DrawMenuBarItem(hWnd, pBar, m_nHotItem, normal);
                    if (!CStyledMenu::DrawMenuBarItem(hWnd, pBar, item, hot)) {
                        m_nHotItem = -1;
                        return HTMENU;
                    }
                    if (m_nHoverTimer) {
                        m_nHotItem = item;
                        return HTMENU;
                    }
                }
                m_nHoverTimer = SetTimerFromPool(hWnd, 100);
                m_nHotItem = item;
                return HTMENU;
            }
        }
        if (m_nHotItem != -1) CStyledMenu::DrawMenuBarItem(hWnd, pBar, m_nHotItem, normal);
        m_nHotItem = -1;
        StopHoverTimer();
        return result;
    }

protected:
    void StopHoverTimer() {
        if (m_nHoverTimer) ::KillTimer(this->m_hWnd, m_nHoverTimer);
        m_nHoverTimer = 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CStyledFrame, TBase, TBase)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
    ON_WM_INITMENUPOPUP()
    ON_WM_ENTERMENULOOP()
    ON_WM_EXITMENULOOP()
    ON_WM_TIMER()
    ON_WM_NCHITTEST()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

class CStyledFrameWnd : public CStyledFrame<CFrameWnd> {
    DECLARE_DYNCREATE(CStyledFrameWnd)
public:
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr) override;
    using CFrameWnd::Create;

    DECLARE_MESSAGE_MAP()
};
