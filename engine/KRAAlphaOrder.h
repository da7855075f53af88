// The order of the alpha pass: blended objects are drawn farthest from the eye first, so each one
// blends over what lies behind it; objects at the same distance keep their list order.
#pragma once

#include <d3dx8.h>

#include <cstddef>
#include <vector>

// Indices into vPositions, farthest first.
void KRAOrderFarthestFirst(const std::vector<D3DXVECTOR3>& vPositions, const D3DXVECTOR3& vEye,
                           std::vector<size_t>& vOrder);
