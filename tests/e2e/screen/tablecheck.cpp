#include "tablecheck.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QLineF>
#include <QLocale>

namespace e2e {

namespace {

/// The snap looks at most six pixels from the click (the probe star's reach).
constexpr double kSnapReach = 6.0;

/// Y of the curve at `x` from the cubic through the four known points nearest to `x`.
double curveAt(const std::vector<QPointF>& knots, double x) {
    const auto next = std::lower_bound(knots.begin(), knots.end(), x,
                                       [](const QPointF& k, double at) { return k.x() < at; });
    const auto n = static_cast<std::ptrdiff_t>(knots.size());
    const std::ptrdiff_t first = std::clamp<std::ptrdiff_t>(next - knots.begin() - 2, 0, n - 4);
    double y = 0.0;
    for (std::ptrdiff_t i = first; i < first + 4; ++i) {
        double weight = 1.0;
        for (std::ptrdiff_t j = first; j < first + 4; ++j)
            if (j != i)
                weight *= (x - knots[j].x()) / (knots[i].x() - knots[j].x());
        y += weight * knots[i].y();
    }
    return y;
}

/// The centre line of a curve in picture pixels: cubic pieces through its known values,
/// sampled finely enough that the chords stay far below a pixel from the curve, and carried
/// on one sample step beyond the first and the last known point (a search column may lie
/// there).
std::vector<QPointF> centreLine(const KnownChart& chart, int curve) {
    // The cubic pieces follow the axes' own units: the exponents on a logarithmic axis.
    auto toUnits = [](const KnownAxis& axis, double v) { return axis.log10 ? std::log10(v) : v; };
    auto fromUnits = [](const KnownAxis& axis, double u) {
        return axis.log10 ? std::pow(10.0, u) : u;
    };
    std::vector<QPointF> knots;
    for (const KnownPoint& p : chart.pointsOf(curve))
        knots.push_back(QPointF(toUnits(chart.x, p.value.x()), toUnits(chart.y, p.value.y())));
    std::sort(knots.begin(), knots.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    std::vector<QPointF> line;
    if (knots.size() < 4)
        return line;
    const double step = (knots[1].x() - knots[0].x());
    const double from = knots.front().x() - step;
    const double to = knots.back().x() + step;
    const int pieces = static_cast<int>(std::ceil((to - from) / step * 32));
    for (int i = 0; i <= pieces; ++i) {
        const double x = from + (to - from) * i / pieces;
        const QPointF value(fromUnits(chart.x, x), fromUnits(chart.y, curveAt(knots, x)));
        line.push_back(chart.pixelOf(value));
    }
    return line;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 == 0.0 ? 0.0 : std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0);
    return QLineF(p, a + t * ab).length();
}

double distanceToLine(QPointF p, const std::vector<QPointF>& line) {
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        nearest = std::min(nearest, distanceToSegment(p, line[i], line[i + 1]));
    return nearest;
}

QString pointText(QPointF value) {
    return QString("(%1, %2)").arg(value.x(), 0, 'g', 8).arg(value.y(), 0, 'g', 8);
}

void checkLine(const KnownChart& chart, const LineExpectation& expected,
               const std::vector<QPointF>& values, QStringList& problems, QStringList& report) {
    const int line = expected.line;
    const int count = static_cast<int>(values.size());
    if (count < expected.minCount || count > expected.maxCount)
        problems << QString("line %1 holds %2 points, expected %3 to %4")
                        .arg(line)
                        .arg(count)
                        .arg(expected.minCount)
                        .arg(expected.maxCount);
    const auto curve = chart.curves.find(line);
    if (curve == chart.curves.end()) {
        problems << QString("the chart has no curve %1").arg(line);
        return;
    }
    const std::vector<QPointF> centre = centreLine(chart, line);
    const double tolerance = curve->second.strokeWidth / 2.0 + 1.0;
    double farthest = 0.0;
    for (int i = 0; i < count; ++i) {
        const QPointF pixel = chart.pixelOf(values[i]);
        const double off = distanceToLine(pixel, centre);
        farthest = std::max(farthest, off);
        if (!(off <= tolerance))
            problems << QString("line %1 row %2 %3 lies %4 px from the curve (at most %5)")
                            .arg(line)
                            .arg(i + 1)
                            .arg(pointText(values[i]))
                            .arg(off, 0, 'f', 2)
                            .arg(tolerance);
        if (i > 0 && !(values[i].x() > values[i - 1].x()))
            problems << QString("line %1 row %2: X does not increase").arg(line).arg(i + 1);
        if (!expected.clicked.empty() && i < static_cast<int>(expected.clicked.size())) {
            const QPointF click(expected.clicked[i].pixel);
            if (std::abs(pixel.x() - click.x()) > kSnapReach + 0.5 ||
                std::abs(pixel.y() - click.y()) > kSnapReach + 0.5)
                problems << QString("line %1 row %2 %3 is not the click at pixel (%4, %5)")
                                .arg(line)
                                .arg(i + 1)
                                .arg(pointText(values[i]))
                                .arg(click.x())
                                .arg(click.y());
        }
    }
    report << QString("line %1: %2 points, farthest %3 px from the curve's centre (at most %4)")
                  .arg(line)
                  .arg(count)
                  .arg(farthest, 0, 'f', 2)
                  .arg(tolerance);
}

} // namespace

ClipboardLines ParseClipboardText(const QString& text, QStringList& problems) {
    ClipboardLines lines;
    if (!text.isEmpty() && !text.endsWith("\r\n"))
        problems << "the text does not end with CR LF";
    const QStringList rows = text.split("\r\n");
    const QLocale c = QLocale::c();
    int previousLine = 1;
    for (int r = 0; r + 1 < rows.size() || (r < rows.size() && !rows[r].isEmpty()); ++r) {
        const QString& row = rows[r];
        const qsizetype firstTab = row.indexOf('\t');
        const qsizetype lastTab = row.lastIndexOf('\t');
        const auto tabs = static_cast<int>(lastTab - firstTab + 1);
        bool okX = false;
        bool okY = false;
        const double x = c.toDouble(row.left(firstTab), &okX);
        const double y = c.toDouble(row.mid(lastTab + 1), &okY);
        if (firstTab < 0 || row.mid(firstTab, tabs) != QString(tabs, '\t') || tabs > 5 || !okX ||
            !okY) {
            problems << QString("row %1 is not X, 1 to 5 tabs, Y: '%2'").arg(r + 1).arg(row);
            continue;
        }
        if (tabs < previousLine)
            problems << QString("row %1 of line %2 follows a row of line %3")
                            .arg(r + 1)
                            .arg(tabs)
                            .arg(previousLine);
        previousLine = tabs;
        lines[tabs].push_back(QPointF(x, y));
    }
    return lines;
}

QStringList CheckLines(const KnownChart& chart, const ClipboardLines& lines,
                       const std::vector<LineExpectation>& expected, QStringList& report) {
    QStringList problems;
    for (const auto& [line, values] : lines) {
        const bool wanted = std::any_of(expected.begin(), expected.end(),
                                        [line = line](const auto& e) { return e.line == line; });
        if (!wanted)
            problems << QString("line %1 holds %2 unexpected points").arg(line).arg(values.size());
    }
    for (const LineExpectation& e : expected) {
        const auto found = lines.find(e.line);
        checkLine(chart, e, found == lines.end() ? std::vector<QPointF>() : found->second, problems,
                  report);
    }
    return problems;
}

} // namespace e2e
