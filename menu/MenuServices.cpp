// Services on menu items for the rest of the application: icons, titles,
// item texts, check images, mnemonics and the redrawing of one menu-bar item.
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nID, LPCTSTR lpszText, int nIcon) {
    BOOL ok = FALSE;
    GuardOperation(1594, [&] {
        GuardOperation(1531, [&] {
            // An icon index without an image list gives no icon.
            CStyledMenuIcons* pIcons = nullptr;
            int index = -1;
            if (nIcon >= 0) pIcons = PlaceIcon(index, nID, nullptr, nIcon);
            CStyledMenuIconsHolder hold(pIcons);
            GuardOperation(1533, [&] { ok = AppendItem(lpszText, nFlags, nID, pIcons, index); });
        });
    });
    return ok;
}

CStyledMenuIcons* CStyledMenu::PlaceIcon(int& nIndex, UINT_PTR nID, CImageList* pList, int nImage) {
    CStyledMenuIcons* pSet = nullptr;
    nIndex = -1;
    GuardOperation(1551, [&] {
        if (pList == nullptr || pList->GetSafeHandle() == nullptr || nImage < 0) return;
        HICON icon = pList->ExtractIcon(nImage);
        if (icon == nullptr) return;
        pSet = PlaceIconHandle(nIndex, nID, icon);
        ::DestroyIcon(icon);
    });
    return pSet;
}

namespace {
// The first single-image set of the library's list that takes an image
// (`add` gives the image index or -1), else a new set that took it.
template <class Add>
CStyledMenuIcons* PlaceInSets(int& nIndex, COLORREF crMask, Add add) {
    CStyledMenuIcons* pSet = nullptr;
    auto*& list = CStyledMenuIcons::IconSetList();
    if (list) {
        for (POSITION pos = list->GetHeadPosition(); pos && pSet == nullptr;) {
            CStyledMenuIcons* p = list->GetNext(pos);
            if (!p->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps))) continue;
            int at = add(static_cast<CStyledMenuBitmaps*>(p));
            if (at >= 0) {
                pSet = p;
                nIndex = at;
            }
        }
    }
    if (pSet == nullptr) {
        auto* pNew = new CStyledMenuBitmaps;
        pNew->m_crMask = crMask;
        int at = add(pNew);
        if (at < 0) {
            delete pNew;
        } else {
            CStyledMenuIcons::AddToList(pNew);
            pSet = pNew;
            nIndex = at;
        }
    }
    return pSet;
}
}  // namespace

CStyledMenuIcons* CStyledMenu::PlaceIconHandle(int& nIndex, UINT_PTR nID, HICON hIcon) {
    nIndex = -1;
    return PlaceInSets(nIndex, m_crBitmapBack, [&](CStyledMenuBitmaps* p) { return p->AddIcon(hIcon, (UINT)nID); });
}

CStyledMenuIcons* CStyledMenu::PlaceBitmap(int& nIndex, UINT_PTR nID, UINT_PTR nImage) {
    CStyledMenuIcons* pSet = nullptr;
    nIndex = -1;
    GuardOperation(1552, [&] {
        if (m_bIconImages) {
            if (nImage != 0) pSet = PlaceIconHandle(nIndex, nID, (HICON)nImage);
            return;
        }
        pSet = PlaceInSets(nIndex, m_crBitmapBack, [&](CStyledMenuBitmaps* p) {
            return p->AddBitmapResource((UINT)nID, (UINT)nImage, nullptr);
        });
    });
    return pSet;
}

BOOL CStyledMenu::ModifyItemImage(LPCTSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex) {
    BOOL ok = FALSE;
    GuardOperation(1543, [&] {
        int index = -1;
        CStyledMenuIcons* pSet = PlaceIcon(index, nID, pImageList, nIndex);
        CStyledMenuIconsHolder hold(pSet);
        ok = ModifyItem(lpszText, nID, pSet, index);
    });
    return ok;
}

BOOL CStyledMenu::SetMenuTitle(LPCTSTR lpszText, UINT nFlags, int nIcon) {
    BOOL ok = FALSE;
    GuardOperation(1605, [&] {
        // The title's picture is a bitmap resource (an icon handle with the
        // icons switch), keyed in its set by its own id: a title has no command.
        CStyledMenuIcons* pSet = nullptr;
        int index = -1;
        if (nIcon != -1) pSet = PlaceBitmap(index, (UINT_PTR)(UINT)nIcon, (UINT_PTR)(UINT)nIcon);
        CStyledMenuIconsHolder hold(pSet);
        ok = SetTitleItem(lpszText, nFlags, pSet, index);
    });
    return ok;
}

BOOL CStyledMenu::SetTitleItem(LPCTSTR lpszText, UINT nFlags, CStyledMenuIcons* pIcons, int nIcon) {
    BOOL ok = FALSE;
    GuardOperation(1608, [&] {
        if (m_hMenu == nullptr || !::IsMenu(m_hMenu)) return;
        if (::GetMenuItemCount(m_hMenu) != m_items.GetSize()) SynchronizeItems();
        bool firstIsSeparator = m_items.GetSize() > 0 && (m_items[0]->m_nFlags & MF_SEPARATOR);
        if (!firstIsSeparator) {
            auto* pTitle = new CStyledMenuItemDataTitle;
            pTitle->m_nFlags = MF_SEPARATOR | MF_OWNERDRAW;
            m_items.InsertAt(0, pTitle);
            ::InsertMenuA(m_hMenu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::ModifyMenuA(m_hMenu, 0, MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW, 0, (LPCSTR)pTitle);
        }
        CStyledMenuItemData* pFirst = m_items[0];
        if (pIcons && nIcon >= 0) pIcons->AddRef();
        if (pFirst->m_pIcons) pFirst->m_pIcons->Release();
        pFirst->m_pIcons = (pIcons && nIcon >= 0) ? pIcons : nullptr;
        pFirst->m_nImage = (pIcons && nIcon >= 0) ? nIcon : -1;
        pFirst->SetString(lpszText);
        pFirst->m_nTitleFlags = nFlags | 1;
        if (m_items.GetSize() < 2) return;
        CStyledMenuItemData* pSecond = m_items[1];
        UINT want =
            (nFlags & 2) ? (pSecond->m_nFlags | MF_MENUBARBREAK) : (pSecond->m_nFlags & ~MF_MENUBARBREAK);
        if (want != pSecond->m_nFlags) {
            pSecond->m_nFlags = want;
            ::ModifyMenuA(m_hMenu, 1, (want & ~MF_BYCOMMAND) | MF_BYPOSITION | MF_OWNERDRAW, pSecond->m_nID,
                          (LPCSTR)pSecond);
        }
        ok = TRUE;
    });
    return ok;
}

BOOL CStyledMenu::GetItemText(UINT nItem, CString& rText, UINT nFlags) {
    BOOL found = FALSE;
    GuardOperation(1576, [&] {
        HACCEL accel = MenuShowsAcceleratorTexts() ? m_hAccel : nullptr;
        if (nFlags & MF_BYPOSITION) {
            if ((INT_PTR)nItem < m_items.GetSize()) {
                rText = m_items[nItem]->GetString(accel);
                found = TRUE;
            }
            return;
        }
        int pos = -1;
        CStyledMenu* pHolder = FindMenuOfCommand(nItem, pos);
        if (pHolder) found = pHolder->GetItemText((UINT)pos, rText, MF_BYPOSITION);
    });
    return found;
}

LRESULT CStyledMenu::FindMnemonic(UINT nChar) {
    LRESULT result = 0;
    GuardOperation(1586, [&] {
        char key[3] = {'&', (char)(UINT_PTR)::CharLowerA((LPSTR)(UINT_PTR)(BYTE)nChar), 0};
        if ((INT_PTR)::GetMenuItemCount(m_hMenu) != m_items.GetSize()) SynchronizeItems();
        for (INT_PTR i = 0; i < m_items.GetSize(); i++) {
            CString text;
            if (!GetItemText((UINT)i, text, MF_BYPOSITION)) continue;
            text.MakeLower();
            if (text.Find(key) >= 0) {
                result = MAKELRESULT(i & 0xFFFF, MNC_EXECUTE);
                return;
            }
        }
    });
    return result;
}

BOOL CStyledMenu::DrawCheckImage(CDC* pDC, const RECT& rect, HBITMAP hChecked, HBITMAP hUnchecked,
                                 UINT nState) {
    BOOL drawn = FALSE;
    GuardOperation(1589, [&] {
        bool checked = (nState & ODS_CHECKED) != 0;
        if (!checked && hUnchecked == nullptr) return;
        HDC dc = pDC->GetSafeHdc();
        RECT r = rect;
        ::InflateRect(&r, -1, -1);
        if (GetWinVersion() >= 2) ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        ::InflateRect(&r, 2, 2);
        auto drawBitmap = [&](HBITMAP h, UINT extra) {
            BITMAP bm = {};
            ::GetObjectA(h, sizeof(bm), &bm);
            int x = r.left + (r.right - r.left - bm.bmWidth) / 2,
                y = r.top + (r.bottom - r.top - bm.bmHeight) / 2;
            ::DrawStateA(dc, nullptr, nullptr, (LPARAM)h, 0, x, y, bm.bmWidth, bm.bmHeight,
                         DST_BITMAP | DSS_MONO | extra);
        };
        if (checked) {
            if (hChecked && hUnchecked) {
                drawBitmap(hChecked, 0);
            } else {
                RECT g = r;
                if (!hChecked) ::OffsetRect(&g, 1, 2);
                ::SetTextColor(dc, ::GetSysColor((nState & (ODS_GRAYED | ODS_INACTIVE)) ? COLOR_GRAYTEXT
                                                                                        : COLOR_MENUTEXT));
                DrawGlyph(pDC, g, hChecked ? 'i' : 'b', (nState & ODS_DEFAULT) != 0);
            }
        } else {
            drawBitmap(hUnchecked, (nState & (ODS_GRAYED | ODS_DISABLED)) ? DSS_DISABLED : 0);
        }
        drawn = TRUE;
    });
    return drawn;
}

BOOL CStyledMenu::DrawMenuBarItem(HWND hFrame, CStyledMenu* pMenu, int nPos, UINT nState) {
    BOOL ok = FALSE;
    GuardOperation(1448, [&] {
        if (nPos == -1 || pMenu == nullptr) return;
        RECT rc;
        if (!::GetMenuItemRect(hFrame, pMenu->m_hMenu, nPos, &rc)) return;
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(pMenu->m_hMenu, nPos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) return;
        ScopedWindowDC dc(hFrame, ScopedWindowDC::kWhole);
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        ScopedFont font(::CreateFontIndirectA(&ncm.lfMenuFont));
        ScopedSelect fontSelection(dc, font);
        RECT wr;
        ::GetWindowRect(hFrame, &wr);
        ::OffsetRect(&rc, -wr.left, -wr.top);
        if (CStyledMenuHook::s_bWine) {
            bool thick = (::GetWindowLongA(hFrame, GWL_STYLE) & WS_THICKFRAME) != 0;
            ::OffsetRect(&rc, ::GetSystemMetrics(thick ? SM_CXFRAME : SM_CXDLGFRAME),
                         ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYBORDER) +
                             ::GetSystemMetrics(thick ? SM_CYFRAME : SM_CYDLGFRAME));
        }
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemID = mii.hSubMenu ? (UINT)(UINT_PTR)mii.hSubMenu : mii.wID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = nState;
        dis.hwndItem = (HWND)pMenu->m_hMenu;
        dis.hDC = dc;
        dis.rcItem = rc;
        dis.itemData = mii.dwItemData;
        CStyledMenuHook::s_pMenuBarItemRedrawn = (void*)mii.dwItemData;
        POINT oldOrg;
        ::SetWindowOrgEx(dc, 0, 0, &oldOrg);
        ::SendMessageA(hFrame, WM_DRAWITEM, 0, (LPARAM)&dis);
        ::SetWindowOrgEx(dc, oldOrg.x, oldOrg.y, nullptr);
        fontSelection.Restore();
        ok = TRUE;
    });
    return ok;
}
