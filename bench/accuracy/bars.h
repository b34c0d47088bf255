#pragma once

#include <QString>

namespace kurvana::accuracy {

/// The bar charts of the accuracy run: single, grouped, stacked, horizontal and negative bars,
/// with and without borders and error bars, in several sizes, also through JPEG. Each series is
/// found with one click on its first bar; every true bar must be found once, its end within
/// half a pixel, and nothing else. Prints a table; false when a target is missed.
bool RunBarCharts(bool quick, const QString& folder, const QString& only);

} // namespace kurvana::accuracy
