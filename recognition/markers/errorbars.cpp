#include "recognition/markers/errorbars.h"

#include <algorithm>
#include <cmath>

namespace kurvana::markers {

namespace {

/// Weight from which a pixel carries the bar on.
constexpr std::uint8_t kBarInk = 96;
/// A bar shorter than this beyond the marker is none (the stub of a line or a blur).
constexpr int kShortestBar = 2;
/// The longest gap in a bar that it carries on across.
constexpr int kBridgedGap = 4;
/// A cap reaches this many pixels further across than the bar's own half width.
constexpr int kCapReach = 2;

/// The mask read along a bar (`along`) and across it, whichever way the bar runs.
struct BarView {
    const InkMask& mask;
    bool upright;
    const PaperView& paper;

    /// Whether anything but paper is drawn at the three pixels across the bar at `along`.
    bool drawnOver(int along, int across) const {
        for (int side = -1; side <= 1; ++side)
            if (upright ? paper.drawnAt(across + side, along) : paper.drawnAt(along, across + side))
                return true;
        return false;
    }

    int at(int along, int across) const {
        return upright ? mask.at(across, along) : mask.at(along, across);
    }
    /// The strongest weight of the three pixels across the bar at `along`.
    int across3(int along, int across) const {
        return std::max({at(along, across - 1), at(along, across), at(along, across + 1)});
    }
    /// How far ink reaches across from the bar's middle at `along`, either side.
    int reachAcross(int along, int across) const {
        int reach = 0;
        while (reach < 64 && (at(along, across - reach - 1) >= kBarInk ||
                              at(along, across + reach + 1) >= kBarInk))
            ++reach;
        return reach;
    }
};

/// One end of the bar, followed from `start` (just outside the marker) in `step` (+1 or -1).
std::optional<double> barEnd(const BarView& view, int start, int across, int step) {
    int along = start;
    int last = start - step;
    const QRect area = view.mask.area();
    const int edge = step < 0 ? (view.upright ? area.top() : area.left())
                              : (view.upright ? area.bottom() : area.right());
    // A gap of up to a few pixels is bridged: another series' line crossing the bar, drawn over
    // it, or a pixel whose colour a JPEG's blocks moved off the ink's.
    auto carriesOn = [&](int from) {
        for (int gap = 0; gap <= kBridgedGap; ++gap) {
            const int a = from + step * gap;
            if ((step < 0 ? a < edge : a > edge))
                return false;
            if (view.across3(a, across) >= kBarInk)
                return gap == 0 || (a != edge && view.across3(a + step, across) >= kBarInk);
            if (!view.drawnOver(a, across))
                return false;
        }
        return false;
    };
    while (carriesOn(along)) {
        while (view.across3(along, across) < kBarInk)
            along += step;
        // A line that runs to the picture's edge is a grid line or an axis, not a bar.
        if (along == edge)
            return std::nullopt;
        last = along;
        along += step;
    }
    const int length = (last - start) * step + 1;
    if (length < kShortestBar)
        return std::nullopt;
    const int middle = start + step * (length / 2);
    const int barReach = view.reachAcross(middle, across);
    const int barWeight = std::max(1, view.across3(middle, across));
    // A cap: the last few rows reach clearly further across than the bar; its centre line is
    // the weighted middle of those rows.
    double sum = 0, sumAlong = 0;
    for (int a = last - 2 * step; a != last + 2 * step; a += step)
        if (view.reachAcross(a, across) >= barReach + kCapReach) {
            const double w = view.at(a, across + barReach + kCapReach) +
                             view.at(a, across - barReach - kCapReach);
            sum += w;
            sumAlong += w * a;
        }
    if (sum > 0)
        return sumAlong / sum;
    // No cap: the bar's ink covers the last pixel partly, from the side it comes from.
    const double covered = std::min(1.0, double(view.across3(last, across)) / barWeight);
    return last + step * (covered - 0.5);
}

} // namespace

std::optional<BarEnds> ErrorBar(const InkMask& mask, QPointF centre, QRect box, bool upright,
                                const PaperView& paper) {
    const BarView view{mask, upright, paper};
    const int across = int(std::lround(upright ? centre.x() : centre.y()));
    const int before = (upright ? box.top() : box.left()) - 1;
    const int after = (upright ? box.bottom() : box.right()) + 1;
    const auto first = barEnd(view, before, across, -1);
    const auto second = barEnd(view, after, across, +1);
    if (!first || !second)
        return std::nullopt;
    // Picture y grows downwards: an upright bar's low end is the one below.
    return upright ? BarEnds{*second, *first} : BarEnds{*first, *second};
}

} // namespace kurvana::markers
