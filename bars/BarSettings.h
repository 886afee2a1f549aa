// Settings of the editing bars that the settings file keeps: the colour picker's eight custom
// colours. Slot 1 of the picker is the last element, slot 8 the first; white means empty.
#pragma once

#include <windows.h>

extern COLORREF g_customColors[8];
