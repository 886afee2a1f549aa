// CButtonMenu: the formatting bar's drop-down option button.
#include "bars/ButtonMenu.h"

IMPLEMENT_DYNAMIC(CButtonMenu, CIconButton)

BEGIN_MESSAGE_MAP(CButtonMenu, CIconButton)
    ON_WM_PAINT()
    ON_WM_LBUTTONUP()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(BM_SETIMAGE, OnSetImage)
    ON_MESSAGE(BM_GETIMAGE, OnGetImage)
END_MESSAGE_MAP()

namespace {

const int kDefaultMenuWidth = 130;
// The menu's radio check and pictures: 19 x 15 (the pictures are 19 x 19, drawn into rows of 15).
const int kMenuIconWidth = 19;
const int kMenuIconHeight = 15;
// Pixels at the right edge that the arrow takes.
const int kArrowRoom = 14;

}  // namespace

CButtonMenu::CButtonMenu() = default;

CButtonMenu::~CButtonMenu() {
    GuardOperation(3501, [&] {
        if (m_menu.m_hMenu) m_menu.DestroyMenu();
        if (m_currentIcon) ::DestroyIcon(m_currentIcon);
        m_currentIcon = nullptr;
    });
}

void CButtonMenu::AddItem(LPCTSTR text, UINT id, int icon) {
    m_texts.Add(text);
    m_ids.Add(static_cast<WORD>(id));
    m_icons.Add(static_cast<WORD>(icon));
}

void CButtonMenu::SetItems(const OptionList& list) {
    RemoveAllItems();
    for (int i = 0; i < list.count; ++i) AddItem(list.items[i].text, list.items[i].id, list.items[i].icon);
}

void CButtonMenu::RemoveAllItems() {
    GuardOperation(3502, [&] {
        m_texts.RemoveAll();
        m_ids.RemoveAll();
        m_icons.RemoveAll();
        if (m_menu.m_hMenu) m_menu.DestroyMenu();
        m_currentItem = -1;
        m_bMenuBuilt = 0;
        m_bMenuOffered = 0;
        m_bSkipNextOpen = 0;
    });
}

UINT CButtonMenu::GetCurrentId() const {
    if (m_currentItem < 0 || m_currentItem >= GetItemCount()) return 0;
    return m_ids[m_currentItem];
}

CString CButtonMenu::GetCurrentText() const {
    if (m_currentItem < 0 || m_currentItem >= GetItemCount()) return CString();
    return m_texts[m_currentItem];
}

BOOL CButtonMenu::BuildMenu() {
    BOOL built = FALSE;
    GuardOperation(3503, [&] {
        if (GetItemCount() == 0) return;
        if (m_menu.m_hMenu) m_menu.DestroyMenu();
        if (!m_menu.CreatePopupMenu()) return;
        for (int i = 0; i < GetItemCount(); ++i) {
            m_menu.AppendMenu(MF_STRING | MF_OWNERDRAW, m_ids[i], m_texts[i], -1);
            m_menu.ModifyItemImage(nullptr, m_ids[i], m_pImageList, m_icons[i]);
        }
        m_menu.SetIconSize(kMenuIconWidth, kMenuIconHeight);
        m_menu.SetMenuTitle(" ", 6, -1);
        m_bMenuBuilt = 1;
        built = TRUE;
    });
    return built;
}

void CButtonMenu::SetCurrentItem(int index) {
    GuardOperation(3504, [&] {
        if (index >= GetItemCount()) return;
        m_bMenuOffered = 1;
        m_currentItem = index;
        if (index < 0) return;
        SetWindowText(m_bShowCaption ? static_cast<LPCTSTR>(m_texts[index]) : " ");
        const int icon = m_icons[index];
        if (m_pImageList && m_pImageList->GetSafeHandle() && icon < m_pImageList->GetImageCount()) {
            HICON extracted = m_pImageList->ExtractIcon(icon);
            if (extracted) {
                SetIcon(extracted, extracted);
                // The button draws from its own copy of the caller's icon; the previous one is
                // no longer shown.
                if (m_currentIcon) ::DestroyIcon(m_currentIcon);
                m_currentIcon = extracted;
            }
        }
    });
}

void CButtonMenu::SetCurrentItemById(UINT id) {
    for (int i = 0; i < GetItemCount(); ++i) {
        if (m_ids[i] == id) {
            SetCurrentItem(i);
            return;
        }
    }
}

void CButtonMenu::SetCurrentItemByText(LPCTSTR text) {
    for (int i = 0; i < GetItemCount(); ++i) {
        if (m_texts[i] == text) {
            SetCurrentItem(i);
            return;
        }
    }
}

int CButtonMenu::MenuWidthFor(const CString& firstText) {
    if (firstText == "0 degrees") return 139;
    if (firstText == "Single-Line") return 135;
    if (firstText == "Text Linking On") return 155;
    if (firstText == "Track Numbers && Times") return 197;
    if (firstText == "Left Side") return 151;
    return kDefaultMenuWidth;
}

POINT CButtonMenu::MenuPosition(const RECT& buttonScreen, int menuWidth, int workAreaRight) {
    POINT p;
    p.x = buttonScreen.left - 21;
    if (p.x <= 0) p.x = 0;
    if (p.x + menuWidth > workAreaRight) p.x = workAreaRight - menuWidth;
    p.y = buttonScreen.bottom;
    return p;
}

void CButtonMenu::ShowMenu() {
    GuardOperation(3505, [&] {
        // The menu (and its icons in the menus' shared image lists) is made when first opened,
        // not when an option is made current: the bars set every button's option at start-up.
        if (!m_bMenuOffered || (!m_bMenuBuilt && !BuildMenu())) return;
        if (m_bSkipNextOpen) {
            m_bSkipNextOpen = 0;
            return;
        }
        const int count = GetItemCount();
        if (count > 0) ::CheckMenuRadioItem(m_menu.m_hMenu, 1, count, m_currentItem + 1, MF_BYPOSITION);
        const int width = MenuWidthFor(count > 0 ? m_texts[0] : CString());
        RECT window;
        GetWindowRect(&window);
        RECT workArea = {0, 0, 0, 0};
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
        const POINT at = MenuPosition(window, width, workArea.right);

        m_bMenuOpen = 1;
        const UINT chosen = static_cast<UINT>(
            m_menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, this));
        m_bMenuOpen = 0;

        SetRedraw(FALSE);
        for (int i = 0; i < count; ++i) {
            if (chosen != 0 && m_ids[i] == chosen) {
                SetCurrentItem(i);
                break;
            }
        }
        HWND parent = ::GetParent(m_hWnd);
        if (parent) ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
        SetRedraw(TRUE);

        POINT cursor;
        ::GetCursorPos(&cursor);
        GetWindowRect(&window);
        if (chosen == 0 && ::PtInRect(&window, cursor)) {
            // The click that closed the menu reaches the button next; it must not open it again.
            m_bSkipNextOpen = 1;
            return;
        }
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
}

void CButtonMenu::OnLButtonUp(UINT, CPoint point) {
    GuardOperation(3506, [&] {
        Default();
        if (!m_hWnd) return;
        RECT client;
        GetClientRect(&client);
        if (::PtInRect(&client, point)) ShowMenu();
    });
}

void CButtonMenu::DrawArrow(HDC dc) {
    if (m_bMenuOpen) return;
    RECT client;
    GetClientRect(&client);
    const bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
    const int x = pushed ? client.right - 11 : client.right - 12;
    const int y = pushed ? client.bottom / 2 - 1 : client.bottom / 2 - 2;
    ScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
    // A downward triangle of rows 9, 7, 5, 3 and 1 pixels.
    for (int row = 0; row < 5; ++row) {
        ::MoveToEx(dc, x + row, y + row, nullptr);
        ::LineTo(dc, x + 9 - row, y + row);
    }
}

void CButtonMenu::DrawCaption(CDC* dc, const CString& caption, RECT* itemRect, RECT* captionRect,
                              BOOL pressed, BOOL disabled) {
    RECT room = *captionRect;
    room.right -= kArrowRoom;
    CIconButton::DrawCaption(dc, caption, itemRect, &room, pressed, disabled);
}

void CButtonMenu::OnPaint() {
    GuardOperation(3507, [&] {
        // The button paints itself into this DC, and the arrow goes on top of it.
        CPaintDC dc(this);
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        DrawArrow(dc.GetSafeHdc());
    });
}

LRESULT CButtonMenu::OnPrintClient(WPARAM wParam, LPARAM) {
    LRESULT result = 0;
    GuardOperation(3509, [&] {
        result = Default();
        DrawArrow(reinterpret_cast<HDC>(wParam));
    });
    return result;
}

void CButtonMenu::OnDestroy() {
    GuardOperation(3508, [&] {
        if (m_menu.m_hMenu) m_menu.DestroyMenu();
        m_texts.RemoveAll();
        m_ids.RemoveAll();
        m_icons.RemoveAll();
        Default();
    });
}

// The system's button never draws an owner-drawn button's picture, yet Wine's keeps a copy of
// every picture it is handed until the window goes: an option button changes its picture with
// every current item, so the picture stays with the button.
LRESULT CButtonMenu::OnSetImage(WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    HANDLE previous = m_systemImage;
    m_systemImage = reinterpret_cast<HANDLE>(lParam);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT CButtonMenu::OnGetImage(WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    return reinterpret_cast<LRESULT>(m_systemImage);
}
