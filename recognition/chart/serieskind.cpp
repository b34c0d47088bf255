#include "recognition/chart/serieskind.h"

#include <algorithm>

#include "recognition/chart/inkstructure.h"

namespace kurvana::chart {

namespace {

double fill(const InkBlob& b) {
    return double(b.pixels) / (double(b.box.width()) * b.box.height());
}

bool standsOnEdge(const InkBlob& b, const QRect& area) {
    return b.box.bottom() >= area.bottom() - 3 || b.box.left() <= area.left() + 3;
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
    int filledOnEdge = 0, compact = 0, widest = 0;
    for (const InkBlob* b : sizeable) {
        filledOnEdge += fill(*b) >= 0.85 && b->box.width() >= 6 && b->box.height() >= 6 &&
                        standsOnEdge(*b, area);
        const int size = std::max(b->box.width(), b->box.height());
        compact += size >= 6 && size <= std::max(40, area.width() / 25) && b->elongation < 2.2;
        widest = std::max(widest, b->box.width());
    }
    const int n = int(sizeable.size());
    if (filledOnEdge * 2 >= n && filledOnEdge >= 1 && widest >= 8)
        return InkShape::Bars;
    if (n >= 3 && compact * 4 >= n * 3 && widest < area.width() / 8)
        return InkShape::Markers;
    return InkShape::Curve;
}

} // namespace kurvana::chart
