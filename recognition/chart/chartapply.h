#pragma once

#include <optional>

namespace kurvana {

struct Workspace;
struct ChartReading;

/// How the series of a reading become points.
struct ChartApplyOptions {
    /// Curves: the X step between points in axis units (exponents on a logarithmic axis);
    /// nothing: as many evenly spaced points over the curve's length as a line holds.
    std::optional<double> stepX;
};

/// Puts a whole-chart reading into the work: the calibration as Find axes applies it (unless
/// the reading was made with a given one), series i into line i + 1 (cleared first) with its
/// name, kind and colour, markers and bars one point each with their error-bar ends and labels,
/// curves sampled at evenly spaced X along their path; values recomputed and marks drawn.
/// The caller makes it one undoable step.
void ApplyChartReading(Workspace& ws, const ChartReading& reading,
                       const ChartApplyOptions& options = {});

} // namespace kurvana
