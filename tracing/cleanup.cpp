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
constexpr int kTile = 64; ///< side of the blocks in which the picture and the mask are copied

// Cell states of the darkness mask.
constexpr std::uint8_t kDark = 1;
constexpr std::uint8_t kWhitened = 2;

/// The darkness of the pixels the pass can see, stored column by column. The pass walks the
/// picture column by column; in this layout its three columns are three sequential streams,
/// where the picture itself would be read across rows, a cache miss per pixel on a large scan.
/// Copying in tiles keeps both the picture's rows and the mask's columns in cache.
class ColumnMask {
public:
    /// Columns 1..lastX + 1 and rows 1..lastY + 1 of the picture; cells outside it are white.
    ColumnMask(const QImage& picture, int lastX, int lastY, const DarkLimits& limits)
        : columns_(lastX + 1), rows_(lastY + 1),
          cells_(std::size_t(columns_) * std::size_t(rows_)) {
        const bool whiteDark = isDark(kWhitePixel, limits);
        const int width = picture.width();
        const int height = picture.height();
        forEachTile([&](int x0, int x1, int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const QRgb* row =
                    y < height ? reinterpret_cast<const QRgb*>(picture.constScanLine(y)) : nullptr;
                for (int x = x0; x < x1; ++x) {
                    const bool inside = row != nullptr && x < width;
                    const bool dark = inside ? isDark(row[x], limits) : whiteDark;
                    cell(x, y) = dark ? kDark : 0;
                }
            }
        });
        whitenedState_ = kWhitened | (whiteDark ? kDark : 0);
    }

    /// Column x of the picture as an array indexed by picture row - 1.
    std::uint8_t* column(int x) { return cells_.data() + std::size_t(x - 1) * rows_; }

    std::uint8_t whitenedState() const { return whitenedState_; }

    /// Paints white every pixel the pass whitened.
    void applyTo(QImage& picture) {
        QRgb* const bits = reinterpret_cast<QRgb*>(picture.bits());
        const qsizetype stride = picture.bytesPerLine() / qsizetype(sizeof(QRgb));
        const int width = picture.width();
        const int height = picture.height();
        forEachTile([&](int x0, int x1, int y0, int y1) {
            for (int y = y0; y < std::min(y1, height); ++y)
                for (int x = x0; x < std::min(x1, width); ++x)
                    if (cell(x, y) & kWhitened)
                        bits[y * stride + x] = kWhitePixel;
        });
    }

    static bool isDark(QRgb p, const DarkLimits& limits) {
        return qRed(p) <= limits.r && qGreen(p) <= limits.g && qBlue(p) <= limits.b;
    }

private:
    std::uint8_t& cell(int x, int y) {
        return cells_[std::size_t(x - 1) * rows_ + std::size_t(y - 1)];
    }

    /// Calls visit(x0, x1, y0, y1) for tiles covering columns 1..columns_, rows 1..rows_
    /// (upper bounds excluded).
    template <typename F> void forEachTile(F&& visit) {
        for (int y0 = 1; y0 <= rows_; y0 += kTile)
            for (int x0 = 1; x0 <= columns_; x0 += kTile)
                visit(x0, std::min(x0 + kTile, columns_ + 1), y0, std::min(y0 + kTile, rows_ + 1));
    }

    int columns_;
    int rows_;
    std::vector<std::uint8_t> cells_;
    std::uint8_t whitenedState_ = kWhitened;
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
    ColumnMask mask(picture, lastX, lastY, limits);
    const std::uint8_t whitened = mask.whitenedState();
    for (int x = 2; x <= lastX; ++x) {
        // Left is already passed, right not yet; within the middle column the rows above are.
        const std::uint8_t* left = mask.column(x - 1);
        std::uint8_t* middle = mask.column(x);
        const std::uint8_t* right = mask.column(x + 1);
        for (int i = 1; i < lastY; ++i) { // i = y - 1 for y = 2..lastY
            if (!(middle[i] & kDark))
                continue;
            const int n = (left[i - 1] & kDark) + (left[i] & kDark) + (left[i + 1] & kDark) +
                          (middle[i - 1] & kDark) + (middle[i + 1] & kDark) +
                          (right[i - 1] & kDark) + (right[i] & kDark) + (right[i + 1] & kDark);
            if (n <= 1)
                middle[i] = whitened;
        }
    }
    mask.applyTo(picture);
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
    if (ws.dialogs.question(doc.texts.message(13), platform::QuestionButtons::YesNo) ==
        platform::Answer::Yes)
        doc.cleanPicture = doc.workingPicture;
    else
        ShowCleanPicture(doc);
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
}

} // namespace kurvana
