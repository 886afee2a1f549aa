// Tree views on glass: the tree paints itself first, then is printed again into an opaque buffer.
#include "controls/glass_internal.h"
#include "controls/ThemeApi.h"
#include "controls/glass_draw.h"

namespace {

LRESULT CALLBACK GlassTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassTreeProc, &block, &result)) return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    result = GlassCallPrevious(block, window, message, wParam, lParam);
    if (HDC dc = GetWindowDC(window)) {
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
        ReleaseDC(window, dc);
    }
    DrawThemedEditBorder(window, block);
    return result;
}

}  // namespace

BOOL GlassSubclassTree(HWND control)
{
    return SubclassChild(control, &GlassTreeProc, 0);
}
