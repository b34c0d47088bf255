#pragma once

#include <vector>

#include <QPointF>
#include <QRect>

namespace kurvana {
struct SeriesReading;
}

namespace kurvana::chart {

/// Where the curves read pass each column of the plot area, for telling the ink and points on
/// them from those off them.
class CurvePaths {
public:
    CurvePaths(const QRect& area, const std::vector<SeriesReading>& read);

    /// Whether `p` lies within `within` pixels of a path, measured across its stroke (a steep
    /// stroke's run down a column is long, its width is not).
    bool near(QPointF p, double within) const;
    /// Whether a path passes through the box or within a pixel of it.
    bool crosses(const QRect& box) const;

private:
    /// A path's row in a column and how much the distance across the stroke shrinks against
    /// the distance down the column (1 where the path is level, less where it is steep).
    struct Row {
        double y = 0, across = 1;
    };
    QRect area_;
    std::vector<std::vector<Row>> rows_; ///< per column of the area
};

} // namespace kurvana::chart
