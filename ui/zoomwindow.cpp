#include "ui/zoomwindow.h"

#include <QLabel>
#include <QPixmap>

namespace kurvana {

namespace {
constexpr int kSide = 98;                // the magnifier's picture
constexpr int kSquare = 31;              // picture pixels taken around the centre
constexpr int kEnlarged = 120;           // the square's size after enlarging
constexpr QRgb kCrossHair = 0xFF0000FFu; // blue
} // namespace

QImage MagnifierImage(const QImage& picture, int x, int y) {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    const int left = x - 15;
    const int top = y - 15;
    const int width = picture.width(), height = picture.height(); // out of line in Qt
    for (int ty = 0; ty < kSide; ++ty) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(ty));
        const int sy = top + ty * kSquare / kEnlarged;
        const bool rowInside = sy >= 0 && sy < height;
        const auto* in =
            rowInside ? reinterpret_cast<const QRgb*>(picture.constScanLine(sy)) : nullptr;
        for (int tx = 0; tx < kSide; ++tx) {
            const int sx = left + tx * kSquare / kEnlarged;
            out[tx] = (in && sx >= 0 && sx < width) ? in[sx] : 0xFFFFFFFFu;
        }
    }
    for (int i = 1; i < kSide; ++i) {
        reinterpret_cast<QRgb*>(image.scanLine(60))[i] = kCrossHair;
        reinterpret_cast<QRgb*>(image.scanLine(i))[60] = kCrossHair;
    }
    return image;
}

TFormZoom::TFormZoom(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint),
      ImageZoom(new QLabel(this)) {
    setObjectName("FormZoom");
    setWindowTitle("Zoom");
    ImageZoom->setObjectName("ImageZoom");
    ImageZoom->setGeometry(0, 0, kSide, kSide);
    setFixedSize(107, 101);
    move(35, 466);
    image_ = QImage(kSide, kSide, QImage::Format_RGB32);
    image_.fill(Qt::white);
    ImageZoom->setPixmap(QPixmap::fromImage(image_));
}

void TFormZoom::showAround(const QImage& picture, int x, int y) {
    image_ = MagnifierImage(picture, x, y);
    ImageZoom->setPixmap(QPixmap::fromImage(image_));
}

} // namespace kurvana
