// DlgColorPicker: the Custom Color window and its one undo step per visit.
#include "bars/DlgColorPicker.h"

#include <commctrl.h>

#include "bars/BarCanvas.h"
#include "bars/BarSettings.h"
#include "bars/ToolColorNew.h"
#include "controls/DialogPositions.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "res/FormatBarsIds.h"
#include "res/ResourceImages.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(DlgColorPicker, AeroDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SHOWWINDOW()
    ON_WM_ACTIVATE()
    ON_WM_DESTROY()
    ON_CONTROL_RANGE(EN_CHANGE, IDC_PICKER_RED, IDC_PICKER_BRIGHTNESS, OnEditChanged)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_PICKER_SWATCH2, IDC_PICKER_SWATCH1, OnSwatchClicked)
    ON_BN_CLICKED(IDC_PICKER_ADD, OnAddCustomColor)
END_MESSAGE_MAP()

const UINT DlgColorPicker::kSwatchIds[8] = {IDC_PICKER_SWATCH1, IDC_PICKER_SWATCH2, IDC_PICKER_SWATCH3,
                                            IDC_PICKER_SWATCH4, IDC_PICKER_SWATCH5, IDC_PICKER_SWATCH6,
                                            IDC_PICKER_SWATCH7, IDC_PICKER_SWATCH8};

namespace {

const UINT kGroupIds[5] = {IDC_PICKER_SELECT_GROUP, IDC_PICKER_CURRENT_GROUP, IDC_PICKER_CUSTOM_GROUP,
                           IDC_PICKER_RGB_GROUP, IDC_PICKER_HSB_GROUP};
const UINT kLabelIds[6] = {IDC_PICKER_RED_LABEL, IDC_PICKER_GREEN_LABEL,      IDC_PICKER_BLUE_LABEL,
                           IDC_PICKER_HUE_LABEL, IDC_PICKER_SATURATION_LABEL, IDC_PICKER_BRIGHTNESS_LABEL};
const int kBarGap = 8;
const int kBarWidth = 20;

// The slot (1..8) of a swatch's control id; 0 for any other id.
int SlotOfControl(UINT id) {
    for (int i = 0; i < 8; ++i)
        if (DlgColorPicker::kSwatchIds[i] == id) return i + 1;
    return 0;
}

}  // namespace

DlgColorPicker::DlgColorPicker(CWnd* parent) : AeroDialog(IDD_COLOR_PICKER, parent) {}

DlgColorPicker::~DlgColorPicker() {
    GuardOperation(3570, [&] {
        delete m_wheelImage;
        m_wheelImage = nullptr;
    });
}

void DlgColorPicker::SetColor(COLORREF colour) {
    // The colour that comes back from the design after the picker set it keeps the picker's hue and
    // saturation: a black or grey has none of its own, and the wheel's choice would be lost.
    if (m_initialised && colour == GetColor()) return;
    m_red = GetRValue(colour);
    m_green = GetGValue(colour);
    m_blue = GetBValue(colour);
    const HsbColor hsb = RgbToHsb(m_red, m_green, m_blue);
    m_hue = hsb.hue;
    m_saturation = hsb.saturation;
    m_brightness = hsb.brightness;
}

COLORREF DlgColorPicker::GetColor() const {
    return RgbToColorValue(RgbColor{m_red, m_green, m_blue});
}

BOOL DlgColorPicker::OnInitDialog() {
    GuardOperation(3571, [&] {
        AeroDialog::OnInitDialog();
        for (int i = 0; i < 5; ++i) m_groups[i].SubclassDlgItem(kGroupIds[i], this);
        for (int i = 0; i < 6; ++i) m_labels[i].SubclassDlgItem(kLabelIds[i], this);
        for (int i = 0; i < 8; ++i) {
            m_swatches[i].SubclassDlgItem(kSwatchIds[i], this);
            // Slot 1 is kept in the last element of the setting, slot 8 in the first.
            m_swatches[i].m_color = g_customColors[7 - i];
        }
        AeroButton* buttons[3] = {&m_btnOk, &m_btnCancel, &m_btnAdd};
        const UINT buttonIds[3] = {IDOK, IDCANCEL, IDC_PICKER_ADD};
        for (int i = 0; i < 3; ++i) {
            buttons[i]->SubclassDlgItem(buttonIds[i], this);
            buttons[i]->GenerateBackground(6, 8, 10, 0, 0);
        }

        delete m_wheelImage;
        m_wheelImage = LoadImageFromResource(IDP_COLOR_WHEEL);
        const int wheelWidth = m_wheelImage ? static_cast<int>(m_wheelImage->GetWidth()) : 201;
        const int wheelHeight = m_wheelImage ? static_cast<int>(m_wheelImage->GetHeight()) : 201;
        m_wheelRadius = wheelWidth / 2;

        CRect group;
        m_groups[0].GetWindowRect(&group);
        ScreenToClient(&group);
        const int caption = static_cast<int>(m_groups[0].GetCaptionExtent());
        const int belowCaption = group.Height() - caption;
        m_wheelRect.SetRect(group.left, group.top + caption, group.left + wheelWidth,
                            group.top + caption + wheelHeight);
        m_wheelRect.OffsetRect((group.Width() - wheelWidth - 28) / 2, (belowCaption - wheelHeight) / 2);
        m_brightnessBar.SetRect(m_wheelRect.right + kBarGap, m_wheelRect.top,
                                m_wheelRect.right + kBarGap + kBarWidth, m_wheelRect.bottom);
        m_wheelCentre = CPoint(m_wheelRect.left + m_wheelRadius, m_wheelRect.top + m_wheelRadius);

        m_surface.SubclassDlgItem(IDC_PICKER_SURFACE, this);
        m_surface.SetWindowPos(nullptr, m_wheelRect.left - 5, m_wheelRect.top - 5,
                               m_brightnessBar.right - m_wheelRect.left + 10, m_wheelRect.Height() + 10,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        m_well.SubclassDlgItem(IDC_PICKER_WELL, this);

        POINT& place = g_dialogPositions[kColorDialogPos];
        if (place.x < 0) {
            CRect window;
            GetWindowRect(&window);
            CRect owner(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
            if (CWnd* main = AfxGetMainWnd()) {
                main->GetClientRect(&owner);
                main->ClientToScreen(&owner);
            }
            place.x = owner.left + (owner.Width() - window.Width()) / 2;
            place.y = owner.top + (owner.Height() - window.Height()) / 2;
        }
        SetWindowPos(nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

        m_wheelCursor.SetRectEmpty();
        // The bar's rows are palette indexes 0 (top) to its height - 1, so its palette alone
        // recolours it; a bar higher than the palette would repeat colours.
        const int barHeight = m_brightnessBar.Height() > 256 ? 256 : m_brightnessBar.Height();
        if (m_barBitmap.Create(m_brightnessBar.Width(), barHeight, 8)) {
            for (int row = 0; row < barHeight; ++row)
                memset(m_barBitmap.GetRow(row), row, m_barBitmap.GetStride());
        }
        m_updatingEdits = true;
        const UINT spins[6] = {IDC_PICKER_RED_SPIN, IDC_PICKER_GREEN_SPIN,      IDC_PICKER_BLUE_SPIN,
                               IDC_PICKER_HUE_SPIN, IDC_PICKER_SATURATION_SPIN, IDC_PICKER_BRIGHTNESS_SPIN};
        for (UINT spin : spins)
            SendDlgItemMessage(spin, UDM_SETRANGE32, 0, spin == IDC_PICKER_HUE_SPIN ? 360 : 255);
        m_updatingEdits = false;
        m_initialised = true;
    });
    return TRUE;
}

void DlgColorPicker::Refresh() {
    GuardOperation(3572, [&] {
        if (!m_initialised) return;
        const POINT p = WheelPoint(m_hue, m_saturation, m_wheelCentre.x, m_wheelCentre.y);
        m_wheelCursor.SetRect(p.x - 5, p.y - 5, p.x + 5, p.y + 5);
        const int level =
            m_brightnessBar.bottom - static_cast<int>(m_brightnessBar.Height() * m_brightness / 255.0);
        m_brightnessArrow.SetRect(m_brightnessBar.left - 2, level - 4, m_brightnessBar.right + 3, level + 4);

        const int n = m_barBitmap.GetHeight();
        if (n > 0) {
            BYTE triples[256 * 3];
            const double scale = 255.0 / n;
            for (int k = 0; k < n; ++k) {
                const RgbColor c = HsbToRgb(m_hue, m_saturation, static_cast<int>((n - 1 - k) * scale));
                triples[k * 3] = static_cast<BYTE>(c.red);
                triples[k * 3 + 1] = static_cast<BYTE>(c.green);
                triples[k * 3 + 2] = static_cast<BYTE>(c.blue);
            }
            m_barBitmap.SetPalette(triples, n);
        }
        PaintSurface();
        WriteEdits();
        PaintWell();
    });
}

void DlgColorPicker::PaintSurface() {
    CDC* dc = m_surface.GetMemoryDC();
    if (!dc || !m_wheelImage) return;
    CRect surface;
    m_surface.GetClientRect(&surface);
    // The surface sits 5 pixels left of and above the wheel.
    const int dx = -(m_wheelRect.left - 5);
    const int dy = -(m_wheelRect.top - 5);
    {
        Graphics g(dc->GetSafeHdc());
        FillThemeRect(&g, 0, 0, surface.right, surface.bottom, 0, 0, 1);
        g.DrawImage(m_wheelImage, m_wheelRect.left + dx, m_wheelRect.top + dy, m_wheelRect.Width(),
                    m_wheelRect.Height());
    }
    m_barBitmap.Draw(dc->GetSafeHdc(), m_brightnessBar.left + dx, m_brightnessBar.top + dy,
                     m_barBitmap.GetWidth(), m_barBitmap.GetHeight(), 0, 0);
    if (!m_wheelCursor.IsRectEmpty()) {
        ScopedSaveDC saved(dc->GetSafeHdc());
        CPen pen(PS_SOLID, 2, RGB(255, 255, 255));
        ScopedSelect usePen(dc->GetSafeHdc(), pen.GetSafeHandle());
        ScopedSelect hollow(dc->GetSafeHdc(), ::GetStockObject(HOLLOW_BRUSH));
        dc->SetROP2(R2_XORPEN);
        CRect cursor = m_wheelCursor;
        cursor.OffsetRect(dx, dy);
        dc->Rectangle(&cursor);
        CRect arrow = m_brightnessArrow;
        arrow.OffsetRect(dx, dy);
        dc->Rectangle(&arrow);
    }
    m_surface.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void DlgColorPicker::PaintWell() {
    CDC* dc = m_well.GetMemoryDC();
    if (!dc) return;
    CRect rect;
    m_well.GetClientRect(&rect);
    dc->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    rect.DeflateRect(1, 1);
    dc->Draw3dRect(&rect, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_3DLIGHT));
    rect.DeflateRect(1, 1);
    dc->FillSolidRect(&rect, GetColor());
    m_well.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void DlgColorPicker::WriteEdits() {
    const bool wasUpdating = m_updatingEdits;
    m_updatingEdits = true;
    const struct {
        UINT spin;
        UINT edit;
        int value;
    } fields[6] = {{IDC_PICKER_RED_SPIN, IDC_PICKER_RED, m_red},
                   {IDC_PICKER_GREEN_SPIN, IDC_PICKER_GREEN, m_green},
                   {IDC_PICKER_BLUE_SPIN, IDC_PICKER_BLUE, m_blue},
                   {IDC_PICKER_HUE_SPIN, IDC_PICKER_HUE, m_hue},
                   {IDC_PICKER_SATURATION_SPIN, IDC_PICKER_SATURATION, m_saturation},
                   {IDC_PICKER_BRIGHTNESS_SPIN, IDC_PICKER_BRIGHTNESS, m_brightness}};
    for (const auto& f : fields) {
        SendDlgItemMessage(f.spin, UDM_SETPOS32, 0, f.value);
        // The up-down control writes its buddy; the field shows exactly the member even where
        // the control would not (a value typed outside its range).
        CString text;
        text.Format("%d", f.value);
        CString shown;
        GetDlgItemText(f.edit, shown);
        if (shown != text) SetDlgItemText(f.edit, text);
        if (CWnd* edit = GetDlgItem(f.edit)) edit->UpdateWindow();
    }
    m_updatingEdits = wasUpdating;
}

int* DlgColorPicker::MemberForEdit(UINT id, int* maximum) {
    *maximum = 255;
    switch (id) {
        case IDC_PICKER_RED:
            return &m_red;
        case IDC_PICKER_GREEN:
            return &m_green;
        case IDC_PICKER_BLUE:
            return &m_blue;
        case IDC_PICKER_HUE:
            *maximum = 359;
            return &m_hue;
        case IDC_PICKER_SATURATION:
            return &m_saturation;
        case IDC_PICKER_BRIGHTNESS:
            return &m_brightness;
        default:
            return nullptr;
    }
}

void DlgColorPicker::OnEditChanged(UINT id) {
    GuardOperation(3573, [&] {
        int maximum = 255;
        int* member = MemberForEdit(id, &maximum);
        if (!member) return;
        const int value = static_cast<int>(GetDlgItemInt(id, nullptr, TRUE));
        if (value != *member && m_initialised) {
            *member = value < 0 ? 0 : (value > maximum ? maximum : value);
            if (id == IDC_PICKER_RED || id == IDC_PICKER_GREEN || id == IDC_PICKER_BLUE) {
                const HsbColor hsb = RgbToHsb(m_red, m_green, m_blue);
                m_hue = hsb.hue;
                m_saturation = hsb.saturation;
                m_brightness = hsb.brightness;
            } else {
                const RgbColor rgb = HsbToRgb(m_hue, m_saturation, m_brightness);
                m_red = rgb.red;
                m_green = rgb.green;
                m_blue = rgb.blue;
            }
            Refresh();
        }
        if (m_undoOpen && !m_updatingEdits) ApplyColorToDesign(nullptr);
    });
}

void DlgColorPicker::ApplyColorToDesign(ViewObject* object) {
    BarCanvas* canvas = GetBarCanvas();
    if (!canvas) return;
    canvas->SetRenderWaitCursor(false);
    canvas->SetColor(object, GetColor(), true);
    if (m_pColorBar) m_pColorBar->ClearIndicator();
    canvas->SetRenderWaitCursor(true);
    m_visitChanged = true;
}

void DlgColorPicker::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(3574, [&] {
        if (!m_wheelRect.PtInRect(point) && !m_brightnessArrow.PtInRect(point) &&
            !m_brightnessBar.PtInRect(point)) {
            Default();
            return;
        }
        (void)flags;
        if (WheelDistance(point.x, point.y, m_wheelCentre.x, m_wheelCentre.y) < m_wheelRadius + 1)
            m_dragMode = 1;
        else if (m_brightnessArrow.PtInRect(point) || m_brightnessBar.PtInRect(point))
            m_dragMode = 2;
        else
            m_dragMode = 0;
        if (m_dragMode == 0) return;
        SetCapture();
        TrackPoint(point);
    });
}

void DlgColorPicker::OnMouseMove(UINT, CPoint point) {
    GuardOperation(3575, [&] {
        if (::GetCapture() == m_hWnd && m_dragMode != 0) TrackPoint(point);
    });
}

void DlgColorPicker::OnLButtonUp(UINT, CPoint) {
    GuardOperation(3576, [&] {
        if (::GetCapture() != m_hWnd) return;
        ::ReleaseCapture();
        m_dragMode = 0;
        if (m_pColorBar) m_pColorBar->UpdateFromSelection(nullptr);
    });
}

void DlgColorPicker::TrackPoint(CPoint point) {
    if (m_dragMode == 1) {
        WheelHueSaturation(point.x, point.y, m_wheelCentre.x, m_wheelCentre.y, &m_hue, &m_saturation);
    } else if (m_dragMode == 2) {
        m_brightness = BarBrightness(point.y, m_brightnessBar.bottom, m_brightnessBar.Height());
    } else {
        return;
    }
    const RgbColor rgb = HsbToRgb(m_hue, m_saturation, m_brightness);
    m_red = rgb.red;
    m_green = rgb.green;
    m_blue = rgb.blue;
    Refresh();
    ApplyColorToDesign(nullptr);
}

void DlgColorPicker::OnSwatchClicked(UINT id) {
    GuardOperation(3577, [&] {
        const int slot = SlotOfControl(id);
        if (slot == 0) return;
        const COLORREF colour = m_swatches[slot - 1].m_color;
        if (colour != RGB(255, 255, 255)) {
            BarCanvas* canvas = GetBarCanvas();
            KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
            if (canvas) {
                canvas->SetRenderWaitCursor(false);
                canvas->SetColor(design ? design->GetFirstSelected() : nullptr, colour, true);
                if (m_pColorBar) m_pColorBar->ClearIndicator();
                canvas->SetRenderWaitCursor(true);
                m_visitChanged = true;
            }
            if (m_pColorBar) m_pColorBar->UpdateFromSelection(nullptr);
        }
        m_selectedSlot = slot;
        for (int i = 0; i < 8; ++i) m_swatches[i].m_selected = (i == slot - 1);
        RepaintSwatches();
    });
}

void DlgColorPicker::RepaintSwatches() {
    CRect area;
    m_groups[2].GetWindowRect(&area);
    ScreenToClient(&area);
    area.DeflateRect(6, 6);
    RedrawWindow(&area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void DlgColorPicker::OnAddCustomColor() {
    GuardOperation(3578, [&] {
        if (m_selectedSlot == 0) m_selectedSlot = 1;
        m_swatches[m_selectedSlot - 1].m_color = GetColor();
        RepaintSwatches();
        StoreCustomColors();
    });
}

void DlgColorPicker::StoreCustomColors() {
    for (int i = 0; i < 8; ++i) g_customColors[7 - i] = m_swatches[i].m_color;
}

void DlgColorPicker::BeginVisit() {
    BarCanvas* canvas = GetBarCanvas();
    if (m_undoOpen || !canvas) return;
    canvas->BeginUndoStep();
    canvas->RecordUndoValue("prevOrder");
    canvas->RecordUndoValue("prevColor");
    m_undoOpen = true;
    m_visitChanged = false;
}

void DlgColorPicker::EndVisit() {
    BarCanvas* canvas = GetBarCanvas();
    if (!m_undoOpen) return;
    m_undoOpen = false;
    if (!canvas) return;
    if (!m_visitChanged) {
        // A visit that changed nothing leaves the undo list and its redo tail as they were.
        canvas->DiscardUndoStep();
        return;
    }
    canvas->RecordUndoValue("nextColor");
    canvas->RecordUndoValue("nextOrder");
    canvas->EndUndoStep();
}

void DlgColorPicker::OnShowWindow(BOOL show, UINT status) {
    GuardOperation(3579, [&] {
        Default();
        (void)status;
        if (show) BeginVisit();
    });
}

void DlgColorPicker::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    GuardOperation(3581, [&] {
        Default();
        (void)other;
        (void)minimized;
        if (state != WA_INACTIVE) {
            if (IsWindowVisible()) BeginVisit();
        } else {
            EndVisit();
        }
    });
}

void DlgColorPicker::RememberPosition() {
    CRect window;
    GetWindowRect(&window);
    g_dialogPositions[kColorDialogPos].x = window.left < 0 ? 0 : window.left;
    g_dialogPositions[kColorDialogPos].y = window.top < 0 ? 0 : window.top;
}

void DlgColorPicker::OnOK() {
    GuardOperation(3582, [&] {
        RememberPosition();
        const RgbColor rgb = HsbToRgb(m_hue, m_saturation, m_brightness);
        m_red = rgb.red;
        m_green = rgb.green;
        m_blue = rgb.blue;
        BarCanvas* canvas = GetBarCanvas();
        if (HWND view = canvas ? canvas->GetViewWindow() : nullptr) ::SetFocus(view);
        // Giving the view the focus deactivates the picker, which closes the visit's step; it
        // is closed here as well when the focus could not move.
        EndVisit();
        ShowWindow(SW_HIDE);
    });
}

void DlgColorPicker::OnCancel() {
    GuardOperation(3583, [&] {
        BarCanvas* canvas = GetBarCanvas();
        if (m_undoOpen && canvas) {
            const bool changed = m_visitChanged;
            EndVisit();
            // The visit's colours are taken back at once.
            if (changed) canvas->ApplyUndoStep(false);
        }
        RememberPosition();
        if (HWND view = canvas ? canvas->GetViewWindow() : nullptr) ::SetFocus(view);
        ShowWindow(SW_HIDE);
    });
}

void DlgColorPicker::OnDestroy() {
    GuardOperation(3584, [&] {
        delete m_wheelImage;
        m_wheelImage = nullptr;
        m_barBitmap.Free();
        m_initialised = false;
        Default();
    });
}
