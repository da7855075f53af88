// Checked window handles: a handle is a slot number and the slot's generation, so a handle of a
// destroyed window stays invalid when its slot is reused.
#include "Window.h"

#include <deque>

namespace yonda::user {
namespace {

constexpr uintptr_t kSlotBits = 16;
constexpr uintptr_t kSlotMask = (uintptr_t{1} << kSlotBits) - 1;
constexpr uint16_t kGenerationMask = 0x7FFF;

struct Slot {
    WindowPtr window;
    uint16_t generation = 1;
};

struct Table {
    std::vector<Slot> slots;
    std::deque<size_t> free; // reused oldest first, so a stale handle lives long before a clash
    std::vector<HWND> topLevel;
};

// The table and its lock outlive every static destructor: a thread that ends while the process
// exits still gives its windows back through them.
Table& Handles()
{
    static Table* table = new Table;
    return *table;
}

} // namespace

std::recursive_mutex& UserLock()
{
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

std::vector<HWND>& TopLevelOrder()
{
    return Handles().topLevel;
}

WindowPtr FindWindowPtr(HWND hwnd)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    size_t index = (value & kSlotMask);
    if (index == 0)
        return nullptr;
    --index;
    std::lock_guard lock(UserLock());
    auto& table = Handles();
    if (index >= table.slots.size())
        return nullptr;
    const Slot& slot = table.slots[index];
    if (!slot.window || slot.window->handle != hwnd)
        return nullptr;
    return slot.window;
}

HWND AddWindow(WindowPtr window)
{
    std::lock_guard lock(UserLock());
    auto& table = Handles();
    size_t index;
    // Keep a few slots in reserve before reusing, so a just-destroyed handle does not come back.
    if (table.free.size() > 64 || (!table.free.empty() && table.slots.size() >= kSlotMask - 1)) {
        index = table.free.front();
        table.free.pop_front();
    } else if (table.slots.size() < kSlotMask - 1) {
        index = table.slots.size();
        table.slots.emplace_back();
    } else {
        return nullptr;
    }
    Slot& slot = table.slots[index];
    uintptr_t value = (uintptr_t{slot.generation} << kSlotBits) | (index + 1);
    HWND hwnd = reinterpret_cast<HWND>(value);
    window->handle = hwnd;
    slot.window = std::move(window);
    return hwnd;
}

void RemoveWindow(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto& table = Handles();
    size_t index = (reinterpret_cast<uintptr_t>(hwnd) & kSlotMask) - 1;
    if (index >= table.slots.size() || !table.slots[index].window || table.slots[index].window->handle != hwnd)
        return;
    Slot& slot = table.slots[index];
    slot.window.reset();
    slot.generation = static_cast<uint16_t>((slot.generation % kGenerationMask) + 1);
    table.free.push_back(index);
    std::erase(table.topLevel, hwnd);
}

std::vector<WindowPtr> AllWindows()
{
    std::lock_guard lock(UserLock());
    std::vector<WindowPtr> out;
    for (auto& slot : Handles().slots)
        if (slot.window)
            out.push_back(slot.window);
    return out;
}

POINT ClientOrigin(const Window& window)
{
    std::lock_guard lock(UserLock());
    POINT origin{window.rect.left, window.rect.top};
    HWND parent = window.parent;
    while (parent) {
        auto p = FindWindowPtr(parent);
        if (!p)
            break;
        origin.x += p->rect.left;
        origin.y += p->rect.top;
        parent = p->parent;
    }
    return origin;
}

RECT ScreenRect(const Window& window)
{
    POINT o = ClientOrigin(window);
    return RECT{o.x, o.y, o.x + (window.rect.right - window.rect.left), o.y + (window.rect.bottom - window.rect.top)};
}

bool IsVisibleChain(const Window& window)
{
    std::lock_guard lock(UserLock());
    if (!(window.style & WS_VISIBLE))
        return false;
    HWND parent = window.parent;
    while (parent) {
        auto p = FindWindowPtr(parent);
        if (!p || !(p->style & WS_VISIBLE))
            return false;
        parent = p->parent;
    }
    return true;
}

bool IsEnabledChain(const Window& window)
{
    std::lock_guard lock(UserLock());
    if (window.style & WS_DISABLED)
        return false;
    HWND parent = window.parent;
    while (parent) {
        auto p = FindWindowPtr(parent);
        if (!p || (p->style & WS_DISABLED))
            return false;
        parent = p->parent;
    }
    return true;
}

HWND RootOf(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    while (w && w->parent) {
        auto p = FindWindowPtr(w->parent);
        if (!p)
            break;
        w = p;
    }
    return w ? w->handle : nullptr;
}

} // namespace yonda::user
