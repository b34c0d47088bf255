#include "io/windows/pagepreview.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace kurvana {

namespace {

constexpr int kPreviewSide = 560;
/// A drag shorter than this (in preview pixels) is a click: it frames nothing.
constexpr int kSmallestDrag = 4;

} // namespace

PagePreview::PagePreview(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setMinimumSize(kPreviewSide / 2, kPreviewSide / 2);
}

QSize PagePreview::sizeHint() const {
    return {kPreviewSide, kPreviewSide};
}

void PagePreview::showPage(const QImage& page, const QSizeF& pageSize) {
    page_ = page;
    pageSize_ = pageSize;
    region_ = QRectF();
    dragging_ = false;
    update();
    emit regionChanged();
}

QRectF PagePreview::region() const {
    return region_;
}

void PagePreview::clearRegion() {
    region_ = QRectF();
    update();
    emit regionChanged();
}

QRect PagePreview::pageArea() const {
    if (page_.isNull())
        return {};
    const QSize shown = page_.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

QPointF PagePreview::toPage(QPoint position) const {
    const QRect area = pageArea();
    const double x = std::clamp(double(position.x() - area.left()) / area.width(), 0.0, 1.0);
    const double y = std::clamp(double(position.y() - area.top()) / area.height(), 0.0, 1.0);
    return {x * pageSize_.width(), y * pageSize_.height()};
}

void PagePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = pageArea();
    if (area.isEmpty())
        return;
    painter.drawImage(area, page_);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (region_.isEmpty())
        return;
    const double sx = area.width() / pageSize_.width();
    const double sy = area.height() / pageSize_.height();
    const QRectF shown(area.left() + region_.left() * sx, area.top() + region_.top() * sy,
                       region_.width() * sx, region_.height() * sy);
    // Everything outside the region is dimmed, so the framed chart stands out.
    QPainterPath outside;
    outside.addRect(area);
    outside.addRect(shown);
    painter.fillPath(outside, QColor(0, 0, 0, 90));
    painter.setPen(QPen(QColor(0, 90, 220), 2));
    painter.drawRect(shown);
}

void PagePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || page_.isNull())
        return;
    dragging_ = true;
    anchor_ = toPage(event->position().toPoint());
}

void PagePreview::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    region_ = QRectF(anchor_, toPage(event->position().toPoint())).normalized();
    update();
}

void PagePreview::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    region_ = QRectF(anchor_, toPage(event->position().toPoint())).normalized();
    const double previewPixelsPerPoint = pageArea().width() / pageSize_.width();
    if (std::min(region_.width(), region_.height()) * previewPixelsPerPoint < kSmallestDrag)
        region_ = QRectF();
    update();
    emit regionChanged();
}

} // namespace kurvana
