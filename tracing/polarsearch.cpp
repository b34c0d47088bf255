#include "tracing/polarsearch.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "core/document.h"
#include "core/polar.h"
#include "tracing/colourline.h"

namespace kurvana {

namespace {

/// Steps along a ray at half a pixel, so that no pixel the ray crosses is skipped.
constexpr long double kRayStep = 0.5L;

/// Calls visit(x, y, radius) for the pixels along the ray from the inner radius outwards while
/// they lie in the picture and visit returns true.
template <typename Visit>
void walkRay(const PolarRays& rays, const PlanePoint& direction, int width, int height,
             const Visit& visit) {
    for (long double r = rays.inner;; r += kRayStep) {
        const long long x = std::llround(rays.centre.x + r * direction.x);
        const long long y = std::llround(rays.centre.y + r * direction.y);
        if (x < 0 || y < 0 || x >= width || y >= height || !visit(int(x), int(y), r))
            return;
    }
}

/// The whole pixel for a sub-pixel centre on the stroke: of the four pixels around it, the one
/// nearest the stroke's core (the colour closest to the one sought), the nearest of those on a
/// tie. Rounding alone can step off the core sideways, which near the centre of a polar chart
/// is a large error of angle.
template <typename Weight>
QPoint strokePixelAt(const PlanePoint& p, int width, int height, const Weight& weight) {
    const long long x0 = std::llround(std::floor(p.x)), y0 = std::llround(std::floor(p.y));
    QPoint best(int(std::llround(p.x)), int(std::llround(p.y)));
    double bestWeight = -1, bestDistance = INFINITY;
    for (long long y = y0; y <= y0 + 1; ++y)
        for (long long x = x0; x <= x0 + 1; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height)
                continue;
            const double w = weight(int(x), int(y));
            const double d = double(std::hypot(x - p.x, y - p.y));
            if (w > bestWeight + 1e-9 || (std::abs(w - bestWeight) <= 1e-9 && d < bestDistance)) {
                best = QPoint(int(x), int(y));
                bestWeight = w;
                bestDistance = d;
            }
        }
    return best;
}

} // namespace

std::vector<PlanePoint> FollowPolarRays(const PolarRays& rays, int width, int height,
                                        const std::function<double(int x, int y)>& weight) {
    std::vector<PlanePoint> found;
    for (const PlanePoint& direction : rays.directions) {
        long double sum = 0, weighted = 0;
        walkRay(rays, direction, width, height, [&](int x, int y, long double r) {
            const long double w = weight(x, y);
            if (w <= 0)
                return sum == 0; // on until the first run has ended
            sum += w;
            weighted += w * r;
            return true;
        });
        if (sum > 0) {
            const long double r = weighted / sum;
            found.push_back({rays.centre.x + r * direction.x, rays.centre.y + r * direction.y});
        }
    }
    return found;
}

std::optional<PolarRays> PlanPolarRays(const Document& doc, int count) {
    const PolarCalibration& polar = doc.polar;
    if (doc.frame != CalibrationFrame::Polar || !PolarUsable(polar))
        return std::nullopt;
    const int rays =
        count < 0 ? int(kMaxColourColumns) : std::min<int>(count, int(kMaxColourColumns));
    PolarRays plan;
    plan.centre = {Widened(polar.centreX), Widened(polar.centreY)};
    const long double turn = PolarTurn(polar);
    for (int i = 0; i < rays; ++i) {
        // Angle i of the calibration, at the reference radius: only its direction counts.
        const auto at = PolarPointOf(polar, turn * i / rays, polar.referenceRadius);
        if (!at)
            return std::nullopt;
        const long double dx = at->x - plan.centre.x, dy = at->y - plan.centre.y;
        const long double length = std::hypot(dx, dy);
        if (!(length > 0))
            return std::nullopt;
        plan.directions.push_back({dx / length, dy / length});
    }
    return plan;
}

std::vector<QPoint> ScanPolarRays(const QImage& picture, const ColourLineTest& test,
                                  const PolarRays& rays) {
    std::vector<QPoint> found;
    const auto add = [&](QPoint p) {
        if (found.empty() || found.back() != p)
            found.push_back(p);
    };
    if (test.kind == SearchTolerant) {
        const long double reach = test.tolerance + 1.0L;
        const auto weight = [&](int x, int y) -> double {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            const Colour colour = colourFromQRgb(line[x]);
            if (!test.matches(colour))
                return 0;
            return double(1 - std::sqrt((long double)test.distanceSquared(colour)) / reach);
        };
        for (const PlanePoint& p : FollowPolarRays(rays, picture.width(), picture.height(), weight))
            add(strokePixelAt(p, picture.width(), picture.height(), weight));
        return found;
    }
    for (const PlanePoint& direction : rays.directions)
        walkRay(rays, direction, picture.width(), picture.height(), [&](int x, int y, long double) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            if (!test.matches(colourFromQRgb(line[x])))
                return true;
            add(QPoint(x, y));
            return false;
        });
    return found;
}

} // namespace kurvana
