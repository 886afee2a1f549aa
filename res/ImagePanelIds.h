// Resource and control ids of the Images panel, its cells' context menu and the image folder
// chooser.
#pragma once

// The cells' context menu (its first popup).
#define IDR_IMAGE_CONTEXT_MENU 424
// Items of that menu without a handler of their own.
#define ID_CUT_TEXT            33006
#define ID_COPY_TEXT           33007
#define ID_PASTE_TEXT          33008
#define ID_DELETE_OBJECT_MENU  33010
#define ID_CUT_PASTE_OBJECT    32959

// The Images bar.
#define IDC_IMAGE_FOLDER_BUTTON 1099

// The image folder chooser: the hidden host dialog and the controls added to the shell's dialog.
#define IDD_FOLDER_SELECT          381
#define IDC_BROWSE_FILE_TYPES      1095
#define IDC_BROWSE_CLOSE           1097
#define IDC_BROWSE_SUBFOLDERS      1111
#define IDC_BROWSE_DEFAULT_FOLDER  1112
#define IDC_BROWSE_IGNORED_COMMAND 1116
