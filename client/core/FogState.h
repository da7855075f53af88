#pragma once
// The view's fog: vertex fog with range fog, linear, exponential or exponential squared.
#include <d3d8.h>

class CFogState {
public:
    enum { MODE_VERTEX_RANGE = 1 };
    enum { KIND_LINEAR = 1, KIND_EXP = 2, KIND_EXP2 = 3 };

    int m_nMode = MODE_VERTEX_RANGE;
    int m_nKind = KIND_LINEAR;
    float m_fStart = 0.0f;
    float m_fEnd = 1.0f;
    float m_fDensity = 0.0f;

    // 0, or 0x80000007 for a mode or kind it does not know.
    LONG Apply(IDirect3DDevice8* device, D3DCOLOR colour) const;
};
