// What the glass control procedures share besides the engine's public entry points.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "controls/glass/GlassEngine.h"

class UxThemeApi;

// The common beginning of every control procedure: removes the subclass on WM_DESTROY and
// WM_NCDESTROY and hands every message to the previous procedure while the parent is under the
// engine and composition is off. True when the message was dealt with (the answer in *result);
// otherwise *block is the control's block.
bool GlassControlPrologue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC self,
                          GlassSubclassBlock** block, LRESULT* result);
// The previous procedure of the block's window.
LRESULT GlassCallPrevious(GlassSubclassBlock* block, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The theme loader to draw through.
UxThemeApi& GlassUx();
// The window rectangle of the control in its own client coordinates.
RECT GlassWindowRectInClient(HWND control);
// Begins a buffered paint over the control's client rectangle and fills it black. The buffer, or
// null when none could be begun; *client and *paintDC receive the rectangle and the buffer's DC.
HPAINTBUFFER GlassBeginBlackBuffer(HWND window, HDC dc, RECT* client, HDC* paintDC);
// Prints the control (client, non-client and background) into an opaque buffer over dc.
void GlassPrintClientOpaque(HWND window, HDC dc);
// Answers WM_PAINT by printing the control through PaintBufferedAlpha over its window rectangle.
void GlassPaintWindowBuffered(HWND window, bool frame);
// Marks the control's redraw as pending and posts the redraw message to it, once per pending redraw.
void GlassFlagAndPostRedraw(HWND control);
// Text options for glowing composited text: DTT_COMPOSITED | DTT_GLOWSIZE, white, the style's glow size.
DTTOPTS GlassGlowTextOptions();
// The control's window text as wide characters.
void GlassWindowTextW(HWND window, wchar_t* buffer, int size);
// The "TRACKBAR" thumb part and state for a trackbar's style, the cursor over the thumb and the focus.
void TrackbarThumbPartState(DWORD style, bool overThumb, bool focused, int* part, int* state);
