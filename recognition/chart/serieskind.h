#pragma once

#include <vector>

#include <QRect>

namespace kurvana::chart {

struct InkBlob;

enum class InkShape { Curve, Markers, Bars };

/// What the blobs of one colour look like: many alike compact blobs are markers, filled boxes
/// standing on the area's bottom (or left) edge bars, anything else a curve (solid, dashed or
/// dotted: dashes are long and thin, dots smaller than any marker).
InkShape ShapeOf(const std::vector<const InkBlob*>& blobs, const QRect& area);

/// The blob of middle size, specks left out: a marker like most of them.
const InkBlob* TypicalBlob(std::vector<const InkBlob*> blobs);

} // namespace kurvana::chart
