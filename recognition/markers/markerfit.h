#pragma once

#include <atomic>
#include <vector>

#include <QPointF>

#include "recognition/markers/inkmask.h"
#include "recognition/markers/markersample.h"

namespace kurvana::markers {

/// Fits the sample's template over the whole (line-free) mask and returns the centres of the
/// markers that match it, each at sub-pixel precision. The outline is looked for in
/// `outlines`; ink it does not explain is counted in `cleaned` (the same mask, or one with
/// shorter lines taken out too). Empty when `cancel` was set.
std::vector<QPointF> FitMarkers(const InkMask& outlines, const InkMask& cleaned,
                                const MarkerTemplate& shape, double tolerance,
                                const std::atomic<bool>* cancel);

} // namespace kurvana::markers
