// Where the dialogs that remember their place were last put: the top-left screen positions of six
// dialogs, kept with the settings. An x below 0 means not placed yet (the dialog then centres
// itself over the main window and stores where it went).
#pragma once

#include <windows.h>

enum DialogPositionIndex {
    kColorDialogPos = 0,
    kPrintDialogPos = 1,
    kReadCdDialogPos = 2,
    kImageBrowserPos = 3,
    kSaveAsImagePos = 4,
    kLightScribePos = 5,
};
extern POINT g_dialogPositions[6];
