// The themed look for the dialogs' statics that hold no plain text: AeroIcon (an icon over the
// dialog texture), AeroImage (a "PNG" resource, or an off-screen bitmap its dialog draws into),
// AeroGroupBox (an owner-drawn group frame with its caption) and AeroLine (an etched horizontal
// separator). The first three show the glass tint instead of the texture while their dialog is
// in glass mode and desktop composition is on.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "controls/CachedSurface.h"
#include "controls/ThemedControl.h"
#include "framework/Win.h"

class AeroIcon : public ThemedControl<CStatic> {
public:
    AeroIcon() : ThemedControl(2266, 2265) {}
    ~AeroIcon() override = default;

    void UpdateTheme();
    bool IsGlassRendering() const { return m_glassRendering != 0; }

    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    void InitControl() override;

    int m_onGlass = 0;
    int m_glassRendering = 0;
};

class AeroImage : public ThemedControl<CStatic> {
public:
    AeroImage() : ThemedControl(2271, 2270) {}
    ~AeroImage() override;

    UINT m_resourceId = 0;  // a "PNG" resource to show; set before subclassing

    void UpdateTheme();
    bool IsGlassRendering() const { return m_glassRendering != 0; }
    bool HasImage() const { return m_image != nullptr; }
    // The off-screen surface of the client's size (made on first use) selected into a memory DC;
    // null when no DC can be had. The owner draws into it and invalidates the control.
    CDC* GetMemoryDC();

    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    HBRUSH CtlColor(CDC* dc, UINT ctlType);

    DECLARE_MESSAGE_MAP()

private:
    void InitControl() override;
    CBitmap* GetBitmap();

    int m_onGlass = 0;
    int m_glassRendering = 0;
    Gdiplus::Bitmap* m_image = nullptr;
    CBitmap* m_bitmap = nullptr;
    CachedSurface m_memory;  // holds m_bitmap selected (not owned)
};

class AeroGroupBox : public CStatic {
public:
    AeroGroupBox() = default;
    ~AeroGroupBox() override = default;

    BYTE m_outerShadow = 1;    // a dark line along the bottom and right edge
    BYTE m_topLineOnly = 0;    // only the line beside the caption: no sides, no bottom
    BYTE m_normalCaption = 1;  // clear: the caption is drawn embossed as disabled text

    void UpdateTheme();
    bool IsGlassRendering() const { return m_glassRendering != 0; }
    // The height of the window text with one blank on each side, on the window's own DC (its
    // default font); the colour picker lays itself out with it.
    UINT GetCaptionExtent();

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH CtlColor(CDC* dc, UINT ctlType);

    DECLARE_MESSAGE_MAP()

private:
    int m_onGlass = 0;
    int m_glassRendering = 0;
};

class AeroLine : public CStatic {
public:
    AeroLine() = default;
    ~AeroLine() override = default;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()
};
