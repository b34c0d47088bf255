#pragma once

#include <array>
#include <optional>

namespace kurvana {

/// A number in the extended precision of the conversion.
template <typename T> constexpr long double Widened(T value) {
    return static_cast<long double>(value);
}

/// A point of the plane in extended precision (picture pixels or axis exponents).
struct PlanePoint {
    long double x = 0;
    long double y = 0;
};

/// A projective transform of the plane, (x, y, 1) times a 3 x 3 matrix, divided by the third
/// coordinate. Normalised so that the third coordinate is positive at the four points it was
/// made from: where it is not, a point lies beyond the horizon of the photographed plane.
class Projective {
public:
    using Matrix = std::array<std::array<long double, 3>, 3>;

    /// The transform taking from[i] to to[i]; nothing when three points of either set lie on
    /// one line, or when the two sets go round in different orders (no transform of a plane
    /// seen from one side takes one quadrilateral into the other).
    static std::optional<Projective> Through(const std::array<PlanePoint, 4>& from,
                                             const std::array<PlanePoint, 4>& to);

    /// The image of p; nothing beyond the horizon.
    std::optional<PlanePoint> apply(PlanePoint p) const;

private:
    explicit Projective(const Matrix& m) : m_(m) {}
    Matrix m_;
};

} // namespace kurvana
