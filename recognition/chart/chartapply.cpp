#include "recognition/chart/chartapply.h"

#include <algorithm>
#include <cmath>

#include "core/calibration.h"
#include "core/document.h"
#include "core/foundpoints.h"
#include "core/linedata.h"
#include "core/workspace.h"
#include "recognition/axes/axiscommand.h"
#include "recognition/chart/wholechart.h"

namespace kurvana {

namespace {

/// The most points a curve is given: a line's rows less the one a click may still add.
constexpr int kCurvePoints = kClickRowLimit;

QPoint nearestPixel(QPointF at) {
    return {int(std::lround(at.x())), int(std::lround(at.y()))};
}

/// A value as X is spaced on its axis: its exponent on a logarithmic axis.
double spacedX(const Document& doc, double value) {
    if (doc.frame == CalibrationFrame::Polar)
        return value;
    if (doc.scaleX == ScaleKind::Log10)
        return std::log10(value);
    return doc.scaleX == ScaleKind::Ln ? std::log(value) : value;
}

/// Where along the path each point lies: its X (as the axis spaces it) when X grows or falls
/// steadily along the path, otherwise the length of the path up to it (a curve that turns back,
/// a closed polar curve), which keeps the points in the order of the path.
struct PathPlaces {
    std::vector<double> at;
    bool byX = false;
};

PathPlaces placesOf(const Document& doc, const std::vector<QPointF>& path) {
    PathPlaces places{{}, doc.frame != CalibrationFrame::Polar};
    for (const QPointF& p : path) {
        const std::optional<AxisValues> v = ValuesAtPosition(doc, p);
        const double x = v ? spacedX(doc, v->x) : NAN;
        places.byX = places.byX && std::isfinite(x);
        places.at.push_back(x);
    }
    if (places.byX) {
        const bool rising = places.at.back() >= places.at.front();
        for (std::size_t i = 1; i < places.at.size() && places.byX; ++i)
            places.byX =
                rising ? places.at[i] >= places.at[i - 1] : places.at[i] <= places.at[i - 1];
        if (places.byX && !rising)
            for (double& x : places.at)
                x = -x;
    }
    if (!places.byX) {
        places.at.assign(1, 0.0);
        for (std::size_t i = 1; i < path.size(); ++i)
            places.at.push_back(places.at.back() + std::hypot(path[i].x() - path[i - 1].x(),
                                                              path[i].y() - path[i - 1].y()));
    }
    return places;
}

/// The path's position at place `t` (between the first and the last place).
QPointF positionAt(const std::vector<QPointF>& path, const std::vector<double>& at, double t) {
    const auto upper = std::lower_bound(at.begin(), at.end(), t);
    if (upper == at.begin())
        return path.front();
    if (upper == at.end())
        return path.back();
    const std::size_t i = std::size_t(upper - at.begin());
    const double span = at[i] - at[i - 1];
    const double f = span > 0 ? (t - at[i - 1]) / span : 0;
    return path[i - 1] + (path[i] - path[i - 1]) * f;
}

/// The places a curve is sampled at: every `step` of X (whole multiples of it), or evenly
/// spaced over the path.
std::vector<double> samplePlaces(const PathPlaces& places, std::size_t pathPoints,
                                 const ChartApplyOptions& options) {
    const double first = places.at.front(), last = places.at.back();
    std::vector<double> targets;
    if (options.stepX && *options.stepX > 0 && places.byX) {
        const double step = *options.stepX;
        // A falling X was turned round: its multiples of the step are negative ones.
        for (double k = std::ceil(first / step);
             k * step <= last + 1e-12 * std::abs(last) && int(targets.size()) < kCurvePoints; ++k)
            targets.push_back(k * step);
        return targets;
    }
    const int count = int(std::min<std::size_t>(pathPoints, kCurvePoints));
    for (int i = 0; i < count; ++i)
        targets.push_back(count == 1 ? first : first + (last - first) * i / (count - 1));
    return targets;
}

std::vector<FoundPoint> curvePoints(const Document& doc, const SeriesReading& series,
                                    const ChartApplyOptions& options) {
    std::vector<FoundPoint> points;
    if (series.points.size() < 2) {
        for (const QPointF& p : series.points)
            points.push_back({nearestPixel(p), {}});
        return points;
    }
    const PathPlaces places = placesOf(doc, series.points);
    for (const double t : samplePlaces(places, series.points.size(), options)) {
        const QPoint pixel = nearestPixel(positionAt(series.points, places.at, t));
        // Places closer than a pixel give the same stored point once.
        if (points.empty() || points.back().pixel != pixel)
            points.push_back({pixel, {}});
    }
    return points;
}

std::vector<FoundPoint> onePointEach(const SeriesReading& series) {
    std::vector<FoundPoint> points;
    for (std::size_t i = 0; i < series.points.size(); ++i)
        points.push_back({nearestPixel(series.points[i]),
                          i < series.extras.size() ? series.extras[i] : PointExtras{}});
    return points;
}

} // namespace

void ApplyChartReading(Workspace& ws, const ChartReading& reading,
                       const ChartApplyOptions& options) {
    Document& doc = ws.doc;
    if (!reading.axes.empty())
        ApplyCalibrationProposal(ws, reading.axes);
    const int lines = int(std::min<std::size_t>(reading.series.size(), kLineCount));
    for (int i = 0; i < lines; ++i) {
        const SeriesReading& series = reading.series[std::size_t(i)];
        const int line = i + 1;
        doc.currentLine = line;
        ClearLineData(ws);
        const std::vector<FoundPoint> points = series.kind == SeriesKind::Curve
                                                   ? curvePoints(doc, series, options)
                                                   : onePointEach(series);
        AppendFoundPoints(doc, line, points);
        doc.lineInfo.at(line) = {series.name, series.kind, series.colour | 0xFF000000u};
        // Sorted as the line's settings say, values computed.
        RefreshValues(ws);
    }
    doc.currentLine = 1;
    ws.view.pictureChanged();
    ws.view.controlsChanged();
}

} // namespace kurvana
