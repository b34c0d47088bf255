#include "recognition/chart/legend.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"
#include "recognition/ocr/labelreader.h"

namespace kurvana::chart {

namespace {

/// A line of text: blobs side by side on one row.
struct TextLine {
    QRect box;
    std::vector<std::size_t> blobs;
};

bool isCharacter(const InkMap& map, const InkBlob& b) {
    const QRect& a = map.area;
    const int tallest = std::max(10, a.height() / 25);
    return map.colours[std::size_t(b.label - 1)].neutral && b.box.height() >= 4 &&
           b.box.height() <= tallest && b.box.width() <= std::max(12, a.width() / 4);
}

/// Characters joined into lines: overlapping rows, gaps under a character height and a half.
std::vector<TextLine> textLines(const InkMap& map, const std::vector<InkBlob>& blobs) {
    std::vector<std::size_t> characters;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (isCharacter(map, blobs[i]))
            characters.push_back(i);
    std::sort(characters.begin(), characters.end(), [&](std::size_t a, std::size_t b) {
        return blobs[a].box.left() < blobs[b].box.left();
    });
    std::vector<TextLine> lines;
    for (const std::size_t i : characters) {
        const QRect& b = blobs[i].box;
        TextLine* joined = nullptr;
        for (TextLine& line : lines) {
            const int height = line.box.height();
            const bool sameRow = std::abs(line.box.center().y() - b.center().y()) <= height / 2 + 2;
            // Letters and words of an entry lie closer than its sample does.
            if (sameRow && b.left() - line.box.right() <= height * 4 / 5) {
                joined = &line;
                break;
            }
        }
        if (joined) {
            joined->box |= b;
            joined->blobs.push_back(i);
        } else {
            lines.push_back({b, {i}});
        }
    }
    return lines;
}

/// The sample of a legend entry: a short level stroke or a lone small blob of a colour on the
/// line's row, beside it.
int sampleBeside(const InkMap& map, const std::vector<InkBlob>& blobs, const TextLine& line) {
    const int height = line.box.height();
    int best = -1, bestGap = height * 4;
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        const InkBlob& b = blobs[i];
        if (std::find(line.blobs.begin(), line.blobs.end(), i) != line.blobs.end())
            continue;
        const int w = b.box.width(), h = b.box.height();
        // A dash or a dot of a dashed or dotted sample will do: the rest is taken with it.
        const bool stroke = h <= std::max(5, height / 2) && w >= 2 && w <= map.area.width() / 5;
        const bool marker =
            b.elongation < 2.2 && w * 2 >= h && h * 2 >= w && h >= 4 && h <= height * 9 / 5;
        if (!(stroke || marker) ||
            std::abs(b.box.center().y() - line.box.center().y()) > height / 2 + 2)
            continue;
        const int gap = std::max(line.box.left() - b.box.right(), b.box.left() - line.box.right());
        if (gap >= 0 && gap < bestGap) {
            bestGap = gap;
            best = int(i);
        }
    }
    return best;
}

/// Marks the sample and the rest of a dashed or dotted sample (its colour's blobs on its row,
/// one after the other); gives the box of them all.
QRect takeSample(const std::vector<InkBlob>& blobs, std::size_t sample, int height,
                 std::vector<bool>& gone) {
    QRect box = blobs[sample].box;
    gone[sample] = true;
    for (bool grown = true; grown;) {
        grown = false;
        for (std::size_t i = 0; i < blobs.size(); ++i) {
            const InkBlob& b = blobs[i];
            if (gone[i] || b.label != blobs[sample].label || b.box.height() > std::max(8, height) ||
                std::abs(b.box.center().y() - box.center().y()) > height / 2 + 2)
                continue;
            const int gap = std::max(box.left() - b.box.right(), b.box.left() - box.right());
            if (gap <= height) {
                gone[i] = true;
                box |= b.box;
                grown = true;
            }
        }
    }
    return box;
}

QString readLine(const QImage& picture, const TextLine& line, LabelReader& reader) {
    const int margin = std::max(3, line.box.height() / 3);
    const QRect crop = line.box.adjusted(-margin, -margin, margin, margin) & picture.rect();
    return reader.readWords(picture.copy(crop)).trimmed();
}

} // namespace

std::map<int, QString> ReadLegend(const QImage& picture, InkMap& map, std::vector<InkBlob>& blobs,
                                  LabelReader& reader) {
    std::map<int, QString> names;
    std::vector<bool> gone(blobs.size(), false);
    QRect legend;
    for (const TextLine& line : textLines(map, blobs)) {
        const int sample = sampleBeside(map, blobs, line);
        // Small fonts' letters touch: a word may be one blob. A lone blob without a sample
        // beside it may be a dot of a curve rather than text.
        if (sample < 0 && line.blobs.size() < 2)
            continue;
        // A lone blob of a word's height but not its width is a dark marker beside another
        // series' marker, not a name.
        if (line.blobs.size() < 2 && line.box.width() < 2 * line.box.height())
            continue;
        for (const std::size_t i : line.blobs)
            gone[i] = true;
        legend |= line.box;
        if (sample < 0)
            continue;
        const int label = blobs[std::size_t(sample)].label;
        legend |= takeSample(blobs, std::size_t(sample), line.box.height(), gone);
        if (!names.count(label))
            names[label] = readLine(picture, line, reader);
    }
    // The legend's box: neutral blobs around the entries.
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (!gone[i] && legend.isValid() && map.colours[std::size_t(blobs[i].label - 1)].neutral &&
            blobs[i].box.contains(legend.center()) &&
            blobs[i].box.adjusted(-2, -2, 2, 2).contains(legend))
            gone[i] = true;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (gone[i])
            MarkBlob(map, blobs[i]);
    std::vector<InkBlob> kept;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (!gone[i])
            kept.push_back(blobs[i]);
    blobs = std::move(kept);
    return names;
}

} // namespace kurvana::chart
