#pragma once

#include <optional>

#include "core/projective.h"

namespace kurvana {

struct PolarCalibration;

/// Angle and radius of the picture point p (pixels, y downwards): the angle in the
/// calibration's unit within one turn [0, turn), the radius with its scale applied. Nothing
/// when the calibration is unusable (see PolarUsable).
std::optional<PlanePoint> PolarValuesAt(const PolarCalibration& polar, PlanePoint p);

/// The picture point of an angle (in the calibration's unit) and a radius exponent (the radius
/// itself on a linear radius, its log10 on a log10 one): the inverse of PolarValuesAt before
/// the radius scale. Nothing when the calibration is unusable.
std::optional<PlanePoint> PolarPointOf(const PolarCalibration& polar, long double angle,
                                       long double radiusExponent);

/// Whether the reference point lies off the centre and the two typed radii differ (and are
/// numbers).
bool PolarUsable(const PolarCalibration& polar);

/// One turn in the calibration's angle unit: 360 or 2 pi.
long double PolarTurn(const PolarCalibration& polar);

} // namespace kurvana
