#include "framework/core/File.h"

#include <vector>

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

[[noreturn]] void ThrowOsError(DWORD dwError, const CString& fileName) {
    AfxThrowFileException(CFileException::OsErrorToException((LONG)dwError), (LONG)dwError, fileName);
}

}  // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(false) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(false) {}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(false) {
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e)) AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
    if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    if (m_hFile != hFileNull) Abort();
    m_strFileName.Empty();
    if (!lpszFileName || !*lpszFileName) {
        if (pError) {
            pError->m_cause = CFileException::badPath;
            pError->m_lOsError = ERROR_INVALID_NAME;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }

    const std::wstring wideName = AfxWideOf(lpszFileName);
    wchar_t fullPath[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(wideName.c_str(), MAX_PATH * 2, fullPath, nullptr);
    m_strFileName = (n > 0 && n < MAX_PATH * 2) ? AfxNarrowOf(fullPath) : CString(lpszFileName);

    DWORD access = 0;
    switch (nOpenFlags & 3) {
        case modeRead:
            access = GENERIC_READ;
            break;
        case modeWrite:
            access = GENERIC_WRITE;
            break;
        default:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
        case shareDenyWrite:
            share = FILE_SHARE_READ;
            break;
        case shareDenyRead:
            share = FILE_SHARE_WRITE;
            break;
        case shareDenyNone:
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        default:
            share = 0;
            break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate) disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h = CreateFileW(wideName.c_str(), access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (pError) {
            pError->m_cause = CFileException::OsErrorToException((LONG)err);
            pError->m_lOsError = (LONG)err;
            pError->m_strFileName = lpszFileName;
        }
        m_strFileName.Empty();
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = true;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0) return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr)) ThrowOsError(GetLastError(), m_strFileName);
    return (UINT)read;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr)) ThrowOsError(GetLastError(), m_strFileName);
    if (written != nCount) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    LARGE_INTEGER dist;
    dist.QuadPart = lOff;
    LARGE_INTEGER pos;
    DWORD method = nFrom == begin ? FILE_BEGIN : nFrom == current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(m_hFile, dist, &pos, method)) ThrowOsError(GetLastError(), m_strFileName);
    return (ULONGLONG)pos.QuadPart;
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size)) ThrowOsError(GetLastError(), m_strFileName);
    return (ULONGLONG)size.QuadPart;
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    Seek((LONGLONG)dwNewLen, begin);
    if (!SetEndOfFile(m_hFile)) ThrowOsError(GetLastError(), m_strFileName);
}

ULONGLONG CFile::GetPosition() const {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER pos;
    if (!SetFilePointerEx(m_hFile, zero, &pos, FILE_CURRENT)) ThrowOsError(GetLastError(), m_strFileName);
    return (ULONGLONG)pos.QuadPart;
}

void CFile::Flush() {
    if (m_hFile == hFileNull) return;
    if (!FlushFileBuffers(m_hFile)) ThrowOsError(GetLastError(), m_strFileName);
}

void CFile::Close() {
    bool failed = false;
    DWORD err = 0;
    if (m_hFile != hFileNull && m_bCloseOnDelete) {
        if (!CloseHandle(m_hFile)) {
            failed = true;
            err = GetLastError();
        }
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = false;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (failed) ThrowOsError(err, name);
}

void CFile::Abort() {
    if (m_hFile != hFileNull && m_bCloseOnDelete) CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = false;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const {
    CString path = GetFilePath();
    int slash = path.ReverseFind('\\');
    int other = path.ReverseFind('/');
    if (other > slash) slash = other;
    int colon = path.ReverseFind(':');
    if (colon > slash) slash = colon;
    return path.Mid(slash + 1);
}

void CFile::Remove(LPCSTR lpszFileName) {
    if (!DeleteFileW(AfxWideOf(lpszFileName).c_str())) ThrowOsError(GetLastError(), lpszFileName);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName) {
    if (!MoveFileW(AfxWideOf(lpszOldName).c_str(), AfxWideOf(lpszNewName).c_str()))
        ThrowOsError(GetLastError(), lpszOldName);
}

namespace {

// The text in the ANSI code page (with `flags` for characters that have no place in it); false
// when a character had no place in it.
bool ToAnsi(LPCWSTR text, DWORD flags, CString& result) {
    BOOL lost = FALSE;
    BOOL* lostFlag = (flags & WC_NO_BEST_FIT_CHARS) ? &lost : nullptr;
    int n = ::WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, lostFlag);
    if (n <= 0) return false;
    std::vector<char> bytes(static_cast<size_t>(n));
    lost = FALSE;
    ::WideCharToMultiByte(CP_ACP, flags, text, -1, bytes.data(), n, nullptr, lostFlag);
    result = bytes.data();
    return !lost;
}

// Whether the bytes read as UTF-8 of text beyond ASCII: at least one byte beyond it, and every
// sequence well formed.
bool ReadsAsUtf8(LPCSTR text, int length) {
    bool beyondAscii = false;
    for (int i = 0; i < length && !beyondAscii; ++i)
        beyondAscii = (static_cast<unsigned char>(text[i]) & 0x80) != 0;
    return beyondAscii && ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0) > 0;
}

// The path with every name in its long form; the path itself when the file system does not know it.
std::wstring LongFormOf(const std::wstring& path) {
    if (path.empty()) return path;
    const DWORD n = ::GetLongPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::vector<wchar_t> longPath(n + 1);
    const DWORD got = ::GetLongPathNameW(path.c_str(), longPath.data(), n + 1);
    if (got == 0 || got > n) return path;
    return std::wstring(longPath.data(), got);
}

}  // namespace

CString AfxNarrowOf(LPCWSTR text) {
    CString result;
    if (text == nullptr || *text == 0) return result;
    if (ToAnsi(text, WC_NO_BEST_FIT_CHARS, result) && !ReadsAsUtf8(result, result.GetLength())) return result;
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return CString();
    std::vector<char> bytes(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), n, nullptr, nullptr);
    return CString(bytes.data());
}

CString AfxSystemAnsiOf(LPCWSTR text) {
    CString result;
    if (text != nullptr) ToAnsi(text, 0, result);
    return result;
}

std::wstring AfxWideOf(LPCSTR text) {
    std::wstring wide;
    const int length = text != nullptr ? lstrlenA(text) : 0;
    if (length == 0) return wide;
    const UINT codePage = ReadsAsUtf8(text, length) ? CP_UTF8 : CP_ACP;
    const int n = ::MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (n <= 0) return wide;
    wide.resize(static_cast<size_t>(n));
    ::MultiByteToWideChar(codePage, 0, text, length, &wide[0], n);
    return wide;
}

std::wstring AfxLongPathOf(LPCSTR path) {
    return LongFormOf(AfxWideOf(path));
}

CString AfxFullPathOf(LPCSTR path) {
    const std::wstring wide = AfxWideOf(path);
    if (wide.empty()) return CString(path);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return CString(path);
    std::vector<wchar_t> full(n + 1);
    const DWORD got = ::GetFullPathNameW(wide.c_str(), n + 1, full.data(), nullptr);
    if (got == 0 || got > n) return CString(path);
    return AfxNarrowOf(LongFormOf(std::wstring(full.data(), got)).c_str());
}
