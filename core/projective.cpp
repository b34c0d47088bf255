#include "core/projective.h"

#include <algorithm>
#include <cmath>

namespace kurvana {

namespace {

using Matrix = Projective::Matrix;

/// Three points closer to one line than this share of the squared spread count as collinear:
/// typed values carry about 17 digits, and a nearly flat quadrilateral gives no usable fit.
constexpr long double kCollinearShare = 1e-12L;

long double cross(PlanePoint o, PlanePoint a, PlanePoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool anyThreeCollinear(const std::array<PlanePoint, 4>& p) {
    long double spread = 0;
    for (const PlanePoint& a : p)
        for (const PlanePoint& b : p)
            spread = std::max(spread, std::hypot(a.x - b.x, a.y - b.y));
    if (!(spread > 0) || !std::isfinite(spread))
        return true;
    const long double least = kCollinearShare * spread * spread;
    for (int skip = 0; skip < 4; ++skip) {
        std::array<PlanePoint, 3> t{};
        for (int i = 0, k = 0; i < 4; ++i)
            if (i != skip)
                t[k++] = p[i];
        if (!(std::fabs(cross(t[0], t[1], t[2])) > least))
            return true;
    }
    return false;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                c[i][j] += a[i][k] * b[k][j];
    return c;
}

/// The adjugate: the inverse up to a factor, which a projective transform ignores.
Matrix adjugate(const Matrix& m) {
    Matrix a{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            a[i][j] = m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0];
        }
    return a;
}

/// The matrix taking the corners of the standard frame, (1,0,0), (0,1,0), (0,0,1) and
/// (1,1,1), to the four points: columns p0, p1, p2 scaled so that they add up to p3.
Matrix fromStandardFrame(const std::array<PlanePoint, 4>& p) {
    const Matrix columns{{{p[0].x, p[1].x, p[2].x}, {p[0].y, p[1].y, p[2].y}, {1, 1, 1}}};
    const Matrix inverse = adjugate(columns);
    const long double target[3] = {p[3].x, p[3].y, 1};
    Matrix m = columns;
    for (int j = 0; j < 3; ++j) {
        long double scale = 0;
        for (int k = 0; k < 3; ++k)
            scale += inverse[j][k] * target[k];
        for (int i = 0; i < 3; ++i)
            m[i][j] *= scale;
    }
    return m;
}

/// Coordinates moved to their centroid and scaled to a unit spread, so that pixels in the
/// thousands and values of 1e-9 give equally well-conditioned matrices; `back` undoes it.
struct Normalised {
    std::array<PlanePoint, 4> points;
    Matrix forward, back;
};

Normalised normalised(const std::array<PlanePoint, 4>& p) {
    PlanePoint c;
    for (const PlanePoint& q : p) {
        c.x += q.x / 4;
        c.y += q.y / 4;
    }
    long double spread = 0;
    for (const PlanePoint& q : p)
        spread += std::hypot(q.x - c.x, q.y - c.y) / 4;
    Normalised n;
    for (int i = 0; i < 4; ++i)
        n.points[i] = {(p[i].x - c.x) / spread, (p[i].y - c.y) / spread};
    n.forward = {{{1 / spread, 0, -c.x / spread}, {0, 1 / spread, -c.y / spread}, {0, 0, 1}}};
    n.back = {{{spread, 0, c.x}, {0, spread, c.y}, {0, 0, 1}}};
    return n;
}

long double third(const Matrix& m, PlanePoint p) {
    return m[2][0] * p.x + m[2][1] * p.y + m[2][2];
}

} // namespace

std::optional<Projective> Projective::Through(const std::array<PlanePoint, 4>& from,
                                              const std::array<PlanePoint, 4>& to) {
    if (anyThreeCollinear(from) || anyThreeCollinear(to))
        return std::nullopt;
    const Normalised a = normalised(from);
    const Normalised b = normalised(to);
    Matrix m =
        multiply(b.back, multiply(fromStandardFrame(b.points),
                                  multiply(adjugate(fromStandardFrame(a.points)), a.forward)));
    const long double sign = third(m, from[0]) < 0 ? -1 : 1;
    for (auto& row : m)
        for (long double& value : row)
            value *= sign;
    for (const PlanePoint& p : from)
        if (!(third(m, p) > 0))
            return std::nullopt;
    return Projective(m);
}

std::optional<PlanePoint> Projective::apply(PlanePoint p) const {
    const long double w = third(m_, p);
    if (!(w > 0))
        return std::nullopt;
    return PlanePoint{(m_[0][0] * p.x + m_[0][1] * p.y + m_[0][2]) / w,
                      (m_[1][0] * p.x + m_[1][1] * p.y + m_[1][2]) / w};
}

} // namespace kurvana
