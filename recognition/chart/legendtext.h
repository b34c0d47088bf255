#pragma once

#include <functional>
#include <vector>

#include <QRect>

namespace kurvana::chart {

struct InkMap;
struct InkBlob;

/// A line of text: blobs side by side on one row.
struct TextLine {
    QRect box;
    std::vector<std::size_t> blobs; ///< indices into the blobs it was found among
};

/// Whether the blob may be a character: grey or black, of a letter's size for a chart whose
/// plot area is `plot` (the map may be of a margin beside it).
bool IsCharacter(const InkMap& map, const InkBlob& blob, const QRect& plot);

/// Whether the middle of the blob's box is solid ink, as a filled marker's is (even where a
/// curve's dash touches it), never a letter's: letters have strokes, holes and gaps there.
bool SolidBlock(const InkMap& map, const InkBlob& blob);

/// The lines of text among the blobs: characters on one row (overlapping over half the lower
/// one's height) with gaps under four fifths of the line's height.
std::vector<TextLine> TextLines(const InkMap& map, const std::vector<InkBlob>& blobs,
                                const QRect& plot);

/// Joins the words of one name that lie further apart than letters do (a monospaced font's
/// space is a whole letter wide): neighbours on one row, a gap under twice their height, with
/// nothing between them but specks and signs (a hyphen) and where `mayJoin(left, right)`.
void JoinWords(const InkMap& map, const std::vector<InkBlob>& blobs, std::vector<TextLine>& lines,
               const std::function<bool(const TextLine&, const TextLine&)>& mayJoin);

} // namespace kurvana::chart
