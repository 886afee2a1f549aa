// DlgLabelStock: the "Change Label Template" dialog. It chooses the label templates of the
// library that the current design uses for its disc labels and for its case, shows each chosen
// template in three previews, creates a new template from a chosen one, edits a template's
// dimensions (through the view's label alignment operation) and deletes templates. The dialog
// is resizable and remembers its window rectangle.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroListImage.h"
#include "print/AeroPreview.h"

class View;

class DlgLabelStock : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 282;
    static constexpr int kHelpTopic = 34;

    // `view`: the view whose design and template library are worked on; null takes the current one.
    explicit DlgLabelStock(View* view = nullptr);

    bool m_initialised = false;
    int m_minWidth = 0;
    int m_minHeight = 0;
    CString m_discName;
    CString m_caseName;
    AeroListBox m_discList;
    AeroListBox m_caseList;
    AeroButton m_ok;
    AeroButton m_cancel;
    AeroButton m_discEdit;
    AeroButton m_discNew;
    AeroButton m_caseEdit;
    AeroButton m_caseNew;
    AeroButton m_discDelete;
    AeroButton m_caseDelete;
    AeroPreview m_discPreview;
    AeroPreview m_page2Preview;
    AeroPreview m_page3Preview;
    AeroLabel m_captions[6];  // disc list, case list, "Disc", page 2, page 3, the link

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnDiscSelChange();
    void OnCaseSelChange();
    void OnDiscEdit();
    void OnDiscNew();
    void OnCaseEdit();
    void OnCaseNew();
    void OnDiscDelete();
    void OnCaseDelete();
    // The clicks on the two case previews (their button notifications) open the page they show.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLinkClick(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDestroy();

    void FillLists();
    void EditTemplate(const CString& name, int page, bool create);
    void DeleteTemplate(const CString& name);
    void LayoutControls();

    DECLARE_MESSAGE_MAP()

private:
    void FillList(AeroListBox& list, int kind, const CString& name);
    void PlaceWindow();
    bool IsDvdKind(const LabelTemplate* t) const;
    // The template the design uses: it cannot be deleted.
    bool IsInUse(const LabelTemplate* t) const;
    KorvanelleDocument* Library() const;

    View* m_view;
};

// The application's entry (the view's Change Label Template command calls it through its host).
void RunLabelStockDialog();
