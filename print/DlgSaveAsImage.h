// DlgSaveAsImage: the "Save As Image" dialog. The user picks one part of the current design (a
// page, a disc or a cover), the file type, the resolution, the border and fold lines and the
// background overlap; a preview shows the part with the chosen lines and two labels give the
// image's size in pixels and in the user's units. "Save Image" asks for a file name and writes
// the image (print/ImageExport.h). Border and overlap are the application's print choices.
#pragma once

#include <functional>

#include "controls/AeroButton.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "print/AeroPreview.h"

class DlgSaveAsImage : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 440;
    // The four groups of parts for the border and overlap lists.
    enum PartGroup { kGroupOther = 0, kGroupDisc = 1, kGroupFront = 2, kGroupBack = 3 };

    // `design`: the design to export; null takes the view's current design.
    explicit DlgSaveAsImage(CWnd* parent = nullptr, KorvanelleDocument* design = nullptr);
    ~DlgSaveAsImage() override;

    // The file-name question (the system's save dialog): in `path` the initial folder and name,
    // in `filterIndex` the 1-based type; true with the chosen path and type. Tests replace it.
    static std::function<bool(CWnd* owner, CString& path, int& filterIndex)> s_askFileName;

    AeroComboBox m_images;
    AeroComboBox m_fileTypes;
    AeroComboBox m_borders;
    AeroComboBox m_overlaps;
    AeroComboBox m_resolutions;
    AeroButton m_save;
    AeroButton m_cancel;
    AeroGroupBox m_groups[3];
    AeroLabel m_labels[7];
    AeroPreview m_preview;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL DestroyWindow() override;

    void OnSelChangeImage();
    void OnSelChangeBorder();
    void OnSelChangeOverlap();
    void OnSelChangeResolution();

    // ---- state the handlers work on (public for the tests) ---------------------------------------
    ViewObject* GetSelectedObject();
    int GetPartGroup(ViewObject* object);
    int GetDpi();
    // The image's size in pixels for the chosen part, resolution and overlap.
    SIZE GetPixelSize();
    CString GetPixelText();
    CString GetPhysicalText();
    KorvanelleDocument* GetDesign() const { return m_design; }

    void FillImages();
    void FillFileTypes();
    void FillResolutions();
    void FillBorders();
    void FillOverlaps();
    void UpdateSizeTexts();
    // The question for the file; false when the user cancelled. Sets g_lastExportPath.
    bool AskFileName();

    DECLARE_MESSAGE_MAP()

private:
    void PlaceDialog();
    void ShowPart(bool redraw);
    PrintOptions PreviewOptions() const;
    void FreeImageNames();

    KorvanelleDocument* m_design;
    HICON m_saveIcon = nullptr;
};

// The application's entry (the view's Save As Image command calls it through its host).
void RunSaveAsImageDialog(CWnd* parent);
