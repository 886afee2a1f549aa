// CButtonMenu: the drop-down option button of the formatting bar. An owner-drawn icon button
// that shows its current option (icon, and the text when captions are on) with a small arrow;
// a click drops an owner-drawn menu of all options with a radio check on the current one, and
// the chosen option becomes current before its command goes to the parent.
#pragma once

#include "bars/OptionItems.h"
#include "controls/IconButton.h"
#include "menu/StyledMenu.h"

class CButtonMenu : public CIconButton {
    DECLARE_DYNAMIC(CButtonMenu)
public:
    CButtonMenu();
    ~CButtonMenu() override;

    BYTE m_bShowCaption = 0;
    CImageList* m_pImageList = nullptr;
    CStringArray m_texts;
    CWordArray m_ids;
    CWordArray m_icons;
    int m_bMenuBuilt = 0;
    // The menu opens once an option was made current (it is built then, on first opening).
    BYTE m_bMenuOffered = 0;
    CStyledMenu m_menu;
    int m_currentItem = -1;
    BYTE m_bSkipNextOpen = 0;
    BYTE m_bMenuOpen = 0;

    void AddItem(LPCTSTR text, UINT id, int icon);
    // Replaces the items by a list of the formatting bar.
    void SetItems(const OptionList& list);
    void RemoveAllItems();
    int GetItemCount() const { return static_cast<int>(m_texts.GetSize()); }
    UINT GetCurrentId() const;
    CString GetCurrentText() const;
    void SetCurrentItem(int index);
    void SetCurrentItemById(UINT id);
    void SetCurrentItemByText(LPCTSTR text);
    void ShowMenu();

    // The width the menu is assumed to take, by the text of its first item.
    static int MenuWidthFor(const CString& firstText);
    // Where the menu drops for a button with that screen rectangle, the menu's width and the
    // right edge of the desktop work area.
    static POINT MenuPosition(const RECT& buttonScreen, int menuWidth, int workAreaRight);

    // The caption keeps clear of the arrow at the right edge.
    void DrawCaption(CDC* dc, const CString& caption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                     BOOL disabled) override;

    void OnPaint();
    void OnLButtonUp(UINT flags, CPoint point);
    void OnDestroy();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    // The button draws its own picture: the one handed to the system's button is only kept here.
    LRESULT OnSetImage(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetImage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

protected:
    BOOL BuildMenu();
    void DrawArrow(HDC dc);
    // The icon the button shows now (extracted from the image list; the button owns it).
    HICON m_currentIcon = nullptr;
    // The picture last handed to the button as to a system button (BM_SETIMAGE).
    HANDLE m_systemImage = nullptr;
};
