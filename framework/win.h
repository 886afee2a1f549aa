// The framework's window layer: application and threads, message maps,
// windows, dialogs and data exchange, controls, GDI, menus, image lists and
// the common dialogs.
#pragma once

#include "framework/core.h"

#include <commctrl.h>
#include <commdlg.h>

#include "framework/win/msgmap.h"
#include "framework/win/cmdtarget.h"
#include "framework/win/handlemap.h"
#include "framework/win/wnd.h"
#include "framework/win/gdi.h"
#include "framework/win/menu.h"
#include "framework/win/app.h"
#include "framework/win/dialog.h"
#include "framework/win/controls.h"
#include "framework/win/imagelist.h"
#include "framework/win/common_dialogs.h"
