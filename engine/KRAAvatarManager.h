// The engine's one owner of avatars, of the item files that dress them and of the motion library.
// Avatars are shared by their avatar key, item files by their path.
#pragma once

#include "KRAAvatar.h"
#include "KRAAvatarListFormat.h"
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

    // Avatars. A list (file or structure) whose key is already loaded only adds a reference.
    LONG LoadAvatar(const char* szFile, _KRA_HANDLE& hAvatar);
    LONG LoadAvatar(const KRA_AVATAR_STRUCTURE* pStructure, _KRA_HANDLE& hAvatar);
    // The avatar as a list again: items named by their item code, with their texture overrides.
    // The item array is the caller's (delete[]).
    LONG GetAvatarStructure(_KRA_HANDLE hAvatar, KRA_AVATAR_STRUCTURE* pStructure) const;
    LONG UnloadAvatar(_KRA_HANDLE hAvatar);
    // The caller's reference to the item passes to the avatar; an item already worn, or one more
    // than the avatar holds, changes nothing and the reference stays the caller's.
    LONG AttachItemToAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    // Releases the avatar's reference to the item.
    LONG DetachItemFromAvatar(_KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    LONG GetItemHandle(_KRA_HANDLE hAvatar, DWORD& dwCount, _KRA_HANDLE*& pHandles);
    // A texture the avatar wears on one item in place of the item's own: 0x80060002 when the
    // avatar already holds 360, 0x80000003 for a name over 31 characters.
    LONG SetItemTexture(const char* szTexture, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    // Removes the first override of the item, whatever its name: 0, or 0x80000000 when none.
    LONG DeleteItemTexture(const char* szTexture, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem);
    LONG SetFaceSet(_KRA_HANDLE hAvatar, const float* pfWeights);
    LONG GetAvatarMatrix(_KRA_HANDLE hAvatar, D3DXMATRIX& m) const;
    LONG SetAvatarMatrix(_KRA_HANDLE hAvatar, const D3DXMATRIX& m);
    LONG GetAvatar3DPosition(_KRA_HANDLE hAvatar, D3DXVECTOR3& v) const;
    // The avatar's front; a zero vector for an invalid handle.
    LONG GetAvatarFrontVector(_KRA_HANDLE hAvatar, D3DXVECTOR3& v) const;
    // The camera that follows the avatar, for a scene to draw through; null for an invalid handle.
    CKRALocalCamera* ChangeGlobalCameraToLocalCamera(_KRA_HANDLE hAvatar) const;
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
    // Walks and move-and-rotates share target, arrival and turn state: a new one of the same kind
    // keeps what the last left of it (the host stops the avatar first); one of the other kind
    // ends the one under way first.
    LONG MoveToAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vTarget);
    // Turns toward vPosition, steps there one unit per update, then turns to face vDirection.
    LONG MoveAndRotateAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vPosition, const D3DXVECTOR3& vDirection);
    // Ends a walk and a move-and-rotate where the avatar stands, without a message.
    LONG StopAvatar(_KRA_HANDLE hAvatar);
    LONG SetWalkSpeedOfAvatar(_KRA_HANDLE hAvatar, DWORD dwSpeed);
    // Advances the walks and move-and-rotates of the listed avatars; each finished walk calls the
    // message callback with 0x12002, each finished move-and-rotate with 0x12003.
    LONG UpdateMoveAvatar(const _KRA_HANDLE* pHandles, int nCount);

    // Drawing. Without a list every avatar is drawn in the order of its key and its walk advanced
    // first; with a list, the listed avatars in list order (none for a count of 0), walks
    // untouched. Invalid handles are skipped. The device's world transform holds the camera's view.
    LONG RenderAvatars();
    LONG RenderAvatars(int nCount, const _KRA_HANDLE* pHandles);
    // One avatar in a preview: placed by mWorld, posed by motion nMotion of its kind, never culled,
    // picked, tinted or walked.
    LONG RenderLocalAvatar(_KRA_HANDLE hAvatar, int nMotion, const D3DXMATRIX& mWorld);
    // Device buffers of every item file, released before a device reset and made again after it.
    LONG CreateDeviceObject();
    LONG DestroyDeviceObject();

    // Face and body animation switches.
    LONG TurnOnAutoAnimation(_KRA_HANDLE hAvatar);
    LONG TurnOffAutoAnimation(_KRA_HANDLE hAvatar);
    LONG FireBreastAnimation(_KRA_HANDLE hAvatar);

    // Soft picking: while on, every drawing call tests the avatars it draws against the ray
    // through the picking point, and a call with hits makes its nearest hit the pick.
    LONG SetAvatarPickingPosition(POINT pt);
    LONG SetAvatarSoftPicking(bool bOn);
    // 0 when a soft pick happened, else 0x80000007.
    LONG HasAvatarSoftPicking() const;
    LONG ResetAvatarSoftPicking(bool bHappened);
    LONG GetPickedAvatarHandle(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem, float& fDistance) const;
    // Where a point (dx, dy, dz) from the avatar's head bone lands on the screen.
    LONG GetAvatar2DPosition(_KRA_HANDLE hAvatar, float dx, float dy, float dz, D3DXVECTOR3& vOut) const;

private:
    // Runs change(avatar) on a valid avatar and answers its status; 0x80060005 for any other handle.
    template <class Change>
    LONG WithAvatar(_KRA_HANDLE hAvatar, Change&& change) const
    {
        CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
        return pAvatar ? change(*pAvatar) : KRA_E_INVALID_AVATAR;
    }
    const CKRAMotion* Motion(int nKind, int nMotion) const;
    // A new avatar from a list's header and items, or handle 0 with nothing left behind.
    LONG BuildAvatar(const DWORD (&adwHeader)[3], const std::vector<KRA_AVATAR_LIST_ENTRY>& vItems,
                     _KRA_HANDLE& hAvatar);
    // One more reference to the avatar of a loaded key; false when the key is not loaded.
    bool ShareAvatar(DWORD dwKey, _KRA_HANDLE& hAvatar);
    void ReorderItems(CKRAAvatar& avatar);
    void ReleaseAvatar(CKRAAvatar& avatar);
    LONG ReadMotion(const char* szFile, int nKind, KRA_MOTION_FILE_DATA& file);

    // Drawing steps (one avatar, one item); see KRAAvatarRender.cpp.
    struct RenderPass;
    LONG RenderList(const std::vector<_KRA_HANDLE>& vHandles, bool bAdvanceWalks);
    void RenderAvatar(_KRA_HANDLE hAvatar, RenderPass& pass);
    void RenderItem(CKRAAvatar& avatar, _KRA_HANDLE hAvatar, _KRA_HANDLE hItem, const D3DXMATRIX* pSkin,
                    RenderPass& pass);
    // Soft picking of one item's current positions; the hits go to the pick list.
    void PickItem(_KRA_HANDLE hItem, _KRA_HANDLE hAvatar, const float* pPositions, size_t nVertices,
                  const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection);
    bool PickingRay(IDirect3DDevice8* pDevice, D3DXVECTOR3& vOrigin, D3DXVECTOR3& vDirection) const;
    void BeginPicking();
    void EndPicking();

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

    // Vertex work space of drawing: one mesh at a time, grown to the largest mesh, never shrunk.
    std::vector<float> m_vPositions;

    // Picking.
    static constexpr size_t kPickHitMax = 32;
    struct PickHit {
        float fDistance = 0;
        WORD awTriangle[3] = {};
        _KRA_HANDLE hItem = 0;
        _KRA_HANDLE hAvatar = 0;
    };
    bool m_bSoftPicking = false;
    bool m_bSoftPicked = false;
    _KRA_HANDLE m_hPickedAvatar = 0;
    _KRA_HANDLE m_hPickedItem = 0;
    float m_fPickedDistance = 0;
    POINT m_ptPicking = {0, 0};
    SIZE m_sizePicking = {0, 0};
    PickHit m_aPickHits[kPickHitMax];
    size_t m_nPickHits = 0;
};
