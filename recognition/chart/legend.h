#pragma once

#include <map>
#include <vector>

#include <QString>

class QImage;

namespace kurvana {
class LabelReader;
}

namespace kurvana::chart {

struct InkMap;
struct InkBlob;

/// Finds the text inside the plot area (a legend's entries: rows of small neutral blobs) and
/// the sample beside each entry (a short level stroke, its dashes or dots, or a lone marker
/// of a series colour, left or right of the text), reads each entry with `reader` and labels
/// text, samples and the legend's box as structure. Where the plot holds no legend, one in a
/// margin beside it (right, above, below) is read instead. Gives the names read, by the plot
/// map's ink label; also marks text without a sample (labels drawn in the plot).
std::map<int, QString> ReadLegend(const QImage& picture, InkMap& map, std::vector<InkBlob>& blobs,
                                  LabelReader& reader);

} // namespace kurvana::chart
