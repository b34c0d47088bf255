#include "bench/accuracy/measure.h"

#include <algorithm>
#include <cmath>

#include "core/calibration.h"
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
    TrueCurve(const ChartSpec& spec, const Curve& curve) {
        const int samples = 16 * (spec.right() - spec.left());
        const double t0 = spec.logX ? std::log10(spec.xMin) : spec.xMin;
        const double t1 = spec.logX ? std::log10(spec.xMax) : spec.xMax;
        for (int i = 0; i <= samples; ++i) {
            const double t = t0 + (t1 - t0) * i / samples;
            const double x = spec.logX ? std::pow(10.0, t) : t;
            points_.push_back(spec.untilted(x, curve.f(x)));
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
    Session(const ChartSpec& spec, const QImage& picture) : spec_(spec) {
        InstallNewPicture(ws_, picture);
        PlaceZeroPoint(ws_, spec.zeroPoint().x(), spec.zeroPoint().y());
        PlaceXMaxPoint(ws_, spec.xMaxPoint().x(), spec.xMaxPoint().y());
        PlaceYMaxPoint(ws_, spec.yMaxPoint().x(), spec.yMaxPoint().y());
        const auto typed = [](double value, bool log) {
            return QString::number(log ? std::log10(value) : value, 'g', 17);
        };
        doc_.editMinX = typed(spec.xMin, spec.logX);
        doc_.editMaxX = typed(spec.xMax, spec.logX);
        doc_.editMinY = typed(spec.yMin, spec.logY);
        doc_.editMaxY = typed(spec.yMax, spec.logY);
        doc_.scaleX = spec.logX ? ScaleKind::Log10 : ScaleKind::Linear;
        doc_.scaleY = spec.logY ? ScaleKind::Log10 : ScaleKind::Linear;
        doc_.sortOn = false; // the rows stay in the order the points came
        doc_.autoCorrectOn = true;
        RefreshValues(ws_);
    }

    Workspace& ws() { return ws_; }
    Document& doc() { return doc_; }

    /// Where the program's values of row `row` of line 1 lie on the untilted chart.
    QPointF pointOfRow(int row) const {
        return spec_.untilted(doc_.valueX(1, row), doc_.valueY(1, row));
    }

    bool nearFrame(QPointF p) const {
        return p.x() < spec_.left() + kFrameMargin || p.x() > spec_.right() - kFrameMargin ||
               p.y() < spec_.top() + kFrameMargin || p.y() > spec_.bottom() - kFrameMargin;
    }

private:
    const ChartSpec& spec_;
    Document doc_;
    platform::ScriptedDialogs dialogs_;
    ViewHooks view_;
    Workspace ws_{doc_, dialogs_, view_};
};

bool nearOtherCurve(const std::vector<TrueCurve>& curves, std::size_t self, QPointF p) {
    for (std::size_t i = 0; i < curves.size(); ++i)
        if (i != self && curves[i].distance(p) < kOtherCurveClearance)
            return true;
    return false;
}

Figures measureClicks(Session& session, const ChartSpec& spec, const std::vector<TrueCurve>& truth,
                      std::size_t index, SnapRule rule) {
    Document& doc = session.doc();
    ClearLineData(session.ws());
    doc.snapRule = rule;
    const Curve& curve = spec.curves[index];
    const double t0 = spec.logX ? std::log10(spec.xMin) : spec.xMin;
    const double t1 = spec.logX ? std::log10(spec.xMax) : spec.xMax;
    Figures figures;
    for (int k = 0; k < kClicksPerCurve; ++k) {
        const auto xAt = [&](double t) { return spec.logX ? std::pow(10.0, t) : t; };
        const double t = t0 + (t1 - t0) * (k + 0.5) / kClicksPerCurve;
        const double dt = (t1 - t0) * 1e-4;
        const QPointF p = spec.untilted(xAt(t), curve.f(xAt(t)));
        const QPointF ahead = spec.untilted(xAt(t + dt), curve.f(xAt(t + dt)));
        if (session.nearFrame(p) || nearOtherCurve(truth, index, p))
            continue;
        const QPointF tangent = (ahead - p) / std::hypot(ahead.x() - p.x(), ahead.y() - p.y());
        const double off = (1 + k % 5) * ((k / 5) % 2 ? -1 : 1);
        const QPointF click = spec.tilted(p + QPointF(-tangent.y(), tangent.x()) * off);
        const int before = doc.nextRow.at(1);
        AddPoint(session.ws(), int(std::lround(click.x())), int(std::lround(click.y())));
        if (doc.nextRow.at(1) == before)
            continue; // the same pixel as an earlier click: nothing was added
        figures.add(truth[index].distance(session.pointOfRow(before)));
    }
    return figures;
}

Figures measureSearch(Session& session, const ChartSpec& spec, const std::vector<TrueCurve>& truth,
                      std::size_t index, int kind, int tolerance) {
    Document& doc = session.doc();
    const QRgb colour = spec.curves[index].colour;
    doc.searchR = qRed(colour);
    doc.searchG = qGreen(colour);
    doc.searchB = qBlue(colour);
    FindColourLine(session.ws(), kind, "1000", tolerance);
    Figures figures;
    const Curve& curve = spec.curves[index];
    for (int row = 1; row < doc.nextRow.at(1); ++row) {
        // Columns are left out by where the curve truly lies there, so that a point taken
        // from the frame instead of the curve counts against the search.
        const double x = doc.valueX(1, row);
        if (!session.nearFrame(spec.untilted(x, curve.f(x))))
            figures.add(truth[index].distance(session.pointOfRow(row)));
    }
    return figures;
}

} // namespace

void Figures::add(double distance) {
    ++points;
    within1 += distance <= 1.0;
    within15 += distance <= 1.5;
    sum += distance;
    max = std::max(max, distance);
}

std::vector<CurveFigures> MeasureChart(const ChartSpec& spec, const QImage& picture,
                                       int tolerance) {
    Session session(spec, picture);
    std::vector<TrueCurve> truth;
    for (const Curve& curve : spec.curves)
        truth.emplace_back(spec, curve);
    std::vector<CurveFigures> result;
    for (std::size_t i = 0; i < spec.curves.size(); ++i) {
        CurveFigures f;
        f.snapped = measureClicks(session, spec, truth, i, SnapRule::AnyColour);
        f.snappedDarkOnly = measureClicks(session, spec, truth, i, SnapRule::DarkOnly);
        f.tolerantSearch = measureSearch(session, spec, truth, i, SearchTolerant, tolerance);
        f.exactSearch = measureSearch(session, spec, truth, i, SearchByColour, tolerance);
        result.push_back(f);
    }
    return result;
}

} // namespace kurvana::accuracy
