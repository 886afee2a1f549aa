// The message box's layout: the message beside the icon, the link and the check box below it, the
// button row under everything, and margins taken from the icon's place.
#include "controls/MessageBoxLayout.h"

#include <algorithm>

MessageBoxLayout ComputeMessageBoxLayout(const MessageBoxLayoutInput& in) {
    MessageBoxLayout out;
    const RECT& icon = in.icon;
    const int mx = icon.left, my = icon.top, g = in.glow;
    const int iconHeight = icon.bottom - icon.top;

    // The message: beside the icon, centred on it when it is shorter, else from the icon's top.
    RECT text;
    text.left = icon.left + icon.right;
    text.top = in.message.cy >= iconHeight ? icon.top : (icon.top + icon.bottom) / 2 - in.message.cy / 2;
    text.right = text.left + in.message.cx;
    text.bottom = text.top + in.message.cy;
    if (in.messageGlow) OffsetRect(&text, -g, -g);
    out.message = {text.left, text.top};
    if (in.messageGlow) InflateRect(&text, -g, -g);
    RECT last = text;

    if (in.hasLink) {
        RECT link;
        link.left = text.left - g;
        link.top = text.bottom - g / 2 + my;
        link.right = link.left + in.link.cx;
        link.bottom = link.top + in.link.cy;
        out.link = {link.left, link.top};
        InflateRect(&link, -g, -g / 2);
        last = link;
    }
    if (in.hasCheck) {
        RECT check;
        check.left = text.left;
        check.top = last.bottom + my;
        check.right = check.left + in.check.cx;
        check.bottom = check.top + in.check.cy;
        if (in.checkGlow) OffsetRect(&check, 0, -g);
        out.check = {check.left, check.top};
        if (in.checkGlow) InflateRect(&check, 0, -g);
        last = check;
    }

    int rowWidth = 0;
    for (size_t i = 0; i < in.buttons.size(); ++i) rowWidth += in.buttons[i].cx + (i > 0 ? mx / 2 : 0);
    const int right = std::max<int>(text.right, mx + rowWidth);
    const int bottom = std::max<int>(last.bottom, icon.bottom);
    const int rowTop = bottom + my;
    int x = in.centreButtons ? (right + mx) / 2 - rowWidth / 2 : right - rowWidth;
    int contentBottom = bottom;
    for (const SIZE& size : in.buttons) {
        RECT button = {x, rowTop, x + size.cx, rowTop + size.cy};
        out.buttons.push_back(button);
        x += size.cx + mx / 2;
        contentBottom = button.bottom;
    }
    out.client = {right + mx, contentBottom + my};
    return out;
}
