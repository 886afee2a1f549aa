// The template preview's dimension fields in the label alignment kind: their edit boxes, up-down
// controls and captions in the parent dialog, and the typed and stepped values written into the
// template shown.
#include "print/AeroPreview.h"

#include <commctrl.h>

#include "controls/AeroLabel.h"
#include "controls/ThemeResources.h"
#include "res/PrintDialogsIds.h"

using namespace Gdiplus;

std::vector<ViewObject*> AeroPreview::TemplateDiscs() {
    std::vector<ViewObject*> discs;
    LabelTemplate list;
    m_privateDocument->CollectObjects(list, false);
    for (int i = 0; i < list.GetObjectCount(); ++i)
        if (list.GetObject(i)->IsDisc()) discs.push_back(list.GetObject(i));
    // The list only borrows the objects.
    list.objects.RemoveAll();
    return discs;
}

void AeroPreview::PageSize(int& width, int& height) {
    width = height = 0;
    if (ViewObject* page = m_privateDocument->GetCurrentPage()) {
        const Rect r = page->GetDeviceRect();
        width = r.Width;
        height = r.Height;
    }
}

HWND AeroPreview::GetFieldEdit(int i) const {
    return i >= 0 && i < static_cast<int>(m_fieldEdits.size()) ? m_fieldEdits[i]->m_hWnd : nullptr;
}

void AeroPreview::UpdateDimensionFields(const PreviewLayout& layout,
                                        const std::vector<ViewObject*>& objects) {
    FreeDimensionFields(m_fields);
    m_fields = BuildDimensionFields(layout, objects, m_privateDocument->GetCurrentSideIndex());
    HideUnusedFieldControls();
    SpreadTopFields(m_fields);
    LayoutFieldControls();
}

void AeroPreview::HideUnusedFieldControls() {
    for (size_t i = m_fields.size(); i < m_fieldEdits.size(); ++i) {
        m_fieldEdits[i]->ShowWindow(SW_HIDE);
        m_fieldSpins[i]->ShowWindow(SW_HIDE);
        m_fieldCaptions[i]->ShowWindow(SW_HIDE);
    }
}

void AeroPreview::CreateFieldControls() {
    CWnd* parent = GetParent();
    if (!parent) return;
    while (m_fieldEdits.size() < m_fields.size()) {
        const int i = static_cast<int>(m_fieldEdits.size());
        CEdit* edit = new CEdit;
        edit->CreateEx(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | ES_AUTOHSCROLL | WS_TABSTOP, 0, 0,
                       kFieldEditWidth - kFieldSpinWidth, kFieldEditHeight, parent->m_hWnd,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DIMENSION_FIELD + i)));
        edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
        CSpinButtonCtrl* spin = new CSpinButtonCtrl;
        spin->CreateEx(0, UPDOWN_CLASS, "", WS_CHILD, 0, 0, kFieldSpinWidth, kFieldEditHeight, parent->m_hWnd,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DIMENSION_FIELD)));
        spin->SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit->m_hWnd), 0);
        AeroLabel* caption = new AeroLabel;
        caption->CreateEx(0, "Static", "", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 10, 10, parent->m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DIMENSION_FIELD)));
        for (CWnd* w : {static_cast<CWnd*>(edit), static_cast<CWnd*>(spin), static_cast<CWnd*>(caption)})
            ::SetWindowPos(w->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_fieldEdits.push_back(edit);
        m_fieldSpins.push_back(spin);
        m_fieldCaptions.push_back(caption);
    }
}

void AeroPreview::DestroyFieldControls() {
    for (CEdit* w : m_fieldEdits) delete w;
    for (CSpinButtonCtrl* w : m_fieldSpins) delete w;
    for (CWnd* w : m_fieldCaptions) delete w;
    m_fieldEdits.clear();
    m_fieldSpins.clear();
    m_fieldCaptions.clear();
}

void AeroPreview::MoveFieldControl(CWnd* control, const Rect& rect, POINT origin) {
    if (!control || !control->m_hWnd) return;
    RECT now;
    ::GetWindowRect(control->m_hWnd, &now);
    HWND parent = ::GetParent(control->m_hWnd);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    const int x = origin.x + rect.X, y = origin.y + rect.Y;
    if (now.left == x && now.top == y && ::IsWindowVisible(control->m_hWnd)) return;
    ::SetWindowPos(control->m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(control->m_hWnd, SW_SHOWNA);
    ::RedrawWindow(control->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void AeroPreview::LayoutFieldControls() {
    if (!m_hWnd || !GetParent()) return;
    POINT origin = {0, 0};
    ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), &origin, 1);
    CreateFieldControls();
    for (size_t i = 0; i < m_fields.size() && i < m_fieldEdits.size(); ++i) {
        DimensionField* field = m_fields[i];
        field->index = static_cast<int>(i);
        AeroLabel* caption = static_cast<AeroLabel*>(m_fieldCaptions[i]);
        const CString text = FieldCaption(*field);
        const COLORREF background = FieldCaptionBackground(*field);
        CString shown;
        caption->GetWindowText(shown);
        if (shown != text || caption->m_backgroundColour != background) {
            caption->m_backgroundColour = background;
            caption->SetWindowText(text);
            caption->Invalidate();
        }
        RECT labelRect;
        caption->GetClientRect(&labelRect);
        const int labelW = labelRect.right, labelH = labelRect.bottom;
        const Rect& e = field->editRect;
        int x = e.X + (e.Width - field->spinRect.Width - labelW) / 2;
        if (x < e.X + 1) x = e.X + 1;
        field->captionRect = Rect(x, e.Y - labelH, labelW, labelH);
        CommitField(field, m_fieldEdits[i], false);
        MoveFieldControl(m_fieldEdits[i], e, origin);
        MoveFieldControl(m_fieldSpins[i], field->spinRect, origin);
        MoveFieldControl(caption, field->captionRect, origin);
    }
}

void AeroPreview::CommitField(DimensionField* field, CWnd* edit, bool apply) {
    if (!field || !edit || !edit->m_hWnd) return;
    CString text;
    edit->GetWindowText(text);
    const CString formatted = FormatFieldValue(field->value);
    if (text == formatted) return;
    if (!apply) {
        edit->SetWindowText(formatted);
        return;
    }
    int width = 0, height = 0;
    PageSize(width, height);
    const std::vector<ViewObject*> discs = TemplateDiscs();
    field->value = ClampFieldValue(*field, ParseFieldText(text), width, height, discs);
    ApplyFieldValue(*field, discs);
    // The refresh builds the fields anew: `field` is gone afterwards.
    Refresh();
}

void AeroPreview::OnFieldKillFocus(UINT controlId) {
    GuardOperation(4113, [&] {
        if (controlId < IDC_DIMENSION_FIELD) return;
        const size_t n = controlId - IDC_DIMENSION_FIELD;
        if (n < m_fieldEdits.size() && n < m_fields.size()) CommitField(m_fields[n], m_fieldEdits[n], true);
    });
}

void AeroPreview::CommitFocusedField() {
    GuardOperation(4114, [&] {
        HWND focus = ::GetFocus();
        if (!focus) return;
        for (size_t i = 0; i < m_fieldEdits.size() && i < m_fields.size(); ++i) {
            if (m_fieldEdits[i]->m_hWnd == focus || m_fieldSpins[i]->m_hWnd == focus) {
                CommitField(m_fields[i], m_fieldEdits[i], true);
                return;
            }
        }
    });
}

void AeroPreview::OnFieldSpin(NMHDR* notify, LRESULT* result) {
    GuardOperation(4115, [&] {
        if (!notify) return;
        for (size_t i = 0; i < m_fieldSpins.size() && i < m_fields.size(); ++i) {
            if (m_fieldSpins[i]->m_hWnd != notify->hwndFrom) continue;
            const NMUPDOWN* updown = reinterpret_cast<const NMUPDOWN*>(notify);
            DimensionField* field = m_fields[i];
            CString shown;
            m_fieldEdits[i]->GetWindowText(shown);
            int width = 0, height = 0;
            PageSize(width, height);
            const std::vector<ViewObject*> discs = TemplateDiscs();
            const int stepped = StepFieldValue(*field, updown->iDelta < 0, shown);
            field->value = ClampFieldValue(*field, stepped, width, height, discs);
            ApplyFieldValue(*field, discs);
            Rebuild(false, ClientTarget());
            RedrawNow();
            break;
        }
    });
    // The control's own position never moves, so that it never stops at the end of its range.
    if (result) *result = 1;
}

void AeroPreview::ClipFieldControls(Graphics& g) {
    for (size_t i = 0; i < m_fields.size() && i < m_fieldEdits.size(); ++i) {
        const DimensionField* f = m_fields[i];
        if (f->kind < kDimensionWidth || !f->object || f->object->IsDisc()) continue;
        for (CWnd* w :
             {static_cast<CWnd*>(m_fieldEdits[i]), static_cast<CWnd*>(m_fieldSpins[i]), m_fieldCaptions[i]}) {
            if (!w->m_hWnd || !::IsWindowVisible(w->m_hWnd)) continue;
            RECT r;
            ::GetWindowRect(w->m_hWnd, &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            g.ExcludeClip(Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        }
    }
}
