// The side pages of the print dialog's tab control: one per side that will be printed, each with
// a live preview of that side and its print options - the label template, the border and fold
// lines, the background overlap and, for discs, the disc layout. DlgPrintFront (front cover,
// also the DVD and Blu-ray insert), DlgPrintBack (back cover, also the DVD and Blu-ray case) and
// DlgPrintDisc share PrintSidePage; DlgPrintBlank is the empty page shown when no side is chosen.
// Every choice goes to g_printOptions at once; template and layout changes go to the view.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "print/AeroPreview.h"

class TabPrintDialog;
class View;

class PrintSidePage : public AeroDialog {
public:
    enum Kind { kFront = 0, kBack = 1, kDisc = 2 };

    PrintSidePage(UINT templateId, int kind);

    TabPrintDialog* m_tabs = nullptr;
    AeroComboBox m_template;
    AeroPreview m_preview;
    AeroComboBox m_overlap;
    AeroButton m_edit;
    AeroLabel m_labels[4];  // "Label Template", "Border", "Background Overlap", "Disc Layout"
    AeroComboBox m_border;
    AeroComboBox m_layout;               // the disc page only
    RECT m_templateRect = {0, 0, 0, 0};  // the disc page's template combo as laid out

    int GetKind() const { return m_kind; }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnEdit();
    void OnTemplateDropDown();
    void OnTemplateChange();
    void OnBorderChange();
    void OnOverlapChange();
    void OnLayoutChange();
    LRESULT OnPreviewClick(WPARAM wParam, LPARAM lParam);

    // Fills and selects the border choices from g_printOptions.
    void FillBorderCombo();
    // The preview grows to the template combo and the page's bottom.
    void LayoutPreview();
    // Repaints the preview of a visible page at once, or shows the page.
    void ShowPage();
    // The side index the preview shows: 2 front, the back cover's index, 1 disc.
    int SideIndex();
    // The preview takes the design again with its side, and repaints when asked.
    void ShowDesign(bool repaint);
    // Front and back: when both covers share a page, the other cover's preview takes this one's
    // picture.
    void SyncOtherCover();

    // The disc page: the layout choices, and the choices a LightScribe template does not offer.
    void FillLayoutCombo();
    void ShowDiscOptions(LabelTemplate* discTemplate);
    // Applies the layout of the chosen entry as the user's choice does.
    void ApplyLayoutChoice();

    DECLARE_MESSAGE_MAP()

protected:
    View* GetView() const;
    KorvanelleDocument* Design() const;
    LabelTemplate* CurrentTemplate() const;
    // The point (design units) of a click on the preview, and whether it falls into the object.
    bool ClickHits(const POINT& at, const ViewObject* object);

    int m_kind;
};

class DlgPrintFront : public PrintSidePage {
public:
    static constexpr UINT kTemplateId = 398;
    DlgPrintFront() : PrintSidePage(kTemplateId, kFront) {}
};

class DlgPrintBack : public PrintSidePage {
public:
    static constexpr UINT kTemplateId = 399;
    DlgPrintBack() : PrintSidePage(kTemplateId, kBack) {}
};

class DlgPrintDisc : public PrintSidePage {
public:
    static constexpr UINT kTemplateId = 400;
    DlgPrintDisc() : PrintSidePage(kTemplateId, kDisc) {}
};

class DlgPrintBlank : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 445;
    DlgPrintBlank() : AeroDialog(kTemplateId, nullptr) {}
    TabPrintDialog* m_tabs = nullptr;
    BOOL OnInitDialog() override;
};

// Moves a page to the display area of its tab control.
void PlacePageInTabs(CWnd& page, CWnd& tabs);
