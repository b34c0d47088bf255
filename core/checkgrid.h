#pragma once

#include <vector>

#include <QPointF>
#include <QRectF>

namespace kurvana {

struct Document;

/// Which axis a grid line belongs to: an X line holds X constant, a Y line holds Y constant.
enum class GridAxis { X, Y };

/// One line of the calibration check grid, in picture coordinates whose whole numbers are pixel
/// centres (the pixel (x, y) converts exactly at the point (x, y)).
struct GridLine {
    GridAxis axis = GridAxis::X;
    double value = 0;    ///< the axis value the line stands for (a round number)
    QPointF from, to;    ///< the part of the line inside the picture
    QPointF labelAnchor; ///< where the line meets the other axis, moved into the picture part
    /// A curved line (a circle of the polar grid) as a closed polyline; empty for straight
    /// lines, which go from `from` to `to`.
    std::vector<QPointF> path;
};

/// The lines of constant X and constant Y at round axis values, laid through the current
/// calibration by the inverse of the value conversion: linear axes at 1-2-5 steps giving about
/// 5 to 12 lines between the typed minimum and maximum, logarithmic axes at every decade with
/// 2 and 5 between when a decade is wide enough. The lines continue with the same step up to
/// the picture's edges; they are tilted with the X axis. An axis whose reference point lies on
/// the zero point, whose two typed values are equal or not numbers gets no lines. In the
/// perspective frame the lines follow its projective transform (straight, no longer
/// parallel); in the polar frame X lines are rays of constant angle and Y lines circles of
/// constant radius.
std::vector<GridLine> CheckGridLines(const Document& doc);

} // namespace kurvana
