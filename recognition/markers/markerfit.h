#pragma once

#include <atomic>
#include <vector>

#include <QPointF>

#include "recognition/markers/inkmask.h"
#include "recognition/markers/markersample.h"

namespace kurvana::markers {

/// Fits the sample's template over the whole (line-free) mask and returns the centres of the
/// markers that match it, each at sub-pixel precision. Empty when `cancel` was set.
std::vector<QPointF> FitMarkers(const InkMask& cleaned, const MarkerTemplate& shape,
                                double tolerance, const std::atomic<bool>* cancel);

} // namespace kurvana::markers
