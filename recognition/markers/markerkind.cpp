#include "recognition/markers/markerkind.h"

#include <algorithm>
#include <cmath>

namespace kurvana::markers {

namespace {

/// A silhouette filling more of its box than this is a square (a circle fills pi/4 of it).
constexpr double kSquareFill = 0.9;
/// ... more than this a circle (triangles and diamonds fill about half of it)...
constexpr double kRoundFill = 0.72;
/// ... and down to this, when it is neither widest in the middle nor at one end (a small
/// circle's rows come out uneven).
constexpr double kCircleFill = 0.66;
/// A middle third this much wider than either end third is a diamond's.
constexpr double kWiderMiddle = 1.25;
/// Where the silhouette's width changes by this factor between its thirds, it narrows to a
/// point: a triangle (top against bottom) or a diamond (middle against both ends).
constexpr double kNarrowing = 1.5;
/// Narrowing this much between the end thirds is a triangle's whatever its fill.
constexpr double kClearNarrowing = 1.5;
/// Thin arms cover at least this share of the line they lie on.
constexpr double kArmCover = 0.8;
/// Holes inside the silhouette up to this share of it leave a marker filled (an outline's
/// hole is most of it, a 5-pixel circle's a third; a filled marker's only its stray light
/// pixels).
constexpr double kFilledHoles = 0.15;
/// Strokes (a cross, a plus) cover less of their box than this, even with their faint edges.
constexpr double kStrokesFill = 0.7;

/// The mean number of silhouette pixels per row over rows [first, last).
double meanWidth(const Silhouette& s, int first, int last) {
    int count = 0;
    for (int y = first; y < last; ++y)
        for (int x = s.box.left(); x <= s.box.right(); ++x)
            count += s.at(x, y);
    return last > first ? double(count) / (last - first) : 0;
}

/// The share of points along the segment from (x0, y0) to (x1, y1) within a pixel of the
/// silhouette.
double coverAlong(const Silhouette& s, double x0, double y0, double x1, double y1) {
    const int steps = std::max(2, int(std::ceil(std::hypot(x1 - x0, y1 - y0))));
    int covered = 0;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const int x = int(std::lround(x0 + t * (x1 - x0))),
                  y = int(std::lround(y0 + t * (y1 - y0)));
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx)
                near = s.at(x + dx, y + dy);
        covered += near;
    }
    return double(covered) / (steps + 1);
}

std::optional<MarkerShape> armsShape(const Silhouette& s) {
    const QRect& b = s.box;
    const double midX = (b.left() + b.right()) / 2.0, midY = (b.top() + b.bottom()) / 2.0;
    const double upright = std::min(coverAlong(s, b.left(), midY, b.right(), midY),
                                    coverAlong(s, midX, b.top(), midX, b.bottom()));
    const double slanted = std::min(coverAlong(s, b.left(), b.top(), b.right(), b.bottom()),
                                    coverAlong(s, b.left(), b.bottom(), b.right(), b.top()));
    if (upright >= kArmCover && slanted < kArmCover)
        return MarkerShape::Plus;
    if (slanted >= kArmCover && upright < kArmCover)
        return MarkerShape::Cross;
    return std::nullopt;
}

/// Arms too small for their lines to be told apart from an outline's (a 5-pixel cross's
/// strokes are a pixel from its box's middle lines): where the ink lies, nearer to the
/// diagonals or to the middle lines. An outline or a filled shape has about as much either
/// way; a cross has most on its diagonals, a plus on its middle lines.
std::optional<MarkerShape> armsByWeight(const Silhouette& s) {
    constexpr double kArmsShare = 3;
    const QRect& b = s.box;
    const double midX = (b.left() + b.right()) / 2.0, midY = (b.top() + b.bottom()) / 2.0;
    double onDiagonals = 0, onMiddleLines = 0;
    for (int y = s.coverArea.top(); y <= s.coverArea.bottom(); ++y)
        for (int x = s.coverArea.left(); x <= s.coverArea.right(); ++x) {
            const double dx = std::fabs(x - midX), dy = std::fabs(y - midY);
            const double toMiddle = std::min(dx, dy),
                         toDiagonal = std::fabs(dx - dy) / std::sqrt(2.0);
            const float c = s.cover[std::size_t(y - s.coverArea.top()) * s.coverArea.width() +
                                    (x - s.coverArea.left())];
            if (toDiagonal < toMiddle)
                onDiagonals += c;
            else if (toMiddle < toDiagonal)
                onMiddleLines += c;
        }
    if (onDiagonals >= kArmsShare * onMiddleLines)
        return MarkerShape::Cross;
    if (onMiddleLines >= kArmsShare * onDiagonals)
        return MarkerShape::Plus;
    return std::nullopt;
}

} // namespace

const char* ShapeName(MarkerShape shape) {
    switch (shape) {
    case MarkerShape::Circle:
        return "circle";
    case MarkerShape::Square:
        return "square";
    case MarkerShape::TriangleUp:
        return "triangle-up";
    case MarkerShape::TriangleDown:
        return "triangle-down";
    case MarkerShape::Diamond:
        return "diamond";
    case MarkerShape::Cross:
        return "cross";
    case MarkerShape::Plus:
        return "plus";
    case MarkerShape::Other:
        break;
    }
    return "other";
}

bool IsFilled(const Silhouette& silhouette) {
    return silhouette.insideCount > 0 &&
           silhouette.holeCount <= kFilledHoles * silhouette.insideCount;
}

MarkerShape ClassifyShape(const Silhouette& s, const Silhouette& unclosed) {
    const QRect& b = s.box;
    if (b.isEmpty() || s.insideCount == 0)
        return MarkerShape::Other;
    const double fill = s.coveredFill;
    // Arms drawn as strokes enclose nothing and fill little of the box.
    const double unclosedFill =
        double(unclosed.insideCount) / (double(unclosed.box.width()) * unclosed.box.height());
    if (unclosedFill < 0.5 && unclosed.holeCount <= 1)
        if (const auto arms = armsShape(unclosed))
            return *arms;
    // Strokes enclose nothing and cover little of the box.
    if (unclosed.holeCount <= 1 && unclosed.coveredFill < kStrokesFill)
        if (const auto arms = armsByWeight(unclosed))
            return *arms;
    if (fill >= kSquareFill)
        return MarkerShape::Square;
    const int third = std::max(1, b.height() / 3);
    const double top = meanWidth(s, b.top(), b.top() + third);
    const double middle = meanWidth(s, b.top() + third, b.bottom() + 1 - third);
    const double bottom = meanWidth(s, b.bottom() + 1 - third, b.bottom() + 1);
    // A triangle whose point a line took away fills its box like a circle, but still
    // narrows far more from one end to the other than a circle's rows do.
    if (bottom >= kClearNarrowing * top)
        return MarkerShape::TriangleUp;
    if (top >= kClearNarrowing * bottom)
        return MarkerShape::TriangleDown;
    if (fill >= kRoundFill)
        return MarkerShape::Circle;
    // A diamond is widest in its middle third; a triangle is widest at its base.
    if (middle >= kWiderMiddle * std::max(top, bottom))
        return MarkerShape::Diamond;
    if (bottom >= kNarrowing * top)
        return MarkerShape::TriangleUp;
    if (top >= kNarrowing * bottom)
        return MarkerShape::TriangleDown;
    if (fill >= kCircleFill)
        return MarkerShape::Circle;
    return MarkerShape::Other;
}

} // namespace kurvana::markers
