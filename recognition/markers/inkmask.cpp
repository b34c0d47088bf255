#include "recognition/markers/inkmask.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include <QImage>

namespace kurvana::markers {

namespace {

/// Below this share of the ink colour a pixel is paper with a tint (scanner noise, JPEG
/// ringing), not ink.
constexpr double kLeastShare = 0.1;
/// A pixel strays to another colour beyond this share of the contrast (at tolerance 1).
constexpr double kStrayShare = 0.4;
/// ... and, beyond the ink (darker than the ink itself, as no blend of it with paper is), beyond
/// this share across the line through it: black is not a darker green.
constexpr double kBeyondInkShare = 0.25;
/// Weight from which a pixel continues a line being followed: its faint anti-aliased side.
constexpr std::uint8_t kLineTrace = 64;
/// Directions tried for a line through a pixel: every 11.25 degrees.
constexpr int kDirections = 16;

} // namespace

InkMask::InkMask(QRect area) : area_(area), weights_(std::size_t(area.width()) * area.height()) {}

InkWeight::InkWeight(const Rgb& paper, const Rgb& ink, double tolerance)
    : paper_(paper), contrast_(ink - paper), contrastSquare_(contrast_.dot(contrast_)) {
    const double limit = kStrayShare * tolerance, beyond = kBeyondInkShare * tolerance;
    strayLimitSquare_ = limit * limit * contrastSquare_;
    beyondLimitSquare_ = beyond * beyond * contrastSquare_;
}

std::uint8_t InkWeight::operator()(int r, int g, int b) const {
    const Rgb offset = Rgb{double(r), double(g), double(b)} - paper_;
    const double along = offset.dot(contrast_) / contrastSquare_;
    const double share = std::clamp(along, 0.0, 1.0);
    if (share < kLeastShare)
        return 0;
    // Beyond the ink, only the stray across the line from paper through the ink counts, but
    // held closer to it.
    const Rgb stray = offset - contrast_ * std::max(share, along);
    if (stray.dot(stray) > (along > 1 ? beyondLimitSquare_ : strayLimitSquare_))
        return 0;
    return std::uint8_t(std::lround(share * 255));
}

bool PaperView::drawnAt(int x, int y) const {
    constexpr double kDrawn = 40; // well above a JPEG's noise on paper
    if (!picture || !picture->rect().contains(x, y))
        return false;
    const QRgb p = reinterpret_cast<const QRgb*>(picture->constScanLine(y))[x];
    return std::max({std::fabs(qRed(p) - paper.r), std::fabs(qGreen(p) - paper.g),
                     std::fabs(qBlue(p) - paper.b)}) >= kDrawn;
}

InkMask MatchColour(const QImage& picture, QRect area, const InkWeight& weight) {
    InkMask mask(area.intersected(picture.rect()));
    const QRect clipped = mask.area();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        std::uint8_t* out = mask.row(y);
        // Runs of one colour (the paper above all) are weighed once.
        QRgb last = line[clipped.left()];
        std::uint8_t lastWeight = weight(qRed(last), qGreen(last), qBlue(last));
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb p = line[x];
            if (p != last) {
                last = p;
                lastWeight = weight(qRed(p), qGreen(p), qBlue(p));
            }
            *out++ = lastWeight;
        }
    }
    return mask;
}

namespace {

/// The length of the ink run (weight >= kInkHalf) through (x, y) along (dx, dy), counted up to
/// `limit`.
int runThrough(const InkMask& mask, int x, int y, int dx, int dy, int limit) {
    int run = 1;
    for (int side : {1, -1})
        for (int t = 1; run <= limit && mask.at(x + side * t * dx, y + side * t * dy) >= kInkHalf;
             ++t)
            ++run;
    return run;
}

/// The largest angle, from the direction being tried, at which a line is still followed:
/// half the angle between two directions, so every straight line is followed along one of
/// them over its whole length, while an outline curving away is left within a few pixels.
const double kDrift = std::tan(std::numbers::pi / kDirections / 2) + 0.01;

/// How many pixels ink continues from (x, y) along (dx, dy), up to `limit`: a pixel one to
/// the side may carry it on, as long as the line stays within kDrift of the direction.
int followLine(const InkMask& mask, int x, int y, double dx, double dy, int limit) {
    double side = 0; // pixels across the direction the line has drifted
    int reached = 0, lastShift = 0;
    // One step without ink is passed over: a thin slanted line's pixels lie off the steps'
    // grid, and its faintest ones fall below the trace. A line within kDrift of the direction
    // moves a pixel to the side at most every 1 / kDrift steps; an outline curving away, or a
    // jump to other ink, moves faster.
    for (int t = 1; t <= limit && t <= reached + 2; ++t)
        for (double shift : {0.0, 1.0, -1.0}) {
            if (shift != 0 && t > 2 && (t - lastShift) * kDrift < 0.5)
                continue;
            const double across = side + shift;
            const int px = x + int(std::lround(t * dx - across * dy));
            const int py = y + int(std::lround(t * dy + across * dx));
            if (mask.at(px, py) >= kLineTrace) {
                if (shift != 0)
                    lastShift = t;
                side = across;
                reached = t;
                break;
            }
        }
    return reached;
}

/// Whether ink continues straight through (x, y) for `shortest` pixels along some direction.
bool onLongLine(const InkMask& mask, int x, int y, int shortest) {
    for (int k = 0; k < kDirections; ++k) {
        const double angle = k * std::numbers::pi / kDirections;
        const double dx = std::cos(angle), dy = std::sin(angle);
        const int ahead = followLine(mask, x, y, dx, dy, shortest);
        if (1 + ahead + followLine(mask, x, y, -dx, -dy, shortest - 1 - ahead) >= shortest)
            return true;
    }
    return false;
}

} // namespace

InkMask WithoutLines(const InkMask& mask, int shortest, int widest) {
    InkMask cleaned = mask;
    const QRect area = mask.area();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t* weights = mask.row(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (weights[x - area.left()] < kLineTrace)
                continue;
            const bool thin = runThrough(mask, x, y, 1, 0, widest) <= widest ||
                              runThrough(mask, x, y, 0, 1, widest) <= widest;
            if (thin && onLongLine(mask, x, y, shortest))
                cleaned.set(x, y, 0);
        }
    }
    return cleaned;
}

} // namespace kurvana::markers
