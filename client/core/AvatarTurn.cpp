#include "AvatarTurn.h"

#include <cmath>

namespace {
constexpr float kSameDirection = 0.001f; // radians
} // namespace

float AvatarTurnDegrees(const D3DXVECTOR3& front, const D3DXVECTOR3& wanted)
{
    D3DXVECTOR3 from = front, to = wanted;
    if (!std::isfinite(to.x) || !std::isfinite(to.y) || !std::isfinite(to.z) || D3DXVec3Length(&to) <= 0.0f ||
        D3DXVec3Length(&from) <= 0.0f) {
        return 0.0f;
    }
    D3DXVec3Normalize(&from, &from);
    D3DXVec3Normalize(&to, &to);
    const float cosine = std::fmax(-1.0f, std::fmin(1.0f, D3DXVec3Dot(&from, &to)));
    const float angle = std::acos(cosine);
    if (cosine >= 1.0f || angle <= kSameDirection) {
        return 0.0f;
    }
    D3DXVECTOR3 cross;
    D3DXVec3Cross(&cross, &from, &to);
    if (cross.y == 0.0f) {
        return 180.0f;
    }
    const float degrees = angle * 180.0f / D3DX_PI;
    return cross.y > 0.0f ? degrees : -degrees;
}
