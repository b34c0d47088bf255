#include "core/foundpoints.h"

#include "core/drawing.h"

namespace kurvana {

int AppendFoundPoints(Document& doc, int line, const std::vector<FoundPoint>& points) {
    int added = 0;
    for (const FoundPoint& point : points) {
        if (doc.nextRow.at(line) > kLastRow)
            break;
        const int row = doc.nextRow.at(line);
        doc.appendPoint(line, point.pixel.x(), point.pixel.y());
        doc.extras(line, row) = point.extras;
        DrawMark(doc, point.pixel.x(), point.pixel.y(), doc.markDiameter, line);
        ++added;
    }
    return added;
}

} // namespace kurvana
