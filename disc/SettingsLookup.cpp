#include "disc/SettingsLookup.h"

BYTE g_useMp3Tag = 1;
BYTE g_useMp3 = 1;
BYTE g_useCdPlayerIni = 1;
BYTE g_useCdText = 1;
BYTE g_useFreedb = 1;

CString g_lastDrive;
CString g_cdPlayerPath;
CString g_freedbServer;
