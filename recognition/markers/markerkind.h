#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QRect>

namespace kurvana::markers {

enum class MarkerShape { Circle, Square, TriangleUp, TriangleDown, Diamond, Cross, Plus, Other };

/// What the sample marker looks like.
struct MarkerKind {
    MarkerShape shape = MarkerShape::Other;
    bool filled = false;
    int size = 0;             ///< the larger side of its ink, pixels
    std::uint32_t colour = 0; ///< 0xRRGGBB
};

/// The name the command line prints: circle, square, triangle-up, ...
const char* ShapeName(MarkerShape shape);

/// The marker's silhouette: its ink with any holes filled, one flag per pixel of `box`.
struct Silhouette {
    QRect box;
    std::vector<bool> inside;
    int inkCount = 0;
    int insideCount = 0;
    int holeCount = 0; ///< inside, but not ink even faintly
    /// The share of its box the shape covers, read from the ink's weights (holes covered
    /// fully) and with the box's sides where the edges' weights put them: on a small marker
    /// whole pixels make a circle's box tight and its fill a square's.
    double coveredFill = 0;
    /// The ink's weights (holes 1) over `coverArea`, the box and two pixels around it.
    QRect coverArea;
    std::vector<float> cover;

    bool at(int x, int y) const {
        return box.contains(x, y) &&
               inside[std::size_t(y - box.top()) * box.width() + (x - box.left())];
    }
};

/// Names the shape: from how much of its box the silhouette fills, how its width changes from
/// top to bottom, and where thin arms lie. `silhouette` has small gaps in its outline closed;
/// `unclosed` has not (a small cross's notches would close).
MarkerShape ClassifyShape(const Silhouette& silhouette, const Silhouette& unclosed);
/// Whether ink fills most of the silhouette.
bool IsFilled(const Silhouette& silhouette);

} // namespace kurvana::markers
