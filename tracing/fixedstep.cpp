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
    const int width =
        std::max({doc.searchCopy.width(), doc.workingPicture.width(), int(doc.pictureWidth)});
    const int height =
        std::max({doc.searchCopy.height(), doc.workingPicture.height(), int(doc.pictureHeight)});
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

/// The red line over a searched column, from the X axis towards the height of the Y axis; like
/// every line drawn to a point, it stops just before that point.
void paintColumn(QImage& copy, long long x, int axisRow, int yAxisLength) {
    if (x < 0 || x >= copy.width() || yAxisLength == 0)
        return;
    const long long end = static_cast<long long>(axisRow) - yAxisLength;
    const long long top = yAxisLength > 0 ? end + 1 : axisRow;
    const long long bottom = yAxisLength > 0 ? axisRow : end - 1;
    const QRgb red = qrgbFromColour(kSearchCopyColumn);
    const long long last = std::min<long long>(bottom, copy.height() - 1);
    for (long long y = std::max(top, 0LL); y <= last; ++y)
        reinterpret_cast<QRgb*>(copy.scanLine(int(y)))[x] = red;
}

/// The column of the X value c, or nothing when it lies beyond any picture.
std::optional<long long> columnOf(long double c, const Document& doc, long double k) {
    const long double x = std::trunc((c - doc.axisXMin) * k + doc.zeroPointX);
    if (!std::isfinite(x) || std::fabs(x) > 1e15L)
        return std::nullopt;
    return static_cast<long long>(x);
}

/// Columns move one way as c grows: once c's column lies past the far edge of the copy, no later
/// c can find or paint anything, however far To is.
bool passedTheCopy(long double c, const Document& doc, long double k) {
    const long double x = (c - doc.axisXMin) * k + doc.zeroPointX;
    return k > 0 ? x >= doc.searchCopy.width() : x <= -1;
}

/// The searched X values: From, To and Step as typed.
struct StepRange {
    long double from = 0;
    long double to = 0;
    long double step = 1;
};

/// Reads and checks the three edits before anything is drawn.
StepRange readStepRange(const Document& doc, const QString& fromText, const QString& toText,
                        const QString& stepText) {
    StepRange range;
    range.from = parseFloatOrThrow(fromText, doc.decimalSeparator);
    range.to = parseFloatOrThrow(toText, doc.decimalSeparator);
    range.step = parseFloatOrThrow(stepText, doc.decimalSeparator);
    if (range.step <= 0)
        throw CommandError(doc.texts.extra(ExtraText::StepNotPositive));
    if (doc.axisXMax == doc.axisXMin)
        throw CommandError(doc.texts.extra(ExtraText::XRangeEmpty));
    if (doc.xAxisLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::XAxisTooShort));
    if (doc.yAxisLength == 0)
        throw CommandError(doc.texts.extra(ExtraText::YAxisTooShort));
    return range;
}

/// Scans columns of the search copy and paints each red after its scan. The first visit of a
/// column paints it, so a second visit can only find what lies above the red line, and every
/// later visit finds exactly what the second did: those are answered without a scan.
class ColumnScanner {
public:
    explicit ColumnScanner(Document& doc) : doc_(doc) {}

    std::optional<int> visit(long long x) {
        // A column beyond the copy finds nothing and paints nothing: it needs no record, so
        // a long walk outside the picture holds no memory.
        if (x < 0 || x >= doc_.searchCopy.width())
            return std::nullopt;
        Visits& column = columns_[x];
        if (column.count < 2) {
            column.lastFind = lowestGreen(doc_.searchCopy, x, doc_.zeroPointY);
            paintColumn(doc_.searchCopy, x, doc_.zeroPointY, doc_.yAxisLength);
            ++column.count;
        }
        return column.lastFind;
    }

private:
    struct Visits {
        int count = 0;
        std::optional<int> lastFind;
    };
    Document& doc_;
    std::unordered_map<long long, Visits> columns_;
};

/// One line of the list: the X value searched, a tab, the Y value found, CR LF.
QString listLine(const Document& doc, long double c, long long x, int y) {
    const AxisValues v = ToAxisValues(doc, int(x - doc.zeroPointX), doc.zeroPointY - y,
                                      doc.xAxisLength, doc.yAxisLength);
    // Always the general 15-digit form: the list is for pasting, whatever the table shows.
    return formatGeneral(double(c), doc.decimalSeparator) + '\t' +
           formatGeneral(v.y, doc.decimalSeparator) + "\r\n";
}

} // namespace

bool PrepareFixedStepSearch(Workspace& ws) {
    Document& doc = ws.doc;
    // The search steps along the X axis of the three points; in another frame its values
    // would be those of the nearest three-point calibration, not the table's.
    if (doc.frame != CalibrationFrame::ThreePoint)
        throw CommandError(doc.texts.extra(ExtraText::FixedStepNeedsThreePoints));
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
    const StepRange range = readStepRange(doc, fromText, toText, stepText);
    const long double k = doc.xAxisLength / (static_cast<long double>(doc.axisXMax) - doc.axisXMin);
    const BusyCursor busy(ws.view);
    ColumnScanner scanner(doc);
    QString list;
    long long lines = 0;
    for (long double c = range.from; c <= range.to; c += range.step) {
        if (const std::optional<long long> x = columnOf(c, doc, k))
            if (const std::optional<int> y = scanner.visit(*x)) {
                if (++lines > kMaxFixedStepLines)
                    throw CommandError(
                        doc.texts.extra(ExtraText::FixedStepListTooLong).arg(kMaxFixedStepLines));
                list += listLine(doc, c, *x, *y);
            }
        if (passedTheCopy(c, doc, k))
            break;
        if (c + range.step == c)
            break; // the step is lost in c's precision: every further pass would repeat this one
    }
    return list;
}

} // namespace kurvana
