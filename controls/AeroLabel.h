// AeroLabel: the static text of every dialog. It renders its text once into a cached bitmap over
// the dialog's texture (or the glass tint), sizes its window to the text, and can act as a
// hyperlink: hand cursor, underline, a raised frame while the pointer is over it, and on a click
// either opens its target through the shell or tells its parent (kLabelClickMessage).
//
// Owners set the public flags and call EnableLink/SetLink before SubclassDlgItem; later text and
// font changes go through ordinary SetWindowText and WM_SETFONT.
#pragma once

#include <windows.h>

#include "controls/CachedSurface.h"
#include "controls/ThemedControl.h"
#include "framework/Win.h"

// Sent to the parent when a link label without a target is clicked: WPARAM 1, LPARAM the address
// of two 32-bit integers (x, y in the label's client coordinates), valid only during the call.
const UINT kLabelClickMessage = WM_USER + 21;

class AeroLabel : public ThemedControl<CStatic> {
public:
    AeroLabel();
    ~AeroLabel() override;

    // Set before subclassing.
    BYTE m_darkText = 0;      // RGB(57,57,57) text whatever the enabled state
    BYTE m_standardFont = 1;  // the regular dialog font; clear: the DPI-scaled one
    BYTE m_fixedSize = 0;     // the window keeps its size: no sizing to text, no glow margin
    BYTE m_underline = 0;
    COLORREF m_backgroundColour = 0;  // 0: the dialog texture; otherwise a solid fill
    CString m_text;                   // when not empty at initialisation it becomes the window text

    void EnableLink();
    void SetLink(CString target, CString text);
    bool HasLink() const { return !m_linkTarget.IsEmpty(); }
    bool HasGlowMargin() const { return m_glowMarginApplied != 0; }
    bool IsLinkMode() const { return m_linkMode != 0; }
    bool IsGlassRendering() const { return m_glassRendering != 0; }
    bool IsPressed() const { return m_pressed != 0; }
    // Re-decides the glass look and the glow margin (the dialog base calls it on theme changes).
    void UpdateTheme();

    // The DrawText format that the window's styles ask for.
    UINT GetDrawTextFormat() const;
    // Replaces every "\r\n\r\n" by "\r\n \r\n" in one left-to-right pass, so that an empty line
    // keeps its height in the controls that measure and draw it.
    static CString PadEmptyLines(const CString& text);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    HBRUSH CtlColor(CDC* dc, UINT ctlType);
    void OnEnable(BOOL enable);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);

    DECLARE_MESSAGE_MAP()

private:
    void InitControl() override;
    void PrepareCreatedWindow() override;
    void SizeToText();
    void SetGlowMargin(bool on);
    void Render();
    void RenderGlass();
    void ReleaseBitmaps();
    void RedrawNow();
    bool IsHovered() const { return m_hWnd && ::GetCapture() == m_hWnd; }

    int m_onGlass = 0;
    int m_glassRendering = 0;
    BYTE m_enabled = 1;
    BYTE m_linkMode = 0;
    CachedSurface m_glass;   // the text with its glow on the glass tint
    CachedSurface m_normal;  // the text on the dialog's background
    BYTE m_glowMarginApplied = 0;
    BYTE m_initialised = 0;
    BYTE m_pressed = 0;
    CString m_linkTarget;
};
