// The application shell's questions and messages to the user, each a themed message box, asked
// by what it means. Every box goes through the framework's message-box hook, so tests answer
// them; a box's buttons answer with the system's result ids (IDYES, IDNO, IDCANCEL).
#pragma once

#include "controls/MessageBoxKind.h"
#include "framework/Core.h"

// One "OK" button.
void ShowBox(MessageBoxKind kind, const CString& text);
// "Error saving file:" and the file that could not be written.
void ShowSaveFailed(const CString& path);
// "Save changes to <name>?" with "Yes" (default), "No" and "Cancel": IDYES, IDNO or IDCANCEL
// (Enter counts as Yes; Escape and the close box count as Cancel).
int AskSaveChanges(const CString& name);
