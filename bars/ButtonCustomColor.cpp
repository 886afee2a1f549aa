// The colour picker's custom-colour swatch.
#include "bars/ButtonCustomColor.h"

BEGIN_MESSAGE_MAP(CButtonCustomColor, CButton)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CButtonCustomColor::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(3580, [&] {
        CDC* dc = CDC::FromHandle(drawItem->hDC);
        CRect rect(drawItem->rcItem);
        if (m_selected) {
            dc->FrameRect(&rect, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
            rect.DeflateRect(1, 1);
            dc->FrameRect(&rect, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
            dc->DrawFocusRect(&rect);
            rect.DeflateRect(1, 1);
        } else {
            dc->Draw3dRect(&rect, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_3DHILIGHT));
            rect.DeflateRect(1, 1);
            dc->Draw3dRect(&rect, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_3DLIGHT));
            rect.DeflateRect(1, 1);
        }
        dc->FillSolidRect(&rect, m_color);
    });
}

BOOL CButtonCustomColor::OnEraseBkgnd(CDC*) {
    return TRUE;
}
