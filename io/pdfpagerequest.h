#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace kurvana {

/// Resolutions the page chooser and the command line accept, in dots per inch. 72 dpi is one
/// pixel per PDF point; 1200 dpi is what a vector chart needs for sub-pixel exactness, and the
/// picture limit bounds the size anyway.
constexpr int kPdfMinDpi = 72;
constexpr int kPdfMaxDpi = 1200;
constexpr int kPdfDefaultDpi = 300;

/// Which part of which PDF page becomes the picture, and how fine.
struct PdfPageRequest {
    int page = 1;             ///< 1-based, as the user counts pages
    int dpi = kPdfDefaultDpi; ///< dots per inch
    QRectF region;            ///< in PDF points from the page's top left; empty = whole page
};

/// The pixels a request renders, counted in 64 bits: a page box may be crafted to hold more
/// pixels than an int counts, and the size check must see the true size before anything is
/// drawn.
struct PdfPixels {
    qint64 left = 0, top = 0, width = 0, height = 0;
    /// Beyond the largest picture the program opens (PictureTooLarge), or beyond where a
    /// picture position reaches.
    bool tooLarge() const;
    /// As a rectangle; empty when too large.
    QRect rect() const;
};

/// The pixels the request renders from a page of `pageSize` points: the whole page at the
/// resolution, or the region's pixels within it.
PdfPixels PdfRenderPixels(const QSizeF& pageSize, const PdfPageRequest& request);

/// PdfRenderPixels as a rectangle: empty when too large, so that such a page is never drawn.
QRect PdfPixelRect(const QSizeF& pageSize, const PdfPageRequest& request);

/// Megabytes a 32-bit picture of `size` takes, as the chooser shows it.
double PictureMegabytes(const QSize& size);

/// The picture's name: the PDF's stem plus the page ("paper-p7"), in the PDF's folder and with
/// a four-letter ending, so that Save Data proposes "paper-p7" for the picture copy.
QString PdfPictureName(const QString& pdfPath, int page);

} // namespace kurvana
