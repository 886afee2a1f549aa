// Colour arithmetic, menu colours, system queries and small drawing pieces
// shared by the owner-drawn menus, their looks and their icon sets.
// Colours are 0x00BBGGRR.
#pragma once

#include "framework/Win.h"

// ---- fixed settings of the menu library ----
// Shortcut texts are shown after item texts.
inline BOOL MenuShowsAcceleratorTexts() {
    return TRUE;
}
// How much darker the shadow image of an icon is.
const int kMenuShadowDepth = 50;
// Pop-up translucency (255: opaque, so no pop-up becomes layered).
const int kMenuAlpha = 255;

// ---- version and system ----
// 0 Win32s, 1 NT 3.x, 2 Windows 95, 3 Windows 98, 4 Windows ME, 5 NT 4,
// 6 Windows 2000, 7 XP and later. Computed once.
int GetWinVersion();
// The class of the Windows the program runs on, computed when the program starts.
extern int g_winVersion;
// The class from the raw version facts (9x family, major, minor).
int WinVersionClassOf(BOOL win9x, DWORD major, DWORD minor);
BOOL IsNewShell();
// The name of a virtual key in a shortcut text, as Windows spells it. Wine
// names the editing and arrow keys after their X key symbols ("KP_Delete"),
// so those come from a table; every other key from GetKeyNameText.
CString KeyNameOfVirtualKey(UINT vk);
BOOL IsDropShadowEnabled();
// A timer id from 31 upwards (below 100) that SetTimer accepts; 0 for a
// window that does not exist or when none is accepted.
UINT_PTR SetTimerFromPool(HWND hWnd, UINT nElapse);

BOOL IsThemeActiveSafe();
HANDLE OpenThemeDataSafe(HWND hWnd, LPCWSTR classList);
HRESULT CloseThemeDataSafe(HANDLE hTheme);
HRESULT GetThemeColorSafe(HANDLE hTheme, int part, int state, int prop, COLORREF* pColor);

int GetScreenColorCount();
UINT GetDibColorCount(const BITMAPINFOHEADER* pHeader);
HBITMAP LoadBitmapWithColorCount(UINT nID, HINSTANCE hModule, UINT* pColorCount);

// ---- colour arithmetic ----
COLORREF DarkenColor(int amount, COLORREF colour);
COLORREF LightenColor(int amount, COLORREF colour);
COLORREF BlendColor86(COLORREF a, COLORREF b);
COLORREF BlendColor70(COLORREF a, COLORREF b);
COLORREF AlphaBlendColor(COLORREF a, COLORREF b, int alpha);
COLORREF BlueShadeColor(COLORREF colour);
BOOL IsLightColor(COLORREF colour);
// Every pixel becomes a mix of `colour` and its own grey, weighted by
// `weight` (of 256); returns the top-left pixel afterwards.
COLORREF ColorizeBitmap(HBITMAP hBitmap, int weight, COLORREF colour);
// Replaces every pixel of a bitmap by what `change` makes of its colour, as SetPixel(GetPixel)
// would, but with one read and one write of all the pixels: a DC's pixel calls cost a trip into
// the graphics layer each (under Wine some microseconds; start-up changes 27 icons of 256 pixels
// twice). Bitmaps of other depths than 32 bits take the pixel calls.
void ChangeBitmapPixels(HBITMAP hBitmap, COLORREF (*change)(COLORREF, const void*), const void* context);
// The display's nearest colour (palette displays).
COLORREF NearestScreenColor(COLORREF colour);

// ---- menu colours ----
COLORREF GetMenuBackColor(HMENU hMenu = nullptr);
COLORREF GetOldMenuBarColor();
COLORREF GetMenuBarColor(HMENU hMenu = nullptr);
COLORREF GetSelectionColor();
void GetBarColors(COLORREF* pFirst, COLORREF* pSecond, BOOL bLight);
COLORREF GetBarBaseColor();
void SetMenuBackground(HMENU hMenu);
// The style number of the current look, -1 without one.
int GetCurrentStyle();

// ---- drawing ----
void FillFrame(HDC hDC, int oLeft, int oTop, int oRight, int oBottom, int iLeft, int iTop, int iRight,
               int iBottom, COLORREF colour);
void SetCornerPixels(HDC hDC, const RECT& rect, COLORREF colour);
// The hand-painted soft shadow of a pop-up menu window, from the screen
// picture its record keeps.
void DrawMenuShadow(HWND hWnd, HDC hDC);
// The same from a given background picture of the window's size (or larger).
void DrawMenuShadowFrom(HDC hDC, HDC hBackground, int w, int h, BOOL palette);

// A function loaded by name from a system library.
class CDynamicFunction {
public:
    CDynamicFunction(LPCSTR library, LPCSTR function);
    ~CDynamicFunction();
    CDynamicFunction(const CDynamicFunction&) = delete;
    CDynamicFunction& operator=(const CDynamicFunction&) = delete;
    HMODULE m_hModule = nullptr;
    FARPROC m_pfn = nullptr;
};

// A double buffer for one rectangle of a target DC; drawing uses the target's
// coordinates and the destructor copies the rectangle back.
class CStyledMemDC : public CDC {
    DECLARE_DYNAMIC(CStyledMemDC)
public:
    CStyledMemDC(const RECT& rect, HDC hTarget);
    ~CStyledMemDC() override;
    RECT m_rect;
    BOOL m_bDiscard = FALSE;  // no copy back
    HDC m_hTarget;

private:
    ScopedMemoryDC m_memory;  // the buffer's DC and bitmap; the CDC only borrows the DC
};
