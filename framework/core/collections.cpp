// Run-time classes and serialisation of the collection classes.
#include "framework/core/archive.h"
#include "framework/core/arrays.h"
#include "framework/core/lists.h"
#include "framework/core/maps.h"

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

void CObArray::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD_PTR)GetSize());
    for (CObject* pOb : m_data) ar << pOb;
  } else {
    DWORD_PTR n = ar.ReadCount();
    RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
      CObject* pOb = nullptr;
      ar >> pOb;
      Add(pOb);
    }
  }
}

void CStringArray::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD_PTR)GetSize());
    for (const CString& s : m_data) ar << s;
  } else {
    DWORD_PTR n = ar.ReadCount();
    RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
      CString s;
      ar >> s;
      Add(s);
    }
  }
}

namespace {

template <class ARRAY, class T>
void SerializeNumbers(CArchive& ar, ARRAY& a, std::vector<T>& data) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD_PTR)data.size());
    for (T v : data) ar << v;
  } else {
    DWORD_PTR n = ar.ReadCount();
    a.RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
      T v = 0;
      ar >> v;
      data.push_back(v);
    }
  }
}

}  // namespace

void CWordArray::Serialize(CArchive& ar) { SerializeNumbers(ar, *this, m_data); }
void CDWordArray::Serialize(CArchive& ar) { SerializeNumbers(ar, *this, m_data); }
void CByteArray::Serialize(CArchive& ar) { SerializeNumbers(ar, *this, m_data); }
void CUIntArray::Serialize(CArchive& ar) { SerializeNumbers(ar, *this, m_data); }

void CObList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD_PTR)GetCount());
    for (POSITION pos = GetHeadPosition(); pos;) ar << GetNext(pos);
  } else {
    DWORD_PTR n = ar.ReadCount();
    RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
      CObject* pOb = nullptr;
      ar >> pOb;
      AddTail(pOb);
    }
  }
}

void CStringList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD_PTR)GetCount());
    for (POSITION pos = GetHeadPosition(); pos;) ar << GetNext(pos);
  } else {
    DWORD_PTR n = ar.ReadCount();
    RemoveAll();
    for (DWORD_PTR i = 0; i < n; ++i) {
      CString s;
      ar >> s;
      AddTail(s);
    }
  }
}
