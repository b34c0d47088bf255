#include "recognition/chart/parabola.h"

#include <cmath>

namespace kurvana::chart {

std::optional<std::function<double(double)>> ParabolaThrough(const std::vector<QPointF>& points) {
    if (points.size() < 4)
        return std::nullopt;
    const double origin = points.front().x();
    double m[3][4] = {};
    for (const QPointF& p : points) {
        const double u = p.x() - origin, powers[3] = {1, u, u * u};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[r][c] += powers[r] * powers[c];
            m[r][3] += powers[r] * p.y();
        }
    }
    for (int k = 0; k < 3; ++k) { // Gaussian elimination, the normal equations being symmetric
        if (std::abs(m[k][k]) < 1e-9)
            return std::nullopt;
        for (int r = k + 1; r < 3; ++r) {
            const double f = m[r][k] / m[k][k];
            for (int c = k; c < 4; ++c)
                m[r][c] -= f * m[k][c];
        }
    }
    double a[3];
    for (int k = 2; k >= 0; --k) {
        a[k] = m[k][3];
        for (int c = k + 1; c < 3; ++c)
            a[k] -= m[k][c] * a[c];
        a[k] /= m[k][k];
    }
    return [=](double x) {
        const double u = x - origin;
        return a[0] + a[1] * u + a[2] * u * u;
    };
}

} // namespace kurvana::chart
