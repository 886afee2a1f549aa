// Resource ids of the application shell's small dialogs (res/AppDialogs.rc): the splash window,
// About, Units and Grid Size.
#pragma once

#define IDD_ABOUT     100
#define IDD_GRID_SIZE 284
#define IDD_SPLASH    288
#define IDD_UNITS     396

#define IDC_UNITS_COMBO       1038
#define IDC_DLG_GROUP         1062
#define IDC_GRID_WIDTH        1071
#define IDC_GRID_HEIGHT       1082
#define IDC_ABOUT_TITLE       1119
#define IDC_ABOUT_NOTICE      1120
#define IDC_ABOUT_TEXT        1121
#define IDC_ABOUT_LINK        1126
#define IDC_GRID_WIDTH_LABEL  1119
#define IDC_GRID_HEIGHT_LABEL 1120
