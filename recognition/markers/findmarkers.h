#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include <QPoint>
#include <QPointF>

#include "core/paper.h"
#include "recognition/markers/markerkind.h"

class QImage;

namespace kurvana {

/// The two ends of an error bar in picture pixels: for an upright bar `low` is the lower end
/// (the larger y), `high` the upper one; for a level bar `low` is the left end.
struct BarEnds {
    double low = 0, high = 0;
    bool operator==(const BarEnds&) const = default;
};

/// One marker found: its centre in picture pixels (pixel centres are whole numbers, y down)
/// and its error bars where it has them.
struct FoundMarker {
    QPointF centre;
    std::optional<BarEnds> upright, level;
};

struct MarkerFinding {
    markers::MarkerKind kind;
    std::vector<FoundMarker> markers;
    /// The paper and ink colours around the sample, which the search weighed pixels between.
    RgbVector paper, ink;
};

struct MarkerSearchOptions {
    /// 1 as it comes; above 1 takes markers less like the sample (colour and shape), below 1
    /// fewer.
    double tolerance = 1;
    /// Set from another thread to stop the search; it then finds nothing.
    const std::atomic<bool>* cancel = nullptr;
    /// The share of a marker that must show where other ink is drawn over it: half as it
    /// comes; less finds markers further under other series' markers, at the risk of taking
    /// pieces of other things for markers.
    double leastShowing = 0.5;
};

/// Finds every marker like the one at `click`: the sample's ink is cut out around the click,
/// then fitted over the whole picture's ink of its colour (lines removed) by cross-correlation,
/// each peak taken when the sample's shape lies there and little other ink does; a marker
/// taken is subtracted, so that touching and overlapping markers are each found at their own
/// centre. Nothing when there is no marker at the click or the search was cancelled.
std::optional<MarkerFinding> FindMarkers(const QImage& picture, QPoint click,
                                         const MarkerSearchOptions& options = {});

} // namespace kurvana
