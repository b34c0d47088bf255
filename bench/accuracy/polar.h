#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>

namespace kurvana::accuracy {

/// One curve r(t) of a polar chart, t the angle in radians.
struct PolarCurve {
    QString gnuplot; ///< r as a function of t in gnuplot's syntax
    std::function<double(double)> r;
    QRgb colour;
    int width;
    QString name;
};

/// A square polar chart drawn by gnuplot's polar mode: radius 0 at the centre, rMax at the
/// edge of the plot square, angles counter-clockwise from the right.
struct PolarChart {
    QString name;
    int size = 900;
    double rMax = 3;
    std::vector<PolarCurve> curves;

    int left() const { return size / 10; }
    int right() const { return size - size / 10; }
    QPointF centre() const { return {(left() + right()) / 2.0, (left() + right()) / 2.0}; }
    double pixelsPerUnit() const { return (right() - left()) / (2 * rMax); }
    /// The picture position of angle t (radians) and radius r.
    QPointF at(double t, double r) const;
};

/// What the clicks on one curve gave: the share of points whose radius lies within 0.3 % of
/// the radius range of the curve's and whose angle within 0.3 degree, and the largest errors.
struct PolarFigures {
    int points = 0, within = 0;
    double maxRadiusShare = 0; ///< percent of the radius range
    double maxDegrees = 0;
    /// The colour line search only: whether its points came in order of the path, and the
    /// widest step of angle between neighbours (the last back to the first): the whole turn is
    /// covered when it is small.
    bool inPathOrder = true;
    double widestGapDegrees = 0;
};

/// Both ways of digitising one curve: clicks with autocorrection, and the colour line search
/// (tolerant kind) along rays round the centre.
struct PolarCurveFigures {
    PolarFigures snapped, searched;
};

std::vector<PolarChart> PolarCharts();

/// Draws the chart with gnuplot in `folder`.
QImage RenderPolarChart(const PolarChart& chart, const QString& folder);

/// Calibrates the polar frame on the chart's centre and the right end of its 0-degree ray,
/// clicks each curve 1 to 5 pixels off it with autocorrection, runs the colour line search on
/// its colour, and measures the points.
std::vector<PolarCurveFigures> MeasurePolarChart(const PolarChart& chart, const QImage& picture);

} // namespace kurvana::accuracy
