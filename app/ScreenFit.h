// Stored window positions against the screens of today: a placement saved on a screen that is no
// longer there (or written by a damaged settings file) must not open the window out of sight.
#pragma once

#include <windows.h>

// When the caption of a window with the normal rectangle of `placement` would be on no screen (or
// its edges lie beyond what the window system can place), moves the rectangle onto the work area
// nearest to it: the same size where that fits, otherwise as large as the work area. An empty
// rectangle is left alone (the start-up gives it a size of its own). True when it moved.
bool FitPlacementToScreens(WINDOWPLACEMENT& placement);
