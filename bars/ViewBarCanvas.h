// The bars' canvas in the running program: every request goes to the current View and its
// selection editor. GetBarCanvas() gives it whenever no other canvas is installed.
#pragma once

#include "bars/BarCanvas.h"

// The canvas of the current View (View::GetCurrent()); each call does nothing while there is no
// view.
BarCanvas* GetViewBarCanvas();
