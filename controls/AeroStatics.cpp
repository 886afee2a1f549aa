#include "controls/AeroStatics.h"

#include <initializer_list>

#include "controls/AeroDialog.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(AeroIcon, CStatic)
    ON_WM_PAINT()
    ON_WM_CREATE()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(AeroImage, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(AeroGroupBox, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(AeroLine, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

bool ParentIsGlassDialog(HWND window) {
    const AeroDialog* dialog =
        dynamic_cast<const AeroDialog*>(CWnd::FromHandlePermanent(::GetParent(window)));
    return dialog && dialog->m_glassMode == 1;
}

// The control's client area in the look of its dialog: the glass tint, or the dialog texture
// with its tiles lined up with the dialog's own.
void FillControlBackground(HWND window, HDC dc, bool glass) {
    RECT client;
    ::GetClientRect(window, &client);
    if (!glass) {
        // Tiled by GDI: Wine's GDI+ fills with a texture brush pixel by pixel, many times slower.
        POINT origin = {0, 0};
        ::MapWindowPoints(window, ::GetParent(window), &origin, 1);
        TileThemeBackground(dc, client, -origin.x, -origin.y, 1);
        return;
    }
    Graphics g(dc);
    g.SetCompositingMode(CompositingModeSourceCopy);
    SolidBrush tint{Color(g_glassTintColor)};
    g.FillRectangle(&tint, static_cast<INT>(client.left), static_cast<INT>(client.top),
                    static_cast<INT>(client.right - client.left), static_cast<INT>(client.bottom - client.top));
}

}  // namespace

// ---- AeroIcon ----

void AeroIcon::InitControl() {
    GuardOperation(2267, [&] {
        if (ParentIsGlassDialog(m_hWnd)) m_onGlass = 1;
        UpdateTheme();
    });
}

void AeroIcon::UpdateTheme() {
    GuardOperation(2268, [&] { m_glassRendering = (m_onGlass && GlassCompositionEnabled()) ? 1 : 0; });
}

void AeroIcon::OnPaint() {
    GuardOperation(378, [&] {
        CPaintDC paint(this);
        FillControlBackground(m_hWnd, paint.GetSafeHdc(), m_glassRendering != 0);
        HICON icon = reinterpret_cast<HICON>(SendMessage(STM_GETICON, 0, 0));
        if (icon) ::DrawIconEx(paint.GetSafeHdc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    });
}

// ---- AeroImage ----

AeroImage::~AeroImage() {
    GuardOperation(2269, [&] {
        delete m_image;
        m_image = nullptr;
        // The bitmap leaves the DC before either goes: a selected bitmap cannot be deleted.
        m_memory.Free();
        delete m_bitmap;
        m_bitmap = nullptr;
    });
}

void AeroImage::InitControl() {
    GuardOperation(2272, [&] {
        if (m_resourceId != 0 && !m_image) {
            m_image = LoadImageFromResource(static_cast<int>(m_resourceId));
            if (m_image)
                SetWindowPos(nullptr, 0, 0, static_cast<int>(m_image->GetWidth()),
                             static_cast<int>(m_image->GetHeight()), SWP_NOMOVE | SWP_NOZORDER);
        }
        if (ParentIsGlassDialog(m_hWnd)) m_onGlass = 1;
        UpdateTheme();
    });
}

void AeroImage::UpdateTheme() {
    GuardOperation(2276, [&] { m_glassRendering = (m_onGlass && GlassCompositionEnabled()) ? 1 : 0; });
}

CBitmap* AeroImage::GetBitmap() {
    GuardOperation(2277, [&] {
        if (m_bitmap) return;
        RECT client;
        GetClientRect(&client);
        ScopedWindowDC windowDC(m_hWnd);
        if (!windowDC) return;
        CBitmap* bitmap = new CBitmap();
        if (bitmap->Attach(::CreateCompatibleBitmap(windowDC, client.right, client.bottom)))
            m_bitmap = bitmap;
        else
            delete bitmap;
    });
    return m_bitmap;
}

CDC* AeroImage::GetMemoryDC() {
    CDC* result = nullptr;
    GuardOperation(2278, [&] {
        CBitmap* bitmap = GetBitmap();
        if (!m_memory.GetSafeHdc()) {
            ScopedWindowDC windowDC(m_hWnd);
            if (windowDC) m_memory.MakeDC(windowDC);
        }
        if (!m_memory.GetSafeHdc()) return;
        m_memory.Select(bitmap, false);
        result = &m_memory.Dc();
    });
    return result;
}

BOOL AeroImage::OnEraseBkgnd(CDC*) {
    return TRUE;
}

HBRUSH AeroImage::CtlColor(CDC* dc, UINT) {
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    GuardOperation(2275, [&] { dc->SetBkMode(TRANSPARENT); });
    return brush;
}

void AeroImage::OnPaint() {
    GuardOperation(2274, [&] {
        CPaintDC paint(this);
        if (!m_image && !m_bitmap) return;
        HDC dc = paint.GetSafeHdc();
        if (m_resourceId != 0) FillControlBackground(m_hWnd, dc, m_glassRendering != 0);
        if (m_image) {
            Graphics g(dc);
            g.SetCompositingMode(CompositingModeSourceOver);
            g.DrawImage(m_image, 0, 0, static_cast<INT>(m_image->GetWidth()),
                        static_cast<INT>(m_image->GetHeight()));
            return;
        }
        if (!m_memory.MakeDC(dc)) return;
        // The bitmap is shown from the memory DC, so it has to be the one selected there.
        m_memory.Select(m_bitmap, false);
        BITMAP info = {};
        ::GetObjectA(m_bitmap->GetSafeHandle(), sizeof(info), &info);
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, m_memory.GetSafeHdc(), 0, 0, SRCCOPY);
    });
}

// ---- AeroGroupBox ----

void AeroGroupBox::PreSubclassWindow() {
    GuardOperation(1757, [&] {
        // Owner drawing: a group box item of the dialog template is a button, other frames are
        // statics; each class has its own owner-drawn type in the low style bits.
        char className[16] = {};
        ::GetClassNameA(m_hWnd, className, sizeof(className));
        if (lstrcmpiA(className, "Button") == 0)
            ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
        else
            ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
        if (ParentIsGlassDialog(m_hWnd)) m_onGlass = 1;
        UpdateTheme();
        // It never takes the pointer's input away from the controls it frames.
        EnableWindow(FALSE);
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiBoldFont), TRUE);
    });
    CStatic::PreSubclassWindow();
}

void AeroGroupBox::UpdateTheme() {
    GuardOperation(2264, [&] { m_glassRendering = (m_onGlass && GlassCompositionEnabled()) ? 1 : 0; });
}

UINT AeroGroupBox::GetCaptionExtent() {
    UINT extent = 0;
    CString text;
    GetWindowText(text);
    CString caption;
    caption.Format(" %s ", static_cast<LPCSTR>(text));
    ScopedWindowDC dc(m_hWnd);
    if (dc) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, caption, caption.GetLength(), &size);
        extent = static_cast<UINT>(size.cy);
    }
    return extent;
}

BOOL AeroGroupBox::OnEraseBkgnd(CDC*) {
    return TRUE;
}

HBRUSH AeroGroupBox::CtlColor(CDC*, UINT) {
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void AeroGroupBox::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(382, [&] {
        HDC dc = drawItem->hDC;
        FillControlBackground(m_hWnd, dc, m_glassRendering != 0);
        ScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)));

        RECT r;
        GetWindowRect(&r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        r.right -= 1;
        r.bottom -= 1;

        CString text;
        GetWindowText(text);
        CString caption;
        caption.Format(" %s ", static_cast<LPCSTR>(text));
        SIZE extent = {0, 0};
        ::GetTextExtentPoint32A(dc, caption, caption.GetLength(), &extent);
        const int w = text.IsEmpty() ? 0 : extent.cx;
        const int h2 = extent.cy / 2;

        const DWORD style = GetStyle();
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
        if (exStyle & WS_EX_DLGMODALFRAME) {
            ::InflateRect(&r, -2 * ::GetSystemMetrics(SM_CXEDGE), -2 * ::GetSystemMetrics(SM_CYEDGE));
            r.left -= 1;
        }
        if (exStyle & WS_EX_CLIENTEDGE) {
            ::InflateRect(&r, -(::GetSystemMetrics(SM_CXEDGE) + 1), -(::GetSystemMetrics(SM_CYEDGE) + 1));
            r.left -= 1;
            if (exStyle & WS_EX_DLGMODALFRAME) r.right += 1;
        }
        if (exStyle & WS_EX_STATICEDGE) {
            ::InflateRect(&r, -2 * ::GetSystemMetrics(SM_CXBORDER), -2 * ::GetSystemMetrics(SM_CYBORDER));
            r.left -= 1;
        }

        const int y = r.top + h2;
        int start, end;
        switch (style & 0x300) {
            case 0x200:
                end = r.right - 10;
                start = end - w;
                break;
            case 0x300:
                start = (r.right - r.left - w) / 2;
                end = start + w;
                break;
            default:
                start = r.left + 10;
                end = start + w;
                break;
        }

        HPEN black = static_cast<HPEN>(::GetStockObject(BLACK_PEN));
        CPen shadow, highlight, darkShadow;
        shadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        highlight.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        darkShadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW));
        ScopedSelect pen(dc, black);
        auto path = [dc](std::initializer_list<POINT> points) {
            auto it = points.begin();
            ::MoveToEx(dc, it->x, it->y, nullptr);
            for (++it; it != points.end(); ++it) ::LineTo(dc, it->x, it->y);
        };
        if (style & 0x8000) {
            pen.Switch(black);
            path({{start, y}, {r.left, y}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, y}, {end, y}});
            pen.Switch(highlight);
            path({{start, y + 1},
                  {r.left + 1, y + 1},
                  {r.left + 1, r.bottom - 1},
                  {r.right - 1, r.bottom - 1},
                  {r.right - 1, y + 1},
                  {end, y + 1}});
        } else if (m_topLineOnly) {
            pen.Switch(shadow);
            path({{start, y}, {r.left, y}});
            path({{r.right - 1, y}, {end, y}});
            pen.Switch(highlight);
            path({{start, y + 1}, {r.left, y + 1}});
            path({{r.right - 1, y + 1}, {end, y + 1}});
        } else {
            pen.Switch(shadow);
            path({{start, y},
                  {r.left, y},
                  {r.left, r.bottom - 1},
                  {r.right - 1, r.bottom - 1},
                  {r.right - 1, y},
                  {end, y}});
            pen.Switch(highlight);
            path({{start, y + 1}, {r.left + 1, y + 1}, {r.left + 1, r.bottom - 1}});
            path({{r.left, r.bottom}, {r.right, r.bottom}, {r.right, y}});
            path({{r.right - 1, y + 1}, {end, y + 1}});
        }
        if (m_outerShadow) {
            pen.Switch(darkShadow);
            path({{r.left, r.bottom}, {r.right, r.bottom}, {r.right, h2 - 1}});
        }
        pen.Restore();

        if (!(exStyle & (WS_EX_MDICHILD | WS_EX_TOOLWINDOW))) {
            if (m_normalCaption) {
                ::SetBkMode(dc, TRANSPARENT);
                RECT captionRect = {start, y, end, y};
                ::DrawTextA(dc, caption, caption.GetLength(), &captionRect,
                            DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
            } else {
                ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(caption)),
                             static_cast<WPARAM>(caption.GetLength()), start, y - h2, w, extent.cy,
                             DST_PREFIXTEXT | DSS_DISABLED);
            }
        }
    });
}

// ---- AeroLine ----

BOOL AeroLine::OnEraseBkgnd(CDC*) {
    return TRUE;
}

void AeroLine::OnPaint() {
    GuardOperation(2296, [&] {
        CPaintDC paint(this);
        HDC dc = paint.GetSafeHdc();
        RECT client;
        GetClientRect(&client);
        CPen grey;
        grey.CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
        ScopedSelect pen(dc, grey);
        ::MoveToEx(dc, 0, 0, nullptr);
        ::LineTo(dc, client.right, 0);
        pen.Switch(::GetStockObject(WHITE_PEN));
        ::MoveToEx(dc, 0, 1, nullptr);
        ::LineTo(dc, client.right, 1);
    });
}
