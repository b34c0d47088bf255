#pragma once

#include <QString>

namespace kurvana::accuracy {

/// The whole-chart run on bar charts: single, grouped, stacked and horizontal bars, numbered
/// and category axes, through JPEG too, each read by ReadWholeChart. Every series must come
/// out as bars, every bar once with its end within half a pixel, and on a category axis every
/// bar with its category's name and the category's number. Prints a table; false when a target
/// is missed.
bool RunWholeBarCharts(bool quick, const QString& folder, const QString& only);

} // namespace kurvana::accuracy
