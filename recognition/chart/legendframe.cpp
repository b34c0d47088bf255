#include "recognition/chart/legendframe.h"

#include <algorithm>
#include <optional>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"

namespace kurvana::chart {

namespace {

/// A box edge fills this share of its row or column; JPEG and letters over it leave gaps.
constexpr double kEdgeFilled = 0.75;
/// Letters over the box may reach this far beyond an edge.
constexpr int kFurthestOverhang = 6;
constexpr int kThickestEdge = 4;
/// Inside a box its colour covers at most this share (the text and the sample, not a fill).
constexpr double kMostInside = 0.3;

bool isGrey(const InkMap& map, std::uint8_t label) {
    return label != InkMap::kPaper && label != InkMap::kStructure &&
           map.colours[std::size_t(label - 1)].neutral;
}

/// One side of the box: rows (top, bottom) or columns (left, right) counted inwards.
struct Side {
    bool rows;
    bool fromStart;
};

/// The first and last row (column) of the filled band of one side, as picture coordinates,
/// searched from that side of the blob's box inwards.
std::optional<std::pair<int, int>> edgeBand(const InkMap& map, const InkBlob& blob, Side side) {
    const QRect& box = blob.box;
    const int lines = side.rows ? box.height() : box.width();
    const int along = side.rows ? box.width() : box.height();
    const auto grey = [&](std::uint8_t label) { return isGrey(map, label); };
    const auto filled = [&](int depth) {
        const int i = side.fromStart ? depth : lines - 1 - depth;
        int count = 0;
        // Any grey counts: JPEG spreads a thin dark edge over greys of several strengths.
        for (int j = 0; j < along; ++j)
            count += grey(side.rows ? map.at(box.left() + j, box.top() + i)
                                    : map.at(box.left() + i, box.top() + j));
        return count >= kEdgeFilled * along;
    };
    const auto coordinate = [&](int depth) {
        const int i = side.fromStart ? depth : lines - 1 - depth;
        return (side.rows ? box.top() : box.left()) + i;
    };
    const int deepest = std::min(kFurthestOverhang + kThickestEdge, lines / 3);
    for (int first = 0; first < deepest; ++first) {
        if (!filled(first))
            continue;
        int last = first;
        while (last + 1 < deepest && last - first + 1 < kThickestEdge && filled(last + 1))
            ++last;
        const int a = coordinate(first), b = coordinate(last);
        return std::make_pair(std::min(a, b), std::max(a, b));
    }
    return std::nullopt;
}

/// A box's outline: its four edges' bands and the inside they enclose.
struct Outline {
    QRect outer, inside;
};

std::optional<Outline> outlineOf(const InkMap& map, const std::vector<InkBlob>& blobs,
                                 std::size_t index) {
    const InkBlob& blob = blobs[index];
    if (!map.colours[std::size_t(blob.label - 1)].neutral || blob.box.width() < 16 ||
        blob.box.height() < 10)
        return std::nullopt;
    const auto top = edgeBand(map, blob, {true, true}), bottom = edgeBand(map, blob, {true, false});
    const auto left = edgeBand(map, blob, {false, true});
    const auto right = edgeBand(map, blob, {false, false});
    // One side may be missing: taken as a line of the chart's grid or frame it lay on.
    if (int(!top) + int(!bottom) + int(!left) + int(!right) > 1)
        return std::nullopt;
    const QRect& b = blob.box;
    const Outline outline{
        QRect(QPoint(left ? left->first : b.left(), top ? top->first : b.top()),
              QPoint(right ? right->second : b.right(), bottom ? bottom->second : b.bottom())),
        QRect(
            QPoint(left ? left->second + 1 : b.left(), top ? top->second + 1 : b.top()),
            QPoint(right ? right->first - 1 : b.right(), bottom ? bottom->first - 1 : b.bottom()))};
    if (outline.inside.width() < 4 || outline.inside.height() < 4)
        return std::nullopt;
    int covered = 0;
    for (int y = outline.inside.top(); y <= outline.inside.bottom(); ++y)
        for (int x = outline.inside.left(); x <= outline.inside.right(); ++x)
            covered += map.at(x, y) == blob.label;
    if (covered > kMostInside * outline.inside.width() * outline.inside.height())
        return std::nullopt;
    // An empty square is a marker; a box holds something.
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (i != index && outline.inside.contains(blobs[i].box))
            return outline;
    return std::nullopt;
}

/// The blob's pixels (8-neighbours of its colour within its box, grown from its top row),
/// one flag per pixel of its box.
std::vector<bool> pixelsOf(const InkMap& map, const InkBlob& blob) {
    const QRect& box = blob.box;
    std::vector<bool> mine(std::size_t(box.width()) * std::size_t(box.height()), false);
    std::vector<QPoint> stack;
    for (int x = box.left(); x <= box.right(); ++x)
        if (map.at(x, box.top()) == blob.label)
            stack.emplace_back(x, box.top());
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        const std::size_t at = std::size_t(p.y() - box.top()) * std::size_t(box.width()) +
                               std::size_t(p.x() - box.left());
        if (mine[at])
            continue;
        mine[at] = true;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint n(p.x() + dx, p.y() + dy);
                if (box.contains(n) && map.at(n.x(), n.y()) == blob.label)
                    stack.push_back(n);
            }
    }
    return mine;
}

/// Labels the outline's edges as structure; gives the blobs the rest of its pixels form.
std::vector<InkBlob> takeOutline(InkMap& map, const InkBlob& blob, const Outline& outline) {
    const std::vector<bool> mine = pixelsOf(map, blob);
    InkMap rest{blob.box, map.paper, map.colours, {}};
    rest.labels.assign(mine.size(), InkMap::kPaper);
    for (int y = blob.box.top(); y <= blob.box.bottom(); ++y)
        for (int x = blob.box.left(); x <= blob.box.right(); ++x) {
            const std::size_t at = std::size_t(y - blob.box.top()) * std::size_t(blob.box.width()) +
                                   std::size_t(x - blob.box.left());
            if (!mine[at])
                continue;
            const QPoint p(x, y);
            if (outline.outer.contains(p) && !outline.inside.contains(p))
                map.at(x, y) = InkMap::kStructure;
            else
                rest.labels[at] = std::uint8_t(blob.label);
        }
    return FindBlobs(rest);
}

} // namespace

void FreeFramedInk(InkMap& map, std::vector<InkBlob>& blobs) {
    std::vector<InkBlob> kept;
    std::vector<std::pair<InkBlob, Outline>> boxes;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (const auto outline = outlineOf(map, blobs, i))
            boxes.emplace_back(blobs[i], *outline);
        else
            kept.push_back(blobs[i]);
    for (const auto& [blob, outline] : boxes)
        for (const InkBlob& piece : takeOutline(map, blob, outline))
            kept.push_back(piece);
    blobs = std::move(kept);
}

} // namespace kurvana::chart
