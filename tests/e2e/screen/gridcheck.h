#pragma once

#include <QImage>
#include <QPoint>
#include <QStringList>

#include "knowndata.h"

namespace e2e {

/// Lines of the program's check grid that the screenshot shows inside the chart's plot, and
/// how many of them lie on the chart's own grid lines (within one pixel).
struct GridMatch {
    int vertical = 0, verticalOnChart = 0;
    int horizontal = 0, horizontalOnChart = 0;
};

/// Looks for the check grid (cyan over the picture) on `screen`, where the chart's pixel (0, 0)
/// is at `origin`, and compares each line found with the chart picture's own grid.
GridMatch MatchCheckGrid(const QImage& screen, const QImage& chart, const KnownChart& known,
                         QPoint origin);

} // namespace e2e
