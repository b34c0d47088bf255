#include "recognition/bars/barfinder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <tuple>

#include <QImage>

#include "recognition/bars/barerrors.h"

namespace kurvana {

namespace {

/// Mask values: not the bar's colour, the bar's colour, and already taken into a region.
enum : std::uint8_t { kOff = 0, kOn = 1, kTaken = 2 };
/// Widest gap of ink across a bar that still counts as the bar (an error bar, a grid line).
constexpr int kClosedGap = 3;
/// A pixel whose largest component differs this much from the paper is ink.
constexpr int kInkContrast = 40;
/// Ends of neighbouring columns of one bar differ by at most this (anti-aliasing, JPEG).
constexpr int kEndSlack = 1;
/// Bars standing on a base line and bars hanging from it end on either side of its edge.
constexpr int kBaseSlack = 2;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb RgbOf(QRgb c) {
    return {qRed(c), qGreen(c), qBlue(c)};
}

int LargestDifference(const Rgb& a, const Rgb& b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

/// The paper: the commonest colour (in steps of 16 per component) over a grid of samples of
/// the whole picture, averaged over the samples of that colour. Inside a bar the colour around
/// a click is the bar's, so the paper is not looked for there.
Rgb PaperColour(const QImage& picture) {
    const int step = std::max(1, int(std::sqrt(double(picture.width()) * picture.height() / 4e4)));
    std::map<int, std::array<long long, 4>> bins;
    for (int y = step / 2; y < picture.height(); y += step) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = step / 2; x < picture.width(); x += step) {
            const Rgb c = RgbOf(row[x]);
            auto& bin = bins[(c.r >> 4) << 8 | (c.g >> 4) << 4 | (c.b >> 4)];
            bin[0] += c.r, bin[1] += c.g, bin[2] += c.b, ++bin[3];
        }
    }
    const auto commonest = std::max_element(
        bins.begin(), bins.end(), [](auto& a, auto& b) { return a.second[3] < b.second[3]; });
    const auto& s = commonest->second;
    return {int(s[0] / s[3]), int(s[1] / s[3]), int(s[2] / s[3])};
}

/// The clicked colour: the median of each component over the 5 x 5 pixels around the click, so
/// that JPEG noise and an edge pixel do not decide it.
Rgb SampleColour(const QImage& picture, QPoint click) {
    std::array<std::vector<int>, 3> parts;
    for (int y = std::max(0, click.y() - 2); y <= std::min(picture.height() - 1, click.y() + 2);
         ++y)
        for (int x = std::max(0, click.x() - 2); x <= std::min(picture.width() - 1, click.x() + 2);
             ++x) {
            const Rgb c = RgbOf(picture.pixel(x, y));
            parts[0].push_back(c.r), parts[1].push_back(c.g), parts[2].push_back(c.b);
        }
    for (auto& part : parts)
        std::nth_element(part.begin(), part.begin() + part.size() / 2, part.end());
    return {parts[0][parts[0].size() / 2], parts[1][parts[1].size() / 2],
            parts[2][parts[2].size() / 2]};
}

/// Whether a pixel is of the bar: at least half way from the paper to the bar colour along the
/// line between them, and near that line.
class BarColourTest {
public:
    BarColourTest(const Rgb& paper, const Rgb& bar, int tolerance)
        : paper_(paper), d_{bar.r - paper.r, bar.g - paper.g, bar.b - paper.b},
          dd_(double(d_.r) * d_.r + double(d_.g) * d_.g + double(d_.b) * d_.b),
          tolerance_(tolerance) {}
    bool operator()(QRgb pixel) const {
        const Rgb c = RgbOf(pixel);
        const double vr = c.r - paper_.r, vg = c.g - paper_.g, vb = c.b - paper_.b;
        const double t = (vr * d_.r + vg * d_.g + vb * d_.b) / dd_;
        if (t < 0.5 || t > 1.6)
            return false;
        return std::max({std::fabs(vr - t * d_.r), std::fabs(vg - t * d_.g),
                         std::fabs(vb - t * d_.b)}) <= tolerance_;
    }

private:
    Rgb paper_, d_;
    double dd_;
    int tolerance_;
};

/// The bar colour's pixels of the whole picture, with short gaps of ink closed across and
/// along the rows, so a thin line drawn over a bar does not cut it in two.
class BarMask {
public:
    BarMask(const QImage& picture, const Rgb& paper, const BarColourTest& test)
        : width_(picture.width()), height_(picture.height()),
          cells_(std::size_t(width_) * std::size_t(height_), kOff) {
        for (int y = 0; y < height_; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            std::uint8_t* cells = rowOf(y);
            for (int x = 0; x < width_; ++x)
                cells[x] = test(row[x]) ? kOn : kOff;
        }
        closeGaps(picture, paper);
    }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t* rowOf(int y) { return cells_.data() + std::size_t(y) * std::size_t(width_); }
    const std::uint8_t* rowOf(int y) const {
        return cells_.data() + std::size_t(y) * std::size_t(width_);
    }
    std::uint8_t at(int x, int y) const {
        return x < 0 || y < 0 || x >= width_ || y >= height_ ? std::uint8_t(kOff) : rowOf(y)[x];
    }

private:
    /// An ink pixel with the bar's colour within kClosedGap on both sides (left and right, or
    /// above and below) belongs to the bar.
    void closeGaps(const QImage& picture, const Rgb& paper) {
        for (int y = 0; y < height_; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            std::uint8_t* cells = rowOf(y);
            for (int x = 0; x < width_; ++x)
                if (cells[x] == kOff && LargestDifference(RgbOf(row[x]), paper) >= kInkContrast &&
                    (bothSides(x, y, 1, 0) || bothSides(x, y, 0, 1)))
                    cells[x] = kOn;
        }
    }
    bool bothSides(int x, int y, int dx, int dy) const {
        bool before = false, after = false;
        for (int k = 1; k <= kClosedGap && !(before && after); ++k) {
            before = before || at(x - k * dx, y - k * dy) == kOn;
            after = after || at(x + k * dx, y + k * dy) == kOn;
        }
        return before && after;
    }

    int width_, height_;
    std::vector<std::uint8_t> cells_;
};

/// A connected area of the mask.
struct Region {
    QRect box;
    long long pixels = 0;
};

/// Takes the connected area at (x, y) out of the mask (its cells become kTaken), row run by
/// row run.
Region TakeRegion(BarMask& mask, int x, int y) {
    Region region;
    int left = x, right = x, top = y, bottom = y;
    std::vector<QPoint> seeds{{x, y}};
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        std::uint8_t* row = mask.rowOf(seed.y());
        if (row[seed.x()] != kOn)
            continue;
        int a = seed.x(), b = seed.x();
        while (a > 0 && row[a - 1] == kOn)
            --a;
        while (b + 1 < mask.width() && row[b + 1] == kOn)
            ++b;
        std::fill(row + a, row + b + 1, kTaken);
        region.pixels += b - a + 1;
        left = std::min(left, a), right = std::max(right, b);
        top = std::min(top, seed.y()), bottom = std::max(bottom, seed.y());
        for (const int ny : {seed.y() - 1, seed.y() + 1}) {
            if (ny < 0 || ny >= mask.height())
                continue;
            const std::uint8_t* next = mask.rowOf(ny);
            for (int i = a; i <= b; ++i)
                if (next[i] == kOn && (i == a || next[i - 1] != kOn))
                    seeds.emplace_back(i, ny);
        }
    }
    region.box = QRect(QPoint(left, top), QPoint(right, bottom));
    return region;
}

/// The nearest pixel of the bar's colour to the click, within a few pixels.
std::optional<QPoint> NearestOn(const BarMask& mask, QPoint click) {
    for (int r = 0; r <= 3; ++r)
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (std::max(std::abs(dx), std::abs(dy)) == r &&
                    mask.at(click.x() + dx, click.y() + dy) == kOn)
                    return QPoint(click.x() + dx, click.y() + dy);
    return std::nullopt;
}

/// The ends of a region across each line along the base: for vertical bars the top and bottom
/// row of each column, for horizontal bars the left and right column of each row.
struct Profile {
    int first = 0;                         ///< the column (row) of ends[0]
    std::vector<std::pair<int, int>> ends; ///< {-1, -1} where the line holds none of it
};

Profile ProfileOf(const BarMask& mask, const QRect& box, bool horizontal) {
    Profile p;
    p.first = horizontal ? box.top() : box.left();
    p.ends.assign(std::size_t(horizontal ? box.height() : box.width()), {-1, -1});
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const std::uint8_t* row = mask.rowOf(y);
        for (int x = box.left(); x <= box.right(); ++x) {
            if (row[x] != kTaken)
                continue;
            auto& e = p.ends[std::size_t(horizontal ? y - box.top() : x - box.left())];
            const int v = horizontal ? x : y;
            e = e.first < 0 ? std::pair{v, v}
                            : std::pair{std::min(e.first, v), std::max(e.second, v)};
        }
    }
    return p;
}

/// A bar before its direction is known: extent along the base and its two ends.
struct Piece {
    int from = 0, to = 0;  ///< columns (rows) along the base, inclusive
    int low = 0, high = 0; ///< the ends across: top and bottom row (left and right column)
    bool split = false;    ///< cut from a wider piece by the sample's width, not by its ends
};

int Median(std::vector<int> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

bool SameEnds(const Piece& a, const Piece& b) {
    return std::abs(a.low - b.low) <= kEndSlack && std::abs(a.high - b.high) <= kEndSlack;
}

/// A narrow piece between two with the same ends is a mark on one bar (an error bar's dot or
/// line over its end), not a bar of its own.
void MergeNarrowDips(std::vector<Piece>& pieces) {
    const auto width = [](const Piece& p) { return p.to - p.from + 1; };
    for (std::size_t i = 1; i + 1 < pieces.size();) {
        const Piece &a = pieces[i - 1], &dip = pieces[i], &b = pieces[i + 1];
        if (SameEnds(a, b) && b.from == dip.to + 1 && dip.from == a.to + 1 &&
            3 * width(dip) < width(a) + width(b)) {
            pieces[i - 1].to = b.to;
            pieces.erase(pieces.begin() + std::ptrdiff_t(i),
                         pieces.begin() + std::ptrdiff_t(i) + 2);
        } else {
            ++i;
        }
    }
}

/// Splits a region's profile into pieces wherever an end moves: bars that touch side by side.
std::vector<Piece> PiecesOf(const Profile& p) {
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < p.ends.size()) {
        if (p.ends[i].first < 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        std::vector<int> lows, highs;
        // A piece ends where an end leaves the median of its inner lines so far; the first
        // line (an anti-aliased edge) may differ.
        while (j < p.ends.size() && p.ends[j].first >= 0) {
            if (lows.size() >= 3) {
                const int low = Median(lows), high = Median(highs);
                if (std::abs(p.ends[j].first - low) > kEndSlack ||
                    std::abs(p.ends[j].second - high) > kEndSlack)
                    break;
            }
            lows.push_back(p.ends[j].first);
            highs.push_back(p.ends[j].second);
            ++j;
        }
        pieces.push_back({p.first + int(i), p.first + int(j) - 1, Median(lows), Median(highs)});
        i = j;
    }
    MergeNarrowDips(pieces);
    return pieces;
}

/// Pieces as wide as `count` sample bars are that many bars of the same height side by side.
void SplitByWidth(std::vector<Piece>& pieces, int sampleWidth) {
    std::vector<Piece> split;
    for (const Piece& piece : pieces) {
        const int width = piece.to - piece.from + 1;
        const int count = int(std::lround(double(width) / sampleWidth));
        if (count < 2 || std::abs(width - count * sampleWidth) > std::max(2, sampleWidth / 10)) {
            split.push_back(piece);
            continue;
        }
        for (int k = 0; k < count; ++k)
            split.push_back({piece.from + k * width / count,
                             piece.from + (k + 1) * width / count - 1, piece.low, piece.high,
                             k > 0});
    }
    pieces = std::move(split);
}

/// The edge most pieces share (within the base slack): the base line. Pieces cut by width count
/// once, so that one region cut in two does not make a base. Ties go to where bars usually
/// stand: the bottom of vertical bars (`preferHigh`), the left of horizontal ones.
std::pair<int, int> SharedEdge(const std::vector<Piece>& pieces, bool preferHigh) {
    int best = 0, bestCount = 0;
    for (const Piece& candidate : pieces)
        for (const int edge : {candidate.high, candidate.low}) {
            int count = 0;
            for (const Piece& p : pieces)
                count += !p.split && (std::abs(p.high - edge) <= kBaseSlack ||
                                      std::abs(p.low - edge) <= kBaseSlack);
            if (count > bestCount || (count == bestCount && (edge > best) == preferHigh))
                best = edge, bestCount = count;
        }
    return {best, bestCount};
}

/// Widest border drawn around a bar, in pixels.
constexpr int kWidestBorder = 4;

/// How much of `pixel` is `colour` where it mixes `colour` and `other`: 0..1 along the line
/// between them.
double ShareOf(const Rgb& pixel, const Rgb& colour, const Rgb& other) {
    const double dr = colour.r - other.r, dg = colour.g - other.g, db = colour.b - other.b;
    const double dd = dr * dr + dg * dg + db * db;
    if (dd == 0)
        return 0;
    const double t =
        ((pixel.r - other.r) * dr + (pixel.g - other.g) * dg + (pixel.b - other.b) * db) / dd;
    return std::clamp(t, 0.0, 1.0);
}

/// How far `pixel` lies from every mix of `colour` and `other`: the largest component of its
/// distance from the line between them.
double OffTheLine(const Rgb& pixel, const Rgb& colour, const Rgb& other) {
    const double t = ShareOf(pixel, colour, other);
    return std::max({std::fabs(pixel.r - other.r - t * (colour.r - other.r)),
                     std::fabs(pixel.g - other.g - t * (colour.g - other.g)),
                     std::fabs(pixel.b - other.b - t * (colour.b - other.b))});
}

/// The value end of one line across a bar (a column of a vertical bar), outward from the last
/// pixel `last` of its colour in direction `step`. What lies beyond is taken a little way out
/// (paper, or the next segment of a stacked bar). Pixels between that differ from both are a
/// border, and the end is the border's middle; otherwise the end is where the bar's colour
/// covers half a pixel, from the shares of the last pixel and the one beyond.
double LineEnd(const std::function<QRgb(int)>& at, int last, int step, const Rgb& bar) {
    const Rgb beyond = RgbOf(at(last + (kWidestBorder + 2) * step));
    double weight = 0, weighted = 0;
    for (int k = 1; k <= kWidestBorder + 1; ++k) {
        const Rgb c = RgbOf(at(last + k * step));
        const double w = OffTheLine(c, bar, beyond) - kInkContrast;
        if (w > 0)
            weight += w, weighted += w * double(last + k * step);
    }
    if (weight > 0)
        return weighted / weight;
    const double inside = ShareOf(RgbOf(at(last)), bar, beyond);
    const double outside = ShareOf(RgbOf(at(last + step)), bar, beyond);
    return last + step * (inside + outside - 0.5);
}

/// The value end of a bar to a fraction of a pixel: the median of its middle half's lines.
double RefinedEnd(const QImage& picture, const Rgb& colour, const Piece& p, bool horizontal,
                  bool towardsLarger) {
    const int width = p.to - p.from + 1;
    const int last = towardsLarger ? p.high : p.low;
    const int step = towardsLarger ? 1 : -1;
    std::vector<double> ends;
    for (int i = p.from + width / 4; i <= p.to - width / 4; ++i) {
        const auto at = [&](int v) -> QRgb {
            const QPoint xy = horizontal ? QPoint(v, i) : QPoint(i, v);
            return picture.rect().contains(xy) ? picture.pixel(xy) : qRgb(255, 255, 255);
        };
        ends.push_back(LineEnd(at, last, step, colour));
    }
    std::nth_element(ends.begin(), ends.begin() + std::ptrdiff_t(ends.size() / 2), ends.end());
    return ends[ends.size() / 2];
}

/// The bars of the mask's regions as they would stand in one direction.
struct Arrangement {
    std::vector<Piece> pieces; ///< as wide as the clicked bar, give or take
    Piece clicked;
    int base = 0, sharing = 0; ///< the shared edge and how many pieces share it
};

std::optional<Arrangement> Arrange(const BarMask& mask, const std::vector<Region>& regions,
                                   const Region& sample, QPoint click, bool horizontal) {
    const std::vector<Piece> samplePieces = PiecesOf(ProfileOf(mask, sample.box, horizontal));
    const int along = horizontal ? click.y() : click.x();
    const auto clicked =
        std::find_if(samplePieces.begin(), samplePieces.end(),
                     [along](const Piece& p) { return along >= p.from && along <= p.to; });
    if (clicked == samplePieces.end())
        return std::nullopt;
    Arrangement a;
    a.clicked = *clicked;
    const int sampleWidth = clicked->to - clicked->from + 1;
    if (sampleWidth < 2 || clicked->high - clicked->low < 1)
        return std::nullopt;
    for (const Region& region : regions) {
        if (region.box.width() < 2 || region.box.height() < 2)
            continue;
        std::vector<Piece> found = PiecesOf(ProfileOf(mask, region.box, horizontal));
        SplitByWidth(found, sampleWidth);
        for (const Piece& p : found) {
            const int width = p.to - p.from + 1;
            if (width * 10 >= sampleWidth * 6 && width * 10 <= sampleWidth * 16)
                a.pieces.push_back(p);
        }
    }
    std::tie(a.base, a.sharing) = SharedEdge(a.pieces, !horizontal);
    return a;
}

} // namespace

QPoint BarSearch::pointOf(const FoundBar& bar) const {
    const int across = int(std::lround(bar.centre));
    const int end = int(std::lround(bar.end));
    return horizontal ? QPoint(end, across) : QPoint(across, end);
}

std::optional<BarSearch> FindBars(const QImage& picture, QPoint click, int tolerance) {
    if (picture.isNull() || !picture.rect().contains(click))
        return std::nullopt;
    const QImage rgb =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    const Rgb paper = PaperColour(rgb);
    const Rgb colour = SampleColour(rgb, click);
    if (LargestDifference(colour, paper) < kInkContrast)
        return std::nullopt;
    const BarColourTest test(paper, colour, tolerance);
    BarMask mask(rgb, paper, test);
    const std::optional<QPoint> start = NearestOn(mask, click);
    if (!start)
        return std::nullopt;
    const Region sample = TakeRegion(mask, start->x(), start->y());
    std::vector<Region> regions{sample};
    for (int y = 0; y < mask.height(); ++y) {
        const std::uint8_t* row = mask.rowOf(y);
        for (int x = 0; x < mask.width(); ++x)
            if (row[x] == kOn)
                regions.push_back(TakeRegion(mask, x, y));
    }

    // The direction in which the bars stand: the one in which more of them share a base line;
    // the clicked bar's shape decides between charts of a single bar.
    std::optional<Arrangement> vertical = Arrange(mask, regions, sample, *start, false);
    std::optional<Arrangement> horizontal = Arrange(mask, regions, sample, *start, true);
    if (!vertical && !horizontal)
        return std::nullopt;
    const bool across =
        !vertical || (horizontal && (horizontal->sharing != vertical->sharing
                                         ? horizontal->sharing > vertical->sharing
                                         : sample.box.width() > sample.box.height()));
    const Arrangement& chosen = across ? *horizontal : *vertical;
    BarSearch search;
    search.colour = qRgb(colour.r, colour.g, colour.b);
    search.horizontal = across;
    search.base = chosen.base;
    const int base = chosen.base, sharing = chosen.sharing;
    const std::vector<Piece>& pieces = chosen.pieces;
    const Piece* clicked = &chosen.clicked;
    const auto onBase = [base = base](int edge) { return std::abs(edge - base) <= kBaseSlack; };
    const bool sampleStands = onBase(clicked->low) || onBase(clicked->high);
    for (const Piece& p : pieces) {
        const bool stands = onBase(p.high) || onBase(p.low);
        // Bars of a chart whose clicked bar stands on the base all stand on it: what floats
        // elsewhere in that colour (a legend's swatch) is no bar.
        if (sampleStands && sharing >= 2 && !stands)
            continue;
        FoundBar bar;
        bar.centre = (p.from + p.to) / 2.0;
        // A bar reaching from the base towards larger rows (down) is a negative vertical bar,
        // towards larger columns (right) a positive horizontal one.
        const bool towardsLarger =
            (onBase(p.low) && !onBase(p.high)) || (!stands && (p.low + p.high) / 2 > base);
        bar.negative = search.horizontal != towardsLarger;
        bar.end = RefinedEnd(rgb, colour, p, search.horizontal, towardsLarger);
        bar.error = ErrorBarOfBar(rgb, qRgb(paper.r, paper.g, paper.b), search.colour, bar,
                                  search.horizontal);
        bar.box = search.horizontal ? QRect(QPoint(p.low, p.from), QPoint(p.high, p.to))
                                    : QRect(QPoint(p.from, p.low), QPoint(p.to, p.high));
        search.bars.push_back(bar);
    }
    std::sort(search.bars.begin(), search.bars.end(),
              [](const FoundBar& a, const FoundBar& b) { return a.centre < b.centre; });
    if (search.bars.empty())
        return std::nullopt;
    return search;
}

} // namespace kurvana
