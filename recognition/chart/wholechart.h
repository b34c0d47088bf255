#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include <QPointF>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QStringList>

#include "core/document.h"
#include "recognition/axes/findaxes.h"
#include "tracing/polarsearch.h"

class QImage;

namespace kurvana {

class LabelReader;

/// One data series of a chart as the whole-chart reader found it, in picture pixels (pixel
/// centres whole numbers, y downwards).
struct SeriesReading {
    SeriesKind kind = SeriesKind::Curve;
    QRgb colour = 0;
    QString name; ///< the legend's text for it; empty where there is no legend
    /// Curves: the stroke centre along the whole curve, one point per picture column (per row
    /// where the curve runs upright), in the order of the path. Markers and bars: one point per
    /// marker centre or bar (centre, value end), left to right.
    std::vector<QPointF> points;
    /// Markers and bars: the error-bar ends and category labels per point (empty, or as many as
    /// points; extras.xLow.. in picture pixels).
    std::vector<PointExtras> extras;
    /// Curves: how much of the plot area's width the curve was followed over, against the
    /// columns where its colour shows (1 when nothing was lost).
    double followed = 1;
};

/// What the whole-chart reader could not do, for the user's list.
enum class ChartProblem {
    NoAxes,        ///< no calibration found (and none given)
    PartialAxes,   ///< a calibration, but not every part of it was found
    NoSeries,      ///< nothing in the plot area looked like data
    TooManySeries, ///< more series than the five lines; the rest are left out
    CurveLost,     ///< a curve was lost over part of its length
};

/// The proposal of "Digitise whole chart": the calibration (as Find axes gives it) and up to
/// five series, the largest first.
struct ChartReading {
    AxisProposal axes; ///< empty when the calibration was given
    QRect plotArea;    ///< the area searched for series
    std::vector<SeriesReading> series;
    int seriesLeftOut = 0; ///< series found beyond the five lines
    std::vector<ChartProblem> problems;
};

struct ChartReadingOptions {
    /// The plot area when the calibration was given (the axes are not looked for then);
    /// nothing: find the axes and take the area they enclose.
    std::optional<QRect> plotArea;
    /// A kept polar calibration's rays: curves are then followed round the centre.
    std::optional<PolarRays> polarRays;
    /// Set from another thread to stop; the reading then gives nothing.
    const std::atomic_bool* cancel = nullptr;
    /// Told the fraction done, 0..1, from the reading's thread.
    std::function<void(double)> progress;
};

/// Reads the whole chart in `picture`: the axes (FindAxes, unless options.plotArea is given),
/// the series in the plot area (stroke colours clustered apart from the paper, anti-aliasing
/// fringes joined to the colour they fringe; axes, ticks, grid, frame, text and the legend box
/// left out), each curve followed over its whole length, marker series found by shape and
/// colour, bars by colour; names from the legend read with `reader`. Reads `picture` only.
ChartReading ReadWholeChart(const QImage& picture, LabelReader& reader,
                            const ChartReadingOptions& options = {});

} // namespace kurvana
