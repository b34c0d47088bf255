#include "recognition/chart/curvefollow.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include <QImage>
#include <QPointF>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/parabola.h"

namespace kurvana::chart {

namespace {

/// A run of the curve's colour in one column.
struct Run {
    double centre = 0; ///< ink-weighted, picture y
    int top = 0, bottom = 0;
};

using Columns = std::vector<std::vector<Run>>;

constexpr std::size_t kStarts = 3;

/// The ink-weighted centre of the run from `top` to `bottom` in column x, two pixels of fringe
/// beyond each end counted by their strength.
double weightedCentre(const QImage& picture, const InkMap& map, const InkColour& ink, int x,
                      int top, int bottom, int label) {
    double sum = 0, weight = 0;
    const int from = std::max(map.area.top(), top - 2),
              to = std::min(map.area.bottom(), bottom + 2);
    for (int y = from; y <= to; ++y) {
        const std::uint8_t l = map.at(x, y);
        if (l != label && l != InkMap::kPaper && (y < top || y > bottom))
            continue; // another colour's ink next to the run
        const QRgb p = reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
        const double w = (y >= top && y <= bottom) ? std::max(0.2, InkStrength(p, map.paper, ink))
                                                   : InkStrength(p, map.paper, ink);
        sum += w * y;
        weight += w;
    }
    return weight > 0 ? sum / weight : (top + bottom) / 2.0;
}

/// The runs of the label per column, read row by row.
Columns runsPerColumn(const QImage& picture, const InkMap& map, int label) {
    const QRect& a = map.area;
    Columns columns(std::size_t(a.width()));
    std::vector<int> openTop(std::size_t(a.width()), -1);
    const InkColour& ink = map.colours[std::size_t(label - 1)];
    const auto close = [&](int x, int bottom) {
        const int top = openTop[std::size_t(x - a.left())];
        columns[std::size_t(x - a.left())].push_back(
            {weightedCentre(picture, map, ink, x, top, bottom, label), top, bottom});
        openTop[std::size_t(x - a.left())] = -1;
    };
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const std::uint8_t* row = map.row(y);
        for (int x = 0; x < a.width(); ++x) {
            const bool on = row[x] == label;
            int& top = openTop[std::size_t(x)];
            if (on && top < 0)
                top = y;
            else if (!on && top >= 0)
                close(x + a.left(), y - 1);
        }
    }
    for (int x = 0; x < a.width(); ++x)
        if (openTop[std::size_t(x)] >= 0)
            close(x + a.left(), a.bottom());
    return columns;
}

/// Where to start: the middles of the longest stretches of columns holding a single thin run,
/// the longest first (a legend's sample or a crossing-free stretch of another stroke of the
/// colour may be the longest); the first column with a run where there is no such stretch.
std::vector<int> startColumns(const Columns& columns, std::size_t count) {
    std::vector<std::pair<int, int>> stretches; // length, middle
    int length = 0;
    for (int i = 0; i <= int(columns.size()); ++i) {
        if (i < int(columns.size()) && columns[std::size_t(i)].size() == 1) {
            ++length;
            continue;
        }
        if (length > 0)
            stretches.emplace_back(length, i - 1 - length / 2);
        length = 0;
    }
    std::sort(stretches.begin(), stretches.end(), std::greater<>());
    std::vector<int> starts;
    for (std::size_t k = 0; k < stretches.size() && k < count; ++k)
        starts.push_back(stretches[k].second);
    if (starts.empty())
        for (int i = 0; i < int(columns.size()) && starts.empty(); ++i)
            if (!columns[std::size_t(i)].empty())
                starts.push_back(i);
    return starts;
}

/// Follows from column `start` in direction `step` (+1, -1), filling `centres` (NaN where no
/// run was taken); past a gap of more than `maxGap` columns it takes the next lone run.
void followFrom(const Columns& columns, int start, int step, std::vector<double>& centres,
                int maxGap) {
    const int n = int(columns.size());
    std::vector<int> taken; // column indices with a centre, in order of following
    taken.push_back(start);
    // The slope is kept per column in the direction of following: over the last few columns
    // followed, smoothing a run's steps, and over more of them, which still holds past a
    // crossing whose blended pieces bent the first.
    double slope = 0, longSlope = 0;
    int gap = 0;
    const auto slopeBack = [&](std::size_t columnsBack, int i, double centre) {
        const int from = taken[taken.size() - std::min(taken.size(), columnsBack)];
        return from != i ? (centre - centres[std::size_t(from)]) / (i - from) * step : 0.0;
    };
    for (int i = start + step; i >= 0 && i < n; i += step) {
        const int last = taken.back();
        const double distance = std::abs(i - last);
        const std::vector<Run>& runs = columns[std::size_t(i)];
        const Run* best = nullptr;
        double bestMiss = 1e300, tolerance = 0;
        for (const double s : {slope, longSlope}) {
            const double predicted = centres[std::size_t(last)] + s * distance;
            const double allowed = 3 + 0.6 * std::abs(s) + distance * (0.5 + 0.3 * std::abs(s));
            for (const Run& r : runs) {
                // A steep stroke's run spans the prediction rather than centring on it.
                const double miss = predicted < r.top      ? r.top - predicted
                                    : predicted > r.bottom ? predicted - r.bottom
                                                           : std::abs(r.centre - predicted) * 0.1;
                if (miss - allowed < bestMiss - tolerance) {
                    bestMiss = miss;
                    tolerance = allowed;
                    best = &r;
                }
            }
        }
        const bool lost = gap > maxGap;
        if (best && (bestMiss <= tolerance || (lost && runs.size() == 1))) {
            centres[std::size_t(i)] = best->centre;
            slope = lost ? 0 : slopeBack(4, i, best->centre);
            longSlope = lost ? 0 : slopeBack(16, i, best->centre);
            // Started again: what came before the loss says nothing of the slope here.
            if (lost)
                taken.clear();
            taken.push_back(i);
            gap = 0;
        } else {
            ++gap;
        }
    }
}

/// Whether the column beyond a curve's end at `end` (step +1 or -1) hides it: the area's edge,
/// or structure (an axis, the frame, a tick) at the curve's rows.
bool hiddenBeyond(const InkMap& map, QPointF end, int step) {
    const int x = int(end.x()) + step;
    if (x < map.area.left() || x > map.area.right())
        return true;
    const int y = int(std::lround(end.y()));
    for (int r = std::max(map.area.top(), y - 1); r <= std::min(map.area.bottom(), y + 1); ++r)
        if (map.at(x, r) == InkMap::kStructure)
            return true;
    return false;
}

/// A curve that runs into the frame or an axis runs on under its stroke, whose centre lies a
/// pixel or two beyond what can be seen: its ends are carried on there along their slope.
void runOnUnderEdges(const InkMap& map, std::vector<QPointF>& points) {
    constexpr int kUnder = 2, kSlopeOver = 5;
    if (points.size() < std::size_t(kSlopeOver) + 1)
        return;
    const auto carried = [](QPointF end, QPointF inner, int step) {
        const double slope = (end.y() - inner.y()) / (end.x() - inner.x());
        std::vector<QPointF> more;
        for (int k = 1; k <= kUnder; ++k)
            more.emplace_back(end.x() + k * step, end.y() + slope * k * step);
        return more;
    };
    if (hiddenBeyond(map, points.back(), 1)) {
        const auto more = carried(points.back(), points[points.size() - 1 - kSlopeOver], 1);
        points.insert(points.end(), more.begin(), more.end());
    }
    if (hiddenBeyond(map, points.front(), -1)) {
        const auto more = carried(points.front(), points[kSlopeOver], -1);
        points.insert(points.begin(), more.rbegin(), more.rend());
    }
}

/// Bridges the gaps (dashes, crossings) between `first` and `last` on the parabola through the
/// centres seen on both sides (a curve bends over a dash's gap), or the straight line between
/// the ends where too few are seen. A dash's end column holds only part of a steep stroke, so
/// the columns next to a gap are put on that parabola too. A gap longer than the follower
/// bridges is left open: the curve was lost there.
void bridgeGaps(std::vector<double>& centres, int first, int last, int maxGap) {
    const std::vector<double> seen = centres;
    const int n = int(seen.size());
    const auto isSeen = [&](int j) { return j >= 0 && j < n && !std::isnan(seen[std::size_t(j)]); };
    int previous = -1;
    for (int i = first; i <= last && first >= 0; ++i) {
        if (!isSeen(i))
            continue;
        if (previous >= 0 && i - previous > 1 && i - previous <= maxGap + 1) {
            const int reach = std::max(4, i - previous);
            std::vector<QPointF> around;
            int before = 0, after = 0;
            for (int j = previous - reach; j <= i + reach; ++j)
                if (isSeen(j) && (j <= previous || j >= i)) {
                    around.emplace_back(j, seen[std::size_t(j)]);
                    (j <= previous ? before : after) += 1;
                }
            const auto parabola =
                before >= 3 && after >= 3 ? ParabolaThrough(around) : std::nullopt;
            const int from = parabola ? previous : previous + 1, to = parabola ? i : i - 1;
            for (int j = from; j <= to; ++j) {
                const double t = double(j - previous) / (i - previous);
                centres[std::size_t(j)] =
                    parabola ? (*parabola)(j)
                             : seen[std::size_t(previous)] * (1 - t) + seen[std::size_t(i)] * t;
            }
        }
        previous = i;
    }
}

/// The gap a dashed stroke leaves between its dashes, in columns: the longest of most of the
/// runs of columns without a centre between `first` and `last` (a dash's gap spans fewer
/// columns where the curve is steep; the odd longer one is where it was lost or crossed
/// another). 0 for a solid stroke, which has only those few.
int dashGap(const std::vector<double>& centres, int first, int last, int maxGap) {
    constexpr std::size_t kDashed = 4;
    constexpr double kMost = 0.9;
    std::vector<int> gaps;
    int run = 0;
    for (int i = first; i <= last && first >= 0; ++i) {
        if (std::isnan(centres[std::size_t(i)])) {
            ++run;
            continue;
        }
        if (run > 0 && run <= maxGap)
            gaps.push_back(run);
        run = 0;
    }
    if (gaps.size() < kDashed)
        return 0;
    const auto most = gaps.begin() + std::ptrdiff_t(kMost * double(gaps.size() - 1));
    std::nth_element(gaps.begin(), most, gaps.end());
    return *most;
}

/// A dashed curve that ends within two of its dash gaps of the area's edge or the frame or an
/// axis runs on to there: its stroke stops at the edge, not at its last dash, and the dash
/// before the edge may be hidden under the frame. It is carried on along the parabola through
/// its last dashes.
void runOnToEdges(const InkMap& map, std::vector<double>& centres, int& first, int& last, int gap) {
    const int n = int(centres.size());
    const auto structureAt = [&](int i, double row) {
        const int y = int(std::lround(row));
        for (int r = std::max(map.area.top(), y - 1); r <= std::min(map.area.bottom(), y + 1); ++r)
            if (map.at(i + map.area.left(), r) == InkMap::kStructure)
                return true;
        return false;
    };
    // Gives the column the curve now ends at.
    const auto carry = [&](int from, int step) {
        std::vector<QPointF> seen;
        for (int i = from, k = 0; i >= 0 && i < n && k < 4 * gap + 8; i -= step, ++k)
            if (!std::isnan(centres[std::size_t(i)]))
                seen.emplace_back(i, centres[std::size_t(i)]);
        const auto parabola = ParabolaThrough(seen);
        if (!parabola)
            return from;
        int end = from + step;
        for (; end >= 0 && end < n && std::abs(end - from) <= 2 * gap; end += step)
            if (structureAt(end, (*parabola)(end)))
                break;
        const bool edge = end < 0 || end >= n || structureAt(end, (*parabola)(end));
        if (!edge)
            return from;
        for (int i = from + step; i != end; i += step)
            centres[std::size_t(i)] = (*parabola)(i);
        return end - step;
    };
    if (gap < 2 || first < 0)
        return;
    last = carry(last, 1);
    first = carry(first, -1);
}

/// The middles of the dots of a dotted stroke, left to right, from the run each column's
/// point lies on: pieces of columns whose runs touch, about as high as they are wide (a dash
/// is longer) and small. Empty where most pieces are not dots (a solid or dashed stroke).
std::vector<QPointF> dotsOf(const std::vector<const Run*>& taken, int left) {
    constexpr int kLargestDot = 8;
    constexpr std::size_t kFewest = 8;
    constexpr double kMostly = 0.7;
    struct Piece {
        int columns = 0, top = 1 << 30, bottom = -1;
        double x = 0, y = 0, weight = 0;
    };
    std::vector<Piece> pieces;
    const Run* previous = nullptr;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const Run* run = taken[i];
        if (run &&
            (!previous || run->top > previous->bottom + 1 || run->bottom < previous->top - 1))
            pieces.emplace_back();
        if (run) {
            Piece& piece = pieces.back();
            const double weight = run->bottom - run->top + 1;
            ++piece.columns;
            piece.top = std::min(piece.top, run->top);
            piece.bottom = std::max(piece.bottom, run->bottom);
            piece.x += weight * double(int(i) + left), piece.y += weight * run->centre;
            piece.weight += weight;
        }
        previous = run;
    }
    std::vector<QPointF> dots;
    for (const Piece& p : pieces) {
        const int rows = p.bottom - p.top + 1;
        if (p.columns <= rows + 2 && rows <= p.columns + 2 &&
            std::max(p.columns, rows) <= kLargestDot)
            dots.emplace_back(p.x / p.weight, p.y / p.weight);
    }
    if (pieces.size() < kFewest || double(dots.size()) < kMostly * double(pieces.size()))
        return {};
    return dots;
}

/// The row at column x of the parabola through the dots nearest it, three each side; nothing
/// where the nearest on either side is further than `reach`.
std::optional<double> rowOnDots(const std::vector<QPointF>& dots, double x, double reach) {
    constexpr std::ptrdiff_t kEachSide = 3;
    const auto after = std::lower_bound(dots.begin(), dots.end(), x,
                                        [](QPointF d, double v) { return d.x() < v; });
    if (after == dots.begin() || after == dots.end() || after->x() - x > reach ||
        x - (after - 1)->x() > reach)
        return std::nullopt;
    const auto from = after - std::min(kEachSide, after - dots.begin());
    const auto to = after + std::min(kEachSide, dots.end() - after);
    if (const auto parabola = ParabolaThrough(std::vector<QPointF>(from, to)))
        return (*parabola)(x);
    const QPointF a = *(after - 1), b = *after;
    return a.y() + (x - a.x()) / (b.x() - a.x()) * (b.y() - a.y());
}

} // namespace

FollowedCurve FollowCurve(const QImage& picture, const InkMap& map, int label) {
    FollowedCurve curve;
    const Columns columns = runsPerColumn(picture, map, label);
    const int n = int(columns.size());
    const int maxGap = std::max(25, map.area.width() / 12);
    // Followed from a few starts, the one that leads along the most columns kept.
    std::vector<double> centres;
    int most = -1;
    for (const int start : startColumns(columns, kStarts)) {
        std::vector<double> from(std::size_t(n), std::nan(""));
        from[std::size_t(start)] = columns[std::size_t(start)].front().centre;
        followFrom(columns, start, 1, from, maxGap);
        followFrom(columns, start, -1, from, maxGap);
        const int along =
            int(std::count_if(from.begin(), from.end(), [](double c) { return !std::isnan(c); }));
        if (along > most)
            most = along, centres = std::move(from);
    }
    if (most < 0)
        return curve;
    int showing = 0, first = -1, last = -1;
    for (int i = 0; i < n; ++i) {
        showing += !columns[std::size_t(i)].empty();
        if (!std::isnan(centres[std::size_t(i)])) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    const int gap = dashGap(centres, first, last, maxGap);
    bridgeGaps(centres, first, last, maxGap);
    runOnToEdges(map, centres, first, last, gap);
    for (int i = 0; i < n; ++i)
        if (!std::isnan(centres[std::size_t(i)])) {
            curve.points.emplace_back(i + map.area.left(), centres[std::size_t(i)]);
        }
    runOnUnderEdges(map, curve.points);
    // Lost: columns showing the colour that the curve does not cover.
    int covered = 0;
    for (int i = 0; i < n; ++i)
        covered += !columns[std::size_t(i)].empty() && !std::isnan(centres[std::size_t(i)]);
    curve.followed = showing ? double(covered) / showing : 0;
    return curve;
}

void CentreOnDots(const QImage& picture, const InkMap& map, int label,
                  const std::vector<std::vector<QPointF>*>& curves) {
    const Columns columns = runsPerColumn(picture, map, label);
    const int left = map.area.left(), n = int(columns.size());
    for (std::vector<QPointF>* points : curves) {
        std::vector<const Run*> taken(std::size_t(n), nullptr);
        for (const QPointF& p : *points)
            if (const int i = int(std::lround(p.x())) - left; i >= 0 && i < n)
                for (const Run& r : columns[std::size_t(i)])
                    if (p.y() >= r.top - 1 && p.y() <= r.bottom + 1)
                        taken[std::size_t(i)] = &r;
        const std::vector<QPointF> dots = dotsOf(taken, left);
        if (dots.empty())
            continue;
        std::vector<double> spacing;
        for (std::size_t k = 1; k < dots.size(); ++k)
            spacing.push_back(dots[k].x() - dots[k - 1].x());
        const auto middle = spacing.begin() + std::ptrdiff_t(spacing.size() / 2);
        std::nth_element(spacing.begin(), middle, spacing.end());
        const double reach = 3 * std::max(1.0, *middle);
        for (QPointF& p : *points)
            if (const auto row = rowOnDots(dots, p.x(), reach))
                p.setY(*row);
    }
}

} // namespace kurvana::chart
