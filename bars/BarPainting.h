// Painting and small frame services shared by the formatting and colour tool bars: the shared
// texture behind them, their non-client strip, the tick of their menu item, and visual styles
// switched off on systems before Windows Vista.
#pragma once

#include <windows.h>

class CControlBar;

// Whether a DC covers the whole window (its origin is the window's corner, not the client's).
bool IsWholeWindowDC(HWND window, HDC dc);
// On a whole-window DC: the shared bar texture in a strip 20 pixels wide at the left of the client
// rectangle (where the gripper sits), 2 pixels taller than it.
void PaintGripperStrip(HWND window, HDC dc);
// The non-client area of a bar: the client excluded, the window DC erased through WM_ERASEBKGND
// (which paints the strip), then the framework's borders and gripper.
void PaintBarNonClient(CControlBar* bar);
// Sets or removes the tick of a command in the main window's menu.
void CheckFrameMenuItem(UINT command, bool checked);
// Before Windows Vista, while visual styles are active, a bar is drawn without them.
void SwitchOffStylesBeforeVista(HWND window);
