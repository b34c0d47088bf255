#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/document.h"
#include "io/calibrationframe.h"
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

constexpr char kLabelDataMissing[] = "label_data_missing";

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

/// An axis's status as the answer names it: labels that were not read because the reader's
/// data are missing are not called unreadable.
QString axisStatusName(const AxisProposal& p, const AxisReading& axis) {
    if (p.labelDataMissing && axis.status == AxisStatus::NoLabels)
        return kLabelDataMissing;
    return statusName(axis.status);
}

QJsonObject axisJson(const AxisProposal& p, const AxisReading& axis) {
    QJsonObject o;
    o["status"] = axisStatusName(p, axis);
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
    o["xscale"] = ScaleKindName(ProposedScaleKind(p.x));
    o["yscale"] = ScaleKindName(ProposedScaleKind(p.y));
    if (p.perspective) {
        // The four points as the calibration JSON of a perspective frame has them.
        QJsonArray points, values;
        for (std::size_t i = 0; i < 4; ++i) {
            points.append(pointJson(std::optional<QPoint>(p.perspective->points[i])));
            values.append(QJsonArray{p.perspective->values[i].x(), p.perspective->values[i].y()});
        }
        o["frame"] = "perspective";
        o["points"] = points;
        o["values"] = values;
    }
    o["x_axis"] = axisJson(p, p.x);
    o["y_axis"] = axisJson(p, p.y);
    QJsonArray missing;
    if (p.labelDataMissing)
        missing.append(kLabelDataMissing);
    for (const auto& [axis, prefix] : {std::pair{&p.x, "x_"}, std::pair{&p.y, "y_"}}) {
        const QString status = axisStatusName(p, *axis);
        if (axis->status != AxisStatus::Found && status != kLabelDataMissing)
            missing.append(prefix + status);
    }
    o["missing"] = missing;
    o["complete"] = p.complete();
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

} // namespace kurvana
