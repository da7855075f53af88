// Global memory blocks, as the clipboard hands text around: a checked handle that owns its
// bytes; GlobalLock gives the pointer.
#include "KernelObject.h"

#include <atomic>
#include <vector>

using namespace yonda::kernel;

namespace {

class MemoryBlock : public KernelObject {
public:
    explicit MemoryBlock(size_t size) : bytes(size ? size : 1, 0), size(size) {}
    std::vector<unsigned char> bytes;
    size_t size;
    std::atomic<int> locks{0};
};

} // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    try {
        // Zeroed whatever the flags: no stale bytes ever leave through the clipboard.
        return InsertHandle(std::make_shared<MemoryBlock>(dwBytes));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    auto block = LookupHandleAs<MemoryBlock>(hMem);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    auto block = LookupHandleAs<MemoryBlock>(hMem);
    if (!block)
        return FALSE;
    int before = block->locks.load();
    while (before > 0 && !block->locks.compare_exchange_weak(before, before - 1)) {
    }
    // As on the platform: FALSE with NO_ERROR once the block is no longer locked.
    SetLastError(NO_ERROR);
    return before > 1 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem)
{
    auto block = LookupHandleAs<MemoryBlock>(hMem);
    return block ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    if (!LookupHandleAs<MemoryBlock>(hMem) || !CloseHandle(hMem))
        return hMem;
    return nullptr;
}
