#include "chart.h"

#include <QDir>
#include <QFile>

namespace examples {

namespace {

QString number(double value) {
    return QString::number(value, 'g', 10);
}

QString pixel(const QPoint& p) {
    return QStringLiteral("%1 %2").arg(p.x()).arg(p.y());
}

QString scaleName(ScaleKind kind) {
    return kind == ScaleKind::Linear ? QStringLiteral("linear") : QStringLiteral("log10");
}

QString knownDataText(const ChartSpec& spec, const RenderedChart& chart) {
    QStringList lines;
    lines << QStringLiteral("# Known data of %1.bmp, written by make_examples.").arg(spec.stem)
          << "# Pixels are picture pixels: x to the right, y downwards, (0, 0) at the top left."
          << "# input_*: the texts to type into the Input window; on a log10 axis they are the"
          << "# exponents (0.1 .. 1000 is typed as -1 and 3)."
          << "picture " + spec.stem + ".bmp"
          << QStringLiteral("size %1 %2").arg(chart.picture.width()).arg(chart.picture.height())
          << "zero_point " + pixel(chart.zeroPoint) << "x_max_point " + pixel(chart.xMaxPoint)
          << "y_max_point " + pixel(chart.yMaxPoint) << "input_min_x " + number(spec.x.from)
          << "input_max_x " + number(spec.x.to) << "input_min_y " + number(spec.y.from)
          << "input_max_y " + number(spec.y.to) << "scale_x " + scaleName(spec.x.kind)
          << "scale_y " + scaleName(spec.y.kind) << "tilt_degrees " + number(spec.tiltDegrees)
          << QStringLiteral("curve_count %1").arg(spec.curves.size())
          << "# curve <number> <colour #rrggbb> <stroke width in pixels> <name>";
    for (std::size_t i = 0; i < spec.curves.size(); ++i)
        lines << QStringLiteral("curve %1 %2 %3 %4")
                     .arg(i + 1)
                     .arg(spec.curves[i].colour.name())
                     .arg(spec.strokeWidth)
                     .arg(spec.curves[i].name);
    lines << "# point <curve> <X> <Y> <pixel x> <pixel y>: the pixel lies on the drawn stroke";
    for (const KnownPoint& p : chart.points)
        lines << QStringLiteral("point %1 %2 %3 %4")
                     .arg(p.curve)
                     .arg(number(p.x), number(p.y), pixel(p.pixel));
    return lines.join(u'\n') + u'\n';
}

} // namespace

QString WriteChart(const ChartSpec& spec, const RenderedChart& chart, const QString& folder) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create the folder %1").arg(folder);
    const QString picturePath = QDir(folder).filePath(spec.stem + ".bmp");
    if (!chart.picture.save(picturePath, "BMP"))
        return QStringLiteral("cannot write %1").arg(picturePath);
    const QString textPath = QDir(folder).filePath(spec.stem + ".txt");
    QFile text(textPath);
    if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        text.write(knownDataText(spec, chart).toUtf8()) < 0 || !text.flush())
        return QStringLiteral("cannot write %1: %2").arg(textPath, text.errorString());
    return {};
}

} // namespace examples
