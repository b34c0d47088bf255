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
        series.points.push_back(found->pointOf(bar));
        series.extras.push_back(BarExtras(*found, bar));
    }
}

} // namespace kurvana
