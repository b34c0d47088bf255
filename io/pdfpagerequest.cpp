#include "io/pdfpagerequest.h"

#include <cmath>

#include <QFileInfo>

namespace kurvana {

namespace {

constexpr double kPointsPerInch = 72.0;

/// Pixels of a length in points, as Poppler sizes its page bitmaps (rounded to the nearest).
int PixelsOf(double points, int dpi) {
    return int(std::floor(points * dpi / kPointsPerInch + 0.5));
}

} // namespace

QRect PdfPixelRect(const QSizeF& pageSize, const PdfPageRequest& request) {
    const QRect page(0, 0, PixelsOf(pageSize.width(), request.dpi),
                     PixelsOf(pageSize.height(), request.dpi));
    if (request.region.isEmpty())
        return page;
    const QRectF& r = request.region;
    // Outward to whole pixels, so that everything the user framed is inside; an edge that
    // falls on a pixel border within rounding noise stays there.
    const auto pixels = [&request](double points) { return points * request.dpi / kPointsPerInch; };
    constexpr double kNoise = 1e-6;
    const QPoint topLeft(int(std::floor(pixels(r.left()) + kNoise)),
                         int(std::floor(pixels(r.top()) + kNoise)));
    const QPoint beyond(int(std::ceil(pixels(r.right()) - kNoise)),
                        int(std::ceil(pixels(r.bottom()) - kNoise)));
    return QRect(topLeft, QSize(beyond.x() - topLeft.x(), beyond.y() - topLeft.y()))
        .intersected(page);
}

double PictureMegabytes(const QSize& size) {
    return double(size.width()) * size.height() * 4.0 / (1024.0 * 1024.0);
}

QString PdfPictureName(const QString& pdfPath, int page) {
    const QFileInfo info(pdfPath);
    return info.absolutePath() + '/' + info.completeBaseName() + "-p" + QString::number(page) +
           '.' + info.suffix();
}

} // namespace kurvana
