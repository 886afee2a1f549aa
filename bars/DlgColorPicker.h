// DlgColorPicker: the modeless "Custom Color" window. A hue and saturation wheel with a
// brightness bar, red/green/blue and hue/saturation/brightness fields, a well with the current
// colour and eight custom colours that persist. Every change goes at once to the selected text or
// object of the design; one visit of the window (from showing or activation to deactivation) is
// one undo step of the view, and Cancel undoes it.
#pragma once

#include <objidl.h>
#include <gdiplus.h>

#include "bars/ButtonCustomColor.h"
#include "bars/ColorPickerMath.h"
#include "bars/Dib.h"
#include "controls/AeroButton.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"

class CToolColorNew;
class ViewObject;

class DlgColorPicker : public AeroDialog {
public:
    explicit DlgColorPicker(CWnd* parent = nullptr);
    ~DlgColorPicker() override;

    // The colour bar that owns the picker (it shows the selection's colour again after a drag).
    CToolColorNew* m_pColorBar = nullptr;

    void SetColor(COLORREF colour);
    COLORREF GetColor() const;
    void Refresh();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // ---- state the tests and the colour bar read ----
    HsbColor GetHsb() const { return HsbColor{m_hue, m_saturation, m_brightness}; }
    RgbColor GetRgb() const { return RgbColor{m_red, m_green, m_blue}; }
    bool IsInitialised() const { return m_initialised; }
    bool IsUndoStepOpen() const { return m_undoOpen; }
    int GetSelectedSlot() const { return m_selectedSlot; }
    COLORREF GetSlotColor(int slot) const { return m_swatches[slot - 1].m_color; }
    CRect GetBarRect() const { return m_brightnessBar; }
    CPoint GetWheelCentre() const { return m_wheelCentre; }
    CRect GetWheelCursor() const { return m_wheelCursor; }
    CRect GetBrightnessArrow() const { return m_brightnessArrow; }
    const CDIB& GetBarBitmap() const { return m_barBitmap; }
    AeroImage& GetWell() { return m_well; }

    // The control ids of slots 1 to 8.
    static const UINT kSwatchIds[8];

    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnShowWindow(BOOL show, UINT status);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnDestroy();
    void OnEditChanged(UINT id);
    void OnSwatchClicked(UINT id);
    void OnAddCustomColor();

    DECLARE_MESSAGE_MAP()

private:
    void TrackPoint(CPoint point);
    // Gives the design the current colour (the selection), with the colour bar's indicator
    // cleared, as part of the open visit.
    void ApplyColorToDesign(ViewObject* object);
    void BeginVisit();
    void EndVisit();
    void RememberPosition();
    void PaintSurface();
    void PaintWell();
    void WriteEdits();
    void RepaintSwatches();
    void StoreCustomColors();
    int* MemberForEdit(UINT id, int* maximum);

    AeroGroupBox m_groups[5];
    AeroLabel m_labels[6];
    AeroButton m_btnOk, m_btnCancel, m_btnAdd;
    CButtonCustomColor m_swatches[8];
    AeroImage m_surface;
    AeroImage m_well;
    int m_wheelRadius = 100;
    Gdiplus::Bitmap* m_wheelImage = nullptr;
    CPoint m_wheelCentre;
    CDIB m_barBitmap;
    int m_dragMode = 0;  // 0 none, 1 wheel, 2 brightness
    CRect m_wheelCursor;
    CRect m_brightnessArrow;
    CRect m_brightnessBar;
    CRect m_wheelRect;
    int m_hue = 0, m_saturation = 0, m_brightness = 0;
    int m_red = 0, m_green = 0, m_blue = 0;
    int m_selectedSlot = 0;
    bool m_initialised = false;
    bool m_undoOpen = false;
    bool m_updatingEdits = false;
    // The visit changed the design: only then is its step kept.
    bool m_visitChanged = false;
};
