// DlgLightScribe: the step between the LightScribe print command and the drive maker's print
// dialog. It shows each disc of the current design as the drive would burn it, lets the user
// choose the disc when the design has two, and offers to switch the design to the "LightScribe"
// disc template, whose label fits the drive's print area. "Continue.." ends with 10 plus the
// chosen disc (10 the first, 11 the second); Cancel puts back the template the design had.
#pragma once

#include <vector>

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "print/AeroPreview.h"

class View;

class DlgLightScribe : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 462;
    // The result for the first disc; the second disc gives one more.
    static constexpr int kFirstDiscResult = 10;
    // The timer that fills the disc list once the dialog is on screen.
    static constexpr UINT_PTR kFillTimer = 1062;
    // The width of a thumbnail at 96 pixels per inch (the image panel's thumbnail cell).
    static constexpr int kThumbSize = 110;

    // `view`: the view whose design is printed; null takes the current one.
    explicit DlgLightScribe(CWnd* parent, View* view = nullptr);
    ~DlgLightScribe() override;

    AeroLabel m_selectCaption;
    AeroLabel m_previewCaption;
    AeroLabel m_warningText;
    AeroImage m_warningImage;
    AeroCheck m_useTemplate;
    AeroButton m_continue;
    AeroButton m_cancel;
    AeroPreview m_preview;
    CListCtrl m_discList;
    CImageList m_thumbnails;
    std::vector<Gdiplus::Bitmap*> m_discBitmaps;  // one per disc, owned by the dialog
    std::vector<CString> m_discNames;
    int m_selectedDisc = 0;  // 0 the first disc, 1 the second
    CString m_openingTemplate;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnUseTemplate();
    void OnItemChanged(NMHDR* notify, LRESULT* result);
    void OnListClick(NMHDR* notify, LRESULT* result);

    // Renders every disc of the design and fills the list with their thumbnails.
    void FillDiscList();
    // Frees the disc pictures, the thumbnails, the list's items and the names.
    void FreeDiscs();
    void LayoutControls();
    // The design shown.
    KorvanelleDocument* Design() const;

    DECLARE_MESSAGE_MAP()

private:
    void ApplyDiscTemplate(const CString& name);
    // The warning's size in pixels, its lines unwrapped.
    SIZE WarningTextExtent();
    void SelectDiscItem(int index);

    View* m_view;
};

// The text of the warning shown while the design reaches past the drive's print area.
CString LightScribeWarningText();

// The application's entry: the dialog over `parent` (on glass while desktop composition is on);
// 10 plus the chosen disc after "Continue..", below 10 when cancelled.
int RunLightScribeDialog(CWnd* parent);
