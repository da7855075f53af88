#include "Buffer.h"

#include <algorithm>

namespace yonda::d3d8 {

BufferBytes::~BufferBytes()
{
    GlContext::DeleteBuffer(m_gl.load());
}

HRESULT BufferBytes::Lock(UINT offset, UINT size, BYTE** data, DWORD flags)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    std::lock_guard lock(m_mutex);
    if (offset > m_bytes.size())
        return D3DERR_INVALIDCALL;
    // Size 0 locks from the offset to the end.
    UINT end = size == 0 ? UINT(m_bytes.size()) : offset + size;
    if (end > m_bytes.size() || end < offset)
        return D3DERR_INVALIDCALL;
    if (!(flags & D3DLOCK_READONLY)) {
        m_changed = true;
        // A discard may reuse the bytes as they are: the program rewrites what it draws.
        if (m_dirtyBegin == m_dirtyEnd) {
            m_dirtyBegin = offset;
            m_dirtyEnd = end;
        } else {
            m_dirtyBegin = std::min(m_dirtyBegin, offset);
            m_dirtyEnd = std::max(m_dirtyEnd, end);
        }
        ++m_generation;
    }
    ++m_locks;
    *data = m_bytes.data() + offset;
    return D3D_OK;
}

HRESULT BufferBytes::Unlock()
{
    std::lock_guard lock(m_mutex);
    if (m_locks == 0)
        return D3DERR_INVALIDCALL;
    --m_locks;
    ++m_generation;
    return D3D_OK;
}

GLuint BufferBytes::Upload()
{
    // Most draws find the bytes as they were last time.
    if (!m_changed.load())
        return m_gl.load();
    std::lock_guard lock(m_mutex);
    m_changed = false;
    if (!m_gl.load()) {
        GLuint name = 0;
        glGenBuffers(1, &name);
        m_gl = name;
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_gl.load());
    if (!m_glSized) {
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(std::max<size_t>(m_bytes.size(), 4)), m_bytes.data(), GL_DYNAMIC_DRAW);
        m_glSized = true;
    } else if (m_dirtyBegin < m_dirtyEnd) {
        glBufferSubData(GL_ARRAY_BUFFER, m_dirtyBegin, m_dirtyEnd - m_dirtyBegin, m_bytes.data() + m_dirtyBegin);
    }
    m_dirtyBegin = m_dirtyEnd = 0;
    // Still locked: the program may write more before it unlocks.
    if (m_locks > 0)
        m_changed = true;
    return m_gl.load();
}

} // namespace yonda::d3d8
