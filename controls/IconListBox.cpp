#include "controls/IconListBox.h"

#include "controls/ThemeFill.h"
#include "controls/UxThemeLibrary.h"

IMPLEMENT_DYNAMIC(CIconListBox, CListBox)

BEGIN_MESSAGE_MAP(CIconListBox, CListBox)
    ON_WM_DESTROY()
    ON_CONTROL_REFLECT_EX(LBN_DBLCLK, OnDoubleClick)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CIconListBox::CIconListBox() {
    GuardOperation(2354, [] {});
}

CIconListBox::~CIconListBox() = default;

ListItemRecord* CIconListBox::GetRecord(int index) const {
    const DWORD_PTR data = GetItemData(index);
    if (data == 0 || data == static_cast<DWORD_PTR>(LB_ERR)) return nullptr;
    return reinterpret_cast<ListItemRecord*>(data);
}

void CIconListBox::SetImageList(CImageList* imageList) {
    m_imageList = imageList;
    m_iconWidth = 0;
    m_iconHeight = 0;
    if (imageList && imageList->GetSafeHandle()) {
        ImageList_GetIconSize(imageList->GetSafeHandle(), &m_iconWidth, &m_iconHeight);
    }
    if (m_hWnd) Invalidate();
}

int CIconListBox::AddString(LPCTSTR text, int imageIndex) {
    int result = LB_ERR;
    GuardOperation(1243, [&] {
        result = CListBox::AddString(text);
        if (result == LB_ERR || result == LB_ERRSPACE) return;
        SetItemRecord(result, 0, 0, static_cast<DWORD>(imageIndex), 0, 0xFFFFFFFF);
    });
    return result;
}

int CIconListBox::SetItemRecord(int index, DWORD w0, DWORD w1, DWORD imageIndex, DWORD flags, DWORD mask) {
    int result = -1;
    GuardOperation(1241, [&] {
        if (index < 0 || index >= GetCount()) return;  // a record for no item would be lost
        ListItemRecord* record = GetRecord(index);
        if (!record) record = new ListItemRecord();
        if (mask & kItemRecordValue0) record->value0 = w0;
        if (mask & kItemRecordValue1) record->value1 = w1;
        if (mask & kItemRecordImage) record->imageIndex = imageIndex;
        if (mask & kItemRecordFlags) record->flags = flags;
        result = SetItemData(index, reinterpret_cast<DWORD_PTR>(record));
    });
    return result;
}

void CIconListBox::FreeItemData(int index) {
    GuardOperation(3311, [&] {
        delete GetRecord(index);
        SetItemData(index, 0);
    });
}

void CIconListBox::FreeAllRecords() {
    GuardOperation(1240, [&] {
        for (int i = GetCount() - 1; i >= 0; --i) FreeItemData(i);
    });
}

void CIconListBox::ResetContent() {
    GuardOperation(1247, [&] {
        FreeAllRecords();
        CListBox::ResetContent();
    });
}

void CIconListBox::SetHighlightStyle(int style, BOOL redraw) {
    if (style < 0 || style > 2) return;
    m_highlightStyle = static_cast<BYTE>(style);
    if (redraw && m_hWnd) Invalidate();
}

void CIconListBox::PreSubclassWindow() {
    GuardOperation(2355, [&] {
        // The rows are drawn in the classic colours; a themed frame would not match them.
        if (g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
        CListBox::PreSubclassWindow();
    });
}

void CIconListBox::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    GuardOperation(1234, [&] {
        int height = 0;
        ScopedWindowDC dc(m_hWnd);
        if (dc) {
            TEXTMETRIC tm = {};
            ::GetTextMetrics(dc, &tm);
            height = tm.tmHeight;
        }
        if (m_imageList && m_iconHeight + 4 > height) height = m_iconHeight + 4;
        measureItem->itemHeight = static_cast<UINT>(height + 4);
    });
}

void CIconListBox::DrawIconBackground(int, CDC* dc, const RECT& itemRect, const RECT& iconRect, int, BOOL,
                                      COLORREF colour) {
    GuardOperation(1236, [&] {
        RECT column = {iconRect.left, itemRect.top, iconRect.right, itemRect.bottom};
        ::SetBkColor(dc->m_hDC, colour);
        dc->FillSolidRect(&column, colour);
    });
}

void CIconListBox::DrawTextBackground(int, CDC* dc, const RECT&, const RECT& fillRect, int, BOOL,
                                      COLORREF colour) {
    GuardOperation(1237, [&] {
        ::SetBkColor(dc->m_hDC, colour);
        dc->FillSolidRect(&fillRect, colour);
    });
}

void CIconListBox::DrawItemIcon(int, CDC* dc, const RECT&, const RECT& iconRect, int imageIndex,
                                BOOL disabled, BOOL) {
    GuardOperation(1238, [&] {
        if (!m_imageList || !m_imageList->GetSafeHandle()) return;
        HICON icon = ImageList_GetIcon(m_imageList->GetSafeHandle(), imageIndex, ILD_NORMAL);
        if (!icon) return;
        ::DrawState(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, iconRect.left + 2,
                    iconRect.top + 2, m_iconWidth, m_iconHeight, DST_ICON | (disabled ? DSS_DISABLED : 0));
        ::DestroyIcon(icon);
    });
}

void CIconListBox::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(1235, [&] {
        const int index = static_cast<int>(drawItem->itemID);
        if (index < 0) return;
        ListItemRecord* record = reinterpret_cast<ListItemRecord*>(drawItem->itemData);
        if (!record || drawItem->itemData == static_cast<ULONG_PTR>(LB_ERR)) return;
        CDC* dc = CDC::FromHandle(drawItem->hDC);
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        const COLORREF windowText = ::GetSysColor(COLOR_WINDOWTEXT);
        const int oldMode = ::SetBkMode(drawItem->hDC, TRANSPARENT);
        const BOOL selected = (drawItem->itemState & ODS_SELECTED) ? TRUE : FALSE;
        const BOOL enabled = IsWindowEnabled();
        const RECT item = drawItem->rcItem;

        RECT iconRect = {item.left, item.top, item.left, item.top};
        if (m_imageList) {
            iconRect.right = item.left + m_iconWidth + 4;
            iconRect.bottom = item.top + m_iconHeight + 4;
        }
        RECT textRect = item;
        textRect.left = iconRect.right;

        CString text;
        GetText(index, text);
        const UINT format = DT_EXPANDTABS | DT_WORDBREAK | record->formatOrSpare;
        RECT measured = textRect;
        ::DrawText(drawItem->hDC, text, text.GetLength(), &measured, format | DT_CALCRECT);
        const int shift = ((item.bottom - item.top) - (measured.bottom - measured.top)) / 2;
        ::OffsetRect(&measured, 0, shift);

        if (m_imageList) {
            DrawIconBackground(index, dc, item, iconRect, 0, selected,
                               (selected && m_highlightStyle == 0) ? highlight : window);
        }
        COLORREF textColour = windowText;
        COLORREF backColour = window;
        if (selected && enabled) {
            textColour = ~windowText & 0x00FFFFFF;
            backColour = highlight;
        }
        DrawTextBackground(index, dc, item, m_highlightStyle == 2 ? measured : textRect, 0, selected,
                           backColour);

        if (!enabled) {
            TileThemeBackground(drawItem->hDC, item, 0, 0, 1);
            if (m_blankWhenDisabled) {
                ::SetBkMode(drawItem->hDC, oldMode);
                return;
            }
        }
        if (m_imageList)
            DrawItemIcon(index, dc, item, iconRect, static_cast<int>(record->imageIndex), FALSE, selected);

        const COLORREF oldText = ::SetTextColor(drawItem->hDC, textColour);
        ::DrawText(drawItem->hDC, text, text.GetLength(), &measured, format);
        ::SetTextColor(drawItem->hDC, oldText);
        ::SetBkMode(drawItem->hDC, oldMode);
    });
}

BOOL CIconListBox::OnDoubleClick() {
    return HandleRecordListDoubleClick(this);
}

BOOL CIconListBox::OnEraseBkgnd(CDC* dc) {
    GuardOperation(1261, [&] {
        if (IsWindowEnabled()) {
            Default();
        } else {
            RECT client;
            GetClientRect(&client);
            TileThemeBackground(dc->m_hDC, client, 0, 0, 1);
        }
    });
    return TRUE;
}

void CIconListBox::OnDestroy() {
    GuardOperation(1233, [&] {
        FreeAllRecords();
        Default();
    });
}
