#pragma once

#include <optional>

#include <QPointF>
#include <QRect>

#include "core/paper.h"

#include "recognition/markers/findmarkers.h"
#include "recognition/markers/inkmask.h"

class QImage;

namespace kurvana::markers {

/// Where the bar's colour is missing for a pixel or two, the picture says whether something
/// else is drawn there (another series' line crossing the bar, a JPEG's colour smear: the bar
/// carries on) or paper (the bar ends; another marker's bar may start beyond).
struct BarGaps {
    const QImage* picture = nullptr; ///< none: a bar ends where its colour does
    RgbVector paper;
};

/// The error bar through a marker centred at `centre`, upright (`upright`) or level: the bar's
/// ink is followed out of `box` (the marker's ink box in picture pixels) on both sides, and
/// each end is the centre line of its cap or, without a cap, the edge where the bar's ink
/// stops. Read from the mask with lines still in it (the line search takes bars out).
std::optional<BarEnds> ErrorBar(const InkMask& mask, QPointF centre, QRect box, bool upright,
                                const BarGaps& gaps = {});

} // namespace kurvana::markers
