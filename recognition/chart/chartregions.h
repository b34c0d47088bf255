#pragma once

#include <vector>

#include <QRect>

class QImage;

namespace kurvana {

/// The parts of a page that each hold a chart of their own. The page's ink is cut along broad
/// gutters of paper, level and upright, again and again; a piece holding long level and
/// upright strokes (axes) is a chart, and the pieces without (tick labels, titles, captions)
/// go with the chart beside them. One rectangle, the whole page, where it holds one chart or
/// none. Reads the page on row pointers at a step that keeps the work near a megapixel.
std::vector<QRect> FindChartRegions(const QImage& page);

} // namespace kurvana
