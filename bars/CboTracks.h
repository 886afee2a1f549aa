// CCboTracks: the Tracks box of the Text Editor bar, a drop-down combo box of the counts 1 to 99
// through which the user sets the number of track records. Digits, Backspace and the left and
// right arrows reach its edit; Return or a choice in the list reports the count.
#pragma once

#include "bars/BarTextEvents.h"
#include "controls/AeroComboBox.h"

class CCboTracks : public AeroComboBox, public FocusEventSource {
    DECLARE_DYNAMIC(CCboTracks)
public:
    CCboTracks();
    ~CCboTracks() override;

    // The track-list field the box counts, "Track List" with the disc suffix.
    CString m_name;

    // The count a text stands for: its decimal value held to 1 ... 99.
    static int ParseCount(const CString& text);

    template <class R>
    HRESULT HookTrackChange(R* r, void (R::*f)(int, CString)) {
        return m_evTrackChange.Hook(r, f);
    }
    template <class R>
    HRESULT UnhookTrackChange(R* r, void (R::*f)(int, CString)) {
        return m_evTrackChange.Unhook(r, f);
    }

    void TrackChange(int count, CString name) { m_evTrackChange.Raise(count, name); }

    // Reads the count (the chosen item's text, or the typed text with `typed`), selects the item
    // of that count and raises TrackChange.
    void RunSelection(bool typed);
    // Shows a count (the item of that text), or nothing for a count without an item.
    void ShowCount(int count);

    BOOL PreTranslateMessage(MSG* msg) override;
    void OnSetFocusReflect();
    void OnCloseUpReflect();
    void OnSelChangeReflect();

    TrackChangeEvent m_evTrackChange;

    DECLARE_MESSAGE_MAP()
};
