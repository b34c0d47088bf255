#include "tracing/fixedstep.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QImage>
#include <QPoint>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/numbers.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr int kLowestScanRow = 6; ///< the column scan stops below this row

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

/// The search copy covers at least the current picture; what it held before is painted over,
/// so pixels of an earlier picture or earlier searches can never be taken for the polyline.
void whitenSearchCopy(Document& doc) {
    const int width = std::max({doc.searchCopy.width(), doc.workingPicture.width(),
                                int(doc.pictureWidth)});
    const int height = std::max({doc.searchCopy.height(), doc.workingPicture.height(),
                                 int(doc.pictureHeight)});
    if (doc.searchCopy.width() != width || doc.searchCopy.height() != height ||
        doc.searchCopy.format() != QImage::Format_RGB32)
        doc.searchCopy = QImage(width, height, QImage::Format_RGB32);
    doc.searchCopy.fill(qrgbFromColour(kSearchCopyBackground));
}

void drawOnCopy(Document& doc, const std::vector<QPoint>& points, Colour colour) {
    const QRect clip(0, 0, doc.searchCopy.width(), doc.searchCopy.height());
    PaintPixels(doc.searchCopy, PolylinePixels(points, 1, clip), colour);
}

/// Where the column scan of x finds the polyline: from the X axis upward, the lowest exactly
/// green pixel, down to row 6 (only the axis row when that is above row 6).
std::optional<int> lowestGreen(const QImage& copy, long long x, int axisRow) {
    if (x < 0 || x >= copy.width())
        return std::nullopt;
    const int last = axisRow <= kLowestScanRow - 1 ? axisRow : kLowestScanRow;
    const int first = std::min(axisRow, copy.height() - 1);
    const QRgb green = qrgbFromColour(kSearchCopyPolyline);
    const qsizetype stride = copy.bytesPerLine();
    const uchar* pixel = copy.constBits() + x * 4;
    for (int y = first; y >= std::max(last, 0); --y)
        if (*reinterpret_cast<const QRgb*>(pixel + y * stride) == green)
            return y;
    return std::nullopt;
}

/// The red line over a searched column, from the X axis to the height of the Y axis.
void paintColumn(QImage& copy, long long x, int axisRow, int yAxisLength) {
    if (x < 0 || x >= copy.width())
        return;
    const long long top = std::min<long long>(axisRow, static_cast<long long>(axisRow) -
                                                           yAxisLength);
    const long long bottom = std::max<long long>(axisRow, static_cast<long long>(axisRow) -
                                                              yAxisLength);
    const QRgb red = qrgbFromColour(kSearchCopyColumn);
    for (long long y = std::max(top, 0LL); y <= std::min<long long>(bottom, copy.height() - 1);
         ++y)
        reinterpret_cast<QRgb*>(copy.scanLine(int(y)))[x] = red;
}

/// The column of the X value c, or nothing when it lies beyond any picture.
std::optional<long long> columnOf(long double c, const Document& doc, long double k) {
    const long double x = std::trunc((c - doc.axisXMin) * k + doc.zeroPointX);
    if (!std::isfinite(x) || std::fabs(x) > 1e15L)
        return std::nullopt;
    return static_cast<long long>(x);
}

/// Scans of one column: the first visit paints the column red, so a second visit can find
/// only what lies above the red line, and every later visit finds exactly what the second did.
struct ColumnHistory {
    int visits = 0;
    std::optional<int> lastFind;
};

} // namespace

bool PrepareFixedStepSearch(Workspace& ws) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    if (doc.nextRow.at(line) < 4) {
        ws.dialogs.information(doc.texts.message(21));
        return false;
    }
    // The rotated positions first: a point too far away stops the command before any drawing.
    std::vector<QPoint> polyline;
    for (int row = 1; row < doc.nextRow.at(line); ++row) {
        const RotatedPoint p = ToRotatedFrame(doc, doc.pointX(line, row), doc.pointY(line, row));
        polyline.emplace_back(clampToInt(static_cast<long long>(doc.zeroPointX) + p.u),
                              clampToInt(static_cast<long long>(doc.zeroPointY) - p.v));
    }
    whitenSearchCopy(doc);
    const long long zx = doc.zeroPointX, zy = doc.zeroPointY;
    drawOnCopy(doc,
               {QPoint(int(zx), clampToInt(zy - doc.yAxisLength)), QPoint(int(zx), int(zy)),
                QPoint(clampToInt(zx + doc.xAxisLength), int(zy))},
               kSearchCopyAxes);
    drawOnCopy(doc, polyline, kSearchCopyPolyline);
    return true;
}

QString FixedStepSearch(Workspace& ws, const QString& fromText, const QString& toText,
                        const QString& stepText) {
    Document& doc = ws.doc;
    const long double from = parseFloatOrThrow(fromText, doc.decimalSeparator);
    const long double to = parseFloatOrThrow(toText, doc.decimalSeparator);
    const long double step = parseFloatOrThrow(stepText, doc.decimalSeparator);
    if (step <= 0)
        throw CommandError(doc.texts.extra(ExtraText::StepNotPositive));
    if ((to - from) / step >= kMaxFixedSteps)
        throw CommandError(doc.texts.extra(ExtraText::StepTooSmall).arg(kMaxFixedSteps));
    if (doc.xAxisLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::XAxisTooShort));
    if (doc.yAxisLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::YAxisTooShort));

    const long double k =
        doc.xAxisLength / (static_cast<long double>(doc.axisXMax) - doc.axisXMin);
    QString list;
    std::unordered_map<long long, ColumnHistory> columns;
    for (long double c = from; c <= to; c += step) {
        const std::optional<long long> x = columnOf(c, doc, k);
        std::optional<int> found;
        if (x) {
            ColumnHistory& history = columns[*x];
            if (history.visits < 2) {
                history.lastFind = lowestGreen(doc.searchCopy, *x, doc.zeroPointY);
                paintColumn(doc.searchCopy, *x, doc.zeroPointY, doc.yAxisLength);
                ++history.visits;
            }
            found = history.lastFind;
        }
        if (found) {
            const AxisValues v = ToAxisValues(doc, int(*x - doc.zeroPointX),
                                              doc.zeroPointY - *found, doc.xAxisLength,
                                              doc.yAxisLength);
            list += formatTableNumber(double(c), doc.decimalSeparator, doc.scientificFormat);
            list += '\t';
            list += formatTableNumber(v.y, doc.decimalSeparator, doc.scientificFormat);
            list += "\r\n";
        }
        if (c + step == c)
            break; // the step is lost in c's precision: every further pass would repeat this one
    }
    return list;
}

} // namespace kurvana
