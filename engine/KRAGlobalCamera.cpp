#include "KRAGlobalCamera.h"

void CKRAGlobalCamera::Move(float dx, float dy, float dz)
{
    D3DXVECTOR3 w = ToWorld(dx, dy, dz);
    m_vEye += w;
    m_vLookAt += w;
    UpdateViewMatrix();
}

void CKRAGlobalCamera::RotateFirst(float fDegrees)
{
    m_vLookAt = m_vEye + Rotate(m_vLookAt - m_vEye, m_vUp, fDegrees);
    UpdateViewMatrix();
}

void CKRAGlobalCamera::RotateSecond(float fDegrees)
{
    m_vLookAt = m_vEye + Rotate(m_vLookAt - m_vEye, RightAxis(), fDegrees);
    UpdateViewMatrix();
}
