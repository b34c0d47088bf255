#include "io/pdfpagerequest.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QFileInfo>

#include "io/picturefile.h"

namespace kurvana {

namespace {

constexpr double kPointsPerInch = 72.0;
/// Where pixel positions stop growing: far beyond any picture, well within 64 bits and exact in
/// a double. A page box may hold any number (2e9 points, 1e300), and the size check must see
/// it as the huge size it is rather than a count wrapped around to something small.
constexpr double kPositionLimit = 1e15;

/// Pixels of a length in points at the request's resolution, held within 0 .. kPositionLimit.
double PixelsOf(double points, int dpi) {
    const double pixels = points * dpi / kPointsPerInch;
    return pixels > 0 ? std::min(pixels, kPositionLimit) : 0; // NaN too gives 0
}

} // namespace

bool PdfPixels::tooLarge() const {
    constexpr qint64 kLargestPosition = std::numeric_limits<int>::max();
    return width > kMaxPictureSide || height > kMaxPictureSide || left + width > kLargestPosition ||
           top + height > kLargestPosition;
}

QRect PdfPixels::rect() const {
    return tooLarge() ? QRect() : QRect(int(left), int(top), int(width), int(height));
}

PdfPixels PdfRenderPixels(const QSizeF& pageSize, const PdfPageRequest& request) {
    // Rounded to the nearest, as Poppler sizes its page bitmaps.
    const auto whole = [](double pixels) { return qint64(std::floor(pixels + 0.5)); };
    const qint64 pageWidth = whole(PixelsOf(pageSize.width(), request.dpi));
    const qint64 pageHeight = whole(PixelsOf(pageSize.height(), request.dpi));
    if (request.region.isEmpty())
        return {0, 0, pageWidth, pageHeight};
    const QRectF& r = request.region;
    // Outward to whole pixels, so that everything the user framed is inside; an edge that
    // falls on a pixel border within rounding noise stays there. Then within the page.
    constexpr double kNoise = 1e-6;
    const auto below = [&](double points, qint64 end) {
        return std::min(end, qint64(std::floor(PixelsOf(points, request.dpi) + kNoise)));
    };
    const auto above = [&](double points, qint64 end) {
        return std::min(end, qint64(std::ceil(PixelsOf(points, request.dpi) - kNoise)));
    };
    const qint64 left = below(r.left(), pageWidth), top = below(r.top(), pageHeight);
    const qint64 right = above(r.right(), pageWidth), bottom = above(r.bottom(), pageHeight);
    return {left, top, std::max<qint64>(0, right - left), std::max<qint64>(0, bottom - top)};
}

QRect PdfPixelRect(const QSizeF& pageSize, const PdfPageRequest& request) {
    return PdfRenderPixels(pageSize, request).rect();
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
