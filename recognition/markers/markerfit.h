#pragma once

#include <atomic>
#include <vector>

#include <QPointF>

#include "recognition/markers/inkmask.h"
#include "recognition/markers/markersample.h"

namespace kurvana::markers {

/// Fits the sample's template over the whole (line-free) mask and returns the centres of the
/// markers that match it, each at sub-pixel precision. Peaks are sought, and ink the markers
/// do not explain counted, in `cleaned`; the sample's ink counts as missing only where
/// `inked` (the same ink, lines kept) has none, and, where at least `leastShowing` of it shows,
/// not where `paper` says another colour is drawn over it. Empty when `cancel` was set.
std::vector<QPointF> FitMarkers(const InkMask& inked, const InkMask& cleaned,
                                const MarkerTemplate& shape, double tolerance, double leastShowing,
                                const PaperView& paper, const std::atomic<bool>* cancel);

} // namespace kurvana::markers
