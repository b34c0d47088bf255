#pragma once

#include "recognition/chart/curvefollow.h"
#include "tracing/polarsearch.h"

namespace kurvana::chart {

/// Follows the stroke of ink label `label` round the centre of a polar chart, one point per
/// ray where the ray first meets that ink, so that a closed curve comes back whole and in the
/// order of its path; `followed` is the share of rays that met it.
FollowedCurve FollowCurveAround(const InkMap& map, int label, const PolarRays& rays);

} // namespace kurvana::chart
