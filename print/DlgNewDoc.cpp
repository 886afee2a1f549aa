// The New Project dialog.
#include "print/DlgNewDoc.h"

#include <algorithm>

#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "print/DialogPlacement.h"
#include "render/DocumentBitmap.h"
#include "res/PrintDialogsIds.h"

using namespace Gdiplus;

namespace {
// Posted by the picture threads: wParam is the entry whose picture was made.
const UINT kPictureMade = WM_APP + 0x40;
// Posted when the dialog is shown: handled once it is painted.
const UINT kStartPictures = WM_APP + 0x41;
}  // namespace

BEGIN_MESSAGE_MAP(DlgNewDoc, AeroDialog)
    ON_BN_CLICKED(IDC_NEW_BLANK, OnLoadBlank)
    ON_BN_CLICKED(IDC_NEW_SHOW_AT_START, OnShowAtStart)
    ON_LBN_DBLCLK(IDC_NEW_LIST, OnListDoubleClick)
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
    ON_MESSAGE(kPictureMade, OnPictureMade)
    ON_MESSAGE(kStartPictures, OnStartPictures)
END_MESSAGE_MAP()

const DlgNewDoc::Layout DlgNewDoc::kLayouts[6] = {
    {"CD Case - 1 Disc", kCaseJewel, kLayout1DiscTop},
    {"CD Case - 2 Disc", kCaseJewel, kLayout2DiscTop},
    {"DVD Case - 1 Disc", kCaseDvd, kLayout1DiscTop},
    {"DVD Case - 2 Disc", kCaseDvd, kLayout2DiscTop},
    {"Blu-ray Case - 1 Disc", kCaseBluray, kLayout1DiscTop},
    {"Blu-ray Case - 2 Disc", kCaseBluray, kLayout2DiscTop},
};

DlgNewDoc::DlgNewDoc(KorvanelleDocument* templates)
    : AeroDialog(kTemplateId, nullptr),
      m_caseKind(g_caseKind),
      m_discLayout(g_discLayout),
      m_templates(templates) {
    if (!m_templates) {
        View* view = View::GetCurrent();
        m_templates = view ? &view->m_templates : nullptr;
    }
}

int DlgNewDoc::EntryOf(int caseKind, int discLayout) {
    const bool twoDiscs = discLayout >= kLayout2DiscTop && discLayout <= kLayout2DiscDuplicate;
    const int base = caseKind == kCaseDvd ? 2 : caseKind == kCaseBluray ? 4 : 0;
    return base + (twoDiscs ? 1 : 0);
}

BOOL DlgNewDoc::OnInitDialog() {
    GuardOperation(4130, [&] {
        AeroDialog::OnInitDialog();
        m_loadBlankFlag = false;
        FrameCommandState& frame = FrameCommandState::Get();
        frame.m_targetDisc = 1;
        frame.m_enableFileNewOpen = 0;
        AttachButton(m_ok, IDOK, this);
        AttachButton(m_cancel, IDCANCEL, this);
        m_loadBlank.SubclassDlgItem(IDC_NEW_BLANK, this);
        m_showAtStart.SubclassDlgItem(IDC_NEW_SHOW_AT_START, this);
        m_list.SubclassDlgItem(IDC_NEW_LIST, this);
        m_caption.SubclassDlgItem(IDC_NEW_CAPTION, this);
        m_loadBlank.ModifyStyle(0, WS_CLIPSIBLINGS);
        m_caption.ModifyStyle(0, WS_CLIPSIBLINGS);
        m_list.m_showImages = 1;
        StartPictures();
        for (int i = 0; i < 6; ++i) m_list.AddItem(kLayouts[i].text, i);
        m_list.SizeToContent();
        m_list.SetCurSel(EntryOf(g_caseKind, g_discLayout));
        m_showAtStart.SetCheck(g_showNewProjectAtStart ? BST_CHECKED : BST_UNCHECKED);
        LayoutControls();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    return TRUE;
}

void DlgNewDoc::LayoutControls() {
    auto rectOf = [&](CWnd& w) {
        RECT r;
        w.GetWindowRect(&r);
        ScreenToClient(&r);
        return r;
    };
    const int m = g_glowMargin;
    RECT caption = rectOf(m_caption);
    int x0 = caption.left, y0 = caption.top;
    if (m_caption.HasGlowMargin()) {
        x0 += m;
        y0 += m;
    }
    const RECT list = rectOf(m_list);
    // A box that carries the glow margin is measured without it and placed that much higher.
    auto placeBox = [&](AeroCheck& box, int top) {
        RECT r = rectOf(box);
        int w = r.right - r.left, h = r.bottom - r.top;
        int y = top;
        if (box.HasGlowMargin()) {
            h -= 2 * m;
            y -= m;
        }
        box.SetWindowPos(nullptr, list.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        (void)w;
        return y + h + (box.HasGlowMargin() ? m : 0);
    };
    const int blankBottom = placeBox(m_loadBlank, list.bottom + y0);
    const int showBottom = placeBox(m_showAtStart, blankBottom + y0);
    const RECT cancel = rectOf(m_cancel), ok = rectOf(m_ok);
    const int cancelW = cancel.right - cancel.left, cancelH = cancel.bottom - cancel.top;
    const int okW = ok.right - ok.left;
    const int cancelX = list.right - cancelW, buttonY = showBottom - cancelH;
    m_cancel.SetWindowPos(nullptr, cancelX, buttonY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_ok.SetWindowPos(nullptr, cancelX - x0 / 2 - okW, buttonY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT client = {0, 0, list.right + x0, showBottom + y0};
    ::AdjustWindowRectEx(&client, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::unique_ptr<KorvanelleDocument> DlgNewDoc::BlankDesign(const Layout& layout) {
    if (!m_templates) return nullptr;
    LabelTemplate* disc = m_templates->GetDiscTemplate();
    LabelTemplate* cover = m_templates->FindTemplate(
        m_templates->FindTemplateNameOfKind(g_defaultTemplateNames[2], layout.caseKind));
    if (!disc || !cover) return nullptr;
    std::unique_ptr<KorvanelleDocument> design(new KorvanelleDocument);
    design->CreateFromTemplates(disc, cover);
    design->SetDiscLayout(layout.discLayout);
    return design;
}

std::vector<LayoutPictureSource> DlgNewDoc::PictureSources() {
    std::vector<LayoutPictureSource> sources(6);
    for (int i = 0; i < 6; ++i) {
        const Layout& layout = kLayouts[i];
        LayoutPictureSource& source = sources[static_cast<size_t>(i)];
        // A startup design that can be read gives its own picture (none when its first stream is
        // empty); without one the picture is drawn from a blank design.
        if (!m_loadBlankFlag) {
            const CString name = GetTemplateDocumentName(layout.caseKind, layout.discLayout);
            for (const CString& folder : {g_openSaveFolder, g_programFolder, g_dataFolder})
                source.startupFiles.push_back(folder + "\\" + name);
        }
        source.blank = BlankDesign(layout);
        if (source.blank) source.blankSize = DocumentThumbnailSize(source.blank.get());
    }
    return sources;
}

ListImageArray* DlgNewDoc::BuildPictures() {
    ListImageArray* pictures = new ListImageArray;
    for (LayoutPictureSource& source : PictureSources()) pictures->Add(source.MakePicture());
    return pictures;
}

void DlgNewDoc::StartPictures() {
    m_pictureJob.reset();
    m_pictureJob.reset(new LayoutPictureJob(PictureSources()));
    ListImageArray* empty = new ListImageArray;
    m_pictureSizes.clear();
    for (int i = 0; i < m_pictureJob->Size(); ++i) {
        empty->Add(nullptr);
        m_pictureSizes.push_back(m_pictureJob->BlankSize(i));
    }
    m_list.SetImages(empty);
    FitPictureSizes();
    m_picturesWaiting = true;
    if (IsWindowVisible()) PostMessage(kStartPictures);
}

void DlgNewDoc::StartPictureThreads() {
    if (!m_picturesWaiting || !m_pictureJob) return;
    m_picturesWaiting = false;
    // The drawing threads share the locks of the system's font and drawing code: more than three
    // gain little and slow the keys and the painting of the dialog.
    m_pictureJob->Start(m_hWnd, kPictureMade, LayoutPictureJob::ThreadsToUse(3));
}

LRESULT DlgNewDoc::OnStartPictures(WPARAM, LPARAM) {
    // The threads start once the dialog is shown and painted: until then they would only take
    // the processors from it.
    GuardOperation(4136, [&] { StartPictureThreads(); });
    return 0;
}

void DlgNewDoc::FitPictureSizes() {
    // The rule of the list's own measuring: the widest and the tallest picture, 300 x 64 without any.
    int width = 0, height = 0;
    for (const SIZE& size : m_pictureSizes) {
        width = std::max(width, static_cast<int>(size.cx));
        height = std::max(height, static_cast<int>(size.cy));
    }
    if (!m_list.SetImageSize(width ? width : 300, height ? height : 64) || m_list.GetCount() == 0) return;
    m_list.SizeToContent();
    LayoutControls();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT DlgNewDoc::OnPictureMade(WPARAM entry, LPARAM) {
    GuardOperation(4137, [&] {
        const int i = static_cast<int>(entry);
        Bitmap* picture = nullptr;
        if (!m_pictureJob || !m_pictureJob->Take(i, picture)) return;  // of a job that was replaced
        m_pictureSizes[static_cast<size_t>(i)] =
            picture ? SIZE{static_cast<LONG>(picture->GetWidth()), static_cast<LONG>(picture->GetHeight())}
                    : SIZE{0, 0};
        m_list.PutImage(i, picture);
        FitPictureSizes();
    });
    return 0;
}

void DlgNewDoc::OnDestroy() {
    GuardOperation(4138, [&] {
        // Waits for the pictures being drawn: the threads may not outlive the dialog.
        m_pictureJob.reset();
        Default();
    });
}

void DlgNewDoc::OnOK() {
    GuardOperation(4131, [&] {
        if (m_pictureJob) m_pictureJob->Cancel();
        FrameCommandState::Get().m_enableFileNewOpen = 1;
        const int i = m_list.GetCurSel();
        if (i >= 0 && i < 6) {
            m_caseKind = kLayouts[i].caseKind;
            m_discLayout = kLayouts[i].discLayout;
        } else {
            m_caseKind = kCaseJewel;
            m_discLayout = kLayout1DiscTop;
        }
        m_useStartupDesign = m_loadBlank.GetCheck() != BST_CHECKED;
        EndDialog(IDOK);
    });
}

void DlgNewDoc::OnCancel() {
    GuardOperation(4132, [&] {
        if (m_pictureJob) m_pictureJob->Cancel();
        FrameCommandState::Get().m_enableFileNewOpen = 1;
        m_caseKind = g_caseKind;
        m_discLayout = g_discLayout;
        EndDialog(-1);
    });
}

void DlgNewDoc::OnLoadBlank() {
    GuardOperation(4133, [&] {
        CWaitCursor wait;
        m_loadBlankFlag = m_loadBlank.GetCheck() == BST_CHECKED;
        StartPictures();
        m_list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
}

void DlgNewDoc::OnShowAtStart() {
    g_showNewProjectAtStart = m_showAtStart.GetCheck() == BST_CHECKED ? 1 : 0;
}

void DlgNewDoc::OnListDoubleClick() {
    OnOK();
}

void DlgNewDoc::OnShowWindow(BOOL show, UINT status) {
    (void)status;
    Default();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // The modal loop paints the dialog before it takes this message.
    if (show) PostMessage(kStartPictures);
}

bool RunNewProjectDialog(int& caseKind, int& discLayout, bool& useStartupDesign) {
    bool accepted = false;
    GuardOperation(4134, [&] {
        DlgNewDoc dialog;
        // Glass while desktop composition is on.
        dialog.m_glassMode = 1;
        accepted = dialog.DoModal() == IDOK;
        caseKind = dialog.m_caseKind;
        discLayout = dialog.m_discLayout;
        useStartupDesign = dialog.m_useStartupDesign;
    });
    return accepted;
}
