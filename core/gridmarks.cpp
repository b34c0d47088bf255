#include "core/gridmarks.h"

#include <algorithm>
#include <cmath>

namespace kurvana {

namespace {

/// At most this many lines cross the typed range of an axis; the step grows until they fit.
constexpr int kMostLinesInRange = 12;
/// Beyond the typed range the lines go on to the picture's edges, but never more than this
/// many per axis: a calibration over a few pixels of a huge scan would otherwise ask for
/// thousands.
constexpr int kMostLinesPerAxis = 400;
/// A decade needs this many picture pixels before 2 and 5 are drawn inside it.
constexpr double kDecadeRoomForSubdivisions = 60.0;
// The natural-logarithm base of the conversion (see calibration.cpp): grid exponents must be
// the conversion's own, or the lines would drift from the values they claim.
constexpr long double kLnBase = 2.71828182845904L;

/// The exponent of an axis value on a logarithmic axis: the inverse of the conversion's power.
long double exponentOfValue(ScaleKind kind, long double value) {
    if (kind == ScaleKind::Log10)
        return std::log10(value);
    return std::log(value) / std::log(kLnBase);
}

/// Exponent units per decade: 1 on a decimal axis, ln 10 / ln base on a natural one.
long double unitsPerDecade(ScaleKind kind) {
    return kind == ScaleKind::Log10 ? 1.0L : std::log(10.0L) / std::log(kLnBase);
}

/// m * 10^e, computed so that round steps stay round (0.2, not 0.2000000000000000111).
double stepValue(long long k, int mantissa, int exponent) {
    const double power = std::pow(10.0, std::abs(exponent));
    return exponent >= 0 ? double(k * mantissa) * power : double(k * mantissa) / power;
}

struct Step {
    int mantissa = 1; ///< 1, 2 or 5
    int exponent = 0; ///< power of ten
    double size() const { return stepValue(1, mantissa, exponent); }
};

/// The smallest 1-2-5 step (at least `smallest`) at which no more than kMostLinesInRange
/// multiples fall in [low, high].
Step roundStep(double low, double high, double smallest) {
    const double span = high - low;
    int exponent = int(std::floor(std::log10(std::max(span / kMostLinesInRange, smallest)))) - 1;
    for (;; ++exponent)
        for (const int mantissa : {1, 2, 5}) {
            const Step step{mantissa, exponent};
            const double s = step.size();
            if (s < smallest)
                continue;
            if (std::floor(high / s) - std::ceil(low / s) + 1 <= kMostLinesInRange)
                return step;
        }
}

/// Multiples k of the step inside the cover range, nearest the typed range first when the
/// cover range holds too many.
std::pair<long long, long long> multiplesInCover(const AxisSpan& axis, double step) {
    long long first = (long long)std::ceil(axis.coverLow / step);
    long long last = (long long)std::floor(axis.coverHigh / step);
    const long long typedFirst = (long long)std::ceil(axis.typedLow / step);
    first = std::max(first, typedFirst - kMostLinesPerAxis / 2);
    last = std::min(last, first + kMostLinesPerAxis - 1);
    return {first, last};
}

/// Values and exponents of the lines of a linear axis.
std::vector<std::pair<double, long double>> linearMarks(const AxisSpan& axis) {
    const Step step = roundStep(axis.typedLow, axis.typedHigh, 0);
    std::vector<std::pair<double, long double>> marks;
    const auto [first, last] = multiplesInCover(axis, step.size());
    for (long long k = first; k <= last; ++k) {
        const double value = stepValue(k, step.mantissa, step.exponent);
        marks.emplace_back(value, value);
    }
    return marks;
}

/// Values and exponents of the lines of a logarithmic axis: decades (every n-th when many),
/// with 2 and 5 inside each decade when it is wide enough.
std::vector<std::pair<double, long double>> logarithmicMarks(const AxisSpan& axis) {
    const long double perDecade = unitsPerDecade(axis.kind);
    AxisSpan decades = axis;
    decades.typedLow = double(axis.typedLow / perDecade);
    decades.typedHigh = double(axis.typedHigh / perDecade);
    decades.coverLow = double(axis.coverLow / perDecade);
    decades.coverHigh = double(axis.coverHigh / perDecade);
    const Step step = roundStep(decades.typedLow, decades.typedHigh, 1);
    const bool subdivide =
        step.size() == 1 && double(perDecade) * axis.pixelsPerUnit >= kDecadeRoomForSubdivisions;
    std::vector<std::pair<double, long double>> marks;
    // One decade below the first, so that its 2 and 5 are not lost.
    auto [first, last] = multiplesInCover(decades, step.size());
    for (long long k = first - 1; k <= last; ++k) {
        const long long decade = (long long)stepValue(k, step.mantissa, step.exponent);
        const double power = std::pow(10.0, double(decade));
        for (const int mantissa : {1, 2, 5}) {
            if (mantissa != 1 && !subdivide)
                break;
            const double value = mantissa * power;
            const long double t =
                decade * perDecade + (mantissa == 1 ? 0.0L : exponentOfValue(axis.kind, mantissa));
            if (t >= axis.coverLow && t <= axis.coverHigh && std::isfinite(value))
                marks.emplace_back(value, t);
        }
    }
    return marks;
}

} // namespace

std::optional<std::pair<double, double>> ClipToBox(QPointF start, QPointF direction,
                                                   const QRectF& box) {
    double sLow = -1e300, sHigh = 1e300;
    const auto clip = [&](double q, double d, double low, double high) {
        if (std::fabs(d) < 1e-12)
            return q >= low && q <= high;
        double a = (low - q) / d, b = (high - q) / d;
        if (a > b)
            std::swap(a, b);
        sLow = std::max(sLow, a);
        sHigh = std::min(sHigh, b);
        return sLow <= sHigh;
    };
    if (!clip(start.x(), direction.x(), box.left(), box.right()) ||
        !clip(start.y(), direction.y(), box.top(), box.bottom()))
        return std::nullopt;
    return std::make_pair(sLow, sHigh);
}

std::vector<std::pair<double, long double>> GridMarks(const AxisSpan& axis) {
    return axis.kind == ScaleKind::Linear ? linearMarks(axis) : logarithmicMarks(axis);
}

} // namespace kurvana
