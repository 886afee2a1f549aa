// The menu looks (twelve, by style number 0-11), the current look, and the
// library state with the window-procedure hook that paints pop-up menu
// windows in the current look.
#pragma once

#include "framework/Win.h"

class CStyledMenu;
typedef void (CStyledMenu::*MenuMeasureRoutine)(MEASUREITEMSTRUCT*, BOOL);
typedef void (CStyledMenu::*MenuDrawRoutine)(DRAWITEMSTRUCT*, BOOL);

class CMenuTheme {
public:
    CMenuTheme(UINT nStyle, MenuMeasureRoutine measure, MenuDrawRoutine draw, MenuDrawRoutine title,
               BOOL bBorder);
    virtual ~CMenuTheme();
    virtual BOOL OnInitWnd(HWND hWnd);
    virtual BOOL OnUnInitWnd(HWND hWnd);
    virtual BOOL DoDrawBorder() { return (m_dwFlags & 1) != 0; }
    virtual void UpdateSysColors();
    virtual void UpdateSysMetrics();
    virtual BOOL OnDrawBorder(HWND hWnd, HDC hDC, BOOL bOnlyShadow);
    virtual BOOL OnEraseBkgnd(HWND hWnd, HDC hDC);
    virtual BOOL OnNcCalcSize(HWND hWnd, NCCALCSIZE_PARAMS* pCalc);
    virtual BOOL OnWindowPosChanging(HWND hWnd, WINDOWPOS* pPos);
    virtual BOOL OnCalcFrameRect(HWND hWnd, RECT* pRect);
    virtual void DrawGripper(CDC* pDC, RECT* pRect, DWORD dwFlags);
    virtual void DrawCorner(CDC* pDC, RECT* pRect, DWORD dwFlags);
    virtual void GetBarColor(COLORREF* pc1, COLORREF* pc2, COLORREF* pc3, COLORREF* pc4);

    UINT m_nStyle;
    DWORD m_dwFlags;
    MenuMeasureRoutine m_pfnMeasure;
    MenuDrawRoutine m_pfnDraw;
    MenuDrawRoutine m_pfnTitle;
    int m_nBorderWidth = 2, m_nBorderHeight = 2;
    int m_nShadowWidth = 5, m_nShadowHeight = 6;
    COLORREF m_crFace = 0, m_crShadow = 0, m_crHighlight = 0, m_crText = 0, m_crFrame = 0;
};

class CMenuThemeXP : public CMenuTheme {
public:
    using CMenuTheme::CMenuTheme;
    BOOL OnDrawBorder(HWND hWnd, HDC hDC, BOOL bOnlyShadow) override;
    BOOL OnEraseBkgnd(HWND hWnd, HDC hDC) override;
};

class CMenuTheme2003 : public CMenuThemeXP {
public:
    using CMenuThemeXP::CMenuThemeXP;
    ~CMenuTheme2003() override = default;
};

class CStyledMenuHook {
public:
    // One per subclassed pop-up menu window.
    class CMenuHookData {
    public:
        CMenuHookData(HWND hWnd, BOOL bAlreadyExists);
        ~CMenuHookData();
        DWORD m_dwStyle;
        DWORD m_dwExStyle;
        POINT m_ptLast = {0, 0};
        DWORD m_dwFlags = 0;  // 1 existed, 2 styles changed, 4 fade timer / Escape, 8 printing
        BOOL m_bBorderPainted = FALSE;
        HMENU m_hMenu = nullptr;
        ScopedBitmap m_screen;  // the screen under the pop-up, for its shadow
        // A copy of the last non-client update region; none stands for the whole window (1).
        ScopedRegion m_ncRegion;
        HRGN LastNcRegion() const;
        BOOL m_bDraw = TRUE;
    };

    CStyledMenuHook();
    ~CStyledMenuHook();

    static CMenuTheme* FindTheme(UINT nStyle);
    static BOOL AddTheme(CMenuTheme* pTheme);
    static CMenuHookData* GetHookData(HWND hWnd);
    static LRESULT CALLBACK CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam);
    static BOOL SubclassPopup(HWND hWnd, BOOL bAlreadyExists);
    // Gives a pop-up back: unhooked only while our procedure is on top of its chain; under
    // another subclasser it stays, harmlessly, until the window is destroyed (bDestroying), and
    // everything of it is freed then.
    static void ReleasePopup(HWND hWnd, BOOL bDestroying = FALSE);
    static LRESULT CALLBACK PopupWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    static CTypedPtrList<CPtrList, CMenuTheme*>* s_pThemes;
    static CMenuTheme* s_pCurrentTheme;
    static HHOOK s_hHook;  // installed while a menu loop of the hook's thread runs
    static DWORD s_hookThreadId;
    static int s_menuLoops;
    static void OnMenuLoop(bool entering);
    static HMODULE s_hUxTheme;
    static BOOL(WINAPI* s_pfnIsThemeActive)();
    static FARPROC s_pfnSetWindowTheme;
    static HMODULE s_hMsimg32;
    static BOOL(WINAPI* s_pfnGradientFill)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    static BOOL s_bHighContrast;
    static BOOL s_bWine;
    static BOOL s_bRemoteSession;
    static CTypedPtrMap<CMapPtrToPtr, HWND, CMenuHookData*> s_windows;
    static HMENU s_hMenuOpening;
    static void* s_pMenuBarItemRedrawn;
    static DWORD s_dwOptions;
};

// The library's object: the looks exist while it lives.
extern CStyledMenuHook g_styledMenuHook;

// Replaces a dialog's procedure so that its menus are owner-drawn too.
class CStyledMenuTempHandler : public CObject {
public:
    explicit CStyledMenuTempHandler(HWND hWnd);
    ~CStyledMenuTempHandler() override;
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    CStyledMenu* m_pMenu;
    WNDPROC m_pfnOld = nullptr;
    HWND m_hWnd;
};
