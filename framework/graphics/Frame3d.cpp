#include "framework/graphics/Frame3d.h"

#include <algorithm>

#include "framework/Core.h"

using namespace Gdiplus;

COLORREF ShadeColor(COLORREF colour, int delta) {
    auto shade = [delta](int c) { return std::clamp(c + delta, 0, 255); };
    return RGB(shade(GetRValue(colour)), shade(GetGValue(colour)), shade(GetBValue(colour)));
}

namespace {

void Line(Graphics* g, COLORREF colour, int x1, int y1, int x2, int y2) {
    Pen pen(Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)), 1.0f);
    g->DrawLine(&pen, x1, y1, x2, y2);
}

}  // namespace

void Draw3dFrame(Graphics* g, int x, int y, int width, int height, bool soft, bool raised) {
    GuardOperation(2370, [&] {
        if (!g) return;
        COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
        COLORREF light = ::GetSysColor(COLOR_3DLIGHT);
        const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        if (soft) {
            shadow = ShadeColor(shadow, -10);
            dark = ShadeColor(dark, -10);
            light = ShadeColor(light, -40);
        }
        // Sunken: shadow and dark on the top and left, highlight and light on the bottom and right;
        // raised swaps them.
        const COLORREF outerTopLeft = raised ? light : shadow;
        const COLORREF innerTopLeft = raised ? highlight : dark;
        const COLORREF outerBottomRight = raised ? dark : highlight;
        const COLORREF innerBottomRight = raised ? shadow : light;
        const int r = x + width - 1, b = y + height - 1;
        Line(g, outerTopLeft, x, y, r - 1, y);
        Line(g, outerTopLeft, x, b - 1, x, y);
        Line(g, innerTopLeft, x + 1, y + 1, r - 2, y + 1);
        Line(g, innerTopLeft, x + 1, y + 1, x + 1, b - 2);
        Line(g, outerBottomRight, r, y, r, b);
        Line(g, outerBottomRight, r, b, x, b);
        Line(g, innerBottomRight, r - 1, b - 1, r - 1, y + 1);
        Line(g, innerBottomRight, r - 1, b - 1, x + 1, b - 1);
    });
}
