#include "menu/StyledMenu.h"

#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"

IMPLEMENT_DYNAMIC(CStyledMenuItemData, CObject)
IMPLEMENT_DYNAMIC(CStyledMenuItemDataTitle, CStyledMenuItemData)
IMPLEMENT_DYNAMIC(CStyledMenu, CMenu)

MenuApplicationQueries g_menuAppQueries;

namespace {
// Children deleted by their root give their handle up instead of destroying
// it: the root's own DestroyMenu destroys the whole tree once.
thread_local bool t_deletingChildren = false;

// The item's text as the program holds text: read in UTF-16, so that a name outside the ANSI code
// page (a recent file's) stays whole.
CString MenuStringByPos(HMENU hMenu, int pos) {
    int n = ::GetMenuStringW(hMenu, pos, nullptr, 0, MF_BYPOSITION);
    if (n <= 0) return CString();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetMenuStringW(hMenu, pos, &text[0], n + 1, MF_BYPOSITION);
    text.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return AfxNarrowOf(text.c_str());
}
}  // namespace

CStyledMenuItemData::~CStyledMenuItemData() {
    if (m_pIcons) m_pIcons->Release();
    m_pIcons = nullptr;
}

void CStyledMenuItemData::SetString(LPCTSTR lpsz) {
    if (lpsz == nullptr)
        m_strText.Empty();
    else
        m_strText = lpsz;
}

CStyledMenu* CStyledMenu::FromHandleStyled(HMENU hMenu) {
    if (hMenu == nullptr) return nullptr;
    CMenu* p = CMenu::FromHandlePermanent(hMenu);
    return (p && p->IsKindOf(RUNTIME_CLASS(CStyledMenu))) ? static_cast<CStyledMenu*>(p) : nullptr;
}

CStyledMenu::CStyledMenu(HMENU hParent) : m_hParentMenu(hParent) {
    GuardOperation(1495, [] {});
}

CStyledMenu::~CStyledMenu() {
    DestroyMenu();
    m_items.RemoveAll();
    m_subMenus.RemoveAll();
}

void CStyledMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    GuardOperation(1517, [&] {
        CMenuTheme* pTheme = CStyledMenuHook::s_pCurrentTheme;
        if (pTheme == nullptr) return;
        BOOL bBar = IsMenuBar();
        if (bBar && (void*)lpDIS->itemData == CStyledMenuHook::s_pMenuBarItemRedrawn &&
            !(lpDIS->itemState & ODS_HOTLIGHT))
            CStyledMenuHook::s_pMenuBarItemRedrawn = nullptr;
        (this->*(pTheme->m_pfnDraw))(lpDIS, bBar);
    });
}

void CStyledMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
    GuardOperation(1516, [&] {
        CMenuTheme* pTheme = CStyledMenuHook::s_pCurrentTheme;
        if (pTheme == nullptr) return;
        BOOL bBar = IsMenuBarItem(lpMIS->itemID);
        if (!bBar && m_hParentMenu != nullptr && FindItemData(lpMIS->itemID) == nullptr) {
            if (CStyledMenu* pParent = FromHandleStyled(m_hParentMenu)) {
                (pParent->*(pTheme->m_pfnMeasure))(lpMIS, FALSE);
                return;
            }
        }
        (this->*(pTheme->m_pfnMeasure))(lpMIS, bBar);
    });
}

BOOL CStyledMenu::LoadMenu(UINT nID) {
    BOOL ok = FALSE;
    GuardOperation(1566, [&] { ok = LoadMenu(MAKEINTRESOURCE(nID)); });
    return ok;
}

BOOL CStyledMenu::LoadMenu(LPCTSTR lpszName) {
    BOOL ok = FALSE;
    GuardOperation(1567, [&] { ok = LoadMenu(::LoadMenuA(AfxGetResourceHandle(), lpszName)); });
    return ok;
}

BOOL CStyledMenu::LoadMenu(HMENU hMenu) {
    BOOL ok = FALSE;
    GuardOperation(1565, [&] {
        if (hMenu == nullptr || !::IsMenu(hMenu) || !Attach(hMenu)) return;
        m_bPopup = FALSE;
        int count = ::GetMenuItemCount(hMenu);
        for (int i = 0; i < count; i++) {
            HMENU hSub = ::GetSubMenu(hMenu, i);
            if (hSub == nullptr) continue;
            CStyledMenu* pChild = new CStyledMenu(hMenu);
            m_subMenus.Add(hSub);
            pChild->LoadMenu(hSub);
            pChild->m_bPopup = TRUE;
        }
        SynchronizeItems();
        ok = TRUE;
    });
    return ok;
}

BOOL CStyledMenu::DestroyMenu() {
    BOOL ok = FALSE;
    GuardOperation(1512, [&] {
        bool wasDeleting = t_deletingChildren;
        t_deletingChildren = true;
        for (INT_PTR i = m_subMenus.GetSize() - 1; i >= 0; i--) {
            if (CStyledMenu* pChild = FromHandleStyled(m_subMenus[i])) delete pChild;
        }
        t_deletingChildren = wasDeleting;
        m_subMenus.RemoveAll();
        for (INT_PTR i = m_items.GetSize() - 1; i >= 0; i--) delete m_items[i];
        m_items.RemoveAll();
        if (m_pMenuIcons && !m_bIconsBorrowed) delete m_pMenuIcons;
        m_pMenuIcons = nullptr;
        if (t_deletingChildren) {
            ok = Detach() != nullptr;
        } else {
            ok = CMenu::DestroyMenu();
        }
    });
    return ok;
}

void CStyledMenu::DrawMenuTitle(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) {
    GuardOperation(1519, [&] {
        if (CMenuTheme* pTheme = CStyledMenuHook::s_pCurrentTheme)
            (this->*(pTheme->m_pfnTitle))(lpDIS, bMenuBar);
    });
}

BOOL CStyledMenu::EraseBkgnd(HWND hWnd, HDC hDC) {
    GuardOperation(1518, [&] {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        CBrush brush;
        brush.CreateSolidBrush(GetMenuBackColor(nullptr));
        ::FillRect(hDC, &rc, brush);
    });
    return TRUE;
}

void CStyledMenu::OnInitMenuPopup() {
    GuardOperation(1584, [&] {
        m_bPopup = TRUE;
        SynchronizeItems();
        if (GetWinVersion() == 7) {
            // The system would draw these commands itself; private ids keep them owner-drawn.
            SwapCommand(SC_RESTORE, SC_RESTORE + 1);
            SwapCommand(SC_CLOSE, SC_CLOSE + 1);
            SwapCommand(SC_MINIMIZE, SC_MINIMIZE + 1);
        }
    });
}

BOOL CStyledMenu::OnUnInitMenuPopup() {
    BOOL result = FALSE;
    GuardOperation(1585, [&] {
        if (GetWinVersion() == 7) {
            SwapCommand(SC_MINIMIZE + 1, SC_MINIMIZE);
            SwapCommand(SC_RESTORE + 1, SC_RESTORE);
            if (SwapCommand(SC_CLOSE + 1, SC_CLOSE) && ::IsWindow(m_hOwner))
                ::SetWindowPos(m_hOwner, nullptr, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        CStyledMenu* pParent = FromHandleStyled(m_hParentMenu);
        if (pParent == nullptr) return;
        pParent->m_nOpenPopups--;
        if (pParent->m_bPopup) return;
        pParent->m_nOpenPopups = 0;
        if (!::IsRectEmpty(&pParent->m_rcMenuBarItem) && ::IsWindow(m_hOwner)) {
            RECT rc = pParent->m_rcMenuBarItem;
            rc.right += 10;
            rc.bottom += 10;
            POINT org = {0, 0};
            ::ClientToScreen(m_hOwner, &org);
            ::OffsetRect(&rc, -org.x, -org.y);
            ::RedrawWindow(m_hOwner, &rc, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
        result = TRUE;
    });
    return result;
}

CMenu* CStyledMenu::GetSubMenu(int nPos) const {
    CMenu* p = nullptr;
    GuardOperation(1601, [&] { p = CMenu::GetSubMenu(nPos); });
    return p;
}

void CStyledMenu::SetIconSize(int cx, int cy) {
    m_nImageWidth = cx;
    m_nImageHeight = cy;
}

void CStyledMenu::GrowImageSize(CStyledMenuIcons* pIcons) {
    if (pIcons == nullptr) return;
    CSize size = pIcons->GetIconSize();
    if (size.cx > m_nImageWidth) m_nImageWidth = size.cx;
    if (size.cy > m_nImageHeight) m_nImageHeight = size.cy;
}

CStyledMenuItemData* CStyledMenu::FindUnflagged(UINT_PTR nID) {
    CStyledMenuItemData* pFound = nullptr;
    GuardOperation(1578, [&] {
        for (INT_PTR i = 0; i < m_items.GetSize(); i++) {
            CStyledMenuItemData* p = m_items[i];
            if (!p->m_bInUse && p->m_nID == nID) {
                p->m_bInUse = TRUE;
                pFound = p;
                return;
            }
        }
    });
    return pFound;
}

BOOL CStyledMenu::MakeOwnerDrawn(int nPos, UINT nFlags, UINT_PTR nID, const CString& text) {
    BOOL ok = FALSE;
    GuardOperation(1548, [&] {
        CStyledMenuItemData* p = new CStyledMenuItemData;
        p->m_nFlags = nFlags;
        p->m_nID = nID;
        p->m_bInUse = TRUE;
        p->SetString(text);
        m_items.Add(p);  // moved into the new list by the caller
        if (nFlags & MF_POPUP) {
            if (CStyledMenu* pPopup = FromHandleStyled((HMENU)nID)) pPopup->m_hParentMenu = m_hMenu;
        }
        ok = ::ModifyMenuA(m_hMenu, nPos, nFlags | MF_OWNERDRAW | MF_BYPOSITION, nID, (LPCSTR)p);
    });
    return ok;
}

void CStyledMenu::SynchronizeItems() {
    GuardOperation(1581, [&] {
        GuardOperation(1579, [&] {
            for (INT_PTR i = 0; i < m_items.GetSize(); i++) m_items[i]->m_bInUse = FALSE;
        });
        CTypedPtrArray<CPtrArray, CStyledMenuItemData*> fresh;
        auto takeNew = [&]() -> CStyledMenuItemData* {
            CStyledMenuItemData* p = m_items[m_items.GetSize() - 1];
            m_items.RemoveAt(m_items.GetSize() - 1);
            return p;
        };
        for (int pos = 0;; pos++) {
            MENUITEMINFOA mii = {};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
            if (!::GetMenuItemInfoA(m_hMenu, pos, TRUE, &mii)) break;
            UINT state = ::GetMenuState(m_hMenu, pos, MF_BYPOSITION);
            if (state == 0xFFFFFFFF) break;
            // For a popup the high byte holds its item count, not flags.
            if (mii.hSubMenu) state &= 0xFF;
            bool bitmap = false;
            if (!(state & 0x2000)) {
                state = (state & ~0x4000u) | (mii.fType & 0x4000);
                if (state & MF_BITMAP) bitmap = true;
                state |= (mii.fType & 0x2000);
            } else if (state & MF_BITMAP) {
                bitmap = true;
            }
            CStyledMenuItemData* pEntry = nullptr;
            if (bitmap) {
                UINT_PTR id = mii.hSubMenu ? (UINT_PTR)mii.hSubMenu : mii.wID;
                pEntry = FindUnflagged(id);
                if (pEntry == nullptr) {
                    pEntry = new CStyledMenuItemData;
                    pEntry->m_nFlags = state;
                    pEntry->m_nID = id;
                }
            } else if (mii.hSubMenu) {
                HMENU hSub = mii.hSubMenu;
                CString text = MenuStringByPos(m_hMenu, pos);
                pEntry = FindUnflagged((UINT_PTR)hSub);
                if (pEntry) {
                    if (!text.IsEmpty()) pEntry->SetString(text);
                } else {
                    state &= ~0xA00u;
                    MakeOwnerDrawn(pos, state | 0x510, (UINT_PTR)hSub, text);
                    pEntry = takeNew();
                }
                if (CStyledMenu* pPopup = FromHandleStyled(hSub)) pPopup->m_hParentMenu = m_hMenu;
            } else {
                UINT flags = state | 0x500;
                if (state & MF_SEPARATOR) {
                    pEntry = FindUnflagged(0);
                    if (pEntry) {
                        pEntry->m_nFlags = flags;
                        ::ModifyMenuA(m_hMenu, pos, flags, 0, (LPCSTR)pEntry);
                    } else {
                        MakeOwnerDrawn(pos, flags, 0, CString());
                        pEntry = takeNew();
                    }
                } else {
                    UINT id = mii.wID;
                    CString text = MenuStringByPos(m_hMenu, pos);
                    pEntry = FindUnflagged(id);
                    if (pEntry) {
                        pEntry->m_nFlags = flags;
                        if (!text.IsEmpty()) pEntry->SetString(text);
                        ::ModifyMenuA(m_hMenu, pos, flags, id, (LPCSTR)pEntry);
                    } else {
                        MakeOwnerDrawn(pos, flags, id, text);
                        pEntry = takeNew();
                    }
                }
            }
            pEntry->m_bInUse = TRUE;
            fresh.Add(pEntry);
        }
        GuardOperation(1580, [&] {
            for (INT_PTR i = 0; i < m_items.GetSize(); i++) {
                bool kept = false;
                for (INT_PTR j = 0; j < fresh.GetSize() && !kept; j++) kept = fresh[j] == m_items[i];
                if (!kept) delete m_items[i];
            }
        });
        m_items.RemoveAll();
        for (INT_PTR j = 0; j < fresh.GetSize(); j++) m_items.Add(fresh[j]);
    });
}

BOOL CStyledMenu::AppendItem(LPCTSTR lpszText, UINT nFlags, UINT_PTR nID, CStyledMenuIcons* pIcons,
                             int nImage) {
    BOOL ok = FALSE;
    GuardOperation(1534, [&] {
        if (nID == 0)
            nFlags = (nFlags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
        else
            nFlags |= MF_OWNERDRAW;
        if (nFlags & MF_POPUP) {
            if (CStyledMenu* pPopup = FromHandleStyled((HMENU)nID)) pPopup->m_hParentMenu = m_hMenu;
        }
        CStyledMenuItemData* p = new CStyledMenuItemData;
        m_items.Add(p);
        if (nID != 0) p->SetString(lpszText);
        if (pIcons) pIcons->AddRef();
        if (p->m_pIcons) p->m_pIcons->Release();
        p->m_pIcons = pIcons;
        p->m_nFlags = nFlags;
        p->m_nID = nID;
        if (pIcons && nImage >= 0) {
            p->m_nImage = nImage;
            GrowImageSize(pIcons);
        } else {
            p->m_nImage = -1;
        }
        if (!::AppendMenuA(m_hMenu, nFlags & ~MF_OWNERDRAW, nID, lpszText)) return;
        int count = ::GetMenuItemCount(m_hMenu);
        ok = ::ModifyMenuA(m_hMenu, count - 1, nFlags | MF_BYPOSITION, nID, (LPCSTR)p);
    });
    return ok;
}

BOOL CStyledMenu::ModifyItem(LPCTSTR lpszText, UINT_PTR nID, CStyledMenuIcons* pIcons, int nImage) {
    BOOL result = FALSE;
    GuardOperation(1544, [&] {
        BOOL ok = TRUE;
        int pos = -1;
        CStyledMenu* pMenu = FindMenuOfCommand(nID, pos);
        CStyledMenuItemData* pEntry = nullptr;
        auto applyImage = [&](CStyledMenu* pHolder, CStyledMenuItemData* p) {
            if (pIcons) {
                pIcons->AddRef();
                if (p->m_pIcons) p->m_pIcons->Release();
                p->m_pIcons = pIcons;
                p->m_nImage = nImage;
                pHolder->GrowImageSize(pIcons);
            } else {
                p->m_nImage = -1;
            }
        };
        if (pMenu == nullptr) {
            pEntry = new CStyledMenuItemData;
            m_items.Add(pEntry);
            if (lpszText) pEntry->SetString(lpszText);
            applyImage(this, pEntry);
            pEntry->m_nFlags = MF_OWNERDRAW;
            pEntry->m_nID = nID;
            ok = FALSE;
        }
        CPtrArray menus;
        CDWordArray positions;
        while (pMenu != nullptr) {
            menus.Add(pMenu);
            positions.Add((DWORD)pos);
            if (pos < pMenu->m_items.GetSize()) {
                pEntry = pMenu->m_items[pos];
                BOOL textChanged = lpszText != nullptr && pEntry->m_strText != lpszText;
                if (textChanged) pEntry->SetString(lpszText);
                applyImage(pMenu, pEntry);
                pEntry->m_nFlags = (pEntry->m_nFlags & ~MF_BYPOSITION) | MF_OWNERDRAW;
                pEntry->m_nID = nID;
                if (textChanged) {
                    if (!::ModifyMenuA(pMenu->m_hMenu, pos,
                                       (pEntry->m_nFlags & ~MF_OWNERDRAW) | MF_BYPOSITION, nID, lpszText))
                        ok = FALSE;
                    if (!::ModifyMenuA(pMenu->m_hMenu, pos, pEntry->m_nFlags | MF_BYPOSITION, nID,
                                       (LPCSTR)pEntry))
                        ok = FALSE;
                }
            }
            pMenu = FindNextMenuOfCommand(nID, pos, menus, positions);
        }
        if (pEntry == nullptr ||
            !::ModifyMenuA(m_hMenu, (UINT)nID, (pEntry->m_nFlags & ~MF_BYPOSITION) | MF_BYCOMMAND, nID,
                           (LPCSTR)pEntry))
            ok = FALSE;
        result = ok;
    });
    return result;
}

BOOL CStyledMenu::LoadToolBar(UINT nToolBarID, HINSTANCE hModule) {
    BOOL ok = FALSE;
    GuardOperation(1559, [&] {
        CStyledMenuIcons* pSet = nullptr;
        GuardOperation(1555, [&] {
            pSet = CStyledMenuIcons::FindOrCreateToolBarSet(nToolBarID, hModule, m_crBitmapBack);
        });
        if (pSet == nullptr) return;
        GuardOperation(1550, [&] {
            for (INT_PTR i = pSet->m_ids.GetSize() - 1; i >= 0; i--)
                ModifyItem(nullptr, pSet->m_ids[i], pSet, (int)i * 3);
        });
        ok = TRUE;
    });
    return ok;
}

CStyledMenu* CStyledMenu::FindMenuOfCommand(UINT_PTR nID, int& nPos) {
    CPtrArray menus;
    CDWordArray positions;
    CStyledMenu* p = nullptr;
    GuardOperation(1563, [&] { p = FindNextMenuOfCommand(nID, nPos, menus, positions); });
    if (p == nullptr) nPos = -1;
    return p;
}

CStyledMenu* CStyledMenu::FindNextMenuOfCommand(UINT_PTR nID, int& nPos, CPtrArray& menus,
                                                CDWordArray& positions) {
    CStyledMenu* pFound = nullptr;
    GuardOperation(1562, [&] {
        nPos = -1;
        int count = ::GetMenuItemCount(m_hMenu);
        for (int i = 0; i < count && pFound == nullptr; i++) {
            HMENU hSub = ::GetSubMenu(m_hMenu, i);
            if (CStyledMenu* pSub = FromHandleStyled(hSub)) {
                int sub = -1;
                if (CStyledMenu* r = pSub->FindNextMenuOfCommand(nID, sub, menus, positions)) {
                    pFound = r;
                    nPos = sub;
                }
                continue;
            }
            if (::GetMenuItemID(m_hMenu, i) != (UINT)nID) continue;
            bool seen = false;
            for (INT_PTR k = 0; k < menus.GetSize() && !seen; k++)
                seen = menus[k] == this && positions[k] == (DWORD)i;
            if (!seen) {
                pFound = this;
                nPos = i;
            }
        }
    });
    if (pFound == nullptr) nPos = -1;
    return pFound;
}

CStyledMenuItemData* CStyledMenu::FindItemData(UINT_PTR nID) {
    CStyledMenuItemData* pFound = nullptr;
    GuardOperation(1561, [&] {
        for (INT_PTR i = 0; i < m_items.GetSize(); i++) {
            if (m_items[i]->m_nID == nID) {
                pFound = m_items[i];
                return;
            }
        }
        int pos = -1;
        CStyledMenu* pHolder = FindMenuOfCommand(nID, pos);
        if (pHolder && pHolder != this) pFound = pHolder->FindItemData(nID);
    });
    return pFound;
}

BOOL CStyledMenu::IsMenuBarItem(UINT_PTR nID) {
    BOOL bar = FALSE;
    GuardOperation(1527, [&] {
        if (FindItemData(nID)) {
            bar = IsMenuBar();
            return;
        }
        if (IsMenuBar()) {
            bar = TRUE;
            return;
        }
        CStyledMenu* pParent = FromHandleStyled(m_hParentMenu);
        bar = pParent != nullptr && !pParent->m_bPopup;
    });
    return bar;
}

void CStyledMenu::RecordMenuBarItemRect(HDC hDC, const RECT* pItem) {
    GuardOperation(1506, [&] {
        if (m_bPopup) return;
        HWND hWnd = ::WindowFromDC(hDC);
        RECT wr = {0, 0, 0, 0};
        if (hWnd) ::GetWindowRect(hWnd, &wr);
        m_rcMenuBarItem = *pItem;
        ::OffsetRect(&m_rcMenuBarItem, wr.left, wr.top);
    });
}

BOOL CStyledMenu::SwapCommand(UINT nOldID, UINT nNewID) {
    BOOL ok = FALSE;
    GuardOperation(1583, [&] {
        int pos = -1;
        CStyledMenu* pMenu = FindMenuOfCommand(nOldID, pos);
        if (pMenu == nullptr || pos >= pMenu->m_items.GetSize()) return;
        CStyledMenuItemData* p = pMenu->m_items[pos];
        p->m_nID = nNewID;
        ok =
            ::ModifyMenuA(pMenu->m_hMenu, pos, p->m_nFlags | MF_OWNERDRAW | MF_BYPOSITION, nNewID, (LPCSTR)p);
    });
    return ok;
}

BOOL CStyledMenu::MeasureMenuItem(const MSG* pMsg) {
    BOOL measured = FALSE;
    GuardOperation(1507, [&] {
        auto* pMIS = (MEASUREITEMSTRUCT*)pMsg->lParam;
        if (pMIS == nullptr || pMIS->CtlType != ODT_MENU) return;
        if (::IsMenu((HMENU)(UINT_PTR)pMIS->itemID)) {
            if (CStyledMenu* p = FromHandleStyled((HMENU)(UINT_PTR)pMIS->itemID)) {
                p->MeasureItem(pMIS);
                measured = TRUE;
                return;
            }
        }
        HWND hWnd = pMsg->hwnd;
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        HMENU holders[3] = {pState->m_hTrackingWindow == hWnd ? pState->m_hTrackingMenu : nullptr,
                            ::GetMenu(hWnd), ::GetSystemMenu(hWnd, FALSE)};
        for (HMENU h : holders) {
            if (h == nullptr) continue;
            if (CStyledMenu* p = FindMenuOfItem(h, pMIS->itemID, pMIS->itemData)) {
                p->MeasureItem(pMIS);
                measured = TRUE;
                return;
            }
        }
    });
    return measured;
}

void CStyledMenu::InitMenuPopup(HWND hWnd, CMenu* pPopup, UINT, BOOL) {
    GuardOperation(1582, [&] {
        HMENU hPopup = pPopup ? pPopup->m_hMenu : nullptr;
        CStyledMenuHook::s_hMenuOpening = hPopup;
        if (hPopup == nullptr || !::IsMenu(hPopup)) return;
        CStyledMenu* p = FromHandleStyled(hPopup);
        if (p == nullptr) return;
        p->m_hOwner = hWnd;
        p->OnInitMenuPopup();
        CStyledMenu* pParent = FromHandleStyled(p->m_hParentMenu);
        if (pParent == nullptr) return;
        if (++pParent->m_nOpenPopups == 1 && pParent->IsMenuBar() &&
            !::IsRectEmpty(&pParent->m_rcMenuBarItem)) {
            RECT rc = pParent->m_rcMenuBarItem;
            rc.right += 10;
            rc.bottom += 10;
            POINT org = {0, 0};
            ::ClientToScreen(hWnd, &org);
            ::OffsetRect(&rc, -org.x, -org.y);
            ::RedrawWindow(hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
    });
}

namespace {
CStyledMenu* SearchItem(HMENU hMenu, UINT_PTR nID, ULONG_PTR itemData) {
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(hMenu, i, TRUE, &mii)) continue;
        UINT_PTR id = mii.hSubMenu ? (UINT_PTR)mii.hSubMenu : mii.wID;
        if ((id == nID || mii.wID == (UINT)nID) && mii.dwItemData == itemData)
            return CStyledMenu::FromHandleStyled(hMenu);
        if (mii.hSubMenu) {
            if (CStyledMenu* p = SearchItem(mii.hSubMenu, nID, itemData)) return p;
        }
    }
    return nullptr;
}
}  // namespace

CStyledMenu* CStyledMenu::FindMenuOfItem(HMENU hMenu, UINT_PTR nID, ULONG_PTR itemData) {
    CStyledMenu* pFound = nullptr;
    GuardOperation(1509, [&] {
        if (!::IsMenu(hMenu) || CMenu::FromHandlePermanent(hMenu) == nullptr) return;
        GuardOperation(1510, [&] { pFound = SearchItem(hMenu, nID, itemData); });
    });
    return pFound;
}
