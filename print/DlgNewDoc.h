// DlgNewDoc: the "New Project" dialog. Six project layouts (CD, DVD or Blu-ray case, with one or
// two discs) as a list of pictures - each the user's startup design of that layout, or a blank
// design drawn from the label templates - and the choice between the startup design and a blank
// one. The document shell's New runs it, and the application at start-up when the setting asks
// for it. The pictures are made on threads of their own while the dialog is open (all six take
// about a second to draw); the rows are sized for them beforehand, and each row shows its picture
// as soon as it is made.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroListImage.h"

#include <memory>
#include <vector>

#include "print/LayoutPictures.h"

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
    void OnDestroy();
    LRESULT OnPictureMade(WPARAM entry, LPARAM);
    LRESULT OnStartPictures(WPARAM, LPARAM);

    // The six pictures (entries may be empty), from the startup design files or, without them or
    // with "Load blank design", from blank designs, made here and now. The caller owns the array.
    ListImageArray* BuildPictures();
    // The pictures still being made for the open dialog.
    int PicturesPending() const { return m_pictureJob ? m_pictureJob->Pending() : 0; }
    // The entry of a case kind and disc layout.
    static int EntryOf(int caseKind, int discLayout);

    DECLARE_MESSAGE_MAP()

private:
    void LayoutControls();
    // What each layout's picture is made from, gathered here so that the picture threads share
    // nothing with the rest of the program.
    std::vector<LayoutPictureSource> PictureSources();
    std::unique_ptr<KorvanelleDocument> BlankDesign(const Layout& layout);
    // Empties the list's pictures and prepares them to be made again; the rows keep the sizes the
    // pictures will have. StartPictureThreads then sets the threads going, once the dialog shows.
    void StartPictures();
    void StartPictureThreads();
    // Fits the rows, the list and the dialog to the largest picture of m_pictureSizes.
    void FitPictureSizes();

    KorvanelleDocument* m_templates;
    std::unique_ptr<LayoutPictureJob> m_pictureJob;
    bool m_picturesWaiting = false;  // the job is made but its threads are not started yet
    // Each entry's picture size: the one its blank design will have until the picture is made.
    std::vector<SIZE> m_pictureSizes;
};

// The application's entry: runs the dialog; true after OK with the choice in the arguments.
bool RunNewProjectDialog(int& caseKind, int& discLayout, bool& useStartupDesign);
