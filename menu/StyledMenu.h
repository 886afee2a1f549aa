// CStyledMenu: a menu whose items are all owner-drawn. Each item carries a
// CStyledMenuItemData; the current look (MenuTheme.h) measures and draws
// the items; images come from shared icon sets (MenuIcons.h).
#pragma once

#include "framework/DocView.h"
#include "menu/MenuIcons.h"

class CStyledMenuItemData : public CObject {
    DECLARE_DYNAMIC(CStyledMenuItemData)
public:
    CStyledMenuItemData() = default;
    ~CStyledMenuItemData() override;
    // The text with its shortcut part (hAccel: -1 the main frame's table, 0 none).
    virtual CString GetString(HACCEL hAccel);
    virtual void SetString(LPCTSTR lpsz);

    CString m_strText;
    UINT m_nTitleFlags = 0;
    UINT m_nFlags = 0;
    UINT_PTR m_nID = 0;
    BOOL m_bInUse = FALSE;
    CStyledMenuIcons* m_pIcons = nullptr;
    int m_nImage = -1;
};

class CStyledMenuItemDataTitle : public CStyledMenuItemData {
    DECLARE_DYNAMIC(CStyledMenuItemDataTitle)
public:
    COLORREF m_crBackground = 0xFF000000;
    COLORREF m_crGradientStart = 0xFF000000;
    COLORREF m_crText = 0xFF000000;
    CFont m_font;
};

class CStyledMenu : public CMenu {
    DECLARE_DYNAMIC(CStyledMenu)
public:
    explicit CStyledMenu(HMENU hParent = nullptr);
    ~CStyledMenu() override;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    virtual BOOL LoadMenu(UINT nID);
    virtual BOOL LoadMenu(LPCTSTR lpszName);
    virtual BOOL LoadMenu(HMENU hMenu);
    virtual BOOL DestroyMenu();
    virtual void DrawMenuTitle(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    virtual BOOL EraseBkgnd(HWND hWnd, HDC hDC);
    virtual void OnInitMenuPopup();
    virtual BOOL OnUnInitMenuPopup();

    CMenu* GetSubMenu(int nPos) const;
    void SetIconSize(int cx, int cy);
    BOOL AppendItem(LPCTSTR lpszText, UINT nFlags, UINT_PTR nID, CStyledMenuIcons* pIcons, int nImage);
    BOOL ModifyItem(LPCTSTR lpszText, UINT_PTR nID, CStyledMenuIcons* pIcons, int nImage);
    BOOL LoadToolBar(UINT nToolBarID, HINSTANCE hModule = nullptr);
    CStyledMenu* FindMenuOfCommand(UINT_PTR nID, int& nPos);
    CStyledMenu* FindNextMenuOfCommand(UINT_PTR nID, int& nPos, CPtrArray& menus, CDWordArray& positions);
    CStyledMenuItemData* FindItemData(UINT_PTR nID);
    BOOL IsMenuBarItem(UINT_PTR nID);
    void RecordMenuBarItemRect(HDC hDC, const RECT* pItem);
    BOOL SwapCommand(UINT nOldID, UINT nNewID);
    void SynchronizeItems();
    BOOL IsMenuBar() const { return m_hParentMenu == nullptr && !m_bPopup; }

    static int SetMenuStyle(UINT nStyle);
    static BOOL MeasureMenuItem(const MSG* pMsg);
    static void InitMenuPopup(HWND hWnd, CMenu* pPopup, UINT nIndex, BOOL bSysMenu);
    static CStyledMenu* FindMenuOfItem(HMENU hMenu, UINT_PTR nID, ULONG_PTR itemData);
    static CStyledMenu* FromHandleStyled(HMENU hMenu);

    // ---- public services ----
    BOOL AppendMenu(UINT nFlags, UINT_PTR nID, LPCTSTR lpszText, int nIcon = -1);
    BOOL ModifyItemImage(LPCTSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL SetMenuTitle(LPCTSTR lpszText, UINT nFlags, int nIcon = -1);
    // The text of an item by position (MF_BYPOSITION) or command, shortcut included.
    BOOL GetItemText(UINT nItem, CString& rText, UINT nFlags);
    // The mnemonic search of WM_MENUCHAR: MNC_EXECUTE with the position, or 0.
    LRESULT FindMnemonic(UINT nChar);
    // Draws one menu-bar item of a frame in a given state through WM_DRAWITEM.
    static BOOL DrawMenuBarItem(HWND hFrame, CStyledMenu* pMenu, int nPos, UINT nState);
    BOOL DrawCheckImage(CDC* pDC, const RECT& rect, HBITMAP hChecked, HBITMAP hUnchecked, UINT nState);

    // ---- measuring and drawing of the looks ----
    void MeasureItem_Look0(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar);
    void MeasureItem_Look6(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar);
    void MeasureItem_LookXP(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar);
    void DrawItem_Look0(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);
    void DrawItem_Look4(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);
    void DrawItem_Look6(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);
    void DrawItem_LookXP(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);
    void DrawItem_Look2003(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);
    void DrawTitle(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar);

    static void DrawRotatedText(HDC hDC, LPCTSTR lpsz, int nLen, RECT* pRect, UINT nFormat);
    static void DrawGlyph(CDC* pDC, const RECT& rect, char ch, BOOL bold);
    static void DrawGradient(CDC* pDC, const RECT& rect, COLORREF crStart, COLORREF crEnd, BOOL bHorizontal,
                             BOOL bNearest);
    static void DrawSystemGlyph(CDC* pDC, RECT rect, UINT nID, UINT nState, int nImageHeight, int variant);
    // The library's menu font (the system's menu font).
    static CFont* MenuFont();

    CTypedPtrArray<CPtrArray, CStyledMenuItemData*> m_items;
    CTypedPtrArray<CPtrArray, HMENU> m_subMenus;
    int m_nImageWidth = 16;
    int m_nImageHeight = 15;
    HWND m_hOwner = nullptr;
    COLORREF m_crBitmapBack = 0xFF000000;
    CStyledMenuIcons* m_pMenuIcons = nullptr;
    BOOL m_bIconsBorrowed = FALSE;
    int m_nSelectedCheck = -1;
    int m_nCheck = -1;
    BOOL m_bIconImages = FALSE;
    HMENU m_hParentMenu;
    BOOL m_bPopup = TRUE;
    RECT m_rcMenuBarItem = {0, 0, 0, 0};
    int m_nOpenPopups = 0;
    HACCEL m_hAccel = (HACCEL)-1;

private:
    CStyledMenuItemData* FindUnflagged(UINT_PTR nID);
    BOOL MakeOwnerDrawn(int nPos, UINT nFlags, UINT_PTR nID, const CString& text);
    CStyledMenuIcons* PlaceIcon(int& nIndex, UINT_PTR nID, CImageList* pList, int nImage);
    // Offers an icon to the single-image sets, else starts a new set with it.
    CStyledMenuIcons* PlaceIconHandle(int& nIndex, UINT_PTR nID, HICON hIcon);
    // A bitmap resource id (an icon handle when m_bIconImages is set) placed
    // in a single-image set for a command.
    CStyledMenuIcons* PlaceBitmap(int& nIndex, UINT_PTR nID, UINT_PTR nImage);
    BOOL SetTitleItem(LPCTSTR lpszText, UINT nFlags, CStyledMenuIcons* pIcons, int nIcon);
    void GrowImageSize(CStyledMenuIcons* pIcons);
};

// What the menu drawing asks of the application (the view and its design);
// the application shell sets these. Unset, nothing is relabelled.
struct MenuApplicationQueries {
    // The first selected object of the current design is an image.
    bool (*selectionIsImage)() = nullptr;
    // The current design is the saved startup design.
    bool (*savedAsStartup)() = nullptr;
    // The application's menu image list (the shared theme resources).
    CImageList* (*menuImageList)() = nullptr;
};
extern MenuApplicationQueries g_menuAppQueries;
