// List boxes on glass: printed through the shared buffered step; scrolling and the frame repaint
// the whole box so that no part is left drawn by the list box alone.
#include "controls/glass/GlassInternal.h"

namespace {

LRESULT CALLBACK GlassListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassListBoxProc, &block, &result))
        return result;
    switch (message) {
        case WM_PAINT:
            GlassPaintWindowBuffered(window, false);
            return 0;
        case WM_NCPAINT:
        case WM_VSCROLL:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            return result;
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

}  // namespace

BOOL GlassSubclassListBox(HWND control) {
    return SubclassChild(control, &GlassListBoxProc, 0);
}
