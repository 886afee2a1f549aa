// TabPrintDialog: the lower half of the print dialog - a tab control with one tab for each side
// that will be printed, hosting the four side pages. It creates a page when its tab is first
// shown (the print dialog has the others made once it shows), shows the page of the selected tab,
// fills the pages' template and overlap lists, and carries a template change through the view and
// the other pages.
#pragma once

#include "controls/TabCtrls.h"
#include "print/PrintSidePages.h"

class DlgPrint;

class TabPrintDialog : public CStyledTabCtrl {
public:
    TabPrintDialog();
    ~TabPrintDialog() override;

    DlgPrintBack m_back;
    DlgPrintFront m_front;
    DlgPrintDisc m_disc;
    DlgPrintBlank m_blank;
    DlgPrint* m_owner = nullptr;

    View* GetView() const;

    // Shows the page of the selected tab (creating that page first when needed).
    void OnSelChange();
    // Creates one side page not made yet (true), or none when all are there or it failed (false).
    // A page takes tens of milliseconds of control creation: one at a time keeps the dialog
    // answering.
    bool CreateNextPage();
    void FillOverlapCombos();
    // "0.00 ''" to "0.15 ''" (or "0.0 mm" to "3.8 mm"), the entry of 0, 50, 100 or 150 selected.
    static void FillOverlapCombo(AeroComboBox& combo, int value);
    void FillTemplateCombo(PrintSidePage& page, const CString& templateName);
    // The selected tab's text (at most 99 characters).
    CString GetSelectedText();
    void ApplyTemplateChange(LabelTemplate* oldTemplate, LabelTemplate* newTemplate, PrintSidePage* asking,
                             bool fromCombo);
    void OnDiscTemplateChanged(LabelTemplate* newTemplate);
    void OnCoverTemplateChanged(LabelTemplate* oldTemplate, LabelTemplate* newTemplate,
                                PrintSidePage* asking);

    void OnSelChangeNotify(NMHDR* notify, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void CreatePage(PrintSidePage& page);
};
