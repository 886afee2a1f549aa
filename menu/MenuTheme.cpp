#include "menu/MenuTheme.h"

#include "menu/MenuHelpers.h"
#include "menu/StyledMenu.h"

// ---- library state ----
CTypedPtrList<CPtrList, CMenuTheme*>* CStyledMenuHook::s_pThemes = nullptr;
CMenuTheme* CStyledMenuHook::s_pCurrentTheme = nullptr;
HHOOK CStyledMenuHook::s_hHook = nullptr;
DWORD CStyledMenuHook::s_hookThreadId = 0;
int CStyledMenuHook::s_menuLoops = 0;
HMODULE CStyledMenuHook::s_hUxTheme = nullptr;
BOOL(WINAPI* CStyledMenuHook::s_pfnIsThemeActive)() = nullptr;
FARPROC CStyledMenuHook::s_pfnSetWindowTheme = nullptr;
HMODULE CStyledMenuHook::s_hMsimg32 = nullptr;
BOOL(WINAPI* CStyledMenuHook::s_pfnGradientFill)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG) = nullptr;
BOOL CStyledMenuHook::s_bHighContrast = FALSE;
BOOL CStyledMenuHook::s_bWine = FALSE;
BOOL CStyledMenuHook::s_bRemoteSession = FALSE;
CTypedPtrMap<CMapPtrToPtr, HWND, CStyledMenuHook::CMenuHookData*> CStyledMenuHook::s_windows;
HMENU CStyledMenuHook::s_hMenuOpening = nullptr;
void* CStyledMenuHook::s_pMenuBarItemRedrawn = nullptr;
DWORD CStyledMenuHook::s_dwOptions = 0;

CStyledMenuHook g_styledMenuHook;

namespace {
BOOL FlatMenus() {
    BOOL flat = FALSE;
    return SystemParametersInfoA(0x1022 /*SPI_GETFLATMENU*/, 0, &flat, 0) ? flat : FALSE;
}

// The pop-up's client rectangle in window coordinates, and the window's width and height.
void GetBorderGeometry(HWND hWnd, RECT* client, int* width, int* height) {
    RECT wr;
    ::GetWindowRect(hWnd, &wr);
    *width = wr.right - wr.left;
    *height = wr.bottom - wr.top;
    ::GetClientRect(hWnd, client);
    ::MapWindowPoints(hWnd, nullptr, (POINT*)client, 2);
    ::OffsetRect(client, -wr.left, -wr.top);
}

// A one-pixel frame of (l, t)-(r, b) in colour c.
void FrameSolid(HDC dc, int l, int t, int r, int b, COLORREF c) {
    CBrush br;
    br.CreateSolidBrush(c);
    RECT rc = {l, t, r, b};
    ::FrameRect(dc, &rc, br);
}
}  // namespace

// ---- looks ----
CMenuTheme::CMenuTheme(UINT nStyle, MenuMeasureRoutine measure, MenuDrawRoutine draw, MenuDrawRoutine title,
                       BOOL bBorder)
    : m_nStyle(nStyle),
      m_dwFlags(bBorder ? 1 : 0),
      m_pfnMeasure(measure),
      m_pfnDraw(draw),
      m_pfnTitle(title) {
    GuardOperation(1617, [&] {
        UpdateSysColors();
        UpdateSysMetrics();
    });
}

CMenuTheme::~CMenuTheme() = default;

void CMenuTheme::UpdateSysColors() {
    GuardOperation(1621, [&] {
        m_crFace = ::GetSysColor(COLOR_BTNFACE);
        m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
        m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        m_crText = ::GetSysColor(COLOR_BTNTEXT);
        m_crFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    });
}

void CMenuTheme::UpdateSysMetrics() {
    GuardOperation(1622, [&] {
        m_nBorderWidth = m_nBorderHeight = 2;
        if (FlatMenus()) {
            m_nShadowWidth = m_nShadowHeight = 2;
        } else {
            m_nShadowWidth = 5;
            m_nShadowHeight = 6;
        }
    });
}

BOOL CMenuTheme::OnInitWnd(HWND hWnd) {
    BOOL result = FALSE;
    GuardOperation(1627, [&] {
        CStyledMenuHook::CMenuHookData* p = CStyledMenuHook::GetHookData(hWnd);
        if (p == nullptr || !p->m_bDraw) return;
        bool layered = GetWinVersion() >= 6 && kMenuAlpha < 255;
        auto makeLayered = [&] {
            ::SetWindowLongA(hWnd, GWL_EXSTYLE, ::GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
            ::SetLayeredWindowAttributes(hWnd, 0, (BYTE)kMenuAlpha, LWA_ALPHA);
            p->m_dwFlags |= 4;
            ::SetTimer(hWnd, 0x1234, 50, nullptr);
        };
        if (DoDrawBorder()) {
            p->m_dwFlags |= 2;
            ::SetWindowLongA(hWnd, GWL_STYLE, ::GetWindowLongA(hWnd, GWL_STYLE) & ~WS_BORDER);
            ::SetWindowLongA(hWnd, GWL_EXSTYLE,
                             ::GetWindowLongA(hWnd, GWL_EXSTYLE) & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
            if (layered) makeLayered();
            result = TRUE;
            return;
        }
        if (layered) {
            p->m_dwFlags |= 2;
            makeLayered();
        }
    });
    return result;
}

BOOL CMenuTheme::OnUnInitWnd(HWND hWnd) {
    CStyledMenuHook::CMenuHookData* p = CStyledMenuHook::GetHookData(hWnd);
    if (p == nullptr) return TRUE;
    if (p->m_dwFlags & 4) {
        ::KillTimer(hWnd, 0x1234);
        p->m_dwFlags &= ~4u;
    }
    if (p->m_hMenu && ::IsMenu(p->m_hMenu)) {
        if (CStyledMenu* pMenu = CStyledMenu::FromHandleStyled(p->m_hMenu)) pMenu->OnUnInitMenuPopup();
    }
    if (p->m_dwFlags & 2) {
        ::SetWindowLongA(hWnd, GWL_STYLE, p->m_dwStyle | ((p->m_dwFlags & 1) ? WS_VISIBLE : 0));
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, p->m_dwExStyle);
    }
    return TRUE;
}

BOOL CMenuTheme::OnDrawBorder(HWND hWnd, HDC hDC, BOOL bOnlyShadow) {
    RECT cr;
    int w = 0, h = 0;
    GetBorderGeometry(hWnd, &cr, &w, &h);
    BOOL hc = CStyledMenuHook::s_bHighContrast;
    auto frame = [&](int l, int t, int r, int b, COLORREF c) { FrameSolid(hDC, l, t, r, b, c); };
    COLORREF bg = GetMenuBackColor(nullptr);
    if (!FlatMenus()) {
        if (!bOnlyShadow) FillFrame(hDC, 1, 1, w - 6, h - 6, cr.left, cr.top, cr.right + 1, cr.bottom, bg);
        if (hc) {
            frame(0, 0, w - 4, h - 4, ::GetSysColor(COLOR_BTNTEXT));
        } else {
            frame(0, 0, w - 4, h - 4, ::GetSysColor(COLOR_HIGHLIGHT));
            DrawMenuShadow(hWnd, hDC);
        }
    } else {
        if (!bOnlyShadow) FillFrame(hDC, 1, 1, w - 2, h - 2, cr.left, cr.top, cr.right + 1, cr.bottom, bg);
        frame(0, 0, w, h, ::GetSysColor(hc ? COLOR_BTNTEXT : COLOR_HIGHLIGHT));
    }
    return TRUE;
}

BOOL CMenuTheme::OnEraseBkgnd(HWND hWnd, HDC hDC) {
    CStyledMenuHook::CMenuHookData* pData = CStyledMenuHook::GetHookData(hWnd);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    CBrush br;
    br.CreateSolidBrush(GetMenuBackColor(pData ? pData->m_hMenu : nullptr));
    ::FillRect(hDC, &rc, br);
    return TRUE;
}

BOOL CMenuTheme::OnNcCalcSize(HWND, NCCALCSIZE_PARAMS* pCalc) {
    if (!DoDrawBorder()) return FALSE;
    RECT& r = pCalc->rgrc[0];
    r.left += m_nBorderWidth;
    r.top += m_nBorderHeight;
    if (FlatMenus()) {
        r.right -= 1;
        r.bottom -= 2;
    } else {
        r.right -= 5;
        r.bottom -= 6;
    }
    return TRUE;
}

BOOL CMenuTheme::OnWindowPosChanging(HWND, WINDOWPOS* pPos) {
    if (!DoDrawBorder()) return FALSE;
    if (!(pPos->flags & SWP_NOMOVE)) pPos->y -= 1;
    if (!(pPos->flags & SWP_NOSIZE)) {
        int d = FlatMenus() ? -2 : 2;
        pPos->cx += d;
        pPos->cy += d;
    }
    return TRUE;
}

BOOL CMenuTheme::OnCalcFrameRect(HWND hWnd, RECT* pRect) {
    if (!::GetWindowRect(hWnd, pRect)) return FALSE;
    if (DoDrawBorder()) {
        int d = FlatMenus() ? 3 : 7;
        pRect->left += 2;
        pRect->top += 2;
        pRect->right -= d;
        pRect->bottom -= d;
    }
    return TRUE;
}

void CMenuTheme::DrawGripper(CDC* pDC, RECT* pRect, DWORD dwFlags) {
    GuardOperation(1625, [&] {
        if (!(dwFlags & 0x400000) || (dwFlags & 1)) return;
        HDC dc = pDC->GetSafeHdc();
        RECT r = *pRect;
        bool vertical = (dwFlags & 0xA000) != 0;
        int style = GetCurrentStyle();
        if (style == 2 || style == 3) {
            COLORREF c = DarkenColor(100, GetMenuBarColor());
            if (vertical)
                for (int x = r.left + 4; x < r.right - 2; x += 2) ::SetPixel(dc, x, r.top + 3, c);
            else
                for (int y = r.top + 4; y < r.bottom - 2; y += 2) ::SetPixel(dc, r.left + 3, y, c);
        } else if (style == 6 || style == 7) {
            CBrush br;
            br.CreateSolidBrush(DarkenColor(100, GetMenuBackColor()));
            for (int p = 4; p < (vertical ? r.right - r.left : r.bottom - r.top) - 2; p += 4) {
                RECT sq = vertical ? RECT{r.left + p, r.top + 3, r.left + p + 2, r.top + 5}
                                   : RECT{r.left + 3, r.top + p, r.left + 5, r.top + p + 2};
                ::FillRect(dc, &sq, br);
            }
        } else if (style >= 8 && style <= 11) {
            COLORREF c1, c2, c3, grip;
            GetBarColor(&c1, &c2, &c3, &grip);
            CBrush light(::GetSysColor(COLOR_WINDOW)), dark(grip);
            for (int p = 4; p < (vertical ? r.right - r.left : r.bottom - r.top) - 2; p += 4) {
                RECT sq = vertical ? RECT{r.left + p, r.top + 3, r.left + p + 2, r.top + 5}
                                   : RECT{r.left + 3, r.top + p, r.left + 5, r.top + p + 2};
                RECT under = sq;
                ::OffsetRect(&under, 1, 1);
                ::FillRect(dc, &under, light);
                ::FillRect(dc, &sq, dark);
            }
        } else {
            m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
            m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
            RECT g = vertical ? RECT{r.left + 2, r.top + 2, r.right - 2, r.top + 5}
                              : RECT{r.left + 2, r.top + 2, r.left + 5, r.bottom - 2};
            pDC->Draw3dRect(&g, m_crHighlight, m_crShadow);
        }
    });
}

void CMenuTheme::DrawCorner(CDC* pDC, RECT* pRect, DWORD dwFlags) {
    GuardOperation(1626, [&] {
        if (!(dwFlags & 0x400000) || (dwFlags & 1)) return;
        int style = GetCurrentStyle();
        if (style == 6 || style == 7) {
            SetCornerPixels(pDC->GetSafeHdc(), *pRect, ::GetSysColor(COLOR_3DLIGHT));
        } else if (style >= 8 && style <= 11) {
            COLORREF c1, c2, corner, c4;
            GetBarColor(&c1, &c2, &corner, &c4);
            SetCornerPixels(pDC->GetSafeHdc(), *pRect, corner);
        }
    });
}

void CMenuTheme::GetBarColor(COLORREF* pc1, COLORREF* pc2, COLORREF* pc3, COLORREF* pc4) {
    COLORREF first = 0, second = 0;
    GetBarColors(&first, &second, TRUE);
    COLORREF base = GetBarBaseColor();
    if (pc1) *pc1 = first;
    if (pc2) *pc2 = second;
    if (pc3) *pc3 = DarkenColor(40, base);  // corner
    if (pc4) *pc4 = DarkenColor(90, base);  // grip
}

BOOL CMenuThemeXP::OnDrawBorder(HWND hWnd, HDC hDC, BOOL bOnlyShadow) {
    CStyledMenuHook::CMenuHookData* pData = CStyledMenuHook::GetHookData(hWnd);
    RECT cr;
    int w = 0, h = 0;
    GetBorderGeometry(hWnd, &cr, &w, &h);
    COLORREF bg = GetMenuBackColor(pData ? pData->m_hMenu : nullptr);
    COLORREF wn = ::GetSysColor(COLOR_WINDOW);
    COLORREF ring = BlendColor86(wn, bg);
    COLORREF fr = DarkenColor(128, bg);
    COLORREF col = GetScreenColorCount() <= 256 ? ::GetSysColor(COLOR_BTNFACE) : BlendColor86(bg, wn);
    if (NearestScreenColor(col) == NearestScreenColor(ring)) {
        col = bg;
        ring = wn;
    }
    BOOL hc = CStyledMenuHook::s_bHighContrast;
    auto frame = [&](int l, int t, int r, int b, COLORREF c) { FrameSolid(hDC, l, t, r, b, c); };
    auto column = [&](int height, COLORREF c) {
        CBrush br;
        br.CreateSolidBrush(c);
        RECT rc = {1, 2, 2, 2 + height};
        ::FillRect(hDC, &rc, br);
    };
    if (!FlatMenus()) {
        if (!bOnlyShadow) FillFrame(hDC, 1, 1, w - 6, h - 6, cr.left, cr.top, cr.right + 1, cr.bottom, ring);
        if (hc) {
            frame(0, 0, w - 4, h - 4, ::GetSysColor(COLOR_BTNTEXT));
        } else {
            frame(1, 1, w - 6, h - 6, ring);
            column(h - 8, col);
            frame(0, 0, w - 4, h - 4, fr);
            DrawMenuShadow(hWnd, hDC);
        }
    } else {
        if (!bOnlyShadow) FillFrame(hDC, 1, 1, w - 2, h - 2, cr.left, cr.top, cr.right + 1, cr.bottom, ring);
        if (hc) {
            frame(0, 0, w, h, ::GetSysColor(COLOR_BTNTEXT));
        } else {
            int style = GetCurrentStyle();
            frame(1, 1, w - 2, h - 2, ring);
            column(h - 4, (style == 8 || style == 9) ? wn : col);
            frame(0, 0, w, h, fr);
        }
    }
    return TRUE;
}

BOOL CMenuThemeXP::OnEraseBkgnd(HWND hWnd, HDC hDC) {
    CStyledMenuHook::CMenuHookData* pData = CStyledMenuHook::GetHookData(hWnd);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    CBrush br;
    br.CreateSolidBrush(
        BlendColor86(::GetSysColor(COLOR_WINDOW), GetMenuBackColor(pData ? pData->m_hMenu : nullptr)));
    ::FillRect(hDC, &rc, br);
    return TRUE;
}

// ---- the library object ----
CStyledMenuHook::CStyledMenuHook() {
    GuardOperation(1637, [&] {
        int version = GetWinVersion();
        s_bRemoteSession = version >= 6 && ::GetSystemMetrics(SM_REMOTESESSION) != 0;
        HMODULE hKernel = ::GetModuleHandleA("kernel32.dll");
        s_bWine = hKernel && ::GetProcAddress(hKernel, "wine_get_unix_file_name") != nullptr;
        HIGHCONTRASTA hc = {};
        hc.cbSize = sizeof(hc);
        if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0))
            s_bHighContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
        s_hUxTheme = ::LoadLibraryA("uxtheme.dll");
        if (s_hUxTheme) {
            s_pfnIsThemeActive = (BOOL(WINAPI*)())::GetProcAddress(s_hUxTheme, "IsThemeActive");
            s_pfnSetWindowTheme = ::GetProcAddress(s_hUxTheme, "SetWindowTheme");
        }
        s_hMsimg32 = ::LoadLibraryA("Msimg32.dll");
        if (s_hMsimg32 && version != 3)
            s_pfnGradientFill = AfxFunctionCast<BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG)>(
                ::GetProcAddress(s_hMsimg32, "GradientFill"));
        typedef CStyledMenu M;
        struct Row {
            UINT style;
            int kind;  // 0 plain, 1 XP, 2 2003
            MenuMeasureRoutine measure;
            MenuDrawRoutine draw;
        };
        const Row rows[] = {
            {6, 0, &M::MeasureItem_Look6, &M::DrawItem_Look6},
            {7, 0, &M::MeasureItem_Look6, &M::DrawItem_Look6},
            {0, 0, &M::MeasureItem_Look0, &M::DrawItem_Look0},
            {1, 0, &M::MeasureItem_Look0, &M::DrawItem_Look0},
            {2, 1, &M::MeasureItem_LookXP, &M::DrawItem_LookXP},
            {3, 1, &M::MeasureItem_LookXP, &M::DrawItem_LookXP},
            {8, 2, &M::MeasureItem_LookXP, &M::DrawItem_Look2003},
            {9, 2, &M::MeasureItem_LookXP, &M::DrawItem_Look2003},
            {10, 1, &M::MeasureItem_LookXP, &M::DrawItem_Look2003},
            {11, 1, &M::MeasureItem_LookXP, &M::DrawItem_Look2003},
            {4, 0, &M::MeasureItem_Look0, &M::DrawItem_Look4},
            {5, 0, &M::MeasureItem_Look0, &M::DrawItem_Look4},
        };
        for (const Row& r : rows) {
            BOOL border = (r.style % 2) == 0;
            CMenuTheme* p;
            if (r.kind == 2)
                p = new CMenuTheme2003(r.style, r.measure, r.draw, &M::DrawTitle, border);
            else if (r.kind == 1)
                p = new CMenuThemeXP(r.style, r.measure, r.draw, &M::DrawTitle, border);
            else
                p = new CMenuTheme(r.style, r.measure, r.draw, &M::DrawTitle, border);
            AddTheme(p);
        }
        s_pCurrentTheme = FindTheme(2);
        // The pop-up windows the hook looks for exist only while a menu loop runs; outside one
        // the hook would only cost time (under Wine, three server round trips per message).
        s_hookThreadId = ::GetCurrentThreadId();
        AfxSetMenuLoopObserver(&CStyledMenuHook::OnMenuLoop);
    });
}

void CStyledMenuHook::OnMenuLoop(bool entering) {
    if (::GetCurrentThreadId() != s_hookThreadId) return;
    if (entering) {
        // Should it fail, the menu shows in the system's own look; nothing else depends on it.
        if (s_menuLoops++ == 0 && s_hHook == nullptr)
            s_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, CallWndProcHook, nullptr, s_hookThreadId);
    } else if (s_menuLoops > 0 && --s_menuLoops == 0 && s_hHook) {
        ::UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
    }
}

CStyledMenuHook::~CStyledMenuHook() {
    GuardOperation(1638, [&] {
        AfxSetMenuLoopObserver(nullptr);
        if (s_hHook) ::UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
        s_menuLoops = 0;
        if (s_pThemes) {
            while (!s_pThemes->IsEmpty()) delete s_pThemes->RemoveHead();
            delete s_pThemes;
            s_pThemes = nullptr;
        }
        s_pCurrentTheme = nullptr;
        s_pfnIsThemeActive = nullptr;
        s_pfnSetWindowTheme = nullptr;
        if (s_hUxTheme) ::FreeLibrary(s_hUxTheme);
        s_hUxTheme = nullptr;
        s_pfnGradientFill = nullptr;
        if (s_hMsimg32) ::FreeLibrary(s_hMsimg32);
        s_hMsimg32 = nullptr;
        CStyledMenuIcons::DeleteList();
    });
}

CMenuTheme* CStyledMenuHook::FindTheme(UINT nStyle) {
    CMenuTheme* pFound = nullptr;
    GuardOperation(1641, [&] {
        if (s_pThemes == nullptr) return;
        for (POSITION pos = s_pThemes->GetHeadPosition(); pos;) {
            CMenuTheme* p = s_pThemes->GetNext(pos);
            if (p->m_nStyle == nStyle) {
                pFound = p;
                return;
            }
        }
    });
    return pFound;
}

BOOL CStyledMenuHook::AddTheme(CMenuTheme* pTheme) {
    if (s_pThemes == nullptr) s_pThemes = new CTypedPtrList<CPtrList, CMenuTheme*>(10);
    if (s_pThemes->Find(pTheme)) return FALSE;
    s_pThemes->AddTail(pTheme);
    return TRUE;
}

int CStyledMenu::SetMenuStyle(UINT nStyle) {
    int previous = -1;
    GuardOperation(1514, [&] {
        // Under Wine the pop-up windows keep the border the system gives them: take the look without one.
        if (CStyledMenuHook::s_bWine && nStyle < 11 && nStyle % 2 == 0) nStyle++;
        CMenuTheme* p = CStyledMenuHook::FindTheme(nStyle);
        if (p == nullptr) return;
        previous = CStyledMenuHook::s_pCurrentTheme ? (int)CStyledMenuHook::s_pCurrentTheme->m_nStyle : -1;
        CStyledMenuHook::s_pCurrentTheme = p;
    });
    return previous;
}
