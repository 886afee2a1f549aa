// The Save As Image dialog.
#include "print/DlgSaveAsImage.h"

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "canvas/WorkAside.h"
#include "render/CanvasSettings.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeResources.h"
#include "print/DialogPlacement.h"
#include "print/ImageExport.h"
#include "print/PrintSettings.h"
#include "res/PrintDialogsIds.h"

BEGIN_MESSAGE_MAP(DlgSaveAsImage, AeroDialog)
    ON_CBN_SELCHANGE(IDC_EXPORT_IMAGE, OnSelChangeImage)
    ON_CBN_SELCHANGE(IDC_EXPORT_BORDER, OnSelChangeBorder)
    ON_CBN_SELCHANGE(IDC_EXPORT_OVERLAP, OnSelChangeOverlap)
    ON_CBN_SELCHANGE(IDC_EXPORT_RESOLUTION, OnSelChangeResolution)
END_MESSAGE_MAP()

namespace {

// The file question: 'path' comes in as the folder and name to offer and goes out as the chosen
// path.
bool RealAskFileName(CWnd* owner, CString& path, int& filterIndex) {
    CString folder, name = path;
    const int slash = path.ReverseFind('\\');
    if (slash >= 0) {
        folder = path.Left(slash);
        name = path.Mid(slash + 1);
    }
    if (name.IsEmpty()) name = "Untitled";
    const CString filter = ExportFileFilter();
    CFileDialog dialog(FALSE, nullptr, name, 0, filter, owner);
    dialog.m_ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    dialog.m_ofn.lpstrTitle = "Save Image";
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    filterIndex = static_cast<int>(dialog.m_ofn.nFilterIndex);
    return true;
}

// The length of the export extension (".bmp", ".jpg" and so on, any case) that ends a path; 0
// when it ends in none of them.
int ImageExtensionLength(const CString& path) {
    for (int type = 0; type < kExportFormatCount; ++type) {
        const CString extension = kExportFormats[type].extension;
        CString tail = path.Right(extension.GetLength());
        tail.MakeLower();
        if (tail == extension) return extension.GetLength();
    }
    return 0;
}

// The path offered for a new export: the last export's folder and name (the pictures folder and
// "Untitled" before the first), with the extension of the chosen file type instead of its own.
CString OfferedExportPath(const CString& lastPath, const CString& extension) {
    CString folder = lastPath, name = "Untitled";
    const DWORD attributes = ::GetFileAttributesW(AfxWideOf(lastPath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const int slash = lastPath.ReverseFind('\\');
        folder = slash >= 0 ? lastPath.Left(slash) : CString();
        name = lastPath.Mid(slash + 1);
        name = name.Left(name.GetLength() - ImageExtensionLength(name));
        if (name.IsEmpty()) name = "Untitled";
    }
    if (!folder.IsEmpty() && folder.Right(1) != "\\") folder += "\\";
    return folder + name + extension;
}

int ChoiceFromFlags(BYTE border, BYTE fold) {
    return border && fold ? 3 : border ? 1 : fold ? 2 : 0;
}

bool IsBorderChoice(int s) {
    return s == 1 || s == 3;
}

bool IsFoldChoice(int s) {
    return s == 2 || s == 3;
}

// A stored choice within the list, else entry 0 (and the setting becomes 0).
void SelectStoredChoice(CComboBox& list, int& setting) {
    if (setting < 0 || setting >= list.GetCount()) setting = 0;
    list.SetCurSel(setting);
}

}  // namespace

std::function<bool(CWnd*, CString&, int&)> DlgSaveAsImage::s_askFileName = RealAskFileName;

DlgSaveAsImage::DlgSaveAsImage(CWnd* parent, KorvanelleDocument* design)
    : AeroDialog(kTemplateId, parent), m_design(design) {
    if (!m_design) {
        View* view = View::GetCurrent();
        m_design = view ? &view->m_design : nullptr;
    }
}

DlgSaveAsImage::~DlgSaveAsImage() {
    if (m_saveIcon) ::DestroyIcon(m_saveIcon);
}

void DlgSaveAsImage::DoDataExchange(CDataExchange* pDX) {
    AeroDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXPORT_IMAGE, m_images);
    DDX_Control(pDX, IDC_EXPORT_TYPE, m_fileTypes);
    DDX_Control(pDX, IDC_EXPORT_BORDER, m_borders);
    DDX_Control(pDX, IDC_EXPORT_OVERLAP, m_overlaps);
    DDX_Control(pDX, IDC_EXPORT_RESOLUTION, m_resolutions);
}

void DlgSaveAsImage::PlaceDialog() {
    PlaceAtRememberedPosition(*this, g_dialogPositions[kSaveAsImagePos]);
    if (g_lastExportPath.IsEmpty()) g_lastExportPath = g_picturesFolder;
}

BOOL DlgSaveAsImage::OnInitDialog() {
    GuardOperation(4120, [&] {
        CWaitCursor wait;
        PlaceDialog();
        AeroDialog::OnInitDialog();
        const UINT groups[3] = {IDC_EXPORT_SETTINGS_GROUP, IDC_EXPORT_PREVIEW_GROUP, IDC_EXPORT_SIZE_GROUP};
        for (int i = 0; i < 3; ++i) m_groups[i].SubclassDlgItem(groups[i], this);
        const UINT labels[7] = {IDC_EXPORT_IMAGE_LABEL,   IDC_EXPORT_TYPE_LABEL, IDC_EXPORT_BORDER_LABEL,
                                IDC_EXPORT_OVERLAP_LABEL, IDC_EXPORT_DPI_LABEL,  IDC_EXPORT_PIXELS,
                                IDC_EXPORT_INCHES};
        for (int i = 0; i < 7; ++i) m_labels[i].SubclassDlgItem(labels[i], this);
        AttachButton(m_save, IDOK, this);
        AttachButton(m_cancel, IDCANCEL, this);
        if (g_menuImageList) {
            m_saveIcon = ImageList_GetIcon(g_menuImageList, 23, ILD_NORMAL);
            if (m_saveIcon) m_save.SetIcon(m_saveIcon, nullptr);
        }
        m_preview.SubclassDlgItem(IDC_EXPORT_PREVIEW, this);
        FillImages();
        FillFileTypes();
        FillResolutions();
        FillBorders();
        FillOverlaps();
        UpdateSizeTexts();
        ShowPart(false);
    });
    return FALSE;
}

// ---- lists --------------------------------------------------------------------------------------

void DlgSaveAsImage::FreeImageNames() {
    if (!m_images.m_hWnd) return;
    for (int i = 0; i < m_images.GetCount(); ++i) {
        delete reinterpret_cast<CString*>(m_images.GetItemDataPtr(i));
        m_images.SetItemDataPtr(i, nullptr);
    }
}

void DlgSaveAsImage::FillImages() {
    FreeImageNames();
    m_images.ResetContent();
    if (!m_design) return;
    auto add = [&](const char* text, const char* objectName) {
        const int i = m_images.AddString(text);
        m_images.SetItemDataPtr(i, new CString(objectName));
    };
    if (!m_design->IsDiscCentered()) add("Page 1", "Page 1");
    add("Page 2", "Page 2");
    if (!m_design->AreCoversOnSamePage()) add("Page 3", "Page 3");
    if (m_design->IsTwoDiscLayout()) {
        add("Disc 1", "Disc 1");
        add("Disc 2", "Disc 2");
    } else {
        add("Disc Label", "Disc 1");
    }
    if (m_design->HasDvdCase() || m_design->HasBlurayCase()) {
        add("Booklet", "Front Cover");
        add("Case", "Back Cover");
    } else {
        add("Front Cover", "Front Cover");
        add("Back Cover", "Back Cover");
    }
    SelectStoredChoice(m_images, g_exportImageOptions.image);
}

void DlgSaveAsImage::FillFileTypes() {
    m_fileTypes.ResetContent();
    for (int type = 0; type < kExportFormatCount; ++type)
        m_fileTypes.AddString(ExportFormatTitle(kExportFormats[type]));
    SelectStoredChoice(m_fileTypes, g_exportImageOptions.fileType);
}

void DlgSaveAsImage::FillResolutions() {
    m_resolutions.ResetContent();
    const int dpis[3] = {150, 300, 600};
    for (int dpi : dpis) {
        CString text;
        text.Format("%d DPI", dpi);
        m_resolutions.SetItemData(m_resolutions.AddString(text), static_cast<DWORD_PTR>(dpi));
    }
    SelectStoredChoice(m_resolutions, g_exportImageOptions.resolutionChoice);
}

ViewObject* DlgSaveAsImage::GetSelectedObject() {
    const int i = m_images.GetCurSel();
    if (i < 0 || !m_design) return nullptr;
    const CString* name = reinterpret_cast<const CString*>(m_images.GetItemDataPtr(i));
    return name ? m_design->FindObject(*name) : nullptr;
}

int DlgSaveAsImage::GetPartGroup(ViewObject* o) {
    if (!o) return kGroupOther;
    if (o->IsPage(1) || o->IsDisc()) return kGroupDisc;
    if (o->IsPage(2) || o->IsFrontCover()) return kGroupFront;
    if (o->IsPage(3) || o->IsBackCover()) return kGroupBack;
    return kGroupOther;
}

int DlgSaveAsImage::GetDpi() {
    const int i = m_resolutions.GetCurSel();
    return i < 0 ? 150 : static_cast<int>(m_resolutions.GetItemData(i));
}

void DlgSaveAsImage::FillBorders() {
    m_borders.ResetContent();
    ViewObject* part = GetSelectedObject();
    PrintOptions& o = g_printOptions;
    int choice = 0;
    bool fold = false;
    switch (GetPartGroup(part)) {
        case kGroupDisc:
            choice = o.discBorder ? 1 : 0;
            break;
        case kGroupFront: {
            ViewObject* front = m_design ? m_design->GetFrontCover() : nullptr;
            const bool folded = front && front->IsFoldedFrontCover();
            const bool sharedPage = part->IsPage(2) && m_design->AreCoversOnSamePage();
            if (sharedPage) {
                o.backBorder = o.frontBorder;
                o.backFold = o.frontFold;
            }
            choice = folded ? ChoiceFromFlags(o.frontBorder, o.frontFold) : (o.frontBorder ? 1 : 0);
            fold = folded || sharedPage;
            break;
        }
        case kGroupBack:
            choice = ChoiceFromFlags(o.backBorder, o.backFold);
            fold = true;
            break;
        default:
            choice = 0;
            break;
    }
    m_borders.AddString("No Border");
    m_borders.AddString("Border");
    if (fold) {
        m_borders.AddString("Fold Line");
        m_borders.AddString("Border & Fold Line");
    }
    if (choice >= m_borders.GetCount()) choice = m_borders.GetCount() - 1;
    m_borders.SetCurSel(choice);
}

void DlgSaveAsImage::FillOverlaps() {
    if (m_overlaps.GetCount() == 0) {
        const bool inches = g_units == "Inches";
        const char* const inchTexts[4] = {"0.00 ''", "0.05 ''", "0.10 ''", "0.15 ''"};
        const char* const mmTexts[4] = {"0.0 mm", "1.3 mm", "2.5 mm", "3.8 mm"};
        for (int i = 0; i < 4; ++i)
            m_overlaps.SetItemData(m_overlaps.AddString(inches ? inchTexts[i] : mmTexts[i]),
                                   static_cast<DWORD_PTR>(i * 50));
    }
    int margin = 0;
    switch (GetPartGroup(GetSelectedObject())) {
        case kGroupDisc:
            margin = g_printOptions.discMargin;
            break;
        case kGroupFront:
            margin = g_printOptions.frontMargin;
            break;
        case kGroupBack:
            margin = g_printOptions.backMargin;
            break;
    }
    m_overlaps.SetCurSel(margin == 50 ? 1 : margin == 100 ? 2 : margin == 150 ? 3 : 0);
}

// ---- sizes --------------------------------------------------------------------------------------

SIZE DlgSaveAsImage::GetPixelSize() {
    SIZE size = {0, 0};
    ViewObject* part = GetSelectedObject();
    if (!part) return size;
    const int margin = g_printOptions.GetMargin(part->type);
    const CRect bounds = part->GetDeviceBounds(false, margin);
    const int dpi = GetDpi();
    size.cx = static_cast<int>(static_cast<double>(bounds.Width()) * dpi / 1000.0);
    size.cy = static_cast<int>(static_cast<double>(bounds.Height()) * dpi / 1000.0);
    return size;
}

CString DlgSaveAsImage::GetPixelText() {
    const SIZE size = GetPixelSize();
    CString text;
    text.Format("%d x %d pixels ", size.cx, size.cy);
    return text;
}

CString DlgSaveAsImage::GetPhysicalText() {
    const SIZE size = GetPixelSize();
    const double dpi = GetDpi();
    CString text;
    if (g_units == "Inches")
        text.Format("%.3f x %.3f inches", size.cx / dpi, size.cy / dpi);
    else
        text.Format("%.1f x %.1f millimeters", size.cx * 25.4 / dpi, size.cy * 25.4 / dpi);
    return text;
}

void DlgSaveAsImage::UpdateSizeTexts() {
    CWnd* pixels = GetDlgItem(IDC_EXPORT_PIXELS);
    CWnd* physical = GetDlgItem(IDC_EXPORT_INCHES);
    if (!pixels || !physical) return;
    // The labels fit their texts: a shorter text leaves part of the old label's place to the
    // dialog, which has to paint it too (with redrawing off, the resize invalidates nothing).
    RECT area = {0, 0, 0, 0};
    auto addPlace = [&](CWnd* label) {
        RECT r;
        ::GetWindowRect(label->m_hWnd, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::UnionRect(&area, &area, &r);
    };
    addPlace(pixels);
    addPlace(physical);
    pixels->SendMessage(WM_SETREDRAW, FALSE);
    physical->SendMessage(WM_SETREDRAW, FALSE);
    pixels->SetWindowText(GetPixelText());
    physical->SetWindowText(GetPhysicalText());
    pixels->SendMessage(WM_SETREDRAW, TRUE);
    physical->SendMessage(WM_SETREDRAW, TRUE);
    addPlace(pixels);
    addPlace(physical);
    ::RedrawWindow(m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- preview ------------------------------------------------------------------------------------

PrintOptions DlgSaveAsImage::PreviewOptions() const {
    PrintOptions options(&g_printOptions);
    options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
    return options;
}

void DlgSaveAsImage::ShowPart(bool redraw) {
    ViewObject* part = GetSelectedObject();
    const PrintOptions options = PreviewOptions();
    if (part && part->IsPage())
        m_preview.SetDocument(m_design, part->side, &options, kPreviewExport, redraw);
    else
        m_preview.SetTemplateObject(m_design, part, &options, kPreviewExport, redraw);
}

// ---- handlers -----------------------------------------------------------------------------------

void DlgSaveAsImage::OnSelChangeImage() {
    GuardOperation(4121, [&] {
        FillBorders();
        FillOverlaps();
        UpdateSizeTexts();
        ShowPart(true);
    });
}

void DlgSaveAsImage::OnSelChangeBorder() {
    GuardOperation(4122, [&] {
        const int s = m_borders.GetCurSel();
        ViewObject* part = GetSelectedObject();
        PrintOptions& o = g_printOptions;
        switch (GetPartGroup(part)) {
            case kGroupBack:
                o.backBorder = IsBorderChoice(s) ? 1 : 0;
                o.backFold = IsFoldChoice(s) ? 1 : 0;
                break;
            case kGroupFront: {
                ViewObject* front = m_design->GetFrontCover();
                o.frontBorder = IsBorderChoice(s) ? 1 : 0;
                o.frontFold = front && front->IsFoldedFrontCover() && IsFoldChoice(s) ? 1 : 0;
                if (m_design->AreCoversOnSamePage()) {
                    o.backBorder = IsBorderChoice(s) ? 1 : 0;
                    o.backFold = IsFoldChoice(s) ? 1 : 0;
                }
                break;
            }
            case kGroupDisc:
                o.discBorder = s == 1 ? 1 : 0;
                break;
            default:
                return;
        }
        // Only the outlines change: they are drawn again over the kept clean picture.
        ShowPart(false);
        const PrintOptions options = PreviewOptions();
        m_preview.SetPrintOptions(&options);
    });
}

void DlgSaveAsImage::OnSelChangeOverlap() {
    GuardOperation(4123, [&] {
        const int i = m_overlaps.GetCurSel();
        ViewObject* part = GetSelectedObject();
        if (i < 0 || !part) return;
        const int m = static_cast<int>(m_overlaps.GetItemData(i));
        PrintOptions& o = g_printOptions;
        if (part->IsPage()) {
            if (part->side == 1) {
                o.discMargin = m;
            } else if (part->side == 2) {
                o.frontMargin = m;
                if (m_design->AreCoversOnSamePage()) o.backMargin = m;
            } else if (part->side == 3) {
                o.backMargin = m;
            }
        } else if (part->IsDisc()) {
            o.discMargin = m;
        } else if (part->IsFrontCover()) {
            o.frontMargin = m;
        } else if (part->IsBackCover()) {
            o.backMargin = m;
        }
        ShowPart(true);
        UpdateSizeTexts();
    });
}

void DlgSaveAsImage::OnSelChangeResolution() {
    GuardOperation(4124, [&] { UpdateSizeTexts(); });
}

// ---- saving -------------------------------------------------------------------------------------

bool DlgSaveAsImage::AskFileName() {
    const CString offered = OfferedExportPath(g_lastExportPath, ExportExtension(m_fileTypes.GetCurSel()));
    CString path = offered;
    int filterIndex = m_fileTypes.GetCurSel() + 1;
    if (!s_askFileName || !s_askFileName(this, path, filterIndex)) return false;
    if (filterIndex >= 1 && filterIndex <= kExportFormatCount) m_fileTypes.SetCurSel(filterIndex - 1);
    const CString e = ExportExtension(m_fileTypes.GetCurSel());
    const int n = e.GetLength();
    // The offered name kept while another type was chosen: its extension follows the type, as a
    // typed name's does not.
    if (path.CompareNoCase(offered) == 0) path = path.Left(path.GetLength() - ImageExtensionLength(path));
    CString tail = path.Right(n);
    if (tail != e) {
        tail.MakeLower();
        if (path.GetLength() >= n && tail == e)
            path = path.Left(path.GetLength() - n) + e;
        else
            path += e;
    }
    g_lastExportPath = path;
    return true;
}

void DlgSaveAsImage::OnOK() {
    GuardOperation(4125, [&] {
        if (!AskFileName()) return;
        const CString path = g_lastExportPath;
        if (::GetFileAttributesW(AfxWideOf(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
            AeroMessageBox box(this);
            box.m_iconKind = kBoxWarning;
            box.m_message = path + " already exists.\r\n\r\nDo you want to replace it?";
            box.AddButton("Yes", 1, 0);
            box.AddButton("No", 2, 1);
            if (box.DoModal() != 1) return;
        }
        ViewObject* part = GetSelectedObject();
        const PrintOptions options = PreviewOptions();
        ExportResult result;
        {
            CWaitCursor wait;
            m_save.ShowWindow(SW_HIDE);
            // The preview's pictures still decoding would keep the export waiting for its turn.
            const bool stopped = m_preview.StopPictures();
            // Drawn and written on a thread of its own, from a copy of the design: the window
            // paints and answers meanwhile, the user's input waits.
            ExportDesignCopy copy(m_design, part);
            const int dpi = GetDpi(), type = m_fileTypes.GetCurSel();
            RunAside(m_hWnd, [&] {
                result = ExportImage(copy.Design(), copy.Part(), dpi, &options, type, path);
            });
            if (stopped && result.outcome != kExportWritten) m_preview.Refresh();
        }
        if (result.outcome == kExportWritten) {
            EndDialog(0);
            return;
        }
        if (result.outcome == kExportTooLarge)
            ShowDialogMessage(this, kBoxWarning,
                              "This part of the design is larger than any paper it could be printed on, so "
                              "no image is made of it.\r\n\r\nPlease check the dimensions of its label "
                              "template (Change Label Template, Edit Dimensions).");
        else if (result.outcome == kExportPicturesMissing)
            ShowDialogMessage(
                this, kBoxWarning,
                "No image was saved: these pictures could not be drawn into it (too little memory "
                "is left to decode them, or their data is damaged):\r\n\r\n" +
                    result.missingPictures +
                    "\r\n\r\nPlease close all other running programs and try again.");
        else if (result.outcome == kExportNoBitmap)
            ShowDialogMessage(this, kBoxWarning,
                              "Your computer does not have enough memory to create the image file.\r\n\r\n"
                              "Please close all other running programs and try again.\r\n\r\n"
                              "You can also try a smaller resolution (300 DPI or below).");
        else
            ShowDialogMessage(this, kBoxWarning,
                              "The image could not be saved:\r\n\r\n" + path +
                                  "\r\n\r\nPlease make sure that the folder exists and can be written to, "
                                  "and that the disk is not full.");
        m_save.ShowWindow(SW_SHOW);
    });
}

BOOL DlgSaveAsImage::DestroyWindow() {
    GuardOperation(4126, [&] {
        if (!m_hWnd) return;
        if (m_images.m_hWnd) {
            g_exportImageOptions.image = m_images.GetCurSel();
            g_exportImageOptions.fileType = m_fileTypes.GetCurSel();
            g_exportImageOptions.resolutionChoice = m_resolutions.GetCurSel();
            g_exportImageOptions.border = m_borders.GetCurSel();
            g_exportImageOptions.overlap = m_overlaps.GetCurSel();
        }
        FreeImageNames();
        g_dialogPositions[kSaveAsImagePos] = RememberedPosition(*this);
    });
    return AeroDialog::DestroyWindow();
}

void RunSaveAsImageDialog(CWnd* parent) {
    GuardOperation(4127, [&] {
        DlgSaveAsImage dialog(parent);
        dialog.DoModal();
    });
}
