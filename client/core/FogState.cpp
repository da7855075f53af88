#include "FogState.h"

#include <cstring>

namespace {
DWORD FloatBits(float value)
{
    DWORD bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
} // namespace

LONG CFogState::Apply(IDirect3DDevice8* device, D3DCOLOR colour) const
{
    constexpr LONG kFailed = static_cast<LONG>(0x80000007);
    if (!device || m_nMode != MODE_VERTEX_RANGE || m_nKind < KIND_LINEAR || m_nKind > KIND_EXP2) {
        return kFailed;
    }
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, colour);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(m_fStart));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(m_fEnd));
    device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(m_fDensity));
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
    static const DWORD kModes[] = {D3DFOG_LINEAR, D3DFOG_EXP, D3DFOG_EXP2};
    device->SetRenderState(D3DRS_FOGVERTEXMODE, kModes[m_nKind - 1]);
    return 0;
}
