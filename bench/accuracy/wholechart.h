#pragma once

#include <QString>

namespace kurvana::accuracy {

/// The whole-chart run: gnuplot charts of one to five series (curves solid, dashed and dotted,
/// markers, both), with and without legend, grid and frame, linear and logarithmic axes, several
/// terminals, fonts and sizes, some through JPEG, each read by ReadWholeChart and scored with
/// the line-chart extraction score (series matched one to one; per true point
/// min(1, error / 1 % of the Y range); missing and extra series count as 0). Prints a table;
/// false when a target is missed.
bool RunWholeCharts(bool quick, const QString& folder, const QString& only);

} // namespace kurvana::accuracy
