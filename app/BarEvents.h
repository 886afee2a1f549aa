// The events that connect the text bar's fields and its track selector to the text bar, and the
// text bar and the sizing bars to the main frame, with the text rules the frame's handlers
// apply before a field's text reaches the design.
//
// The event types belong to the editing bars (bars/BarTextEvents.h), the text rules to the
// design model (model/TrackListText.h); the frame's handlers use both.
#pragma once

#include <windows.h>

#include "bars/BarTextEvents.h"
#include "model/TrackListText.h"

// The object name that selects a design side as a whole: "Page <index>".
CString PageObjectName(int sideIndex);
