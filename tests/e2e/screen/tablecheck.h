#pragma once

#include <map>
#include <vector>

#include <QPointF>
#include <QString>
#include <QStringList>

#include "knowndata.h"

namespace e2e {

/// The rows of the clipboard text, by line number, in their order.
using ClipboardLines = std::map<int, std::vector<QPointF>>;

/// Reads the tab layout of the table export: X, as many tabs as the line's number, Y, CR LF.
/// Every departure from that layout is added to `problems`.
ClipboardLines ParseClipboardText(const QString& text, QStringList& problems);

/// What a line of the table must hold.
struct LineExpectation {
    int line = 0;
    int minCount = 0;
    int maxCount = 0;
    std::vector<KnownPoint> clicked; ///< when not empty: the points picked by hand, in X order
};

/// Compares the exported lines with the chart's known curves. Every point must lie on its
/// curve's stroke within one pixel: no farther from the centre line than half the stroke width
/// plus one pixel. Hand-picked points must also be the snapped clicks, within the snap's reach.
/// Returns the problems found; `report` gets one summary line per checked line.
QStringList CheckLines(const KnownChart& chart, const ClipboardLines& lines,
                       const std::vector<LineExpectation>& expected, QStringList& report);

} // namespace e2e
