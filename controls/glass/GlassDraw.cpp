#include "controls/glass/GlassInternal.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

#include <objidl.h>
#include <gdiplus.h>

#include "controls/ThemeApi.h"

using namespace Gdiplus;

void DrawRectGdip(const RECT* rect, HDC dc, int dashStyle, DWORD argb, float penWidth) {
    if (!rect || !dc) return;
    Graphics g(dc);
    Pen pen(Color(argb), penWidth);
    pen.SetDashStyle(static_cast<DashStyle>(dashStyle));
    g.DrawRectangle(&pen, static_cast<INT>(rect->left), static_cast<INT>(rect->top),
                    static_cast<INT>(rect->right - rect->left - 1),
                    static_cast<INT>(rect->bottom - rect->top - 1));
}

void DrawLineGdip(POINT start, POINT end, HDC dc, int dashStyle, DWORD argb, float penWidth) {
    if (!dc) return;
    Graphics g(dc);
    Pen pen(Color(argb), penWidth);
    pen.SetDashStyle(static_cast<DashStyle>(dashStyle));
    g.DrawLine(&pen, static_cast<INT>(start.x), static_cast<INT>(start.y), static_cast<INT>(end.x),
               static_cast<INT>(end.y));
}

void DrawLineSolid(int x1, int y1, int x2, int y2, HDC dc, DWORD argb) {
    DrawLineGdip(POINT{x1, y1}, POINT{x2, y2}, dc, DashStyleSolid, argb, 1.0f);
}

void FillRectGdip(const RECT* rect, HDC dc, DWORD argb) {
    if (!rect || !dc) return;
    Graphics g(dc);
    SolidBrush brush{Color(argb)};
    g.FillRectangle(&brush, static_cast<INT>(rect->left), static_cast<INT>(rect->top),
                    static_cast<INT>(rect->right - rect->left - 1),
                    static_cast<INT>(rect->bottom - rect->top - 1));
}

void DrawFocusRectGdip(const RECT* rect, HDC dc) {
    DrawRectGdip(rect, dc, DashStyleDot, 0xFF000000, 1.0f);
}

void FrameOnParent(HWND control, DWORD argb) {
    HWND parent = GetParent(control);
    if (!parent) return;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ScopedWindowDC dc(parent);
    if (!dc) return;
    DrawRectGdip(&rect, dc, DashStyleSolid, argb, 1.0f);
}

void DrawThemedEditBorder(HWND control, GlassSubclassBlock* block) {
    (void)block;
    if (!(GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    UxThemeApi& ux = GlassUx();
    HTHEME theme = ux.OpenThemeData(control, L"Edit");
    if (!theme) return;
    COLORREF colour = 0;
    const HRESULT hr = ux.GetThemeColor(theme, 5, 1, 3801, &colour);
    ux.CloseThemeData(theme);
    if (FAILED(hr)) return;
    const DWORD argb = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    FrameOnParent(control, argb);
}
