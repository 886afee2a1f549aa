// DlgLabelAlignment: the "Edit Dimensions" dialog. It edits one label template of the library -
// its name, its paper size, for case templates the number of pages, the orientation and the
// folded front cover, and through the template preview's dimension fields the positions and
// sizes of its sides - on a working copy, which "Save" writes back into the library template.
// Every combo box change is checked against the sides at once; one that would not fit is
// refused with a message and the combo box returns to its previous choice.
//
// CTabTemplate is the page switch of two-page case templates: "Front" | "Back" for jewel cases,
// "Case" | "Booklet" for DVD and Blu-ray cases.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "print/AeroPreview.h"

class CTabTemplate : public CButton {
public:
    CTabTemplate();
    ~CTabTemplate() override;

    bool m_page2Selected = true;
    bool m_dvdKind = false;  // "Case" | "Booklet" instead of "Front" | "Back"

    // The image DrawItem shows: 0 Front lit, 1 Back lit, 2 Case lit, 3 Booklet lit.
    int GetImageIndex() const;
    // A click at x (button pixels) chooses the half under it.
    void ChooseHalf(int x);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void OnLButtonDown(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    CImageList m_images;
};

class DlgLabelAlignment : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 390;

    // Edits `source` (a template of `library`, the view's template library when null) on side
    // `page` (1 the disc page, 2 or 3 a cover page).
    DlgLabelAlignment(LabelTemplate* source, int page, CWnd* parent, KorvanelleDocument* library = nullptr);
    ~DlgLabelAlignment() override;

    LabelTemplate* m_copy;  // the working copy, owned
    int m_page;
    CEdit m_name;
    CTabTemplate m_tab;
    AeroPreview m_preview;
    LabelTemplate* m_source;
    AeroLabel m_captions[6];
    AeroButton m_save;
    AeroButton m_cancel;
    AeroLine m_divider;
    AeroComboBox m_units;
    AeroComboBox m_paper;
    AeroComboBox m_pages;
    AeroComboBox m_orientation;
    AeroComboBox m_folded;
    bool m_busy = false;

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnUnitsChange();
    void OnPaperChange();
    void OnPagesChange();
    void OnOrientationChange();
    void OnFoldedChange();
    void OnNameKillFocus();
    void OnTabClicked();
    void OnFieldKillFocus(UINT id);
    void OnFieldSpin(NMHDR* notify, LRESULT* result);
    void OnDestroy();

    // ---- the operations the handlers use (public for the tests) ---------------------------------
    void UpdateControls();
    void PlacePreview();
    void SelectPaper(ViewObject* page);
    // Gives the page the new size when every side on it fits, pulling the sides inside it; else
    // names the side that does not fit.
    bool FitPage(ViewObject* page, int width, int height, CString* offendingSide);
    bool ApplyOrientation(bool redraw, bool message);
    bool ApplyFoldedCover(bool redraw, bool message);
    // The page object of the side being edited.
    ViewObject* EditedPage() const;
    // The values the dimension fields changed in the preview's template, taken into the copy.
    void TakeEditsFromPreview();

    DECLARE_MESSAGE_MAP()

private:
    void PlaceDialog();
    void LayoutTopRow();
    void ShowRefusal(const CString& text);
    CString SideCaption(const ViewObject* side) const;
    void ShowTemplate();
    // The name as the library can take it: an emptied name keeps the former one, "LightScribe"
    // and the name of another template of the library get a distinguishing ending.
    CString AcceptableName(const CString& typed) const;

    KorvanelleDocument* m_library;
};

// The application's entry (the view's label alignment operation calls it through its host):
// IDOK after "Save" (the template then holds the edit), IDCANCEL otherwise.
int RunLabelAlignmentDialog(LabelTemplate* labelTemplate, int page, CWnd* parent);
