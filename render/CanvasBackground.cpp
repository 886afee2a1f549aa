#include "render/CanvasBackground.h"

#include "controls/ThemeFill.h"
#include "model/ViewObject.h"

void ExcludeSelectionFrame(HDC dc, bool outlineAnimating, const ViewObject* firstSelected,
                           const RECT& deviceRect)
{
    if (!dc || !outlineAnimating || !firstSelected) return;
    if (!firstSelected->IsImage() && !firstSelected->IsText() && !firstSelected->IsTrackList()) return;
    HRGN frame = ::CreateRectRgn(deviceRect.left - 1, deviceRect.top - 1, deviceRect.right + 1,
                                 deviceRect.bottom + 1);
    HRGN inside = ::CreateRectRgn(deviceRect.left + 1, deviceRect.top + 1, deviceRect.right - 1,
                                  deviceRect.bottom - 1);
    if (frame && inside) {
        ::CombineRgn(frame, frame, inside, RGN_DIFF);
        ::ExtSelectClipRgn(dc, frame, RGN_DIFF);
    }
    if (frame) ::DeleteObject(frame);
    if (inside) ::DeleteObject(inside);
}

void PaintCanvasBackground(HDC dc)
{
    if (!dc) return;
    ::SelectClipRgn(dc, nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    RECT box;
    if (::GetClipBox(dc, &box) == ERROR) return;
    TileThemeBackground(dc, box, 0, 0, 2);
}
