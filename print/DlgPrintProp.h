// DlgPrintProp: the printer properties dialog that the print dialog's "Printer Properties" button
// opens. It edits the current printer set-up in two halves: the media type and paper source for
// printing on paper labels, and, when asked for, the media type, paper source and paper size for
// printing directly on discs; each half also opens the driver's own properties dialog. Every
// change goes into the set-up and through the driver at once; OK and Cancel only close.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"

class DlgPrintProp : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 448;
    static constexpr int kHelpContext = 11;
    enum Half { kBoth = 0, kPaper = 1, kDisc = 2 };

    explicit DlgPrintProp(CWnd* parent = nullptr);

    AeroButton m_ok;
    AeroButton m_cancel;
    AeroButton m_help;
    AeroButton m_paperDriver;
    AeroButton m_discDriver;
    AeroGroupBox m_paperGroup;
    AeroGroupBox m_discGroup;
    AeroCheck m_discSwitch;
    AeroLabel m_labels[5];
    AeroComboBox m_paperType;
    AeroComboBox m_paperSource;
    AeroComboBox m_discType;
    AeroComboBox m_discSource;
    AeroComboBox m_discSize;

    BOOL OnInitDialog() override;
    void OnPaperDriverProperties();
    void OnDiscDriverProperties();
    void OnShowDiscSettings();
    void OnPaperTypeChange();
    void OnPaperSourceChange();
    void OnDiscTypeChange();
    void OnDiscSourceChange();
    void OnDiscSizeChange();
    void OnHelpButton();
    BOOL OnHelpInfo(HELPINFO* info);

    void RefreshCombos(int half);
    // Fills a combo once from the driver's names of `kind` ("media", "bin" or "paper") and selects
    // the set-up's value; without a match it shows a disabled "Automatic".
    void FillDevModeCombo(AeroComboBox& combo, const char* kind, bool disc);
    void LayoutButtons(CWnd& referenceGroup);

    DECLARE_MESSAGE_MAP()

private:
    void SubclassControls();
    // Writes the chosen entry's value into the device mode's field, merges it and refreshes.
    void OnChoice(AeroComboBox& combo, const char* kind, bool disc);
};
