// The shell's message boxes: themed boxes with the application's buttons.
#include "app/AppMessages.h"

#include "controls/AeroMessageBox.h"

void ShowBox(MessageBoxKind kind, const CString& text) {
    AeroMessageBox box(AfxGetMainWnd());
    box.m_iconKind = kind;
    box.m_message = text;
    box.AddButton("OK", IDOK, 1);
    box.DoModal();
}

void ShowSaveFailed(const CString& path) {
    ShowBox(kBoxError, "Error saving file:\r\n\r\n" + path);
}

int AskSaveChanges(const CString& name) {
    AeroMessageBox box(AfxGetMainWnd());
    box.m_iconKind = kBoxWarning;
    box.m_message = "Save changes to " + name + "?";
    box.AddButton("Yes", IDYES, 1);
    box.AddButton("No", IDNO, 0);
    box.AddButton("Cancel", IDCANCEL, 0);
    const INT_PTR answer = box.DoModal();
    // Enter presses the default, Yes; a box ended with IDOK from outside means the same. Anything
    // else but the buttons keeps the design.
    if (answer == IDYES || answer == IDOK) return IDYES;
    return answer == IDNO ? IDNO : IDCANCEL;
}
