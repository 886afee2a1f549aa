// Message maps, windows and reflection with real windows.
#include <doctest.h>

#include <string>
#include <vector>

#include "framework/Win.h"
#include "GuiSupport.h"

namespace {

std::vector<std::string> g_log;

const UINT WM_TEST_BASE = WM_USER + 1;
const UINT WM_TEST_OVERRIDDEN = WM_USER + 2;
const UINT WM_TEST_TEMPLATE = WM_USER + 3;
UINT g_registeredMessage = ::RegisterWindowMessageA("KvFrameworkTestMessage");

class CBaseWnd : public CWnd {
public:
    int m_nCreated = 0;
    BOOL m_bPreCreate = FALSE;
    BOOL m_bPostNcDestroy = FALSE;
    UINT_PTR m_lastTimer = 0;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
        m_bPreCreate = TRUE;
        return CWnd::PreCreateWindow(cs);
    }
    void PostNcDestroy() override { m_bPostNcDestroy = TRUE; }

    int OnCreate(LPCREATESTRUCT lpcs) {
        if (CWnd::OnCreate(lpcs) == -1) return -1;
        m_nCreated++;
        return 0;
    }
    LRESULT OnBase(WPARAM wParam, LPARAM) {
        g_log.push_back("base:" + std::to_string(wParam));
        return 11;
    }
    LRESULT OnOverridden(WPARAM, LPARAM) {
        g_log.push_back("base-overridden");
        return 12;
    }
    LRESULT OnRegistered(WPARAM, LPARAM lParam) {
        g_log.push_back("registered:" + std::to_string(lParam));
        return 77;
    }
    void OnCmdOne() { g_log.push_back("cmd-one"); }
    void OnTimer(UINT_PTR nIDEvent) { m_lastTimer = nIDEvent; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_TEST_BASE, OnBase)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverridden)
    ON_REGISTERED_MESSAGE(g_registeredMessage, OnRegistered)
    ON_COMMAND(100, OnCmdOne)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    BOOL m_bEnableTwo = TRUE;
    LRESULT OnOverriddenHere(WPARAM, LPARAM) {
        g_log.push_back("derived-overridden");
        return 22;
    }
    void OnRange(UINT nID) { g_log.push_back("range:" + std::to_string(nID)); }
    void OnCmdTwo() { g_log.push_back("cmd-two"); }
    void OnUpdateTwo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEnableTwo); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverriddenHere)
    ON_COMMAND_RANGE(200, 210, OnRange)
    ON_COMMAND(101, OnCmdTwo)
    ON_UPDATE_COMMAND_UI(101, OnUpdateTwo)
END_MESSAGE_MAP()

// A class template over any window class, with a map of its own.
template <class BASE>
class CTemplateWnd : public BASE {
public:
    LRESULT OnTemplate(WPARAM, LPARAM) {
        g_log.push_back("template");
        return 33;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CTemplateWnd, BASE, BASE)
    ON_MESSAGE(WM_TEST_TEMPLATE, OnTemplate)
END_MESSAGE_MAP()

class CTopWnd : public CTemplateWnd<CDerivedWnd> {};

LRESULT CALLBACK RawSubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOld = (WNDPROC)::GetPropA(hWnd, "TestOldProc");
    if (msg == WM_TEST_BASE) g_log.push_back("raw");
    if (msg == WM_NCDESTROY) ::RemovePropA(hWnd, "TestOldProc");
    return ::CallWindowProcA(pfnOld, hWnd, msg, wParam, lParam);
}

// Showing and hiding top-level windows is slow without a window manager, so the
// test windows live as children of one host window that stays for the whole run.
HWND Host() {
    static HWND hWnd = ::CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                         400, 300, nullptr, nullptr, nullptr, nullptr);
    return hWnd;
}

BOOL CreateTop(CWnd& wnd, int x = 10, int y = 10, int cx = 300, int cy = 200) {
    return wnd.CreateEx(
        0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1)),
        "Test", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, cx, cy, Host(), nullptr);
}

}  // namespace

TEST_CASE("message maps chain to their bases and class templates dispatch") {
    g_log.clear();
    CTopWnd wnd;
    REQUIRE(CreateTop(wnd));
    CHECK(wnd.m_bPreCreate);
    CHECK(wnd.m_nCreated == 1);
    CHECK(CWnd::FromHandlePermanent(wnd.m_hWnd) == &wnd);

    CHECK(wnd.SendMessage(WM_TEST_BASE, 5) == 11);
    CHECK(wnd.SendMessage(WM_TEST_OVERRIDDEN) == 22);
    CHECK(wnd.SendMessage(WM_TEST_TEMPLATE) == 33);
    CHECK(wnd.SendMessage(g_registeredMessage, 0, 9) == 77);
    wnd.SendMessage(WM_COMMAND, 100);
    wnd.SendMessage(WM_COMMAND, 205);
    wnd.SendMessage(WM_COMMAND, 101);
    wnd.m_bEnableTwo = FALSE;  // a disabled command does not run from a menu or accelerator
    wnd.SendMessage(WM_COMMAND, 101);
    CHECK(g_log == std::vector<std::string>{"base:5", "derived-overridden", "template", "registered:9",
                                            "cmd-one", "range:205", "cmd-two"});

    // An unhandled message reaches the default procedure.
    wnd.SetWindowText("Hello");
    CString text;
    wnd.GetWindowText(text);
    CHECK(text == "Hello");

    // Timers reach ON_WM_TIMER.
    wnd.SetTimer(7, 10);
    CHECK(kvtest::PumpUntil([&] { return wnd.m_lastTimer == 7; }, 2000));
    wnd.KillTimer(7);

    // A raw procedure installed on top of ours keeps everything working.
    g_log.clear();
    ::SetPropA(wnd.m_hWnd, "TestOldProc",
               (HANDLE)::SetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC, (LONG_PTR)RawSubclassProc));
    CHECK(wnd.SendMessage(WM_TEST_BASE, 1) == 11);
    CHECK(g_log == std::vector<std::string>{"raw", "base:1"});

    HWND hWnd = wnd.m_hWnd;
    CHECK(wnd.DestroyWindow());
    CHECK(wnd.m_bPostNcDestroy);
    CHECK(wnd.m_hWnd == nullptr);
    CHECK(CWnd::FromHandlePermanent(hWnd) == nullptr);
}

TEST_CASE("temporary window objects come and go, permanent ones stay") {
    HWND hWnd =
        ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(hWnd != nullptr);
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    REQUIRE(pTemp != nullptr);
    CHECK(pTemp->m_hWnd == hWnd);
    CHECK(CWnd::FromHandle(hWnd) == pTemp);
    CHECK(CWnd::FromHandlePermanent(hWnd) == nullptr);
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CHECK(pState->m_pmapHWND->TemporaryCount() >= 1);
    AfxDeleteTempMaps();
    CHECK(pState->m_pmapHWND->TemporaryCount() == 0);
    CHECK(::IsWindow(hWnd));  // deleting a temporary object leaves the window alone

    // Subclassing: PreSubclassWindow runs while the old procedure is still in place.
    struct CSub : public CWnd {
        WNDPROC m_procSeen = nullptr;
        void PreSubclassWindow() override { m_procSeen = (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC); }
    } sub;
    WNDPROC pfnOriginal = (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    REQUIRE(sub.SubclassWindow(hWnd));
    CHECK((void*)sub.m_procSeen == (void*)pfnOriginal);
    CHECK(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == (LONG_PTR)AfxGetAfxWndProc());
    CHECK(CWnd::FromHandlePermanent(hWnd) == &sub);
    CHECK(sub.UnsubclassWindow() == hWnd);
    CHECK(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == (LONG_PTR)pfnOriginal);
    ::DestroyWindow(hWnd);
}

namespace {

// A button that handles its own click; whether the parent also hears of it
// depends on what the handler returns.
class CReflectButton : public CButton {
public:
    BOOL m_bPassOn = FALSE;
    CBrush m_brush;
    BOOL OnClickedReflect() {
        g_log.push_back("child-clicked");
        return !m_bPassOn;
    }
    void OnCustomNotify(NMHDR*, LRESULT* pResult) {
        g_log.push_back("child-notify");
        *pResult = 42;
    }
    HBRUSH CtlColor(CDC* pDC, UINT) {
        g_log.push_back("child-ctlcolor");
        pDC->SetBkMode(TRANSPARENT);
        if (m_brush.m_hObject == nullptr) m_brush.CreateSolidBrush(RGB(1, 2, 3));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClickedReflect)
    ON_NOTIFY_REFLECT(NM_CLICK, OnCustomNotify)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// A plain reflection consumes the notification.
class CConsumingButton : public CButton {
public:
    void OnClickedReflect() { g_log.push_back("consumer-clicked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CConsumingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    void OnClicked() { g_log.push_back("parent-clicked"); }
    void OnClicked2() { g_log.push_back("parent-clicked-2"); }
    void OnNotifyClick(NMHDR*, LRESULT* pResult) {
        g_log.push_back("parent-notify");
        *pResult = 7;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_BN_CLICKED(1, OnClicked)
    ON_BN_CLICKED(2, OnClicked2)
    ON_NOTIFY(NM_CLICK, 1, OnNotifyClick)
    ON_NOTIFY(NM_CLICK, 3, OnNotifyClick)
END_MESSAGE_MAP()

class COwnerDrawButton : public CButton {
public:
    int m_nDrawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        m_nDrawn++;
        CDC* pDC = CDC::FromHandle(lpDIS->hDC);
        pDC->FillSolidRect(&lpDIS->rcItem, RGB(200, 30, 40));
        CRect inner(lpDIS->rcItem);
        inner.DeflateRect(10, 10);
        pDC->FillSolidRect(&inner, RGB(20, 160, 60));
    }
};

}  // namespace

TEST_CASE("a reflected notification reaches the control first, the parent only when passed on") {
    CParentWnd parent;
    REQUIRE(CreateTop(parent));
    CReflectButton button;
    REQUIRE(
        button.Create("Reflect", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 110, 40), &parent, 1));
    CConsumingButton consumer;
    REQUIRE(consumer.Create("Consume", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 50, 110, 80), &parent,
                            2));

    SUBCASE("the _EX handler returning TRUE keeps it from the parent") {
        g_log.clear();
        button.m_bPassOn = FALSE;
        parent.SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), (LPARAM)button.m_hWnd);
        CHECK(g_log == std::vector<std::string>{"child-clicked"});
    }
    SUBCASE("the _EX handler returning FALSE lets the parent hear of it after the control") {
        g_log.clear();
        button.m_bPassOn = TRUE;
        button.Click();  // a real click through the system
        CHECK(g_log == std::vector<std::string>{"child-clicked", "parent-clicked"});
    }
    SUBCASE("a plain reflection consumes the notification") {
        g_log.clear();
        consumer.Click();
        CHECK(g_log == std::vector<std::string>{"consumer-clicked"});
    }
    SUBCASE("WM_NOTIFY reflects with the control's result; other controls reach the parent") {
        g_log.clear();
        NMHDR hdr = {button.m_hWnd, 1, (UINT)NM_CLICK};
        CHECK(parent.SendMessage(WM_NOTIFY, 1, (LPARAM)&hdr) == 42);
        HWND hWndOther = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, (HMENU)3,
                                           nullptr, nullptr);
        NMHDR hdr2 = {hWndOther, 3, (UINT)NM_CLICK};
        CHECK(parent.SendMessage(WM_NOTIFY, 3, (LPARAM)&hdr2) == 7);
        CHECK(g_log == std::vector<std::string>{"child-notify", "parent-notify"});
    }
    SUBCASE("control colours are reflected; without a brush the default answers") {
        g_log.clear();
        HDC hDC = ::GetDC(parent.m_hWnd);
        HBRUSH hbr = (HBRUSH)parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)hDC, (LPARAM)button.m_hWnd);
        CHECK(hbr == (HBRUSH)button.m_brush.m_hObject);
        HBRUSH hbrDefault = (HBRUSH)parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)hDC, (LPARAM)consumer.m_hWnd);
        CHECK(hbrDefault != (HBRUSH)button.m_brush.m_hObject);
        ::ReleaseDC(parent.m_hWnd, hDC);
        CHECK(g_log == std::vector<std::string>{"child-ctlcolor"});
    }
    parent.DestroyWindow();
    CHECK(button.m_hWnd == nullptr);
}

TEST_CASE("owner-draw reflection paints a button") {
    CWnd parent;
    REQUIRE(CreateTop(parent, 40, 40, 200, 120));
    COwnerDrawButton button;
    REQUIRE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 120, 80), &parent, 5));
    parent.UpdateWindow();
    button.Invalidate();
    button.UpdateWindow();
    CHECK(button.m_nDrawn >= 1);

    kvtest::Capture cap = kvtest::CaptureWindow(button.m_hWnd);
    REQUIRE(!cap.Empty());
    CHECK(cap.width == 100);
    CHECK(cap.At(2, 2) == 0xC81E28);    // the red border drawn by DrawItem
    CHECK(cap.At(50, 30) == 0x14A03C);  // the green middle
    CHECK(cap.At(cap.width - 3, cap.height - 3) == 0xC81E28);
    parent.DestroyWindow();
}

namespace {
struct CMenuWnd : public CWnd {
    void OnUpdateOne(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateTwo(CCmdUI* pCmdUI) {
        pCmdUI->SetCheck(1);
        pCmdUI->SetText("Second");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuWnd, CWnd)
    ON_UPDATE_COMMAND_UI(501, OnUpdateOne)
    ON_UPDATE_COMMAND_UI(502, OnUpdateTwo)
END_MESSAGE_MAP()
}  // namespace

TEST_CASE("update handlers enable and check the items of a pop-up menu when it opens") {
    CMenuWnd wnd;
    REQUIRE(CreateTop(wnd));
    CMenu menu;
    REQUIRE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 501, "One");
    menu.AppendMenu(MF_STRING, 502, "Two");
    CHECK(CMenu::FromHandlePermanent(menu.m_hMenu) == &menu);
    wnd.SendMessage(WM_INITMENUPOPUP, (WPARAM)menu.m_hMenu, MAKELPARAM(0, FALSE));
    CHECK((menu.GetMenuState(501, MF_BYCOMMAND) & MF_GRAYED) != 0);
    CHECK((menu.GetMenuState(502, MF_BYCOMMAND) & MF_CHECKED) != 0);
    CString text;
    menu.GetMenuString(502, text, MF_BYCOMMAND);
    CHECK(text == "Second");
    wnd.DestroyWindow();
}

namespace {
// A bar that takes a strip along the top of the free space.
class CStripBar : public CWnd {
public:
    int m_height = 20;
    LRESULT OnSizeParent(WPARAM, LPARAM lParam) {
        AFX_SIZEPARENTPARAMS* p = (AFX_SIZEPARENTPARAMS*)lParam;
        CRect rc(p->rect.left, p->rect.top, p->rect.right, p->rect.top + m_height);
        p->rect.top += m_height;
        p->sizeTotal.cy += m_height;
        AfxRepositionWindow(p, m_hWnd, &rc);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CStripBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()
}  // namespace

TEST_CASE("bars take their place along the edges and the rest goes to the left-over child") {
    CWnd frame;
    REQUIRE(CreateTop(frame, 0, 0, 200, 150));
    CStripBar bar1, bar2;
    bar2.m_height = 30;
    CWnd pane;
    REQUIRE(bar1.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, frame.m_hWnd, (HMENU)0xE800));
    REQUIRE(bar2.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, frame.m_hWnd, (HMENU)0xE801));
    REQUIRE(pane.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, frame.m_hWnd, (HMENU)0xE900));

    CRect rcQuery;
    frame.RepositionBars(0xE800, 0xE8FF, 0xE900, CWnd::reposQuery, &rcQuery);
    CHECK(rcQuery == CRect(0, 50, 200, 150));
    CRect rcBar;
    bar1.GetWindowRect(&rcBar);
    CHECK(rcBar.Width() == 1);  // a query moves nothing

    frame.RepositionBars(0xE800, 0xE8FF, 0xE900);
    CRect rcPane, rc1, rc2;
    pane.GetWindowRect(&rcPane);
    frame.ScreenToClient(&rcPane);
    bar1.GetWindowRect(&rc1);
    frame.ScreenToClient(&rc1);
    bar2.GetWindowRect(&rc2);
    frame.ScreenToClient(&rc2);
    CHECK(rc1.Height() + rc2.Height() == 50);
    CHECK(rcPane == CRect(0, 50, 200, 150));
    frame.DestroyWindow();
}
