#include "framework/core/Archive.h"

#include <cstring>
#include <new>

namespace {

const WORD kNullTag = 0;            // null object reference
const WORD kNewClassTag = 0xFFFF;   // a class record follows
const WORD kClassTag = 0x8000;      // or'ed with a class index
const WORD kBigObjectTag = 0x7FFF;  // a 32-bit tag follows
const DWORD kBigClassTag = 0x80000000;
const DWORD kMaxMapCount = 0x3FFFFFFE;

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf) : m_pFile(pFile), m_nMode(nMode) {
    (void)lpBuf;
    if (nBufSize < 128) nBufSize = 128;
    m_buf.resize((size_t)nBufSize);
    // Index 0 is the null reference; real entries start at 1.
    m_loadArray.push_back(LoadEntry{nullptr, nullptr, 0});
}

CArchive::~CArchive() {
    if (m_pFile && !(m_nMode & bNoFlushOnDelete) && IsStoring()) {
        try {
            Flush();
        } catch (CException* e) {
            e->Delete();
        } catch (...) {}
    }
    m_pFile = nullptr;
}

void CArchive::Close() {
    if (!m_pFile) return;
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() {
    m_pFile = nullptr;
    m_nBufCur = m_nBufMax = 0;
}

void CArchive::Flush() {
    if (!m_pFile) return;
    if (IsStoring()) {
        if (m_nBufCur) {
            UINT n = m_nBufCur;
            m_nBufCur = 0;
            m_pFile->Write(m_buf.data(), n);
        }
        m_pFile->Flush();
    } else {
        UINT unread = m_nBufMax - m_nBufCur;
        if (unread) m_pFile->Seek(-(LONGLONG)unread, CFile::current);
        m_nBufCur = m_nBufMax = 0;
    }
}

void CArchive::ThrowIfNotLoading() const {
    if (!IsLoading()) AfxThrowArchiveException(CArchiveException::writeOnly);
    if (!m_pFile) AfxThrowArchiveException(CArchiveException::genericException);
}

void CArchive::ThrowIfNotStoring() const {
    if (!IsStoring()) AfxThrowArchiveException(CArchiveException::readOnly);
    if (!m_pFile) AfxThrowArchiveException(CArchiveException::genericException);
}

// ---- raw bytes ----------------------------------------------------------------

void CArchive::WriteBytes(const void* p, UINT n) {
    ThrowIfNotStoring();
    const BYTE* src = static_cast<const BYTE*>(p);
    UINT cap = (UINT)m_buf.size();
    while (n) {
        if (m_nBufCur == cap) {
            m_nBufCur = 0;
            m_pFile->Write(m_buf.data(), cap);
        }
        UINT chunk = cap - m_nBufCur;
        if (chunk > n) chunk = n;
        std::memcpy(m_buf.data() + m_nBufCur, src, chunk);
        m_nBufCur += chunk;
        src += chunk;
        n -= chunk;
    }
}

void CArchive::FillBuffer(UINT nBytesNeeded) {
    // Move what is left to the front, then read until the buffer is full or the
    // file ends.
    UINT left = m_nBufMax - m_nBufCur;
    if (left && m_nBufCur) std::memmove(m_buf.data(), m_buf.data() + m_nBufCur, left);
    m_nBufCur = 0;
    m_nBufMax = left;
    UINT cap = (UINT)m_buf.size();
    while (m_nBufMax < cap) {
        UINT got = m_pFile->Read(m_buf.data() + m_nBufMax, cap - m_nBufMax);
        if (got == 0) break;
        m_nBufMax += got;
        if (m_nBufMax >= nBytesNeeded) break;
    }
}

void CArchive::ReadBytes(void* p, UINT n) {
    if (Read(p, n) != n) AfxThrowArchiveException(CArchiveException::endOfFile);
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    ThrowIfNotLoading();
    BYTE* dst = static_cast<BYTE*>(lpBuf);
    UINT total = 0;
    while (nMax) {
        if (m_nBufCur == m_nBufMax) {
            if (nMax >= m_buf.size()) {
                // Large reads go straight to the file.
                m_nBufCur = m_nBufMax = 0;
                UINT got = m_pFile->Read(dst, nMax);
                if (got == 0) break;
                dst += got;
                total += got;
                nMax -= got;
                continue;
            }
            FillBuffer(nMax);
            if (m_nBufMax == 0) break;
        }
        UINT chunk = m_nBufMax - m_nBufCur;
        if (chunk > nMax) chunk = nMax;
        std::memcpy(dst, m_buf.data() + m_nBufCur, chunk);
        m_nBufCur += chunk;
        dst += chunk;
        total += chunk;
        nMax -= chunk;
    }
    return total;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    WriteBytes(lpBuf, nMax);
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount) {
    ReadBytes(lpBuf, nCount);
}

CArchive& operator<<(CArchive& ar, SIZE size) {
    ar << (LONG)size.cx << (LONG)size.cy;
    return ar;
}
CArchive& operator<<(CArchive& ar, POINT point) {
    ar << (LONG)point.x << (LONG)point.y;
    return ar;
}
CArchive& operator<<(CArchive& ar, const RECT& rect) {
    ar << (LONG)rect.left << (LONG)rect.top << (LONG)rect.right << (LONG)rect.bottom;
    return ar;
}
CArchive& operator>>(CArchive& ar, SIZE& size) {
    LONG v[2];
    ar.EnsureRead(v, sizeof v);
    size.cx = v[0];
    size.cy = v[1];
    return ar;
}
CArchive& operator>>(CArchive& ar, POINT& point) {
    LONG v[2];
    ar.EnsureRead(v, sizeof v);
    point.x = v[0];
    point.y = v[1];
    return ar;
}
CArchive& operator>>(CArchive& ar, RECT& rect) {
    LONG v[4];
    ar.EnsureRead(v, sizeof v);
    rect.left = v[0];
    rect.top = v[1];
    rect.right = v[2];
    rect.bottom = v[3];
    return ar;
}

ULONGLONG CArchive::GetBytesLeft() const {
    if (!m_pFile || !IsLoading()) return 0;
    ULONGLONG inBuffer = m_nBufMax - m_nBufCur;
    ULONGLONG length = m_pFile->GetLength();
    ULONGLONG position = m_pFile->GetPosition();
    return inBuffer + (length > position ? length - position : 0);
}

void CArchive::CheckLength(ULONGLONG nBytes) const {
    // What the buffer holds already suffices for most lengths: asking the file for its length
    // and position costs two calls to the system for each string of a design.
    if (IsLoading() && nBytes <= static_cast<ULONGLONG>(m_nBufMax - m_nBufCur)) return;
    if (nBytes > GetBytesLeft()) AfxThrowArchiveException(CArchiveException::endOfFile);
}

// ---- numbers ------------------------------------------------------------------

CArchive& CArchive::operator<<(BYTE by) {
    WriteBytes(&by, 1);
    return *this;
}
CArchive& CArchive::operator<<(char ch) {
    WriteBytes(&ch, 1);
    return *this;
}
CArchive& CArchive::operator<<(bool b) {
    BYTE by = b ? 1 : 0;
    WriteBytes(&by, 1);
    return *this;
}
CArchive& CArchive::operator<<(WORD w) {
    WriteBytes(&w, 2);
    return *this;
}
CArchive& CArchive::operator<<(short w) {
    WriteBytes(&w, 2);
    return *this;
}
CArchive& CArchive::operator<<(int i) {
    WriteBytes(&i, 4);
    return *this;
}
CArchive& CArchive::operator<<(UINT u) {
    WriteBytes(&u, 4);
    return *this;
}
CArchive& CArchive::operator<<(LONG l) {
    WriteBytes(&l, 4);
    return *this;
}
CArchive& CArchive::operator<<(DWORD dw) {
    WriteBytes(&dw, 4);
    return *this;
}
CArchive& CArchive::operator<<(LONGLONG ll) {
    WriteBytes(&ll, 8);
    return *this;
}
CArchive& CArchive::operator<<(ULONGLONG ull) {
    WriteBytes(&ull, 8);
    return *this;
}
CArchive& CArchive::operator<<(float f) {
    WriteBytes(&f, 4);
    return *this;
}
CArchive& CArchive::operator<<(double d) {
    WriteBytes(&d, 8);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by) {
    ReadBytes(&by, 1);
    return *this;
}
CArchive& CArchive::operator>>(char& ch) {
    ReadBytes(&ch, 1);
    return *this;
}
CArchive& CArchive::operator>>(bool& b) {
    BYTE by;
    ReadBytes(&by, 1);
    b = by != 0;
    return *this;
}
CArchive& CArchive::operator>>(WORD& w) {
    ReadBytes(&w, 2);
    return *this;
}
CArchive& CArchive::operator>>(short& w) {
    ReadBytes(&w, 2);
    return *this;
}
CArchive& CArchive::operator>>(int& i) {
    ReadBytes(&i, 4);
    return *this;
}
CArchive& CArchive::operator>>(UINT& u) {
    ReadBytes(&u, 4);
    return *this;
}
CArchive& CArchive::operator>>(LONG& l) {
    ReadBytes(&l, 4);
    return *this;
}
CArchive& CArchive::operator>>(DWORD& dw) {
    ReadBytes(&dw, 4);
    return *this;
}
CArchive& CArchive::operator>>(LONGLONG& ll) {
    ReadBytes(&ll, 8);
    return *this;
}
CArchive& CArchive::operator>>(ULONGLONG& ull) {
    ReadBytes(&ull, 8);
    return *this;
}
CArchive& CArchive::operator>>(float& f) {
    ReadBytes(&f, 4);
    return *this;
}
CArchive& CArchive::operator>>(double& d) {
    ReadBytes(&d, 8);
    return *this;
}

// ---- strings ------------------------------------------------------------------

CArchive& CArchive::operator<<(LPCSTR psz) {
    return *this << CString(psz);
}

CArchive& CArchive::operator<<(const CString& s) {
    DWORD len = (DWORD)s.GetLength();
    if (len < 255) {
        *this << (BYTE)len;
    } else if (len < 0xFFFE) {
        *this << (BYTE)0xFF << (WORD)len;
    } else {
        *this << (BYTE)0xFF << (WORD)0xFFFF << len;
    }
    WriteBytes(s.GetString(), len);
    return *this;
}

CArchive& CArchive::operator>>(CString& s) {
    // The length prefix; 0xFF 0xFFFE announces 16-bit characters and is
    // followed by a prefix of its own.
    bool wide = false;
    DWORD len = 0;
    BYTE bLen = 0;
    *this >> bLen;
    if (bLen < 0xFF) {
        len = bLen;
    } else {
        WORD wLen = 0;
        *this >> wLen;
        if (wLen == 0xFFFE) {
            wide = true;
            *this >> bLen;
            if (bLen < 0xFF) {
                len = bLen;
            } else {
                *this >> wLen;
                if (wLen < 0xFFFF) {
                    len = wLen;
                } else {
                    *this >> len;
                }
            }
        } else if (wLen < 0xFFFF) {
            len = wLen;
        } else {
            *this >> len;
        }
    }

    ULONGLONG bytes = wide ? (ULONGLONG)len * 2 : (ULONGLONG)len;
    CheckLength(bytes);
    try {
        if (!wide) {
            CString text;
            LPSTR p = text.GetBufferSetLength((int)len);
            ReadBytes(p, len);
            s = text;
        } else {
            std::wstring w(len, L'\0');
            ReadBytes(len ? &w[0] : nullptr, (UINT)bytes);
            CString text;
            if (len) {
                int n = WideCharToMultiByte(CP_ACP, 0, w.data(), (int)len, nullptr, 0, nullptr, nullptr);
                if (n > 0) {
                    LPSTR p = text.GetBufferSetLength(n);
                    WideCharToMultiByte(CP_ACP, 0, w.data(), (int)len, p, n, nullptr, nullptr);
                }
            }
            s = text;
        }
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    return *this;
}

void CArchive::WriteString(LPCSTR lpsz) {
    if (lpsz) WriteBytes(lpsz, (UINT)std::strlen(lpsz));
}

BOOL CArchive::ReadString(CString& rString) {
    ThrowIfNotLoading();
    std::string line;
    bool any = false;
    for (;;) {
        if (m_nBufCur == m_nBufMax) {
            FillBuffer(1);
            if (m_nBufMax == 0) break;
        }
        char c = (char)m_buf[m_nBufCur++];
        any = true;
        if (c == '\n') break;
        line += c;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rString = CString(line);
    return any ? TRUE : FALSE;
}

// ---- counts -------------------------------------------------------------------

void CArchive::WriteCount(DWORD_PTR dwCount) {
    if (dwCount < 0xFFFF) {
        *this << (WORD)dwCount;
    } else {
        *this << (WORD)0xFFFF << (DWORD)dwCount;
    }
}

DWORD_PTR CArchive::ReadCount() {
    WORD wCount = 0;
    *this >> wCount;
    DWORD count = wCount;
    if (wCount == 0xFFFF) *this >> count;
    // Every element of a counted sequence takes at least one byte.
    CheckLength(count);
    return count;
}

// ---- classes and objects --------------------------------------------------------

DWORD CArchive::NextIndex() {
    if (m_nMapCount >= kMaxMapCount) AfxThrowArchiveException(CArchiveException::badIndex);
    return m_nMapCount++;
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
    ThrowIfNotStoring();
    if (!pClassRef) AfxThrowArchiveException(CArchiveException::badClass);
    if (pClassRef->m_wSchema == 0xFFFF) AfxThrowNotSupportedException();
    auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        DWORD index = it->second;
        if (index < kBigObjectTag) {
            *this << (WORD)(kClassTag | index);
        } else {
            *this << kBigObjectTag << (DWORD)(kBigClassTag | index);
        }
        return;
    }
    *this << kNewClassTag;
    pClassRef->Store(*this);
    m_storeMap[pClassRef] = NextIndex();
}

void CArchive::WriteObject(const CObject* pOb) {
    ThrowIfNotStoring();
    if (!pOb) {
        *this << kNullTag;
        return;
    }
    auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        DWORD index = it->second;
        if (index < kBigObjectTag) {
            *this << (WORD)index;
        } else {
            *this << kBigObjectTag << index;
        }
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    m_storeMap[pOb] = NextIndex();
    const_cast<CObject*>(pOb)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema,
                                         DWORD* pObTag) {
    ThrowIfNotLoading();
    WORD wTag = 0;
    *this >> wTag;
    DWORD obTag;
    if (wTag == kBigObjectTag) {
        *this >> obTag;
    } else {
        obTag = ((DWORD)(wTag & kClassTag) << 16) | (wTag & ~kClassTag);
    }

    const CRuntimeClass* pClass = nullptr;
    UINT nSchema = (UINT)-1;
    if (wTag == kNewClassTag) {
        UINT stored = 0;
        pClass = CRuntimeClass::Load(*this, &stored);
        if (!(pClass->m_wSchema & VERSIONABLE_SCHEMA) && (pClass->m_wSchema & 0xFFFF) != stored)
            AfxThrowArchiveException(CArchiveException::badSchema);
        nSchema = stored;
        DWORD index = NextIndex();
        (void)index;
        m_loadArray.push_back(LoadEntry{pClass, nullptr, nSchema});
    } else if (obTag & kBigClassTag) {
        DWORD index = obTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size()) AfxThrowArchiveException(CArchiveException::badIndex);
        const LoadEntry& entry = m_loadArray[index];
        if (!entry.pClass) AfxThrowArchiveException(CArchiveException::badClass);
        pClass = entry.pClass;
        nSchema = entry.nSchema;
    } else {
        // An object reference (or null): no class.
        if (pObTag) *pObTag = obTag;
        if (pSchema) *pSchema = (UINT)-1;
        return nullptr;
    }

    if (pClassRefRequested && !pClass->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass);
    if (pSchema) *pSchema = nSchema;
    if (pObTag) *pObTag = obTag;
    return pClass;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef) {
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
    UINT nSchema = (UINT)-1;
    DWORD obTag = 0;
    const CRuntimeClass* pClass = ReadClass(pClassRefRequested, &nSchema, &obTag);

    if (!pClass) {
        if (obTag == 0) return nullptr;
        if (obTag >= m_loadArray.size()) AfxThrowArchiveException(CArchiveException::badIndex);
        CObject* pOb = m_loadArray[obTag].pObject;
        if (!pOb) AfxThrowArchiveException(CArchiveException::badIndex);
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass);
        return pOb;
    }

    CObject* pOb = pClass->CreateObject();
    if (!pOb) {
        if (!pClass->m_pfnCreateObject) AfxThrowArchiveException(CArchiveException::badClass);
        AfxThrowMemoryException();
    }
    try {
        NextIndex();
        m_loadArray.push_back(LoadEntry{nullptr, pOb, 0});
        UINT nSavedSchema = m_nObjectSchema;
        m_nObjectSchema = nSchema;
        pOb->Serialize(*this);
        m_nObjectSchema = nSavedSchema;
    } catch (...) {
        // The object belongs to nobody yet; nothing may refer to it once the read fails.
        for (LoadEntry& entry : m_loadArray)
            if (entry.pObject == pOb) entry.pObject = nullptr;
        delete pOb;
        throw;
    }
    return pOb;
}

UINT CArchive::GetObjectSchema() {
    UINT n = m_nObjectSchema;
    m_nObjectSchema = (UINT)-1;
    return n;
}
