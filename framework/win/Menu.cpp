#include "framework/win/Menu.h"

#include "framework/win/Gdi.h"
#include "framework/win/Wnd.h"

extern HINSTANCE AfxGetResourceHandle();

namespace {
CObject* NewTempMenu(HANDLE h) {
    CMenu* p = new CMenu;
    p->m_hMenu = (HMENU)h;
    return p;
}
void ClearTempMenu(CObject* p) {
    static_cast<CMenu*>(p)->m_hMenu = nullptr;
}
CHandleMap* MenuMap() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_pmapHMENU) pState->m_pmapHMENU = new CHandleMap(NewTempMenu, ClearTempMenu);
    return pState->m_pmapHMENU;
}
}  // namespace

IMPLEMENT_DYNCREATE(CMenu, CObject)

HMENU CMenu::KvSafeHmenu(const CMenu* p) {
    return p ? p->m_hMenu : nullptr;
}

namespace {
bool ContainsMenu(HMENU hTree, HMENU hMenu, int depth) {
    if (hTree == nullptr || depth > 16) return false;
    if (hTree == hMenu) return true;
    const int n = ::GetMenuItemCount(hTree);
    for (int i = 0; i < n; ++i)
        if (ContainsMenu(::GetSubMenu(hTree, i), hMenu, depth + 1)) return true;
    return false;
}

BOOL CALLBACK FindShowingWindow(HWND hWnd, LPARAM lParam) {
    auto* pMenu = reinterpret_cast<HMENU*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId() || !ContainsMenu(::GetMenu(hWnd), *pMenu, 0)) return TRUE;
    *pMenu = nullptr;  // found: stop
    return FALSE;
}

// Whether a window of this program shows the menu as its menu bar or as one of its pop-ups.
bool IsShownByWindow(HMENU hMenu) {
    HMENU probe = hMenu;
    ::EnumWindows(FindShowingWindow, reinterpret_cast<LPARAM>(&probe));
    return probe == nullptr;
}
}  // namespace

CMenu::~CMenu() {
    // A menu still held by a window is the window's to destroy.
    if (m_hMenu != nullptr) {
        HMENU h = Detach();
        if (::IsMenu(h) && !IsShownByWindow(h)) ::DestroyMenu(h);
    }
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    return static_cast<CMenu*>(MenuMap()->FromHandle(hMenu));
}
CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
    return hMenu ? static_cast<CMenu*>(MenuMap()->LookupPermanent(hMenu)) : nullptr;
}
void CMenu::DeleteTempMap() {
    MenuMap()->DeleteTemp();
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (hMenu == nullptr) return FALSE;
    // The menu held so far is given up as the destructor would: destroyed unless a window
    // shows it, and no longer mapped to this object.
    if (m_hMenu != nullptr && m_hMenu != hMenu) {
        HMENU hOld = Detach();
        if (::IsMenu(hOld) && !IsShownByWindow(hOld)) ::DestroyMenu(hOld);
    }
    m_hMenu = hMenu;
    MenuMap()->SetPermanent(hMenu, this);
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    if (h != nullptr) MenuMap()->RemoveHandleOf(h, this);
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
    return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp) {
    return ::AppendMenu(m_hMenu, nFlags | MF_BITMAP, nIDNewItem, (LPCTSTR)pBmp->GetSafeHandle());
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked,
                               const CBitmap* pBmpChecked) {
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, (HBITMAP)pBmpUnchecked->GetSafeHandle(),
                                (HBITMAP)pBmpChecked->GetSafeHandle());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    int nLen = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (nLen <= 0) {
        rString.Empty();
        return 0;
    }
    char* p = rString.GetBuffer(nLen + 1);
    nLen = ::GetMenuString(m_hMenu, nIDItem, p, nLen + 1, nFlags);
    rString.ReleaseBuffer(nLen < 0 ? 0 : nLen);
    return nLen;
}

namespace {
AFX_MENU_LOOP_OBSERVER g_menuLoopObserver = nullptr;
}  // namespace

void AfxSetMenuLoopObserver(AFX_MENU_LOOP_OBSERVER observer) { g_menuLoopObserver = observer; }

void AfxNotifyMenuLoop(bool entering) {
    if (g_menuLoopObserver) g_menuLoopObserver(entering);
}

namespace {
// Runs a menu loop with the thread's tracking window and menu set to pWnd and hMenu, and puts
// back the ones before after it.
template <class TRACK>
BOOL TrackAs(CWnd* pWnd, HMENU hMenu, TRACK track) {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    HWND hWndOld = pState->m_hTrackingWindow;
    HMENU hMenuOld = pState->m_hTrackingMenu;
    pState->m_hTrackingWindow = pWnd->GetSafeHwnd();
    pState->m_hTrackingMenu = hMenu;
    CMenuLoopScope loop;
    BOOL bResult = track();
    pState->m_hTrackingWindow = hWndOld;
    pState->m_hTrackingMenu = hMenuOld;
    return bResult;
}
}  // namespace

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return TrackAs(pWnd, m_hMenu,
                   [&] { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect); });
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm) {
    return TrackAs(pWnd, m_hMenu,
                   [&] { return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, pWnd->GetSafeHwnd(), lptpm); });
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
