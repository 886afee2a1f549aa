// DlgDiscSelect: the "2 Disc Project" question of a two-disc design - which disc receives what is
// about to be written. The radio buttons set the frame's current disc at once; OK ends with 1 or
// 2. Cancel ends with -1 and gives the frame back the disc it had, so that a cancelled choice
// leaves nothing changed.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"

class DlgDiscSelect : public AeroDialog {
public:
    DlgDiscSelect(const CString& message, CWnd* parent);

    // 1 "Disc 1", 2 "Disc 2", -1 cancelled or not shown.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDisc1();
    void OnDisc2();

    CString m_message;
    AeroButton m_ok;
    AeroButton m_cancel;
    AeroLabel m_label;
    AeroIcon m_icon;  // the information icon, on the dialog's texture
    AeroCheck m_disc1;
    AeroCheck m_disc2;

    DECLARE_MESSAGE_MAP()

private:
    int m_discAtStart = 1;
};

// The chooser with the Read CD dialog's question or the view's; 1, 2 or -1.
int RunDiscChoiceDialog(CWnd* parent, const CString& message);
