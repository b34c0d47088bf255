#include "recognition/chart/legend.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include <QImage>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"
#include "recognition/chart/legendframe.h"
#include "recognition/chart/legendname.h"
#include "recognition/chart/legendsample.h"
#include "recognition/chart/legendtext.h"
#include "recognition/ocr/labelreader.h"

namespace kurvana::chart {

namespace {

/// Greys this far apart (RGB distance) in the plot and in a margin are not one; colours are
/// one where their directions from the paper are this close (cosine).
constexpr double kFarGrey = 60;
constexpr double kSameDirection = 0.95;
/// Entries read for one colour before it is given up as nameless.
constexpr int kTriesPerColour = 3;
/// A margin narrower than this (pixels) holds no legend.
constexpr int kNarrowestMargin = 20;

/// Whether the blob is a piece of a stroke (long, and solid or too low for letters), not
/// letters run together (whose holes and gaps leave much of their box paper).
bool isStroke(const InkBlob& b) {
    constexpr double kSolid = 0.6, kLong = 2.5;
    constexpr int kLowest = 5; // letters run together lower than this cannot be read
    return b.elongation >= kLong &&
           (b.box.height() <= kLowest ||
            double(b.pixels) >= kSolid * double(b.box.width()) * double(b.box.height()));
}

/// Whether the blob's ink lies along its box's edges, as a box drawn round a legend does. Its
/// ink is counted in the bands along the edges: inside them lie the entries, which may be of
/// its colour.
bool isHollowBox(const InkMap& map, const InkBlob& b) {
    constexpr int kEdge = 5;
    constexpr double kMostly = 0.8;
    const QRect inner = b.box.adjusted(kEdge, kEdge, -kEdge, -kEdge);
    int alongEdges = 0;
    for (int y = b.box.top(); y <= b.box.bottom(); ++y)
        for (int x = b.box.left(); x <= b.box.right(); ++x)
            alongEdges += !inner.contains(x, y) && map.at(x, y) == b.label;
    return double(alongEdges) >= kMostly * double(b.pixels);
}

/// Flags the blobs that are letters of words (lines of several blobs). A lone blob may be a
/// black marker as well as a letter.
std::vector<bool> lettersOfWords(const std::vector<TextLine>& lines, std::size_t blobs) {
    std::vector<bool> letters(blobs, false);
    for (const TextLine& line : lines)
        if (line.blobs.size() >= 2)
            for (const std::size_t i : line.blobs)
                letters[i] = true;
    return letters;
}

/// Whether a lone mark and a word beside it are one name: where a sample lies on the far side
/// of the two (left of the left one or right of the right one, with no letters between), so
/// that the mark is not the entry's marker.
bool oneName(const InkMap& map, const std::vector<InkBlob>& blobs, const std::vector<bool>& letters,
             const TextLine& left, const TextLine& right) {
    const auto sampleOutside = [&](const TextLine& line, bool leftSide) {
        const int sample =
            SampleBeside(map, blobs, letters, line, leftSide ? Side::Left : Side::Right);
        if (sample < 0)
            return false;
        const QRect& box = blobs[std::size_t(sample)].box;
        const QRect between = leftSide ? QRect(QPoint(box.right() + 1, line.box.top()),
                                               QPoint(line.box.left() - 1, line.box.bottom()))
                                       : QRect(QPoint(line.box.right() + 1, line.box.top()),
                                               QPoint(box.left() - 1, line.box.bottom()));
        for (std::size_t i = 0; i < blobs.size(); ++i)
            if (letters[i] && blobs[i].box.intersects(between))
                return false;
        return true;
    };
    return sampleOutside(left, true) || sampleOutside(right, false);
}

/// The lines of text with the words of one name joined; a lone mark beside a word may be that
/// entry's marker rather than a letter of its name.
std::vector<TextLine> namesOf(const InkMap& map, const std::vector<InkBlob>& blobs,
                              const QRect& plot) {
    std::vector<TextLine> lines = TextLines(map, blobs, plot);
    const std::vector<bool> letters = lettersOfWords(lines, blobs.size());
    const auto loneMark = [&](const TextLine& line, int height) {
        return line.blobs.size() < 2 && MarkerShaped(blobs[line.blobs[0]], height);
    };
    JoinWords(map, blobs, lines, [&](const TextLine& left, const TextLine& right) {
        if (loneMark(right, left.box.height()) || loneMark(left, right.box.height()))
            return oneName(map, blobs, letters, left, right);
        return true;
    });
    return lines;
}

/// A line of text with a sample beside it.
struct Entry {
    std::size_t line;
    int sample;
};

/// A legend puts every sample on one side of its text: where most entries of several letters
/// have theirs, each entry takes the nearest one there (entries side by side in a row have
/// the next entry's sample as near on the other side).
void samplesOnOneSide(const InkMap& map, const std::vector<InkBlob>& blobs,
                      const std::vector<bool>& letters, const std::vector<TextLine>& lines,
                      std::vector<Entry>& entries) {
    int left = 0, right = 0;
    for (const Entry& entry : entries)
        if (lines[entry.line].blobs.size() >= 2)
            ++(blobs[std::size_t(entry.sample)].box.left() > lines[entry.line].box.right() ? right
                                                                                           : left);
    if (left == right)
        return;
    for (Entry& entry : entries) {
        const int sample = SampleBeside(map, blobs, letters, lines[entry.line],
                                        right > left ? Side::Right : Side::Left);
        if (sample >= 0)
            entry.sample = sample;
    }
}

/// Whether the entry lines up with another one as a legend's entries do: texts or samples
/// starting or ending at one place.
bool alignedWithAnother(const std::vector<Entry>& entries, const std::vector<TextLine>& lines,
                        const std::vector<InkBlob>& blobs, const Entry& entry) {
    const auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
    const QRect& text = lines[entry.line].box;
    const QRect& sample = blobs[std::size_t(entry.sample)].box;
    for (const Entry& other : entries) {
        if (other.line == entry.line)
            continue;
        const QRect& t = lines[other.line].box;
        const QRect& s = blobs[std::size_t(other.sample)].box;
        // Side by side in a row, or one under the other in a column.
        const bool row = near(t.top(), text.top()) && near(t.bottom(), text.bottom());
        if (row || near(t.left(), text.left()) || near(t.right(), text.right()) ||
            near(s.left(), sample.left()) || near(s.right(), sample.right()))
            return true;
    }
    return false;
}

/// The entries, for each colour the likeliest legend entry first: one lined up with others,
/// then one of more letters. Words and symbols of the plot that happen to stand beside a
/// curve come after.
void likeliestFirst(std::vector<Entry>& entries, const std::vector<TextLine>& lines,
                    const std::vector<InkBlob>& blobs) {
    std::vector<std::tuple<int, bool, std::size_t, int, std::size_t>> keys;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const TextLine& line = lines[entries[k].line];
        keys.emplace_back(blobs[std::size_t(entries[k].sample)].label,
                          !alignedWithAnother(entries, lines, blobs, entries[k]),
                          std::numeric_limits<std::size_t>::max() - line.blobs.size(),
                          -line.box.width(), k);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<Entry> sorted;
    for (const auto& key : keys)
        sorted.push_back(entries[std::get<4>(key)]);
    entries = std::move(sorted);
}

bool holdsLetterOrDigit(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

/// The look of the sample's stroke: which of its columns hold its ink.
StrokeLook sampleLook(const InkMap& map, const QRect& sample, int label) {
    std::vector<bool> inked;
    for (int x = sample.left(); x <= sample.right(); ++x) {
        bool any = false;
        for (int y = sample.top(); y <= sample.bottom() && !any; ++y)
            any = map.at(x, y) == label;
        inked.push_back(any);
    }
    return LookOf(inked);
}

/// Whether an entry of the colour and look of `entry` was read already.
bool readAlike(const std::vector<LegendEntry>& read, const LegendEntry& entry) {
    return std::any_of(read.begin(), read.end(), [&](const LegendEntry& e) {
        return e.label == entry.label && e.marker == entry.marker &&
               LookDistance(e.look, entry.look) < 1;
    });
}

/// What the entries of a legend gave: names with their samples' colours and looks, the blobs
/// they took, and the legend's extent.
struct Entries {
    std::vector<LegendEntry> names;
    std::vector<bool> gone;
    QRect legend;
};

/// The entries read among the blobs of `map`, a chart's plot area `plot` or a margin beside it.
Entries readEntries(const QImage& picture, const InkMap& map, const std::vector<InkBlob>& blobs,
                    const QRect& plot, LabelReader& reader) {
    Entries read{{}, std::vector<bool>(blobs.size(), false), {}};
    const std::vector<TextLine> lines = namesOf(map, blobs, plot);
    const std::vector<bool> letters = lettersOfWords(lines, blobs.size());
    std::vector<Entry> entries;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        const int sample = SampleBeside(map, blobs, letters, line);
        // Small fonts' letters touch: a word may be one blob. A lone blob without a sample
        // beside it may be a dot of a curve rather than text.
        if (sample < 0 && line.blobs.size() < 2)
            continue;
        // A lone blob of a word's height but not its width is a dark marker beside another
        // series' marker, not a name; long solid ones are the dashes of a black curve.
        if (line.blobs.size() < 2 && line.box.width() < 2 * line.box.height())
            continue;
        if (std::all_of(line.blobs.begin(), line.blobs.end(),
                        [&](std::size_t i) { return isStroke(blobs[i]); }))
            continue;
        // A filled marker with a curve's dash beside it, in its rows like a letter, is no name.
        if (line.blobs.size() <= 2 &&
            std::any_of(line.blobs.begin(), line.blobs.end(),
                        [&](std::size_t i) { return SolidBlock(map, blobs[i]); }))
            continue;
        for (const std::size_t i : line.blobs)
            read.gone[i] = true;
        if (sample >= 0)
            entries.push_back({k, sample});
    }
    samplesOnOneSide(map, blobs, letters, lines, entries);
    likeliestFirst(entries, lines, blobs);
    std::map<int, int> tries; // by label: entries read that gave no name
    for (const Entry& entry : entries) {
        const TextLine& line = lines[entry.line];
        const QRect sample =
            TakeSample(blobs, std::size_t(entry.sample), line.box.height(), read.gone);
        const int ink = blobs[std::size_t(entry.sample)].label;
        const int label = map.colours[std::size_t(ink - 1)].neutral
                              ? ColourOfSample(picture, map, sample, ink)
                              : ink;
        LegendEntry named{label,
                          {},
                          MarkerShaped(blobs[std::size_t(entry.sample)], line.box.height()),
                          sampleLook(map, sample, ink)};
        // The likeliest entries come first; bits of a curve beside it are not worth reading.
        // Series of one colour differ by their samples' looks (solid, dashed, dotted).
        if (readAlike(read.names, named) || tries[label]++ >= kTriesPerColour)
            continue;
        named.name = ReadEntryName(picture, map, line, reader);
        if (!holdsLetterOrDigit(named.name))
            continue;
        read.names.push_back(named);
        read.legend |= line.box | sample;
    }
    return read;
}

/// The label in `to` of the colour that `label` is in `from`; 0 where there is none. A grey is
/// the nearest grey; a colour the colour nearest in direction from the paper, as a thin
/// sample mixes with the paper more than its curve does.
int sameColour(const InkMap& from, int label, const InkMap& to) {
    const InkColour& ink = from.colours[std::size_t(label - 1)];
    int best = 0;
    double bestDistance = kFarGrey, bestCos = kSameDirection;
    for (std::size_t k = 0; k < to.colours.size(); ++k) {
        const InkColour& c = to.colours[k];
        if (c.neutral != ink.neutral)
            continue;
        if (ink.neutral) {
            const double distance =
                std::hypot(qRed(c.colour) - qRed(ink.colour), qGreen(c.colour) - qGreen(ink.colour),
                           qBlue(c.colour) - qBlue(ink.colour));
            if (distance < bestDistance)
                best = int(k + 1), bestDistance = distance;
        } else {
            const double cos = c.towards.dot(ink.towards) /
                               std::max(1e-9, c.towards.length() * ink.towards.length());
            if (cos > bestCos)
                best = int(k + 1), bestCos = cos;
        }
    }
    return best;
}

/// Names from a legend in a margin of its own (right of the plot, above or below it), by the
/// plot's ink labels.
std::vector<LegendEntry> namesBesidePlot(const QImage& picture, const InkMap& plot,
                                         LabelReader& reader) {
    const QRect& a = plot.area;
    const QRect margins[] = {
        QRect(QPoint(a.right() + 1, a.top()), QPoint(picture.width() - 1, a.bottom())),
        QRect(QPoint(a.left(), 0), QPoint(a.right(), a.top() - 1)),
        QRect(QPoint(a.left(), a.bottom() + 1), QPoint(a.right(), picture.height() - 1))};
    std::vector<LegendEntry> names;
    for (const QRect& margin : margins) {
        if (margin.width() < kNarrowestMargin || margin.height() < kNarrowestMargin)
            continue;
        InkMap map = MapInks(picture, margin, nullptr);
        if (map.labels.empty())
            continue;
        // No grid here to take out; a sample is as long as a good part of a narrow margin.
        std::vector<InkBlob> blobs = FindBlobs(map);
        FreeFramedInk(map, blobs);
        for (LegendEntry entry : readEntries(picture, map, blobs, a, reader).names)
            if (entry.label = sameColour(map, entry.label, plot);
                entry.label > 0 && !readAlike(names, entry))
                names.push_back(entry);
        if (!names.empty())
            break;
    }
    return names;
}

} // namespace

std::vector<LegendEntry> ReadLegend(const QImage& picture, InkMap& map, std::vector<InkBlob>& blobs,
                                    LabelReader& reader) {
    FreeFramedInk(map, blobs);
    Entries read = readEntries(picture, map, blobs, map.area, reader);
    if (read.names.empty())
        read.names = namesBesidePlot(picture, map, reader);
    std::vector<bool>& gone = read.gone;
    const QRect& legend = read.legend;
    // The legend's box: neutral hollow blobs around the entries (a black curve's bounds may
    // hold them too).
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (!gone[i] && legend.isValid() && map.colours[std::size_t(blobs[i].label - 1)].neutral &&
            blobs[i].box.contains(legend.center()) &&
            blobs[i].box.adjusted(-2, -2, 2, 2).contains(legend) && isHollowBox(map, blobs[i]))
            gone[i] = true;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (gone[i])
            MarkBlob(map, blobs[i]);
    std::vector<InkBlob> kept;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (!gone[i])
            kept.push_back(blobs[i]);
    blobs = std::move(kept);
    return read.names;
}

} // namespace kurvana::chart
