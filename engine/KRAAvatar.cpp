#include "KRAAvatar.h"

#include <windows.h>

CKRAAvatar::CKRAAvatar()
    : m_vFront(0, 0, -1), m_vPosition(0, 0, 0), m_vHead(0, 0, 0), m_vTarget(0, 0, 0), m_vFinalDirection(0, 0, 0),
      m_vColor(1, 1, 1)
{
    D3DXMatrixIdentity(&m_mWalkOrientation);
    D3DXMatrixIdentity(&m_mWorld);
    for (D3DXMATRIX& m : m_amBones)
        D3DXMatrixIdentity(&m);
}

double KRAAvatarClock()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart ? double(count.QuadPart) / double(frequency.QuadPart) : 0.0;
}
