#include "KRAAvatarSkin.h"

#include <cmath>
#include <cstring>

void KRABuildSkinPlan(const std::vector<KRA_BONE_BINDING_DATA>& vBindings, DWORD dwVertexCount, KRA_SKIN_PLAN& plan)
{
    plan.vFirst.assign(size_t(dwVertexCount) + 1, 0);
    plan.vBone.clear();
    plan.vWeight.clear();
    // Count per vertex, turn the counts into starts, then place each influence.
    for (const KRA_BONE_BINDING_DATA& binding : vBindings)
        for (DWORD v : binding.vVertices)
            if (v < dwVertexCount)
                ++plan.vFirst[size_t(v) + 1];
    for (size_t v = 0; v < dwVertexCount; ++v)
        plan.vFirst[v + 1] += plan.vFirst[v];
    size_t nTotal = plan.vFirst[dwVertexCount];
    plan.vBone.resize(nTotal);
    plan.vWeight.resize(nTotal);
    std::vector<uint32_t> vNext(plan.vFirst.begin(), plan.vFirst.end() - 1);
    for (const KRA_BONE_BINDING_DATA& binding : vBindings) {
        for (size_t i = 0; i < binding.vVertices.size(); ++i) {
            DWORD v = binding.vVertices[i];
            if (v >= dwVertexCount)
                continue;
            uint32_t k = vNext[v]++;
            plan.vBone[k] = uint8_t(binding.dwBone);
            plan.vWeight[k] = i < binding.vWeights.size() ? binding.vWeights[i] : 0.f;
        }
    }
}

void KRASkinMatrices(const D3DXMATRIX* pInverseBind, const D3DXMATRIX* pBones, D3DXMATRIX* pSkin, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i)
        D3DXMatrixMultiply(&pSkin[i], &pInverseBind[i], &pBones[i]);
}

// The vertex loops are built twice, for processors with fused multiply-add and for any other, and
// the loader picks the one that fits the machine.
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !defined(__clang__)
#define KRA_SKIN_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define KRA_SKIN_CLONES
#endif

namespace {

// Four floats in one register: a matrix row, or a point with a spare lane. A row vector times a
// matrix is then x * row 1 + y * row 2 + z * row 3 + row 4: four vector steps instead of twelve.
typedef float Lanes __attribute__((vector_size(16)));

inline Lanes Row(const D3DXMATRIX& m, int r)
{
    Lanes v;
    std::memcpy(&v, &m.m[r][0], sizeof(v));
    return v;
}

inline Lanes Place(const D3DXMATRIX& m, float x, float y, float z)
{
    return Row(m, 0) * x + Row(m, 1) * y + Row(m, 2) * z + Row(m, 3);
}

inline void Store(float* p, Lanes v)
{
    p[0] = v[0];
    p[1] = v[1];
    p[2] = v[2];
}

// All four lanes at once: the spare one lands on the next vertex's x, which is written after it.
inline void StoreWide(float* p, Lanes v)
{
    std::memcpy(p, &v, sizeof(v));
}

} // namespace

KRA_SKIN_CLONES void KRASkinPositions(const KRA_SKIN_PLAN& plan, const float* __restrict pBind, const D3DXMATRIX* pSkin,
                                      float* __restrict pOut)
{
    size_t nVertices = plan.vFirst.empty() ? 0 : plan.vFirst.size() - 1;
    const uint32_t* pFirst = plan.vFirst.data();
    const uint8_t* pBone = plan.vBone.data();
    const float* pWeight = plan.vWeight.data();
    auto skin = [&](size_t v) {
        const float x = pBind[3 * v], y = pBind[3 * v + 1], z = pBind[3 * v + 2];
        Lanes sum = {0, 0, 0, 0};
        for (uint32_t k = pFirst[v], kEnd = pFirst[v + 1]; k < kEnd; ++k)
            sum += Place(pSkin[pBone[k]], x, y, z) * pWeight[k];
        return sum;
    };
    if (nVertices == 0)
        return;
    for (size_t v = 0; v + 1 < nVertices; ++v)
        StoreWide(pOut + 3 * v, skin(v));
    Store(pOut + 3 * (nVertices - 1), skin(nVertices - 1));
}

KRA_SKIN_CLONES void KRATransformPositions(const float* __restrict pIn, size_t nVertices, const D3DXMATRIX& m,
                                           float* __restrict pOut)
{
    const Lanes r0 = Row(m, 0), r1 = Row(m, 1), r2 = Row(m, 2), r3 = Row(m, 3);
    auto place = [&](size_t v) { return r0 * pIn[3 * v] + r1 * pIn[3 * v + 1] + r2 * pIn[3 * v + 2] + r3; };
    if (nVertices == 0)
        return;
    for (size_t v = 0; v + 1 < nVertices; ++v)
        StoreWide(pOut + 3 * v, place(v));
    Store(pOut + 3 * (nVertices - 1), place(nVertices - 1));
}

void KRAApplyMorph(const KRA_MORPH_TARGET_DATA& target, float fWeight, float* pPositions)
{
    size_t n = target.vVertices.size();
    if (target.vOffsets.size() / 3 < n)
        n = target.vOffsets.size() / 3;
    for (size_t i = 0; i < n; ++i) {
        float* p = pPositions + 3 * size_t(target.vVertices[i]);
        p[0] -= fWeight * target.vOffsets[3 * i];
        p[1] -= fWeight * target.vOffsets[3 * i + 1];
        p[2] -= fWeight * target.vOffsets[3 * i + 2];
    }
}

void KRAApplySwell(const std::vector<DWORD>& vVertices, float fSwell, float* pPositions)
{
    float fScale = 1 + 0.01f * fSwell;
    for (DWORD v : vVertices) {
        pPositions[3 * size_t(v) + 1] *= fScale;
        pPositions[3 * size_t(v) + 2] *= fScale;
    }
}

void KRAApplyBounce(const std::vector<DWORD>& vVertices, float fBounce, float* pPositions)
{
    float fScale = fBounce >= 0.5f ? 1 + fBounce * 0.01f : 1 - fBounce * 0.01f;
    for (DWORD v : vVertices)
        for (int c = 0; c < 3; ++c)
            pPositions[3 * size_t(v) + c] *= fScale;
}

float KRABreastSwell(double fSeconds)
{
    double s = std::sin(fSeconds * 125.0 * 0.017453293);
    return s > 0 ? float(s) : 0.f;
}
