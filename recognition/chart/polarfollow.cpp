#include "recognition/chart/polarfollow.h"

#include "recognition/chart/inkmap.h"

namespace kurvana::chart {

FollowedCurve FollowCurveAround(const InkMap& map, int label, const PolarRays& rays) {
    const QRect area = map.area;
    const auto ink = [&](int x, int y) {
        return area.contains(x, y) && map.row(y)[x - area.left()] == label ? 1.0 : 0.0;
    };
    FollowedCurve curve;
    for (const PlanePoint& p : FollowPolarRays(rays, area.right() + 1, area.bottom() + 1, ink))
        curve.points.emplace_back(double(p.x), double(p.y));
    curve.followed =
        rays.directions.empty() ? 0 : double(curve.points.size()) / double(rays.directions.size());
    return curve;
}

} // namespace kurvana::chart
