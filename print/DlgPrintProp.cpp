// The printer properties dialog.
#include "print/DlgPrintProp.h"

#include <cstring>

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "print/DialogPlacement.h"
#include "print/PrinterSetups.h"
#include "res/PrintDialogsIds.h"

BEGIN_MESSAGE_MAP(DlgPrintProp, AeroDialog)
    ON_BN_CLICKED(IDC_PROP_PAPER_DRIVER, OnPaperDriverProperties)
    ON_BN_CLICKED(IDC_PROP_DISC_DRIVER, OnDiscDriverProperties)
    ON_BN_CLICKED(IDC_PROP_SHOW_DISC, OnShowDiscSettings)
    ON_CBN_SELCHANGE(IDC_PROP_PAPER_TYPE, OnPaperTypeChange)
    ON_CBN_SELCHANGE(IDC_PROP_PAPER_SOURCE, OnPaperSourceChange)
    ON_CBN_SELCHANGE(IDC_PROP_DISC_TYPE, OnDiscTypeChange)
    ON_CBN_SELCHANGE(IDC_PROP_DISC_SOURCE, OnDiscSourceChange)
    ON_CBN_SELCHANGE(IDC_PROP_DISC_SIZE, OnDiscSizeChange)
    ON_BN_CLICKED(IDC_PROP_HELP, OnHelpButton)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

namespace {

// The device-mode field of a kind: read with CPrintDriver::kReadOnly, else written.
int DevModeValue(CPrintDriver* driver, const char* kind, bool disc, int value) {
    if (std::strcmp(kind, "media") == 0) return driver->MediaType(disc, value);
    if (std::strcmp(kind, "bin") == 0) return driver->DefaultSource(disc, value);
    return driver->PaperSize(disc, value);
}

}  // namespace

DlgPrintProp::DlgPrintProp(CWnd* parent) : AeroDialog(kTemplateId, parent) {}

void DlgPrintProp::SubclassControls() {
    AttachButton(m_ok, IDOK, this);
    AttachButton(m_cancel, IDCANCEL, this);
    AttachButton(m_help, IDC_PROP_HELP, this);
    AttachButton(m_paperDriver, IDC_PROP_PAPER_DRIVER, this);
    AttachButton(m_discDriver, IDC_PROP_DISC_DRIVER, this);
    m_paperGroup.SubclassDlgItem(IDC_PROP_PAPER_GROUP, this);
    m_discGroup.SubclassDlgItem(IDC_PROP_DISC_GROUP, this);
    m_discSwitch.SubclassDlgItem(IDC_PROP_SHOW_DISC, this);
    const UINT labels[5] = {IDC_PROP_PAPER_TYPE_LABEL, IDC_PROP_PAPER_SRC_LABEL, IDC_PROP_DISC_TYPE_LABEL,
                            IDC_PROP_DISC_SRC_LABEL, IDC_PROP_DISC_SIZE_LABEL};
    for (int i = 0; i < 5; ++i) m_labels[i].SubclassDlgItem(labels[i], this);
    m_paperType.SubclassDlgItem(IDC_PROP_PAPER_TYPE, this);
    m_paperSource.SubclassDlgItem(IDC_PROP_PAPER_SOURCE, this);
    m_discType.SubclassDlgItem(IDC_PROP_DISC_TYPE, this);
    m_discSource.SubclassDlgItem(IDC_PROP_DISC_SOURCE, this);
    m_discSize.SubclassDlgItem(IDC_PROP_DISC_SIZE, this);
}

BOOL DlgPrintProp::OnInitDialog() {
    GuardOperation(4210, [&] {
        CWaitCursor wait;
        AeroDialog::OnInitDialog();
        if (CPrintDriver* current = PrinterSetups::Get().GetCurrentPrintDriver())
            SetWindowText(current->GetDeviceName() + " Properties");
        SubclassControls();
        m_discSwitch.SetCheck(g_showDiscPrintSettings ? BST_CHECKED : BST_UNCHECKED);
        OnShowDiscSettings();
        RefreshCombos(kBoth);
    });
    return FALSE;
}

void DlgPrintProp::OnShowDiscSettings() {
    GuardOperation(4211, [&] {
        const bool show = m_discSwitch.GetCheck() == BST_CHECKED;
        g_showDiscPrintSettings = show ? 1 : 0;
        for (CWnd* w : {static_cast<CWnd*>(&m_discGroup), static_cast<CWnd*>(&m_discType),
                        static_cast<CWnd*>(&m_discSource), static_cast<CWnd*>(&m_discSize),
                        static_cast<CWnd*>(&m_labels[2]), static_cast<CWnd*>(&m_labels[3]),
                        static_cast<CWnd*>(&m_labels[4]), static_cast<CWnd*>(&m_discDriver)})
            w->ShowWindow(show ? SW_SHOW : SW_HIDE);
        LayoutButtons(show ? static_cast<CWnd&>(m_discGroup) : static_cast<CWnd&>(m_paperGroup));
    });
}

void DlgPrintProp::LayoutButtons(CWnd& referenceGroup) {
    RECT group;
    referenceGroup.GetWindowRect(&group);
    ScreenToClient(&group);
    const int top = group.bottom + 16;
    int buttonH = 0;
    for (AeroButton* b : {&m_ok, &m_cancel, &m_help}) {
        RECT r;
        b->GetWindowRect(&r);
        ScreenToClient(&r);
        buttonH = r.bottom - r.top;
        b->SetWindowPos(nullptr, r.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client = {0, 0, 0, top + buttonH + 16};
    ::AdjustWindowRectEx(&client, GetStyle(), FALSE, GetExStyle());
    RECT window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.right - window.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgPrintProp::RefreshCombos(int half) {
    if (half != kDisc) {
        FillDevModeCombo(m_paperType, "media", false);
        FillDevModeCombo(m_paperSource, "bin", false);
    }
    if (half != kPaper) {
        FillDevModeCombo(m_discType, "media", true);
        FillDevModeCombo(m_discSource, "bin", true);
        FillDevModeCombo(m_discSize, "paper", true);
    }
}

void DlgPrintProp::FillDevModeCombo(AeroComboBox& combo, const char* kind, bool disc) {
    PrinterSetups& setups = PrinterSetups::Get();
    CPrintDriver* current = setups.GetCurrentPrintDriver();
    if (!current || !combo.m_hWnd) return;
    if (!combo.IsWindowEnabled()) combo.ResetContent();
    if (combo.GetCount() == 0) {
        CStringArray names;
        CDWordArray values;
        if (setups.GetPaperAndMediaNames(kind, disc, names, values)) {
            for (INT_PTR i = 0; i < names.GetSize() && i < values.GetSize(); ++i)
                combo.SetItemData(combo.AddString(names[i]), values[i]);
        }
    }
    const int value = DevModeValue(current, kind, disc, CPrintDriver::kReadOnly);
    for (int i = 0; i < combo.GetCount(); ++i) {
        if (static_cast<int>(combo.GetItemData(i)) == value) {
            combo.SetCurSel(i);
            combo.EnableWindow(TRUE);
            return;
        }
    }
    // The driver keeps a value it does not list (or lists nothing): nothing to choose.
    combo.ResetContent();
    combo.AddString("Automatic");
    combo.SetCurSel(0);
    combo.EnableWindow(FALSE);
}

void DlgPrintProp::OnChoice(AeroComboBox& combo, const char* kind, bool disc) {
    PrinterSetups& setups = PrinterSetups::Get();
    CPrintDriver* current = setups.GetCurrentPrintDriver();
    const int i = combo.GetCurSel();
    if (!current || i < 0) return;
    DevModeValue(current, kind, disc, static_cast<int>(combo.GetItemData(i)));
    setups.MergePrinterDevModes(!disc, disc);
    RefreshCombos(disc ? kDisc : kPaper);
    if (!disc) setups.MeasurePrintableAreas();
}

void DlgPrintProp::OnPaperTypeChange() {
    GuardOperation(4212, [&] { OnChoice(m_paperType, "media", false); });
}

void DlgPrintProp::OnPaperSourceChange() {
    GuardOperation(4213, [&] { OnChoice(m_paperSource, "bin", false); });
}

void DlgPrintProp::OnDiscTypeChange() {
    GuardOperation(4214, [&] { OnChoice(m_discType, "media", true); });
}

void DlgPrintProp::OnDiscSourceChange() {
    GuardOperation(4215, [&] { OnChoice(m_discSource, "bin", true); });
}

void DlgPrintProp::OnDiscSizeChange() {
    GuardOperation(4216, [&] { OnChoice(m_discSize, "paper", true); });
}

void DlgPrintProp::OnPaperDriverProperties() {
    GuardOperation(4217, [&] {
        PrinterSetups& setups = PrinterSetups::Get();
        setups.ShowPrinterProperties(m_hWnd, false);
        RefreshCombos(kPaper);
        setups.MeasurePrintableAreas();
    });
}

void DlgPrintProp::OnDiscDriverProperties() {
    GuardOperation(4218, [&] {
        PrinterSetups::Get().ShowPrinterProperties(m_hWnd, true);
        RefreshCombos(kDisc);
    });
}

void DlgPrintProp::OnHelpButton() {
    if (ViewHost* host = View::GetHost()) host->ShowHelpContext(m_hWnd, kHelpContext);
}

BOOL DlgPrintProp::OnHelpInfo(HELPINFO*) {
    OnHelpButton();
    return FALSE;
}
