#pragma once

#include <vector>

#include <QRect>

namespace kurvana::chart {

struct InkBlob;
struct InkMap;

enum class InkShape { Curve, Markers, Bars };

/// What the blobs of one colour look like: many alike compact blobs are markers, filled boxes
/// standing on the area's bottom (or left) edge bars, anything else a curve (solid, dashed or
/// dotted: dashes are long and thin, dots smaller than any marker).
InkShape ShapeOf(const std::vector<const InkBlob*>& blobs, const QRect& area);

/// Whether the ink of colour `label` is a border drawn round the bars of the colours
/// `barLabels` rather than a series of its own: nearly all of it lies within two pixels of their
/// ink. (A picture stored as JPEG tints a black border by the fill beside it, so it no longer
/// passes for the grey of the chart's structure.)
bool BordersBars(const InkMap& map, int label, const std::vector<int>& barLabels);

/// The blob of middle size, specks left out: a marker like most of them.
const InkBlob* TypicalBlob(std::vector<const InkBlob*> blobs);

} // namespace kurvana::chart
