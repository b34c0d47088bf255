#pragma once

#include <cstdint>
#include <vector>

#include <QRect>

#include "core/paper.h"

class QImage;

namespace kurvana::markers {

using Rgb = RgbVector;

/// How strongly a part of the picture is inked with one colour: 0 (paper or another colour)
/// to 255 (the full colour; anti-aliased edges and blurred pixels take a share), one byte per
/// pixel in rows. Only the rectangle it was made for is held; outside it reads as paper.
class InkMask {
public:
    InkMask() = default;
    InkMask(QRect area);

    QRect area() const { return area_; }
    std::uint8_t at(int x, int y) const { return area_.contains(x, y) ? weights_[index(x, y)] : 0; }
    std::uint8_t* row(int y) { return weights_.data() + std::size_t(y - area_.top()) * stride(); }
    const std::uint8_t* row(int y) const {
        return weights_.data() + std::size_t(y - area_.top()) * stride();
    }
    void set(int x, int y, std::uint8_t w) { weights_[index(x, y)] = w; }

private:
    std::size_t stride() const { return std::size_t(area_.width()); }
    std::size_t index(int x, int y) const {
        return std::size_t(y - area_.top()) * stride() + std::size_t(x - area_.left());
    }

    QRect area_;
    std::vector<std::uint8_t> weights_;
};

/// Weighs pixels by how much of `ink` over `paper` they carry. A pixel whose colour strays from
/// the line between paper and ink by more than `tolerance` times 40 % of their contrast
/// belongs to something else (another series, a grey grid) and weighs 0.
class InkWeight {
public:
    InkWeight(const Rgb& paper, const Rgb& ink, double tolerance);
    std::uint8_t operator()(int r, int g, int b) const;

private:
    Rgb paper_, contrast_;
    double contrastSquare_, strayLimitSquare_, beyondLimitSquare_;
};

/// The mask of `area` (clipped to the picture) weighed by `weight`, read row by row.
InkMask MatchColour(const QImage& picture, QRect area, const InkWeight& weight);

/// The picture read against its paper: whether anything is drawn at a pixel, where the ink of
/// the marker's colour is missing (another series drawn over it, a JPEG's colour smear).
struct PaperView {
    const QImage* picture = nullptr; ///< none: nothing is known beyond the ink's colour
    Rgb paper;

    bool drawnAt(int x, int y) const;
};

/// A weight at least this is ink for run lengths and cut-outs (half the full colour).
constexpr std::uint8_t kInkHalf = 128;

/// Removes thin straight lines from the mask: joining lines, error bars, grid lines of the
/// marker's colour. A pixel goes when the ink across it is at most `widest` pixels thick
/// across its row or column, and ink continues straight through it, in some direction, for at
/// least `shortest` pixels (a marker's own thin strokes are shorter: outlines curve away,
/// a cross's arms end). Thick parts (a filled marker's body) always stay.
InkMask WithoutLines(const InkMask& mask, int shortest, int widest);

} // namespace kurvana::markers
