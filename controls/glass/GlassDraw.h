// GDI+ drawing on a device context for the glass control procedures: each function makes a GDI+
// surface on the DC, draws and frees it. Colours are 32-bit ARGB; rectangles left, top, right, bottom.
#pragma once

#include <windows.h>

struct GlassSubclassBlock;

// Outline of the rectangle, width right - left - 1 and height bottom - top - 1 (dash: a Gdiplus::DashStyle).
void DrawRectGdip(const RECT* rect, HDC dc, int dashStyle, DWORD argb, float penWidth);
void DrawLineGdip(POINT start, POINT end, HDC dc, int dashStyle, DWORD argb, float penWidth);
// One solid line of width 1.
void DrawLineSolid(int x1, int y1, int x2, int y2, HDC dc, DWORD argb);
// Fills the rectangle (width - 1 by height - 1) with a solid brush.
void FillRectGdip(const RECT* rect, HDC dc, DWORD argb);
// Dotted outline in opaque black, width 1.
void DrawFocusRectGdip(const RECT* rect, HDC dc);
// Outlines the control's window rectangle on its parent's DC (solid, width 1).
void FrameOnParent(HWND control, DWORD argb);
// With WS_EX_CLIENTEDGE: the "Edit" theme class's border colour (part 5, state 1) around the control,
// drawn on the parent.
void DrawThemedEditBorder(HWND control, GlassSubclassBlock* block);
