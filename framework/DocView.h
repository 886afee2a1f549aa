// The framework's document/view layer: documents and templates, views and
// scroll views, frames, control bars, tool bars and docking, the recent-file
// list, printing and print preview.
#pragma once

#include "framework/Win.h"
#include "framework/docview/Ids.h"
#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "framework/docview/FrameWnd.h"
#include "framework/docview/ControlBar.h"
#include "framework/docview/DockBar.h"
#include "framework/docview/Preview.h"
