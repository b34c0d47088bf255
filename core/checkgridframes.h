#pragma once

#include <vector>

#include "core/checkgrid.h"

namespace kurvana {

struct Document;

/// The check grid of the perspective frame: lines of constant X and Y exponent through the
/// inverse projective transform, over the whole picture. None when the frame is unusable.
std::vector<GridLine> PerspectiveGridLines(const Document& doc);

/// The check grid of the polar frame: rays every 30 degrees (pi/6) and circles at round radii,
/// labelled along the reference ray. None when the frame is unusable.
std::vector<GridLine> PolarGridLines(const Document& doc);

} // namespace kurvana
