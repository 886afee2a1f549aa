// Typed events through which bars and controls tell their owners what happened.
//
// A source object holds one CBarEvent per event: the head of a singly linked list of handler
// nodes, empty when the source is made. A receiver hooks one of its member functions to the
// event and unhooks the same (receiver, function) pair before it goes away; raising the event
// calls every hooked function, the newest first.
//
// Each node's type is made for one pair of event and receiver class; its virtual table is the
// node's three operations: Invoke, IsReceiver and IsHandler.
#pragma once

#include <windows.h>

#include <typeinfo>

template <class... Args>
class CBarEvent {
public:
    // One hooked handler. The fields follow the operations pointer (the virtual table).
    struct Node {
        Node* next = nullptr;  // the next (older) node
        void* receiver = nullptr;

        virtual ~Node() = default;
        virtual void Invoke(Args... args) = 0;
        virtual BOOL IsReceiver(const void* pReceiver) const = 0;
        // pHandler points to a pointer to member function of the receiver class `type`.
        virtual BOOL IsHandler(const void* pReceiver, const void* pHandler,
                               const std::type_info& type) const = 0;
    };

    template <class R>
    struct HandlerNode : Node {
        typedef void (R::*Handler)(Args...);
        Handler handler = nullptr;

        void Invoke(Args... args) override { (static_cast<R*>(this->receiver)->*handler)(args...); }
        BOOL IsReceiver(const void* pReceiver) const override { return pReceiver == this->receiver; }
        BOOL IsHandler(const void* pReceiver, const void* pHandler,
                       const std::type_info& type) const override {
            return pReceiver == this->receiver && type == typeid(R) &&
                   *static_cast<const Handler*>(pHandler) == handler;
        }
    };

    CBarEvent() = default;
    CBarEvent(const CBarEvent&) = delete;
    CBarEvent& operator=(const CBarEvent&) = delete;
    // Nodes still hooked when the source goes away are freed with it.
    ~CBarEvent() { Clear(); }

    // Puts a new node at the head; a pair hooked twice is called twice. Allocation failures
    // pass out as the allocation's exception. Returns 0.
    template <class R>
    HRESULT Hook(R* pReceiver, void (R::*pHandler)(Args...)) {
        HandlerNode<R>* node = new HandlerNode<R>;
        node->receiver = pReceiver;
        node->handler = pHandler;
        node->next = m_pHead;
        m_pHead = node;
        return 0;
    }

    // Frees the first (newest) node of the pair: 0; 1 and nothing changed when the pair is not hooked.
    template <class R>
    HRESULT Unhook(R* pReceiver, void (R::*pHandler)(Args...)) {
        Node* prev = nullptr;
        for (Node* node = m_pHead; node != nullptr; prev = node, node = node->next) {
            if (!node->IsHandler(pReceiver, &pHandler, typeid(R))) continue;
            if (prev == nullptr)
                m_pHead = node->next;
            else
                prev->next = node->next;
            delete node;
            return 0;
        }
        return 1;
    }

    // Calls every handler with the same arguments, newest first. The next node is read before
    // a handler runs, so a handler may unhook itself (but no other handler of this event).
    void Raise(Args... args) {
        for (Node* node = m_pHead; node != nullptr;) {
            Node* next = node->next;
            node->Invoke(args...);
            node = next;
        }
    }

    // Whether any handler of this receiver is hooked.
    BOOL IsHooked(const void* pReceiver) const {
        for (Node* node = m_pHead; node != nullptr; node = node->next)
            if (node->IsReceiver(pReceiver)) return TRUE;
        return FALSE;
    }
    int GetCount() const {
        int n = 0;
        for (Node* node = m_pHead; node != nullptr; node = node->next) ++n;
        return n;
    }
    BOOL IsEmpty() const { return m_pHead == nullptr; }
    Node* GetHead() const { return m_pHead; }

    void Clear() {
        while (m_pHead != nullptr) {
            Node* next = m_pHead->next;
            delete m_pHead;
            m_pHead = next;
        }
    }

private:
    Node* m_pHead = nullptr;
};
