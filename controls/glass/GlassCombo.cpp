// Combo boxes on glass: printed through the shared buffered step; their edit fields are put under
// the engine and repainted through the redraw message.
#include "controls/glass/GlassInternal.h"

namespace {

LRESULT CALLBACK GlassComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassComboProc, &block, &result))
        return result;
    switch (message) {
        case WM_CTLCOLOREDIT:
            GlassFlagAndPostRedraw(reinterpret_cast<HWND>(lParam));
            return GlassCallPrevious(block, window, message, wParam, lParam);
        case WM_PAINT:
            GlassPaintWindowBuffered(window, (block->flags & kGlassBlackFrame) != 0);
            return 1;
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

LRESULT CALLBACK GlassComboExProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassComboExProc, &block, &result))
        return result;
    if (message == WM_CTLCOLOREDIT) GlassFlagAndPostRedraw(reinterpret_cast<HWND>(lParam));
    return GlassCallPrevious(block, window, message, wParam, lParam);
}

}  // namespace

BOOL GlassSubclassCombo(HWND control) {
    if (!SubclassChild(control, &GlassComboProc, kGlassRedrawPending)) return FALSE;
    if (HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr)) GlassSubclassEdit(edit);
    return TRUE;
}

BOOL GlassSubclassComboEx(HWND control) {
    if (!SubclassChild(control, &GlassComboExProc, 0)) return FALSE;
    if (HWND combo = FindWindowExA(control, nullptr, "ComboBox", nullptr)) GlassSubclassCombo(combo);
    return TRUE;
}
