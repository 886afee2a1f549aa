// The canvas's keys: the view hands every key message to its editor first, and the editor's
// dispatcher decides which keys the canvas takes (typing, deleting, moving the caret, selecting,
// zoom, the clipboard keys); the frame's shortcuts act only on the keys it leaves alone. Typed
// characters wait for the idle time, and go into the text they were typed into before any other
// input or command is handled.
#include "canvas/ViewSelect.h"

#include "canvas/AppCanvasState.h"
#include "canvas/View.h"

BOOL View::PreTranslateMessage(MSG* pMsg) {
    // A key the canvas took is consumed: the frame's shortcuts (Delete Object on Delete, Paste
    // Text on Ctrl+V...) act only on keys the canvas left alone.
    bool taken = false;
    GuardOperation(851, [&] { taken = m_select.OnKey(pMsg); });
    if (taken) return TRUE;
    return CScrollView::PreTranslateMessage(pMsg);
}

void View::InsertTypingBefore(const MSG& msg) {
    if (AppCanvasState::Get().m_queuedText.IsEmpty()) return;
    switch (msg.message) {
        // A press anywhere may select another object, move the caret or reach a bar that edits
        // the selection; a menu key opens the menu. Keys on the canvas keep their own order (the
        // editor lets the characters before them in when it takes them).
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDOWN:
        case WM_XBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONDBLCLK:
        case WM_NCXBUTTONDOWN:
        case WM_NCXBUTTONDBLCLK:
        case WM_SYSKEYDOWN:
            break;
        case WM_KEYDOWN:
            if (msg.hwnd == m_hWnd) return;
            break;
        default:
            return;
    }
    m_select.InsertQueuedText();
}

BOOL View::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The frame routes every command here first, from the menu, a tool bar or a shortcut alike:
    // characters typed just before it go in first, so that Undo undoes the typing.
    if (nCode == CN_COMMAND && pHandlerInfo == nullptr) m_select.InsertQueuedText();
    return CScrollView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void ViewSelect::InsertQueuedText() {
    CString& queued = AppCanvasState::Get().m_queuedText;
    if (queued.IsEmpty() || !m_view) return;
    const CString text = queued;
    queued.Empty();
    m_view->BeginUndoStep();
    InsertText(text);
    m_view->EndUndoStep();
}

bool ViewSelect::OnKey(MSG* pMsg) {
    if (!pMsg || !m_view) return false;
    const UINT message = pMsg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR) return false;
    if (!m_keysEnabled) {
        // Shut after a clipboard key until a key goes up: the presses meanwhile (the held key's
        // repeats) are taken here and do nothing, so a held Ctrl+V pastes once and the frame's
        // shortcut does not paste in its place.
        if (message == WM_KEYUP) m_keysEnabled = 1;
        return message == WM_KEYDOWN;
    }
    const WPARAM key = pMsg->wParam;
    if (message == WM_KEYDOWN && key == VK_CONTROL) return false;
    if (message == WM_CHAR && (key == 8 || key == 9)) return false;
    if (message == WM_KEYUP && (key == VK_CONTROL || key == VK_DELETE || key == VK_BACK || key == VK_TAB ||
                                key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN))
        return false;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool down = message == WM_KEYDOWN;
    const bool repeat = (pMsg->lParam & (1 << 30)) != 0;
    // Characters typed just before wait for the idle handler; a key that edits, moves the caret
    // or reaches a shortcut (undo, paste...) comes after them, so they go in first.
    if (down && (ctrl || key == VK_DELETE || key == VK_BACK || key == VK_TAB || key == VK_LEFT ||
                 key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END))
        InsertQueuedText();
    ViewObject* o = GetSelectedObject();
    const bool textual = IsTextual(o);
    const bool editable = textual || (o && o->IsImage());
    if (ctrl && down && key == VK_OEM_MINUS) {
        if (!repeat) m_view->OnZoomOut();
        return true;
    }
    if (ctrl && down && key == VK_OEM_PLUS) {
        if (!repeat) m_view->OnZoomIn();
        return true;
    }
    if (ctrl && message != WM_CHAR && (key == 'A' || key == 'a')) {
        SetSelection(-1, -1);
        UpdateHighlight(true, false);
        UpdateHighlight(false, true);
        pMsg->message = 0;
        return true;
    }
    if (ctrl && down && key == 'V' && o) {
        m_keysEnabled = 0;
        if (::IsClipboardFormatAvailable(CF_DIB))
            m_view->OnPasteObject();
        else if (::IsClipboardFormatAvailable(CF_TEXT))
            m_view->OnEditPasteText();
        return true;
    }
    if (ctrl && down && key == 'X' && editable) {
        m_keysEnabled = 0;
        if (o->IsImage())
            m_view->OnCutObject();
        else if (m_selStart != m_selEnd)
            m_view->OnEditCutText();
        return true;
    }
    if (ctrl && down && key == 'C' && editable) {
        m_keysEnabled = 0;
        if (o->IsImage())
            m_view->OnCopyObject();
        else if (m_selStart != m_selEnd)
            m_view->OnEditCopyText();
        return true;
    }
    if (down && (key == VK_DELETE || key == VK_BACK) && o && o->IsImage()) {
        m_view->OnDeleteObject();
        return true;
    }
    if (down && (key == VK_DELETE || key == VK_BACK) && o && (o->IsSide() || o->IsBoundary())) {
        ClearSideBackground(TRUE);
        return true;
    }
    if (!textual) return false;
    if (down && shift && (key == VK_LEFT || key == VK_RIGHT)) {
        ExtendSelection(o, static_cast<int>(key));
        return true;
    }
    if (down && key == VK_DELETE && m_selStart != m_selEnd) {
        m_view->BeginUndoStep();
        DeleteChars(true, true);
        m_view->EndUndoStep();
        return true;
    }
    if (down && key == VK_DELETE) {
        // Taken even where there is nothing after the caret to delete: Delete while a text is
        // edited never deletes the object.
        const int c = m_selStart;
        if (c + 1 < o->GetCharCount() && o->chars[c] != CString(kTrackFieldEnd, 1)) {
            m_view->BeginUndoStep();
            m_selStart = m_selEnd = c + 1;
            DeleteChars(true, false);
            m_view->EndUndoStep();
        }
        return true;
    }
    if (down && key == VK_BACK) {
        m_view->BeginUndoStep();
        DeleteChars(true, true);
        m_view->EndUndoStep();
        return true;
    }
    if (down && key == VK_TAB) {
        NextTrackField(o);
        return true;
    }
    if (down && shift && (key == VK_UP || key == VK_DOWN)) {
        ExtendSelection(o, static_cast<int>(key));
        return true;
    }
    if (down && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN)) {
        MoveCaret(static_cast<int>(key), true);
        m_anchor = m_selStart;
        return true;
    }
    if (down && (key == VK_END || key == VK_HOME)) {
        const int c = key == VK_END ? o->GetCharCount() - 1 : 0;
        SetSelection(c, c);
        UpdateHighlight(true, false);
        UpdateHighlight(false, true);
        return true;
    }
    if (message == WM_CHAR) {
        // Control characters (Ctrl with a letter) are no text.
        if (key == 13) {
            AppCanvasState::Get().m_queuedText += "\r";
            return true;
        }
        if (key >= 32 && key < 256) {
            AppCanvasState::Get().m_queuedText += static_cast<char>(key);
            return true;
        }
    }
    return false;
}
