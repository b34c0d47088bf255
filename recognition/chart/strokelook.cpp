#include "recognition/chart/strokelook.h"

#include <algorithm>
#include <cmath>

namespace kurvana::chart {

namespace {

/// Shares of inked columns this far apart are one step between looks...
constexpr double kAlongStep = 0.25;
/// ... and so are dash lengths this many times apart (a dash against a dot).
constexpr double kDashStep = 2;
/// A stroke this much inked is solid: its dashes' length says nothing.
constexpr double kSolid = 0.9;

} // namespace

StrokeLook LookOf(const std::vector<bool>& inked) {
    StrokeLook look;
    int on = 0, runs = 0;
    for (std::size_t i = 0; i < inked.size(); ++i) {
        on += inked[i];
        runs += inked[i] && (i == 0 || !inked[i - 1]);
    }
    if (inked.empty())
        return look;
    look.inkAlong = double(on) / double(inked.size());
    look.dashLength = runs ? double(on) / runs : 0;
    return look;
}

double LookDistance(const StrokeLook& a, const StrokeLook& b) {
    const double along = std::abs(a.inkAlong - b.inkAlong) / kAlongStep;
    if (a.inkAlong >= kSolid || b.inkAlong >= kSolid || a.dashLength <= 0 || b.dashLength <= 0)
        return along;
    return along + std::abs(std::log(a.dashLength / b.dashLength)) / std::log(kDashStep);
}

} // namespace kurvana::chart
