// The field box of the Text Editor bar: Return and paste handled by the box itself, Ctrl+A,
// Ctrl+Z/Y, Tab and the arrows at the edges of the grid's cell editor, and the events that tell
// the bar about all of it.
#include "bars/EditText.h"

#include <algorithm>

#include "framework/win/ScopedGdi.h"
#include "bars/TextEditorErrors.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "framework/core/OperationError.h"

namespace {

bool IsVistaOrLater() {
    static const bool vista = [] {
        OSVERSIONINFOA info;
        return ReadSystemVersion(&info) && info.dwMajorVersion >= 6;
    }();
    return vista;
}

bool ControlHeld() {
    return ::GetKeyState(VK_CONTROL) < 0;
}

}  // namespace

IMPLEMENT_DYNAMIC(CEditText, CEdit)

BEGIN_MESSAGE_MAP(CEditText, CEdit)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_CONTROL_REFLECT(EN_SETFOCUS, OnSetFocusReflect)
    ON_CONTROL_REFLECT(EN_KILLFOCUS, OnKillFocusReflect)
    ON_CONTROL_REFLECT(EN_UPDATE, OnUpdateReflect)
END_MESSAGE_MAP()

CEditText::CEditText() = default;
CEditText::~CEditText() = default;

void CEditText::SetTextQuietly(const CString& text) {
    const BOOL previous = m_settingText;
    m_settingText = TRUE;
    SetWindowText(text);
    m_settingText = previous;
}

CString CEditText::GetClipboardFieldText(HWND owner) {
    CString text;
    if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(owner)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            // The clipboard's block need not end in a zero: read no further than its size.
            const SIZE_T size = ::GlobalSize(data);
            SIZE_T length = 0;
            while (length < size && bytes[length] != '\0') ++length;
            text = CString(bytes, static_cast<int>(length));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return CleanPastedText(text);
}

void CEditText::RunUpdate() {
    GuardOperation(kErrEditUpdate, [&] {
        CString text;
        GetWindowText(text);
        if (m_pendingBreak >= 0) {
            const int at = std::min(m_pendingBreak, text.GetLength());
            m_pendingBreak = -1;
            text = text.Left(at) + "\r\n" + text.Mid(at);
            SetTextQuietly(text);
            SetSel(at + 2, at + 2);
        }
        UpdateText(text, this);
    });
}

void CEditText::PasteFieldText() {
    GuardOperation(kErrEditPaste, [&] {
        const CString pasted = GetClipboardFieldText(m_hWnd);
        CString text;
        GetWindowText(text);
        int start = 0, end = 0;
        GetSel(start, end);
        start = std::max(0, std::min(start, text.GetLength()));
        end = std::max(start, std::min(end, text.GetLength()));
        SetTextQuietly(text.Left(start) + pasted + text.Mid(end));
        SetSel(start + pasted.GetLength(), start + pasted.GetLength());
    });
    RunUpdate();
}

BOOL CEditText::PreTranslateMessage(MSG* msg) {
    BOOL consumed = FALSE;
    GuardOperation(kErrEditKeys, [&] {
        const bool keyDown = msg->message == WM_KEYDOWN;
        if (ControlHeld() && keyDown && (msg->wParam == 'Z' || msg->wParam == 'Y')) {
            // The frame's accelerators undo or redo in the canvas, which takes the focus first.
            RemoveFocus();
            return;
        }
        if (ControlHeld() && keyDown && msg->wParam == 'A') {
            SetSel(0, -1);
            consumed = TRUE;
            return;
        }
        if (IsTrackListMode() && keyDown) {
            const int line = LineFromChar(-1);
            const int lines = GetLineCount();
            if (msg->wParam == VK_TAB) {
                TrackListTab(this);
                SetSel(0, -1);
                consumed = TRUE;
            } else if ((msg->wParam == VK_DOWN && line + 1 == lines) || (msg->wParam == VK_UP && line == 0)) {
                // The handler clicks into the neighbouring cell, which places the caret; passing
                // the key on as well would move it one line further.
                TrackListArrow(this, msg);
                consumed = TRUE;
            }
            return;
        }
        if (msg->message == WM_CHAR && msg->wParam == VK_RETURN) {
            int start = 0, end = 0;
            GetSel(start, end);
            m_pendingBreak = start;
            consumed = TRUE;
            RunUpdate();
        }
    });
    return consumed;
}

LRESULT CEditText::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PASTE) {
        PasteFieldText();
        return 0;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

int CEditText::OnCreate(LPCREATESTRUCT createStruct) {
    (void)createStruct;
    int result = -1;
    GuardOperation(kErrEditCreate, [&] {
        result = static_cast<int>(Default());
        // The box keeps the classic edit look whatever the visual style.
        if (result != -1 && g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
    });
    return result;
}

BOOL CEditText::OnEraseBkgnd(CDC* dc) {
    BOOL result = TRUE;
    GuardOperation(kErrEditErase, [&] {
        if (IsVistaOrLater() || dc == nullptr) return;
        // Older systems paint the edit's text area themselves; only the strip along the right
        // edge is left to the default erase.
        CRect client;
        GetClientRect(&client);
        CRect keep = client;
        keep.left = std::max(client.left, client.right - 10);
        ScopedSaveDC saved(dc->m_hDC);
        ::ExcludeClipRect(dc->m_hDC, client.left, client.top, keep.left, client.bottom);
        result = static_cast<BOOL>(Default());
    });
    return result;
}

void CEditText::OnSetFocusReflect() {
    GuardOperation(kErrEditFocus, [&] { Focused(); });
}

void CEditText::OnKillFocusReflect() {
    GuardOperation(kErrEditKillFocus, [&] { KillFocus(this); });
}

void CEditText::OnUpdateReflect() {
    if (m_settingText) return;
    RunUpdate();
}
