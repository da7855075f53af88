#include "KernelObject.h"

#include <cerrno>
#include <map>
#include <vector>

namespace yonda::kernel {
namespace {

thread_local DWORD tLastError = ERROR_SUCCESS;

// A handle is a slot index and that slot's generation, so a closed handle stays invalid when
// the slot is used again. The value never collides with null or the pseudo handles (-1, -2),
// and it is not a pointer, so nothing can dereference it by mistake.
constexpr uint64_t kIndexBits = 24;
constexpr uint64_t kIndexMask = (uint64_t(1) << kIndexBits) - 1;

class HandleTable {
public:
    HANDLE Insert(std::shared_ptr<KernelObject> object)
    {
        std::lock_guard lock(m_mutex);
        size_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            if (m_slots.size() >= kIndexMask)
                return nullptr;
            m_slots.emplace_back();
            index = m_slots.size() - 1;
        }
        Slot& slot = m_slots[index];
        slot.object = std::move(object);
        uint64_t value = ((uint64_t(slot.generation) << kIndexBits) | (index + 1)) << 2;
        return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
    }

    std::shared_ptr<KernelObject> Lookup(HANDLE handle)
    {
        std::lock_guard lock(m_mutex);
        Slot* slot = Find(handle);
        return slot ? slot->object : nullptr;
    }

    // The object is released outside the table's lock: its destructor may close other things.
    std::shared_ptr<KernelObject> Remove(HANDLE handle)
    {
        std::lock_guard lock(m_mutex);
        Slot* slot = Find(handle);
        if (!slot)
            return nullptr;
        auto object = std::move(slot->object);
        slot->object.reset();
        slot->generation = (slot->generation + 1) & 0xFFFFFF;
        if (slot->generation == 0)
            slot->generation = 1;
        m_free.push_back(static_cast<size_t>(slot - m_slots.data()));
        return object;
    }

private:
    struct Slot {
        uint32_t generation = 1;
        std::shared_ptr<KernelObject> object;
    };

    Slot* Find(HANDLE handle)
    {
        uint64_t value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
        if (value & 3)
            return nullptr;
        value >>= 2;
        uint64_t index = value & kIndexMask;
        uint64_t generation = value >> kIndexBits;
        if (index == 0 || index > m_slots.size())
            return nullptr;
        Slot& slot = m_slots[index - 1];
        if (!slot.object || slot.generation != generation)
            return nullptr;
        return &slot;
    }

    std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::vector<size_t> m_free;
};

// Kernel state outlives static destruction: threads may still run while the process exits.
HandleTable& Handles()
{
    static HandleTable& table = *new HandleTable;
    return table;
}

struct Dispatcher {
    std::mutex mutex;
    std::condition_variable changed;
};

Dispatcher& TheDispatcher()
{
    static Dispatcher& dispatcher = *new Dispatcher;
    return dispatcher;
}

struct NameTable {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<KernelObject>> names;
};

NameTable& Names()
{
    static NameTable& table = *new NameTable;
    return table;
}

} // namespace

std::mutex& DispatcherLock()
{
    return TheDispatcher().mutex;
}

void NotifyWaiters()
{
    TheDispatcher().changed.notify_all();
}

bool WaitForChange(std::unique_lock<std::mutex>& lock, const Deadline* deadline)
{
    if (!deadline) {
        TheDispatcher().changed.wait(lock);
        return true;
    }
    return TheDispatcher().changed.wait_until(lock, *deadline) == std::cv_status::no_timeout;
}

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
    HANDLE handle = Handles().Insert(std::move(object));
    if (!handle)
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return handle;
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    return Handles().Lookup(handle);
}

bool RemoveHandle(HANDLE handle)
{
    return Handles().Remove(handle) != nullptr;
}

std::shared_ptr<KernelObject> FindOrCreateNamedObject(const std::string& name,
                                                      const std::function<std::shared_ptr<KernelObject>()>& make,
                                                      bool& existed)
{
    NameTable& table = Names();
    std::lock_guard lock(table.mutex);
    auto found = table.names.find(name);
    if (found != table.names.end()) {
        if (auto object = found->second.lock()) {
            existed = true;
            return object;
        }
    }
    existed = false;
    auto object = make();
    if (object)
        table.names[name] = object;
    // Forget names whose objects are gone, so the table does not grow without end.
    for (auto it = table.names.begin(); it != table.names.end();)
        it = it->second.expired() ? table.names.erase(it) : std::next(it);
    return object;
}

void SetLastErrorFromErrno(int error)
{
    DWORD code;
    switch (error) {
    case 0: code = ERROR_SUCCESS; break;
    case ENOENT: code = ERROR_FILE_NOT_FOUND; break;
    case ENOTDIR: code = ERROR_PATH_NOT_FOUND; break;
    case EACCES:
    case EPERM: code = ERROR_ACCESS_DENIED; break;
    case EROFS: code = ERROR_WRITE_PROTECT; break;
    case EEXIST: code = ERROR_ALREADY_EXISTS; break;
    case ENOTEMPTY: code = ERROR_DIR_NOT_EMPTY; break;
    case ENOSPC: code = ERROR_DISK_FULL; break;
    case ENAMETOOLONG: code = ERROR_FILENAME_EXCED_RANGE; break;
    case EMFILE:
    case ENFILE: code = ERROR_TOO_MANY_OPEN_FILES; break;
    case ENOMEM: code = ERROR_NOT_ENOUGH_MEMORY; break;
    case EINVAL: code = ERROR_INVALID_PARAMETER; break;
    case EISDIR: code = ERROR_ACCESS_DENIED; break;
    default: code = ERROR_INVALID_FUNCTION; break;
    }
    SetLastError(code);
}

} // namespace yonda::kernel

using namespace yonda::kernel;

DWORD GetLastError()
{
    return tLastError;
}

void SetLastError(DWORD dwErrCode)
{
    tLastError = dwErrCode;
}

BOOL CloseHandle(HANDLE hObject)
{
    // The pseudo handles of the current process and thread need no closing.
    if (hObject == GetCurrentProcess() || hObject == GetCurrentThread())
        return TRUE;
    if (!RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
