// CEditText: the multi-line box of one album field in the Text Editor bar, and the cell editor of
// its track-list grid. It stores nothing in the design: it reports focus, typing, Return, paste
// and the grid's Tab and arrow moves to its owners through event lists.
//
// A box whose name begins with "Track List" is in track-list mode (the grid's cell editor).
#pragma once

#include "bars/BarTextEvents.h"
#include "model/TrackListText.h"
#include "framework/Win.h"

class CEditText : public CEdit, public TextEventSource {
    DECLARE_DYNAMIC(CEditText)
public:
    CEditText();
    ~CEditText() override;

    // The album field the box edits, e.g. "Artist - Disc 2".
    CString m_name;
    // Pixels; set by the bar's height fitting and used by its layout.
    int m_height = 0;
    // Character position of a Return waiting for the update handling; -1 none.
    int m_pendingBreak = -1;

    BOOL IsTrackListMode() const { return IsTrackListName(m_name); }
    // Sets the text without raising UpdateText (text set by the program is no edit of the user's).
    void SetTextQuietly(const CString& text);
    // The clipboard's text cleaned for a field (0x08 removed, tab as blank); empty without text.
    static CString GetClipboardFieldText(HWND owner);

    // ---- events ----
    template <class R>
    HRESULT HookTrackListTab(R* r, void (R::*f)(CEditText*)) {
        return m_evTrackListTab.Hook(r, f);
    }
    template <class R>
    HRESULT UnhookTrackListTab(R* r, void (R::*f)(CEditText*)) {
        return m_evTrackListTab.Unhook(r, f);
    }
    template <class R>
    HRESULT HookTrackListArrow(R* r, void (R::*f)(CEditText*, MSG*)) {
        return m_evTrackListArrow.Hook(r, f);
    }
    template <class R>
    HRESULT UnhookTrackListArrow(R* r, void (R::*f)(CEditText*, MSG*)) {
        return m_evTrackListArrow.Unhook(r, f);
    }
    template <class R>
    HRESULT HookKillFocus(R* r, void (R::*f)(CEditText*)) {
        return m_evKillFocus.Hook(r, f);
    }
    template <class R>
    HRESULT UnhookKillFocus(R* r, void (R::*f)(CEditText*)) {
        return m_evKillFocus.Unhook(r, f);
    }

    void TrackListTab(CEditText* box) { m_evTrackListTab.Raise(box); }
    void TrackListArrow(CEditText* box, MSG* msg) { m_evTrackListArrow.Raise(box, msg); }
    void KillFocus(CEditText* box) { m_evKillFocus.Raise(box); }

    // The update handling: takes a pending Return into the text, then raises UpdateText.
    void RunUpdate();
    // Replaces the selection with the clipboard's field text, then runs the update handling.
    void PasteFieldText();

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int OnCreate(LPCREATESTRUCT createStruct);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSetFocusReflect();
    void OnKillFocusReflect();
    void OnUpdateReflect();

    FieldTabEvent m_evTrackListTab;
    FieldArrowEvent m_evTrackListArrow;
    FieldKillFocusEvent m_evKillFocus;

    DECLARE_MESSAGE_MAP()

private:
    BOOL m_settingText = FALSE;  // the program is setting the text: no UpdateText
};
