#pragma once

#include <vector>

namespace kurvana {
struct SeriesReading;
}

namespace kurvana::chart {

struct InkMap;
struct LegendEntry;

/// Gives each series the name of the legend entry of its colour whose sample looks like it:
/// markers take a marker's entry and curves a stroke's, and of several curves of one colour
/// (a solid, a dashed and a dotted black one) each takes the entry whose sample is drawn most
/// like it, one entry to one series.
/// `labels` holds each series' ink label in `map`.
void NameSeries(const InkMap& map, const std::vector<LegendEntry>& entries,
                const std::vector<int>& labels, std::vector<SeriesReading>& series);

} // namespace kurvana::chart
