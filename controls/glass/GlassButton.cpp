// Buttons on glass: push buttons, check boxes, radio buttons and group boxes drawn with the "Button"
// visual style and glowing text into one buffered paint; other button types are printed through the
// shared buffered step.
#include "controls/glass/GlassInternal.h"
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "controls/ThemeApi.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

namespace {

const int kPartPush = 1, kPartRadio = 2, kPartCheck = 3, kPartGroup = 4;
const int kTmtDibData = 2;
const int kTmtBorderColor = 3801;

struct ButtonPaint {
    HWND window;
    HDC dc;
    HTHEME theme;
    RECT client;
    DWORD style;
    bool hot, focused, captured;
    int check;
    wchar_t text[512];
};

DWORD EditBorderArgb(HWND window) {
    UxThemeApi& ux = GlassUx();
    COLORREF colour = RGB(0, 0, 0);
    if (HTHEME edit = ux.OpenThemeData(window, L"Edit")) {
        ux.GetThemeColor(edit, 5, 1, kTmtBorderColor, &colour);
        ux.CloseThemeData(edit);
    }
    return 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

void PaintPush(ButtonPaint& p, const DTTOPTS& options) {
    UxThemeApi& ux = GlassUx();
    const int state = GetButtonThemeState(p.style, p.hot, p.focused, p.check, kPartPush, p.captured);
    ux.DrawThemeBackground(p.theme, p.dc, kPartPush, state, &p.client, nullptr);
    RECT content = p.client;
    ux.GetThemeBackgroundContentRect(p.theme, p.dc, kPartPush, state, &p.client, &content);
    ux.DrawThemeTextEx(p.theme, p.dc, kPartPush, state, p.text, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                       &content, &options);
    if (p.focused) {
        RECT focus = content;
        InflateRect(&focus, -3, -3);
        DrawFocusRectGdip(&focus, p.dc);
    }
}

SIZE GlyphSize(HTHEME theme, HDC dc, int part, int state) {
    UxThemeApi& ux = GlassUx();
    SIZE size = {13, 13};
    HBITMAP bitmap = nullptr;
    BITMAP info = {};
    if (SUCCEEDED(ux.GetThemeBitmap(theme, part, state, kTmtDibData, GBF_DIRECT, &bitmap)) && bitmap &&
        GetObjectA(bitmap, sizeof(info), &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    } else {
        // Styles that keep their glyphs as images of several states answer no direct bitmap.
        ux.GetThemePartSize(theme, dc, part, state, nullptr, TS_TRUE, &size);
    }
    return size;
}

void PaintCheckOrRadio(ButtonPaint& p, int part, const DTTOPTS& options) {
    UxThemeApi& ux = GlassUx();
    const int state = GetButtonThemeState(p.style, p.hot, p.focused, p.check, part, p.captured);
    const SIZE glyph = GlyphSize(p.theme, p.dc, part, state);
    const bool leftText = (p.style & BS_LEFTTEXT) != 0;
    RECT box;
    box.top = (p.client.bottom - glyph.cy) / 2;
    box.bottom = box.top + glyph.cy;
    box.left = leftText ? p.client.right - glyph.cx : 0;
    box.right = box.left + glyph.cx;
    ux.DrawThemeBackground(p.theme, p.dc, part, state, &box, nullptr);

    const int gap = 3;
    RECT textRect = p.client;
    if (leftText)
        textRect.right = box.left - gap;
    else
        textRect.left = box.right + gap;
    DWORD format = (p.style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    const DWORD horizontal = p.style & BS_CENTER;
    if (horizontal == BS_CENTER)
        format |= DT_CENTER;
    else if (horizontal == BS_RIGHT)
        format |= DT_RIGHT;
    const DWORD vertical = p.style & BS_VCENTER;
    if (vertical == BS_VCENTER || vertical == 0)
        format |= DT_VCENTER;
    else if (vertical == BS_BOTTOM)
        format |= DT_BOTTOM;
    ux.DrawThemeTextEx(p.theme, p.dc, part, state, p.text, -1, format, &textRect, &options);
    if (p.focused) {
        RECT measured = textRect;
        DrawTextW(p.dc, p.text, -1, &measured, format | DT_CALCRECT);
        // The measured text keeps the alignment of the drawn one.
        const int width = measured.right - measured.left, height = measured.bottom - measured.top;
        if (format & DT_CENTER) measured.left = textRect.left + (textRect.right - textRect.left - width) / 2;
        if (format & DT_RIGHT) measured.left = textRect.right - width;
        if (format & DT_VCENTER) measured.top = textRect.top + (textRect.bottom - textRect.top - height) / 2;
        if (format & DT_BOTTOM) measured.top = textRect.bottom - height;
        measured.right = measured.left + width;
        measured.bottom = measured.top + height;
        InflateRect(&measured, 1, 1);
        RECT clipped;
        if (IntersectRect(&clipped, &measured, &p.client)) DrawFocusRectGdip(&clipped, p.dc);
    }
}

void PaintGroup(ButtonPaint& p, const DTTOPTS& options) {
    UxThemeApi& ux = GlassUx();
    const int state = GetButtonThemeState(p.style, p.hot, p.focused, p.check, kPartGroup, p.captured);
    RECT caption = {0, 0, p.client.right, p.client.bottom};
    DrawTextW(p.dc, p.text, -1, &caption, DT_CALCRECT | DT_SINGLELINE);
    const int captionHeight = caption.bottom - caption.top;
    RECT frame = p.client;
    frame.top = captionHeight / 2;
    DrawRectGdip(&frame, p.dc, Gdiplus::DashStyleSolid, EditBorderArgb(p.window), 1.0f);
    if (p.text[0]) {
        const int indent = 8;
        RECT cut = {indent, 0, indent + (caption.right - caption.left) + 3, captionHeight};
        PatBlt(p.dc, cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top, BLACKNESS);
        RECT textRect = {indent + 1, 0, cut.right, captionHeight};
        ux.DrawThemeTextEx(p.theme, p.dc, kPartGroup, state, p.text, -1, DT_SINGLELINE, &textRect, &options);
    }
}

// The theme part a button of `style` is drawn with; 0 for the kinds drawn without one.
int ButtonPart(DWORD style) {
    int part = 0;
    switch (style & 0x0F) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            part = kPartPush;
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            part = kPartCheck;
            break;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            part = kPartRadio;
            break;
        case BS_GROUPBOX:
            part = kPartGroup;
            break;
        default:
            break;
    }
    return part;
}

// False for a button drawn with a theme part whose theme does not open for it.
bool ThemeOpensFor(HWND window) {
    if (!ButtonPart(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)))) return true;
    UxThemeApi& ux = GlassUx();
    HTHEME theme = ux.OpenThemeData(window, L"Button");
    if (!theme) return false;
    ux.CloseThemeData(theme);
    return true;
}

void PaintButton(HWND window, HDC dc, GlassSubclassBlock* block) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const int part = ButtonPart(style);
    if (!part) {
        RECT rect = GlassWindowRectInClient(window);
        PaintBufferedAlpha(window, dc, &rect, (block->flags & kGlassBlackFrame) != 0);
        return;
    }
    UxThemeApi& ux = GlassUx();
    HTHEME theme = ux.OpenThemeData(window, L"Button");
    if (!theme) return;
    ButtonPaint p = {};
    p.window = window;
    p.theme = theme;
    p.style = style;
    GetClientRect(window, &p.client);
    POINT cursor;
    RECT windowRect;
    GetCursorPos(&cursor);
    GetWindowRect(window, &windowRect);
    p.hot = PtInRect(&windowRect, cursor) != FALSE;
    p.focused = GetFocus() == window;
    p.captured = GetCapture() == window;
    p.check = static_cast<int>(SendMessageA(window, BM_GETCHECK, 0, 0));
    GlassWindowTextW(window, p.text, sizeof(p.text) / sizeof(p.text[0]));

    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    HPAINTBUFFER buffer = ux.BeginBufferedPaint(dc, &p.client, BPBF_TOPDOWNDIB, &params, &p.dc);
    if (buffer) {
        PatBlt(p.dc, 0, 0, p.client.right, p.client.bottom, BLACKNESS);
        ux.BufferedPaintSetAlpha(buffer, &p.client, 0);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
        ScopedSelect fontSelection(p.dc, font);
        const DTTOPTS options = GlassGlowTextOptions();
        if (part == kPartPush)
            PaintPush(p, options);
        else if (part == kPartGroup)
            PaintGroup(p, options);
        else
            PaintCheckOrRadio(p, part, options);
        fontSelection.Restore();
        ux.EndBufferedPaint(buffer, TRUE);
    }
    ux.CloseThemeData(theme);
}

LRESULT CALLBACK GlassButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassButtonProc, &block, &result))
        return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    // A button whose theme does not open keeps the control's own drawing rather than none.
    if (!ThemeOpensFor(window)) return GlassCallPrevious(block, window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) PaintButton(window, dc, block);
    EndPaint(window, &ps);
    return 1;
}

}  // namespace

int GetButtonThemeState(DWORD style, bool hot, bool pressed, int checkState, int part, bool captured) {
    const bool disabled = (style & WS_DISABLED) != 0;
    switch (part) {
        case kPartPush:
            if (disabled) return 4;
            if (captured && hot) return 3;
            if (captured || hot) return 2;
            if ((style & 0x0F) == BS_DEFPUSHBUTTON) return 5;
            return 1;
        case kPartRadio:
        case kPartCheck: {
            int base;
            if (checkState == BST_UNCHECKED)
                base = 0;
            else if (checkState == BST_CHECKED)
                base = 4;
            else if (part == kPartCheck && checkState == BST_INDETERMINATE)
                base = 8;
            else
                return 1;
            if (disabled) return base + 4;
            if (pressed) return base + 3;
            if (hot) return base + 2;
            return base + 1;
        }
        case kPartGroup:
            return disabled ? 2 : 1;
        default:
            return 0;
    }
}

BOOL GlassSubclassButton(HWND control) {
    return SubclassChild(control, &GlassButtonProc, 0);
}
