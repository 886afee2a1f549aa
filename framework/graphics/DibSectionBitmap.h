// A device-independent bitmap section wrapped in a framework bitmap object, for controls that
// paint into their own pixel buffers (labels, check boxes, sliders).
#pragma once

#include <windows.h>

class CBitmap;

// A new CBitmap owning a top-down BI_RGB DIB section of the given size and bit count, made
// without a device context. NULL when the section cannot be made ("Error 2203" when an exception
// passes). The caller owns the object.
CBitmap* CreateDibSectionBitmap(int width, int height, WORD bitCount);
