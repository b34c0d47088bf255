#include "recognition/chart/inkmap.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QImage>

namespace kurvana::chart {

namespace {

/// A pixel this far from the paper (RGB distance) is ink; below it JPEG noise and faint fringes.
constexpr double kInkDistance = 45;
/// Pixels this far give the clusters' directions: their hue is sure.
constexpr double kStrongDistance = 90;
/// Directions within this cosine belong to one colour.
constexpr double kSameColour = 0.99;
/// Grey and black stay grey through anti-aliasing and JPEG: a steady tint off them is a
/// colour's thin stroke whose hue JPEG thinned.
constexpr double kSameGrey = 0.996;
/// Scattered small bins within this cosine are gathered into one colour.
constexpr double kScatteredSameColour = 0.97;
constexpr int kSteps = 24; ///< direction bins per component
constexpr int kMinimumPixels = 30;

RgbVector difference(const RgbVector& paper, QRgb p) {
    return {paper.r - qRed(p), paper.g - qGreen(p), paper.b - qBlue(p)};
}

/// Grey or black: the direction from the paper has nearly equal components.
bool isNeutral(const RgbVector& unit) {
    return std::max({unit.r, unit.g, unit.b}) - std::min({unit.r, unit.g, unit.b}) < 0.12;
}

int binOf(const RgbVector& unit) {
    const auto step = [](double v) { return std::clamp(int((v + 1) / 2 * kSteps), 0, kSteps - 1); };
    return (step(unit.r) * kSteps + step(unit.g)) * kSteps + step(unit.b);
}

struct DirectionBin {
    int count = 0;
    RgbVector sum;
};

/// The directions of the strong ink, most common first, bins within kSameColour of a larger
/// one joined to it.
std::vector<RgbVector> clusterDirections(const std::vector<DirectionBin>& bins) {
    std::vector<int> order;
    for (int i = 0; i < int(bins.size()); ++i)
        if (bins[std::size_t(i)].count > 0)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return bins[std::size_t(a)].count > bins[std::size_t(b)].count;
    });
    std::vector<RgbVector> directions;
    // Bins too small alone, gathered by direction: JPEG scatters a thin stroke's hue over
    // many bins, none of which holds enough of it.
    std::vector<DirectionBin> scattered;
    const auto joins = [](const std::vector<RgbVector>& to, const RgbVector& unit) {
        for (const RgbVector& d : to)
            if (unit.dot(d) >= (isNeutral(d) ? kSameGrey : kSameColour))
                return true;
        return false;
    };
    for (const int i : order) {
        const DirectionBin& bin = bins[std::size_t(i)];
        const RgbVector unit = bin.sum * (1.0 / bin.sum.length());
        if (joins(directions, unit))
            continue;
        if (bin.count >= kMinimumPixels / 3) {
            directions.push_back(unit);
            continue;
        }
        auto group = std::find_if(scattered.begin(), scattered.end(), [&](const DirectionBin& g) {
            return unit.dot(g.sum * (1.0 / g.sum.length())) >= kScatteredSameColour;
        });
        if (group == scattered.end())
            group = scattered.insert(scattered.end(), DirectionBin{});
        group->count += bin.count;
        group->sum = {group->sum.r + bin.sum.r, group->sum.g + bin.sum.g, group->sum.b + bin.sum.b};
    }
    for (const DirectionBin& group : scattered)
        if (const RgbVector unit = group.sum * (1.0 / group.sum.length());
            group.count >= kMinimumPixels && !joins(directions, unit))
            directions.push_back(unit);
    return directions;
}

int nearestDirection(const std::vector<RgbVector>& directions, const RgbVector& unit,
                     double least) {
    int best = -1;
    double bestDot = least;
    for (std::size_t k = 0; k < directions.size(); ++k)
        if (const double d = unit.dot(directions[k]); d > bestDot) {
            bestDot = d;
            best = int(k);
        }
    return best;
}

/// Joins each colour whose pixels mostly touch a larger colour's to it: a fringe whose hue JPEG
/// or anti-aliasing moved off its colour's direction (crossing curves touch only where they
/// cross). Relabels the map; gives for each old index the index it joined.
std::vector<int> joinFringes(InkMap& map, const std::vector<int>& counts,
                             const std::vector<RgbVector>& directions,
                             const std::vector<bool>& neutral) {
    const std::size_t n = counts.size();
    std::vector<int> touching((n + 1) * (n + 1), 0);
    const QRect& a = map.area;
    for (int y = a.top(); y < a.bottom(); ++y) {
        const std::uint8_t* row = map.row(y);
        const std::uint8_t* below = map.row(y + 1);
        for (int x = 0; x + 1 < a.width(); ++x) {
            const int l = row[x];
            if (l == InkMap::kPaper)
                continue;
            for (const int m : {int(row[x + 1]), int(below[x])})
                if (m != InkMap::kPaper && m != l) {
                    ++touching[std::size_t(l) * (n + 1) + std::size_t(m)];
                    ++touching[std::size_t(m) * (n + 1) + std::size_t(l)];
                }
        }
    }
    std::vector<int> into(n);
    for (std::size_t k = 0; k < n; ++k)
        into[k] = int(k);
    // Smallest first, so that a chain of fringes ends at the colour they fringe.
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t p, std::size_t q) { return counts[p] < counts[q]; });
    for (const std::size_t k : order) {
        int best = -1, bestTouch = 0;
        // Grey and black fringe in grey or a faint tint: a clear colour touching one is a
        // thin stroke of its own whose edges JPEG greyed, not a fringe.
        for (std::size_t m = 0; m < n; ++m)
            if (m != k && counts[m] > counts[k] &&
                (!neutral[m] || neutral[k] || directions[k].dot(directions[m]) >= kSameColour) &&
                touching[(k + 1) * (n + 1) + m + 1] > bestTouch) {
                bestTouch = touching[(k + 1) * (n + 1) + m + 1];
                best = int(m);
            }
        if (best >= 0 && bestTouch >= 0.3 * counts[k])
            into[k] = best;
    }
    for (std::size_t k = 0; k < n; ++k)
        while (into[std::size_t(into[k])] != into[k])
            into[k] = into[std::size_t(into[k])];
    return into;
}

} // namespace

double InkStrength(QRgb pixel, const RgbVector& paper, const InkColour& ink) {
    const RgbVector d = difference(paper, pixel);
    const double full = ink.towards.dot(ink.towards);
    if (full <= 0)
        return 0;
    const double t = d.dot(ink.towards) / full;
    const RgbVector off = d - ink.towards * t;
    if (off.length() > 30 + 0.25 * std::sqrt(full) * std::max(0.0, t))
        return 0;
    return std::clamp(t, 0.0, 1.0);
}

InkMap MapInks(const QImage& picture, const QRect& area, const std::atomic_bool* cancel) {
    InkMap map;
    map.area = area;
    const QPoint centre = area.center();
    map.paper = PaperAround(picture, centre.x(), centre.y(),
                            std::min(300, std::max(area.width(), area.height()) / 2));
    std::vector<DirectionBin> bins(std::size_t(kSteps * kSteps * kSteps));
    const auto stopped = [&] { return cancel && cancel->load(); };
    for (int y = area.top(); y <= area.bottom(); ++y) {
        if (y % 64 == 0 && stopped())
            return {};
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const RgbVector d = difference(map.paper, line[x]);
            const double length = d.length();
            if (length < kStrongDistance)
                continue;
            const RgbVector unit = d * (1 / length);
            DirectionBin& bin = bins[std::size_t(binOf(unit))];
            ++bin.count;
            bin.sum = {bin.sum.r + unit.r, bin.sum.g + unit.g, bin.sum.b + unit.b};
        }
    }
    const std::vector<RgbVector> directions = clusterDirections(bins);
    map.labels.assign(std::size_t(area.width()) * std::size_t(area.height()), InkMap::kPaper);
    std::vector<double> farthest(directions.size(), 0);
    std::vector<int> counts(directions.size(), 0);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        if (y % 64 == 0 && stopped())
            return {};
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        std::uint8_t* labels = map.row(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const RgbVector d = difference(map.paper, line[x]);
            const double length = d.length();
            if (length < kInkDistance)
                continue;
            // Faint pixels' hue is less sure (JPEG): they may lie further off a direction.
            const double least = length >= kStrongDistance ? 0.96 : 0.9;
            const int k = nearestDirection(directions, d * (1 / length), least);
            if (k < 0 || k >= 250)
                continue;
            labels[x - area.left()] = std::uint8_t(k + 1);
            farthest[std::size_t(k)] = std::max(farthest[std::size_t(k)], length);
            ++counts[std::size_t(k)];
        }
    }
    std::vector<bool> neutral(directions.size());
    for (std::size_t k = 0; k < directions.size(); ++k)
        neutral[k] = isNeutral(directions[k]);
    const std::vector<int> into = joinFringes(map, counts, directions, neutral);
    // The kept colours renumbered in their order; the joined ones take their target's number.
    std::vector<int> number(directions.size(), -1);
    int kept = 0;
    for (std::size_t k = 0; k < directions.size(); ++k)
        if (into[k] == int(k))
            number[k] = kept++;
    std::vector<std::uint8_t> relabel(256, InkMap::kPaper);
    for (std::size_t k = 0; k < directions.size(); ++k) {
        relabel[k + 1] = std::uint8_t(number[std::size_t(into[k])] + 1);
        if (into[k] != int(k))
            counts[std::size_t(into[k])] += counts[k];
    }
    for (std::uint8_t& l : map.labels)
        l = relabel[l];
    for (std::size_t k = 0; k < directions.size(); ++k) {
        if (into[k] != int(k))
            continue;
        InkColour ink;
        // The full colour: the paper moved along the direction by nearly the farthest pixel's
        // distance (the farthest alone may be a noisy one).
        ink.towards = directions[k] * (farthest[k] * 0.97);
        const RgbVector full = map.paper - ink.towards;
        ink.colour = full.rgb();
        ink.neutral = neutral[k];
        ink.pixels = counts[k];
        map.colours.push_back(ink);
    }
    return map;
}

} // namespace kurvana::chart
