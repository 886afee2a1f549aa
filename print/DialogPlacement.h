// Where the print and export dialogs open: at the place they were last closed, or, the first
// time, centred on the main window (on the work area when there is no main window or it is
// minimised), and the small helpers they share for their themed buttons and messages.
#pragma once

#include <windows.h>

#include "controls/MessageBoxKind.h"
#include "framework/Win.h"

class AeroButton;

// Moves the dialog to `remembered` (its top-left corner, screen pixels); an x below 0 centres it
// on the main window first and stores that place. Size and z-order stay.
void PlaceAtRememberedPosition(CWnd& dialog, POINT& remembered);
// The top-left corner to remember when the dialog closes, raised to 0 where negative.
POINT RememberedPosition(CWnd& dialog);
// The rectangle dialogs centre on: the main window's, or the work area's.
RECT CentringRectangle();

// Attaches a push button of the dialog and gives it the standard dialog-button face.
void AttachButton(AeroButton& button, UINT id, CWnd* dialog);
// A themed message with one default "OK" button.
void ShowDialogMessage(CWnd* owner, MessageBoxKind iconKind, const CString& text);
