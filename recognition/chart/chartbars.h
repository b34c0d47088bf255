#pragma once

#include <QPoint>

class QImage;

namespace kurvana {

struct SeriesReading;

/// A bar series of the whole chart, as Find bars reads it from a click at `click` on one of its
/// bars: one point per bar (centre, value end) and the ends of its error bar where it has one.
void ReadBarSeries(const QImage& picture, QPoint click, SeriesReading& series);

} // namespace kurvana
