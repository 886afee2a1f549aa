// DlgPreferences: the Units dialog (the view's Units command): inches or millimetres for every
// length the program shows.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroStatics.h"

class DlgPreferences : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 396;

    explicit DlgPreferences(CWnd* parent = nullptr);

    AeroButton m_ok;
    AeroButton m_cancel;
    AeroGroupBox m_group;
    AeroComboBox m_units;

    BOOL OnInitDialog() override;
    // Stores g_units ("Millimeters" unless "Inches" is chosen) and ends with IDOK.
    void OnOK() override;
};
