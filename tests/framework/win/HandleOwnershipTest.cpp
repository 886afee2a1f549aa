// Which framework object owns which Windows handle: attaching a new handle gives up the old one,
// the handle maps never point at a freed object, a temporary object is deleted with its entry,
// and a menu a window still shows is the window's.
#include <doctest.h>

#include <type_traits>

#include "framework/Win.h"
#include "GuiSupport.h"

namespace {

int g_tempsAlive = 0;

class CCountedTemp : public CObject {
public:
    CCountedTemp() { ++g_tempsAlive; }
    ~CCountedTemp() override { --g_tempsAlive; }
};
CObject* NewCounted(HANDLE) {
    return new CCountedTemp;
}
void ClearCounted(CObject*) {}

HWND MakeWindow() {
    HWND h = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    REQUIRE(h != nullptr);
    return h;
}

}  // namespace

TEST_CASE("attaching a new handle releases and unmaps the one held before") {
    SUBCASE("a menu") {
        CMenu* menu = new CMenu;
        REQUIRE(menu->CreateMenu());
        const HMENU first = menu->m_hMenu;
        REQUIRE(menu->Attach(::CreatePopupMenu()));
        CHECK_FALSE(::IsMenu(first));  // owned: destroyed, not leaked
        CHECK(CMenu::FromHandlePermanent(first) == nullptr);
        CHECK(CMenu::FromHandlePermanent(menu->m_hMenu) == menu);
        delete menu;
    }
    SUBCASE("a device context") {
        CDC* dc = new CDC;
        REQUIRE(dc->CreateCompatibleDC(nullptr));
        const HDC first = dc->m_hDC;
        REQUIRE(dc->Attach(::CreateCompatibleDC(nullptr)));
        CHECK(::GetObjectType(first) == 0);  // deleted
        CHECK(AfxGetThreadState()->m_pmapHDC->LookupPermanent(first) == nullptr);
        delete dc;
    }
    SUBCASE("a window: the old one is no longer this object's") {
        const HWND a = MakeWindow(), b = MakeWindow();
        CWnd* wnd = new CWnd;
        REQUIRE(wnd->Attach(a));
        REQUIRE(wnd->Attach(b));
        CHECK(CWnd::FromHandlePermanent(a) == nullptr);
        CHECK(CWnd::FromHandlePermanent(b) == wnd);
        wnd->Detach();
        delete wnd;
        CHECK(CWnd::FromHandlePermanent(a) == nullptr);  // no freed object behind it
        ::DestroyWindow(a);
        ::DestroyWindow(b);
    }
}

TEST_CASE("removing a handle never loses its temporary object") {
    CHandleMap map(NewCounted, ClearCounted);
    HANDLE h = reinterpret_cast<HANDLE>(0x1234);
    CHECK(map.FromHandle(h) != nullptr);
    CHECK(g_tempsAlive == 1);
    CCountedTemp owner;  // a permanent object for the same handle, attached later
    map.SetPermanent(h, &owner);
    map.RemoveHandle(h);
    CHECK(map.LookupPermanent(h) == nullptr);
    // The temporary is deleted with the others (at idle time), not dropped and leaked.
    map.DeleteTemp();
    CHECK(g_tempsAlive == 1);  // only the owner's object is left
    CHECK(map.TemporaryCount() == 0);
}

TEST_CASE("a menu a window still shows is the window's to destroy") {
    const HWND w = MakeWindow();
    HMENU bar = nullptr, popup = nullptr;
    {
        CMenu menu;
        REQUIRE(menu.CreateMenu());
        CMenu sub;
        REQUIRE(sub.CreatePopupMenu());
        REQUIRE(sub.AppendMenu(MF_STRING, 100, "&Open"));
        REQUIRE(menu.AppendMenu(MF_POPUP, (UINT_PTR)sub.m_hMenu, "&File"));
        REQUIRE(::SetMenu(w, menu.m_hMenu));
        bar = menu.m_hMenu;
        popup = sub.m_hMenu;
    }
    CHECK(::IsMenu(bar));
    CHECK(::IsMenu(popup));  // a pop-up of a menu a window shows is shown too
    CHECK(::GetMenu(w) == bar);
    CHECK(CMenu::FromHandlePermanent(bar) == nullptr);
    ::DestroyWindow(w);  // the window destroys its menu
    CHECK_FALSE(::IsMenu(bar));
    // A menu no window shows is destroyed with its object.
    HMENU loose = nullptr;
    {
        CMenu menu;
        REQUIRE(menu.CreatePopupMenu());
        loose = menu.m_hMenu;
    }
    CHECK_FALSE(::IsMenu(loose));
}

TEST_CASE("windows and dialogs cannot be copied") {
    // A copy would share the handle and destroy the window twice.
    CHECK_FALSE(std::is_copy_constructible<CWnd>::value);
    CHECK_FALSE(std::is_copy_assignable<CWnd>::value);
    CHECK_FALSE(std::is_copy_constructible<CDialog>::value);
    CHECK_FALSE(std::is_copy_assignable<CDialog>::value);
}
