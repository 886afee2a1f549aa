// The settings the editing canvas reads and writes (with the folders of model/Folders.h and
// g_helpCdPrinter of model/PrintOptions.h): defined here, at the lowest layer that uses
// them, and loaded, saved and given their defaults by the settings store of the application
// shell (app/Settings.h includes this header, so the names stay where callers expect them).
#pragma once

#include <windows.h>

#include "framework/Core.h"
#include "model/Folders.h"
#include "model/PrintOptions.h"

extern BYTE g_showNewProjectAtStart;  // open the New Project dialog at start
extern int g_caseKind;                // kCaseJewel, kCaseDvd or kCaseBluray
extern int g_discLayout;              // disc layout number of new designs (0 to 5)
extern int g_settingsVersion;  // 507 and below preferences.ini, 446/441/424/423 settings.ini, 1 registry
extern WINDOWPLACEMENT g_mainWindowPlacement;
extern BYTE g_helpCdPrinter;  // show the notice about printing on a disc
extern BYTE g_helpTrack;      // show the track-list hint
extern BYTE g_snapToGrid;
extern BYTE g_showDiscPrintSettings;  // printer properties open with the disc-printing settings shown
extern int g_printCopies;
extern BYTE g_browseFilter;  // index into the image file filters (0 to 7)
extern BYTE g_browseSubfolders;
extern CString g_browseDefaultPath;  // start folder of the image browser
extern CString g_lastImagePath;      // folder of the last inserted image, with its backslash
extern CString g_paperSize;          // "Letter" or "A4"

// Default label templates: [0] disc label, [1] cover, [2] CD jewel case, [3] DVD case,
// [4] Blu-ray case.
extern CString g_defaultTemplateNames[5];
