#include "samples.h"

#include <algorithm>
#include <cmath>

namespace examples {

namespace {

// Curve colours keep every component below 200, so the snap takes them for ink, and the reds
// pass the "strongly red" test of the colour line search.
const QColor kRed(0xc0, 0x00, 0x00);
const QColor kBlue(0x00, 0x30, 0xc0);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kPurple(0xa0, 0x00, 0xa0);
const QColor kBrown(0xc0, 0x60, 0x00);

ChartSpec levelLinear() {
    ChartSpec s;
    s.stem = "level_linear";
    s.title = "Level chart, linear axes";
    s.size = QSize(900, 640);
    s.zeroPoint = QPoint(100, 560);
    s.xAxisPixels = 720;
    s.yAxisPixels = 480;
    s.x = {0.0, 10.0, ScaleKind::Linear, 1.0, "time, s"};
    s.y = {0.0, 100.0, ScaleKind::Linear, 10.0, "level, %"};
    s.curves = {
        {[](double x) { return 90.0 - 75.0 * std::exp(-x / 2.5); }, kRed, "saturation"},
        {[](double x) { return 50.0 + 28.0 * std::sin(0.75 * x + 0.4) * std::exp(-x / 14.0); },
         kBlue, "oscillation"}};
    s.sampleEvery = 18; // every 0.25 on X
    return s;
}

ChartSpec logScale() {
    ChartSpec s;
    s.stem = "log_scale";
    s.title = "Decimal logarithmic Y axis";
    s.size = QSize(900, 640);
    s.zeroPoint = QPoint(110, 560);
    s.xAxisPixels = 750;
    s.yAxisPixels = 480;
    s.x = {0.0, 50.0, ScaleKind::Linear, 5.0, "temperature, C"};
    s.y = {-1.0, 3.0, ScaleKind::Log10, 1.0, "rate"};
    s.curves = {{[](double x) { return 0.3 * std::exp(0.13 * x); }, kGreen, "growth"},
                {[](double x) { return 800.0 * std::exp(-x / 9.0) + 2.0; }, kRed, "decay"}};
    s.sampleEvery = 15; // every 1 on X
    return s;
}

ChartSpec tiltedScan() {
    ChartSpec s;
    s.stem = "tilted_scan";
    s.title = "Scanned chart, slightly turned";
    s.size = QSize(1000, 740);
    s.zeroPoint = QPoint(120, 620);
    s.xAxisPixels = 750;
    s.yAxisPixels = 500;
    s.x = {0.0, 100.0, ScaleKind::Linear, 10.0, "distance, m"};
    s.y = {0.0, 50.0, ScaleKind::Linear, 5.0, "height, m"};
    s.curves = {{[](double x) { return 22.0 + 16.0 * std::sin(x / 13.0) + 0.08 * x; }, Qt::black,
                 "profile"}};
    s.strokeWidth = 3;
    s.axisWidth = 3;
    s.sampleEvery = 15; // every 2 on X
    s.tiltDegrees = 1.5;
    s.scanNoise = true;
    return s;
}

int scaled(double value, double scale, int least) {
    return std::max(least, int(std::lround(value * scale)));
}

} // namespace

std::vector<ChartSpec> StandardSamples() {
    return {levelLinear(), logScale(), tiltedScan()};
}

ChartSpec LargeSample(double scale) {
    ChartSpec s;
    s.stem = "large_scan";
    s.title = "Large scan, A4 at 600 dpi, five curves";
    s.size = QSize(scaled(7016, scale, 200), scaled(4961, scale, 150));
    s.zeroPoint = QPoint(scaled(760, scale, 30), scaled(4400, scale, 130));
    s.xAxisPixels = scaled(6000, scale, 100);
    s.yAxisPixels = scaled(3800, scale, 60);
    s.x = {0.0, 20.0, ScaleKind::Linear, 1.0, "x"};
    s.y = {0.0, 100.0, ScaleKind::Linear, 10.0, "y"};
    s.curves = {{[](double x) { return 10.0 + 4.0 * x; }, kRed, "alpha"},
                {[](double x) { return 50.0 + 35.0 * std::sin(x / 3.0); }, kBlue, "beta"},
                {[](double x) { return 95.0 - 85.0 * std::exp(-x / 5.0); }, kGreen, "gamma"},
                {[](double x) { return 5.0 + 0.2 * x * x; }, kPurple, "delta"},
                {[](double x) { return 30.0 + 20.0 * std::cos(x / 2.0) * std::exp(-x / 15.0); },
                 kBrown, "epsilon"}};
    s.strokeWidth = scaled(4, scale, 2);
    s.axisWidth = scaled(4, scale, 1);
    s.fontPixels = scaled(56, scale, 10);
    s.sampleEvery = scaled(150, scale, 4);
    return s;
}

} // namespace examples
