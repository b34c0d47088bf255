#include "tracing/autodigitise.h"

#include <algorithm>
#include <array>

#include <QImage>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr int kDarkLimit = 100;
constexpr int kCurveColumns = 30;
constexpr int kCurveFirstOffset = 20; ///< column k lies at C + 20 + 15 k
constexpr int kCurveColumnSpacing = 15;
constexpr int kCurveTopRow = 56; ///< the last row a column scan reads

bool isDarkPixel(QRgb p) {
    return qRed(p) < kDarkLimit && qGreen(p) < kDarkLimit && qBlue(p) < kDarkLimit;
}

/// The side neighbours of a pixel, left column then right column; the pixels straight above
/// and below do not count.
constexpr std::array<std::array<int, 2>, 6> kSideNeighbours{
    {{-1, -1}, {-1, 0}, {-1, +1}, {+1, -1}, {+1, 0}, {+1, +1}}};

int darkSideNeighbours(const QImage& picture, int x, int y) {
    int n = 0;
    for (const auto& offset : kSideNeighbours)
        n += IsAutoDark(picture, x + offset[0], y + offset[1]) ? 1 : 0;
    return n;
}

/// Walks column x from the X axis row upward and returns the first dark pixel with enough
/// dark side neighbours, or -1.
int curvePointInColumn(const QImage& picture, int x, int axisRow, int threshold) {
    int y = axisRow;
    while (true) {
        if (IsAutoDark(picture, x, y) && darkSideNeighbours(picture, x, y) >= threshold)
            return y;
        --y;
        if (y < kCurveTopRow)
            return -1;
    }
}

/// The first index holding the greatest count, offset by `first`; 0 when all counts are 0.
int firstMaximum(const std::vector<int>& counts, int first) {
    int best = 0;
    int at = 0;
    for (std::size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > best) {
            best = counts[i];
            at = first + int(i);
        }
    return at;
}

/// Dark pixels of each of the columns left..right in the rows top..bottom, read row by row.
std::vector<int> darkPerColumn(const QImage& picture, int left, int right, int top, int bottom) {
    std::vector<int> counts(std::size_t(right - left + 1), 0);
    const int x0 = std::max(left, 0);
    const int x1 = std::min(right, picture.width() - 1);
    for (int y = std::max(top, 0); y <= std::min(bottom, picture.height() - 1); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = x0; x <= x1; ++x)
            counts[std::size_t(x - left)] += isDarkPixel(row[x]) ? 1 : 0;
    }
    return counts;
}

} // namespace

bool IsAutoDark(const QImage& picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return false; // white
    return isDarkPixel(reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x]);
}

int FindXAxisRow(const QImage& picture) {
    std::vector<int> counts(std::size_t(kAxisRowLast - kAxisRowFirst + 1), 0);
    const int x0 = std::max(kAxisRowBandLeft, 0);
    const int x1 = std::min(kAxisRowBandRight, picture.width() - 1);
    for (int y = kAxisRowFirst; y <= std::min(kAxisRowLast, picture.height() - 1); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        int c = 0;
        for (int x = x0; x <= x1; ++x)
            c += isDarkPixel(row[x]) ? 1 : 0;
        counts[std::size_t(y - kAxisRowFirst)] = c;
    }
    return firstMaximum(counts, kAxisRowFirst);
}

int FindYAxisColumn(const QImage& picture) {
    return firstMaximum(darkPerColumn(picture, kAxisColumnFirst, kAxisColumnLast,
                                      kAxisColumnBandTop, kAxisColumnBandBottom),
                        kAxisColumnFirst);
}

void AutomaticDigitising(Workspace& ws, int threshold) {
    Document& doc = ws.doc;
    const QString question =
        doc.texts.message(10) + QString::number(doc.currentLine) + '\r' + doc.texts.message(11);
    if (ws.dialogs.question(question, platform::QuestionButtons::YesNo) != platform::Answer::Yes)
        return;

    const RecordedStep step(ws, StepKind::AutomaticDigitising);
    ToggleAxes(doc); // the axes drawing must not be taken for an axis of the chart
    const int axisRow = FindXAxisRow(doc.workingPicture);
    const int axisColumn = FindYAxisColumn(doc.workingPicture);
    if (axisRow == 0 || axisColumn == 0) {
        ToggleAxes(doc);
        throw CommandError(doc.texts.extra(ExtraText::NoAxisFound));
    }
    doc.zeroPointY = axisRow;
    doc.xMaxPointY = axisRow;
    doc.yMaxPointX = axisColumn;
    doc.zeroPointX = axisColumn;
    doc.axisAngle = 0.0L;
    ToggleAxes(doc);

    // The scan reads the clean picture with the other lines' marks and the new axes drawing.
    ClearLineData(ws);
    const int line = doc.currentLine;
    for (int k = 1; k <= kCurveColumns; ++k) {
        const int x = axisColumn + kCurveFirstOffset + kCurveColumnSpacing * k;
        const int y = curvePointInColumn(doc.workingPicture, x, axisRow, threshold);
        if (y < 0)
            continue;
        doc.appendPoint(line, x, y);
        DrawMark(doc, x, y, doc.markDiameter, line);
    }
    ws.view.pictureChanged();
    RefreshValues(ws);
}

} // namespace kurvana
