#include "core/checkgridframes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/calibrationframe.h"
#include "core/document.h"
#include "core/gridmarks.h"
#include "core/polar.h"

namespace kurvana {

namespace {

/// Points per circle of the polar grid: smooth at the sizes a chart's circles have.
constexpr int kCircleSegments = 180;
/// Rays of the polar grid per turn: every 30 degrees.
constexpr int kRaysPerTurn = 12;

QPointF shown(PlanePoint p) {
    return {double(p.x), double(p.y)};
}

/// Pixel centres are whole numbers, so the picture reaches half a pixel beyond them.
QRectF pictureBox(const Document& doc) {
    return QRectF(-0.5, -0.5, doc.pictureWidth, doc.pictureHeight);
}

std::array<PlanePoint, 4> pictureCorners(const Document& doc) {
    const QRectF box = pictureBox(doc);
    return {{{box.left(), box.top()},
             {box.right(), box.top()},
             {box.left(), box.bottom()},
             {box.right(), box.bottom()}}};
}

AxisSpan spanOf(ScaleKind kind, double low, double high, double coverLow, double coverHigh,
                double pixelsPerUnit) {
    AxisSpan axis;
    axis.kind = kind == ScaleKind::None ? ScaleKind::Linear : kind;
    axis.typedLow = axis.typedMin = low;
    axis.typedHigh = axis.typedMax = high;
    axis.coverLow = std::min(coverLow, low);
    axis.coverHigh = std::max(coverHigh, high);
    axis.pixelsPerUnit = pixelsPerUnit;
    return axis;
}

/// A straight grid line through a and b, clipped to the picture, labelled where it leaves a.
void addStraightLine(std::vector<GridLine>& lines, GridAxis axis, double value, QPointF a,
                     QPointF b, const QRectF& box) {
    const auto range = ClipToBox(a, b - a, box);
    if (!range)
        return;
    const double anchor = std::clamp(0.0, range->first, range->second);
    const QPointF along = b - a;
    lines.push_back(
        {axis, value, a + range->first * along, a + range->second * along, a + anchor * along, {}});
}

/// One axis of the perspective grid: `across` picks the exponent the lines hold constant.
void addPerspectiveAxis(std::vector<GridLine>& lines, const Document& doc,
                        const Projective& toPicture, const Projective& toExponents, bool xAxis) {
    const auto& p = doc.perspective;
    const auto& held = xAxis ? p.valueX : p.valueY;
    const auto& other = xAxis ? p.valueY : p.valueX;
    const auto [low, high] = std::minmax_element(held.begin(), held.end());
    const auto [otherLow, otherHigh] = std::minmax_element(other.begin(), other.end());
    if (!(*low < *high))
        return;
    const auto point = [&](long double t, long double s) {
        return xAxis ? toPicture.apply({t, s}) : toPicture.apply({s, t});
    };
    // The exponents at the picture's corners; a corner beyond the horizon leaves the cover at
    // the typed range.
    double coverLow = *low, coverHigh = *high;
    for (const PlanePoint& corner : pictureCorners(doc))
        if (const auto t = toExponents.apply(corner)) {
            coverLow = std::min(coverLow, double(xAxis ? t->x : t->y));
            coverHigh = std::max(coverHigh, double(xAxis ? t->x : t->y));
        }
    const long double middle = (*otherLow + *otherHigh) / 2;
    const auto a = point(*low, middle), b = point(*high, middle);
    if (!a || !b)
        return;
    const double pixels = std::hypot(double(b->x - a->x), double(b->y - a->y));
    const AxisSpan span = spanOf(xAxis ? doc.scaleX : doc.scaleY, *low, *high, coverLow, coverHigh,
                                 pixels / (*high - *low));
    const QRectF box = pictureBox(doc);
    for (const auto& [value, exponent] : GridMarks(span)) {
        const auto from = point(exponent, *otherLow), to = point(exponent, *otherHigh);
        if (from && to)
            addStraightLine(lines, xAxis ? GridAxis::X : GridAxis::Y, value, shown(*from),
                            shown(*to), box);
    }
}

/// The circle of radius exponent t as a closed polyline.
std::vector<QPointF> circle(const PolarCalibration& polar, long double t) {
    std::vector<QPointF> path;
    const long double turn = PolarTurn(polar);
    for (int i = 0; i <= kCircleSegments; ++i)
        path.push_back(shown(*PolarPointOf(polar, turn * i / kCircleSegments, t)));
    return path;
}

void addRays(std::vector<GridLine>& lines, const PolarCalibration& polar, const QRectF& box) {
    const QPointF centre(polar.centreX, polar.centreY);
    const long double turn = PolarTurn(polar);
    for (int i = 0; i < kRaysPerTurn; ++i) {
        const long double angle = turn * i / kRaysPerTurn;
        const QPointF out = shown(*PolarPointOf(polar, angle, polar.referenceRadius));
        const auto range = ClipToBox(centre, out - centre, box);
        if (!range || range->second <= 0)
            continue;
        const double from = std::max(0.0, range->first);
        const double anchor = std::clamp(1.0, from, range->second);
        const QPointF along = out - centre;
        lines.push_back({GridAxis::X,
                         double(angle),
                         centre + from * along,
                         centre + range->second * along,
                         centre + anchor * along,
                         {}});
    }
}

void addCircles(std::vector<GridLine>& lines, const Document& doc) {
    const PolarCalibration& polar = doc.polar;
    const long double referenceLength = std::hypot(Widened(polar.referenceX) - polar.centreX,
                                                   Widened(polar.referenceY) - polar.centreY);
    long double farthest = 0;
    for (const PlanePoint& corner : pictureCorners(doc))
        farthest =
            std::max(farthest, std::hypot(corner.x - polar.centreX, corner.y - polar.centreY));
    const double atCentre = polar.centreRadius;
    const double atEdge =
        double(polar.centreRadius +
               (Widened(polar.referenceRadius) - polar.centreRadius) * farthest / referenceLength);
    const double low = std::min(polar.centreRadius, polar.referenceRadius);
    const double high = std::max(polar.centreRadius, polar.referenceRadius);
    const AxisSpan span = spanOf(polar.logRadius ? ScaleKind::Log10 : ScaleKind::Linear, low, high,
                                 std::min(atCentre, atEdge), std::max(atCentre, atEdge),
                                 double(referenceLength) / (high - low));
    for (const auto& [value, exponent] : GridMarks(span)) {
        // Radii on the far side of the centre would draw the same circles again.
        if ((exponent - polar.centreRadius) * (polar.referenceRadius - polar.centreRadius) <= 0)
            continue;
        const QPointF anchor = shown(*PolarPointOf(polar, polar.referenceAngle, exponent));
        lines.push_back({GridAxis::Y, value, anchor, anchor, anchor, circle(polar, exponent)});
    }
}

} // namespace

std::vector<GridLine> PerspectiveGridLines(const Document& doc) {
    std::vector<GridLine> lines;
    const auto toPicture = PerspectiveToPicture(doc);
    const auto toExponents = PerspectiveToExponents(doc);
    if (!toPicture || !toExponents)
        return lines;
    addPerspectiveAxis(lines, doc, *toPicture, *toExponents, true);
    addPerspectiveAxis(lines, doc, *toPicture, *toExponents, false);
    return lines;
}

std::vector<GridLine> PolarGridLines(const Document& doc) {
    std::vector<GridLine> lines;
    if (!PolarUsable(doc.polar))
        return lines;
    addRays(lines, doc.polar, pictureBox(doc));
    addCircles(lines, doc);
    return lines;
}

} // namespace kurvana
