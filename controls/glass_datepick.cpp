// Date-time pickers on glass: printed into an opaque buffer inside the paint.
#include "controls/glass_internal.h"
#include "controls/ThemeApi.h"

namespace {

LRESULT CALLBACK GlassDatePickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassDatePickProc, &block, &result)) return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT client;
        GetClientRect(window, &client);
        BP_PAINTPARAMS params = {};
        params.cbSize = sizeof(params);
        HDC paintDC = nullptr;
        HPAINTBUFFER buffer = GlassUx().BeginBufferedPaint(dc, &client, BPBF_TOPDOWNDIB, &params, &paintDC);
        if (buffer) {
            PatBlt(paintDC, 0, 0, client.right, client.bottom, BLACKNESS);
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC),
                         PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
            GlassUx().BufferedPaintMakeOpaque(buffer, &client);
            GlassUx().EndBufferedPaint(buffer, TRUE);
        }
    }
    EndPaint(window, &ps);
    return 1;
}

}  // namespace

BOOL GlassSubclassDatePick(HWND control)
{
    return SubclassChild(control, &GlassDatePickProc, 0);
}
