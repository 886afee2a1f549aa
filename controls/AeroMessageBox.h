// AeroMessageBox: the themed message box through which the application asks every question and
// shows every message. The caller builds one on the stack, sets the public fields, adds one to
// three buttons (and optionally a link line), runs DoModal and reads the result: the result id of
// the button pressed and, when a check box was shown, its final state in m_checkBox.
//
//   AeroMessageBox box(this);
//   box.m_iconKind = 2;
//   box.m_message = "Save changes to Cover.kvl?";
//   box.AddButton("Yes", 1, 1, "");
//   box.AddButton("No", 2, 0, "");
//   box.AddButton("Cancel", 3, 0, "");
//   switch (box.DoModal()) { ... }
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
#include "controls/MessageBoxLayout.h"

class AeroMessageBox : public AeroDialog {
public:
    explicit AeroMessageBox(CWnd* parent = nullptr);
    ~AeroMessageBox() override;

    // 1 error, 2 warning, 3 information, 4 the application icon; any other value shows no icon.
    int m_iconKind = 3;
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

    void OnButton1();
    void OnButton2();
    void OnButton3();
    void OnCheck();
    LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

    // What the hook is shown for this box.
    KvMessageBoxRequest MakeHookRequest() const;

    DECLARE_MESSAGE_MAP()

private:
    void SubclassControls();
    void SetIconByKind();
    void Layout();
    void OnButton(int index, int errorNumber);

    CString m_linkTarget;
    CString m_linkText;
    std::function<void(HWND)> m_liveDriver;
    std::exception_ptr m_driverFailure;
};
