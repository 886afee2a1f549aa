#include <cstdlib>
#include <cstring>

#include "framework/core/File.h"

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes ? nGrowBytes : 1024),
      m_nPosition(0),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_lpBuffer(nullptr),
      m_bAutoDelete(true) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0),
      m_nPosition(0),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_lpBuffer(nullptr),
      m_bAutoDelete(false) {
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() {
    if (m_bAutoDelete) std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
    if (m_bAutoDelete) std::free(m_lpBuffer);
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    m_nFileSize = m_nBufferSize;
    m_nPosition = 0;
    m_nGrowBytes = nGrowBytes;
    // A growable block is taken over (it is realloc'ed and freed here).
    m_bAutoDelete = nGrowBytes != 0;
}

BYTE* CMemFile::Detach() {
    BYTE* p = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = true;
    if (m_nGrowBytes == 0) m_nGrowBytes = 1024;
    return p;
}

BOOL CMemFile::Open(LPCSTR, UINT, CFileException* pError) {
    if (pError) pError->m_cause = CFileException::genericException;
    return FALSE;
}

void CMemFile::GrowFile(SIZE_T dwNewLen) {
    if (dwNewLen <= m_nBufferSize) return;
    if (m_nGrowBytes == 0) AfxThrowFileException(CFileException::diskFull);
    SIZE_T newSize = m_nBufferSize;
    while (newSize < dwNewLen) {
        SIZE_T step = newSize / 2 > m_nGrowBytes ? newSize / 2 : m_nGrowBytes;
        if (newSize + step < newSize) AfxThrowMemoryException();
        newSize += step;
    }
    BYTE* p = static_cast<BYTE*>(m_bAutoDelete ? std::realloc(m_lpBuffer, newSize) : std::malloc(newSize));
    if (!p) AfxThrowMemoryException();
    if (!m_bAutoDelete && m_lpBuffer) std::memcpy(p, m_lpBuffer, m_nFileSize);
    m_lpBuffer = p;
    m_nBufferSize = newSize;
    m_bAutoDelete = true;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
    if (m_nPosition >= m_nFileSize || nCount == 0) return 0;
    SIZE_T n = m_nFileSize - m_nPosition;
    if (n > nCount) n = nCount;
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return (UINT)n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return;
    SIZE_T end = m_nPosition + nCount;
    if (end < m_nPosition) AfxThrowFileException(CFileException::diskFull);
    if (end > m_nBufferSize) GrowFile(end);
    // A position set past the end leaves a gap of zeros.
    if (m_nPosition > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memmove(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    if (m_nPosition > m_nFileSize) m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
    LONGLONG base = nFrom == begin ? 0 : nFrom == current ? (LONGLONG)m_nPosition : (LONGLONG)m_nFileSize;
    LONGLONG pos = base + lOff;
    if (pos < 0 || pos > (LONGLONG)0x7FFFFFFF) AfxThrowFileException(CFileException::badSeek);
    m_nPosition = (SIZE_T)pos;
    return (ULONGLONG)pos;
}

ULONGLONG CMemFile::GetLength() const {
    return m_nFileSize;
}

void CMemFile::SetLength(ULONGLONG dwNewLen) {
    if (dwNewLen > 0x7FFFFFFF) AfxThrowMemoryException();
    SIZE_T len = (SIZE_T)dwNewLen;
    if (len > m_nBufferSize) GrowFile(len);
    if (len > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, len - m_nFileSize);
    m_nFileSize = len;
    if (m_nPosition > len) m_nPosition = len;
}

ULONGLONG CMemFile::GetPosition() const {
    return m_nPosition;
}

void CMemFile::Flush() {}

void CMemFile::Close() {
    if (m_bAutoDelete) std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
}

void CMemFile::Abort() {
    Close();
}
