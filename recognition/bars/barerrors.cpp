#include "recognition/bars/barerrors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QImage>

#include "recognition/bars/barfinder.h"
#include "recognition/markers/errorbars.h"
#include "recognition/markers/inkmask.h"

namespace kurvana {

namespace {

/// How far beyond the bar's end the error bar's colour is looked for, pixels.
constexpr int kLookBeyond = 12;
/// A colour this far (largest component) from both the paper and the bar is the error bar's.
constexpr int kOwnColour = 60;
/// The radius of a point an error-bar plot may draw on the bar's end, pixels.
constexpr int kPointRadius = 4;
/// Half the width of the strip searched for the bar and its cap, pixels.
constexpr int kStripHalfWidth = 16;

int LargestDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

RgbVector VectorOf(QRgb c) {
    return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
}

int DistanceSquare(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

/// Takes out of the mask what is nearer the bar's colour than the error bar's: a bar of a mid
/// colour lies near the line from the paper to a black error bar, and would carry it on.
void whitenBarColour(markers::InkMask& mask, const QImage& picture, QRgb bar, QRgb ink) {
    const QRect area = mask.area();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        std::uint8_t* out = mask.row(y);
        for (int x = area.left(); x <= area.right(); ++x, ++out)
            if (*out != 0 && DistanceSquare(line[x], bar) < DistanceSquare(line[x], ink))
                *out = 0;
    }
}

} // namespace

std::optional<BarEnds> ErrorBarOfBar(const QImage& picture, QRgb paper, QRgb barColour,
                                     const FoundBar& bar, bool horizontal) {
    // Outwards from the end: up for a bar standing on its base, down for one hanging from it;
    // right for a horizontal bar growing rightwards.
    const int outwards = horizontal ? (bar.negative ? -1 : 1) : (bar.negative ? 1 : -1);
    const int across = int(std::lround(bar.centre));
    const int end = int(std::lround(bar.end));
    const auto pixelAt = [&](int along, int side) {
        const int x = horizontal ? along : across + side, y = horizontal ? across + side : along;
        return picture.valid(x, y) ? picture.pixel(x, y) : paper;
    };
    // The error bar's colour: the strongest pixel of a colour of its own just beyond the end,
    // over the three pixels across (a thin stroke between pixels is pale on either of them).
    std::optional<QRgb> ink;
    for (int step = 1; step <= kLookBeyond; ++step)
        for (int side = -1; side <= 1; ++side) {
            const QRgb c = pixelAt(end + outwards * step, side);
            if (LargestDifference(c, paper) >= kOwnColour &&
                LargestDifference(c, barColour) >= kOwnColour &&
                (!ink || LargestDifference(c, paper) > LargestDifference(*ink, paper)))
                ink = c;
        }
    if (!ink)
        return std::nullopt;
    const QRect strip =
        horizontal ? QRect(0, across - kStripHalfWidth, picture.width(), 2 * kStripHalfWidth + 1)
                   : QRect(across - kStripHalfWidth, 0, 2 * kStripHalfWidth + 1, picture.height());
    markers::InkMask mask = markers::MatchColour(
        picture, strip, markers::InkWeight(VectorOf(paper), VectorOf(*ink), 1.0));
    whitenBarColour(mask, picture, barColour, *ink);
    const QPointF centre = horizontal ? QPointF(bar.end, bar.centre) : QPointF(bar.centre, bar.end);
    // Past the end pixel by a point's radius: an error-bar plot may draw its point there.
    const QRect endPixel = horizontal ? QRect(end - kPointRadius, across, 2 * kPointRadius + 1, 1)
                                      : QRect(across, end - kPointRadius, 1, 2 * kPointRadius + 1);
    return markers::ErrorBar(mask, centre, endPixel, !horizontal);
}

} // namespace kurvana
