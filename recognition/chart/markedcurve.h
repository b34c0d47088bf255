#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include <QPointF>

class QImage;

namespace kurvana::chart {

struct InkMap;

/// The markers drawn on curves of colour `label` (lines and points, the data at the
/// markers): where the strokes along `paths` (one point per column each) swell to a few times
/// their width a few times, away from where two of them cross, the likeliest swelling is taken
/// as the sample of Find markers, and the markers it finds are the series where enough of them
/// lie on the paths. The follower may have read one line and points as several pieces: they
/// are one series of markers then. Nothing where the curves carry no markers.
std::optional<std::vector<QPointF>> MarkersOnCurves(const QImage& picture, const InkMap& map,
                                                    int label,
                                                    const std::vector<std::vector<QPointF>>& paths,
                                                    const std::atomic_bool* cancel);

} // namespace kurvana::chart
