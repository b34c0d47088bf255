#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

namespace kurvana {

/// The magnifier picture around picture pixel (x, y): the 31 x 31 square centred on it,
/// enlarged to 120 x 120 from its top-left corner and cut to 98 x 98, with the blue cross-hair
/// at 60. Outside the picture it shows white.
QImage MagnifierImage(const QImage& picture, int x, int y);

/// TFormZoom: the magnifier window; it shows itself at start and stays visible.
class TFormZoom : public QWidget {
    Q_OBJECT
public:
    explicit TFormZoom(QWidget* parent = nullptr);

    /// ShowMagnifier.
    void showAround(const QImage& picture, int x, int y);
    const QImage& image() const { return image_; }

private:
    QLabel* ImageZoom;
    QImage image_;
};

} // namespace kurvana
