// The New Project dialog.
#include "print/DlgNewDoc.h"

#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "print/DialogPlacement.h"
#include "render/DocumentBitmap.h"
#include "res/PrintDialogsIds.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(DlgNewDoc, AeroDialog)
    ON_BN_CLICKED(IDC_NEW_BLANK, OnLoadBlank)
    ON_BN_CLICKED(IDC_NEW_SHOW_AT_START, OnShowAtStart)
    ON_LBN_DBLCLK(IDC_NEW_LIST, OnListDoubleClick)
    ON_WM_SHOWWINDOW()
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
        {
            CWaitCursor wait;
            m_list.SetImages(BuildPictures());
        }
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

bool DlgNewDoc::StartupDesignPicture(const CString& fileName, Bitmap*& picture) {
    picture = nullptr;
    KorvanelleDocument temp;
    bool read = false;
    for (const CString& folder : {g_openSaveFolder, g_programFolder, g_dataFolder}) {
        if (temp.LoadImagePool(folder + "\\" + fileName)) {
            read = true;
            break;
        }
        temp.DeleteContents(true);
    }
    if (read && temp.imagePool[0] && !temp.imagePool[0]->IsEmpty())
        picture = temp.imagePool[0]->CreateBitmap();
    temp.DeleteContents(true);
    return read;
}

Bitmap* DlgNewDoc::BlankDesignPicture(const Layout& layout) {
    if (!m_templates) return nullptr;
    KorvanelleDocument temp;
    Bitmap* picture = nullptr;
    LabelTemplate* disc = m_templates->GetDiscTemplate();
    LabelTemplate* cover = m_templates->FindTemplate(
        m_templates->FindTemplateNameOfKind(g_defaultTemplateNames[2], layout.caseKind));
    if (disc && cover) {
        temp.CreateFromTemplates(disc, cover);
        temp.SetDiscLayout(layout.discLayout);
        if (MakeDocumentThumbnail(&temp) && temp.imagePool.GetSize() > 0 && temp.imagePool[0] &&
            temp.imagePool[0]->GetSize() > 0)
            picture = temp.imagePool[0]->CreateBitmap();
    }
    temp.DeleteContents(true);
    return picture;
}

ListImageArray* DlgNewDoc::BuildPictures() {
    ListImageArray* pictures = new ListImageArray;
    for (const Layout& layout : kLayouts) {
        // A startup design that was read gives its own picture (none when its first stream is
        // empty); without one the picture is drawn from a blank design.
        Bitmap* picture = nullptr;
        const bool read =
            !m_loadBlankFlag &&
            StartupDesignPicture(GetTemplateDocumentName(layout.caseKind, layout.discLayout), picture);
        if (!read) picture = BlankDesignPicture(layout);
        pictures->Add(picture);
    }
    return pictures;
}

void DlgNewDoc::OnOK() {
    GuardOperation(4131, [&] {
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
        m_list.SetImages(BuildPictures());
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
    (void)show;
    (void)status;
    Default();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
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
