#include "core/calibration.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

#include "core/axistext.h"
#include "core/calibrationframe.h"
#include "core/document.h"
#include "core/history.h"
#include "core/numbers.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

// The natural-logarithm base as the conversion has always used it: this decimal constant
// (14 places) in extended precision, not e to full precision.
constexpr long double kLnBase = 2.71828182845904L;

[[noreturn]] void throwRotatedFrameOverflow(const Document& doc) {
    throw CommandError(doc.texts.extra(ExtraText::RotatedFrameOverflow));
}

// A product of cos or sin with the distance carries rounding noise of a few units in the last
// place: on a level calibration the pixel 693 rows above the zero point gets 0.99999999999999998
// for a whole pixel. A value that close to a whole number is that number; genuinely fractional
// values still truncate toward zero.
constexpr long double kWholeNumberNoise = 1e-6L;

std::int32_t truncateToInt32(const Document& doc, long double value) {
    const long double nearest = std::nearbyint(value);
    const long double t =
        std::fabs(value - nearest) <= kWholeNumberNoise ? nearest : std::trunc(value);
    if (!(t >= std::numeric_limits<std::int32_t>::min() &&
          t <= std::numeric_limits<std::int32_t>::max()))
        throwRotatedFrameOverflow(doc);
    return static_cast<std::int32_t>(t);
}

} // namespace

long double ApplyScale(ScaleKind kind, long double t) {
    switch (kind) {
    case ScaleKind::Log10:
        return ExtendedPower(10.0L, t);
    case ScaleKind::Ln:
        return ExtendedPower(kLnBase, t);
    case ScaleKind::None:
    case ScaleKind::Linear:
    case ScaleKind::Date:
        break;
    }
    return t;
}

namespace {

void requireAxisLengths(const Document& doc, std::int32_t xLength, std::int32_t yLength) {
    if (xLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::XAxisTooShort));
    if (yLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::YAxisTooShort));
}

ConversionInputs conversionInputs(const Document& doc) {
    return {doc.zeroPointX,  doc.zeroPointY, doc.axisAngle,    doc.xAxisLength, doc.yAxisLength,
            doc.axisXMax,    doc.axisXMin,   doc.axisYMax,     doc.axisYMin,    int(doc.scaleX),
            int(doc.scaleY), int(doc.frame), FrameNumbers(doc)};
}

void refreshAxisLengths(Document& doc) {
    doc.xAxisLength = ToRotatedFrame(doc, doc.xMaxPointX, doc.xMaxPointY).u;
    doc.yAxisLength = ToRotatedFrame(doc, doc.yMaxPointX, doc.yMaxPointY).v;
}

/// The rotated-frame position and values of a pixel under the document's frame: the
/// perspective and polar frames leave the rotated position 0.
ConvertedPoint converted(const Document& doc, const std::optional<FrameConversion>& frame,
                         std::int32_t x, std::int32_t y) {
    if (frame) {
        const AxisValues values = frame->at(x, y);
        return {x, y, 0, 0, values.x, values.y};
    }
    const RotatedPoint p = ToRotatedFrame(doc, x, y);
    const AxisValues values = ToAxisValues(doc, p.u, p.v, doc.xAxisLength, doc.yAxisLength);
    return {x, y, p.u, p.v, values.x, values.y};
}

/// The perspective or polar conversion, made once; nothing in the three-point frame, whose
/// axes must then be at least a pixel long. Throws CommandError when the frame is unusable.
std::optional<FrameConversion> frameConversion(Document& doc) {
    refreshAxisLengths(doc);
    if (doc.frame != CalibrationFrame::ThreePoint)
        return FrameConversion::Of(doc);
    requireAxisLengths(doc, doc.xAxisLength, doc.yAxisLength);
    return std::nullopt;
}

} // namespace

RotatedPoint ToRotatedFrame(const Document& doc, int x, int y) {
    const std::int64_t dx = std::int64_t(doc.zeroPointX) - x;
    const std::int64_t dy = std::int64_t(doc.zeroPointY) - y;
    // The distances are checked before they are squared: squares of differences of two
    // 32-bit coordinates would overflow even 64 bits.
    if (dx > std::numeric_limits<std::int32_t>::max() ||
        dx < std::numeric_limits<std::int32_t>::min() ||
        dy > std::numeric_limits<std::int32_t>::max() ||
        dy < std::numeric_limits<std::int32_t>::min())
        throwRotatedFrameOverflow(doc);
    const std::uint64_t sum = std::uint64_t(dx * dx) + std::uint64_t(dy * dy);
    if (sum > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
        throwRotatedFrameOverflow(doc);
    const double r = static_cast<double>(std::sqrt(static_cast<long double>(sum)));

    long double a = 0.0L;
    if (x != doc.zeroPointX)
        a = std::atan2(static_cast<long double>(doc.zeroPointY) - y,
                       static_cast<long double>(x) - doc.zeroPointX);
    else if (y < doc.zeroPointY)
        a = std::numbers::pi_v<long double> / 2;
    else if (y > doc.zeroPointY)
        a = -std::numbers::pi_v<long double> / 2;

    const long double d = a - doc.axisAngle;
    return {truncateToInt32(doc, std::cos(d) * r), truncateToInt32(doc, std::sin(d) * r)};
}

long double ExtendedPower(long double base, long double t) {
    if (t == 0.0L)
        return 1.0L;
    if (std::trunc(t) == t && std::fabs(t) <= 2147483647.0L) {
        auto magnitude = static_cast<std::uint32_t>(std::fabs(t));
        long double result = 1.0L;
        long double square = base;
        while (magnitude != 0) {
            if (magnitude & 1u)
                result *= square;
            square *= square;
            magnitude >>= 1;
        }
        return t < 0 ? 1.0L / result : result;
    }
    return std::exp(t * std::log(base));
}

AxisValues ToAxisValues(const Document& doc, std::int32_t u, std::int32_t v, std::int32_t xLength,
                        std::int32_t yLength) {
    requireAxisLengths(doc, xLength, yLength);
    // Evaluated in exactly this order: the difference, divided by the length, times the
    // rotated coordinate, plus the minimum.
    const long double tx =
        (static_cast<long double>(doc.axisXMax) - doc.axisXMin) / xLength * u + doc.axisXMin;
    const long double ty =
        (static_cast<long double>(doc.axisYMax) - doc.axisYMin) / yLength * v + doc.axisYMin;
    return {static_cast<double>(ApplyScale(doc.scaleX, tx)),
            static_cast<double>(ApplyScale(doc.scaleY, ty))};
}

void RecomputeValues(Document& doc) {
    const std::optional<FrameConversion> frame = frameConversion(doc);
    doc.valueCache.useInputs(conversionInputs(doc));
    for (int line = 1; line <= kLineCount; ++line) {
        for (int row = 1; row < doc.nextRow.at(line); ++row) {
            const std::int32_t x = doc.pointX(line, row);
            const std::int32_t y = doc.pointY(line, row);
            const std::size_t slot = std::size_t(row) * kLineCount + std::size_t(line - 1);
            ConvertedPoint point;
            if (const ConvertedPoint* known = doc.valueCache.find(slot, x, y)) {
                point = *known;
            } else {
                point = converted(doc, frame, x, y);
                doc.valueCache.store(slot, point);
            }
            doc.rotX = point.u;
            doc.rotY = point.v;
            doc.valueX(line, row) = point.valueX;
            doc.valueY(line, row) = point.valueY;
        }
    }
}

void SortCurrentLine(Document& doc, int n) {
    if (!doc.sortOn || n < 4)
        return;
    // The exchange procedure (bubble passes, exchanging neighbours whose X strictly
    // decreases, values recomputed after each exchange) yields the stable ascending order by
    // X: a point's values depend only on its own pixel, so sorting rows with their values once
    // gives the same table without recomputing after every exchange.
    const int line = doc.currentLine;
    struct Row {
        std::int32_t x, y;
        double valueX, valueY;
        PointExtras extras;
    };
    std::vector<Row> rows;
    rows.reserve(std::size_t(n - 1));
    for (int r = 1; r < n; ++r)
        rows.push_back({doc.pointX(line, r), doc.pointY(line, r), doc.valueX(line, r),
                        doc.valueY(line, r), doc.extras(line, r)});
    const bool anyNaN = std::any_of(rows.begin(), rows.end(),
                                    [](const Row& row) { return std::isnan(row.valueX); });
    if (!anyNaN) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row& a, const Row& b) { return a.valueX < b.valueX; });
    } else {
        // NaN breaks the ordering a library sort needs; the exchange passes themselves are
        // well defined (a NaN never compares less), so run them literally.
        for (bool exchanged = true; exchanged;) {
            exchanged = false;
            for (std::size_t i = 0; i + 1 < rows.size(); ++i)
                if (rows[i + 1].valueX < rows[i].valueX) {
                    std::swap(rows[i], rows[i + 1]);
                    exchanged = true;
                }
        }
    }
    for (int r = 1; r < n; ++r) {
        const Row& row = rows[std::size_t(r - 1)];
        doc.pointX(line, r) = row.x;
        doc.pointY(line, r) = row.y;
        doc.valueX(line, r) = row.valueX;
        doc.valueY(line, r) = row.valueY;
        doc.extras(line, r) = row.extras;
    }
}

void ReadAxisTexts(Document& doc) {
    // The other frames have texts of their own; the axis texts follow from them.
    if (doc.frame != CalibrationFrame::ThreePoint) {
        ReadFrameTexts(doc);
        return;
    }
    doc.axisXMax = ParseAxisText(doc, AxisName::X, doc.editMaxX);
    doc.axisYMax = ParseAxisText(doc, AxisName::Y, doc.editMaxY);
    doc.axisXMin = ParseAxisText(doc, AxisName::X, doc.editMinX);
    doc.axisYMin = ParseAxisText(doc, AxisName::Y, doc.editMinY);
}

void RefreshValues(Workspace& ws) {
    ReadAxisTexts(ws.doc);
    RecomputeValues(ws.doc);
    SortCurrentLine(ws.doc, ws.doc.nextRow.at(ws.doc.currentLine));
    ws.view.fillTable();
}

void TakeAxisValues(Workspace& ws) {
    const RecordedStep step(ws, StepKind::AxisValues);
    RefreshValues(ws);
}

void SetScaleKind(Workspace& ws, bool xAxis, ScaleKind kind) {
    ScaleKind& scale = xAxis ? ws.doc.scaleX : ws.doc.scaleY;
    if (scale == kind)
        return;
    const RecordedStep step(ws, StepKind::ScaleKind);
    // Dates become day counts and back, so the typed values keep their meaning.
    RetypeAxisTexts(ws.doc, xAxis ? AxisName::X : AxisName::Y, kind);
    scale = kind;
    ws.view.documentSettingsChanged(); // Setup's buttons and the check grid follow
    RefreshValues(ws);
}

AxisValues ValuesAtPixel(Document& doc, int x, int y) {
    if (doc.frame != CalibrationFrame::ThreePoint) {
        refreshAxisLengths(doc);
        doc.rotX = doc.rotY = 0;
        return FrameConversion::Of(doc).at(x, y);
    }
    refreshAxisLengths(doc);
    const RotatedPoint p = ToRotatedFrame(doc, x, y);
    doc.rotX = p.u;
    doc.rotY = p.v;
    return ToAxisValues(doc, p.u, p.v, doc.xAxisLength, doc.yAxisLength);
}

namespace {

/// A value as the axis spaces it: its exponent on a logarithmic axis.
double spaced(ScaleKind kind, double value) {
    if (kind == ScaleKind::Log10)
        return std::log10(value);
    return kind == ScaleKind::Ln ? std::log(value) : value;
}

double unspaced(ScaleKind kind, double t) {
    return double(ApplyScale(kind, t));
}

} // namespace

std::optional<AxisValues> ValuesAtPosition(const Document& doc, QPointF at) {
    const int x0 = int(std::floor(at.x())), y0 = int(std::floor(at.y()));
    const double ax = at.x() - x0, ay = at.y() - y0;
    // The polar frame's angle and radius are not spaced by the scale kinds of the axes.
    const bool spacedAxes = doc.frame != CalibrationFrame::Polar;
    const ScaleKind kx = spacedAxes ? doc.scaleX : ScaleKind::Linear;
    const ScaleKind ky = spacedAxes ? doc.scaleY : ScaleKind::Linear;
    try {
        const std::optional<FrameConversion> frame =
            doc.frame != CalibrationFrame::ThreePoint
                ? std::optional<FrameConversion>(FrameConversion::Of(doc))
                : std::nullopt;
        double sx = 0, sy = 0;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                const ConvertedPoint p = converted(doc, frame, x0 + i, y0 + j);
                const double w = (i ? ax : 1 - ax) * (j ? ay : 1 - ay);
                sx += spaced(kx, p.valueX) * w;
                sy += spaced(ky, p.valueY) * w;
            }
        return AxisValues{unspaced(kx, sx), unspaced(ky, sy)};
    } catch (const CommandError&) {
        return std::nullopt;
    }
}

} // namespace kurvana
