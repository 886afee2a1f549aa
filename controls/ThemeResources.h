// The drawing resources that every themed dialog and control shares: made once at start-up by
// InitThemeResources (before any window exists) and freed once at exit by ReleaseThemeResources
// (after the last window is gone). Users read the globals directly and hold no references.
// The background textures and their brushes are declared in ThemeFill.h.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include "controls/ThemeFill.h"
#include "framework/core/Strings.h"

extern HCURSOR g_handCursor;
// The text-glow size of the visual style in pixels (12 when the style gives none).
extern int g_glowMargin;
extern HICON g_appIconLarge;  // SM_CXICON square
extern HICON g_appIconSmall;  // SM_CXSMICON square; dialogs put it in their caption
extern HICON g_appIcon16;     // 16 x 16
// The pattern brush of the dialog texture that themed controls answer to control-colour requests.
extern HBRUSH g_backgroundBrush;
extern Gdiplus::Bitmap* g_themeImage;     // drawn centred by DrawCenteredThemeImage
extern Gdiplus::Bitmap* g_sizeGripImage;  // bottom-right corner of resizable dialogs
extern HIMAGELIST g_menuImageList;        // 16 x 16 pictures of the menus
extern HIMAGELIST g_toolImageList;        // 19 x 19 pictures of the tools
extern CString g_uiFaceName;              // "Tahoma" when "Microsoft Sans Serif" exists, else "Arial"
extern double g_uiFontSize;               // points: 8.5, times g_uiFontScale off 96 DPI
extern double g_uiFontScale;              // 96 / the screen's vertical DPI
extern HFONT g_uiFont;                    // the regular dialog font, 8.5 points
extern HFONT g_uiBoldFont;                // 8.5 points, bold
extern HFONT g_uiScaledFont;              // g_uiFontSize points (DPI-compensated), weight 400
extern HFONT g_uiBold8Font;               // 8 points, bold
extern HFONT g_arialBoldFont;             // "Arial", 8 points, bold
extern Gdiplus::Font* g_gdipBoldFont;     // g_uiFaceName, 8.5 points, bold
// The tint that fills glass areas (alpha 64, white).
const Gdiplus::ARGB g_glassTintColor = 0x40FFFFFF;

// Makes every resource, from the application's resources of these ids (the application passes
// 356, 357, 475, 360, 416, 128, 480). "Error 2359" when an exception passes.
void InitThemeResources(int backgroundBitmap1, int backgroundBitmap2, int themePng, int menuBitmap,
                        int toolBitmap, int appIcon, int sizeGripPng);
// Frees every resource and then the theme library. "Error 2366" when an exception passes.
void ReleaseThemeResources();
// The fonts alone (part of InitThemeResources). "Error 1139" when an exception passes.
void InitThemeFonts();
// Sets g_uiFontScale and g_uiFontSize for a screen of `dpi` dots per inch (8.5 points at 96).
void ScaleUiFontForDpi(int dpi);

// Fills `rect` with g_glassTintColor, replacing what is there (the alpha included).
void FillGlassTint(HDC dc, const RECT& rect);
// Opens a link target through its shell handler, maximised, with no error window of the shell's own.
void OpenLinkTarget(HWND owner, LPCSTR target);
// The version of the running system; false when it cannot be read.
bool ReadSystemVersion(OSVERSIONINFOA* info);

// Draws g_themeImage at its own size centred in `rect`.
void DrawCenteredThemeImage(HDC dc, RECT rect);
// A one-pixel 3-D frame of (left, top)-(right, bottom); raised: light top-left, shadow bottom-right.
void DrawThinFrame(Gdiplus::Graphics* g, int left, int top, int right, int bottom, bool raised);
// An icon of exactly that size, or of the next larger one the icon group holds, at the colour
// depth of the system; NULL when none fits. "Error 2361" (NULL) when an exception passes.
HICON LoadIconOfSize(LPCSTR name, int width, int height);
// A new GDI+ bitmap decoded from the "PNG" resource `id`, or NULL; the caller owns it.
Gdiplus::Bitmap* LoadImageFromResource(int id);
// The LOGFONT height of a size in points on the DC (a screen-compatible one when null).
int PointsToHeight(double points, HDC dc);
