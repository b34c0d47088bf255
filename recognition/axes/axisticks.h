#pragma once

#include <vector>

namespace kurvana {

struct GrayPicture;
struct AxisLine;

/// A short stroke across an axis line: a tick mark, or where a grid line or a curve meets it.
struct AxisTick {
    double along = 0; ///< sub-pixel position of its centre on the axis (AxisLine's along)
    int outside = 0;  ///< length beyond the axis on the side of the labels, pixels
    int inside = 0;   ///< length on the side of the plot
};

/// The side of an axis where its labels are: below an X axis, left of a Y axis. As a distance
/// sign for AxisLine::offsetPoint.
inline int LabelSide(bool upright) {
    return upright ? -1 : 1;
}

/// The tick marks along an axis line, in order along it: strokes of at least 3 pixels that leave
/// the line on either side, no wider than a few line widths.
std::vector<AxisTick> FindTicks(const GrayPicture& gray, const AxisLine& line);

/// The centres of the feet of bars standing on an axis line, in order along it: filled areas
/// wider than a tick that touch the line on the plot's side. Where a bar hides its category's
/// tick, its foot's centre is that tick's place.
std::vector<double> FindBarFeet(const GrayPicture& gray, const AxisLine& line);

} // namespace kurvana
