// Date-time pickers on glass: printed into an opaque buffer inside the paint.
#include "controls/glass/GlassInternal.h"
#include "controls/ThemeApi.h"

namespace {

LRESULT CALLBACK GlassDatePickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassDatePickProc, &block, &result))
        return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) GlassPrintClientOpaque(window, dc);
    EndPaint(window, &ps);
    return 1;
}

}  // namespace

BOOL GlassSubclassDatePick(HWND control) {
    return SubclassChild(control, &GlassDatePickProc, 0);
}
