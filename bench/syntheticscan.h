#pragma once

#include <array>
#include <vector>

#include <QImage>
#include <QPoint>

#include "platform/colour.h"

namespace kurvana::bench {

/// A chart scan drawn in memory: white paper with a few dust specks, a grid, black axes and
/// five curves of distinct exact colours. The geometry is known, so the benchmark can place
/// the reference points on the axes and points on the curves.
struct SyntheticScan {
    QImage picture; ///< 32-bit RGB

    int axisColumn = 0; ///< the Y axis (the middle of its three columns)
    int axisRow = 0;    ///< the X axis (the middle of its three rows)
    int plotRight = 0;  ///< the X axis ends here
    int plotTop = 0;    ///< the Y axis ends here

    /// The exact colour of curve k (index 1..5; 0 unused).
    std::array<Colour, 6> curveColour{};

    /// The row of curve k at column x (x in the plot).
    int curveRow(int curve, int x) const;

    /// `count` points spread evenly over the plot's width, on curve k.
    std::vector<QPoint> pointsOnCurve(int curve, int count) const;
};

/// A scan of about `pixels` pixels with the aspect of a landscape page (7 : 5). The same size
/// gives the same picture.
SyntheticScan MakeSyntheticScan(long long pixels);

} // namespace kurvana::bench
