// One scheme for every engine table: a slot vector, a serial per slot, a stack of free slots and,
// for tables of loaded files, a case-insensitive map from name to handle so that a second load of
// a name shares the first. Records live behind their own allocation, so a pointer to one stays
// valid while the table grows.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The engine-wide serial counter: 1, 2, ... 0xFFFF, then 1 again.
_KRA_HANDLE KRAIssueHandle(DWORD dwIndex);
// Test hook: the next handle gets serial dwLast + 1 (wrapping as usual).
void KRASetSerialCounter(DWORD dwLast);

inline DWORD KRAHandleIndex(_KRA_HANDLE h)
{
    return h & 0xFFFF;
}
inline DWORD KRAHandleSerial(_KRA_HANDLE h)
{
    return h >> 16;
}

// Byte-wise ASCII case folding: the bytes of double-byte names must never be folded by a locale.
int KRACompareNoCase(std::string_view a, std::string_view b);
struct KRANoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return KRACompareNoCase(a, b) < 0; }
};

constexpr size_t KRA_TABLE_RESERVE = 100;
constexpr size_t KRA_TABLE_MAX_SLOTS = 0x10000;

template <class T>
class CKRAHandleTable {
public:
    CKRAHandleTable()
    {
        m_vSlots.reserve(KRA_TABLE_RESERVE);
        m_vSerials.reserve(KRA_TABLE_RESERVE);
        m_vNames.reserve(KRA_TABLE_RESERVE);
    }

    // The record a handle names, or null for 0, an index past the slots or a stale serial.
    T* Lookup(_KRA_HANDLE h) const
    {
        if (h == 0 || m_vSlots.empty())
            return nullptr;
        DWORD dwIndex = KRAHandleIndex(h);
        if (dwIndex >= m_vSlots.size() || m_vSerials[dwIndex] != KRAHandleSerial(h))
            return nullptr;
        return m_vSlots[dwIndex].get();
    }

    // Shares a loaded name (one more reference) or builds a new record with build(T&), which
    // returns a status. A failed build leaves no name, no live slot and no handle behind.
    template <class Build>
    LONG Load(const char* szName, _KRA_HANDLE& hOut, Build&& build)
    {
        std::string strName = szName ? szName : "";
        auto found = m_mNames.find(strName);
        if (found != m_mNames.end()) {
            T* pRecord = Lookup(found->second);
            if (!pRecord)
                return KRA_E_FAILED;
            pRecord->IncrementRefCount();
            hOut = found->second;
            return KRA_OK;
        }
        _KRA_HANDLE h = 0;
        if (!TakeSlot(h))
            return KRA_E_ALLOCATION;
        DWORD dwIndex = KRAHandleIndex(h);
        m_vNames[dwIndex] = strName;
        m_mNames.emplace(strName, h);
        LONG lStatus = build(*m_vSlots[dwIndex]);
        if (lStatus < 0) {
            FreeSlot(dwIndex);
            return lStatus;
        }
        m_vSlots[dwIndex]->IncrementRefCount();
        hOut = h;
        return KRA_OK;
    }

    // Tables without names (scene-object descriptors): a new slot holding the given record.
    LONG Add(std::unique_ptr<T> pRecord, _KRA_HANDLE& hOut)
    {
        _KRA_HANDLE h = 0;
        if (!TakeSlot(h))
            return KRA_E_ALLOCATION;
        m_vSlots[KRAHandleIndex(h)] = std::move(pRecord);
        hOut = h;
        return KRA_OK;
    }

    // Drops one reference of a live record; at zero runs release(T&) and frees the slot. The
    // slot is freed whatever release answers, and its status is returned.
    template <class Release>
    LONG Unload(_KRA_HANDLE h, Release&& release)
    {
        T* pRecord = Lookup(h);
        if (!pRecord)
            return KRA_E_INVALID_HANDLE;
        if (pRecord->DecrementRefCount() > 0)
            return KRA_OK;
        LONG lStatus = release(*pRecord);
        FreeSlot(KRAHandleIndex(h));
        return lStatus;
    }

    // Frees a slot at once, whatever its references.
    void Free(_KRA_HANDLE h)
    {
        if (Lookup(h))
            FreeSlot(KRAHandleIndex(h));
    }

    // Live records in name order (named tables) or slot order (others).
    template <class Visit>
    void ForEach(Visit&& visit) const
    {
        if (!m_mNames.empty()) {
            for (const auto& [name, h] : m_mNames)
                if (T* pRecord = Lookup(h))
                    visit(h, *pRecord);
            return;
        }
        for (size_t i = 0; i < m_vSlots.size(); ++i)
            if (m_vSerials[i] != 0)
                visit(_KRA_HANDLE((m_vSerials[i] << 16) | i), *m_vSlots[i]);
    }

    // Runs release(T&) on every live record and empties the whole table.
    template <class Release>
    void Destroy(Release&& release)
    {
        for (size_t i = 0; i < m_vSlots.size(); ++i)
            if (m_vSerials[i] != 0)
                release(*m_vSlots[i]);
        m_vSlots.clear();
        m_vSerials.clear();
        m_vNames.clear();
        m_vFree.clear();
        m_mNames.clear();
    }

    const std::string* NameOf(_KRA_HANDLE h) const { return Lookup(h) ? &m_vNames[KRAHandleIndex(h)] : nullptr; }
    bool HasName(const char* szName) const { return m_mNames.count(szName ? szName : "") != 0; }
    size_t LiveCount() const { return m_vSlots.size() - m_vFree.size(); }
    size_t SlotCount() const { return m_vSlots.size(); }

private:
    bool TakeSlot(_KRA_HANDLE& h)
    {
        DWORD dwIndex;
        if (!m_vFree.empty()) {
            dwIndex = m_vFree.back();
            m_vFree.pop_back();
        } else {
            // The index has 16 bits: a 65537th slot would alias slot 0.
            if (m_vSlots.size() >= KRA_TABLE_MAX_SLOTS)
                return false;
            dwIndex = DWORD(m_vSlots.size());
            m_vSlots.emplace_back();
            m_vSerials.push_back(0);
            m_vNames.emplace_back();
        }
        m_vSlots[dwIndex] = std::make_unique<T>();
        h = KRAIssueHandle(dwIndex);
        m_vSerials[dwIndex] = KRAHandleSerial(h);
        return true;
    }

    void FreeSlot(DWORD dwIndex)
    {
        auto found = m_mNames.find(m_vNames[dwIndex]);
        if (found != m_mNames.end() && KRAHandleIndex(found->second) == dwIndex)
            m_mNames.erase(found);
        m_vNames[dwIndex].clear();
        m_vSlots[dwIndex] = std::make_unique<T>();
        m_vSerials[dwIndex] = 0;
        m_vFree.push_back(dwIndex);
    }

    std::vector<std::unique_ptr<T>> m_vSlots;
    std::vector<DWORD> m_vSerials;
    std::vector<std::string> m_vNames;
    std::vector<DWORD> m_vFree;
    std::map<std::string, _KRA_HANDLE, KRANoCaseLess> m_mNames;
};
