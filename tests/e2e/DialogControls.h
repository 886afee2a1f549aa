// The controls of the program's dialogs as the driver works them from outside: a choice in a
// drop-down list or a list box (the selection set and the owner told, as the control tells it
// after a click), a text typed over an edit's contents, a check box read, and the system's file
// dialog answered with a path. Every message goes with a time-out, so that a program that hangs
// fails the scenario instead of hanging the driver.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "AppDriver.h"

namespace e2e {

// The child of `dialog` (any depth) with control id `id`, or null.
HWND Control(HWND dialog, int id);

// The entries of a drop-down list (combo box) and the text of its selection.
std::vector<std::string> ComboEntries(HWND combo);
std::string ComboSelection(HWND combo);
// Selects the entry that reads `text` in the combo box `id` of `dialog` and tells the dialog
// (CBN_SELCHANGE), returning once the dialog has handled it. False when there is no such entry.
bool ChooseComboEntry(HWND dialog, int id, const std::string& text);

// The same for a list box.
std::vector<std::string> ListEntries(HWND list);
std::string ListSelection(HWND list);
bool ChooseListEntry(HWND dialog, int id, const std::string& text);

// Replaces the text of an edit control as a paste over its whole contents does (the edit tells
// its owner EN_UPDATE and EN_CHANGE).
bool SetEditText(HWND edit, const std::string& text);
bool IsChecked(HWND button);
// Presses the button with control id `id` (for captions a dialog shows twice), as
// AppDriver::PressButton does.
bool PressControl(const AppDriver& app, HWND dialog, int id);
// Gives the edit the keyboard focus with a click, selects its whole text and types `text` over it.
bool TypeIntoEdit(const AppDriver& app, HWND edit, const std::string& text);
bool IsEnabled(HWND control);

// Waits for the system's file dialog titled `caption`, puts `path` into its file name box and
// presses `button` ("Save" or "Open"); true once the dialog has closed.
bool AnswerFileDialog(const AppDriver& app, const std::string& caption, const std::string& path,
                      const std::string& button, DWORD ms);

}  // namespace e2e
