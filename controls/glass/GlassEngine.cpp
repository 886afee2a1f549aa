#include "controls/glass/GlassEngine.h"
#include "framework/win/ScopedGdi.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <cstring>

#include "controls/ThemeApi.h"
#include "controls/glass/GlassInternal.h"

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif

namespace {

int g_compositionOverride = -1;

struct ClassEntry {
    const char* name;
    DWORD bit;
    BOOL (*subclass)(HWND);
};

const ClassEntry kClasses[] = {
    {"Static", kGlassClassStatic, &GlassSubclassStatic},
    {"Button", kGlassClassButton, &GlassSubclassButton},
    {"ListBox", kGlassClassListBox, &GlassSubclassListBox},
    {"SysListView32", kGlassClassListView, &GlassSubclassListView},
    {"SysHeader32", kGlassClassHeader, &GlassSubclassHeader},
    {"Edit", kGlassClassEdit, &GlassSubclassEdit},
    {"ComboBox", kGlassClassCombo, &GlassSubclassCombo},
    {"ComboBoxEx32", kGlassClassCombo, &GlassSubclassComboEx},
    {"SysAnimate32", kGlassClassAnimate, &GlassSubclassAnimate},
    {"msctls_trackbar32", kGlassClassTrackbar, &GlassSubclassSlider},
    {"msctls_updown32", kGlassClassUpDown, &GlassSubclassSpin},
    {"SysIPAddress32", kGlassClassIPAddress, &GlassSubclassIPAddress},
    {"SysDateTimePick32", kGlassClassDatePick, &GlassSubclassDatePick},
    {"SysTreeView32", kGlassClassTreeView, &GlassSubclassTree},
    {"msctls_progress32", kGlassClassProgress, &GlassSubclassProgress},
};

// Class names are compared up to 17 characters; a longer name never matches.
const int kClassNameLimit = 17;

void FreeBlock(HWND window, GlassSubclassBlock* block) {
    RemovePropA(window, KV_GLASS_PROP);
    LocalFree(block);
}

}  // namespace

static_assert(sizeof(void*) != 4 || sizeof(GlassSubclassBlock) == 32, "the block is eight 32-bit words");

void SetGlassCompositionOverride(int value) {
    g_compositionOverride = value;
}

bool GlassCompositionEnabled() {
    if (g_compositionOverride >= 0) return g_compositionOverride != 0;
    return g_dwmApi.DwmIsCompositionEnabled() != FALSE;
}

UINT GlassRedrawMessage() {
    return RegisterWindowMessageA(KV_GLASS_REDRAW_MESSAGE);
}

GlassSubclassBlock* GetGlassBlock(HWND window) {
    if (!window) return nullptr;
    return static_cast<GlassSubclassBlock*>(GetPropA(window, KV_GLASS_PROP));
}

UxThemeApi& GlassUx() {
    return UxTheme();
}

LRESULT GlassCallPrevious(GlassSubclassBlock* block, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    if (!block || !block->previousProc) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(block->previousProc, window, message, wParam, lParam);
}

RECT GlassWindowRectInClient(HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void GlassFlagAndPostRedraw(HWND control) {
    GlassSubclassBlock* block = GetGlassBlock(control);
    if (!block) return;
    // One posted redraw serves every control-colour message until it is handled.
    if (block->flags & kGlassRedrawPending) return;
    block->flags |= kGlassRedrawPending;
    PostMessageA(control, block->redrawMessage, 0, 0);
}

DTTOPTS GlassGlowTextOptions() {
    DTTOPTS options;
    std::memset(&options, 0, sizeof(options));
    options.dwSize = sizeof(options);
    options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
    options.crText = 0xFFFFFF;
    options.iGlowSize = 12;
    int glow = 0;
    if (GlassUx().GetTextGlowSize(&glow, nullptr) && glow > 0) options.iGlowSize = glow;
    return options;
}

void GlassWindowTextW(HWND window, wchar_t* buffer, int size) {
    if (size <= 0) return;
    buffer[0] = 0;
    GetWindowTextW(window, buffer, size);
}

bool GlassControlPrologue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC self,
                          GlassSubclassBlock** block, LRESULT* result) {
    GlassSubclassBlock* own = GetGlassBlock(window);
    *block = own;
    if (!own) {
        *result = DefWindowProcA(window, message, wParam, lParam);
        return true;
    }
    if (message == WM_DESTROY || message == WM_NCDESTROY) {
        WNDPROC previous = own->previousProc;
        // Unhooked only while on top; under another subclasser the block stays until the last
        // message, and is freed then (the procedure stays in the chain, harmlessly).
        if (!RemoveSubclass(window, self, own) && message == WM_NCDESTROY) FreeBlock(window, own);
        *result = previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                           : DefWindowProcA(window, message, wParam, lParam);
        return true;
    }
    if (GetGlassBlock(GetParent(window)) && !GlassCompositionEnabled()) {
        *result = GlassCallPrevious(own, window, message, wParam, lParam);
        return true;
    }
    return false;
}

BOOL EnableGlassSubclass(HWND window, DWORD flags, DWORD reserved) {
    if (!window || !IsWindow(window) || reserved != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A dialog already under the engine keeps its block; the second call only fails.
    if (GetGlassBlock(window)) {
        SetLastError(ERROR_ALREADY_INITIALIZED);
        return FALSE;
    }
    const UINT redraw = GlassRedrawMessage();
    if (!redraw) return FALSE;

    auto* block = static_cast<GlassSubclassBlock*>(LocalAlloc(LPTR, sizeof(GlassSubclassBlock)));
    if (!block) return FALSE;
    if (GlassCompositionEnabled() && !(flags & kGlassFlagNoGlass)) {
        MARGINS margins = {-1, -1, -1, -1};
        g_dwmApi.DwmExtendFrameIntoClientArea(window, &margins);
    }

    DWORD error = 0;
    bool paintStarted = false;
    const HRESULT init = GlassUx().BufferedPaintInit();
    if (FAILED(init)) {
        error = static_cast<DWORD>(init);
    } else {
        paintStarted = true;
        block->dwmApi = &g_dwmApi;
        block->uxThemeApi = g_uxThemeApi;
        block->redrawMessage = redraw;
        block->lastSelStart = -1;
        block->lastSelEnd = -1;
        if (flags & kGlassFlagNoGlass) block->flags |= kGlassNoGlass;
        if (!SetPropA(window, KV_GLASS_PROP, block))
            error = GetLastError() ? GetLastError() : ERROR_OUTOFMEMORY;
    }
    if (!error) {
        GlassEnumRecord record = {&error, flags, window};
        EnumChildWindows(window, &SubclassChildByClass, reinterpret_cast<LPARAM>(&record));
    }
    if (!error) {
        block->previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        SetLastError(0);
        if (SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GlassSubclassDialogProc)) ||
            GetLastError() == 0)
            return TRUE;
        error = GetLastError();
    }
    if (GetGlassBlock(window) == block) RemovePropA(window, KV_GLASS_PROP);
    if (paintStarted) GlassUx().BufferedPaintUnInit();
    LocalFree(block);
    SetLastError(error);
    return FALSE;
}

BOOL GlassSubclassControl(HWND control) {
    DWORD error = 0;
    GlassEnumRecord record = {&error, kGlassAllClasses, GetParent(control)};
    if (!GetGlassBlock(record.dialog)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return TRUE;
    }
    SubclassChildByClass(control, reinterpret_cast<LPARAM>(&record));
    return TRUE;
}

BOOL CALLBACK SubclassChildByClass(HWND window, LPARAM lParam) {
    const auto* record = reinterpret_cast<const GlassEnumRecord*>(lParam);
    if (!record || (record->error && *record->error != 0)) return TRUE;
    if (GetParent(window) != record->dialog) return TRUE;
    char name[64] = {};
    const int length = GetClassNameA(window, name, sizeof(name));
    if (length <= 0 || length > kClassNameLimit) return TRUE;
    for (const ClassEntry& entry : kClasses) {
        if (std::strcmp(name, entry.name) != 0) continue;
        if (record->classMask & entry.bit) entry.subclass(window);
        break;
    }
    return TRUE;
}

BOOL SubclassChild(HWND control, WNDPROC proc, DWORD extraFlags) {
    if (!control || !IsWindow(control) || !proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    GlassSubclassBlock* parentBlock = GetGlassBlock(GetParent(control));
    if (!parentBlock) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (GetGlassBlock(control)) {
        SetLastError(ERROR_ALREADY_INITIALIZED);
        return FALSE;
    }
    auto* block = static_cast<GlassSubclassBlock*>(LocalAlloc(LPTR, sizeof(GlassSubclassBlock)));
    if (!block) return FALSE;
    *block = *parentBlock;
    block->flags |= extraFlags;
    block->lastSelStart = -1;
    block->lastSelEnd = -1;
    block->previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    if (!SetPropA(control, KV_GLASS_PROP, block)) {
        const DWORD error = GetLastError();
        LocalFree(block);
        SetLastError(error);
        return FALSE;
    }
    SetLastError(0);
    if (!SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)) && GetLastError() != 0) {
        const DWORD error = GetLastError();
        FreeBlock(control, block);
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveSubclass(HWND control, WNDPROC proc, GlassSubclassBlock* block) {
    if (!block || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC)) != proc) return FALSE;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(block->previousProc));
    FreeBlock(control, block);
    return TRUE;
}

void PaintBufferedAlpha(HWND control, HDC dc, const RECT* rect, BOOL frame) {
    if (!dc || !rect) return;
    RECT area = *rect;
    if (frame) InflateRect(&area, 1, 1);
    UxThemeApi& ux = GlassUx();
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = ux.BeginBufferedPaint(dc, &area, BPBF_TOPDOWNDIB, &params, &paintDC);
    if (!buffer) return;
    const int width = area.right - area.left, height = area.bottom - area.top;
    PatBlt(paintDC, area.left, area.top, width, height, BLACKNESS);
    RECT windowRect = GlassWindowRectInClient(control);
    ux.BufferedPaintSetAlpha(buffer, &windowRect, 0);
    PatBlt(paintDC, area.left, area.top, width, height, WHITENESS);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC),
                 PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    if (frame) FrameRect(paintDC, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ux.BufferedPaintMakeOpaque(buffer, &area);
    ux.EndBufferedPaint(buffer, TRUE);
}

HPAINTBUFFER GlassBeginBlackBuffer(HWND window, HDC dc, RECT* client, HDC* paintDC) {
    GetClientRect(window, client);
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    *paintDC = nullptr;
    HPAINTBUFFER buffer = GlassUx().BeginBufferedPaint(dc, client, BPBF_TOPDOWNDIB, &params, paintDC);
    if (buffer) PatBlt(*paintDC, 0, 0, client->right, client->bottom, BLACKNESS);
    return buffer;
}

void GlassPrintClientOpaque(HWND window, HDC dc) {
    RECT client;
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = GlassBeginBlackBuffer(window, dc, &client, &paintDC);
    if (!buffer) return;
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC),
                 PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    GlassUx().BufferedPaintMakeOpaque(buffer, &client);
    GlassUx().EndBufferedPaint(buffer, TRUE);
}

void GlassPaintWindowBuffered(HWND window, bool frame) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT rect = GlassWindowRectInClient(window);
        PaintBufferedAlpha(window, dc, &rect, frame ? TRUE : FALSE);
    }
    EndPaint(window, &ps);
}

namespace {

LRESULT PaintDialogGlass(HWND window, GlassSubclassBlock* block) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    MARGINS margins = {-1, -1, -1, -1};
    if (dc && GlassCompositionEnabled() &&
        SUCCEEDED(g_dwmApi.DwmExtendFrameIntoClientArea(window, &margins))) {
        RECT client;
        GetClientRect(window, &client);
        PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
    }
    EndPaint(window, &ps);
    (void)block;
    return 1;
}

LRESULT RedrawControl(HWND control) {
    GlassSubclassBlock* block = GetGlassBlock(control);
    if (!block || !(block->flags & kGlassRedrawPending)) return 0;
    if (ScopedWindowDC dc(control); dc) {
        RECT rect = GlassWindowRectInClient(control);
        PaintBufferedAlpha(control, dc, &rect, (block->flags & kGlassBlackFrame) != 0);
    }
    block->flags &= ~kGlassRedrawPending;
    return 0;
}

}  // namespace

LRESULT CALLBACK GlassSubclassDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = GetGlassBlock(window);
    if (!block) return DefWindowProcA(window, message, wParam, lParam);
    const bool alwaysSeen = message == WM_COMMAND || message == WM_DWMCOMPOSITIONCHANGED ||
                            message == WM_DESTROY || message == WM_NCDESTROY;
    if (!alwaysSeen && !GlassCompositionEnabled())
        return GlassCallPrevious(block, window, message, wParam, lParam);

    if (message == block->redrawMessage && lParam && IsWindow(reinterpret_cast<HWND>(lParam)))
        return RedrawControl(reinterpret_cast<HWND>(lParam));

    switch (message) {
        case WM_COMMAND: {
            HWND control = reinterpret_cast<HWND>(lParam);
            const UINT code = HIWORD(wParam);
            if (control && GlassCompositionEnabled() && code == 1) {
                InvalidateRect(control, nullptr, TRUE);
                UpdateWindow(control);
            }
            if (GlassSubclassBlock* controlBlock = GetGlassBlock(control)) {
                if (code == 1) controlBlock->flags |= kGlassNotified;
                if (code == 2) controlBlock->flags &= ~kGlassNotified;
            }
            break;
        }
        case WM_CTLCOLOREDIT:
            GlassFlagAndPostRedraw(reinterpret_cast<HWND>(lParam));
            break;
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lParam);
            if (GlassSubclassBlock* controlBlock = GetGlassBlock(control)) {
                if (controlBlock->flags & kGlassStaticBlack)
                    return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
                if (controlBlock->flags & kGlassStaticWhite)
                    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
            }
            GlassFlagAndPostRedraw(control);
            break;
        }
        case WM_PAINT:
            if (!IsIconic(window) && !(block->flags & kGlassNoGlass)) return PaintDialogGlass(window, block);
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
                HWND listHeader = reinterpret_cast<HWND>(SendMessageA(header->hwndFrom, LVM_GETHEADER, 0, 0));
                if (listHeader) {
                    InvalidateRect(listHeader, nullptr, TRUE);
                    UpdateWindow(listHeader);
                }
            }
            break;
        }
        case WM_DESTROY:
        case WM_NCDESTROY: {
            if (message == WM_DESTROY) GlassUx().BufferedPaintUnInit();
            WNDPROC previous = block->previousProc;
            if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) ==
                &GlassSubclassDialogProc) {
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
                FreeBlock(window, block);
            } else if (message == WM_NCDESTROY) {
                // Another subclasser sits above: stay in the chain, but free the block at the end.
                FreeBlock(window, block);
            }
            return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                            : DefWindowProcA(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return GlassCallPrevious(block, window, message, wParam, lParam);
}
