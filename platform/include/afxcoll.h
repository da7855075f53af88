// MFC collections: lists with POSITION iteration and growable arrays. Bad indices and positions
// answer a default value and change nothing.
#pragma once

#include "afx.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace yonda::mfc {

template <typename T>
class ListOf {
    struct Node : __POSITION {
        Node* prev = nullptr;
        Node* next = nullptr;
        T value{};
    };
    static Node* N(POSITION p) { return static_cast<Node*>(p); }

public:
    ListOf() = default;
    ListOf(const ListOf&) = delete;
    ListOf& operator=(const ListOf&) = delete;
    ~ListOf() { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    T& GetHead() { return m_head ? m_head->value : Dummy(); }
    const T& GetHead() const { return m_head ? m_head->value : Dummy(); }
    T& GetTail() { return m_tail ? m_tail->value : Dummy(); }
    const T& GetTail() const { return m_tail ? m_tail->value : Dummy(); }

    POSITION AddHead(const T& value) { return InsertBefore(m_head, value); }
    POSITION AddTail(const T& value) { return InsertAfter(m_tail, value); }
    void AddTail(const ListOf& other)
    {
        for (Node* n = other.m_head; n; n = n->next)
            AddTail(n->value);
    }
    void AddHead(const ListOf& other)
    {
        for (Node* n = other.m_tail; n; n = n->prev)
            AddHead(n->value);
    }
    T RemoveHead()
    {
        if (!m_head)
            return T{};
        T v = m_head->value;
        RemoveAt(m_head);
        return v;
    }
    T RemoveTail()
    {
        if (!m_tail)
            return T{};
        T v = m_tail->value;
        RemoveAt(m_tail);
        return v;
    }
    void RemoveAll()
    {
        for (Node* n = m_head; n;) {
            Node* next = n->next;
            delete n;
            n = next;
        }
        m_head = m_tail = nullptr;
        m_count = 0;
    }

    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }
    T& GetNext(POSITION& pos)
    {
        Node* n = N(pos);
        if (!n)
            return Dummy();
        pos = n->next;
        return n->value;
    }
    const T& GetNext(POSITION& pos) const { return const_cast<ListOf*>(this)->GetNext(pos); }
    T& GetPrev(POSITION& pos)
    {
        Node* n = N(pos);
        if (!n)
            return Dummy();
        pos = n->prev;
        return n->value;
    }
    const T& GetPrev(POSITION& pos) const { return const_cast<ListOf*>(this)->GetPrev(pos); }
    T& GetAt(POSITION pos) { return pos ? N(pos)->value : Dummy(); }
    const T& GetAt(POSITION pos) const { return pos ? N(pos)->value : Dummy(); }
    void SetAt(POSITION pos, const T& value)
    {
        if (pos)
            N(pos)->value = value;
    }
    void RemoveAt(POSITION pos)
    {
        Node* n = N(pos);
        if (!n)
            return;
        (n->prev ? n->prev->next : m_head) = n->next;
        (n->next ? n->next->prev : m_tail) = n->prev;
        delete n;
        --m_count;
    }
    // A null position inserts at the head (before) or the tail (after).
    POSITION InsertBefore(POSITION pos, const T& value)
    {
        Node* at = N(pos);
        if (!at)
            at = m_head;
        Node* n = new Node;
        n->value = value;
        if (!at) {
            m_head = m_tail = n;
        } else {
            n->next = at;
            n->prev = at->prev;
            (at->prev ? at->prev->next : m_head) = n;
            at->prev = n;
        }
        ++m_count;
        return n;
    }
    POSITION InsertAfter(POSITION pos, const T& value)
    {
        Node* at = N(pos);
        if (!at)
            at = m_tail;
        Node* n = new Node;
        n->value = value;
        if (!at) {
            m_head = m_tail = n;
        } else {
            n->prev = at;
            n->next = at->next;
            (at->next ? at->next->prev : m_tail) = n;
            at->next = n;
        }
        ++m_count;
        return n;
    }
    POSITION Find(const T& value, POSITION startAfter = nullptr) const
    {
        Node* n = startAfter ? N(startAfter)->next : m_head;
        for (; n; n = n->next)
            if (n->value == value)
                return n;
        return nullptr;
    }
    POSITION FindIndex(INT_PTR index) const
    {
        if (index < 0 || index >= m_count)
            return nullptr;
        Node* n = m_head;
        while (index-- > 0)
            n = n->next;
        return n;
    }

private:
    static T& Dummy()
    {
        static thread_local T dummy{};
        dummy = T{};
        return dummy;
    }
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    INT_PTR m_count = 0;
};

template <typename T>
class ArrayOf {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_items.empty(); }
    void SetSize(INT_PTR size, INT_PTR = -1) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }
    void FreeExtra() { m_items.shrink_to_fit(); }
    void RemoveAll() { m_items.clear(); }

    T GetAt(INT_PTR i) const { return Valid(i) ? m_items[static_cast<size_t>(i)] : T{}; }
    void SetAt(INT_PTR i, const T& v)
    {
        if (Valid(i))
            m_items[static_cast<size_t>(i)] = v;
    }
    T& ElementAt(INT_PTR i)
    {
        if (Valid(i))
            return m_items[static_cast<size_t>(i)];
        static thread_local T dummy{};
        dummy = T{};
        return dummy;
    }
    T& operator[](INT_PTR i) { return ElementAt(i); }
    T operator[](INT_PTR i) const { return GetAt(i); }
    void SetAtGrow(INT_PTR i, const T& v)
    {
        if (i < 0)
            return;
        if (i >= GetSize())
            SetSize(i + 1);
        m_items[static_cast<size_t>(i)] = v;
    }
    INT_PTR Add(const T& v)
    {
        m_items.push_back(v);
        return GetSize() - 1;
    }
    INT_PTR Append(const ArrayOf& other)
    {
        INT_PTR first = GetSize();
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return first;
    }
    void Copy(const ArrayOf& other) { m_items = other.m_items; }
    void InsertAt(INT_PTR i, const T& v, INT_PTR count = 1)
    {
        if (i < 0 || count <= 0)
            return;
        if (i > GetSize())
            SetSize(i);
        m_items.insert(m_items.begin() + i, static_cast<size_t>(count), v);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1)
    {
        if (!Valid(i) || count <= 0)
            return;
        count = std::min(count, GetSize() - i);
        m_items.erase(m_items.begin() + i, m_items.begin() + i + count);
    }
    T* GetData() { return m_items.data(); }
    const T* GetData() const { return m_items.data(); }

private:
    bool Valid(INT_PTR i) const { return i >= 0 && i < GetSize(); }
    std::vector<T> m_items;
};

} // namespace yonda::mfc

class CPtrList : public CObject, public yonda::mfc::ListOf<void*> {};
class CObList : public CObject, public yonda::mfc::ListOf<CObject*> {};
class CStringList : public CObject, public yonda::mfc::ListOf<CString> {
public:
    // MFC's nodes come in blocks of this many; here each node is its own allocation.
    explicit CStringList(INT_PTR /*nBlockSize*/ = 10) {}
    using ListOf::AddHead;
    using ListOf::AddTail;
    POSITION AddTail(LPCSTR text) { return ListOf::AddTail(CString(text)); }
    POSITION AddHead(LPCSTR text) { return ListOf::AddHead(CString(text)); }
};
class CPtrArray : public CObject, public yonda::mfc::ArrayOf<void*> {};
class CObArray : public CObject, public yonda::mfc::ArrayOf<CObject*> {};
class CStringArray : public CObject, public yonda::mfc::ArrayOf<CString> {};
class CDWordArray : public CObject, public yonda::mfc::ArrayOf<DWORD> {};
class CWordArray : public CObject, public yonda::mfc::ArrayOf<WORD> {};
class CByteArray : public CObject, public yonda::mfc::ArrayOf<BYTE> {};
class CUIntArray : public CObject, public yonda::mfc::ArrayOf<UINT> {};
