#pragma once

#include <QImage>
#include <QPoint>

namespace examples {

/// The paper turned counter-clockwise by `degrees` about the picture centre, resampled
/// bilinearly into a picture of the same size; what falls outside the paper is white.
QImage TiltPaper(const QImage& paper, double degrees);

/// The picture pixel that shows the centre of the paper pixel `paperPixel` after TiltPaper.
QPoint TiltedPixel(const QSize& size, double degrees, const QPoint& paperPixel);

/// Grey paper grain (every pixel a little darker, all three components alike) and isolated
/// dark dust specks, as a flatbed scan shows them. The same seed gives the same picture.
void AddScanNoise(QImage& picture, unsigned seed);

} // namespace examples
