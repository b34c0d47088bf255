#include "tracing/windows/colourswatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace kurvana {

ColourSwatch::ColourSwatch(const QString& name, int width, int height, QWidget* parent)
    : QFrame(parent) {
    setObjectName(name);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(width, height);
}

void ColourSwatch::setColour(Colour colour) {
    colour_ = colour & 0xFFFFFF;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor::fromRgb(qrgbFromColour(colour_)));
    painter.end();
    QFrame::paintEvent(event);
}

void ColourSwatch::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit pressed();
}

} // namespace kurvana
