#pragma once
// The engine's space: left-handed, y up, row vectors, translation in the fourth row. Rotations
// match the Direct3D helpers the engine uses to rebuild them, so what is written here turns the
// same way when the engine reads it back.

#include <array>
#include <cmath>

namespace world {

constexpr float kPi = 3.14159265358979f;
constexpr float Radians(float degrees)
{
    return degrees * kPi / 180.0f;
}

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3& operator+=(const Vec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
};

inline float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& v)
{
    return std::sqrt(Dot(v, v));
}
inline Vec3 Normalize(const Vec3& v)
{
    float length = Length(v);
    return length > 0 ? v * (1.0f / length) : Vec3{};
}
inline Vec3 Lerp(const Vec3& a, const Vec3& b, float t)
{
    return a + (b - a) * t;
}

// 4x4, m[row][column].
struct Mat4 {
    std::array<std::array<float, 4>, 4> m{};

    static Mat4 Identity();
    Mat4 operator*(const Mat4& o) const;
    Vec3 Translation() const { return {m[3][0], m[3][1], m[3][2]}; }
    std::array<float, 16> RowMajor() const;
};

Mat4 Translation(const Vec3& t);
Mat4 Scaling(const Vec3& s);
Mat4 RotationX(float radians);
Mat4 RotationY(float radians);
Mat4 RotationZ(float radians);
// Roll about z, then pitch about x, then yaw about y.
Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll);

Vec3 TransformPoint(const Vec3& p, const Mat4& m);
Vec3 TransformDirection(const Vec3& d, const Mat4& m);

struct YawPitchRoll {
    float yaw = 0, pitch = 0, roll = 0;
};
// The angles whose RotationYawPitchRoll gives the rotation part of `m` (which must be a rotation).
YawPitchRoll DecomposeYawPitchRoll(const Mat4& m);

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};
Quaternion RotationAxis(const Vec3& axis, float radians);

} // namespace world
