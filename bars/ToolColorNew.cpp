// CToolColorNew: the colour bar with its palette and the Custom Color button.
#include "bars/ToolColorNew.h"

#include <commctrl.h>

#include "bars/BarCanvas.h"
#include "bars/BarPainting.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "res/CommandIds.h"
#include "res/FormatBarsIds.h"
#include "res/ResourceImages.h"

IMPLEMENT_DYNAMIC(CToolColorNew, CToolBar)

BEGIN_MESSAGE_MAP(CToolColorNew, CToolBar)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_COMMAND(ID_CUSTOM_COLOR, OnCustomColor)
    ON_UPDATE_COMMAND_UI(ID_CUSTOM_COLOR, OnUpdateCustomColor)
END_MESSAGE_MAP()

namespace {

const int kPaletteWidth = 739;
const int kPaletteHeight = 19;
const int kCustomImage = 39;
const int kCustomInactiveImage = 40;
const COLORREF kWhite = RGB(255, 255, 255);

COLORREF Inverse(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

// Fills the rectangle grown by 2 with the colour and frames it one pixel further out in the
// inverse colour: the look of the hover cell and of the indicator.
void DrawEnlargedSwatch(HDC dc, CRect rect, COLORREF colour) {
    CDC* cdc = CDC::FromHandle(dc);
    rect.InflateRect(2, 2);
    cdc->FillSolidRect(&rect, colour);
    rect.InflateRect(1, 1);
    CBrush frame(Inverse(colour));
    cdc->FrameRect(&rect, &frame);
}

}  // namespace

COLORREF PaletteImage::At(int x, int y) const {
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) return RGB(0, 0, 0);
    const int row = bottomUp ? height - 1 - y : y;
    const BYTE* p = bits + static_cast<size_t>(row) * stride + x * 3;
    return RGB(p[2], p[1], p[0]);
}

CToolColorNew::CToolColorNew() {
    m_picker.m_pColorBar = this;
}

CToolColorNew::~CToolColorNew() {
    GuardOperation(3550, [&] {
        for (HICON& icon : m_customIcons) {
            if (icon) ::DestroyIcon(icon);
            icon = nullptr;
        }
    });
}

CRect CToolColorNew::CellAt(CPoint point, const CRect& palette) {
    CRect cell;
    cell.left = palette.left + ((point.x - palette.left) / kCellPitch) * kCellPitch;
    cell.top = palette.top + ((point.y - palette.top) / kCellPitch) * kCellPitch;
    if (cell.left + kCellPitch > palette.right) cell.left -= kCellPitch;
    if (cell.top + kCellPitch > palette.bottom) cell.top -= kCellPitch;
    cell.right = cell.left + kCellPitch;
    cell.bottom = cell.top + kCellPitch;
    return cell;
}

COLORREF CToolColorNew::CellColor(const PaletteImage& image, const CRect& cell, const CRect& palette) {
    // The swatch's centre pixel lies 5 pixels into its cell.
    return image.At(cell.left + 5 - palette.left, cell.top + 5 - palette.top);
}

CRect CToolColorNew::FindSwatch(const PaletteImage& image, COLORREF colour) {
    for (int x = 5; x < kPaletteWidth; x += kCellPitch) {
        for (int row = 0; row < 2; ++row) {
            if (image.At(x, 5 + row * kCellPitch) == colour) {
                CRect frame(x - 5, row * kCellPitch, x + 5, row * kCellPitch + 10);
                frame.OffsetRect(kPaletteX, kPaletteY);
                return frame;
            }
        }
    }
    return CRect();
}

CRect CToolColorNew::CustomButtonRect(int workAreaWidth, CString* text) {
    const int left = kPaletteX + 3 + kPaletteWidth;
    if (workAreaWidth < 801) {
        *text = "Custom";
        return CRect(left, 3, left + 48, 22);
    }
    *text = "Custom Color";
    return CRect(left, 0, left + 94, 25);
}

PaletteImage CToolColorNew::GetPaletteImage() const {
    PaletteImage image;
    DIBSECTION section = {};
    if (!m_palette.GetSafeHandle() || ::GetObject(m_palette.GetSafeHandle(), sizeof section, &section) == 0)
        return image;
    if (section.dsBm.bmBitsPixel != 24 || !section.dsBm.bmBits) return image;
    image.bits = static_cast<const BYTE*>(section.dsBm.bmBits);
    image.width = section.dsBm.bmWidth;
    image.height = section.dsBm.bmHeight;
    image.stride = section.dsBm.bmWidthBytes;
    image.bottomUp = section.dsBmih.biHeight > 0;
    return image;
}

int CToolColorNew::OnCreate(LPCREATESTRUCT createStruct) {
    int result = -1;
    GuardOperation(3551, [&] {
        result = CToolBar::OnCreate(createStruct);
        if (result == -1) return;
        SwitchOffStylesBeforeVista(m_hWnd);
    });
    return result;
}

void CToolColorNew::CreateControls() {
    GuardOperation(3552, [&] {
        RECT workArea = {0, 0, 0, 0};
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
        HINSTANCE instance = ::GetModuleHandle(nullptr);
        m_palette.Attach(
            ::LoadImage(instance, MAKEINTRESOURCE(IDB_PALETTE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        m_paletteInactive.Attach(::LoadImage(instance, MAKEINTRESOURCE(IDB_PALETTE_INACTIVE), IMAGE_BITMAP, 0,
                                             0, LR_CREATEDIBSECTION));
        m_cellPitch = kCellPitch;

        CString text;
        const CRect button = CustomButtonRect(workArea.right - workArea.left, &text);
        const bool narrow = text == "Custom";
        const int width = button.Width();
        m_btnCustom.m_plainFont = 1;
        m_btnCustom.Create(text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, button, this, ID_CUSTOM_COLOR);
        m_btnCustom.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
        // Without visual styles the button draws its own face; until the face exists it paints
        // nothing and its area shows black.
        m_btnCustom.GenerateBackground(6, 8, 10, 0, 0);
        if (g_toolImageList) {
            m_customIcons[0] = ImageList_GetIcon(g_toolImageList, kCustomImage, ILD_NORMAL);
            m_customIcons[1] = ImageList_GetIcon(g_toolImageList, kCustomInactiveImage, ILD_NORMAL);
        }
        if (!narrow && m_customIcons[0]) m_btnCustom.SetIcon(m_customIcons[0], m_customIcons[0]);
        m_customLook = 1;
        m_btnCustom.SetTooltipText("Open the custom color dialog box.");

        m_paletteRect.SetRect(kPaletteX, kPaletteY, kPaletteX + kPaletteWidth, kPaletteY + kPaletteHeight);

        SetButtons(nullptr, 1);
        SetButtonInfo(0, ID_BAR_PLACEHOLDER, TBBS_BUTTON | TBBS_DISABLED, -1);
        SetSizes(CSize(748 + width, 25), CSize(1, 1));
    });
}

void CToolColorNew::SetCustomButtonLook(bool active) {
    if (!m_btnCustom.m_hWnd) return;
    // Only a change reaches the button: each new picture costs the system button resources.
    if (m_customLook == (active ? 1 : 0)) return;
    m_customLook = active ? 1 : 0;
    CString text;
    m_btnCustom.GetWindowText(text);
    // The short button of a narrow screen shows no picture.
    if (text != "Custom") {
        HICON icon = m_customIcons[active ? 0 : 1];
        if (icon) m_btnCustom.SetIcon(icon, icon);
    }
    m_btnCustom.EnableWindow(active);
}

void CToolColorNew::UpdateFromSelection(ViewObject* object) {
    GuardOperation(3553, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        if (!object && design) object = design->GetFirstSelected();
        if (!object) return;

        m_indicator.SetRectEmpty();
        bool single = true;
        m_inactive = false;
        COLORREF colour = kWhite;

        if (object->IsSide() || object->IsBoundary()) {
            const ViewObject* side = object;
            // A boundary strip belongs to the side its owner name names.
            if (object->IsBoundary() && design) side = design->FindObject(object->sideName);
            if (side && design && design->IsBackgroundFullSide(side)) single = false;
        }
        if (object->IsPage() || object->IsImage()) {
            colour = kWhite;
            single = false;
            m_inactive = true;
        } else if (object->IsText() || object->IsTrackList()) {
            int start = 0, end = 0;
            if (canvas) canvas->GetSelection(start, end);
            const COLORREF* run = canvas ? canvas->GetRunObject(object, start) : nullptr;
            if (run) colour = *run;
            const int count = object->GetCharCount();
            for (int i = start + 1; i < end && i < count; ++i) {
                if (i < object->charColors.GetSize() && object->charColors[i] &&
                    *object->charColors[i] != colour) {
                    single = false;
                    break;
                }
            }
        } else if (object->charColors.GetSize() > 0 && object->charColors[0]) {
            colour = *object->charColors[0];
        }

        SetCustomButtonLook(!m_inactive);
        m_picker.SetColor(colour);
        if (!m_picker.GetSafeHwnd()) m_picker.Create(IDD_COLOR_PICKER, AfxGetMainWnd());
        if (m_picker.GetSafeHwnd() && m_picker.IsWindowVisible()) m_picker.Refresh();

        if (single) m_indicator = FindSwatch(GetPaletteImage(), colour);
        if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
}

void CToolColorNew::ClearIndicator() {
    if (m_indicator.IsRectEmpty()) return;
    m_indicator.SetRectEmpty();
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CToolColorNew::PaintBar(HDC dc) {
    CRect client;
    GetClientRect(&client);
    ScopedSaveDC saved(dc);
    if (!m_hoverCell.IsRectEmpty() && !m_inactive) {
        CRect cell = m_hoverCell;
        if (::GetKeyState(VK_LBUTTON) < 0 && ::GetCapture() == m_hWnd) cell.OffsetRect(1, 1);
        DrawEnlargedSwatch(dc, cell, CellColor(GetPaletteImage(), m_hoverCell, m_paletteRect));
        cell.InflateRect(3, 3);
        ::ExcludeClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
    }
    if (!m_indicator.IsRectEmpty()) {
        DrawEnlargedSwatch(dc, m_indicator, m_picker.GetColor());
        CRect area = m_indicator;
        area.InflateRect(3, 3);
        ::ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
    CBitmap& palette = m_inactive ? m_paletteInactive : m_palette;
    if (palette.GetSafeHandle()) {
        ScopedMemoryDC memory(dc);
        memory.Select(static_cast<HBITMAP>(palette.GetSafeHandle()), false);
        ::BitBlt(dc, m_paletteOrigin.x, m_paletteOrigin.y, m_paletteRect.Width(), m_paletteRect.Height(),
                 memory, 0, 0, SRCCOPY);
    }
    ::ExcludeClipRect(dc, m_paletteRect.left, m_paletteRect.top, m_paletteRect.right, m_paletteRect.bottom);
    if (m_btnCustom.m_hWnd) {
        CRect button;
        m_btnCustom.GetWindowRect(&button);
        ScreenToClient(&button);
        ::ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
    }
    TileThemeBackground(dc, client, 0, 0, 1);
}

BOOL CToolColorNew::OnEraseBkgnd(CDC* dc) {
    GuardOperation(3554, [&] {
        if (IsWholeWindowDC(m_hWnd, dc->GetSafeHdc())) {
            PaintGripperStrip(m_hWnd, dc->GetSafeHdc());
            return;
        }
        PaintBar(dc->GetSafeHdc());
    });
    return TRUE;
}

void CToolColorNew::OnNcPaint() {
    GuardOperation(3555, [&] { PaintBarNonClient(this); });
}

void CToolColorNew::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(3556, [&] {
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage == CDDS_PREPAINT) PaintBar(draw->hdc);
    });
}

void CToolColorNew::OnWindowPosChanged(WINDOWPOS* windowPos) {
    GuardOperation(3557, [&] {
        if (windowPos->flags & SWP_HIDEWINDOW) CheckFrameMenuItem(ID_VIEW_COLOR_TOOLBAR, false);
        if (windowPos->flags & SWP_SHOWWINDOW) CheckFrameMenuItem(ID_VIEW_COLOR_TOOLBAR, true);
        Default();
    });
}

void CToolColorNew::TrackHover(CPoint point) {
    if (!m_paletteRect.PtInRect(point)) {
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        if (!m_hoverCell.IsRectEmpty()) {
            m_hoverCell.SetRectEmpty();
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        return;
    }
    const CRect cell = CellAt(point, m_paletteRect);
    if (cell == m_hoverCell) return;
    m_hoverCell = cell;
    SetCapture();
    // The repaint draws the highlighted cell over the palette.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CToolColorNew::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(3558, [&] {
        Default();
        (void)flags;
        if (m_inactive) return;
        TrackHover(point);
    });
}

void CToolColorNew::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(3559, [&] {
        (void)flags;
        if (m_inactive) return;
        if (!m_paletteRect.PtInRect(point)) {
            Default();
            return;
        }
        m_hoverCell.SetRectEmpty();
        TrackHover(point);
    });
}

void CToolColorNew::OnLButtonUp(UINT flags, CPoint point) {
    GuardOperation(3560, [&] {
        (void)flags;
        if (m_inactive) return;
        BarCanvas* canvas = GetBarCanvas();
        if (canvas && !m_hoverCell.IsRectEmpty()) {
            canvas->BeginUndoStep();
            canvas->RecordUndoValue("prevOrder");
            canvas->RecordUndoValue("prevColor");
            // The swatch's colour comes from the palette picture itself, not from what the
            // screen happens to show there.
            const COLORREF colour = CellColor(GetPaletteImage(), m_hoverCell, m_paletteRect);
            canvas->SetRenderWaitCursor(false);
            canvas->SetColor(nullptr, colour, true);
            canvas->SetRenderWaitCursor(true);
            UpdateFromSelection(nullptr);
            if (HWND view = canvas->GetViewWindow()) ::SetFocus(view);
            canvas->RecordUndoValue("nextColor");
            canvas->RecordUndoValue("nextOrder");
            canvas->EndUndoStep();
        }
        m_hoverCell.SetRectEmpty();
        TrackHover(point);
        if (!m_paletteRect.PtInRect(point)) Default();
    });
}

void CToolColorNew::OnCustomColor() {
    GuardOperation(3561, [&] {
        if (m_inactive || !m_picker.GetSafeHwnd()) return;
        m_picker.Refresh();
        m_picker.ShowWindow(SW_SHOW);
    });
}

void CToolColorNew::OnUpdateCustomColor(CCmdUI*) {
    // The button stays as the selection left it; the framework must not disable it.
}
