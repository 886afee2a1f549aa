#include "framework/core/Strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool InSet(char c, LPCSTR set) {
    return set && c != '\0' && std::strchr(set, c) != nullptr;
}

}  // namespace

CString::CString(LPCSTR psz) {
    if (psz) m_s = psz;
}

CString::CString(LPCSTR pch, int nLength) {
    if (pch && nLength > 0) m_s.assign(pch, (size_t)nLength);
}

CString::CString(char ch, int nRepeat) {
    if (nRepeat > 0) m_s.assign((size_t)nRepeat, ch);
}

CString& CString::operator=(LPCSTR psz) {
    if (psz)
        m_s = std::string(psz);  // psz may point into this string
    else
        m_s.clear();
    return *this;
}

CString& CString::operator=(char ch) {
    m_s.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const {
    return (nIndex >= 0 && nIndex < GetLength()) ? m_s[(size_t)nIndex] : '\0';
}

void CString::SetAt(int nIndex, char ch) {
    if (nIndex >= 0 && nIndex < GetLength()) m_s[(size_t)nIndex] = ch;
}

CString& CString::operator+=(LPCSTR psz) {
    if (psz) m_s += std::string(psz);
    return *this;
}

void CString::Append(LPCSTR pch, int nLength) {
    if (pch && nLength > 0) m_s += std::string(pch, (size_t)nLength);
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(char a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(LPCSTR psz) const {
    return std::strcmp(m_s.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const {
    const unsigned char* a = (const unsigned char*)m_s.c_str();
    const unsigned char* b = (const unsigned char*)(psz ? psz : "");
    for (;; ++a, ++b) {
        int ca = (unsigned char)AsciiLower((char)*a);
        int cb = (unsigned char)AsciiLower((char)*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst));
}

CString CString::Mid(int nFirst, int nCount) const {
    int len = GetLength();
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst > len) nFirst = len;
    if (nCount > len - nFirst) nCount = len - nFirst;
    return CString(std::string(m_s, (size_t)nFirst, (size_t)nCount));
}

CString CString::Left(int nCount) const {
    if (nCount < 0) nCount = 0;
    if (nCount > GetLength()) nCount = GetLength();
    return CString(m_s.substr(0, (size_t)nCount));
}

CString CString::Right(int nCount) const {
    if (nCount < 0) nCount = 0;
    if (nCount > GetLength()) nCount = GetLength();
    return CString(m_s.substr((size_t)(GetLength() - nCount)));
}

CString CString::SpanIncluding(LPCSTR pszCharSet) const {
    int n = 0;
    while (n < GetLength() && InSet(m_s[(size_t)n], pszCharSet)) ++n;
    return Left(n);
}

CString CString::SpanExcluding(LPCSTR pszCharSet) const {
    int n = 0;
    while (n < GetLength() && !InSet(m_s[(size_t)n], pszCharSet)) ++n;
    return Left(n);
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0) nStart = 0;
    if (nStart >= GetLength()) return -1;
    size_t p = m_s.find(ch, (size_t)nStart);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::Find(LPCSTR pszSub, int nStart) const {
    if (!pszSub) return -1;
    if (nStart < 0) nStart = 0;
    if (nStart > GetLength()) return -1;
    size_t p = m_s.find(pszSub, (size_t)nStart);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::ReverseFind(char ch) const {
    size_t p = m_s.rfind(ch);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::FindOneOf(LPCSTR pszCharSet) const {
    for (int i = 0; i < GetLength(); ++i)
        if (InSet(m_s[(size_t)i], pszCharSet)) return i;
    return -1;
}

int CString::Replace(char chOld, char chNew) {
    int n = 0;
    if (chOld == chNew) return (int)std::count(m_s.begin(), m_s.end(), chOld);
    for (char& c : m_s)
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    return n;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew) {
    if (!pszOld || !*pszOld) return 0;
    std::string from(pszOld), to(pszNew ? pszNew : "");
    std::string out;
    int n = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = m_s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(m_s, pos, hit - pos);
        out += to;
        pos = hit + from.size();
        ++n;
    }
    if (n) {
        out.append(m_s, pos, std::string::npos);
        m_s.swap(out);
    }
    return n;
}

int CString::Remove(char ch) {
    size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return (int)(before - m_s.size());
}

int CString::Insert(int nIndex, char ch) {
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    m_s.insert((size_t)nIndex, 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCSTR psz) {
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    if (psz) m_s.insert((size_t)nIndex, std::string(psz));
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex < 0) nIndex = 0;
    if (nCount > 0 && nIndex < GetLength()) m_s.erase((size_t)nIndex, (size_t)nCount);
    return GetLength();
}

CString& CString::MakeUpper() {
    for (char& c : m_s) c = AsciiUpper(c);
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_s) c = AsciiLower(c);
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

CString& CString::TrimLeft() {
    size_t n = 0;
    while (n < m_s.size() && IsSpace(m_s[n])) ++n;
    m_s.erase(0, n);
    return *this;
}

CString& CString::TrimLeft(char chTarget) {
    size_t n = 0;
    while (n < m_s.size() && m_s[n] == chTarget) ++n;
    m_s.erase(0, n);
    return *this;
}

CString& CString::TrimLeft(LPCSTR pszTargets) {
    size_t n = 0;
    while (n < m_s.size() && InSet(m_s[n], pszTargets)) ++n;
    m_s.erase(0, n);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = m_s.size();
    while (n > 0 && IsSpace(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(char chTarget) {
    size_t n = m_s.size();
    while (n > 0 && m_s[n - 1] == chTarget) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(LPCSTR pszTargets) {
    size_t n = m_s.size();
    while (n > 0 && InSet(m_s[n - 1], pszTargets)) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(char chTarget) {
    return TrimRight(chTarget).TrimLeft(chTarget);
}
CString& CString::Trim(LPCSTR pszTargets) {
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

void CString::FormatV(LPCSTR pszFormat, va_list args) {
    if (!pszFormat) {
        m_s.clear();
        return;
    }
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_s.clear();
        return;
    }
    std::string out((size_t)n + 1, '\0');
    std::vsnprintf(&out[0], out.size(), pszFormat, args);
    out.resize((size_t)n);
    m_s.swap(out);
}

void CString::Format(LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(LPCSTR pszFormat, ...) {
    CString more;
    va_list args;
    va_start(args, pszFormat);
    more.FormatV(pszFormat, args);
    va_end(args);
    m_s += more.m_s;
}

LPSTR CString::GetBuffer(int nMinBufLength) {
    // The padding is zeros, so ReleaseBuffer(-1) finds the old length when
    // nothing was written.
    if (nMinBufLength > GetLength()) m_s.resize((size_t)nMinBufLength, '\0');
    return &m_s[0];
}

LPSTR CString::GetBufferSetLength(int nNewLength) {
    m_s.resize(nNewLength < 0 ? 0 : (size_t)nNewLength, '\0');
    return &m_s[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        nNewLength = (int)strnlen(m_s.c_str(), m_s.size());
    }
    if ((size_t)nNewLength > m_s.size()) nNewLength = (int)m_s.size();
    m_s.resize((size_t)nNewLength);
}

BOOL CString::LoadString(UINT nID) {
    char buffer[4096];
    int n = ::LoadStringA(GetModuleHandleA(nullptr), nID, buffer, (int)sizeof buffer);
    if (n <= 0) {
        m_s.clear();
        return FALSE;
    }
    m_s.assign(buffer, (size_t)n);
    return TRUE;
}

bool operator==(const CString& a, const CString& b) {
    return a.str() == b.str();
}
bool operator==(const CString& a, LPCSTR b) {
    return a.Compare(b) == 0;
}
bool operator==(LPCSTR a, const CString& b) {
    return b.Compare(a) == 0;
}
bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
bool operator!=(const CString& a, LPCSTR b) {
    return !(a == b);
}
bool operator!=(LPCSTR a, const CString& b) {
    return !(a == b);
}
bool operator<(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}
bool operator<(const CString& a, LPCSTR b) {
    return a.Compare(b) < 0;
}
bool operator<(LPCSTR a, const CString& b) {
    return b.Compare(a) > 0;
}
bool operator>(const CString& a, const CString& b) {
    return a.Compare(b) > 0;
}
bool operator>(const CString& a, LPCSTR b) {
    return a.Compare(b) > 0;
}
bool operator>(LPCSTR a, const CString& b) {
    return b.Compare(a) < 0;
}
bool operator<=(const CString& a, const CString& b) {
    return a.Compare(b) <= 0;
}
bool operator<=(const CString& a, LPCSTR b) {
    return a.Compare(b) <= 0;
}
bool operator<=(LPCSTR a, const CString& b) {
    return b.Compare(a) >= 0;
}
bool operator>=(const CString& a, const CString& b) {
    return a.Compare(b) >= 0;
}
bool operator>=(const CString& a, LPCSTR b) {
    return a.Compare(b) >= 0;
}
bool operator>=(LPCSTR a, const CString& b) {
    return b.Compare(a) <= 0;
}
