// Owner-drawn menus: conversion, item services, icon sets, looks, measuring and drawing.
#include <doctest.h>

#include "GuiSupport.h"
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"
#include "res/ResourceImages.h"
#include "tests/menu/MenuTestIds.h"

namespace {
bool IsOwnerDrawn(HMENU h, int pos, ULONG_PTR* pData = nullptr) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!GetMenuItemInfoA(h, pos, TRUE, &mii)) return false;
    if (pData) *pData = mii.dwItemData;
    return (mii.fType & MFT_OWNERDRAW) != 0;
}

int IconSetCount() {
    auto* list = CStyledMenuIcons::IconSetList();
    return list ? (int)list->GetCount() : 0;
}

// An image list of `count` solid squares of a size.
void MakeSquares(CImageList& list, int cx, int cy, int count) {
    list.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 0, 4);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < count; i++) {
        HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r = {0, 0, cx, cy};
        HBRUSH br = CreateSolidBrush(RGB(40 * i, 200, 40));
        FillRect(dc, &r, br);
        DeleteObject(br);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
        DeleteObject(bmp);
    }
    ReleaseDC(nullptr, screen);
}

// Measures and draws one item of a menu into a bitmap of the item's size.
struct ItemPicture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

ItemPicture DrawItemPicture(CStyledMenu& menu, int pos, UINT state, int width = 0) {
    CStyledMenuItemData* p = menu.m_items[pos];
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = (UINT)p->m_nID;
    mis.itemData = (ULONG_PTR)p;
    menu.MeasureItem(&mis);
    ItemPicture pic;
    pic.width = width ? width : (int)mis.itemWidth + 20;
    pic.height = (int)mis.itemHeight;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, pic.width, pic.height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = (UINT)p->m_nID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = (HWND)menu.m_hMenu;
    dis.hDC = dc;
    dis.rcItem = {0, 0, pic.width, pic.height};
    dis.itemData = (ULONG_PTR)p;
    menu.DrawItem(&dis);
    for (int y = 0; y < pic.height; y++)
        for (int x = 0; x < pic.width; x++) pic.pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return pic;
}

// An item drawn by a look's drawing routine itself, as a menu-bar item or a pop-up item.
ItemPicture DrawWithRoutine(CStyledMenu& menu, int pos, UINT state, MenuDrawRoutine draw, BOOL bar) {
    CStyledMenuItemData* p = menu.m_items[pos];
    ItemPicture pic;
    pic.width = 60;
    pic.height = 20;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, pic.width, pic.height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = (UINT)p->m_nID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = (HWND)menu.m_hMenu;
    dis.hDC = dc;
    dis.rcItem = {0, 0, pic.width, pic.height};
    dis.itemData = (ULONG_PTR)p;
    (menu.*draw)(&dis, bar);
    for (int y = 0; y < pic.height; y++)
        for (int x = 0; x < pic.width; x++) pic.pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return pic;
}

int CountDark(const ItemPicture& pic) {
    int n = 0;
    for (COLORREF c : pic.pixels)
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 150) n++;
    return n;
}
}  // namespace

TEST_CASE("loading a menu converts every item and builds one object per popup") {
    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_MENU));
    CHECK(menu.IsMenuBar());
    CHECK(menu.m_items.GetSize() == 3);
    CHECK(menu.m_subMenus.GetSize() == 3);
    HMENU hFile = GetSubMenu(menu.m_hMenu, 0);
    CStyledMenu* pFile = CStyledMenu::FromHandleStyled(hFile);
    REQUIRE(pFile != nullptr);
    CHECK(pFile->m_hParentMenu == menu.m_hMenu);
    CHECK(pFile->m_bPopup);
    HMENU hMore = GetSubMenu(hFile, 3);
    CStyledMenu* pMore = CStyledMenu::FromHandleStyled(hMore);
    REQUIRE(pMore != nullptr);
    CHECK(pMore->m_hParentMenu == hFile);

    for (int i = 0; i < GetMenuItemCount(hFile); i++) {
        ULONG_PTR data = 0;
        CHECK(IsOwnerDrawn(hFile, i, &data));
        CHECK(data == (ULONG_PTR)pFile->m_items[i]);
    }
    CHECK(pFile->m_items[0]->m_strText == "&New");
    CHECK(pFile->m_items[0]->m_nID == IDT_NEW);
    CHECK((pFile->m_items[2]->m_nFlags & MF_SEPARATOR) != 0);
    CHECK(pFile->m_items[3]->m_nID == (UINT_PTR)hMore);
    CHECK(pFile->m_items[3]->m_strText == "&More");

    // A second synchronisation of an unchanged menu reuses every entry.
    std::vector<CStyledMenuItemData*> before;
    for (INT_PTR i = 0; i < pFile->m_items.GetSize(); i++) before.push_back(pFile->m_items[i]);
    pFile->SynchronizeItems();
    REQUIRE(pFile->m_items.GetSize() == (INT_PTR)before.size());
    for (size_t i = 0; i < before.size(); i++) CHECK(pFile->m_items[i] == before[i]);

    // An item added behind the library's back gets an entry; a removed one loses it.
    ::AppendMenuA(hFile, MF_STRING, ID_ITEM_B, "Late");
    ::DeleteMenu(hFile, 0, MF_BYPOSITION);
    pFile->SynchronizeItems();
    CHECK(pFile->m_items.GetSize() == (INT_PTR)before.size());
    CHECK(pFile->m_items[pFile->m_items.GetSize() - 1]->m_strText == "Late");
    CHECK(pFile->FindItemData(IDT_NEW) == nullptr);

    // Searches over the tree.
    int pos = -1;
    CHECK(menu.FindMenuOfCommand(ID_ITEM_A, pos) == pMore);
    CHECK(pos == 0);
    CHECK(menu.FindItemData(ID_ITEM_A) == pMore->m_items[0]);
    CHECK(menu.FindMenuOfCommand(12345, pos) == nullptr);
    CHECK(pos == -1);
    CHECK(menu.IsMenuBarItem((UINT_PTR)hFile));
    CHECK_FALSE(pMore->IsMenuBarItem(ID_ITEM_A));

    // Destroying frees the tree; a never-loaded menu destroys nothing.
    CHECK(menu.DestroyMenu());
    CHECK(CStyledMenu::FromHandleStyled(hFile) == nullptr);
    CStyledMenu empty;
    CHECK_FALSE(empty.DestroyMenu());
}

TEST_CASE("item services: changing every occurrence, appending, titles and texts") {
    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_MENU));
    CHECK(menu.ModifyItem("Both", ID_TWICE, nullptr, -1));
    CStyledMenu* pFile = CStyledMenu::FromHandleStyled(GetSubMenu(menu.m_hMenu, 0));
    CStyledMenu* pMore = CStyledMenu::FromHandleStyled(GetSubMenu(pFile->m_hMenu, 3));
    CHECK(pFile->m_items[4]->m_strText == "Both");
    CHECK(pMore->m_items[1]->m_strText == "Both");
    CHECK(IsOwnerDrawn(pFile->m_hMenu, 4));
    CHECK(IsOwnerDrawn(pMore->m_hMenu, 1));
    CHECK_FALSE(menu.ModifyItem("Nowhere", 4242, nullptr, -1));

    CStyledMenu built;
    REQUIRE(built.CreatePopupMenu());
    CHECK(built.AppendMenu(0, ID_ITEM_A, "First"));
    CHECK(built.AppendMenu(0, 0, "ignored"));
    CHECK(built.AppendMenu(0, ID_ITEM_B, "Second", 3));  // no image list: no icon
    REQUIRE(built.m_items.GetSize() == 3);
    CHECK(built.m_items[1]->m_nFlags == (MF_SEPARATOR | MF_OWNERDRAW));
    CHECK(built.m_items[1]->m_strText.IsEmpty());
    CHECK(built.m_items[2]->m_nImage == -1);
    CHECK(IsOwnerDrawn(built.m_hMenu, 1));

    // A side title: item 0 is a new title entry and the second item starts a column.
    CHECK(built.SetMenuTitle(" ", 6));
    REQUIRE(built.m_items.GetSize() == 4);
    CHECK(built.m_items[0]->IsKindOf(RUNTIME_CLASS(CStyledMenuItemDataTitle)));
    CHECK(built.m_items[0]->m_nTitleFlags == 7);
    CHECK((GetMenuState(built.m_hMenu, 1, MF_BYPOSITION) & MF_MENUBARBREAK) != 0);
    CHECK(built.SetMenuTitle("Top", 0));
    CHECK(built.m_items.GetSize() == 4);
    CHECK((GetMenuState(built.m_hMenu, 1, MF_BYPOSITION) & MF_MENUBARBREAK) == 0);

    // A title with a picture: the bitmap resource lands in a single-image set; asked again, the
    // same set and image serve.
    CStyledMenu pictured;
    REQUIRE(pictured.CreatePopupMenu());
    CHECK(pictured.AppendMenu(0, ID_ITEM_A, "First"));
    CHECK(pictured.AppendMenu(0, ID_ITEM_B, "Second"));
    CHECK(pictured.SetMenuTitle("Tags", 0, IDB_TAG_USED));
    CStyledMenuItemData* pTitle = pictured.m_items[0];
    REQUIRE(pTitle->m_pIcons != nullptr);
    CHECK(pTitle->m_pIcons->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps)));
    CHECK(pTitle->m_nImage >= 0);
    CHECK(pTitle->m_pIcons->GetIconSize() == CSize(11, 11));
    CStyledMenuIcons* pTitleSet = pTitle->m_pIcons;
    const int titleImage = pTitle->m_nImage;
    CHECK(pictured.SetMenuTitle("Tags", 0, IDB_TAG_USED));
    CHECK(pTitle->m_pIcons == pTitleSet);
    CHECK(pTitle->m_nImage == titleImage);
    CHECK(pictured.SetMenuTitle("Tags", 0, IDB_TAG_UNUSED));
    CHECK(pTitle->m_nImage != titleImage);
    CHECK(pictured.SetMenuTitle("Plain", 0));
    CHECK(pTitle->m_pIcons == nullptr);
    CHECK(pTitle->m_nImage == -1);

    CStyledMenu single;
    REQUIRE(single.CreatePopupMenu());
    CHECK(single.AppendMenu(0, 0, nullptr));
    CHECK_FALSE(single.SetMenuTitle("T", 0));  // the separator became the title, but there is no second item
    CHECK(single.m_items[0]->m_nTitleFlags == 1);

    // Item texts with the shortcuts of an accelerator table.
    HACCEL accel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_ACCEL));
    REQUIRE(accel != nullptr);
    CStyledMenuItemData item;
    item.m_strText = "&New";
    item.m_nID = IDT_NEW;
    CString newText = item.GetString(accel);
    CHECK(newText.Left(5) == "&New\t");
    CHECK(newText.Find("Ctrl+") == 5);
    item.m_strText = "&Open";
    item.m_nID = IDT_OPEN;
    CString openText = item.GetString(accel);
    CHECK(openText.Find(", Shift+Ins") > 0);
    // The editing keys carry the names Windows gives them, not the X key symbols.
    item.m_strText = "Delete Object";
    item.m_nID = ID_ITEM_B;
    CHECK(item.GetString(accel) == "Delete Object\tDel");
    item.m_strText = "Cut\tCtrl+X";
    CHECK(item.GetString(nullptr) == "Cut");
    CHECK(item.GetString(accel) == "Cut\tCtrl+X");
    DestroyAcceleratorTable(accel);

    CString text;
    menu.m_hAccel = nullptr;
    CHECK(menu.GetItemText(ID_ITEM_A, text, MF_BYCOMMAND));
    CHECK(text == "Item &A");
}

TEST_CASE("icon sets: tool-bar sets are shared, single images grow the menu") {
    int setsBefore = IconSetCount();
    {
        CStyledMenu a, b;
        REQUIRE(a.LoadMenu(IDR_TEST_CONTEXT));
        REQUIRE(b.LoadMenu(IDR_TEST_CONTEXT));
        CHECK(a.LoadToolBar(IDR_MENU_TOOLBAR));
        CHECK(b.LoadToolBar(IDR_MENU_TOOLBAR));
        CHECK(IconSetCount() == setsBefore + 1);
        CStyledMenuItemData* pNew = a.FindItemData(IDT_NEW);
        REQUIRE(pNew != nullptr);
        REQUIRE(pNew->m_pIcons != nullptr);
        CStyledMenuIcons* pSet = pNew->m_pIcons;
        CHECK(pSet == b.FindItemData(IDT_NEW)->m_pIcons);
        CHECK(pSet->m_ids.GetSize() == 13);  // 18 buttons, 5 separators
        CHECK(pSet->m_imageList.GetImageCount() == 39);
        CHECK(pNew->m_nImage == 0);
        CHECK(pSet->FindImage(57634) == 12);  // the fifth button
        CHECK(a.FindItemData(IDT_SAVE)->m_nImage == 6);
        CHECK(a.m_nImageWidth == 16);
        CHECK(a.m_nImageHeight == 16);
    }
    CHECK(IconSetCount() == setsBefore);  // the last reference deleted the set

    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CStyledMenu* pPopup = CStyledMenu::FromHandleStyled(GetSubMenu(menu.m_hMenu, 0));
    CImageList small, big;
    MakeSquares(small, 16, 15, 3);
    MakeSquares(big, 20, 20, 2);
    CHECK(pPopup->ModifyItemImage(nullptr, IDT_OPEN, &small, 1));
    CStyledMenuItemData* pOpen = pPopup->FindItemData(IDT_OPEN);
    CStyledMenuIcons* pFirstSet = pOpen->m_pIcons;
    int firstIndex = pOpen->m_nImage;
    REQUIRE(pFirstSet != nullptr);
    CHECK(pFirstSet->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps)));
    CHECK(pPopup->m_nImageWidth == 16);
    CHECK(pPopup->m_nImageHeight == 15);
    // The same command again: same set, same index, image replaced.
    CHECK(pPopup->ModifyItemImage(nullptr, IDT_OPEN, &small, 2));
    CHECK(pOpen->m_pIcons == pFirstSet);
    CHECK(pOpen->m_nImage == firstIndex);
    // A bigger image goes to a new set and grows the menu.
    CHECK(pPopup->ModifyItemImage(nullptr, IDT_SAVE, &big, 0));
    CStyledMenuItemData* pSave = pPopup->FindItemData(IDT_SAVE);
    CHECK(pSave->m_pIcons != pFirstSet);
    CHECK(pPopup->m_nImageWidth == 20);
    CHECK(pPopup->m_nImageHeight == 20);
    CHECK(pPopup->ModifyItemImage(nullptr, IDT_NEW, &small, 0));
    CHECK(pPopup->m_nImageWidth == 20);

    // The shadow image is darker than the normal one.
    HICON normal = pFirstSet->m_imageList.ExtractIcon(firstIndex);
    HICON shadow = pFirstSet->m_imageList.ExtractIcon(firstIndex + 1);
    ICONINFO ni = {}, si = {};
    GetIconInfo(normal, &ni);
    GetIconInfo(shadow, &si);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ni.hbmColor);
    COLORREF n = GetPixel(dc, 5, 5);
    SelectObject(dc, si.hbmColor);
    COLORREF s = GetPixel(dc, 5, 5);
    SelectObject(dc, old);
    DeleteDC(dc);
    CHECK(s == DarkenColor(kMenuShadowDepth, n));
    DeleteObject(ni.hbmColor);
    DeleteObject(ni.hbmMask);
    DeleteObject(si.hbmColor);
    DeleteObject(si.hbmMask);
    DestroyIcon(normal);
    DestroyIcon(shadow);
}

TEST_CASE("selecting the look") {
    int start = CStyledMenuHook::s_pCurrentTheme->m_nStyle;
    if (CStyledMenuHook::s_bWine) {
        CHECK(CStyledMenu::SetMenuStyle(2) == start);
        CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 3);
        CHECK(CStyledMenu::SetMenuStyle(0) == 3);
        CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 1);
    } else {
        CHECK(CStyledMenu::SetMenuStyle(2) == start);
        CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 2);
    }
    CHECK(CStyledMenu::SetMenuStyle(11) >= 0);
    CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 11);
    CHECK(CStyledMenu::SetMenuStyle(12) == -1);
    CHECK(CStyledMenuHook::s_pCurrentTheme->m_nStyle == 11);
    CStyledMenu::SetMenuStyle(2);
}

TEST_CASE("measuring and drawing items in every look") {
    CStyledMenu::SetMenuStyle(2);
    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CStyledMenu* pPopup = CStyledMenu::FromHandleStyled(GetSubMenu(menu.m_hMenu, 0));
    pPopup->m_hAccel = nullptr;

    auto measure = [&](CStyledMenu& m, int pos, BOOL bar) {
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = ODT_MENU;
        mis.itemID = (UINT)m.m_items[pos]->m_nID;
        mis.itemData = (ULONG_PTR)m.m_items[pos];
        m.MeasureItem_LookXP(&mis, bar);
        return mis;
    };
    MEASUREITEMSTRUCT sep = measure(*pPopup, 2, FALSE);
    CHECK(sep.itemWidth == 3);
    CHECK(sep.itemHeight == 3);
    // Every one of the twelve looks, made current directly (under Wine the style switch takes the
    // look without a border in place of each bordered one), draws into a bitmap.
    CMenuTheme* const before = CStyledMenuHook::s_pCurrentTheme;
    std::vector<ItemPicture> selectedByStyle;
    for (UINT style = 0; style < 12; style++) {
        CAPTURE(style);
        CMenuTheme* theme = CStyledMenuHook::FindTheme(style);
        REQUIRE(theme != nullptr);
        CStyledMenuHook::s_pCurrentTheme = theme;
        CHECK(GetCurrentStyle() == (int)style);
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = ODT_MENU;
        mis.itemData = (ULONG_PTR)pPopup->m_items[2];
        pPopup->MeasureItem(&mis);
        CHECK(mis.itemWidth == 3);
        CHECK(mis.itemHeight == 3);
        // A normal and a selected item, drawn without failing: the label's ink, and a selection
        // that shows.
        KvMessageBoxCapture boxes;
        ItemPicture normal = DrawItemPicture(*pPopup, 0, 0);
        ItemPicture selected = DrawItemPicture(*pPopup, 0, ODS_SELECTED);
        CHECK(boxes.Boxes().empty());
        CHECK(CountDark(normal) > 5);
        CHECK(normal.pixels != selected.pixels);
        selectedByStyle.push_back(selected);
    }
    CStyledMenuHook::s_pCurrentTheme = before;
    // Four drawing routines (the first looks of their groups: 0, 2, 6 and 8) draw four different
    // selected pop-up items; look 4 draws pop-up items as look 0 does and differs on the menu bar.
    const UINT firsts[] = {0, 2, 6, 8};
    for (UINT a : firsts)
        for (UINT b : firsts)
            if (a < b) {
                CAPTURE(a);
                CAPTURE(b);
                CHECK(selectedByStyle[a].pixels != selectedByStyle[b].pixels);
            }
    CHECK(selectedByStyle[4].pixels == selectedByStyle[0].pixels);
    {
        CStyledMenu bar;
        REQUIRE(bar.LoadMenu(IDR_TEST_MENU));
        ItemPicture look0 =
            DrawWithRoutine(bar, 0, ODS_HOTLIGHT, CStyledMenuHook::FindTheme(0)->m_pfnDraw, TRUE);
        ItemPicture look4 =
            DrawWithRoutine(bar, 0, ODS_HOTLIGHT, CStyledMenuHook::FindTheme(4)->m_pfnDraw, TRUE);
        CHECK(CountDark(look0) > 5);
        CHECK(look0.pixels != look4.pixels);
    }
    CStyledMenu::SetMenuStyle(2);

    UINT w16 = measure(*pPopup, 0, FALSE).itemWidth;
    pPopup->SetIconSize(19, 15);
    UINT w19 = measure(*pPopup, 0, FALSE).itemWidth;
    CHECK(w19 == w16 + 3 + 10);
    pPopup->SetIconSize(16, 15);

    // A menu-bar item keeps one padding, however often it is measured.
    CStyledMenu bar;
    REQUIRE(bar.LoadMenu(IDR_TEST_MENU));
    measure(bar, 0, TRUE);
    CString once = bar.m_items[0]->m_strText;
    measure(bar, 0, TRUE);
    CHECK(bar.m_items[0]->m_strText == once);
    CHECK(once.Left(3) == "  &");

    // The XP look: theme background, raised frame on the selected item, grey separator line.
    ItemPicture normal = DrawItemPicture(*pPopup, 0, 0);
    ItemPicture selected = DrawItemPicture(*pPopup, 0, ODS_SELECTED);
    ItemPicture line = DrawItemPicture(*pPopup, 2, 0, 60);
    CHECK(normal.At(1, 1) == RGB(185, 185, 185));
    CHECK(selected.At(0, 0) == GetSysColor(COLOR_3DHIGHLIGHT));
    CHECK(selected.At(selected.width - 1, selected.height - 1) == GetSysColor(COLOR_3DDKSHADOW));
    CHECK(line.At(30, line.height / 2) == GetSysColor(COLOR_GRAYTEXT));
    CHECK(line.At(30, 0) == RGB(185, 185, 185));

    // "Paste Object" reads "Paste Image" only while the clipboard holds a picture.
    REQUIRE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ItemPicture pasteObject = DrawItemPicture(*pPopup, 4, 0, 140);
    REQUIRE(OpenClipboard(nullptr));
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4);
    auto* bih = (BITMAPINFOHEADER*)GlobalLock(dib);
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = bih->biHeight = 1;
    bih->biPlanes = 1;
    bih->biBitCount = 24;
    GlobalUnlock(dib);
    SetClipboardData(CF_DIB, dib);
    CloseClipboard();
    ItemPicture pasteImage = DrawItemPicture(*pPopup, 4, 0, 140);
    CHECK(pasteObject.pixels != pasteImage.pixels);
    REQUIRE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    // What it reads is exactly "Paste Image": the item named so draws the same picture.
    const CString named = pPopup->m_items[4]->m_strText;
    REQUIRE(named.Find("Paste Object") >= 0);
    CString renamed = named;
    renamed.Replace("Paste Object", "Paste Image");
    pPopup->m_items[4]->m_strText = renamed;
    ItemPicture reference = DrawItemPicture(*pPopup, 4, 0, 140);
    pPopup->m_items[4]->m_strText = named;
    CHECK(pasteImage.pixels == reference.pixels);
    ItemPicture pasteAgain = DrawItemPicture(*pPopup, 4, 0, 140);
    CHECK(pasteObject.pixels == pasteAgain.pixels);
}

TEST_CASE("the classic and gradient looks draw an item's own check bitmaps") {
    CStyledMenu menu;
    REQUIRE(menu.CreatePopupMenu());
    REQUIRE(menu.AppendMenu(0, ID_ITEM_A, "Tagged"));
    REQUIRE(menu.AppendMenu(0, ID_ITEM_B, "Plain"));
    menu.m_hAccel = nullptr;
    HINSTANCE module = GetModuleHandleA(nullptr);
    ScopedBitmap used(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_TAG_USED)));
    ScopedBitmap unused(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_TAG_UNUSED)));
    REQUIRE(used.Get() != nullptr);
    REQUIRE(unused.Get() != nullptr);
    REQUIRE(SetMenuItemBitmaps(menu.m_hMenu, ID_ITEM_A, MF_BYCOMMAND, unused.Get(), used.Get()));
    CMenuTheme* const before = CStyledMenuHook::s_pCurrentTheme;
    for (UINT style : {0u, 1u, 4u, 5u, 6u, 7u}) {
        CAPTURE(style);
        CStyledMenuHook::s_pCurrentTheme = CStyledMenuHook::FindTheme(style);
        // Unchecked: the item with an unchecked-state bitmap shows it in its image column, the
        // item without one shows nothing there.
        ItemPicture tagged = DrawItemPicture(menu, 0, 0, 120);
        ItemPicture plain = DrawItemPicture(menu, 1, 0, 120);
        int differing = 0;
        for (int y = 0; y < tagged.height; y++)
            for (int x = 0; x < menu.m_nImageWidth + 6; x++)
                if (tagged.At(x, y) != plain.At(x, y)) differing++;
        CHECK(differing > 10);
        // Checked without bitmaps: the check glyph.
        ItemPicture checkedPlain = DrawItemPicture(menu, 1, ODS_CHECKED, 120);
        CHECK(checkedPlain.pixels != plain.pixels);
    }
    CStyledMenuHook::s_pCurrentTheme = before;
}

namespace {
struct CountingIcons : CStyledMenuIcons {
    int refreshes = 0;
    BOOL RefreshImages() override {
        refreshes++;
        return TRUE;
    }
};
}  // namespace

TEST_CASE("icon sets after colour changes and from other modules") {
    auto* pCounting = new CountingIcons;
    pCounting->AddRef();
    CStyledMenuIcons::AddToList(pCounting);
    // Refreshes are at least 2000 ms apart: wait for one, then for the next.
    DWORD calledAt = 0;
    auto refreshed = [&](int count) {
        return kvtest::PumpUntil(
            [&] {
                calledAt = GetTickCount();
                CStyledMenuIcons::RefreshIconSets();
                return pCounting->refreshes == count;
            },
            10000);
    };
    REQUIRE(refreshed(1));
    const DWORD firstNoEarlierThan = calledAt;
    CStyledMenuIcons::RefreshIconSets();  // at once again: nothing
    CHECK(pCounting->refreshes == 1);
    REQUIRE(refreshed(2));
    CHECK(GetTickCount() - firstNoEarlierThan >= 2000);
    CHECK(pCounting->Release() == 0);  // leaves the list and is deleted

    // A tool bar missing from the given module is taken from the program's resources.
    HINSTANCE other = GetModuleHandleA("user32.dll");
    CStyledMenuIcons* pSet = CStyledMenuIcons::FindOrCreateToolBarSet(IDR_MENU_TOOLBAR, other, 0xFF000000);
    REQUIRE(pSet != nullptr);
    CHECK(pSet->m_ids.GetSize() == 13);
    CHECK(pSet->MatchResource(MAKEINTRESOURCE(IDR_MENU_TOOLBAR), other));
    CHECK(CStyledMenuIcons::FindOrCreateToolBarSet(IDR_MENU_TOOLBAR, other, 0xFF000000) == pSet);
    CHECK(pSet->FindImage(57664) == 36);
    CHECK(pSet->FindImage(4711) == -1);
    pSet->AddRef();
    pSet->Release();
}

TEST_CASE("the application's relabelling and the startup-design mark") {
    CStyledMenu::SetMenuStyle(2);
    CStyledMenu menu;
    REQUIRE(menu.CreatePopupMenu());
    menu.m_hAccel = nullptr;
    REQUIRE(menu.AppendMenu(0, 33006, "Cut Object"));
    REQUIRE(menu.AppendMenu(0, 32845, "Save As Startup Design"));
    MenuApplicationQueries saved = g_menuAppQueries;

    g_menuAppQueries = MenuApplicationQueries();
    ItemPicture cutObject = DrawItemPicture(menu, 0, 0, 160);
    ItemPicture plainSave = DrawItemPicture(menu, 1, 0, 200);
    g_menuAppQueries.selectionIsImage = [] { return true; };
    g_menuAppQueries.savedAsStartup = [] { return true; };
    ItemPicture cutImage = DrawItemPicture(menu, 0, 0, 160);
    ItemPicture markedSave = DrawItemPicture(menu, 1, 0, 200);
    g_menuAppQueries = saved;

    CHECK(cutObject.pixels != cutImage.pixels);
    // The mark sits in the 22 pixels at the right edge; the rest is unchanged.
    bool rightChanged = false, leftChanged = false;
    for (int y = 0; y < plainSave.height; y++)
        for (int x = 0; x < plainSave.width; x++) {
            if (plainSave.At(x, y) == markedSave.At(x, y)) continue;
            (x >= plainSave.width - 22 ? rightChanged : leftChanged) = true;
        }
    CHECK(rightChanged);
    CHECK_FALSE(leftChanged);
}
