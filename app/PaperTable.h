// The fixed table of six paper sizes (thousandths of an inch) with their printer paper codes and
// printable rectangles, and the application's folders.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/core.h"

// Index 0 Letter, 1 Legal, 2 Tabloid, 3 A4, 4 A3, 5 the square disc-printer page.
extern int g_paperCodes[6];
extern int g_paperDims[6][2];        // width, height
extern int g_printableAreas[6][4];   // x offset, y offset, width, height (portrait)

// Fills the codes and sizes, and makes every printable rectangle the whole paper.
void InitPaperTable();
// Index of the paper of that size in either orientation; 0 (Letter) when none matches.
int FindPaperSizeIndex(int x, int y, int width, int height);
// The printable rectangle (x offset, y offset, width, height) for a page (x, y, width, height),
// turned for a page that is not taller than wide.
Gdiplus::Rect GetPrintableArea(int x, int y, int width, int height);

// Folders (no trailing backslash).
extern CString g_programFolder;
extern CString g_settingsFolder;
extern CString g_documentsFolder;
extern CString g_openSaveFolder;
extern CString g_picturesFolder;
extern CString g_dataFolder;
extern BYTE g_isVistaOrLater;

// Fills the folders from the program's help-file path (the program's folder is the part before
// its last backslash); returns the default image browse folder (data or program folder +
// "\Backgrounds"), which the settings keep in g_browseDefaultPath.
CString InitFolders(LPCSTR helpFilePath);
CString ReadInstallDirectory();
BOOL DetectWindowsVersion();
