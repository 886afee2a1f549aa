// DlgPrint: the "Print" dialog between File > Print and the print loop. The view's print
// preparation runs it; what it leaves behind - the print choices in g_printOptions, the number of
// copies, the current printer set-up and the page range the view computes - is what the view then
// prints. Normal mode offers the printer, "What to Print", the copies and a tab per chosen side;
// calibration mode (the view's Printer Calibration) re-lays the dialog out with the printer, the
// calibration sheet's page size and the printer's offsets.
//
// Results: IDOK print; kPrintDialogPreview (canvas/View.h) preview; 7 print on a LightScribe
// disc; IDCANCEL nothing.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "print/TabPrintDialog.h"

class CPrintDriver;

class DlgPrint : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 1539;
    static constexpr int kLightScribeResult = 7;
    static constexpr UINT_PTR kPrinterTimer = 1113;
    static constexpr UINT_PTR kPagesTimer = 1114;  // the side pages not shown yet are made

    explicit DlgPrint(View* view);
    ~DlgPrint() override;

    TabPrintDialog m_tabs;
    AeroLabel m_horizontalLabel;
    AeroLabel m_verticalLabel;
    AeroLabel m_copiesLabel;
    AeroLabel m_directions;
    AeroLabel m_total;
    AeroGroupBox m_printerGroup;
    AeroGroupBox m_whatGroup;
    AeroGroupBox m_copiesGroup;
    AeroGroupBox m_previewCaption;
    AeroGroupBox m_pageSizeGroup;
    AeroButton m_print;
    AeroButton m_cancel;
    AeroButton m_help;
    AeroButton m_properties;
    AeroButton m_previewButton;
    AeroCheck m_checks[4];  // 1116, 1132, 1133, 1134
    CEdit m_offsetX;
    CEdit m_offsetY;
    CEdit m_copies;
    AeroComboBox m_printers;
    AeroComboBox m_pageSize;
    bool m_rewriteGuard = true;

    View* m_view;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnPreview();
    void OnHelpButton();
    BOOL OnHelpInfo(HELPINFO* info);
    void OnPrinterProperties();
    void OnPrintFront();
    void OnPrintBack();
    void OnPrintDisc1();
    void OnPrintDisc2();
    void OnPrinterChange();
    void OnPageSizeChange();
    void OnCopiesChange();
    void OnCopiesKillFocus();
    void OnHorizontalUpdate();
    void OnVerticalUpdate();
    void OnHorizontalKillFocus();
    void OnVerticalKillFocus();
    void OnTimer(UINT_PTR id);
    void OnShowWindow(BOOL show, UINT status);
    void OnDestroy();

    // ---- what the side pages call ----------------------------------------------------------------
    void RebuildTabs(const CString& wanted);
    void UpdateTotalPages();
    void LabelDiscChecks();
    void InitSideChecks();
    bool ApplySideExclusion(int kind, bool refresh);

    // ---- steps (public for the tests) ------------------------------------------------------------
    bool IsCalibration() const;
    void FillPrinterCombo();
    bool LoadPrintDriver(const CString& name);
    void ShowPrinterError(int kind);
    void SelectInitialTab();
    void LayoutCalibration();
    // The text of an offset field with every character but digits and "-" taken out; false
    // when nothing was taken out.
    static bool FilterOffsetText(CString& text);
    // An offset field's text read as a whole number of fortieths of an inch, held within -40..40.
    static int ClampOffsetText(const CString& text);
    // A copies field's text as the number of copies: 1 to 999, an empty field 1.
    static int ClampCopiesText(const CString& text);

    DECLARE_MESSAGE_MAP()

private:
    void PlaceDialog();
    void SubclassControls();
    void LabelDvdChecks();
    void LabelBlurayChecks();
    void InitCopies();
    void OnSideCheck(int index);
    void SyncPreviewOptions();
    void FilterOffset(CEdit& field);
    void ClampOffset(CEdit& field, bool horizontal);
    bool IsCaseDesign() const;
    // The flag a side check box shows (DVD and Blu-ray cases exchange the first two).
    BYTE& FlagOfCheck(int index) const;
    KorvanelleDocument* Design() const;

    HICON m_printIcon = nullptr;
    HICON m_previewIcon = nullptr;
};

// The application's entry (the view's print preparation calls it through its host): the dialog's
// result for the view.
int RunPrintDialog(View* view);
