#include "bench/pdfchart.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

namespace kurvana::bench {

namespace {

constexpr int kCurves = 5;
constexpr int kSegments = 4000;
constexpr int kGridLines = 10;

void DrawCurves(QPainter& painter, const QRectF& plot) {
    const QColor colours[kCurves] = {Qt::black, Qt::red, Qt::blue, Qt::darkGreen, Qt::magenta};
    for (int curve = 0; curve < kCurves; ++curve) {
        QPainterPath path;
        for (int i = 0; i <= kSegments; ++i) {
            const double t = double(i) / kSegments;
            const double value =
                0.5 + 0.4 * std::sin(6.2832 * (curve + 1) * t + curve) * std::exp(-t * curve / 4);
            const QPointF at(plot.left() + t * plot.width(), plot.bottom() - value * plot.height());
            if (i == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        painter.setPen(QPen(colours[curve], 1.2));
        painter.drawPath(path);
    }
}

} // namespace

void WritePdfChart(const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    const QRectF plot(80, 120, 440, 320);
    painter.setPen(QPen(Qt::lightGray, 0.5));
    for (int i = 0; i <= kGridLines; ++i) {
        const double x = plot.left() + plot.width() * i / kGridLines;
        const double y = plot.top() + plot.height() * i / kGridLines;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x - 6, plot.bottom() + 14), QString::number(i * 10));
        painter.drawText(QPointF(plot.left() - 28, y + 4), QString::number(1.0 - i * 0.1, 'f', 1));
        painter.setPen(QPen(Qt::lightGray, 0.5));
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawRect(plot);
    DrawCurves(painter, plot);
    painter.drawText(QPointF(plot.left(), plot.bottom() + 40), "Figure 3. Five responses.");
}

} // namespace kurvana::bench
