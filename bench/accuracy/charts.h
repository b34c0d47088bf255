#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>

namespace kurvana::accuracy {

/// One curve of a chart: the same function for gnuplot and for the measurement.
struct Curve {
    QString gnuplot; ///< the function of x in gnuplot's syntax
    std::function<double(double)> f;
    QRgb colour;
    int width; ///< pixels
    QString name;
};

/// A chart as gnuplot draws it, with everything needed to know where its curves truly lie.
struct ChartLayout {
    QString name;
    int width = 800, height = 600;
    bool logX = false, logY = false;
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    std::vector<Curve> curves;
    double tiltDegrees = 0; ///< the picture turned this much (counter-clockwise), as a tilted scan
    bool jpeg = false;      ///< saved as JPEG at quality 75 and read back
    /// A page photographed at an angle: the chart plane turned this much about its horizontal
    /// and its vertical centre line, seen through a lens-free camera 1.5 picture widths away.
    double viewDegreesX = 0, viewDegreesY = 0;

    /// The plot frame in pixel indices (a pixel's index is its centre): left, right, top,
    /// bottom, whole numbers so that gnuplot puts the frame exactly there.
    int left() const { return width / 10; }
    int right() const { return width - width / 10; }
    int top() const { return height / 10; }
    int bottom() const { return height - height / 10; }

    /// Where the values (x, y) lie on the untilted chart, in pixel indices.
    QPointF untilted(double x, double y) const;
    /// The values at an untilted position (the inverse of untilted).
    std::pair<double, double> valuesAt(QPointF p) const;
    /// An untilted position as it lies in the (possibly tilted or photographed) picture.
    QPointF tilted(QPointF p) const;
    bool photographed() const { return viewDegreesX != 0 || viewDegreesY != 0; }
    /// The four frame corners as they lie in the picture, rounded: zero corner, X max corner,
    /// far corner, Y max corner.
    std::array<QPoint, 4> frameCorners() const;
    /// The reference pixels a careful user clicks: the corners of the frame, tilted, rounded.
    QPoint zeroPoint() const;
    QPoint xMaxPoint() const;
    QPoint yMaxPoint() const;
};

/// The charts of the accuracy run; `quick` keeps two small ones for the smoke test.
std::vector<ChartLayout> AccuracyCharts(bool quick);

/// The start of a gnuplot script for the chart: pngcairo to `output` (a file named chart.png in
/// the folder given to RenderScript), the frame put on whole pixels, the axis ranges and
/// scales, ticks outside, a light grid, no key.
QString GnuplotFrame(const ChartLayout& chart, const QString& output);

/// Runs the gnuplot script (which writes chart.png in `folder`), then tilts, photographs and
/// takes the picture through JPEG as the chart says. Throws std::runtime_error when gnuplot
/// fails.
QImage RenderScript(const ChartLayout& chart, const QString& script, const QString& folder);

/// Runs the gnuplot script, which writes the picture `png`, in `folder` and reads the picture.
/// Throws std::runtime_error when gnuplot fails.
QImage RunGnuplot(const QString& script, const QString& png, const QString& folder);

/// Draws the chart with gnuplot (pngcairo, anti-aliased) in `folder`, then tilts it and takes
/// it through JPEG as the chart says. Throws std::runtime_error when gnuplot fails.
QImage RenderChart(const ChartLayout& chart, const QString& folder);

} // namespace kurvana::accuracy
