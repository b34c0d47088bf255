#include "io/sidecar.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/document.h"
#include "io/calibrationframe.h"
#include "io/filepair.h"
#include "io/seriesnames.h"

namespace kurvana {

namespace {

constexpr const char* kFormatKey = "kurvana2_extras";
constexpr int kFormatVersion = 1;

void putEnd(QJsonObject& point, const char* key, double pixel) {
    if (std::isfinite(pixel))
        point[key] = pixel;
}

QJsonObject pointJson(const Document& doc, int line, int row) {
    const PointExtras& e = doc.extras(line, row);
    QJsonObject point{{"row", row}, {"px", doc.pointX(line, row)}, {"py", doc.pointY(line, row)}};
    if (e.hasUpright()) {
        putEnd(point, "y_low", e.yLow);
        putEnd(point, "y_high", e.yHigh);
    }
    if (e.hasLevel()) {
        putEnd(point, "x_low", e.xLow);
        putEnd(point, "x_high", e.xHigh);
    }
    if (!e.label.isEmpty())
        point["label"] = e.label;
    return point;
}

/// A line's series and its points' extras; empty when it has none.
QJsonObject lineJson(const Document& doc, int line) {
    QJsonArray points;
    for (int row = 1; row <= doc.pointCount(line); ++row)
        if (!doc.extras(line, row).empty())
            points.append(pointJson(doc, line, row));
    const LineInfo& info = doc.lineInfo.at(line);
    if (points.isEmpty() && info == LineInfo{})
        return {};
    QJsonObject json{{"line", line}};
    if (!info.name.isEmpty())
        json["name"] = info.name;
    if (info.kind != SeriesKind::Unspecified)
        json["kind"] = SeriesKindName(info.kind);
    if (info.colour)
        json["colour"] = ColourName(*info.colour);
    if (!points.isEmpty())
        json["points"] = points;
    return json;
}

double endOf(const QJsonObject& point, const char* key) {
    const QJsonValue v = point[key];
    return v.isDouble() ? v.toDouble() : std::nan("");
}

void applyLine(Document& doc, const QJsonObject& json) {
    const int line = json["line"].toInt();
    if (line < 1 || line > kLineCount)
        return;
    LineInfo info;
    info.name = json["name"].toString();
    info.kind = SeriesKindNamed(json["kind"].toString());
    info.colour = ColourNamed(json["colour"].toString());
    doc.lineInfo.at(line) = info;
    for (const QJsonValue& value : json["points"].toArray()) {
        const QJsonObject point = value.toObject();
        const int row = point["row"].toInt();
        // A point moved, removed or added elsewhere since: its extras are not this point's.
        if (row < 1 || row > doc.pointCount(line) || point["px"].toInt() != doc.pointX(line, row) ||
            point["py"].toInt() != doc.pointY(line, row))
            continue;
        PointExtras& e = doc.extras(line, row);
        e.yLow = endOf(point, "y_low");
        e.yHigh = endOf(point, "y_high");
        e.xLow = endOf(point, "x_low");
        e.xHigh = endOf(point, "x_high");
        e.label = point["label"].toString();
    }
}

/// A date axis is stored as a linear one; the sidecar names it so that it shows dates again.
void applyDateKinds(Document& doc, const QJsonObject& scales) {
    const QString date = ScaleKindName(ScaleKind::Date);
    if (scales["x"].toString() == date && doc.scaleX == ScaleKind::Linear)
        doc.scaleX = ScaleKind::Date;
    if (scales["y"].toString() == date && doc.scaleY == ScaleKind::Linear)
        doc.scaleY = ScaleKind::Date;
}

} // namespace

QString SidecarPath(const QString& dataFilePath) {
    return dataFilePath + ".json";
}

std::optional<QByteArray> SidecarBytes(const Document& doc) {
    QJsonObject json{{kFormatKey, kFormatVersion}};
    bool needed = false;
    QJsonObject scales;
    if (doc.scaleX == ScaleKind::Date)
        scales["x"] = ScaleKindName(ScaleKind::Date);
    if (doc.scaleY == ScaleKind::Date)
        scales["y"] = ScaleKindName(ScaleKind::Date);
    if (!scales.isEmpty()) {
        json["scales"] = scales;
        needed = true;
    }
    if (const QJsonObject frame = FrameToJson(doc); !frame.isEmpty()) {
        json["calibration"] = frame;
        needed = true;
    }
    QJsonArray lines;
    for (int line = 1; line <= kLineCount; ++line)
        if (const QJsonObject l = lineJson(doc, line); !l.isEmpty())
            lines.append(l);
    if (!lines.isEmpty()) {
        json["lines"] = lines;
        needed = true;
    }
    if (!needed)
        return std::nullopt;
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

bool ApplySidecar(Document& doc, const QByteArray& bytes) {
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    const QJsonObject json = parsed.object();
    if (!parsed.isObject() || json[kFormatKey].toInt() < 1)
        return false;
    // The frame first: it sets the scale kinds it was made with, and the date kinds then
    // apply to its axes as to the three-point ones.
    if (json.contains("calibration"))
        FrameFromJson(doc, json["calibration"].toObject());
    applyDateKinds(doc, json["scales"].toObject());
    for (const QJsonValue& line : json["lines"].toArray())
        applyLine(doc, line.toObject());
    return true;
}

QString WriteSidecar(const Document& doc, const QString& dataFilePath) {
    const QString path = SidecarPath(dataFilePath);
    if (const std::optional<QByteArray> bytes = SidecarBytes(doc))
        return WriteFileAtomically(path, *bytes);
    // Extras of the data file just replaced would otherwise be taken for this one's.
    const QFileInfo stale(path);
    if (stale.isFile() && !stale.isSymLink() && !QFile::remove(path))
        return QFile(path).errorString();
    return {};
}

void ReadSidecar(Document& doc, const QString& dataFilePath) {
    QFile file(SidecarPath(dataFilePath));
    if (file.open(QIODevice::ReadOnly))
        ApplySidecar(doc, file.read(1 << 26));
}

} // namespace kurvana
