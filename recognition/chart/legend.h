#pragma once

#include <vector>

#include <QString>

#include "recognition/chart/strokelook.h"

class QImage;

namespace kurvana {
class LabelReader;
}

namespace kurvana::chart {

struct InkMap;
struct InkBlob;

/// A legend entry read: its name, the plot map's ink label of its sample, and the sample's
/// look, which tells series of one colour apart: a lone marker, or a stroke drawn solid,
/// dashed or dotted.
struct LegendEntry {
    int label = 0;
    QString name;
    bool marker = false;
    StrokeLook look;
};

/// Finds the text inside the plot area (a legend's entries: rows of small neutral blobs) and
/// the sample beside each entry (a short level stroke, its dashes or dots, or a lone marker
/// of a series colour, left or right of the text), reads each entry with `reader` and labels
/// text, samples and the legend's box as structure. Where the plot holds no legend, one in a
/// margin beside it (right, above, below) is read instead. Gives the entries read, one per
/// colour and look; also marks text without a sample (labels drawn in the plot).
std::vector<LegendEntry> ReadLegend(const QImage& picture, InkMap& map, std::vector<InkBlob>& blobs,
                                    LabelReader& reader);

} // namespace kurvana::chart
