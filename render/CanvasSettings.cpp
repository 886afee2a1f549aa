#include "render/CanvasSettings.h"

// Defaults until the settings are loaded; the settings' loader writes these.
BYTE g_showGrid = 0;
BYTE g_showGuides = 0;
int g_gridSize[2] = {100, 100};
CString g_units;
