#include "tracing/cleanup.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include <QImage>

#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;
constexpr int kWordBits = 64;

bool isDark(QRgb p, const DarkLimits& limits) {
    return qRed(p) <= limits.r && qGreen(p) <= limits.g && qBlue(p) <= limits.b;
}

/// Which pixels are dark, one bit each, stored column by column (bit y of column x). The pass
/// walks the picture column by column, and most of a scan is paper: in this form a column is a
/// short run of words in which the dark pixels are found without looking at the paper, where
/// the picture itself would be read across its rows, a cache miss per pixel on a large scan.
/// Pixels outside the picture are white, and white is not dark.
class DarkBits {
public:
    /// Columns 0..columns-1 and rows 0..rows-1, read row by row from the picture.
    DarkBits(const QImage& picture, int columns, int rows, const DarkLimits& limits)
        : words_((rows + kWordBits - 1) / kWordBits),
          bits_(std::size_t(columns) * std::size_t(words_), 0) {
        const int width = std::min(columns, picture.width());
        const int height = std::min(rows, picture.height());
        std::vector<std::uint64_t> band(std::size_t(std::max(width, 0)));
        for (int y0 = 0; y0 < height; y0 += kWordBits) {
            std::fill(band.begin(), band.end(), 0);
            for (int y = y0; y < std::min(y0 + kWordBits, height); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                const int shift = y - y0;
                for (int x = 0; x < width; ++x)
                    band[std::size_t(x)] |= std::uint64_t(isDark(row[x], limits)) << shift;
            }
            for (int x = 0; x < width; ++x)
                column(x)[y0 / kWordBits] = band[std::size_t(x)];
        }
    }

    int words() const { return words_; }
    std::uint64_t* column(int x) { return bits_.data() + std::size_t(x) * std::size_t(words_); }

    static bool at(const std::uint64_t* column, int y) {
        return (column[y / kWordBits] >> (y % kWordBits)) & 1u;
    }
    /// How many of the rows y - 1, y, y + 1 of the column are dark (y >= 1).
    static int darkAround(const std::uint64_t* column, int y) {
        const int first = y - 1;
        const int word = first / kWordBits;
        const int bit = first % kWordBits;
        std::uint64_t three = column[word] >> bit;
        if (bit > kWordBits - 3)
            three |= column[word + 1] << (kWordBits - bit);
        return std::popcount(three & 7u);
    }

private:
    int words_;
    std::vector<std::uint64_t> bits_;
};

} // namespace

void CleanUpPass(QImage& picture, int width, int height, const DarkLimits& limits) {
    // Pixels beyond the picture are white and never change, so the pass can stop at its edge.
    const int lastX = std::min(width - 2, picture.width() - 1);
    const int lastY = std::min(height - 2, picture.height() - 1);
    // When white counts as dark every pixel does: each has eight dark neighbours and stays.
    if (lastX < 2 || lastY < 2 || isDark(kWhitePixel, limits))
        return;
    DarkBits dark(picture, lastX + 2, lastY + 2, limits);
    QRgb* const bits = reinterpret_cast<QRgb*>(picture.bits());
    const qsizetype stride = picture.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (int x = 2; x <= lastX; ++x) {
        // Left is already passed, right not yet; within the middle column the rows above are.
        const std::uint64_t* left = dark.column(x - 1);
        std::uint64_t* middle = dark.column(x);
        const std::uint64_t* right = dark.column(x + 1);
        for (int word = 0; word < dark.words(); ++word) {
            // The dark pixels of rows 2..lastY in this word, top down.
            for (std::uint64_t pending = middle[word]; pending != 0; pending &= pending - 1) {
                const int y = word * kWordBits + std::countr_zero(pending);
                if (y < 2 || y > lastY)
                    continue;
                const int n = DarkBits::darkAround(left, y) + DarkBits::darkAround(right, y) +
                              DarkBits::at(middle, y - 1) + DarkBits::at(middle, y + 1);
                if (n <= 1) {
                    middle[word] &= ~(std::uint64_t(1) << (y % kWordBits));
                    bits[qsizetype(y) * stride + x] = kWhitePixel;
                }
            }
        }
    }
}

void CleanUpPicture(Workspace& ws) {
    Document& doc = ws.doc;
    // A step only when the question keeps the cleaned picture: it holds both pictures.
    const RecordedStep step(ws, StepKind::CleanUp);
    {
        BusyCursor busy(ws.view);
        ShowCleanPicture(doc); // marks and the axes drawing are not cleaned
        doc.viewScale = 1.0L;
        ws.view.applyViewScale();
        CleanUpPass(doc.workingPicture, doc.pictureWidth, doc.pictureHeight,
                    {doc.inkThresholdR, doc.inkThresholdG, doc.inkThresholdB});
    }
    ws.view.pictureChanged();
    // Kept, the cleaned picture becomes the clean one; either way RedrawMarks starts from the
    // clean picture and writes into the working picture's buffer.
    if (ws.dialogs.question(doc.texts.message(13), platform::QuestionButtons::YesNo) ==
        platform::Answer::Yes)
        doc.cleanPicture.swap(doc.workingPicture);
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
}

} // namespace kurvana
