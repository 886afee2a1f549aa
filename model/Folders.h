// The folders the application works in (no trailing backslash). The application fills them at
// start-up (app/PaperTable.h, InitFolders); every layer above the model reads them: the settings
// folder holds the settings, the printer files and the LightScribe list.
#pragma once

#include <windows.h>

#include "framework/Core.h"

extern CString g_programFolder;
extern CString g_settingsFolder;
extern CString g_documentsFolder;
extern CString g_openSaveFolder;
extern CString g_picturesFolder;
extern CString g_dataFolder;
extern BYTE g_isVistaOrLater;
