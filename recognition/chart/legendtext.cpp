#include "recognition/chart/legendtext.h"

#include <algorithm>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/inkstructure.h"

namespace kurvana::chart {

namespace {

/// Whether two boxes share a row of text: they overlap over half the lower one's height, so
/// that capitals, small letters and descenders join while the next entry's ascenders do not.
bool sameRow(const QRect& a, const QRect& b) {
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
    return 2 * overlap >= std::min(a.height(), b.height());
}

/// Whether ink other than specks and small signs lies between two words of a row: a sample
/// or a curve keeps them apart.
bool inkBetween(const InkMap& map, const std::vector<InkBlob>& blobs, const TextLine& left,
                const TextLine& right) {
    const int height = std::max(left.box.height(), right.box.height());
    const QRect gap(QPoint(left.box.right() + 1, std::min(left.box.top(), right.box.top())),
                    QPoint(right.box.left() - 1, std::max(left.box.bottom(), right.box.bottom())));
    for (const InkBlob& b : blobs) {
        if (!b.box.intersects(gap))
            continue;
        const bool sign = map.colours[std::size_t(b.label - 1)].neutral &&
                          b.box.width() <= height && b.box.height() <= height / 2;
        if (!sign && b.pixels >= 4)
            return true;
    }
    return false;
}

} // namespace

bool IsCharacter(const InkMap& map, const InkBlob& b, const QRect& a) {
    // Brackets reach above the capitals and below the descenders.
    const int tallest = std::max(12, a.height() / 18);
    return map.colours[std::size_t(b.label - 1)].neutral && b.box.height() >= 4 &&
           b.box.height() <= tallest && b.box.width() <= std::max(12, a.width() / 4);
}

std::vector<TextLine> TextLines(const InkMap& map, const std::vector<InkBlob>& blobs,
                                const QRect& plot) {
    std::vector<std::size_t> characters;
    for (std::size_t i = 0; i < blobs.size(); ++i)
        if (IsCharacter(map, blobs[i], plot))
            characters.push_back(i);
    std::sort(characters.begin(), characters.end(), [&](std::size_t a, std::size_t b) {
        return blobs[a].box.left() < blobs[b].box.left();
    });
    std::vector<TextLine> lines;
    for (const std::size_t i : characters) {
        const QRect& b = blobs[i].box;
        TextLine* joined = nullptr;
        for (TextLine& line : lines)
            // Letters of a word lie closer than the entry's sample does.
            if (sameRow(line.box, b) && b.left() - line.box.right() <= line.box.height() * 4 / 5) {
                joined = &line;
                break;
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

void JoinWords(const InkMap& map, const std::vector<InkBlob>& blobs, std::vector<TextLine>& lines,
               const std::function<bool(const TextLine&, const TextLine&)>& mayJoin) {
    std::sort(lines.begin(), lines.end(),
              [](const TextLine& a, const TextLine& b) { return a.box.left() < b.box.left(); });
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            TextLine& left = lines[i];
            const TextLine& right = lines[j];
            const int gap = right.box.left() - left.box.right();
            const int height = std::max(left.box.height(), right.box.height());
            if (gap <= 0 || gap > 2 * height || !sameRow(left.box, right.box) ||
                inkBetween(map, blobs, left, right) || !mayJoin(left, right))
                continue;
            left.box |= right.box;
            left.blobs.insert(left.blobs.end(), right.blobs.begin(), right.blobs.end());
            lines.erase(lines.begin() + std::ptrdiff_t(j));
            j = i; // the longer line may reach the next word now
        }
}

bool SolidBlock(const InkMap& map, const InkBlob& b) {
    constexpr int kSmallestCore = 3;
    constexpr double kSolid = 0.95;
    const QRect core = b.box.adjusted(b.box.width() / 4, b.box.height() / 4, -b.box.width() / 4,
                                      -b.box.height() / 4);
    if (core.width() < kSmallestCore || core.height() < kSmallestCore)
        return false;
    int ink = 0;
    for (int y = core.top(); y <= core.bottom(); ++y)
        for (int x = core.left(); x <= core.right(); ++x)
            ink += map.at(x, y) == b.label;
    return ink >= kSolid * core.width() * core.height();
}

} // namespace kurvana::chart
