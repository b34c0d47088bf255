#pragma once

#include <vector>

#include <QRect>

class QImage;

namespace kurvana::chart {

struct InkMap;
struct InkBlob;
struct TextLine;

/// Where a sample may lie: beside the text on either side or on one.
enum class Side { Either, Left, Right };

/// Whether the blob has the shape of a lone marker beside text of this height.
bool MarkerShaped(const InkBlob& blob, int height);

/// The sample of a legend entry: the nearest blob of the colour whose ink of a sample's shape
/// (a level stroke, a dash or dot of one, a lone marker) lies nearest to the text on its row,
/// on the side(s) given, among colours with enough ink there; -1 where there is none.
/// `letters` flags the blobs that are letters of words, never a sample.
int SampleBeside(const InkMap& map, const std::vector<InkBlob>& blobs,
                 const std::vector<bool>& letters, const TextLine& line, Side side = Side::Either);

/// Flags in `gone` the sample and the rest of a dashed or dotted one (its colour's blobs on its
/// row, one after the other); gives the box of them all.
QRect TakeSample(const std::vector<InkBlob>& blobs, std::size_t sample, int height,
                 std::vector<bool>& gone);

/// The ink label a sample of ink label `label` in `box` stands for: its own, or for a grey
/// sample that keeps a trace of a colour, that colour's.
int ColourOfSample(const QImage& picture, const InkMap& map, const QRect& box, int label);

} // namespace kurvana::chart
