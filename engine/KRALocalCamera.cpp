#include "KRALocalCamera.h"

void CKRALocalCamera::Move(float dx, float dy, float dz)
{
    m_vEye += ToWorld(dx, dy, dz);
    UpdateViewMatrix();
}

void CKRALocalCamera::RotateFirst(float fDegrees)
{
    m_vEye = m_vLookAt + Rotate(m_vEye - m_vLookAt, m_vUp, fDegrees);
    UpdateViewMatrix();
}

void CKRALocalCamera::RotateSecond(float fDegrees)
{
    m_vEye = m_vLookAt + Rotate(m_vEye - m_vLookAt, RightAxis(), fDegrees);
    UpdateViewMatrix();
}

bool CKRALocalCamera::CanRotateFirst(float fDegrees)
{
    return CheckLimits(m_vLookAt + Rotate(m_vEye - m_vLookAt, UpAxis(), fDegrees), m_vLookAt);
}

bool CKRALocalCamera::CanRotateSecond(float fDegrees)
{
    return CheckLimits(m_vLookAt + Rotate(m_vEye - m_vLookAt, RightAxis(), fDegrees), m_vLookAt);
}
