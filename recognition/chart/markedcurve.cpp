#include "recognition/chart/markedcurve.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "recognition/chart/inkmap.h"
#include "recognition/markers/findmarkers.h"

namespace kurvana::chart {

namespace {

/// A swelling is this many times as wide as the stroke there...
constexpr double kSwells = 2;
/// ... by at least these pixels, over a stretch of columns at least this long.
constexpr int kWiderBy = 3, kShortest = 3;
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
};

/// The stretches where the stroke swells past what its width and slope make it.
std::vector<Swelling> swellings(const InkMap& map, int label, const std::vector<QPointF>& path) {
    constexpr std::size_t kSlopeOver = 3;
    std::vector<std::pair<int, int>> runs;
    std::vector<int> inked;
    for (const QPointF& p : path) {
        runs.push_back(runThrough(map, label, int(std::lround(p.x())), int(std::lround(p.y()))));
        if (const int rows = runs.back().second - runs.back().first + 1; rows > 0)
            inked.push_back(rows);
    }
    if (inked.size() < path.size() / 2)
        return {};
    // The stroke's own width: markers close together may cover most of the columns.
    const std::size_t low = inked.size() / 5;
    std::nth_element(inked.begin(), inked.begin() + std::ptrdiff_t(low), inked.end());
    const double width = inked[low];
    const auto slopeBetween = [&](std::size_t from, std::size_t to) {
        return (path[to].y() - path[from].y()) / std::max(1.0, path[to].x() - path[from].x());
    };
    const auto slopeAt = [&](std::size_t i) {
        return slopeBetween(i >= kSlopeOver ? i - kSlopeOver : 0,
                            std::min(path.size() - 1, i + kSlopeOver));
    };
    std::vector<Swelling> found;
    std::size_t start = 0;
    double excess = 0;
    const auto close = [&](std::size_t end) { // the swelling over [start, end)
        if (end - start >= std::size_t(kShortest)) {
            const std::size_t mid = (start + end) / 2;
            const auto [top, bottom] = runs[mid];
            // The joining line's slope before the marker and after it.
            const std::size_t reach = end - start + kSlopeOver;
            const double before = start >= reach ? slopeBetween(start - reach, start) : 0;
            const double after = end + reach < path.size() ? slopeBetween(end, end + reach) : 0;
            found.push_back({QPoint(int(std::lround(path[mid].x())), (top + bottom) / 2), excess,
                             std::abs(after - before)});
        }
        excess = 0;
    };
    for (std::size_t i = kSlopeOver; i + kSlopeOver < path.size(); ++i) {
        const double expected = width * std::hypot(1.0, slopeAt(i));
        const double over = (runs[i].second - runs[i].first + 1) -
                            std::max(kSwells * expected, expected + kWiderBy);
        if (over > 0) {
            if (excess == 0)
                start = i;
            excess += over;
        } else if (excess > 0) {
            close(i);
        }
    }
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
    constexpr double kApart = 4; // a swelling this near another path is where they cross
    const auto nearAnother = [&](QPoint p, std::size_t own) {
        for (std::size_t k = 0; k < paths.size(); ++k)
            if (k != own && distanceToPath(paths[k], p) <= kApart)
                return true;
        return false;
    };
    std::vector<Swelling> found;
    for (std::size_t k = 0; k < paths.size(); ++k)
        for (const Swelling& w : swellings(map, label, paths[k]))
            if (!nearAnother(w.middle, k))
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
    return markers;
}

} // namespace kurvana::chart
