#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

namespace kurvana {

/// The enlarged page of the page chooser. Dragging a rectangle on it frames the region to
/// render; a click without dragging frames nothing again (the whole page).
class PagePreview : public QWidget {
    Q_OBJECT
public:
    explicit PagePreview(QWidget* parent = nullptr);

    /// Shows `page` (rendered to fit the preview), whose size in points is `pageSize`; the
    /// region is cleared.
    void showPage(const QImage& page, const QSizeF& pageSize);
    /// The framed region in points from the page's top left; empty for the whole page.
    QRectF region() const;
    void clearRegion();

    QSize sizeHint() const override;

signals:
    void regionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect pageArea() const;
    QPointF toPage(QPoint position) const;

    QImage page_;
    QSizeF pageSize_;
    QPointF anchor_; ///< where the drag began, in points
    QRectF region_;  ///< in points
    bool dragging_ = false;
};

} // namespace kurvana
