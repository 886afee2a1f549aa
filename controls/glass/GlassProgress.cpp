// Progress bars on glass: printed through the shared buffered step, then the four corner pixels
// cleared so that the rounded bar leaves them transparent.
#include "controls/glass/GlassInternal.h"
#include "controls/ThemeApi.h"

namespace {

void ClearCorners(HDC dc, const RECT& rect) {
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = GlassUx().BeginBufferedPaint(dc, &rect, BPBF_TOPDOWNDIB, &params, &paintDC);
    if (!buffer) return;
    // A new buffer holds no defined pixels: it starts from what the first paint put on the target.
    BitBlt(paintDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dc, rect.left,
           rect.top, SRCCOPY);
    const int right = rect.right - 1, bottom = rect.bottom - 1;
    PatBlt(paintDC, rect.left, rect.top, 1, 1, BLACKNESS);
    PatBlt(paintDC, right, rect.top, 1, 1, BLACKNESS);
    PatBlt(paintDC, rect.left, bottom, 1, 1, BLACKNESS);
    PatBlt(paintDC, right, bottom, 1, 1, BLACKNESS);
    GlassUx().EndBufferedPaint(buffer, TRUE);
}

LRESULT CALLBACK GlassProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassProgressProc, &block, &result))
        return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT rect = GlassWindowRectInClient(window);
        PaintBufferedAlpha(window, dc, &rect, FALSE);
        ClearCorners(dc, rect);
    }
    EndPaint(window, &ps);
    return 1;
}

}  // namespace

BOOL GlassSubclassProgress(HWND control) {
    return SubclassChild(control, &GlassProgressProc, 0);
}
