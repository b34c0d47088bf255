#include "recognition/chart/chartbars.h"

#include "recognition/bars/barcommand.h"
#include "recognition/bars/barfinder.h"
#include "recognition/chart/wholechart.h"

namespace kurvana {

void ReadBarSeries(const QImage& picture, QPoint click, SeriesReading& series) {
    series.kind = SeriesKind::Bars;
    const std::optional<BarSearch> found = FindBars(picture, click);
    if (!found)
        return;
    for (const FoundBar& bar : found->bars) {
        // To the fraction of a pixel the finder gives; the lines keep the nearest pixel.
        series.points.push_back(found->horizontal ? QPointF(bar.end, bar.centre)
                                                  : QPointF(bar.centre, bar.end));
        series.extras.push_back(BarExtras(*found, bar));
    }
}

} // namespace kurvana
