#pragma once

#include <optional>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace e2e {

/// Where on the screen picture pixel (0, 0) is shown: the offset at which the most sample
/// pixels of `picture` agree with the screenshot. Marks and the axes drawing change a few
/// pixels, so up to `allowedMismatch` (a fraction of the samples) may differ.
std::optional<QPoint> LocatePicture(const QImage& screen, const QImage& picture, const QRect& area,
                                    double allowedMismatch = 0.05);

/// Centre of the first place (top to bottom, left to right) inside `area` where every fully
/// opaque pixel of `icon` is shown unchanged: a toolbar button found by its image.
std::optional<QPoint> FindIcon(const QImage& screen, const QImage& icon, const QRect& area);

/// Centres of the places inside `area` where dark text of the shape `glyphs` stands on a light
/// ground. `glyphs` is the text drawn black on white (see RenderText).
std::vector<QPoint> FindText(const QImage& screen, const QImage& glyphs, const QRect& area);

/// Centre of the first solid block of exactly `rgb`, at least `size`, inside `area`.
std::optional<QPoint> FindSolidBlock(const QImage& screen, QRgb rgb, QSize size, const QRect& area);

/// `text` drawn black on white in the application's font, cropped to its ink, starting
/// `shift` of a pixel to the right (captions centred in a button start between pixels). A "&"
/// marks an access letter as in captions: underlined when `underline`, else left out.
QImage RenderText(const QString& text, double shift, bool underline);

/// Every way `text` may be shown: at four sub-pixel shifts, with and without the underline of
/// an access letter.
std::vector<QImage> TextVariants(const QString& text);

} // namespace e2e
