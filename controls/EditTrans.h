// CEditTrans: a transparent edit. As the value edit of a CSliderCustom (slider mode) it turns the
// arrow and page keys and the mouse wheel into steps of its slider, accepts only signed whole
// numbers and announces every change to the slider.
#pragma once

#include "framework/Win.h"

class CEditTrans : public CEdit {
    DECLARE_DYNAMIC(CEditTrans)
public:
    CEditTrans();
    ~CEditTrans() override;

    int m_sliderMode = 0;

    BOOL PreTranslateMessage(MSG* msg) override;

    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnUpdate();
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brush;
    BYTE m_flag = 0;
};
