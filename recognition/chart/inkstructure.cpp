#include "recognition/chart/inkstructure.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include <QImage>

#include "recognition/chart/inkmap.h"

namespace kurvana::chart {

namespace {

/// A row (column) with this share of the area's width (height) in one colour is a line.
constexpr double kLineShare = 0.3;
/// A tick may stand this far inside the area, on the frame or axis.
constexpr int kNearEdge = 4;

/// A band of full rows thicker than this is a filled area (bars side by side), not a line.
constexpr int kThickestLine = 8;

/// A row (column) holding at least this share in one colour, spread over all of it, is a
/// dotted line: its dots every few pixels fill less of it than a solid line.
constexpr double kDottedShare = 0.1;
/// The parts a row is cut into to see its ink spread over it; a dotted line reaches all but
/// one of them (its ends may lie under the frame).
constexpr int kParts = 16;

/// Per row (column) and colour: whether the colour fills enough of it to be a line, or spreads
/// over all of it as a dotted line does (`parts` holds a bit for each part it reaches), leaving
/// out the bands of such rows thicker than a line, where bars fill the rows between them.
std::vector<std::uint8_t> linesNotAreas(const std::vector<int>& counts,
                                        const std::vector<std::uint16_t>& parts, int lines,
                                        std::size_t colours, int along) {
    const auto isLine = [&](std::size_t i) {
        return counts[i] >= kLineShare * along ||
               (counts[i] >= kDottedShare * along && std::popcount(parts[i]) >= kParts - 1);
    };
    std::vector<std::uint8_t> full(counts.size(), 0);
    for (std::size_t c = 1; c < colours; ++c)
        for (int i = 0; i < lines;) {
            int j = i;
            while (j < lines && isLine(std::size_t(j) * colours + c))
                ++j;
            if (j - i <= kThickestLine)
                for (int k = i; k < j; ++k)
                    full[std::size_t(k) * colours + c] = 1;
            i = std::max(j, i + 1);
        }
    return full;
}

double distanceFromPaper(const QImage& picture, const InkMap& map, int x, int y) {
    const QRgb p = reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
    return std::hypot(map.paper.r - qRed(p), map.paper.g - qGreen(p), map.paper.b - qBlue(p));
}

/// Marks the rows (transposed: the columns) of one colour that are lines, and the rows next to
/// them that hold its anti-aliased edge; in them, ink much stronger than the line's own is
/// another stroke along it and stays.
void markLines(InkMap& map, const QImage& picture, bool columns) {
    constexpr double kStronger = 2, kStrongerBy = 100, kStrengthBin = 16;
    constexpr std::size_t kStrengthBins = 28; // up to the distance of black from white
    const QRect& a = map.area;
    const int lines = columns ? a.width() : a.height();
    const int along = columns ? a.height() : a.width();
    const std::size_t colours = map.colours.size() + 1;
    std::vector<int> counts(std::size_t(lines) * colours, 0);
    std::vector<std::uint16_t> parts(counts.size(), 0);
    // How strong the ink of each line and colour is, as counts in bins of distance from the
    // paper: the line's own strength is their median, which a curve along part of it does not
    // move.
    std::vector<int> strengths(std::size_t(lines) * colours * kStrengthBins, 0);
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const std::uint8_t* row = map.row(y);
        for (int x = 0; x < a.width(); ++x)
            if (row[x] != InkMap::kPaper && row[x] != InkMap::kStructure) {
                const std::size_t i = std::size_t(columns ? x : y - a.top()) * colours + row[x];
                ++counts[i];
                const int at = columns ? y - a.top() : x;
                parts[i] |= std::uint16_t(1u << std::min(kParts - 1, at * kParts / along));
                const double d = distanceFromPaper(picture, map, x + a.left(), y);
                ++strengths[i * kStrengthBins +
                            std::min(kStrengthBins - 1, std::size_t(d / kStrengthBin))];
            }
    }
    const auto medianStrength = [&](std::size_t i) {
        int seen = 0;
        for (std::size_t b = 0; b < kStrengthBins; ++b)
            if ((seen += strengths[i * kStrengthBins + b]) * 2 >= counts[i])
                return (double(b) + 0.5) * kStrengthBin;
        return 0.0;
    };
    // The strongest a pixel of a line (or its edge) may be: from the strength of the full lines
    // within a line's width of it.
    std::vector<double> strongest(std::size_t(lines) * colours, 0);
    std::vector<std::uint8_t> lineOf(std::size_t(lines) * colours, 0);
    // A frame's far side near the area's far end: what lies beyond it (ticks pointing out,
    // labels) is not data.
    int frame = lines;
    const std::vector<std::uint8_t> full = linesNotAreas(counts, parts, lines, colours, along);
    for (int i = 0; i < lines; ++i)
        for (std::size_t c = 1; c < colours; ++c)
            if (const std::size_t line = std::size_t(i) * colours + c; full[line]) {
                const double median = medianStrength(line);
                for (int j = std::max(0, i - 1); j <= std::min(lines - 1, i + 1); ++j) {
                    lineOf[std::size_t(j) * colours + c] = 1;
                    double& most = strongest[std::size_t(j) * colours + c];
                    most = std::max(most, std::max(kStronger * median, median + kStrongerBy));
                }
                const bool farEnd = columns ? i >= lines * 9 / 10 : i < lines / 10;
                if (farEnd && map.colours[c - 1].neutral)
                    frame = columns ? std::min(frame, i) : i;
            }
    if (frame < lines)
        for (int i = 0; i < lines; ++i)
            if (columns ? i >= frame : i <= frame)
                for (std::size_t c = 1; c < colours; ++c) {
                    lineOf[std::size_t(i) * colours + c] = 1;
                    strongest[std::size_t(i) * colours + c] = 1e9;
                }
    for (int y = a.top(); y <= a.bottom(); ++y) {
        std::uint8_t* row = map.row(y);
        for (int x = 0; x < a.width(); ++x) {
            if (row[x] == InkMap::kStructure)
                continue;
            const std::size_t i = std::size_t(columns ? x : y - a.top()) * colours + row[x];
            if (lineOf[i] && distanceFromPaper(picture, map, x + a.left(), y) <= strongest[i])
                row[x] = InkMap::kStructure;
        }
    }
}

/// Whether structure (a frame or axis line) lies right beside the box on the side (dx, dy).
bool structureBeside(const InkMap& map, const QRect& box, int dx, int dy) {
    const QRect side =
        (dx != 0 ? QRect(dx < 0 ? box.left() - 1 : box.right() + 1, box.top(), 1, box.height())
                 : QRect(box.left(), dy < 0 ? box.top() - 1 : box.bottom() + 1, box.width(), 1)) &
        map.area;
    for (int y = side.top(); y <= side.bottom(); ++y)
        for (int x = side.left(); x <= side.right(); ++x)
            if (map.at(x, y) == InkMap::kStructure)
                return true;
    return false;
}

} // namespace

void MarkLinesAndTicks(InkMap& map, const QImage& picture) {
    if (map.labels.empty())
        return;
    markLines(map, picture, false);
    markLines(map, picture, true);
    // Ticks: thin short grey blobs across the area's edge, touching it or standing on the frame
    // or axis just inside it (an area given by a calibration's reference points holds the axis
    // strokes). A coloured one is a curve's dash or end where it meets the edge.
    const QRect& a = map.area;
    const int tickLength = std::max(12, std::min(a.width(), a.height()) / 25);
    for (const InkBlob& blob : FindBlobs(map)) {
        const QRect& b = blob.box;
        const bool grey = map.colours[std::size_t(blob.label - 1)].neutral;
        const auto standsOn = [&](int edge, int end, int outside) {
            return grey && (edge == end || (std::abs(edge - end) <= kNearEdge && outside));
        };
        const bool across = b.width() <= 6 && b.height() <= tickLength;
        const bool along = b.height() <= 6 && b.width() <= tickLength;
        const bool onLevelEdge =
            across && (standsOn(b.top(), a.top(), structureBeside(map, b, 0, -1)) ||
                       standsOn(b.bottom(), a.bottom(), structureBeside(map, b, 0, 1)));
        const bool onUprightEdge =
            along && (standsOn(b.left(), a.left(), structureBeside(map, b, -1, 0)) ||
                      standsOn(b.right(), a.right(), structureBeside(map, b, 1, 0)));
        if (onLevelEdge || onUprightEdge)
            MarkBlob(map, blob);
    }
}

std::vector<InkBlob> FindBlobs(const InkMap& map) {
    const QRect& a = map.area;
    const int w = a.width(), h = a.height();
    std::vector<std::uint8_t> seen(std::size_t(w) * std::size_t(h), 0);
    std::vector<InkBlob> blobs;
    std::vector<int> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t start = std::size_t(y) * std::size_t(w) + std::size_t(x);
            const std::uint8_t label = map.labels[start];
            if (label == InkMap::kPaper || label == InkMap::kStructure || seen[start])
                continue;
            InkBlob blob;
            blob.label = label;
            double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
            int left = x, right = x, top = y, bottom = y;
            seen[start] = 1;
            stack.assign(1, int(start));
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                const int px = p % w, py = p / w;
                ++blob.pixels;
                sx += px, sy += py, sxx += double(px) * px, syy += double(py) * py;
                sxy += double(px) * py;
                left = std::min(left, px), right = std::max(right, px);
                top = std::min(top, py), bottom = std::max(bottom, py);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = px + dx, ny = py + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                            continue;
                        const std::size_t n = std::size_t(ny) * std::size_t(w) + std::size_t(nx);
                        if (!seen[n] && map.labels[n] == label) {
                            seen[n] = 1;
                            stack.push_back(int(n));
                        }
                    }
            }
            const double n = blob.pixels;
            blob.meanX = sx / n + a.left();
            blob.meanY = sy / n + a.top();
            const double vx = sxx / n - (sx / n) * (sx / n) + 1.0 / 12;
            const double vy = syy / n - (sy / n) * (sy / n) + 1.0 / 12;
            const double cxy = sxy / n - (sx / n) * (sy / n);
            const double mid = (vx + vy) / 2,
                         root = std::sqrt((vx - vy) * (vx - vy) / 4 + cxy * cxy);
            blob.elongation = std::sqrt((mid + root) / std::max(1e-6, mid - root));
            blob.box = QRect(QPoint(left + a.left(), top + a.top()),
                             QPoint(right + a.left(), bottom + a.top()));
            blobs.push_back(blob);
        }
    return blobs;
}

void MarkBlob(InkMap& map, const InkBlob& blob) {
    for (int y = blob.box.top(); y <= blob.box.bottom(); ++y)
        for (int x = blob.box.left(); x <= blob.box.right(); ++x)
            if (map.at(x, y) == blob.label)
                map.at(x, y) = InkMap::kStructure;
}

} // namespace kurvana::chart
