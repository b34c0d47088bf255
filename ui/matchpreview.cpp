#include "ui/matchpreview.h"

#include <QImage>
#include <QPainter>

namespace kurvana {

namespace {
/// A green that stands out on paper and on the usual curve colours, half transparent so the
/// stroke stays visible beneath.
constexpr QRgb kTint = qRgba(0, 200, 0, 150);
} // namespace

void PaintMatchPreview(QPainter& painter, const QImage& picture, const PixelMatch& matches,
                       const QRect& area, double scale) {
    const QRect inside = area.intersected(picture.rect());
    if (inside.isEmpty() || !matches)
        return;
    QImage tint(inside.size(), QImage::Format_ARGB32_Premultiplied);
    tint.fill(Qt::transparent);
    const QRgb premultiplied = qPremultiply(kTint);
    for (int y = 0; y < inside.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(picture.constScanLine(inside.top() + y));
        auto* target = reinterpret_cast<QRgb*>(tint.scanLine(y));
        for (int x = 0; x < inside.width(); ++x)
            if (matches(colourFromQRgb(source[inside.left() + x])))
                target[x] = premultiplied;
    }
    const QRectF shown(inside.left() * scale, inside.top() * scale, inside.width() * scale,
                       inside.height() * scale);
    painter.drawImage(shown, tint);
}

} // namespace kurvana
