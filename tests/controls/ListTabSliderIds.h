#pragma once
#define IDD_LTS_DIALOG    941
#define IDC_LTS_PICTURES  1101
#define IDC_LTS_ICONS     1102
#define IDC_LTS_TRACKS    1103
#define IDC_LTS_TABS      1104
#define IDC_LTS_JUMP      1105
#define IDC_LTS_CUSTOM    1106
#define IDC_LTS_OWNERTABS 1107
