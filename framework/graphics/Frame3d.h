// Small drawing helpers shared by the themed dialogs, the preview pictures and the renderer:
// colour shading and the 3-D frame in the system's colours.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Adds delta to each of red, green and blue, each kept to 0..255.
COLORREF ShadeColor(COLORREF colour, int delta);

// A two-pixel 3-D frame inside (x, y, width, height) in one-pixel lines of the system's 3-D
// colours: sunken (light from the bottom right) or raised; `soft` shades the dark lines by -10
// and the light line by -40. "Error 2370" when an exception passes.
void Draw3dFrame(Gdiplus::Graphics* g, int x, int y, int width, int height, bool soft, bool raised);
