#include "tracing/colourline.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/linedata.h"
#include "core/numbers.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr Colour kWhite = 0xFFFFFF;

/// Rounded to the nearest whole number, halves to the even neighbour (2.5 -> 2, 5.5 -> 6).
long long roundHalfEven(long double value) {
    return static_cast<long long>(std::nearbyint(value));
}

/// Finds the topmost row of column x in topY..bottomY whose pixel matches. Rows and columns
/// outside the picture are white, so they are decided without reading them: a white-matching
/// test finds them at once, any other test never.
bool topmostInColumn(const QImage& picture, const ColourLineTest& test, long long x, long long topY,
                     long long bottomY, long long& row) {
    if (topY > bottomY)
        return false;
    const bool whiteMatches = test.matches(kWhite);
    const long long height = picture.height();
    if (x < 0 || x >= picture.width()) {
        row = topY;
        return whiteMatches;
    }
    if (topY < 0 && whiteMatches) {
        row = topY;
        return true;
    }
    const long long first = std::max(topY, 0LL);
    const long long last = std::min(bottomY, height - 1);
    const uchar* pixel = picture.constBits() + x * 4;
    const qsizetype stride = picture.bytesPerLine();
    for (long long y = first; y <= last; ++y) {
        const QRgb value = *reinterpret_cast<const QRgb*>(pixel + y * stride);
        if (test.matches(colourFromQRgb(value))) {
            row = y;
            return true;
        }
    }
    if (bottomY >= height && whiteMatches) {
        row = std::max(topY, height);
        return true;
    }
    return false;
}

} // namespace

bool ColourLineTest::matches(Colour colour) const {
    const int r = int(colour & 0xFF);
    const int g = int(colour >> 8 & 0xFF);
    const int b = int(colour >> 16 & 0xFF);
    switch (kind) {
    case SearchByColour:
        return r == searchR && g == searchG && b == searchB;
    case SearchBlack:
        return r == 0 && g == 0 && b == 0;
    case SearchSpecial:
        return r - b > 120 && r - g > 120; // signed differences: a strongly red pixel
    default:
        return false;
    }
}

int ParseSearchCount(const Document& doc, const QString& countText) {
    const auto count = parseInteger(countText);
    if (!count)
        throw CommandError(doc.texts.extra(ExtraText::CountNotWhole).arg(countText));
    if (*count == 0)
        throw CommandError(doc.texts.extra(ExtraText::CountZero));
    return *count;
}

ColourColumns PlanColourColumns(const Document& doc, int count) {
    ColourColumns columns;
    columns.startX = static_cast<long long>(doc.zeroPointX) + 4;
    const long long endX = static_cast<long long>(doc.xMaxPointX) - 4;
    columns.topY = static_cast<long long>(doc.yMaxPointY) + 4;
    columns.bottomY = static_cast<long long>(doc.zeroPointY) - 4;
    const long double width = static_cast<long double>(endX - columns.startX);
    // A negative count gives a step below 1, hence one column per pixel.
    columns.step = std::max(roundHalfEven(width / count), 1LL);
    columns.count = std::min(roundHalfEven(width / columns.step), kMaxColourColumns);
    return columns;
}

std::vector<QPoint> ScanColourColumns(const QImage& picture, const ColourLineTest& test,
                                      const ColourColumns& columns) {
    std::vector<QPoint> found;
    for (long long i = 0; i < columns.count; ++i) {
        const long long x = columns.startX + i * columns.step;
        long long y = 0;
        if (topmostInColumn(picture, test, x, columns.topY, columns.bottomY, y))
            found.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
    return found;
}

void FindColourLine(Workspace& ws, int kind, const QString& countText) {
    Document& doc = ws.doc;
    const int count = ParseSearchCount(doc, countText);
    // The search reads the clean picture with the other lines' marks and the axes drawing.
    ClearLineData(ws);
    const ColourLineTest test{kind, doc.searchR, doc.searchG, doc.searchB};
    const int line = doc.currentLine;
    for (const QPoint& p :
         ScanColourColumns(doc.workingPicture, test, PlanColourColumns(doc, count)))
        doc.appendPoint(line, p.x(), p.y());
    // Marks only after the scan: a mark must not be found in a later column.
    for (int row = 1; row < doc.nextRow.at(line); ++row)
        DrawMark(doc, doc.pointX(line, row), doc.pointY(line, row), doc.markDiameter, line);
    ws.view.pictureChanged();
    RefreshValues(ws);
}

} // namespace kurvana
