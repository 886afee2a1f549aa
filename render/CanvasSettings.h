// The canvas settings the screen overlays read; the settings' loader and the view's commands
// write them.
#pragma once

#include <windows.h>

#include "framework/Core.h"

extern BYTE g_showGrid;    // grid dots on every side object
extern BYTE g_showGuides;  // object outlines, disc margin rings, printable-area frame
extern int g_gridSize[2];  // horizontal and vertical grid step, design units
// "Inches" or "Millimeters": the units lengths are shown in (the canvas, the bars and the
// dialogs read it; the Units dialog writes it).
extern CString g_units;
