// The Change Label Template dialog.
#include "print/DlgLabelStock.h"

#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"
#include "print/DialogPlacement.h"
#include "print/PrintSettings.h"
#include "res/PrintDialogsIds.h"

BEGIN_MESSAGE_MAP(DlgLabelStock, AeroDialog)
    ON_LBN_SELCHANGE(IDC_STOCK_DISC_LIST, OnDiscSelChange)
    ON_LBN_SELCHANGE(IDC_STOCK_CASE_LIST, OnCaseSelChange)
    ON_LBN_DBLCLK(IDC_STOCK_DISC_LIST, OnDiscEdit)
    ON_LBN_DBLCLK(IDC_STOCK_CASE_LIST, OnCaseEdit)
    ON_BN_CLICKED(IDC_STOCK_DISC_EDIT, OnDiscEdit)
    ON_BN_CLICKED(IDC_STOCK_DISC_NEW, OnDiscNew)
    ON_BN_CLICKED(IDC_STOCK_CASE_EDIT, OnCaseEdit)
    ON_BN_CLICKED(IDC_STOCK_CASE_NEW, OnCaseNew)
    ON_BN_CLICKED(IDC_STOCK_DISC_DELETE, OnDiscDelete)
    ON_BN_CLICKED(IDC_STOCK_CASE_DELETE, OnCaseDelete)
    ON_BN_CLICKED(IDC_STOCK_DISC_PREVIEW, OnDiscEdit)
    ON_MESSAGE(kLabelClickMessage, OnLinkClick)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

CString SelectedText(CListBox& list) {
    CString text;
    const int i = list.GetCurSel();
    if (i >= 0) list.GetText(i, text);
    return text;
}

RECT ChildRect(CWnd& parent, CWnd& child) {
    RECT r;
    child.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

int Width(const RECT& r) {
    return r.right - r.left;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}

}  // namespace

DlgLabelStock::DlgLabelStock(View* view) : AeroDialog(kTemplateId, nullptr), m_view(view) {
    if (!m_view) m_view = View::GetCurrent();
}

KorvanelleDocument* DlgLabelStock::Library() const {
    return m_view ? &m_view->m_templates : nullptr;
}

bool DlgLabelStock::IsDvdKind(const LabelTemplate* t) const {
    return t && (t->GetCaseKind() == kCaseDvd || t->GetCaseKind() == kCaseBluray);
}

BOOL DlgLabelStock::OnInitDialog() {
    GuardOperation(4160, [&] {
        FrameCommandState::Get().m_enableFileNewOpen = 0;
        AeroDialog::OnInitDialog();
        m_discList.SubclassDlgItem(IDC_STOCK_DISC_LIST, this);
        m_caseList.SubclassDlgItem(IDC_STOCK_CASE_LIST, this);
        GlassSubclassControl(m_discList.m_hWnd);
        GlassSubclassControl(m_caseList.m_hWnd);
        struct Button {
            AeroButton* button;
            UINT id;
        };
        const Button buttons[8] = {{&m_ok, IDOK},
                                   {&m_cancel, IDCANCEL},
                                   {&m_discEdit, IDC_STOCK_DISC_EDIT},
                                   {&m_discNew, IDC_STOCK_DISC_NEW},
                                   {&m_caseEdit, IDC_STOCK_CASE_EDIT},
                                   {&m_caseNew, IDC_STOCK_CASE_NEW},
                                   {&m_discDelete, IDC_STOCK_DISC_DELETE},
                                   {&m_caseDelete, IDC_STOCK_CASE_DELETE}};
        for (const Button& b : buttons) AttachButton(*b.button, b.id, this);
        m_discPreview.SubclassDlgItem(IDC_STOCK_DISC_PREVIEW, this);
        m_page2Preview.SubclassDlgItem(IDC_STOCK_PAGE2_PREVIEW, this);
        m_page3Preview.SubclassDlgItem(IDC_STOCK_PAGE3_PREVIEW, this);
        const UINT captions[5] = {IDC_STOCK_DISC_CAPTION, IDC_STOCK_CASE_CAPTION,
                                  IDC_STOCK_DISC_PREVIEW_CAPTION, IDC_STOCK_PAGE2_CAPTION,
                                  IDC_STOCK_PAGE3_CAPTION};
        for (int i = 0; i < 5; ++i) m_captions[i].SubclassDlgItem(captions[i], this);
        m_captions[5].EnableLink();
        m_captions[5].SubclassDlgItem(IDC_STOCK_LINK, this);
        if (m_view) {
            m_discName = m_view->m_templates.discTemplateName;
            m_caseName = m_view->m_templates.coverTemplateName;
        }
        FillLists();
        OnDiscSelChange();
        OnCaseSelChange();
        PlaceWindow();
        LayoutControls();
        m_initialised = true;
    });
    return TRUE;
}

void DlgLabelStock::FillList(AeroListBox& list, int kind, const CString& name) {
    KorvanelleDocument* library = Library();
    if (!library) return;
    list.SetRedraw(FALSE);
    for (INT_PTR i = 0; i < library->templates.GetSize(); ++i) {
        LabelTemplate* t = library->templates[i];
        if (t && t->GetCaseKind() == kind) list.AddString(t->name);
    }
    const CString wanted = !name.IsEmpty() ? name : (kind == kCaseDisc ? m_discName : m_caseName);
    for (int i = 0; i < list.GetCount(); ++i) {
        CString text;
        list.GetText(i, text);
        if (text == wanted) {
            list.SetCurSel(i);
            break;
        }
    }
    list.SetRedraw(TRUE);
    list.Invalidate();
}

void DlgLabelStock::FillLists() {
    m_discList.ResetContent();
    FillList(m_discList, kCaseDisc, m_discName);
    m_caseList.ResetContent();
    for (int kind : {kCaseJewel, kCaseDvd, kCaseBluray}) FillList(m_caseList, kind, m_caseName);
}

void DlgLabelStock::OnDiscSelChange() {
    GuardOperation(4161, [&] {
        // Without an entry (an empty list, or a name in use that the library lacks) nothing can
        // be edited or deleted and the preview is empty.
        const int selected = m_discList.GetCurSel();
        if (selected >= 0) m_discName = SelectedText(m_discList);
        LabelTemplate* t = selected >= 0 && Library() ? Library()->FindTemplate(m_discName) : nullptr;
        const bool lightScribe = t && t->IsLightScribe();
        m_discEdit.EnableWindow(t && !lightScribe);
        m_discDelete.EnableWindow(t && m_discList.GetCount() > 2 && !lightScribe && !IsInUse(t));
        m_discPreview.SetTemplate(t, 1, kPreviewLabelStock, true);
    });
}

void DlgLabelStock::OnCaseSelChange() {
    GuardOperation(4162, [&] {
        const int selected = m_caseList.GetCurSel();
        if (selected >= 0) m_caseName = SelectedText(m_caseList);
        LabelTemplate* t = selected >= 0 && Library() ? Library()->FindTemplate(m_caseName) : nullptr;
        int page2 = 0, page3 = 0;
        if (t) {
            const int kind = t->GetCaseKind();
            if (kind == kCaseJewel && t->AreCoversOnSamePage()) {
                page2 = 2;
                m_captions[3].SetWindowText("Front && Back Cover");
                m_captions[4].SetWindowText("  ");
            } else if (kind == kCaseJewel) {
                page2 = 2;
                page3 = 3;
                m_captions[3].SetWindowText("Front Cover");
                m_captions[4].SetWindowText("Back Cover");
            } else if (kind == kCaseDvd || kind == kCaseBluray) {
                page2 = 3;
                page3 = 2;
                m_captions[3].SetWindowText("Case");
                m_captions[4].SetWindowText("Booklet");
            }
            for (int i : {3, 4})
                m_captions[i].RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        m_caseEdit.EnableWindow(t != nullptr);
        m_caseDelete.EnableWindow(t && Library()->CountTemplatesOfKind(t->GetCaseKind()) > 1 && !IsInUse(t));
        m_page2Preview.SetTemplate(t, page2, kPreviewLabelStock, true);
        m_page3Preview.SetTemplate(t, page3, kPreviewLabelStock, true);
    });
}

bool DlgLabelStock::IsInUse(const LabelTemplate* t) const {
    // The design's own templates carry the library template's name.
    if (!t || !m_view) return false;
    return t->name == m_view->m_templates.discTemplateName ||
           t->name == m_view->m_templates.coverTemplateName;
}

void DlgLabelStock::EditTemplate(const CString& name, int page, bool create) {
    GuardOperation(4163, [&] {
        if (!m_view) return;
        LabelTemplate* edited = m_view->ShowLabelAlignment(name, page, create);
        if (!edited) return;
        // The template may now be the design's, which ends its undo history. The main window's
        // idle time, which keeps its bars' buttons current, does not come while this dialog is
        // open: its bars are brought up to date here, so Undo and Redo do not stay lit.
        if (CWnd* main = AfxGetMainWnd()) {
            if (main->m_hWnd) {
                main->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
                main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
            }
        }
        const bool disc = edited->HasDisc();
        if (disc)
            m_discName = edited->name;
        else
            m_caseName = edited->name;
        FillLists();
        if (disc)
            OnDiscSelChange();
        else
            OnCaseSelChange();
    });
}

void DlgLabelStock::OnDiscEdit() {
    if (m_discEdit.IsWindowEnabled()) EditTemplate(m_discName, 1, false);
}

void DlgLabelStock::OnDiscNew() {
    EditTemplate(m_discName, 1, true);
}

void DlgLabelStock::OnCaseEdit() {
    if (m_caseEdit.IsWindowEnabled()) EditTemplate(m_caseName, 2, false);
}

void DlgLabelStock::OnCaseNew() {
    EditTemplate(m_caseName, 2, true);
}

void DlgLabelStock::DeleteTemplate(const CString& name) {
    GuardOperation(4164, [&] {
        KorvanelleDocument* library = Library();
        LabelTemplate* t = library ? library->FindTemplate(name) : nullptr;
        if (!t || IsInUse(t)) return;
        AeroMessageBox box(this);
        box.m_iconKind = kBoxWarning;
        box.m_message = "Are you sure you want to delete the ''" + name + "'' template?";
        box.AddButton("Yes", 1, 0);
        box.AddButton("No", 2, 1);
        if (box.DoModal() != 1) return;
        const bool disc = t->HasDisc();
        AeroListBox& list = disc ? m_discList : m_caseList;
        int i = list.GetCurSel();
        i = i == list.GetCount() - 1 ? i - 1 : i + 1;
        CString neighbour;
        if (i >= 0 && i < list.GetCount()) list.GetText(i, neighbour);
        (disc ? m_discName : m_caseName) = neighbour;
        library->RemoveTemplate(t, true);
        FillLists();
        if (disc)
            OnDiscSelChange();
        else
            OnCaseSelChange();
        m_view->SaveTemplates();
    });
}

void DlgLabelStock::OnDiscDelete() {
    if (m_discDelete.IsWindowEnabled()) DeleteTemplate(m_discName);
}

void DlgLabelStock::OnCaseDelete() {
    if (m_caseDelete.IsWindowEnabled()) DeleteTemplate(m_caseName);
}

BOOL DlgLabelStock::OnCommand(WPARAM wParam, LPARAM lParam) {
    // The clicks on the two case previews open the page they show.
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && (id == IDC_STOCK_PAGE2_PREVIEW || id == IDC_STOCK_PAGE3_PREVIEW)) {
        KorvanelleDocument* library = Library();
        const bool dvd = IsDvdKind(library ? library->FindTemplate(m_caseName) : nullptr);
        const bool page2 = id == IDC_STOCK_PAGE2_PREVIEW;
        if (m_caseEdit.IsWindowEnabled()) EditTemplate(m_caseName, page2 != dvd ? 2 : 3, false);
        return TRUE;
    }
    return AeroDialog::OnCommand(wParam, lParam);
}

LRESULT DlgLabelStock::OnLinkClick(WPARAM, LPARAM) {
    if (ViewHost* host = View::GetHost()) host->ShowHelpContext(m_hWnd, kHelpTopic);
    return 0;
}

void DlgLabelStock::OnOK() {
    GuardOperation(4165, [&] {
        FrameCommandState::Get().m_enableFileNewOpen = 1;
        KorvanelleDocument* library = Library();
        if (!m_view || !library) {
            EndDialog(1);
            return;
        }
        LabelTemplate* current = library->GetCoverTemplate();
        LabelTemplate* chosen = library->FindTemplate(m_caseName);
        const int currentKind = current ? current->GetCaseKind() : 0;
        const int chosenKind = chosen ? chosen->GetCaseKind() : currentKind;
        if (chosen && currentKind != chosenKind) {
            AeroMessageBox box(this);
            box.m_iconKind = kBoxInformation;
            if (chosenKind == kCaseDvd)
                box.m_message =
                    "You have switched to a DVD case template.\r\nThe default DVD case label will now be "
                    "loaded.";
            else if (chosenKind == kCaseBluray)
                box.m_message =
                    "You have switched to a Blu-ray case template.\r\nThe default Blu-ray case label will "
                    "now be loaded.";
            else
                box.m_message =
                    "You have switched to a jewel case template.\r\nThe default jewel case label will now be "
                    "loaded.";
            box.AddButton("OK", 1, 1);
            box.AddButton("Cancel", 2, 0);
            if (box.DoModal() == 1) {
                CFrameWnd* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
                CDocument* document = frame ? frame->GetActiveDocument() : nullptr;
                // Answering "No" to the save question still goes on: only Cancel keeps the design.
                if (!document || document->SaveModified()) {
                    if (document) document->SetModifiedFlag(FALSE);
                    if (ViewHost* host = View::GetHost())
                        host->OpenStartupDesign(chosenKind, m_view->m_design.GetDiscLayout());
                }
            }
        } else {
            const bool discChanged = m_discName != library->discTemplateName;
            const bool caseChanged = m_caseName != library->coverTemplateName;
            if (discChanged || caseChanged) {
                if (discChanged) library->discTemplateName = m_discName;
                if (caseChanged) library->coverTemplateName = m_caseName;
                m_view->ApplyTemplate(discChanged ? m_discName : CString(),
                                      caseChanged ? m_caseName : CString(), true, true);
            }
        }
        EndDialog(1);
    });
}

void DlgLabelStock::OnCancel() {
    FrameCommandState::Get().m_enableFileNewOpen = 1;
    EndDialog(-1);
}

void DlgLabelStock::PlaceWindow() {
    const int m = g_glowMargin, q = m / 4;
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    const int extraW = Width(window) - Width(client);
    const int extraH = Height(window) - Height(client);
    int buttons = 0;
    for (AeroButton* b : {&m_discEdit, &m_discNew, &m_discDelete, &m_caseEdit, &m_caseNew, &m_caseDelete})
        buttons += Width(ChildRect(*this, *b));
    m_minWidth = 3 * m + 4 * q + buttons + extraW;
    const int listH = Height(ChildRect(*this, m_discList));
    m_minHeight = 4 * m + q + Height(ChildRect(*this, m_ok)) + Height(ChildRect(*this, m_discPreview)) +
                  Height(ChildRect(*this, m_captions[2])) + Height(ChildRect(*this, m_discEdit)) + listH +
                  Height(ChildRect(*this, m_captions[0])) + extraH;
    RECT& remembered = g_labelStockDialogRect;
    if (remembered.left < 0 || remembered.top < 0) {
        const RECT c = CentringRectangle();
        const int w = m_minWidth, h = m_minHeight + listH / 2;
        remembered.left = (c.left + c.right) / 2 - w / 2;
        remembered.top = (c.top + c.bottom) / 2 - h / 2;
        remembered.right = remembered.left + w;
        remembered.bottom = remembered.top + h;
    }
    if (Width(remembered) < m_minWidth) remembered.right = remembered.left + m_minWidth;
    if (Height(remembered) < m_minHeight) remembered.bottom = remembered.top + m_minHeight;
    MoveWindow(&remembered);
}

void DlgLabelStock::LayoutControls() {
    const int m = g_glowMargin, q = m / 4;
    RECT client;
    GetClientRect(&client);
    const int W = client.right, H = client.bottom;
    // Sizes as the controls have them; a caption with the glow margin counts without it.
    auto sizeOf = [&](CWnd& w) {
        RECT r = ChildRect(*this, w);
        SIZE s = {Width(r), Height(r)};
        return s;
    };
    auto captionSize = [&](AeroLabel& label) {
        SIZE s = sizeOf(label);
        if (&label != &m_captions[5] && label.HasGlowMargin()) {
            s.cx -= 2 * m;
            s.cy -= 2 * m;
        }
        return s;
    };
    POINT captionPos[6];
    captionPos[0] = {m + 2, m + 2};
    const int x0 = captionPos[0].x;
    const SIZE cancel = sizeOf(m_cancel), ok = sizeOf(m_ok);
    const POINT cancelPos = {W - cancel.cx - m - 2, H - cancel.cy - m};
    const POINT okPos = {cancelPos.x - q - ok.cx, cancelPos.y};
    captionPos[5] = {x0 + 1, cancelPos.y + 4};
    const int c = (W - 2 * (x0 + m)) / 3;
    const SIZE preview = sizeOf(m_discPreview);
    const int previewTop = okPos.y - preview.cy - m;
    const int previewLeft[3] = {x0, x0 + c + m, x0 + 2 * (c + m)};
    for (int i = 0; i < 3; ++i)
        captionPos[2 + i] = {previewLeft[i], previewTop - 1 - captionSize(m_captions[2 + i]).cy};
    const int buttonH = sizeOf(m_discEdit).cy;
    const int buttonTop = captionPos[2].y - buttonH - m;
    const int middle = (previewLeft[0] + previewLeft[2] + c) / 2;
    int discRow[3], caseRow[3];  // left edges of Edit Dimensions, Create New, Delete
    const SIZE edit = sizeOf(m_discEdit), create = sizeOf(m_discNew), del = sizeOf(m_discDelete);
    const SIZE caseEditSize = sizeOf(m_caseEdit), caseNewSize = sizeOf(m_caseNew),
               caseDelSize = sizeOf(m_caseDelete);
    discRow[2] = middle - m / 2 - del.cx;
    discRow[1] = discRow[2] - q - create.cx;
    discRow[0] = discRow[1] - q - edit.cx;
    caseRow[2] = previewLeft[2] + c - caseDelSize.cx;
    caseRow[1] = caseRow[2] - q - caseNewSize.cx;
    caseRow[0] = caseRow[1] - q - caseEditSize.cx;
    const int discListTop = captionPos[0].y + captionSize(m_captions[0]).cy + 1;
    const RECT discList = {x0, discListTop, discRow[2] + del.cx, buttonTop - q};
    const RECT caseList = {discRow[2] + del.cx + m, discListTop, caseRow[2] + caseDelSize.cx, buttonTop - q};
    captionPos[1] = {caseList.left, captionPos[0].y};
    // Each row of buttons is centred under its list.
    const int discShift = (discList.left - discRow[0]) / 2, caseShift = (caseList.left - caseRow[0]) / 2;
    for (int i = 0; i < 3; ++i) {
        discRow[i] += discShift;
        caseRow[i] += caseShift;
    }
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    for (int i = 0; i < 6; ++i) {
        int x = captionPos[i].x, y = captionPos[i].y;
        if (m_captions[i].HasGlowMargin()) {
            x -= m;
            y -= m;
        }
        m_captions[i].SetWindowPos(nullptr, x, y, 0, 0, flags);
    }
    m_discList.MoveWindow(&discList);
    m_caseList.MoveWindow(&caseList);
    AeroPreview* previews[3] = {&m_discPreview, &m_page2Preview, &m_page3Preview};
    for (int i = 0; i < 3; ++i) previews[i]->MoveWindow(previewLeft[i], previewTop, c, preview.cy);
    m_ok.SetWindowPos(nullptr, okPos.x, okPos.y, 0, 0, flags);
    m_cancel.SetWindowPos(nullptr, cancelPos.x, cancelPos.y, 0, 0, flags);
    AeroButton* discButtons[3] = {&m_discEdit, &m_discNew, &m_discDelete};
    AeroButton* caseButtons[3] = {&m_caseEdit, &m_caseNew, &m_caseDelete};
    for (int i = 0; i < 3; ++i) {
        discButtons[i]->SetWindowPos(nullptr, discRow[i], buttonTop, 0, 0, flags);
        caseButtons[i]->SetWindowPos(nullptr, caseRow[i], buttonTop, 0, 0, flags);
    }
}

void DlgLabelStock::OnSize(UINT type, int cx, int cy) {
    (void)type;
    (void)cx;
    (void)cy;
    Default();
    if (!m_initialised) return;
    GuardOperation(4166, [&] {
        LayoutControls();
        Invalidate();
    });
}

void DlgLabelStock::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    if (!m_initialised || !info) return;
    info->ptMinTrackSize.x = m_minWidth;
    info->ptMinTrackSize.y = m_minHeight;
}

void DlgLabelStock::OnDestroy() {
    RECT r;
    GetWindowRect(&r);
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
    g_labelStockDialogRect = r;
    Default();
}

void RunLabelStockDialog() {
    GuardOperation(4167, [&] {
        DlgLabelStock dialog;
        dialog.DoModal();
    });
}
