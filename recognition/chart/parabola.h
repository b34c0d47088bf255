#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QPointF>

namespace kurvana::chart {

/// The parabola through the points by least squares, as its value at x; nothing when the
/// points do not fix one (fewer than four, or all in too few columns).
std::optional<std::function<double(double)>> ParabolaThrough(const std::vector<QPointF>& points);

} // namespace kurvana::chart
