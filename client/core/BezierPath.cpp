#include "BezierPath.h"

#include <algorithm>
#include <cmath>

CBezierPath::CBezierPath(const D3DXVECTOR3* points, size_t count)
{
    if (!points || count == 0) {
        return;
    }
    m_points.assign(points, points + count);
    // Each row of Pascal's triangle from the sums of the row before.
    const size_t n = count - 1;
    m_coefficients.assign(n + 1, 0.0);
    m_coefficients[0] = 1.0;
    for (size_t row = 1; row <= n; ++row) {
        for (size_t i = row; i > 0; --i) {
            m_coefficients[i] += m_coefficients[i - 1];
        }
    }
}

D3DXVECTOR3 CBezierPath::At(double t) const
{
    if (m_points.empty()) {
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    t = std::clamp(t, 0.0, 1.0);
    const size_t n = m_points.size() - 1;
    double x = 0, y = 0, z = 0;
    for (size_t i = 0; i <= n; ++i) {
        const double weight =
            m_coefficients[i] * std::pow(t, static_cast<double>(i)) * std::pow(1.0 - t, static_cast<double>(n - i));
        x += weight * m_points[i].x;
        y += weight * m_points[i].y;
        z += weight * m_points[i].z;
    }
    return D3DXVECTOR3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
