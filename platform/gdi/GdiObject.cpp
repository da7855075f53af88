#include "GdiObject.h"

#include <mutex>
#include <unordered_map>

namespace yonda::gdi {

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    // Handles are never reused: a deleted object's handle stays dead for good.
    uintptr_t next = 0x10000;
};

HandleTable& Table()
{
    static HandleTable* table = new HandleTable; // outlives every static destructor that frees handles
    return *table;
}

} // namespace

HGDIOBJ RegisterObject(std::shared_ptr<GdiObject> object)
{
    if (!object)
        return nullptr;
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    uintptr_t value = t.next;
    t.next += 0x10;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

std::shared_ptr<GdiObject> LookupObject(HGDIOBJ handle)
{
    if (!handle)
        return nullptr;
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool UnregisterObject(HGDIOBJ handle)
{
    if (!handle)
        return false;
    std::shared_ptr<GdiObject> doomed; // destroyed outside the lock
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end())
        return false;
    if (it->second->stock)
        return true;
    if (it->second->selected.load() > 0)
        return false;
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

} // namespace yonda::gdi
