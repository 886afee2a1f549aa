// The canvas's messages to the user: every box the view and its editor show goes through
// ShowCanvasMessage, in the shape of the themed message box (icon kind, caption, text, a link
// line, up to three buttons with their results), and through the one message-box hook, so no
// test ever blocks on one.
#pragma once

#include <vector>

#include "controls/MessageBoxKind.h"
#include "framework/Core.h"

class CWnd;

// The canvas's names for the box kinds it shows.
constexpr MessageBoxKind kMessageError = kBoxError;
constexpr MessageBoxKind kMessageWarning = kBoxWarning;
constexpr MessageBoxKind kMessageInformation = kBoxInformation;

struct CanvasMessageButton {
    CString caption;
    int result = 1;
    bool isDefault = false;
    CString link;  // a shortcut file opened by the button (it then does not close the box)
};

// Shows the box and returns the result of the button pressed. An empty caption is the product
// name. The link line opens `link` (a shortcut file) and reads the address the shortcut names,
// or the file's path when it names none.
int ShowCanvasMessage(CWnd* parent, MessageBoxKind icon, const CString& caption, const CString& text,
                      const CString& link, const std::vector<CanvasMessageButton>& buttons);
// The address an Internet shortcut file (".url") opens; empty when the file is missing or has none.
CString ShortcutAddress(const CString& path);
// A plain message with one default "OK" button (result 1).
int ShowCanvasMessageOk(CWnd* parent, MessageBoxKind icon, const CString& caption, const CString& text);
