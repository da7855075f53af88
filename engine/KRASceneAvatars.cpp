// The scene's avatar operations: each one is the engine's avatar manager's, reached through the
// scene the host holds. Without an avatar manager they answer 0x80000000.
#include "KRAScene.h"

#include "KRAAvatarManager.h"
#include "KRAManager.h"

#include <vector>

namespace {

template <class Call>
LONG WithAvatars(Call&& call)
{
    CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager();
    return pAvatars ? call(*pAvatars) : KRA_E_MISSING_PART;
}

} // namespace

LONG CKRAScene::RenderAvatarPass(unsigned int nCount, _KRA_HANDLE* pAvatars)
{
    return nCount == 0 ? RenderAvatars() : RenderAvatars(nCount, pAvatars);
}

LONG CKRAScene::RenderAvatars()
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        LONG lStatus = m.RenderAvatars();
        return lStatus < 0 ? lStatus : KRA_OK;
    });
}

LONG CKRAScene::RenderAvatars(unsigned int nCount, _KRA_HANDLE* pAvatars)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        // The caller's array is copied first: a message callback may change it meanwhile.
        std::vector<_KRA_HANDLE> vAvatars;
        if (pAvatars && nCount > 0)
            vAvatars.assign(pAvatars, pAvatars + nCount);
        LONG lStatus = m.RenderAvatars(int(vAvatars.size()), vAvatars.data());
        return lStatus < 0 ? lStatus : KRA_OK;
    });
}

LONG CKRAScene::RenderLocalAvatar(_KRA_HANDLE& hAvatar, unsigned int nMotion, D3DXMATRIX& mWorld)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.RenderLocalAvatar(hAvatar, int(nMotion), mWorld); });
}

LONG CKRAScene::SetAvatarPickingPosition(tagPOINT& pt)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        m.SetAvatarPickingPosition(pt);
        return KRA_OK;
    });
}

void CKRAScene::SetAvatarSoftPicking(bool bOn)
{
    // The host calls these only while the engine is created; without it they do nothing.
    if (CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager())
        pAvatars->SetAvatarSoftPicking(bOn);
}

LONG CKRAScene::HasAvatarSoftPicking()
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.HasAvatarSoftPicking(); });
}

void CKRAScene::ResetAvatarSoftPicking(bool bHappened)
{
    if (CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager())
        pAvatars->ResetAvatarSoftPicking(bHappened);
}

LONG CKRAScene::GetPickedAvatarHandle(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem, float& fDistance)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        m.GetPickedAvatarHandle(hAvatar, hItem, fDistance);
        return KRA_OK;
    });
}

LONG CKRAScene::GetAvatar2DPosition(_KRA_HANDLE& hAvatar, float dx, float dy, float dz, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.GetAvatar2DPosition(hAvatar, dx, dy, dz, v); });
}

LONG CKRAScene::FireBreastAnimation(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.FireBreastAnimation(hAvatar); });
}

LONG CKRAScene::TurnOnAutoAnimation(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.TurnOnAutoAnimation(hAvatar); });
}

LONG CKRAScene::TurnOffAutoAnimation(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.TurnOffAutoAnimation(hAvatar); });
}

LONG CKRAScene::LoadAvatar(const char* szFile, _KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        _KRA_HANDLE h = 0;
        LONG lStatus = m.LoadAvatar(szFile, h);
        if (lStatus < 0 || h == 0)
            return KRA_E_FAILED;
        hAvatar = h;
        return KRA_OK;
    });
}

LONG CKRAScene::LoadAvatar(void* pStructure, _KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        _KRA_HANDLE h = 0;
        LONG lStatus = m.LoadAvatar(static_cast<const KRA_AVATAR_STRUCTURE*>(pStructure), h);
        if (lStatus < 0 || h == 0)
            return KRA_E_FAILED;
        hAvatar = h;
        return KRA_OK;
    });
}

LONG CKRAScene::LoadAvatarItem(const char* szFile, DWORD dwItemKind, _KRA_HANDLE& hItem)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        _KRA_HANDLE h = m.LoadKRI(szFile, dwItemKind);
        if (h == 0)
            return KRA_E_FAILED;
        hItem = h;
        return KRA_OK;
    });
}

LONG CKRAScene::UnloadAvatar(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.UnloadAvatar(hAvatar); });
}

LONG CKRAScene::AttachItemToAvatar(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.AttachItemToAvatar(hAvatar, hItem); });
}

LONG CKRAScene::DetachItemFromAvatar(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.DetachItemFromAvatar(hAvatar, hItem); });
}

LONG CKRAScene::GetAvatarStructure(_KRA_HANDLE& hAvatar, void* pStructure)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        return m.GetAvatarStructure(hAvatar, static_cast<KRA_AVATAR_STRUCTURE*>(pStructure));
    });
}

LONG CKRAScene::GetAvatarFrontVector(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        m.GetAvatarFrontVector(hAvatar, v);
        return KRA_OK;
    });
}

LONG CKRAScene::SetItemTexture(const char* szTexture, _KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetItemTexture(szTexture, hAvatar, hItem); });
}

LONG CKRAScene::DeleteItemTexture(const char* szTexture, _KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.DeleteItemTexture(szTexture, hAvatar, hItem); });
}

LONG CKRAScene::GetAvatarMatrix(_KRA_HANDLE& hAvatar, D3DXMATRIX& mOut)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        m.GetAvatarMatrix(hAvatar, mOut);
        return KRA_OK;
    });
}

LONG CKRAScene::SetAvatarMatrix(_KRA_HANDLE& hAvatar, D3DXMATRIX& mIn)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetAvatarMatrix(hAvatar, mIn); });
}

LONG CKRAScene::GetAvatar3DPosition(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.GetAvatar3DPosition(hAvatar, v); });
}

LONG CKRAScene::SetAvatarVertexColor(_KRA_HANDLE& hAvatar, D3DXVECTOR3& vColor)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetAvatarVertexColor(hAvatar, vColor); });
}

LONG CKRAScene::GetItemHandle(_KRA_HANDLE& hAvatar, unsigned int& nCount, _KRA_HANDLE** ppItems)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        DWORD dwCount = 0;
        _KRA_HANDLE* pItems = nullptr;
        m.GetItemHandle(hAvatar, dwCount, pItems);
        nCount = dwCount;
        if (ppItems)
            *ppItems = pItems;
        return KRA_OK;
    });
}

LONG CKRAScene::GetItemCode(_KRA_HANDLE& hItem, DWORD& dwCode)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        dwCode = m.GetItemCode(hItem);
        return KRA_OK;
    });
}

LONG CKRAScene::SetFaceSet(_KRA_HANDLE& hAvatar, float* pfWeights)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetFaceSet(hAvatar, pfWeights); });
}

LONG CKRAScene::LoadInitMotion(const char* szFile, int nKind)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.LoadInitMotion(szFile, nKind); });
}

unsigned int CKRAScene::LoadMotion(const char* szFile, int nKind)
{
    return unsigned(WithAvatars([&](CKRAAvatarManager& m) { return m.LoadMotion(szFile, nKind); }));
}

LONG CKRAScene::GetCurrentMotion(_KRA_HANDLE& hAvatar, int& nMotion)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        nMotion = m.GetCurrentMotion(hAvatar);
        return nMotion == -1 ? KRA_E_INVALID_HANDLE : KRA_OK;
    });
}

LONG CKRAScene::SetMotion(_KRA_HANDLE& hAvatar, int nMotion, int nNextMotion)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetMotion(hAvatar, nMotion, nNextMotion); });
}

LONG CKRAScene::SetLoopMotion(_KRA_HANDLE& hAvatar, bool bLoop)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetLoopMotion(hAvatar, bLoop); });
}

LONG CKRAScene::StartMotion(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.StartMotion(hAvatar); });
}

LONG CKRAScene::GetMotionType(_KRA_HANDLE& hAvatar, int& nType)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        nType = m.GetMotionType(hAvatar);
        return KRA_OK;
    });
}

LONG CKRAScene::SetMotionType(_KRA_HANDLE& hAvatar, int nType)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetMotionType(hAvatar, nType); });
}

LONG CKRAScene::MoveAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.MoveAvatar(hAvatar, v); });
}

LONG CKRAScene::MoveToAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.MoveToAvatar(hAvatar, v); });
}

LONG CKRAScene::RotateAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.RotateAvatar(hAvatar, v); });
}

LONG CKRAScene::MoveAndRotateAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& vPosition, D3DXVECTOR3& vDirection)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.MoveAndRotateAvatar(hAvatar, vPosition, vDirection); });
}

LONG CKRAScene::StopAvatar(_KRA_HANDLE& hAvatar)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.StopAvatar(hAvatar); });
}

LONG CKRAScene::SetWalkSpeedOfAvatar(_KRA_HANDLE& hAvatar, unsigned int nSpeed)
{
    return WithAvatars([&](CKRAAvatarManager& m) { return m.SetWalkSpeedOfAvatar(hAvatar, nSpeed); });
}

LONG CKRAScene::UpdateMoveAvatar(_KRA_HANDLE* pAvatars, unsigned int nCount)
{
    return WithAvatars([&](CKRAAvatarManager& m) {
        // The caller's array is copied first: a message callback may change it meanwhile.
        std::vector<_KRA_HANDLE> vAvatars;
        if (pAvatars && nCount > 0)
            vAvatars.assign(pAvatars, pAvatars + nCount);
        return m.UpdateMoveAvatar(vAvatars.data(), int(vAvatars.size()));
    });
}
