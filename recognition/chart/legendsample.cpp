#include "recognition/chart/legendsample.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QImage>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"
#include "recognition/chart/legendtext.h"

namespace kurvana::chart {

namespace {

/// A grey sample's mean direction from the paper this unequal in its components keeps a trace
/// of a colour; black text and lines in JPEG stay well under it.
constexpr double kTraceOfColour = 0.05;
/// Directions from the paper this close (cosine) are one colour.
constexpr double kSameColour = 0.95;

/// Whether `b` stands on the line's row: its middle within the text's height, or the text's
/// middle within it (a marker taller than the letters).
bool onRow(const QRect& line, const QRect& b) {
    const int middle = b.center().y(), lineMiddle = line.center().y();
    return std::abs(middle - lineMiddle) <= line.height() / 2 + 2 ||
           (lineMiddle >= b.top() && lineMiddle <= b.bottom());
}

/// Whether the blob has a sample's shape for text of this height: a level stroke (or a dash
/// or dot of one), a lone marker, or a coloured stroke carrying a marker (lines and points;
/// a black one would be hard to tell from letters run together).
bool sampleShaped(const InkMap& map, const InkBlob& b, int height) {
    constexpr double kMostlyPaper = 0.5;
    const int w = b.box.width(), h = b.box.height();
    // Longer than a fifth of the area is a curve, not a sample, unless the area is a narrow
    // margin beside the plot.
    const bool notTooLong = w <= std::max(map.area.width() / 5, 12 * height);
    const bool stroke = h <= std::max(5, height / 2) && w >= 2 && notTooLong;
    const bool marked = !map.colours[std::size_t(b.label - 1)].neutral && w >= 2 * h &&
                        h <= 3 * height && notTooLong &&
                        b.pixels <= kMostlyPaper * double(w) * double(h);
    return stroke || marked || MarkerShaped(b, height);
}

/// A candidate sample: a colour's ink on one side of a line of text.
struct SampleInk {
    int pixels = 0;
    QRect box;
    int gap = 1 << 30; ///< from the text to the nearest of its blobs
    int nearest = -1;  ///< that blob
};

/// A grey blob this small is a speck JPEG left round letters, often nearer than the sample.
bool greySpeck(const InkMap& map, const InkBlob& b) {
    return map.colours[std::size_t(b.label - 1)].neutral && b.pixels < 6 &&
           std::max(b.box.width(), b.box.height()) < 4;
}

/// The ink of a sample's shape on the line's row, by colour label and side (true: right);
/// `letters` flags the blobs that are letters of words, never a sample.
std::map<std::pair<int, bool>, SampleInk> inksBeside(const InkMap& map,
                                                     const std::vector<InkBlob>& blobs,
                                                     const std::vector<bool>& letters,
                                                     const TextLine& line) {
    const int height = line.box.height();
    std::map<std::pair<int, bool>, SampleInk> inks;
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        const InkBlob& b = blobs[i];
        if (letters[i] || std::find(line.blobs.begin(), line.blobs.end(), i) != line.blobs.end() ||
            !onRow(line.box, b.box) || !sampleShaped(map, b, height) || greySpeck(map, b))
            continue;
        const bool right = b.box.left() > line.box.right();
        const int gap = right ? b.box.left() - line.box.right() : line.box.left() - b.box.right();
        // A dashed sample's dashes reach further than its nearest one.
        if (gap < 0 || gap > 8 * height)
            continue;
        SampleInk& ink = inks[{b.label, right}];
        ink.pixels += b.pixels;
        ink.box |= b.box;
        if (gap < ink.gap)
            ink.gap = gap, ink.nearest = int(i);
    }
    return inks;
}

} // namespace

/// Whether the blob has the shape of a lone marker beside text of this height.
bool MarkerShaped(const InkBlob& b, int height) {
    const int w = b.box.width(), h = b.box.height();
    // JPEG breaks a thin marker's outline: what is left may be a third as high as wide. A
    // word of small letters only is about a third as high as a marker beside it.
    return b.elongation < 2.5 && w * 3 >= h && h * 3 >= w && h >= 4 && h <= height * 3;
}

/// The sample of a legend entry: the nearest blob of the colour whose ink of a sample's shape
/// lies nearest to the text on its row, on the side(s) given, among colours with enough ink
/// there.
int SampleBeside(const InkMap& map, const std::vector<InkBlob>& blobs,
                 const std::vector<bool>& letters, const TextLine& line, Side side) {
    // Far enough for a word of small letters only, whose height is a small part of the
    // font's.
    int best = -1, bestGap = line.box.height() * 6, bestPixels = 0;
    for (const auto& [key, ink] : inksBeside(map, blobs, letters, line)) {
        if (side != Side::Either && key.second != (side == Side::Right))
            continue;
        // A black sample, however thin or small, reaches further than specks.
        const bool neutral = map.colours[std::size_t(key.first - 1)].neutral;
        const bool enough =
            neutral ? ink.pixels >= 8 && std::max(ink.box.width(), ink.box.height()) >= 5
                    : ink.pixels >= 4;
        if (enough && (ink.gap < bestGap || (ink.gap == bestGap && ink.pixels > bestPixels))) {
            best = ink.nearest;
            bestGap = ink.gap;
            bestPixels = ink.pixels;
        }
    }
    return best;
}

/// Marks the sample and the rest of a dashed or dotted sample (its colour's blobs on its row,
/// one after the other); gives the box of them all.
QRect TakeSample(const std::vector<InkBlob>& blobs, std::size_t sample, int height,
                 std::vector<bool>& gone) {
    const QRect first = blobs[sample].box;
    QRect box = first;
    gone[sample] = true;
    // Dashes and dots of one sample are alike and level with each other; a curve passing
    // near the legend is not, and must not be taken with it.
    const int tallest = 2 * first.height() + 2, offLevel = std::max(2, first.height() / 2 + 1);
    for (bool grown = true; grown;) {
        grown = false;
        for (std::size_t i = 0; i < blobs.size(); ++i) {
            const InkBlob& b = blobs[i];
            if (gone[i] || b.label != blobs[sample].label || b.box.height() > tallest ||
                std::abs(b.box.center().y() - first.center().y()) > offLevel ||
                (box | b.box).width() > 10 * height)
                continue;
            const int gap = std::max(box.left() - b.box.right(), b.box.left() - box.right());
            if (gap <= 2 * height) { // a dash pattern's gaps may be longer than a letter
                gone[i] = true;
                box |= b.box;
                grown = true;
            }
        }
    }
    return box;
}

/// The colour a grey sample stands for. JPEG keeps colour at half resolution and takes most
/// of it from a line one pixel thin: the sample of a thin light curve comes out grey, with a
/// trace of its colour left, while the curve (thicker, or with more pixels to keep its colour)
/// does not. A sample whose mean direction from the paper leans clearly towards a colour of
/// the map belongs to that colour; a black or grey one to its own.
int ColourOfSample(const QImage& picture, const InkMap& map, const QRect& sample, int label) {
    RgbVector towards; // the sum of its pixels' directions from the paper
    int count = 0;
    for (int y = sample.top(); y <= sample.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = sample.left(); x <= sample.right(); ++x)
            if (map.at(x, y) == label) {
                const RgbVector pixel{double(qRed(row[x])), double(qGreen(row[x])),
                                      double(qBlue(row[x]))};
                towards = towards - (pixel - map.paper);
                ++count;
            }
    }
    const double length = towards.length();
    if (count == 0 || length <= 0)
        return label;
    const RgbVector unit = towards * (1 / length);
    if (std::max({unit.r, unit.g, unit.b}) - std::min({unit.r, unit.g, unit.b}) < kTraceOfColour)
        return label;
    int best = label;
    double bestCos = kSameColour;
    for (std::size_t k = 0; k < map.colours.size(); ++k) {
        const InkColour& c = map.colours[k];
        const double cos = c.towards.dot(unit) / std::max(1e-9, c.towards.length());
        if (!c.neutral && cos > bestCos)
            best = int(k + 1), bestCos = cos;
    }
    return best;
}

} // namespace kurvana::chart
