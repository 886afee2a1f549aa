// The window-procedure hook and the subclassing of the system's pop-up menu
// windows ("#32768") that show our menus.
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

namespace {
const char kOldProcProp[] = "OldMenuProc";
const char kTempHandlerProp[] = "CStyledMenuTempHandler";
const UINT kMenuGetMenu = 0x01E1;
const UINT kMenuSizeMsg = 0x01E2;

bool ClassIs(HWND hWnd, const char* name) {
    char buf[16] = {};
    int n = ::GetClassNameA(hWnd, buf, sizeof(buf));
    return n == 6 && memcmp(buf, name, 6) == 0;
}

WNDPROC OldProc(HWND hWnd) {
    return (WNDPROC)::GetPropA(hWnd, kOldProcProp);
}

void MakeScreenCapture(HWND hWnd, CStyledMenuHook::CMenuHookData* p) {
    if (p->m_screen) return;
    RECT wr;
    ::GetWindowRect(hWnd, &wr);
    int w = wr.right - wr.left + 10, h = wr.bottom - wr.top + 10;
    ScopedWindowDC screen(nullptr);
    p->m_screen.Reset(::CreateCompatibleBitmap(screen, w, h));
    ScopedMemoryDC mem(screen);
    mem.Select(p->m_screen, false);
    ::BitBlt(mem, 0, 0, w, h, screen, wr.left, wr.top, SRCCOPY);
}
}  // namespace

CStyledMenuHook::CMenuHookData::CMenuHookData(HWND hWnd, BOOL bAlreadyExists) {
    m_dwStyle = (DWORD)::GetWindowLongA(hWnd, GWL_STYLE);
    m_dwExStyle = (DWORD)::GetWindowLongA(hWnd, GWL_EXSTYLE);
    GuardOperation(1462, [&] {
        if (bAlreadyExists) m_dwFlags |= 1;
        m_hMenu = CStyledMenuHook::s_hMenuOpening;
        CStyledMenuHook::s_hMenuOpening = nullptr;
    });
}

CStyledMenuHook::CMenuHookData::~CMenuHookData() = default;

HRGN CStyledMenuHook::CMenuHookData::LastNcRegion() const {
    return m_ncRegion ? m_ncRegion.Get() : (HRGN)1;
}

CStyledMenuHook::CMenuHookData* CStyledMenuHook::GetHookData(HWND hWnd) {
    CMenuHookData* p = nullptr;
    s_windows.Lookup(hWnd, p);
    return p;
}

LRESULT CALLBACK CStyledMenuHook::CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam) {
    GuardOperation(1653, [&] {
        if (nCode != HC_ACTION) return;
        auto* cwp = (CWPSTRUCT*)lParam;
        BOOL subclassed = FALSE;
        if (cwp->message == WM_CREATE || cwp->message == kMenuSizeMsg)
            subclassed = SubclassPopup(cwp->hwnd, cwp->message == kMenuSizeMsg);
        // Systems that make the menu window before the menu is chosen and never send
        // it the size message: take it as an existing window when it is shown.
        if (!subclassed && cwp->message == WM_WINDOWPOSCHANGING && cwp->lParam &&
            (((WINDOWPOS*)cwp->lParam)->flags & SWP_SHOWWINDOW) && GetHookData(cwp->hwnd) == nullptr)
            subclassed = SubclassPopup(cwp->hwnd, TRUE);
        if (!subclassed && (s_dwOptions & 1) && cwp->message == WM_CREATE && ClassIs(cwp->hwnd, "#32770") &&
            ::GetPropA(cwp->hwnd, kTempHandlerProp) == nullptr)
            new CStyledMenuTempHandler(cwp->hwnd);
    });
    return ::CallNextHookEx(s_hHook, nCode, wParam, lParam);
}

BOOL CStyledMenuHook::SubclassPopup(HWND hWnd, BOOL bAlreadyExists) {
    BOOL subclassed = FALSE;
    GuardOperation(1645, [&] {
        if (!ClassIs(hWnd, "#32768")) return;
        if (GetHookData(hWnd) == nullptr) {
            if (s_hMenuOpening == nullptr) s_hMenuOpening = (HMENU)::SendMessageA(hWnd, kMenuGetMenu, 0, 0);
            if (CStyledMenu::FromHandleStyled(s_hMenuOpening) == nullptr) return;
        }
        WNDPROC proc = (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
        if (proc != nullptr && ::GetPropA(hWnd, kOldProcProp) == nullptr) {
            ::SetPropA(hWnd, kOldProcProp, (HANDLE)proc);
            if (::GetPropA(hWnd, kOldProcProp) == (HANDLE)proc) {
                ::GlobalAddAtomA(kOldProcProp);
                if (GetHookData(hWnd) == nullptr) {
                    CMenuHookData* p = new CMenuHookData(hWnd, bAlreadyExists);
                    s_windows.SetAt(hWnd, p);
                    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)PopupWndProc);
                    subclassed = TRUE;
                    if (s_pCurrentTheme) s_pCurrentTheme->OnInitWnd(hWnd);
                }
            }
        }
        if (s_hMenuOpening != nullptr) {
            if (CMenuHookData* p = GetHookData(hWnd)) {
                p->m_hMenu = s_hMenuOpening;
                s_hMenuOpening = nullptr;
                if (s_pCurrentTheme) s_pCurrentTheme->OnInitWnd(hWnd);
            }
        }
    });
    return subclassed;
}

void CStyledMenuHook::ReleasePopup(HWND hWnd, BOOL bDestroying) {
    GuardOperation(1643, [&] {
        WNDPROC old = OldProc(hWnd);
        const bool onTop = (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == PopupWndProc;
        // Restoring the old procedure under another subclasser would cut that one out of the chain.
        if (old && !onTop && !bDestroying) return;
        if (old) {
            if (onTop) ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)old);
            ::RemovePropA(hWnd, kOldProcProp);
            ATOM atom = ::GlobalFindAtomA(kOldProcProp);
            if (atom) ::GlobalDeleteAtom(atom);
        }
        CMenuHookData* p = GetHookData(hWnd);
        if (p) {
            if (s_pCurrentTheme) s_pCurrentTheme->OnUnInitWnd(hWnd);
            s_windows.RemoveKey(hWnd);
            delete p;
        }
    });
}

LRESULT CALLBACK CStyledMenuHook::PopupWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC old = OldProc(hWnd);
    LRESULT result = 0;
    bool done = false;
    GuardOperation(1644, [&] {
        CMenuHookData* p = GetHookData(hWnd);
        CMenuTheme* pTheme = s_pCurrentTheme;
        if (p == nullptr || pTheme == nullptr || old == nullptr) return;
        BOOL border = pTheme->DoDrawBorder();
        switch (msg) {
            case WM_NCCALCSIZE:
                if (p->m_bDraw && wParam) pTheme->OnNcCalcSize(hWnd, (NCCALCSIZE_PARAMS*)lParam);
                break;
            case WM_NCPAINT:
                if (p->m_bDraw) {
                    HRGN rgn = (HRGN)wParam;
                    if (!p->m_bBorderPainted && rgn != p->LastNcRegion()) {
                        p->m_ncRegion.Reset();
                        if (rgn != (HRGN)1 && rgn != nullptr) {
                            p->m_ncRegion.Reset(::CreateRectRgn(0, 0, 0, 0));
                            ::CombineRgn(p->m_ncRegion, rgn, nullptr, RGN_COPY);
                        }
                    }
                    bool runDefault = !(p->m_dwFlags & 8);
                    if (p->m_bBorderPainted && border) {
                        ScopedWindowDC dc(hWnd, ScopedWindowDC::kWhole);
                        if (pTheme->OnDrawBorder(hWnd, dc, FALSE)) {
                            RECT fr;
                            if (pTheme->OnCalcFrameRect(hWnd, &fr)) {
                                ::InflateRect(&fr, -1, -1);
                                ScopedRegion clip(::CreateRectRgnIndirect(&fr));
                                ::CallWindowProcA(old, hWnd, WM_NCPAINT, (WPARAM)clip.Get(), 0);
                                pTheme->OnDrawBorder(hWnd, dc, TRUE);
                                runDefault = false;
                            }
                        }
                    }
                    if (runDefault && border) MakeScreenCapture(hWnd, p);
                    if (!runDefault) {
                        done = true;
                        result = 0;
                    }
                }
                break;
            case WM_ERASEBKGND:
                if (p->m_bDraw) {
                    if (border && !(p->m_dwFlags & 8) && !p->m_bBorderPainted) {
                        p->m_bBorderPainted = TRUE;
                        ::SendMessageA(hWnd, WM_NCPAINT, 1, 0);
                    }
                    if (pTheme->OnEraseBkgnd(hWnd, (HDC)wParam)) {
                        done = true;
                        result = 1;
                    }
                }
                break;
            case WM_PRINT:
                if (p->m_bDraw && border) {
                    p->m_dwFlags |= 8;
                    HDC target = (HDC)wParam;
                    RECT wr;
                    ::GetWindowRect(hWnd, &wr);
                    int w = wr.right - wr.left, h = wr.bottom - wr.top;
                    ScopedMemoryDC mem(target, w, h);
                    pTheme->OnDrawBorder(hWnd, mem, FALSE);
                    RECT fr;
                    if (pTheme->OnCalcFrameRect(hWnd, &fr)) {
                        ::OffsetRect(&fr, -wr.left, -wr.top);
                        ::InflateRect(&fr, -1, -1);
                        ScopedRegion clip(::CreateRectRgnIndirect(&fr));
                        ::SelectClipRgn(mem, clip);
                        ::CallWindowProcA(old, hWnd, WM_PRINT, (WPARAM)mem.Get(), lParam & ~PRF_NONCLIENT);
                        ::BitBlt(target, 0, 0, w, h, mem, 0, 0, SRCCOPY);
                        ::SelectClipRgn(mem, nullptr);
                        RECT cr;
                        ::GetClientRect(hWnd, &cr);
                        POINT org = {0, 0};
                        ::ClientToScreen(hWnd, &org);
                        int ox = org.x - wr.left, oy = org.y - wr.top;
                        ScopedRegion cclip(::CreateRectRgn(0, 0, cr.right, cr.bottom));
                        ::SelectClipRgn(mem, cclip);
                        ::SendMessageA(hWnd, WM_ERASEBKGND, (WPARAM)mem.Get(), 0);
                        ::SendMessageA(hWnd, WM_PRINTCLIENT, (WPARAM)mem.Get(), lParam);
                        ::BitBlt(target, ox, oy, cr.right - 1, cr.bottom, mem, 0, 0, SRCCOPY);
                    }
                    p->m_dwFlags &= ~8u;
                    done = true;
                    result = 0;
                }
                break;
            case WM_WINDOWPOSCHANGING:
            case WM_WINDOWPOSCHANGED: {
                auto* pos = (WINDOWPOS*)lParam;
                if (msg == WM_WINDOWPOSCHANGING) pTheme->OnWindowPosChanging(hWnd, pos);
                if (!(pos->flags & SWP_NOMOVE)) {
                    if (p->m_ptLast.x == 0 && p->m_ptLast.y == 0) {
                        p->m_ptLast = {pos->x, pos->y};
                    } else if (p->m_ptLast.x != pos->x || p->m_ptLast.y != pos->y) {
                        if (pos->flags & SWP_NOSIZE) {
                            p->m_ptLast = {pos->x, pos->y};
                            p->m_screen.Reset();
                        } else {
                            ReleasePopup(hWnd);
                        }
                    }
                }
                break;
            }
            case WM_TIMER:
                if (wParam == 0x1234 && GetWinVersion() >= 6) {
                    if (!(::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED)) {
                        ::SetWindowLongA(hWnd, GWL_EXSTYLE,
                                         ::GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
                        ::SetLayeredWindowAttributes(hWnd, 0, (BYTE)kMenuAlpha, LWA_ALPHA);
                    }
                    p->m_dwFlags &= ~4u;
                    ::KillTimer(hWnd, 0x1234);
                }
                break;
            case WM_KEYDOWN:
                if (wParam == VK_ESCAPE) p->m_dwFlags |= 4;
                break;
            case WM_SHOWWINDOW:
                if (wParam == 0) ReleasePopup(hWnd);
                break;
            case WM_NCDESTROY:
                ReleasePopup(hWnd, TRUE);
                break;
            default:
                break;
        }
    });
    if (done) return result;
    if (old == nullptr) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    return ::CallWindowProcA(old, hWnd, msg, wParam, lParam);
}

// ---- dialogs whose menus are owner-drawn too ----
CStyledMenuTempHandler::CStyledMenuTempHandler(HWND hWnd) : m_pMenu(new CStyledMenu(nullptr)), m_hWnd(hWnd) {
    GuardOperation(1648, [&] {
        ::SetPropA(hWnd, kTempHandlerProp, (HANDLE)this);
        m_pfnOld = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)WndProc);
    });
}

CStyledMenuTempHandler::~CStyledMenuTempHandler() {
    GuardOperation(1649, [&] {
        if (m_pfnOld) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnOld);
        ::RemovePropA(m_hWnd, kTempHandlerProp);
        // The system menu belongs to the window; give it up rather than destroy it.
        m_pMenu->Detach();
        delete m_pMenu;
    });
}

LRESULT CALLBACK CStyledMenuTempHandler::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    auto* self = (CStyledMenuTempHandler*)::GetPropA(hWnd, kTempHandlerProp);
    if (self == nullptr) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    WNDPROC old = self->m_pfnOld;
    bool handled = false;
    GuardOperation(1652, [&] {
        GuardOperation(1651, [&] {
            switch (msg) {
                case WM_INITMENUPOPUP: {
                    result = ::CallWindowProcA(old, hWnd, msg, wParam, lParam);
                    CMenu* pMenu = CMenu::FromHandle((HMENU)wParam);
                    CStyledMenu::InitMenuPopup(hWnd, pMenu, LOWORD(lParam), HIWORD(lParam));
                    handled = true;
                    break;
                }
                case WM_MENUCHAR:
                    if (CStyledMenu* p = CStyledMenu::FromHandleStyled((HMENU)lParam)) {
                        result = p->FindMnemonic(LOWORD(wParam));
                        handled = true;
                    }
                    break;
                case WM_INITDIALOG:
                    if (CStyledMenuHook::s_dwOptions & 2) {
                        result = ::CallWindowProcA(old, hWnd, msg, wParam, lParam);
                        HMENU hSys = ::GetSystemMenu(hWnd, FALSE);
                        if (hSys && ::IsMenu(hSys) && CStyledMenu::FromHandleStyled(hSys) == nullptr)
                            self->m_pMenu->Attach(hSys);
                        handled = true;
                    }
                    break;
                case WM_DESTROY:
                    result = ::CallWindowProcA(old, hWnd, msg, wParam, lParam);
                    delete self;
                    handled = true;
                    break;
                case WM_DRAWITEM: {
                    auto* dis = (DRAWITEMSTRUCT*)lParam;
                    if (self->m_pMenu->m_hMenu && dis->CtlType == ODT_MENU) {
                        if (CStyledMenu* p = CStyledMenu::FromHandleStyled((HMENU)dis->hwndItem)) {
                            p->DrawItem(dis);
                            result = 1;
                            handled = true;
                        }
                    }
                    break;
                }
                case WM_MEASUREITEM: {
                    MSG m = {hWnd, msg, wParam, lParam, 0, {0, 0}};
                    if (CStyledMenu::MeasureMenuItem(&m)) {
                        result = 1;
                        handled = true;
                    }
                    break;
                }
                default:
                    break;
            }
        });
    });
    if (handled) return result;
    return ::CallWindowProcA(old, hWnd, msg, wParam, lParam);
}
