#include "menu/StyledFrameWnd.h"

IMPLEMENT_DYNCREATE(CStyledFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CStyledFrameWnd, CStyledFrame<CFrameWnd>)
END_MESSAGE_MAP()

BOOL CStyledFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                             CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle,
                             CCreateContext* pContext) {
    BOOL ok = FALSE;
    bool failedLoad = false;
    GuardOperation(1658, [&] {
        if (lpszMenuName != nullptr) {
            m_defaultMenu.LoadMenu(lpszMenuName);
            if (m_defaultMenu.m_hMenu == nullptr) {
                failedLoad = true;
                return;
            }
        }
        m_strTitle = lpszWindowName ? lpszWindowName : "";
        // The frame styles are the frame's business, not the window's.
        DWORD style = dwStyle & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
        if (dwStyle & FWS_ADDTOTITLE) m_nIdleFlags |= idleTitle;
        m_bAddToTitle = (dwStyle & FWS_ADDTOTITLE) != 0;
        if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, style, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top,
                      pParentWnd ? pParentWnd->m_hWnd : nullptr, m_defaultMenu.m_hMenu, (LPVOID)pContext))
            return;
        m_hMenuDefault = m_defaultMenu.m_hMenu;
        SetMenuBackground(m_defaultMenu.m_hMenu);
        ok = TRUE;
    });
    if (failedLoad) PostNcDestroy();
    return ok;
}
