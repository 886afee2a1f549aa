// The Units dialog.
#include "app/DlgPreferences.h"

#include "app/Settings.h"
#include "res/AppDialogsIds.h"

DlgPreferences::DlgPreferences(CWnd* parent) : AeroDialog(kTemplateId, parent) {}

BOOL DlgPreferences::OnInitDialog() {
    GuardOperation(524, [&] {
        // The combo box's two entries come from the template's init data.
        AeroDialog::OnInitDialog();
        m_group.SubclassDlgItem(IDC_DLG_GROUP, this);
        m_ok.SubclassDlgItem(IDOK, this);
        m_ok.GenerateBackground(6, 8, 10, 0, 0);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_cancel.GenerateBackground(6, 8, 10, 0, 0);
        m_units.SubclassDlgItem(IDC_UNITS_COMBO, this);
        m_units.SetCurSel(g_units == "Inches" ? 0 : 1);
    });
    return TRUE;
}

void DlgPreferences::OnOK() {
    GuardOperation(525, [&] {
        // No selection counts as millimetres, as any value other than "Inches" does elsewhere.
        g_units = m_units.GetCurSel() != 0 ? "Millimeters" : "Inches";
        AeroDialog::OnOK();
    });
}
