#include "core/checkgrid.h"

#include "core/checkgridframes.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/calibration.h"
#include "core/document.h"
#include "core/gridmarks.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

/// The exponent on the axis at rotated coordinate `w` (continuous), as ToAxisValues computes
/// it before the scale is applied.
long double exponentAt(const AxisSpan& axis, long double w) {
    return (axis.typedMax - axis.typedMin) / axis.length * w + axis.typedMin;
}

/// The rotated coordinate at which the exponent is t: the inverse of exponentAt.
double coordinateOf(const AxisSpan& axis, long double t) {
    return double((t - axis.typedMin) * axis.length / (axis.typedMax - axis.typedMin));
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
    if (doc.frame == CalibrationFrame::Perspective)
        return PerspectiveGridLines(doc);
    if (doc.frame == CalibrationFrame::Polar)
        return PolarGridLines(doc);
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
        const auto marks = GridMarks(*axis);
        for (const auto& [value, exponent] : marks) {
            const QPointF start = zero + coordinateOf(*axis, exponent) * across;
            const auto range = ClipToBox(start, along, picture);
            if (!range)
                continue;
            const double anchor = std::clamp(0.0, range->first, range->second);
            lines.push_back({gridAxis,
                             value,
                             start + range->first * along,
                             start + range->second * along,
                             start + anchor * along,
                             {}});
        }
    };
    addLines(GridAxis::X, axisSpan(doc.scaleX, doc.axisXMin, doc.axisXMax, xLength, uAtCorners));
    addLines(GridAxis::Y, axisSpan(doc.scaleY, doc.axisYMin, doc.axisYMax, yLength, vAtCorners));
    return lines;
}

} // namespace kurvana
