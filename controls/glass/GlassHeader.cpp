// Header controls on glass: printed through the shared buffered step.
#include "controls/glass/GlassInternal.h"

namespace {

LRESULT CALLBACK GlassHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassHeaderProc, &block, &result))
        return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    GlassPaintWindowBuffered(window, (block->flags & kGlassBlackFrame) != 0);
    return 1;
}

}  // namespace

BOOL GlassSubclassHeader(HWND control) {
    return SubclassChild(control, &GlassHeaderProc, 0);
}
