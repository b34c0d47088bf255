#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QPoint>

#include "core/projective.h"

class QImage;

namespace kurvana {

struct Document;
struct ColourLineTest;

/// The rays a search casts in a polar frame: `count` rays at the angles 0, one turn / count, ..
/// of the calibration, each from `inner` pixels off the centre out to the picture's edge.
struct PolarRays {
    PlanePoint centre;
    std::vector<PlanePoint> directions; ///< unit vectors in picture pixels, in order of angle
    long double inner = 4;
};

/// The rays the whole-chart command follows a polar curve along: one every 0.36 degree.
constexpr int kPolarFollowRays = 1000;

/// The rays of `count` wanted points (a negative count: the most, 1000); nothing when the
/// document's frame is not a usable polar one.
std::optional<PolarRays> PlanPolarRays(const Document& doc, int count);

/// Along every ray from the centre outwards, the first pixel that passes the test (kinds 1 to
/// 3), or the centre of the first run of passing pixels, each weighted by its closeness to the
/// search colour (kind 4). The points come in the order of the rays, so that a curve round the
/// centre (an antenna pattern, a closed curve) is followed round its path; a pixel found by two
/// neighbouring rays near the centre is given once. Only the picture's own pixels are read.
std::vector<QPoint> ScanPolarRays(const QImage& picture, const ColourLineTest& test,
                                  const PolarRays& rays);

/// The same along rays for any stroke: `weight` gives a pixel's ink weight for the curve
/// (0 for none), and each ray takes the weighted centre of its first run of ink from the
/// centre outwards, in sub-pixels. The whole-chart command follows closed polar curves so.
std::vector<PlanePoint> FollowPolarRays(const PolarRays& rays, int width, int height,
                                        const std::function<double(int x, int y)>& weight);

} // namespace kurvana
