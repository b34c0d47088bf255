#include "io/calibrationframe.h"

#include <cmath>
#include <limits>
#include <optional>

#include <QJsonArray>

#include "core/document.h"

namespace kurvana {

namespace {

QJsonArray pair(double a, double b) {
    return QJsonArray{a, b};
}

/// A finite number, or nothing (a missing key, text, null).
std::optional<double> number(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

/// A pixel: two whole numbers within 32 bits.
std::optional<std::pair<std::int32_t, std::int32_t>> pixel(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    if (a.size() != 2)
        return std::nullopt;
    std::int32_t xy[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const auto v = number(a[i]);
        if (!v || std::trunc(*v) != *v || *v < std::numeric_limits<std::int32_t>::min() ||
            *v > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        xy[i] = std::int32_t(*v);
    }
    return std::make_pair(xy[0], xy[1]);
}

/// A typed number as the Input window shows it, every digit kept, in the user's separator.
QString typedText(double value, QChar separator) {
    return QString::number(value, 'g', 17).replace('.', separator);
}

QJsonObject perspectiveJson(const Document& doc) {
    const PerspectiveCalibration& p = doc.perspective;
    QJsonArray points, values;
    for (int i = 0; i < 4; ++i) {
        points.append(pair(p.pointX[i], p.pointY[i]));
        values.append(pair(p.valueX[i], p.valueY[i]));
    }
    return {{"frame", "perspective"},
            {"points", points},
            {"values", values},
            {"xscale", ScaleKindName(doc.scaleX)},
            {"yscale", ScaleKindName(doc.scaleY)}};
}

QJsonObject polarJson(const Document& doc) {
    const PolarCalibration& p = doc.polar;
    return {{"frame", "polar"},
            {"centre", pair(p.centreX, p.centreY)},
            {"reference", pair(p.referenceX, p.referenceY)},
            {"reference_angle", p.referenceAngle},
            {"reference_radius", p.referenceRadius},
            {"centre_radius", p.centreRadius},
            {"direction", p.clockwise ? "cw" : "ccw"},
            {"angle_unit", p.radians ? "radians" : "degrees"},
            {"rscale", p.logRadius ? "log10" : "linear"}};
}

bool perspectiveFromJson(Document& doc, const QJsonObject& json) {
    const QJsonArray points = json["points"].toArray();
    const QJsonArray values = json["values"].toArray();
    const auto xScale = ScaleKindNamed(json["xscale"].toString());
    const auto yScale = ScaleKindNamed(json["yscale"].toString());
    if (points.size() != 4 || values.size() != 4 || !xScale || !yScale)
        return false;
    PerspectiveCalibration p;
    for (int i = 0; i < 4; ++i) {
        const auto at = pixel(points[i]);
        const QJsonArray v = values[i].toArray();
        const auto x = v.size() == 2 ? number(v[0]) : std::nullopt;
        const auto y = v.size() == 2 ? number(v[1]) : std::nullopt;
        if (!at || !x || !y)
            return false;
        std::tie(p.pointX[i], p.pointY[i]) = *at;
        p.valueX[i] = *x;
        p.valueY[i] = *y;
        p.editX[i] = typedText(*x, doc.decimalSeparator);
        p.editY[i] = typedText(*y, doc.decimalSeparator);
    }
    doc.perspective = p;
    doc.scaleX = *xScale;
    doc.scaleY = *yScale;
    doc.frame = CalibrationFrame::Perspective;
    return true;
}

/// One of two names: true for `second`, false for `first`, nothing for anything else.
std::optional<bool> choice(const QJsonValue& value, const char* first, const char* second) {
    if (value.toString() == first)
        return false;
    if (value.toString() == second)
        return true;
    return std::nullopt;
}

bool polarFromJson(Document& doc, const QJsonObject& json) {
    const auto centre = pixel(json["centre"]);
    const auto reference = pixel(json["reference"]);
    const auto angle = number(json["reference_angle"]);
    const auto radius = number(json["reference_radius"]);
    const auto centreRadius = number(json["centre_radius"]);
    const auto clockwise = choice(json["direction"], "ccw", "cw");
    const auto radians = choice(json["angle_unit"], "degrees", "radians");
    const auto logRadius = choice(json["rscale"], "linear", "log10");
    if (!centre || !reference || !angle || !radius || !centreRadius || !clockwise || !radians ||
        !logRadius)
        return false;
    PolarCalibration& p = doc.polar;
    std::tie(p.centreX, p.centreY) = *centre;
    std::tie(p.referenceX, p.referenceY) = *reference;
    p.referenceAngle = *angle;
    p.referenceRadius = *radius;
    p.centreRadius = *centreRadius;
    p.editAngle = typedText(*angle, doc.decimalSeparator);
    p.editRadius = typedText(*radius, doc.decimalSeparator);
    p.editCentreRadius = typedText(*centreRadius, doc.decimalSeparator);
    p.clockwise = *clockwise;
    p.radians = *radians;
    p.logRadius = *logRadius;
    doc.frame = CalibrationFrame::Polar;
    return true;
}

/// An axis value as the Input window holds it: a number in the user's separator, or on a date
/// axis the date text as written.
std::optional<QString> axisText(const QJsonValue& value, ScaleKind scale, QChar separator) {
    if (scale == ScaleKind::Date && value.isString())
        return value.toString();
    if (const auto v = number(value))
        return typedText(*v, separator);
    return std::nullopt;
}

bool threePointFromJson(Document& doc, const QJsonObject& json) {
    const auto zero = pixel(json["zero"]);
    const auto xMax = pixel(json["xmax"]);
    const auto yMax = pixel(json["ymax"]);
    const auto xScale = ScaleKindNamed(json["xscale"].toString());
    const auto yScale = ScaleKindNamed(json["yscale"].toString());
    if (!zero || !xMax || !yMax || !xScale || !yScale)
        return false;
    const QChar separator = doc.decimalSeparator;
    const auto minX = axisText(json["xmin_value"], *xScale, separator);
    const auto maxX = axisText(json["xmax_value"], *xScale, separator);
    const auto minY = axisText(json["ymin_value"], *yScale, separator);
    const auto maxY = axisText(json["ymax_value"], *yScale, separator);
    if (!minX || !maxX || !minY || !maxY)
        return false;
    std::tie(doc.zeroPointX, doc.zeroPointY) = *zero;
    std::tie(doc.xMaxPointX, doc.xMaxPointY) = *xMax;
    std::tie(doc.yMaxPointX, doc.yMaxPointY) = *yMax;
    doc.axisAngle = axisAngleFor(doc);
    doc.editMinX = *minX, doc.editMaxX = *maxX, doc.editMinY = *minY, doc.editMaxY = *maxY;
    doc.scaleX = *xScale;
    doc.scaleY = *yScale;
    doc.frame = CalibrationFrame::ThreePoint;
    return true;
}

} // namespace

bool CalibrationFromJson(Document& doc, const QJsonObject& json) {
    return json.contains("frame") ? FrameFromJson(doc, json) : threePointFromJson(doc, json);
}

QJsonObject FrameToJson(const Document& doc) {
    switch (doc.frame) {
    case CalibrationFrame::Perspective:
        return perspectiveJson(doc);
    case CalibrationFrame::Polar:
        return polarJson(doc);
    case CalibrationFrame::ThreePoint:
        break;
    }
    return {};
}

bool FrameFromJson(Document& doc, const QJsonObject& json) {
    const QString frame = json["frame"].toString();
    if (frame == "perspective")
        return perspectiveFromJson(doc, json);
    if (frame == "polar")
        return polarFromJson(doc, json);
    return false;
}

QString ScaleKindName(ScaleKind kind) {
    switch (kind) {
    case ScaleKind::Log10:
        return "log10";
    case ScaleKind::Ln:
        return "ln";
    case ScaleKind::Date:
        return "date";
    case ScaleKind::None:
    case ScaleKind::Linear:
        break;
    }
    return "linear";
}

std::optional<ScaleKind> ScaleKindNamed(const QString& name) {
    for (const ScaleKind kind :
         {ScaleKind::Linear, ScaleKind::Log10, ScaleKind::Ln, ScaleKind::Date})
        if (name == ScaleKindName(kind))
            return kind;
    return std::nullopt;
}

} // namespace kurvana
