#pragma once

namespace kurvana {

struct ChartReading;

/// A bar chart whose category axis is labelled with words (not numbers): that axis is
/// calibrated on its categories, 1 at the first (left, or bottom) and the count at the last,
/// and each bar of every bar series is put on its category's place with the category's name as
/// its label, so that its value on that axis is its category's number. The other axis must have
/// been found from its numbers. Nothing changes when the chart has no such axis.
void UseCategoryAxis(ChartReading& reading);

} // namespace kurvana
