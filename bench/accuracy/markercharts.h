#pragma once

#include <optional>
#include <vector>

#include <QImage>
#include <QPoint>

#include "bench/accuracy/charts.h"

namespace kurvana::accuracy {

/// One series of markers as gnuplot draws it, with the pixels where they truly lie.
struct MarkerSeries {
    int pointType;    ///< gnuplot's pt: 1 plus, 2 cross, 4/5 square, 6/7 circle, 8/9 triangle...
    double pointSize; ///< gnuplot's ps
    QRgb colour;
    bool joined = false;  ///< with linespoints
    double lineWidth = 1; ///< gnuplot's lw: the outlines', strokes' and lines' width
    std::vector<QPoint> centres;
    /// Upright error bar ends (top row, bottom row) per marker, when the series has bars.
    std::vector<std::pair<int, int>> bars;
};

struct MarkerChart {
    QString name;
    ChartLayout layout;
    std::vector<MarkerSeries> series;
    bool gridInColour = false; ///< grid lines in the first series' colour
    double capSize = -1;       ///< gnuplot's `set bars`; below 0 leaves it as it comes
};

/// The marker charts of the accuracy run: every point type filled and open at small and large
/// sizes, one to four series (two of one colour), overlapping markers, markers on joining
/// lines and on grid lines, error bars with and without caps, JPEG quality 75, log axes.
std::vector<MarkerChart> MarkerCharts(bool quick);

/// Draws the chart with gnuplot in `folder`.
QImage RenderMarkerChart(const MarkerChart& chart, const QString& folder);

} // namespace kurvana::accuracy
