// The user's settings: plain globals that every part of the application reads and writes in
// place, their defaults, and their file. They are loaded once at start-up (defaults, then
// preferences.ini, else the older settings.ini, else the oldest release's registry values) and
// written to preferences.ini at shut-down.
//
// Settings defined next to their main users and declared in their headers:
//   app/SettingsLookup.h     the disc-lookup switches, g_lastDrive, g_cdPlayerPath, g_freedbServer
//   render/CanvasSettings.h  g_showGrid, g_showGuides, g_gridSize
//   model/PrintOptions.h     g_printOptions
//   app/PaperTable.h         the folders, g_isVistaOrLater and the paper table
#pragma once

#include <windows.h>

#include "framework/core.h"
#include "app/PaperTable.h"
#include "app/SettingsLookup.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"

// The version written to preferences.ini; a file of a higher version is not read.
const int kSettingsVersion = 507;

// File open modes of LoadSavePreferences and ReadSettingsIni.
const UINT kSettingsLoad = 0;                                      // read
const UINT kSettingsStore = CFile::modeCreate | CFile::modeWrite;  // 0x1001

extern BYTE g_showNewProjectAtStart;  // open the New Project dialog at start
extern BYTE g_themeActive;            // visual styles are active (not stored)
extern BYTE g_firstRun;               // no settings source could be loaded (not stored)
extern int g_caseKind;                // 4 CD jewel case, 5 DVD case, 10 Blu-ray case
extern int g_discLayout;              // disc layout number of new designs (0 to 5)
extern int g_settingsVersion;         // 507 and below preferences.ini, 446/441/424/423 settings.ini, 1 registry
extern WINDOWPLACEMENT g_mainWindowPlacement;
extern int g_exportImageOptions[5];   // Save As Image: image, file type, resolution, border, overlap
extern COLORREF g_customColors[8];    // the colour picker's custom colours
extern BYTE g_helpCdPrinter;          // show the notice about printing on a disc
extern BYTE g_helpTrack;              // show the track-list hint
extern BYTE g_helpImage;              // show the image hint
extern BYTE g_snapToGrid;
extern BYTE g_showDiscPrintSettings;  // printer properties open with the disc-printing settings shown
extern int g_printCopies;
extern BYTE g_browseFilter;           // index into the image file filters (0 to 7)
extern BYTE g_browseSubfolders;
extern CString g_units;               // "Inches" or "Millimeters"
extern CString g_browseDefaultPath;   // start folder of the image browser

// Top-left screen positions of six dialogs; x below 0: not placed yet (the dialog centres itself
// over the main window and stores where it went).
enum DialogPositionIndex {
    kColorDialogPos = 0,
    kPrintDialogPos = 1,
    kReadCdDialogPos = 2,
    kImageBrowserPos = 3,
    kSaveAsImagePos = 4,
    kLightScribePos = 5,
};
extern POINT g_dialogPositions[6];
extern RECT g_labelStockDialogRect;   // window rectangle of the label-stock dialog

extern CString g_lastSavePath;
extern CString g_lastOpenPath;
extern CString g_lastImagePath;
extern CString g_lastExportPath;
extern CString g_paperSize;           // "Letter" or "A4"
extern CString g_browseFolder;        // folder chosen in the folder-selection dialog (not stored)

// Default label templates: [0] disc label, [1] cover, [2] CD jewel case, [3] DVD case,
// [4] Blu-ray case.
extern CString g_defaultTemplateNames[5];

// The serialisable shell of the settings: it has no data of its own; Serialize moves the
// globals to or from a raw archive (no class record is ever written).
class CSettings : public CObject {
    DECLARE_SERIAL(CSettings)
public:
    CSettings() = default;
    void Serialize(CArchive& ar) override;
};

// Start-up: defaults, then the first source that loads, then the fix-ups.
void LoadSettings();
// kSettingsLoad reads preferences.ini, kSettingsStore writes it; true when the whole file was
// read or written. After a failure on an opened file the defaults are set again.
BYTE LoadSavePreferences(UINT openMode);
// Every setting to its default, then the Windows version and the folders.
void SetDefaultSettings();
// "ViewObjectJewel", "ViewObjectDvd" or "ViewObjectBluray" for g_caseKind.
CString GetCaseKindName();
// Sets g_caseKind (and for the older "Default..." names g_discLayout) from a stored name.
void ParseDefaultTemplateName(const CString& name);

// The older sources, tried when preferences.ini cannot be loaded; true when read.
BYTE ReadSettingsIni(UINT openMode);
BYTE ReadLegacyRegistrySettings();
