#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "recognition/axes/findaxes.h"

namespace kurvana {

namespace {

QJsonValue pointJson(const std::optional<QPoint>& p) {
    return p ? QJsonValue(QJsonArray{p->x(), p->y()}) : QJsonValue();
}

QJsonArray pointJson(QPointF p) {
    // Sub-pixel positions to a hundredth: finer is noise.
    return QJsonArray{std::round(p.x() * 100) / 100, std::round(p.y() * 100) / 100};
}

QJsonValue numberJson(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

const char* statusName(AxisStatus status) {
    switch (status) {
    case AxisStatus::NoLine:
        return "no_axis_line";
    case AxisStatus::NoLabels:
        return "labels_unreadable";
    case AxisStatus::LabelsDisagree:
        return "labels_disagree";
    case AxisStatus::Unchecked:
        return "two_labels_unchecked";
    case AxisStatus::Found:
        return "found";
    }
    return "";
}

QJsonObject axisJson(const AxisReading& axis) {
    QJsonObject o;
    o["status"] = statusName(axis.status);
    if (axis.line)
        o["line"] = QJsonArray{pointJson(axis.line->pointAt(axis.line->start)),
                               pointJson(axis.line->pointAt(axis.line->end))};
    QJsonArray ticks;
    if (axis.line)
        for (const AxisTick& t : axis.ticks)
            ticks.append(pointJson(axis.line->pointAt(t.along)));
    o["ticks"] = ticks;
    QJsonArray labels;
    for (const AxisLabel& l : axis.labels) {
        QJsonObject label;
        label["text"] = l.text;
        label["value"] = numberJson(l.value);
        label["tick"] = pointJson(axis.line->pointAt(l.along));
        label["used"] = l.used;
        labels.append(label);
    }
    o["labels"] = labels;
    return o;
}

} // namespace

QByteArray ProposalJson(const AxisProposal& p) {
    QJsonObject o;
    o["zero"] = pointJson(p.zero);
    o["xmax"] = pointJson(p.xMax);
    o["ymax"] = pointJson(p.yMax);
    o["xmin_value"] = numberJson(p.x.firstValue);
    o["xmax_value"] = numberJson(p.x.lastValue);
    o["ymin_value"] = numberJson(p.y.firstValue);
    o["ymax_value"] = numberJson(p.y.lastValue);
    o["xscale"] = p.x.logarithmic ? "log10" : "linear";
    o["yscale"] = p.y.logarithmic ? "log10" : "linear";
    o["x_axis"] = axisJson(p.x);
    o["y_axis"] = axisJson(p.y);
    QJsonArray missing;
    if (p.x.status != AxisStatus::Found)
        missing.append(QString("x_") + statusName(p.x.status));
    if (p.y.status != AxisStatus::Found)
        missing.append(QString("y_") + statusName(p.y.status));
    o["missing"] = missing;
    o["complete"] = p.complete();
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

} // namespace kurvana
