#pragma once

#include <vector>

#include <QRect>

class QImage;

namespace kurvana::chart {

struct InkMap;

/// One connected piece of ink of one colour (8-neighbours), with what telling curves, markers,
/// text and bars apart needs.
struct InkBlob {
    int label = 0; ///< InkMap label of its colour
    int pixels = 0;
    QRect box;
    double meanX = 0, meanY = 0;
    double elongation = 1; ///< square root of the ratio of its spread along and across
};

/// Labels as structure the long level and upright rows and columns of one colour (axes, grid
/// lines, the frame; dotted grid lines too, as they fill much of their row) and the short
/// strokes standing on the plot area's edges (ticks). Ink of the line's colour far stronger
/// than the line (a black curve running along a light grey grid line) stays: `picture` is the
/// map's.
void MarkLinesAndTicks(InkMap& map, const QImage& picture);

/// The connected pieces of ink of every colour (structure left out).
std::vector<InkBlob> FindBlobs(const InkMap& map);

/// Labels the blob's pixels of its colour as structure.
void MarkBlob(InkMap& map, const InkBlob& blob);

} // namespace kurvana::chart
