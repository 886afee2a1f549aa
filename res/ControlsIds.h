// Resource ids of the themed controls' own dialogs (res/Controls.rc).
#pragma once

// The message box.
#define IDD_AERO_MESSAGEBOX 469
#define IDC_MSGBOX_TEXT     1062
#define IDC_MSGBOX_CHECK    1116
#define IDC_MSGBOX_LINK     1120
#define IDC_MSGBOX_BUTTON1  1126
#define IDC_MSGBOX_BUTTON2  1127
#define IDC_MSGBOX_BUTTON3  1128
#define IDC_MSGBOX_ICON     1252
