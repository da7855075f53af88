// What every resource shares: its device (kept alive while the resource lives) and its pool.
// Default-pool resources are known to the device, which must not Reset while the program
// holds any of them.
#pragma once

// Users include Device.h where resources are made or destroyed: Ref<Device> needs the whole type.

#include "ComObject.h"
#include "d3d8.h"

namespace yonda::d3d8 {

class Device;

// The device's list of default-pool resources; defined by the device.
void TrackDefaultPool(Device* device, RefCounted* resource, bool add);
HRESULT DeviceInterface(Device* device, IDirect3DDevice8** ppDevice);

template <class Interface>
class Resource : public ComObject<Interface> {
public:
    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override { return DeviceInterface(m_device.Get(), ppDevice); }
    Device* Owner() const { return m_device.Get(); }
    D3DPOOL Pool() const { return m_pool; }

protected:
    Resource(Device* device, D3DPOOL pool) : m_device(device), m_pool(pool)
    {
        if (m_pool == D3DPOOL_DEFAULT)
            TrackDefaultPool(device, this, true);
    }
    ~Resource() override
    {
        if (m_pool == D3DPOOL_DEFAULT)
            TrackDefaultPool(m_device.Get(), this, false);
    }

    Ref<Device> m_device;
    D3DPOOL m_pool;
};

} // namespace yonda::d3d8
