#include "framework/win/Controls.h"

#include "framework/win/WinApp.h"
#include "framework/win/ImageList.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {
BOOL CreateControl(CWnd* pWnd, LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID) {
    return pWnd->CreateEx(0, lpszClass, lpszText, dwStyle, rect, pParentWnd, nID);
}

// A control drawn by its owner gets the WM_DRAWITEM reflected to it as its own DrawItem.
template <class T>
BOOL DrawItemNotify(T* pCtrl, UINT message, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM) return FALSE;
    pCtrl->DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult) *pResult = TRUE;
    return TRUE;
}
}  // namespace

// ---- CStatic ----

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}
void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CButton ----

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CEdit ----

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const {
    if (nMaxLength < (int)sizeof(WORD)) return 0;
    *(LPWORD)lpszBuffer = (WORD)nMaxLength;
    return (int)SendMessage(EM_GETLINE, nIndex, (LPARAM)lpszBuffer);
}

CPoint CEdit::PosFromChar(UINT nChar) const {
    LRESULT r = SendMessage(EM_POSFROMCHAR, nChar, 0);
    return CPoint((short)LOWORD(r), (short)HIWORD(r));
}

// ---- list and combo boxes ----

namespace {
template <class T>
BOOL OwnerNotify(T* pCtrl, UINT message, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(pCtrl, message, lParam, pResult)) return TRUE;
    switch (message) {
        case WM_MEASUREITEM:
            pCtrl->MeasureItem((LPMEASUREITEMSTRUCT)lParam);
            if (pResult) *pResult = TRUE;
            return TRUE;
        case WM_COMPAREITEM:
            if (pResult) *pResult = pCtrl->CompareItem((LPCOMPAREITEMSTRUCT)lParam);
            return TRUE;
        case WM_DELETEITEM:
            pCtrl->DeleteItem((LPDELETEITEMSTRUCT)lParam);
            if (pResult) *pResult = TRUE;
            return TRUE;
        default:
            return FALSE;
    }
}

// Reads the text of a list item into rString through the control's length and text messages
// (empty when the item does not exist).
void GetItemString(const CWnd* pCtrl, UINT nLenMsg, UINT nTextMsg, int nIndex, CString& rString) {
    static_assert(LB_ERR == CB_ERR, "one error value for both controls");
    int nLen = (int)pCtrl->SendMessage(nLenMsg, nIndex, 0);
    if (nLen == LB_ERR) {
        rString.Empty();
        return;
    }
    char* p = rString.GetBuffer(nLen + 1);
    pCtrl->SendMessage(nTextMsg, nIndex, (LPARAM)p);
    rString.ReleaseBuffer();
}
}  // namespace

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}
void CListBox::GetText(int nIndex, CString& rString) const {
    GetItemString(this, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}
UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
    DWORD dw = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = (BOOL)HIWORD(dw);
    return LOWORD(dw);
}
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) {
    return 0;
}
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (OwnerNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}
void CComboBox::GetLBText(int nIndex, CString& rString) const {
    GetItemString(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}
BOOL CComboBox::GetComboBoxInfo(PCOMBOBOXINFO pcbi) const {
    pcbi->cbSize = sizeof(COMBOBOXINFO);
    return ::GetComboBoxInfo(m_hWnd, pcbi);
}
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) {
    return 0;
}
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (OwnerNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CScrollBar ----

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, "SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}
int CScrollBar::GetScrollLimit() {
    SCROLLINFO info;
    if (!GetScrollInfo(&info, SIF_RANGE | SIF_PAGE)) return 0;
    int nMax = info.nMax;
    if (info.nPage > 0) nMax -= (int)info.nPage - 1;
    return nMax < 0 ? 0 : nMax;
}

// ---- common controls ----

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
CToolTipCtrl* CSliderCtrl::GetToolTips() const {
    return (CToolTipCtrl*)FromHandle((HWND)SendMessage(TBM_GETTOOLTIPS, 0, 0));
}
void CSliderCtrl::SetToolTips(CToolTipCtrl* pWndTip) {
    SendMessage(TBM_SETTOOLTIPS, (WPARAM)pWndTip->GetSafeHwnd(), 0);
}

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    PBRANGE range;
    SendMessage(PBM_GETRANGE, 0, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    BOOL bResult = CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
    if (bResult) SetOwner(pParentWnd);
    return bResult;
}

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
    memset(&ti, 0, sizeof(ti));
    ti.cbSize = sizeof(ti);
    HWND hWnd = pWnd->GetSafeHwnd();
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(hWnd);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)hWnd;
    } else {
        ti.hwnd = hWnd;
        ti.uFlags = 0;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool != nullptr) ti.rect = *lpRectTool;
    ti.uFlags |= TTF_SUBCLASS;
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = (LPSTR)lpszText;
    return (BOOL)SendMessage(TTM_ADDTOOL, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    return AddTool(pWnd, MAKEINTRESOURCE(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    SendMessage(TTM_DELTOOL, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = (LPSTR)lpszText;
    SendMessage(TTM_UPDATETIPTEXT, 0, (LPARAM)&ti);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECT, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFO* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const {
    FillInToolInfo(*pToolInfo, pWnd, nIDTool);
    return (BOOL)SendMessage(TTM_GETTOOLINFO, 0, (LPARAM)pToolInfo);
}

// ---- CTabCtrl ----

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, WC_TABCONTROLA, nullptr, dwStyle, rect, pParentWnd, nID);
}
CImageList* CTabCtrl::GetImageList() const {
    return CImageList::FromHandle((HIMAGELIST)SendMessage(TCM_GETIMAGELIST, 0, 0));
}
CImageList* CTabCtrl::SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(
        (HIMAGELIST)SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)pImageList->GetSafeHandle()));
}
CToolTipCtrl* CTabCtrl::GetToolTips() const {
    return (CToolTipCtrl*)FromHandle((HWND)SendMessage(TCM_GETTOOLTIPS, 0, 0));
}
void CTabCtrl::SetToolTips(CToolTipCtrl* pWndTip) {
    SendMessage(TCM_SETTOOLTIPS, (WPARAM)pWndTip->GetSafeHwnd(), 0);
}
LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    TCITEM item = {};
    item.mask = TCIF_TEXT;
    item.pszText = (LPSTR)lpszItem;
    return InsertItem(nItem, &item);
}
LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
    TCITEM item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = (LPSTR)lpszItem;
    item.iImage = nImage;
    return InsertItem(nItem, &item);
}
void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CHeaderCtrl ----

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, WC_HEADERA, nullptr, dwStyle, rect, pParentWnd, nID);
}
CImageList* CHeaderCtrl::GetImageList() const {
    return CImageList::FromHandle((HIMAGELIST)SendMessage(HDM_GETIMAGELIST, 0, 0));
}
CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(
        (HIMAGELIST)SendMessage(HDM_SETIMAGELIST, 0, (LPARAM)pImageList->GetSafeHandle()));
}
void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CListCtrl ----

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(this, WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}
CImageList* CListCtrl::GetImageList(int nImageList) const {
    return CImageList::FromHandle((HIMAGELIST)SendMessage(LVM_GETIMAGELIST, nImageList, 0));
}
CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
    return CImageList::FromHandle(
        (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle()));
}
BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam) {
    LVITEM lvi = {};
    lvi.mask = nMask;
    lvi.iItem = nItem;
    lvi.iSubItem = nSubItem;
    lvi.stateMask = nStateMask;
    lvi.state = nState;
    lvi.pszText = (LPSTR)lpszItem;
    lvi.iImage = nImage;
    lvi.lParam = lParam;
    return SetItem(&lvi);
}
BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
    LVITEM lvi = {};
    lvi.iSubItem = nSubItem;
    lvi.pszText = (LPSTR)lpszText;
    return (BOOL)SendMessage(LVM_SETITEMTEXT, nItem, (LPARAM)&lvi);
}
CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    CString str;
    int nLen = 128;
    int nRes;
    do {
        nLen *= 2;
        LVITEM lvi = {};
        lvi.iSubItem = nSubItem;
        lvi.cchTextMax = nLen;
        lvi.pszText = str.GetBuffer(nLen);
        nRes = (int)SendMessage(LVM_GETITEMTEXT, nItem, (LPARAM)&lvi);
        str.ReleaseBuffer(nRes);
    } while (nRes >= nLen - 1);
    return str;
}
int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
    LVITEM lvi = {};
    lvi.iSubItem = nSubItem;
    lvi.cchTextMax = nLen;
    lvi.pszText = lpszText;
    return (int)SendMessage(LVM_GETITEMTEXT, nItem, (LPARAM)&lvi);
}
BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEM lvi = {};
    lvi.stateMask = nMask;
    lvi.state = nState;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, nItem, (LPARAM)&lvi);
}
DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    LVITEM lvi = {};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = nItem;
    GetItem(&lvi);
    return (DWORD_PTR)lvi.lParam;
}
BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, (LPARAM)dwData);
}
BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
    lpRect->left = (LONG)nCode;
    return (BOOL)SendMessage(LVM_GETITEMRECT, nItem, (LPARAM)lpRect);
}
BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
    ref.top = iSubItem;
    ref.left = nArea;
    return (BOOL)SendMessage(LVM_GETSUBITEMRECT, iItem, (LPARAM)(LPRECT)ref);
}
POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    return (POSITION)(DWORD_PTR)(1 + GetNextItem(-1, LVNI_SELECTED));
}
int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
    int nOldPos = (int)(DWORD_PTR)pos - 1;
    pos = (POSITION)(DWORD_PTR)(1 + GetNextItem(nOldPos, LVNI_SELECTED));
    return nOldPos;
}
BOOL CListCtrl::GetCheck(int nItem) const {
    int nState = (int)SendMessage(LVM_GETITEMSTATE, nItem, LVIS_STATEIMAGEMASK);
    return ((BOOL)(nState >> 12) - 1);
}
BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck) {
    LVITEM lvi = {};
    lvi.stateMask = LVIS_STATEIMAGEMASK;
    lvi.state = INDEXTOSTATEIMAGEMASK((fCheck ? 2 : 1));
    return (BOOL)SendMessage(LVM_SETITEMSTATE, nItem, (LPARAM)&lvi);
}
int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    LVITEM lvi = {};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = nItem;
    lvi.pszText = (LPSTR)lpszItem;
    return InsertItem(&lvi);
}
int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
    LVITEM lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE;
    lvi.iItem = nItem;
    lvi.pszText = (LPSTR)lpszItem;
    lvi.iImage = nImage;
    return InsertItem(&lvi);
}
int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
    LVHITTESTINFO hti = {};
    hti.pt = pt;
    int nRes = (int)SendMessage(LVM_HITTEST, 0, (LPARAM)&hti);
    if (pFlags != nullptr) *pFlags = hti.flags;
    return nRes;
}
int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = (LPSTR)lpszColumnHeading;
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}
void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (DrawItemNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
