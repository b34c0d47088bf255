#include "tracing/colourline.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QImage>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/numbers.h"
#include "core/workspace.h"
#include "tracing/polarsearch.h"

namespace kurvana {

namespace {

constexpr Colour kWhite = 0xFFFFFF;

/// Rounded to the nearest whole number, halves to the even neighbour (2.5 -> 2, 5.5 -> 6).
long long roundHalfEven(long double value) {
    return static_cast<long long>(std::nearbyint(value));
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
    case SearchTolerant:
        return distanceSquared(colour) <= tolerance * tolerance;
    default:
        return false;
    }
}

int ColourLineTest::distanceSquared(Colour colour) const {
    const int r = int(colour & 0xFF) - searchR;
    const int g = int(colour >> 8 & 0xFF) - searchG;
    const int b = int(colour >> 16 & 0xFF) - searchB;
    return r * r + g * g + b * b;
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
    const SearchArea area = ColumnSearchArea(doc);
    columns.startX = area.left + 4;
    const long long endX = area.right - 4;
    columns.topY = area.top + 4;
    columns.bottomY = area.bottom - 4;
    const long double width = static_cast<long double>(endX - columns.startX);
    // A negative count gives a step below 1, hence one column per pixel.
    columns.step = std::max(roundHalfEven(width / count), 1LL);
    columns.count = std::min(roundHalfEven(width / columns.step), kMaxColourColumns);
    return columns;
}

std::vector<QPoint> ScanColourColumns(const QImage& picture, const ColourLineTest& test,
                                      const ColourColumns& columns) {
    const long long count = std::max(columns.count, 0LL);
    std::vector<std::optional<long long>> rows(std::size_t(count), std::nullopt);
    const long long topY = columns.topY;
    const long long bottomY = columns.bottomY;
    const long long width = picture.width();
    const long long height = picture.height();
    // Rows and columns outside the picture are white, so they are decided without reading
    // them: a white-matching test finds them at once, any other test never.
    const bool whiteMatches = test.matches(kWhite);
    std::vector<std::size_t> pending; // columns whose answer lies in the picture's rows
    for (std::size_t i = 0; i < std::size_t(count) && topY <= bottomY; ++i) {
        const long long x = columns.startX + (long long)i * columns.step;
        if (x < 0 || x >= width || (topY < 0 && whiteMatches)) {
            if (whiteMatches)
                rows[i] = topY;
            continue;
        }
        pending.push_back(i);
    }
    // All pending columns are read along each row, top to bottom, until each has its match:
    // reading a column down a large scan would touch another memory page at every pixel.
    const long long last = std::min(bottomY, height - 1);
    for (long long y = std::max(topY, 0LL); y <= last && !pending.empty(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(int(y)));
        std::erase_if(pending, [&](std::size_t i) {
            const long long x = columns.startX + (long long)i * columns.step;
            if (!test.matches(colourFromQRgb(line[x])))
                return false;
            rows[i] = y;
            return true;
        });
    }
    if (bottomY >= height && whiteMatches)
        for (std::size_t i : pending)
            rows[i] = std::max(topY, height);

    std::vector<QPoint> found;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i])
            found.emplace_back(static_cast<int>(columns.startX + (long long)i * columns.step),
                               static_cast<int>(*rows[i]));
    return found;
}

std::vector<QPoint> ScanColourRunCentres(const QImage& picture, const ColourLineTest& test,
                                         const ColourColumns& columns) {
    struct Run {
        long long x = 0;
        long double weight = 0, weightedY = 0;
    };
    std::vector<Run> runs;
    for (long long i = 0; i < std::max(columns.count, 0LL); ++i) {
        const long long x = columns.startX + i * columns.step;
        if (x >= 0 && x < picture.width())
            runs.push_back({x});
    }
    // Read along rows, as the other kinds do; a column drops out when its first run ends.
    std::vector<Run*> open;
    for (Run& run : runs)
        open.push_back(&run);
    const long double reach = test.tolerance + 1.0L;
    const long long last = std::min(columns.bottomY, (long long)picture.height() - 1);
    for (long long y = std::max(columns.topY, 0LL); y <= last && !open.empty(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(int(y)));
        std::erase_if(open, [&](Run* run) {
            const Colour colour = colourFromQRgb(line[run->x]);
            if (!test.matches(colour))
                return run->weight > 0;
            const long double w = 1 - std::sqrt((long double)test.distanceSquared(colour)) / reach;
            run->weight += w;
            run->weightedY += w * y;
            return false;
        });
    }
    std::vector<QPoint> found;
    for (const Run& run : runs)
        if (run.weight > 0)
            found.emplace_back(int(run.x), int(std::floor(run.weightedY / run.weight + 0.5L)));
    return found;
}

void FindColourLine(Workspace& ws, int kind, const QString& countText, int tolerance) {
    Document& doc = ws.doc;
    const int count = ParseSearchCount(doc, countText);
    const RecordedStep step(ws, StepKind::ColourLineSearch);
    // Kinds 1 to 3 read the clean picture with the other lines' marks and the axes drawing;
    // the tolerant kind reads the clean picture alone.
    ClearLineData(ws);
    const ColourLineTest test{kind, doc.searchR, doc.searchG, doc.searchB, tolerance};
    const QImage& picture = kind == SearchTolerant ? doc.cleanPicture : doc.workingPicture;
    std::vector<QPoint> points;
    // A polar chart is searched along rays round the centre, in order of angle from 0: the
    // order sorting by X (the angle) gives too, so a closed curve keeps its path either way.
    if (const auto rays = PlanPolarRays(doc, count))
        points = ScanPolarRays(picture, test, *rays);
    else if (kind == SearchTolerant)
        points = ScanColourRunCentres(picture, test, PlanColourColumns(doc, count));
    else
        points = ScanColourColumns(picture, test, PlanColourColumns(doc, count));
    const int line = doc.currentLine;
    for (const QPoint& p : points)
        doc.appendPoint(line, p.x(), p.y());
    // Marks only after the scan: a mark must not be found in a later column.
    for (int row = 1; row < doc.nextRow.at(line); ++row)
        DrawMark(doc, doc.pointX(line, row), doc.pointY(line, row), doc.markDiameter, line);
    ws.view.pictureChanged();
    RefreshValues(ws);
}

} // namespace kurvana
