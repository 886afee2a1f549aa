// Static controls on glass: images, rectangles and frames drawn with GDI+, text with glow, all into
// one buffered paint that starts fully transparent.
#include "controls/glass/GlassInternal.h"
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "controls/ThemeApi.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

using namespace Gdiplus;

namespace {

void DrawImage(HWND window, HDC dc, const RECT& client, DWORD style, bool icon) {
    HANDLE image =
        reinterpret_cast<HANDLE>(SendMessageA(window, STM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0));
    if (!image) return;
    std::unique_ptr<Bitmap> bitmap(icon ? Bitmap::FromHICON(static_cast<HICON>(image))
                                        : Bitmap::FromHBITMAP(static_cast<HBITMAP>(image), nullptr));
    if (!bitmap || bitmap->GetLastStatus() != Ok) return;
    const int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
    int x = 0, y = 0;
    if (style & SS_CENTERIMAGE) {
        x = (client.right - width) / 2;
        y = (client.bottom - height) / 2;
    }
    Graphics g(dc);
    g.DrawImage(bitmap.get(), x, y, width, height);
}

void PaintStatic(HWND window, HDC dc, HTHEME theme) {
    UxThemeApi& ux = GlassUx();
    RECT client;
    HDC paintDC = nullptr;
    HPAINTBUFFER buffer = GlassBeginBlackBuffer(window, dc, &client, &paintDC);
    if (!buffer) return;
    ux.BufferedPaintSetAlpha(buffer, &client, 0);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    // FillRectGdip and DrawRectGdip draw one pixel short of right and bottom; the client rectangle is
    // widened by one so that the fill covers the control.
    RECT whole = {0, 0, client.right + 1, client.bottom + 1};
    switch (style & SS_TYPEMASK) {
        case SS_ICON:
            DrawImage(window, paintDC, client, style, true);
            break;
        case SS_BITMAP:
            DrawImage(window, paintDC, client, style, false);
            break;
        case SS_BLACKRECT:
            FillRectGdip(&whole, paintDC, 0xFF000000);
            break;
        case SS_GRAYRECT:
            FillRectGdip(&whole, paintDC, 0xFF808080);
            break;
        case SS_WHITERECT:
            FillRectGdip(&whole, paintDC, 0xFFFFFFFF);
            break;
        case SS_BLACKFRAME:
            DrawRectGdip(&client, paintDC, DashStyleSolid, 0xFF000000, 1.0f);
            break;
        case SS_GRAYFRAME:
            DrawRectGdip(&client, paintDC, DashStyleSolid, 0xFF808080, 1.0f);
            break;
        case SS_WHITEFRAME:
            DrawRectGdip(&client, paintDC, DashStyleSolid, 0xFFFFFFFF, 1.0f);
            break;
        default: {
            wchar_t text[1024];
            GlassWindowTextW(window, text, sizeof(text) / sizeof(text[0]));
            DWORD format = DT_WORDBREAK;
            switch (style & SS_TYPEMASK) {
                case SS_CENTER:
                    format |= DT_CENTER;
                    break;
                case SS_RIGHT:
                    format |= DT_RIGHT;
                    break;
                case SS_LEFTNOWORDWRAP:
                case SS_SIMPLE:
                    format = DT_SINGLELINE;
                    break;
                default:
                    break;
            }
            if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_VCENTER | DT_SINGLELINE;
            switch (style & SS_ELLIPSISMASK) {
                case SS_ENDELLIPSIS:
                    format |= DT_END_ELLIPSIS;
                    break;
                case SS_PATHELLIPSIS:
                    format |= DT_PATH_ELLIPSIS;
                    break;
                case SS_WORDELLIPSIS:
                    format |= DT_WORD_ELLIPSIS;
                    break;
                default:
                    break;
            }
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
            HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
            ScopedSelect fontSelection(paintDC, font);
            const DTTOPTS options = GlassGlowTextOptions();
            RECT textRect = client;
            ux.DrawThemeTextEx(theme, paintDC, 0, 0, text, -1, format, &textRect, &options);
            fontSelection.Restore();
            if ((style & SS_SUNKEN) || (style & WS_BORDER))
                DrawRectGdip(&client, paintDC, DashStyleSolid, 0xFF000000, 1.0f);
            break;
        }
    }
    ux.EndBufferedPaint(buffer, TRUE);
}

LRESULT CALLBACK GlassStaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassStaticProc, &block, &result))
        return result;
    if (message != WM_PAINT) return GlassCallPrevious(block, window, message, wParam, lParam);
    UxThemeApi& ux = GlassUx();
    HTHEME theme = ux.OpenThemeData(nullptr, L"ControlPanelStyle");
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && theme) PaintStatic(window, dc, theme);
    EndPaint(window, &ps);
    if (theme) ux.CloseThemeData(theme);
    return 1;
}

}  // namespace

BOOL GlassSubclassStatic(HWND control) {
    return SubclassChild(control, &GlassStaticProc, 0);
}
