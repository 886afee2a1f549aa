// The formatting bar's font name and size boxes. CComboFont lists the installed font families,
// each drawn in its own face, with the four most recently applied names repeated at the top;
// CComboFontSize lists "AutoFit" and the point sizes. Choosing, or typing and pressing Enter,
// applies the name or size to the selection as one undo step and hands the keyboard back to the
// canvas.
#pragma once

#include <objidl.h>
#include <gdiplus.h>

#include "controls/AeroComboBox.h"

class CComboFont : public AeroComboBox {
    DECLARE_DYNAMIC(CComboFont)
public:
    CComboFont() = default;
    ~CComboFont() override;

    int m_maxDropWidth = 400;
    CStringArray m_recentFonts;

    // Fills the list with the installed families. Enumerating them and measuring every entry in
    // its own face is slow under Wine, so the bar leaves the list empty while the frame starts:
    // EnsureFontList fills it once, when the application is first idle after showing the frame
    // or earlier when the box or a caller first needs the entries.
    void FillFontList();
    void EnsureFontList();
    bool IsFontListFilled() const { return m_fontListFilled; }
    static void GetInstalledFontNames(CStringArray& names);

    // Applies the selected (or typed) name to the selection.
    void ApplyFontName();
    // Moves a name to the head of the recent names and of the list.
    void RememberRecentFont(const CString& name);
    // The index of a name's entry in the sorted part of the list (0 when only the recent part
    // holds it, -1 when the list lacks it).
    int FindSortedEntry(const CString& name);
    // The font an item is drawn in (made on first need; the box owns it).
    Gdiplus::Font* GetItemFont(int index);

    void MeasureItem(LPMEASUREITEMSTRUCT measure) override;
    void DrawItem(LPDRAWITEMSTRUCT draw) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnSelChange();
    void OnDropDown();
    void OnCloseUp();
    void OnSetFocusNotify();
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    bool m_fontListFilled = false;
    void FreeItemFont(int index);
    void FreeAllItemFonts();
    Gdiplus::Font* MakeItemFont(const CString& name);
};

class CComboFontSize : public AeroComboBox {
    DECLARE_DYNAMIC(CComboFontSize)
public:
    static const UINT_PTR kAutoFitTimer = 1083;

    CComboFontSize() = default;
    ~CComboFontSize() override = default;

    void ApplyFontSize();
    // Whether a key-down reaches the box: Backspace, the period, Left, Right and the digits of
    // the main keyboard.
    static bool IsKeyAllowed(UINT virtualKey);

    void MeasureItem(LPMEASUREITEMSTRUCT measure) override;
    void DrawItem(LPDRAWITEMSTRUCT draw) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnSelChange();
    void OnCloseUp();
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()
};

// The canvas takes the keyboard focus (the view's window).
void FocusCanvas();
