#include "recognition/chart/chartregions.h"

#include <algorithm>
#include <cstdint>

#include <QImage>

namespace kurvana {

namespace {

/// A cell holding a pixel this much darker than white in any component holds ink.
constexpr int kInkDrop = 80;
/// The cells of the coarse map along the page's longer side.
constexpr int kCellsAlong = 800;
/// A chart's axis runs over this share of its piece.
constexpr double kAxisShare = 0.4;

/// The page in coarse cells: 1 where a cell holds ink.
struct CellMap {
    int cell = 1; ///< page pixels per cell side
    int width = 0, height = 0;
    std::vector<std::uint8_t> ink;
    bool at(int x, int y) const {
        return ink[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

CellMap cellsOf(const QImage& page) {
    CellMap map;
    map.cell = std::max(1, std::max(page.width(), page.height()) / kCellsAlong);
    map.width = (page.width() + map.cell - 1) / map.cell;
    map.height = (page.height() + map.cell - 1) / map.cell;
    map.ink.assign(std::size_t(map.width) * std::size_t(map.height), 0);
    const QImage rgb =
        page.format() == QImage::Format_RGB32 || page.format() == QImage::Format_ARGB32
            ? page
            : page.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* cells = &map.ink[std::size_t(y / map.cell) * std::size_t(map.width)];
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            if (std::min({qRed(p), qGreen(p), qBlue(p)}) < 255 - kInkDrop)
                cells[x / map.cell] = 1;
        }
    }
    return map;
}

/// The piece trimmed to its ink; empty when it holds none.
QRect trimmed(const CellMap& map, const QRect& piece) {
    int left = piece.right() + 1, right = piece.left() - 1, top = piece.bottom() + 1,
        bottom = piece.top() - 1;
    for (int y = piece.top(); y <= piece.bottom(); ++y)
        for (int x = piece.left(); x <= piece.right(); ++x)
            if (map.at(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < left ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

/// The longest run of ink cells along a row (or a column) of the piece.
int longestRun(const CellMap& map, const QRect& piece, bool columns) {
    int longest = 0;
    const int lines = columns ? piece.width() : piece.height();
    const int along = columns ? piece.height() : piece.width();
    for (int i = 0; i < lines; ++i)
        for (int j = 0, run = 0; j < along; ++j) {
            const bool ink = columns ? map.at(piece.left() + i, piece.top() + j)
                                     : map.at(piece.left() + j, piece.top() + i);
            run = ink ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    return longest;
}

bool holdsAxes(const CellMap& map, const QRect& piece) {
    return longestRun(map, piece, false) >= kAxisShare * piece.width() &&
           longestRun(map, piece, true) >= kAxisShare * piece.height();
}

/// The piece cut at every gutter of paper at least `gutter` cells broad, across `columns`.
std::vector<QRect> cutAtGutters(const CellMap& map, const QRect& piece, bool columns, int gutter) {
    const int lines = columns ? piece.width() : piece.height();
    std::vector<bool> empty(std::size_t(lines), true);
    for (int y = piece.top(); y <= piece.bottom(); ++y)
        for (int x = piece.left(); x <= piece.right(); ++x)
            if (map.at(x, y))
                empty[std::size_t(columns ? x - piece.left() : y - piece.top())] = false;
    std::vector<QRect> parts;
    int start = 0;
    for (int i = 0; i <= lines; ++i) {
        if (i < lines && !empty[std::size_t(i)])
            continue;
        int end = i;
        while (end < lines && empty[std::size_t(end)])
            ++end;
        if (end - i >= gutter || end == lines) {
            if (i > start)
                parts.push_back(
                    columns ? QRect(piece.left() + start, piece.top(), i - start, piece.height())
                            : QRect(piece.left(), piece.top() + start, piece.width(), i - start));
            start = end;
        }
        i = end;
    }
    return parts;
}

struct Piece {
    QRect box;
    std::vector<QRect> charts;
};

std::vector<QRect> chartsIn(const CellMap& map, const QRect& area, int gutter);

/// The charts of the parts of a cut: a part without one goes with the chart part before it
/// (the first ones with the first chart part), and a chart part holding one chart takes the
/// whole span of its group.
std::vector<QRect> groupParts(const CellMap& map, const std::vector<QRect>& parts, int gutter) {
    std::vector<Piece> pieces;
    for (const QRect& part : parts)
        pieces.push_back({part, chartsIn(map, part, gutter)});
    std::vector<Piece> groups;
    QRect leading;
    for (const Piece& piece : pieces) {
        if (!piece.charts.empty())
            groups.push_back({piece.box | leading, piece.charts}), leading = QRect();
        else if (groups.empty())
            leading |= piece.box;
        else
            groups.back().box |= piece.box;
    }
    std::vector<QRect> charts;
    for (const Piece& group : groups)
        if (group.charts.size() == 1)
            charts.push_back(group.box);
        else
            charts.insert(charts.end(), group.charts.begin(), group.charts.end());
    return charts;
}

std::vector<QRect> chartsIn(const CellMap& map, const QRect& area, int gutter) {
    const QRect piece = trimmed(map, area);
    if (piece.isEmpty())
        return {};
    for (const bool columns : {true, false}) {
        const std::vector<QRect> parts = cutAtGutters(map, piece, columns, gutter);
        if (parts.size() > 1)
            return groupParts(map, parts, gutter);
    }
    if (holdsAxes(map, piece))
        return {piece};
    return {};
}

} // namespace

std::vector<QRect> FindChartRegions(const QImage& page) {
    const QRect whole = page.rect();
    if (page.isNull())
        return {whole};
    const CellMap map = cellsOf(page);
    const int gutter = std::max(3, std::max(map.width, map.height) / 40);
    const std::vector<QRect> charts = chartsIn(map, QRect(0, 0, map.width, map.height), gutter);
    if (charts.size() < 2)
        return {whole};
    std::vector<QRect> regions;
    for (const QRect& c : charts) {
        // A margin of a gutter's half around each: the anti-aliased edges and the paper a
        // reader needs round the labels.
        const int margin = gutter / 2 * map.cell;
        regions.push_back(QRect(c.left() * map.cell, c.top() * map.cell, c.width() * map.cell,
                                c.height() * map.cell)
                              .adjusted(-margin, -margin, margin, margin) &
                          whole);
    }
    return regions;
}

} // namespace kurvana
