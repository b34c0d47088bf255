#include "recognition/chart/serieskind.h"

#include <algorithm>
#include <array>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"

namespace kurvana::chart {

namespace {

double fill(const InkBlob& b) {
    return double(b.pixels) / (double(b.box.width()) * b.box.height());
}

bool standsOnEdge(const InkBlob& b, const QRect& area) {
    return b.box.bottom() >= area.bottom() - 3 || b.box.left() <= area.left() + 3;
}

/// The upper segments of stacked bars: filled boxes of one width standing on other bars, not
/// on the edge, of heights that differ (what markers' boxes do not); most blobs are such boxes
/// (one may have merged with a neighbour's fringe).
bool stackedSegments(const std::vector<const InkBlob*>& blobs) {
    std::vector<const InkBlob*> solid;
    int others = 0;
    for (const InkBlob* b : blobs) {
        if (std::min(b->box.width(), b->box.height()) <= 2)
            continue; // a fringe sliver
        const bool box = fill(*b) >= 0.9 && b->box.width() >= 8 && b->box.height() >= 8;
        (box ? solid.push_back(b) : void(++others));
    }
    if (solid.size() < 2 || int(solid.size()) < 3 * others)
        return false;
    int narrowest = 1 << 30, widest = 0, lowest = 1 << 30, tallest = 0;
    for (const InkBlob* b : solid) {
        narrowest = std::min(narrowest, b->box.width());
        widest = std::max(widest, b->box.width());
        lowest = std::min(lowest, b->box.height());
        tallest = std::max(tallest, b->box.height());
    }
    return widest - narrowest <= 3 && tallest * 2 >= lowest * 3;
}

} // namespace

const InkBlob* TypicalBlob(std::vector<const InkBlob*> blobs) {
    if (blobs.empty())
        return nullptr;
    // Specks (what is left of ticks, text and grid, or JPEG noise) are no markers: the middle
    // size is taken among the blobs of at least a quarter of the largest one's ink.
    const int largest =
        (*std::max_element(blobs.begin(), blobs.end(), [](const InkBlob* a, const InkBlob* b) {
            return a->pixels < b->pixels;
        }))->pixels;
    blobs.erase(std::remove_if(blobs.begin(), blobs.end(),
                               [&](const InkBlob* b) { return 4 * b->pixels < largest; }),
                blobs.end());
    const auto middle = blobs.begin() + std::ptrdiff_t(blobs.size() / 2);
    std::nth_element(blobs.begin(), middle, blobs.end(),
                     [](const InkBlob* a, const InkBlob* b) { return a->pixels < b->pixels; });
    return *middle;
}

InkShape ShapeOf(const std::vector<const InkBlob*>& blobs, const QRect& area) {
    std::vector<const InkBlob*> sizeable;
    for (const InkBlob* b : blobs)
        if (b->pixels >= 4)
            sizeable.push_back(b);
    if (sizeable.empty())
        return InkShape::Curve;
    // Slivers a pixel or two thin along the edges of other bars are the fringe where a bar's
    // border meets its fill, taken for this colour; they do not speak against bars.
    // Markers are told by where most of the ink lies, not by most blobs: where other curves
    // cross a marker they cut it into pieces, and those pieces are many.
    int filledOnEdge = 0, compact = 0, widest = 0, slivers = 0, ink = 0, compactInk = 0;
    for (const InkBlob* b : sizeable) {
        slivers += std::min(b->box.width(), b->box.height()) <= 2;
        filledOnEdge += fill(*b) >= 0.85 && b->box.width() >= 6 && b->box.height() >= 6 &&
                        standsOnEdge(*b, area);
        const int size = std::max(b->box.width(), b->box.height());
        const bool isCompact =
            size >= 6 && size <= std::max(40, area.width() / 25) && b->elongation < 2.2;
        compact += isCompact;
        compactInk += isCompact ? b->pixels : 0;
        ink += b->pixels;
        widest = std::max(widest, b->box.width());
    }
    const int n = int(sizeable.size());
    if (filledOnEdge * 2 >= n - slivers && filledOnEdge >= 1 && widest >= 8)
        return InkShape::Bars;
    if (compact >= 3 && compactInk * 4 >= ink * 3 && widest < area.width() / 8)
        return InkShape::Markers;
    if (stackedSegments(sizeable))
        return InkShape::Bars;
    return InkShape::Curve;
}

bool BordersBars(const InkMap& map, int label, const std::vector<int>& barLabels) {
    if (barLabels.empty())
        return false;
    std::array<bool, 256> bar{};
    for (const int l : barLabels)
        bar[std::size_t(l)] = true;
    const QRect area = map.area;
    constexpr int kReach = 2;
    long long pixels = 0, touching = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t* row = map.row(y);
        for (int x = 0; x < area.width(); ++x) {
            if (row[x] != label)
                continue;
            ++pixels;
            bool near = false;
            for (int v = std::max(area.top(), y - kReach);
                 !near && v <= std::min(area.bottom(), y + kReach); ++v) {
                const std::uint8_t* other = map.row(v);
                for (int u = std::max(0, x - kReach); u <= std::min(area.width() - 1, x + kReach);
                     ++u)
                    near = near || bar[other[u]];
            }
            touching += near;
        }
    }
    return pixels > 0 && touching * 10 >= pixels * 9;
}

} // namespace kurvana::chart
