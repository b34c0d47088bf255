#include "recognition/markers/markerfit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace kurvana::markers {

namespace {

/// A place is worth fitting when its template box holds at least the share of the sample's ink
/// that must show of a marker (half, as it comes: a marker half hidden by another still does),
/// and a correlation peak this share of the sample's own correlation for each half of it that
/// must show is a candidate.
constexpr double kPeakShare = 0.9;
/// At tolerance 1, as shares of the sample's ink: the sample's ink missing where it is laid on
/// the mask (a circle laid on a square of its size misses none, a square on a circle 21 %)...
constexpr double kMostMissing = 0.2;
/// ... and ink within its box that it does not explain (the square's corners over the circle).
constexpr double kMostExtra = 0.16;
/// Rounds of taking and dropping peaks; clusters settle in two or three.
constexpr int kFitRounds = 4;
/// Ink in the marker's hole counts this much of ink around it: a line's end there is a small
/// part of it, a filled marker's inside (against an open sample) still far too much.
constexpr double kHoleExtra = 0.35;
/// Ink left over weighs against a match from this weight: fainter, it is the fringe of
/// something else beside the marker (another series' line, its blend with paper half
/// matching the colour), not ink of a shape.
constexpr float kLeastExtra = 0.4f;
/// A peak this many times over the limits is no marker, however it is moved.
constexpr double kWorthRefining = 2.5;
/// Two centres closer than this share of the marker's box are one marker.
constexpr double kSameMarker = 0.35;
/// A marker drawn under another colour's ink (a filled marker of another series over it) is
/// judged by what shows where at least the share that must show does. What shows of a marker
/// hidden further than half meets the fringes of what hides it: it is judged looser by the
/// share of the marker below half that need not show.
constexpr double kHalf = 0.5;

constexpr float kNone = -std::numeric_limits<float>::infinity();

/// The smoothing of the mismatch, [1 4 6 4 1] / 16, with a zero either end for moving it by
/// a fraction of a pixel.
constexpr float kBinomial[7] = {0, 1 / 16.f, 4 / 16.f, 6 / 16.f, 4 / 16.f, 1 / 16.f, 0};

struct Peak {
    QPoint at;
    float score;
    QPointF subPixel;
};

class Fitter {
public:
    Fitter(const InkMask& inked, const InkMask& cleaned, const MarkerTemplate& shape,
           double tolerance, double leastShowing, const PaperView& paper)
        : mask_(cleaned), inked_(inked), shape_(shape),
          tolerance_(tolerance * (1 + std::max(0.0, kHalf - leastShowing))),
          leastShowing_(leastShowing), paper_(paper) {
        const double mean = shape.inkSum / shape.weights.size();
        for (float w : shape.weights)
            zeroMean_.push_back(float(w - mean));
        selfScore_ = 0;
        for (std::size_t i = 0; i < shape.weights.size(); ++i)
            selfScore_ += zeroMean_[i] * shape.weights[i];
        seedSum_ = std::uint32_t(leastShowing * shape.inkSum * 255);
        auto weight = [&](int dx, int dy) { return templateAt(dx, dy); };
        smoothBox_ = shape.box.adjusted(-2, -2, 2, 2);
        for (int dy = smoothBox_.top(); dy <= smoothBox_.bottom(); ++dy)
            for (int dx = smoothBox_.left(); dx <= smoothBox_.right(); ++dx)
                smoothTemplate_.push_back(smoothBetween(weight, dx, dy, 0, 0));
    }

    std::vector<QPointF> fit(const std::atomic<bool>* cancel) {
        std::vector<Peak> peaks = findPeaks(cancel);
        if (cancel && cancel->load())
            return {};
        std::sort(peaks.begin(), peaks.end(),
                  [](const Peak& a, const Peak& b) { return a.score > b.score; });
        return repeatedFit(peaks);
    }

private:
    /// Clusters of touching and overlapping markers are split by fitting repeatedly: a peak
    /// where the sample's ink is all there is taken for now and its ink subtracted; then each
    /// one taken is checked again with every other one subtracted, so that only ink no marker
    /// explains counts against it, and those left with too much are dropped, freeing their
    /// place for the peaks they hid.
    std::vector<QPointF> repeatedFit(std::vector<Peak>& peaks) {
        enum class State { Open, Taken, Dropped };
        std::vector<State> state(peaks.size(), State::Open);
        auto takenCentres = [&] {
            std::vector<QPointF> centres;
            for (std::size_t i = 0; i < peaks.size(); ++i)
                if (state[i] == State::Taken)
                    centres.push_back(peaks[i].subPixel + shape_.centreOffset);
            return centres;
        };
        for (int round = 0; round < kFitRounds; ++round) {
            bool changed = false;
            std::vector<QPointF> taken = takenCentres();
            for (std::size_t i = 0; i < peaks.size(); ++i)
                if (state[i] == State::Open && !nearTaken(peaks[i].subPixel, taken) &&
                    matches(peaks[i], false)) {
                    state[i] = State::Taken;
                    subtract(peaks[i], 1);
                    taken.push_back(peaks[i].subPixel + shape_.centreOffset);
                    changed = true;
                }
            for (std::size_t k = peaks.size(); k-- > 0;) {
                if (state[k] != State::Taken)
                    continue;
                subtract(peaks[k], -1);
                if (matches(peaks[k], true)) {
                    subtract(peaks[k], 1);
                } else {
                    state[k] = State::Dropped;
                    changed = true;
                }
            }
            if (!changed)
                break;
        }
        return takenCentres();
    }

    float correlation(QPoint p) const {
        const QRect& box = shape_.box;
        float sum = 0;
        for (int dy = box.top(); dy <= box.bottom(); ++dy) {
            const int y = p.y() + dy;
            if (y < inked_.area().top() || y > inked_.area().bottom())
                continue;
            const std::uint8_t* row = inked_.row(y) - inked_.area().left();
            const float* weights = zeroMean_.data() + shape_.index(box.left(), dy);
            const int first = std::max(box.left(), inked_.area().left() - p.x());
            const int last = std::min(box.right(), inked_.area().right() - p.x());
            for (int dx = first; dx <= last; ++dx)
                sum += weights[dx - box.left()] * row[p.x() + dx];
        }
        return sum / 255.f;
    }

    /// Rows whose template box holds any ink: the others need no fitting at all.
    std::vector<bool> rowsNearInk() const {
        const QRect area = inked_.area();
        std::vector<bool> inked(area.height()), near(area.height());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const std::uint8_t* row = inked_.row(y);
            inked[y - area.top()] =
                std::any_of(row, row + area.width(), [](std::uint8_t w) { return w != 0; });
        }
        for (int i = 0; i < area.height(); ++i)
            if (inked[i])
                for (int j = std::max(0, i - shape_.box.bottom());
                     j <= std::min(area.height() - 1, i - shape_.box.top()); ++j)
                    near[j] = true;
        return near;
    }

    /// The correlation at every place whose template box holds enough ink, row by row, and its
    /// local peaks. The box sums come from column sums kept over the box's rows and a sum
    /// sliding along each row: the mask is read in order, twice.
    std::vector<Peak> findPeaks(const std::atomic<bool>* cancel) const {
        const QRect area = inked_.area();
        const QRect& box = shape_.box;
        std::vector<std::vector<float>> rows(3, std::vector<float>(area.width(), kNone));
        std::vector<Peak> peaks;
        const std::vector<bool> near = rowsNearInk();
        auto rowOf = [&](int y) -> std::vector<float>& {
            return rows[std::size_t(y - area.top()) % 3];
        };
        std::vector<std::uint32_t> columns(area.width());
        auto addRow = [&](int y, int sign) {
            if (y < area.top() || y > area.bottom())
                return;
            const std::uint8_t* weights = inked_.row(y);
            for (int i = 0; i < area.width(); ++i)
                columns[i] += std::uint32_t(sign * weights[i]);
        };
        for (int y = area.top() + box.top(); y < area.top() + box.bottom(); ++y)
            addRow(y, 1);
        for (int y = area.top(); y <= area.bottom() + 1; ++y) {
            if (cancel && cancel->load())
                return {};
            if (y <= area.bottom()) {
                addRow(y + box.bottom(), 1);
                std::vector<float>& row = rowOf(y);
                std::fill(row.begin(), row.end(), kNone);
                if (near[y - area.top()])
                    fitRow(y, columns, row);
                addRow(y + box.top(), -1);
            }
            if (y - 1 >= area.top())
                peaksInRow(y - 1, rowOf, peaks);
        }
        return peaks;
    }

    /// The correlation along row y where the box sum (from `columns`, the sums of the box's
    /// rows) reaches the seed share.
    void fitRow(int y, const std::vector<std::uint32_t>& columns, std::vector<float>& row) const {
        const QRect area = inked_.area();
        const QRect& box = shape_.box;
        auto column = [&](int x) {
            return x < area.left() || x > area.right() ? 0u : columns[x - area.left()];
        };
        std::uint32_t sum = 0;
        for (int x = area.left() + box.left(); x <= area.left() + box.right(); ++x)
            sum += column(x);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (sum >= seedSum_)
                row[x - area.left()] = correlation({x, y});
            sum += column(x + box.right() + 1) - column(x + box.left());
        }
    }

    template <typename RowOf> void peaksInRow(int y, RowOf& rowOf, std::vector<Peak>& peaks) const {
        const QRect area = inked_.area();
        const float least = float(kPeakShare * leastShowing_ * selfScore_);
        const std::vector<float>& here = rowOf(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const float c = here[x - area.left()];
            if (c < least)
                continue;
            auto at = [&](int dx, int dy) {
                const int nx = x + dx, ny = y + dy;
                if (!area.contains(nx, ny))
                    return kNone;
                return rowOf(ny)[nx - area.left()];
            };
            bool highest = true;
            for (int dy = -1; dy <= 1 && highest; ++dy)
                for (int dx = -1; dx <= 1 && highest; ++dx) {
                    const bool before = dy < 0 || (dy == 0 && dx < 0);
                    const float n = (dx || dy) ? at(dx, dy) : kNone;
                    highest = before ? c > n : c >= n;
                }
            if (highest)
                peaks.push_back({{x, y}, c, subPixelPeak({x, y}, c)});
        }
    }

    /// The peak's position between pixels: the top of the parabola through it and its two
    /// neighbours, each way.
    QPointF subPixelPeak(QPoint p, float c) const {
        auto offset = [&](QPoint step) {
            const float before = correlation(p - step), after = correlation(p + step);
            const float curve = before - 2 * c + after;
            return curve < 0 ? std::clamp(0.5 * (before - after) / curve, -0.5, 0.5) : 0.0;
        };
        return QPointF(p.x() + offset({1, 0}), p.y() + offset({0, 1}));
    }

    bool nearTaken(QPointF p, const std::vector<QPointF>& centres) const {
        const double reach = kSameMarker * std::max(shape_.box.width(), shape_.box.height());
        const QPointF centre = p + shape_.centreOffset;
        return std::any_of(centres.begin(), centres.end(), [&](QPointF c) {
            return std::hypot(c.x() - centre.x(), c.y() - centre.y()) < reach;
        });
    }

    float inkedAt(int x, int y) const { return inked_.at(x, y) / 255.f; }
    float residualAt(int x, int y) const {
        const auto taken = taken_.find(key(x, y));
        return std::max(0.f,
                        mask_.at(x, y) / 255.f - (taken == taken_.end() ? 0.f : taken->second));
    }
    static std::int64_t key(int x, int y) { return std::int64_t(y) << 32 | std::uint32_t(x); }

    /// `read` at (x + fx, y + fy) between pixels, smoothed by a [1 4 6 4 1] / 16 kernel each
    /// way: a one-pixel outline then reads nearly the same whatever fraction of a pixel it is
    /// moved by, while shapes still differ by their corners and sides.
    template <typename Read>
    static float smoothBetween(const Read& read, int x, int y, float fx, float fy) {
        const int x0 = x + int(std::floor(fx)), y0 = y + int(std::floor(fy));
        const float ax = fx - std::floor(fx), ay = fy - std::floor(fy);
        float kx[6], ky[6];
        for (int i = 0; i < 6; ++i) {
            kx[i] = (1 - ax) * kBinomial[i + 1] + ax * kBinomial[i];
            ky[i] = (1 - ay) * kBinomial[i + 1] + ay * kBinomial[i];
        }
        float sum = 0;
        for (int j = 0; j < 6; ++j) {
            float row = 0;
            for (int i = 0; i < 6; ++i)
                row += kx[i] * read(x0 - 2 + i, y0 - 2 + j);
            sum += ky[j] * row;
        }
        return sum;
    }
    template <typename Read>
    static float between(const Read& read, int x, int y, float fx, float fy) {
        const int x0 = x + int(std::floor(fx)), y0 = y + int(std::floor(fy));
        const float ax = fx - std::floor(fx), ay = fy - std::floor(fy);
        return (1 - ay) * ((1 - ax) * read(x0, y0) + ax * read(x0 + 1, y0)) +
               ay * ((1 - ax) * read(x0, y0 + 1) + ax * read(x0 + 1, y0 + 1));
    }
    float templateAt(int dx, int dy) const {
        return shape_.box.contains(dx, dy) ? shape_.weight(dx, dy) : 0.f;
    }

    struct Mismatch {
        double missing = 0, extra = 0;
        double total() const { return missing + extra; }
    };

    /// How the sample laid at (p + fraction) differs from the mask there: the sample's ink
    /// missing, and ink left over once the markers taken so far are subtracted (so that
    /// overlapping markers do not count against each other), as shares of the sample's ink.
    /// The mask and what is left of it around a peak, read once for all the fractions of a
    /// pixel tried there.
    struct Patch {
        QRect area;
        std::vector<float> mask, residual, covered;

        std::size_t index(int x, int y) const {
            return std::size_t(y - area.top()) * area.width() + (x - area.left());
        }
        float maskAt(int x, int y) const { return area.contains(x, y) ? mask[index(x, y)] : 0.f; }
        float residualAt(int x, int y) const {
            return area.contains(x, y) ? residual[index(x, y)] : 0.f;
        }
    };

    Patch patchAround(QPoint p) const {
        // The smoothing reaches two pixels and a fraction of up to one beyond the box's own
        // two: five pixels around it hold every read.
        Patch patch{shape_.box.translated(p).adjusted(-5, -5, 5, 5), {}, {}, {}};
        const std::size_t size = std::size_t(patch.area.width()) * patch.area.height();
        patch.mask.resize(size);
        patch.residual.resize(size);
        patch.covered.resize(size);
        for (int y = patch.area.top(); y <= patch.area.bottom(); ++y)
            for (int x = patch.area.left(); x <= patch.area.right(); ++x) {
                const std::size_t i = patch.index(x, y);
                patch.mask[i] = inkedAt(x, y);
                const float residual = residualAt(x, y);
                patch.residual[i] = residual >= kLeastExtra ? residual : 0;
                patch.covered[i] = patch.mask[i] == 0 && paper_.drawnAt(x, y) ? 1.f : 0.f;
            }
        return patch;
    }

    /// How the sample laid at (p + fraction) differs from the mask there: the sample's ink
    /// missing, and ink left over once the markers taken so far are subtracted (so that
    /// overlapping markers do not count against each other), as shares of the sample's ink.
    Mismatch mismatchAt(const Patch& patch, QPoint p, float fx, float fy) const {
        const std::vector<float> mask = smoothedAt(patch, patch.mask, p, fx, fy);
        const std::vector<float> residual = smoothedAt(patch, patch.residual, p, fx, fy);
        const std::vector<float> covered = smoothedAt(patch, patch.covered, p, fx, fy);
        double showing = 0;
        for (std::size_t k = 0; k < covered.size(); ++k)
            showing += smoothTemplate_[k] * (1 - covered[k]);
        const bool judgeShowing = showing >= leastShowing_ * shape_.inkSum;
        Mismatch m;
        const QRect& box = smoothBox_;
        std::size_t i = 0;
        for (int dy = box.top(); dy <= box.bottom(); ++dy)
            for (int dx = box.left(); dx <= box.right(); ++dx, ++i) {
                const float w = smoothTemplate_[i];
                m.missing += std::max(0.f, w - mask[i]) * (judgeShowing ? 1 - covered[i] : 1.f);
                if (!shape_.isNear(dx, dy))
                    continue;
                const float over = std::max(0.f, residual[i] - w);
                m.extra += shape_.inHole(dx, dy) ? kHoleExtra * over : over;
            }
        m.missing /= shape_.inkSum;
        m.extra /= shape_.inkSum;
        return m;
    }

    /// `values` of the patch smoothed as smoothBetween does, moved by the fraction, at every
    /// offset of smoothBox_ from p: one pass along rows, one down columns.
    std::vector<float> smoothedAt(const Patch& patch, const std::vector<float>& values, QPoint p,
                                  float fx, float fy) const {
        const int sx = int(std::floor(fx)), sy = int(std::floor(fy));
        const float ax = fx - sx, ay = fy - sy;
        float kx[6], ky[6];
        for (int i = 0; i < 6; ++i) {
            kx[i] = (1 - ax) * kBinomial[i + 1] + ax * kBinomial[i];
            ky[i] = (1 - ay) * kBinomial[i + 1] + ay * kBinomial[i];
        }
        const QRect& box = smoothBox_;
        const int firstRow = p.y() + box.top() + sy - 2, rows = box.height() + 5;
        std::vector<float> along(std::size_t(rows) * box.width());
        for (int r = 0; r < rows; ++r) {
            const float* row =
                values.data() + patch.index(p.x() + box.left() + sx - 2, firstRow + r);
            float* out = along.data() + std::size_t(r) * box.width();
            for (int c = 0; c < box.width(); ++c) {
                float sum = 0;
                for (int i = 0; i < 6; ++i)
                    sum += kx[i] * row[c + i];
                out[c] = sum;
            }
        }
        std::vector<float> smoothed(std::size_t(box.width()) * box.height());
        for (int r = 0; r < box.height(); ++r)
            for (int c = 0; c < box.width(); ++c) {
                float sum = 0;
                for (int j = 0; j < 6; ++j)
                    sum += ky[j] * along[std::size_t(r + j) * box.width() + c];
                smoothed[std::size_t(r) * box.width() + c] = sum;
            }
        return smoothed;
    }

    bool acceptable(const Mismatch& m, bool judgeExtra) const {
        return m.missing <= kMostMissing * tolerance_ &&
               (!judgeExtra || m.extra <= kMostExtra * tolerance_);
    }

    /// Whether the sample's shape lies at the peak; `peak.subPixel` moves to where it lies
    /// best when the correlation's parabola missed that (thin outlines peak sharply).
    bool matches(Peak& peak, bool judgeExtra) const {
        const QPoint p = peak.at;
        float fx = float(peak.subPixel.x() - p.x()), fy = float(peak.subPixel.y() - p.y());
        const Patch patch = patchAround(p);
        Mismatch best = mismatchAt(patch, p, fx, fy);
        if (acceptable(best, judgeExtra))
            return true;
        if (best.total() > kWorthRefining * (kMostMissing + kMostExtra) * tolerance_)
            return false;
        for (float step : {0.25f, 0.125f})
            for (bool moved = true; moved;) {
                moved = false;
                for (const auto& [sx, sy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const float nx = fx + sx * step, ny = fy + sy * step;
                    if (std::abs(nx) > 1 || std::abs(ny) > 1)
                        continue;
                    const Mismatch m = mismatchAt(patch, p, nx, ny);
                    if (m.total() < best.total()) {
                        best = m;
                        fx = nx;
                        fy = ny;
                        moved = true;
                    }
                }
            }
        peak.subPixel = QPointF(p.x() + fx, p.y() + fy);
        return acceptable(best, judgeExtra);
    }

    /// Takes the marker's ink out of what later markers may claim, at its own place between
    /// pixels.
    void subtract(const Peak& peak, float sign) {
        const QPoint p = peak.at;
        const float fx = float(peak.subPixel.x() - p.x()), fy = float(peak.subPixel.y() - p.y());
        auto weight = [&](int dx, int dy) { return templateAt(dx, dy); };
        const QRect box = shape_.box.adjusted(-1, -1, 1, 1);
        for (int dy = box.top(); dy <= box.bottom(); ++dy)
            for (int dx = box.left(); dx <= box.right(); ++dx)
                if (const float w = between(weight, dx, dy, -fx, -fy); w > 0)
                    taken_[key(p.x() + dx, p.y() + dy)] += sign * w;
    }

    /// Lines taken out: where peaks are sought and ink left over is counted.
    const InkMask& mask_;
    /// All the ink of the colour: the sample's ink is missing only where none is there (where
    /// a line crossed an outline, the line's ink is the outline's too).
    const InkMask& inked_;
    const MarkerTemplate& shape_;
    double tolerance_;
    double leastShowing_;
    const PaperView& paper_;
    std::vector<float> zeroMean_;
    double selfScore_ = 0;
    std::uint32_t seedSum_ = 0;
    std::unordered_map<std::int64_t, float> taken_;
    /// The template smoothed as the mismatch reads the mask, over the box and two pixels
    /// around it.
    QRect smoothBox_;
    std::vector<float> smoothTemplate_;
};

} // namespace

std::vector<QPointF> FitMarkers(const InkMask& inked, const InkMask& cleaned,
                                const MarkerTemplate& shape, double tolerance, double leastShowing,
                                const PaperView& paper, const std::atomic<bool>* cancel) {
    Fitter fitter(inked, cleaned, shape, tolerance, leastShowing, paper);
    return fitter.fit(cancel);
}

} // namespace kurvana::markers
