#include "framework/core/Object.h"

#include <cstring>
#include <map>
#include <new>
#include <string>

#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"

namespace {

// Function-local statics: IMPLEMENT_SERIAL registers classes from static
// initialisers of other files, which may run before this file's.
const CRuntimeClass*& RegistryHead() {
    static const CRuntimeClass* head = nullptr;
    return head;
}

std::map<std::string, const CRuntimeClass*>& AliasTable() {
    static std::map<std::string, const CRuntimeClass*> table;
    return table;
}

// Longest class name an archive accepts (a 64-byte buffer with its terminator).
const WORD kMaxClassNameLength = 63;

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const {
    return RUNTIME_CLASS(CObject);
}

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

bool CObject::IsSerializable() const {
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

CObject* CRuntimeClass::CreateObject() const {
    if (!m_pfnCreateObject) return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    if (!pBaseClass) return false;
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == pBaseClass) return true;
    return false;
}

void CRuntimeClass::Register(const CRuntimeClass* pClass) {
    if (!pClass) return;
    // Append, so that the first class registered under a name is found first.
    const CRuntimeClass*& head = RegistryHead();
    const CRuntimeClass** link = &head;
    while (*link) {
        if (*link == pClass) return;
        link = const_cast<const CRuntimeClass**>(&(*link)->m_pNextClass);
    }
    pClass->m_pNextClass = nullptr;
    *link = pClass;
}

void CRuntimeClass::RegisterAlias(const char* lpszName, const CRuntimeClass* pClass) {
    if (!lpszName) return;
    if (pClass)
        AliasTable()[lpszName] = pClass;
    else
        AliasTable().erase(lpszName);
}

void CRuntimeClass::RemoveAlias(const char* lpszName) {
    if (lpszName) AliasTable().erase(lpszName);
}

const CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName) {
    if (!lpszClassName || !*lpszClassName) return nullptr;
    auto& aliases = AliasTable();
    auto it = aliases.find(lpszClassName);
    if (it != aliases.end()) return it->second;
    for (const CRuntimeClass* c = RegistryHead(); c; c = c->m_pNextClass)
        if (std::strcmp(c->m_lpszClassName, lpszClassName) == 0) return c;
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(const char* lpszClassName) {
    const CRuntimeClass* c = FromName(lpszClassName);
    return c ? c->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const {
    WORD nLen = (WORD)std::strlen(m_lpszClassName);
    ar << (WORD)(m_wSchema & ~VERSIONABLE_SCHEMA);
    ar << nLen;
    ar.Write(m_lpszClassName, nLen);
}

const CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum) {
    WORD wSchema = 0;
    WORD nLen = 0;
    ar >> wSchema;
    ar >> nLen;
    if (pwSchemaNum) *pwSchemaNum = wSchema;
    if (nLen > kMaxClassNameLength) AfxThrowArchiveException(CArchiveException::badClass);
    char szName[kMaxClassNameLength + 1];
    if (ar.Read(szName, nLen) != nLen) AfxThrowArchiveException(CArchiveException::endOfFile);
    szName[nLen] = '\0';
    // A name with an embedded zero is not a name any class bears.
    if (std::strlen(szName) != nLen) AfxThrowArchiveException(CArchiveException::badClass);
    const CRuntimeClass* pClass = FromName(szName);
    if (!pClass) AfxThrowArchiveException(CArchiveException::badClass);
    return pClass;
}
