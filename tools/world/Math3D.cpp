#include "Math3D.h"

#include <algorithm>

namespace world {

Mat4 Mat4::Identity()
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1;
    return r;
}

Mat4 Mat4::operator*(const Mat4& o) const
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m[i][k] * o.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

std::array<float, 16> Mat4::RowMajor() const
{
    std::array<float, 16> out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i * 4 + j] = m[i][j];
    return out;
}

Mat4 Translation(const Vec3& t)
{
    Mat4 r = Mat4::Identity();
    r.m[3][0] = t.x;
    r.m[3][1] = t.y;
    r.m[3][2] = t.z;
    return r;
}

Mat4 Scaling(const Vec3& s)
{
    Mat4 r = Mat4::Identity();
    r.m[0][0] = s.x;
    r.m[1][1] = s.y;
    r.m[2][2] = s.z;
    return r;
}

Mat4 RotationX(float a)
{
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationY(float a)
{
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationZ(float a)
{
    Mat4 r = Mat4::Identity();
    float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return RotationZ(roll) * RotationX(pitch) * RotationY(yaw);
}

Vec3 TransformPoint(const Vec3& p, const Mat4& m)
{
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Vec3 TransformDirection(const Vec3& d, const Mat4& m)
{
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0], d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2]};
}

YawPitchRoll DecomposeYawPitchRoll(const Mat4& m)
{
    // Rz(roll) * Rx(pitch) * Ry(yaw): m[2][1] = -sin(pitch), m[2][0] = cos(pitch) sin(yaw),
    // m[2][2] = cos(pitch) cos(yaw), m[0][1] = sin(roll) cos(pitch), m[1][1] = cos(roll) cos(pitch).
    YawPitchRoll r;
    float sp = std::clamp(-m.m[2][1], -1.0f, 1.0f);
    r.pitch = std::asin(sp);
    if (std::fabs(sp) < 0.9999f) {
        r.yaw = std::atan2(m.m[2][0], m.m[2][2]);
        r.roll = std::atan2(m.m[0][1], m.m[1][1]);
    } else {
        // Looking straight up or down: yaw and roll turn about the same axis; keep it all in yaw.
        r.roll = 0;
        r.yaw = std::atan2(-m.m[0][2], m.m[0][0]);
    }
    return r;
}

Quaternion RotationAxis(const Vec3& axis, float radians)
{
    Vec3 n = Normalize(axis);
    float s = std::sin(radians / 2);
    return {n.x * s, n.y * s, n.z * s, std::cos(radians / 2)};
}

} // namespace world
