// The framework's window layer: application and threads, message maps,
// windows, dialogs and data exchange, controls, GDI, menus, image lists and
// the common dialogs.
#pragma once

#include "framework/Core.h"

#include <commctrl.h>
#include <commdlg.h>

#include "framework/win/MsgMap.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/HandleMap.h"
#include "framework/win/Wnd.h"
#include "framework/win/Gdi.h"
#include "framework/win/ScopedGdi.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "framework/win/Dialog.h"
#include "framework/win/Controls.h"
#include "framework/win/ImageList.h"
#include "framework/win/CommonDialogs.h"
