// Tree views on glass: the tree paints itself first, then is printed again into an opaque buffer.
#include "controls/glass/GlassInternal.h"
#include "controls/ThemeApi.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

namespace {

LRESULT CALLBACK GlassTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassTreeProc, &block, &result)) return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    result = GlassCallPrevious(block, window, message, wParam, lParam);
    {
        ScopedWindowDC dc(window, ScopedWindowDC::kWhole);
        if (dc) GlassPrintClientOpaque(window, dc);
    }
    DrawThemedEditBorder(window, block);
    return result;
}

}  // namespace

BOOL GlassSubclassTree(HWND control) {
    return SubclassChild(control, &GlassTreeProc, 0);
}
