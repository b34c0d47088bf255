#include "core/strokesnap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <QImage>

#include "core/document.h"
#include "core/paper.h"
#include "core/snap.h"
#include "platform/colour.h"

namespace kurvana {

namespace {

using Rgb = RgbVector;

Rgb rgbAt(const QImage& picture, int x, int y) {
    const Colour c = pixelColour(picture, x, y);
    return {double(c & 0xFF), double(c >> 8 & 0xFF), double(c >> 16 & 0xFF)};
}

/// Beyond the picture's edge there is neither paper nor ink: such a pixel is left out of every
/// step below. Read as white it would be ink on dark paper and pull a click off the picture.
bool inside(const QImage& picture, int x, int y) {
    return x >= 0 && y >= 0 && x < picture.width() && y < picture.height();
}

/// Half the side of the square whose commonest colour is taken for the paper.
constexpr int kPaperRadius = 16;
/// A pixel is ink for finding the stroke when one component differs this much from the paper:
/// light grid lines and scanner noise stay below it, any real stroke's core lies above.
constexpr double kInkContrast = 100;
/// Below this share of the stroke colour a pixel is paper with a tint, not stroke.
constexpr double kLeastInk = 0.2;
/// A pixel whose colour strays further than this share of the stroke's contrast from the line
/// between paper and stroke colour belongs to something else (another curve, a grid line).
constexpr double kOtherColour = 0.4;
/// Radius of the window in which the cross-section's centre is found: a stroke up to 8 pixels
/// wide fits when the window sits on its centre.
constexpr double kCentreRadius = 4.5;

/// The ink pixel nearest to (x, y) within reach, if any.
std::optional<QPoint> nearestInk(const QImage& picture, const Rgb& paper, int x, int y) {
    std::optional<QPoint> nearest;
    double nearestSquare = kStrokeReach * kStrokeReach;
    const int reach = int(kStrokeReach);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double square = dx * dx + dy * dy;
            if (square > nearestSquare || (nearest && square == nearestSquare) ||
                !inside(picture, x + dx, y + dy))
                continue;
            if ((rgbAt(picture, x + dx, y + dy) - paper).largestComponent() < kInkContrast)
                continue;
            nearest = QPoint(x + dx, y + dy);
            nearestSquare = square;
        }
    return nearest;
}

/// How strongly pixels are inked with one stroke's colour: 1 for the stroke's full colour, a
/// share for an anti-aliased edge (a mix of paper and stroke), 0 for paper and for pixels of
/// any other colour.
class InkWeight {
public:
    InkWeight(const Rgb& paper, const Rgb& stroke)
        : paper_(paper), contrast_(stroke - paper), contrastSquare_(contrast_.dot(contrast_)) {}

    double operator()(const Rgb& colour) const {
        const Rgb offset = colour - paper_;
        const double share = std::clamp(offset.dot(contrast_) / contrastSquare_, 0.0, 1.0);
        if (share < kLeastInk)
            return 0;
        const double stray = (offset - contrast_ * share).length();
        return stray > kOtherColour * std::sqrt(contrastSquare_) ? 0 : share;
    }

private:
    Rgb paper_;
    Rgb contrast_;
    double contrastSquare_;
};

/// The stroke's full colour: of the pixels around the first one found, the one that goes
/// furthest from the paper in that pixel's direction (an edge pixel is only partly inked).
Rgb strokeColourNear(const QImage& picture, const Rgb& paper, QPoint hit) {
    const Rgb direction = rgbAt(picture, hit.x(), hit.y()) - paper;
    Rgb best = rgbAt(picture, hit.x(), hit.y());
    double bestReach = direction.dot(direction);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            if (!inside(picture, hit.x() + dx, hit.y() + dy))
                continue;
            const Rgb colour = rgbAt(picture, hit.x() + dx, hit.y() + dy);
            const double reach = (colour - paper).dot(direction);
            if (reach > bestReach) {
                best = colour;
                bestReach = reach;
            }
        }
    return best;
}

struct Centre {
    double x = 0, y = 0;
    double tangentX = 1, tangentY = 0; ///< the stroke's direction there (unit length)
};

/// The ink-weighted centroid and main direction of the stroke pixels within kCentreRadius of
/// (cx, cy); nothing when no stroke pixel lies there.
std::optional<Centre> centroidAround(const QImage& picture, const InkWeight& weight, double cx,
                                     double cy) {
    double sum = 0, sumX = 0, sumY = 0, sumXX = 0, sumYY = 0, sumXY = 0;
    const int reach = int(std::ceil(kCentreRadius));
    const int ix = int(std::lround(cx)), iy = int(std::lround(cy));
    for (int py = iy - reach; py <= iy + reach; ++py)
        for (int px = ix - reach; px <= ix + reach; ++px) {
            if ((px - cx) * (px - cx) + (py - cy) * (py - cy) > kCentreRadius * kCentreRadius ||
                !inside(picture, px, py))
                continue;
            const double w = weight(rgbAt(picture, px, py));
            sum += w;
            sumX += w * px;
            sumY += w * py;
            sumXX += w * px * px;
            sumYY += w * py * py;
            sumXY += w * px * py;
        }
    if (sum <= 0)
        return std::nullopt;
    Centre c{sumX / sum, sumY / sum};
    const double vxx = sumXX / sum - c.x * c.x;
    const double vyy = sumYY / sum - c.y * c.y;
    const double vxy = sumXY / sum - c.x * c.y;
    const double angle = 0.5 * std::atan2(2 * vxy, vxx - vyy); // the axis of largest spread
    c.tangentX = std::cos(angle);
    c.tangentY = std::sin(angle);
    return c;
}

/// Moves (x, y) onto the centre of the stroke's cross-section there: the window is moved to
/// the centroid it holds until it stays put, so that it sits symmetrically on the stroke.
std::optional<Centre> crossSectionCentre(const QImage& picture, const InkWeight& weight, double x,
                                         double y) {
    std::optional<Centre> centre;
    for (int step = 0; step < 10; ++step) {
        centre = centroidAround(picture, weight, x, y);
        if (!centre)
            return centre;
        const double moved = std::hypot(centre->x - x, centre->y - y);
        x = centre->x;
        y = centre->y;
        if (moved < 0.02)
            break;
    }
    return centre;
}

int nearestWhole(double value) {
    return int(std::floor(value + 0.5));
}

} // namespace

QPoint SnapToStroke(const QImage& picture, int x, int y) {
    const Rgb paper = PaperAround(picture, x, y, kPaperRadius);
    const std::optional<QPoint> hit = nearestInk(picture, paper, x, y);
    if (!hit)
        return {x, y};
    const InkWeight weight(paper, strokeColourNear(picture, paper, *hit));
    double startX = hit->x(), startY = hit->y();
    std::optional<Centre> centre;
    // The centre found from the first ink pixel lies across the stroke from that pixel; the
    // click may lie further along the stroke, so the search starts again at the click's foot
    // on the stroke's centre line until the two agree.
    for (int round = 0; round < 4; ++round) {
        const std::optional<Centre> found = crossSectionCentre(picture, weight, startX, startY);
        if (!found)
            break;
        centre = found;
        const double along =
            (x - centre->x) * centre->tangentX + (y - centre->y) * centre->tangentY;
        startX = centre->x + along * centre->tangentX;
        startY = centre->y + along * centre->tangentY;
        if (std::fabs(along) < 0.5)
            break;
    }
    if (!centre)
        return {x, y};
    return {nearestWhole(centre->x), nearestWhole(centre->y)};
}

QPoint SnapClick(Document& doc, int x, int y) {
    if (doc.snapRule == SnapRule::DarkOnly)
        return SnapToInk(doc, x, y);
    return SnapToStroke(doc.cleanPicture, x, y);
}

} // namespace kurvana
