// List views on glass: printed through the shared buffered step inside a sunken frame drawn on the
// parent; the header is repainted whenever the list view repaints its frame or scrolls.
#include "controls/glass/GlassInternal.h"
#include "framework/win/ScopedGdi.h"
#include <commctrl.h>

#include "controls/glass/GlassDraw.h"

namespace {

DWORD SysArgb(int index) {
    const COLORREF c = GetSysColor(index);
    return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void DrawSunkenFrame(HWND window) {
    HWND parent = GetParent(window);
    if (!parent) return;
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ScopedWindowDC dc(parent);
    if (!dc) return;
    // Outer line two pixels outside the control, inner line one pixel outside.
    const LONG l = r.left - 2, t = r.top - 2, rt = r.right + 1, b = r.bottom + 1;
    DrawLineSolid(l, t, rt, t, dc, SysArgb(COLOR_BTNSHADOW));
    DrawLineSolid(l, t, l, b, dc, SysArgb(COLOR_BTNSHADOW));
    DrawLineSolid(l, b, rt, b, dc, SysArgb(COLOR_BTNHIGHLIGHT));
    DrawLineSolid(rt, t, rt, b, dc, SysArgb(COLOR_BTNHIGHLIGHT));
    DrawLineSolid(l + 1, t + 1, rt - 1, t + 1, dc, SysArgb(COLOR_3DDKSHADOW));
    DrawLineSolid(l + 1, t + 1, l + 1, b - 1, dc, SysArgb(COLOR_3DDKSHADOW));
    DrawLineSolid(l + 1, b - 1, rt - 1, b - 1, dc, SysArgb(COLOR_3DLIGHT));
    DrawLineSolid(rt - 1, t + 1, rt - 1, b - 1, dc, SysArgb(COLOR_3DLIGHT));
}

void RefreshHeader(HWND window) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
    if (!header) return;
    InvalidateRect(header, nullptr, TRUE);
    UpdateWindow(header);
}

LRESULT CALLBACK GlassListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassListViewProc, &block, &result))
        return result;
    switch (message) {
        case WM_PAINT:
            GlassPaintWindowBuffered(window, (block->flags & kGlassBlackFrame) != 0);
            DrawSunkenFrame(window);
            return 1;
        case WM_NCPAINT:
        case WM_HSCROLL:
        case WM_VSCROLL:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            RefreshHeader(window);
            return result;
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

BOOL CALLBACK SubclassHeaders(HWND child, LPARAM parent) {
    char name[32] = {};
    if (GetParent(child) == reinterpret_cast<HWND>(parent) && GetClassNameA(child, name, sizeof(name)) &&
        lstrcmpA(name, "SysHeader32") == 0)
        GlassSubclassHeader(child);
    return TRUE;
}

}  // namespace

BOOL GlassSubclassListView(HWND control) {
    if (!SubclassChild(control, &GlassListViewProc, 0)) return FALSE;
    EnumChildWindows(control, &SubclassHeaders, reinterpret_cast<LPARAM>(control));
    return TRUE;
}
