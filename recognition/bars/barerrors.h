#pragma once

#include <optional>

#include <QRgb>

#include "recognition/markers/findmarkers.h"

class QImage;

namespace kurvana {

struct FoundBar;

/// The error bar drawn through the value end of `bar` (upright on a vertical bar, level on a
/// horizontal one), in a colour of its own over `paper`: its two ends as Find markers gives
/// them (the centre line of a cap, or where the stroke stops). The stroke must leave the bar's
/// end on both sides, outwards over the paper and inwards over the bar, so that a label, a grid
/// line or the next segment of a stack above the end is not taken for one. `picture` is RGB32.
std::optional<BarEnds> ErrorBarOfBar(const QImage& picture, QRgb paper, QRgb barColour,
                                     const FoundBar& bar, bool horizontal);

} // namespace kurvana
