// Doubly-linked lists of pointers, objects and strings, and the typed pointer
// list. A POSITION is a node; it stays valid until that node is removed.
#pragma once

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

class CArchive;

template <class TYPE, class ARG_TYPE>
class KvListImpl {
public:
    typedef TYPE BASE_TYPE;
    typedef ARG_TYPE BASE_ARG_TYPE;

    explicit KvListImpl(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    KvListImpl(const KvListImpl& src) { AddTail(&src); }
    KvListImpl& operator=(const KvListImpl& src) {
        if (this != &src) {
            RemoveAll();
            AddTail(&src);
        }
        return *this;
    }
    ~KvListImpl() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    // The list must not be empty.
    TYPE& GetHead() { return m_pHead->data; }
    const TYPE& GetHead() const { return m_pHead->data; }
    TYPE& GetTail() { return m_pTail->data; }
    const TYPE& GetTail() const { return m_pTail->data; }
    TYPE RemoveHead() {
        TYPE v = m_pHead->data;
        FreeNode(m_pHead);
        return v;
    }
    TYPE RemoveTail() {
        TYPE v = m_pTail->data;
        FreeNode(m_pTail);
        return v;
    }

    POSITION AddHead(ARG_TYPE newElement) { return Pos(Link(NewNode(newElement), nullptr, m_pHead)); }
    POSITION AddTail(ARG_TYPE newElement) { return Pos(Link(NewNode(newElement), m_pTail, nullptr)); }
    void AddHead(const KvListImpl* pNewList) {
        KvListImpl copy(*pNewList);
        for (Node* n = copy.m_pTail; n; n = n->pPrev) AddHead(n->data);
    }
    void AddTail(const KvListImpl* pNewList) {
        if (pNewList == this) {
            KvListImpl copy(*pNewList);
            AddTail(&copy);
            return;
        }
        for (Node* n = pNewList->m_pHead; n; n = n->pNext) AddTail(n->data);
    }
    void RemoveAll() {
        Node* n = m_pHead;
        while (n) {
            Node* next = n->pNext;
            delete n;
            n = next;
        }
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pHead); }
    POSITION GetTailPosition() const { return Pos(m_pTail); }
    // Returns the element at rPosition and moves rPosition on (null after the last).
    TYPE& GetNext(POSITION& rPosition) {
        Node* n = N(rPosition);
        rPosition = Pos(n->pNext);
        return n->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const {
        Node* n = N(rPosition);
        rPosition = Pos(n->pNext);
        return n->data;
    }
    TYPE& GetPrev(POSITION& rPosition) {
        Node* n = N(rPosition);
        rPosition = Pos(n->pPrev);
        return n->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const {
        Node* n = N(rPosition);
        rPosition = Pos(n->pPrev);
        return n->data;
    }
    TYPE& GetAt(POSITION position) { return N(position)->data; }
    const TYPE& GetAt(POSITION position) const { return N(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { N(pos)->data = newElement; }
    void RemoveAt(POSITION position) { FreeNode(N(position)); }
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement) {
        if (!position) return AddHead(newElement);
        Node* at = N(position);
        return Pos(Link(NewNode(newElement), at->pPrev, at));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement) {
        if (!position) return AddTail(newElement);
        Node* at = N(position);
        return Pos(Link(NewNode(newElement), at, at->pNext));
    }
    // Searches after startAfter (from the head when null); null when absent.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const {
        Node* n = startAfter ? N(startAfter)->pNext : m_pHead;
        for (; n; n = n->pNext)
            if (n->data == searchValue) return Pos(n);
        return nullptr;
    }
    // The position of the nIndex-th element (from 0); null when out of range.
    POSITION FindIndex(INT_PTR nIndex) const {
        if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
        Node* n = m_pHead;
        while (nIndex-- > 0) n = n->pNext;
        return Pos(n);
    }

private:
    struct Node {
        Node* pNext;
        Node* pPrev;
        TYPE data;
    };
    static POSITION Pos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* N(POSITION p) { return reinterpret_cast<Node*>(p); }
    static Node* NewNode(ARG_TYPE v) { return new Node{nullptr, nullptr, TYPE(v)}; }
    Node* Link(Node* n, Node* prev, Node* next) {
        n->pPrev = prev;
        n->pNext = next;
        if (prev)
            prev->pNext = n;
        else
            m_pHead = n;
        if (next)
            next->pPrev = n;
        else
            m_pTail = n;
        ++m_nCount;
        return n;
    }
    void FreeNode(Node* n) {
        if (n->pPrev)
            n->pPrev->pNext = n->pNext;
        else
            m_pHead = n->pNext;
        if (n->pNext)
            n->pNext->pPrev = n->pPrev;
        else
            m_pTail = n->pPrev;
        --m_nCount;
        delete n;
    }

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};

// Pointers the list does not own.
class CPtrList : public CObject, public KvListImpl<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : KvListImpl(nBlockSize) {}
};

// Object pointers the list does not own. Serialize: a count, then each
// element as an object reference.
class CObList : public CObject, public KvListImpl<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10) : KvListImpl(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

// Serialize: a count, then each string.
class CStringList : public CObject, public KvListImpl<CString, const CString&> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : KvListImpl(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

// A CPtrList or CObList whose elements are of one pointer type.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return (TYPE&)BASE_CLASS::GetHead(); }
    TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
    TYPE& GetTail() { return (TYPE&)BASE_CLASS::GetTail(); }
    TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
    TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
    TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(pNewList); }
    void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(pNewList); }
    TYPE& GetNext(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetNext(rPosition); }
    TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetPrev(rPosition); }
    TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return (TYPE&)BASE_CLASS::GetAt(position); }
    TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) {
        return BASE_CLASS::InsertBefore(position, newElement);
    }
    POSITION InsertAfter(POSITION position, TYPE newElement) {
        return BASE_CLASS::InsertAfter(position, newElement);
    }
    POSITION Find(TYPE searchValue, POSITION startAfter = nullptr) const {
        return BASE_CLASS::Find(searchValue, startAfter);
    }
};
