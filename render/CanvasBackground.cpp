#include "render/CanvasBackground.h"

#include "framework/win/ScopedGdi.h"

#include "model/ViewObject.h"

void CanvasBackdrop::Fill(Gdiplus::Graphics* g, int left, int top, int right, int bottom) const {
    if (!g) return;
    Gdiplus::SolidBrush grey(Gdiplus::Color(0xFF, GetRValue(kCanvasBackdropGrey),
                                            GetGValue(kCanvasBackdropGrey), GetBValue(kCanvasBackdropGrey)));
    g->FillRectangle(&grey, left, top, right - left, bottom - top);
}

void CanvasBackdrop::Tile(HDC dc, const RECT& rect) const {
    if (!dc) return;
    ScopedBrush brush(CreateSolidBrush(kCanvasBackdropGrey));
    FillRect(dc, &rect, brush);
}

void ExcludeSelectionFrame(HDC dc, bool outlineAnimating, const ViewObject* firstSelected,
                           const RECT& deviceRect) {
    if (!dc || !outlineAnimating || !firstSelected) return;
    if (!firstSelected->IsImage() && !firstSelected->IsText() && !firstSelected->IsTrackList()) return;
    ScopedRegion frame(::CreateRectRgn(deviceRect.left - 1, deviceRect.top - 1, deviceRect.right + 1,
                                       deviceRect.bottom + 1));
    ScopedRegion inside(
        ::CreateRectRgn(deviceRect.left, deviceRect.top, deviceRect.right, deviceRect.bottom));
    if (frame && inside) {
        ::CombineRgn(frame, frame, inside, RGN_DIFF);
        ::ExtSelectClipRgn(dc, frame, RGN_DIFF);
    }
}

void PaintCanvasBackground(HDC dc, const CanvasBackdrop* backdrop) {
    if (!dc) return;
    ::SelectClipRgn(dc, nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    RECT box;
    if (::GetClipBox(dc, &box) == ERROR) return;
    if (backdrop)
        backdrop->Tile(dc, box);
    else
        CanvasBackdrop().Tile(dc, box);
}
