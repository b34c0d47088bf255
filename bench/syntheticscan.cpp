#include "bench/syntheticscan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QRandomGenerator>

namespace kurvana::bench {

namespace {

constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kAxisInk = 0xFF000000u;
constexpr QRgb kGridInk = 0xFF5A5A5Au; // dark enough to count as a line for automatic digitising
constexpr QRgb kDustInk = 0xFF323232u;
constexpr int kGridDivisions = 10;
constexpr int kPixelsPerSpeck = 4000;
constexpr int kAxisOverhang = 20; ///< the X axis runs this far left of the Y axis, like a tick

/// The height of curve k over the plot, as a fraction of the Y axis, at t = 0..1 along X.
double curveHeight(int curve, double t) {
    const double turn = 2 * std::numbers::pi;
    switch (curve) {
    case 1:
        return 0.5 + 0.3 * std::sin(turn * 1.5 * t);
    case 2:
        return 0.15 + 0.7 * t;
    case 3:
        return 0.85 - 0.6 * t * t;
    case 4:
        return 0.5 + 0.25 * std::cos(turn * 3 * t);
    default:
        return 0.2 + 0.08 * std::sin(turn * 5 * t) + 0.5 * t * t * t;
    }
}

void setPixel(QImage& picture, int x, int y, QRgb colour) {
    if (x >= 0 && y >= 0 && x < picture.width() && y < picture.height())
        reinterpret_cast<QRgb*>(picture.scanLine(y))[x] = colour;
}

void fillRect(QImage& picture, int left, int top, int right, int bottom, QRgb colour) {
    for (int y = std::max(top, 0); y <= std::min(bottom, picture.height() - 1); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        std::fill(row + std::max(left, 0), row + std::min(right, picture.width() - 1) + 1, colour);
    }
}

void drawDust(QImage& picture) {
    QRandomGenerator random(35);
    const long long specks = (long long)picture.width() * picture.height() / kPixelsPerSpeck;
    for (long long i = 0; i < specks; ++i)
        setPixel(picture, random.bounded(picture.width()), random.bounded(picture.height()),
                 kDustInk);
}

void drawGridAndAxes(SyntheticScan& scan) {
    QImage& p = scan.picture;
    const int plotWidth = scan.plotRight - scan.axisColumn;
    const int plotHeight = scan.axisRow - scan.plotTop;
    for (int i = 1; i <= kGridDivisions; ++i) {
        const int y = scan.axisRow - plotHeight * i / kGridDivisions;
        fillRect(p, scan.axisColumn, y, scan.plotRight, y, kGridInk);
        const int x = scan.axisColumn + plotWidth * i / kGridDivisions;
        fillRect(p, x, scan.plotTop, x, scan.axisRow, kGridInk);
    }
    fillRect(p, scan.axisColumn - kAxisOverhang, scan.axisRow - 1, scan.plotRight, scan.axisRow + 1,
             kAxisInk);
    fillRect(p, scan.axisColumn - 1, scan.plotTop, scan.axisColumn + 1, scan.axisRow, kAxisInk);
}

/// A continuous stroke two pixels thick: each column joins the previous column's row.
void drawCurve(SyntheticScan& scan, int curve) {
    const QRgb ink = qrgbFromColour(scan.curveColour.at(curve));
    int previous = scan.curveRow(curve, scan.axisColumn + 2);
    for (int x = scan.axisColumn + 2; x <= scan.plotRight - 2; ++x) {
        const int y = scan.curveRow(curve, x);
        fillRect(scan.picture, x, std::min(previous, y), x, std::max(previous, y) + 1, ink);
        previous = y;
    }
}

} // namespace

int SyntheticScan::curveRow(int curve, int x) const {
    const double t = double(x - axisColumn) / (plotRight - axisColumn);
    return axisRow - int(std::lround(curveHeight(curve, t) * (axisRow - plotTop)));
}

std::vector<QPoint> SyntheticScan::pointsOnCurve(int curve, int count) const {
    std::vector<QPoint> points;
    const int first = axisColumn + 3;
    const int span = plotRight - 3 - first;
    for (int i = 0; i < count; ++i) {
        const int x = first + int((long long)span * i / std::max(count - 1, 1));
        points.emplace_back(x, curveRow(curve, x));
    }
    return points;
}

SyntheticScan MakeSyntheticScan(long long pixels) {
    SyntheticScan scan;
    const int width = int(std::lround(std::sqrt(double(pixels) * 7 / 5)));
    const int height = int(std::lround(double(pixels) / width));
    scan.picture = QImage(width, height, QImage::Format_RGB32);
    scan.picture.fill(kPaper);
    // The Y axis stays where automatic digitising looks for it (columns 20..200).
    scan.axisColumn = 120;
    scan.axisRow = height - 1 - std::max(40, height / 8);
    scan.plotRight = width - 1 - std::max(20, width / 40);
    // Above the band where automatic digitising looks for the X axis (rows 150..1000), so the
    // top grid line is not taken for it.
    scan.plotTop = 60;
    scan.curveColour = {0,
                        colourFromRgb(200, 30, 30),
                        colourFromRgb(30, 140, 30),
                        colourFromRgb(30, 30, 200),
                        colourFromRgb(150, 60, 150),
                        colourFromRgb(40, 40, 40)};
    drawDust(scan.picture);
    drawGridAndAxes(scan);
    for (int curve = 1; curve <= 5; ++curve)
        drawCurve(scan, curve);
    return scan;
}

} // namespace kurvana::bench
