#include "ui/matchpreview.h"

#include <QImage>
#include <QPainter>

namespace kurvana {

namespace {
/// Matching pixels take a green tint; everything else fades behind a white veil, so that what
/// the search would take stands out whatever the curve's colour.
constexpr QRgb kTint = qRgba(0, 200, 0, 200);
constexpr QRgb kVeil = qRgba(255, 255, 255, 190);
} // namespace

void PaintMatchPreview(QPainter& painter, const QImage& picture, const PixelMatch& matches,
                       const QRect& area, double scale) {
    const QRect inside = area.intersected(picture.rect());
    if (inside.isEmpty() || !matches)
        return;
    QImage tint(inside.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb tinted = qPremultiply(kTint);
    const QRgb veiled = qPremultiply(kVeil);
    for (int y = 0; y < inside.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(picture.constScanLine(inside.top() + y));
        auto* target = reinterpret_cast<QRgb*>(tint.scanLine(y));
        for (int x = 0; x < inside.width(); ++x)
            target[x] = matches(colourFromQRgb(source[inside.left() + x])) ? tinted : veiled;
    }
    const QRectF shown(inside.left() * scale, inside.top() * scale, inside.width() * scale,
                       inside.height() * scale);
    painter.drawImage(shown, tint);
}

} // namespace kurvana
