// Resource ids of the disc-reading dialogs: Read CD, the disc chooser of two-disc designs and the
// lookup settings, with their controls, the MP3 grid's in-place editor, timers and help context.
#pragma once

// ---- Read CD ----
#define IDD_READCD                  276
#define IDC_READCD_LABEL            1062  // "Select the CD-Rom drive." / "Match:" / "MP3 Track Information"
#define IDC_READCD_PREVIEW          1104  // list view: the chosen match
#define IDC_READCD_CDTEXT           1116
#define IDC_READCD_PREVIEW_LABEL    1119  // "Preview:"
#define IDC_READCD_NOTE             1120
#define IDC_READCD_LIST             1125  // drives, then matches
#define IDC_READCD_ADVANCED         1126  // "Advanced Settings"; Sort Track Names in MP3 mode
#define IDC_READCD_MOVE_UP          1127
#define IDC_READCD_MOVE_DOWN        1128
#define IDC_READCD_HELP             1130
#define IDC_READCD_CDPLAYER         1132
#define IDC_READCD_FREEDB           1133
#define IDC_READCD_TIMES_ONLY       1134
#define IDC_READCD_GROUP            1166
#define IDC_READCD_MP3              1172
#define IDC_READCD_GRID             1200  // the MP3 grid, made on demand

// ---- 2 Disc Project ----
#define IDD_DISC_SELECT             281
#define IDC_DISCSEL_MESSAGE         1062
#define IDC_DISCSEL_ICON            1119
#define IDC_DISCSEL_DISC1           1129
#define IDC_DISCSEL_DISC2           1130

// ---- Advanced Settings ----
#define IDD_READCD_SETTINGS         372
#define IDC_RCDSET_SERVER           1038
#define IDC_RCDSET_FREEDB_GROUP     1062
#define IDC_RCDSET_CDPLAYER_GROUP   1119
#define IDC_RCDSET_SERVER_LABEL     1120
#define IDC_RCDSET_GET_SERVERS      1126
#define IDC_RCDSET_BROWSE           1127
#define IDC_RCDSET_HELP             1130
#define IDC_RCDSET_USE_ID3          1132
#define IDC_RCDSET_CDPLAYER_PATH    1169
#define IDC_RCDSET_PATH_LABEL       1171
#define IDC_RCDSET_MP3_GROUP        1173

// ---- the MP3 grid ----
#define IDC_GRIDMP3_EDIT            1035

// ---- timers and help ----
#define IDT_READCD_POLL             1119  // 100 ms: the Read CD dialog polls its worker
#define IDT_SERVER_LIST_POLL        1093  // 100 ms: the settings dialog polls the server-list fetch
#define HELP_CONTEXT_READCD         20
