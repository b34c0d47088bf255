#pragma once

#include <QWidget>

#include "core/workspace.h"
class QPainter;

namespace kurvana {

struct Document;

/// imgGrafik: shows the working picture at the view scale and reports presses, moves and
/// releases with the exact set of held buttons and keys. Only the exposed part is painted.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(const Document& doc, QWidget* parent);

    /// Sizes the control for the picture and the current view scale.
    void applyViewScale();
    /// Repaints the part of the control that shows the picture area (picture pixels).
    void updatePictureArea(const QRect& area);
    /// Tints the pixels that `matches` accepts, of the clean or the working picture; an empty
    /// test takes the tint away.
    void setMatchPreview(const PixelMatch& matches, bool onCleanPicture);

signals:
    void pressed(QPoint position, unsigned shiftState);
    void moved(QPoint position, unsigned shiftState);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintPicture(QPainter& painter, const QRect& exposed);

    const Document& doc_;
    PixelMatch preview_;
    bool previewOnClean_ = false;
};

/// The shift state of a mouse event: keys and the buttons held, as ShiftFlag bits.
unsigned ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

} // namespace kurvana
