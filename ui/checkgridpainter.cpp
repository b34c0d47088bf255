#include "ui/checkgridpainter.h"

#include <algorithm>
#include <functional>

#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "core/axistext.h"
#include "core/checkgrid.h"
#include "core/document.h"
#include "core/numbers.h"

namespace kurvana {

namespace {

constexpr int kLabelGap = 3;     ///< screen pixels between a label and the axis it sits on
constexpr int kLabelPadding = 1; ///< screen pixels of backing around a label's text

QColor gridColour(const Document& doc) {
    QColor colour = QColor::fromRgb(qrgbFromColour(doc.checkGridColour));
    colour.setAlpha(doc.checkGridAlpha);
    return colour;
}

/// A label's box on the control: inside the plot, just above and right of where the line meets
/// the other axis, so that the chart's own tick labels outside the axes stay readable. Kept
/// inside the control.
QRect labelBox(QPointF anchor, QSize textSize, const QRect& control) {
    QRect box(QPoint(0, 0), textSize + QSize(2 * kLabelPadding, 2 * kLabelPadding));
    box.moveBottomLeft(QPoint(int(anchor.x()) + kLabelGap, int(anchor.y()) - kLabelGap));
    box.moveLeft(std::clamp(box.left(), control.left(), control.right() - box.width()));
    box.moveTop(std::clamp(box.top(), control.top(), control.bottom() - box.height()));
    return box;
}

struct Label {
    QRect box;
    QString text;
};

/// The labels of all lines. At the zero point an X and a Y label would share a place: a Y label
/// that meets an X label moves below its line.
std::vector<Label> layLabels(const std::vector<GridLine>& lines, const Document& doc,
                             const QFontMetrics& metrics, const QRect& control,
                             const std::function<QPointF(QPointF)>& toControl) {
    std::vector<Label> labels;
    std::vector<QRect> xBoxes;
    for (const GridLine& line : lines) {
        const QString text =
            AxisValueText(doc, line.axis == GridAxis::X ? AxisName::X : AxisName::Y, line.value);
        const QPointF anchor = toControl(line.labelAnchor);
        QRect box = labelBox(anchor, metrics.size(0, text), control);
        if (line.axis == GridAxis::X)
            xBoxes.push_back(box);
        else if (std::any_of(xBoxes.begin(), xBoxes.end(),
                             [&box](const QRect& x) { return x.intersects(box); }))
            box.moveTop(int(anchor.y()) + kLabelGap);
        labels.push_back({box, text});
    }
    return labels;
}

} // namespace

void PaintCheckGrid(QPainter& painter, const Document& doc, const QRect& exposed,
                    const QSizeF& pictureToControl) {
    const std::vector<GridLine> lines = CheckGridLines(doc);
    if (lines.empty())
        return;
    // Picture coordinates have pixel centres at whole numbers; on the control a picture pixel
    // covers [x, x + 1) times the scale, so its centre lies half a pixel further.
    const auto toControl = [&](QPointF p) {
        return QPointF((p.x() + 0.5) * pictureToControl.width(),
                       (p.y() + 0.5) * pictureToControl.height());
    };
    const QRect control(QPoint(0, 0), QSize(int(doc.pictureWidth * pictureToControl.width()),
                                            int(doc.pictureHeight * pictureToControl.height())));
    painter.save();
    painter.setClipRect(exposed);
    const QColor colour = gridColour(doc);
    // Level lines stay one crisp pixel wide; tilted ones are smoothed so they do not stair-step.
    painter.setRenderHint(QPainter::Antialiasing,
                          doc.axisAngle != 0 || doc.frame != CalibrationFrame::ThreePoint);
    painter.setPen(QPen(colour, 0));
    for (const GridLine& line : lines) {
        if (!line.path.empty()) {
            QPolygonF path;
            for (const QPointF& p : line.path)
                path << toControl(p);
            if (path.boundingRect().adjusted(-1, -1, 1, 1).intersects(exposed))
                painter.drawPolyline(path);
            continue;
        }
        const QLineF shown(toControl(line.from), toControl(line.to));
        if (QRectF(shown.p1(), shown.p2()).normalized().adjusted(-1, -1, 1, 1).intersects(exposed))
            painter.drawLine(shown);
    }

    QFont font = painter.font();
    font.setPointSizeF(7.5);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QColor text = QColor(colour.red(), colour.green(), colour.blue()).darker(170);
    const QColor backing(255, 255, 255, 190);
    for (const Label& label : layLabels(lines, doc, metrics, control, toControl)) {
        if (!label.box.intersects(exposed))
            continue;
        painter.fillRect(label.box, backing);
        painter.setPen(text);
        painter.drawText(label.box, Qt::AlignCenter, label.text);
    }
    painter.restore();
}

QIcon CheckGridIcon() {
    QPixmap image(18, 18);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QColor(0, 160, 170));
    for (int i = 4; i <= 16; i += 4) {
        painter.drawLine(i, 1, i, 14);
        painter.drawLine(3, 14 - i + 2, 16, 14 - i + 2);
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(2, 1, 2, 16);
    painter.drawLine(1, 15, 17, 15);
    return QIcon(image);
}

} // namespace kurvana
