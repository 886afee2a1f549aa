// The shell's message boxes: themed boxes with the application's buttons.
#include "app/AppMessages.h"

#include "controls/AeroMessageBox.h"

namespace {
const WORD kNoButtonResult = IDNO;
}

void ShowBox(MessageBoxKind kind, const CString& text) {
    AeroMessageBox box(AfxGetMainWnd());
    box.m_iconKind = kind;
    box.m_message = text;
    box.AddButton("OK", 1, 1);
    box.DoModal();
}

int AskYesNoCancel(MessageBoxKind kind, const CString& text) {
    AeroMessageBox box(AfxGetMainWnd());
    box.m_iconKind = kind;
    box.m_message = text;
    box.AddButton("Yes", kAnswerYes, 1);
    // "No" answers with a result of its own: the box's Escape and close box answer 2 (IDCANCEL),
    // which must not count as "No" and drop the changes.
    box.AddButton("No", kNoButtonResult, 0);
    box.AddButton("Cancel", kAnswerCancel, 0);
    INT_PTR answer = box.DoModal();
    if (answer == kAnswerYes) return kAnswerYes;
    if (answer == kNoButtonResult) return kAnswerNo;
    return kAnswerCancel;  // Cancel, Escape or the close box
}
