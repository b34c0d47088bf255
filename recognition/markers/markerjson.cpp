#include "recognition/markers/markerjson.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kurvana {

namespace {

/// Picture positions to a thousandth of a pixel: finer is noise.
double rounded(double v) {
    return std::round(v * 1000) / 1000;
}

void addEnds(QJsonObject& json, const char* axis, const std::optional<BarEnds>& ends,
             const std::function<std::optional<double>(double)>& valueAt) {
    if (!ends)
        return;
    const QString low = QString(axis) + "_low", high = QString(axis) + "_high";
    json[low] = rounded(ends->low);
    json[high] = rounded(ends->high);
    if (const auto v = valueAt(ends->low))
        json[low + "_value"] = *v;
    if (const auto v = valueAt(ends->high))
        json[high + "_value"] = *v;
}

QJsonObject markerJson(const FoundMarker& m, const ValuesAt& values) {
    QJsonObject json{{"cx", rounded(m.centre.x())}, {"cy", rounded(m.centre.y())}};
    auto valueOf = [&](QPointF at, bool x) -> std::optional<double> {
        if (!values)
            return std::nullopt;
        const auto v = values(at);
        return v ? std::optional(x ? v->x() : v->y()) : std::nullopt;
    };
    if (const auto x = valueOf(m.centre, true)) {
        json["x"] = *x;
        json["y"] = *valueOf(m.centre, false);
    }
    addEnds(json, "y", m.upright, [&](double y) { return valueOf({m.centre.x(), y}, false); });
    addEnds(json, "x", m.level, [&](double x) { return valueOf({x, m.centre.y()}, true); });
    return json;
}

} // namespace

QByteArray MarkersJson(const MarkerFinding& finding, const ValuesAt& values) {
    QJsonArray list;
    for (const FoundMarker& m : finding.markers)
        list.append(markerJson(m, values));
    const QJsonObject json{
        {"shape", markers::ShapeName(finding.kind.shape)},
        {"filled", finding.kind.filled},
        {"size", finding.kind.size},
        {"colour", QString("#%1").arg(finding.kind.colour, 6, 16, QChar('0'))},
        {"markers", list},
    };
    return QJsonDocument(json).toJson();
}

} // namespace kurvana
