// IP address controls on glass: the control paints its fields, then its background is redrawn white
// with a black dot after every field but the first, and its edits are put under the engine.
#include "controls/glass/GlassInternal.h"
#include <vector>

#include "controls/ThemeApi.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

namespace {

BOOL CALLBACK CollectField(HWND child, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    return TRUE;
}

void PaintDots(HWND window) {
    ScopedWindowDC dc(window);
    if (!dc.Get()) return;
    RECT client;
    GetClientRect(window, &client);
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    ScopedBufferedPaint<UxThemeApi> buffer(GlassUx(), dc, client, BPBF_TOPDOWNDIB, &params);
    if (!buffer) return;
    HDC paintDC = buffer.Get();
    PatBlt(paintDC, 0, 0, client.right, client.bottom, WHITENESS);
    std::vector<HWND> fields;
    EnumChildWindows(window, &CollectField, reinterpret_cast<LPARAM>(&fields));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    ScopedSelect fontSelection(paintDC, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(paintDC, &metrics);
    fontSelection.Restore();
    for (size_t i = 1; i < fields.size(); ++i) {
        RECT field;
        GetWindowRect(fields[i], &field);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&field), 2);
        const int bottom = metrics.tmHeight + metrics.tmExternalLeading + field.top;
        // FillRectGdip fills width - 1 by height - 1, so the rectangle is one larger than the dot.
        RECT dot = {field.right, bottom - 2, field.right + 3, bottom + 1};
        FillRectGdip(&dot, paintDC, 0xFF000000);
    }
    GlassUx().BufferedPaintMakeOpaque(buffer.Buffer(), &client);
}

BOOL CALLBACK SubclassField(HWND child, LPARAM) {
    GlassSubclassEdit(child);
    return TRUE;
}

LRESULT CALLBACK GlassIPAddressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassIPAddressProc, &block, &result))
        return result;
    switch (message) {
        case WM_PAINT:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            PaintDots(window);
            return result;
        case WM_NCPAINT:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            DrawThemedEditBorder(window, block);
            return result;
        case WM_CTLCOLOREDIT:
            GlassFlagAndPostRedraw(reinterpret_cast<HWND>(lParam));
            return GlassCallPrevious(block, window, message, wParam, lParam);
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

}  // namespace

BOOL GlassSubclassIPAddress(HWND control) {
    if (!SubclassChild(control, &GlassIPAddressProc, 0)) return FALSE;
    EnumChildWindows(control, &SubclassField, 0);
    return TRUE;
}
