// Reference counting for the stand-in's interfaces. The program's references (AddRef/Release)
// and the layer's own (a device binding a texture, a surface keeping its texture) are counted
// apart: Reset must know whether the program still holds a resource, whatever the device binds.
#pragma once

#include <atomic>
#include <utility>

#include "windef.h"

namespace yonda::d3d8 {

class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    virtual ~RefCounted() = default;

    ULONG AddPublic()
    {
        m_total.fetch_add(1);
        return m_public.fetch_add(1) + 1;
    }
    // A release beyond the program's references is ignored rather than freeing the object twice.
    ULONG ReleasePublic()
    {
        ULONG count = m_public.load();
        do {
            if (count == 0)
                return 0;
        } while (!m_public.compare_exchange_weak(count, count - 1));
        if (count == 1)
            OnPublicReleased();
        ReleaseInternal();
        return count - 1;
    }
    void AddInternal() { m_total.fetch_add(1); }
    void ReleaseInternal()
    {
        if (m_total.fetch_sub(1) == 1)
            delete this;
    }
    ULONG PublicReferences() const { return m_public.load(); }

protected:
    // The program let go of its last reference; the layer may still hold the object.
    virtual void OnPublicReleased() {}

private:
    std::atomic<ULONG> m_public{1};
    std::atomic<ULONG> m_total{1};
};

// The COM face of an object: IUnknown's three calls over the counts above.
template <class Interface>
class ComObject : public RefCounted, public Interface {
public:
    HRESULT QueryInterface(REFIID, void** ppvObj) override
    {
        if (!ppvObj)
            return E_POINTER;
        *ppvObj = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddPublic(); }
    ULONG Release() override { return ReleasePublic(); }
};

// The layer's own strong reference to an object.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* object) : m_object(object)
    {
        if (m_object)
            m_object->AddInternal();
    }
    Ref(const Ref& other) : Ref(other.m_object) {}
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    Ref& operator=(Ref other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~Ref()
    {
        if (m_object)
            m_object->ReleaseInternal();
    }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const Ref& other) const { return m_object == other.m_object; }
    void Reset() { *this = Ref(); }

private:
    T* m_object = nullptr;
};

} // namespace yonda::d3d8
