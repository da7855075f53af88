#pragma once
// One fly-over path of the map: a Bezier curve through all of a scene path's control points (four
// per path point). Coefficients and sums are kept in double: a path of nine points already has a
// binomial coefficient beyond 32-bit integers.
#include <d3dx8.h>

#include <vector>

class CBezierPath {
public:
    CBezierPath() = default;
    CBezierPath(const D3DXVECTOR3* points, size_t count);

    size_t Degree() const { return m_points.empty() ? 0 : m_points.size() - 1; }
    bool Empty() const { return m_points.empty(); }
    // The point at t in [0, 1] (clamped).
    D3DXVECTOR3 At(double t) const;

private:
    std::vector<D3DXVECTOR3> m_points;
    std::vector<double> m_coefficients; // C(n, i)
};
