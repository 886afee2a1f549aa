// The disc chooser of two-disc designs.
#include "disc/DlgDiscSelect.h"

#include "canvas/FrameCommandState.h"
#include "res/ReadCdIds.h"

BEGIN_MESSAGE_MAP(DlgDiscSelect, AeroDialog)
    ON_BN_CLICKED(IDC_DISCSEL_DISC1, OnDisc1)
    ON_BN_CLICKED(IDC_DISCSEL_DISC2, OnDisc2)
END_MESSAGE_MAP()

DlgDiscSelect::DlgDiscSelect(const CString& message, CWnd* parent)
    : AeroDialog(IDD_DISC_SELECT, parent), m_message(message) {}

INT_PTR DlgDiscSelect::DoModal() {
    m_discAtStart = FrameCommandState::Get().m_targetDisc;
    INT_PTR result = AeroDialog::DoModal();
    if (result != 1 && result != 2) {
        FrameCommandState::Get().m_targetDisc = m_discAtStart;
        return -1;
    }
    return result;
}

BOOL DlgDiscSelect::OnInitDialog() {
    GuardOperation(9450, [&] {
        AeroDialog::OnInitDialog();
        m_ok.SubclassDlgItem(IDOK, this);
        m_ok.GenerateBackground(6, 8, 10, 0, 0);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_cancel.GenerateBackground(6, 8, 10, 0, 0);
        m_label.SubclassDlgItem(IDC_DISCSEL_MESSAGE, this);
        m_label.SetWindowText(m_message);
        m_icon.SubclassDlgItem(IDC_DISCSEL_ICON, this);
        m_icon.SendMessage(STM_SETICON, (WPARAM)::LoadIcon(nullptr, IDI_INFORMATION), 0);
        m_disc1.SubclassDlgItem(IDC_DISCSEL_DISC1, this);
        m_disc2.SubclassDlgItem(IDC_DISCSEL_DISC2, this);
        const bool first = FrameCommandState::Get().m_targetDisc == 1;
        CheckRadioButton(IDC_DISCSEL_DISC1, IDC_DISCSEL_DISC2, first ? IDC_DISCSEL_DISC1 : IDC_DISCSEL_DISC2);
    });
    return TRUE;
}

void DlgDiscSelect::OnDisc1() {
    FrameCommandState::Get().m_targetDisc = 1;
}

void DlgDiscSelect::OnDisc2() {
    FrameCommandState::Get().m_targetDisc = 2;
}

void DlgDiscSelect::OnOK() {
    GuardOperation(9451, [&] { EndDialog(IsDlgButtonChecked(IDC_DISCSEL_DISC1) == BST_CHECKED ? 1 : 2); });
}

void DlgDiscSelect::OnCancel() {
    EndDialog(-1);
}

int RunDiscChoiceDialog(CWnd* parent, const CString& message) {
    int result = -1;
    GuardOperation(9452, [&] {
        DlgDiscSelect dialog(message, parent);
        result = (int)dialog.DoModal();
    });
    return result;
}
