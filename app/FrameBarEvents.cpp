// The main frame's handlers of the bars' events: a field of the Text Editor bar that takes the
// focus selects the current page, a field's new text and a new track count go into the design as
// one undo step each, and a moved side panel re-centres the canvas once the layout settled.
#include "app/KorvanelleFrame.h"

#include "app/BarEvents.h"
#include "bars/AlbumFieldEdit.h"
#include "canvas/View.h"

void KorvanelleFrame::HookBarEvents() {
    m_barText.HookFocused(this, &KorvanelleFrame::OnBarTextFocused);
    m_barText.HookRemoveFocus(this, &KorvanelleFrame::OnBarTextRemoveFocus);
    m_barText.HookUpdateText(this, &KorvanelleFrame::OnBarTextUpdateText);
    m_barText.m_tracks.HookTrackChange(this, &KorvanelleFrame::OnTrackChange);
    m_barText.HookBarMoved(this, &KorvanelleFrame::OnBarMoved);
    m_barImages.HookBarMoved(this, &KorvanelleFrame::OnBarMoved);
}

void KorvanelleFrame::UnhookBarEvents() {
    m_barText.UnhookFocused(this, &KorvanelleFrame::OnBarTextFocused);
    m_barText.UnhookRemoveFocus(this, &KorvanelleFrame::OnBarTextRemoveFocus);
    m_barText.UnhookUpdateText(this, &KorvanelleFrame::OnBarTextUpdateText);
    m_barText.m_tracks.UnhookTrackChange(this, &KorvanelleFrame::OnTrackChange);
    m_barText.UnhookBarMoved(this, &KorvanelleFrame::OnBarMoved);
    m_barImages.UnhookBarMoved(this, &KorvanelleFrame::OnBarMoved);
}

void KorvanelleFrame::OnBarTextFocused() {
    GuardOperation(1925, [&] {
        View* view = View::GetCurrent();
        if (view == nullptr) return;
        view->OnSelectionChanged(PageObjectName(view->m_design.GetCurrentSideIndex()), 1);
        view->m_select.Refresh();
    });
}

void KorvanelleFrame::OnBarTextRemoveFocus() {
    GuardOperation(1926, [&] {
        View* view = View::GetCurrent();
        if (view != nullptr && view->m_hWnd != nullptr) view->SetFocus();
    });
}

void KorvanelleFrame::OnBarTextUpdateText(CString& text, CEditText* field) {
    GuardOperation(972, [&] {
        if (View::GetCurrent() == nullptr || field == nullptr) return;
        StoreFieldEdit(m_barText, text, field);
    });
}

void KorvanelleFrame::OnTrackChange(int newCount, CString name) {
    GuardOperation(1927, [&] {
        if (View::GetCurrent() == nullptr) return;
        ChangeTrackCount(m_barText, newCount, name);
    });
}

void KorvanelleFrame::OnBarMoved() {
    GuardOperation(1928, [&] {
        View* view = View::GetCurrent();
        if (view == nullptr || view->m_hWnd == nullptr) return;
        view->m_skipNextPaint = 1;
        view->SetTimer(kTimerBarMoved, 10, nullptr);
    });
}
