#include "controls/AeroComboBox.h"

#include "controls/AeroDialog.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

IMPLEMENT_DYNAMIC(AeroComboBox, CComboBox)

BEGIN_MESSAGE_MAP(AeroComboBox, CComboBox)
    ON_WM_CREATE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void AeroComboBox::InitControl() {
    GuardOperation(2252, [&] {
        HFONT font = m_standardFont ? g_uiFont : g_uiScaledFont;
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        const AeroDialog* dialog =
            dynamic_cast<const AeroDialog*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
        if (dialog && dialog->m_glassMode == 1) m_mode = 1;
        UpdateTheme();
    });
}

void AeroComboBox::UpdateTheme() {
    GuardOperation(2253, [&] {
        if (m_mode == 0 && m_backgroundState != kBackgroundNone) {
            m_backgroundState = kBackgroundNone;
            return;
        }
        if (!g_uxTheme.IsAppThemed()) {
            m_backgroundState = kBackgroundNone;
            return;
        }
        if (m_mode != 1 && m_mode != 2) return;
        const bool wasNone = m_backgroundState == kBackgroundNone;
        m_backgroundState =
            (m_mode == 1 && GlassCompositionEnabled()) ? kBackgroundGlass : kBackgroundTexture;
        if (wasNone) g_uxTheme.SetWindowTheme(m_hWnd, L"Explorer", nullptr);
    });
}

HBRUSH AeroComboBox::CtlColor(CDC* dc, UINT) {
    HBRUSH brush = nullptr;
    if (m_backgroundState == kBackgroundGlass) {
        RECT client;
        GetClientRect(&client);
        FillGlassTint(dc->GetSafeHdc(), client);
        brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    } else if (m_backgroundState == kBackgroundTexture) {
        brush = g_backgroundBrush;
    }
    return brush;
}

BOOL AeroComboBox::OnEraseBkgnd(CDC*) {
    return TRUE;
}
