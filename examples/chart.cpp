#include "chart.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include "scan.h"

namespace examples {

namespace {

const QColor kMajorGrid(0xdc, 0xdc, 0xdc);
const QColor kMinorGrid(0xee, 0xee, 0xee);

// Where values sit on the level paper. Positions along an axis are whole pixels measured
// from the zero point; the curves are drawn from the same numbers that the known data lists.
class Paper {
public:
    explicit Paper(const ChartSpec& spec) : s_(spec) {}

    static double scaled(double value, const ChartAxis& axis) {
        return axis.kind == ScaleKind::Linear ? value : std::log10(value);
    }
    static double unscaled(double t, const ChartAxis& axis) {
        return axis.kind == ScaleKind::Linear ? t : std::pow(10.0, t);
    }
    double along(double t, const ChartAxis& axis, int pixels) const {
        return (t - axis.from) / (axis.to - axis.from) * pixels;
    }
    int columnOfScaled(double t) const {
        return s_.zeroPoint.x() + int(std::lround(along(t, s_.x, s_.xAxisPixels)));
    }
    int rowOfScaled(double t) const {
        return s_.zeroPoint.y() - int(std::lround(along(t, s_.y, s_.yAxisPixels)));
    }
    double xAtColumn(int column) const {
        const double u = column - s_.zeroPoint.x();
        return unscaled(s_.x.from + (s_.x.to - s_.x.from) * u / s_.xAxisPixels, s_.x);
    }
    int rowOfY(double y) const { return rowOfScaled(scaled(y, s_.y)); }
    int top() const { return s_.zeroPoint.y() - s_.yAxisPixels; }
    int right() const { return s_.zeroPoint.x() + s_.xAxisPixels; }

private:
    const ChartSpec& s_;
};

// Offset of a w-pixel brush from the pixel it is centred on.
int brushOffset(int width) {
    return -(width - 1) / 2;
}

void stamp(QImage& image, int x, int y, int width, QRgb colour) {
    const int o = brushOffset(width);
    for (int j = y + o; j < y + o + width; ++j) {
        if (j < 0 || j >= image.height())
            continue;
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = std::max(0, x + o); i < std::min(image.width(), x + o + width); ++i)
            row[i] = colour;
    }
}

// The scaled positions of the labelled ticks and of the unlabelled minor grid lines.
std::vector<double> labelTicks(const ChartAxis& axis) {
    std::vector<double> ticks;
    const int count = int(std::lround((axis.to - axis.from) / axis.labelStep));
    for (int i = 0; i <= count; ++i)
        ticks.push_back(axis.from + i * axis.labelStep);
    return ticks;
}

std::vector<double> minorTicks(const ChartAxis& axis) {
    std::vector<double> ticks;
    if (axis.kind != ScaleKind::Log10)
        return ticks;
    for (double decade = axis.from; decade < axis.to; decade += 1.0)
        for (int m = 2; m <= 9; ++m)
            ticks.push_back(decade + std::log10(double(m)));
    return ticks;
}

QString tickLabel(double t, const ChartAxis& axis) {
    return QLocale::c().toString(Paper::unscaled(t, axis), 'g', 8);
}

void drawGrid(QPainter& p, const ChartSpec& spec, const Paper& paper) {
    const int width = std::max(1, spec.axisWidth / 2);
    const int left = spec.zeroPoint.x();
    for (int pass = 0; pass < 2; ++pass) {
        const QColor colour = pass == 0 ? kMinorGrid : kMajorGrid;
        const auto xs = pass == 0 ? minorTicks(spec.x) : labelTicks(spec.x);
        const auto ys = pass == 0 ? minorTicks(spec.y) : labelTicks(spec.y);
        for (const double t : xs)
            p.fillRect(paper.columnOfScaled(t), paper.top(), width, spec.yAxisPixels, colour);
        for (const double t : ys)
            p.fillRect(left, paper.rowOfScaled(t), spec.xAxisPixels, width, colour);
    }
}

// Draws the curve column by column with a square brush, each column joined to the previous
// one, and returns the row of every column from the zero point to the X max point.
std::vector<int> drawCurve(QImage& image, const ChartSpec& spec, const Paper& paper,
                           const ChartCurve& curve) {
    std::vector<int> rows;
    const QRgb colour = curve.colour.rgb();
    for (int u = 0; u <= spec.xAxisPixels; ++u) {
        const int column = spec.zeroPoint.x() + u;
        const int row = std::clamp(paper.rowOfY(curve.y(paper.xAtColumn(column))), paper.top(),
                                   spec.zeroPoint.y());
        const int previous = rows.empty() ? row : rows.back();
        for (int r = std::min(previous, row); r <= std::max(previous, row); ++r)
            stamp(image, column, r, spec.strokeWidth, colour);
        rows.push_back(row);
    }
    return rows;
}

void drawAxes(QPainter& p, const ChartSpec& spec, const Paper& paper) {
    const int w = spec.axisWidth, o = brushOffset(w);
    const QPoint zero = spec.zeroPoint;
    const int tick = 3 * w + 4;
    p.fillRect(zero.x() + o, zero.y() + o, spec.xAxisPixels + w, w, Qt::black);
    p.fillRect(zero.x() + o, paper.top() + o, w, spec.yAxisPixels + w, Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(spec.fontPixels);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics metrics(font);
    for (const double t : labelTicks(spec.x)) {
        const int x = paper.columnOfScaled(t);
        p.fillRect(x + o, zero.y(), w, tick, Qt::black);
        const QString text = tickLabel(t, spec.x);
        p.drawText(x - metrics.horizontalAdvance(text) / 2, zero.y() + tick + metrics.ascent() + 2,
                   text);
    }
    for (const double t : labelTicks(spec.y)) {
        const int y = paper.rowOfScaled(t);
        p.fillRect(zero.x() - tick + 1, y + o, tick, w, Qt::black);
        const QString text = tickLabel(t, spec.y);
        p.drawText(zero.x() - tick - 4 - metrics.horizontalAdvance(text),
                   y + metrics.ascent() / 2 - 1, text);
    }
    p.drawText(paper.right() - metrics.horizontalAdvance(spec.x.title),
               zero.y() + tick + 2 * metrics.height() + 4, spec.x.title);
    p.drawText(zero.x() - tick - 4 - metrics.horizontalAdvance(spec.y.title),
               paper.top() - metrics.height(), spec.y.title);
}

void drawTitleAndLegend(QPainter& p, const ChartSpec& spec, const Paper& paper) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(spec.fontPixels);
    const QFontMetrics metrics(font);
    const int lineLength = 2 * spec.fontPixels;
    const int baseline = paper.top() - metrics.height() / 2 - spec.strokeWidth;
    int x = paper.right();
    for (auto curve = spec.curves.rbegin(); curve != spec.curves.rend(); ++curve) {
        x -= metrics.horizontalAdvance(curve->name);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(x, baseline, curve->name);
        x -= lineLength + spec.fontPixels / 2;
        p.fillRect(x, baseline - metrics.ascent() / 2, lineLength, spec.strokeWidth, curve->colour);
        x -= 2 * spec.fontPixels;
    }
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(spec.fontPixels * 3 / 2);
    p.setFont(bold);
    p.drawText(spec.zeroPoint.x(), QFontMetrics(bold).ascent() + spec.fontPixels, spec.title);
}

// The listed points of a curve: every sampleEvery-th column strictly between the axes ends,
// left out where a later curve has painted over the stroke.
void collectPoints(const QImage& paperImage, const ChartSpec& spec, const Paper& paper, int index,
                   const std::vector<int>& rows, std::vector<KnownPoint>& points) {
    const ChartCurve& curve = spec.curves[std::size_t(index)];
    for (int u = spec.sampleEvery; u < spec.xAxisPixels; u += spec.sampleEvery) {
        const QPoint pixel(spec.zeroPoint.x() + u, rows[std::size_t(u)]);
        const QRgb shown =
            reinterpret_cast<const QRgb*>(paperImage.constScanLine(pixel.y()))[pixel.x()];
        if ((shown & 0xFFFFFF) != (curve.colour.rgb() & 0xFFFFFF))
            continue;
        const double x = paper.xAtColumn(pixel.x());
        points.push_back({index + 1, x, curve.y(x), pixel});
    }
}

} // namespace

RenderedChart RenderChart(const ChartSpec& spec) {
    const Paper paper(spec);
    QImage image(spec.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        drawGrid(p, spec, paper);
    }
    std::vector<std::vector<int>> rows;
    for (const ChartCurve& curve : spec.curves)
        rows.push_back(drawCurve(image, spec, paper, curve));
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        drawAxes(p, spec, paper);
        drawTitleAndLegend(p, spec, paper);
    }

    RenderedChart chart;
    chart.zeroPoint = spec.zeroPoint;
    chart.xMaxPoint = spec.zeroPoint + QPoint(spec.xAxisPixels, 0);
    chart.yMaxPoint = spec.zeroPoint - QPoint(0, spec.yAxisPixels);
    for (int i = 0; i < int(spec.curves.size()); ++i)
        collectPoints(image, spec, paper, i, rows[std::size_t(i)], chart.points);

    if (spec.tiltDegrees != 0.0) {
        image = TiltPaper(image, spec.tiltDegrees);
        const auto tilt = [&](QPoint p) { return TiltedPixel(spec.size, spec.tiltDegrees, p); };
        chart.zeroPoint = tilt(chart.zeroPoint);
        chart.xMaxPoint = tilt(chart.xMaxPoint);
        chart.yMaxPoint = tilt(chart.yMaxPoint);
        for (KnownPoint& point : chart.points)
            point.pixel = tilt(point.pixel);
    }
    if (spec.scanNoise)
        AddScanNoise(image, 20000118u);
    chart.picture = image;
    return chart;
}

} // namespace examples
