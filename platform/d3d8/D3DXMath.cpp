// The D3DX maths with the platform's conventions: row vectors (v' = v x M), left-handed
// coordinates, angles in radians, results written into pOut and returned.
#include "d3dx8.h"

#include <cmath>

namespace {

D3DXQUATERNION Hamilton(const D3DXQUATERNION& a, const D3DXQUATERNION& b)
{
    return D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

D3DXMATRIX Product(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

D3DXMATRIX IdentityMatrix()
{
    D3DXMATRIX r;
    D3DXMatrixIdentity(&r);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Type members

D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v)
{
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v)
{
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator*=(float f)
{
    x *= f;
    y *= f;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator/=(float f)
{
    x /= f;
    y /= f;
    return *this;
}

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator*=(float f)
{
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator/=(float f)
{
    x /= f;
    y /= f;
    z /= f;
    return *this;
}

D3DXMATRIX::D3DXMATRIX(const float* pf)
{
    for (int i = 0; i < 16; ++i) {
        m[i / 4][i % 4] = pf[i];
    }
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
{
    _11 = f11;
    _12 = f12;
    _13 = f13;
    _14 = f14;
    _21 = f21;
    _22 = f22;
    _23 = f23;
    _24 = f24;
    _31 = f31;
    _32 = f32;
    _33 = f33;
    _34 = f34;
    _41 = f41;
    _42 = f42;
    _43 = f43;
    _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
    *this = Product(*this, mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] += mat.m[i / 4][i % 4];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] -= mat.m[i / 4][i % 4];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f)
{
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] *= f;
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float f)
{
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] /= f;
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator-() const
{
    D3DXMATRIX r(*this);
    r *= -1.0f;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
    return Product(*this, mat);
}
D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    r += mat;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    r -= mat;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator*(float f) const
{
    D3DXMATRIX r(*this);
    r *= f;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator/(float f) const
{
    D3DXMATRIX r(*this);
    r /= f;
    return r;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
    for (int i = 0; i < 16; ++i) {
        if (m[i / 4][i % 4] != mat.m[i / 4][i % 4])
            return false;
    }
    return true;
}

D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q)
{
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const
{
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}

D3DXCOLOR::D3DXCOLOR(D3DCOLOR argb)
    : r(float((argb >> 16) & 0xff) / 255.0f), g(float((argb >> 8) & 0xff) / 255.0f), b(float(argb & 0xff) / 255.0f),
      a(float(argb >> 24) / 255.0f)
{}

D3DXCOLOR::operator D3DCOLOR() const
{
    auto byte = [](float f) -> DWORD {
        if (!(f > 0.0f))
            return 0;
        if (f >= 1.0f)
            return 255;
        return DWORD(f * 255.0f + 0.5f);
    };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// ---------------------------------------------------------------------------------------------
// Vectors

float WINAPI D3DXVec2Length(const D3DXVECTOR2* pV)
{
    return std::sqrt(pV->x * pV->x + pV->y * pV->y);
}
float WINAPI D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y;
}

D3DXVECTOR2* WINAPI D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV)
{
    float length = D3DXVec2Length(pV);
    *pOut = length > 0.0f ? D3DXVECTOR2(pV->x / length, pV->y / length) : D3DXVECTOR2(0.0f, 0.0f);
    return pOut;
}

float WINAPI D3DXVec3LengthSq(const D3DXVECTOR3* pV)
{
    return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z;
}
float WINAPI D3DXVec3Length(const D3DXVECTOR3* pV)
{
    return std::sqrt(D3DXVec3LengthSq(pV));
}

float WINAPI D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}

D3DXVECTOR3* WINAPI D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->y * pV2->z - pV1->z * pV2->y, pV1->z * pV2->x - pV1->x * pV2->z,
                        pV1->x * pV2->y - pV1->y * pV2->x);
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(std::fmin(pV1->x, pV2->x), std::fmin(pV1->y, pV2->y), std::fmin(pV1->z, pV2->z));
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(std::fmax(pV1->x, pV2->x), std::fmax(pV1->y, pV2->y), std::fmax(pV1->z, pV2->z));
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, float s)
{
    *pOut = *pV * s;
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, float s)
{
    *pOut = D3DXVECTOR3(pV1->x + s * (pV2->x - pV1->x), pV1->y + s * (pV2->y - pV1->y), pV1->z + s * (pV2->z - pV1->z));
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV)
{
    float length = D3DXVec3Length(pV);
    // Callers turn towards a target that may equal their position; zero must stay zero, not NaN.
    *pOut = length > 0.0f ? *pV / length : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR4(
        pV->x * m._11 + pV->y * m._21 + pV->z * m._31 + m._41, pV->x * m._12 + pV->y * m._22 + pV->z * m._32 + m._42,
        pV->x * m._13 + pV->y * m._23 + pV->z * m._33 + m._43, pV->x * m._14 + pV->y * m._24 + pV->z * m._34 + m._44);
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, pV, pM);
    // A point on the plane w = 0 has no projection; keep it finite rather than infinite.
    float w = r.w != 0.0f ? r.w : 1.0f;
    *pOut = D3DXVECTOR3(r.x / w, r.y / w, r.z / w);
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR3(pV->x * m._11 + pV->y * m._21 + pV->z * m._31, pV->x * m._12 + pV->y * m._22 + pV->z * m._32,
                        pV->x * m._13 + pV->y * m._23 + pV->z * m._33);
    return pOut;
}

D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM)
{
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR4(pV->x * m._11 + pV->y * m._21 + pV->z * m._31 + pV->w * m._41,
                        pV->x * m._12 + pV->y * m._22 + pV->z * m._32 + pV->w * m._42,
                        pV->x * m._13 + pV->y * m._23 + pV->z * m._33 + pV->w * m._43,
                        pV->x * m._14 + pV->y * m._24 + pV->z * m._34 + pV->w * m._44);
    return pOut;
}

namespace {

D3DXMATRIX WorldViewProjection(const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = pWorld ? *pWorld : IdentityMatrix();
    if (pView)
        m = Product(m, *pView);
    if (pProjection)
        m = Product(m, *pProjection);
    return m;
}

} // namespace

D3DXVECTOR3* WINAPI D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT8* pViewport,
                                    const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = WorldViewProjection(pProjection, pView, pWorld);
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, pV, &m);
    if (pViewport) {
        v.x = float(pViewport->X) + (1.0f + v.x) * float(pViewport->Width) / 2.0f;
        v.y = float(pViewport->Y) + (1.0f - v.y) * float(pViewport->Height) / 2.0f;
        v.z = pViewport->MinZ + v.z * (pViewport->MaxZ - pViewport->MinZ);
    }
    *pOut = v;
    return pOut;
}

D3DXVECTOR3* WINAPI D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT8* pViewport,
                                      const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = WorldViewProjection(pProjection, pView, pWorld);
    if (!D3DXMatrixInverse(&m, nullptr, &m))
        return nullptr;
    D3DXVECTOR3 v = *pV;
    if (pViewport) {
        float depth = pViewport->MaxZ - pViewport->MinZ;
        v.x = 2.0f * (v.x - float(pViewport->X)) / float(pViewport->Width) - 1.0f;
        v.y = 1.0f - 2.0f * (v.y - float(pViewport->Y)) / float(pViewport->Height);
        v.z = depth != 0.0f ? (v.z - pViewport->MinZ) / depth : 0.0f;
    }
    D3DXVec3TransformCoord(pOut, &v, &m);
    return pOut;
}

// ---------------------------------------------------------------------------------------------
// Matrices

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* pOut)
{
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}

BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX* pM)
{
    return *pM == IdentityMatrix() ? TRUE : FALSE;
}

namespace {

// Cofactor expansion in double precision; returns the determinant and, when it is usable, the inverse.
double InvertInto(const D3DXMATRIX& a, D3DXMATRIX* out)
{
    double m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = a.m[i / 4][i % 4];
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] -
              m[8] * m[2] * m[5];
    double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (out && det != 0.0 && std::isfinite(det)) {
        for (int i = 0; i < 16; ++i)
            out->m[i / 4][i % 4] = float(inv[i] / det);
    }
    return det;
}

} // namespace

float WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* pM)
{
    return float(InvertInto(*pM, nullptr));
}

D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    *pOut = Product(*pM1, *pM2);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pM->m[j][i];
    }
    *pOut = r;
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* pOut, float* pDeterminant, const D3DXMATRIX* pM)
{
    D3DXMATRIX r;
    double det = InvertInto(*pM, &r);
    if (pDeterminant)
        *pDeterminant = float(det);
    if (det == 0.0 || !std::isfinite(det))
        return nullptr;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz)
{
    *pOut = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z)
{
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *pOut = D3DXMATRIX(t * v.x * v.x + c, t * v.x * v.y + s * v.z, t * v.x * v.z - s * v.y, 0, t * v.x * v.y - s * v.z,
                       t * v.y * v.y + c, t * v.y * v.z + s * v.x, 0, t * v.x * v.z + s * v.y, t * v.y * v.z - s * v.x,
                       t * v.z * v.z + c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ)
{
    float x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    *pOut = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0, 2 * (x * y - z * w),
                       1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0, 2 * (x * z + y * w), 2 * (y * z - x * w),
                       1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, float yaw, float pitch, float roll)
{
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    *pOut = Product(Product(rz, rx), ry);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                                      const D3DXVECTOR3* pUp)
{
    D3DXVECTOR3 zaxis = *pAt - *pEye, xaxis, yaxis;
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVec3Cross(&xaxis, pUp, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *pOut = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z, zaxis.z, 0,
                       -D3DXVec3Dot(&xaxis, pEye), -D3DXVec3Dot(&yaxis, pEye), -D3DXVec3Dot(&zaxis, pEye), 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn, float zf)
{
    float yScale = 1.0f / std::tan(fovy / 2.0f);
    float xScale = yScale / aspect;
    *pOut = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, zf / (zf - zn), 1, 0, 0, -zn * zf / (zf - zn), 0);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf)
{
    *pOut = D3DXMATRIX(2 * zn / w, 0, 0, 0, 0, 2 * zn / h, 0, 0, 0, 0, zf / (zf - zn), 1, 0, 0, zn * zf / (zn - zf), 0);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf)
{
    *pOut = D3DXMATRIX(2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float l, float r, float b, float t, float zn, float zf)
{
    *pOut = D3DXMATRIX(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zf - zn), 0, (l + r) / (l - r),
                       (t + b) / (b - t), zn / (zn - zf), 1);
    return pOut;
}

// ---------------------------------------------------------------------------------------------
// Quaternions

D3DXQUATERNION* WINAPI D3DXQuaternionIdentity(D3DXQUATERNION* pOut)
{
    *pOut = D3DXQUATERNION(0, 0, 0, 1);
    return pOut;
}

float WINAPI D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2)
{
    return pQ1->x * pQ2->x + pQ1->y * pQ2->y + pQ1->z * pQ2->z + pQ1->w * pQ2->w;
}

float WINAPI D3DXQuaternionLength(const D3DXQUATERNION* pQ)
{
    return std::sqrt(D3DXQuaternionDot(pQ, pQ));
}

D3DXQUATERNION* WINAPI D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    *pOut = D3DXQUATERNION(-pQ->x, -pQ->y, -pQ->z, pQ->w);
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    float length = D3DXQuaternionLength(pQ);
    *pOut = length > 0.0f ? *pQ * (1.0f / length) : D3DXQUATERNION(0, 0, 0, 0);
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    float norm = D3DXQuaternionDot(pQ, pQ);
    D3DXQUATERNION conjugate;
    D3DXQuaternionConjugate(&conjugate, pQ);
    *pOut = norm > 0.0f ? conjugate * (1.0f / norm) : D3DXQUATERNION(0, 0, 0, 0);
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                              const D3DXQUATERNION* pQ2)
{
    // Row-vector order: the first argument's rotation happens first.
    *pOut = Hamilton(*pQ2, *pQ1);
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    float s = std::sin(angle / 2.0f);
    *pOut = D3DXQUATERNION(v.x * s, v.y * s, v.z * s, std::cos(angle / 2.0f));
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM)
{
    const D3DXMATRIX& m = *pM;
    float trace = m._11 + m._22 + m._33;
    D3DXQUATERNION q;
    if (trace > 0.0f) {
        float s = std::sqrt(trace + 1.0f) * 2.0f; // 4w
        q = D3DXQUATERNION((m._23 - m._32) / s, (m._31 - m._13) / s, (m._12 - m._21) / s, 0.25f * s);
    } else if (m._11 > m._22 && m._11 > m._33) {
        float s = std::sqrt(1.0f + m._11 - m._22 - m._33) * 2.0f; // 4x
        q = D3DXQUATERNION(0.25f * s, (m._12 + m._21) / s, (m._13 + m._31) / s, (m._23 - m._32) / s);
    } else if (m._22 > m._33) {
        float s = std::sqrt(1.0f + m._22 - m._11 - m._33) * 2.0f; // 4y
        q = D3DXQUATERNION((m._12 + m._21) / s, 0.25f * s, (m._23 + m._32) / s, (m._31 - m._13) / s);
    } else {
        float s = std::sqrt(1.0f + m._33 - m._11 - m._22) * 2.0f; // 4z
        q = D3DXQUATERNION((m._13 + m._31) / s, (m._23 + m._32) / s, 0.25f * s, (m._12 - m._21) / s);
    }
    *pOut = q;
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, float yaw, float pitch, float roll)
{
    float sy = std::sin(yaw / 2), cy = std::cos(yaw / 2);
    float sp = std::sin(pitch / 2), cp = std::cos(pitch / 2);
    float sr = std::sin(roll / 2), cr = std::cos(roll / 2);
    *pOut = D3DXQUATERNION(cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                           cy * cp * cr + sy * sp * sr);
    return pOut;
}

D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                           float t)
{
    D3DXQUATERNION q2 = *pQ2;
    float cosine = D3DXQuaternionDot(pQ1, &q2);
    if (cosine < 0.0f) {
        cosine = -cosine;
        q2 = -q2;
    }
    float k1 = 1.0f - t, k2 = t;
    if (cosine < 0.9999f) {
        float angle = std::acos(std::fmin(cosine, 1.0f));
        float sine = std::sin(angle);
        k1 = std::sin((1.0f - t) * angle) / sine;
        k2 = std::sin(t * angle) / sine;
    }
    *pOut = *pQ1 * k1 + q2 * k2;
    return pOut;
}

// ---------------------------------------------------------------------------------------------
// Planes

D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal)
{
    *pOut = D3DXPLANE(pNormal->x, pNormal->y, pNormal->z, -D3DXVec3Dot(pPoint, pNormal));
    return pOut;
}

D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                                      const D3DXVECTOR3* pV3)
{
    D3DXVECTOR3 e1 = *pV2 - *pV1, e2 = *pV3 - *pV1, normal;
    D3DXVec3Cross(&normal, &e1, &e2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(pOut, pV1, &normal);
}

D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP)
{
    float length = std::sqrt(pP->a * pP->a + pP->b * pP->b + pP->c * pP->c);
    *pOut = length > 0.0f ? D3DXPLANE(pP->a / length, pP->b / length, pP->c / length, pP->d / length)
                          : D3DXPLANE(0, 0, 0, 0);
    return pOut;
}

float WINAPI D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d;
}

float WINAPI D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z;
}

D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                           const D3DXVECTOR3* pV2)
{
    D3DXVECTOR3 direction = *pV2 - *pV1;
    float along = D3DXPlaneDotNormal(pP, &direction);
    if (along == 0.0f)
        return nullptr;
    float t = -D3DXPlaneDotCoord(pP, pV1) / along;
    *pOut = *pV1 + direction * t;
    return pOut;
}
