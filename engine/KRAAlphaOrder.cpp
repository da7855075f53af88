#include "KRAAlphaOrder.h"

#include <algorithm>
#include <utility>

void KRAOrderFarthestFirst(const std::vector<D3DXVECTOR3>& vPositions, const D3DXVECTOR3& vEye,
                           std::vector<size_t>& vOrder)
{
    std::vector<std::pair<float, size_t>> vKeyed(vPositions.size());
    for (size_t i = 0; i < vPositions.size(); ++i) {
        D3DXVECTOR3 d = vPositions[i] - vEye;
        vKeyed[i] = {D3DXVec3LengthSq(&d), i};
    }
    // A stable sort: the same order as picking the strictly farthest one again and again, in
    // n log n instead of n squared.
    std::stable_sort(vKeyed.begin(), vKeyed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    vOrder.resize(vKeyed.size());
    for (size_t i = 0; i < vKeyed.size(); ++i)
        vOrder[i] = vKeyed[i].second;
}
