// Maps from pointers or strings to pointers or strings, and the typed pointer
// map. Iteration (GetStartPosition / GetNextAssoc) visits every pair once in
// key order; a POSITION stays valid until its pair is removed.
#pragma once

#include <map>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class KvMapImpl {
public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit KvMapImpl(INT_PTR nBlockSize = 10) { (void)nBlockSize; }

    INT_PTR GetCount() const { return (INT_PTR)m_map.size(); }
    INT_PTR GetSize() const { return (INT_PTR)m_map.size(); }
    bool IsEmpty() const { return m_map.empty(); }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
        auto it = m_map.find(KEY(key));
        if (it == m_map.end()) return FALSE;
        rValue = it->second;
        return TRUE;
    }
    // The value for key, inserted (value-initialised) when absent.
    VALUE& operator[](ARG_KEY key) { return m_map[KEY(key)]; }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { m_map[KEY(key)] = newValue; }
    BOOL RemoveKey(ARG_KEY key) { return m_map.erase(KEY(key)) ? TRUE : FALSE; }
    void RemoveAll() { m_map.clear(); }

    POSITION GetStartPosition() const { return m_map.empty() ? nullptr : Pos(&*m_map.begin()); }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const {
        const Pair* p = reinterpret_cast<const Pair*>(rNextPosition);
        rKey = p->first;
        rValue = p->second;
        auto it = m_map.find(p->first);
        ++it;
        rNextPosition = it == m_map.end() ? nullptr : Pos(&*it);
    }

private:
    typedef std::pair<const KEY, VALUE> Pair;
    static POSITION Pos(const Pair* p) { return reinterpret_cast<POSITION>(const_cast<Pair*>(p)); }
    std::map<KEY, VALUE> m_map;
};

class CMapPtrToPtr : public CObject, public KvMapImpl<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : KvMapImpl(nBlockSize) {}
};

class CMapStringToPtr : public CObject, public KvMapImpl<CString, LPCSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : KvMapImpl(nBlockSize) {}
};

class CMapStringToString : public CObject, public KvMapImpl<CString, LPCSTR, CString, LPCSTR> {
    DECLARE_DYNAMIC(CMapStringToString)
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10) : KvMapImpl(nBlockSize) {}
};

// A pointer map whose keys and values are of given pointer types.
template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const {
        typename BASE_CLASS::BASE_VALUE v = nullptr;
        BOOL found = BASE_CLASS::Lookup(key, v);
        rValue = (VALUE)v;
        return found;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key) { return (VALUE&)BASE_CLASS::operator[](key); }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const {
        typename BASE_CLASS::BASE_KEY k;
        typename BASE_CLASS::BASE_VALUE v;
        BASE_CLASS::GetNextAssoc(rPosition, k, v);
        rKey = (KEY)k;
        rValue = (VALUE)v;
    }
};
