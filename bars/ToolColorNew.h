// CToolColorNew: the "Color Toolbar". A fixed palette of colour swatches (the pixels of a bitmap
// resource) and a "Custom Color" button that opens the colour picker. Pointing at a swatch
// highlights it; clicking one gives the selected characters or object that colour as one undo
// step. The swatch of the selection's colour is framed.
#pragma once

#include "bars/DlgColorPicker.h"
#include "controls/AeroButton.h"
#include "framework/DocView.h"

class ViewObject;

// The colour bar's palette bitmap: 82 columns by 2 rows of 8 x 8 swatches on a 9-pixel pitch,
// framed by black lines.
struct PaletteImage {
    const BYTE* bits = nullptr;  // 24-bit rows
    int width = 0;
    int height = 0;
    int stride = 0;
    bool bottomUp = true;
    // The colour value of a pixel; black outside the picture.
    COLORREF At(int x, int y) const;
    bool IsEmpty() const { return bits == nullptr; }
};

class CToolColorNew : public CToolBar {
    DECLARE_DYNAMIC(CToolColorNew)
public:
    static const int kPaletteX = 5;
    static const int kPaletteY = 3;
    static const int kCellPitch = 9;

    CToolColorNew();
    ~CToolColorNew() override;

    // Builds the palette, the Custom Color button and the tool-bar room for both; the frame
    // calls it once the bar exists.
    void CreateControls();
    // Shows the colour of the object (null: the design's first selected object).
    void UpdateFromSelection(ViewObject* object);
    void ClearIndicator();

    DlgColorPicker& GetPicker() { return m_picker; }
    AeroButton& GetCustomButton() { return m_btnCustom; }
    CRect GetHoverCell() const { return m_hoverCell; }
    CRect GetIndicator() const { return m_indicator; }
    bool IsInactive() const { return m_inactive; }
    PaletteImage GetPaletteImage() const;

    // The 9 x 9 cell of the pitch grid that holds a point of the palette (bar coordinates), kept
    // inside the palette's right and bottom edges.
    static CRect CellAt(CPoint point, const CRect& palette);
    // The colour of a cell: the palette pixel at its centre.
    static COLORREF CellColor(const PaletteImage& image, const CRect& cell, const CRect& palette);
    // The frame around the first swatch (column by column, the top row first) whose colour is
    // exactly the colour, in bar coordinates; empty when the palette lacks it.
    static CRect FindSwatch(const PaletteImage& image, COLORREF colour);
    // The Custom Color button right of the palette for a desktop work area that wide: narrower
    // than 801 pixels the short "Custom" without picture.
    static CRect CustomButtonRect(int workAreaWidth, CString* text);

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnWindowPosChanged(WINDOWPOS* windowPos);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnCustomColor();
    void OnUpdateCustomColor(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    // Paints the bar (hover cell, indicator, palette, background) on a DC of its client area.
    void PaintBar(HDC dc);
    // The hover step for a point (bar coordinates).
    void TrackHover(CPoint point);
    void SetCustomButtonLook(bool active);

    DlgColorPicker m_picker;
    CBitmap m_palette;
    CBitmap m_paletteInactive;
    CPoint m_paletteOrigin{kPaletteX, kPaletteY};
    int m_cellPitch = kCellPitch;
    CRect m_paletteRect;
    CRect m_hoverCell;
    CRect m_indicator;
    bool m_inactive = false;
    int m_customLook = -1;  // the Custom Color button's look: 1 active, 0 inactive, -1 not set yet
    AeroButton m_btnCustom;
    HICON m_customIcons[2] = {nullptr, nullptr};  // images 39 and 40 of the tool images
};
