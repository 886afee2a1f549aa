// The event types of the Text Editor bar: its field boxes and its Tracks box tell the bar, and
// the bar tells the main frame, through these lists (controls/BarEvent.h). Each source declares
// its lists in this order:
//   CEditText:  Focused, RemoveFocus, UpdateText, TrackListTab, TrackListArrow, KillFocus
//   CCboTracks: Focused, RemoveFocus, TrackChange
//   CBarText:   Focused, RemoveFocus, UpdateText
#pragma once

#include <windows.h>

#include "controls/BarEvent.h"
#include "framework/core/Strings.h"

class CEditText;

typedef CBarEvent<> BarFocusedEvent;                         // no arguments
typedef CBarEvent<> BarRemoveFocusEvent;                     // no arguments
typedef CBarEvent<CString&, CEditText*> BarUpdateTextEvent;  // the field's text, the field
typedef CBarEvent<CEditText*> FieldKillFocusEvent;           // the field
typedef CBarEvent<CEditText*> FieldTabEvent;                 // Tab pressed in the track-list field
typedef CBarEvent<CEditText*, MSG*> FieldArrowEvent;         // Down on the last line, Up on the first
typedef CBarEvent<int, CString> TrackChangeEvent;            // new track count, track-list object name
typedef CBarEvent<> BarMovedEvent;                           // a sizing bar's edge drag moved it
