#include "tracing/cleanup.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <QImage>

#include "core/document.h"
#include "core/drawing.h"
#include "core/picture.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;
constexpr int kStripColumns = 128; ///< columns the pass takes at a time

// Cell states of the darkness mask.
constexpr std::uint8_t kDark = 1;
constexpr std::uint8_t kWhitened = 2;

bool isDark(QRgb p, const DarkLimits& limits) {
    return qRed(p) <= limits.r && qGreen(p) <= limits.g && qBlue(p) <= limits.b;
}

/// The darkness of a strip of columns, stored column by column. The pass walks the picture
/// column by column; in this layout its three columns are three sequential streams, where the
/// picture itself would be read across rows, a cache miss per pixel on a large scan. A strip
/// at a time keeps the mask small enough for the cache, on a scan of any size.
class StripMask {
public:
    /// Rows 1..lastRow of strips of up to `columns` columns; cells outside the picture are
    /// white.
    StripMask(int lastRow, int columns, const DarkLimits& limits)
        : rows_(lastRow), limits_(limits), whiteDark_(isDark(kWhitePixel, limits)),
          cells_(std::size_t(columns) * std::size_t(rows_)) {}

    /// Reads the picture's columns first..last into the mask.
    void load(const QImage& picture, int first, int last) {
        first_ = first;
        const std::uint8_t white = whiteDark_ ? kDark : 0;
        const int width = picture.width();
        for (int y = 1; y <= rows_; ++y) {
            const QRgb* row = y < picture.height()
                                  ? reinterpret_cast<const QRgb*>(picture.constScanLine(y))
                                  : nullptr;
            std::uint8_t* cell = cells_.data() + (y - 1);
            for (int x = first; x <= last; ++x, cell += rows_)
                *cell = row != nullptr && x < width ? (isDark(row[x], limits_) ? kDark : 0) : white;
        }
    }

    /// Column x of the picture as an array indexed by picture row - 1.
    std::uint8_t* column(int x) { return cells_.data() + std::size_t(x - first_) * rows_; }

    /// The state of a pixel the pass has painted white: still dark when white counts as dark.
    std::uint8_t whitenedState() const { return kWhitened | (whiteDark_ ? kDark : 0); }

private:
    int rows_;
    DarkLimits limits_;
    bool whiteDark_;
    int first_ = 0;
    std::vector<std::uint8_t> cells_;
};

/// Hourglass cursor for as long as the pass runs, also when it fails.
class BusyCursor {
public:
    explicit BusyCursor(ViewHooks& view) : view_(view) { view_.setBusyCursor(true); }
    ~BusyCursor() { view_.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ViewHooks& view_;
};

} // namespace

void CleanUpPass(QImage& picture, int width, int height, const DarkLimits& limits) {
    // Pixels beyond the picture are white and never change, so the pass can stop at its edge.
    const int lastX = std::min(width - 2, picture.width() - 1);
    const int lastY = std::min(height - 2, picture.height() - 1);
    if (lastX < 2 || lastY < 2)
        return;
    StripMask mask(lastY + 1, kStripColumns + 2, limits);
    const std::uint8_t whitened = mask.whitenedState();
    QRgb* const bits = reinterpret_cast<QRgb*>(picture.bits());
    const qsizetype stride = picture.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (int first = 2; first <= lastX; first += kStripColumns) {
        const int last = std::min(first + kStripColumns - 1, lastX);
        // The column left of the strip is passed already and painted so in the picture; the
        // one right of it is not yet.
        mask.load(picture, first - 1, last + 1);
        for (int x = first; x <= last; ++x) {
            const std::uint8_t* left = mask.column(x - 1);
            std::uint8_t* middle = mask.column(x);
            const std::uint8_t* right = mask.column(x + 1);
            for (int i = 1; i < lastY; ++i) { // i = y - 1 for y = 2..lastY
                if (!(middle[i] & kDark))
                    continue;
                const int n = (left[i - 1] & kDark) + (left[i] & kDark) + (left[i + 1] & kDark) +
                              (middle[i - 1] & kDark) + (middle[i + 1] & kDark) +
                              (right[i - 1] & kDark) + (right[i] & kDark) + (right[i + 1] & kDark);
                if (n <= 1) {
                    middle[i] = whitened;
                    bits[qsizetype(i + 1) * stride + x] = kWhitePixel;
                }
            }
        }
    }
}

void CleanUpPicture(Workspace& ws) {
    Document& doc = ws.doc;
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
