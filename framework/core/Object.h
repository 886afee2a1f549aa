// Run-time class information, dynamic creation and the root class CObject.
#pragma once

#include "framework/core/Types.h"

class CObject;
class CArchive;

// Set in a class's schema to mark it versionable: a reader accepts any stored
// schema for it and hands that number to the object (CArchive::GetObjectSchema).
#define VERSIONABLE_SCHEMA (0x80000000)

// The record that describes one class at run time. Instances are static
// aggregates produced by the IMPLEMENT_* macros, so they exist before any
// dynamic initialisation runs.
struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                   // 0xFFFF for classes that cannot be serialised
    CObject* (*m_pfnCreateObject)();  // null when the class cannot be created dynamically
    const CRuntimeClass* m_pBaseClass;
    mutable const CRuntimeClass* m_pNextClass;  // chain of registered serial classes

    // A new object of this class; null when the class has no creation function
    // or memory runs out.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Looks a class up by its stored name: the alias table first, then the
    // registered serial classes (exact, case-sensitive match; the first one
    // registered wins). Null when no class bears the name.
    static const CRuntimeClass* FromName(const char* lpszClassName);
    // Dynamic creation by class name; null when the name is unknown.
    static CObject* CreateObject(const char* lpszClassName);

    // Makes a reader that meets `lpszName` create objects of `pClass`. One alias
    // per name; registering the name again replaces the target. Aliases take
    // precedence over registered classes of the same name.
    static void RegisterAlias(const char* lpszName, const CRuntimeClass* pClass);
    static void RemoveAlias(const char* lpszName);

    // Adds a class to the registry (done by IMPLEMENT_SERIAL at start-up).
    static void Register(const CRuntimeClass* pClass);

    // The class record as the archive stores it: schema word, name length word,
    // name characters.
    void Store(CArchive& ar) const;
    // Reads a class record (after the new-class tag); throws CArchiveException
    // badClass for a name of 64 or more characters or a name no class bears.
    // *pwSchemaNum receives the stored schema.
    static const CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

// Runs CRuntimeClass::Register from a static initialiser.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass) { CRuntimeClass::Register(pNewClass); }
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name)  \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS_KV(class_name, base_class_name, wSchema, pfnNew)                             \
    const CRuntimeClass class_name::class##class_name = {                                                   \
        #class_name, sizeof(class_name), (UINT)(wSchema), pfnNew, RUNTIME_CLASS(base_class_name), nullptr}; \
    CRuntimeClass* class_name::GetRuntimeClass() const {                                                    \
        return RUNTIME_CLASS(class_name);                                                                   \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS_KV(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() {                \
        return new class_name;                           \
    }                                                    \
    IMPLEMENT_RUNTIMECLASS_KV(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                \
    CObject* class_name::CreateObject() {                                                     \
        return new class_name;                                                                \
    }                                                                                         \
    IMPLEMENT_RUNTIMECLASS_KV(class_name, base_class_name, wSchema, class_name::CreateObject) \
    static const AFX_CLASSINIT _kv_init_##class_name(RUNTIME_CLASS(class_name));              \
    CArchive& operator>>(CArchive& ar, class_name*& pOb) {                                    \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));             \
        return ar;                                                                            \
    }

// The root of the framework's class tree.
class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    // Writes or reads the object's own record; the base has none.
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* pClass) const;
    bool IsSerializable() const;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
