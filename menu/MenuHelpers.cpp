#include "menu/MenuHelpers.h"

#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

#include <uxtheme.h>

#include <vector>

namespace {
int ClampChannel(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

CDynamicFunction& OpenThemeDataFn() {
    static CDynamicFunction f("UxTheme.dll", "OpenThemeData");
    return f;
}
CDynamicFunction& CloseThemeDataFn() {
    static CDynamicFunction f("UxTheme.dll", "CloseThemeData");
    return f;
}
CDynamicFunction& GetThemeColorFn() {
    static CDynamicFunction f("UxTheme.dll", "GetThemeColor");
    return f;
}

BOOL FlatMenusOn() {
    BOOL flat = FALSE;
    if (!SystemParametersInfoA(0x1022 /*SPI_GETFLATMENU*/, 0, &flat, 0)) return FALSE;
    return flat;
}

COLORREF MenuBrushColor(HMENU hMenu, BOOL* pHas) {
    *pHas = FALSE;
    if (hMenu == nullptr || !::IsMenu(hMenu)) return 0;
    MENUINFO mi = {};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_BACKGROUND;
    if (!::GetMenuInfo(hMenu, &mi) || mi.hbrBack == nullptr) return 0;
    LOGBRUSH lb = {};
    if (!::GetObjectA(mi.hbrBack, sizeof(lb), &lb)) return 0;
    *pHas = TRUE;
    return lb.lbColor;
}

COLORREF NearestWithReplacements(COLORREF c) {
    c = NearestScreenColor(c);
    if (c == 0xF0C5AC) return 0xF5C2A3;
    if (c == 0xE6E6E6) return 0xE5D7D7;
    if (c == 0xCCDCD6) return 0xAADADA;
    return c;
}
}  // namespace

int WinVersionClassOf(BOOL win9x, DWORD major, DWORD minor) {
    if (win9x) {
        if (major < 4) return 0;
        if (major != 4) return 2;
        if (minor >= 90) return 4;
        if (minor >= 10) return 3;
        return 2;
    }
    if (major < 4) return 1;
    if (major == 4) return 5;
    if (major == 5 && minor == 0) return 6;
    return 7;
}

int GetWinVersion() {
    static int s_class = -1;
    if (s_class >= 0) return s_class;
    int result = 7;
    GuardOperation(1449, [&] {
        DWORD v = ::GetVersion();
        OSVERSIONINFOA vi = {};
        vi.dwOSVersionInfoSize = sizeof(vi);  // 148 bytes
        ::GetVersionExA(&vi);
        result = WinVersionClassOf((v & 0x80000000u) != 0, vi.dwMajorVersion, vi.dwMinorVersion);
    });
    s_class = result;
    return s_class;
}

int g_winVersion = GetWinVersion();

BOOL IsNewShell() {
    return GetWinVersion() >= 2;
}

CString KeyNameOfVirtualKey(UINT vk) {
    static const struct {
        UINT vk;
        const char* name;
    } kNames[] = {{VK_DELETE, "Del"},       {VK_INSERT, "Ins"},       {VK_HOME, "Home"},
                  {VK_END, "End"},          {VK_PRIOR, "Page Up"},    {VK_NEXT, "Page Down"},
                  {VK_UP, "Up"},            {VK_DOWN, "Down"},        {VK_LEFT, "Left"},
                  {VK_RIGHT, "Right"}};
    for (const auto& k : kNames)
        if (k.vk == vk) return k.name;
    char name[64] = {};
    ::GetKeyNameTextA((LONG)(::MapVirtualKeyA(vk, 0) << 16), name, 64);
    return name;
}

BOOL IsDropShadowEnabled() {
    BOOL on = FALSE;
    BOOL ok = FALSE;
    GuardOperation(1450, [&] { ok = SystemParametersInfoA(0x1024 /*SPI_GETDROPSHADOW*/, 0, &on, 0); });
    return ok ? on : FALSE;
}

UINT_PTR SetTimerFromPool(HWND hWnd, UINT nElapse) {
    UINT_PTR id = 0;
    GuardOperation(1432, [&] {
        if (!::IsWindow(hWnd)) return;
        for (UINT_PTR n = 31; n < 100; n++) {
            if (::SetTimer(hWnd, n, nElapse, nullptr)) {
                id = n;
                return;
            }
        }
    });
    return id;
}

BOOL IsThemeActiveSafe() {
    auto pfn = CStyledMenuHook::s_pfnIsThemeActive;
    return pfn ? pfn() : FALSE;
}

HANDLE OpenThemeDataSafe(HWND hWnd, LPCWSTR classList) {
    HANDLE h = nullptr;
    GuardOperation(1500, [&] {
        auto pfn = AfxFunctionCast<HANDLE(WINAPI*)(HWND, LPCWSTR)>(OpenThemeDataFn().m_pfn);
        if (pfn) h = pfn(hWnd, classList);
    });
    return h;
}

HRESULT CloseThemeDataSafe(HANDLE hTheme) {
    HRESULT hr = 0;
    GuardOperation(1501, [&] {
        auto pfn = AfxFunctionCast<HRESULT(WINAPI*)(HANDLE)>(CloseThemeDataFn().m_pfn);
        if (pfn) hr = pfn(hTheme);
    });
    return hr;
}

HRESULT GetThemeColorSafe(HANDLE hTheme, int part, int state, int prop, COLORREF* pColor) {
    HRESULT hr = 1;
    GuardOperation(1502, [&] {
        auto pfn =
            AfxFunctionCast<HRESULT(WINAPI*)(HANDLE, int, int, int, COLORREF*)>(GetThemeColorFn().m_pfn);
        if (pfn) hr = pfn(hTheme, part, state, prop, pColor);
    });
    return hr;
}

int GetScreenColorCount() {
    static int s_count = 0;
    if (s_count != 0) return s_count;
    GuardOperation(1434, [&] {
        ScopedWindowDC dc(nullptr);
        int n = ::GetDeviceCaps(dc, NUMCOLORS);
        s_count = n == -1 ? 64000 : n;
    });
    return s_count;
}

UINT GetDibColorCount(const BITMAPINFOHEADER* pHeader) {
    UINT n = 0;
    GuardOperation(1433, [&] {
        if (pHeader->biClrUsed != 0) {
            n = pHeader->biClrUsed;
            return;
        }
        switch (pHeader->biBitCount) {
            case 1:
                n = 2;
                break;
            case 4:
                n = 16;
                break;
            case 8:
                n = 256;
                break;
            default:
                n = 0;
                break;
        }
    });
    return n;
}

HBITMAP LoadBitmapWithColorCount(UINT nID, HINSTANCE hModule, UINT* pColorCount) {
    HBITMAP hBitmap = nullptr;
    GuardOperation(1435, [&] {
        HINSTANCE hInst = hModule ? hModule : AfxGetResourceHandle();
        LPCSTR name = MAKEINTRESOURCEA(nID & 0xFFFF);
        HRSRC hRes = ::FindResourceA(hInst, name, (LPCSTR)RT_BITMAP);
        if (hRes == nullptr) return;
        HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
        if (hGlobal == nullptr) return;
        auto* pHeader = (const BITMAPINFOHEADER*)::LockResource(hGlobal);
        if (pHeader == nullptr) return;
        if (pColorCount) *pColorCount = GetDibColorCount(pHeader) & 0xFFFF;
        ::FreeResource(hGlobal);
        hBitmap = ::LoadBitmapA(hInst, name);
    });
    return hBitmap;
}

COLORREF DarkenColor(int amount, COLORREF c) {
    COLORREF r = c;
    GuardOperation(1452, [&] {
        r = RGB(MulDiv(GetRValue(c), 255 - amount, 255), MulDiv(GetGValue(c), 255 - amount, 255),
                MulDiv(GetBValue(c), 255 - amount, 255));
    });
    return r;
}

COLORREF LightenColor(int amount, COLORREF c) {
    COLORREF r = c;
    GuardOperation(1458, [&] {
        auto ch = [&](int v) { return v + MulDiv(255 - v, amount, 255); };
        r = RGB(ClampChannel(ch(GetRValue(c))), ClampChannel(ch(GetGValue(c))),
                ClampChannel(ch(GetBValue(c))));
    });
    return r;
}

COLORREF BlendColor86(COLORREF a, COLORREF b) {
    COLORREF r = a;
    GuardOperation(1453, [&] {
        auto ch = [](int x, int y) { return (std::min)(255, MulDiv(86, x, 100) + MulDiv(14, y, 100)); };
        r = RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
                ch(GetBValue(a), GetBValue(b)));
    });
    return r;
}

COLORREF BlendColor70(COLORREF a, COLORREF b) {
    COLORREF r = a;
    GuardOperation(1454, [&] {
        auto ch = [](int x, int y) { return (std::min)(255, MulDiv(7, x, 10) + MulDiv(3, y, 10)); };
        r = RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
                ch(GetBValue(a), GetBValue(b)));
    });
    return r;
}

COLORREF AlphaBlendColor(COLORREF a, COLORREF b, int alpha) {
    COLORREF r = a;
    GuardOperation(1460, [&] {
        if (b == 0xFFFFFFFF) {
            r = 0xFFFFFFFF;
            return;
        }
        auto ch = [&](int x, int y) { return (x * (255 - alpha) + y * alpha) / 256; };
        r = RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
                ch(GetBValue(a), GetBValue(b)));
    });
    return r;
}

COLORREF BlueShadeColor(COLORREF c) {
    COLORREF r = c;
    GuardOperation(1451, [&] {
        r = RGB(MulDiv(GetRValue(c), 7, 10) & 0xFF, MulDiv(GetGValue(c), 7, 10) & 0xFF,
                MulDiv(GetBValue(c) + 55, 7, 10) & 0xFF);
    });
    return r;
}

BOOL IsLightColor(COLORREF c) {
    BOOL r = FALSE;
    GuardOperation(1456, [&] { r = (GetRValue(c) + GetGValue(c) + GetBValue(c)) > 384; });
    return r;
}

void ChangeBitmapPixels(HBITMAP hBitmap, COLORREF (*change)(COLORREF, const void*), const void* context) {
    BITMAP bm = {};
    if (!::GetObjectA(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
    ScopedMemoryDC dc(nullptr);
    if (bm.bmBitsPixel == 32) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = bm.bmWidth;
        info.bmiHeader.biHeight = -bm.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
        if (::GetDIBits(dc, hBitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS) == bm.bmHeight) {
            for (DWORD& p : pixels) {
                const COLORREF c = change(RGB((p >> 16) & 255, (p >> 8) & 255, p & 255), context);
                // The fourth byte is cleared, as SetPixel leaves it.
                p = (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
            }
            if (::SetDIBits(dc, hBitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS) == bm.bmHeight)
                return;
        }
    }
    dc.Select(hBitmap, false);
    for (int y = 0; y < bm.bmHeight; y++)
        for (int x = 0; x < bm.bmWidth; x++) ::SetPixel(dc, x, y, change(::GetPixel(dc, x, y), context));
}

COLORREF ColorizeBitmap(HBITMAP hBitmap, int weight, COLORREF colour) {
    COLORREF first = 0;
    GuardOperation(1437, [&] {
        struct Tint {
            int weight;
            COLORREF colour;
        } tint = {weight, colour};
        ChangeBitmapPixels(
            hBitmap,
            [](COLORREF p, const void* context) {
                const Tint& t = *static_cast<const Tint*>(context);
                int grey = (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3;
                auto ch = [&](int c) { return (c * (255 - t.weight) + grey * t.weight) >> 8; };
                return RGB(ch(GetRValue(t.colour)), ch(GetGValue(t.colour)), ch(GetBValue(t.colour)));
            },
            &tint);
        ScopedMemoryDC dc(nullptr);
        dc.Select(hBitmap, false);
        first = ::GetPixel(dc, 0, 0);
    });
    return first;
}

COLORREF NearestScreenColor(COLORREF colour) {
    ScopedWindowDC dc(nullptr);
    COLORREF c = ::GetNearestColor(dc, colour);
    return c == CLR_INVALID ? colour : c;
}

COLORREF GetMenuBackColor(HMENU hMenu) {
    COLORREF c = ::GetSysColor(COLOR_MENU);
    GuardOperation(1496, [&] {
        BOOL has = FALSE;
        COLORREF b = MenuBrushColor(hMenu, &has);
        if (has)
            c = b;
        else if (GetWinVersion() == 7 && FlatMenusOn())
            c = ::GetSysColor(COLOR_MENUBAR);
        else
            c = ::GetSysColor(COLOR_MENU);
    });
    return c;
}

COLORREF GetOldMenuBarColor() {
    COLORREF c = ::GetSysColor(COLOR_BTNFACE);
    GuardOperation(1497, [&] {
        int v = GetWinVersion();
        c = ::GetSysColor(v == 2 || v == 5 ? COLOR_MENU : COLOR_BTNFACE);
    });
    return c;
}

COLORREF GetMenuBarColor(HMENU hMenu) {
    COLORREF c = ::GetSysColor(COLOR_BTNFACE);
    GuardOperation(1505, [&] {
        BOOL has = FALSE;
        COLORREF b = MenuBrushColor(hMenu, &has);
        if (has) {
            c = b;
        } else if (GetWinVersion() == 7) {
            if (FlatMenusOn() || IsThemeActiveSafe())
                c = ::GetSysColor(COLOR_MENUBAR);
            else
                c = GetOldMenuBarColor();
        } else {
            c = GetOldMenuBarColor();
        }
    });
    return c;
}

COLORREF GetSelectionColor() {
    COLORREF c = ::GetSysColor(COLOR_HIGHLIGHT);
    GuardOperation(1457, [&] {
        COLORREF window = ::GetSysColor(COLOR_WINDOW), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        if (CStyledMenuHook::s_bHighContrast)
            c = highlight;
        else if (GetScreenColorCount() <= 256)
            c = window;
        else if (!IsThemeActiveSafe() && IsLightColor(highlight))
            c = BlendColor86(window, highlight);
        else
            c = BlendColor70(window, highlight);
    });
    return c;
}

void GetBarColors(COLORREF* pFirst, COLORREF* pSecond, BOOL bLight) {
    GuardOperation(1504, [&] {
        COLORREF first, second;
        int v = GetWinVersion();
        if (v == 2 || v == 5) {
            *pFirst = *pSecond = ::GetSysColor(COLOR_MENU);
            return;
        }
        int style = GetCurrentStyle();
        if (style == 10 || style == 11) {
            COLORREF mix = BlendColor70(DarkenColor(10, ::GetSysColor(COLOR_WINDOW)),
                                        ::GetSysColor(COLOR_ACTIVECAPTION));
            first = NearestWithReplacements(mix);
            *pFirst = first;
            *pSecond = LightenColor(110, first);
            return;
        }
        if (!IsThemeActiveSafe()) {
            first = ::GetSysColor(COLOR_BTNFACE);
            *pFirst = first;
            *pSecond = AlphaBlendColor(first, ::GetSysColor(COLOR_WINDOW), 220);
            return;
        }
        COLORREF window = DarkenColor(10, ::GetSysColor(COLOR_WINDOW));
        COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
        HANDLE hTheme = OpenThemeDataSafe(nullptr, L"Window");
        BOOL themed = hTheme != nullptr;
        if (!themed) {
            first = NearestWithReplacements(BlendColor70(window, caption));
        } else {
            COLORREF c = 0;
            if (GetThemeColorSafe(hTheme, 1, 1, 3821, &c) == 0 && c != 1) caption = c;
            if (GetThemeColorSafe(hTheme, 1, 1, 3805, &c) == 0 && c != 1) window = c;
            CloseThemeDataSafe(hTheme);
            if (caption == 0x86B8AA)
                first = 0xAADADA;
            else if (caption == 0xBEA3A4)
                first = 0xE5D7D7;
            else if (caption == 0xE55400)
                first = 0xF5C2A3;
            else
                first = NearestScreenColor(BlendColor70(window, caption));
        }
        if (bLight) {
            second = LightenColor(themed ? 110 : 100, first);
        } else {
            second = LightenColor(200, first);
            first = DarkenColor(20, first);
        }
        *pFirst = first;
        *pSecond = second;
    });
}

COLORREF GetBarBaseColor() {
    COLORREF first = ::GetSysColor(COLOR_BTNFACE), second = first;
    GuardOperation(1503, [&] { GetBarColors(&first, &second, TRUE); });
    return first;
}

void SetMenuBackground(HMENU hMenu) {
    GuardOperation(1447, [&] {
        auto clear = [](HMENU h) {
            CMenu* p = CMenu::FromHandlePermanent(h);
            if (p == nullptr || !p->IsKindOf(RUNTIME_CLASS(CStyledMenu))) return;
            MENUINFO mi = {};
            mi.cbSize = sizeof(mi);
            mi.fMask = MIM_BACKGROUND;
            mi.hbrBack = nullptr;
            ::SetMenuInfo(h, &mi);
        };
        clear(hMenu);
        // This application has no multi-document templates whose shared menus
        // would need the same.
    });
}

int GetCurrentStyle() {
    int style = -1;
    GuardOperation(1513, [&] {
        if (CStyledMenuHook::s_pCurrentTheme) style = (int)CStyledMenuHook::s_pCurrentTheme->m_nStyle;
    });
    return style;
}

void FillFrame(HDC hDC, int oLeft, int oTop, int oRight, int oBottom, int iLeft, int iTop, int iRight,
               int iBottom, COLORREF colour) {
    GuardOperation(1618, [&] {
        CBrush brush;
        brush.CreateSolidBrush(colour);
        RECT r1 = {oLeft, oTop, oRight, iTop}, r2 = {oLeft, iBottom, oRight, oBottom};
        RECT r3 = {oLeft, oTop, iLeft, oBottom}, r4 = {iRight - 1, oTop, oRight, oBottom};
        ::FillRect(hDC, &r1, brush);
        ::FillRect(hDC, &r2, brush);
        ::FillRect(hDC, &r3, brush);
        ::FillRect(hDC, &r4, brush);
    });
}

void SetCornerPixels(HDC hDC, const RECT& r, COLORREF c) {
    GuardOperation(1624, [&] {
        int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
        const POINT pts[12] = {{l, t}, {l + 1, t}, {l, t + 1}, {rr, t}, {rr - 1, t}, {rr, t + 1},
                               {l, b}, {l + 1, b}, {l, b - 1}, {rr, b}, {rr - 1, b}, {rr, b - 1}};
        for (const POINT& p : pts) ::SetPixel(hDC, p.x, p.y, c);
    });
}

void DrawMenuShadowFrom(HDC hDC, HDC bg, int w, int h, BOOL palette) {
    if (!palette) {
        for (int i = 1; i <= 4; i++) {
            int x = w - i;
            for (int y = 0; y < h; y++) {
                COLORREF p = ::GetPixel(bg, x, y);
                if (y <= 3)
                    ::SetPixel(hDC, x, y, p);
                else if (y <= 7)
                    ::SetPixel(hDC, x, y, DarkenColor((y - 3) * i * 6, p));
                else if (y <= h - 5)
                    ::SetPixel(hDC, x, y, DarkenColor(i * 30, p));
                else
                    ::SetPixel(hDC, x, y, DarkenColor((h - y) * i * 6, p));
            }
        }
        for (int j = 1; j <= 4; j++) {
            int y = h - j;
            for (int x = 0; x <= w - 5; x++) {
                COLORREF p = ::GetPixel(bg, x, y);
                if (x <= 3)
                    ::SetPixel(hDC, x, y, p);
                else if (x <= 7)
                    ::SetPixel(hDC, x, y, DarkenColor((x - 3) * j * 6, p));
                else
                    ::SetPixel(hDC, x, y, DarkenColor(j * 30, p));
            }
        }
        return;
    }
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    for (int y = 0; y < h; y++) {
        for (int x = w - 2; x < w; x++) ::SetPixel(hDC, x, y, ::GetPixel(bg, x, y));
        for (int x = w - 4; x <= w - 3; x++)
            ::SetPixel(hDC, x, y, (y <= 3 || y > h - 3) ? ::GetPixel(bg, x, y) : shadow);
    }
    for (int x = 0; x < w; x++) {
        for (int y = h - 2; y < h; y++) ::SetPixel(hDC, x, y, ::GetPixel(bg, x, y));
        if (x >= w - 4) continue;
        for (int y = h - 4; y <= h - 3; y++) ::SetPixel(hDC, x, y, x <= 3 ? ::GetPixel(bg, x, y) : shadow);
    }
}

void DrawMenuShadow(HWND hWnd, HDC hDC) {
    GuardOperation(1620, [&] {
        CStyledMenuHook::CMenuHookData* pData = CStyledMenuHook::GetHookData(hWnd);
        if (pData == nullptr || !pData->m_screen) return;
        RECT wr;
        ::GetWindowRect(hWnd, &wr);
        ScopedMemoryDC bg(hDC);
        bg.Select(pData->m_screen, false);
        DrawMenuShadowFrom(hDC, bg, wr.right - wr.left, wr.bottom - wr.top, GetScreenColorCount() <= 256);
    });
}

CDynamicFunction::CDynamicFunction(LPCSTR library, LPCSTR function) {
    GuardOperation(1438, [&] {
        m_hModule = ::LoadLibraryA(library);
        if (m_hModule) m_pfn = ::GetProcAddress(m_hModule, function);
    });
}

CDynamicFunction::~CDynamicFunction() {
    GuardOperation(1439, [&] {
        if (m_hModule) ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
        m_pfn = nullptr;
    });
}

IMPLEMENT_DYNAMIC(CStyledMemDC, CDC)

CStyledMemDC::CStyledMemDC(const RECT& rect, HDC hTarget)
    : m_rect(rect), m_hTarget(hTarget), m_memory(hTarget) {
    m_memory.Select(::CreateCompatibleBitmap(hTarget, (std::max)(1L, rect.right - rect.left),
                                             (std::max)(1L, rect.bottom - rect.top)),
                    true);
    Attach(m_memory.Get());
    ::SetWindowOrgEx(m_hDC, rect.left, rect.top, nullptr);
}

CStyledMemDC::~CStyledMemDC() {
    if (!m_bDiscard)
        ::BitBlt(m_hTarget, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
                 m_hDC, m_rect.left, m_rect.top, SRCCOPY);
    Detach();  // m_memory deletes the DC and its bitmap
}
