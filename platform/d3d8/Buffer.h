// The bytes of a vertex or index buffer: kept on the CPU (so any thread can lock, write and read
// them back), copied into a GL buffer when a draw needs them.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "GlContext.h"
#include "d3d8.h"

namespace yonda::d3d8 {

class BufferBytes {
public:
    explicit BufferBytes(UINT size) : m_bytes(size) {}
    ~BufferBytes();

    UINT Size() const { return UINT(m_bytes.size()); }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT Unlock();
    const BYTE* Data() const { return m_bytes.data(); }
    // The GL buffer with the current bytes; call with a current context under the device lock.
    GLuint Upload();
    // Counts changes, so users can cache what they derived from the bytes.
    uint64_t Generation() const { return m_generation; }

private:
    std::vector<BYTE> m_bytes;
    std::atomic<GLuint> m_gl{0};
    std::atomic<bool> m_changed{true};
    bool m_glSized = false;
    UINT m_dirtyBegin = 0;
    UINT m_dirtyEnd = 0;
    UINT m_locks = 0;
    uint64_t m_generation = 1;
    std::mutex m_mutex;
};

} // namespace yonda::d3d8
