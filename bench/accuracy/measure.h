#pragma once

#include <QImage>

#include "bench/accuracy/charts.h"
#include "core/document.h"

namespace kurvana::accuracy {

/// Distances of digitised points from the true curve, in picture pixels.
struct Figures {
    int points = 0;
    int within1 = 0;
    int within15 = 0;
    double sum = 0;
    double max = 0;
    /// 0.3 % of the shorter axis range, in untilted pixels: a point this close to its curve
    /// has values within 0.3 % of the axis ranges of the truth.
    double rangeLimit = 0;
    int withinRange = 0;

    void add(double distance);
    double shareWithinRange() const { return points ? 100.0 * withinRange / points : 0; }
    double shareWithin1() const { return points ? 100.0 * within1 / points : 0; }
    double shareWithin15() const { return points ? 100.0 * within15 / points : 0; }
    double mean() const { return points ? sum / points : 0; }
};

/// What one curve of one chart gave: clicks 1 to 5 pixels off the curve with autocorrection by
/// either rule, and the colour line search with tolerance and by exact colour.
struct CurveFigures {
    Figures snapped, snappedDarkOnly, tolerantSearch, exactSearch;
};

/// Calibrates the program on the chart's true reference pixels and measures every curve.
std::vector<CurveFigures> MeasureChart(const ChartLayout& chart, const QImage& picture,
                                       int tolerance);

} // namespace kurvana::accuracy
