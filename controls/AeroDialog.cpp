#include "controls/AeroDialog.h"

#include "controls/AeroListImage.h"
#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "controls/ThemeApi.h"
#include "framework/graphics/Frame3d.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif

BEGIN_MESSAGE_MAP(AeroDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

AeroDialog::AeroDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {
    m_clipRegion = new Region();
    m_lastGdipStatus = m_clipRegion->GetLastStatus();
    m_glassOn = 0;
    m_glassMode = 0;
    m_updateGuard = 0;
}

AeroDialog::~AeroDialog() {
    delete m_clipRegion;
    m_clipRegion = nullptr;
}

int AeroDialog::OnCreate(LPCREATESTRUCT createStruct) {
    int result = 0;
    GuardOperation(2255, [&] {
        if (CDialog::OnCreate(createStruct) == -1) {
            result = -1;
            return;
        }
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_appIconSmall));
        // Flags 1: the engine's dialog procedure without glass, no child control under the engine.
        EnableGlassSubclass(m_hWnd, kGlassFlagNoGlass, 0);
        UpdateThemeState(0);
    });
    return result;
}

LRESULT AeroDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    GuardOperation(2261, [&] {
        const bool clearUiState = message == WM_CHANGEUISTATE && LOWORD(wParam) == UIS_CLEAR;
        // Clearing the keyboard cues would make the system repaint the controls with its own look
        // over ours; the dialog repaints itself and its children instead.
        if (!clearUiState) result = CDialog::WindowProc(message, wParam, lParam);
        UpdateThemeState(message);
        if (clearUiState)
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    });
    return result;
}

void AeroDialog::UpdateThemeState(UINT message) {
    if (m_updateGuard) return;
    m_updateGuard = 1;
    // A failing pass leaves the guard set: later passes of this dialog are skipped.
    GuardOperation(2258, [&] {
        if (message == 0 || message == WM_SETTEXT || message == WM_SYSCOLORCHANGE) UpdateCaption();
        if (message != 0 && message != WM_DWMCOMPOSITIONCHANGED) {
            m_updateGuard = 0;
            return;
        }
        if (m_glassMode == 0) {
            m_glassOn = 0;
        } else if (m_glassMode == 1) {
            const bool composition = GlassCompositionEnabled();
            if (!m_glassOn) {
                if (composition) {
                    m_glassOn = 1;
                    ExtendGlassFrame();
                }
            } else if (!composition) {
                m_glassOn = 0;
            }
        }
        ::EnumChildWindows(m_hWnd, ThemeChildControl, reinterpret_cast<LPARAM>(this));
        m_updateGuard = 0;
    });
}

void AeroDialog::UpdateCaption() {
    GuardOperation(2259, [&] {
        CString text;
        GetWindowText(text);
        text.TrimRight(" \t\n\v\f\r");
        text.TrimLeft(" \t\n\v\f\r");
        if (!g_uxTheme.IsAppThemed()) text = " " + text;
        SetWindowText(text);
    });
}

bool AeroDialog::ExtendGlassFrame() {
    MARGINS margins = {-1, -1, -1, -1};
    return g_dwmApi.DwmExtendFrameIntoClientArea(m_hWnd, &margins) >= 0;
}

BOOL CALLBACK AeroDialog::ThemeChildControl(HWND child, LPARAM dialog) {
    (void)dialog;
    CWnd* object = CWnd::FromHandlePermanent(child);
    if (!object) return TRUE;
    // Each themed class the child belongs to re-decides its look.
    if (AeroButton* button = dynamic_cast<AeroButton*>(object)) button->UpdateTheme();
    if (AeroLabel* label = dynamic_cast<AeroLabel*>(object)) label->UpdateTheme();
    if (AeroCheck* check = dynamic_cast<AeroCheck*>(object)) check->UpdateTheme();
    if (AeroImage* image = dynamic_cast<AeroImage*>(object)) image->UpdateTheme();
    if (AeroGroupBox* group = dynamic_cast<AeroGroupBox*>(object)) group->UpdateTheme();
    if (AeroIcon* icon = dynamic_cast<AeroIcon*>(object)) icon->UpdateTheme();
    if (AeroComboBox* combo = dynamic_cast<AeroComboBox*>(object)) combo->UpdateTheme();
    if (AeroListImage* list = dynamic_cast<AeroListImage*>(object)) list->UpdateTheme();
    return TRUE;
}

BOOL CALLBACK AeroDialog::ExcludeChildFromClip(HWND child, LPARAM dialog) {
    AeroDialog* self = reinterpret_cast<AeroDialog*>(dialog);
    if (!self || !self->m_clipRegion || !::IsWindowVisible(child)) return TRUE;
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, self->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    const Status status =
        self->m_clipRegion->Exclude(Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    if (status != Ok) self->m_lastGdipStatus = status;
    return TRUE;
}

namespace {

struct ChildExclusion {
    HWND dialog;
    HDC dc;
};

BOOL CALLBACK ExcludeChildFromDC(HWND child, LPARAM lParam) {
    const ChildExclusion* exclusion = reinterpret_cast<const ChildExclusion*>(lParam);
    if (!::IsWindowVisible(child)) return TRUE;
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, exclusion->dialog, reinterpret_cast<POINT*>(&r), 2);
    ::ExcludeClipRect(exclusion->dc, r.left, r.top, r.right, r.bottom);
    return TRUE;
}

}  // namespace

void AeroDialog::OnPaint() {
    GuardOperation(2262, [&] {
        ScopedWindowDC dc(m_hWnd);
        if (dc) {
            RECT client;
            GetClientRect(&client);
            if (!m_glassOn) {
                // The texture's tiles put by GDI, around the children as the clip below leaves
                // them: the pixels of a fill with the texture brush, which Wine's GDI+ works out
                // pixel by pixel (a tenth of a second for the Print dialog).
                ScopedSaveDC saved(dc);
                ChildExclusion exclusion = {m_hWnd, dc};
                ::EnumChildWindows(m_hWnd, ExcludeChildFromDC, reinterpret_cast<LPARAM>(&exclusion));
                TileThemeBackground(dc, client, 0, 0, 1);
            }
            Graphics* g = new Graphics(dc);
            if (m_clipRegion) {
                m_clipRegion->MakeInfinite();
                ::EnumChildWindows(m_hWnd, ExcludeChildFromClip, reinterpret_cast<LPARAM>(this));
                const Status status = g->SetClip(m_clipRegion, CombineModeReplace);
                if (status != Ok) m_lastGdipStatus = status;
            }
            g->SetCompositingMode(CompositingModeSourceCopy);
            if (m_glassOn) {
                SolidBrush tint{Color(g_glassTintColor)};
                g->FillRectangle(&tint, static_cast<INT>(client.left + 2), static_cast<INT>(client.top + 2),
                                 static_cast<INT>(client.right - client.left - 4),
                                 static_cast<INT>(client.bottom - client.top - 4));
                Draw3dFrame(g, static_cast<int>(client.left), static_cast<int>(client.top),
                            static_cast<int>(client.right - client.left),
                            static_cast<int>(client.bottom - client.top), true, false);
            }
            if ((GetStyle() & WS_THICKFRAME) && g_sizeGripImage) {
                g->SetCompositingMode(CompositingModeSourceOver);
                const int w = static_cast<int>(g_sizeGripImage->GetWidth());
                const int h = static_cast<int>(g_sizeGripImage->GetHeight());
                g->DrawImage(g_sizeGripImage, client.right - w, client.bottom - h, w, h);
            }
            // The surface goes before its DC is given back.
            delete g;
        }
        CPaintDC validate(this);
    });
}

BOOL AeroDialog::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return FALSE;
}
