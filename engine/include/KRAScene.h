// A scene: one world the engine draws, with its world objects, event objects, walking paths,
// start positions, ground and camera maps and cameras. The host loads it by name through the
// manager and then does everything through this interface: drawing, picking, collision, paths,
// avatars with their items and motions, and the camera.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

#include <string>
#include <vector>

class CKRAFont;
class CKRACamera;
class CKRAGlobalCamera;
class CKRAGridMap;
class CKRASceneObjectList;
class CKRAEventObjectList;
struct KRA_SCENE_FILE_DATA;
struct KRA_SCENE_OBJECT_RECORD;

// One walking path: its points are 48 bytes each, read by the host as four vectors.
class CKRAScenePath {
public:
    LONG m_nPathId = 0;
    DWORD m_dwPointCount = 0;
    std::vector<D3DXVECTOR3> m_vPoints; // four per point
};

class KRAVEX_API CKRAScene {
public:
    CKRAScene();
    ~CKRAScene();
    // Member-wise, as the interface has always offered: a copy shares the parts of its original,
    // so only one of the two may ever be destroyed. The engine itself never copies a scene.
    CKRAScene(const CKRAScene& other);
    CKRAScene& operator=(const CKRAScene& other);

    // Building, loading and freeing.
    LONG Create(const char* szSceneFile);
    LONG LoadScene(const char* szPath);
    LONG Destroy();
    LONG IncrementRefCount();
    LONG DecrementRefCount();
    std::string GetSceneName();

    // Drawing: the ground objects, the opaque world, the avatars and the blended world.
    LONG Render(unsigned int nCount, _KRA_HANDLE* pAvatars);
    LONG RenderOnlyWorld();
    LONG RenderNonAlphaWorld();
    LONG RenderAlphaWorld();
    LONG RenderAccentedObjectFile(_KRA_HANDLE& hObject, DWORD dwColor);

    // World objects.
    LONG LoadObjectFile(char* szFile, D3DXMATRIX& mWorld, _KRA_HANDLE& hObject);
    LONG ShowObjectFile(_KRA_HANDLE& hObject);
    LONG HideObjectFile(_KRA_HANDLE& hObject);
    LONG FadeInObjectFile(_KRA_HANDLE& hObject, float fMilliseconds);
    LONG FadeOutObjectFile(_KRA_HANDLE& hObject, float fMilliseconds);
    LONG GetObjectPivotMatrix(_KRA_HANDLE& hObject, D3DXMATRIX& m);
    LONG ChangeTextureForObjectFile(_KRA_HANDLE& hObject, CKRAHandle<tagKRADS>& hTexture);
    LONG SetAccentedSceneObject(_KRA_HANDLE& hObject, bool bAccented);
    LONG SetObjectFileColor(_KRA_HANDLE& hObject, DWORD dwColor);
    LONG LoadKRTTexture(char* szFile, CKRAHandle<tagKRADS>& hTexture);

    // Text over the scene: avatar ID labels, other members' balloons, the own balloon. The
    // caller's text is never written, whatever the format asks.
    LONG CreateIDFont(tagLOGFONTA* pLogFont, char* szBalloonTexture);
    LONG CreateBalloonFont(tagLOGFONTA* pLogFont, char* szBalloonTexture);
    LONG CreateMyBalloonFont(tagLOGFONTA* pLogFont, char* szBalloonTexture);
    LONG DestroyIDFont();
    LONG DestroyBalloonFont();
    LONG DestroyMyBalloonFont();
    void DrawID(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon,
                CKRAHandle<tagKRADS>* pTexture, int nUnused);
    void DrawBalloon(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon);
    void DrawMyBalloon(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon);

    // Where avatars may stand and walk.
    LONG CheckCollision(D3DXVECTOR3& vFrom, D3DXVECTOR3& vTo, D3DXVECTOR3& vPosition);
    LONG GetInitPosition(unsigned int* pCount, D3DXVECTOR3** ppPositions);
    LONG GetPathNum(int& nCount);
    LONG GetPathInfo(int nPathId, unsigned int& nCount, D3DXVECTOR3** ppPoints);

    // Picking and events.
    LONG TestGroundPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance, D3DXVECTOR3& vPosition);
    LONG TestObjectPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance, D3DXVECTOR3& vPosition);
    LONG CheckProximity(D3DXVECTOR3& vPosition);
    LONG TestEventObjectPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance, _KRA_ACTION_PICKING* pAction,
                                D3DXMATRIX* pMatrix);

    // Avatars, their items and motions (the engine's avatar manager).
    LONG LoadAvatar(const char* szFile, _KRA_HANDLE& hAvatar);
    // pStructure is a KRA_AVATAR_STRUCTURE.
    LONG LoadAvatar(void* pStructure, _KRA_HANDLE& hAvatar);
    LONG LoadAvatarItem(const char* szFile, DWORD dwItemCode, _KRA_HANDLE& hItem);
    LONG UnloadAvatar(_KRA_HANDLE& hAvatar);
    LONG AttachItemToAvatar(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem);
    LONG DetachItemFromAvatar(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem);
    // Fills a KRA_AVATAR_STRUCTURE; its item array is the caller's, freed with delete[].
    LONG GetAvatarStructure(_KRA_HANDLE& hAvatar, void* pStructure);
    LONG GetAvatarMatrix(_KRA_HANDLE& hAvatar, D3DXMATRIX& m);
    LONG SetAvatarMatrix(_KRA_HANDLE& hAvatar, D3DXMATRIX& m);
    LONG GetAvatar2DPosition(_KRA_HANDLE& hAvatar, float dx, float dy, float dz, D3DXVECTOR3& v);
    LONG GetAvatar3DPosition(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v);
    LONG GetAvatarFrontVector(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v);
    LONG SetAvatarVertexColor(_KRA_HANDLE& hAvatar, D3DXVECTOR3& vColor);
    LONG GetItemHandle(_KRA_HANDLE& hAvatar, unsigned int& nCount, _KRA_HANDLE** ppItems);
    LONG GetItemCode(_KRA_HANDLE& hItem, DWORD& dwCode);
    LONG SetItemTexture(const char* szTexture, _KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem);
    LONG DeleteItemTexture(const char* szTexture, _KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem);
    LONG RenderAvatars();
    LONG RenderAvatars(unsigned int nCount, _KRA_HANDLE* pAvatars);
    LONG RenderLocalAvatar(_KRA_HANDLE& hAvatar, unsigned int nMotion, D3DXMATRIX& mWorld);
    LONG SetAvatarPickingPosition(tagPOINT& pt);
    void SetAvatarSoftPicking(bool bOn);
    LONG HasAvatarSoftPicking();
    void ResetAvatarSoftPicking(bool bHappened);
    LONG GetPickedAvatarHandle(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem, float& fDistance);
    LONG SetFaceSet(_KRA_HANDLE& hAvatar, float* pfWeights);
    LONG FireBreastAnimation(_KRA_HANDLE& hAvatar);
    LONG TurnOnAutoAnimation(_KRA_HANDLE& hAvatar);
    LONG TurnOffAutoAnimation(_KRA_HANDLE& hAvatar);
    LONG LoadInitMotion(const char* szFile, int nKind);
    unsigned int LoadMotion(const char* szFile, int nKind);
    LONG GetCurrentMotion(_KRA_HANDLE& hAvatar, int& nMotion);
    LONG SetMotion(_KRA_HANDLE& hAvatar, int nMotion, int nNextMotion);
    LONG SetLoopMotion(_KRA_HANDLE& hAvatar, bool bLoop);
    LONG StartMotion(_KRA_HANDLE& hAvatar);
    LONG GetMotionType(_KRA_HANDLE& hAvatar, int& nType);
    LONG SetMotionType(_KRA_HANDLE& hAvatar, int nType);
    LONG MoveAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v);
    LONG MoveToAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v);
    LONG RotateAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& v);
    LONG MoveAndRotateAvatar(_KRA_HANDLE& hAvatar, D3DXVECTOR3& vPosition, D3DXVECTOR3& vDirection);
    LONG StopAvatar(_KRA_HANDLE& hAvatar);
    LONG SetWalkSpeedOfAvatar(_KRA_HANDLE& hAvatar, unsigned int nSpeed);
    LONG UpdateMoveAvatar(_KRA_HANDLE* pAvatars, unsigned int nCount);

    // The camera.
    LONG Forward(float fDistance);
    LONG Backward(float fDistance);
    LONG Left(float fDistance);
    LONG Right(float fDistance);
    LONG Rotate(float fFirst, float fSecond);
    LONG SetProjectionMatrix(float fFov, float fAspect, float fNear, float fFar);
    LONG SetCameraPosition(D3DXVECTOR3& vEye, D3DXVECTOR3& vLookAt, D3DXVECTOR3& vUp);
    void SetCameraLimits(float fMinHeight, float fMaxDistance, float fMinusXLimit, float fPlusXLimit);
    D3DXVECTOR3& GetEyePosition();
    D3DXVECTOR3& GetLookAtPosition();
    D3DXVECTOR3& GetUpVector();
    LONG ChangeGlobalCameraToLocalCamera(_KRA_HANDLE& hAvatar);
    LONG ChangeLocalCameraToGlobalCamera();

    // Inside the engine.
    CKRASceneObjectList* GetSceneObjectList() const { return m_pcSceneObjectList; }
    CKRAEventObjectList* GetEventObjectList() const { return m_pcEventObjectList; }
    CKRAGridMap* GetGroundMap() const { return m_pcGroundMap; }
    CKRAGridMap* GetCameraMap() const { return m_pcCameraMap; }
    LONG GetRefCount() const { return m_lRefCount; }
    CKRAFont* GetIDFont() const { return m_pcIDFont; }
    CKRAFont* GetBalloonFont() const { return m_pcBalloonFont; }
    CKRAFont* GetMyBalloonFont() const { return m_pcMyBalloonFont; }
    // The camera drawing uses: an avatar's camera while one is chosen and its avatar lives,
    // otherwise the scene's own.
    CKRACamera* GetCurrentCamera();

private:
    // Runs the world passes with the camera set on the device and the frustum built from it.
    template <class Passes>
    __attribute__((visibility("hidden"))) LONG RunPasses(Passes&& passes);
    __attribute__((visibility("hidden"))) LONG AddRecord(const KRA_SCENE_OBJECT_RECORD& record);
    __attribute__((visibility("hidden"))) LONG MoveCamera(float dx, float dy, float dz);
    // The avatar pass of Render: all avatars when nCount is 0, else the given ones.
    __attribute__((visibility("hidden"))) LONG RenderAvatarPass(unsigned int nCount, _KRA_HANDLE* pAvatars);
    // The three overlay fonts go with the scene.
    __attribute__((visibility("hidden"))) void DestroyFonts();
    // The object list, or the box "Not initialize scene\n" and null.
    __attribute__((visibility("hidden"))) CKRASceneObjectList* ObjectList();

    CKRAFont* m_pcIDFont;
    CKRAFont* m_pcBalloonFont;
    CKRAFont* m_pcMyBalloonFont;
    LONG m_lRefCount;
    std::string m_strName;
    DWORD m_dwHeaderWord;
    DWORD m_dwPathCount;
    DWORD m_dwObjectCount;
    // Resolved through the avatar's handle each time, so it never points at a freed camera.
    _KRA_HANDLE m_hCameraAvatar;
    CKRAGlobalCamera* m_pcOwnCamera;
    DWORD m_dwStartPositionCount;
    std::vector<D3DXVECTOR3> m_vStartPositions;
    CKRAGridMap* m_pcGroundMap;
    CKRAGridMap* m_pcCameraMap;
    std::vector<CKRAScenePath> m_vPaths;
    CKRASceneObjectList* m_pcSceneObjectList;
    CKRAEventObjectList* m_pcEventObjectList;
};
