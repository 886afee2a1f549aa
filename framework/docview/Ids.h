// Command, window and style numbers of the document/view layer: the standard
// File and Edit commands, the ids of the frame's panes and dock bars, the
// control-bar styles and the layout flags that bars are asked with.
#pragma once

#include <windows.h>

// ---- standard commands ----
#define ID_FILE_NEW           0xE100
#define ID_FILE_OPEN          0xE101
#define ID_FILE_CLOSE         0xE102
#define ID_FILE_SAVE          0xE103
#define ID_FILE_SAVE_AS       0xE104
#define ID_FILE_PAGE_SETUP    0xE105
#define ID_FILE_PRINT_SETUP   0xE106
#define ID_FILE_PRINT         0xE107
#define ID_FILE_PRINT_DIRECT  0xE108
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_FILE_MRU_FIRST     0xE110
#define ID_FILE_MRU_FILE1     0xE110
#define ID_FILE_MRU_FILE2     0xE111
#define ID_FILE_MRU_FILE3     0xE112
#define ID_FILE_MRU_FILE4     0xE113
#define ID_FILE_MRU_LAST      0xE11F
#define ID_EDIT_CLEAR         0xE120
#define ID_EDIT_COPY          0xE122
#define ID_EDIT_CUT           0xE123
#define ID_EDIT_PASTE         0xE125
#define ID_EDIT_SELECT_ALL    0xE12A
#define ID_EDIT_UNDO          0xE12B
#define ID_EDIT_REDO          0xE12C
#define ID_VIEW_TOOLBAR       0xE800
#define ID_VIEW_STATUS_BAR    0xE801

// ---- print preview's buttons ----
#define AFX_ID_PREVIEW_CLOSE   0xE300
#define AFX_ID_PREVIEW_NUMPAGE 0xE301
#define AFX_ID_PREVIEW_NEXT    0xE302
#define AFX_ID_PREVIEW_PREV    0xE303
#define AFX_ID_PREVIEW_PRINT   0xE304
#define AFX_ID_PREVIEW_ZOOMIN  0xE305
#define AFX_ID_PREVIEW_ZOOMOUT 0xE306

// ---- child window ids of a frame ----
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST  0xE8FF
#define AFX_IDW_TOOLBAR          0xE800
#define AFX_IDW_STATUS_BAR       0xE801
#define AFX_IDW_PREVIEW_BAR      0xE802
#define AFX_IDW_DOCKBAR_TOP      0xE81B  // 59419
#define AFX_IDW_DOCKBAR_LEFT     0xE81C  // 59420
#define AFX_IDW_DOCKBAR_RIGHT    0xE81D  // 59421
#define AFX_IDW_DOCKBAR_BOTTOM   0xE81E  // 59422
#define AFX_IDW_DOCKBAR_FLOAT    0xE81F  // 59423
#define AFX_IDW_PANE_FIRST       0xE900
#define AFX_IDW_PANE_LAST        0xE9FF

// Strings of the framework's own (used when the program has no such resource).
#define AFX_IDS_RECENT_FILE 0xF006

// ---- control-bar styles (the low word and bit 22 of a bar's style) ----
#define CBRS_FLOATING      0x0001L
#define CBRS_SIZE_FIXED    0x0002L
#define CBRS_SIZE_DYNAMIC  0x0004L
#define CBRS_HIDE_INPLACE  0x0008L
#define CBRS_TOOLTIPS      0x0010L
#define CBRS_FLYBY         0x0020L
#define CBRS_FLOAT_MULTI   0x0040L
#define CBRS_BORDER_3D     0x0080L
#define CBRS_BORDER_LEFT   0x0100L
#define CBRS_BORDER_TOP    0x0200L
#define CBRS_BORDER_RIGHT  0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY    0x0F00L
#define CBRS_ALIGN_LEFT    0x1000L
#define CBRS_ALIGN_TOP     0x2000L
#define CBRS_ALIGN_RIGHT   0x4000L
#define CBRS_ALIGN_BOTTOM  0x8000L
#define CBRS_ALIGN_ANY     0xF000L
#define CBRS_GRIPPER       0x00400000L
#define CBRS_ORIENT_HORZ   (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT   (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY    (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL           0x0040FFFFL
#define CBRS_NOALIGN       0x00000000L
#define CBRS_LEFT          (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP           (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT         (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM        (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// ---- how a bar is asked for its size (CalcDynamicLayout) ----
#define LM_STRETCH  0x01  // fill the dock bar's length
#define LM_HORZ     0x02  // horizontal rather than vertical
#define LM_MRUWIDTH 0x04  // the width last used while floating
#define LM_HORZDOCK 0x08  // docked on the top or bottom
#define LM_VERTDOCK 0x10  // docked on the left or right
#define LM_LENGTHY  0x20  // the length given is a height
#define LM_COMMIT   0x40  // remember the result as the floating width

// ---- frame styles ----
#define FWS_ADDTOTITLE  0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS  0x00002000L

// The style of the view a frame makes for its document.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)
