#include "framework/win/Wnd.h"

#include <map>
#include <mutex>
#include <string>

#include "framework/win/WinApp.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"

const char* const AFX_WND = "KvWnd";
const char* const AFX_WNDFRAMEORVIEW = "KvFrameOrView";

namespace {

// Kept on every window whose procedure we replaced, so that the previous
// procedure stays reachable when the object is gone but a procedure installed
// on top of ours still calls AfxWndProc.
const char kSuperProcProp[] = "KvSuperProc";

CObject* NewTempWnd(HANDLE h) {
    CWnd* p = new CWnd;
    p->m_hWnd = (HWND)h;
    return p;
}
void ClearTempWnd(CObject* p) {
    static_cast<CWnd*>(p)->m_hWnd = nullptr;
}

CHandleMap* WndMap() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_pmapHWND) pState->m_pmapHWND = new CHandleMap(NewTempWnd, ClearTempWnd);
    return pState->m_pmapHWND;
}

// Records whether the command of a menu item or accelerator is enabled.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

BOOL RegisterClassOnce(LPCTSTR lpszName, UINT style, HCURSOR hCursor, HBRUSH hbr, HICON hIcon) {
    WNDCLASSA wc;
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (::GetClassInfoA(hInst, lpszName, &wc)) return TRUE;
    memset(&wc, 0, sizeof(wc));
    wc.style = style;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbr;
    wc.hIcon = hIcon;
    wc.lpszClassName = lpszName;
    return ::RegisterClassA(&wc) != 0;
}

std::mutex g_classMutex;
std::map<std::string, std::string>& ClassNames() {
    static std::map<std::string, std::string> names;
    return names;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    MSG oldState = pState->m_lastSentMsg;
    pState->m_lastSentMsg.hwnd = hWnd;
    pState->m_lastSentMsg.message = nMsg;
    pState->m_lastSentMsg.wParam = wParam;
    pState->m_lastSentMsg.lParam = lParam;

    if (nMsg == WM_INITMENUPOPUP && !HIWORD(lParam)) {
        pState->m_hTrackingWindow = hWnd;
        pState->m_hTrackingMenu = (HMENU)wParam;
    }

    if (nMsg == WM_ENTERMENULOOP) AfxNotifyMenuLoop(true);

    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        // Nothing may unwind through the system's window-procedure frames.
        char sz[256] = {0};
        e->GetErrorMessage(sz, sizeof(sz));
        bool bTold = e->IsKindOf(RUNTIME_CLASS(CUserException));  // the user was already told
        e->Delete();
        if (!bTold) AfxMessageBox(sz[0] ? sz : "An unexpected error occurred.", MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox("An unexpected error occurred.", MB_ICONSTOP);
    }

    if (nMsg == WM_EXITMENULOOP) AfxNotifyMenuLoop(false);
    if (nMsg == WM_EXITMENULOOP && pState->m_hTrackingWindow == hWnd) {
        pState->m_hTrackingWindow = nullptr;
        pState->m_hTrackingMenu = nullptr;
    }
    pState->m_lastSentMsg = oldState;
    return lResult;
}

}  // namespace

LRESULT CALLBACK KvCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (code == HCBT_CREATEWND && pState->m_pWndInit != nullptr) {
        CWnd* pWndInit = pState->m_pWndInit;
        pState->m_pWndInit = nullptr;
        HWND hWnd = (HWND)wParam;
        pWndInit->Attach(hWnd);
        pWndInit->PreSubclassWindow();
        pWndInit->InstallWndProc();
    }
    return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_hHookOldCbtFilter == nullptr)
        pState->m_hHookOldCbtFilter =
            ::SetWindowsHookExA(WH_CBT, KvCbtFilterHook, nullptr, ::GetCurrentThreadId());
    pState->m_pWndInit = pWnd;
}

void AfxUnhookWindowCreate() {
    AfxGetThreadState()->m_pWndInit = nullptr;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        WNDPROC pfnSuper = (WNDPROC)::GetPropA(hWnd, kSuperProcProp);
        if (nMsg == WM_NCDESTROY) ::RemovePropA(hWnd, kSuperProcProp);
        if (pfnSuper != nullptr && pfnSuper != AfxWndProc)
            return ::CallWindowProcA(pfnSuper, hWnd, nMsg, wParam, lParam);
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    }
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

WNDPROC AfxGetAfxWndProc() {
    return AfxWndProc;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    char sz[96];
    wsprintfA(sz, "Kv:%x:%x:%x:%x:%x", (UINT)(UINT_PTR)AfxGetInstanceHandle(), nClassStyle,
              (UINT)(UINT_PTR)hCursor, (UINT)(UINT_PTR)hbrBackground, (UINT)(UINT_PTR)hIcon);
    std::lock_guard<std::mutex> lock(g_classMutex);
    auto& names = ClassNames();
    auto it = names.find(sz);
    if (it == names.end()) {
        RegisterClassOnce(sz, nClassStyle, hCursor, hbrBackground, hIcon);
        it = names.emplace(sz, sz).first;
    }
    return it->second.c_str();
}

// ---- CWnd: handle maps ----

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // The window outlives no object: destroy it (its WM_NCDESTROY detaches).
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
        if (m_hWnd != nullptr) Detach();
    }
}

HWND CWnd::KvSafeHwnd(const CWnd* pWnd) {
    return pWnd ? pWnd->m_hWnd : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return static_cast<CWnd*>(WndMap()->FromHandle(hWnd));
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(WndMap()->LookupPermanent(hWnd)) : nullptr;
}

void CWnd::DeleteTempMap() {
    WndMap()->DeleteTemp();
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr) return FALSE;
    CHandleMap* pMap = WndMap();
    if (CObject* pOld = pMap->LookupPermanent(hWndNew)) return pOld == this;
    // The window held so far is not this object's any more (attaching never made it the
    // owner of the window's life, so it is left as it is).
    if (m_hWnd != nullptr) Detach();
    m_hWnd = hWndNew;
    pMap->SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) WndMap()->RemoveHandleOf(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::InstallWndProc() {
    WNDPROC pfnOld = (WNDPROC)::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (pfnOld != AfxWndProc) {
        m_pfnSuper = pfnOld;
        ::SetPropA(m_hWnd, kSuperProcProp, (HANDLE)pfnOld);
    }
}

WNDPROC* CWnd::GetSuperWndProcAddr() {
    return &m_pfnSuper;
}

// ---- creation ----

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr) {
        RegisterClassOnce(AFX_WND, CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
        cs.lpszClass = AFX_WND;
    } else if (lstrcmpA(cs.lpszClass, AFX_WNDFRAMEORVIEW) == 0) {
        RegisterClassOnce(AFX_WNDFRAMEORVIEW, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                          ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), nullptr);
    } else if (lstrcmpA(cs.lpszClass, AFX_WND) == 0) {
        RegisterClassOnce(AFX_WND, CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    CREATESTRUCT cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    (LPVOID)pContext);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    HWND hWnd = m_hWnd;
    CHandleMap* pMap = WndMap();
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window attached without our procedure never saw WM_NCDESTROY pass through
    // us: detach it here. (When it did, the object may already be deleted, so
    // only the map is consulted.)
    if (pMap->LookupPermanent(hWnd) == this) Detach();
    return bResult;
}

// ---- subclassing ----

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd)) return FALSE;
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    InstallWndProc();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
    if (hWndControl == nullptr) return FALSE;
    return SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr) return nullptr;
    if (m_pfnSuper != nullptr) {
        WNDPROC pfnCurrent = (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
        if (pfnCurrent == AfxWndProc) {
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
            ::RemovePropA(m_hWnd, kSuperProcProp);
        }
        // Otherwise a procedure sits on top of ours; AfxWndProc keeps forwarding
        // to the old procedure through the window property.
    }
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- message handling ----

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* CWnd::GetCurrentMessage() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    DWORD pos = ::GetMessagePos();
    pState->m_lastSentMsg.pt.x = (short)LOWORD(pos);
    pState->m_lastSentMsg.pt.y = (short)HIWORD(pos);
    pState->m_lastSentMsg.time = (DWORD)::GetMessageTime();
    return &pState->m_lastSentMsg;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (hWnd == hWndStop) break;
    }
    return FALSE;
}

namespace {

// One call of a message handler: the handler, the message and what it returns.
struct HandlerCall {
    CWnd* wnd;
    AFX_PMSGW pfn;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nCtlType;  // the control-colour message's kind
    LRESULT lResult;
};

// Handlers without arguments or with one flag, one DC or the create structure. False when the signature is not of this group.
bool CallPlain(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vv:
            (self->*pfn)();
            break;
        case AfxSig_lwl:
            c.lResult = (self->*AfxHandlerCast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
            break;
        case AfxSig_is:
            c.lResult = (self->*AfxHandlerCast<int (CWnd::*)(LPCREATESTRUCT)>(pfn))((LPCREATESTRUCT)lParam);
            break;
        case AfxSig_bD:
            c.lResult = (self->*AfxHandlerCast<BOOL (CWnd::*)(CDC*)>(pfn))(CDC::FromHandle((HDC)wParam));
            break;
        case AfxSig_vD:
            (self->*AfxHandlerCast<void (CWnd::*)(CDC*)>(pfn))(CDC::FromHandle((HDC)wParam));
            break;
        case AfxSig_vb:
            (self->*AfxHandlerCast<void (CWnd::*)(BOOL)>(pfn))((BOOL)wParam);
            break;
        case AfxSig_bb:
            c.lResult = (self->*AfxHandlerCast<BOOL (CWnd::*)(BOOL)>(pfn))((BOOL)wParam);
            break;
        case AfxSig_uv:
            c.lResult = (self->*AfxHandlerCast<UINT (CWnd::*)()>(pfn))();
            break;
        default:
            return false;
    }
    return true;
}

// Handlers of mouse and position messages: a point, or two coordinates. False when the signature is not of this group.
bool CallWithPoint(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vwp:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, CPoint)>(pfn))((UINT)wParam, CPoint(lParam));
            break;
        case AfxSig_bwsp:
            c.lResult = (self->*AfxHandlerCast<BOOL (CWnd::*)(UINT, short, CPoint)>(pfn))(
                LOWORD(wParam), (short)HIWORD(wParam), CPoint(lParam));
            break;
        case AfxSig_vp:
            (self->*AfxHandlerCast<void (CWnd::*)(CPoint)>(pfn))(CPoint(lParam));
            break;
        case AfxSig_lp:
            c.lResult = (self->*AfxHandlerCast<LRESULT (CWnd::*)(CPoint)>(pfn))(CPoint(lParam));
            break;
        case AfxSig_vwii:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, int, int)>(pfn))((UINT)wParam, (short)LOWORD(lParam),
                                                                         (short)HIWORD(lParam));
            break;
        case AfxSig_vii:
            (self->*AfxHandlerCast<void (CWnd::*)(int, int)>(pfn))((short)LOWORD(lParam),
                                                                   (short)HIWORD(lParam));
            break;
        default:
            return false;
    }
    return true;
}

// Handlers given another window: activation, focus, scrolling and control colours. False when the signature is not of this group.
bool CallWithWindow(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vW:
            (self->*AfxHandlerCast<void (CWnd::*)(CWnd*)>(pfn))(
                CWnd::FromHandle((HWND)(c.message == WM_CAPTURECHANGED ? lParam : wParam)));
            break;
        case AfxSig_vWp:
            (self->*AfxHandlerCast<void (CWnd::*)(CWnd*, CPoint)>(pfn))(CWnd::FromHandle((HWND)wParam),
                                                                        CPoint(lParam));
            break;
        case AfxSig_vwWb:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, CWnd*, BOOL)>(pfn))(
                LOWORD(wParam), CWnd::FromHandle((HWND)lParam), (BOOL)HIWORD(wParam));
            break;
        case AfxSig_iWww:
            c.lResult = (self->*AfxHandlerCast<int (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(
                CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case AfxSig_bWww:
            c.lResult = (self->*AfxHandlerCast<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(
                CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case AfxSig_vwwW:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, UINT, CScrollBar*)>(pfn))(
                LOWORD(wParam), HIWORD(wParam),
                reinterpret_cast<CScrollBar*>(CWnd::FromHandle((HWND)lParam)));
            break;
        case AfxSig_hDWw:
            c.lResult = (LRESULT)(self->*AfxHandlerCast<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(pfn))(
                CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), c.nCtlType);
            break;
        case AfxSig_hDw: {
            AFX_CTLCOLOR* pCtl = (AFX_CTLCOLOR*)lParam;
            c.lResult = (LRESULT)(self->*AfxHandlerCast<HBRUSH (CWnd::*)(CDC*, UINT)>(pfn))(
                CDC::FromHandle(pCtl->hDC), pCtl->nCtlType);
            break;
        }
        default:
            return false;
    }
    return true;
}

// Handlers given the message's words as numbers and flags. False when the signature is not of this group.
bool CallWithWords(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vbw:
            (self->*AfxHandlerCast<void (CWnd::*)(BOOL, UINT)>(pfn))((BOOL)wParam, (UINT)lParam);
            break;
        case AfxSig_vbh:
            (self->*AfxHandlerCast<void (CWnd::*)(BOOL, DWORD)>(pfn))((BOOL)wParam, (DWORD)lParam);
            break;
        case AfxSig_vww:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, UINT)>(pfn))(LOWORD(wParam), HIWORD(wParam));
            break;
        case AfxSig_vwww:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, UINT, UINT)>(pfn))((UINT)wParam, LOWORD(lParam),
                                                                           HIWORD(lParam));
            break;
        case AfxSig_vwl:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, LPARAM)>(pfn))((UINT)wParam, lParam);
            break;
        case AfxSig_vw:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT_PTR)>(pfn))((UINT_PTR)wParam);
            break;
        case AfxSig_vws:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, LPCTSTR)>(pfn))((UINT)wParam, (LPCTSTR)lParam);
            break;
        default:
            return false;
    }
    return true;
}

// Handlers of menu messages. False when the signature is not of this group.
bool CallWithMenu(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vMwb:
            (self->*AfxHandlerCast<void (CWnd::*)(CMenu*, UINT, BOOL)>(pfn))(
                CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), (BOOL)HIWORD(lParam));
            break;
        case AfxSig_vMw:
            (self->*AfxHandlerCast<void (CWnd::*)(CMenu*, UINT)>(pfn))(CMenu::FromHandle((HMENU)wParam),
                                                                       HIWORD(lParam));
            break;
        case AfxSig_lwwM:
            c.lResult = (self->*AfxHandlerCast<LRESULT (CWnd::*)(UINT, UINT, CMenu*)>(pfn))(
                LOWORD(wParam), HIWORD(wParam), CMenu::FromHandle((HMENU)lParam));
            break;
        case AfxSig_vwwh:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, UINT, HMENU)>(pfn))(LOWORD(wParam), HIWORD(wParam),
                                                                            (HMENU)lParam);
            break;
        default:
            return false;
    }
    return true;
}

// Handlers given a structure: owner drawing, positions, sizes, help, styles, drops. False when the signature is not of this group.
bool CallWithStruct(HandlerCall& c, UINT signature) {
    CWnd* self = c.wnd;
    const AFX_PMSGW pfn = c.pfn;
    const WPARAM wParam = c.wParam;
    const LPARAM lParam = c.lParam;
    switch (signature) {
        case AfxSig_vOWNER:
            (self->*AfxHandlerCast<void (CWnd::*)(int, LPDRAWITEMSTRUCT)>(pfn))((int)wParam,
                                                                                (LPDRAWITEMSTRUCT)lParam);
            c.lResult = TRUE;
            break;
        case AfxSig_vMEASURE:
            (self->*AfxHandlerCast<void (CWnd::*)(int, LPMEASUREITEMSTRUCT)>(pfn))(
                (int)wParam, (LPMEASUREITEMSTRUCT)lParam);
            c.lResult = TRUE;
            break;
        case AfxSig_vPOS:
            (self->*AfxHandlerCast<void (CWnd::*)(WINDOWPOS*)>(pfn))((WINDOWPOS*)lParam);
            break;
        case AfxSig_vMMI:
            (self->*AfxHandlerCast<void (CWnd::*)(MINMAXINFO*)>(pfn))((MINMAXINFO*)lParam);
            break;
        case AfxSig_vCALC:
            (self->*AfxHandlerCast<void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*)>(pfn))(
                (BOOL)wParam, (NCCALCSIZE_PARAMS*)lParam);
            break;
        case AfxSig_vwpR:
            (self->*AfxHandlerCast<void (CWnd::*)(UINT, LPRECT)>(pfn))((UINT)wParam, (LPRECT)lParam);
            c.lResult = TRUE;
            break;
        case AfxSig_bHELPINFO:
            c.lResult = (self->*AfxHandlerCast<BOOL (CWnd::*)(HELPINFO*)>(pfn))((HELPINFO*)lParam);
            break;
        case AfxSig_vwSTYLE:
            (self->*AfxHandlerCast<void (CWnd::*)(int, LPSTYLESTRUCT)>(pfn))((int)wParam,
                                                                             (LPSTYLESTRUCT)lParam);
            break;
        case AfxSig_vH:
            (self->*AfxHandlerCast<void (CWnd::*)(HDROP)>(pfn))((HDROP)wParam);
            break;
        case AfxSig_vPTR:
            (self->*AfxHandlerCast<void (CWnd::*)(void*)>(pfn))((void*)lParam);
            c.lResult = TRUE;
            break;
        case AfxSig_iPTR:
            c.lResult = (self->*AfxHandlerCast<int (CWnd::*)(void*)>(pfn))((void*)lParam);
            break;
        default:
            return false;
    }
    return true;
}

// The first entry for the message in the class's map or a base class's map.
const AFX_MSGMAP_ENTRY* FindWindowMessageEntry(const AFX_MSGMAP* pMap, UINT nLookup) {
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        // Registered messages (0xC000 and up) match their entries through the variable's value.
        const AFX_MSGMAP_ENTRY* lpEntry = CCmdTarget::FindMessageEntry(pMap->lpEntries, nLookup, 0, 0);
        if (lpEntry != nullptr) return lpEntry;
        if (pMap->pfnGetBaseMap == nullptr) break;
    }
    return nullptr;
}

// The child a request of a child (compare, delete, key-to-item, parent notification) names.
HWND ChildOfRequest(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMPAREITEM:
            return ((LPCOMPAREITEMSTRUCT)lParam)->hwndItem;
        case WM_DELETEITEM:
            return ((LPDELETEITEMSTRUCT)lParam)->hwndItem;
        case WM_PARENTNOTIFY: {
            UINT ev = LOWORD(wParam);
            if (ev == WM_CREATE || ev == WM_DESTROY) return (HWND)lParam;
            return ::GetDlgItem(parent, HIWORD(wParam));
        }
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return (HWND)lParam;
        default:
            return nullptr;
    }
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        lResult = 1;
        if (pResult) *pResult = lResult;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr) return FALSE;
        if (!OnNotify(wParam, lParam, &lResult)) return FALSE;
        if (pResult) *pResult = lResult;
        return TRUE;
    }

    UINT nLookup = message;
    UINT nCtlType = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        nLookup = WM_CTLCOLOR;
        nCtlType = message - WM_CTLCOLORMSGBOX;
    }

    const AFX_MSGMAP_ENTRY* lpEntry = FindWindowMessageEntry(GetMessageMap(), nLookup);
    if (lpEntry == nullptr) {
        // Requests of children that no entry handled still go back to the child.
        HWND hWndChild = ChildOfRequest(m_hWnd, message, wParam, lParam);
        if (hWndChild != nullptr && hWndChild != m_hWnd &&
            ReflectMsg(hWndChild, message, wParam, lParam, &lResult)) {
            if (pResult) *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }

    HandlerCall call = {this, static_cast<AFX_PMSGW>(lpEntry->pfn), message, wParam, lParam, nCtlType, 0};
    const UINT signature = lpEntry->nSig;
    if (!CallPlain(call, signature) && !CallWithPoint(call, signature) && !CallWithWindow(call, signature) &&
        !CallWithWords(call, signature) && !CallWithMenu(call, signature) && !CallWithStruct(call, signature))
        return FALSE;
    if (pResult) *pResult = call.lResult;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        if (nID == 0) return FALSE;
        // A menu item or accelerator runs its command only while enabled.
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, (int)CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled) return TRUE;
        nCode = CN_COMMAND;
    } else {
        // The control's own map sees its notification first.
        if (ReflectMsg(hWndCtrl, WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    NMHDR* pNMHDR = (NMHDR*)lParam;
    HWND hWndCtrl = pNMHDR->hwndFrom;
    if (ReflectMsg(hWndCtrl, WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
    AFX_NOTIFY notify;
    notify.pResult = pResult;
    notify.pNMHDR = pNMHDR;
    return OnCmdMsg((UINT)pNMHDR->idFrom, MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

// ---- reflection ----

BOOL CWnd::ReflectMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    if (pWnd == nullptr) return FALSE;
    LRESULT lResult = 0;
    BOOL bHandled = pWnd->OnChildNotify(message, wParam, lParam, &lResult);
    if (bHandled && pResult) *pResult = lResult;
    return bHandled;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return ReflectMsg(hWndChild, msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    switch (message) {
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_PARENTNOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
            if (!CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &lResult)) return FALSE;
            break;
        case WM_COMMAND:
            if (!CCmdTarget::OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr,
                                      nullptr))
                return FALSE;
            lResult = 1;
            break;
        case WM_NOTIFY: {
            NMHDR* pNMHDR = (NMHDR*)lParam;
            AFX_NOTIFY notify;
            notify.pResult = &lResult;
            notify.pNMHDR = pNMHDR;
            if (!CCmdTarget::OnCmdMsg(0, MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY), &notify,
                                      nullptr))
                return FALSE;
            break;
        }
        default:
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
                AFX_CTLCOLOR ctl;
                ctl.hDC = (HDC)wParam;
                ctl.nCtlType = message - WM_CTLCOLORMSGBOX;
                ctl.hWnd = m_hWnd;
                if (!CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, (LPARAM)&ctl, &lResult)) return FALSE;
                if (lResult == 0) return FALSE;  // no brush: the parent takes its default course
                break;
            }
            return FALSE;
    }
    if (pResult) *pResult = lResult;
    return TRUE;
}

// ---- command user interface ----

void CWnd::UpdatePopupMenuCmdUI(CMenu* pPopupMenu, BOOL bDisableIfNoHndler, CCmdTarget* pTarget) {
    if (pPopupMenu == nullptr || pPopupMenu->m_hMenu == nullptr) return;
    if (pTarget == nullptr) pTarget = this;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = pPopupMenu->GetMenuItemID(state.m_nIndex);
        if (state.m_nID == 0) continue;  // separator
        if (state.m_nID == (UINT)-1) {
            // A popup item follows the update of its first item.
            state.m_pSubMenu = pPopupMenu->GetSubMenu(state.m_nIndex);
            if (state.m_pSubMenu == nullptr) continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == (UINT)-1) continue;
            state.DoUpdate(pTarget, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(pTarget, bDisableIfNoHndler && state.m_nID < 0xF000);
        }
        // A handler may have removed items.
        UINT nCount = pPopupMenu->GetMenuItemCount();
        if (nCount < state.m_nIndexMax) {
            state.m_nIndex -= (state.m_nIndexMax - nCount);
            while (state.m_nIndex < nCount && pPopupMenu->GetMenuItemID(state.m_nIndex) == state.m_nID)
                state.m_nIndex++;
        }
        state.m_nIndexMax = nCount;
    }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            CWnd* pWnd = FromHandlePermanent(hWndChild);
            if (pWnd != nullptr) AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
        } else {
            ::SendMessage(hWndChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hWndChild) != nullptr) {
            CWnd wndTemp;
            wndTemp.m_hWnd = hWndChild;
            wndTemp.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            wndTemp.m_hWnd = nullptr;
        }
    }
}

namespace {
// The window at the top of hWnd's chain of child windows.
HWND TopOfChildChain(HWND hWnd) {
    HWND hWndT;
    while ((::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) && (hWndT = ::GetParent(hWnd)) != nullptr)
        hWnd = hWndT;
    return hWnd;
}
}  // namespace

CWnd* CWnd::GetTopLevelParent() const {
    if (m_hWnd == nullptr) return nullptr;
    return FromHandle(TopOfChildChain(m_hWnd));
}

CWnd* CWnd::GetOwner() const {
    if (m_hWndOwner != nullptr) return FromHandle(m_hWndOwner);
    return GetParent();
}

CWnd* CWnd::GetParentOwner() const {
    if (m_hWnd == nullptr) return nullptr;
    return FromHandle(TopOfChildChain(m_hWnd));
}

CWnd* CWnd::GetTopLevelOwner() const {
    if (m_hWnd == nullptr) return nullptr;
    HWND hWndOwner = m_hWnd;
    HWND hWndT;
    while ((hWndT = ::GetWindow(hWndOwner, GW_OWNER)) != nullptr) hWndOwner = hWndT;
    return FromHandle(hWndOwner);
}

// ---- layout ----

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect) {
    HWND hWndParent = ::GetParent(hWnd);
    if (lpLayout != nullptr && lpLayout->hDWP == nullptr) return;  // query mode: nothing moves
    RECT rcOld;
    ::GetWindowRect(hWnd, &rcOld);
    ::MapWindowPoints(nullptr, hWndParent, (LPPOINT)&rcOld, 2);
    if (::EqualRect(&rcOld, lpRect)) return;
    if (lpLayout != nullptr && lpLayout->hDWP != nullptr) {
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                          lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                          SWP_NOACTIVATE | SWP_NOZORDER);
    } else {
        ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                       lpRect->bottom - lpRect->top, SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

HMENU AfxGetTrackingMenu(HWND hWnd) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    return (pState->m_hTrackingWindow == hWnd) ? pState->m_hTrackingMenu : nullptr;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
    AFX_SIZEPARENTPARAMS layout;
    layout.bStretch = bStretch;
    layout.sizeTotal.cx = layout.sizeTotal.cy = 0;
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    BOOL bQuery = (nFlags & ~reposNoPosLeftOver) == reposQuery;
    layout.hDWP = bQuery ? nullptr : ::BeginDeferWindowPos(8);

    HWND hWndLeftOver = nullptr;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        UINT nIDC = (UINT)::GetDlgCtrlID(hWndChild);
        CWnd* pWnd = FromHandlePermanent(hWndChild);
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && pWnd != nullptr)
            ::SendMessage(hWndChild, WM_SIZEPARENT, 0, (LPARAM)&layout);
    }

    if (bQuery) {
        if (lpRectParam != nullptr) {
            if (bStretch)
                *lpRectParam = layout.rect;
            else {
                lpRectParam->left = lpRectParam->top = 0;
                lpRectParam->right = layout.sizeTotal.cx;
                lpRectParam->bottom = layout.sizeTotal.cy;
            }
        }
        return;
    }
    if ((nFlags & ~reposNoPosLeftOver) == reposExtra && lpRectParam != nullptr) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (nIDLeftOver != 0 && hWndLeftOver != nullptr && !(nFlags & reposNoPosLeftOver)) {
        CWnd* pLeftOver = FromHandle(hWndLeftOver);
        pLeftOver->CalcWindowRect(&layout.rect);
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    }
    if (layout.hDWP != nullptr) ::EndDeferWindowPos(layout.hDWP);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType) {
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == adjustBorder) dwExStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

// ---- wrappers ----

namespace {
// Changes the style bits at nIndex (GWL_STYLE or GWL_EXSTYLE); with nFlags the frame is
// updated through SetWindowPos. False when nothing changed.
BOOL ModifyStyleBits(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = (DWORD)::GetWindowLong(hWnd, nIndex);
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle) return FALSE;
    ::SetWindowLong(hWnd, nIndex, (LONG)dwNewStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleBits(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleBits(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const {
    int nLen = ::GetWindowTextLength(m_hWnd);
    char* p = rString.GetBuffer(nLen + 1);
    int n = ::GetWindowText(m_hWnd, p, nLen + 1);
    rString.ReleaseBuffer(n < 0 ? 0 : n);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd == nullptr) return 0;
    int nLen = ::GetWindowTextLength(hWnd);
    char* p = rString.GetBuffer(nLen + 1);
    int n = ::GetWindowText(hWnd, p, nLen + 1);
    rString.ReleaseBuffer(n < 0 ? 0 : n);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const {
    return CFont::FromHandle((HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, (LPPOINT)lpRect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL) std::swap(lpRect->left, lpRect->right);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, (LPPOINT)lpRect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL) std::swap(lpRect->left, lpRect->right);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    DWORD dwStyle = GetStyle();
    HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
    if (hWndCenter == nullptr) {
        if (dwStyle & WS_CHILD)
            hWndCenter = ::GetParent(m_hWnd);
        else
            hWndCenter = ::GetWindow(m_hWnd, GW_OWNER);
        if (hWndCenter != nullptr) {
            // centre over the top-level window that holds the owner
            HWND hWndTemp = (HWND)::SendMessage(hWndCenter, WM_QUERYCENTERWND, 0, 0);
            if (hWndTemp != nullptr) hWndCenter = hWndTemp;
        }
    }
    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    RECT rcArea, rcCenter;
    if (!(dwStyle & WS_CHILD)) {
        if (hWndCenter != nullptr) {
            DWORD dwAlternate = (DWORD)::GetWindowLong(hWndCenter, GWL_STYLE);
            if (!(dwAlternate & WS_VISIBLE) || (dwAlternate & WS_MINIMIZE)) hWndCenter = nullptr;
        }
        MONITORINFO mi;
        mi.cbSize = sizeof(mi);
        HMONITOR hMon = ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
        ::GetMonitorInfo(hMon, &mi);
        rcArea = mi.rcWork;
        if (hWndCenter == nullptr)
            rcCenter = rcArea;
        else
            ::GetWindowRect(hWndCenter, &rcCenter);
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        ::GetClientRect(hWndCenter, &rcCenter);
        ::MapWindowPoints(hWndCenter, hWndParent, (POINT*)&rcCenter, 2);
    }
    int w = rcDlg.right - rcDlg.left, h = rcDlg.bottom - rcDlg.top;
    int xLeft = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int yTop = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    if (xLeft + w > rcArea.right) xLeft = rcArea.right - w;
    if (xLeft < rcArea.left) xLeft = rcArea.left;
    if (yTop + h > rcArea.bottom) yTop = rcArea.bottom - h;
    if (yTop < rcArea.top) yTop = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, xLeft, yTop, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) {
    ::InvalidateRgn(m_hWnd, (HRGN)pRgn->GetSafeHandle(), bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, (HRGN)prgnUpdate->GetSafeHandle(), flags);
}

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
                         LPRECT lpRectUpdate, UINT flags) {
    return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip, (HRGN)prgnUpdate->GetSafeHandle(),
                            lpRectUpdate, flags);
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) {
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

CMenu* CWnd::GetMenu() const {
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}
BOOL CWnd::SetMenu(CMenu* pMenu) {
    return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu());
}
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

int CWnd::GetScrollLimit(int nBar) {
    SCROLLINFO info;
    if (!GetScrollInfo(nBar, &info, SIF_RANGE | SIF_PAGE)) return 0;
    int nMax = info.nMax;
    if (info.nPage > 0) nMax -= (int)info.nPage - 1;
    return nMax < 0 ? 0 : nMax;
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const {
    return nullptr;
}

void CWnd::DragAcceptFiles(BOOL bAccept) {
    ModifyStyleEx(bAccept ? 0 : WS_EX_ACCEPTFILES, bAccept ? WS_EX_ACCEPTFILES : 0);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    return AfxPlainMessageBox(lpszText, nType, lpszCaption ? lpszCaption : AfxGetAppName(), m_hWnd);
}

void CWnd::DoDataExchange(CDataExchange*) {}

// ---- default handlers ----

int CWnd::OnCreate(LPCREATESTRUCT) {
    return (int)Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnNcPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return (BOOL)Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnSizing(UINT, LPRECT) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return (BOOL)Default();
}
void CWnd::OnMouseLeave() {
    Default();
}
void CWnd::OnMouseHover(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnNcRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnNcMouseMove(UINT, CPoint) {
    Default();
}
LRESULT CWnd::OnNcHitTest(CPoint) {
    return Default();
}
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {
    Default();
}
BOOL CWnd::OnNcActivate(BOOL) {
    return (BOOL)Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return (BOOL)Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnActivateApp(BOOL, DWORD) {
    Default();
}
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return (int)Default();
}
void CWnd::OnCancelMode() {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return (UINT)Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnUnInitMenuPopup(CMenu*, UINT) {
    Default();
}
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) {
    return Default();
}
void CWnd::OnMenuSelect(UINT, UINT, HMENU) {
    Default();
}
void CWnd::OnEnterMenuLoop(BOOL) {
    Default();
}
void CWnd::OnExitMenuLoop(BOOL) {
    Default();
}
void CWnd::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}
void CWnd::OnWindowPosChanged(WINDOWPOS*) {
    Default();
}
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) {
    Default();
}
void CWnd::OnSysColorChange() {
    Default();
}
void CWnd::OnSettingChange(UINT, LPCTSTR) {
    Default();
}
BOOL CWnd::OnHelpInfo(HELPINFO*) {
    return (BOOL)Default();
}
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) {
    Default();
}
void CWnd::OnDropFiles(HDROP) {
    Default();
}
void CWnd::OnParentNotify(UINT, LPARAM) {
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    HWND hWndChild = reinterpret_cast<CWnd*>(pScrollBar)->GetSafeHwnd();
    if (hWndChild != nullptr && ReflectLastMsg(hWndChild)) return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
    HWND hWndChild = reinterpret_cast<CWnd*>(pScrollBar)->GetSafeHwnd();
    if (hWndChild != nullptr && ReflectLastMsg(hWndChild)) return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT lResult = 0;
    HWND hWndChild = pWnd->GetSafeHwnd();
    if (hWndChild != nullptr && hWndChild != m_hWnd && ReflectLastMsg(hWndChild, &lResult))
        return (HBRUSH)lResult;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDIS) {
    if (lpDIS->CtlType == ODT_MENU) {
        CMenu* pMenu = CMenu::FromHandlePermanent((HMENU)lpDIS->hwndItem);
        if (pMenu != nullptr) {
            pMenu->DrawItem(lpDIS);
            return;
        }
    } else if (ReflectLastMsg(lpDIS->hwndItem)) {
        return;
    }
    Default();
}

namespace {
// The menu (searched depth first from hMenu) that holds an item with the id.
HMENU FindMenuHoldingItem(HMENU hMenu, UINT nID) {
    if (hMenu == nullptr || !::IsMenu(hMenu)) return nullptr;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; i++) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub != nullptr) {
            if ((UINT_PTR)hSub == nID) return hMenu;
            if (HMENU hFound = FindMenuHoldingItem(hSub, nID)) return hFound;
        } else if (::GetMenuItemID(hMenu, i) == nID) {
            return hMenu;
        }
    }
    return nullptr;
}

CMenu* PermanentMenuForItem(HMENU hRoot, UINT nID) {
    HMENU hHolder = FindMenuHoldingItem(hRoot, nID);
    if (hHolder == nullptr) return nullptr;
    if (CMenu* p = CMenu::FromHandlePermanent(hHolder)) return p;
    return CMenu::FromHandlePermanent(hRoot);
}
}  // namespace

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMIS) {
    if (lpMIS->CtlType == ODT_MENU) {
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        CMenu* pMenu = nullptr;
        if (pState->m_hTrackingWindow == m_hWnd && pState->m_hTrackingMenu != nullptr)
            pMenu = PermanentMenuForItem(pState->m_hTrackingMenu, lpMIS->itemID);
        if (pMenu == nullptr && !(GetStyle() & WS_CHILD))
            pMenu = PermanentMenuForItem(::GetMenu(m_hWnd), lpMIS->itemID);
        if (pMenu == nullptr) pMenu = PermanentMenuForItem(::GetSystemMenu(m_hWnd, FALSE), lpMIS->itemID);
        if (pMenu != nullptr) {
            pMenu->MeasureItem(lpMIS);
            return;
        }
    } else {
        HWND hWndChild = ::GetDlgItem(m_hWnd, lpMIS->CtlID);
        if (hWndChild != nullptr && ReflectLastMsg(hWndChild)) return;
    }
    Default();
}

void CWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
    Default();
    if (!bSysMenu) UpdatePopupMenuCmdUI(pPopupMenu, FALSE);
}

void CWnd::OnNcDestroy() {
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp != pThread && pApp->m_pMainWnd == this) pApp->m_pMainWnd = nullptr;

    Default();
    if (m_pfnSuper != nullptr) {
        WNDPROC pfnWndProc = (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
        if (pfnWndProc == AfxWndProc) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        m_pfnSuper = nullptr;
    }
    ::RemovePropA(m_hWnd, kSuperProcProp);
    Detach();
    PostNcDestroy();
}

// ---- the map of CWnd itself ----

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_INITMENUPOPUP()
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()
