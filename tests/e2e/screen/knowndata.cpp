#include "knowndata.h"

#include <cmath>

#include <QFile>
#include <QLineF>
#include <QTextStream>

namespace e2e {

namespace {

double axisUnits(const KnownAxis& axis, double value) {
    return axis.log10 ? std::log10(value) : value;
}

/// Fraction of the way from the minimum to the maximum of the axis.
double axisFraction(const KnownAxis& axis, double value) {
    return (axisUnits(axis, value) - axis.inputMin) / (axis.inputMax - axis.inputMin);
}

bool readRecord(const QStringList& f, KnownChart& chart) {
    const QString& key = f.at(0);
    auto point = [&](QPoint& p) {
        p = QPoint(f.value(1).toInt(), f.value(2).toInt());
        return f.size() == 3;
    };
    if (key == "zero_point")
        return point(chart.zeroPoint);
    if (key == "x_max_point")
        return point(chart.xMaxPoint);
    if (key == "y_max_point")
        return point(chart.yMaxPoint);
    if (key == "input_min_x" || key == "input_max_x" || key == "input_min_y" ||
        key == "input_max_y") {
        KnownAxis& axis = key.endsWith("x") ? chart.x : chart.y;
        (key.startsWith("input_min") ? axis.inputMin : axis.inputMax) = f.value(1).toDouble();
        return f.size() == 2;
    }
    if (key == "scale_x" || key == "scale_y") {
        (key == "scale_x" ? chart.x : chart.y).log10 = f.value(1) == "log10";
        return f.size() == 2;
    }
    if (key == "curve") {
        chart.curves[f.value(1).toInt()] = {f.value(2), f.value(3).toInt()};
        return f.size() >= 4;
    }
    if (key == "point") {
        chart.points.push_back({f.value(1).toInt(),
                                QPointF(f.value(2).toDouble(), f.value(3).toDouble()),
                                QPoint(f.value(4).toInt(), f.value(5).toInt())});
        return f.size() == 6;
    }
    return true; // records this check does not need
}

} // namespace

std::vector<KnownPoint> KnownChart::pointsOf(int curve) const {
    std::vector<KnownPoint> of;
    for (const KnownPoint& p : points)
        if (p.curve == curve)
            of.push_back(p);
    return of;
}

QPointF KnownChart::pixelOf(QPointF value) const {
    // The axes may be turned: walk from the zero point along each axis by its fraction.
    const QPointF zero(zeroPoint);
    const QPointF alongX = QPointF(xMaxPoint) - zero;
    const QPointF alongY = QPointF(yMaxPoint) - zero;
    return zero + axisFraction(x, value.x()) * alongX + axisFraction(y, value.y()) * alongY;
}

std::optional<KnownChart> ReadKnownChart(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QString("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    KnownChart chart;
    QTextStream in(&file);
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!readRecord(line.split(' ', Qt::SkipEmptyParts), chart)) {
            *error = QString("%1:%2: unexpected record '%3'").arg(path).arg(number).arg(line);
            return std::nullopt;
        }
    }
    return chart;
}

std::vector<KnownPoint> PointsToPick(const KnownChart& chart, int curve, int count,
                                     double clearance) {
    std::vector<KnownPoint> clear;
    for (const KnownPoint& p : chart.pointsOf(curve)) {
        bool alone = true;
        for (const KnownPoint& other : chart.points)
            if (other.curve != curve && QLineF(p.pixel, other.pixel).length() < clearance)
                alone = false;
        if (alone)
            clear.push_back(p);
    }
    std::vector<KnownPoint> picked;
    if (count <= 0 || clear.size() < static_cast<std::size_t>(count))
        return picked;
    // Evenly over the clear points, first and last included.
    for (int i = 0; i < count; ++i) {
        const std::size_t at = count == 1 ? 0 : i * (clear.size() - 1) / (count - 1);
        picked.push_back(clear[at]);
    }
    return picked;
}

} // namespace e2e
