// The canvas's settings globals (their defaults and their file belong to the settings store).
#include "canvas/ViewSettings.h"

BYTE g_showNewProjectAtStart = 0;
int g_caseKind = 0;
int g_discLayout = 0;
int g_settingsVersion = 0;
WINDOWPLACEMENT g_mainWindowPlacement = {};
BYTE g_helpTrack = 0;
BYTE g_snapToGrid = 0;
BYTE g_showDiscPrintSettings = 0;
int g_printCopies = 0;
BYTE g_browseFilter = 0;
BYTE g_browseSubfolders = 0;
CString g_browseDefaultPath;
CString g_lastImagePath;
CString g_paperSize;
CString g_defaultTemplateNames[5];
