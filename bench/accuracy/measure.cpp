#include "bench/accuracy/measure.h"

#include <algorithm>
#include <cmath>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/clicks.h"
#include "core/linedata.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"
#include "tracing/colourline.h"

namespace kurvana::accuracy {

namespace {

/// Clicks per curve, spread evenly along it.
constexpr int kClicksPerCurve = 100;
/// Clicks and found points this close to the frame are left out: the frame is a stroke too.
constexpr double kFrameMargin = 12;
/// A click this close to another curve could rightly go there.
constexpr double kOtherCurveClearance = 16;

/// The true curve as a fine polyline in untilted pixel indices, ordered by x.
class TrueCurve {
public:
    TrueCurve(const ChartLayout& chart, const Curve& curve) {
        const int samples = 16 * (chart.right() - chart.left());
        const double t0 = chart.logX ? std::log10(chart.xMin) : chart.xMin;
        const double t1 = chart.logX ? std::log10(chart.xMax) : chart.xMax;
        for (int i = 0; i <= samples; ++i) {
            const double t = t0 + (t1 - t0) * i / samples;
            const double x = chart.logX ? std::pow(10.0, t) : t;
            points_.push_back(chart.untilted(x, curve.f(x)));
        }
    }

    /// Distance of p from the polyline.
    double distance(QPointF p) const {
        const auto first = std::lower_bound(points_.begin(), points_.end(), p.x() - 40,
                                            [](QPointF a, double x) { return a.x() < x; });
        double best = 1e9;
        for (auto it = first; it + 1 < points_.end() && it->x() <= p.x() + 40; ++it)
            best = std::min(best, segmentDistance(p, *it, *(it + 1)));
        return best;
    }

private:
    static double segmentDistance(QPointF p, QPointF a, QPointF b) {
        const QPointF ab = b - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t =
            length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0;
        const QPointF foot = a + ab * t;
        return std::hypot(p.x() - foot.x(), p.y() - foot.y());
    }

    std::vector<QPointF> points_;
};

/// The core of the program on one chart: picture installed, reference points clicked on the
/// true frame corners, axis values typed.
class Session {
public:
    Session(const ChartLayout& chart, const QImage& picture) : chart_(chart) {
        InstallNewPicture(ws_, picture);
        PlaceZeroPoint(ws_, chart.zeroPoint().x(), chart.zeroPoint().y());
        PlaceXMaxPoint(ws_, chart.xMaxPoint().x(), chart.xMaxPoint().y());
        PlaceYMaxPoint(ws_, chart.yMaxPoint().x(), chart.yMaxPoint().y());
        const auto typed = [](double value, bool log) {
            return QString::number(log ? std::log10(value) : value, 'g', 17);
        };
        doc_.editMinX = typed(chart.xMin, chart.logX);
        doc_.editMaxX = typed(chart.xMax, chart.logX);
        doc_.editMinY = typed(chart.yMin, chart.logY);
        doc_.editMaxY = typed(chart.yMax, chart.logY);
        doc_.scaleX = chart.logX ? ScaleKind::Log10 : ScaleKind::Linear;
        doc_.scaleY = chart.logY ? ScaleKind::Log10 : ScaleKind::Linear;
        doc_.sortOn = false; // the rows stay in the order the points came
        doc_.autoCorrectOn = true;
        RefreshValues(ws_);
        if (chart.photographed())
            calibrateOnFourCorners(typed);
    }

    Workspace& ws() { return ws_; }
    Document& doc() { return doc_; }

    /// Where the program's values of row `row` of line 1 lie on the untilted chart.
    QPointF pointOfRow(int row) const {
        return chart_.untilted(doc_.valueX(1, row), doc_.valueY(1, row));
    }

    bool nearFrame(QPointF p) const {
        return p.x() < chart_.left() + kFrameMargin || p.x() > chart_.right() - kFrameMargin ||
               p.y() < chart_.top() + kFrameMargin || p.y() > chart_.bottom() - kFrameMargin;
    }

private:
    /// The perspective frame through the four frame corners as the photograph shows them.
    template <typename Typed> void calibrateOnFourCorners(const Typed& typed) {
        ChooseFrame(ws_, CalibrationFrame::Perspective);
        const std::array<QPoint, 4> corners = chart_.frameCorners();
        for (std::size_t i = 0; i < 4; ++i) {
            doc_.perspective.pointX[i] = corners[i].x();
            doc_.perspective.pointY[i] = corners[i].y();
        }
        const QString xLow = typed(chart_.xMin, chart_.logX),
                      xHigh = typed(chart_.xMax, chart_.logX);
        const QString yLow = typed(chart_.yMin, chart_.logY),
                      yHigh = typed(chart_.yMax, chart_.logY);
        doc_.perspective.editX = {xLow, xHigh, xHigh, xLow};
        doc_.perspective.editY = {yLow, yLow, yHigh, yHigh};
        RefreshValues(ws_);
    }

    const ChartLayout& chart_;
    Document doc_;
    platform::ScriptedDialogs dialogs_;
    ViewHooks view_;
    Workspace ws_{doc_, dialogs_, view_};
};

/// Figures that count the points within 0.3 % of the shorter axis range.
Figures rangeFigures(const ChartLayout& chart) {
    Figures figures;
    figures.rangeLimit =
        0.003 * std::min(chart.right() - chart.left(), chart.bottom() - chart.top());
    return figures;
}

bool nearOtherCurve(const std::vector<TrueCurve>& curves, std::size_t self, QPointF p) {
    for (std::size_t i = 0; i < curves.size(); ++i)
        if (i != self && curves[i].distance(p) < kOtherCurveClearance)
            return true;
    return false;
}

Figures measureClicks(Session& session, const ChartLayout& chart,
                      const std::vector<TrueCurve>& truth, std::size_t index, SnapRule rule) {
    Document& doc = session.doc();
    ClearLineData(session.ws());
    doc.snapRule = rule;
    const Curve& curve = chart.curves[index];
    const double t0 = chart.logX ? std::log10(chart.xMin) : chart.xMin;
    const double t1 = chart.logX ? std::log10(chart.xMax) : chart.xMax;
    Figures figures = rangeFigures(chart);
    for (int k = 0; k < kClicksPerCurve; ++k) {
        const auto xAt = [&](double t) { return chart.logX ? std::pow(10.0, t) : t; };
        const double t = t0 + (t1 - t0) * (k + 0.5) / kClicksPerCurve;
        const double dt = (t1 - t0) * 1e-4;
        const QPointF p = chart.untilted(xAt(t), curve.f(xAt(t)));
        const QPointF ahead = chart.untilted(xAt(t + dt), curve.f(xAt(t + dt)));
        if (session.nearFrame(p) || nearOtherCurve(truth, index, p))
            continue;
        const QPointF tangent = (ahead - p) / std::hypot(ahead.x() - p.x(), ahead.y() - p.y());
        const double off = (1 + k % 5) * ((k / 5) % 2 ? -1 : 1);
        const QPointF click = chart.tilted(p + QPointF(-tangent.y(), tangent.x()) * off);
        const int before = doc.nextRow.at(1);
        AddPoint(session.ws(), int(std::lround(click.x())), int(std::lround(click.y())));
        if (doc.nextRow.at(1) == before)
            continue; // the same pixel as an earlier click: nothing was added
        figures.add(truth[index].distance(session.pointOfRow(before)));
    }
    return figures;
}

Figures measureSearch(Session& session, const ChartLayout& chart,
                      const std::vector<TrueCurve>& truth, std::size_t index, int kind,
                      int tolerance) {
    Document& doc = session.doc();
    const QRgb colour = chart.curves[index].colour;
    doc.searchR = qRed(colour);
    doc.searchG = qGreen(colour);
    doc.searchB = qBlue(colour);
    FindColourLine(session.ws(), kind, "1000", tolerance);
    Figures figures = rangeFigures(chart);
    const Curve& curve = chart.curves[index];
    for (int row = 1; row < doc.nextRow.at(1); ++row) {
        // Columns are left out by where the curve truly lies there, so that a point taken
        // from the frame instead of the curve counts against the search.
        const double x = doc.valueX(1, row);
        if (!session.nearFrame(chart.untilted(x, curve.f(x))))
            figures.add(truth[index].distance(session.pointOfRow(row)));
    }
    return figures;
}

} // namespace

void Figures::add(double distance) {
    ++points;
    withinRange += distance <= rangeLimit;
    within1 += distance <= 1.0;
    within15 += distance <= 1.5;
    sum += distance;
    max = std::max(max, distance);
}

std::vector<CurveFigures> MeasureChart(const ChartLayout& chart, const QImage& picture,
                                       int tolerance) {
    Session session(chart, picture);
    std::vector<TrueCurve> truth;
    for (const Curve& curve : chart.curves)
        truth.emplace_back(chart, curve);
    std::vector<CurveFigures> result;
    for (std::size_t i = 0; i < chart.curves.size(); ++i) {
        CurveFigures f;
        f.snapped = measureClicks(session, chart, truth, i, SnapRule::AnyColour);
        f.snappedDarkOnly = measureClicks(session, chart, truth, i, SnapRule::DarkOnly);
        f.tolerantSearch = measureSearch(session, chart, truth, i, SearchTolerant, tolerance);
        f.exactSearch = measureSearch(session, chart, truth, i, SearchByColour, tolerance);
        result.push_back(f);
    }
    return result;
}

} // namespace kurvana::accuracy
