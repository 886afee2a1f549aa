// The Tracks box: the count from the list or typed digits, reported as TrackChange.
#include "bars/CboTracks.h"

#include <algorithm>
#include <cstdlib>

#include "bars/TextEditorErrors.h"
#include "framework/core/OperationError.h"

IMPLEMENT_DYNAMIC(CCboTracks, AeroComboBox)

BEGIN_MESSAGE_MAP(CCboTracks, AeroComboBox)
    ON_CONTROL_REFLECT(CBN_SETFOCUS, OnSetFocusReflect)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUpReflect)
    ON_CONTROL_REFLECT(CBN_SELCHANGE, OnSelChangeReflect)
END_MESSAGE_MAP()

CCboTracks::CCboTracks() = default;
CCboTracks::~CCboTracks() = default;

int CCboTracks::ParseCount(const CString& text) {
    // Digits only reach the box, but a long run of them must not overflow.
    const long value = std::strtol(text.Left(9), nullptr, 10);
    return static_cast<int>(std::max(1L, std::min(99L, value)));
}

void CCboTracks::RunSelection(bool typed) {
    GuardOperation(kErrTracksSelect, [&] {
        CString text;
        const int selected = GetCurSel();
        if (typed || selected < 0)
            GetWindowText(text);
        else
            GetLBText(selected, text);
        const int count = ParseCount(text);
        ShowCount(count);
        TrackChange(count, m_name);
    });
}

void CCboTracks::ShowCount(int count) {
    CString text;
    text.Format("%d", count);
    const int index = count >= 1 ? FindStringExact(-1, text) : -1;
    SetCurSel(index);
}

BOOL CCboTracks::PreTranslateMessage(MSG* msg) {
    BOOL consumed = FALSE;
    GuardOperation(kErrTracksKeys, [&] {
        const bool keyDown = msg->message == WM_KEYDOWN;
        if (keyDown && msg->wParam == VK_RETURN) {
            RunSelection(true);
            RemoveFocus();
        }
        if (::GetKeyState(VK_CONTROL) < 0 && keyDown && (msg->wParam == 'Z' || msg->wParam == 'Y')) {
            RemoveFocus();
            return;
        }
        if (!keyDown) return;
        const WPARAM key = msg->wParam;
        const bool allowed =
            key == VK_BACK || key == VK_LEFT || key == VK_RIGHT || (key >= '0' && key <= '9');
        consumed = !allowed;
    });
    return consumed;
}

void CCboTracks::OnSetFocusReflect() {
    GuardOperation(kErrTracksFocus, [&] { Focused(); });
}

void CCboTracks::OnCloseUpReflect() {
    GuardOperation(kErrTracksCloseUp, [&] { RemoveFocus(); });
}

void CCboTracks::OnSelChangeReflect() {
    RunSelection(false);
}
