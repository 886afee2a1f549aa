// AeroCheck: the check box and radio button of every dialog. The system keeps drawing the button;
// the class gives it the shared dialog font and a background that shows the dialog's texture, and
// on glass (its dialog in glass mode with desktop composition on) draws the text itself with a
// glow from the visual style while the system draws only the glyph.
#pragma once

#include <windows.h>

#include "framework/win.h"

class AeroCheck : public CButton {
public:
    AeroCheck();
    ~AeroCheck() override;

    BYTE m_standardFont = 1;  // set before subclassing; clear: the DPI-scaled dialog font

    // Re-decides the glass look (the dialog base calls it on theme changes).
    void UpdateTheme();
    bool HasGlowMargin() const { return m_glowMarginApplied != 0; }
    bool IsGlassRendering() const { return m_glassRendering != 0; }
    const RECT& GetGlyphRect() const { return m_glyphRect; }

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int OnCreate(LPCREATESTRUCT createStruct);
    HBRUSH CtlColor(CDC* dc, UINT ctlType);
    void OnEnable(BOOL enable);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void InitControl();
    void SetGlowMargin(bool on);
    void RenderGlass();
    void ReleaseGlass();

    int m_onGlass = 0;
    int m_glassRendering = 0;
    CBitmap* m_glassBitmap = nullptr;
    CDC m_glassDC;
    HGDIOBJ m_glassPrevious = nullptr;
    BYTE m_glowMarginApplied = 0;
    RECT m_glyphRect = {0, 0, 0, 0};
};
