#include "bench/accuracy/polar.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QTextStream>

#include "bench/accuracy/charts.h"
#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/linedata.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"
#include "tracing/colourline.h"

namespace kurvana::accuracy {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kClicksPerCurve = 100;
constexpr int kSamplesPerCurve = 20000;
/// A click this close to another curve could rightly go there.
constexpr double kOtherCurveClearance = 16;

QString polarScript(const PolarChart& c, const QString& output) {
    QString text;
    QTextStream out(&text);
    const auto screen = [&](int pixels) { return QString::number(double(pixels) / (c.size - 1)); };
    out << "set term pngcairo size " << c.size << "," << c.size
        << " background rgb 'white' font 'sans,10'\nset output '" << output << "'\n"
        << "set lmargin at screen " << screen(c.left()) << "\n"
        << "set rmargin at screen " << screen(c.right()) << "\n"
        << "set bmargin at screen " << screen(c.size - 1 - c.right()) << "\n"
        << "set tmargin at screen " << screen(c.size - 1 - c.left()) << "\n"
        << "set polar\nset trange [0:2*pi]\n"
        << "set xrange [" << -c.rMax << ":" << c.rMax << "]\nset yrange [" << -c.rMax << ":"
        << c.rMax << "]\nset rrange [0:" << c.rMax << "]\n"
        << "unset border\nunset xtics\nunset ytics\nset rtics 1 scale 0\n"
        << "set grid polar pi/6 lc rgb '#d8d8d8' lw 1 dt 1\nunset key\n"
        << "set samples " << 4 * c.size << "\nplot ";
    for (std::size_t i = 0; i < c.curves.size(); ++i)
        out << (i ? ", " : "") << c.curves[i].gnuplot << " with lines lw " << c.curves[i].width
            << " lc rgb '#" << QString("%1").arg(c.curves[i].colour & 0xFFFFFF, 6, 16, QChar('0'))
            << "'";
    out << "\n";
    return text;
}

/// The true curve as a fine closed polyline, searched whole: a polar curve is no function of x.
class TrueClosedCurve {
public:
    TrueClosedCurve(const PolarChart& chart, const PolarCurve& curve) {
        for (int i = 0; i <= kSamplesPerCurve; ++i) {
            const double t = 2 * kPi * i / kSamplesPerCurve;
            points_.push_back(chart.at(t, curve.r(t)));
        }
    }

    /// The point of the curve nearest p.
    QPointF nearest(QPointF p) const {
        double best = 1e300;
        QPointF foot;
        for (std::size_t i = 0; i + 1 < points_.size(); ++i) {
            const QPointF a = points_[i], ab = points_[i + 1] - a;
            const double length2 = QPointF::dotProduct(ab, ab);
            const double s =
                length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0;
            const QPointF q = a + ab * s;
            const double d = std::hypot(p.x() - q.x(), p.y() - q.y());
            if (d < best) {
                best = d;
                foot = q;
            }
        }
        return foot;
    }

    double distance(QPointF p) const {
        const QPointF q = nearest(p);
        return std::hypot(p.x() - q.x(), p.y() - q.y());
    }

private:
    std::vector<QPointF> points_;
};

/// Angle (degrees, counter-clockwise) and radius of a picture point on the chart.
std::pair<double, double> polarOf(const PolarChart& chart, QPointF p) {
    const QPointF d = p - chart.centre();
    return {std::atan2(-d.y(), d.x()) * 180 / kPi,
            std::hypot(d.x(), d.y()) / chart.pixelsPerUnit()};
}

double angleDifference(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

/// gnuplot draws the 0-degree ray with its radius ticks in black: a stroke too, as the frame
/// is on the other charts, so points this close to it are not measured.
bool nearZeroRay(const PolarChart& chart, QPointF p) {
    return p.x() > chart.centre().x() && std::fabs(p.y() - chart.centre().y()) < 12;
}

/// The program's angle and radius of a point, taken back to the chart, against the nearest
/// point of the true curve.
void measurePoint(PolarFigures& figures, const PolarChart& chart, const TrueClosedCurve& truth,
                  double angle, double radius) {
    const QPointF shown = chart.at(angle * kPi / 180, radius);
    const auto [trueAngle, trueRadius] = polarOf(chart, truth.nearest(shown));
    const double radiusShare = 100 * std::fabs(radius - trueRadius) / chart.rMax;
    const double degrees = angleDifference(angle, trueAngle);
    ++figures.points;
    figures.within += radiusShare <= 0.3 && degrees <= 0.3;
    figures.maxRadiusShare = std::max(figures.maxRadiusShare, radiusShare);
    figures.maxDegrees = std::max(figures.maxDegrees, degrees);
}

/// The colour line search on the curve's colour, 720 rays: every point measured, and the order
/// of the points checked against the path (angles rising round one turn).
PolarFigures searchCurve(Workspace& ws, const PolarChart& chart, const PolarCurve& curve,
                         const TrueClosedCurve& truth) {
    Document& doc = ws.doc;
    doc.searchR = qRed(curve.colour);
    doc.searchG = qGreen(curve.colour);
    doc.searchB = qBlue(curve.colour);
    FindColourLine(ws, SearchTolerant, "720", kDefaultTolerance);
    PolarFigures figures;
    const int rows = doc.nextRow.at(1) - 1;
    for (int row = 1; row <= rows; ++row) {
        const double angle = doc.valueX(1, row), radius = doc.valueY(1, row);
        const double next = doc.valueX(1, row % rows + 1);
        const double step = row == rows ? next + 360 - angle : next - angle;
        // Whole pixels near the centre can put neighbouring rays' points a pixel out of turn.
        const double pixelDegrees = 180 / kPi / (radius * chart.pixelsPerUnit());
        figures.inPathOrder = figures.inPathOrder && step > -std::max(0.5, pixelDegrees);
        figures.widestGapDegrees = std::max(figures.widestGapDegrees, step);
        if (!nearZeroRay(chart, chart.at(angle * kPi / 180, radius)))
            measurePoint(figures, chart, truth, angle, radius);
    }
    return figures;
}

} // namespace

QPointF PolarChart::at(double t, double r) const {
    const double k = r * pixelsPerUnit();
    return centre() + QPointF(k * std::cos(t), -k * std::sin(t));
}

std::vector<PolarChart> PolarCharts() {
    const auto curve = [](const char* gnuplot, std::function<double(double)> r, QRgb colour,
                          int width, const char* name) {
        return PolarCurve{gnuplot, std::move(r), colour, width, name};
    };
    return {{"900 x 900, polar",
             900,
             3,
             {curve(
                  "1.5+0.8*sin(3*t)", [](double t) { return 1.5 + 0.8 * std::sin(3 * t); },
                  qRgb(255, 0, 0), 2, "red 2 px"),
              curve(
                  "2.6+0.2*cos(2*t)", [](double t) { return 2.6 + 0.2 * std::cos(2 * t); },
                  qRgb(0, 0, 255), 2, "blue 2 px")}},
            // An antenna pattern: a main lobe at 0 degrees with its minimum behind, and a
            // four-lobed pattern inside it, kept 120 pixels from the centre, where a whole
            // pixel spans 0.5 degree.
            {"1200 x 1200, antenna pattern",
             1200,
             3,
             {curve(
                  "1.3+1.5*((1+cos(t))/2)**2",
                  [](double t) { return 1.3 + 1.5 * std::pow((1 + std::cos(t)) / 2, 2); },
                  qRgb(200, 0, 160), 2, "main lobe 2 px"),
              curve(
                  "0.95+0.2*cos(4*t+pi/4)",
                  [](double t) { return 0.95 + 0.2 * std::cos(4 * t + kPi / 4); }, qRgb(0, 150, 0),
                  3, "four lobes 3 px")}}};
}

QImage RenderPolarChart(const PolarChart& chart, const QString& folder) {
    const QString png = folder + "/polar.png";
    return RunGnuplot(polarScript(chart, png), png, folder);
}

std::vector<PolarCurveFigures> MeasurePolarChart(const PolarChart& chart, const QImage& picture) {
    Document doc;
    platform::ScriptedDialogs dialogs;
    ViewHooks view;
    Workspace ws{doc, dialogs, view};
    InstallNewPicture(ws, picture);
    ChooseFrame(ws, CalibrationFrame::Polar);
    const QPointF centre = chart.centre();
    doc.polar.centreX = int(std::lround(centre.x()));
    doc.polar.centreY = int(std::lround(centre.y()));
    doc.polar.referenceX = chart.right();
    doc.polar.referenceY = doc.polar.centreY;
    doc.polar.editAngle = "0";
    doc.polar.editRadius = QString::number(chart.rMax);
    doc.polar.editCentreRadius = "0";
    doc.sortOn = false;
    RefreshValues(ws);
    std::vector<TrueClosedCurve> truth;
    for (const PolarCurve& c : chart.curves)
        truth.emplace_back(chart, c);
    std::vector<PolarCurveFigures> result;
    for (std::size_t index = 0; index < chart.curves.size(); ++index) {
        ClearLineData(ws);
        PolarFigures figures;
        const PolarCurve& c = chart.curves[index];
        for (int k = 0; k < kClicksPerCurve; ++k) {
            const double t = 2 * kPi * (k + 0.5) / kClicksPerCurve, dt = 1e-5;
            const QPointF p = chart.at(t, c.r(t)), ahead = chart.at(t + dt, c.r(t + dt));
            bool nearOther = false;
            for (std::size_t j = 0; j < truth.size(); ++j)
                nearOther =
                    nearOther || (j != index && truth[j].distance(p) < kOtherCurveClearance);
            if (nearOther || nearZeroRay(chart, p))
                continue;
            const QPointF tangent = (ahead - p) / std::hypot(ahead.x() - p.x(), ahead.y() - p.y());
            const double off = (1 + k % 5) * ((k / 5) % 2 ? -1 : 1);
            const QPointF click = p + QPointF(-tangent.y(), tangent.x()) * off;
            const int before = doc.nextRow.at(1);
            AddPoint(ws, int(std::lround(click.x())), int(std::lround(click.y())));
            if (doc.nextRow.at(1) == before)
                continue;
            measurePoint(figures, chart, truth[index], doc.valueX(1, before),
                         doc.valueY(1, before));
        }
        result.push_back({figures, searchCurve(ws, chart, c, truth[index])});
    }
    return result;
}

} // namespace kurvana::accuracy
