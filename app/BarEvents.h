// The events that connect the text bar's fields and its track selector to the text bar, and the
// text bar and the sizing bars to the main frame, with the text rules the frame's handlers
// apply before a field's text reaches the design.
//
// The sources (CEditText, CCboTracks, CBarText) belong to the editing bars and the receivers'
// handlers to the main frame; this header gives them their event types so that each source
// declares its lists in the documented order, e.g. in CEditText:
//   BarFocusedEvent m_evFocused; BarRemoveFocusEvent m_evRemoveFocus; BarUpdateTextEvent m_evUpdateText;
//   FieldTabEvent m_evTrackListTab; FieldArrowEvent m_evTrackListArrow; FieldKillFocusEvent m_evKillFocus;
// The sizing bar's BarMoved event lives in controls/ResizeBar.h.
#pragma once

#include <windows.h>

#include "controls/BarEvent.h"
#include "framework/core/cstring.h"

class CEditText;

typedef CBarEvent<> BarFocusedEvent;                         // no arguments
typedef CBarEvent<> BarRemoveFocusEvent;                     // no arguments
typedef CBarEvent<CString&, CEditText*> BarUpdateTextEvent;  // the field's text, the field
typedef CBarEvent<CEditText*> FieldKillFocusEvent;           // the field
typedef CBarEvent<CEditText*> FieldTabEvent;                 // Tab pressed in the track-list field
typedef CBarEvent<CEditText*, MSG*> FieldArrowEvent;         // Down on the last line, Up on the first
typedef CBarEvent<int, CString> TrackChangeEvent;            // new track count, track-list object name
typedef CBarEvent<> BarMovedEvent;                           // a sizing bar's edge drag moved it

// The track list stores each record as three fields, each ended by this character.
const char kTrackFieldEnd = 0x08;

// A field's text as the design keeps it: CR LF becomes CR, the field terminator 0x08 is
// dropped (typed into a field it would split the track records) and a tab becomes a blank.
CString CleanFieldText(const CString& text);

// Whether an object name names the track list (its first 10 characters are "Track List").
BOOL IsTrackListName(const CString& objectName);

// Complete records in a track-list text: the number of 0x08 characters divided by 3.
int CountTrackRecords(const CString& text);

// The track-list text with newCount records: records count + 1 .. newCount appended as
// "<i>. \x08Track <i><suffix>\x08 0:<ii>\x08", or the text cut right after the 0x08 that ends
// record newCount. A count below 1 matches no record end and leaves the text as it is.
CString ResizeTrackList(const CString& text, int newCount, const CString& trackNameSuffix);

// The object name that selects a design side as a whole: "Page <index>".
CString PageObjectName(int sideIndex);
