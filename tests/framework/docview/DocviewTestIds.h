// Resource and command numbers of the document/view tests.
#pragma once

#include "framework/docview/Ids.h"

#define IDR_MAINFRAME 128
#define IDR_TOOLBAR   130

#define ID_ROUTE_VIEW  40001  // handled by view, document, frame and application
#define ID_ROUTE_DOC   40002  // by document, frame and application
#define ID_ROUTE_FRAME 40003  // by frame and application
#define ID_ROUTE_APP   40004  // by the application only

#define ID_BTN_ENABLE 40010  // enabled while the view says so
#define ID_BTN_CHECK  40011  // checked while the view says so
#define ID_BTN_ORPHAN 40012  // no handler anywhere: disabled at idle
#define ID_BTN_PLAIN  40013  // a command handler only: enabled
#define ID_BTN_COLOR  40014

#define IDW_BAR_ONE   1053
#define IDW_BAR_TWO   1054
#define IDW_BAR_FLOAT 1060

#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif
