#pragma once

#include <QRect>

#include "core/workspace.h"

class QImage;
class QPainter;

namespace kurvana {

/// Paints a translucent tint over the pixels of `area` (picture pixels) of `picture` that
/// `matches` accepts and a white veil over the others, the picture shown `scale` times its
/// size. Only that area is read, so a
/// large scan costs no more than the part on the screen.
void PaintMatchPreview(QPainter& painter, const QImage& picture, const PixelMatch& matches,
                       const QRect& area, double scale);

} // namespace kurvana
