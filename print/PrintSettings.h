// The settings the print, page-layout and export dialogs keep for themselves: the label stock
// dialog's window rectangle, Save as Image's choices and last file (the other dialogs' places are
// in controls/DialogPositions.h). Defined here, at the lowest layer that uses them; the settings
// store of the application shell gives them their defaults and their file (app/Settings.h
// includes this header, so the names stay where callers expect them).
#pragma once

#include <windows.h>

#include "controls/DialogPositions.h"
#include "framework/Core.h"

extern RECT g_labelStockDialogRect;  // window rectangle of the label-stock dialog

// Save As Image: [0] overlap, [1] border, [2] resolution, [3] file type, [4] image (list indexes).
extern int g_exportImageOptions[5];
extern CString g_lastExportPath;  // full path of the last exported image

// The print dialog offers 1 to 999 copies.
const int kMaxPrintCopies = 999;
