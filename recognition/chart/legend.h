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
/// the sample beside each entry (a short level stroke or a lone marker of a series colour),
/// reads each entry with `reader` and labels text, samples and the legend's box as structure.
/// Gives the names read, by ink label; also marks text without a sample (labels drawn in the
/// plot).
std::map<int, QString> ReadLegend(const QImage& picture, InkMap& map, std::vector<InkBlob>& blobs,
                                  LabelReader& reader);

} // namespace kurvana::chart
