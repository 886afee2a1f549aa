// The print dialog: opening, the printer search, what to print, copies and the closing choices.
// The calibration mode's layout and offsets are in DlgPrintCalibration.cpp.
#include "print/DlgPrint.h"

#include <cstdlib>
#include <memory>

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeResources.h"
#include "print/DialogPlacement.h"
#include "print/DlgPrintProp.h"
#include "print/PrintSettings.h"
#include "print/PrinterSetups.h"
#include "res/PrintDialogsIds.h"

BEGIN_MESSAGE_MAP(DlgPrint, AeroDialog)
    ON_BN_CLICKED(IDC_PRINT_PREVIEW, OnPreview)
    ON_BN_CLICKED(IDC_PRINT_HELP, OnHelpButton)
    ON_WM_HELPINFO()
    ON_BN_CLICKED(IDC_PRINT_PROPERTIES, OnPrinterProperties)
    ON_BN_CLICKED(IDC_PRINT_FRONT, OnPrintFront)
    ON_BN_CLICKED(IDC_PRINT_BACK, OnPrintBack)
    ON_BN_CLICKED(IDC_PRINT_DISC1, OnPrintDisc1)
    ON_BN_CLICKED(IDC_PRINT_DISC2, OnPrintDisc2)
    ON_CBN_SELCHANGE(IDC_PRINT_PRINTER, OnPrinterChange)
    ON_CBN_SELCHANGE(IDC_PRINT_PAGE_SIZE, OnPageSizeChange)
    ON_EN_CHANGE(IDC_PRINT_COPIES, OnCopiesChange)
    ON_EN_KILLFOCUS(IDC_PRINT_COPIES, OnCopiesKillFocus)
    ON_EN_UPDATE(IDC_PRINT_OFFSET_X, OnHorizontalUpdate)
    ON_EN_UPDATE(IDC_PRINT_OFFSET_Y, OnVerticalUpdate)
    ON_EN_KILLFOCUS(IDC_PRINT_OFFSET_X, OnHorizontalKillFocus)
    ON_EN_KILLFOCUS(IDC_PRINT_OFFSET_Y, OnVerticalKillFocus)
    ON_WM_TIMER()
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

const UINT kCheckIds[4] = {IDC_PRINT_FRONT, IDC_PRINT_BACK, IDC_PRINT_DISC1, IDC_PRINT_DISC2};

}  // namespace

DlgPrint::DlgPrint(View* view) : AeroDialog(kTemplateId, view), m_view(view) {
    m_tabs.m_owner = this;
}

DlgPrint::~DlgPrint() {
    if (m_printIcon) ::DestroyIcon(m_printIcon);
    if (m_previewIcon) ::DestroyIcon(m_previewIcon);
}

KorvanelleDocument* DlgPrint::Design() const {
    return m_view ? &m_view->m_design : nullptr;
}

bool DlgPrint::IsCalibration() const {
    return m_view && m_view->m_calibrationMode;
}

bool DlgPrint::IsCaseDesign() const {
    KorvanelleDocument* d = Design();
    return d && (d->HasDvdCase() || d->HasBlurayCase());
}

BYTE& DlgPrint::FlagOfCheck(int index) const {
    PrintOptions& o = g_printOptions;
    switch (index) {
        case 0:
            return IsCaseDesign() ? o.printBack : o.printFront;
        case 1:
            return IsCaseDesign() ? o.printFront : o.printBack;
        case 2:
            return o.printDisc1;
        default:
            return o.printDisc2;
    }
}

// ---- opening ------------------------------------------------------------------------------------

void DlgPrint::PlaceDialog() {
    PlaceAtRememberedPosition(*this, g_dialogPositions[kPrintDialogPos]);
}

void DlgPrint::SubclassControls() {
    const bool calibration = IsCalibration();
    m_printers.SubclassDlgItem(IDC_PRINT_PRINTER, this);
    m_printerGroup.SubclassDlgItem(IDC_PRINT_PRINTER_GROUP, this);
    m_whatGroup.SubclassDlgItem(IDC_PRINT_WHAT_GROUP, this);
    AttachButton(m_print, IDOK, this);
    AttachButton(m_cancel, IDCANCEL, this);
    AttachButton(m_help, IDC_PRINT_HELP, this);
    AttachButton(m_properties, IDC_PRINT_PROPERTIES, this);
    AttachButton(m_previewButton, IDC_PRINT_PREVIEW, this);
    if (g_menuImageList) {
        m_printIcon = ImageList_GetIcon(g_menuImageList, 3, ILD_NORMAL);
        m_previewIcon = ImageList_GetIcon(g_menuImageList, 11, ILD_NORMAL);
        if (m_printIcon) m_print.SetIcon(m_printIcon, nullptr);
        if (m_previewIcon) m_previewButton.SetIcon(m_previewIcon, nullptr);
    }
    m_total.SubclassDlgItem(IDC_PRINT_TOTAL, this);
    m_total.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiBold8Font), TRUE);
    m_copiesLabel.SubclassDlgItem(IDC_PRINT_COPIES_LABEL, this);
    if (calibration) {
        m_horizontalLabel.SubclassDlgItem(IDC_PRINT_X_LABEL, this);
        m_verticalLabel.SubclassDlgItem(IDC_PRINT_Y_LABEL, this);
        m_directions.SubclassDlgItem(IDC_PRINT_DIRECTIONS, this);
        m_offsetX.SubclassDlgItem(IDC_PRINT_OFFSET_X, this);
        m_offsetY.SubclassDlgItem(IDC_PRINT_OFFSET_Y, this);
        m_offsetX.SendMessage(EM_LIMITTEXT, 3);
        m_offsetY.SendMessage(EM_LIMITTEXT, 3);
        for (UINT id : {IDC_PRINT_X_SPIN, IDC_PRINT_Y_SPIN})
            SendDlgItemMessage(id, UDM_SETRANGE32, static_cast<WPARAM>(-40), 40);
        m_pageSizeGroup.SubclassDlgItem(IDC_PRINT_PAGE_GROUP, this);
        m_pageSize.SubclassDlgItem(IDC_PRINT_PAGE_SIZE, this);
    } else {
        m_copiesGroup.SubclassDlgItem(IDC_PRINT_COPIES_GROUP, this);
        m_previewCaption.m_outerShadow = 0;
        m_previewCaption.m_topLineOnly = 1;
        m_previewCaption.SubclassDlgItem(IDC_PRINT_PREVIEW_GROUP, this);
        for (int i = 0; i < 4; ++i) m_checks[i].SubclassDlgItem(kCheckIds[i], this);
        m_copies.SubclassDlgItem(IDC_PRINT_COPIES, this);
        m_tabs.SubclassDlgItem(IDC_PRINT_TABS, this);
    }
}

void DlgPrint::LabelDvdChecks() {
    KorvanelleDocument* d = Design();
    if (!d || !d->HasDvdCase()) return;
    SetDlgItemText(IDC_PRINT_FRONT, "Print DVD Case");
    SetDlgItemText(IDC_PRINT_BACK, "Print DVD Insert");
}

void DlgPrint::LabelBlurayChecks() {
    KorvanelleDocument* d = Design();
    if (!d || !d->HasBlurayCase()) return;
    SetDlgItemText(IDC_PRINT_FRONT, "Print Blu-ray Case");
    SetDlgItemText(IDC_PRINT_BACK, "Print Blu-ray Insert");
}

void DlgPrint::LabelDiscChecks() {
    KorvanelleDocument* d = Design();
    if (!d || !m_checks[2].m_hWnd) return;
    if (d->IsTwoDiscLayout()) {
        SetDlgItemText(IDC_PRINT_DISC1, "Print Disc 1");
        SetDlgItemText(IDC_PRINT_DISC2, "Print Disc 2");
        m_checks[3].ShowWindow(SW_SHOW);
    } else {
        SetDlgItemText(IDC_PRINT_DISC1, "Print Disc");
        m_checks[3].ShowWindow(SW_HIDE);
    }
    // Both positions carry disc 2: there is no disc 1 to print.
    if (d->GetDiscLayout() == kLayout2DiscDuplicate) {
        g_printOptions.printDisc1 = 0;
        m_checks[2].SetCheck(BST_UNCHECKED);
        m_checks[2].EnableWindow(FALSE);
    } else {
        m_checks[2].EnableWindow(TRUE);
    }
}

void DlgPrint::InitCopies() {
    if (g_printCopies < 1 || g_printCopies > kMaxPrintCopies) g_printCopies = ClampCopiesText(CString());
    SendDlgItemMessage(IDC_PRINT_COPIES_SPIN, UDM_SETRANGE32, 1, kMaxPrintCopies);
    CString text;
    text.Format("%d", g_printCopies);
    m_copies.SetWindowText(text);
}

void DlgPrint::InitSideChecks() {
    KorvanelleDocument* d = Design();
    if (!d || !m_checks[0].m_hWnd) return;
    PrintOptions& o = g_printOptions;
    const bool twoDiscs = d->IsTwoDiscLayout();
    if (!o.printFront && !o.printBack && !o.printDisc1 && !(o.printDisc2 && twoDiscs)) {
        if (twoDiscs)
            o.printDisc2 = 1;
        else
            o.printDisc1 = 1;
    }
    for (int i = 0; i < 3; ++i) m_checks[i].SetCheck(FlagOfCheck(i) ? BST_CHECKED : BST_UNCHECKED);
    m_checks[3].SetCheck(o.printDisc2 && twoDiscs ? BST_CHECKED : BST_UNCHECKED);
    const int order[4] = {2, 3, 0, 1};
    const int kinds[4] = {3, 4, 1, 2};
    for (int k = 0; k < 4; ++k)
        if (m_checks[order[k]].GetCheck() == BST_CHECKED) ApplySideExclusion(kinds[k], false);
}

BOOL DlgPrint::OnInitDialog() {
    GuardOperation(4170, [&] {
        CWaitCursor wait;
        AeroDialog::OnInitDialog();
        PlaceDialog();
        SubclassControls();
        const bool calibration = IsCalibration();
        if (!calibration) {
            LabelDvdChecks();
            LabelBlurayChecks();
            LabelDiscChecks();
        } else {
            LayoutCalibration();
        }
        if (!calibration) {
            InitCopies();
            InitSideChecks();
            // A LightScribe disc prints with neither border nor overlap, as its page shows it (the
            // dialog may end before that page is made).
            LabelTemplate* disc = m_view ? m_view->m_templates.GetDiscTemplate() : nullptr;
            if (disc && disc->IsLightScribe()) g_printOptions.discBorder = g_printOptions.discMargin = 0;
            SelectInitialTab();
        }
        UpdateTotalPages();
        m_rewriteGuard = false;
        m_print.SetFocus();
        m_printers.ResetContent();
        m_printers.AddString("Finding Available Printers ...");
        m_printers.SetCurSel(0);
        SetTimer(kPrinterTimer, 100);
    });
    return FALSE;
}

// ---- printers -----------------------------------------------------------------------------------

void DlgPrint::OnShowWindow(BOOL show, UINT status) {
    AeroDialog::OnShowWindow(show, status);
    // The pages of the tabs not shown are made after the dialog has shown and painted, one per
    // tick, so that opening waits for the shown page's controls alone.
    if (show) SetTimer(kPagesTimer, 0);
}

void DlgPrint::OnTimer(UINT_PTR id) {
    if (id != kPagesTimer && id != kPrinterTimer) {
        Default();
        return;
    }
    // A box over a dialog that has ended holds it open: its pages and printers are no longer
    // wanted, and no printer box may follow the choice.
    if (HasEnded()) {
        KillTimer(id);
        return;
    }
    if (id == kPagesTimer) {
        bool more = false;
        GuardOperation(4182, [&] { more = m_tabs.CreateNextPage(); });
        if (!more) KillTimer(kPagesTimer);
        return;
    }
    KillTimer(kPrinterTimer);
    GuardOperation(4171, [&] { FillPrinterCombo(); });
}

void DlgPrint::FillPrinterCombo() {
    CWaitCursor wait;
    PrinterSetups& setups = PrinterSetups::Get();
    setups.m_printerList.Clear();
    if (!setups.m_printerList.AddLocalPrinters() && !setups.m_printerList.AddNetworkPrinters()) {
        ShowPrinterError(1);
        return;
    }
    for (;;) {
        CPrintDriver* current = setups.GetCurrentPrintDriver();
        if (!current) current = setups.AddDefaultPrinter();
        if (!current) {
            ShowPrinterError(2);
            return;
        }
        if (LoadPrintDriver(current->GetDeviceName())) break;
        if (setups.m_printers.GetSize() == 0) {
            ShowPrinterError(1);
            return;
        }
    }
    m_printers.ResetContent();
    for (int i = 0; i < setups.m_printerList.GetCount(); ++i)
        m_printers.AddString(setups.m_printerList.GetPrinterName(i));
    if (CPrintDriver* current = setups.GetCurrentPrintDriver())
        m_printers.SetCurSel(m_printers.FindStringExact(-1, current->GetDeviceName()));
}

void DlgPrint::ShowPrinterError(int kind) {
    m_printers.SetCurSel(-1);
    ShowDialogMessage(
        this, kBoxInformation,
        kind == 1 ? "All printers are currently offline.\r\n\r\nPlease make sure you can print from "
                    "other programs."
                  : "There was a problem loading print drivers.\r\n\r\nPlease make sure you can print "
                    "from other programs.");
    EndDialog(IDCANCEL);
}

void DlgPrint::OnPrinterChange() {
    GuardOperation(4172, [&] {
        const int i = m_printers.GetCurSel();
        if (i < 0) return;
        CString name;
        m_printers.GetLBText(i, name);
        CWaitCursor wait;
        LoadPrintDriver(name);
    });
}

bool DlgPrint::LoadPrintDriver(const CString& name) {
    PrinterSetups& setups = PrinterSetups::Get();
    bool loaded = false;
    for (INT_PTR i = 0; i < setups.m_printers.GetSize(); ++i) {
        CPrintDriver* d = static_cast<CPrintDriver*>(setups.m_printers[i]);
        if (d && d->GetDeviceName() == name) {
            setups.m_currentPrinter = static_cast<int>(i);
            loaded = setups.RefreshCurrentPrinter();
            break;
        }
    }
    if (!loaded) {
        g_helpCdPrinter = 1;
        // Owned here until the list takes it: a failure or a throw on the way frees it.
        std::unique_ptr<CPrintDriver> record(new CPrintDriver);
        const int index = setups.FindPrinter(name);
        if (!setups.m_printerList.CreatePrinterHandles(&record->m_paperDevMode, &record->m_devNames, index)) {
            ShowDialogMessage(this, kBoxInformation,
                              "Could not load print driver: ( " + name +
                                  " )\r\n\r\nPlease make sure this printer is online.");
            // Every set-up of that printer goes, and the printer leaves the lists.
            for (;;) {
                bool found = false;
                for (INT_PTR i = 0; i < setups.m_printers.GetSize() && !found; ++i) {
                    CPrintDriver* d = static_cast<CPrintDriver*>(setups.m_printers[i]);
                    found = d && d->GetDeviceName() == name;
                }
                if (!found) break;
                setups.RemovePrinter(name);
            }
            if (index >= 0) setups.m_printerList.RemoveAt(index);
            if (m_printers.m_hWnd) {
                const int entry = m_printers.FindStringExact(-1, name);
                if (entry >= 0) m_printers.DeleteString(entry);
            }
            return false;
        }
        record->m_discDevMode = setups.CopyGlobalBlock(record->m_paperDevMode);
        record->m_liveDevMode = setups.CopyGlobalBlock(record->m_paperDevMode);
        record->m_liveDevNames = setups.CopyGlobalBlock(record->m_devNames);
        setups.m_printers.Add(record.get());
        record.release();
        setups.m_currentPrinter = static_cast<int>(setups.m_printers.GetSize() - 1);
    }
    setups.MeasurePrintableAreas();
    if (IsCalibration() && m_offsetX.m_hWnd) {
        if (CPrintDriver* current = setups.GetCurrentPrintDriver()) {
            CString x, y;
            x.Format("%d", current->m_offsetX);
            y.Format("%d", current->m_offsetY);
            m_rewriteGuard = true;
            m_offsetX.SetWindowText(x);
            m_offsetY.SetWindowText(y);
            m_rewriteGuard = false;
        }
    }
    return true;
}

void DlgPrint::OnPrinterProperties() {
    GuardOperation(4173, [&] {
        if (IsCalibration()) {
            PrinterSetups::Get().ShowPrinterProperties(m_hWnd, false);
            return;
        }
        DlgPrintProp properties(this);
        properties.DoModal();
    });
}

// ---- what to print ------------------------------------------------------------------------------

bool DlgPrint::ApplySideExclusion(int kind, bool refresh) {
    KorvanelleDocument* d = Design();
    if (!d || !d->IsDiscCentered()) return false;
    PrintOptions& o = g_printOptions;
    const bool twoDiscs = d->IsTwoDiscLayout();
    bool applied = false;
    if ((kind == 1 || kind == 2) && (o.printDisc1 || (o.printDisc2 && twoDiscs))) {
        o.printDisc1 = o.printDisc2 = 0;
        m_checks[2].SetCheck(BST_UNCHECKED);
        m_checks[3].SetCheck(BST_UNCHECKED);
        applied = true;
    } else if (kind == 3 || kind == 4) {
        if (o.printFront || o.printBack) {
            o.printFront = o.printBack = 0;
            m_checks[0].SetCheck(BST_UNCHECKED);
            m_checks[1].SetCheck(BST_UNCHECKED);
        }
        if (twoDiscs && o.printDisc1 && o.printDisc2) {
            if (kind == 3) {
                o.printDisc2 = 0;
                m_checks[3].SetCheck(BST_UNCHECKED);
            } else {
                o.printDisc1 = 0;
                m_checks[2].SetCheck(BST_UNCHECKED);
            }
        }
        applied = true;
    }
    if (refresh && applied) {
        RebuildTabs(CString());
        UpdateTotalPages();
    }
    return applied;
}

void DlgPrint::SyncPreviewOptions() {
    for (PrintSidePage* page :
         {static_cast<PrintSidePage*>(&m_tabs.m_back), static_cast<PrintSidePage*>(&m_tabs.m_front),
          static_cast<PrintSidePage*>(&m_tabs.m_disc)})
        page->m_preview.StorePrintOptions(&g_printOptions);
}

void DlgPrint::OnSideCheck(int index) {
    GuardOperation(4174, [&] {
        KorvanelleDocument* d = Design();
        if (!d) return;
        const bool checked = m_checks[index].GetCheck() == BST_CHECKED;
        BYTE& flag = FlagOfCheck(index);
        const BYTE before = flag;
        CString wanted;
        if (checked) {
            flag = 1;
            if (index == 0)
                wanted = d->HasDvdCase() ? "DVD Case" : d->HasBlurayCase() ? "Blu-ray Case" : "Front Cover";
            else if (index == 1)
                wanted = d->HasDvdCase()      ? "DVD Insert"
                         : d->HasBlurayCase() ? "Blu-ray Insert"
                                              : "Back Cover";
            else if (index == 2)
                wanted = d->IsDiscCentered() && d->IsTwoDiscLayout() ? "Disc 1" : "Disc";
            else
                wanted = d->IsDiscCentered() && d->IsTwoDiscLayout() ? "Disc 2" : "Disc";
            ApplySideExclusion(index + 1, false);
        } else {
            flag = 0;
        }
        SyncPreviewOptions();
        const bool samePage = d->AreCoversOnSamePage();
        auto refresh = [](PrintSidePage& page) {
            if (page.m_preview.m_hWnd) page.m_preview.Refresh();
        };
        if (index == 0 && samePage) refresh(m_tabs.m_back);
        if (index == 1 && samePage) refresh(m_tabs.m_front);
        if (index >= 2 && before != flag) refresh(m_tabs.m_disc);
        RebuildTabs(wanted);
        UpdateTotalPages();
    });
}

void DlgPrint::OnPrintFront() {
    OnSideCheck(0);
}

void DlgPrint::OnPrintBack() {
    OnSideCheck(1);
}

void DlgPrint::OnPrintDisc1() {
    OnSideCheck(2);
}

void DlgPrint::OnPrintDisc2() {
    OnSideCheck(3);
}

void DlgPrint::RebuildTabs(const CString& wanted) {
    GuardOperation(4175, [&] {
        KorvanelleDocument* d = Design();
        if (!d || !m_tabs.m_hWnd) return;
        const CString previous = m_tabs.GetSelectedText();
        m_tabs.DeleteAllItems();
        const PrintOptions& o = g_printOptions;
        const bool twoDiscs = d->IsTwoDiscLayout();
        int position = 0;
        auto add = [&](const char* text, int image) {
            TCITEM item = {};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = const_cast<char*>(text);
            item.iImage = image;
            m_tabs.InsertItem(position++, &item);
        };
        if (d->IsDiscCentered() && twoDiscs) {
            if (o.printDisc1)
                add("Disc 1", 2);
            else if (o.printDisc2)
                add("Disc 2", 3);
        } else if (o.printDisc1 || (o.printDisc2 && twoDiscs)) {
            add("Disc", 2);
        }
        if (d->HasDvdCase() || d->HasBlurayCase()) {
            const bool dvd = d->HasDvdCase();
            if (o.printBack) add(dvd ? "DVD Case" : "Blu-ray Case", 0);
            if (o.printFront) add(dvd ? "DVD Insert" : "Blu-ray Insert", 1);
        } else {
            if (o.printFront) add("Front Cover", 0);
            if (o.printBack) add("Back Cover", 1);
        }
        if (!o.printFront && !o.printBack && !o.printDisc1 && !(o.printDisc2 && twoDiscs)) add(" ", 0);
        const CString target = wanted.IsEmpty() ? previous : wanted;
        for (int i = 0; i < m_tabs.GetItemCount(); ++i) {
            char text[100] = {};
            TCITEM item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 99;
            m_tabs.GetItem(i, &item);
            if (target == text) {
                m_tabs.SetCurSel(i);
                break;
            }
        }
        m_tabs.OnSelChange();
    });
}

void DlgPrint::SelectInitialTab() {
    KorvanelleDocument* d = Design();
    if (!d) return;
    const PrintOptions& o = g_printOptions;
    const CString side = d->currentSideName;
    CString wanted;
    if (side == "Front Cover" && o.printFront)
        wanted = d->HasDvdCase() ? "DVD Insert" : d->HasBlurayCase() ? "Blu-ray Insert" : "Front Cover";
    else if (side == "Back Cover" && o.printBack)
        wanted = d->HasDvdCase() ? "DVD Case" : d->HasBlurayCase() ? "Blu-ray Case" : "Back Cover";
    else if (side == "Disc 1" && o.printDisc1)
        wanted = d->IsDiscCentered() && d->IsTwoDiscLayout() ? "Disc 1" : "Disc";
    else if (side == "Disc 2" && o.printDisc2 && d->IsTwoDiscLayout())
        wanted = d->IsDiscCentered() ? "Disc 2" : "Disc";
    RebuildTabs(wanted);
}

void DlgPrint::UpdateTotalPages() {
    GuardOperation(4176, [&] {
        if (!m_view) return;
        m_view->SetPrintPageRange();
        const int first = m_view->m_firstPrintPage, last = m_view->m_lastPrintPage;
        const int total = first == 0 ? 0 : (last - first + 1) * g_printCopies;
        CString text;
        text.Format("Total Pages to Print: %d", total);
        if (m_total.m_hWnd) {
            m_total.SetWindowText(text);
            m_total.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    });
}

// ---- copies -------------------------------------------------------------------------------------

int DlgPrint::ClampCopiesText(const CString& text) {
    const long n = std::strtol(text, nullptr, 10);
    if (n < 1) return 1;
    if (n > kMaxPrintCopies) return kMaxPrintCopies;
    return static_cast<int>(n);
}

void DlgPrint::OnCopiesChange() {
    GuardOperation(4177, [&] {
        if (!m_copies.m_hWnd) return;
        CString text;
        m_copies.GetWindowText(text);
        g_printCopies = ClampCopiesText(text);
        if (m_tabs.m_hWnd) UpdateTotalPages();
    });
}

void DlgPrint::OnCopiesKillFocus() {
    GuardOperation(4178, [&] {
        CString text, stored;
        m_copies.GetWindowText(text);
        stored.Format("%d", g_printCopies);
        if (text != stored) m_copies.SetWindowText(stored);
    });
}

// ---- closing ------------------------------------------------------------------------------------

void DlgPrint::OnOK() {
    GuardOperation(4179, [&] {
        if (!m_view || m_view->m_firstPrintPage == 0) {
            ShowDialogMessage(this, kBoxWarning, "Please select the labels to print.");
            return;
        }
        KorvanelleDocument* d = Design();
        const PrintOptions& o = g_printOptions;
        // A calibration sheet is printed on paper, whatever the disc template.
        if (!IsCalibration() && (o.printDisc1 || (o.printDisc2 && d->IsTwoDiscLayout())) &&
            d->IsLightScribeTemplate()) {
            EndDialog(kLightScribeResult);
            return;
        }
        EndDialog(IDOK);
        m_view->Redraw(true);
    });
}

void DlgPrint::OnPreview() {
    GuardOperation(4180, [&] {
        // The choice is the dialog's result alone, nothing is set before the end; a Cancel or
        // Print clicked later (a box over the dialog holds its end back until it is answered)
        // changes nothing, as the first end decides.
        if (m_view && m_view->m_firstPrintPage != 0) {
            EndDialog(kPrintDialogPreview);
        } else {
            ShowDialogMessage(this, kBoxWarning, "Please select the labels to preview.");
        }
    });
}

void DlgPrint::OnHelpButton() {
    if (ViewHost* host = View::GetHost()) host->ShowHelpContext(m_hWnd, IsCalibration() ? 18 : 19);
}

BOOL DlgPrint::OnHelpInfo(HELPINFO*) {
    OnHelpButton();
    return FALSE;
}

void DlgPrint::OnDestroy() {
    g_dialogPositions[kPrintDialogPos] = RememberedPosition(*this);
    Default();
}

int RunPrintDialog(View* view) {
    int result = IDCANCEL;
    GuardOperation(4181, [&] {
        DlgPrint dialog(view);
        result = static_cast<int>(dialog.DoModal());
    });
    return result;
}
