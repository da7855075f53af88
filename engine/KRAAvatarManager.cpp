#include "KRAAvatarManager.h"

#include "KRAAvatarListFormat.h"
#include "KRAFile.h"
#include "KRAManager.h"
#include "KRATextureManager.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr size_t KRA_PATH_MAX = 255;

CKRATextureManager* Textures()
{
    return CKRAManager::GetTextureManager();
}

} // namespace

LONG CKRAAvatarManager::Create(const char* szPath, int nKindCount, int nMotionCapacity)
{
    if (!szPath)
        return KRA_E_FAILED;
    if (std::strlen(szPath) >= KRA_PATH_MAX || nKindCount < 0 || nMotionCapacity < 0)
        return KRA_E_INVALID_ARGUMENT;
    m_strFolder = szPath;
    std::srand(unsigned(std::time(nullptr)));
    m_vKinds.clear();
    m_vKinds.resize(size_t(nKindCount));
    m_nMotionCapacity = size_t(nMotionCapacity);
    return KRA_OK;
}

LONG CKRAAvatarManager::Destroy()
{
    m_cAvatars.Destroy([&](CKRAAvatar& avatar) { ReleaseAvatar(avatar); });
    m_mAvatarKeys.clear();
    m_cItems.Destroy([](CKRAItemFile& item) { item.Release(Textures()); });
    m_vKinds.clear();
    return KRA_OK;
}

_KRA_HANDLE CKRAAvatarManager::LoadKRI(const char* szPath, DWORD dwKind)
{
    uint64_t nSize = 0;
    if (!szPath || !KRAOpenFileForReading(szPath, nSize)) {
        OutputDebugStringA("== CKRAAvatarManager::LoadKRI : File Not Found!\n");
        return 0;
    }
    _KRA_HANDLE h = 0;
    if (m_cItems.Load(szPath, h, [&](CKRAItemFile& item) {
            LONG l = item.Read(szPath, dwKind, Textures());
            if (l != KRA_OK)
                item.Release(Textures());
            return l;
        }) != KRA_OK)
        return 0;
    return h;
}

LONG CKRAAvatarManager::UnloadKRI(_KRA_HANDLE hItem)
{
    if (!m_cItems.Lookup(hItem))
        return KRA_E_INVALID_HANDLE;
    return m_cItems.Unload(hItem, [](CKRAItemFile& item) {
        item.Release(Textures());
        return KRA_OK;
    });
}

DWORD CKRAAvatarManager::GetItemCode(_KRA_HANDLE hItem) const
{
    const CKRAItemFile* pItem = m_cItems.Lookup(hItem);
    return pItem ? pItem->ItemCode() : 0;
}

bool CKRAAvatarManager::ShareAvatar(DWORD dwKey, _KRA_HANDLE& hAvatar)
{
    auto found = m_mAvatarKeys.find(dwKey);
    if (found == m_mAvatarKeys.end())
        return false;
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(found->second);
    if (!pAvatar)
        return false;
    pAvatar->IncrementRefCount();
    hAvatar = found->second;
    return true;
}

LONG CKRAAvatarManager::LoadAvatar(const char* szFile, _KRA_HANDLE& hAvatar)
{
    hAvatar = 0;
    std::string strPath = m_strFolder + "KRI\\" + (szFile ? szFile : "");
    std::vector<uint8_t> vBytes;
    if (!szFile || strPath.size() > KRA_PATH_MAX || !KRAReadWholeFile(strPath, vBytes))
        return KRA_E_FAILED;
    DWORD adwHeader[3];
    if (KRAParseAvatarListHeader(vBytes.data(), vBytes.size(), adwHeader) != KRA_OK)
        return KRA_E_FAILED;
    if (ShareAvatar(adwHeader[2], hAvatar))
        return KRA_OK;
    KRA_AVATAR_LIST_DATA list;
    if (KRAParseAvatarList(vBytes.data(), vBytes.size(), list) != KRA_OK)
        return KRA_E_FAILED;
    return BuildAvatar(adwHeader, list.vItems, hAvatar);
}

LONG CKRAAvatarManager::LoadAvatar(const KRA_AVATAR_STRUCTURE* pStructure, _KRA_HANDLE& hAvatar)
{
    hAvatar = 0;
    if (!pStructure || (pStructure->dwItemCount > 0 && !pStructure->pItems))
        return KRA_E_INVALID_ARGUMENT;
    const DWORD adwHeader[3] = {pStructure->dwHeader1, pStructure->dwHeader2, pStructure->dwAvatarKey};
    if (ShareAvatar(adwHeader[2], hAvatar))
        return KRA_OK;
    OutputDebugStringA("Create Avatar\n");
    std::vector<KRA_AVATAR_LIST_ENTRY> vItems(pStructure->dwItemCount);
    for (DWORD i = 0; i < pStructure->dwItemCount; ++i) {
        const KRA_AVATAR_ITEM& in = pStructure->pItems[i];
        vItems[i].dwKind = in.dwItemKind;
        // The host's name field may be full without its zero.
        vItems[i].strName.assign(in.szItemFile, strnlen(in.szItemFile, sizeof(in.szItemFile)));
    }
    return BuildAvatar(adwHeader, vItems, hAvatar);
}

LONG CKRAAvatarManager::BuildAvatar(const DWORD (&adwHeader)[3], const std::vector<KRA_AVATAR_LIST_ENTRY>& vItems,
                                    _KRA_HANDLE& hAvatar)
{
    hAvatar = 0;
    _KRA_HANDLE h = 0;
    if (m_cAvatars.Add(std::make_unique<CKRAAvatar>(), h) != KRA_OK)
        return KRA_E_ALLOCATION;
    CKRAAvatar& avatar = *m_cAvatars.Lookup(h);
    for (int i = 0; i < 3; ++i)
        avatar.m_adwHeader[i] = adwHeader[i];
    avatar.m_fClockBase = KRAAvatarClock();
    const std::string strKri = m_strFolder + "KRI\\";
    for (const KRA_AVATAR_LIST_ENTRY& entry : vItems) {
        std::string strItem = strKri + entry.strName;
        _KRA_HANDLE hItem = strItem.size() <= KRA_PATH_MAX ? LoadKRI(strItem.c_str(), entry.dwKind) : 0;
        if (hItem == 0) {
            ReleaseAvatar(avatar);
            m_cAvatars.Free(h);
            return KRA_E_FAILED;
        }
        bool bAttached = std::find(avatar.m_vItems.begin(), avatar.m_vItems.end(), hItem) != avatar.m_vItems.end();
        // A refused attach would strand the reference the load took.
        if (bAttached || avatar.m_vItems.size() >= KRA_AVATAR_ITEM_MAX)
            UnloadKRI(hItem);
        else
            avatar.m_vItems.push_back(hItem);
    }
    ReorderItems(avatar);
    avatar.m_pcLocalCamera = std::make_unique<CKRALocalCamera>();
    avatar.m_pcLocalCamera->CreateAt(D3DXVECTOR3(0, 40, -30), D3DXVECTOR3(0, 40, 0), D3DXVECTOR3(0, 1, 0));
    avatar.m_lRefCount = 1;
    m_mAvatarKeys[adwHeader[2]] = h;
    hAvatar = h;
    return KRA_OK;
}

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

void CKRAAvatarManager::ReleaseAvatar(CKRAAvatar& avatar)
{
    for (_KRA_HANDLE hItem : avatar.m_vItems)
        UnloadKRI(hItem);
    avatar.m_vItems.clear();
    // The override textures are the avatar's own references.
    CKRATextureManager* pTextures = Textures();
    for (CKRAItemTextureOverride& o : avatar.m_vTextureOverrides)
        if (pTextures && o.hTexture.m_hHandle)
            pTextures->ReleaseTexture(o.hTexture);
    avatar.m_vTextureOverrides.clear();
}

LONG CKRAAvatarManager::UnloadAvatar(_KRA_HANDLE hAvatar)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    if (pAvatar->DecrementRefCount() > 0)
        return KRA_OK;
    ReleaseAvatar(*pAvatar);
    auto found = m_mAvatarKeys.find(pAvatar->m_adwHeader[2]);
    if (found != m_mAvatarKeys.end() && found->second == hAvatar)
        m_mAvatarKeys.erase(found);
    m_cAvatars.Free(hAvatar);
    return KRA_OK;
}

void CKRAAvatarManager::ReorderItems(CKRAAvatar& avatar)
{
    // Alpha items are drawn last; each group keeps its order.
    std::stable_partition(avatar.m_vItems.begin(), avatar.m_vItems.end(), [&](_KRA_HANDLE h) {
        const CKRAItemFile* pItem = m_cItems.Lookup(h);
        return !pItem || !pItem->HasAlpha();
    });
}

LONG CKRAAvatarManager::AttachItemToAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    bool bAttached = std::find(pAvatar->m_vItems.begin(), pAvatar->m_vItems.end(), hItem) != pAvatar->m_vItems.end();
    // Refused, the caller keeps its reference, and with it a handle good for a later attach.
    if (bAttached || pAvatar->m_vItems.size() >= KRA_AVATAR_ITEM_MAX || !m_cItems.Lookup(hItem))
        return KRA_OK;
    pAvatar->m_vItems.push_back(hItem);
    ReorderItems(*pAvatar);
    return KRA_OK;
}

LONG CKRAAvatarManager::DetachItemFromAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    auto found = std::find(pAvatar->m_vItems.begin(), pAvatar->m_vItems.end(), hItem);
    if (found == pAvatar->m_vItems.end())
        return KRA_OK;
    pAvatar->m_vItems.erase(found);
    ReorderItems(*pAvatar);
    UnloadKRI(hItem);
    return KRA_OK;
}

LONG CKRAAvatarManager::GetItemHandle(_KRA_HANDLE hAvatar, DWORD& dwCount, _KRA_HANDLE*& pHandles)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_vItemOutput = avatar.m_vItems;
        dwCount = DWORD(avatar.m_vItemOutput.size());
        pHandles = avatar.m_vItemOutput.data();
        return KRA_OK;
    });
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
    if (CKRATextureManager* pTextures = Textures())
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
    CKRATextureManager* pTextures = Textures();
    if (pTextures && found->hTexture.m_hHandle)
        pTextures->ReleaseTexture(found->hTexture);
    v.erase(found);
    return KRA_OK;
}

LONG CKRAAvatarManager::SetFaceSet(_KRA_HANDLE hAvatar, const float* pfWeights)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    if (!pfWeights)
        return KRA_E_FAILED;
    std::copy(pfWeights, pfWeights + KRA_FACE_WEIGHT_COUNT, pAvatar->m_afFaceWeights);
    return KRA_OK;
}

LONG CKRAAvatarManager::GetAvatarMatrix(_KRA_HANDLE hAvatar, D3DXMATRIX& m) const
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        m = avatar.m_mWorld;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::SetAvatarMatrix(_KRA_HANDLE hAvatar, const D3DXMATRIX& m)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_mWorld = m;
        avatar.m_vPosition = D3DXVECTOR3(m._41, m._42, m._43);
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::GetAvatar3DPosition(_KRA_HANDLE hAvatar, D3DXVECTOR3& v) const
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        v = avatar.m_vPosition;
        return KRA_OK;
    });
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

LONG CKRAAvatarManager::SetAvatarVertexColor(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vColor)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_vColor = vColor;
        avatar.m_bTint = vColor.x != 1.0f;
        return KRA_OK;
    });
}
