// CString: a growable string of single-byte characters.
//
// Pass it to printf-style functions as (LPCSTR)s or s.GetString(); unlike the
// classic framework the object itself cannot travel through "...".
#pragma once

#include <string>
#include <cstdarg>

#include "framework/core/Types.h"

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCSTR psz);               // null gives an empty string
    CString(LPCSTR pch, int nLength);  // the first nLength characters (embedded zeros kept)
    CString(char ch, int nRepeat = 1);
    explicit CString(const std::string& s) : m_s(s) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    // Size and access.
    int GetLength() const { return (int)m_s.size(); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int nIndex) const;     // nIndex must be in range (0 returned otherwise)
    void SetAt(int nIndex, char ch);  // ignored out of range
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCSTR() const { return m_s.c_str(); }
    LPCSTR GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    // Concatenation.
    CString& operator+=(const CString& s) {
        m_s += s.m_s;
        return *this;
    }
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch) {
        m_s += ch;
        return *this;
    }
    void Append(LPCSTR psz) { *this += psz; }
    void Append(LPCSTR pch, int nLength);
    void AppendChar(char ch) { m_s += ch; }
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // Comparison: byte-wise (strcmp); the NoCase form as _stricmp (ASCII letters folded).
    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;

    // Extraction; counts and positions out of range are clamped.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCSTR pszCharSet) const;
    CString SpanExcluding(LPCSTR pszCharSet) const;

    // Searching: zero-based position or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR pszCharSet) const;

    // Changing; the int results are counts (replaced, removed) or the new length.
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);  // an empty or null pszOld replaces nothing
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);
    CString& MakeUpper();  // ASCII letters only, as in the "C" locale
    CString& MakeLower();
    CString& MakeReverse();
    CString& TrimLeft();  // white space: space, \t, \n, \v, \f, \r
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(LPCSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(LPCSTR pszTargets);
    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(LPCSTR pszTargets);

    // printf-style formatting (the C runtime's rules).
    void Format(LPCSTR pszFormat, ...);
    void FormatV(LPCSTR pszFormat, va_list args);
    void AppendFormat(LPCSTR pszFormat, ...);

    // Direct buffer access: GetBuffer(n) gives room for at least n characters
    // plus a terminator; ReleaseBuffer(-1) takes the length up to the first zero,
    // ReleaseBuffer(n) sets it to n. No other member may be used in between.
    LPSTR GetBuffer(int nMinBufLength);
    LPSTR GetBuffer() { return GetBuffer(0); }
    LPSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

    // Loads a string resource of the running program; false when there is none.
    BOOL LoadString(UINT nID);

private:
    std::string m_s;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCSTR b);
bool operator<=(LPCSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCSTR b);
bool operator>=(LPCSTR a, const CString& b);
