// What the host asks of an avatar beyond loading, drawing, motions and walks: the avatar as a list
// again, textures worn on items in place of their own, its front, and the camera that follows it.
#include "KRAAvatarManager.h"

#include "KRAManager.h"
#include "KRATextureManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

LONG CKRAAvatarManager::GetAvatarStructure(_KRA_HANDLE hAvatar, KRA_AVATAR_STRUCTURE* pStructure) const
{
    const CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    if (!pStructure)
        return KRA_E_INVALID_ARGUMENT;
    pStructure->dwHeader1 = pAvatar->m_adwHeader[0];
    pStructure->dwHeader2 = pAvatar->m_adwHeader[1];
    pStructure->dwAvatarKey = pAvatar->m_adwHeader[2];
    pStructure->dwItemCount = DWORD(pAvatar->m_vItems.size());
    pStructure->pItems = nullptr;
    if (pAvatar->m_vItems.empty())
        return KRA_OK;
    pStructure->pItems = new KRA_AVATAR_ITEM[pAvatar->m_vItems.size()]();
    for (size_t i = 0; i < pAvatar->m_vItems.size(); ++i) {
        KRA_AVATAR_ITEM& out = pStructure->pItems[i];
        const CKRAItemFile* pItem = m_cItems.Lookup(pAvatar->m_vItems[i]);
        out.dwItemKind = pItem ? pItem->Kind() : 0;
        std::snprintf(out.szItemFile, sizeof(out.szItemFile), "%u.KRI", unsigned(pItem ? pItem->ItemCode() : 0));
        if (const CKRAItemTextureOverride* pOverride = pAvatar->FindTextureOverride(pAvatar->m_vItems[i])) {
            out.bTextureOverride = 1;
            std::snprintf(out.szTextureFile, sizeof(out.szTextureFile), "%s", pOverride->szName);
        }
    }
    return KRA_OK;
}

LONG CKRAAvatarManager::SetItemTexture(const char* szTexture, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar || !m_cItems.Lookup(hItem))
        return KRA_E_INVALID_AVATAR;
    if (!szTexture || std::strlen(szTexture) >= sizeof(CKRAItemTextureOverride::szName))
        return KRA_E_INVALID_ARGUMENT;
    if (pAvatar->m_vTextureOverrides.size() >= KRA_TEXTURE_OVERRIDE_MAX)
        return KRA_E_AVATAR_KEYS_FULL;
    CKRAItemTextureOverride o;
    std::snprintf(o.szName, sizeof(o.szName), "%s", szTexture);
    o.hItem = hItem;
    if (CKRATextureManager* pTextures = CKRAManager::GetTextureManager())
        pTextures->LoadAvatarTexture(szTexture, &o.hTexture);
    pAvatar->m_vTextureOverrides.push_back(o);
    return KRA_OK;
}

LONG CKRAAvatarManager::DeleteItemTexture(const char*, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    std::vector<CKRAItemTextureOverride>& v = pAvatar->m_vTextureOverrides;
    auto found = std::find_if(v.begin(), v.end(), [&](const CKRAItemTextureOverride& o) { return o.hItem == hItem; });
    if (found == v.end())
        return KRA_E_MISSING_PART;
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (pTextures && found->hTexture.m_hHandle)
        pTextures->ReleaseTexture(found->hTexture);
    v.erase(found);
    return KRA_OK;
}

LONG CKRAAvatarManager::GetAvatarFrontVector(_KRA_HANDLE hAvatar, D3DXVECTOR3& v) const
{
    const CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    v = pAvatar ? pAvatar->m_vFront : D3DXVECTOR3(0, 0, 0);
    return pAvatar ? KRA_OK : KRA_E_INVALID_AVATAR;
}

CKRALocalCamera* CKRAAvatarManager::ChangeGlobalCameraToLocalCamera(_KRA_HANDLE hAvatar) const
{
    const CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    return pAvatar ? pAvatar->m_pcLocalCamera.get() : nullptr;
}
