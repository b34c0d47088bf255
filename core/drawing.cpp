#include "core/drawing.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QImage>

#include "core/document.h"
#include "core/picture.h"

namespace kurvana {

namespace {

constexpr Colour kHighlightColour = 0xFF0000; // pure blue
constexpr Colour kZoneColour = 0x0000FF;      // pure red

bool inReadingOrder(const QPoint& a, const QPoint& b) {
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
}

/// From this many pixels on, sortUnique sorts by rows first.
constexpr std::size_t kRowSortFrom = 1024;

/// Sorts one row of pixels by x. Each segment of a polyline leaves its pixels on a row in
/// order, so a row is a few ordered runs (where the X axis meets the Y axis, two runs of
/// thousands of pixels): they are merged, and only a row of many runs is sorted outright.
void sortRow(std::vector<QPoint>::iterator first, std::vector<QPoint>::iterator last) {
    constexpr int kMostMerges = 8;
    auto sortedEnd = std::is_sorted_until(first, last, inReadingOrder);
    for (int merges = 0; sortedEnd != last; ++merges) {
        if (merges == kMostMerges) {
            std::sort(first, last, inReadingOrder);
            return;
        }
        const auto runEnd = std::is_sorted_until(sortedEnd, last, inReadingOrder);
        std::inplace_merge(first, sortedEnd, runEnd, inReadingOrder);
        sortedEnd = runEnd;
    }
}

/// Sorts pixels into reading order by counting them into their rows (stable), then sorting
/// each row that is not in order yet. False when the rows are too sparse for that to pay.
bool sortByRows(std::vector<QPoint>& pixels) {
    const auto [lowest, highest] =
        std::minmax_element(pixels.begin(), pixels.end(),
                            [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
    const std::int64_t top = lowest->y();
    const std::size_t rows = std::size_t(std::int64_t(highest->y()) - top + 1);
    if (rows > 4 * pixels.size())
        return false;
    std::vector<std::size_t> start(rows + 1, 0);
    for (const QPoint& p : pixels)
        ++start[std::size_t(p.y() - top) + 1];
    for (std::size_t r = 0; r < rows; ++r)
        start[r + 1] += start[r];
    std::vector<QPoint> sorted(pixels.size());
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    for (const QPoint& p : pixels)
        sorted[next[std::size_t(p.y() - top)]++] = p;
    for (std::size_t r = 0; r < rows; ++r)
        sortRow(sorted.begin() + std::ptrdiff_t(start[r]),
                sorted.begin() + std::ptrdiff_t(start[r + 1]));
    pixels = std::move(sorted);
    return true;
}

/// Pixels in reading order (rows top down, each row left to right), each once. The axes of a
/// large scan are tens of thousands of pixels, lying on a few pixels per row or in long
/// ordered runs: sorted row by row they cost a fraction of one sort of them all.
void sortUnique(std::vector<QPoint>& pixels) {
    if (pixels.size() < kRowSortFrom || !sortByRows(pixels))
        std::sort(pixels.begin(), pixels.end(), inReadingOrder);
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
}

int roundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

/// Wide enough for the product of two differences of 32-bit coordinates, times two.
__extension__ using Wide = __int128;

std::int64_t floorDiv(Wide a, std::int64_t b) {
    Wide q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return std::int64_t(q);
}

/// The segment p0-p1 drawn with a pen `width` pixels wide: one pixel per step along its major
/// direction, thickened across it.
class PenSegment {
public:
    PenSegment(QPoint p0, QPoint p1, int width) : before_((width - 1) / 2), after_(width / 2) {
        std::int64_t dx = std::int64_t(p1.x()) - p0.x();
        std::int64_t dy = std::int64_t(p1.y()) - p0.y();
        xMajor_ = std::llabs(dx) >= std::llabs(dy);
        // Walk the major axis in increasing order.
        if ((xMajor_ && dx < 0) || (!xMajor_ && dy < 0)) {
            std::swap(p0, p1);
            dx = -dx;
            dy = -dy;
        }
        major0_ = xMajor_ ? p0.x() : p0.y();
        minor0_ = xMajor_ ? p0.y() : p0.x();
        majorLength_ = xMajor_ ? dx : dy;
        minorLength_ = xMajor_ ? dy : dx;
    }

    /// Calls visit(pixel) for each pixel of the segment within `clip`, each once. Only the
    /// part of the segment that can reach `clip` is walked, so far-away points cost nothing.
    template <typename F> void forEach(const QRect& clip, F&& visit) const {
        const int width = before_ + after_ + 1;
        const std::int64_t clipMajorLow = (xMajor_ ? clip.left() : clip.top()) - 1;
        const std::int64_t clipMajorHigh = (xMajor_ ? clip.right() : clip.bottom()) + 1;
        const std::int64_t clipMinorLow = (xMajor_ ? clip.top() : clip.left()) - width;
        const std::int64_t clipMinorHigh = (xMajor_ ? clip.bottom() : clip.right()) + width;
        const std::int64_t from = std::max(major0_, clipMajorLow);
        const std::int64_t to = std::min(major0_ + majorLength_, clipMajorHigh);
        for (std::int64_t m = from; m <= to; ++m) {
            const std::int64_t n = minorAt(m);
            if (n < clipMinorLow || n > clipMinorHigh)
                continue;
            for (int k = -before_; k <= after_; ++k) {
                const QPoint p = xMajor_ ? QPoint(int(m), int(n + k)) : QPoint(int(n + k), int(m));
                if (clip.contains(p))
                    visit(p);
            }
        }
    }

    /// True when forEach visits p for any clip holding p.
    bool contains(const QPoint& p) const {
        const std::int64_t m = xMajor_ ? p.x() : p.y();
        if (m < major0_ || m > major0_ + majorLength_)
            return false;
        const std::int64_t k = (xMajor_ ? p.y() : p.x()) - minorAt(m);
        return k >= -before_ && k <= after_;
    }

private:
    std::int64_t minorAt(std::int64_t m) const {
        if (majorLength_ == 0)
            return minor0_;
        return minor0_ +
               floorDiv(2 * Wide(m - major0_) * minorLength_ + majorLength_, 2 * majorLength_);
    }

    int before_, after_;
    bool xMajor_ = true;
    std::int64_t major0_ = 0, minor0_ = 0, majorLength_ = 0, minorLength_ = 0;
};

std::vector<PenSegment> penSegments(const std::vector<QPoint>& points, int width) {
    std::vector<PenSegment> segments;
    if (points.size() == 1)
        segments.emplace_back(points[0], points[0], width);
    for (std::size_t i = 1; i < points.size(); ++i)
        segments.emplace_back(points[i - 1], points[i], width);
    return segments;
}

/// Calls visit(pixel) for each pixel of a polyline of a few segments within `clip`, each once,
/// in no particular order: a pixel an earlier segment has is left to it. Nothing is stored,
/// so the axes of a large scan cost no memory.
template <typename F>
void forEachPolylinePixel(const std::vector<QPoint>& points, int width, const QRect& clip,
                          F&& visit) {
    if (clip.isEmpty())
        return;
    const std::vector<PenSegment> segments = penSegments(points, width);
    for (std::size_t i = 0; i < segments.size(); ++i)
        segments[i].forEach(clip, [&](const QPoint& p) {
            for (std::size_t j = 0; j < i; ++j)
                if (segments[j].contains(p))
                    return;
            visit(p);
        });
}

QRect pictureRect(const QImage& image) {
    return QRect(0, 0, image.width(), image.height());
}

} // namespace

std::vector<QPoint> EllipseOutline(int left, int top, int right, int bottom) {
    std::vector<QPoint> pixels;
    const double rx = (right - left - 1) / 2.0;
    const double ry = (bottom - top - 1) / 2.0;
    if (rx < 0 || ry < 0)
        return pixels;
    const double cx = (left + right - 1) / 2.0;
    const double cy = (top + bottom - 1) / 2.0;
    // Walk the columns and the rows: the union of both passes is a closed outline.
    for (int x = left; x < right; ++x) {
        const double q = rx > 0 ? (x - cx) / rx : 0.0;
        const double dy = ry * std::sqrt(std::max(0.0, 1.0 - q * q));
        pixels.emplace_back(x, roundHalfUp(cy - dy));
        pixels.emplace_back(x, roundHalfUp(cy + dy));
    }
    for (int y = top; y < bottom; ++y) {
        const double q = ry > 0 ? (y - cy) / ry : 0.0;
        const double dx = rx * std::sqrt(std::max(0.0, 1.0 - q * q));
        pixels.emplace_back(roundHalfUp(cx - dx), y);
        pixels.emplace_back(roundHalfUp(cx + dx), y);
    }
    sortUnique(pixels);
    return pixels;
}

std::vector<QPoint> PolylinePixels(const std::vector<QPoint>& points, int width,
                                   const QRect& clip) {
    std::vector<QPoint> pixels;
    if (points.empty() || clip.isEmpty())
        return pixels;
    for (const PenSegment& segment : penSegments(points, width))
        segment.forEach(clip, [&](const QPoint& p) { pixels.push_back(p); });
    sortUnique(pixels);
    return pixels;
}

namespace {

/// The picture's pixels through one pointer to its rows, taken at the first pixel inside:
/// the axes of a large scan are tens of thousands of pixels, and a picture no pixel falls in
/// stays shared, as with QImage::scanLine.
class PixelWriter {
public:
    explicit PixelWriter(QImage& image)
        : image_(image), width_(image.width()), height_(image.height()) {}

    /// The pixel at p, or nothing outside the picture.
    QRgb* at(const QPoint& p) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= width_ || p.y() >= height_)
            return nullptr;
        if (bits_ == nullptr) {
            bits_ = image_.bits();
            stride_ = image_.bytesPerLine();
        }
        return reinterpret_cast<QRgb*>(bits_ + p.y() * stride_) + p.x();
    }

private:
    QImage& image_;
    int width_, height_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
};

/// The NOT-XOR pen mode: the complement of (pen XOR pixel); twice gives the pixel back.
QRgb notXor(QRgb pixel, QRgb pen) {
    return 0xFF000000u | (~(pixel ^ pen) & 0xFFFFFFu);
}

} // namespace

void PaintPixels(QImage& image, const std::vector<QPoint>& pixels, Colour colour) {
    const QRgb value = qrgbFromColour(colour);
    PixelWriter writer(image);
    for (const QPoint& p : pixels)
        if (QRgb* pixel = writer.at(p))
            *pixel = value;
}

void NotXorPixels(QImage& image, const std::vector<QPoint>& pixels, Colour pen) {
    const QRgb penValue = qrgbFromColour(pen);
    PixelWriter writer(image);
    for (const QPoint& p : pixels)
        if (QRgb* pixel = writer.at(p))
            *pixel = notXor(*pixel, penValue);
}

QRect BoundsOf(const std::vector<QPoint>& pixels) {
    if (pixels.empty())
        return {};
    int left = pixels[0].x(), right = left, top = pixels[0].y(), bottom = top;
    for (const QPoint& p : pixels) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

namespace {

/// Beyond this many drawn-over areas a full restore is cheaper than keeping count. A cleared
/// line of 999 marks and a zone trail of 999 circles stay below it.
constexpr std::size_t kMaxTrackedAreas = 4096;

bool pictureIsTracked(const Document& doc) {
    return doc.tracking.workingKey == doc.workingPicture.cacheKey() &&
           doc.tracking.cleanKey == doc.cleanPicture.cacheKey() &&
           doc.tracking.markDiameter == doc.markDiameter && doc.tracking.lineColor == doc.lineColor;
}

void forgetPicture(Document& doc) {
    doc.tracking.workingKey = -1;
    doc.tracking.dirty.clear();
}

/// Keeps the tracking after a drawing: a drawing on a tracked picture keeps it tracked (its
/// area noted when it leaves the picture off the canonical state); on an unknown one, unknown.
void noteDrawing(Document& doc, bool wasTracked, const QRect& area, bool canonical) {
    if (!wasTracked) {
        forgetPicture(doc);
        return;
    }
    if (!canonical && !area.isEmpty()) {
        if (doc.tracking.dirty.size() >= kMaxTrackedAreas) {
            forgetPicture(doc);
            return;
        }
        doc.tracking.dirty.push_back(area);
    }
    doc.tracking.workingKey = doc.workingPicture.cacheKey();
}

constexpr int kAxesWidth = 3;

/// The polyline the axes are drawn along: Y max point, zero point, X max point; in the
/// perspective frame the quadrilateral of its four points, so that it shows the fit; in the
/// polar frame the centre and the reference ray. The frame's points change only between two
/// toggles, so that drawing twice removes.
std::vector<QPoint> axesCorners(const Document& doc) {
    if (doc.frame == CalibrationFrame::Perspective) {
        const auto& p = doc.perspective;
        std::vector<QPoint> corners;
        for (int i = 0; i <= 4; ++i)
            corners.emplace_back(p.pointX[i % 4], p.pointY[i % 4]);
        return corners;
    }
    if (doc.frame == CalibrationFrame::Polar)
        return {{doc.polar.centreX, doc.polar.centreY},
                {doc.polar.referenceX, doc.polar.referenceY}};
    return {{doc.yMaxPointX, doc.yMaxPointY},
            {doc.zeroPointX, doc.zeroPointY},
            {doc.xMaxPointX, doc.xMaxPointY}};
}

/// Draws (or removes) the part of the axes inside `clip`, NOT-XOR, each pixel once. Returns
/// the area of the axes' pixels there.
QRect toggleAxesWithin(Document& doc, const QRect& clip) {
    const std::vector<QPoint> corners = axesCorners(doc);
    const QRgb pen = qrgbFromColour(doc.axesColor);
    PixelWriter writer(doc.workingPicture);
    QPoint topLeft(INT_MAX, INT_MAX), bottomRight(INT_MIN, INT_MIN);
    forEachPolylinePixel(corners, kAxesWidth, clip, [&](const QPoint& p) {
        if (QRgb* pixel = writer.at(p))
            *pixel = notXor(*pixel, pen);
        topLeft = QPoint(std::min(topLeft.x(), p.x()), std::min(topLeft.y(), p.y()));
        bottomRight = QPoint(std::max(bottomRight.x(), p.x()), std::max(bottomRight.y(), p.y()));
    });
    return topLeft.x() == INT_MAX ? QRect() : QRect(topLeft, bottomRight);
}

/// The part of `within` where the pen of a segment from p to q can leave pixels: the box of
/// the two points, widened by the pen.
QRect segmentReach(QPoint p, QPoint q, const QRect& within) {
    const auto clamp = [](std::int64_t v, int low, int high) {
        return int(std::clamp<std::int64_t>(v, low, high));
    };
    const std::int64_t left = std::int64_t(std::min(p.x(), q.x())) - kAxesWidth;
    const std::int64_t right = std::int64_t(std::max(p.x(), q.x())) + kAxesWidth;
    const std::int64_t top = std::int64_t(std::min(p.y(), q.y())) - kAxesWidth;
    const std::int64_t bottom = std::int64_t(std::max(p.y(), q.y())) + kAxesWidth;
    if (right < within.left() || left > within.right() || bottom < within.top() ||
        top > within.bottom())
        return {};
    return QRect(QPoint(clamp(left, within.left(), within.right()),
                        clamp(top, within.top(), within.bottom())),
                 QPoint(clamp(right, within.left(), within.right()),
                        clamp(bottom, within.top(), within.bottom())));
}

/// A data file may hold any 32-bit coordinates. A mark this far out touches no picture, and
/// its box and centre would not fit an int: it is not drawn at all.
constexpr int kFarthestMark = 1 << 30;

bool markIsDrawable(int x, int y, int d) {
    const auto near = [d](int c) {
        return c >= -kFarthestMark && c <= kFarthestMark && d >= 0 && d <= kFarthestMark;
    };
    return near(x) && near(y);
}

std::vector<QPoint> markPixels(int x, int y, int d) {
    if (!markIsDrawable(x, y, d))
        return {};
    return EllipseOutline(x - d, y - d, x + d + 1, y + d + 1);
}

/// The areas to restore, widened to whole tiles of a fixed grid: disjoint, quick to look up,
/// and hardly larger than the areas. Restoring a pixel outside the areas is harmless (it is in
/// the canonical state already), so the widening changes nothing.
class TileRegion {
public:
    TileRegion(const std::vector<QRect>& areas, const QRect& picture) : picture_(picture) {
        columns_ = (picture.width() + kTile - 1) / kTile;
        for (const QRect& area : areas) {
            const QRect r = area & picture;
            if (r.isEmpty())
                continue;
            for (int ty = r.top() / kTile; ty <= r.bottom() / kTile; ++ty)
                for (int tx = r.left() / kTile; tx <= r.right() / kTile; ++tx)
                    tiles_.push_back(std::int64_t(ty) * columns_ + tx);
        }
        std::sort(tiles_.begin(), tiles_.end());
        tiles_.erase(std::unique(tiles_.begin(), tiles_.end()), tiles_.end());
    }

    bool contains(const QPoint& p) const {
        return picture_.contains(p) && hasTile(p.x() / kTile, p.y() / kTile);
    }

    /// True when the box shares a tile with the region.
    bool touches(const QRect& box) const {
        const QRect r = box & picture_;
        if (r.isEmpty())
            return false;
        for (int ty = r.top() / kTile; ty <= r.bottom() / kTile; ++ty)
            for (int tx = r.left() / kTile; tx <= r.right() / kTile; ++tx)
                if (hasTile(tx, ty))
                    return true;
        return false;
    }

    /// The region as disjoint rectangles inside the picture: runs of neighbouring tiles.
    std::vector<QRect> runs() const {
        std::vector<QRect> result;
        for (std::size_t i = 0; i < tiles_.size();) {
            std::size_t j = i + 1;
            while (j < tiles_.size() && tiles_[j] == tiles_[j - 1] + 1 && tiles_[j] % columns_ != 0)
                ++j;
            const int tx = int(tiles_[i] % columns_);
            const int ty = int(tiles_[i] / columns_);
            result.push_back(QRect(tx * kTile, ty * kTile, int(j - i) * kTile, kTile) & picture_);
            i = j;
        }
        return result;
    }

private:
    static constexpr int kTile = 16;

    bool hasTile(int tx, int ty) const {
        return std::binary_search(tiles_.begin(), tiles_.end(), std::int64_t(ty) * columns_ + tx);
    }

    QRect picture_;
    int columns_ = 1;
    std::vector<std::int64_t> tiles_; ///< row-major tile numbers, ascending
};

/// Clean picture, marks in order and the axes drawing inside the region alone. Each pixel of
/// the region gets the clean pixel, then every mark over it in the order RedrawMarks draws
/// them, then the axes once.
void restoreRegion(Document& doc, const TileRegion& region) {
    const std::vector<QRect> runs = region.runs();
    for (const QRect& r : runs) {
        const std::size_t bytes = std::size_t(r.width()) * sizeof(QRgb);
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(reinterpret_cast<QRgb*>(doc.workingPicture.scanLine(y)) + r.left(),
                        reinterpret_cast<const QRgb*>(doc.cleanPicture.constScanLine(y)) + r.left(),
                        bytes);
    }
    for (int line = 1; line <= kLineCount; ++line)
        for (int row = 1; row < doc.nextRow.at(line); ++row) {
            const int x = doc.pointX(line, row);
            const int y = doc.pointY(line, row);
            if (!region.touches(MarkArea(x, y, doc.markDiameter)))
                continue;
            std::vector<QPoint> pixels = markPixels(x, y, doc.markDiameter);
            std::erase_if(pixels, [&](const QPoint& p) { return !region.contains(p); });
            PaintPixels(doc.workingPicture, pixels, doc.lineColor.at(line));
        }
    if (!doc.tracking.axesShown)
        return;
    // Only the runs the axes pass through: a cleared line's marks lie all over the picture.
    const QRect picture = pictureRect(doc.workingPicture);
    const std::vector<QPoint> corners = axesCorners(doc);
    std::vector<QRect> reaches;
    for (std::size_t i = 0; i + 1 < corners.size(); ++i)
        reaches.push_back(segmentReach(corners[i], corners[i + 1], picture));
    for (const QRect& r : runs)
        if (std::any_of(reaches.begin(), reaches.end(),
                        [&r](const QRect& reach) { return r.intersects(reach); }))
            toggleAxesWithin(doc, r);
}

} // namespace

QRect MarkArea(int x, int y, int d) {
    if (!markIsDrawable(x, y, d))
        return {};
    return QRect(QPoint(x - d, y - d), QPoint(x + d, y + d));
}

QRect DrawMark(Document& doc, int x, int y, int d, int line) {
    const bool tracked = pictureIsTracked(doc);
    const auto pixels = markPixels(x, y, d);
    PaintPixels(doc.workingPicture, pixels, doc.lineColor.at(line));
    const QRect area = BoundsOf(pixels);
    noteDrawing(doc, tracked, area, false);
    return area;
}

void RedrawMarks(Document& doc) {
    ShowCleanPicture(doc);
    doc.workingPicture.detach();
    for (int line = 1; line <= kLineCount; ++line)
        for (int row = 1; row < doc.nextRow.at(line); ++row)
            PaintPixels(doc.workingPicture,
                        markPixels(doc.pointX(line, row), doc.pointY(line, row), doc.markDiameter),
                        doc.lineColor.at(line));
    doc.tracking.dirty.clear();
    doc.tracking.axesShown = false;
    doc.tracking.markDiameter = doc.markDiameter;
    doc.tracking.lineColor = doc.lineColor;
    doc.tracking.cleanKey = doc.cleanPicture.cacheKey();
    doc.tracking.workingKey = doc.workingPicture.cacheKey();
}

QRect RestoreMarksAndAxes(Document& doc, const std::vector<QRect>& removedMarks) {
    // Only a known picture with the axes shown once can be mended area by area.
    if (!pictureIsTracked(doc) || !doc.tracking.axesShown ||
        doc.tracking.dirty.size() + removedMarks.size() > kMaxTrackedAreas) {
        RedrawMarks(doc);
        ToggleAxes(doc);
        return {};
    }
    std::vector<QRect> areas = doc.tracking.dirty;
    areas.insert(areas.end(), removedMarks.begin(), removedMarks.end());
    QRect changed;
    for (const QRect& area : areas)
        changed |= area;
    restoreRegion(
        doc, TileRegion(areas, pictureRect(doc.workingPicture) & pictureRect(doc.cleanPicture)));
    doc.tracking.dirty.clear();
    doc.tracking.workingKey = doc.workingPicture.cacheKey();
    return changed.isEmpty() ? QRect(0, 0, 1, 1) : changed;
}

QRect ToggleAxes(Document& doc) {
    const bool tracked = pictureIsTracked(doc);
    const QRect area = toggleAxesWithin(doc, pictureRect(doc.workingPicture));
    doc.tracking.axesShown = !doc.tracking.axesShown;
    noteDrawing(doc, tracked, {}, true);
    return area;
}

QRect ToggleHighlight(Document& doc, int x, int y, int d) {
    const bool tracked = pictureIsTracked(doc);
    const auto pixels = markPixels(x, y, d);
    NotXorPixels(doc.workingPicture, pixels, kHighlightColour);
    const QRect area = BoundsOf(pixels);
    noteDrawing(doc, tracked, area, false);
    return area;
}

QRect ToggleZoneCircle(Document& doc, int x, int y) {
    const bool tracked = pictureIsTracked(doc);
    const auto pixels = EllipseOutline(x - 10, y - 10, x + 10, y + 10);
    NotXorPixels(doc.workingPicture, pixels, kZoneColour);
    const QRect area = BoundsOf(pixels);
    noteDrawing(doc, tracked, area, false);
    return area;
}

} // namespace kurvana
