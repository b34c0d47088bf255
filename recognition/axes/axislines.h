#pragma once

#include <vector>

#include <QPointF>

namespace kurvana {

struct GrayPicture;

/// A long straight stroke of a chart, nearly level (an X axis) or nearly upright (a Y axis).
/// "Along" is the picture x of a level line and the picture y of an upright one; "across" is
/// the other coordinate. Coordinates are pixel indices: a stroke one pixel wide on row 100
/// lies at across = 100.
struct AxisLine {
    bool upright = false;
    double offset = 0; ///< across at along = 0
    double slope = 0;  ///< change of across per pixel along (tan of the tilt)
    double start = 0;  ///< first and last along position of the stroke's ink
    double end = 0;
    double thickness = 1; ///< median width of the stroke, pixels

    double acrossAt(double along) const { return offset + slope * along; }
    /// The picture position of the stroke's centre at `along`.
    QPointF pointAt(double along) const;
    /// The picture position `distance` pixels off the stroke at `along`, perpendicular to it,
    /// towards growing across (down of a level line, right of an upright one).
    QPointF offsetPoint(double along, double distance) const;
    double length() const { return end - start; }
};

/// Long straight strokes tilted by at most about 5.5 degrees from level and from upright, each
/// fitted at sub-pixel accuracy; the most likely axis first: of the level lines the lowest, of
/// the upright lines the leftmost. Empty when the picture has none (a photograph, text only).
struct AxisLineCandidates {
    std::vector<AxisLine> level;
    std::vector<AxisLine> upright;
};
AxisLineCandidates FindAxisLines(const GrayPicture& gray);

} // namespace kurvana
