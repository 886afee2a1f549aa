// AeroMessageBox: the themed message box through which the application asks every question and
// shows every message. The caller builds one on the stack, sets the public fields, adds one to
// three buttons (and optionally a link line), runs DoModal and reads the result: the result id of
// the button pressed and, when a check box was shown, its final state in m_checkBox.
//
//   AeroMessageBox box(this);
//   box.m_iconKind = kBoxWarning;
//   box.m_message = "Delete the template?";
//   box.AddButton("Yes", IDYES, 1);
//   box.AddButton("No", IDNO, 0);
//   if (box.DoModal() == IDYES) { ... }  // Escape and the close box give IDCANCEL
//
// A button's result is also its control id in the box's window, so that a program driving the box
// from outside presses a button by its result (GetDlgItem(box, IDNO)). Buttons with result 0 keep
// the ids of the dialog's template.
//
// Every box goes through the message-box hook (framework/core/OperationError.h) before it shows a
// window: with a hook set, the hook sees the box's kind, text, buttons and check box and answers.
#pragma once

#include <exception>
#include <functional>

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "controls/MessageBoxKind.h"
#include "controls/MessageBoxLayout.h"

class AeroMessageBox : public AeroDialog {
public:
    explicit AeroMessageBox(CWnd* parent = nullptr);
    ~AeroMessageBox() override;

    // Any value outside the named kinds shows no icon.
    MessageBoxKind m_iconKind = kBoxInformation;
    CString m_caption = "Korvanelle";
    CString m_message;  // lines separated by "\r\n"
    // In: show "Do not show this message again."; out: the box was closed with it ticked.
    bool m_checkBox = false;
    bool m_noCaptionIcon = false;  // no small icon in the caption bar
    bool m_centreButtons = true;   // false: the row ends at the content's right edge

    AeroButton m_buttons[3];
    AeroCheck m_check;
    AeroLabel m_messageLabel;
    AeroLabel m_linkLabel;
    AeroIcon m_icon;
    CStringArray m_buttonCaptions;
    CWordArray m_buttonResults;
    CStringArray m_buttonLinks;
    CWordArray m_buttonDefaults;

    // Appends a button (at most three). Result id 0: the button does not close the box (used with
    // a link target, which the button opens).
    void AddButton(CString caption, WORD resultId, WORD isDefault, CString linkTarget = CString());
    // A link line under the message that shows `text` and opens `target`.
    void SetLink(CString target, CString text);

    // The result id of the button pressed; IDOK (1) for Enter on no default button, IDCANCEL (2)
    // for Escape or the close box.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnCheck();
    LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

    // What the hook is shown for this box.
    KvMessageBoxRequest MakeHookRequest() const;

    DECLARE_MESSAGE_MAP()

private:
    void SubclassControls();
    void SetIconByKind();
    void Layout();
    void FocusDefaultButton();
    void OnButton(int index, int errorNumber);
    // The index of the shown button whose window is `control`; -1 for none.
    int ButtonIndexOf(HWND control) const;

    CString m_linkTarget;
    CString m_linkText;
    std::function<void(HWND)> m_liveDriver;
    std::exception_ptr m_driverFailure;
};
