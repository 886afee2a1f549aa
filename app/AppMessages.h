// The application shell's questions and messages to the user, each a themed message box with
// one or three buttons. Every box goes through the framework's message-box hook, so tests
// answer them.
#pragma once

#include "framework/Core.h"

// Icon kinds of the boxes.
enum MessageBoxKind { kBoxError = 1, kBoxWarning = 2, kBoxInformation = 3 };
// Results of the three-button question.
enum { kAnswerYes = 1, kAnswerNo = 2, kAnswerCancel = 3 };

// One "OK" button.
void ShowBox(MessageBoxKind kind, const CString& text);
// "Yes" (default), "No", "Cancel": kAnswerYes, kAnswerNo or kAnswerCancel.
int AskYesNoCancel(MessageBoxKind kind, const CString& text);
