// Run-time classes and serialisation of the collection classes.
#include "framework/core/Archive.h"
#include "framework/core/Arrays.h"
#include "framework/core/Lists.h"
#include "framework/core/Maps.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapStringToString, CObject)

// Loading replaces the contents. Elements are appended as they are read, so
// after a failed read the container holds exactly the elements that were
// read, and its owner can release them as usual.

namespace {

// Reads a count and then that many elements, handing each to add as it is read.
template <class T, class C, class ADD>
void LoadElements(CArchive& ar, C& c, ADD add) {
    DWORD_PTR n = ar.ReadCount();
    c.RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
        T v{};
        ar >> v;
        add(v);
    }
}

template <class ARRAY, class T>
void SerializeNumbers(CArchive& ar, ARRAY& a, std::vector<T>& data) {
    if (ar.IsStoring()) {
        ar.WriteCount((DWORD_PTR)data.size());
        for (T v : data) ar << v;
    } else {
        LoadElements<T>(ar, a, [&data](T v) { data.push_back(v); });
    }
}

}  // namespace

void CObArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount((DWORD_PTR)GetSize());
        for (CObject* pOb : m_data) ar << pOb;
    } else {
        LoadElements<CObject*>(ar, *this, [this](CObject* v) { Add(v); });
    }
}

void CStringArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount((DWORD_PTR)GetSize());
        for (const CString& s : m_data) ar << s;
    } else {
        LoadElements<CString>(ar, *this, [this](const CString& v) { Add(v); });
    }
}

void CWordArray::Serialize(CArchive& ar) {
    SerializeNumbers(ar, *this, m_data);
}
void CDWordArray::Serialize(CArchive& ar) {
    SerializeNumbers(ar, *this, m_data);
}
void CByteArray::Serialize(CArchive& ar) {
    SerializeNumbers(ar, *this, m_data);
}
void CUIntArray::Serialize(CArchive& ar) {
    SerializeNumbers(ar, *this, m_data);
}

void CObList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount((DWORD_PTR)GetCount());
        for (POSITION pos = GetHeadPosition(); pos;) ar << GetNext(pos);
    } else {
        LoadElements<CObject*>(ar, *this, [this](CObject* v) { AddTail(v); });
    }
}

void CStringList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount((DWORD_PTR)GetCount());
        for (POSITION pos = GetHeadPosition(); pos;) ar << GetNext(pos);
    } else {
        LoadElements<CString>(ar, *this, [this](const CString& v) { AddTail(v); });
    }
}
