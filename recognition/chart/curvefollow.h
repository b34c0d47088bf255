#pragma once

#include <vector>

#include <QPointF>

class QImage;

namespace kurvana::chart {

struct InkMap;

/// A curve followed along the plot area, one point per column.
struct FollowedCurve {
    std::vector<QPointF> points; ///< picture pixels, left to right
    double followed = 1;         ///< columns followed over the columns where its colour shows
};

/// Follows the stroke of ink label `label` column by column: in each column the ink-weighted
/// centre (fringes counted by their strength) of the run nearest to where position and slope
/// lead, so that crossings with other curves or grid lines and the gaps of dashed and dotted
/// strokes are bridged; across such gaps the points are put on the straight line between the
/// ends. Where it is lost (a long gap), it starts again on the next run of its colour.
FollowedCurve FollowCurve(const QImage& picture, const InkMap& map, int label);

/// A dotted stroke's column runs lie on its dots, not on the curve between them: on a steep
/// stretch, whose dots fill every column, its points climb in steps. The points of each of
/// the curves of ink label `label` that is dotted are put on the parabola through the middles
/// of its dots nearest them, three each side.
void CentreOnDots(const QImage& picture, const InkMap& map, int label,
                  const std::vector<std::vector<QPointF>*>& curves);

} // namespace kurvana::chart
