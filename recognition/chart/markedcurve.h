#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include <QPointF>

class QImage;

namespace kurvana::chart {

struct InkMap;

/// The markers drawn on a curve (lines and points, the data at the markers): where the
/// stroke of colour `label` along `path` (one point per column) swells to several times its
/// width a few times, the likeliest swelling is taken as the sample of Find markers, and the
/// markers it finds are the series where enough of them lie on the path. Nothing where the
/// curve carries no markers.
std::optional<std::vector<QPointF>> MarkersOnCurve(const QImage& picture, const InkMap& map,
                                                   int label, const std::vector<QPointF>& path,
                                                   const std::atomic_bool* cancel);

} // namespace kurvana::chart
