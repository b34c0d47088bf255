#pragma once

#include <map>
#include <optional>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QString>

namespace e2e {

/// One axis of a sample chart as its known-data file gives it: the texts typed into the Input
/// window (exponents on a log10 axis) and the scale kind.
struct KnownAxis {
    double inputMin = 0.0;
    double inputMax = 1.0;
    bool log10 = false;
};

struct KnownCurve {
    QString colour; ///< "#rrggbb"
    int strokeWidth = 1;
};

struct KnownPoint {
    int curve = 0;
    QPointF value; ///< X and Y in axis values
    QPoint pixel;  ///< a picture pixel of the drawn stroke
};

/// The known data written beside a sample chart (examples/README.md describes the records).
struct KnownChart {
    QPoint zeroPoint;
    QPoint xMaxPoint;
    QPoint yMaxPoint;
    KnownAxis x;
    KnownAxis y;
    std::map<int, KnownCurve> curves;
    std::vector<KnownPoint> points;

    std::vector<KnownPoint> pointsOf(int curve) const;

    /// Where the axis values (X, Y) lie on the picture, in fractional picture pixels.
    QPointF pixelOf(QPointF value) const;
};

/// Reads a known-data file; an empty result with `error` set when it cannot be read.
std::optional<KnownChart> ReadKnownChart(const QString& path, QString* error);

/// `count` points of `curve` spread evenly along it, each at least `clearance` pixels away from
/// every listed point of the other curves, so that the snap cannot pull a click onto another
/// stroke. Both the clicks and their check use this same choice.
std::vector<KnownPoint> PointsToPick(const KnownChart& chart, int curve, int count,
                                     double clearance = 16.0);

} // namespace e2e
