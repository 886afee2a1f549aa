// The framework's document/view layer: documents and templates, views and
// scroll views, frames, control bars, tool bars and docking, the recent-file
// list, printing and print preview.
#pragma once

#include "framework/win.h"
#include "framework/docview/ids.h"
#include "framework/docview/doc.h"
#include "framework/docview/view.h"
#include "framework/docview/frame.h"
#include "framework/docview/ctrlbar.h"
#include "framework/docview/dockbar.h"
#include "framework/docview/preview.h"
