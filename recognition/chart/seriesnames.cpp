#include "recognition/chart/seriesnames.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/legend.h"
#include "recognition/chart/wholechart.h"

namespace kurvana::chart {

namespace {

/// The look of the curve's stroke: which of its points have its colour's ink within a
/// stroke's reach of them.
StrokeLook curveLook(const InkMap& map, int label, const std::vector<QPointF>& points) {
    constexpr int kReach = 2;
    std::vector<bool> inked;
    for (const QPointF& p : points) {
        const int x = int(std::lround(p.x())), y = int(std::lround(p.y()));
        if (!map.area.contains(x, y))
            continue;
        bool any = false;
        for (int r = std::max(map.area.top(), y - kReach);
             r <= std::min(map.area.bottom(), y + kReach) && !any; ++r)
            any = map.at(x, r) == label;
        inked.push_back(any);
    }
    return LookOf(inked);
}

} // namespace

void NameSeries(const InkMap& map, const std::vector<LegendEntry>& entries,
                const std::vector<int>& labels, std::vector<SeriesReading>& series) {
    std::vector<bool> taken(entries.size(), false);
    std::vector<StrokeLook> looks(series.size());
    for (std::size_t s = 0; s < series.size(); ++s)
        if (series[s].kind == SeriesKind::Curve)
            looks[s] = curveLook(map, labels[s], series[s].points);
    // Pairs of a series and an entry of its colour, the closest looks first: a marker's entry
    // for markers and a stroke's for curves before the other, then by their strokes' looks.
    struct Pair {
        bool otherKind;
        double apart;
        std::size_t series, entry;
    };
    std::vector<Pair> pairs;
    for (std::size_t s = 0; s < series.size(); ++s)
        for (std::size_t e = 0; e < entries.size(); ++e)
            if (entries[e].label == labels[s]) {
                const bool markers = series[s].kind == SeriesKind::Markers;
                pairs.push_back(
                    {entries[e].marker != markers, LookDistance(entries[e].look, looks[s]), s, e});
            }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::tie(a.otherKind, a.apart, a.series) < std::tie(b.otherKind, b.apart, b.series);
    });
    std::vector<bool> named(series.size(), false);
    for (const Pair& p : pairs)
        if (!named[p.series] && !taken[p.entry]) {
            series[p.series].name = entries[p.entry].name;
            named[p.series] = taken[p.entry] = true;
        }
}

} // namespace kurvana::chart
