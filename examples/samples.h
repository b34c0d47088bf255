#pragma once

#include <vector>

#include "chart.h"

namespace examples {

/// The bundled charts: level_linear, log_scale and tilted_scan.
std::vector<ChartSpec> StandardSamples();

/// The large scan with five curves: 7016 x 4961 pixels (A4 at 600 dpi) at scale 1; a smaller
/// scale draws the same chart proportionally smaller.
ChartSpec LargeSample(double scale = 1.0);

} // namespace examples
