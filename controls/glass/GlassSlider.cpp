// Trackbars on glass: channel, selection, tics and thumb drawn with the "TRACKBAR" visual style into
// one buffered paint.
#include "controls/glass/GlassInternal.h"
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "controls/ThemeApi.h"
#include "controls/glass/GlassDraw.h"

namespace {

const int kThumbParts[6] = {3, 5, 4, 6, 7, 8};
const int kThumbStates[4] = {1, 4, 2, 5};
const int kTicLength = 3;

// Position along the channel of a trackbar value, centred on where the thumb stands at that value.
int ValueToPixel(int value, int minimum, int maximum, int start, int end) {
    if (maximum <= minimum) return start;
    return start + MulDiv(value - minimum, end - start, maximum - minimum);
}

void DrawTic(HDC dc, bool vertical, int at, const RECT& channel, const RECT& thumb, DWORD style) {
    const bool both = (style & TBS_BOTH) != 0;
    const bool topOrLeft = both || (style & TBS_TOP);
    const bool bottomOrRight = both || !(style & TBS_TOP);
    const DWORD black = 0xFF000000;
    (void)channel;
    if (!vertical) {
        if (topOrLeft) DrawLineSolid(at, thumb.top - 2 - kTicLength, at, thumb.top - 2, dc, black);
        if (bottomOrRight) DrawLineSolid(at, thumb.bottom + 1, at, thumb.bottom + 1 + kTicLength, dc, black);
    } else {
        if (topOrLeft) DrawLineSolid(thumb.left - 2 - kTicLength, at, thumb.left - 2, at, dc, black);
        if (bottomOrRight) DrawLineSolid(thumb.right + 1, at, thumb.right + 1 + kTicLength, at, dc, black);
    }
}

void PaintTrackbar(HWND window, HDC dc, HTHEME theme) {
    UxThemeApi& ux = GlassUx();
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const bool vertical = (style & TBS_VERT) != 0;
    RECT client;
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = GlassBeginBlackBuffer(window, dc, &client, &paintDC);
    if (!buffer) return;
    const bool focused = GetFocus() == window;
    if (focused) DrawFocusRectGdip(&client, paintDC);

    // The channel rectangle comes back in horizontal orientation even for vertical trackbars.
    RECT channel = {};
    SendMessageA(window, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    if (vertical) channel = RECT{channel.top, channel.left, channel.bottom, channel.right};
    const int channelPart = vertical ? 2 : 1;
    SIZE thickness = {};
    if (SUCCEEDED(ux.GetThemePartSize(theme, paintDC, channelPart, 1, nullptr, TS_TRUE, &thickness))) {
        if (!vertical && thickness.cy > 0) {
            const int middle = (channel.top + channel.bottom) / 2;
            channel.top = middle - thickness.cy / 2;
            channel.bottom = channel.top + thickness.cy;
        } else if (vertical && thickness.cx > 0) {
            const int middle = (channel.left + channel.right) / 2;
            channel.left = middle - thickness.cx / 2;
            channel.right = channel.left + thickness.cx;
        }
    }
    ux.DrawThemeBackground(theme, paintDC, channelPart, 1, &channel, nullptr);

    RECT thumb = {};
    SendMessageA(window, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int minimum = static_cast<int>(SendMessageA(window, TBM_GETRANGEMIN, 0, 0));
    const int maximum = static_cast<int>(SendMessageA(window, TBM_GETRANGEMAX, 0, 0));
    const int half = vertical ? (thumb.bottom - thumb.top) / 2 : (thumb.right - thumb.left) / 2;
    const int start = (vertical ? channel.top : channel.left) + half;
    const int end = (vertical ? channel.bottom : channel.right) - half - 1;

    if (style & TBS_ENABLESELRANGE) {
        const int selStart = static_cast<int>(SendMessageA(window, TBM_GETSELSTART, 0, 0));
        const int selEnd = static_cast<int>(SendMessageA(window, TBM_GETSELEND, 0, 0));
        if (selEnd > selStart) {
            const int a = ValueToPixel(selStart, minimum, maximum, start, end);
            const int b = ValueToPixel(selEnd, minimum, maximum, start, end);
            RECT range = vertical ? RECT{channel.left + 1, a, channel.right, b + 1}
                                  : RECT{a, channel.top + 1, b + 1, channel.bottom};
            const COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
            FillRectGdip(&range, paintDC,
                         0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    }

    if (!(style & TBS_NOTICKS)) {
        std::vector<int> tics;
        tics.push_back(start);
        tics.push_back(end);
        const int count = static_cast<int>(SendMessageA(window, TBM_GETNUMTICS, 0, 0));
        for (int i = 0; i + 2 < count; ++i) {
            const int at = static_cast<int>(SendMessageA(window, TBM_GETTICPOS, i, 0));
            if (at >= 0) tics.push_back(at);
        }
        for (int at : tics) DrawTic(paintDC, vertical, at, channel, thumb, style);
    }

    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    int thumbPart = 0, thumbState = 0;
    TrackbarThumbPartState(style, PtInRect(&thumb, cursor) != FALSE, focused, &thumbPart, &thumbState);
    if (!(style & TBS_NOTHUMB))
        ux.DrawThemeBackground(theme, paintDC, thumbPart, thumbState, &thumb, nullptr);
    ux.EndBufferedPaint(buffer, TRUE);
}

LRESULT CALLBACK GlassSliderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassSliderProc, &block, &result))
        return result;
    switch (message) {
        case WM_PAINT: {
            UxThemeApi& ux = GlassUx();
            HTHEME theme = ux.OpenThemeData(window, L"TRACKBAR");
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (dc && theme) PaintTrackbar(window, dc, theme);
            EndPaint(window, &ps);
            if (theme) ux.CloseThemeData(theme);
            return 1;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            InvalidateRect(window, nullptr, FALSE);
            return result;
        case WM_NCPAINT:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
                const COLORREF c = GetSysColor(COLOR_BTNSHADOW);
                FrameOnParent(window,
                              0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
            }
            return result;
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

}  // namespace

void TrackbarThumbPartState(DWORD style, bool overThumb, bool focused, int* part, int* state) {
    int row = (style & TBS_BOTH) ? 0 : (style & TBS_TOP) ? 1 : 2;
    if (style & TBS_VERT) row += 3;
    int column = 0;
    if (style & WS_DISABLED)
        column = 3;
    else if (overThumb)
        column = 2;
    else if (focused)
        column = 1;
    *part = kThumbParts[row];
    *state = kThumbStates[column];
}

BOOL GlassSubclassSlider(HWND control) {
    return SubclassChild(control, &GlassSliderProc, 0);
}
