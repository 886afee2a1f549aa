// The print dialog's tab control and the template changes it carries through the pages.
#include "print/TabPrintDialog.h"

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "print/DlgPrint.h"

BEGIN_MESSAGE_MAP(TabPrintDialog, CStyledTabCtrl)
    ON_NOTIFY_REFLECT(TCN_SELCHANGE, OnSelChangeNotify)
END_MESSAGE_MAP()

TabPrintDialog::TabPrintDialog() {
    m_back.m_tabs = this;
    m_front.m_tabs = this;
    m_disc.m_tabs = this;
    m_blank.m_tabs = this;
    CStyledTabCtrl::SetLookFlags(TRUE, 3);
}

TabPrintDialog::~TabPrintDialog() = default;

View* TabPrintDialog::GetView() const {
    return m_owner ? m_owner->m_view : nullptr;
}

void TabPrintDialog::OnSelChangeNotify(NMHDR*, LRESULT* result) {
    OnSelChange();
    if (result) *result = 0;
}

CString TabPrintDialog::GetSelectedText() {
    char text[100] = {};
    const int i = GetCurSel();
    if (i >= 0) {
        TCITEM item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 99;
        GetItem(i, &item);
    }
    return text;
}

void TabPrintDialog::OnSelChange() {
    GuardOperation(4195, [&] {
        const CString text = GetSelectedText();
        PrintSidePage* shown = nullptr;
        if (text == "Front Cover" || text == "DVD Insert" || text == "Blu-ray Insert")
            shown = &m_front;
        else if (text == "Back Cover" || text == "DVD Case" || text == "Blu-ray Case")
            shown = &m_back;
        else if (text.Left(4) == "Disc")
            shown = &m_disc;
        if (shown) CreatePage(*shown);
        if (!m_blank.m_hWnd) m_blank.Create(DlgPrintBlank::kTemplateId, this);
        for (PrintSidePage* page :
             {static_cast<PrintSidePage*>(&m_front), static_cast<PrintSidePage*>(&m_back),
              static_cast<PrintSidePage*>(&m_disc)}) {
            if (page == shown)
                page->ShowPage();
            else if (page->m_hWnd)
                page->ShowWindow(SW_HIDE);
        }
        if (m_blank.m_hWnd) m_blank.ShowWindow(shown || text != " " ? SW_HIDE : SW_SHOW);
    });
}

void TabPrintDialog::CreatePage(PrintSidePage& page) {
    if (page.m_hWnd) return;
    page.Create(page.m_lpszTemplateName, this);
    const PrintOptions& o = g_printOptions;
    const int kind = page.GetKind();
    FillOverlapCombo(page.m_overlap, kind == PrintSidePage::kDisc    ? o.discMargin
                                     : kind == PrintSidePage::kFront ? o.frontMargin
                                                                     : o.backMargin);
}

bool TabPrintDialog::CreateNextPage() {
    if (!m_hWnd) return false;
    for (PrintSidePage* page : {static_cast<PrintSidePage*>(&m_disc), static_cast<PrintSidePage*>(&m_front),
                                static_cast<PrintSidePage*>(&m_back)}) {
        if (!page->m_hWnd) {
            CreatePage(*page);
            return page->m_hWnd != nullptr;  // one that cannot be made waits for its tab
        }
    }
    return false;
}

void TabPrintDialog::FillOverlapCombos() {
    FillOverlapCombo(m_disc.m_overlap, g_printOptions.discMargin);
    FillOverlapCombo(m_front.m_overlap, g_printOptions.frontMargin);
    FillOverlapCombo(m_back.m_overlap, g_printOptions.backMargin);
}

void TabPrintDialog::FillOverlapCombo(AeroComboBox& combo, int value) {
    if (!combo.m_hWnd) return;
    combo.ResetContent();
    const bool inches = g_units == "Inches";
    const char* const inchTexts[4] = {"0.00 ''", "0.05 ''", "0.10 ''", "0.15 ''"};
    const char* const mmTexts[4] = {"0.0 mm", "1.3 mm", "2.5 mm", "3.8 mm"};
    for (int i = 0; i < 4; ++i) combo.AddString(inches ? inchTexts[i] : mmTexts[i]);
    // Any other value (from older settings) leaves no entry selected until the user picks one.
    combo.SetCurSel(value == 0 ? 0 : value == 50 ? 1 : value == 100 ? 2 : value == 150 ? 3 : -1);
}

void TabPrintDialog::FillTemplateCombo(PrintSidePage& page, const CString& templateName) {
    View* view = GetView();
    if (!view || !page.m_template.m_hWnd) return;
    page.m_template.ResetContent();
    int kind = kCaseDisc;
    if (page.GetKind() != PrintSidePage::kDisc) {
        LabelTemplate* cover = view->m_design.GetCoverTemplate();
        kind = cover ? cover->GetCaseKind() : kCaseJewel;
    }
    view->m_templates.FillTemplateCombo(page.m_template.m_hWnd, kind, templateName);
}

void TabPrintDialog::ApplyTemplateChange(LabelTemplate* oldTemplate, LabelTemplate* newTemplate,
                                         PrintSidePage* asking, bool fromCombo) {
    View* view = GetView();
    if (!view || !newTemplate) return;
    if (newTemplate->HasDisc()) {
        if (fromCombo) {
            view->m_templates.discTemplateName = newTemplate->name;
            view->ApplyTemplate(newTemplate->name, CString(), true, true);
        }
        OnDiscTemplateChanged(newTemplate);
    } else {
        if (fromCombo) {
            view->m_templates.coverTemplateName = newTemplate->name;
            view->ApplyTemplate(CString(), newTemplate->name, true, true);
        }
        OnCoverTemplateChanged(oldTemplate, newTemplate, asking);
    }
    if (m_owner) {
        m_owner->RebuildTabs(CString());
        m_owner->UpdateTotalPages();
    }
}

void TabPrintDialog::OnDiscTemplateChanged(LabelTemplate* newTemplate) {
    if (m_owner) m_owner->ApplySideExclusion(GetSelectedText() == "Disc 2" ? 4 : 3, true);
    FillTemplateCombo(m_disc, newTemplate->name);
    m_disc.ShowDiscOptions(newTemplate);
    m_disc.FillLayoutCombo();
    m_disc.ShowDesign(true);
}

void TabPrintDialog::OnCoverTemplateChanged(LabelTemplate* oldTemplate, LabelTemplate* newTemplate,
                                            PrintSidePage* asking) {
    FillTemplateCombo(m_front, newTemplate->name);
    FillTemplateCombo(m_back, newTemplate->name);
    if (oldTemplate && oldTemplate->IsFrontCoverFolded() != newTemplate->IsFrontCoverFolded())
        m_front.FillBorderCombo();
    if (oldTemplate && oldTemplate->AreCoversOnSamePage() != newTemplate->AreCoversOnSamePage()) {
        m_front.m_preview.DiscardPicture();
        m_back.m_preview.DiscardPicture();
    }
    if (asking == &m_front) {
        m_front.ShowDesign(true);
        m_back.ShowDesign(false);
    } else if (asking == &m_back) {
        m_back.ShowDesign(true);
        m_front.ShowDesign(false);
    }
}
