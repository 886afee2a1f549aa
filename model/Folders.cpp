// The folder globals; app/PaperTable.cpp fills them.
#include "model/Folders.h"

CString g_programFolder;
CString g_settingsFolder;
CString g_documentsFolder;
CString g_openSaveFolder;
CString g_picturesFolder;
CString g_dataFolder;
BYTE g_isVistaOrLater = 0;
