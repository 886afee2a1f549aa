// The base of every dialog of the application: puts the dialog under the theming engine when its
// window is created, paints the background with the shared texture (or the glass tint), keeps the
// caption in the form the visual style wants, and re-themes the themed child controls when the
// theme or desktop composition changes.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Win.h"

class AeroDialog : public CDialog {
public:
    AeroDialog(UINT templateId, CWnd* parent);
    ~AeroDialog() override;

    // 0: off; 1: the client area becomes glass while desktop composition is on. Set it before the
    // window is created.
    int m_glassMode = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The theme-state pass: the caption on creation (message 0), WM_SETTEXT and WM_SYSCOLORCHANGE;
    // glass and the children's looks on creation and WM_DWMCOMPOSITIONCHANGED.
    void UpdateThemeState(UINT message);
    // Trims blanks on both sides; one leading blank when the application is not themed.
    void UpdateCaption();
    // Extends the frame over the whole client area; true when the window manager agrees.
    bool ExtendGlassFrame();
    bool IsGlassOn() const { return m_glassOn != 0; }

    static BOOL CALLBACK ThemeChildControl(HWND child, LPARAM dialog);
    static BOOL CALLBACK ExcludeChildFromClip(HWND child, LPARAM dialog);

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

private:
    Gdiplus::Region* m_clipRegion = nullptr;
    int m_lastGdipStatus = 0;
    int m_glassOn = 0;
    BYTE m_updateGuard = 0;
};
