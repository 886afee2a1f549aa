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

// The Focused and RemoveFocus lists every source of the Text Editor bar has, with their hooks
// and raising. A handler may be a member of a base of the receiver (the bar hooks its own
// inherited raising functions on its boxes).
class FocusEventSource {
public:
    template <class R, class B>
    HRESULT HookFocused(R* r, void (B::*f)()) {
        return m_evFocused.Hook(static_cast<B*>(r), f);
    }
    template <class R, class B>
    HRESULT UnhookFocused(R* r, void (B::*f)()) {
        return m_evFocused.Unhook(static_cast<B*>(r), f);
    }
    template <class R, class B>
    HRESULT HookRemoveFocus(R* r, void (B::*f)()) {
        return m_evRemoveFocus.Hook(static_cast<B*>(r), f);
    }
    template <class R, class B>
    HRESULT UnhookRemoveFocus(R* r, void (B::*f)()) {
        return m_evRemoveFocus.Unhook(static_cast<B*>(r), f);
    }
    void Focused() { m_evFocused.Raise(); }
    void RemoveFocus() { m_evRemoveFocus.Raise(); }

    BarFocusedEvent m_evFocused;
    BarRemoveFocusEvent m_evRemoveFocus;
};

// A source that also tells of edited text: the field boxes and the bar.
class TextEventSource : public FocusEventSource {
public:
    template <class R, class B>
    HRESULT HookUpdateText(R* r, void (B::*f)(CString&, CEditText*)) {
        return m_evUpdateText.Hook(static_cast<B*>(r), f);
    }
    template <class R, class B>
    HRESULT UnhookUpdateText(R* r, void (B::*f)(CString&, CEditText*)) {
        return m_evUpdateText.Unhook(static_cast<B*>(r), f);
    }
    void UpdateText(CString& text, CEditText* box) { m_evUpdateText.Raise(text, box); }

    BarUpdateTextEvent m_evUpdateText;
};
