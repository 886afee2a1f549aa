// CButtonCustomColor: one custom-colour swatch of the colour picker. An owner-drawn button that
// shows its colour inside a sunken double frame, or, when it is the selected slot, inside a
// black and white frame with a focus rectangle. White means the slot is empty.
#pragma once

#include "framework/Win.h"

class CButtonCustomColor : public CButton {
public:
    COLORREF m_color = RGB(255, 255, 255);
    bool m_selected = false;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()
};
