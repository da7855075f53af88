// The drawing half of the avatar manager: each avatar placed, culled, posed by its motion, its
// items skinned on the CPU, its face, blink and breast animation applied, picked, and drawn with
// its textures, tint and flat shadow.
#include "KRAAvatarManager.h"

#include "KRAAvatarAnimation.h"
#include "KRAFrustum.h"
#include "KRAManager.h"
#include "KRATextureManager.h"
#include "KRAWarning.h"

#include <algorithm>
#include <cstring>

namespace {

// Half the width and the height of the box an avatar is culled by.
constexpr float kCullHalfWidth = 10;
constexpr float kCullHeight = 100;
// How far each avatar's flat shadow lies above the one drawn before it.
constexpr float kShadowLayerStep = 1.01f;
constexpr DWORD kShadowAlphaReference = 8;
constexpr DWORD kItemAlphaReference = 120;
constexpr size_t kBlinkTarget = 4;
constexpr int kHeadBone = 6;

DWORD TintColor(const D3DXVECTOR3& v)
{
    auto channel = [](float f) { return DWORD(std::clamp(f, 0.f, 1.f) * 255.f); };
    return 0xFF000000u | channel(v.x) << 16 | channel(v.y) << 8 | channel(v.z);
}

} // namespace

struct CKRAAvatarManager::RenderPass {
    IDirect3DDevice8* pDevice = nullptr;
    bool bAdvanceWalks = false; // every avatar, walks first
    bool bLocal = false;        // a preview: the given motion and matrix, nothing else
    int nLocalMotion = 0;
    D3DXMATRIX mLocalWorld;
    bool bPicking = false;
    int nDrawn = 0; // avatars drawn so far: the shadow layer of the next one
    // Per avatar.
    bool bHasRay = false;
    D3DXVECTOR3 vOrigin, vDirection;
    bool bTint = false;
    DWORD dwTint = 0;
};

LONG CKRAAvatarManager::RenderAvatars()
{
    // Callbacks from walks and motions may load or unload avatars: the order is fixed first and
    // each handle is looked up again when its turn comes.
    std::vector<_KRA_HANDLE> vHandles;
    vHandles.reserve(m_mAvatarKeys.size());
    for (const auto& [dwKey, h] : m_mAvatarKeys)
        vHandles.push_back(h);
    return RenderList(vHandles, true);
}

LONG CKRAAvatarManager::RenderAvatars(int nCount, const _KRA_HANDLE* pHandles)
{
    if (nCount < 0)
        return KRA_E_INVALID_ARGUMENT;
    // An empty list draws nothing; it is still a drawing call, so soft picking starts afresh.
    std::vector<_KRA_HANDLE> vHandles;
    if (pHandles && nCount > 0)
        vHandles.assign(pHandles, pHandles + nCount);
    return RenderList(vHandles, false);
}

LONG CKRAAvatarManager::RenderList(const std::vector<_KRA_HANDLE>& vHandles, bool bAdvanceWalks)
{
    RenderPass pass;
    pass.pDevice = CKRAManager::GetD3DDevice();
    if (!pass.pDevice)
        return KRA_OK;
    pass.bAdvanceWalks = bAdvanceWalks;
    BeginPicking();
    pass.bPicking = m_bSoftPicking;
    for (_KRA_HANDLE h : vHandles)
        RenderAvatar(h, pass);
    EndPicking();
    return KRA_OK;
}

LONG CKRAAvatarManager::RenderLocalAvatar(_KRA_HANDLE hAvatar, int nMotion, const D3DXMATRIX& mWorld)
{
    if (!m_cAvatars.Lookup(hAvatar))
        return KRA_E_INVALID_AVATAR;
    RenderPass pass;
    pass.pDevice = CKRAManager::GetD3DDevice();
    if (!pass.pDevice)
        return KRA_OK;
    pass.bLocal = true;
    pass.nLocalMotion = nMotion;
    pass.mLocalWorld = mWorld;
    RenderAvatar(hAvatar, pass);
    return KRA_OK;
}

void CKRAAvatarManager::RenderAvatar(_KRA_HANDLE hAvatar, RenderPass& pass)
{
    if (pass.bAdvanceWalks)
        UpdateMoveAvatar(&hAvatar, 1);
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return;
    IDirect3DDevice8* pDevice = pass.pDevice;
    D3DXMATRIX mSaved, mWorld;
    pDevice->GetTransform(D3DTS_WORLD, &mSaved);
    const D3DXMATRIX& mAvatar = pass.bLocal ? pass.mLocalWorld : pAvatar->m_mWorld;
    D3DXMatrixMultiply(&mWorld, &mAvatar, &mSaved);
    pDevice->SetTransform(D3DTS_WORLD, &mWorld);

    if (!pass.bLocal) {
        const CKRAFrustum* pFrustum = CKRAManager::GetFrustum();
        float x = mAvatar._41, y = mAvatar._42, z = mAvatar._43;
        if (pFrustum && !pFrustum->IsBoxVisible(x - kCullHalfWidth, y, z - kCullHalfWidth, x + kCullHalfWidth,
                                                y + kCullHeight, z + kCullHalfWidth)) {
            pDevice->SetTransform(D3DTS_WORLD, &mSaved);
            return;
        }
    }

    // Pose. A preview plays the given motion into itself; the avatar's own choice is put back
    // afterwards unless the end-of-motion callback changed it meanwhile.
    bool bSample = pass.bLocal || pAvatar->m_bPlaying;
    if (bSample) {
        int nMotion = pAvatar->m_nMotion, nNext = pAvatar->m_nNextMotion;
        if (pass.bLocal)
            pAvatar->m_nMotion = pAvatar->m_nNextMotion = pass.nLocalMotion;
        const CKRAMotion* pMotion = Motion(pAvatar->m_nMotionKind, pAvatar->m_nMotion);
        double fElapsed = (KRAAvatarClock() - pAvatar->m_fClockBase - pAvatar->m_fMotionStart) * 1000.0;
        bool bPoses = pAvatar->m_bPlaying && pMotion && fElapsed < double(pMotion->Duration());
        SampleMotion(hAvatar);
        pAvatar = m_cAvatars.Lookup(hAvatar);
        if (!pAvatar) {
            pDevice->SetTransform(D3DTS_WORLD, &mSaved);
            return;
        }
        pAvatar->m_bPosed |= bPoses;
        if (pass.bLocal && pAvatar->m_nMotion == pass.nLocalMotion && pAvatar->m_nNextMotion == pass.nLocalMotion) {
            pAvatar->m_nMotion = nMotion;
            pAvatar->m_nNextMotion = nNext;
        }
    }

    // A motion that ended without loop leaves the bind pose; so does one never sampled.
    D3DXMATRIX amSkin[KRA_MOTION_TRACK_MAX];
    const D3DXMATRIX* pInverseBind = InverseBindPose(pAvatar->m_nMotionKind);
    bool bSkin = pInverseBind && pAvatar->m_bPosed && (pass.bLocal || pAvatar->m_bPlaying);
    if (bSkin)
        KRASkinMatrices(pInverseBind, pAvatar->m_amBones, amSkin, KRA_MOTION_TRACK_MAX);

    pass.bHasRay = pass.bPicking && PickingRay(pDevice, pass.vOrigin, pass.vDirection);
    pass.bTint = !pass.bLocal && pAvatar->m_bTint;
    pass.dwTint = TintColor(pAvatar->m_vColor);
    for (size_t i = 0; i < pAvatar->m_vItems.size(); ++i)
        RenderItem(*pAvatar, hAvatar, pAvatar->m_vItems[i], bSkin ? amSkin : nullptr, pass);
    ++pass.nDrawn;
    pDevice->SetTransform(D3DTS_WORLD, &mSaved);
}

void CKRAAvatarManager::RenderItem(CKRAAvatar& avatar, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem, const D3DXMATRIX* pSkin,
                                   RenderPass& pass)
{
    CKRAItemFile* pItem = m_cItems.Lookup(hItem);
    if (!pItem)
        return;
    IDirect3DDevice8* pDevice = pass.pDevice;
    const DWORD dwKind = pItem->Kind();
    const bool bAnimate = pass.bLocal || avatar.m_bAutoAnimation;
    const double fNow = KRAAvatarClock();

    float fSwell = 0, fBounce = 0, fBlink = 0;
    if (bAnimate && dwKind == KRA_ITEM_UPPER_BODY) {
        fSwell = KRABreastSwell(fNow - avatar.m_fClockBase);
        fBounce = KRABreastBounceValue(avatar, fNow);
    }
    if (bAnimate && dwKind == KRA_ITEM_FACE)
        fBlink = KRABlinkValue(avatar, fNow);

    const CKRAItemTextureOverride* pOverride = avatar.FindTextureOverride(hItem);
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    const std::vector<KRA_MORPH_TARGET_DATA>& vFaceSet = pItem->FaceSet();
    std::vector<CKRAAtomObject>& vMeshes = pItem->Meshes();

    for (size_t m = 0; m < vMeshes.size(); ++m) {
        CKRAAtomObject& mesh = vMeshes[m];
        CKRAAtomDevice& device = mesh.cDevice;
        if (!device.Ready())
            continue;
        const KRA_ITEM_MESH_DATA& data = mesh.cData;
        const size_t nVertices = data.VertexCount();
        const bool bShadow = data.strName == "shadow";
        const float* pPositions = data.vPositions.data();
        bool bMoved = false;
        auto workSpace = [&]() {
            if (m_vPositions.size() < nVertices * 3)
                m_vPositions.resize(nVertices * 3);
            if (!bMoved) {
                std::memcpy(m_vPositions.data(), data.vPositions.data(), nVertices * 3 * sizeof(float));
                pPositions = m_vPositions.data();
                bMoved = true;
            }
            return m_vPositions.data();
        };

        // Heads and held items follow their bone whole, shadow and all.
        const int nRigid = dwKind == KRA_ITEM_FACE ? kHeadBone : dwKind == KRA_ITEM_HELD ? mesh.nRigidBone : -1;
        const bool bRigid = pSkin && nRigid >= 0 && nRigid < int(KRA_MOTION_TRACK_MAX);
        if (bRigid) {
            if (m_vPositions.size() < nVertices * 3)
                m_vPositions.resize(nVertices * 3);
            KRATransformPositions(data.vPositions.data(), nVertices, pSkin[nRigid], m_vPositions.data());
            pPositions = m_vPositions.data();
            bMoved = true;
        }
        if (bShadow) {
            float fLift = float(pass.nDrawn) * kShadowLayerStep;
            if (fLift != 0) {
                float* p = workSpace();
                for (size_t v = 0; v < nVertices; ++v)
                    p[3 * v + 1] += fLift;
            }
        } else {
            if (pSkin && !bRigid) {
                if (m_vPositions.size() < nVertices * 3)
                    m_vPositions.resize(nVertices * 3);
                if (KRAIsSkinnedItem(dwKind) && !mesh.cSkin.Empty()) {
                    KRASkinPositions(mesh.cSkin, data.vPositions.data(), pSkin, m_vPositions.data());
                    pPositions = m_vPositions.data();
                    bMoved = true;
                }
            }
            if (dwKind == KRA_ITEM_UPPER_BODY && bAnimate && (!mesh.vSwell.empty() || !mesh.vBounce.empty())) {
                float* p = workSpace();
                KRAApplySwell(mesh.vSwell, fSwell, p);
                if (fBounce > 0)
                    KRAApplyBounce(mesh.vBounce, fBounce, p);
            }
            if (dwKind == KRA_ITEM_FACE && int(m) == pItem->FaceMesh() && !vFaceSet.empty()) {
                float* p = workSpace();
                if (fBlink > 0 && vFaceSet.size() > kBlinkTarget)
                    KRAApplyMorph(vFaceSet[kBlinkTarget], fBlink, p);
                if (!pass.bLocal) {
                    size_t nTargets = std::min(vFaceSet.size(), KRA_FACE_WEIGHT_COUNT);
                    for (size_t t = 0; t < nTargets; ++t)
                        KRAApplyMorph(vFaceSet[t], avatar.m_afFaceWeights[t], p);
                }
            }
            if (pass.bHasRay)
                PickItem(hItem, hAvatar, pPositions, nVertices, pass.vOrigin, pass.vDirection);
        }

        // The stream gets this avatar's pose, or the bind pose back when another avatar's is in it.
        if (bMoved)
            device.UploadPositions(pPositions, true);
        else
            device.RestorePositions(data);
        if (!bShadow && pass.bTint)
            device.FillColors(pass.dwTint);
        else if (device.ColorsTinted())
            device.RestoreColors();

        // Stage 0: the texture modulated by the vertex colour, so the tint shows on the texture.
        bool bAlpha = false;
        CKRAHandle<tagKRADS> hTexture;
        if (data.dwMaterial < pItem->Materials().size() && !pItem->Materials()[data.dwMaterial].vTextures.empty()) {
            const CKRAMaterialTexture& first = pItem->Materials()[data.dwMaterial].vTextures[0];
            bAlpha = first.bAlpha;
            hTexture = first.hTexture;
        }
        if (pOverride)
            hTexture = pOverride->hTexture;
        IDirect3DTexture8* pTexture = nullptr;
        if (hTexture.m_hHandle == 0)
            KRATrace("== CKRAAtomObject::RenderAtom : Texture Handle is NULL!\n");
        else if (pTextures)
            pTexture = pTextures->GetTexture(hTexture);

        pDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        pDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        if (bAlpha) {
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            if (bShadow) {
                pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
                pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
                pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            }
            pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
            pDevice->SetRenderState(D3DRS_ALPHAREF, bShadow ? kShadowAlphaReference : kItemAlphaReference);
            pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        } else {
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
        pDevice->SetTexture(0, pTexture);
        device.Draw(pDevice);
        if (bAlpha) {
            pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
            pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        }
    }
}

LONG CKRAAvatarManager::CreateDeviceObject()
{
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    m_cItems.ForEach([&](_KRA_HANDLE, CKRAItemFile& item) { item.CreateDeviceObject(pDevice); });
    return KRA_OK;
}

LONG CKRAAvatarManager::DestroyDeviceObject()
{
    m_cItems.ForEach([&](_KRA_HANDLE, CKRAItemFile& item) { item.DestroyDeviceObject(); });
    return KRA_OK;
}
