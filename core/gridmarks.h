#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <QPointF>
#include <QRectF>

#include "core/document.h"

namespace kurvana {

// The round values the calibration check grid is laid at, whatever the frame: shared by the
// three-point grid and the perspective and polar ones.

/// One axis of the calibration, as the grid needs it: the typed exponent range, its length in
/// pixels and the exponent range that the picture covers.
struct AxisSpan {
    ScaleKind kind = ScaleKind::Linear;
    double typedLow = 0, typedHigh = 0;     ///< the typed minimum and maximum, ordered
    double coverLow = 0, coverHigh = 0;     ///< exponents at the picture's extremes
    double pixelsPerUnit = 0;               ///< pixels per exponent unit along the axis
    long double typedMin = 0, typedMax = 0; ///< as typed (min may exceed max)
    std::int32_t length = 0;                ///< xAxisLength or yAxisLength (three points)
};

/// Values and exponents of an axis's lines: on a linear axis at 1-2-5 steps giving about 5 to
/// 12 lines in the typed range, on a logarithmic one at every decade with 2 and 5 between when
/// a decade is wide enough; on to the cover range with the same step.
std::vector<std::pair<double, long double>> GridMarks(const AxisSpan& axis);

/// The parameter range [sLow, sHigh] for which start + s * direction lies inside `box`, or
/// nothing when the line misses it.
std::optional<std::pair<double, double>> ClipToBox(QPointF start, QPointF direction,
                                                   const QRectF& box);

} // namespace kurvana
