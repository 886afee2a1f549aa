// DlgNewDoc: the "New Project" dialog. Six project layouts (CD, DVD or Blu-ray case, with one or
// two discs) as a list of pictures - each the user's startup design of that layout, or a blank
// design drawn from the label templates - and the choice between the startup design and a blank
// one. The document shell's New runs it, and the application at start-up when the setting asks
// for it.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroListImage.h"

class KorvanelleDocument;

class DlgNewDoc : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 280;
    // The case kind, disc layout and startup design file of each entry, in list order.
    struct Layout {
        const char* text;
        int caseKind;
        int discLayout;
    };
    static const Layout kLayouts[6];

    // `templates`: the library of label templates blank designs are made from; null takes the
    // view's.
    explicit DlgNewDoc(KorvanelleDocument* templates = nullptr);

    // Results: after OK the chosen kind and layout and whether the startup design is to be
    // loaded; after Cancel the kind and layout of the settings, and the startup design.
    int m_caseKind;
    int m_discLayout;
    bool m_useStartupDesign = true;

    AeroButton m_ok;
    AeroButton m_cancel;
    AeroCheck m_loadBlank;
    AeroCheck m_showAtStart;
    AeroListImage m_list;
    AeroLabel m_caption;
    bool m_loadBlankFlag = false;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnLoadBlank();
    void OnShowAtStart();
    void OnListDoubleClick();
    void OnShowWindow(BOOL show, UINT status);

    // The six pictures (entries may be empty), from the startup design files or, without them or
    // with "Load blank design", from blank designs. The caller owns the array.
    ListImageArray* BuildPictures();
    // The entry of a case kind and disc layout.
    static int EntryOf(int caseKind, int discLayout);

    DECLARE_MESSAGE_MAP()

private:
    void LayoutControls();
    // True when the startup design file was read; its first picture (or none) in `picture`.
    bool StartupDesignPicture(const CString& fileName, Gdiplus::Bitmap*& picture);
    Gdiplus::Bitmap* BlankDesignPicture(const Layout& layout);

    KorvanelleDocument* m_templates;
};

// The application's entry: runs the dialog; true after OK with the choice in the arguments.
bool RunNewProjectDialog(int& caseKind, int& discLayout, bool& useStartupDesign);
