// The engine's one owner of avatars, of the item files that dress them and of the motion library.
// Avatars are shared by their avatar key, item files by their path.
#pragma once

#include "KRAAvatar.h"
#include "KRADefs.h"
#include "KRAHandleTable.h"
#include "KRAItemFile.h"
#include "KRAMotion.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CKRAAvatarManager {
public:
    LONG Create(const char* szPath, int nKindCount, int nMotionCapacity);
    LONG Destroy();

    // Item files.
    _KRA_HANDLE LoadKRI(const char* szPath, DWORD dwKind);
    LONG UnloadKRI(_KRA_HANDLE hItem);
    DWORD GetItemCode(_KRA_HANDLE hItem) const;
    const CKRAItemFile* GetItemFile(_KRA_HANDLE hItem) const { return m_cItems.Lookup(hItem); }
    size_t GetItemFileCount() const { return m_cItems.LiveCount(); }

    // Avatars.
    LONG LoadAvatar(const char* szFile, _KRA_HANDLE& hAvatar);
    LONG UnloadAvatar(_KRA_HANDLE hAvatar);
    LONG AttachItemToAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    LONG DetachItemFromAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    LONG GetItemHandle(_KRA_HANDLE hAvatar, DWORD& dwCount, _KRA_HANDLE*& pHandles);
    LONG SetFaceSet(_KRA_HANDLE hAvatar, const float* pfWeights);
    LONG GetAvatarMatrix(_KRA_HANDLE hAvatar, D3DXMATRIX& m) const;
    LONG SetAvatarMatrix(_KRA_HANDLE hAvatar, const D3DXMATRIX& m);
    LONG GetAvatar3DPosition(_KRA_HANDLE hAvatar, D3DXVECTOR3& v) const;
    LONG SetAvatarVertexColor(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vColor);
    CKRAAvatar* GetAvatar(_KRA_HANDLE hAvatar) const { return m_cAvatars.Lookup(hAvatar); }
    size_t GetAvatarCount() const { return m_cAvatars.LiveCount(); }

    // Motions.
    LONG LoadInitMotion(const char* szFile, int nKind);
    LONG LoadMotion(const char* szFile, int nKind);
    LONG SetMotionType(_KRA_HANDLE hAvatar, int nKind);
    int GetMotionType(_KRA_HANDLE hAvatar) const;
    LONG SetMotion(_KRA_HANDLE hAvatar, int nMotion, int nNextMotion);
    int GetCurrentMotion(_KRA_HANDLE hAvatar) const;
    LONG StartMotion(_KRA_HANDLE hAvatar);
    LONG SetLoopMotion(_KRA_HANDLE hAvatar, bool bLoop);
    // Brings the avatar's bone matrices to now; a motion that ends calls the message callback
    // (0x12001) and, with loop on, starts again. Null when the avatar handle is not valid.
    const D3DXMATRIX* SampleMotion(_KRA_HANDLE hAvatar);
    const D3DXMATRIX* InverseBindPose(int nKind) const;

    // Walking.
    LONG MoveAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& v);
    LONG RotateAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vDegrees);
    LONG MoveToAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vTarget);
    LONG StopAvatar(_KRA_HANDLE hAvatar);
    LONG SetWalkSpeedOfAvatar(_KRA_HANDLE hAvatar, DWORD dwSpeed);
    // Advances the walks of the listed avatars; each arrival calls the message callback (0x12002).
    LONG UpdateMoveAvatar(const _KRA_HANDLE* pHandles, int nCount);

private:
    // Runs change(avatar) on a valid avatar and answers its status; 0x80060005 for any other handle.
    template <class Change>
    LONG WithAvatar(_KRA_HANDLE hAvatar, Change&& change) const
    {
        CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
        return pAvatar ? change(*pAvatar) : KRA_E_INVALID_AVATAR;
    }
    const CKRAMotion* Motion(int nKind, int nMotion) const;
    void ReorderItems(CKRAAvatar& avatar);
    void ReleaseAvatar(CKRAAvatar& avatar);
    LONG ReadMotion(const char* szFile, int nKind, KRA_MOTION_FILE_DATA& file);

    struct MotionKind {
        std::vector<CKRAMotion> vMotions;
        std::unique_ptr<D3DXMATRIX[]> pInverseBindPose;
    };

    CKRAHandleTable<CKRAAvatar> m_cAvatars; // keyed by avatar key below, not by name
    std::map<DWORD, _KRA_HANDLE> m_mAvatarKeys;
    CKRAHandleTable<CKRAItemFile> m_cItems;
    std::string m_strFolder;
    std::vector<MotionKind> m_vKinds;
    size_t m_nMotionCapacity = 0;
};
