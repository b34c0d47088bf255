#include "core/polar.h"

#include <cmath>
#include <numbers>

#include "core/calibration.h"
#include "core/document.h"

namespace kurvana {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

/// Picture radians of a typed angle difference: clockwise angles turn the other way.
long double pictureRadians(const PolarCalibration& polar, long double typed) {
    const long double r = polar.radians ? typed : typed * kPi / 180;
    return polar.clockwise ? -r : r;
}

long double typedAngle(const PolarCalibration& polar, long double pictureRadians) {
    const long double r = polar.clockwise ? -pictureRadians : pictureRadians;
    return polar.radians ? r : r * 180 / kPi;
}

/// The direction of the picture vector (dx, dy) with y counted upwards, and its length.
struct Direction {
    long double angle = 0;
    long double length = 0;
};

Direction directionOf(const PolarCalibration& polar, PlanePoint p) {
    const long double dx = p.x - polar.centreX;
    const long double dy = polar.centreY - p.y;
    return {std::atan2(dy, dx), std::hypot(dx, dy)};
}

Direction referenceDirection(const PolarCalibration& polar) {
    return directionOf(polar, {Widened(polar.referenceX), Widened(polar.referenceY)});
}

} // namespace

long double PolarTurn(const PolarCalibration& polar) {
    return polar.radians ? 2 * kPi : 360.0L;
}

bool PolarUsable(const PolarCalibration& polar) {
    return (polar.centreX != polar.referenceX || polar.centreY != polar.referenceY) &&
           std::isfinite(polar.referenceAngle) && std::isfinite(polar.referenceRadius) &&
           std::isfinite(polar.centreRadius) && polar.referenceRadius != polar.centreRadius;
}

std::optional<PlanePoint> PolarValuesAt(const PolarCalibration& polar, PlanePoint p) {
    if (!PolarUsable(polar))
        return std::nullopt;
    const Direction reference = referenceDirection(polar);
    const Direction here = directionOf(polar, p);
    const long double turn = PolarTurn(polar);
    long double angle =
        std::fmod(polar.referenceAngle + typedAngle(polar, here.angle - reference.angle), turn);
    if (angle < 0)
        angle += turn;
    if (angle >= turn) // -tiny + turn rounds to the turn itself
        angle = 0;
    const long double exponent =
        polar.centreRadius +
        (static_cast<long double>(polar.referenceRadius) - polar.centreRadius) * here.length /
            reference.length;
    const long double radius = polar.logRadius ? ExtendedPower(10.0L, exponent) : exponent;
    return PlanePoint{angle, radius};
}

std::optional<PlanePoint> PolarPointOf(const PolarCalibration& polar, long double angle,
                                       long double radiusExponent) {
    if (!PolarUsable(polar))
        return std::nullopt;
    const Direction reference = referenceDirection(polar);
    const long double length =
        (radiusExponent - polar.centreRadius) /
        (static_cast<long double>(polar.referenceRadius) - polar.centreRadius) * reference.length;
    const long double a = reference.angle + pictureRadians(polar, angle - polar.referenceAngle);
    return PlanePoint{polar.centreX + length * std::cos(a), polar.centreY - length * std::sin(a)};
}

} // namespace kurvana
