// The template preview's layout arithmetic.
#include "print/PreviewLayout.h"

#include "model/Geometry.h"

using namespace Gdiplus;

void LayoutPreviewPage(PreviewLayout& L, const RectF& design, int b, int kind) {
    L.design = design;
    const int targetW = L.target.right - L.target.left;
    const int targetH = L.target.bottom - L.target.top;
    if (L.scaleX == 0.0 && L.scaleY == 0.0) {
        int boxW = targetW, boxH = targetH;
        if (kind == kPreviewLabelStock) {
            boxW -= 2 * static_cast<int>(targetW * 0.05);
            boxH -= 2 * static_cast<int>(targetH * 0.05);
            if (boxW > boxH)
                boxW = boxH;
            else
                boxH = boxW;
        } else {
            boxW -= 2 * b;
            boxH -= 2 * b;
        }
        const SizeF fitted =
            FitSizeF(static_cast<int>(design.Width), static_cast<int>(design.Height), boxW, boxH);
        if (design.Width > 0 && design.Height > 0) {
            L.scaleX = fitted.Width / design.Width;
            L.scaleY = fitted.Height / design.Height;
        }
    }
    RectF page = ScaleRectF(design, L.scaleX, L.scaleY, 0, 0, 0, 0);
    page.X = 0;
    page.Y = 0;
    page.Width = static_cast<REAL>(static_cast<int>(page.Width));
    page.Height = static_cast<REAL>(static_cast<int>(page.Height));
    const int pageW = static_cast<int>(page.Width), pageH = static_cast<int>(page.Height);
    if (kind == kPreviewLabelStock)
        L.draw = Rect(0, 0, targetW, targetH);
    else
        L.draw = Rect(0, 0, pageW + 2 * b, pageH + 2 * b);
    L.draw.X += (targetW - L.draw.Width) / 2;
    L.draw.Y += (targetH - L.draw.Height) / 2;
    if (design.Width > 0 && design.Height > 0) {
        L.scaleX = pageW / static_cast<double>(design.Width);
        L.scaleY = pageH / static_cast<double>(design.Height);
    }
    page.X = static_cast<REAL>(static_cast<int>(0.5 * (L.draw.Width - pageW)));
    page.Y = static_cast<REAL>(static_cast<int>(0.5 * (L.draw.Height - pageH)));
    L.page = page;
    L.design.X = L.scaleX != 0.0 ? static_cast<REAL>(page.X / L.scaleX) : 0.0f;
    L.design.Y = L.scaleY != 0.0 ? static_cast<REAL>(page.Y / L.scaleY) : 0.0f;
}
