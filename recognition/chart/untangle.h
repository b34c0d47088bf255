#pragma once

#include <vector>

#include <QPointF>

namespace kurvana::chart {

/// Curves of one colour followed one after the other may have swapped where they met: where
/// two touch at a shallow angle, the follower cannot tell which run goes on where. At each
/// place two of them come within a few pixels, the bend each had before (a parabola through
/// it) is carried on past the meeting, and their parts beyond are exchanged where each
/// continues the other's bend much better than its own. Each curve is a point per column,
/// left to right.
void UntangleMeetings(std::vector<std::vector<QPointF>*>& curves);

} // namespace kurvana::chart
