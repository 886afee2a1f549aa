// The Edit Dimensions dialog and its page switch.
#include "print/DlgLabelAlignment.h"

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeResources.h"
#include "model/PageSizes.h"
#include "print/DialogPlacement.h"
#include "res/PrintDialogsIds.h"
#include "res/ResourceImages.h"

// ---- page switch --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTabTemplate, CButton)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

const int kTabWidth = 145;
const int kTabHeight = 36;

}  // namespace

CTabTemplate::CTabTemplate() = default;
CTabTemplate::~CTabTemplate() = default;

int CTabTemplate::GetImageIndex() const {
    if (m_dvdKind) return m_page2Selected ? 3 : 2;
    return m_page2Selected ? 0 : 1;
}

void CTabTemplate::ChooseHalf(int x) {
    const bool left = x < 64;
    // Jewel cases: Front (page 2) | Back (page 3); DVD kinds: Case (page 3) | Booklet (page 2).
    m_page2Selected = m_dvdKind ? !left : left;
}

void CTabTemplate::PreSubclassWindow() {
    GuardOperation(4140, [&] {
        ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
        SetWindowPos(nullptr, 0, 0, kTabWidth, kTabHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!m_images.GetSafeHandle() &&
            m_images.Create(kTabWidth, kTabHeight, ILC_COLOR24 | ILC_MASK, 4, 0)) {
            for (UINT id : {IDB_TAB_FRONT, IDB_TAB_BACK, IDB_TAB_CASE, IDB_TAB_BOOKLET}) {
                CBitmap bitmap;
                bitmap.Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
                m_images.Add(&bitmap, RGB(255, 0, 255));
            }
        }
    });
    CButton::PreSubclassWindow();
}

void CTabTemplate::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(4141, [&] {
        if (!m_images.GetSafeHandle()) return;
        ImageList_Draw(m_images.GetSafeHandle(), GetImageIndex(), drawItem->hDC, drawItem->rcItem.left,
                       drawItem->rcItem.top, ILD_TRANSPARENT);
    });
}

void CTabTemplate::OnLButtonDown(UINT flags, CPoint point) {
    (void)flags;
    ChooseHalf(point.x);
    Default();
}

// ---- dialog -------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(DlgLabelAlignment, AeroDialog)
    ON_CBN_SELCHANGE(IDC_ALIGN_UNITS, OnUnitsChange)
    ON_CBN_SELCHANGE(IDC_ALIGN_PAPER, OnPaperChange)
    ON_CBN_SELCHANGE(IDC_ALIGN_PAGES, OnPagesChange)
    ON_CBN_SELCHANGE(IDC_ALIGN_ORIENTATION, OnOrientationChange)
    ON_CBN_SELCHANGE(IDC_ALIGN_FOLDED, OnFoldedChange)
    ON_EN_KILLFOCUS(IDC_ALIGN_NAME, OnNameKillFocus)
    ON_BN_CLICKED(IDC_ALIGN_TAB, OnTabClicked)
    ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_DIMENSION_FIELD, IDC_DIMENSION_FIELD_END, OnFieldKillFocus)
    ON_NOTIFY(UDN_DELTAPOS, IDC_DIMENSION_FIELD, OnFieldSpin)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

// The paper sizes, as indexes of g_paperDims, with their entries in inches and millimetres.
struct PaperEntry {
    int pair;
    const char* inches;
    const char* millimetres;
};
const PaperEntry kPapers[5] = {
    {0, "Letter - (8.5 '' x 11 '')", "Letter - (216mm x 279mm)"},
    {1, "Legal - (8.5 '' x 14 '')", "Legal - (216mm x 356mm)"},
    {2, "Ledger - (11 '' x 17 '')", "Ledger - (279mm x 432mm)"},
    {3, "A4 - (8.27 '' x 11.69 '')", "A4 - (210mm x 297mm)"},
    {4, "A3 - (11.69 '' x 16.54 '')", "A3 - (297mm x 420mm)"},
};
const int kDiscPrinterEntry = 2;

int ExtentHeight(const ViewObject* o) {
    return o->IsDisc() ? o->width : o->height;
}

}  // namespace

DlgLabelAlignment::DlgLabelAlignment(LabelTemplate* source, int page, CWnd* parent,
                                     KorvanelleDocument* library)
    : AeroDialog(kTemplateId, parent), m_page(page), m_source(source), m_library(library) {
    if (!m_library) {
        View* view = View::GetCurrent();
        m_library = view ? &view->m_templates : nullptr;
    }
    m_copy = new LabelTemplate(source, false);
    m_tab.m_dvdKind = m_copy->HasDvdBack() || m_copy->HasBlurayBack();
    // A disc-printer template is edited on a Letter page, its discs where they were last placed.
    if (m_copy->IsDiscCentered()) m_copy->CenterDiscs(true, true);
}

DlgLabelAlignment::~DlgLabelAlignment() {
    DeleteLabelTemplate(m_copy);
}

void DlgLabelAlignment::OnDestroy() {
    Default();
}

LRESULT DlgLabelAlignment::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While the controls are being set up, their notifications must not run the handlers again.
    if (m_busy && (message == WM_COMMAND || message == WM_NOTIFY)) return 1;
    return AeroDialog::WindowProc(message, wParam, lParam);
}

BOOL DlgLabelAlignment::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_RETURN) {
            m_preview.CommitFocusedField();
            return TRUE;
        }
        if (msg->wParam == VK_UP || msg->wParam == VK_DOWN) return TRUE;
    }
    return AeroDialog::PreTranslateMessage(msg);
}

void DlgLabelAlignment::PlaceDialog() {
    RECT work = {0, 0, 0, 0};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int W = work.right - work.left, H = work.bottom - work.top;
    const int h = H - 10;
    int width = h + 75;
    int x = (W - width) / 2;
    if (width < 910 && W >= 911) {
        width = 915;
        x = (W - 915) / 2;
    }
    if (width < 761 && W >= 762) {
        width = 761;
        x = (W - 761) / 2;
    }
    if (width > W) {
        width = W;
        x = 0;
    }
    SetWindowPos(nullptr, work.left + x, work.top + 25, width, H - 35, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgLabelAlignment::LayoutTopRow() {
    struct Place {
        CWnd* control;
        int x, y, w, h;
    };
    // Combo boxes get room for their lists below the 21-pixel field.
    const Place combos[6] = {{&m_name, 11, 16, 203, 21},         {&m_units, 215, 16, 75, 200},
                             {&m_paper, 291, 16, 160, 240},      {&m_pages, 452, 16, 66, 200},
                             {&m_orientation, 520, 16, 83, 200}, {&m_folded, 604, 16, 66, 200}};
    for (const Place& p : combos) p.control->MoveWindow(p.x, p.y, p.w, p.h, FALSE);
    for (AeroComboBox* combo : {&m_units, &m_paper, &m_pages, &m_orientation, &m_folded})
        combo->SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 15);
    const int captionX[6] = {12, 216, 292, 453, 521, 605};
    const int captionW[6] = {31, 27, 54, 33, 54, 66};
    for (int i = 0; i < 6; ++i) m_captions[i].MoveWindow(captionX[i], 3, captionW[i], 13, FALSE);
}

BOOL DlgLabelAlignment::OnInitDialog() {
    GuardOperation(4142, [&] {
        AeroDialog::OnInitDialog();
        PlaceDialog();
        m_tab.SubclassDlgItem(IDC_ALIGN_TAB, this);
        m_preview.SubclassDlgItem(IDC_ALIGN_PREVIEW, this);
        m_name.SubclassDlgItem(IDC_ALIGN_NAME, this);
        m_name.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
        m_units.SubclassDlgItem(IDC_ALIGN_UNITS, this);
        m_paper.SubclassDlgItem(IDC_ALIGN_PAPER, this);
        m_pages.SubclassDlgItem(IDC_ALIGN_PAGES, this);
        m_orientation.SubclassDlgItem(IDC_ALIGN_ORIENTATION, this);
        m_folded.SubclassDlgItem(IDC_ALIGN_FOLDED, this);
        const UINT captions[6] = {IDC_ALIGN_NAME_LABEL,  IDC_ALIGN_UNITS_LABEL,  IDC_ALIGN_PAPER_LABEL,
                                  IDC_ALIGN_PAGES_LABEL, IDC_ALIGN_ORIENT_LABEL, IDC_ALIGN_FOLDED_LABEL};
        for (int i = 0; i < 6; ++i) {
            m_captions[i].m_fixedSize = 1;
            m_captions[i].SubclassDlgItem(captions[i], this);
        }
        m_save.SubclassDlgItem(IDOK, this);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_divider.SubclassDlgItem(IDC_ALIGN_DIVIDER, this);
        m_divider.ModifyStyle(0, WS_CLIPSIBLINGS);
        LayoutTopRow();
        m_name.SetWindowText(m_copy->name);
        if (m_copy->HasJewelBack()) {
            m_pages.ShowWindow(SW_SHOW);
            m_captions[3].ShowWindow(SW_SHOW);
        } else if (m_copy->HasDvdBack() || m_copy->HasBlurayBack()) {
            // No pages choice: the orientation takes its place and the folded cover follows.
            RECT pages, pagesCaption, orientation;
            m_pages.GetWindowRect(&pages);
            ScreenToClient(&pages);
            m_captions[3].GetWindowRect(&pagesCaption);
            ScreenToClient(&pagesCaption);
            m_orientation.SetWindowPos(nullptr, pages.left, pages.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            m_captions[4].SetWindowPos(nullptr, pages.left + 1, pagesCaption.top, 0, 0,
                                       SWP_NOSIZE | SWP_NOZORDER);
            m_orientation.ShowWindow(SW_SHOW);
            m_captions[4].ShowWindow(SW_SHOW);
            m_orientation.GetWindowRect(&orientation);
            ScreenToClient(&orientation);
            m_folded.SetWindowPos(nullptr, orientation.right + 2, orientation.top, 0, 0,
                                  SWP_NOSIZE | SWP_NOZORDER);
            m_captions[5].SetWindowPos(nullptr, orientation.right + 2, pagesCaption.top, 0, 0,
                                       SWP_NOSIZE | SWP_NOZORDER);
        }
        UpdateControls();
        PlacePreview();
        m_name.SetFocus();
    });
    return FALSE;
}

ViewObject* DlgLabelAlignment::EditedPage() const {
    return m_copy->FindPage(m_page);
}

void DlgLabelAlignment::UpdateControls() {
    m_busy = true;
    GuardOperation(4143, [&] {
        RECT client, folded;
        GetClientRect(&client);
        const int CW = client.right;
        m_folded.GetWindowRect(&folded);
        ScreenToClient(&folded);
        const bool isCase = m_copy->HasCover();
        const bool samePage = m_copy->AreCoversOnSamePage();
        int top = folded.top;
        if (isCase && !samePage && folded.right + 2 > CW - 164) top = 46;
        const int h = folded.bottom - folded.top;
        m_save.MoveWindow(CW - 164, top, 75, h);
        m_cancel.MoveWindow(CW - 85, top, 75, h);
        m_save.GenerateBackground(6, 8, 10, 0, 0);
        m_cancel.GenerateBackground(6, 8, 10, 0, 0);

        m_units.SetCurSel(g_units == "Inches" ? 0 : 1);
        const bool inches = g_units == "Inches";
        m_paper.ResetContent();
        auto addPaper = [&](const char* text, int pair) {
            m_paper.SetItemData(m_paper.AddString(text), static_cast<DWORD_PTR>(pair));
        };
        if (isCase) {
            for (const PaperEntry& p : kPapers) addPaper(inches ? p.inches : p.millimetres, p.pair);
        } else {
            addPaper(inches ? kPapers[0].inches : kPapers[0].millimetres, 0);
            addPaper(inches ? kPapers[3].inches : kPapers[3].millimetres, 3);
            if (m_copy->HasDisc()) addPaper("CD/DVD Printer", 0);
        }
        ViewObject* page = EditedPage();
        SelectPaper(page);

        if (!isCase) {
            m_divider.MoveWindow(0, 45, CW, 2);
        } else {
            if (samePage) {
                m_pages.SetCurSel(0);
                m_tab.ShowWindow(SW_HIDE);
                m_divider.MoveWindow(0, 45, CW, 2);
            } else {
                m_pages.SetCurSel(1);
                m_tab.m_page2Selected = m_page == 2;
                m_tab.ShowWindow(SW_SHOW);
                m_tab.Invalidate();
                RECT tab;
                m_tab.GetWindowRect(&tab);
                ScreenToClient(&tab);
                m_divider.MoveWindow(0, tab.bottom - 2, CW, 2);
            }
            m_orientation.ShowWindow(SW_SHOW);
            m_captions[4].ShowWindow(SW_SHOW);
            m_orientation.SetCurSel(page && page->width < page->height ? 0 : 1);
            if (m_page == 3) {
                m_folded.ShowWindow(SW_HIDE);
                m_captions[5].ShowWindow(SW_HIDE);
            } else {
                m_folded.ShowWindow(SW_SHOW);
                m_captions[5].ShowWindow(SW_SHOW);
                m_folded.SetCurSel(m_copy->IsFrontCoverFolded() ? 1 : 0);
            }
        }
    });
    m_busy = false;
}

void DlgLabelAlignment::SelectPaper(ViewObject* page) {
    if (m_copy->HasDisc() && m_copy->IsDiscCentered() && m_paper.GetCount() > kDiscPrinterEntry) {
        m_paper.SetCurSel(kDiscPrinterEntry);
        return;
    }
    int choice = -1;
    if (page) {
        for (int i = 0; i < m_paper.GetCount() && choice < 0; ++i) {
            const int pair = static_cast<int>(m_paper.GetItemData(i));
            const int w = g_paperDims[pair][0], h = g_paperDims[pair][1];
            if ((page->width == w && page->height == h) || (page->width == h && page->height == w))
                choice = i;
        }
    }
    m_paper.SetCurSel(choice);
}

void DlgLabelAlignment::ShowTemplate() {
    m_preview.SetTemplate(m_copy, m_page, kPreviewAlignment, true);
}

void DlgLabelAlignment::PlacePreview() {
    GuardOperation(4144, [&] {
        RECT area;
        GetClientRect(&area);
        if (m_copy->HasCover()) area.left += 87;
        area.top += m_copy->HasDisc() || m_copy->AreCoversOnSamePage() ? 87 : 120;
        area.right -= 20;
        area.bottom -= 10;
        PreviewLayout layout;
        layout.target = area;
        layout.border = false;
        m_preview.SetTemplate(m_copy, m_page, kPreviewAlignment, false);
        m_preview.ComputeLayout(layout);
        const int w = static_cast<int>(layout.page.Width), h = static_cast<int>(layout.page.Height);
        const int x = static_cast<int>(area.left + 0.5 * ((area.right - area.left) - w));
        const int y = static_cast<int>(area.top + 0.5 * ((area.bottom - area.top) - h));
        m_preview.MoveWindow(x, y, w, h);
    });
}

CString DlgLabelAlignment::SideCaption(const ViewObject* side) const {
    const bool jewel = m_copy->HasJewelBack();
    if (side->IsFrontCover()) return jewel ? "Front Cover" : "Booklet";
    if (side->IsBackCover()) return jewel ? "Back Cover" : "Case";
    return "Cover";
}

bool DlgLabelAlignment::FitPage(ViewObject* page, int width, int height, CString* offendingSide) {
    if (!page) return false;
    std::vector<ViewObject*> sides;
    for (int i = 0; i < m_copy->GetObjectCount(); ++i) {
        ViewObject* o = m_copy->GetObject(i);
        if (o && o->IsSide() && o->side == page->side) sides.push_back(o);
    }
    for (ViewObject* o : sides) {
        if (o->width > width || ExtentHeight(o) > height) {
            if (offendingSide) *offendingSide = SideCaption(o);
            return false;
        }
    }
    page->width = width;
    page->height = height;
    for (ViewObject* o : sides) {
        if (o->GetRight() > width) o->left -= o->GetRight() - width;
        if (o->GetBottom() > height) o->top -= o->GetBottom() - height;
    }
    ViewObject* front = m_copy->GetFrontCover();
    ViewObject* back = m_copy->GetBackCover();
    if (m_copy->AreCoversOnSamePage() && front && back && front->side == page->side) {
        if (width < height) {
            if (front->height + back->height > height) {
                front->top = 0;
                back->top = height - back->height;
            } else {
                const int gap = (height - front->height - back->height) / 3;
                front->top = gap;
                back->top = front->GetBottom() + gap;
            }
        } else {
            if (front->width + back->width > width) {
                front->left = 0;
                back->left = width - back->width;
            } else {
                const int gap = (width - front->width - back->width) / 3;
                front->left = gap;
                back->left = front->GetRight() + gap;
            }
        }
    }
    return true;
}

void DlgLabelAlignment::ShowRefusal(const CString& text) {
    AeroMessageBox box(this);
    box.m_iconKind = kBoxWarning;
    box.m_glassMode = 1;
    box.m_message = text;
    box.AddButton("OK", 1, 1);
    box.DoModal();
}

bool DlgLabelAlignment::ApplyOrientation(bool redraw, bool message) {
    bool fitted = false;
    GuardOperation(4145, [&] {
        const int choice = m_orientation.GetCurSel();
        CString text;
        if (choice >= 0) m_orientation.GetLBText(choice, text);
        ViewObject* page = EditedPage();
        if (!page) return;
        int w = page->width, h = page->height;
        if ((text == "Portrait" && w > h) || (text == "Landscape" && w < h)) std::swap(w, h);
        CString side;
        if (FitPage(page, w, h, &side)) {
            if (redraw) {
                PlacePreview();
                ShowTemplate();
            }
            fitted = true;
            return;
        }
        if (message && !side.IsEmpty())
            ShowRefusal("The " + side + " does not fit with " + text +
                        " orientation.\r\n\r\nPlease make the " + side +
                        " smaller, or select a larger Paper Size before selecting " + text + ".");
        m_orientation.SetCurSel(choice == 0 ? 1 : 0);
    });
    return fitted;
}

bool DlgLabelAlignment::ApplyFoldedCover(bool redraw, bool message) {
    bool applied = true;
    GuardOperation(4146, [&] {
        ViewObject* front = m_copy->GetFrontCover();
        const bool wantFolded = m_folded.GetCurSel() == 1;
        if (front && !wantFolded && front->bFolded) {
            front->bFolded = 0;
            front->width /= 2;
        } else if (front && wantFolded && !front->bFolded) {
            ViewObject* page = EditedPage();
            const int pageWidth = page ? page->width : 0;
            if (2 * front->width > pageWidth) {
                if (message)
                    ShowRefusal(
                        "The " + CString(m_copy->HasJewelBack() ? "Front Cover" : "Booklet") +
                        " will not fit on the page with a Folded Cover.\r\n\r\nA Folded Cover might fit "
                        "with Landscape orientation, or a larger Paper Size.");
                m_folded.SetCurSel(0);
                applied = false;
                return;
            }
            front->bFolded = 1;
            front->width *= 2;
            if (front->GetRight() >= pageWidth) front->left = pageWidth - front->width;
        }
        if (redraw) ShowTemplate();
    });
    return applied;
}

void DlgLabelAlignment::TakeEditsFromPreview() {
    KorvanelleDocument* shown = m_preview.GetPrivateDocument();
    if (!shown || shown->templates.GetSize() == 0 || !shown->templates[0]) return;
    const CString name = m_copy->name;
    m_copy->CopyFrom(shown->templates[0], false);
    m_copy->name = name;
}

void DlgLabelAlignment::OnUnitsChange() {
    GuardOperation(4147, [&] {
        TakeEditsFromPreview();
        g_units = m_units.GetCurSel() == 1 ? "Millimeters" : "Inches";
        UpdateControls();
        ShowTemplate();
    });
}

void DlgLabelAlignment::OnPaperChange() {
    GuardOperation(4148, [&] {
        TakeEditsFromPreview();
        ViewObject* page = EditedPage();
        if (!page) return;
        const int choice = m_paper.GetCurSel();
        const int pair = choice >= 0 ? static_cast<int>(m_paper.GetItemData(choice)) : 0;
        int w = g_paperDims[pair][0], h = g_paperDims[pair][1];
        if (page->width > page->height) std::swap(w, h);
        CString side;
        if (!FitPage(page, w, h, &side) && !FitPage(page, h, w, &side)) {
            if (!side.IsEmpty()) {
                CString entry;
                if (choice >= 0) m_paper.GetLBText(choice, entry);
                ShowRefusal("The " + side + " does not fit on the " + entry +
                            " paper size.\r\n\r\nPlease make the " + side +
                            " smaller, or select a larger Paper Size.");
            }
            SelectPaper(page);
            return;
        }
        const bool discPrinter = m_copy->HasDisc() && choice == kDiscPrinterEntry;
        if (discPrinter != m_copy->IsDiscCentered()) {
            if (discPrinter)
                m_copy->CenterDiscs(true, true);
            else
                m_copy->CenterDiscs(false, false);
        }
        UpdateControls();
        PlacePreview();
        ShowTemplate();
    });
}

void DlgLabelAlignment::OnPagesChange() {
    GuardOperation(4149, [&] {
        TakeEditsFromPreview();
        const bool onePage = m_pages.GetCurSel() == 0;
        const bool samePage = m_copy->AreCoversOnSamePage();
        if (onePage == samePage) return;
        ViewObject* front = m_copy->GetFrontCover();
        ViewObject* back = m_copy->GetBackCover();
        if (!front || !back) return;
        if (!onePage) {
            back->side = 3;
            if (ViewObject* page3 = m_copy->FindPage(3)) FitPage(page3, page3->width, page3->height, nullptr);
            m_page = 2;
            m_orientation.SetCurSel(1);
            ApplyOrientation(false, false);
            if (!front->bFolded) {
                m_folded.SetCurSel(1);
                ApplyFoldedCover(false, false);
            }
        } else {
            LabelTemplate before(m_copy, false);
            const int pageBefore = m_page;
            m_page = 2;
            back->side = 2;
            m_orientation.SetCurSel(0);
            bool fitted = ApplyOrientation(false, false);
            if (!fitted && front->bFolded) {
                m_folded.SetCurSel(0);
                ApplyFoldedCover(false, false);
                m_orientation.SetCurSel(0);
                fitted = ApplyOrientation(false, false);
            }
            if (!fitted) {
                ShowRefusal(
                    "The cover does not fit correctly on 1 Page.\r\n\r\nPlease make the cover smaller before "
                    "selecting 1 Page.");
                m_copy->CopyFrom(&before, false);
                before.DeleteObjects();
                m_page = pageBefore;
                UpdateControls();
                return;
            }
            before.DeleteObjects();
        }
        UpdateControls();
        PlacePreview();
        ShowTemplate();
    });
}

void DlgLabelAlignment::OnOrientationChange() {
    GuardOperation(4150, [&] {
        TakeEditsFromPreview();
        ApplyOrientation(true, true);
    });
}

void DlgLabelAlignment::OnFoldedChange() {
    GuardOperation(4151, [&] {
        TakeEditsFromPreview();
        ApplyFoldedCover(true, true);
    });
}

CString DlgLabelAlignment::AcceptableName(const CString& typed) const {
    CString name = typed;
    name.Trim();
    if (name.IsEmpty()) return m_copy->name;
    if (name == "LightScribe") {
        CString tick;
        tick.Format(" %ld", static_cast<long>(::GetTickCount()));
        name += tick;
    }
    // Another template of the library by that name would be shadowed by it.
    auto taken = [&](const CString& candidate) {
        if (!m_library) return false;
        const LabelTemplate* other = m_library->FindTemplate(candidate);
        return other && other != m_source;
    };
    if (taken(name)) {
        CString base = name, candidate;
        for (int n = 2;; ++n) {
            candidate.Format("%s %d", static_cast<LPCSTR>(base), n);
            if (!taken(candidate)) break;
        }
        name = candidate;
    }
    return name;
}

void DlgLabelAlignment::OnNameKillFocus() {
    GuardOperation(4152, [&] {
        CString typed;
        m_name.GetWindowText(typed);
        m_copy->name = AcceptableName(typed);
        if (typed != m_copy->name) m_name.SetWindowText(m_copy->name);
    });
}

void DlgLabelAlignment::OnTabClicked() {
    GuardOperation(4153, [&] {
        TakeEditsFromPreview();
        m_page = m_tab.m_page2Selected ? 2 : 3;
        UpdateControls();
        PlacePreview();
        ShowTemplate();
    });
}

void DlgLabelAlignment::OnFieldKillFocus(UINT id) {
    m_preview.OnFieldKillFocus(id);
}

void DlgLabelAlignment::OnFieldSpin(NMHDR* notify, LRESULT* result) {
    m_preview.OnFieldSpin(notify, result);
}

void DlgLabelAlignment::OnOK() {
    GuardOperation(4154, [&] {
        TakeEditsFromPreview();
        CString typed;
        m_name.GetWindowText(typed);
        m_copy->name = AcceptableName(typed);
        if (m_copy->HasDisc() && m_copy->IsDiscCentered()) m_copy->CenterDiscs(true, false);
        m_source->CopyFrom(m_copy, false);
        EndDialog(IDOK);
    });
}

int RunLabelAlignmentDialog(LabelTemplate* labelTemplate, int page, CWnd* parent) {
    int result = IDCANCEL;
    GuardOperation(4155, [&] {
        if (!labelTemplate) return;
        DlgLabelAlignment dialog(labelTemplate, page, parent);
        result = static_cast<int>(dialog.DoModal());
    });
    return result;
}
