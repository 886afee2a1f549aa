// AeroComboBox: the combo box of the dialogs and the base of the editing bars' font-name,
// font-size and track combo boxes. It takes the shared dialog font, shows the dialog's texture
// (or the glass tint) behind itself, and takes the "Explorer" visual style again when theming
// comes back on after having been off.
#pragma once

#include <windows.h>

#include "controls/ThemedControl.h"
#include "framework/Win.h"

class AeroComboBox : public ThemedControl<CComboBox> {
    DECLARE_DYNAMIC(AeroComboBox)
public:
    // Background states.
    enum { kBackgroundNone = 0, kBackgroundGlass = 1, kBackgroundTexture = 2 };

    AeroComboBox() : ThemedControl(2251, 2250) {}
    ~AeroComboBox() override = default;

    BYTE m_standardFont = 1;  // set before subclassing; clear: the DPI-scaled dialog font

    void UpdateTheme();
    int GetBackgroundState() const { return m_backgroundState; }
    int GetMode() const { return m_mode; }

    HBRUSH CtlColor(CDC* dc, UINT ctlType);
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

protected:
    void InitControl() override;

    int m_mode = 2;  // 1 in a dialog in glass mode, 2 otherwise; derived boxes may set 0 (no look)
    int m_backgroundState = kBackgroundTexture;
};
