// Filling the application's folders (declared in the design model, model/Folders.h), and the
// paper table (model/PageSizes.h).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Core.h"
#include "model/Folders.h"
#include "model/PageSizes.h"

// Fills the folders from the program's help-file path (the program's folder is the part before
// its last backslash); returns the default image browse folder (data or program folder +
// "\Backgrounds"), which the settings keep in g_browseDefaultPath.
CString InitFolders(LPCSTR helpFilePath);
CString ReadInstallDirectory();
BOOL DetectWindowsVersion();
