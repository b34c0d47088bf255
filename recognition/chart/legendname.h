#pragma once

#include <QString>

class QImage;

namespace kurvana {
class LabelReader;
}

namespace kurvana::chart {

struct InkMap;
struct TextLine;

/// The name a legend entry's line of text reads as: chart lines and box edges crossing it
/// (labelled structure in `map`) painted over, small letters enlarged, and the stray marks a
/// reader makes of specks at its ends (quotes, dots, bars) left out.
QString ReadEntryName(const QImage& picture, const InkMap& map, const TextLine& line,
                      LabelReader& reader);

} // namespace kurvana::chart
