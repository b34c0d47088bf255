#pragma once

#include <vector>

#include <QPoint>

#include "core/document.h"

namespace kurvana {

/// A point a recogniser found: the pixel it is stored at and what it carries beyond it.
struct FoundPoint {
    QPoint pixel;
    PointExtras extras;
};

/// Appends the points to `line` in their order, each with its extras and its mark, as far as
/// the line has rows left. Returns the number appended. The caller refreshes the values.
int AppendFoundPoints(Document& doc, int line, const std::vector<FoundPoint>& points);

} // namespace kurvana
