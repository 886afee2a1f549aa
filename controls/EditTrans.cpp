#include "controls/EditTrans.h"

#include "controls/Sliders.h"
#include "controls/ThemeResources.h"

IMPLEMENT_DYNAMIC(CEditTrans, CEdit)

BEGIN_MESSAGE_MAP(CEditTrans, CEdit)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_CONTROL_REFLECT(EN_UPDATE, OnUpdate)
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

namespace {

CSliderCustom* OwningSlider(CWnd* edit) {
    HWND parent = ::GetParent(edit->m_hWnd);
    return parent ? dynamic_cast<CSliderCustom*>(CWnd::FromHandlePermanent(parent)) : nullptr;
}

}  // namespace

CEditTrans::CEditTrans() {
    GuardOperation(2352, [&] { m_brush.CreateSolidBrush(RGB(185, 185, 185)); });
}

CEditTrans::~CEditTrans() = default;

HBRUSH CEditTrans::CtlColor(CDC* dc, UINT) {
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    GuardOperation(423, [&] {
        ::SetBkMode(dc->m_hDC, TRANSPARENT);
        if (m_sliderMode && g_backgroundBrush) brush = g_backgroundBrush;
    });
    return brush;
}

BOOL CEditTrans::OnEraseBkgnd(CDC* dc) {
    // The text is drawn transparently: as a slider's value edit, the slider's own background
    // goes under it first, or each new value would be drawn over the old one.
    if (m_sliderMode && dc)
        if (CSliderCustom* slider = OwningSlider(this)) slider->PaintBackgroundUnder(m_hWnd, dc->m_hDC);
    return TRUE;
}

BOOL CEditTrans::PreTranslateMessage(MSG* msg) {
    BOOL consumed = FALSE;
    bool handled = false;
    GuardOperation(1096, [&] {
        if (!m_sliderMode || msg->hwnd != m_hWnd) return;
        CSliderCustom* slider = OwningSlider(this);
        if (msg->message == WM_KEYDOWN) {
            int up = 0;
            switch (msg->wParam) {
                case VK_UP:
                    up = 1;
                    break;
                case VK_DOWN:
                    up = -1;
                    break;
                case VK_PRIOR:
                    up = 10;
                    break;
                case VK_NEXT:
                    up = -10;
                    break;
                default:
                    return;
            }
            if (slider) {
                if (up > 0)
                    slider->StepUp(up);
                else
                    slider->StepDown(-up);
            }
            consumed = TRUE;
            handled = true;
        } else if (msg->message == WM_CHAR) {
            const WPARAM ch = msg->wParam;
            const bool allowed = (ch >= '0' && ch <= '9') || ch == VK_BACK || ch == '+' || ch == '-';
            if (!allowed) {
                consumed = TRUE;
                handled = true;
            }
        }
    });
    if (handled) return consumed;
    return CEdit::PreTranslateMessage(msg);
}

BOOL CEditTrans::OnMouseWheel(UINT, short delta, CPoint) {
    GuardOperation(1095, [&] {
        if (m_sliderMode) {
            if (CSliderCustom* slider = OwningSlider(this)) {
                if (delta < 0)
                    slider->StepDown(3);
                else
                    slider->StepUp(3);
            }
        }
        Default();
    });
    return TRUE;
}

void CEditTrans::OnUpdate() {
    GuardOperation(1097, [&] {
        if (!m_sliderMode) return;
        if (CSliderCustom* slider = OwningSlider(this)) slider->AnnounceValue();
    });
}

void CEditTrans::OnLButtonDown(UINT, CPoint) {
    GuardOperation(1098, [&] {
        if (m_sliderMode) Default();
    });
}
