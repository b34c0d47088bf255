#pragma once

#include <QRect>
#include <QSize>

namespace kurvana {

struct AxisProposal;

/// The area of the picture where a chart's data lie, as the axes enclose it: right of the Y
/// axis line and above the X axis line (their strokes and anti-aliased edges left out), up to
/// the ends of those lines (a frame's far sides, or the picture's edge where a line is
/// missing). The whole picture when no axis line was found.
QRect PlotAreaOf(const AxisProposal& axes, QSize picture);

} // namespace kurvana
