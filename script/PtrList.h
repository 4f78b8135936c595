// A circular doubly linked list of owned pointers with five forward and five backward cursors, as the
// script call stack uses it. The list deletes the pointers it holds.
#pragma once

#include <cstddef>

template <class T> class CPtrList {
  public:
    static constexpr int kCursors = 5;

    struct Node {
        T* item;
        Node* next;
        Node* prev;
    };

    CPtrList() = default;
    ~CPtrList() { RemoveAll(); }
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    int GetCount() const { return m_Count; }

    // Takes ownership of item.
    Node* AddTail(T* item) {
        Node* node = new Node{item, nullptr, nullptr};
        if (!m_Head) {
            node->next = node;
            node->prev = node;
            m_Head = node;
        } else {
            Node* tail = m_Head->prev;
            node->prev = tail;
            node->next = m_Head;
            tail->next = node;
            m_Head->prev = node;
        }
        ++m_Count;
        return node;
    }

    // Deletes the first node holding item and the item itself; false when no node holds it.
    bool Remove(T* item) {
        Node* node = Find(item);
        if (!node) return false;
        Unlink(node);
        delete node->item;
        delete node;
        return true;
    }

    void RemoveAll() {
        while (m_Head) {
            Node* node = m_Head;
            Unlink(node);
            delete node->item;
            delete node;
        }
        ClearCursors();
    }

    // Forward walk: GetHead, then GetNext until it gives null.
    T* GetHead(int n) {
        if (n < 0 || n >= kCursors || !m_Head) return nullptr;
        m_Forward[n] = m_Head->next;
        return m_Head->item;
    }
    T* GetNext(int n) {
        if (n < 0 || n >= kCursors) return nullptr;
        Node* node = m_Forward[n];
        if (!node || node == m_Head) return nullptr;
        m_Forward[n] = node->next;
        return node->item;
    }
    // Backward walk: GetTail, then GetPrev until it gives null.
    T* GetTail(int n) {
        if (n < 0 || n >= kCursors || !m_Head) return nullptr;
        m_Backward[n] = m_Head->prev;
        return m_Backward[n]->item;
    }
    T* GetPrev(int n) {
        if (n < 0 || n >= kCursors) return nullptr;
        Node* node = m_Backward[n];
        if (!node || node == m_Head) return nullptr;
        m_Backward[n] = node->prev;
        return m_Backward[n]->item;
    }

    // Visits every item from head to tail without touching the cursors.
    template <class F> void ForEach(F f) const {
        if (!m_Head) return;
        const Node* node = m_Head;
        do {
            f(node->item);
            node = node->next;
        } while (node != m_Head);
    }

  private:
    Node* Find(T* item) const {
        if (!m_Head) return nullptr;
        Node* node = m_Head;
        do {
            if (node->item == item) return node;
            node = node->next;
        } while (node != m_Head);
        return nullptr;
    }

    void Unlink(Node* node) {
        // A cursor resting on the removed node would dangle: it ends its walk instead.
        for (int i = 0; i < kCursors; ++i) {
            if (m_Forward[i] == node) m_Forward[i] = nullptr;
            if (m_Backward[i] == node) m_Backward[i] = nullptr;
        }
        if (node->next == node) {
            m_Head = nullptr;
        } else {
            node->prev->next = node->next;
            node->next->prev = node->prev;
            if (m_Head == node) m_Head = node->next;
        }
        --m_Count;
    }

    void ClearCursors() {
        for (int i = 0; i < kCursors; ++i) {
            m_Forward[i] = nullptr;
            m_Backward[i] = nullptr;
        }
    }

    int m_Count = 0;
    Node* m_Head = nullptr;
    Node* m_Forward[kCursors] = {};
    Node* m_Backward[kCursors] = {};
};
