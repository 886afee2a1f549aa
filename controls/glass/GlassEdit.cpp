// Edits on glass: repainted opaque on the redraw message that the parent posts from its
// control-colour handler; multi-line edits hide the caret while typing and repaint when the
// selection changes, so that no half-drawn caret or selection stays on glass.
#include "controls/glass/GlassInternal.h"
#include "framework/win/ScopedGdi.h"
#include "controls/ThemeApi.h"
#include "controls/glass/GlassDraw.h"

namespace {

void RepaintOpaque(HWND window) {
    ScopedWindowDC dc(window);
    if (!dc) return;
    RECT client;
    GetClientRect(window, &client);
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    UxThemeApi& ux = GlassUx();
    if (ScopedBufferedPaint<UxThemeApi> paint(ux, dc, client, BPBF_TOPDOWNDIB, &params); paint) {
        HDC paintDC = paint.Get();
        const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        const int colour = (style & (ES_READONLY | WS_DISABLED)) ? COLOR_BTNFACE : COLOR_WINDOW;
        FillRect(paintDC, &client, GetSysColorBrush(colour));
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC),
                     PRF_CHECKVISIBLE | PRF_CLIENT);
        ux.BufferedPaintMakeOpaque(paint.Buffer(), &client);
    }
}

void ShowCaretAndCheckSelection(HWND window, GlassSubclassBlock* block) {
    if (block->flags & kGlassCaretHidden) {
        ShowCaret(window);
        block->flags &= ~kGlassCaretHidden;
    }
    DWORD start = 0, end = 0;
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (static_cast<LONG>(start) != block->lastSelStart || static_cast<LONG>(end) != block->lastSelEnd) {
        block->lastSelStart = static_cast<LONG>(start);
        block->lastSelEnd = static_cast<LONG>(end);
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

LRESULT CALLBACK GlassEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassEditProc, &block, &result)) return result;
    if (message == block->redrawMessage) {
        if (!(block->flags & kGlassRedrawPending))
            return GlassCallPrevious(block, window, message, wParam, lParam);
        RepaintOpaque(window);
        // The paint may have run the parent's control-colour handler again; this redraw covers it.
        if (GlassSubclassBlock* current = GetGlassBlock(window)) current->flags &= ~kGlassRedrawPending;
        return 1;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const bool tracksCaret = (style & (ES_MULTILINE | WS_VSCROLL)) != 0;
    switch (message) {
        case WM_KEYDOWN:
            if (tracksCaret && !(block->flags & kGlassCaretHidden)) {
                HideCaret(window);
                block->flags |= kGlassCaretHidden;
            }
            return GlassCallPrevious(block, window, message, wParam, lParam);
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSELEAVE:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            if (tracksCaret) {
                if (GlassSubclassBlock* current = GetGlassBlock(window))
                    ShowCaretAndCheckSelection(window, current);
            }
            return result;
        case WM_NCPAINT:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            DrawThemedEditBorder(window, block);
            return result;
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

}  // namespace

BOOL GlassSubclassEdit(HWND control) {
    return SubclassChild(control, &GlassEditProc, 0);
}
