// The LightScribe dialog: disc thumbnails, the burn preview and the LightScribe template choice.
#include "print/DlgLightScribe.h"

#include "canvas/View.h"
#include "controls/DialogPositions.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"
#include "print/DialogPlacement.h"
#include "res/PrintDialogsIds.h"
#include "res/ResourceImages.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(DlgLightScribe, AeroDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_LS_USE_TEMPLATE, OnUseTemplate)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_LS_DISC_LIST, OnItemChanged)
    ON_NOTIFY(NM_CLICK, IDC_LS_DISC_LIST, OnListClick)
END_MESSAGE_MAP()

namespace {

const char kLightScribeTemplate[] = "LightScribe";
const char kUseTemplateCaption[] = "Use LightScribe Template";
// The gap above each thumbnail in the disc list.
const int kThumbGap = 12;

RECT ChildRect(CWnd& parent, CWnd& child) {
    RECT r;
    child.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

void MoveBy(CWnd& parent, CWnd& child, int dx, int dy) {
    const RECT r = ChildRect(parent, child);
    child.SetWindowPos(nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CString LightScribeWarningText() {
    CString text = "Part of your design is outside the LightScribe print area.\r\nSelect \"";
    text += kUseTemplateCaption;
    text += "\" to adjust your template.";
    return text;
}

DlgLightScribe::DlgLightScribe(CWnd* parent, View* view) : AeroDialog(kTemplateId, parent), m_view(view) {
    if (!m_view) m_view = View::GetCurrent();
    if (m_view) m_openingTemplate = m_view->m_templates.discTemplateName;
}

DlgLightScribe::~DlgLightScribe() {
    // Normally gone with the window; a dialog that never opened still owns nothing else.
    m_preview.ShowBorrowedSheet(nullptr);
    for (Bitmap* b : m_discBitmaps) delete b;
    m_discBitmaps.clear();
}

KorvanelleDocument* DlgLightScribe::Design() const {
    return m_view ? &m_view->m_design : nullptr;
}

void DlgLightScribe::DoDataExchange(CDataExchange* pDX) {
    AeroDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LS_DISC_LIST, m_discList);
}

BOOL DlgLightScribe::OnInitDialog() {
    GuardOperation(4240, [&] {
        AeroDialog::OnInitDialog();
        PlaceAtRememberedPosition(*this, g_dialogPositions[kLightScribePos]);
        AeroLabel* labels[3] = {&m_selectCaption, &m_previewCaption, &m_warningText};
        const UINT labelIds[3] = {IDC_LS_SELECT_CAPTION, IDC_LS_PREVIEW_CAPTION, IDC_LS_WARNING};
        for (int i = 0; i < 3; ++i) {
            labels[i]->SubclassDlgItem(labelIds[i], this);
            labels[i]->ModifyStyle(0, WS_CLIPSIBLINGS);
        }
        m_warningText.SetWindowText(LightScribeWarningText());
        GlassSubclassControl(m_discList.m_hWnd);
        AttachButton(m_continue, IDOK, this);
        AttachButton(m_cancel, IDCANCEL, this);
        m_warningImage.m_resourceId = IDP_LIGHTSCRIBE_WARNING;
        m_warningImage.SubclassDlgItem(IDC_LS_WARNING_IMAGE, this);
        m_useTemplate.SubclassDlgItem(IDC_LS_USE_TEMPLATE, this);
        m_useTemplate.SetCheck(BST_UNCHECKED);
        m_preview.SubclassDlgItem(IDC_LS_PREVIEW, this);
        LayoutControls();
        m_preview.SetKind(kPreviewLightScribe);
        const RECT none = {0, 0, 0, 0};
        m_preview.Rebuild(true, none);
        KorvanelleDocument* design = Design();
        if (design && design->GetDiscLayout() == kLayout2DiscDuplicate) m_selectedDisc = 1;
        SetTimer(kFillTimer, 0, nullptr);
    });
    return TRUE;
}

void DlgLightScribe::LayoutControls() {
    KorvanelleDocument* design = Design();
    if (!design) return;
    RECT window;
    GetWindowRect(&window);
    int width = window.right - window.left, height = window.bottom - window.top;
    // The burn preview is square: the buttons and the dialog's right edge follow its width.
    RECT preview = ChildRect(*this, m_preview);
    const int grow = (preview.bottom - preview.top) - (preview.right - preview.left);
    preview.right = preview.left + (preview.bottom - preview.top);
    MoveBy(*this, m_continue, grow, 0);
    MoveBy(*this, m_cancel, grow, 0);
    width += grow;
    if (design->IsSingleDiscLayout()) {
        // One disc: nothing to choose; everything moves into the list's place.
        m_selectCaption.ShowWindow(SW_HIDE);
        m_discList.ShowWindow(SW_HIDE);
        const int shift = preview.left - ChildRect(*this, m_discList).left;
        CWnd* moved[6] = {&m_previewCaption, &m_warningImage, &m_warningText,
                          &m_useTemplate,    &m_continue,     &m_cancel};
        for (CWnd* w : moved) MoveBy(*this, *w, -shift, 0);
        ::OffsetRect(&preview, -shift, 0);
        width -= shift;
    }
    if (design->IsLightScribeTemplate()) {
        // The design already fits the print area: no warning and no offer, whatever the number
        // of discs; the buttons come up under the preview.
        m_useTemplate.ShowWindow(SW_HIDE);
        m_warningImage.ShowWindow(SW_HIDE);
        m_warningText.ShowWindow(SW_HIDE);
        int gap = ChildRect(*this, m_selectCaption).top;
        if (m_selectCaption.HasGlowMargin()) gap += g_glowMargin;
        const int shift = gap + preview.bottom - ChildRect(*this, m_continue).top;
        MoveBy(*this, m_continue, 0, shift);
        MoveBy(*this, m_cancel, 0, shift);
        if (m_discList.GetStyle() & WS_VISIBLE) {
            RECT list = ChildRect(*this, m_discList);
            m_discList.SetWindowPos(nullptr, 0, 0, list.right - list.left, preview.bottom - list.top,
                                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        height += shift;
    }
    m_preview.SetWindowPos(nullptr, preview.left, preview.top, preview.right - preview.left,
                           preview.bottom - preview.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The warning's lines are not wrapped: the dialog grows to show them whole, its buttons
    // staying at its right edge.
    if (m_warningText.GetStyle() & WS_VISIBLE) {
        const int margin = ChildRect(*this, m_previewCaption).top;
        RECT text = ChildRect(*this, m_warningText);
        const SIZE extent = WarningTextExtent();
        text.right = text.left + extent.cx;
        m_warningText.SetWindowPos(nullptr, 0, 0, extent.cx,
                                   extent.cy > text.bottom - text.top ? extent.cy : text.bottom - text.top,
                                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        GetClientRect(&client);
        const int clientWidth = client.right + (width - (window.right - window.left));
        const int excess = text.right + margin - clientWidth;
        if (excess > 0) {
            MoveBy(*this, m_continue, excess, 0);
            MoveBy(*this, m_cancel, excess, 0);
            width += excess;
        }
    }
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE DlgLightScribe::WarningTextExtent() {
    SIZE extent = {0, 0};
    CClientDC dc(&m_warningText);
    HFONT font = reinterpret_cast<HFONT>(m_warningText.SendMessage(WM_GETFONT, 0, 0));
    const CString text = LightScribeWarningText();
    RECT r = {0, 0, 0, 0};
    {
        ScopedSelect selection(dc.GetSafeHdc(), font);
        ::DrawTextA(dc.GetSafeHdc(), text, text.GetLength(), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    const int glow = m_warningText.HasGlowMargin() ? 2 * g_glowMargin : 0;
    extent.cx = r.right - r.left + glow + 2;
    extent.cy = r.bottom - r.top + glow;
    return extent;
}

void DlgLightScribe::OnTimer(UINT_PTR id) {
    if (id != kFillTimer) {
        Default();
        return;
    }
    KillTimer(kFillTimer);
    GuardOperation(4241, [&] {
        CWaitCursor wait;
        FillDiscList();
    });
}

void DlgLightScribe::FreeDiscs() {
    // The preview only borrows the pictures: it lets go before they are freed.
    m_preview.ShowBorrowedSheet(nullptr);
    for (Bitmap* b : m_discBitmaps) delete b;
    m_discBitmaps.clear();
    if (m_discList.m_hWnd) {
        m_discList.SetImageList(nullptr, LVSIL_NORMAL);
        m_discList.DeleteAllItems();
    }
    m_thumbnails.DeleteImageList();
    m_discNames.clear();
}

void DlgLightScribe::FillDiscList() {
    GuardOperation(4242, [&] {
        FreeDiscs();
        KorvanelleDocument* design = Design();
        if (!design) return;
        PrintOptions options;
        options.SetDefaults();
        // Outside the LightScribe template the disc's own outline shows how it sits in the area.
        if (!design->IsLightScribeTemplate()) options.discBorder = 1;
        const int discs = design->IsTwoDiscLayout() ? 2 : 1;
        for (int n = 1; n <= discs; ++n) {
            ViewObject* disc = design->GetDisc(n);
            if (!disc) continue;
            Bitmap* picture = m_preview.RenderSideBitmap(design, disc, &options, kPreviewLightScribe, 0, 0);
            if (!picture) continue;
            m_discBitmaps.push_back(picture);
            m_discNames.push_back(disc->name);
        }
        // Thumbnails as wide as the image panel's, at the screen's resolution.
        int side = kThumbSize;
        {
            CClientDC screen(nullptr);
            const int dpi = ::GetDeviceCaps(screen.GetSafeHdc(), LOGPIXELSX);
            if (dpi > 0 && dpi != 96) side = ::MulDiv(kThumbSize, dpi, 96);
        }
        const int count = static_cast<int>(m_discBitmaps.size());
        m_thumbnails.Create(side, side, ILC_COLOR24, count, 0);
        {
            Bitmap square(side, side, PixelFormat24bppRGB);
            for (Bitmap* picture : m_discBitmaps) {
                {
                    Graphics g(&square);
                    g.Clear(Color(0xFFFFFFFF));
                    g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
                    g.DrawImage(picture, 0, 0, side, side);
                }
                HBITMAP handle = nullptr;
                if (square.GetHBITMAP(Color(0xFF000000), &handle) != Ok || !handle) continue;
                CBitmap thumbnail;
                thumbnail.Attach(handle);
                ::ImageList_Add(m_thumbnails.GetSafeHandle(), handle, nullptr);
            }
        }
        // One centred column of thumbnails, 12 pixels apart.
        RECT client;
        m_discList.GetClientRect(&client);
        int listWidth = client.right - client.left;
        const int needed = count * (side + kThumbGap);
        if (needed > client.bottom - client.top && !(m_discList.GetStyle() & WS_VSCROLL))
            listWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
        RECT area;
        area.left = (listWidth - side) / 2 + 1;
        area.top = kThumbGap;
        area.right = area.left + side;
        area.bottom = client.bottom > area.top ? client.bottom : area.top + side;
        m_discList.SendMessage(LVM_SETWORKAREAS, 1, reinterpret_cast<LPARAM>(&area));
        m_discList.SetExtendedStyle(m_discList.GetExtendedStyle() | LVS_EX_BORDERSELECT);
        // Items as wide as their thumbnail, so that the column needs no horizontal scrolling.
        m_discList.SendMessage(LVM_SETICONSPACING, 0, MAKELPARAM(side + 4, side + kThumbGap + 24));
        m_discList.SetImageList(&m_thumbnails, LVSIL_NORMAL);
        for (int i = 0; i < count; ++i) m_discList.InsertItem(i, m_discNames[static_cast<size_t>(i)], i);
        m_discList.SetFocus();
        SelectDiscItem(m_selectedDisc != 0 && count > 1 ? 1 : 0);
    });
}

void DlgLightScribe::SelectDiscItem(int index) {
    if (index < 0 || index >= m_discList.GetItemCount()) return;
    m_discList.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // A list that sent no change (it was selected already) still shows the disc.
    if (index < static_cast<int>(m_discBitmaps.size()) &&
        m_preview.GetBorrowedSheet() != m_discBitmaps[index]) {
        m_selectedDisc = index;
        m_preview.ShowBorrowedSheet(m_discBitmaps[static_cast<size_t>(index)]);
        m_preview.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void DlgLightScribe::OnItemChanged(NMHDR* notify, LRESULT* result) {
    GuardOperation(4243, [&] {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(notify);
        const UINT state = change->uNewState & (LVIS_SELECTED | LVIS_FOCUSED);
        if (!(change->uChanged & LVIF_STATE) || !(state & LVIS_SELECTED)) return;
        const int item = change->iItem;
        if (item < 0 || item >= static_cast<int>(m_discBitmaps.size())) return;
        m_selectedDisc = item;
        m_preview.ShowBorrowedSheet(m_discBitmaps[static_cast<size_t>(item)]);
        m_preview.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    if (result) *result = 0;
}

void DlgLightScribe::OnListClick(NMHDR* notify, LRESULT* result) {
    (void)notify;
    GuardOperation(4244, [&] {
        // A click beside the thumbnails leaves the chosen disc chosen.
        if (m_discList.GetSelectedCount() != 0) return;
        m_discList.SetFocus();
        m_discList.SetItemState(m_selectedDisc, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    });
    if (result) *result = 0;
}

void DlgLightScribe::ApplyDiscTemplate(const CString& name) {
    if (!m_view) return;
    // The view applies the library's current disc template.
    m_view->m_templates.discTemplateName = name;
    m_view->ApplyTemplate(name, CString(), true, true);
}

void DlgLightScribe::OnUseTemplate() {
    GuardOperation(4245, [&] {
        CWaitCursor wait;
        if (m_useTemplate.GetCheck() == BST_CHECKED) {
            m_warningImage.ShowWindow(SW_HIDE);
            m_warningText.ShowWindow(SW_HIDE);
            ApplyDiscTemplate(kLightScribeTemplate);
        } else {
            m_warningImage.ShowWindow(SW_SHOW);
            m_warningText.ShowWindow(SW_SHOW);
            ApplyDiscTemplate(m_openingTemplate);
        }
        FillDiscList();
    });
}

void DlgLightScribe::OnOK() {
    GuardOperation(4246, [&] { EndDialog(kFirstDiscResult + m_selectedDisc); });
}

void DlgLightScribe::OnCancel() {
    GuardOperation(4247, [&] {
        if (m_useTemplate.GetCheck() == BST_CHECKED) ApplyDiscTemplate(m_openingTemplate);
        EndDialog(IDCANCEL);
    });
}

void DlgLightScribe::OnDestroy() {
    GuardOperation(4248, [&] {
        g_dialogPositions[kLightScribePos] = RememberedPosition(*this);
        FreeDiscs();
    });
    Default();
}

int RunLightScribeDialog(CWnd* parent) {
    int result = IDCANCEL;
    GuardOperation(4249, [&] {
        DlgLightScribe dialog(parent);
        dialog.m_glassMode = 1;
        result = static_cast<int>(dialog.DoModal());
    });
    return result;
}
