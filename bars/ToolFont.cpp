// CToolFont: creation of the formatting bar's controls, its update from the selection, its
// painting and its deferred show.
#include "bars/ToolFont.h"

#include <commctrl.h>

#include "bars/BarCanvas.h"
#include "bars/BarPainting.h"
#include "bars/BarText.h"
#include "bars/OptionItems.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "res/CommandIds.h"

IMPLEMENT_DYNAMIC(CToolFont, CToolBar)

BEGIN_MESSAGE_MAP(CToolFont, CToolBar)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_HSCROLL()
    ON_COMMAND(ID_IMAGE_BRING_TO_FRONT, OnBringToFront)
    ON_COMMAND(ID_IMAGE_SET_AS_BACKGROUND, OnSetAsBackground)
    ON_COMMAND_RANGE(ID_LOCK_ASPECT_RATIO, ID_UNLOCK_ASPECT_RATIO, OnAspect)
    ON_COMMAND(ID_FORMAT_CHANGE_TEMPLATE, OnChangeLabelTemplate)
    ON_COMMAND(ID_FORMAT_EDIT_DIMENSIONS, OnEditDimensions)
    ON_COMMAND_RANGE(ID_TEXT_MARGIN_0, ID_TEXT_MARGIN_3, OnTextMargin)
    ON_COMMAND_RANGE(ID_DISC1_TOP, ID_DISC1_BOTTOM, OnDiscPosition)
    ON_COMMAND_RANGE(ID_DISC1_DUPLICATE, ID_DISC1_DUPLICATE, OnDiscPosition)
    ON_COMMAND_RANGE(ID_DISC2_TOP, ID_DISC2_BOTTOM, OnDiscPosition)
    ON_COMMAND_RANGE(ID_DISC2_DUPLICATE, ID_DISC2_DUPLICATE, OnDiscPosition)
    ON_COMMAND_RANGE(ID_ANGLE_0, ID_ANGLE_270, OnAngle)
    ON_COMMAND_RANGE(ID_TRACKS_LEFT_SIDE, ID_TRACKS_DISC_TWO_COLUMNS, OnTrackLayout)
    ON_COMMAND_RANGE(ID_TRACKS_ONE_COLUMN, ID_TRACKS_TABLE_FORMAT, OnTrackLayout)
    ON_COMMAND_RANGE(ID_TRACK_TIMES, ID_TRACK_NUMBERS_TIMES, OnNumbersTimes)
    ON_COMMAND_RANGE(ID_WRAP_MULTI_LINE, ID_WRAP_WORD_WRAP, OnWrapping)
    ON_COMMAND_RANGE(ID_WRAP_SINGLE_LINE, ID_WRAP_SINGLE_LINE, OnWrapping)
    ON_COMMAND_RANGE(ID_TRACK_WRAP, ID_TRACK_WRAP, OnWrapping)
    ON_COMMAND_RANGE(ID_TEXT_LINKING_ON, ID_TEXT_LINKING_OFF, OnLinking)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FORMAT_BOLD, ID_FORMAT_ALIGN_RIGHT, OnUpdateAlwaysEnabled)
END_MESSAGE_MAP()

namespace {

const int kCaptionCentred = 0;
// The "Text Editor" bar's control-bar id in the main frame.
const UINT kTextEditorBarId = 1048;

}  // namespace

CToolFont::CToolFont() = default;

CToolFont::~CToolFont() {
    GuardOperation(3540, [&] {
        for (HICON& icon : m_buttonIcons) {
            if (icon) ::DestroyIcon(icon);
            icon = nullptr;
        }
    });
}

int CToolFont::OnCreate(LPCREATESTRUCT createStruct) {
    int result = -1;
    GuardOperation(3541, [&] {
        result = CToolBar::OnCreate(createStruct);
        if (result == -1) return;
        SwitchOffStylesBeforeVista(m_hWnd);
    });
    return result;
}

void CToolFont::CreateIconButton(CIconButton& button, LPCTSTR text, UINT id, int icon) {
    // The bar's buttons take the plain owner-drawn face in the DPI-compensated font, with the
    // picture left of a centred caption.
    button.m_plainFont = 0;
    button.m_glassRequest = 0;
    button.Create(text, WS_CHILD | BS_PUSHBUTTON | BS_OWNERDRAW, CRect(0, 0, 0, 0), this, id);
    button.m_freeCaptionLayout = kCaptionCentred;
    int slot = 0;
    while (slot < 4 && m_buttonIcons[slot]) ++slot;
    if (g_toolImageList && slot < 4) {
        m_buttonIcons[slot] = ImageList_GetIcon(g_toolImageList, icon, ILD_NORMAL);
        if (m_buttonIcons[slot]) button.SetIcon(m_buttonIcons[slot], m_buttonIcons[slot]);
    }
    button.DrawTransparent(FALSE);
}

void CToolFont::CreateOptionButton(CButtonMenu& button, UINT id, bool visible) {
    button.m_plainFont = 0;
    button.m_glassRequest = 0;
    button.Create("", WS_CHILD | BS_PUSHBUTTON | BS_OWNERDRAW | (visible ? WS_VISIBLE : 0), CRect(0, 0, 0, 0),
                  this, id);
    button.m_bShowCaption = 1;
    if (!m_optionImages.GetSafeHandle() && g_toolImageList)
        m_optionImages.Attach(ImageList_Duplicate(g_toolImageList));
    button.m_pImageList = &m_optionImages;
    button.m_freeCaptionLayout = kCaptionCentred;
}

void CToolFont::CreateControls() {
    GuardOperation(3542, [&] {
        RECT workArea = {0, 0, 0, 0};
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
        const int workHeight = workArea.bottom - workArea.top;

        CreateOptionButton(m_menuAspect, ID_IMAGE_ASPECT, false);
        m_menuAspect.SetItems(OptionLists::kAspect);

        CreateIconButton(m_btnSetAsBackground, "Set as Background", ID_IMAGE_SET_AS_BACKGROUND, 22);
        CreateIconButton(m_btnBringToFront, "Bring to Front", ID_IMAGE_BRING_TO_FRONT, 23);

        struct {
            CSliderCustom* slider;
            LPCTSTR text;
            UINT id;
            int range;
        } sliders[3] = {{&m_sliderHue, "Hue", ID_FORMAT_HUE, 180},
                        {&m_sliderSaturation, "Saturation", ID_FORMAT_SATURATION, 100},
                        {&m_sliderLightness, "Lightness", ID_FORMAT_LIGHTNESS, 100}};
        for (auto& s : sliders) {
            s.slider->Create(WS_CHILD, CRect(0, 0, 0, 0), this, s.id);
            s.slider->SetWindowText(s.text);
            s.slider->SetRange(-s.range, s.range, FALSE);
        }
        m_sliderWidth = 201;

        CreateIconButton(m_btnChangeTemplate, "Change Label Template", ID_FORMAT_CHANGE_TEMPLATE, 33);
        CreateIconButton(m_btnEditDimensions, "Edit Dimensions", ID_FORMAT_EDIT_DIMENSIONS, 36);

        CreateOptionButton(m_menuTextMargin, ID_FORMAT_TEXT_MARGIN, false);
        CreateOptionButton(m_menuDiscPosition, ID_FORMAT_DISC_POSITION, true);

        const DWORD comboStyle =
            WS_CHILD | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
        m_fontName.Create(comboStyle | CBS_SORT, CRect(0, 2, 150, static_cast<int>(workHeight * 0.69)), this,
                          ID_FORMAT_FONT_NAME);
        m_fontName.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);
        m_fontSize.Create(comboStyle, CRect(158, 2, 260, workHeight / 2), this, ID_FORMAT_FONT_SIZE);
        m_fontSize.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), FALSE);

        CreateOptionButton(m_menuAngle, ID_FORMAT_ANGLE, true);
        m_menuAngle.SetItems(OptionLists::kAngle);
        CreateOptionButton(m_menuWrapping, ID_FORMAT_WRAPPING, true);
        CreateOptionButton(m_menuLinking, ID_FORMAT_LINKING, true);
        CreateOptionButton(m_menuNumbersTimes, ID_FORMAT_NUMBERS_TIMES, true);
        m_menuNumbersTimes.SetItems(OptionLists::kNumbersTimes);
        CreateOptionButton(m_menuTrackLayout, ID_FORMAT_TRACK_LAYOUT, true);
        m_menuTrackLayout.DrawTransparent(FALSE);

        static const char* const kSizes[] = {"AutoFit", "6",  "7",  "8",  "9",  "10", "11", "12", "14", "16",
                                             "18",      "20", "22", "24", "26", "28", "30", "36", "48", "72"};
        for (const char* size : kSizes) m_fontSize.AddString(size);
    });
}

void CToolFont::UpdateFromSelection(ViewObject* object) {
    GuardOperation(3543, [&] {
        BarCanvas* canvas = GetBarCanvas();
        if (!canvas || canvas->InPrintPreview() || !AfxGetMainWnd() || !canvas->GetViewWindow()) return;
        KorvanelleDocument* design = canvas->GetDesign();
        if (!object && design) object = design->GetFirstSelected();
        if (!object || !m_hWnd) return;

        if (object->IsSide() || object->IsBoundary() || object->IsPage())
            LayoutForSide(object);
        else if (object->IsImage())
            LayoutForImage(object);
        else if (object->IsText())
            LayoutForText(object);
        else if (object->IsTrackList())
            LayoutForTrackList(object);
        else
            return;
        ++m_selectionUpdates;

        CFrameWnd* frame = GetDockingFrame();
        if (IsFloating()) {
            CWnd* main = AfxGetMainWnd();
            HMENU menu = main ? ::GetMenu(main->GetSafeHwnd()) : nullptr;
            HMENU bars = menu ? ::GetSubMenu(menu, 2) : nullptr;
            const bool ticked =
                bars && (::GetMenuState(bars, ID_VIEW_PROPERTIES_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) != 0;
            if (ticked && canvas->IsSplashDone() && frame) frame->ShowControlBar(this, TRUE, FALSE);
        } else if (m_bLayoutSettled && frame) {
            frame->RecalcLayout(TRUE);
        }
        m_bLayoutSettled = 1;

        // The Text Editor bar names its fields after the disc of the object.
        if (frame) {
            if (CBarText* textBar = dynamic_cast<CBarText*>(frame->GetControlBar(kTextEditorBarId)))
                textBar->UpdateCaptions(object);
        }
    });
}

int CToolFont::GetButtonImage(int index) const {
    UINT id = 0, style = 0;
    int image = -1;
    if (index < 0 || index >= GetToolBarCtrl().GetButtonCount()) return -1;
    GetButtonInfo(index, id, style, image);
    return image;
}

void CToolFont::SetButtonImage(int index, int image) {
    if (index < 0 || index >= GetToolBarCtrl().GetButtonCount()) return;
    UINT id = 0, style = 0;
    int old = 0;
    GetButtonInfo(index, id, style, old);
    // A rebuilt bar holds separators until the canvas shows the style buttons' state.
    if (index >= kBoldIndex && index <= kUnderlineIndex) id = ID_FORMAT_BOLD + (index - kBoldIndex);
    SetButtonInfo(index, id, TBBS_BUTTON, image);
}

void CToolFont::ShowFontName(const CString& name) {
    const int entry = name.IsEmpty() ? -1 : m_fontName.FindSortedEntry(name);
    if (entry >= 0) {
        if (m_fontName.GetCurSel() != entry) m_fontName.SetCurSel(entry);
        return;
    }
    m_fontName.SetCurSel(-1);
    m_fontName.SetWindowText(name);
}

void CToolFont::ShowFontSizeText(const CString& text) {
    m_fontSize.SetCurSel(-1);
    m_fontSize.SetWindowText(text);
}

// ---- painting ----

void CToolFont::OnPaint() {
    GuardOperation(3544, [&] {
        CPaintDC dc(this);
        const int count = GetToolBarCtrl().GetButtonCount();
        for (int i = 0; i < count; ++i) {
            UINT id = 0, style = 0;
            int width = 0;
            GetButtonInfo(i, id, style, width);
            // Separators are left out: those that host a control are the control's, and the
            // gaps between them show the background (the tool bar would etch a line there).
            if (!(style & TBBS_SEPARATOR) || width == 0) continue;
            CRect item;
            GetItemRect(i, &item);
            dc.ExcludeClipRect(&item);
        }
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    });
}

BOOL CToolFont::OnEraseBkgnd(CDC* dc) {
    GuardOperation(3545, [&] {
        if (IsWholeWindowDC(m_hWnd, dc->GetSafeHdc())) {
            PaintGripperStrip(m_hWnd, dc->GetSafeHdc());
            return;
        }
        CRect client;
        GetClientRect(&client);
        TileThemeBackground(dc->GetSafeHdc(), client, 0, 0, 1);
    });
    return FALSE;
}

void CToolFont::OnNcPaint() {
    GuardOperation(3546, [&] { PaintBarNonClient(this); });
}

void CToolFont::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(3547, [&] {
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        CDC* dc = CDC::FromHandle(draw->hdc);
        OnEraseBkgnd(dc);
    });
}

void CToolFont::OnWindowPosChanged(WINDOWPOS* windowPos) {
    GuardOperation(3548, [&] {
        if (windowPos->flags & SWP_HIDEWINDOW) CheckFrameMenuItem(ID_VIEW_PROPERTIES_TOOLBAR, false);
        if (windowPos->flags & SWP_SHOWWINDOW) CheckFrameMenuItem(ID_VIEW_PROPERTIES_TOOLBAR, true);
        Default();
    });
}

void CToolFont::OnTimer(UINT_PTR id) {
    GuardOperation(3549, [&] {
        if (id != kDeferredShowTimer) {
            Default();
            return;
        }
        KillTimer(kDeferredShowTimer);
        // A bar the user hid stays hidden; it takes its new size when it is shown.
        if ((GetStyle() & WS_VISIBLE) == 0) return;
        SetRedraw(TRUE);
        // Showing the bar again lays the frame out with the bar's new size.
        if (CFrameWnd* frame = GetDockingFrame()) frame->ShowControlBar(this, TRUE, FALSE);
    });
}
