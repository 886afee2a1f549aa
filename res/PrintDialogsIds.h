// Resource ids of the printing, page-layout and export dialogs (res/PrintDialogs.rc): the print
// dialog with its side pages, the printer properties, Save as Image, the label stock and label
// alignment dialogs and New Project. Several dialogs use the same control numbers for different
// controls; each has its own names.
#pragma once

#define IDD_NEW_PROJECT     280
#define IDD_LABEL_STOCK     282
#define IDD_LABEL_ALIGNMENT 390
#define IDD_PRINT_FRONT     398
#define IDD_PRINT_BACK      399
#define IDD_PRINT_DISC      400
#define IDD_SAVE_AS_IMAGE   440
#define IDD_PRINT_BLANK     445
#define IDD_PRINTER_PROPS   448
#define IDD_LIGHTSCRIBE     462
#define IDD_PRINT           1539

// The template preview's message to its parent when it is clicked (wParam 0, lParam the address
// of the click point as two 32-bit integers in the preview's drawing coordinates).
#define WM_PREVIEW_CLICK (WM_USER + 64)

// ---- print dialog -------------------------------------------------------------------------------
#define IDC_PRINT_PROPERTIES    1025
#define IDC_PRINT_OFFSET_X      1071
#define IDC_PRINT_PRINTER_GROUP 1075
#define IDC_PRINT_PAGE_GROUP    1076
#define IDC_PRINT_OFFSET_Y      1082
#define IDC_PRINT_FRONT         1116
#define IDC_PRINT_X_LABEL       1119
#define IDC_PRINT_Y_LABEL       1120
#define IDC_PRINT_HELP          1130
#define IDC_PRINT_BACK          1132
#define IDC_PRINT_DISC1         1133
#define IDC_PRINT_DISC2         1134
#define IDC_PRINT_PRINTER       1139
#define IDC_PRINT_PAGE_SIZE     1140
#define IDC_PRINT_COPIES        1154
#define IDC_PRINT_X_SPIN        1161
#define IDC_PRINT_Y_SPIN        1162
#define IDC_PRINT_COPIES_SPIN   1163
#define IDC_PRINT_COPIES_LABEL  1170
#define IDC_PRINT_TOTAL         1202
#define IDC_PRINT_DIRECTIONS    1203
#define IDC_PRINT_TABS          1204
#define IDC_PRINT_WHAT_GROUP    1243
#define IDC_PRINT_COPIES_GROUP  1247
#define IDC_PRINT_PREVIEW_GROUP 1248
#define IDC_PRINT_PREVIEW       1249

// ---- print side pages ---------------------------------------------------------------------------
#define IDC_PAGE_TEMPLATE       1038
#define IDC_PAGE_TEMPLATE_LABEL 1062
#define IDC_PAGE_BORDER_LABEL   1119
#define IDC_PAGE_OVERLAP_LABEL  1120
#define IDC_PAGE_LAYOUT_LABEL   1121
#define IDC_PAGE_PREVIEW        1126
#define IDC_PAGE_EDIT           1127
#define IDC_PAGE_OVERLAP        1176
#define IDC_PAGE_BORDER         1200
#define IDC_PAGE_LAYOUT         1205

// ---- printer properties -------------------------------------------------------------------------
#define IDC_PROP_PAPER_TYPE        1038
#define IDC_PROP_PAPER_TYPE_LABEL  1062
#define IDC_PROP_SHOW_DISC         1116
#define IDC_PROP_PAPER_SRC_LABEL   1119
#define IDC_PROP_DISC_TYPE_LABEL   1120
#define IDC_PROP_DISC_SRC_LABEL    1121
#define IDC_PROP_DISC_SIZE_LABEL   1123
#define IDC_PROP_PAPER_DRIVER      1126
#define IDC_PROP_DISC_DRIVER       1127
#define IDC_PROP_HELP              1130
#define IDC_PROP_DISC_TYPE         1176
#define IDC_PROP_DISC_SIZE         1177
#define IDC_PROP_PAPER_SOURCE      1200
#define IDC_PROP_DISC_SOURCE       1205
#define IDC_PROP_PAPER_GROUP       1270
#define IDC_PROP_DISC_GROUP        1271

// ---- save as image ------------------------------------------------------------------------------
#define IDC_EXPORT_IMAGE          1038
#define IDC_EXPORT_SETTINGS_GROUP 1062
#define IDC_EXPORT_PREVIEW_GROUP  1119
#define IDC_EXPORT_IMAGE_LABEL    1120
#define IDC_EXPORT_TYPE_LABEL     1121
#define IDC_EXPORT_PREVIEW        1126
#define IDC_EXPORT_BORDER_LABEL   1166
#define IDC_EXPORT_OVERLAP_LABEL  1168
#define IDC_EXPORT_DPI_LABEL      1170
#define IDC_EXPORT_SIZE_GROUP     1171
#define IDC_EXPORT_PIXELS         1173
#define IDC_EXPORT_RESOLUTION     1176
#define IDC_EXPORT_BORDER         1177
#define IDC_EXPORT_OVERLAP        1178
#define IDC_EXPORT_TYPE           1200
#define IDC_EXPORT_INCHES         1201

// ---- label stock --------------------------------------------------------------------------------
#define IDC_STOCK_DISC_CAPTION   1062
#define IDC_STOCK_DISC_EDIT      1071
#define IDC_STOCK_CASE_EDIT      1082
#define IDC_STOCK_DISC_LIST      1104
#define IDC_STOCK_CASE_CAPTION   1119
#define IDC_STOCK_DISC_PREVIEW_CAPTION 1120
#define IDC_STOCK_PAGE2_CAPTION  1121
#define IDC_STOCK_CASE_LIST      1125
#define IDC_STOCK_DISC_PREVIEW   1126
#define IDC_STOCK_PAGE2_PREVIEW  1127
#define IDC_STOCK_PAGE3_PREVIEW  1128
#define IDC_STOCK_CASE_DELETE    1130
#define IDC_STOCK_PAGE3_CAPTION  1166
#define IDC_STOCK_DISC_NEW       1179
#define IDC_STOCK_CASE_NEW       1181
#define IDC_STOCK_DISC_DELETE    1189
#define IDC_STOCK_LINK           1268

// ---- label alignment ----------------------------------------------------------------------------
#define IDC_ALIGN_UNITS         1038
#define IDC_ALIGN_NAME_LABEL    1062
#define IDC_ALIGN_NAME          1071
#define IDC_ALIGN_PREVIEW       1126
#define IDC_ALIGN_PAPER_LABEL   1171
#define IDC_ALIGN_UNITS_LABEL   1173
#define IDC_ALIGN_ORIENTATION   1176
#define IDC_ALIGN_FOLDED        1178
#define IDC_ALIGN_PAPER         1200
#define IDC_ALIGN_ORIENT_LABEL  1201
#define IDC_ALIGN_PAGES_LABEL   1202
#define IDC_ALIGN_FOLDED_LABEL  1203
#define IDC_ALIGN_TAB           1204
#define IDC_ALIGN_PAGES         1205
#define IDC_ALIGN_DIVIDER       1266
// The dimension fields' edits are 2024 + field index; their up-downs and captions all 2024.
#define IDC_DIMENSION_FIELD     2024
#define IDC_DIMENSION_FIELD_END 2124

// ---- new project --------------------------------------------------------------------------------
#define IDC_NEW_CAPTION       1062
#define IDC_NEW_LIST          1104
#define IDC_NEW_BLANK         1116
#define IDC_NEW_SHOW_AT_START 1117

// ---- LightScribe --------------------------------------------------------------------------------
#define IDC_LS_SELECT_CAPTION  1062
#define IDC_LS_USE_TEMPLATE    1116
#define IDC_LS_PREVIEW_CAPTION 1119
#define IDC_LS_WARNING         1120
#define IDC_LS_DISC_LIST       1125
#define IDC_LS_PREVIEW         1126
#define IDC_LS_WARNING_IMAGE   1262
