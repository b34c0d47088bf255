#pragma once

#include <optional>

#include <QPointF>
#include <QRect>

#include "recognition/markers/findmarkers.h"
#include "recognition/markers/inkmask.h"

namespace kurvana::markers {

/// The error bar through a marker centred at `centre`, upright (`upright`) or level: the bar's
/// ink is followed out of `box` (the marker's ink box in picture pixels) on both sides, and
/// each end is the centre line of its cap or, without a cap, the edge where the bar's ink
/// stops. Read from the mask with lines still in it (the line search takes bars out).
std::optional<BarEnds> ErrorBar(const InkMask& mask, QPointF centre, QRect box, bool upright);

} // namespace kurvana::markers
