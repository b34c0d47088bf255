#pragma once

#include <functional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace examples {

enum class ScaleKind { Linear, Log10 };

/// One axis of a sample chart. `from` and `to` are in the scale's own units, i.e. what the
/// user types into the Input window: the values themselves on a linear axis, the decimal
/// exponents on a logarithmic one (-1 and 3 for 0.1 .. 1000).
struct ChartAxis {
    double from = 0.0;
    double to = 1.0;
    ScaleKind kind = ScaleKind::Linear;
    double labelStep = 1.0; ///< between labelled ticks, in the same units as from/to
    QString title;
};

struct ChartCurve {
    std::function<double(double)> y; ///< Y as a function of X, both in axis values
    QColor colour;
    QString name; ///< one word
};

/// Everything that makes one sample picture. Geometry is given on the level paper; a tilted
/// sample is that paper turned about the picture centre, as a crooked scan would be.
struct ChartSpec {
    QString stem; ///< file name without extension
    QString title;
    QSize size;
    QPoint zeroPoint;    ///< where the axes cross, X = x.from and Y = y.from
    int xAxisPixels = 0; ///< from the zero point to the X max point
    int yAxisPixels = 0; ///< from the zero point up to the Y max point
    ChartAxis x;
    ChartAxis y;
    std::vector<ChartCurve> curves;
    int strokeWidth = 2; ///< of the curves, in pixels
    int axisWidth = 1;
    int fontPixels = 13;
    int sampleEvery = 16;     ///< listed points: one every this many pixel columns
    double tiltDegrees = 0.0; ///< counter-clockwise
    bool scanNoise = false;   ///< grey paper noise and dust specks
};

/// A point of a curve whose picture pixel lies on the drawn stroke.
struct KnownPoint {
    int curve = 0; ///< 1-based
    double x = 0.0;
    double y = 0.0;
    QPoint pixel;
};

struct RenderedChart {
    QImage picture;
    QPoint zeroPoint;
    QPoint xMaxPoint;
    QPoint yMaxPoint;
    std::vector<KnownPoint> points;
};

/// Draws the chart and works out the pixels of its reference points and sampled curve points.
RenderedChart RenderChart(const ChartSpec& spec);

/// Writes <stem>.bmp (24-bit) and <stem>.txt (the known data) into `folder`.
/// Returns an empty string on success, otherwise what went wrong.
QString WriteChart(const ChartSpec& spec, const RenderedChart& chart, const QString& folder);

} // namespace examples
