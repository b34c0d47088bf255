#pragma once

#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QRgb>

#include "recognition/markers/findmarkers.h"

class QImage;

namespace kurvana {

/// One bar (or one segment of a stacked bar) in picture pixels, pixel centres whole numbers.
struct FoundBar {
    QRect box;         ///< the pixels of the bar's colour
    double centre = 0; ///< across the bar: x of a vertical bar, y of a horizontal one
    /// The bar's value end across the value axis (a row of vertical bars, a column of horizontal
    /// ones), to a fraction of a pixel: the edge of its colour, or the middle of a border drawn
    /// around it.
    double end = 0;
    bool negative = false; ///< the bar grows from the base towards smaller values
    /// The error bar through the end, where one is drawn: picture rows of a vertical bar's
    /// (low = the larger row), columns of a horizontal one's.
    std::optional<BarEnds> error;
};

/// What one click on a bar finds: every bar of that colour standing on the same base line.
struct BarSearch {
    QRgb colour = 0;
    bool horizontal = false;    ///< bars lie along X; their value is at their left or right end
    int base = 0;               ///< the row (column) of the base line's side of the bars
    std::vector<FoundBar> bars; ///< in picture order: left to right, or top to bottom
    /// The point a bar gives: (centre, value) for vertical bars, (value, centre) for horizontal.
    QPoint pointOf(const FoundBar& bar) const;
};

/// How far a pixel's colour may lie from the clicked bar's colour, 0..255 per component.
constexpr int kDefaultBarTolerance = 60;

/// Finds the bars of the colour under `click`. A pixel counts as the bar's when it lies at least
/// half way from the paper to the bar colour (so anti-aliased edges are cut at the bar's true
/// edge) and within `tolerance` of the colour line between them; thin lines drawn over a bar (an
/// error bar, a grid line) are closed over. The base line is the edge that most bars share;
/// bars that stand on it grow upwards (rightwards), those hanging from it downwards (leftwards);
/// segments of stacked bars give their own ends. Bars that touch side by side (histograms) are
/// split where their ends change. Nothing when the click is not on a bar-like area of a colour
/// other than the paper's. Reads `picture` only, row by row.
std::optional<BarSearch> FindBars(const QImage& picture, QPoint click,
                                  int tolerance = kDefaultBarTolerance);

} // namespace kurvana
