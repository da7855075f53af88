#include "KRAScene.h"

#include "KRACamera.h"
#include "KRAEventObject.h"
#include "KRAFrustum.h"
#include "KRAGlobalCamera.h"
#include "KRAGridMap.h"
#include "KRAManager.h"
#include "KRAObjectManager.h"
#include "KRASceneFormat.h"
#include "KRASceneObjectList.h"
#include "KRATextureManager.h"
#include "KRAWarning.h"

#include <cstring>
#include <new>

namespace {

// The box a host-added object is culled by, whatever it shows.
const float kAddedBoxMin[3] = {0, 35, -30};
const float kAddedBoxMax[3] = {0, 50, 30};

// The object-list operations share their checks: a scene without a list, then a zero handle.
template <class Operation>
LONG ObjectOperation(CKRASceneObjectList* pList, _KRA_HANDLE hObject, Operation&& operation)
{
    if (!pList)
        return KRA_E_MISSING_PART;
    if (hObject == 0)
        return KRA_E_INVALID_ARGUMENT;
    return operation(*pList);
}

} // namespace

CKRAScene::CKRAScene()
    : m_pcIDFont(nullptr), m_pcBalloonFont(nullptr), m_pcMyBalloonFont(nullptr), m_lRefCount(0), m_dwHeaderWord(0),
      m_dwPathCount(0), m_dwObjectCount(0), m_hCameraAvatar(0), m_pcOwnCamera(nullptr), m_dwStartPositionCount(0),
      m_pcGroundMap(nullptr), m_pcCameraMap(nullptr), m_pcSceneObjectList(nullptr), m_pcEventObjectList(nullptr)
{}

CKRAScene::~CKRAScene() = default;
CKRAScene::CKRAScene(const CKRAScene& other) = default;
CKRAScene& CKRAScene::operator=(const CKRAScene& other) = default;

LONG CKRAScene::Create(const char* szSceneFile)
{
    if (!szSceneFile) {
        KRAShowWarning("Invalid scene file name\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    *this = CKRAScene();
    m_strName = szSceneFile;

    m_pcOwnCamera = new (std::nothrow) CKRAGlobalCamera();
    if (!m_pcOwnCamera) {
        KRAShowWarning("Failed create camera\n");
        return KRA_E_ALLOCATION;
    }
    LONG lStatus = m_pcOwnCamera->Create();
    if (lStatus < 0)
        return lStatus;
    m_pcGroundMap = new (std::nothrow) CKRAGridMap();
    if (!m_pcGroundMap) {
        KRAShowWarning("Failed create ground map\n");
        return KRA_E_ALLOCATION;
    }
    m_pcCameraMap = new (std::nothrow) CKRAGridMap();
    if (!m_pcCameraMap) {
        KRAShowWarning("Failed create camera map\n");
        return KRA_E_ALLOCATION;
    }
    m_pcSceneObjectList = new (std::nothrow) CKRASceneObjectList();
    if (!m_pcSceneObjectList) {
        KRAShowWarning("Failed create scene list\n");
        return KRA_E_ALLOCATION;
    }
    m_pcEventObjectList = new (std::nothrow) CKRAEventObjectList();
    if (!m_pcEventObjectList) {
        KRAShowWarning("Failed create event list\n");
        return KRA_E_ALLOCATION;
    }
    return KRA_OK;
}

LONG CKRAScene::LoadScene(const char* szPath)
{
    if (!szPath || !m_pcSceneObjectList || !m_pcEventObjectList || !m_pcGroundMap || !m_pcCameraMap) {
        KRAShowWarning("Failed load scene file\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    // The whole file is checked before anything is built from it: a short or inconsistent
    // file is refused like one that cannot be opened.
    KRA_SCENE_FILE_DATA data;
    if (KRALoadSceneFile(szPath, data) < 0) {
        KRAShowWarning("Failed load scene file\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    m_dwHeaderWord = data.dwHeaderWord;
    m_dwPathCount = DWORD(data.vPaths.size());
    m_dwObjectCount = DWORD(data.vObjects.size());
    m_vPaths.clear();
    m_vPaths.reserve(data.vPaths.size());
    for (const KRA_SCENE_PATH& path : data.vPaths) {
        CKRAScenePath& out = m_vPaths.emplace_back();
        out.m_nPathId = path.lId;
        out.m_dwPointCount = DWORD(path.vPoints.size());
        out.m_vPoints.reserve(path.vPoints.size() * 4);
        for (const std::array<float, 12>& point : path.vPoints)
            for (size_t i = 0; i < 12; i += 3)
                out.m_vPoints.emplace_back(point[i], point[i + 1], point[i + 2]);
    }
    for (const KRA_SCENE_OBJECT_RECORD& record : data.vObjects) {
        LONG lStatus = AddRecord(record);
        if (lStatus < 0)
            return lStatus;
    }
    LONG lStatus = m_pcGroundMap->Load(szPath, ".KRP");
    if (lStatus < 0)
        return lStatus;
    lStatus = m_pcCameraMap->Load(szPath, ".KRC");
    if (lStatus < 0)
        return lStatus;
    CKRACamera::SetCameraMap(m_pcCameraMap);
    return KRA_OK;
}

LONG CKRAScene::AddRecord(const KRA_SCENE_OBJECT_RECORD& record)
{
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    if (!pObjects)
        return KRA_E_MISSING_PART;
    // Every record's file is loaded, a descriptor-only one's too: a missing file fails the scene.
    _KRA_HANDLE hFile = 0;
    LONG lStatus = pObjects->LoadObjectFile(record.desc.szObjectFile, &hFile);
    if (lStatus < 0)
        return lStatus;
    _KRA_HANDLE hObject = 0;
    lStatus = m_pcSceneObjectList->AddObject(hFile, record.desc, hObject);
    if (lStatus < 0) {
        pObjects->UnloadObjectFile(&hFile);
        return lStatus;
    }
    if (record.desc.lKind == KRA_SCENE_OBJECT_GROUND) {
        for (const KRA_EVENT_TRIGGER& trigger : record.vTriggers)
            m_vStartPositions.emplace_back(trigger.afCentre[0], trigger.afCentre[1], trigger.afCentre[2]);
        m_dwStartPositionCount = DWORD(m_vStartPositions.size());
        return KRA_OK;
    }
    if (!KRASceneRecordHasEvents(record))
        return KRA_OK;
    std::vector<KRA_EVENT_TRIGGER> vTriggers;
    std::vector<KRA_EVENT_BOX> vBoxes;
    KRASceneEventRecords(record, vTriggers, vBoxes);
    return m_pcEventObjectList->AddEventObject(&hObject, record.head, vTriggers, vBoxes);
}

LONG CKRAScene::Destroy()
{
    delete m_pcOwnCamera;
    m_pcOwnCamera = nullptr;
    m_hCameraAvatar = 0;
    m_vPaths.clear();
    m_dwPathCount = 0;
    // A grid map that goes is forgotten by the cameras that tested against it.
    delete m_pcGroundMap;
    m_pcGroundMap = nullptr;
    delete m_pcCameraMap;
    m_pcCameraMap = nullptr;
    delete m_pcSceneObjectList;
    m_pcSceneObjectList = nullptr;
    delete m_pcEventObjectList;
    m_pcEventObjectList = nullptr;
    m_vStartPositions.clear();
    m_dwStartPositionCount = 0;
    DestroyFonts();
    return KRA_OK;
}

LONG CKRAScene::IncrementRefCount()
{
    return __atomic_add_fetch(&m_lRefCount, 1, __ATOMIC_SEQ_CST);
}

LONG CKRAScene::DecrementRefCount()
{
    return __atomic_sub_fetch(&m_lRefCount, 1, __ATOMIC_SEQ_CST);
}

std::string CKRAScene::GetSceneName()
{
    return m_strName;
}

CKRASceneObjectList* CKRAScene::ObjectList()
{
    if (!m_pcSceneObjectList)
        KRAShowWarning("Not initialize scene\n");
    return m_pcSceneObjectList;
}

template <class Passes>
LONG CKRAScene::RunPasses(Passes&& passes)
{
    CKRASceneObjectList* pList = ObjectList();
    if (!pList)
        return KRA_E_MISSING_PART;
    CKRACamera* pCamera = GetCurrentCamera();
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pCamera || !pDevice || FAILED(pDevice->SetTransform(D3DTS_WORLD, &pCamera->GetViewMatrix())))
        return KRA_E_FAILED;
    if (CKRAFrustum* pFrustum = CKRAManager::GetFrustum())
        pFrustum->Build(&pCamera->GetViewMatrix(), &pCamera->GetProjectionMatrix());
    return passes(*pList, *pCamera);
}

LONG CKRAScene::Render(unsigned int nCount, _KRA_HANDLE* pAvatars)
{
    return RunPasses([&](CKRASceneObjectList& list, CKRACamera& camera) {
        LONG lStatus = list.RenderKindOne();
        if (lStatus >= 0)
            lStatus = list.RenderOpaque();
        if (lStatus >= 0)
            lStatus = RenderAvatarPass(nCount, pAvatars);
        if (lStatus >= 0)
            lStatus = list.RenderAlpha(&camera.GetEyePosition());
        return lStatus;
    });
}

LONG CKRAScene::RenderOnlyWorld()
{
    return RunPasses([&](CKRASceneObjectList& list, CKRACamera& camera) {
        LONG lStatus = list.RenderKindOne();
        if (lStatus >= 0)
            lStatus = list.RenderOpaque();
        if (lStatus >= 0)
            lStatus = list.RenderAlpha(&camera.GetEyePosition());
        return lStatus;
    });
}

LONG CKRAScene::RenderNonAlphaWorld()
{
    return RunPasses([&](CKRASceneObjectList& list, CKRACamera&) {
        LONG lStatus = list.RenderKindOne();
        return lStatus < 0 ? lStatus : list.RenderOpaque();
    });
}

LONG CKRAScene::RenderAlphaWorld()
{
    return RunPasses(
        [&](CKRASceneObjectList& list, CKRACamera& camera) { return list.RenderAlpha(&camera.GetEyePosition()); });
}

LONG CKRAScene::RenderAccentedObjectFile(_KRA_HANDLE& hObject, DWORD dwColor)
{
    CKRACamera* pCamera = GetCurrentCamera();
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pCamera || !pDevice || FAILED(pDevice->SetTransform(D3DTS_WORLD, &pCamera->GetViewMatrix())))
        return KRA_E_FAILED;
    if (hObject == 0)
        return KRA_E_INVALID_ARGUMENT;
    return m_pcSceneObjectList ? m_pcSceneObjectList->RenderAccented(hObject, dwColor) : KRA_E_FAILED;
}

LONG CKRAScene::LoadObjectFile(char* szFile, D3DXMATRIX& mWorld, _KRA_HANDLE& hObject)
{
    CKRASceneObjectList* pList = ObjectList();
    if (!pList)
        return KRA_E_MISSING_PART;
    // The name must fit its 32-byte field with its zero.
    if (!szFile || szFile[0] == 0 || std::strlen(szFile) >= KRA_SCENE_OBJECT_NAME_SIZE)
        return KRA_E_INVALID_ARGUMENT;
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    if (!pObjects)
        return KRA_E_MISSING_PART;
    CKRASceneObjectDesc desc;
    std::memcpy(desc.szObjectFile, szFile, std::strlen(szFile));
    desc.lKind = KRA_SCENE_OBJECT_WORLD;
    std::memcpy(desc.afBoxMin, kAddedBoxMin, sizeof(desc.afBoxMin));
    std::memcpy(desc.afBoxMax, kAddedBoxMax, sizeof(desc.afBoxMax));
    std::memcpy(desc.afWorld, &mWorld, sizeof(desc.afWorld));
    _KRA_HANDLE hFile = 0;
    LONG lStatus = pObjects->LoadObjectFile(desc.szObjectFile, &hFile);
    if (lStatus < 0)
        return lStatus;
    _KRA_HANDLE hNew = 0;
    lStatus = pList->AddObject(hFile, desc, hNew);
    if (lStatus < 0) {
        pObjects->UnloadObjectFile(&hFile);
        return lStatus;
    }
    hObject = hNew;
    return KRA_OK;
}

LONG CKRAScene::ShowObjectFile(_KRA_HANDLE& hObject)
{
    return ObjectOperation(ObjectList(), hObject, [&](CKRASceneObjectList& l) { return l.Show(hObject); });
}

LONG CKRAScene::HideObjectFile(_KRA_HANDLE& hObject)
{
    return ObjectOperation(ObjectList(), hObject, [&](CKRASceneObjectList& l) { return l.Hide(hObject); });
}

LONG CKRAScene::FadeInObjectFile(_KRA_HANDLE& hObject, float fMilliseconds)
{
    return ObjectOperation(ObjectList(), hObject,
                           [&](CKRASceneObjectList& l) { return l.FadeIn(hObject, fMilliseconds); });
}

LONG CKRAScene::FadeOutObjectFile(_KRA_HANDLE& hObject, float fMilliseconds)
{
    return ObjectOperation(ObjectList(), hObject,
                           [&](CKRASceneObjectList& l) { return l.FadeOut(hObject, fMilliseconds); });
}

LONG CKRAScene::GetObjectPivotMatrix(_KRA_HANDLE& hObject, D3DXMATRIX& m)
{
    return ObjectOperation(ObjectList(), hObject, [&](CKRASceneObjectList& l) { return l.GetPivotMatrix(hObject, m); });
}

LONG CKRAScene::ChangeTextureForObjectFile(_KRA_HANDLE& hObject, CKRAHandle<tagKRADS>& hTexture)
{
    return ObjectOperation(ObjectList(), hObject,
                           [&](CKRASceneObjectList& l) { return l.ChangeTexture(hObject, hTexture); });
}

LONG CKRAScene::SetAccentedSceneObject(_KRA_HANDLE& hObject, bool bAccented)
{
    return ObjectOperation(ObjectList(), hObject,
                           [&](CKRASceneObjectList& l) { return l.SetAccented(hObject, bAccented); });
}

LONG CKRAScene::SetObjectFileColor(_KRA_HANDLE& hObject, DWORD)
{
    return hObject == 0 ? KRA_E_INVALID_ARGUMENT : KRA_OK;
}

LONG CKRAScene::LoadKRTTexture(char* szFile, CKRAHandle<tagKRADS>& hTexture)
{
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (!pTextures)
        return KRA_E_MISSING_PART;
    return pTextures->LoadWorldTexture(szFile, &hTexture);
}

LONG CKRAScene::CheckCollision(D3DXVECTOR3& vFrom, D3DXVECTOR3& vTo, D3DXVECTOR3& vPosition)
{
    if (!m_pcGroundMap)
        return KRA_E_MISSING_PART;
    return m_pcGroundMap->CheckCollision(vFrom, vTo, &vPosition);
}

LONG CKRAScene::GetInitPosition(unsigned int* pCount, D3DXVECTOR3** ppPositions)
{
    if (m_vStartPositions.empty())
        return KRA_E_MISSING_PART;
    if (pCount)
        *pCount = m_dwStartPositionCount;
    if (ppPositions)
        *ppPositions = m_vStartPositions.data();
    return KRA_OK;
}

LONG CKRAScene::GetPathNum(int& nCount)
{
    if (m_vPaths.empty())
        return KRA_E_MISSING_PART;
    nCount = int(m_dwPathCount);
    return KRA_OK;
}

LONG CKRAScene::GetPathInfo(int nPathId, unsigned int& nCount, D3DXVECTOR3** ppPoints)
{
    for (CKRAScenePath& path : m_vPaths) {
        if (path.m_nPathId != nPathId)
            continue;
        nCount = path.m_dwPointCount;
        if (ppPoints)
            *ppPoints = path.m_vPoints.data();
        return KRA_OK;
    }
    return KRA_E_FAILED;
}

LONG CKRAScene::TestGroundPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance, D3DXVECTOR3& vPosition)
{
    CKRASceneObjectList* pList = ObjectList();
    if (!pList)
        return KRA_E_MISSING_PART;
    _KRA_HANDLE hPicked = 0;
    D3DXVECTOR3 vHit(0, 0, 0);
    LONG lStatus = pList->PickGround(pt, hPicked, fDistance, vHit);
    if (lStatus < 0)
        return lStatus;
    if (hPicked == 0)
        return KRA_E_FAILED;
    // Where avatars may not walk, the ground answers no object and the point as it was hit;
    // elsewhere the middle of the cell, where a walk ends.
    if (m_pcGroundMap && m_pcGroundMap->IsBlocked(vHit.x, vHit.z, nullptr)) {
        hObject = 0;
        vPosition = vHit;
        return KRA_OK;
    }
    hObject = hPicked;
    vPosition = vHit;
    if (m_pcGroundMap && m_pcGroundMap->IsLoaded())
        m_pcGroundMap->SnapToCell(vHit.x, vHit.z, &vPosition);
    return KRA_OK;
}

LONG CKRAScene::TestObjectPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance, D3DXVECTOR3& vPosition)
{
    CKRASceneObjectList* pList = ObjectList();
    if (!pList)
        return KRA_E_MISSING_PART;
    CKRACamera* pCamera = GetCurrentCamera();
    _KRA_HANDLE hPicked = 0;
    LONG lStatus = pList->PickObject(pt, pCamera ? &pCamera->GetEyePosition() : nullptr, hPicked, fDistance, vPosition);
    if (lStatus < 0)
        return lStatus;
    hObject = hPicked;
    return KRA_OK;
}

LONG CKRAScene::CheckProximity(D3DXVECTOR3& vPosition)
{
    if (!m_pcEventObjectList) {
        KRAShowWarning("Not initialize event object list\n");
        return KRA_E_MISSING_PART;
    }
    return m_pcEventObjectList->CheckProximity(&vPosition);
}

LONG CKRAScene::TestEventObjectPicking(tagPOINT& pt, _KRA_HANDLE& hObject, float& fDistance,
                                       _KRA_ACTION_PICKING* pAction, D3DXMATRIX* pMatrix)
{
    if (!m_pcEventObjectList) {
        KRAShowWarning("Not initialize event object list\n");
        return KRA_E_MISSING_PART;
    }
    CKRACamera* pCamera = GetCurrentCamera();
    _KRA_HANDLE hPicked = 0;
    m_pcEventObjectList->TestPicking(pt.x, pt.y, pCamera ? &pCamera->GetEyePosition() : nullptr, hPicked, fDistance,
                                     pAction, pMatrix);
    hObject = hPicked;
    return KRA_OK;
}
