// AeroCheck: the check box and radio button of every dialog. The system keeps drawing the button;
// the class gives it the shared dialog font and a background that shows the dialog's texture, and
// on glass (its dialog in glass mode with desktop composition on) draws the text itself with a
// glow from the visual style while the system draws only the glyph.
#pragma once

#include <windows.h>

#include "controls/CachedSurface.h"
#include "controls/ThemedControl.h"
#include "framework/Win.h"

class AeroCheck : public ThemedControl<CButton> {
public:
    AeroCheck();
    ~AeroCheck() override;

    BYTE m_standardFont = 1;  // set before subclassing; clear: the DPI-scaled dialog font

    // Re-decides the glass look (the dialog base calls it on theme changes).
    void UpdateTheme();
    bool HasGlowMargin() const { return m_glowMarginApplied != 0; }
    bool IsGlassRendering() const { return m_glassRendering != 0; }
    const RECT& GetGlyphRect() const { return m_glyphRect; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HBRUSH CtlColor(CDC* dc, UINT ctlType);
    void OnEnable(BOOL enable);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void InitControl() override;
    void PrepareCreatedWindow() override;
    void SetGlowMargin(bool on);
    void RenderGlass();
    void ReleaseGlass();

    int m_onGlass = 0;
    int m_glassRendering = 0;
    CachedSurface m_glass;  // the text with its glow on the glass tint
    BYTE m_glowMarginApplied = 0;
    RECT m_glyphRect = {0, 0, 0, 0};
};
