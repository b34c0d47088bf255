#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QPointF>

#include "recognition/markers/findmarkers.h"

namespace kurvana {

/// The axis values at a picture position, when the chart is calibrated.
using ValuesAt = std::function<std::optional<QPointF>(QPointF)>;

/// The finding as the command line prints it: the sample's kind (shape, filled, size, colour
/// #rrggbb) and `markers`, each {cx, cy} in picture pixels with y_low/y_high and x_low/x_high
/// where it has error bars; with `values`, each centre also gets its axis values x and y, and
/// each end its value (y_low_value, ...).
QByteArray MarkersJson(const MarkerFinding& finding, const ValuesAt& values = {});

} // namespace kurvana
