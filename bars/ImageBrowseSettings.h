// The settings of the image panel and its folder chooser: the folder last chosen, the folder the
// panel loads at start-up, the file type and the sub-folder search (kept by the settings store),
// the table of image file types, the fixed thumbnail cell size and the one-time image hint.
#pragma once

#include <windows.h>

#include "canvas/ViewSettings.h"
#include "framework/Core.h"

// g_browseDefaultPath, g_browseFilter and g_browseSubfolders, which the canvas reads at start-up,
// are the canvas's (canvas/ViewSettings.h).
extern CString g_browseFolder;  // folder chosen in the folder chooser (not stored)
extern BYTE g_helpImage;        // show the hint about adding images once

// The image file types, index by index: the name shown in the chooser's list and the wildcard
// patterns (';'-separated) that the panel's scan looks for.
const int kImageFilterCount = 8;
extern const CString g_imageFilterNames[kImageFilterCount];
extern const CString g_imageFilterPatterns[kImageFilterCount];

// The thumbnail cell: a 110-pixel image square and the name below it, 132 pixels high.
extern const SIZE g_thumbSize;
