#include "recognition/chart/markedcurve.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QLineF>

#include "recognition/chart/inkmap.h"
#include "recognition/markers/findmarkers.h"

namespace kurvana::chart {

namespace {

/// A column holds a marker's ink where it holds this many pixels of the label more than the
/// stroke alone (its anti-aliased and JPEG edge may add a pixel)...
constexpr double kSlack = 1.5;
/// ... and a swelling is at least this much of such ink, over at least two columns or as a
/// bar across the stroke (a plus's upright) this long.
constexpr double kLeastInk = 6, kLongestBar = 4;
/// A curve carries markers when it swells this often, and the search finds this many on it.
constexpr int kFewest = 4;
/// A marker lies on the path when its centre is this close to it (pixels); one centred on the
/// frame (a point at the end of an axis) lies this far outside the area.
constexpr int kOnPath = 3;

/// The run of the label's ink through the path's point in column x, as its top and bottom
/// rows; an empty range where the point is off the ink.
std::pair<int, int> runThrough(const InkMap& map, int label, int x, int y) {
    if (!map.area.contains(x, y) || map.at(x, y) != label)
        return {y, y - 1};
    int top = y, bottom = y;
    while (top > map.area.top() && map.at(x, top - 1) == label)
        --top;
    while (bottom < map.area.bottom() && map.at(x, bottom + 1) == label)
        ++bottom;
    return {top, bottom};
}

struct Swelling {
    QPoint middle;     ///< the middle of its ink: where a click on the marker lands
    double excess = 0; ///< how far it swells past the stroke, summed over its columns
    double bend = 0;   ///< how much the curve turns through it
    int reach = 0;     ///< the rows round the path its ink was counted over
};

/// Pixels of the label in column x within `reach` rows of row y.
int inkNear(const InkMap& map, int label, int x, int y, int reach) {
    if (x < map.area.left() || x > map.area.right())
        return 0;
    int ink = 0;
    for (int r = std::max(map.area.top(), y - reach); r <= std::min(map.area.bottom(), y + reach);
         ++r)
        ink += map.at(x, r) == label;
    return ink;
}

/// The stretches where the stroke holds more ink round its path than its width and slope
/// make it hold: a filled marker widens its run, an open one, a cross or a plus adds ink
/// above and below it.
std::vector<Swelling> swellings(const InkMap& map, int label, const std::vector<QPointF>& path) {
    constexpr std::size_t kSlopeOver = 3;
    std::vector<int> inked;
    for (const QPointF& p : path) {
        const auto [top, bottom] =
            runThrough(map, label, int(std::lround(p.x())), int(std::lround(p.y())));
        if (bottom >= top)
            inked.push_back(bottom - top + 1);
    }
    if (inked.size() < path.size() / 2)
        return {};
    // The stroke's own width: markers close together may cover most of the columns.
    const std::size_t low = inked.size() / 5;
    std::nth_element(inked.begin(), inked.begin() + std::ptrdiff_t(low), inked.end());
    const double width = inked[low];
    const int reach = int(std::lround(std::max(8.0, 4 * width)));
    const auto slopeBetween = [&](std::size_t from, std::size_t to) {
        return (path[to].y() - path[from].y()) / std::max(1.0, path[to].x() - path[from].x());
    };
    const auto slopeAt = [&](std::size_t i) {
        return slopeBetween(i >= kSlopeOver ? i - kSlopeOver : 0,
                            std::min(path.size() - 1, i + kSlopeOver));
    };
    std::vector<Swelling> found;
    std::size_t start = 0, last = 0;
    double excess = 0, most = 0;
    const auto close = [&] { // the swelling over [start, last]
        if (excess >= kLeastInk && (last > start || most >= kLongestBar)) {
            const std::size_t mid = (start + last) / 2;
            // The joining line's slope before the marker and after it.
            const std::size_t reachOver = last - start + 1 + kSlopeOver;
            const double before = start >= reachOver ? slopeBetween(start - reachOver, start) : 0;
            const double after =
                last + reachOver < path.size() ? slopeBetween(last, last + reachOver) : 0;
            found.push_back({path[mid].toPoint(), excess, std::abs(after - before), reach});
        }
        excess = most = 0;
    };
    for (std::size_t i = kSlopeOver; i + kSlopeOver < path.size(); ++i) {
        const double expected = width * std::hypot(1.0, slopeAt(i));
        const double over = inkNear(map, label, int(std::lround(path[i].x())),
                                    int(std::lround(path[i].y())), reach) -
                            expected - kSlack;
        if (over > 0) {
            if (excess == 0)
                start = i;
            last = i;
            excess += over;
            most = std::max(most, over);
        } else if (excess > 0 && i > last + 1) { // a column's gap is still the marker
            close();
        }
    }
    if (excess > 0)
        close();
    return found;
}

double distanceToPath(const std::vector<QPointF>& path, QPointF p) {
    double nearest = 1e300;
    for (const QPointF& q : path)
        nearest = std::min(nearest, std::hypot(q.x() - p.x(), q.y() - p.y()));
    return nearest;
}

} // namespace

std::optional<std::vector<QPointF>> MarkersOnCurves(const QImage& picture, const InkMap& map,
                                                    int label,
                                                    const std::vector<std::vector<QPointF>>& paths,
                                                    const std::atomic_bool* cancel) {
    // A swelling where another path passes within the rows its ink was counted over is that
    // path's ink, or where they cross.
    const auto nearAnother = [&](const Swelling& w, std::size_t own) {
        for (std::size_t k = 0; k < paths.size(); ++k)
            if (k != own && std::any_of(paths[k].begin(), paths[k].end(), [&](QPointF q) {
                    return std::abs(q.x() - w.middle.x()) <= 1 &&
                           std::abs(q.y() - w.middle.y()) <= w.reach + 1;
                }))
                return true;
        return false;
    };
    std::vector<Swelling> found;
    for (std::size_t k = 0; k < paths.size(); ++k)
        for (const Swelling& w : swellings(map, label, paths[k]))
            if (!nearAnother(w, k))
                found.push_back(w);
    if (int(found.size()) < kFewest)
        return std::nullopt;
    // The sample: of the swellings at least half the middle size (no small bump), the one
    // the curve runs most straight through, whose joining line is cut off it evenly either
    // side.
    std::vector<double> sizes;
    for (const Swelling& w : found)
        sizes.push_back(w.excess);
    std::nth_element(sizes.begin(), sizes.begin() + std::ptrdiff_t(sizes.size() / 2), sizes.end());
    const double least = sizes[sizes.size() / 2] / 2;
    const Swelling* sample = nullptr;
    for (const Swelling& w : found)
        if (w.excess >= least && (!sample || w.bend < sample->bend))
            sample = &w;
    MarkerSearchOptions search;
    search.cancel = cancel;
    const auto finding = FindMarkers(picture, sample->middle, search);
    if (!finding)
        return std::nullopt;
    const QRect reach = map.area.adjusted(-kOnPath, -kOnPath, kOnPath, kOnPath);
    std::vector<QPointF> markers;
    for (const FoundMarker& m : finding->markers)
        if (reach.contains(m.centre.toPoint()) &&
            std::any_of(paths.begin(), paths.end(), [&](const std::vector<QPointF>& path) {
                return distanceToPath(path, m.centre) <= kOnPath;
            }))
            markers.push_back(m.centre);
    // Most of what the search found lies on the curves, and about as many as they swell.
    if (int(markers.size()) < kFewest || 2 * markers.size() < finding->markers.size() ||
        2 * markers.size() < found.size())
        return std::nullopt;
    std::sort(markers.begin(), markers.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    // Markers stand apart along the line, each clear of the next; pieces of a line's own
    // stroke found one after another are no markers.
    std::vector<double> gaps;
    for (std::size_t k = 1; k < markers.size(); ++k)
        gaps.push_back(QLineF(markers[k - 1], markers[k]).length());
    std::nth_element(gaps.begin(), gaps.begin() + std::ptrdiff_t(gaps.size() / 2), gaps.end());
    if (gaps[gaps.size() / 2] < sample->reach)
        return std::nullopt;
    return markers;
}

} // namespace kurvana::chart
