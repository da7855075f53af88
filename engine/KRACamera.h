// A view: eye, look-at point and up vector with their view and projection matrices. Moves are
// asked first (CanMove, CanRotate...) against engine-wide limits and the camera map.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

class CKRAGridMap;

class CKRACamera {
public:
    CKRACamera();
    virtual ~CKRACamera();

    virtual void Move(float dx, float dy, float dz) = 0;
    virtual void RotateFirst(float fDegrees) = 0;
    virtual void RotateSecond(float fDegrees) = 0;
    virtual int GetCameraType() = 0;
    virtual bool CanMove(float dx, float dy, float dz);
    virtual bool CanRotateFirst(float fDegrees) = 0;
    virtual bool CanRotateSecond(float fDegrees) = 0;

    // Eye (0, 40, -30) looking at (0, 40, 0), up (0, 1, 0); projection near 1, far 5000.
    LONG Create();
    LONG CreateAt(D3DXVECTOR3 vEye, D3DXVECTOR3 vLookAt, D3DXVECTOR3 vUp);
    void UpdateViewMatrix();
    // Only near and far count: a quarter-pi field of view and the back buffer's aspect.
    LONG SetProjection(float fFov, float fAspect, float fNear, float fFar);
    void SetPosition(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt, const D3DXVECTOR3& vUp);

    D3DXVECTOR3& GetEyePosition() { return m_vEye; }
    D3DXVECTOR3& GetLookAtPosition() { return m_vLookAt; }
    D3DXVECTOR3& GetUpVector() { return m_vUp; }
    const D3DXMATRIX& GetViewMatrix() const { return m_matView; }
    const D3DXMATRIX& GetProjectionMatrix() const { return m_matProjection; }

    // Engine-wide settings shared by every camera.
    static void SetCameraMap(CKRAGridMap* pMap);
    static void EnableCameraMap(bool bEnable);
    static void SetCameraLimits(float fMinHeight, float fMaxDistance, float fMinusXLimit, float fPlusXLimit);
    static bool CheckLimits(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt);
    // A map that goes away is forgotten, so no camera tests against freed cells.
    static void ForgetCameraMap(const CKRAGridMap* pMap);
    static CKRAGridMap* GetCameraMap();
    // Back to the settings of a fresh engine.
    static void ResetSettings();

protected:
    // A camera-space displacement turned into world space by the view's rotation.
    D3DXVECTOR3 ToWorld(float dx, float dy, float dz) const;
    static D3DXVECTOR3 Rotate(const D3DXVECTOR3& v, const D3DXVECTOR3& vAxis, float fDegrees);
    D3DXVECTOR3 RightAxis() const { return D3DXVECTOR3(m_matView._11, m_matView._21, m_matView._31); }
    D3DXVECTOR3 UpAxis() const { return D3DXVECTOR3(m_matView._12, m_matView._22, m_matView._32); }

    D3DXMATRIX m_matView;
    D3DXMATRIX m_matProjection;
    D3DXVECTOR3 m_vEye;
    D3DXVECTOR3 m_vLookAt;
    D3DXVECTOR3 m_vUp;
};
