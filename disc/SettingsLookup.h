// The disc-lookup settings: which sources a lookup asks, the CD player's file,
// the last drive and the disc-database server. Loaded and saved with the other
// settings.
#pragma once

#include "framework/Core.h"

extern BYTE g_useMp3Tag;       // use the ID3 tags of MP3 files
extern BYTE g_useMp3;          // scan a folder of MP3 files
extern BYTE g_useCdPlayerIni;  // read CDPlayer.ini
extern BYTE g_useCdText;       // read the disc's CD-TEXT
extern BYTE g_useFreedb;       // query the disc database

extern CString g_lastDrive;     // the text of the last chosen drive entry
extern CString g_cdPlayerPath;  // path of CDPlayer.ini
extern CString g_freedbServer;  // the server setting: nine fields, each followed by '`'
