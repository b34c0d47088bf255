#include "screensearch.h"

#include <algorithm>
#include <random>

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace e2e {

namespace {

QRgb pixelAt(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0xFFFFFF;
}

/// Candidate top-left corners inside `area` for something of `size` that must lie on the screen.
QRect candidateCorners(const QImage& screen, QSize size, const QRect& area) {
    const QRect fits(0, 0, screen.width() - size.width() + 1, screen.height() - size.height() + 1);
    return area.intersected(fits);
}

struct Sample {
    QPoint at;
    QRgb rgb;
};

/// Pixels of the picture that tell one placement from another: mostly ink, some paper, spread
/// over the whole picture and shuffled so that a wrong placement fails within a few reads.
std::vector<Sample> pictureSamples(const QImage& picture) {
    std::vector<Sample> ink;
    std::vector<Sample> paper;
    for (int y = 2; y < picture.height(); y += 5)
        for (int x = 2; x < picture.width(); x += 5) {
            const QRgb rgb = pixelAt(picture, x, y);
            (qGray(rgb) < 235 ? ink : paper).push_back({QPoint(x, y), rgb});
        }
    std::mt19937 shuffle(20000118);
    std::shuffle(ink.begin(), ink.end(), shuffle);
    std::shuffle(paper.begin(), paper.end(), shuffle);
    ink.resize(std::min<std::size_t>(ink.size(), 500));
    paper.resize(std::min<std::size_t>(paper.size(), 100));
    ink.insert(ink.end(), paper.begin(), paper.end());
    std::shuffle(ink.begin(), ink.end(), shuffle);
    return ink;
}

/// Mismatching samples at `corner`, counting only until `budget` is exceeded.
int mismatches(const QImage& screen, const std::vector<Sample>& samples, QPoint corner,
               int budget) {
    int misses = 0;
    for (const Sample& s : samples) {
        if (pixelAt(screen, corner.x() + s.at.x(), corner.y() + s.at.y()) != s.rgb &&
            ++misses > budget)
            break;
    }
    return misses;
}

struct TextMask {
    std::vector<QPoint> ink;    ///< core of the glyphs: must be dark on the screen
    std::vector<QPoint> ground; ///< around and between the glyphs: must be light
};

TextMask textMask(const QImage& glyphs) {
    TextMask mask;
    for (int y = 0; y < glyphs.height(); ++y)
        for (int x = 0; x < glyphs.width(); ++x) {
            const int grey = qGray(pixelAt(glyphs, x, y));
            if (grey < 100)
                mask.ink.push_back({x, y});
            else if (grey > 235)
                mask.ground.push_back({x, y});
        }
    std::mt19937 shuffle(1251);
    std::shuffle(mask.ink.begin(), mask.ink.end(), shuffle);
    return mask;
}

/// Whether `points` at `corner` pass `test` for all but 5 percent of them.
template <typename Test>
bool mostlyPass(const QImage& screen, const std::vector<QPoint>& points, QPoint corner, Test test) {
    const int budget = static_cast<int>(points.size() / 20);
    int misses = 0;
    for (const QPoint& p : points)
        if (!test(qGray(pixelAt(screen, corner.x() + p.x(), corner.y() + p.y()))) &&
            ++misses > budget)
            return false;
    return true;
}

} // namespace

std::optional<QPoint> LocatePicture(const QImage& screen, const QImage& picture, const QRect& area,
                                    double allowedMismatch) {
    const std::vector<Sample> samples = pictureSamples(picture);
    if (samples.empty())
        return std::nullopt;
    const QRect corners = candidateCorners(screen, picture.size(), area);
    int best = static_cast<int>(samples.size() * allowedMismatch);
    std::optional<QPoint> found;
    for (int y = corners.top(); y <= corners.bottom(); ++y)
        for (int x = corners.left(); x <= corners.right(); ++x) {
            const int misses = mismatches(screen, samples, QPoint(x, y), best);
            if (misses <= best) {
                best = misses - 1; // from now on only a better placement counts
                found = QPoint(x, y);
            }
        }
    return found;
}

std::optional<QPoint> FindIcon(const QImage& screen, const QImage& icon, const QRect& area) {
    std::vector<Sample> opaque;
    const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb rgba = reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x];
            if (qAlpha(rgba) == 255)
                opaque.push_back({QPoint(x, y), rgba & 0xFFFFFF});
        }
    if (opaque.empty())
        return std::nullopt;
    const int budget = static_cast<int>(opaque.size() / 50);
    const QRect corners = candidateCorners(screen, icon.size(), area);
    for (int y = corners.top(); y <= corners.bottom(); ++y)
        for (int x = corners.left(); x <= corners.right(); ++x)
            if (mismatches(screen, opaque, QPoint(x, y), budget) <= budget)
                return QPoint(x + icon.width() / 2, y + icon.height() / 2);
    return std::nullopt;
}

std::vector<QPoint> FindText(const QImage& screen, const QImage& glyphs, const QRect& area) {
    const TextMask mask = textMask(glyphs);
    std::vector<QPoint> found;
    if (mask.ink.empty())
        return found;
    const QRect corners = candidateCorners(screen, glyphs.size(), area);
    auto dark = [](int grey) { return grey < 128; };
    auto light = [](int grey) { return grey > 170; };
    for (int y = corners.top(); y <= corners.bottom(); ++y)
        for (int x = corners.left(); x <= corners.right(); ++x) {
            const QPoint corner(x, y);
            const bool overlaps = std::any_of(found.begin(), found.end(), [&](QPoint centre) {
                return std::abs(centre.x() - glyphs.width() / 2 - x) < glyphs.width() &&
                       std::abs(centre.y() - glyphs.height() / 2 - y) < glyphs.height();
            });
            if (!overlaps && mostlyPass(screen, mask.ink, corner, dark) &&
                mostlyPass(screen, mask.ground, corner, light))
                found.push_back(corner + QPoint(glyphs.width() / 2, glyphs.height() / 2));
        }
    return found;
}

std::optional<QPoint> FindSolidBlock(const QImage& screen, QRgb rgb, QSize size,
                                     const QRect& area) {
    const QRect within = area.intersected(screen.rect());
    if (within.width() < size.width() || within.height() < size.height())
        return std::nullopt;
    // Running sums of matching pixels: the count inside any rectangle costs four reads.
    const int w = within.width();
    const int h = within.height();
    std::vector<int> sums(static_cast<std::size_t>((w + 1) * (h + 1)), 0);
    auto sum = [&](int x, int y) -> int& {
        return sums[static_cast<std::size_t>(y * (w + 1) + x)];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool match =
                pixelAt(screen, within.left() + x, within.top() + y) == (rgb & 0xFFFFFF);
            sum(x + 1, y + 1) = int(match) + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
        }
    const int full = size.width() * size.height();
    for (int y = 0; y + size.height() <= h; ++y)
        for (int x = 0; x + size.width() <= w; ++x) {
            const int inside = sum(x + size.width(), y + size.height()) -
                               sum(x, y + size.height()) - sum(x + size.width(), y) + sum(x, y);
            if (inside == full)
                return within.topLeft() + QPoint(x + size.width() / 2, y + size.height() / 2);
        }
    return std::nullopt;
}

QImage RenderText(const QString& text, double shift, bool underline) {
    const QFont font = QGuiApplication::font();
    const QFontMetrics metrics(font);
    const QSize canvas(metrics.horizontalAdvance(text) + 20, metrics.height() + 20);
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const int flags = underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
        painter.drawText(QRectF(10 + shift, 10, canvas.width() - 20, metrics.height()), flags,
                         text);
    }
    // Crop to the ink with one pixel of ground around it.
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(pixelAt(image, x, y)) < 250)
                ink |= QRect(x, y, 1, 1);
    return ink.isEmpty() ? QImage() : image.copy(ink.adjusted(-1, -1, 1, 1));
}

std::vector<QImage> TextVariants(const QString& text) {
    std::vector<QImage> variants;
    const bool accessLetter = QString(text).remove("&&").contains('&');
    for (const bool underline : {true, false}) {
        if (underline && !accessLetter)
            continue;
        for (const double shift : {0.0, 0.25, 0.5, 0.75}) {
            const QImage image = RenderText(text, shift, underline);
            if (!image.isNull())
                variants.push_back(image);
        }
    }
    return variants;
}

} // namespace e2e
