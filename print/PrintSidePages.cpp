// The print dialog's side pages.
#include "print/PrintSidePages.h"

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/win/ScopedGdi.h"
#include "print/DlgPrint.h"
#include "print/TabPrintDialog.h"
#include "res/PrintDialogsIds.h"

BEGIN_MESSAGE_MAP(PrintSidePage, AeroDialog)
    ON_BN_CLICKED(IDC_PAGE_EDIT, OnEdit)
    ON_CBN_DROPDOWN(IDC_PAGE_TEMPLATE, OnTemplateDropDown)
    ON_CBN_SELCHANGE(IDC_PAGE_TEMPLATE, OnTemplateChange)
    ON_CBN_SELCHANGE(IDC_PAGE_BORDER, OnBorderChange)
    ON_CBN_SELCHANGE(IDC_PAGE_OVERLAP, OnOverlapChange)
    ON_CBN_SELCHANGE(IDC_PAGE_LAYOUT, OnLayoutChange)
    ON_MESSAGE(kPreviewClickMessage, OnPreviewClick)
END_MESSAGE_MAP()

void PlacePageInTabs(CWnd& page, CWnd& tabs) {
    RECT r;
    page.GetClientRect(&r);
    tabs.SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    page.SetWindowPos(nullptr, r.left - 2, r.top - 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL DlgPrintBlank::OnInitDialog() {
    AeroDialog::OnInitDialog();
    if (m_tabs) PlacePageInTabs(*this, *m_tabs);
    return TRUE;
}

PrintSidePage::PrintSidePage(UINT templateId, int kind) : AeroDialog(templateId, nullptr), m_kind(kind) {}

View* PrintSidePage::GetView() const {
    return m_tabs ? m_tabs->GetView() : nullptr;
}

KorvanelleDocument* PrintSidePage::Design() const {
    View* view = GetView();
    return view ? &view->m_design : nullptr;
}

LabelTemplate* PrintSidePage::CurrentTemplate() const {
    View* view = GetView();
    if (!view) return nullptr;
    return m_kind == kDisc ? view->m_templates.GetDiscTemplate() : view->m_templates.GetCoverTemplate();
}

void PrintSidePage::DoDataExchange(CDataExchange* pDX) {
    AeroDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PAGE_TEMPLATE, m_template);
    DDX_Control(pDX, IDC_PAGE_OVERLAP, m_overlap);
    DDX_Control(pDX, IDC_PAGE_BORDER, m_border);
    if (m_kind == kDisc) DDX_Control(pDX, IDC_PAGE_LAYOUT, m_layout);
}

int PrintSidePage::SideIndex() {
    if (m_kind == kDisc) return 1;
    if (m_kind == kFront) return 2;
    KorvanelleDocument* d = Design();
    ViewObject* back = d ? d->GetBackCover() : nullptr;
    return back ? back->side : 3;
}

BOOL PrintSidePage::OnInitDialog() {
    GuardOperation(4200, [&] {
        AeroDialog::OnInitDialog();
        if (m_kind == kDisc) {
            m_template.GetWindowRect(&m_templateRect);
            ScreenToClient(&m_templateRect);
        }
        if (m_tabs) PlacePageInTabs(*this, *m_tabs);
        const UINT labels[4] = {IDC_PAGE_TEMPLATE_LABEL, IDC_PAGE_BORDER_LABEL, IDC_PAGE_OVERLAP_LABEL,
                                IDC_PAGE_LAYOUT_LABEL};
        for (int i = 0; i < (m_kind == kDisc ? 4 : 3); ++i) m_labels[i].SubclassDlgItem(labels[i], this);
        m_edit.SubclassDlgItem(IDC_PAGE_EDIT, this);
        m_edit.GenerateBackground(6, 8, 10, 0, 0);
        m_preview.SubclassDlgItem(IDC_PAGE_PREVIEW, this);
        if (m_tabs) m_tabs->FillTemplateCombo(*this, CString());
        FillBorderCombo();
        if (m_kind == kDisc) FillLayoutCombo();
        LayoutPreview();
        if (m_kind == kDisc) {
            View* view = GetView();
            ShowDiscOptions(view ? view->m_templates.GetDiscTemplate() : nullptr);
        }
        ShowDesign(false);
    });
    return TRUE;
}

void PrintSidePage::ShowDesign(bool repaint) {
    m_preview.SetDocument(Design(), SideIndex(), &g_printOptions, kPreviewPrint, repaint);
}

void PrintSidePage::LayoutPreview() {
    RECT preview, combo, page;
    m_preview.GetWindowRect(&preview);
    ScreenToClient(&preview);
    m_template.GetWindowRect(&combo);
    ScreenToClient(&combo);
    GetClientRect(&page);
    const int right = combo.left - preview.left;
    const int bottom = page.bottom - preview.top;
    m_preview.MoveWindow(preview.left, preview.top, right - preview.left, bottom - preview.top);
}

void PrintSidePage::ShowPage() {
    if (!m_hWnd) return;
    if (IsWindowVisible())
        m_preview.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    else
        ShowWindow(SW_SHOW);
}

// ---- borders and overlaps -----------------------------------------------------------------------

void PrintSidePage::FillBorderCombo() {
    if (!m_border.m_hWnd) return;
    const PrintOptions& o = g_printOptions;
    m_border.ResetContent();
    m_border.AddString("No Border");
    m_border.AddString("Print Border");
    int choice = 0;
    if (m_kind == kFront) {
        KorvanelleDocument* d = Design();
        ViewObject* front = d ? d->GetFrontCover() : nullptr;
        if (front && front->IsFoldedFrontCover()) {
            m_border.AddString("Print Fold Line");
            m_border.AddString("Print Border + Fold Line");
            choice = o.frontBorder + 2 * o.frontFold;
        } else {
            choice = o.frontBorder;
        }
    } else if (m_kind == kBack) {
        m_border.AddString("Print Fold Lines");
        m_border.AddString("Print Border + Fold Lines");
        choice = o.backBorder + 2 * o.backFold;
    } else {
        choice = o.discBorder;
    }
    m_border.SetCurSel(choice < m_border.GetCount() ? choice : m_border.GetCount() - 1);
}

void PrintSidePage::OnBorderChange() {
    GuardOperation(4201, [&] {
        const int s = m_border.GetCurSel();
        if (s < 0) return;
        PrintOptions& o = g_printOptions;
        KorvanelleDocument* d = Design();
        const bool samePage = d && d->AreCoversOnSamePage();
        if (m_kind == kFront) {
            o.frontBorder = s == 1 || s == 3 ? 1 : 0;
            o.frontFold = s == 2 || s == 3 ? 1 : 0;
            if (samePage) m_tabs->m_back.m_preview.SetPrintOptions(&o);
            m_preview.SetPrintOptions(&o);
            m_preview.SetFocus();
        } else if (m_kind == kBack) {
            o.backBorder = s == 1 || s == 3 ? 1 : 0;
            o.backFold = s == 2 || s == 3 ? 1 : 0;
            m_preview.SetPrintOptions(&o);
            m_preview.SetFocus();
            if (o.printFront && samePage) m_tabs->m_front.m_preview.SetPrintOptions(&o);
        } else {
            o.discBorder = s != 0 ? 1 : 0;
            if (IsWindowVisible()) {
                m_preview.SetPrintOptions(&o);
                m_preview.SetFocus();
            }
        }
    });
}

void PrintSidePage::SyncOtherCover() {
    KorvanelleDocument* d = Design();
    if (!m_tabs || !d || !d->AreCoversOnSamePage()) return;
    if (m_kind == kFront && g_printOptions.printBack) m_tabs->m_back.m_preview.CopyPicture(m_preview);
    if (m_kind == kBack && g_printOptions.printFront) m_tabs->m_front.m_preview.CopyPicture(m_preview);
}

void PrintSidePage::OnOverlapChange() {
    GuardOperation(4202, [&] {
        const int i = m_overlap.GetCurSel();
        if (i < 0) return;
        const int value = i * 50;
        PrintOptions& o = g_printOptions;
        if (m_kind == kFront) {
            o.frontMargin = value;
        } else if (m_kind == kBack) {
            o.backMargin = value;
        } else {
            o.discMargin = value;
            if (!IsWindowVisible()) return;
        }
        ShowDesign(true);
        SyncOtherCover();
    });
}

// ---- templates ----------------------------------------------------------------------------------

void PrintSidePage::OnTemplateDropDown() {
    GuardOperation(4203, [&] {
        ScopedWindowDC dc(m_template.m_hWnd);
        if (!dc.Get()) return;
        ScopedSelect font(dc.Get(), reinterpret_cast<HFONT>(m_template.SendMessage(WM_GETFONT)));
        int widest = 0;
        for (int i = 0; i < m_template.GetCount(); ++i) {
            CString text;
            m_template.GetLBText(i, text);
            SIZE size;
            ::GetTextExtentPoint32A(dc.Get(), text, text.GetLength(), &size);
            if (size.cx > widest) widest = size.cx;
        }
        SIZE zero;
        ::GetTextExtentPoint32A(dc.Get(), "0", 1, &zero);
        m_template.SetDroppedWidth(widest + ::GetSystemMetrics(SM_CXVSCROLL) + zero.cx + 2);
    });
}

void PrintSidePage::OnTemplateChange() {
    GuardOperation(4204, [&] {
        View* view = GetView();
        const int i = m_template.GetCurSel();
        if (!view || i < 0) return;
        CWaitCursor wait;
        CString name;
        m_template.GetLBText(i, name);
        LabelTemplate* oldTemplate = CurrentTemplate();
        LabelTemplate* newTemplate = view->m_templates.FindTemplate(name);
        if (!newTemplate || (oldTemplate && oldTemplate->name == newTemplate->name)) return;
        m_tabs->ApplyTemplateChange(oldTemplate, newTemplate, this, true);
        if (m_kind != kDisc) SyncOtherCover();
    });
}

void PrintSidePage::OnEdit() {
    GuardOperation(4205, [&] {
        View* view = GetView();
        LabelTemplate* current = CurrentTemplate();
        if (!view || !current) return;
        LabelTemplate* copy = new LabelTemplate(current, false);
        int side = 1;
        CString name = view->m_templates.discTemplateName;
        if (m_kind != kDisc) {
            name = view->m_templates.coverTemplateName;
            ViewObject* cover = m_kind == kFront ? copy->GetFrontCover() : copy->GetBackCover();
            side = cover ? cover->side : 2;
        }
        LabelTemplate* edited = view->ShowLabelAlignment(name, side, false);
        {
            CWaitCursor wait;
            if (edited) {
                m_tabs->ApplyTemplateChange(copy, edited, this, false);
                if (m_kind != kDisc) SyncOtherCover();
            }
            // The alignment dialog can change the units.
            m_tabs->FillOverlapCombos();
        }
        DeleteLabelTemplate(copy);
    });
}

// ---- disc layout --------------------------------------------------------------------------------

void PrintSidePage::FillLayoutCombo() {
    KorvanelleDocument* d = Design();
    if (m_kind != kDisc || !m_layout.m_hWnd || !d) return;
    m_layout.ResetContent();
    auto add = [&](const char* text, int layout) {
        m_layout.SetItemData(m_layout.AddString(text), static_cast<DWORD_PTR>(layout));
    };
    const int current = d->GetDiscLayout();
    if (d->IsDiscCentered()) {
        add("1 Disc", kLayout1DiscTop);
        add("2 Discs", kLayout2DiscTop);
        m_layout.SetCurSel(current >= kLayout2DiscTop ? 1 : 0);
    } else {
        const char* const texts[6] = {"Disc 1 - Top", "Disc 1 - Bottom", "Disc 1 - Duplicate",
                                      "Disc 2 - Top", "Disc 2 - Bottom", "Disc 2 - Duplicate"};
        for (int i = 0; i < 6; ++i) add(texts[i], i);
        m_layout.SetCurSel(current);
    }
}

void PrintSidePage::ApplyLayoutChoice() {
    View* view = GetView();
    KorvanelleDocument* d = Design();
    const int i = m_layout.GetCurSel();
    if (!view || !d || i < 0) return;
    const int layout = static_cast<int>(m_layout.GetItemData(i));
    if (d->IsSingleDiscLayout() && layout >= kLayout2DiscTop)
        g_printOptions.printDisc2 = 1;
    else if (d->IsTwoDiscLayout() && layout <= kLayout1DiscDuplicate)
        g_printOptions.printDisc1 = 1;
    view->SetDiscLayout(layout);
    if (DlgPrint* owner = m_tabs->m_owner) {
        owner->LabelDiscChecks();
        owner->InitSideChecks();
        owner->RebuildTabs(CString());
    }
    if (IsWindowVisible()) ShowDesign(true);
}

void PrintSidePage::OnLayoutChange() {
    GuardOperation(4206, [&] { ApplyLayoutChoice(); });
}

void PrintSidePage::ShowDiscOptions(LabelTemplate* discTemplate) {
    if (m_kind != kDisc || !m_hWnd) return;
    const bool lightScribe = discTemplate && discTemplate->IsLightScribe();
    if (lightScribe) {
        m_border.SetCurSel(0);
        g_printOptions.discBorder = 0;
        m_overlap.SetCurSel(0);
        g_printOptions.discMargin = 0;
    }
    const int show = lightScribe ? SW_HIDE : SW_SHOW;
    for (CWnd* w :
         {static_cast<CWnd*>(&m_edit), static_cast<CWnd*>(&m_overlap), static_cast<CWnd*>(&m_border),
          static_cast<CWnd*>(&m_layout), static_cast<CWnd*>(&m_labels[1]), static_cast<CWnd*>(&m_labels[2]),
          static_cast<CWnd*>(&m_labels[3])})
        if (w->m_hWnd) w->ShowWindow(show);
    RECT r = m_templateRect;
    if (lightScribe) {
        RECT edit;
        m_edit.GetWindowRect(&edit);
        ScreenToClient(&edit);
        r.right = edit.right;
    }
    m_template.SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- clicks on the preview ----------------------------------------------------------------------

bool PrintSidePage::ClickHits(const POINT& at, const ViewObject* object) {
    if (!object) return false;
    PreviewLayout layout;
    m_preview.ComputeLayout(layout);
    if (layout.scaleX <= 0 || layout.scaleY <= 0) return false;
    const Gdiplus::RectF r = object->GetRectF(false);
    const double x = at.x / layout.scaleX, y = at.y / layout.scaleY;
    return x >= r.X && y >= r.Y && x < r.X + r.Width && y < r.Y + r.Height;
}

LRESULT PrintSidePage::OnPreviewClick(WPARAM, LPARAM lParam) {
    GuardOperation(4207, [&] {
        const POINT* at = reinterpret_cast<const POINT*>(lParam);
        KorvanelleDocument* d = Design();
        DlgPrint* owner = m_tabs ? m_tabs->m_owner : nullptr;
        if (!at || !d || !owner) return;
        const PrintOptions& o = g_printOptions;
        if (m_kind == kFront) {
            if (d->AreCoversOnSamePage() && o.printBack && ClickHits(*at, d->GetBackCover()))
                owner->RebuildTabs("Back Cover");
        } else if (m_kind == kBack) {
            if (d->AreCoversOnSamePage() && o.printFront && ClickHits(*at, d->GetFrontCover()))
                owner->RebuildTabs("Front Cover");
        } else {
            if (d->IsDuplicateLayout()) return;
            const int selected = m_layout.GetCurSel();
            int choice = -1;
            if (d->IsSingleDiscLayout()) {
                if (ClickHits(*at, d->GetDisc(2))) choice = selected == 0 ? 1 : 0;
            } else if (!o.printDisc1) {
                if (ClickHits(*at, d->GetDisc(1))) choice = selected == 3 ? 4 : 3;
            } else if (!o.printDisc2) {
                if (ClickHits(*at, d->GetDisc(2))) choice = selected == 4 ? 3 : 4;
            }
            if (choice >= 0 && choice < m_layout.GetCount()) {
                m_layout.SetCurSel(choice);
                ApplyLayoutChoice();
            }
        }
    });
    return 0;
}
