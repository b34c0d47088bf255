#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include <QRect>
#include <QRgb>

#include "core/paper.h"

class QImage;

namespace kurvana::chart {

/// One colour of ink in the plot area: the colour at full strength and the direction from the
/// paper towards it, which its anti-aliased fringes share.
struct InkColour {
    QRgb colour = 0;
    RgbVector towards;    ///< paper minus the full colour
    bool neutral = false; ///< grey or black: the colour of axes, grid, frame and text too
    int pixels = 0;
};

/// The plot area's pixels sorted by ink colour. A label per pixel: 0 paper, kStructure for
/// pixels recognised as axes, grid, ticks, frame, text or legend, else 1 + the colour's index.
struct InkMap {
    static constexpr std::uint8_t kPaper = 0;
    static constexpr std::uint8_t kStructure = 255;
    QRect area;
    RgbVector paper;
    std::vector<InkColour> colours;
    std::vector<std::uint8_t> labels; ///< area.width() per row, row by row

    /// The labels of picture row y, indexed from the area's left edge.
    std::uint8_t* row(int y) {
        return &labels[std::size_t(y - area.top()) * std::size_t(area.width())];
    }
    const std::uint8_t* row(int y) const {
        return &labels[std::size_t(y - area.top()) * std::size_t(area.width())];
    }
    std::uint8_t& at(int x, int y) {
        return labels[std::size_t(y - area.top()) * std::size_t(area.width()) +
                      std::size_t(x - area.left())];
    }
    std::uint8_t at(int x, int y) const {
        return labels[std::size_t(y - area.top()) * std::size_t(area.width()) +
                      std::size_t(x - area.left())];
    }
};

/// How strong the ink of `pixel` is, 0..1, as a mix of the paper and `ink`: its projection on
/// the line between them; 0 where it lies far off that line (another colour).
double InkStrength(QRgb pixel, const RgbVector& paper, const InkColour& ink);

/// Clusters the non-paper pixels of `area` (an RGB32 picture) by their direction from the
/// paper, so that each colour's fringes join it, and labels every pixel clearly off the paper
/// with its colour. Gives an empty map when cancelled.
InkMap MapInks(const QImage& picture, const QRect& area, const std::atomic_bool* cancel);

} // namespace kurvana::chart
