// The canvas settings the screen overlays read; the settings' loader and the view's commands
// write them.
#pragma once

#include <windows.h>

extern BYTE g_showGrid;      // grid dots on every side object
extern BYTE g_showGuides;    // object outlines, disc margin rings, printable-area frame
extern int g_gridSize[2];    // horizontal and vertical grid step, design units
