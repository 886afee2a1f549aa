// Control wrappers, GDI objects and device contexts, menus, image lists, the common dialogs'
// non-interactive parts, and the open dialog answered as a user answers it.
#include <doctest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/Win.h"
#include "GuiSupport.h"
#include "WinTestIds.h"

namespace {

HWND Host() {
    static HWND hWnd = ::CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                         500, 400, nullptr, nullptr, nullptr, nullptr);
    return hWnd;
}

class CHostWnd : public CWnd {
public:
    CHostWnd() {
        CreateEx(0, nullptr, "parent", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 480, 380, Host(),
                 nullptr);
    }
    ~CHostWnd() override { DestroyWindow(); }
};

}  // namespace

TEST_CASE("list, combo, list-view, tab, slider and progress wrappers talk to their controls") {
    CHostWnd parent;
    CListBox list;
    REQUIRE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 100, 100), &parent, 1));
    CHECK(list.AddString("one") == 0);
    CHECK(list.AddString("two") == 1);
    list.SetItemData(1, 99);
    list.SetCurSel(1);
    CString text;
    list.GetText(list.GetCurSel(), text);
    CHECK(text == "two");
    CHECK(list.GetItemData(1) == 99u);

    CComboBox combo;
    REQUIRE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(110, 0, 210, 150), &parent, 2));
    combo.AddString("alpha");
    combo.AddString("beta");
    CHECK(combo.SelectString(-1, "be") == 1);
    combo.GetLBText(combo.GetCurSel(), text);
    CHECK(text == "beta");

    CListCtrl lv;
    REQUIRE(lv.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 110, 300, 250), &parent, 3));
    CHECK(lv.InsertColumn(0, "Title", LVCFMT_LEFT, 100) == 0);
    CHECK(lv.InsertColumn(1, "Artist", LVCFMT_LEFT, 100) == 1);
    CHECK(lv.InsertItem(0, "Song") == 0);
    CHECK(lv.SetItemText(0, 1, "Band"));
    CHECK(lv.GetItemText(0, 1) == "Band");
    lv.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    POSITION pos = lv.GetFirstSelectedItemPosition();
    CHECK(lv.GetNextSelectedItem(pos) == 0);
    CHECK(pos == nullptr);
    CHECK(lv.GetHeaderCtrl()->GetItemCount() == 2);

    CTabCtrl tab;
    REQUIRE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 260, 300, 300), &parent, 4));
    tab.InsertItem(0, "General");
    tab.InsertItem(1, "Advanced");
    CHECK(tab.GetItemCount() == 2);
    tab.SetCurSel(1);
    CHECK(tab.GetCurSel() == 1);

    CSliderCtrl slider;
    REQUIRE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ, CRect(310, 0, 460, 30), &parent, 5));
    slider.SetRange(0, 50);
    slider.SetPos(20);
    CHECK(slider.GetPos() == 20);

    CProgressCtrl progress;
    REQUIRE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(310, 40, 460, 60), &parent, 6));
    progress.SetRange32(0, 10);
    progress.SetPos(4);
    CHECK(progress.GetPos() == 4);

    CSpinButtonCtrl spin;
    REQUIRE(spin.Create(WS_CHILD | WS_VISIBLE, CRect(310, 70, 330, 90), &parent, 7));
    spin.SetRange(1, 99);
    spin.SetPos(12);
    CHECK(spin.GetPos() == 12);

    CToolTipCtrl tip;
    REQUIRE(tip.Create(&parent));
    CHECK(tip.AddTool(&list, "A list"));
    CHECK(tip.GetToolCount() == 1);
}

namespace {

// Scroll notifications of a slider come back to the slider.
class CReflectSlider : public CSliderCtrl {
public:
    UINT m_code = 0xFFFF;
    void HScroll(UINT nSBCode, UINT) { m_code = nSBCode; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectSlider, CSliderCtrl)
    ON_WM_HSCROLL_REFLECT()
END_MESSAGE_MAP()

// An owner-drawn list box measures and draws its own items.
class COwnerList : public CListBox {
public:
    int m_measured = 0;
    int m_drawn = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override {
        ++m_measured;
        lpMIS->itemHeight = 21;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++m_drawn;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(0, 0, 255));
    }
};

// An owner-drawn list view sets its row height through the reflected request.
class CTallRows : public CListCtrl {
public:
    int m_measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
        ++m_measured;
        lpMIS->itemHeight = 30;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTallRows, CListCtrl)
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

}  // namespace

TEST_CASE("scroll notifications and list-box owner drawing are reflected to the control") {
    CHostWnd parent;
    CReflectSlider slider;
    REQUIRE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ, CRect(0, 0, 150, 30), &parent, 1));
    parent.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), (LPARAM)slider.m_hWnd);
    CHECK(slider.m_code == (UINT)TB_PAGEDOWN);

    COwnerList list;
    REQUIRE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                        CRect(0, 40, 150, 140), &parent, 2));
    list.AddString("a");
    list.AddString("b");
    list.Invalidate();
    list.UpdateWindow();
    CHECK(list.m_drawn >= 2);
    kvtest::Capture cap = kvtest::CaptureWindow(list.m_hWnd);
    REQUIRE(!cap.Empty());
    CHECK(cap.At(cap.width / 2, 5) == 0x0000FF);
    // The object is attached before the control's first message, so even the
    // measuring request made while the control is created reaches it.
    CHECK(list.m_measured >= 1);
    CHECK(list.GetItemHeight(0) == 21);
    int measured = list.m_measured;
    MEASUREITEMSTRUCT mis = {ODT_LISTBOX, 2, 0, 0, 0, 0};
    parent.SendMessage(WM_MEASUREITEM, 2, (LPARAM)&mis);
    CHECK(list.m_measured == measured + 1);
    CHECK(mis.itemHeight == 21u);

    CTallRows rows;
    REQUIRE(rows.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, CRect(160, 0, 400, 200),
                        &parent, 3));
    rows.InsertColumn(0, "Title", LVCFMT_LEFT, 100);
    rows.InsertItem(0, "a");
    CHECK(rows.m_measured >= 1);
    CRect rcItem;
    REQUIRE(rows.GetItemRect(0, &rcItem, LVIR_BOUNDS));
    CHECK(rcItem.Height() == 30);
}

TEST_CASE("GDI objects own their handles; selection answers the previous object") {
    CClientDC screen(nullptr);
    CDC mem;
    REQUIRE(mem.CreateCompatibleDC(&screen));
    CBitmap bmp;
    REQUIRE(bmp.CreateCompatibleBitmap(&screen, 40, 30));
    CBitmap* pOldBmp = mem.SelectObject(&bmp);
    REQUIRE(pOldBmp != nullptr);
    CHECK(pOldBmp->IsKindOf(RUNTIME_CLASS(CBitmap)));

    CPen pen(PS_SOLID, 1, RGB(0, 255, 0));
    CBrush brush(RGB(255, 0, 0));
    CPen* pOldPen = mem.SelectObject(&pen);
    CBrush* pOldBrush = mem.SelectObject(&brush);
    CHECK(mem.SelectObject(pOldBrush) == &brush);  // the permanent object comes back
    mem.SelectObject(&brush);
    mem.Rectangle(0, 0, 40, 30);
    CHECK(mem.GetPixel(0, 0) == RGB(0, 255, 0));
    CHECK(mem.GetPixel(20, 15) == RGB(255, 0, 0));
    mem.FillSolidRect(CRect(5, 5, 10, 10), RGB(1, 2, 3));
    CHECK(mem.GetPixel(6, 6) == RGB(1, 2, 3));
    CHECK(mem.GetTextExtent("Hello").cx > 0);
    mem.SelectObject(pOldPen);
    mem.SelectObject(pOldBrush);
    mem.SelectObject(pOldBmp);

    CRgn a, b, c;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 20, 20);
    c.CreateRectRgn(0, 0, 0, 0);
    CHECK(c.CombineRgn(&a, &b, RGN_OR) == COMPLEXREGION);
    CHECK(c.PtInRegion(15, 15));
    CHECK(!c.PtInRegion(15, 2));

    // Temporary objects for handles without an owner are deleted at idle time.
    HPEN hStock = (HPEN)::GetStockObject(BLACK_PEN);
    CPen* pTemp = CPen::FromHandle(hStock);
    CHECK(pTemp->m_hObject == hStock);
    AfxDeleteTempMaps();
    CHECK(::GetObjectType(hStock) == OBJ_PEN);  // a temporary never deletes its handle

    HPEN hPen = (HPEN)pen.Detach();
    CHECK(pen.m_hObject == nullptr);
    CHECK(::DeleteObject(hPen));
}

namespace {

class CTestMenu : public CMenu {
public:
    int m_measured = 0;
    int m_drawn = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override {
        ++m_measured;
        lpMIS->itemWidth = 80;
        lpMIS->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++m_drawn; }
};

}  // namespace

TEST_CASE("menus: loading, sub-menus, and owner-drawn items through the permanent menu map") {
    CMenu menu;
    REQUIRE(menu.LoadMenu(IDM_TEST));
    CMenu* pPopup = menu.GetSubMenu(0);
    REQUIRE(pPopup != nullptr);
    CHECK(CMenu::FromHandlePermanent(pPopup->m_hMenu) == nullptr);  // a temporary object
    CHECK(pPopup->GetMenuItemCount() == 4u);
    CHECK(pPopup->GetMenuItemID(1) == (UINT)ID_TEST_TWO);
    CString text;
    pPopup->GetMenuString(0, text, MF_BYPOSITION);
    CHECK(text == "&One");

    CHostWnd wnd;
    CTestMenu owned;
    REQUIRE(owned.CreatePopupMenu());
    owned.AppendMenu(MF_OWNERDRAW, ID_TEST_THREE, (LPCTSTR)(void*)0x1234);
    // The window is tracking this menu (as when it is shown by TrackPopupMenu).
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    pState->m_hTrackingWindow = wnd.m_hWnd;
    pState->m_hTrackingMenu = owned.m_hMenu;
    MEASUREITEMSTRUCT mis = {ODT_MENU, 0, ID_TEST_THREE, 0, 0, 0x1234};
    wnd.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis);
    CHECK(owned.m_measured == 1);
    CHECK(mis.itemWidth == 80u);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = ID_TEST_THREE;
    dis.hwndItem = (HWND)owned.m_hMenu;
    wnd.SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
    CHECK(owned.m_drawn == 1);
    pState->m_hTrackingWindow = nullptr;
    pState->m_hTrackingMenu = nullptr;
}

TEST_CASE("image lists hold images and draw them") {
    CImageList images;
    REQUIRE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    CHECK(CImageList::FromHandlePermanent(images.m_hImageList) == &images);
    CClientDC screen(nullptr);
    CBitmap strip;
    REQUIRE(strip.CreateCompatibleBitmap(&screen, 32, 16));
    {
        CDC mem;
        mem.CreateCompatibleDC(&screen);
        CBitmap* pOld = mem.SelectObject(&strip);
        mem.FillSolidRect(CRect(0, 0, 16, 16), RGB(255, 0, 0));
        mem.FillSolidRect(CRect(16, 0, 32, 16), RGB(0, 0, 255));
        mem.SelectObject(pOld);
    }
    CHECK(images.Add(&strip, RGB(255, 0, 255)) == 0);
    CHECK(images.GetImageCount() == 2);

    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap target;
    target.CreateCompatibleBitmap(&screen, 20, 20);
    CBitmap* pOld = mem.SelectObject(&target);
    mem.FillSolidRect(CRect(0, 0, 20, 20), RGB(255, 255, 255));
    CHECK(images.Draw(&mem, 1, CPoint(2, 2), ILD_NORMAL));
    CHECK(mem.GetPixel(10, 10) == RGB(0, 0, 255));
    CHECK(mem.GetPixel(0, 0) == RGB(255, 255, 255));
    mem.SelectObject(pOld);
}

TEST_CASE("common dialogs: filters, and the printer defaults without showing anything") {
    CString filter = CFileDialog::MakeSystemFilter("Designs (*.kvl)|*.kvl|All files|*.*||");
    CHECK(filter.GetLength() == (int)strlen("Designs (*.kvl)|*.kvl|All files|*.*||"));
    CHECK(filter.GetAt(15) == '\0');
    CHECK(filter.GetAt(filter.GetLength() - 1) == '\0');
    CHECK(filter.GetAt(filter.GetLength() - 2) == '\0');
    CString unterminated = CFileDialog::MakeSystemFilter("Any|*.*");
    CHECK(unterminated.GetLength() == 9);  // "Any\0*.*\0\0"

    CFileDialog open(TRUE, "kvl", "C:\\data\\cover.kvl", OFN_HIDEREADONLY, "Designs|*.kvl||");
    CHECK(open.GetPathName() == "C:\\data\\cover.kvl");
    CHECK(open.GetFileName() == "cover.kvl");
    CHECK(open.GetFileTitle() == "cover");
    CHECK(open.GetFileExt() == "kvl");

    CPrintDialog print(FALSE,
                       PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE);
    if (print.GetDefaults()) {
        // A printer is installed: names and a device mode come with the defaults.
        CHECK(!print.GetDeviceName().IsEmpty());
        CHECK(print.GetDevMode() != nullptr);
        HDC hDC = print.CreatePrinterDC();
        CHECK(hDC != nullptr);
        if (hDC) CHECK(::GetDeviceCaps(hDC, LOGPIXELSX) > 0);
    } else {
        CHECK(print.m_pd.hDevNames == nullptr);
        CHECK(print.GetDeviceName().IsEmpty());
    }
}

namespace {

struct ThreadWindowSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindCaption(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(lParam);
    char text[128] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    if (::IsWindowVisible(hWnd) && lstrcmpA(text, search->caption) == 0) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindEdit(HWND hWnd, LPARAM lParam) {
    char name[32] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    if (lstrcmpiA(name, "Edit") == 0 && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of `thread` with `caption`, waited for up to `ms`.
HWND WaitForThreadWindow(DWORD thread, const char* caption, DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        ThreadWindowSearch search = {caption, nullptr};
        ::EnumThreadWindows(thread, FindCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        ::Sleep(20);
    } while (::GetTickCount() - start < ms);
    return nullptr;
}

}  // namespace

TEST_CASE("the open dialog hands back a file named outside the code page under that name") {
    wchar_t temp[MAX_PATH] = {};
    REQUIRE(::GetTempPathW(MAX_PATH, temp) > 0);
    const std::wstring folder = std::wstring(temp) + L"kv-open-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path =
        folder +
        L"\\\x041E\x0431\x043B\x043E\x0436\x043A\x0430 \x0430\x043B\x044C\x0431\x043E\x043C\x0430.kvl";
    HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    REQUIRE(created != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(created, "cover", 5, &written, nullptr);
    ::CloseHandle(created);

    // The user: waits for the dialog, types the name and presses Open; a dialog still open a while
    // later (it did not take the name) is cancelled, so that the test cannot hang.
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> typed{false};
    std::thread user([&] {
        HWND dialog = WaitForThreadWindow(uiThread, "Open", 30000);
        if (dialog == nullptr) return;
        HWND edit = nullptr;
        const DWORD start = ::GetTickCount();
        while (edit == nullptr && ::GetTickCount() - start < 10000) {
            ::EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
            if (edit == nullptr) ::Sleep(20);
        }
        if (edit != nullptr) {
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            typed = true;
        }
        const DWORD posted = ::GetTickCount();
        while (::IsWindow(dialog) && ::GetTickCount() - posted < 10000) ::Sleep(20);
        if (!::IsWindow(dialog)) return;
        for (HWND box; (box = ::GetWindow(dialog, GW_ENABLEDPOPUP)) != nullptr && box != dialog;)
            ::SendMessageA(box, WM_CLOSE, 0, 0);
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "Designs (*.kvl)|*.kvl||");
    const INT_PTR result = open.DoModal();
    user.join();
    REQUIRE(typed);
    CHECK(result == IDOK);
    const CString chosen = open.GetPathName();
    CAPTURE(std::string((LPCSTR)chosen));
    CHECK(AfxWideOf(chosen) == path);
    CHECK(chosen.Right(4).CompareNoCase(".kvl") == 0);
    CHECK(open.GetFileName() == chosen.Mid(chosen.ReverseFind('\\') + 1));
    HANDLE opened = ::CreateFileW(AfxWideOf(chosen).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    CHECK(opened != INVALID_HANDLE_VALUE);
    if (opened != INVALID_HANDLE_VALUE) {
        char bytes[8] = {};
        DWORD read = 0;
        ::ReadFile(opened, bytes, sizeof(bytes), &read, nullptr);
        ::CloseHandle(opened);
        CHECK(std::string(bytes, read) == "cover");
    }
    ::DeleteFileW(path.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST_CASE("the wait cursor nests") {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    {
        CWaitCursor outer;
        {
            CWaitCursor inner;
            CHECK(pState->m_nWaitCursorCount == 2);
        }
        CHECK(pState->m_nWaitCursorCount == 1);
    }
    CHECK(pState->m_nWaitCursorCount == 0);
}
