#include "recognition/axes/axislines.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "recognition/axes/axisgray.h"

namespace kurvana {

namespace {

// tan(8 degrees): scans tilted up to 5 degrees, and the converging sides of a photographed page
constexpr double kMaxTilt = 0.1405;
constexpr int kReducedSize = 1000; // the line vote runs on a picture of about this size
constexpr int kMaxCandidates = 6;

/// The picture seen along and across a line direction.
struct Oriented {
    const GrayPicture& gray;
    bool upright;
    int alongSize() const { return upright ? gray.height : gray.width; }
    int acrossSize() const { return upright ? gray.width : gray.height; }
    bool dark(int along, int across) const {
        return upright ? gray.dark(across, along) : gray.dark(along, across);
    }
    int weight(int along, int across) const {
        return upright ? gray.inkWeight(across, along) : gray.inkWeight(along, across);
    }
};

/// The ink of the picture reduced by `factor` in both directions: a reduced pixel is ink when
/// any of its pixels is, so that strokes of one pixel survive the reduction.
struct ReducedMask {
    int factor = 1, width = 0, height = 0;
    std::vector<std::uint8_t> ink;
};

ReducedMask reduce(const GrayPicture& gray) {
    ReducedMask m;
    m.factor = std::max(1, (std::max(gray.width, gray.height) + kReducedSize - 1) / kReducedSize);
    m.width = (gray.width + m.factor - 1) / m.factor;
    m.height = (gray.height + m.factor - 1) / m.factor;
    m.ink.assign(std::size_t(m.width) * std::size_t(m.height), 0);
    for (int y = 0; y < gray.height; ++y) {
        const std::uint8_t* row = gray.pixels.data() + std::size_t(y) * std::size_t(gray.width);
        std::uint8_t* out = m.ink.data() + std::size_t(y / m.factor) * std::size_t(m.width);
        // Block by block: one test per reduced pixel's run of the row, no division per pixel.
        for (int x0 = 0, cell = 0; x0 < gray.width; x0 += m.factor, ++cell) {
            const int x1 = std::min(gray.width, x0 + m.factor);
            std::uint8_t darkest = 255;
            for (int x = x0; x < x1; ++x)
                darkest = std::min(darkest, row[x]);
            out[cell] |= std::uint8_t(darkest < gray.ink);
        }
    }
    return m;
}

struct Candidate {
    int rho; ///< across of the reduced line at along 0, plus the shift
    int slopeIndex;
    int votes;
};

/// A vote over all lines of slope within kMaxTilt (a Hough transform in slope form) on the
/// reduced mask; the candidates are the local maxima with enough votes.
std::vector<Candidate> voteLines(const ReducedMask& m, bool upright, double step, int slopes,
                                 int shift) {
    const int alongN = upright ? m.height : m.width;
    const int acrossN = upright ? m.width : m.height;
    const int bins = acrossN + 2 * shift + 1;
    std::vector<int> votes(std::size_t(bins) * std::size_t(2 * slopes + 1), 0);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            if (!m.ink[std::size_t(y) * std::size_t(m.width) + std::size_t(x)])
                continue;
            const int along = upright ? y : x, across = upright ? x : y;
            for (int k = -slopes; k <= slopes; ++k) {
                const int bin = int(std::lround(across - along * k * step)) + shift;
                ++votes[std::size_t(k + slopes) * std::size_t(bins) + std::size_t(bin)];
            }
        }
    std::vector<Candidate> best(std::size_t(bins), Candidate{0, 0, 0});
    for (int b = 0; b < bins; ++b) {
        best[std::size_t(b)].rho = b;
        for (int k = -slopes; k <= slopes; ++k) {
            const int v = votes[std::size_t(k + slopes) * std::size_t(bins) + std::size_t(b)];
            if (v > best[std::size_t(b)].votes)
                best[std::size_t(b)] = Candidate{b, k, v};
        }
    }
    const int needed = std::max(8, alongN * 3 / 10);
    std::vector<Candidate> peaks;
    for (int b = 0; b < bins; ++b) {
        const int v = best[std::size_t(b)].votes;
        if (v < needed)
            continue;
        bool peak = true;
        for (int d = -3; d <= 3 && peak; ++d) {
            const int o = b + d;
            if (d == 0 || o < 0 || o >= bins)
                continue;
            const int w = best[std::size_t(o)].votes;
            peak = d < 0 ? w < v : w <= v;
        }
        if (peak)
            peaks.push_back(best[std::size_t(b)]);
    }
    return peaks;
}

/// One cut across the stroke: the ink run met near the expected position.
struct Cut {
    double along = 0;
    double centre = 0;
    int length = 0;
    int first = 0, last = 0; ///< the ink run, across
};

std::optional<Cut> cutAt(const Oriented& o, int along, double expected, int window) {
    const int centre = int(std::lround(expected));
    int hit = -1;
    for (int d = 0; d <= window && hit < 0; ++d) {
        if (o.dark(along, centre - d))
            hit = centre - d;
        else if (o.dark(along, centre + d))
            hit = centre + d;
    }
    if (hit < 0)
        return std::nullopt;
    int first = hit, last = hit;
    while (first > 0 && o.dark(along, first - 1))
        --first;
    while (last + 1 < o.acrossSize() && o.dark(along, last + 1))
        ++last;
    // The centre weighs the ink of the run and of one pixel on each side, where anti-aliasing
    // leaves the rest of the stroke's ink.
    double sum = 0, moment = 0;
    for (int a = first - 1; a <= last + 1; ++a) {
        const int w = o.weight(along, a);
        sum += w;
        moment += double(w) * a;
    }
    return Cut{double(along), sum > 0 ? moment / sum : double(hit), last - first + 1, first, last};
}

struct Fit {
    double offset = 0, slope = 0, rms = 0;
};

std::optional<Fit> fitCuts(const std::vector<Cut>& cuts) {
    if (cuts.size() < 2)
        return std::nullopt;
    double sa = 0, sc = 0, saa = 0, sac = 0;
    for (const Cut& c : cuts) {
        sa += c.along;
        sc += c.centre;
        saa += c.along * c.along;
        sac += c.along * c.centre;
    }
    const double n = double(cuts.size());
    const double det = n * saa - sa * sa;
    if (det <= 0)
        return std::nullopt;
    Fit fit;
    fit.slope = (n * sac - sa * sc) / det;
    fit.offset = (sc - fit.slope * sa) / n;
    double squares = 0;
    for (const Cut& c : cuts) {
        const double r = c.centre - (fit.offset + fit.slope * c.along);
        squares += r * r;
    }
    fit.rms = std::sqrt(squares / n);
    return fit;
}

/// The cuts of the stroke near the line (offset, slope), one every `step` pixels along.
std::vector<std::optional<Cut>> cutsAlong(const Oriented& o, const Fit& line, int window,
                                          int step) {
    std::vector<std::optional<Cut>> cuts;
    for (int along = 0; along < o.alongSize(); along += step)
        cuts.push_back(cutAt(o, along, line.offset + line.slope * along, window));
    return cuts;
}

/// The longest stretch of consecutive cuts, bridging gaps of up to `maxGap` missing cuts
/// (dashes of a grid line are not bridged, a few pixels eaten by a label or a JPEG block are).
std::pair<std::size_t, std::size_t> longestStretch(const std::vector<std::optional<Cut>>& cuts,
                                                   std::size_t maxGap) {
    std::pair<std::size_t, std::size_t> best{0, 0};
    std::size_t first = 0, gap = 0;
    bool open = false;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        if (cuts[i]) {
            if (!open)
                first = i;
            open = true;
            gap = 0;
            if (i - first > best.second - best.first)
                best = {first, i};
        } else if (open && ++gap > maxGap) {
            open = false;
        }
    }
    return best;
}

/// Whether a cut longer than a stroke is something standing on the stroke on one side (a bar
/// on the axis), the stroke's edge on the other side where the line puts it.
bool standsOn(const Cut& cut, const Fit& line, int maxThickness) {
    const double centre = line.offset + line.slope * cut.along;
    const double half = maxThickness / 2.0 + 1;
    return (centre - cut.first <= half) != (cut.last - centre <= half);
}

/// The stroke of a voted candidate fitted on the full picture, or nothing when the candidate
/// is no long thin straight stroke (text rows, noise, a thick band).
std::optional<AxisLine> refine(const Oriented& o, const Fit& coarse, int factor) {
    const int step = std::max(1, o.alongSize() / 1500);
    const int maxThickness = std::max(4, std::min(o.alongSize(), o.acrossSize()) / 80);
    Fit line = coarse;
    int window = factor + 2;
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<Cut> thin;
        for (const auto& cut : cutsAlong(o, line, window, step)) {
            const double tolerance = pass == 0 ? factor + 1.0 : 1.0;
            if (cut && cut->length <= maxThickness &&
                std::abs(cut->centre - (line.offset + line.slope * cut->along)) <= tolerance)
                thin.push_back(*cut);
        }
        const auto fit = fitCuts(thin);
        if (!fit)
            return std::nullopt;
        line = *fit;
        window = 2;
    }
    const auto cuts = cutsAlong(o, line, 1, step);
    const std::size_t maxGap = std::size_t(std::max(2, o.alongSize() / 100 / step));
    const auto [first, last] = longestStretch(cuts, maxGap);
    if (double(last - first) * step < 0.2 * o.alongSize())
        return std::nullopt;
    std::vector<int> widths;
    std::size_t present = 0, edged = 0;
    for (std::size_t i = first; i <= last; ++i)
        if (cuts[i]) {
            ++present;
            if (cuts[i]->length <= maxThickness)
                widths.push_back(cuts[i]->length);
            else if (standsOn(*cuts[i], line, maxThickness))
                ++edged;
        }
    // A stroke is ink nearly all along and thin nearly everywhere (ticks, grid lines and curves
    // crossing it make the exceptions, and bars standing on it, which keep its edge on the
    // other side).
    const std::size_t span = last - first + 1;
    if (present * 10 < span * 9 || widths.size() * 10 < span * 3 ||
        (widths.size() + edged) * 10 < span * 6 || line.rms > 1.0)
        return std::nullopt;
    std::nth_element(widths.begin(), widths.begin() + std::ptrdiff_t(widths.size() / 2),
                     widths.end());
    AxisLine axis;
    axis.upright = o.upright;
    axis.offset = line.offset;
    axis.slope = line.slope;
    axis.start = cuts[first]->along;
    axis.end = cuts[last]->along;
    axis.thickness = widths[widths.size() / 2];
    return axis;
}

} // namespace

QPointF AxisLine::pointAt(double along) const {
    const double across = acrossAt(along);
    return upright ? QPointF(across, along) : QPointF(along, across);
}

QPointF AxisLine::offsetPoint(double along, double distance) const {
    const double norm = std::sqrt(1 + slope * slope);
    // The unit normal towards growing across, in (along, across) terms.
    const double nAlong = -slope / norm, nAcross = 1 / norm;
    const double a = along + distance * nAlong;
    const double c = acrossAt(along) + distance * nAcross;
    return upright ? QPointF(c, a) : QPointF(a, c);
}

namespace {

std::vector<AxisLine> linesOf(const GrayPicture& gray, const ReducedMask& mask, bool upright) {
    const int alongN = upright ? mask.height : mask.width;
    const double step = 1.0 / alongN; // one reduced pixel of drift over the whole length
    const int slopes = int(std::ceil(kMaxTilt / step));
    const int shift = int(std::ceil(kMaxTilt * alongN)) + 1;
    std::vector<Candidate> peaks = voteLines(mask, upright, step, slopes, shift);
    // Level lines: the lowest first (the X axis is the bottom of the plot); upright lines: the
    // leftmost first.
    std::sort(peaks.begin(), peaks.end(), [upright](const Candidate& a, const Candidate& b) {
        return upright ? a.rho < b.rho : a.rho > b.rho;
    });
    const Oriented o{gray, upright};
    const int f = mask.factor;
    std::vector<AxisLine> lines;
    for (const Candidate& c : peaks) {
        const double slope = c.slopeIndex * step;
        const double half = (f - 1) / 2.0;
        const Fit coarse{double(c.rho - shift) * f + half - slope * half, slope, 0};
        if (auto line = refine(o, coarse, f)) {
            const bool duplicate = std::any_of(lines.begin(), lines.end(), [&](const AxisLine& l) {
                return std::abs(l.acrossAt(line->start) - line->acrossAt(line->start)) < 3;
            });
            if (!duplicate)
                lines.push_back(*line);
            if (int(lines.size()) >= kMaxCandidates)
                break;
        }
    }
    return lines;
}

} // namespace

AxisLineCandidates FindAxisLines(const GrayPicture& gray) {
    if (gray.width < 16 || gray.height < 16)
        return {};
    // One reduction serves both directions: it is a pass over the whole picture.
    const ReducedMask mask = reduce(gray);
    return {linesOf(gray, mask, false), linesOf(gray, mask, true)};
}

} // namespace kurvana
