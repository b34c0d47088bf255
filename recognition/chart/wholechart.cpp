#include "recognition/chart/wholechart.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QImage>

#include "recognition/chart/categoryaxis.h"
#include "recognition/chart/chartbars.h"
#include "recognition/chart/curvefollow.h"
#include "recognition/chart/curvepaths.h"
#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"
#include "recognition/chart/legend.h"
#include "recognition/chart/markedcurve.h"
#include "recognition/chart/plotarea.h"
#include "recognition/chart/polarfollow.h"
#include "recognition/chart/serieskind.h"
#include "recognition/chart/seriesnames.h"
#include "recognition/chart/untangle.h"
#include "recognition/markers/findmarkers.h"

namespace kurvana {

namespace {

using namespace chart;

constexpr int kLines = 5;
/// A curve followed over less of the columns its colour shows in was lost over part of it.
constexpr double kFollowedEnough = 0.97;
/// Grey blobs smaller than this are specks.
constexpr int kSpeck = 5;

/// The pixel of the blob's colour nearest to its centre: where a click on it lands.
QPoint inkNearCentre(const InkMap& map, const InkBlob& blob) {
    QPoint best = blob.box.center();
    double bestDistance = 1e300;
    for (int y = blob.box.top(); y <= blob.box.bottom(); ++y)
        for (int x = blob.box.left(); x <= blob.box.right(); ++x)
            if (map.at(x, y) == blob.label) {
                const double d = std::hypot(x - blob.meanX, y - blob.meanY);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = QPoint(x, y);
                }
            }
    return best;
}

/// Whether ink of `label` lies within `radius` of `p` in the map (a marker found over the
/// whole picture lies in the plot area, not in the legend).
bool labelNear(const InkMap& map, QPointF p, int radius, int label) {
    const QRect around = QRect(QPoint(int(p.x()) - radius, int(p.y()) - radius),
                               QSize(2 * radius + 1, 2 * radius + 1)) &
                         map.area;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            if (map.at(x, y) == label)
                return true;
    return false;
}

/// Whether words (structure spread over the rows and columns of a band, not a line across it)
/// stand right beside the marker at `p` on its left or right: a legend's sample whose entry
/// the legend reader left unread is not a data point.
bool wordsBeside(const InkMap& map, QPointF p, int radius) {
    constexpr double kLineFill = 0.8, kWordsFill = 0.06;
    const int cx = int(std::lround(p.x())), cy = int(std::lround(p.y()));
    for (const int side : {-1, 1}) {
        const int near = cx + side * (radius + 1), far = cx + side * 10 * radius;
        const QRect band = QRect(QPoint(std::min(near, far), cy - radius),
                                 QPoint(std::max(near, far), cy + radius)) &
                           map.area;
        if (band.width() < 3 * radius || band.height() < radius)
            continue;
        std::vector<int> perRow(std::size_t(band.height()), 0),
            perColumn(std::size_t(band.width()), 0);
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                if (map.at(x, y) == InkMap::kStructure) {
                    ++perRow[std::size_t(y - band.top())];
                    ++perColumn[std::size_t(x - band.left())];
                }
        int words = 0; // structure pixels off the full rows and columns (grid, frame, axes)
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                words += map.at(x, y) == InkMap::kStructure &&
                         perRow[std::size_t(y - band.top())] < kLineFill * band.width() &&
                         perColumn[std::size_t(x - band.left())] < kLineFill * band.height();
        if (words >= kWordsFill * band.width() * band.height())
            return true;
    }
    return false;
}

/// Ink of anything round the blob's box, within `margin`: what may pull the centre of a sample
/// taken from it aside.
int inkAround(const InkMap& map, const InkBlob& blob, int margin) {
    const QRect around = blob.box.adjusted(-margin, -margin, margin, margin) & map.area;
    int ink = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            ink += !blob.box.contains(x, y) && map.at(x, y) != InkMap::kPaper;
    return ink;
}

/// The blob to take the markers' sample from: one like the middle-sized one with the least
/// other ink round it (a marker a curve or another marker touches gives a sample whose centre
/// is pulled aside, and every marker found is moved with it).
const InkBlob* sampleBlob(const InkMap& map, const std::vector<const InkBlob*>& blobs) {
    constexpr int kMargin = 3;
    const InkBlob* typical = TypicalBlob(blobs);
    if (!typical)
        return nullptr;
    const InkBlob* best = typical;
    int least = inkAround(map, *typical, kMargin);
    for (const InkBlob* b : blobs)
        if (b->box.size() == typical->box.size() &&
            5 * std::abs(b->pixels - typical->pixels) <= typical->pixels)
            if (const int ink = inkAround(map, *b, kMargin); ink < least)
                least = ink, best = b;
    return best;
}

/// Reads the markers like `typical` into `series`; `sampleColour`, where given, takes the
/// colour of the sample's ink.
void readMarkers(const QImage& picture, const InkMap& map, const InkBlob& typical,
                 const ChartReadingOptions& options, SeriesReading& series,
                 QRgb* sampleColour = nullptr) {
    series.kind = SeriesKind::Markers;
    MarkerSearchOptions search;
    search.cancel = options.cancel;
    const int radius = std::max(typical.box.width(), typical.box.height()) / 2 + 1;
    const auto found = FindMarkers(picture, inkNearCentre(map, typical), search);
    if (found && sampleColour)
        *sampleColour = found->ink.rgb();
    if (found)
        for (const FoundMarker& m : found->markers)
            if (labelNear(map, m.centre, radius, typical.label) &&
                !wordsBeside(map, m.centre, radius))
                series.points.push_back(m.centre);
    std::sort(series.points.begin(), series.points.end(),
              [](QPointF a, QPointF b) { return a.x() < b.x(); });
}

/// Whether ink of another colour (or structure) touches the blob's box.
bool touchesOtherInk(const InkMap& map, const InkBlob& blob) {
    const QRect around = blob.box.adjusted(-1, -1, 1, 1) & map.area;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            if (const std::uint8_t l = map.at(x, y);
                !blob.box.contains(x, y) && l != InkMap::kPaper && l != blob.label)
                return true;
    return false;
}

/// Markers of the series partly hidden under other series' markers: pieces of its colour that
/// no marker found explains and that other ink touches are looked at again, with less of a
/// marker required to show; what that finds at such a piece is added.
void addHiddenMarkers(const QImage& picture, const InkMap& map,
                      const std::vector<const InkBlob*>& blobs, const InkBlob& sample,
                      const ChartReadingOptions& options, SeriesReading& series) {
    constexpr double kLeastShowing = 0.25;
    constexpr int kSmallestPiece = 8; // of the sample's ink: less is a fringe
    const double radius = std::max(sample.box.width(), sample.box.height()) / 2.0 + 1;
    const auto nearAny = [&](QPointF p, const std::vector<QPointF>& points) {
        return std::any_of(points.begin(), points.end(), [&](QPointF q) {
            return std::hypot(p.x() - q.x(), p.y() - q.y()) <= radius;
        });
    };
    std::vector<QPointF> pieces;
    for (const InkBlob* b : blobs)
        if (kSmallestPiece * b->pixels >= sample.pixels &&
            !nearAny({b->meanX, b->meanY}, series.points) && touchesOtherInk(map, *b))
            pieces.emplace_back(b->meanX, b->meanY);
    if (pieces.empty())
        return;
    MarkerSearchOptions search;
    search.cancel = options.cancel;
    search.leastShowing = kLeastShowing;
    const auto found = FindMarkers(picture, inkNearCentre(map, sample), search);
    if (!found)
        return;
    std::vector<QPointF> added;
    for (const FoundMarker& m : found->markers)
        if (nearAny(m.centre, pieces) && !nearAny(m.centre, series.points) &&
            !nearAny(m.centre, added) && map.area.contains(m.centre.toPoint()))
            added.push_back(m.centre);
    series.points.insert(series.points.end(), added.begin(), added.end());
    std::sort(series.points.begin(), series.points.end(),
              [](QPointF a, QPointF b) { return a.x() < b.x(); });
}

void readBars(const QImage& picture, const InkMap& map, const InkBlob& largest,
              SeriesReading& series) {
    ReadBarSeries(picture, inkNearCentre(map, largest), series);
}

void readCurve(const QImage& picture, const InkMap& map, int label,
               const ChartReadingOptions& options, SeriesReading& series) {
    FollowedCurve curve = options.polarRays ? FollowCurveAround(map, label, *options.polarRays)
                                            : FollowCurve(picture, map, label);
    series.points = std::move(curve.points);
    series.followed = curve.followed;
}

/// How much ink of `label` there is, and how much of it lies on the paths of the curves
/// already read.
struct InkOnCurves {
    int on = 0, total = 0;
};

InkOnCurves inkOnCurves(const InkMap& map, int label, const CurvePaths& paths) {
    constexpr double kOnPath = 2.5;
    const QRect& a = map.area;
    InkOnCurves ink;
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const std::uint8_t* labels = map.row(y);
        for (int x = 0; x < a.width(); ++x)
            if (labels[x] == label) {
                ++ink.total;
                ink.on += paths.near(QPointF(x + a.left(), y), kOnPath);
            }
    }
    return ink;
}

/// Whether most of the points lie along the curves read: what a thick stroke's clearing left
/// of its fringe, followed as if it were a curve.
bool runsAlongCurves(const std::vector<QPointF>& points, const CurvePaths& paths) {
    constexpr double kAlong = 3, kMostly = 0.5;
    const auto along = std::count_if(points.begin(), points.end(),
                                     [&](QPointF p) { return paths.near(p, kAlong); });
    return double(along) > kMostly * double(points.size());
}

/// Whether most ink of `label` lies on the paths of the curves already read: where JPEG greyed
/// or shifted the hue of a thin stroke in places, those places are that curve's, not a series.
bool liesOnCurves(const InkMap& map, int label, const std::vector<SeriesReading>& read) {
    constexpr double kMostly = 0.6;
    const InkOnCurves ink = inkOnCurves(map, label, CurvePaths(map.area, read));
    return ink.total > 0 && ink.on >= kMostly * ink.total;
}

/// Clears the stroke of a curve read from its colour's ink (in each of its columns the run
/// of the colour it passes through and a pixel of fringe round it), noting in `cleared` where.
void clearStroke(InkMap& map, int label, const std::vector<QPointF>& points,
                 std::vector<std::size_t>& cleared) {
    const QRect& a = map.area;
    for (const QPointF& p : points) {
        const int x = int(std::lround(p.x())), y = int(std::lround(p.y()));
        if (x < a.left() || x > a.right() || y < a.top() || y > a.bottom())
            continue;
        int top = y, bottom = y;
        while (top > a.top() && map.at(x, top - 1) == label)
            --top;
        while (bottom < a.bottom() && map.at(x, bottom + 1) == label)
            ++bottom;
        for (int r = std::max(a.top(), top - 1); r <= std::min(a.bottom(), bottom + 1); ++r)
            if (std::uint8_t& l = map.at(x, r); l == label) {
                l = InkMap::kPaper;
                cleared.push_back(std::size_t(&l - map.labels.data()));
            }
    }
}

/// Whether the points keep to one row (nine in ten within a pixel and a half of their median
/// row; where they cross other ink a few stray) over their whole length.
bool isLevel(const std::vector<QPointF>& points) {
    if (points.empty())
        return false;
    std::vector<double> rows;
    for (const QPointF& p : points)
        rows.push_back(p.y());
    std::nth_element(rows.begin(), rows.begin() + std::ptrdiff_t(rows.size() / 2), rows.end());
    const double median = rows[rows.size() / 2];
    const auto near = std::count_if(rows.begin(), rows.end(),
                                    [median](double y) { return std::abs(y - median) <= 1.5; });
    return double(near) >= 0.9 * double(rows.size());
}

/// Whether most of the points run beside ink of another colour: a thick stroke's fringe that
/// JPEG shifted towards this colour follows that stroke, where a curve of its own has paper
/// round it except where it crosses others.
bool runsBesideOtherInk(const InkMap& map, int label, const std::vector<QPointF>& points) {
    constexpr int kBeside = 3;
    constexpr double kMostly = 0.5;
    const QRect& a = map.area;
    int beside = 0;
    for (const QPointF& p : points) {
        const int x = int(std::lround(p.x())), y = int(std::lround(p.y()));
        if (x < a.left() || x > a.right())
            continue;
        for (int r = std::max(a.top(), y - kBeside); r <= std::min(a.bottom(), y + kBeside); ++r)
            if (const std::uint8_t l = map.at(x, r);
                l != label && l != InkMap::kPaper && l != InkMap::kStructure) {
                ++beside;
                break;
            }
    }
    return beside > kMostly * double(points.size());
}

/// The blobs that no curve read passes through (within a pixel of their box).
std::vector<const InkBlob*> blobsOffCurves(const std::vector<const InkBlob*>& blobs,
                                           const CurvePaths& paths) {
    std::vector<const InkBlob*> off;
    std::copy_if(blobs.begin(), blobs.end(), std::back_inserter(off),
                 [&](const InkBlob* b) { return !paths.crosses(b->box); });
    return off;
}

/// Clears from the map the blobs off the curves read that are markers (a few alike, compact
/// and round or square, not dashes or dots), noting in `cleared` where.
void clearMarkersOffCurves(InkMap& map, const std::vector<const InkBlob*>& blobs,
                           const std::vector<SeriesReading>& read,
                           std::vector<std::size_t>& cleared) {
    constexpr int kSmallestSide = 5;
    constexpr double kRound = 1.6;
    std::vector<const InkBlob*> markers;
    for (const InkBlob* b : blobsOffCurves(blobs, CurvePaths(map.area, read)))
        if (std::min(b->box.width(), b->box.height()) >= kSmallestSide && b->elongation < kRound)
            markers.push_back(b);
    if (ShapeOf(markers, map.area) != InkShape::Markers)
        return;
    for (const InkBlob* b : markers)
        for (int y = b->box.top(); y <= b->box.bottom(); ++y)
            for (int x = b->box.left(); x <= b->box.right(); ++x)
                if (std::uint8_t& l = map.at(x, y); l == b->label) {
                    l = InkMap::kPaper;
                    cleared.push_back(std::size_t(&l - map.labels.data()));
                }
}

/// Gives the colour back the ink cleared after the first `keep` pixels noted.
void restoreInk(InkMap& map, int label, std::vector<std::size_t>& cleared, std::size_t keep) {
    for (std::size_t k = keep; k < cleared.size(); ++k)
        map.labels[cleared[k]] = std::uint8_t(label);
    cleared.resize(std::min(keep, cleared.size()));
}

/// Clears the pixels of `label` near those cleared that touch at most one other of their
/// label: what the clearing left of a stroke's fringe, which the follower would take for a
/// dot of a dotted curve.
void clearSpecksBeside(InkMap& map, int label, std::vector<std::size_t>& cleared) {
    constexpr int kNear = 2;
    const QRect& a = map.area;
    const auto isLabel = [&](int x, int y) { return a.contains(x, y) && map.at(x, y) == label; };
    const std::size_t before = cleared.size();
    for (std::size_t k = 0; k < before; ++k) {
        const int cx = int(cleared[k] % std::size_t(a.width())) + a.left();
        const int cy = int(cleared[k] / std::size_t(a.width())) + a.top();
        for (int y = cy - kNear; y <= cy + kNear; ++y)
            for (int x = cx - kNear; x <= cx + kNear; ++x) {
                if (!isLabel(x, y))
                    continue;
                int touching = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        touching += (dx || dy) && isLabel(x + dx, y + dy);
                if (touching <= 1) {
                    map.at(x, y) = InkMap::kPaper;
                    cleared.push_back(std::size_t(&map.at(x, y) - map.labels.data()));
                }
            }
    }
}

/// Whether most of `other`'s columns have a point of `points` within a few pixels: the same
/// curve followed again, not another.
bool sharesMostOf(const std::vector<QPointF>& points, const std::vector<QPointF>& other) {
    constexpr double kNear = 3, kMost = 0.6;
    std::map<int, double> rows;
    for (const QPointF& p : points)
        rows[int(std::lround(p.x()))] = p.y();
    int near = 0;
    for (const QPointF& p : other)
        if (const auto it = rows.find(int(std::lround(p.x())));
            it != rows.end() && std::abs(it->second - p.y()) <= kNear)
            ++near;
    return double(near) >= kMost * double(other.size());
}

/// Curves of one colour read one after another were each followed beside ink of the others
/// still to be read: at a crossing the follower may have stepped onto another's dots or
/// dashes, and clearing its path then took that curve's ink away. Once all are read each is
/// followed again with the others' strokes cleared, and the new path taken where it covers as
/// much of the plot.
void refollowApart(const QImage& picture, InkMap& map, int label,
                   const ChartReadingOptions& options, std::vector<SeriesReading*>& curves) {
    constexpr double kAsMuch = 0.98;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        std::vector<std::size_t> apart;
        for (std::size_t j = 0; j < curves.size(); ++j)
            if (j != i)
                clearStroke(map, label, curves[j]->points, apart);
        clearSpecksBeside(map, label, apart);
        SeriesReading again;
        readCurve(picture, map, label, options, again);
        if (double(again.points.size()) >= kAsMuch * double(curves[i]->points.size()) &&
            sharesMostOf(again.points, curves[i]->points)) {
            curves[i]->points = std::move(again.points);
            curves[i]->followed = again.followed;
        }
        restoreInk(map, label, apart, 0);
    }
}

/// Curves of one colour drawn side by side (a solid and a dashed black one, two grey dotted
/// ones): once a curve is read its stroke is cleared from the colour's ink, and what is left,
/// where it is much of the colour's ink and is followed along much of the plot, is another
/// curve of that colour. The ink is given back afterwards: other curves' centres weigh their
/// fringes against it.
void readMoreOfColour(const QImage& picture, InkMap& map, int label,
                      const std::vector<const InkBlob*>& blobs, const ChartReadingOptions& options,
                      ChartReading& reading) {
    constexpr double kMostlyOff = 0.4, kAlongEnough = 0.3;
    const int enough = std::max(30, std::min(map.area.width(), map.area.height()) / 8);
    std::vector<std::size_t> cleared;
    // Markers of the curve's colour are read as markers, not followed as a dashed curve: they
    // are cleared while the other curves of the colour are read.
    clearMarkersOffCurves(map, blobs, reading.series, cleared);
    const std::size_t markersCleared = cleared.size();
    const std::size_t firstOfColour = reading.series.size() - 1;
    std::vector<QPointF> last = reading.series.back().points;
    for (int round = 0; round < 2 * kLines && reading.series.size() < std::size_t(kLines);
         ++round) {
        clearStroke(map, label, last, cleared);
        // What the cleared strokes left along their paths is their fringe; a dotted curve
        // beside a solid one of its colour has little ink, but it lies off their paths.
        const InkOnCurves ink = inkOnCurves(map, label, CurvePaths(map.area, reading.series));
        const int off = ink.total - ink.on;
        if (off < enough || off < kMostlyOff * ink.total)
            break;
        SeriesReading more;
        more.colour = reading.series.back().colour;
        readCurve(picture, map, label, options, more);
        if (more.points.size() < kAlongEnough * map.area.width())
            break;
        last = more.points;
        // A dotted grid line whose dots JPEG tinted like the curve (level over all its length),
        // or another colour's fringe: cleared like a curve, and the rest looked at again.
        if (!isLevel(more.points) && !runsBesideOtherInk(map, label, more.points) &&
            !runsAlongCurves(more.points, CurvePaths(map.area, reading.series)))
            reading.series.push_back(std::move(more));
    }
    std::vector<SeriesReading*> read;
    std::vector<std::vector<QPointF>*> ofColour;
    for (std::size_t i = firstOfColour; i < reading.series.size(); ++i) {
        read.push_back(&reading.series[i]);
        ofColour.push_back(&reading.series[i].points);
    }
    UntangleMeetings(ofColour);
    if (ofColour.size() > 1) {
        restoreInk(map, label, cleared, markersCleared);
        refollowApart(picture, map, label, options, read);
        UntangleMeetings(ofColour);
    }
    restoreInk(map, label, cleared, 0);
}

/// Markers drawn in the colour of a curve (or merged with it where JPEG left two near hues
/// one): compact blobs of one size well off every curve read, at least a few of them, read as
/// a marker series of their own from the middle-sized one.
void readMarkersOffCurves(const QImage& picture, const InkMap& map,
                          const std::vector<const InkBlob*>& blobs,
                          const ChartReadingOptions& options, ChartReading& reading) {
    constexpr int kFew = 4, kSmallest = 6;
    constexpr std::size_t kTries = 3;
    constexpr double kAlike = 2;
    const CurvePaths paths(map.area, reading.series);
    std::vector<const InkBlob*> off;
    for (const InkBlob* b : blobsOffCurves(blobs, paths))
        if (const int size = std::max(b->box.width(), b->box.height());
            size >= kSmallest && size <= std::max(40, map.area.width() / 25) && b->elongation < 2.2)
            off.push_back(b);
    if (int(off.size()) < kFew)
        return;
    const InkBlob* typical = TypicalBlob(off);
    std::vector<const InkBlob*> alike;
    for (const InkBlob* b : off)
        if (b->pixels * kAlike >= typical->pixels && b->pixels <= kAlike * typical->pixels)
            alike.push_back(b);
    if (int(alike.size()) < kFew)
        return;
    // The search starts from one of them; one that another marker or a curve overlaps gives a
    // poor sample, so a few are tried, nearest the middle size first, and the one that finds
    // the most markers off the curves is kept.
    std::sort(alike.begin(), alike.end(), [&](const InkBlob* a, const InkBlob* b) {
        return std::abs(a->pixels - typical->pixels) < std::abs(b->pixels - typical->pixels);
    });
    const auto offCurves = [&](const std::vector<QPointF>& points) {
        return int(std::count_if(points.begin(), points.end(), [&](QPointF p) {
            return map.area.contains(p.toPoint()) && !paths.near(p, 3);
        }));
    };
    SeriesReading best;
    int bestOff = 0;
    for (std::size_t k = 0; k < alike.size() && k < kTries; ++k) {
        // Their colour is the sample's: the map's may be the curve's and theirs merged.
        SeriesReading markers;
        markers.colour = reading.series.back().colour;
        readMarkers(picture, map, *alike[k], options, markers, &markers.colour);
        // What the search found must lie off the curves too: a curve's own pieces are no
        // markers.
        const int off = offCurves(markers.points);
        if (off >= kFew && 2 * off >= int(markers.points.size()) && off > bestOff)
            bestOff = off, best = std::move(markers);
    }
    if (bestOff > 0)
        reading.series.push_back(std::move(best));
}

/// What else the colour of the curve just read holds: its other curves, or the markers that
/// curve and they carry (lines and points), and markers of the colour off them.
void readRestOfColour(const QImage& picture, InkMap& map, int label,
                      const std::vector<const InkBlob*>& blobs, const ChartReadingOptions& options,
                      ChartReading& reading) {
    const std::size_t first = reading.series.size() - 1;
    // Lines and points: a colour's curves that carry markers are read as the markers, the data
    // the line joins. The first curve followed is looked at alone (the rest of its colour may
    // be its markers' arms, followed as more curves beside it) and with the other curves of
    // its colour (the pieces the follower made of the line); the one finding more is taken.
    auto markers =
        MarkersOnCurves(picture, map, label, {reading.series[first].points}, options.cancel);
    readMoreOfColour(picture, map, label, blobs, options, reading);
    std::vector<std::vector<QPointF>> paths;
    for (std::size_t k = first; k < reading.series.size(); ++k)
        paths.push_back(reading.series[k].points);
    if (paths.size() > 1)
        if (auto onAll = MarkersOnCurves(picture, map, label, paths, options.cancel);
            onAll && (!markers || onAll->size() > markers->size()))
            markers = std::move(onAll);
    if (markers) {
        reading.series.resize(first + 1);
        reading.series[first].kind = SeriesKind::Markers;
        reading.series[first].points = std::move(*markers);
    }
    std::vector<std::vector<QPointF>*> curves;
    for (std::size_t k = first; k < reading.series.size(); ++k)
        if (reading.series[k].kind == SeriesKind::Curve)
            curves.push_back(&reading.series[k].points);
    CentreOnDots(picture, map, label, curves);
    if (reading.series.size() < std::size_t(kLines))
        readMarkersOffCurves(picture, map, blobs, options, reading);
}

/// One series per colour with enough ink, the most ink first.
std::vector<std::pair<int, std::vector<const InkBlob*>>>
seriesColours(const InkMap& map, const std::vector<InkBlob>& blobs) {
    std::map<int, std::vector<const InkBlob*>> byLabel;
    std::map<int, int> pixels;
    std::map<int, QRect> spread;
    for (const InkBlob& b : blobs) {
        byLabel[b.label].push_back(&b);
        // Specks of grey are what is left of dotted grid lines, ticks and text, not data.
        if (b.pixels >= kSpeck || !map.colours[std::size_t(b.label - 1)].neutral) {
            pixels[b.label] += b.pixels;
            spread[b.label] |= b.box;
        }
    }
    const int enough = std::max(30, std::min(map.area.width(), map.area.height()) / 8);
    std::vector<std::pair<int, std::vector<const InkBlob*>>> colours;
    // Data spread over the plot; ink of one colour in one small spot is a word or a symbol
    // left over.
    for (auto& [label, list] : byLabel)
        if (pixels[label] >= enough &&
            std::max(spread[label].width(), spread[label].height()) >= enough)
            colours.emplace_back(label, std::move(list));
    std::sort(colours.begin(), colours.end(),
              [&](const auto& a, const auto& b) { return pixels[a.first] > pixels[b.first]; });
    return colours;
}

} // namespace

ChartReading ReadWholeChart(const QImage& original, LabelReader& reader,
                            const ChartReadingOptions& options) {
    ChartReading reading;
    const auto stopped = [&] { return options.cancel && options.cancel->load(); };
    const auto progress = [&](double done) {
        if (options.progress)
            options.progress(done);
    };
    const bool rgb =
        original.format() == QImage::Format_RGB32 || original.format() == QImage::Format_ARGB32;
    const QImage picture = rgb ? original : original.convertToFormat(QImage::Format_RGB32);
    if (options.plotArea) {
        reading.plotArea = *options.plotArea & picture.rect();
    } else {
        reading.axes = FindAxes(picture, reader, options.cancel);
        if (reading.axes.empty())
            reading.problems.push_back(ChartProblem::NoAxes);
        else if (!reading.axes.complete())
            reading.problems.push_back(ChartProblem::PartialAxes);
        reading.plotArea = PlotAreaOf(reading.axes, picture.size());
    }
    progress(0.3);
    if (stopped())
        return {};
    InkMap map = MapInks(picture, reading.plotArea, options.cancel);
    if (map.labels.empty())
        return {};
    MarkLinesAndTicks(map, picture);
    std::vector<InkBlob> blobs = FindBlobs(map);
    const std::vector<LegendEntry> entries = ReadLegend(picture, map, blobs, reader);
    progress(0.5);
    auto colours = seriesColours(map, blobs);
    std::vector<InkShape> shapes;
    std::vector<int> barLabels;
    for (const auto& [label, list] : colours) {
        shapes.push_back(ShapeOf(list, map.area));
        if (shapes.back() == InkShape::Bars)
            barLabels.push_back(label);
    }
    for (std::size_t i = colours.size(); i-- > 0;)
        if (shapes[i] == InkShape::Curve && BordersBars(map, colours[i].first, barLabels)) {
            colours.erase(colours.begin() + std::ptrdiff_t(i));
            shapes.erase(shapes.begin() + std::ptrdiff_t(i));
        }
    std::vector<int> labels; // each series' ink label
    std::size_t next = 0;
    for (; next < colours.size() && reading.series.size() < std::size_t(kLines); ++next) {
        if (stopped())
            return {};
        const auto& [label, list] = colours[next];
        SeriesReading series;
        series.colour = map.colours[std::size_t(label - 1)].colour;
        switch (shapes[next]) {
        case InkShape::Markers:
            if (const InkBlob* sample = sampleBlob(map, list)) {
                readMarkers(picture, map, *sample, options, series);
                addHiddenMarkers(picture, map, list, *sample, options, series);
            }
            break;
        case InkShape::Bars:
            readBars(picture, map,
                     **std::max_element(list.begin(), list.end(),
                                        [](auto* a, auto* b) { return a->pixels < b->pixels; }),
                     series);
            break;
        case InkShape::Curve:
            if (liesOnCurves(map, label, reading.series))
                continue;
            readCurve(picture, map, label, options, series);
            if (series.followed < kFollowedEnough &&
                std::find(reading.problems.begin(), reading.problems.end(),
                          ChartProblem::CurveLost) == reading.problems.end())
                reading.problems.push_back(ChartProblem::CurveLost);
            break;
        }
        const bool curve = series.kind == SeriesKind::Curve && !series.points.empty();
        if (!series.points.empty())
            reading.series.push_back(std::move(series));
        if (curve && !options.polarRays)
            readRestOfColour(picture, map, label, list, options, reading);
        labels.resize(reading.series.size(), label);
        progress(0.5 + 0.5 * double(next + 1) / double(colours.size()));
    }
    NameSeries(map, entries, labels, reading.series);
    UseCategoryAxis(reading);
    reading.seriesLeftOut = int(colours.size() - next);
    if (reading.seriesLeftOut > 0)
        reading.problems.push_back(ChartProblem::TooManySeries);
    if (reading.series.empty())
        reading.problems.push_back(ChartProblem::NoSeries);
    progress(1);
    return reading;
}

} // namespace kurvana
