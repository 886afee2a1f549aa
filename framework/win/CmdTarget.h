// Command targets and the command user-interface state object.
#pragma once

#include "framework/win/MsgMap.h"

class CMenu;

// The root of every object that receives commands through a message map.
class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;

    // Routes a command, a control notification or an update request through
    // this object's message map (and its bases'). nCode is CN_COMMAND,
    // CN_UPDATE_COMMAND_UI, a WM_COMMAND notification code, or
    // MAKELONG(code, WM_NOTIFY) and the reflected forms. With pHandlerInfo the
    // handler is only looked up, not called. TRUE when a handler was found
    // (and, for the _EX forms, when it returned TRUE).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The hour-glass while a long operation runs on the user-interface thread.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of one table that matches; null when none.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                                    UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    // Calls one command handler entry; the result tells whether it handled the command.
    static BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra,
                               UINT nSig, AFX_CMDHANDLERINFO* pHandlerInfo);
};

// The state of one user-interface item (menu item, tool-bar button, control)
// as an ON_UPDATE_COMMAND_UI handler sets it.
class CCmdUI {
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    UINT m_nID;
    UINT m_nIndex;          // index of the item in its menu or bar
    CMenu* m_pMenu;         // the menu being updated, or null
    CMenu* m_pSubMenu;      // the item's popup when the item opens one
    CMenu* m_pParentMenu;   // the menu that holds a popup being updated
    CWnd* m_pOther;         // the bar or control being updated, or null
    UINT m_nIndexMax;       // the item count of the menu or bar
    BOOL m_bEnableChanged;  // a handler called Enable
    BOOL m_bContinueRouting;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);  // 0 off, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget to update this item; with bDisableIfNoHndler an item without
    // an update or command handler is disabled. TRUE when a handler answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
