#include "core/checkgrid.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/calibration.h"
#include "core/document.h"
#include "core/workspace.h"

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

/// One axis of the calibration, as the grid needs it: the typed exponent range, its length in
/// pixels and the exponent range that the picture covers.
struct AxisSpan {
    ScaleKind kind = ScaleKind::Linear;
    double typedLow = 0, typedHigh = 0;     ///< the typed minimum and maximum, ordered
    double coverLow = 0, coverHigh = 0;     ///< exponents at the picture's extremes
    double pixelsPerUnit = 0;               ///< pixels per exponent unit along the axis
    long double typedMin = 0, typedMax = 0; ///< as typed (min may exceed max)
    std::int32_t length = 0;                ///< xAxisLength or yAxisLength
};

/// The exponent on the axis at rotated coordinate `w` (continuous), as ToAxisValues computes
/// it before the scale is applied.
long double exponentAt(const AxisSpan& axis, long double w) {
    return (axis.typedMax - axis.typedMin) / axis.length * w + axis.typedMin;
}

/// The rotated coordinate at which the exponent is t: the inverse of exponentAt.
double coordinateOf(const AxisSpan& axis, long double t) {
    return double((t - axis.typedMin) * axis.length / (axis.typedMax - axis.typedMin));
}

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

/// The parameter range [sLow, sHigh] for which start + s * direction lies inside `box`, or
/// nothing when the line misses it.
std::optional<std::pair<double, double>> clipToBox(QPointF start, QPointF direction,
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

/// The exponent range of an axis over the picture, from the rotated coordinates of its corners.
std::pair<double, double> coveredExponents(const AxisSpan& axis,
                                           const std::array<double, 4>& cornerCoordinates) {
    const auto [lowest, highest] =
        std::minmax_element(cornerCoordinates.begin(), cornerCoordinates.end());
    const double a = double(exponentAt(axis, *lowest));
    const double b = double(exponentAt(axis, *highest));
    return {std::min(a, b), std::max(a, b)};
}

std::optional<AxisSpan> axisSpan(ScaleKind kind, double typedMin, double typedMax,
                                 std::int32_t length,
                                 const std::array<double, 4>& cornerCoordinates) {
    if (length == 0 || !std::isfinite(typedMin) || !std::isfinite(typedMax) || typedMin == typedMax)
        return std::nullopt;
    AxisSpan axis;
    axis.kind = kind == ScaleKind::Log10 || kind == ScaleKind::Ln ? kind : ScaleKind::Linear;
    axis.typedMin = typedMin;
    axis.typedMax = typedMax;
    axis.typedLow = std::min(typedMin, typedMax);
    axis.typedHigh = std::max(typedMin, typedMax);
    axis.length = length;
    axis.pixelsPerUnit = std::fabs(double(length) / (typedMax - typedMin));
    std::tie(axis.coverLow, axis.coverHigh) = coveredExponents(axis, cornerCoordinates);
    return axis;
}

} // namespace

std::vector<GridLine> CheckGridLines(const Document& doc) {
    std::vector<GridLine> lines;
    if (doc.pictureWidth <= 0 || doc.pictureHeight <= 0)
        return lines;
    std::int32_t xLength = 0, yLength = 0;
    try {
        xLength = ToRotatedFrame(doc, doc.xMaxPointX, doc.xMaxPointY).u;
        yLength = ToRotatedFrame(doc, doc.yMaxPointX, doc.yMaxPointY).v;
    } catch (const CommandError&) {
        return lines; // a frame the conversion refuses has no grid either
    }
    // The rotated frame in picture coordinates (y downwards): u runs along the X axis, v
    // across it towards decreasing picture y.
    const double angle = double(doc.axisAngle);
    const QPointF alongX(std::cos(angle), -std::sin(angle));
    const QPointF alongY(-std::sin(angle), -std::cos(angle));
    const QPointF zero(doc.zeroPointX, doc.zeroPointY);
    // Pixel centres are whole numbers, so the picture reaches half a pixel beyond them.
    const QRectF picture(-0.5, -0.5, doc.pictureWidth, doc.pictureHeight);
    std::array<double, 4> uAtCorners{}, vAtCorners{};
    const QPointF corners[] = {picture.topLeft(), picture.topRight(), picture.bottomLeft(),
                               picture.bottomRight()};
    for (int i = 0; i < 4; ++i) {
        const QPointF d = corners[i] - zero;
        uAtCorners[i] = QPointF::dotProduct(d, alongX);
        vAtCorners[i] = QPointF::dotProduct(d, alongY);
    }

    const auto addLines = [&](GridAxis gridAxis, const std::optional<AxisSpan>& axis) {
        if (!axis)
            return;
        const QPointF across = gridAxis == GridAxis::X ? alongX : alongY;
        const QPointF along = gridAxis == GridAxis::X ? alongY : alongX;
        const auto marks =
            axis->kind == ScaleKind::Linear ? linearMarks(*axis) : logarithmicMarks(*axis);
        for (const auto& [value, exponent] : marks) {
            const QPointF start = zero + coordinateOf(*axis, exponent) * across;
            const auto range = clipToBox(start, along, picture);
            if (!range)
                continue;
            const double anchor = std::clamp(0.0, range->first, range->second);
            lines.push_back({gridAxis, value, start + range->first * along,
                             start + range->second * along, start + anchor * along});
        }
    };
    addLines(GridAxis::X, axisSpan(doc.scaleX, doc.axisXMin, doc.axisXMax, xLength, uAtCorners));
    addLines(GridAxis::Y, axisSpan(doc.scaleY, doc.axisYMin, doc.axisYMax, yLength, vAtCorners));
    return lines;
}

} // namespace kurvana
