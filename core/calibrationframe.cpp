#include "core/calibrationframe.h"

#include <algorithm>
#include <cmath>

#include "core/document.h"
#include "core/drawing.h"
#include "core/numbers.h"
#include "core/polar.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

std::array<PlanePoint, 4> perspectivePixels(const PerspectiveCalibration& p) {
    std::array<PlanePoint, 4> points;
    for (int i = 0; i < 4; ++i)
        points[i] = {Widened(p.pointX[i]), Widened(p.pointY[i])};
    return points;
}

std::array<PlanePoint, 4> perspectiveExponents(const PerspectiveCalibration& p) {
    std::array<PlanePoint, 4> points;
    for (int i = 0; i < 4; ++i)
        points[i] = {Widened(p.valueX[i]), Widened(p.valueY[i])};
    return points;
}

/// A typed number back as text in the user's decimal separator, every digit kept.
QString typedText(double value, QChar separator) {
    QString text = QString::number(value, 'g', 17);
    return text.replace('.', separator);
}

void setAxisValue(Document& doc, double& value, QString& text, double newValue) {
    value = newValue;
    text = typedText(newValue, doc.decimalSeparator);
}

int roundedPixel(long double v) {
    const long double limit = 1e9L; // far outside any picture, far inside 32 bits
    return int(std::lround(std::clamp(v, -limit, limit)));
}

/// The three-point calibration through the pictures of (xLow, yLow), (xHigh, yLow) and
/// (xLow, yHigh): exact at those three corners of the typed range.
void nearestThreePointOfPerspective(Document& doc) {
    const auto toPicture = PerspectiveToPicture(doc);
    if (!toPicture)
        return;
    const auto& p = doc.perspective;
    const auto [xLow, xHigh] = std::minmax_element(p.valueX.begin(), p.valueX.end());
    const auto [yLow, yHigh] = std::minmax_element(p.valueY.begin(), p.valueY.end());
    const auto zero = toPicture->apply({*xLow, *yLow});
    const auto xMax = toPicture->apply({*xHigh, *yLow});
    const auto yMax = toPicture->apply({*xLow, *yHigh});
    if (!zero || !xMax || !yMax)
        return;
    doc.zeroPointX = roundedPixel(zero->x);
    doc.zeroPointY = roundedPixel(zero->y);
    doc.xMaxPointX = roundedPixel(xMax->x);
    doc.xMaxPointY = roundedPixel(xMax->y);
    doc.yMaxPointX = roundedPixel(yMax->x);
    doc.yMaxPointY = roundedPixel(yMax->y);
    doc.axisAngle = axisAngleFor(doc);
    setAxisValue(doc, doc.axisXMin, doc.editMinX, *xLow);
    setAxisValue(doc, doc.axisXMax, doc.editMaxX, *xHigh);
    setAxisValue(doc, doc.axisYMin, doc.editMinY, *yLow);
    setAxisValue(doc, doc.axisYMax, doc.editMaxY, *yHigh);
}

/// A polar chart has no three-point equivalent; the nearest is the radius along the reference
/// ray on both axes, which keeps radii right on that ray.
void nearestThreePointOfPolar(Document& doc) {
    const PolarCalibration& polar = doc.polar;
    doc.zeroPointX = polar.centreX;
    doc.zeroPointY = polar.centreY;
    doc.xMaxPointX = polar.referenceX;
    doc.xMaxPointY = polar.referenceY;
    doc.axisAngle = axisAngleFor(doc);
    const long double length = std::hypot(Widened(polar.referenceX) - polar.centreX,
                                          Widened(polar.referenceY) - polar.centreY);
    doc.yMaxPointX = polar.centreX - roundedPixel(std::sin(doc.axisAngle) * length);
    doc.yMaxPointY = polar.centreY - roundedPixel(std::cos(doc.axisAngle) * length);
    setAxisValue(doc, doc.axisXMin, doc.editMinX, polar.centreRadius);
    setAxisValue(doc, doc.axisXMax, doc.editMaxX, polar.referenceRadius);
    setAxisValue(doc, doc.axisYMin, doc.editMinY, polar.centreRadius);
    setAxisValue(doc, doc.axisYMax, doc.editMaxY, polar.referenceRadius);
    doc.scaleX = doc.scaleY = polar.logRadius ? ScaleKind::Log10 : ScaleKind::Linear;
}

/// The perspective frame that converts exactly as the three-point one: the reference points,
/// and the fourth corner of the parallelogram they span.
void perspectiveFromThreePoints(Document& doc) {
    const RotatedPoint yMax = ToRotatedFrame(doc, doc.yMaxPointX, doc.yMaxPointY);
    // The Y max point as the conversion sees it: on the perpendicular through the zero point.
    const long double a = doc.axisAngle;
    const int yx = roundedPixel(doc.zeroPointX - std::sin(a) * yMax.v);
    const int yy = roundedPixel(doc.zeroPointY - std::cos(a) * yMax.v);
    PerspectiveCalibration& p = doc.perspective;
    p.pointX = {doc.zeroPointX, doc.xMaxPointX, doc.xMaxPointX + yx - doc.zeroPointX, yx};
    p.pointY = {doc.zeroPointY, doc.xMaxPointY, doc.xMaxPointY + yy - doc.zeroPointY, yy};
    p.editX = {doc.editMinX, doc.editMaxX, doc.editMaxX, doc.editMinX};
    p.editY = {doc.editMinY, doc.editMinY, doc.editMaxY, doc.editMaxY};
}

void polarFromThreePoints(Document& doc) {
    PolarCalibration& polar = doc.polar;
    polar.centreX = doc.zeroPointX;
    polar.centreY = doc.zeroPointY;
    polar.referenceX = doc.xMaxPointX;
    polar.referenceY = doc.xMaxPointY;
}

} // namespace

FrameConversion FrameConversion::Of(const Document& doc) {
    FrameConversion conversion(doc);
    if (doc.frame == CalibrationFrame::Perspective) {
        conversion.toExponents_ = PerspectiveToExponents(doc);
        if (!conversion.toExponents_)
            throw CommandError(doc.texts.extra(ExtraText::FourPointsUnusable));
    } else if (!PolarUsable(doc.polar)) {
        throw CommandError(doc.texts.extra(ExtraText::PolarUnusable));
    }
    return conversion;
}

AxisValues FrameConversion::at(int x, int y) const {
    const PlanePoint pixel{Widened(x), Widened(y)};
    if (doc_.frame != CalibrationFrame::Perspective) {
        const auto v = PolarValuesAt(doc_.polar, pixel);
        return {double(v->x), double(v->y)};
    }
    // Beyond the horizon of the photographed plane a pixel has no values.
    const auto t = toExponents_->apply(pixel);
    if (!t)
        return {std::nan(""), std::nan("")};
    return {double(ApplyScale(doc_.scaleX, t->x)), double(ApplyScale(doc_.scaleY, t->y))};
}

std::optional<Projective> PerspectiveToExponents(const Document& doc) {
    return Projective::Through(perspectivePixels(doc.perspective),
                               perspectiveExponents(doc.perspective));
}

std::optional<Projective> PerspectiveToPicture(const Document& doc) {
    return Projective::Through(perspectiveExponents(doc.perspective),
                               perspectivePixels(doc.perspective));
}

SearchArea ColumnSearchArea(const Document& doc) {
    SearchArea area{doc.zeroPointX, doc.xMaxPointX, doc.yMaxPointY, doc.zeroPointY};
    const auto toPicture = PerspectiveToPicture(doc);
    if (doc.frame != CalibrationFrame::Perspective || !toPicture)
        return area;
    const auto& p = doc.perspective;
    const auto [xLow, xHigh] = std::minmax_element(p.valueX.begin(), p.valueX.end());
    const auto [yLow, yHigh] = std::minmax_element(p.valueY.begin(), p.valueY.end());
    const auto a = toPicture->apply({*xLow, *yLow}), b = toPicture->apply({*xHigh, *yLow});
    const auto c = toPicture->apply({*xHigh, *yHigh}), d = toPicture->apply({*xLow, *yHigh});
    if (!a || !b || !c || !d)
        return area;
    // The corners of a convex quadrilateral bound the rectangle inside it.
    area.left = roundedPixel(std::max(a->x, d->x));
    area.right = roundedPixel(std::min(b->x, c->x));
    area.top = roundedPixel(std::max(c->y, d->y));
    area.bottom = roundedPixel(std::min(a->y, b->y));
    return area;
}

std::array<long double, 16> FrameNumbers(const Document& doc) {
    std::array<long double, 16> n{};
    if (doc.frame == CalibrationFrame::Perspective) {
        const auto& p = doc.perspective;
        for (int i = 0; i < 4; ++i) {
            n[4 * i] = p.pointX[i];
            n[4 * i + 1] = p.pointY[i];
            n[4 * i + 2] = p.valueX[i];
            n[4 * i + 3] = p.valueY[i];
        }
    } else if (doc.frame == CalibrationFrame::Polar) {
        const auto& p = doc.polar;
        n = {Widened(p.centreX), Widened(p.centreY),  Widened(p.referenceX), Widened(p.referenceY),
             p.referenceAngle,   p.referenceRadius,   p.centreRadius,        Widened(p.clockwise),
             Widened(p.radians), Widened(p.logRadius)};
    }
    return n;
}

void ReadFrameTexts(Document& doc) {
    const QChar separator = doc.decimalSeparator;
    if (doc.frame == CalibrationFrame::Perspective) {
        auto& p = doc.perspective;
        for (int i = 0; i < 4; ++i) {
            p.valueX[i] = parseFloatOrThrow(p.editX[i], separator);
            p.valueY[i] = parseFloatOrThrow(p.editY[i], separator);
        }
        nearestThreePointOfPerspective(doc);
    } else if (doc.frame == CalibrationFrame::Polar) {
        auto& p = doc.polar;
        p.referenceAngle = parseFloatOrThrow(p.editAngle, separator);
        p.referenceRadius = parseFloatOrThrow(p.editRadius, separator);
        p.centreRadius = parseFloatOrThrow(p.editCentreRadius, separator);
        nearestThreePointOfPolar(doc);
    }
}

void ChooseFrame(Workspace& ws, CalibrationFrame frame) {
    Document& doc = ws.doc;
    if (frame == doc.frame)
        return;
    // A frame used before keeps its points; a new one (or one left unusable) starts from the
    // three points, which the other frames keep as their nearest three-point calibration.
    if (frame == CalibrationFrame::Perspective && !PerspectiveToExponents(doc))
        perspectiveFromThreePoints(doc);
    else if (frame == CalibrationFrame::Polar && !PolarUsable(doc.polar))
        polarFromThreePoints(doc);
    ToggleAxes(doc);
    doc.frame = frame;
    doc.framePoint = 0;
    ToggleAxes(doc);
    ws.view.pictureChanged();
    ws.view.controlsChanged();
    RefreshValues(ws);
}

int FramePointCount(const Document& doc) {
    switch (doc.frame) {
    case CalibrationFrame::Perspective:
        return 4;
    case CalibrationFrame::Polar:
        return 2;
    case CalibrationFrame::ThreePoint:
        break;
    }
    return 0;
}

void PlaceFramePoint(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const int count = FramePointCount(doc);
    if (count == 0)
        return;
    const int index = std::clamp(doc.framePoint, 0, count - 1);
    ToggleAxes(doc);
    if (doc.frame == CalibrationFrame::Perspective) {
        doc.perspective.pointX[index] = x;
        doc.perspective.pointY[index] = y;
    } else if (index == 0) {
        doc.polar.centreX = x;
        doc.polar.centreY = y;
    } else {
        doc.polar.referenceX = x;
        doc.polar.referenceY = y;
    }
    doc.framePoint = (index + 1) % count;
    ToggleAxes(doc);
    ws.view.pictureChanged();
    ws.view.controlsChanged();
    RefreshValues(ws);
}

} // namespace kurvana
