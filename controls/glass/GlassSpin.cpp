// Up-down controls on glass: printed into a buffer, then a one-pixel outline left transparent.
#include "controls/glass/GlassInternal.h"
#include <commctrl.h>

#include "controls/ThemeApi.h"

namespace {

void BlackStrip(HDC dc, RECT strip) {
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = GlassUx().BeginBufferedPaint(dc, &strip, BPBF_TOPDOWNDIB, &params, &paintDC);
    if (!buffer) return;
    PatBlt(paintDC, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, BLACKNESS);
    GlassUx().EndBufferedPaint(buffer, TRUE);
}

LRESULT CALLBACK GlassSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassSpinProc, &block, &result)) return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    UxThemeApi& ux = GlassUx();
    HTHEME theme = ux.OpenThemeData(window, L"Spin");
    if (theme) ux.CloseThemeData(theme);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && theme) {
        RECT client;
        HDC paintDC = nullptr;
        HPAINTBUFFER buffer = GlassBeginBlackBuffer(window, dc, &client, &paintDC);
        if (buffer) {
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC),
                         PRF_CHECKVISIBLE | PRF_CLIENT);
            ux.EndBufferedPaint(buffer, TRUE);
        }
        const LONG w = client.right, h = client.bottom;
        BlackStrip(dc, RECT{0, 0, 1, h});
        BlackStrip(dc, RECT{w - 1, 0, w, h});
        BlackStrip(dc, RECT{0, 0, w, 1});
        if (!(GetWindowLongA(window, GWL_STYLE) & UDS_HORZ)) BlackStrip(dc, RECT{0, h - 1, w, h});
    }
    EndPaint(window, &ps);
    return 1;
}

}  // namespace

BOOL GlassSubclassSpin(HWND control) {
    return SubclassChild(control, &GlassSpinProc, 0);
}
