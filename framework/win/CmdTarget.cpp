#include "framework/win/CmdTarget.h"

#include "framework/win/HandleMap.h"
#include "framework/win/Menu.h"
#include "framework/win/Wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                                     UINT nID) {
    for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
        if (lpEntry->pnRegMsg != nullptr) {
            if (nMsg == KV_REGISTERED_MESSAGE) continue;
            if (*lpEntry->pnRegMsg != nMsg || nMsg == 0) continue;
            return lpEntry;
        }
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
            nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return nullptr;
}

BOOL CCmdTarget::DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra,
                                UINT nSig, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = pTarget;
        pHandlerInfo->pmf = pfn;
        return TRUE;
    }
    AFX_NOTIFY* pNotify = static_cast<AFX_NOTIFY*>(pExtra);
    switch (nSig) {
        case AfxSigCmd_v:
            (pTarget->*pfn)();
            return TRUE;
        case AfxSigCmd_b:
            return (pTarget->*AfxHandlerCast<BOOL (CCmdTarget::*)()>(pfn))();
        case AfxSigCmd_RANGE:
            (pTarget->*AfxHandlerCast<void (CCmdTarget::*)(UINT)>(pfn))(nID);
            return TRUE;
        case AfxSigCmd_EX:
            return (pTarget->*AfxHandlerCast<BOOL (CCmdTarget::*)(UINT)>(pfn))(nID);
        case AfxSigCmdUI: {
            CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
            pCmdUI->m_bContinueRouting = FALSE;
            (pTarget->*AfxHandlerCast<void (CCmdTarget::*)(CCmdUI*)>(pfn))(pCmdUI);
            return !pCmdUI->m_bContinueRouting;
        }
        case AfxSigNotify_v:
            (pTarget->*AfxHandlerCast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(pNotify->pNMHDR,
                                                                                    pNotify->pResult);
            return TRUE;
        case AfxSigNotify_b:
            return (pTarget->*AfxHandlerCast<BOOL (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(pNotify->pNMHDR,
                                                                                           pNotify->pResult);
        case AfxSigNotify_RANGE:
            (pTarget->*AfxHandlerCast<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(pfn))(
                nID, pNotify->pNMHDR, pNotify->pResult);
            return TRUE;
        case AfxSigNotify_EX:
            return (pTarget->*AfxHandlerCast<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(pfn))(
                nID, pNotify->pNMHDR, pNotify->pResult);
        default:
            return FALSE;
    }
    (void)nCode;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    UINT nMsg;
    UINT nCodeKey;
    if ((UINT)nCode == CN_UPDATE_COMMAND_UI) {
        nMsg = WM_COMMAND;
        nCodeKey = CN_UPDATE_COMMAND_UI;
    } else {
        nMsg = HIWORD((UINT)nCode);
        nCodeKey = LOWORD((UINT)nCode);
        if (nMsg == 0) nMsg = WM_COMMAND;
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        const AFX_MSGMAP_ENTRY* lpEntry = FindMessageEntry(pMap->lpEntries, nMsg, nCodeKey, nID);
        if (lpEntry != nullptr)
            return DispatchCmdMsg(this, nID, nCode, lpEntry->pfn, pExtra, lpEntry->nSig, pHandlerInfo);
        if (pMap->pfnGetBaseMap == nullptr) break;
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    HCURSOR hcurPrev = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (pState->m_nWaitCursorCount++ == 0) pState->m_hcurWaitCursorRestore = hcurPrev;
}

void CCmdTarget::EndWaitCursor() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_nWaitCursorCount == 0) return;
    if (--pState->m_nWaitCursorCount == 0) {
        HCURSOR hcur = pState->m_hcurWaitCursorRestore;
        if (hcur == nullptr) hcur = ::LoadCursor(nullptr, IDC_ARROW);
        ::SetCursor(hcur);
    }
}

void CCmdTarget::RestoreWaitCursor() {
    if (AfxGetThreadState()->m_nWaitCursorCount > 0) ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

// ---- CCmdUI ----

CCmdUI::CCmdUI()
    : m_nID(0),
      m_nIndex(0),
      m_pMenu(nullptr),
      m_pSubMenu(nullptr),
      m_pParentMenu(nullptr),
      m_pOther(nullptr),
      m_nIndexMax(0),
      m_bEnableChanged(FALSE),
      m_bContinueRouting(FALSE) {}

void CCmdUI::Enable(BOOL bOn) {
    if (m_pMenu != nullptr) {
        // A popup item follows the state given to its first item.
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr) {
        if (!bOn && ::GetFocus() == m_pOther->GetSafeHwnd()) {
            HWND hParent = ::GetParent(m_pOther->GetSafeHwnd());
            if (hParent) ::SendMessage(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(m_pOther->GetSafeHwnd(), bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr) return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != nullptr) {
        HWND hWnd = m_pOther->GetSafeHwnd();
        if (::SendMessage(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessage(hWnd, BM_SETCHECK, nCheck, 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr) return;
        UINT nID = m_pMenu->GetMenuItemID(m_nIndex);
        if (bOn)
            m_pMenu->CheckMenuRadioItem(nID, nID, nID, MF_BYCOMMAND);
        else
            m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
    } else {
        SetCheck(bOn ? 1 : 0);
    }
}

void CCmdUI::SetText(LPCTSTR lpszText) {
    if (lpszText == nullptr) lpszText = "";
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr) return;
        UINT nState = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        nState &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP | MF_HILITE | 0xFF00);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
    } else if (m_pOther != nullptr) {
        char szOld[512];
        ::GetWindowText(m_pOther->GetSafeHwnd(), szOld, sizeof(szOld));
        if (lstrcmpA(szOld, lpszText) != 0) ::SetWindowText(m_pOther->GetSafeHwnd(), lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and popups are not updated
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
