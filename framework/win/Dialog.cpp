#include "framework/win/Dialog.h"

#include <vector>

#include "framework/win/WinApp.h"
#include "framework/win/Gdi.h"

namespace {
// The dialog procedure behind DefDlgProc: every message already went through
// the dialog object's WindowProc, so nothing is left to do here.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

bool IsTabStop(HWND wnd) {
    return (::GetWindowLongA(wnd, GWL_STYLE) & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) ==
           (WS_TABSTOP | WS_VISIBLE);
}

// The child of `parent` that is or holds `wnd`; null when `wnd` is not inside `parent`.
HWND ChildHolding(HWND parent, HWND wnd) {
    while (wnd != nullptr && ::GetParent(wnd) != parent) wnd = ::GetParent(wnd);
    return wnd;
}

// The first (or last) field of `page` that Tab stops on.
HWND EdgeStop(HWND page, bool last) {
    HWND w = ::GetWindow(page, GW_CHILD);
    if (w != nullptr && last) w = ::GetWindow(w, GW_HWNDLAST);
    for (; w != nullptr; w = ::GetWindow(w, last ? GW_HWNDPREV : GW_HWNDNEXT))
        if (IsTabStop(w)) return w;
    return nullptr;
}

// The shown page with a field to stop on that `container` holds, when the dialog manager does not
// step into `container` by itself; null otherwise.
HWND ShownPageIn(HWND container) {
    if (::GetWindowLongA(container, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) return nullptr;
    for (HWND w = ::GetWindow(container, GW_CHILD); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongA(w, GWL_STYLE);
        if ((::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && (style & WS_VISIBLE) &&
            !(style & WS_DISABLED) && EdgeStop(w, false) != nullptr)
            return w;
    }
    return nullptr;
}

const DLGTEMPLATE* LoadDialogTemplate(HINSTANCE hInst, LPCTSTR lpszTemplateName) {
    HRSRC hResource = ::FindResourceA(hInst, lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr) return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    if (hTemplate == nullptr) return nullptr;
    return (const DLGTEMPLATE*)::LockResource(hTemplate);
}
}  // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, HandleOK)
    ON_COMMAND(IDCANCEL, HandleCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
    if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0) m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    HINSTANCE hInst = AfxGetResourceHandle();
    const DLGTEMPLATE* lpTemplate = LoadDialogTemplate(hInst, lpszTemplateName);
    if (lpTemplate == nullptr) return FALSE;
    if (pParentWnd == nullptr) pParentWnd = m_pParentWnd;
    return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, hInst ? hInst : AfxGetResourceHandle());
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
    AfxHookWindowCreate(this);
    HWND hWnd =
        ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (hWnd == nullptr) {
        if (m_hWnd != nullptr) Detach();
        return FALSE;
    }
    return TRUE;
}

HWND CDialog::PreModal() {
    HWND hWnd = m_pParentWnd->GetSafeHwnd();
    if (hWnd == nullptr) {
        CWnd* pMain = AfxGetMainWnd();
        hWnd = pMain->GetSafeHwnd();
    }
    // The owner of a modal dialog is a top-level window.
    while (hWnd != nullptr && (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
    // A disabled owner has a modal dialog of its own open, and the new one is opened from there:
    // it belongs to that dialog (the owner's last active pop-up), so that closing it gives the
    // activation back to the dialog and not to a window that takes no input.
    if (hWnd != nullptr && !::IsWindowEnabled(hWnd)) {
        HWND popup = ::GetLastActivePopup(hWnd);
        if (popup != nullptr && popup != hWnd && ::IsWindowEnabled(popup) && ::IsWindowVisible(popup))
            hWnd = popup;
    }
    return hWnd;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst = AfxGetResourceHandle();
    const DLGTEMPLATE* lpTemplate = LoadDialogTemplate(hInst, m_lpszTemplateName);
    if (lpTemplate == nullptr) return -1;

    HWND hWndParent = PreModal();
    BOOL bEnableParent = FALSE;
    if (hWndParent != nullptr && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }

    m_bModal = TRUE;
    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    try {
        if (CreateDlgIndirect(lpTemplate, CWnd::FromHandle(hWndParent), hInst)) {
            if (m_bContinueModal) RunModalLoop();
            if (m_hWnd != nullptr)
                ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                               SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        e->Delete();
        m_nModalResult = -1;
    } catch (...) {
        m_nModalResult = -1;
    }

    if (bEnableParent) ::EnableWindow(hWndParent, TRUE);
    if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
    if (m_hWnd != nullptr) DestroyWindow();
    m_bModal = FALSE;
    return m_nModalResult;
}

int CDialog::RunModalLoop(DWORD) {
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = !(GetStyle() & WS_VISIBLE);
    CWinThread* pThread = AfxGetThread();
    MSG msg;
    HWND hWndSelf = m_hWnd;
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!m_bContinueModal) return m_nModalResult;
            if (!::SendMessage(hWndSelf, WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++)) bIdle = FALSE;
        }
        do {
            if (!m_bContinueModal || !::IsWindow(hWndSelf)) return m_nModalResult;
            // About to wait for input: the owner hears of it, as the system's own dialogs tell it,
            // and may catch up with work its own idle time would do (its loop is not running).
            if (hWndOwner != nullptr && !(GetStyle() & DS_NOIDLEMSG) &&
                !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                ::SendMessageA(hWndOwner, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)hWndSelf);
            if (!::GetMessageA(&msg, nullptr, 0, 0)) {
                // A quit request ends the dialog and stays for the loop outside.
                ::PostQuitMessage((int)msg.wParam);
                m_bContinueModal = FALSE;
                return m_nModalResult;
            }
            if (!CWnd::WalkPreTranslateTree(hWndSelf, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (!m_bContinueModal) return m_nModalResult;
            if (pThread != nullptr ? pThread->IsIdleMessage(&msg)
                                   : (msg.message != WM_PAINT && msg.message != 0x0118)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CDialog::EndModalLoop(int nResult) {
    // The first end decides. A box over the dialog keeps its loop from returning, and a Cancel
    // that reaches the dialog meanwhile would report a cancel over what the first end has done.
    if (!m_bContinueModal) return;
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
    ::PostMessage(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

bool CDialog::HasEnded() const {
    return m_bModal && !m_bContinueModal;
}

// OK and Cancel of a dialog that has ended do nothing more: their handlers change settings or the
// design before they end it, and the caller acts on the first end's result alone. Nor do they
// while one of them runs: a box it shows runs a loop, and a Cancel typed ahead would end the
// dialog as cancelled under an OK that then goes on to keep its changes.
void CDialog::HandleOK() {
    RunEndHandler(&CDialog::OnOK);
}

void CDialog::HandleCancel() {
    RunEndHandler(&CDialog::OnCancel);
}

void CDialog::RunEndHandler(void (CDialog::*handler)()) {
    if (HasEnded() || m_bInEndHandler) return;
    m_bInEndHandler = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{m_bInEndHandler};
    (this->*handler)();
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal)
        EndModalLoop(nResult);
    else
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd != nullptr) {
        if (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) {
            if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && TabAcrossPage(pMsg)) return TRUE;
            if (::IsDialogMessageA(m_hWnd, pMsg)) return TRUE;
        }
    }
    return FALSE;
}

// A page is a child dialog inside a window the dialog manager does not step into (a tab control),
// so neither the page's nor its holder's dialog manager would take Tab across the page's edge.
// The page's fields come in the holder's order right after that window, as a property sheet's do:
// Tab from the page's last field goes on to the holder's next field, Shift+Tab from its first to
// that window, and the holder's Tab and Shift+Tab step into the shown page from either side.
bool CDialog::TabAcrossPage(const MSG* pMsg) {
    if (::SendMessageA(pMsg->hwnd, WM_GETDLGCODE, VK_TAB, (LPARAM)pMsg) & (DLGC_WANTTAB | DLGC_WANTALLKEYS))
        return false;
    const bool back = ::GetKeyState(VK_SHIFT) < 0;
    HWND holder = ::GetAncestor(m_hWnd, GA_ROOT);
    HWND target = nullptr;
    if (holder != m_hWnd) {
        HWND container = ::GetParent(m_hWnd);
        if (container == holder || ShownPageIn(container) != m_hWnd ||
            ChildHolding(m_hWnd, pMsg->hwnd) != EdgeStop(m_hWnd, !back))
            return false;
        HWND outer = ChildHolding(holder, container);
        target = back && IsTabStop(outer) ? outer : ::GetNextDlgTabItem(holder, outer, back);
    } else {
        HWND field = ChildHolding(m_hWnd, pMsg->hwnd);
        HWND before = back && field != nullptr ? ::GetNextDlgTabItem(m_hWnd, field, TRUE) : field;
        HWND page = before != nullptr ? ShownPageIn(before) : nullptr;
        if (page == nullptr) return false;
        target = EdgeStop(page, back);
    }
    if (target == nullptr) return false;
    ::SendMessageA(holder, WM_NEXTDLGCTL, (WPARAM)target, TRUE);
    return true;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    PreInitDialog();
    RECT rcBefore;
    ::GetWindowRect(m_hWnd, &rcBefore);
    BOOL bResult = FALSE;
    try {
        bResult = OnInitDialog();
    } catch (CException* e) {
        e->Delete();
        EndDialog(-1);
        return FALSE;
    }
    if (m_hWnd == nullptr) return FALSE;
    RECT rcAfter;
    ::GetWindowRect(m_hWnd, &rcAfter);
    // A dialog that its initialisation did not move goes over its owner (one that only changed
    // its size, as a message box fitting its text does, is centred too).
    if (!(GetStyle() & WS_CHILD) && rcBefore.left == rcAfter.left && rcBefore.top == rcAfter.top)
        CenterWindow();
    return bResult;
}

BOOL CDialog::OnInitDialog() {
    if (m_lpszTemplateName != nullptr) ExecuteDlgInit(m_lpszTemplateName);
    if (!UpdateData(FALSE)) return TRUE;
    return TRUE;
}

void CDialog::OnOK() {
    if (PassToHolder(IDOK)) return;
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    if (PassToHolder(IDCANCEL)) return;
    EndDialog(IDCANCEL);
}

// Ending a dialog that is a child window would only hide it and leave a hole in the dialog around
// it. Enter and Escape typed in such a page are meant for the dialog that holds it, as with the
// focus on that dialog's own fields: Enter presses its default button (none while it is disabled)
// and Escape its Cancel.
bool CDialog::PassToHolder(int id) {
    if (!(GetStyle() & WS_CHILD)) return false;
    HWND holder = ::GetAncestor(m_hWnd, GA_ROOT);
    if (holder == nullptr || holder == m_hWnd) return false;
    if (id == IDOK) {
        const DWORD def = (DWORD)::SendMessageA(holder, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID) id = LOWORD(def);
    }
    HWND button = ::GetDlgItem(holder, id);
    if (button == nullptr || ::IsWindowEnabled(button))
        ::SendMessageA(holder, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
    return true;
}

void CDialog::OnClose() {
    Default();
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1L);
}

BOOL CDialog::ExecuteDlgInit(LPCTSTR lpszResourceName) {
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInst, lpszResourceName, MAKEINTRESOURCE(240));
    if (hResource == nullptr) return TRUE;  // nothing to do
    HGLOBAL hData = ::LoadResource(hInst, hResource);
    if (hData == nullptr) return FALSE;
    const void* p = ::LockResource(hData);
    return ExecuteDlgInit(p, ::SizeofResource(hInst, hResource));
}

BOOL CDialog::ExecuteDlgInit(const void* lpResource, DWORD cbResource) {
    if (lpResource == nullptr) return TRUE;
    const BYTE* p = static_cast<const BYTE*>(lpResource);
    const BYTE* pEnd = p + cbResource;
    while (p + sizeof(WORD) <= pEnd) {
        WORD nIDC = *(const WORD*)p;
        if (nIDC == 0) return TRUE;
        if (p + 2 * sizeof(WORD) + sizeof(DWORD) > pEnd) return FALSE;
        WORD nMsg = *(const WORD*)(p + 2);
        DWORD dwLen = *(const DWORD*)(p + 4);
        p += 8;
        if (dwLen > (DWORD)(pEnd - p)) return FALSE;  // a length past the data: stop, add nothing more
        // The data is a string; copy it so that it ends even without its terminator.
        std::vector<char> text(p, p + dwLen);
        text.push_back('\0');
        UINT nMessage = 0;
        switch (nMsg) {
            case 0x0401:  // list box "add string" as the resource compiler writes it
            case LB_ADDSTRING:
                nMessage = LB_ADDSTRING;
                break;
            case 0x0403:  // combo box "add string"
            case CB_ADDSTRING:
                nMessage = CB_ADDSTRING;
                break;
            default:
                break;
        }
        if (nMessage != 0) {
            HWND hWndCtrl = ::GetDlgItem(m_hWnd, nIDC);
            if (hWndCtrl != nullptr) ::SendMessageA(hWndCtrl, nMessage, 0, (LPARAM)text.data());
        }
        p += dwLen;
    }
    return TRUE;
}

// ---- data exchange ----

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (CUserException* e) {
        e->Delete();  // the user was told
    }
    return FALSE;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (hWndCtrl == nullptr) AfxThrowNotSupportedException();
    m_idLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl != nullptr) {
        ::SetFocus(m_idLastControl);
        if (m_bEditLastControl) ::SendMessage(m_idLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {
CString WindowText(HWND hWnd) {
    int nLen = ::GetWindowTextLengthA(hWnd);
    CString s;
    char* p = s.GetBuffer(nLen + 1);
    int n = ::GetWindowTextA(hWnd, p, nLen + 1);
    s.ReleaseBuffer(n < 0 ? 0 : n);
    return s;
}

bool ParseLong(const CString& text, long& value, bool bUnsigned) {
    CString s(text);
    s.Trim();
    if (s.IsEmpty()) return false;
    const char* p = s;
    char* pEnd = nullptr;
    if (bUnsigned) {
        if (*p == '-') return false;
        value = (long)strtoul(p, &pEnd, 10);
    } else {
        value = strtol(p, &pEnd, 10);
    }
    return pEnd != nullptr && *pEnd == '\0';
}

void TextInt(CDataExchange* pDX, int nIDC, long& value, bool bUnsigned, long minVal, long maxVal) {
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long v = 0;
        if (!ParseLong(WindowText(hWndCtrl), v, bUnsigned) ||
            (bUnsigned
                 ? ((unsigned long)v < (unsigned long)minVal || (unsigned long)v > (unsigned long)maxVal)
                 : (v < minVal || v > maxVal))) {
            AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = v;
    } else {
        char sz[32];
        wsprintfA(sz, bUnsigned ? "%lu" : "%ld", value);
        ::SetWindowTextA(hWndCtrl, sz);
    }
}

void TextDouble(CDataExchange* pDX, int nIDC, double& value, int nDigits) {
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString s = WindowText(hWndCtrl);
        s.Trim();
        char* pEnd = nullptr;
        double d = strtod(s, &pEnd);
        if (s.IsEmpty() || pEnd == nullptr || *pEnd != '\0') {
            AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = d;
    } else {
        CString s;
        s.Format("%.*g", nDigits, value);
        ::SetWindowTextA(hWndCtrl, s);
    }
}
}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd == nullptr) {
        HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
        if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWndCtrl);
    else
        ::SetWindowTextA(hWndCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    long v = value;
    TextInt(pDX, nIDC, v, false, LONG_MIN, LONG_MAX);
    value = (int)v;
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    long v = (long)value;
    TextInt(pDX, nIDC, v, true, 0, (long)0xFFFFFFFFu);
    value = (UINT)v;
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    TextInt(pDX, nIDC, value, false, LONG_MIN, LONG_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
    long v = (long)value;
    TextInt(pDX, nIDC, v, true, 0, (long)0xFFFFFFFFu);
    value = (DWORD)v;
}
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) {
    long v = value;
    TextInt(pDX, nIDC, v, false, -32768, 32767);
    value = (short)v;
}
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) {
    long v = value;
    TextInt(pDX, nIDC, v, true, 0, 255);
    value = (BYTE)v;
}
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    TextDouble(pDX, nIDC, value, 15);
}
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
    double d = value;
    TextDouble(pDX, nIDC, d, 6);
    value = (float)d;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0);
    else
        ::SendMessage(hWndCtrl, BM_SETCHECK, (WPARAM)(value < 0 || value > 2 ? 0 : value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    int iButton = 0;
    // The group runs from the first button to the next control with WS_GROUP.
    do {
        if (::SendMessage(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0) != 0) value = iButton;
            } else {
                ::SendMessage(hWndCtrl, BM_SETCHECK, (iButton == value), 0);
            }
            iButton++;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != nullptr && !(::GetWindowLong(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0);
    else
        ::SendMessage(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

namespace {
// Reads item nIndex of a list or combo box through the control's length and text messages.
void ReadItemText(HWND hWndCtrl, UINT nLenMsg, UINT nTextMsg, int nIndex, CString& value) {
    int nLen = (int)::SendMessage(hWndCtrl, nLenMsg, nIndex, 0);
    char* p = value.GetBuffer(nLen + 1);
    ::SendMessage(hWndCtrl, nTextMsg, nIndex, (LPARAM)p);
    value.ReleaseBuffer();
}

void CBString(CDataExchange* pDX, int nIDC, CString& value, bool bExact) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nIndex = (int)::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0);
        if (nIndex != CB_ERR) {
            ReadItemText(hWndCtrl, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, value);
        } else {
            value = WindowText(hWndCtrl);  // the typed text of a drop-down combo box
        }
    } else {
        int nIndex = (int)::SendMessage(hWndCtrl, bExact ? CB_FINDSTRINGEXACT : CB_SELECTSTRING, (WPARAM)-1,
                                        (LPARAM)(LPCSTR)value);
        if (bExact && nIndex != CB_ERR) ::SendMessage(hWndCtrl, CB_SETCURSEL, nIndex, 0);
        if (nIndex == CB_ERR) {
            // Not in the list: show the text in the edit part (when there is one).
            ::SendMessage(hWndCtrl, CB_SETCURSEL, (WPARAM)-1, 0);
            ::SetWindowTextA(hWndCtrl, value);
        }
    }
}

void LBString(CDataExchange* pDX, int nIDC, CString& value, bool bExact) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nIndex = (int)::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0);
        if (nIndex != LB_ERR) {
            ReadItemText(hWndCtrl, LB_GETTEXTLEN, LB_GETTEXT, nIndex, value);
        } else {
            value.Empty();
        }
    } else if (bExact) {
        int nIndex = (int)::SendMessage(hWndCtrl, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCSTR)value);
        ::SendMessage(hWndCtrl, LB_SETCURSEL, nIndex == LB_ERR ? (WPARAM)-1 : (WPARAM)nIndex, 0);
    } else {
        ::SendMessage(hWndCtrl, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCSTR)value);
    }
}
}  // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    CBString(pDX, nIDC, value, false);
}
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
    CBString(pDX, nIDC, value, true);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0);
    else
        ::SendMessage(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
    LBString(pDX, nIDC, value, false);
}
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
    LBString(pDX, nIDC, value, true);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessage(hWndCtrl, TBM_GETPOS, 0, 0);
    else
        ::SendMessage(hWndCtrl, TBM_SETPOS, TRUE, value);
}

void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::GetScrollPos(hWndCtrl, SB_CTL);
    else
        ::SetScrollPos(hWndCtrl, SB_CTL, value, TRUE);
}

namespace {
void FailMinMax(CDataExchange* pDX, const CString& lo, const CString& hi) {
    CString s;
    s.Format("Please enter a value between %s and %s.", (LPCSTR)lo, (LPCSTR)hi);
    AfxMessageBox(s, MB_ICONEXCLAMATION);
    pDX->Fail();
}

// On saving, a value outside minVal to maxVal fails the exchange with both limits in `format`.
template <class T>
void CheckMinMax(CDataExchange* pDX, T value, T minVal, T maxVal, const char* format) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString lo, hi;
    lo.Format(format, minVal);
    hi.Format(format, maxVal);
    FailMinMax(pDX, lo, hi);
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    CheckMinMax(pDX, value, minVal, maxVal, "%d");
}
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    CheckMinMax(pDX, value, minVal, maxVal, "%u");
}
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
    CheckMinMax(pDX, value, minVal, maxVal, "%ld");
}
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal) {
    CheckMinMax(pDX, value, minVal, maxVal, "%g");
}
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_idLastControl != nullptr && !pDX->m_bSaveAndValidate) {
        ::SendMessage(pDX->m_idLastControl, EM_LIMITTEXT, nChars, 0);
        return;
    }
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        CString s;
        s.Format("Enter no more than %d characters.", nChars);
        AfxMessageBox(s, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
