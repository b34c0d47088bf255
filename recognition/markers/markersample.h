#pragma once

#include <optional>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QRect>

#include "recognition/markers/inkmask.h"
#include "recognition/markers/markerkind.h"

class QImage;

namespace kurvana::markers {

/// The sample marker as the search fits it: its ink weights (0 to 1) in a box around the
/// pixel nearest to its centre, one pixel of paper around the ink.
struct MarkerTemplate {
    QRect box; ///< offsets from the anchor pixel
    std::vector<float> weights;
    /// Inside the marker's outline but not ink: other ink there (the end of a line running
    /// to the centre) counts less against a match than ink around the marker.
    std::vector<bool> hole;
    /// Offsets within two pixels of the silhouette, flagged over `reach` (the box and two
    /// pixels around it): ink beyond belongs to neighbours and lines, not to a match's account.
    QRect reach;
    std::vector<bool> near;
    QPointF centreOffset; ///< the marker's centre minus the anchor pixel
    double inkSum = 0;

    float weight(int dx, int dy) const { return weights[index(dx, dy)]; }
    bool inHole(int dx, int dy) const { return box.contains(dx, dy) && hole[index(dx, dy)]; }
    bool isNear(int dx, int dy) const {
        return reach.contains(dx, dy) &&
               near[std::size_t(dy - reach.top()) * reach.width() + (dx - reach.left())];
    }
    std::size_t index(int dx, int dy) const {
        return std::size_t(dy - box.top()) * box.width() + std::size_t(dx - box.left());
    }
};

/// Everything the search takes from the clicked marker.
struct MarkerSample {
    MarkerKind kind;
    MarkerTemplate shape;
    InkWeight weight;
    Rgb paper, ink; ///< the colours `weight` weighs pixels between
    /// Thin straight ink at least this long is a line, not part of a marker.
    int lineLength = 0;
};

/// The widest stroke taken for a line (joining line, error bar, grid line).
constexpr int kWidestLine = 3;

/// Cuts out the marker under or nearest to `click` (within a few pixels of its ink): the
/// paper colour around it, its colour, its ink with lines running through it removed, its
/// kind. Nothing when no ink of a marker's size lies there.
std::optional<MarkerSample> CutSample(const QImage& picture, QPoint click, double tolerance);

} // namespace kurvana::markers
