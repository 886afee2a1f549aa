#include "framework/win/CommonDialogs.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/File.h"
#include "framework/win/ScopedGdi.h"
#include "framework/win/WinApp.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CWnd)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

HWND CCommonDialog::PreModal() {
    HWND hWnd = m_pParentWnd->GetSafeHwnd();
    if (hWnd == nullptr) hWnd = AfxGetMainWnd()->GetSafeHwnd();
    while (hWnd != nullptr && (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
    return hWnd;
}

// ---- file dialog ----

CString CFileDialog::MakeSystemFilter(LPCTSTR lpszFilter) {
    CString filter(lpszFilter);
    if (filter.IsEmpty()) return filter;
    // "A|*.a|B|*.b||" -> "A\0*.a\0B\0*.b\0\0"
    std::string s = filter.str();
    for (char& c : s)
        if (c == '|') c = '\0';
    if (s.size() < 2 || s[s.size() - 1] != '\0' || s[s.size() - 2] != '\0') {
        s.push_back('\0');
        if (s.size() < 2 || s[s.size() - 2] != '\0') s.push_back('\0');
    }
    return CString(s.data(), (int)s.size());
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
    memset(&m_ofn, 0, sizeof(m_ofn));
    m_szFileName[0] = 0;
    m_szFileTitle[0] = 0;
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName);
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszDefExt != nullptr) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != nullptr) lstrcpynA(m_szFileName, lpszFileName, sizeof(m_szFileName));
    if (lpszFilter != nullptr) {
        m_strFilter = MakeSystemFilter(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

namespace {

std::wstring Widen(LPCSTR text, int length = -1) {
    if (text == nullptr) return std::wstring();
    if (length < 0) length = lstrlenA(text);
    if (length == 0) return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], n);
    return wide;
}

// The system's filter form ("A\0*.a\0\0") widened whole, its zeros kept.
std::wstring WidenFilter(LPCSTR filter) {
    if (filter == nullptr) return std::wstring();
    LPCSTR end = filter;
    while (*end != '\0' || *(end + 1) != '\0') ++end;
    return Widen(filter, static_cast<int>(end - filter) + 2);
}

// A file may bear a name outside the ANSI code page, which the narrow dialog would hand back with
// stand-in characters: a dialog for one file runs in UTF-16, and the choice comes back into the
// narrow structure's buffers as the program holds text (AfxNarrowOf).
bool RunWide(OPENFILENAMEA& narrow, bool open) {
    std::wstring filter = WidenFilter(narrow.lpstrFilter);
    const std::wstring initialDir = AfxWideOf(narrow.lpstrInitialDir), title = AfxWideOf(narrow.lpstrTitle),
                       defExt = AfxWideOf(narrow.lpstrDefExt);
    std::vector<wchar_t> file(narrow.nMaxFile, L'\0');
    const std::wstring start = AfxWideOf(narrow.lpstrFile);
    std::copy(start.begin(), start.begin() + std::min(start.size(), file.size() - 1), file.begin());
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = narrow.hwndOwner;
    ofn.hInstance = narrow.hInstance;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = narrow.nFilterIndex;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = narrow.lpstrInitialDir != nullptr ? initialDir.c_str() : nullptr;
    ofn.lpstrTitle = narrow.lpstrTitle != nullptr ? title.c_str() : nullptr;
    ofn.lpstrDefExt = narrow.lpstrDefExt != nullptr ? defExt.c_str() : nullptr;
    ofn.Flags = narrow.Flags;
    if (!(open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn))) return false;
    narrow.Flags = ofn.Flags;
    narrow.nFilterIndex = ofn.nFilterIndex;
    const CString chosen = AfxNarrowOf(file.data());
    lstrcpynA(narrow.lpstrFile, chosen, static_cast<int>(narrow.nMaxFile));
    const int slash = chosen.ReverseFind('\\');
    narrow.nFileOffset = static_cast<WORD>(slash + 1);
    const int dot = chosen.ReverseFind('.');
    narrow.nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : chosen.GetLength());
    if (narrow.lpstrFileTitle != nullptr)
        lstrcpynA(narrow.lpstrFileTitle, chosen.Mid(slash + 1), static_cast<int>(narrow.nMaxFileTitle));
    return true;
}

}  // namespace

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = PreModal();
    const DWORD narrowOnly =
        OFN_ALLOWMULTISELECT | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE;
    BOOL bResult;
    if ((m_ofn.Flags & narrowOnly) == 0)
        bResult = RunWide(m_ofn, m_bOpenFileDialog != FALSE);
    else
        bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.nFileOffset > 0 &&
        m_szFileName[m_ofn.nFileOffset - 1] == '\0') {
        POSITION pos = GetStartPosition();
        return GetNextPathName(pos);
    }
    return CString(m_szFileName);
}

CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    int n = path.ReverseFind('\\');
    int m = path.ReverseFind('/');
    if (m > n) n = m;
    return path.Mid(n + 1);
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int n = name.ReverseFind('.');
    return n < 0 ? CString() : name.Mid(n + 1);
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int n = name.ReverseFind('.');
    return n < 0 ? name : name.Left(n);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
    const char* p = (const char*)pos;
    if (p == nullptr) return CString();
    BOOL bMulti = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.nFileOffset > 0 &&
                  m_szFileName[m_ofn.nFileOffset - 1] == '\0';
    if (!bMulti) {
        pos = nullptr;
        return CString(m_szFileName);
    }
    if (p == m_szFileName) p += m_ofn.nFileOffset;  // first name after the folder
    CString path(m_szFileName);
    if (path.Right(1) != "\\") path += "\\";
    path += p;
    p += lstrlenA(p) + 1;
    pos = (*p != '\0') ? (POSITION)p : nullptr;
    return path;
}

// ---- colour dialog ----

COLORREF* CColorDialog::GetSavedCustomColors() {
    static COLORREF colours[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return colours;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
    memset(&m_cc, 0, sizeof(m_cc));
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags;
    if ((m_cc.rgbResult = clrInit) != 0) m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
    m_cc.hwndOwner = PreModal();
    return ::ChooseColorA(&m_cc) ? IDOK : IDCANCEL;
}

// ---- print dialog ----

HGLOBAL AfxCopyGlobalBlock(HGLOBAL hSource) {
    if (hSource == nullptr) return nullptr;
    SIZE_T nSize = ::GlobalSize(hSource);
    HGLOBAL hDest = ::GlobalAlloc(GMEM_MOVEABLE, nSize);
    if (hDest == nullptr) return nullptr;
    void* pSrc = ::GlobalLock(hSource);
    void* pDst = ::GlobalLock(hDest);
    if (pSrc && pDst) memcpy(pDst, pSrc, nSize);
    ::GlobalUnlock(hDest);
    ::GlobalUnlock(hSource);
    return hDest;
}

HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode) {
    if (hDevNames == nullptr) return nullptr;
    LPDEVNAMES lpDevNames = (LPDEVNAMES)::GlobalLock(hDevNames);
    if (lpDevNames == nullptr) return nullptr;
    LPDEVMODE lpDevMode = hDevMode ? (LPDEVMODE)::GlobalLock(hDevMode) : nullptr;
    HDC hDC = ::CreateDCA((LPCSTR)lpDevNames + lpDevNames->wDriverOffset,
                          (LPCSTR)lpDevNames + lpDevNames->wDeviceOffset,
                          (LPCSTR)lpDevNames + lpDevNames->wOutputOffset, lpDevMode);
    ::GlobalUnlock(hDevNames);
    if (hDevMode) ::GlobalUnlock(hDevMode);
    return hDC;
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd) {
    memset(&m_pd, 0, sizeof(m_pd));
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nCopies = 1;
    m_pd.hInstance = AfxGetResourceHandle();
}

CPrintDialog::~CPrintDialog() {
    FreeHandles();
}

void CPrintDialog::UnlockDevMode() const {
    if (m_hLockedDevMode != nullptr) {
        ::GlobalUnlock(m_hLockedDevMode);
        m_hLockedDevMode = nullptr;
    }
}

// m_pd.hDC is where PrintDlg, CreatePrinterDC and callers leave the printer DC; the object owns
// whatever it holds there, and this is the one place that deletes it.
void CPrintDialog::DeletePrinterDC() {
    ScopedDC owned(m_pd.hDC);
    m_pd.hDC = nullptr;
}

void CPrintDialog::FreeHandles() {
    UnlockDevMode();
    DeletePrinterDC();
    if (m_pd.hDevMode != nullptr) {
        ::GlobalFree(m_pd.hDevMode);
        m_pd.hDevMode = nullptr;
    }
    if (m_pd.hDevNames != nullptr) {
        ::GlobalFree(m_pd.hDevNames);
        m_pd.hDevNames = nullptr;
    }
}

INT_PTR CPrintDialog::DoModal() {
    UnlockDevMode();
    DeletePrinterDC();
    m_pd.hwndOwner = PreModal();
    return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults() {
    FreeHandles();
    DWORD dwFlags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.Flags &= ~PD_RETURNDC;
    m_pd.hwndOwner = nullptr;
    BOOL bResult = ::PrintDlgA(&m_pd);
    m_pd.Flags = dwFlags;
    return bResult;
}

HDC CPrintDialog::CreatePrinterDC() {
    UnlockDevMode();
    DeletePrinterDC();
    m_pd.hDC = AfxCreateDC(m_pd.hDevNames, m_pd.hDevMode);
    return m_pd.hDC;
}

LPDEVMODE CPrintDialog::GetDevMode() const {
    if (m_pd.hDevMode == nullptr) return nullptr;
    if (m_hLockedDevMode != m_pd.hDevMode) {
        UnlockDevMode();
        m_hLockedDevMode = m_pd.hDevMode;
        return (LPDEVMODE)::GlobalLock(m_hLockedDevMode);
    }
    // Already locked once: GlobalLock again only bumps the count, so answer the address directly.
    LPDEVMODE p = (LPDEVMODE)::GlobalLock(m_pd.hDevMode);
    ::GlobalUnlock(m_pd.hDevMode);
    return p;
}

namespace {
CString DevNamesPart(HGLOBAL hDevNames, int which) {
    if (hDevNames == nullptr) return CString();
    LPDEVNAMES p = (LPDEVNAMES)::GlobalLock(hDevNames);
    if (p == nullptr) return CString();
    WORD offset = which == 0 ? p->wDriverOffset : which == 1 ? p->wDeviceOffset : p->wOutputOffset;
    CString s((LPCSTR)p + offset);
    ::GlobalUnlock(hDevNames);
    return s;
}
}  // namespace

CString CPrintDialog::GetDriverName() const {
    return DevNamesPart(m_pd.hDevNames, 0);
}
CString CPrintDialog::GetDeviceName() const {
    return DevNamesPart(m_pd.hDevNames, 1);
}
CString CPrintDialog::GetPortName() const {
    return DevNamesPart(m_pd.hDevNames, 2);
}

int CPrintDialog::GetCopies() const {
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        LPDEVMODE p = GetDevMode();
        if (p != nullptr) return p->dmCopies;
    }
    return m_pd.nCopies;
}
