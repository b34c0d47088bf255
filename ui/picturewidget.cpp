#include "ui/picturewidget.h"

#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "core/clicks.h"
#include "core/document.h"
#include "ui/checkgridpainter.h"
#include "ui/firstpaint.h"
#include "ui/matchpreview.h"

namespace kurvana {

unsigned ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    unsigned state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= ShiftKey;
    if (modifiers & Qt::AltModifier)
        state |= AltKey;
    if (modifiers & Qt::ControlModifier)
        state |= CtrlKey;
    if (buttons & Qt::LeftButton)
        state |= LeftButton;
    if (buttons & Qt::RightButton)
        state |= RightButton;
    if (buttons & Qt::MiddleButton)
        state |= MiddleButton;
    return state;
}

PictureWidget::PictureWidget(const Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName("imgGrafik");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyViewScale();
}

void PictureWidget::applyViewScale() {
    const auto width = static_cast<int>(std::trunc(doc_.pictureWidth * doc_.viewScale));
    const auto height = static_cast<int>(std::trunc(doc_.pictureHeight * doc_.viewScale));
    const QSize size = doc_.viewScale == 1.0L ? doc_.workingPicture.size() : QSize(width, height);
    setFixedSize(size.expandedTo(QSize(1, 1)));
    update();
}

void PictureWidget::updatePictureArea(const QRect& area) {
    if (area.isEmpty()) {
        update();
        return;
    }
    const double scale = static_cast<double>(doc_.viewScale);
    const QRect shown(static_cast<int>(std::floor(area.left() * scale)) - 1,
                      static_cast<int>(std::floor(area.top() * scale)) - 1,
                      static_cast<int>(std::ceil(area.width() * scale)) + 3,
                      static_cast<int>(std::ceil(area.height() * scale)) + 3);
    update(shown);
}

void PictureWidget::setMatchPreview(const PixelMatch& matches, bool onCleanPicture) {
    preview_ = matches;
    previewOnClean_ = onCleanPicture;
    update();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().window());
    const QImage& picture = doc_.workingPicture;
    if (picture.isNull())
        return;
    paintPicture(painter, exposed);
    // The grid is painted over the shown picture only: it never enters a picture the
    // digitising code reads, draws on or saves.
    if (doc_.checkGridOn)
        PaintCheckGrid(
            painter, doc_, exposed,
            QSizeF(double(width()) / picture.width(), double(height()) / picture.height()));
}

void PictureWidget::paintPicture(QPainter& painter, const QRect& exposed) {
    const QImage& picture = doc_.workingPicture;
    const bool stretched = doc_.viewScale != 1.0L;
    if (!stretched) {
        painter.drawImage(exposed.topLeft(), picture, exposed);
        if (preview_)
            PaintMatchPreview(painter, previewOnClean_ ? doc_.cleanPicture : picture, preview_,
                              exposed, 1.0);
        ReportFirstPicturePaint();
        return;
    }
    // The control shows the picture stretched to its own size; paint just the picture pixels
    // behind the exposed rectangle, on whole-pixel boundaries.
    const double sx = double(picture.width()) / width();
    const double sy = double(picture.height()) / height();
    const int left = std::max(0, int(std::floor(exposed.left() * sx)));
    const int top = std::max(0, int(std::floor(exposed.top() * sy)));
    const int right = std::min(picture.width(), int(std::ceil((exposed.right() + 1) * sx)) + 1);
    const int bottom = std::min(picture.height(), int(std::ceil((exposed.bottom() + 1) * sy)) + 1);
    if (right <= left || bottom <= top)
        return;
    const QRectF source(left, top, right - left, bottom - top);
    const QRectF target(left / sx, top / sy, (right - left) / sx, (bottom - top) / sy);
    painter.drawImage(target, picture, source);
    if (preview_)
        PaintMatchPreview(painter, previewOnClean_ ? doc_.cleanPicture : picture, preview_,
                          source.toRect(), 1.0 / sx);
    ReportFirstPicturePaint();
}

namespace {
/// Only the left, right and middle buttons act on the picture: the side (back/forward) buttons
/// and any others would otherwise reach the digitiser as a press with no known button.
bool ActsOnPicture(const QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}
} // namespace

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    if (!ActsOnPicture(event))
        return event->accept();
    const QPoint p = event->position().toPoint();
    emit pressed(p, ShiftStateOf(event->modifiers(), event->buttons()));
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!ActsOnPicture(event))
        return event->accept();
    const QPoint p = event->position().toPoint();
    emit pressed(p, ShiftStateOf(event->modifiers(), event->buttons()) | DoubleClick);
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position().toPoint(), ShiftStateOf(event->modifiers(), event->buttons()));
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!ActsOnPicture(event))
        return event->accept();
    emit released();
}

} // namespace kurvana
