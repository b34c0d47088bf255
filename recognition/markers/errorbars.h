#pragma once

#include <optional>

#include <QPointF>
#include <QRect>

#include "recognition/markers/findmarkers.h"
#include "recognition/markers/inkmask.h"

namespace kurvana::markers {

/// The error bar through a marker centred at `centre`, upright (`upright`) or level: the bar's
/// ink is followed out of `box` (the marker's ink box in picture pixels) on both sides, and
/// each end is the centre line of its cap or, without a cap, the edge where the bar's ink
/// stops. Read from the mask with lines still in it (the line search takes bars out). Where the
/// bar's colour is missing for a few pixels, `paper` says whether something else is drawn
/// there (another series' line crossing the bar, a JPEG's smear: the bar carries on) or paper
/// (the bar ends; another marker's bar may start beyond).
std::optional<BarEnds> ErrorBar(const InkMask& mask, QPointF centre, QRect box, bool upright,
                                const PaperView& paper = {});

} // namespace kurvana::markers
