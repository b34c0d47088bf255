#include "settings/windows/samplecircle.h"

#include <QPainter>
#include <QPen>

namespace kurvana {

SampleCircle::SampleCircle(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFixedSize(sizeHint());
}

void SampleCircle::setPenColour(Colour colour) {
    if (pen_ == colour)
        return;
    pen_ = colour;
    update();
}

void SampleCircle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgb(qrgbFromColour(pen_)), 3));
    painter.setBrush(Qt::white);
    // Inset by half the pen so the whole stroke stays inside the widget.
    painter.drawEllipse(QRectF(rect()).adjusted(2, 2, -2, -2));
}

} // namespace kurvana
