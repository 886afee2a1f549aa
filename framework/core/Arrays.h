// Growable arrays of pointers, objects, strings and numbers, and the typed
// pointer array on top of them. Indices are zero-based ints; out-of-range
// access is a programming error (GetAt/SetAt/ElementAt do not check).
#pragma once

#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

class CArchive;

// The storage shared by all array classes.
template <class TYPE, class ARG_TYPE = const TYPE&>
class KvArrayImpl {
public:
    typedef TYPE BASE_TYPE;
    typedef ARG_TYPE BASE_ARG_TYPE;

    INT_PTR GetSize() const { return (INT_PTR)m_data.size(); }
    INT_PTR GetCount() const { return (INT_PTR)m_data.size(); }
    bool IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return (INT_PTR)m_data.size() - 1; }
    // nGrowBy is accepted for compatibility; growth is automatic.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
        (void)nGrowBy;
        m_data.resize(nNewSize < 0 ? 0 : (size_t)nNewSize, TYPE());
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[(size_t)nIndex]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[(size_t)nIndex] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_data[(size_t)nIndex]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[(size_t)nIndex]; }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }

    // Grows the array as needed (new elements default-initialised).
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
        if (nIndex < 0) return;
        if ((size_t)nIndex >= m_data.size()) m_data.resize((size_t)nIndex + 1, TYPE());
        m_data[(size_t)nIndex] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement) {
        m_data.push_back(newElement);
        return (INT_PTR)m_data.size() - 1;
    }
    INT_PTR Append(const KvArrayImpl& src) {
        INT_PTR old = GetSize();
        if (&src == this) {
            std::vector<TYPE> copy(src.m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return old;
    }
    void Copy(const KvArrayImpl& src) {
        if (&src != this) m_data = src.m_data;
    }

    const TYPE& operator[](INT_PTR nIndex) const { return m_data[(size_t)nIndex]; }
    TYPE& operator[](INT_PTR nIndex) { return m_data[(size_t)nIndex]; }

    // Inserting at or past the end appends (filling any gap with default elements).
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
        if (nIndex < 0 || nCount <= 0) return;
        TYPE value = newElement;  // newElement may refer into the array
        if ((size_t)nIndex >= m_data.size()) m_data.resize((size_t)nIndex, TYPE());
        m_data.insert(m_data.begin() + nIndex, (size_t)nCount, value);
    }
    void InsertAt(INT_PTR nStartIndex, const KvArrayImpl* pNewArray) {
        if (nStartIndex < 0 || !pNewArray) return;
        std::vector<TYPE> copy(pNewArray->m_data);
        if ((size_t)nStartIndex >= m_data.size()) m_data.resize((size_t)nStartIndex, TYPE());
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    // Removes up to nCount elements from nIndex (clamped to the array).
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
        if (nIndex < 0 || nCount <= 0 || (size_t)nIndex >= m_data.size()) return;
        size_t last = (size_t)nIndex + (size_t)nCount;
        if (last > m_data.size()) last = m_data.size();
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + last);
    }

protected:
    std::vector<TYPE> m_data;
};

// Pointers the array does not own.
class CPtrArray : public CObject, public KvArrayImpl<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
public:
    CPtrArray() = default;
};

// Object pointers the array does not own (owners delete the elements).
// Serialize: a count, then each element as an object reference.
class CObArray : public CObject, public KvArrayImpl<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
public:
    CObArray() = default;
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then each string with its length prefix.
class CStringArray : public CObject, public KvArrayImpl<CString, const CString&> {
    DECLARE_SERIAL(CStringArray)
public:
    CStringArray() = default;
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then each word (2 bytes).
class CWordArray : public CObject, public KvArrayImpl<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
public:
    CWordArray() = default;
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then each dword (4 bytes).
class CDWordArray : public CObject, public KvArrayImpl<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
public:
    CDWordArray() = default;
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then the bytes.
class CByteArray : public CObject, public KvArrayImpl<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
public:
    CByteArray() = default;
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then each value (4 bytes).
class CUIntArray : public CObject, public KvArrayImpl<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
public:
    CUIntArray() = default;
    void Serialize(CArchive& ar) override;
};

// A CPtrArray or CObArray whose elements are of one pointer type.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return (TYPE&)BASE_CLASS::ElementAt(nIndex); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) {
        BASE_CLASS::InsertAt(nStartIndex, pNewArray);
    }
    TYPE operator[](INT_PTR nIndex) const { return (TYPE)BASE_CLASS::operator[](nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return (TYPE&)BASE_CLASS::operator[](nIndex); }
};
