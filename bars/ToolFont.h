// CToolFont: the "Properties Toolbar". It shows and changes the properties of the design's first
// selected object, with a layout for each kind: the font boxes, style and alignment buttons and
// option buttons for texts and track lists; order, background, aspect and colour sliders for
// images; the label template, dimensions, text margin and disc position for sides and pages.
// Its child controls sit over separators of the tool bar.
#pragma once

#include "bars/ButtonMenu.h"
#include "bars/FontCombos.h"
#include "controls/IconButton.h"
#include "controls/Sliders.h"
#include "framework/DocView.h"

class ViewObject;

class CToolFont : public CToolBar {
    DECLARE_DYNAMIC(CToolFont)
public:
    static const UINT_PTR kDeferredShowTimer = 1105;
    // Tool-bar indexes of the style and alignment buttons in the text layouts.
    enum { kBoldIndex = 4, kItalicIndex = 5, kUnderlineIndex = 6, kAlignLeftIndex = 8 };

    CToolFont();
    ~CToolFont() override;

    CComboFont m_fontName;
    CComboFontSize m_fontSize;
    CIconButton m_btnBringToFront;
    CIconButton m_btnSetAsBackground;
    CIconButton m_btnChangeTemplate;
    CIconButton m_btnEditDimensions;
    CButtonMenu m_menuTrackLayout;
    CButtonMenu m_menuAngle;
    CButtonMenu m_menuNumbersTimes;
    CButtonMenu m_menuWrapping;
    CButtonMenu m_menuLinking;
    CButtonMenu m_menuAspect;
    CButtonMenu m_menuDiscPosition;
    CButtonMenu m_menuTextMargin;
    CSliderCustom m_sliderHue;
    CSliderCustom m_sliderSaturation;
    CSliderCustom m_sliderLightness;
    int m_sliderWidth = 0;
    BYTE m_bLayoutSettled = 1;
    // Times the bar was laid out for a selection (the tests count them).
    unsigned m_selectionUpdates = 0;
    int m_sliderPressPos = 0;

    void CreateControls();
    void UpdateFromSelection(ViewObject* object);
    void LayoutForSide(ViewObject* object);
    void LayoutForImage(ViewObject* object);
    // The selection's font size in the size box (a text's, a track list's).
    void ShowFontSizeOf(const ViewObject* object);
    void LayoutForText(ViewObject* object);
    void LayoutForTrackList(ViewObject* object);
    bool PlaceControl(CWnd* control, int x, int& width);
    bool PlaceSlider(CSliderCustom* slider, int x, int& width, int sliderWidth = -1);

    // ---- what the canvas shows on the bar ----
    // The image index a tool-bar button shows (-1 for none).
    int GetButtonImage(int index) const;
    // Sets the picture of a tool-bar button (of the bold, italic and underline buttons the
    // canvas shows the selection's state with).
    void SetButtonImage(int index, int image);
    // The font box selects the exact entry of a name, else shows the name as its text (empty
    // when the selection mixes names).
    void ShowFontName(const CString& name);
    void ShowFontSizeText(const CString& text);

    // ---- slider rules ----
    // A dragged position from -3 to 3 snaps to 0.
    static int SnapSliderPosition(int position);
    // The position limited to the range; *clamped tells whether it was outside.
    static int ClampSliderPosition(int position, int minimum, int maximum, bool* clamped);
    // The text a value box shows for a clamped typed value: "+" kept in front of a positive
    // value when the typed text began with it.
    static CString ClampedValueText(int value, const CString& typedText);

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnWindowPosChanged(WINDOWPOS* windowPos);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    void OnSliderChange(CSliderCustom* slider, int position, UINT code);

    void OnBringToFront();
    void OnSetAsBackground();
    void OnAspect(UINT id);
    void OnChangeLabelTemplate();
    void OnEditDimensions();
    void OnTextMargin(UINT id);
    void OnDiscPosition(UINT id);
    void OnAngle(UINT id);
    void OnTrackLayout(UINT id);
    void OnNumbersTimes(UINT id);
    void OnWrapping(UINT id);
    void OnLinking(UINT id);
    void OnUpdateAlwaysEnabled(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void CreateIconButton(CIconButton& button, LPCTSTR text, UINT id, int icon);
    void CreateOptionButton(CButtonMenu& button, UINT id, bool visible);
    // Shows or hides a control; true when that changed its visibility.
    static bool ShowControl(CWnd& control, bool show);
    // The right edge of the main window in the bar's client coordinates.
    int FrameRightEdge() const;
    // Captions back on for an option button whose caption was switched off; true when it was.
    bool RestoreCaption(CButtonMenu& button);
    void SwitchCaptionOff(CButtonMenu& button);
    // Places the buttons in a row from x, each followed by 8 pixels; turns captions off from the
    // right while the row would end less than 5 pixels inside the frame. Returns whether
    // anything moved, resized or lost its caption.
    bool PlaceOptionRow(CButtonMenu* const* buttons, int count, int x, int* widths);
    void SetFormatButtons(ViewObject* object);
    void PressFormatButton(CPoint point);
    // Opens an undo step, runs the change and closes the step.
    template <class Fn>
    void InStep(Fn change);

    HICON m_buttonIcons[4] = {nullptr, nullptr, nullptr, nullptr};
    // The option buttons' pictures: the bar's own copy of the shared tool pictures, which the
    // buttons keep a pointer to for as long as they live (a temporary wrapper of the shared list
    // would be freed at the next idle time).
    CImageList m_optionImages;
};
