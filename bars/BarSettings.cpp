// The editing bars' stored settings.
#include "bars/BarSettings.h"

COLORREF g_customColors[8] = {};
