#include <cmath>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/calibration.h"
#include "core/picture.h"
#include "io/calibrationframe.h"
#include "io/picturefile.h"
#include "recognition/axes/axiscommand.h"
#include "recognition/axes/findaxes.h"
#include "recognition/axes/findaxescommand.h"
#include "recognition/ocr/tesseractreader.h"
#include "tests/core/fixture.h"

using namespace kurvana;
using kurvana::platform::Answer;
using kurvana::test::Fixture;

namespace {

/// One generated chart: the gnuplot settings, the labelled ends of each axis (the first and
/// last tick that carries a label), and what is done to the picture afterwards.
struct ChartStyle {
    const char* name;
    const char* settings;
    const char* plot;
    double xFirst, xLast, yFirst, yLast; ///< labelled end ticks, also the axis ranges
    bool logX, logY;
    /// The X range when it reaches beyond the labelled end ticks (linear axes only).
    double xLow = NAN, xHigh = NAN;
    bool dateX = false; ///< X labels are dates: the values above are day counts
};

struct ChartVariant {
    int width, height;
    double tilt; ///< degrees, counter-clockwise
    bool jpeg;   ///< saved and read back as JPEG at quality 75
    /// A page photographed at an angle: turned this many degrees about its horizontal and its
    /// vertical centre line, seen 1.5 picture widths away.
    double viewX = 0, viewY = 0;
    bool photographed() const { return viewX != 0 || viewY != 0; }
};

// Axis ranges end on labelled ticks so that the truth of the reference points is the plot
// border gnuplot reports.
const ChartStyle kStyles[] = {
    {"linear", "set xrange [0:10]; set yrange [-1:1]", "sin(x)", 0, 10, -1, 1, false, false},
    {"logY", "set logscale y; set xrange [0:5]; set yrange [1:10000]", "10**x", 0, 5, 1, 10000,
     false, true},
    {"logYRaised", "set logscale y; set format y '10^{%L}'; set xrange [0:5]; set yrange [1:1e5]",
     "10**x", 0, 5, 1, 1e5, false, true},
    {"bareNegative",
     "set border 3; set xtics nomirror; set ytics nomirror; set xrange [-4:4]; set xtics 2; "
     "set yrange [0:2000]",
     "x**3+1000", -4, 4, 0, 2000, false, false},
    {"decimalComma",
     "set decimalsign ','; set grid; set xrange [0:2]; set xtics 0.5; "
     "set yrange [0:1.5]; set ytics 0.5",
     "x*0.7", 0, 2, 0, 1.5, false, false},
    {"logXExponents",
     "set tics out; set logscale x; set format x '%.0e'; set xrange [0.001:1]; "
     "set yrange [-20:40]",
     "20*x", 0.001, 1, -20, 40, true, false},
    {"years", "set xrange [1990:2020]; set yrange [0:50000]", "(x-1990)*1000", 1990, 2020, 0, 50000,
     false, false},
    {"logLog", "set logscale xy; set xrange [1:1000]; set yrange [0.01:100]", "x/10", 1, 1000, 0.01,
     100, true, true},
    {"gridOutside",
     "set grid; set tics out; set xrange [-1:1]; set xtics 0.5; "
     "set yrange [-0.5:0.5]; set ytics 0.25",
     "x/2", -1, 1, -0.5, 0.5, false, false},
    {"offsetBare",
     "set border 3; set xtics nomirror out; set ytics nomirror out; set xrange [100:600]; "
     "set yrange [20:80]",
     "20+x/10", 100, 600, 20, 80, false, false},
    {"thickFrame", "set border lw 3; set xrange [0:100]; set yrange [0:1]", "x/100", 0, 100, 0, 1,
     false, false},
    {"decimalsLogY", "set logscale y; set format y '%g'; set xrange [0:4]; set yrange [0.001:10]",
     "10**(x-3)", 0, 4, 0.001, 10, false, true},
    // One decade labelled at its ends, the minor ticks 2 .. 9 between telling the scale.
    {"logOneDecade", "set logscale y; set xrange [0:5]; set yrange [1:10]", "1+x*1.8", 0, 5, 1, 10,
     false, true},
    // Single-digit labels on both axes under bars standing on the X axis.
    {"bars",
     "set samples 6; set style fill solid 0.5; set boxwidth 0.6; set xrange [0:6]; set xtics 1; "
     "set yrange [0:6]; set ytics 1",
     "'+' using ($0+0.5):(int($0*37)%6+1) with boxes", 0, 6, 0, 6, false, false},
    // Bars on the categories 0 .. 6, dark and pale, hiding the ticks under them.
    {"barsHideTicks",
     "set samples 7; set style fill solid 1.0; set boxwidth 0.6; set xrange [-0.5:6.5]; "
     "set xtics 1; set yrange [0:6]; set ytics 1",
     "'+' using 0:(int($0*37)%6+1) with boxes", 0, 6, 0, 6, false, false, -0.5, 6.5},
    {"paleBarsHideTicks",
     "set samples 7; set style fill solid 0.4; set boxwidth 0.7; set xrange [-0.5:6.5]; "
     "set xtics 1; set yrange [0:6]; set ytics 1",
     "'+' using 0:(int($0*37)%6+1) with boxes", 0, 6, 0, 6, false, false, -0.5, 6.5},
    // Time series (gnuplot counts seconds; the values here are day counts). Month names carry
    // on from the year of the first label; only years stay numbers.
    {"monthNames",
     "set xdata time; set timefmt '%Y-%m-%d'; set xrange ['2020-10-01':'2021-11-01']; "
     "set xtics ('Oct 2020' '2020-10-01', 'Jan' '2021-01-01', 'Apr' '2021-04-01', "
     "'Jul' '2021-07-01', 'Oct' '2021-10-01'); set yrange [0:10]",
     "5+3*sin(x/3e6)", 44105, 44501, 0, 10, false, false, NAN, NAN, true},
    {"monthYear",
     "set xdata time; set timefmt '%Y-%m-%d'; set xrange ['2020-01-01':'2022-01-01']; "
     "set xtics ('Jan 2020' '2020-01-01', 'Jul 2020' '2020-07-01', 'Jan 2021' '2021-01-01', "
     "'Jul 2021' '2021-07-01', 'Jan 2022' '2022-01-01') font ',9'; set yrange [0:10]",
     "5+3*sin(x/3e6)", 43831, 44562, 0, 10, false, false, NAN, NAN, true},
    {"isoMonths",
     "set xdata time; set timefmt '%Y-%m-%d'; set xrange ['2021-01-01':'2022-01-01']; "
     "set format x '%Y-%m'; set xtics ('2021-01-01', '2021-05-01', '2021-09-01', "
     "'2022-01-01') font ',11'; set yrange [-1:1]",
     "sin(x/2e6)", 44197, 44562, -1, 1, false, false, NAN, NAN, true},
    {"isoDays",
     "set xdata time; set timefmt '%Y-%m-%d'; set xrange ['2021-06-01':'2021-07-05']; "
     "set xtics '2021-06-01', 10*86400; set format x '%Y-%m-%d'; set yrange [0:10]",
     "5+3*sin(x/3e5)", 44348, 44382, 0, 10, false, false, NAN, NAN, true},
    {"yearsOfTime",
     "set xdata time; set timefmt '%Y-%m-%d'; set xrange ['2015-01-01':'2021-01-01']; "
     "set format x '%Y'; set yrange [0:10]",
     "5+3*sin(x/3e7)", 2015, 2021, 0, 10, false, false},
};

const ChartVariant kVariants[] = {
    {800, 600, 0, false},
    {400, 300, 2, false},
    {1600, 1200, -5, true},
    {800, 600, 5, true},
};

const ChartVariant kPhotographed[] = {
    {800, 600, 0, false, 20, 0},
    {1000, 750, 0, true, -12, 15},
    {800, 600, 0, true, 0, -20},
};

/// A picture of the chart with its true calibration.
struct Chart {
    QString name;
    QImage picture;
    const ChartStyle* style;
    double left = 0, right = 0, bottom = 0, top = 0; ///< plot border, pixel indices
    QTransform tilt;                                 ///< from the drawn to the tilted picture

    /// The pixel index of the axis values (x, y) in Input window units.
    QPointF at(double x, double y) const {
        const double x0 = std::isnan(style->xLow) ? unit(style->xFirst, style->logX) : style->xLow;
        const double x1 = std::isnan(style->xHigh) ? unit(style->xLast, style->logX) : style->xHigh;
        const double fx = (x - x0) / (x1 - x0);
        const double fy = (y - unit(style->yFirst, style->logY)) /
                          (unit(style->yLast, style->logY) - unit(style->yFirst, style->logY));
        const QPointF drawn(left + fx * (right - left), bottom + fy * (top - bottom));
        return tilt.map(drawn + QPointF(0.5, 0.5)) - QPointF(0.5, 0.5);
    }
    static double unit(double v, bool log) { return log ? std::log10(v) : v; }
    /// The axis values (Input window units) at a pixel index: the inverse of at().
    std::pair<double, double> valuesAt(QPointF pixel) const {
        const QPointF drawn = tilt.inverted().map(pixel + QPointF(0.5, 0.5)) - QPointF(0.5, 0.5);
        const auto [x0, x1] = xRange();
        const auto [y0, y1] = yRange();
        return {x0 + (drawn.x() - left) / (right - left) * (x1 - x0),
                y0 + (drawn.y() - bottom) / (top - bottom) * (y1 - y0)};
    }
    std::pair<double, double> xRange() const {
        return {std::isnan(style->xLow) ? unit(style->xFirst, style->logX) : style->xLow,
                std::isnan(style->xHigh) ? unit(style->xLast, style->logX) : style->xHigh};
    }
    std::pair<double, double> yRange() const {
        return {unit(style->yFirst, style->logY), unit(style->yLast, style->logY)};
    }
};

/// Rotates about the centre onto white paper, as a tilted scan; `map` follows a pixel.
QImage tilted(const QImage& picture, double degrees, QTransform& map) {
    QTransform rotation;
    rotation.rotate(-degrees);
    map = QImage::trueMatrix(rotation, picture.width(), picture.height());
    const QImage turned = picture.convertToFormat(QImage::Format_ARGB32)
                              .transformed(rotation, Qt::SmoothTransformation);
    QImage paper(turned.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, turned);
    return paper;
}

/// The picture as a lens-free camera sees the page turned about its centre lines, onto white
/// paper; `map` follows a pixel.
QImage photographed(const QImage& picture, const ChartVariant& variant, QTransform& map) {
    const double w = picture.width(), h = picture.height(), distance = 1.5 * w;
    const double ax = qDegreesToRadians(variant.viewX), ay = qDegreesToRadians(variant.viewY);
    const auto seen = [&](QPointF p) {
        const double x = p.x() - w / 2, y = p.y() - h / 2;
        const double depth = y * std::sin(ax) + x * std::sin(ay);
        const double shrink = 0.9 * distance / (distance + depth);
        return QPointF(w / 2 + x * std::cos(ay) * shrink, h / 2 + y * std::cos(ax) * shrink);
    };
    const QPolygonF page{QPointF(0, 0), QPointF(w, 0), QPointF(w, h), QPointF(0, h)};
    QPolygonF photo;
    for (const QPointF& corner : page)
        photo << seen(corner);
    QTransform::quadToQuad(page, photo, map);
    QImage paper(picture.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(map);
    painter.drawImage(0, 0, picture);
    return paper;
}

QImage jpegRoundTrip(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 75);
    return QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
}

/// Draws a chart with gnuplot into `file` (pngcairo with `terminal` options) and returns the
/// plot border it used: left, right, bottom, top in gnuplot's pixels (y counted upwards).
std::optional<QStringList> drawChart(const QString& file, int width, int height,
                                     const QString& terminal, const ChartStyle& style) {
    const QString script =
        QString("set terminal pngcairo size %1,%2 %3; set output '%4'; %5; plot %6 notitle lw 2; "
                "print GPVAL_TERM_XMIN, GPVAL_TERM_XMAX, GPVAL_TERM_YMIN, GPVAL_TERM_YMAX")
            .arg(width)
            .arg(height)
            .arg(terminal, file, style.settings, style.plot);
    QProcess gnuplot;
    gnuplot.start("gnuplot", {"-e", script});
    if (!gnuplot.waitForFinished(60000) || gnuplot.exitCode() != 0)
        return std::nullopt;
    const QStringList border = QString(gnuplot.readAllStandardError()).simplified().split(' ');
    if (border.size() != 4)
        return std::nullopt;
    return border;
}

/// Draws the chart with gnuplot and reads back the plot border it used.
std::optional<Chart> makeChart(const QString& folder, const ChartStyle& style,
                               const ChartVariant& variant) {
    Chart chart;
    chart.style = &style;
    chart.name = QString("%1-%2x%3-tilt%4%5%6")
                     .arg(style.name)
                     .arg(variant.width)
                     .arg(variant.height)
                     .arg(variant.tilt)
                     .arg(variant.photographed()
                              ? QString("-view%1,%2").arg(variant.viewX).arg(variant.viewY)
                              : QString())
                     .arg(variant.jpeg ? "-jpeg" : "");
    const QString file = folder + '/' + chart.name + ".png";
    const auto border = drawChart(file, variant.width, variant.height, QString(), style);
    QImage picture(file);
    if (!border || picture.isNull())
        return std::nullopt;
    chart.left = (*border)[0].toDouble();
    chart.right = (*border)[1].toDouble();
    // gnuplot counts y upwards from the bottom edge.
    chart.bottom = variant.height - 1 - (*border)[2].toDouble();
    chart.top = variant.height - 1 - (*border)[3].toDouble();
    picture = picture.convertToFormat(QImage::Format_RGB32);
    if (variant.tilt != 0)
        picture = tilted(picture, variant.tilt, chart.tilt);
    if (variant.photographed())
        picture = photographed(picture, variant, chart.tilt);
    chart.picture = variant.jpeg ? jpegRoundTrip(picture) : picture;
    if (qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"))
        chart.picture.save(file);
    return chart;
}

bool within(QPoint found, QPointF truth, double pixels) {
    return std::abs(found.x() - truth.x()) <= pixels && std::abs(found.y() - truth.y()) <= pixels;
}

/// The values the calibration gives a pixel, in Input window units (exponents on log axes).
std::pair<double, double> digitised(Document& doc, QPoint pixel) {
    const AxisValues v = ValuesAtPixel(doc, pixel.x(), pixel.y());
    return {doc.scaleX == ScaleKind::Log10 ? std::log10(v.x) : v.x,
            doc.scaleY == ScaleKind::Log10 ? std::log10(v.y) : v.y};
}

TesseractReader& reader() {
    static TesseractReader engine;
    return engine;
}

} // namespace

class TestFindAxes : public QObject {
    Q_OBJECT
private slots:
    void generatedChartsGetExactProposalsAndNeverSilentlyWrongOnes();
    void photographedChartsGetFourPointsWithinTheirRange();
    void noiseHasNoAxesAndTheCommandChangesNothing();
    void commandLineReadsPicturesAsTheWindowDoes();
    void labelNumbersInTheirPrintedForms_data();
    void labelNumbersInTheirPrintedForms();
    void ruleDropsAMisreadLabelAndPrefersLinearOnATie();
    void acceptedProposalActsLikeClicksAndTypedValues();
};

// Every chart: a proposal that claims to be complete must be right (values equal, reference
// pixels within one pixel, and the numbers digitised through it within a pixel's worth of the
// true calibration's); at least 90 % of the charts must get such a proposal.
void TestFindAxes::generatedChartsGetExactProposalsAndNeverSilentlyWrongOnes() {
    if (QStandardPaths::findExecutable("gnuplot").isEmpty())
        QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
    QVERIFY(reader().available());
    QTemporaryDir folder;
    int charts = 0, exact = 0;
    QStringList misses, wrong;
    // KURVANA_KEEP_CHARTS=1 keeps the generated charts for a look.
    folder.setAutoRemove(!qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"));
    for (const ChartStyle& style : kStyles)
        for (const ChartVariant& variant : kVariants) {
            const auto chart = makeChart(folder.path(), style, variant);
            QVERIFY2(chart, qPrintable(QString("gnuplot failed on %1").arg(style.name)));
            ++charts;
            const AxisProposal p = FindAxes(chart->picture, reader());
            const QString found = QString(" (%1 %2 %3 %4)")
                                      .arg(p.x.firstValue.value_or(NAN))
                                      .arg(p.x.lastValue.value_or(NAN))
                                      .arg(p.y.firstValue.value_or(NAN))
                                      .arg(p.y.lastValue.value_or(NAN));
            if (!p.complete()) {
                misses << chart->name + ": reported incomplete" + found;
                continue;
            }
            const bool scalesRight = p.x.logarithmic == style.logX &&
                                     p.y.logarithmic == style.logY && p.x.date == style.dateX;
            // Where the proposed values truly are: the proposal is exact when its reference
            // pixels are within a pixel of them.
            const double x0 = *p.x.firstValue, x1 = *p.x.lastValue;
            const double y0 = *p.y.firstValue, y1 = *p.y.lastValue;
            const QPointF zero = chart->at(x0, y0), xMax = chart->at(x1, y0),
                          yMax = chart->at(x0, y1);
            const bool pointsRight = within(*p.zero, zero, 1.0) && within(*p.xMax, xMax, 1.0) &&
                                     within(*p.yMax, yMax, 1.0);
            // The numbers digitised through the proposal against those through the true
            // calibration (reference points on the true pixels of the same values): within a
            // pixel's worth, and one more for the calibration itself, which keeps whole pixels
            // and truncates the Y axis length, so that half a pixel apart in the exact points
            // can land a whole pixel apart.
            Fixture proposed, truth;
            for (Fixture* f : {&proposed, &truth})
                InstallNewPicture(f->ws, chart->picture);
            ApplyCalibrationProposal(proposed.ws, p);
            AxisProposal ideal = p;
            ideal.zero = zero.toPoint(), ideal.xMax = xMax.toPoint(), ideal.yMax = yMax.toPoint();
            ideal.yMaxExact = yMax;
            ApplyCalibrationProposal(truth.ws, ideal);
            const double pixelX = std::abs(x1 - x0) / QLineF(zero, xMax).length();
            const double pixelY = std::abs(y1 - y0) / QLineF(zero, yMax).length();
            bool digitisedRight = scalesRight;
            for (const auto& [vx, vy] :
                 {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {(x0 + x1) / 2, (y0 + y1) / 2}}) {
                const QPoint probe = chart->at(vx, vy).toPoint();
                const auto [px, py] = digitised(proposed.doc, probe);
                const auto [tx, ty] = digitised(truth.doc, probe);
                if (std::abs(px - tx) > 2 * pixelX || std::abs(py - ty) > 2 * pixelY) {
                    digitisedRight = false;
                    misses << QString("    at %1,%2: %3,%4 against %5,%6")
                                  .arg(probe.x())
                                  .arg(probe.y())
                                  .arg(px)
                                  .arg(py)
                                  .arg(tx)
                                  .arg(ty);
                }
            }
            if (!digitisedRight)
                wrong << chart->name + ": complete proposal, digitised values off" + found +
                             QString(" %1,%2 %3,%4 %5,%6 for %7,%8 %9,%10 %11,%12")
                                 .arg(p.zero->x())
                                 .arg(p.zero->y())
                                 .arg(p.xMax->x())
                                 .arg(p.xMax->y())
                                 .arg(p.yMaxExact.x())
                                 .arg(p.yMaxExact.y())
                                 .arg(zero.x())
                                 .arg(zero.y())
                                 .arg(xMax.x())
                                 .arg(xMax.y())
                                 .arg(yMax.x())
                                 .arg(yMax.y());
            else if (pointsRight)
                ++exact;
            else
                misses << chart->name + ": reference points more than a pixel off" + found;
        }
    const double share = 100.0 * exact / charts;
    qInfo("%d charts, %d exact proposals (%.1f %%)", charts, exact, share);
    for (const QString& miss : misses)
        qInfo("  %s", qPrintable(miss));
    for (const QString& w : wrong)
        qWarning("  WRONG %s", qPrintable(w));
    QVERIFY(charts >= 40);
    QVERIFY2(wrong.isEmpty(), "a complete proposal was wrong");
    QVERIFY2(share >= 90.0, qPrintable(QString("only %1 % exact").arg(share)));
}

// Pages photographed at up to 20 degrees: the proposal has four points, and the values digitised
// through it over the whole plot are within 0.3 % of the axis ranges of the truth.
void TestFindAxes::photographedChartsGetFourPointsWithinTheirRange() {
    if (QStandardPaths::findExecutable("gnuplot").isEmpty())
        QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
    QTemporaryDir folder;
    folder.setAutoRemove(!qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"));
    int charts = 0, good = 0;
    QStringList misses, wrong;
    for (const ChartStyle& style : kStyles)
        for (const ChartVariant& variant : kPhotographed) {
            const auto chart = makeChart(folder.path(), style, variant);
            QVERIFY2(chart, qPrintable(QString("gnuplot failed on %1").arg(style.name)));
            ++charts;
            const AxisProposal p = FindAxes(chart->picture, reader());
            if (!p.perspective) {
                const auto parsed = [](const AxisReading& a) {
                    return std::count_if(a.labels.begin(), a.labels.end(),
                                         [](const AxisLabel& l) { return bool(l.value); });
                };
                misses << chart->name + (p.complete() ? ": three points" : ": incomplete") +
                              QString(" lines %1%2 labels %3 %4")
                                  .arg(bool(p.x.line))
                                  .arg(bool(p.y.line))
                                  .arg(parsed(p.x))
                                  .arg(parsed(p.y));
                continue;
            }
            // The answer of --find-axes carries the four points as a calibration takes them.
            const QJsonObject json = QJsonDocument::fromJson(ProposalJson(p)).object();
            QCOMPARE(json["frame"].toString(), QString("perspective"));
            Fixture f;
            InstallNewPicture(f.ws, chart->picture);
            QVERIFY(CalibrationFromJson(f.doc, json));
            const PerspectiveCalibration fromJson = f.doc.perspective;
            ApplyCalibrationProposal(f.ws, p);
            QVERIFY(f.doc.frame == CalibrationFrame::Perspective);
            QCOMPARE(f.doc.perspective.pointX, fromJson.pointX);
            QCOMPARE(f.doc.perspective.valueY, fromJson.valueY);
            const auto [x0, x1] = chart->xRange();
            const auto [y0, y1] = chart->yRange();
            double worst = 0;
            for (double fx = 0; fx <= 1.01; fx += 0.25)
                for (double fy = 0; fy <= 1.01; fy += 0.25) {
                    const QPoint probe =
                        chart->at(x0 + fx * (x1 - x0), y0 + fy * (y1 - y0)).toPoint();
                    const auto [tx, ty] = chart->valuesAt(probe);
                    const auto [px, py] = digitised(f.doc, probe);
                    worst = std::max({worst, std::abs(px - tx) / std::abs(x1 - x0),
                                      std::abs(py - ty) / std::abs(y1 - y0)});
                }
            QString line = chart->name + QString(": off by %1 %").arg(100 * worst);
            for (std::size_t i = 0; i < 4; ++i) {
                const QPointF truth =
                    chart->at(p.perspective->values[i].x(), p.perspective->values[i].y());
                line += QString(" [%1,%2 for %3,%4]")
                            .arg(p.perspective->points[i].x())
                            .arg(p.perspective->points[i].y())
                            .arg(truth.x(), 0, 'f', 1)
                            .arg(truth.y(), 0, 'f', 1);
            }
            if (worst <= 0.003)
                ++good;
            else
                (worst > 0.01 ? wrong : misses) << line;
        }
    qInfo("%d photographed charts, %d four-point proposals within 0.3 %%", charts, good);
    for (const QString& miss : misses)
        qInfo("  %s", qPrintable(miss));
    for (const QString& w : wrong)
        qWarning("  WRONG %s", qPrintable(w));
    QVERIFY2(wrong.isEmpty(), "a four-point proposal was wrong by more than 1 %");
    // Most misses are labels the reader cannot make out on the receding page: those charts get
    // no four-point proposal, never a wrong one.
    QVERIFY2(good * 2 >= charts, qPrintable(QString("only %1 of %2").arg(good).arg(charts)));
}

void TestFindAxes::noiseHasNoAxesAndTheCommandChangesNothing() {
    QRandomGenerator random(20);
    QImage noise(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) {
            const int v = int(random.bounded(256));
            row[x] = qRgb(v, (v + int(random.bounded(60))) % 256, 255 - v);
        }
    }
    const AxisProposal p = FindAxes(noise, reader());
    QVERIFY(!p.complete());
    QVERIFY(!p.zero);

    Fixture f;
    InstallNewPicture(f.ws, noise);
    const Document before = f.doc;
    ReviewAxisProposal(f.ws, p);
    QCOMPARE(f.dialogs.informations, QStringList{f.doc.texts.extra(ExtraText::AxesNotFound)});
    QVERIFY(f.dialogs.questions.isEmpty());
    QCOMPARE(f.doc.zeroPointX, before.zeroPointX);
    QCOMPARE(f.doc.editMaxX, before.editMaxX);
    QCOMPARE(f.doc.workingPicture, before.workingPicture);
}

// `--find-axes` reads with the window's reading routine: a 35-megapixel chart (beyond Qt's
// default allocation limit) on a transparent background gets its full proposal; an unreadable
// file, a picture without axes and an answer that cannot be written each get their own status.
void TestFindAxes::commandLineReadsPicturesAsTheWindowDoes() {
    if (QStandardPaths::findExecutable("gnuplot").isEmpty())
        QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
    QTemporaryDir folder;
    auto run = [&](const QString& file, QIODevice& out) {
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        const int status = RunFindAxesCommand(file, reader(), out, err);
        return std::pair{status, QString(err.data())};
    };
    const QString scan = folder.filePath("scan.png");
    QVERIFY(drawChart(scan, 7000, 5000, "transparent font ',60' linewidth 8", kStyles[0]));
    QBuffer json;
    json.open(QIODevice::WriteOnly);
    QCOMPARE(run(scan, json).first, int(FindAxesFull));
    const QJsonObject proposal = QJsonDocument::fromJson(json.data()).object();
    QCOMPARE(proposal["xmax_value"].toDouble(), 10.0);
    QCOMPARE(proposal["ymin_value"].toDouble(), -1.0);
    // Cancel in the window's progress box: the search stops with nothing found.
    const std::atomic_bool cancelled{true};
    QVERIFY(FindAxes(TryReadPicture(scan).picture, reader(), &cancelled).empty());

    const QString broken = folder.filePath("broken.png");
    QFile text(broken);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
    text.close();
    QBuffer unused;
    unused.open(QIODevice::WriteOnly);
    const auto [status, reason] = run(broken, unused);
    QCOMPARE(status, int(FindAxesUnreadable));
    QVERIFY(reason.contains(broken));
    QVERIFY(unused.data().isEmpty());

    const QString paper = folder.filePath("paper.bmp");
    QImage white(300, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    QVERIFY(white.save(paper));
    QCOMPARE(run(paper, unused).first, int(FindAxesNothing));
    QBuffer closed; // standard output closed or full
    QCOMPARE(run(paper, closed).first, int(FindAxesOutputFailed));
}

void TestFindAxes::labelNumbersInTheirPrintedForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("number");
    QTest::newRow("minus") << "-5" << -5.0 << true;
    QTest::newRow("typographic minus") << QString("\u22120.5") << -0.5 << true;
    QTest::newRow("decimal point") << "0.25" << 0.25 << true;
    QTest::newRow("decimal comma") << "1,5" << 1.5 << true;
    QTest::newRow("thousands") << "12,500" << 12500.0 << true;
    QTest::newRow("thousands, blanks") << "10 000" << 10000.0 << true;
    QTest::newRow("e notation") << "1e-03" << 0.001 << true;
    QTest::newRow("raised exponent") << "10^3" << 1000.0 << true;
    QTest::newRow("raised negative exponent") << "10^-2" << 0.01 << true;
    QTest::newRow("two numbers") << "1.2.3" << 0.0 << false;
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("sign alone") << "-" << 0.0 << false;
}

void TestFindAxes::labelNumbersInTheirPrintedForms() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, number);
    const auto parsed = ParseLabelNumber(text);
    QCOMPARE(parsed.has_value(), number);
    if (number)
        QCOMPARE(*parsed, value);
}

void TestFindAxes::ruleDropsAMisreadLabelAndPrefersLinearOnATie() {
    // 0 .. 40 every 100 pixels, the "30" read as "80".
    const auto misread = FitAxisRule({{100, 0}, {200, 10}, {300, 20}, {400, 80}, {500, 40}});
    QVERIFY(misread && !misread->logarithmic);
    QCOMPARE(misread->outliers, std::vector<int>{3});
    QCOMPARE(misread->fitting.size(), std::size_t(4));
    // Decades equally spaced: logarithmic.
    const auto decades = FitAxisRule({{0, 1}, {50, 10}, {100, 100}, {150, 1000}});
    QVERIFY(decades && decades->logarithmic && decades->outliers.empty());
    // Two labels fit both rules: linear.
    const auto two = FitAxisRule({{0, 1}, {50, 10}});
    QVERIFY(two && !two->logarithmic);
    QCOMPARE(InputValue(1000, true), 3.0);
    QCOMPARE(InputValue(0.001, true), -3.0);
}

void TestFindAxes::acceptedProposalActsLikeClicksAndTypedValues() {
    AxisProposal p;
    p.x.status = p.y.status = AxisStatus::Found;
    p.x.line = AxisLine{};
    p.y.line = AxisLine{true};
    p.x.firstValue = -2, p.x.lastValue = 3, p.x.logarithmic = true;
    p.y.firstValue = 0.5, p.y.lastValue = 4.5;
    p.zero = QPoint(60, 250), p.xMax = QPoint(360, 250), p.yMax = QPoint(60, 40);
    p.yMaxExact = QPointF(60, 40.2);

    Fixture declined(400, 300);
    declined.doc.decimalSeparator = ',';
    declined.dialogs.answers = {Answer::No};
    const Document before = declined.doc;
    ReviewAxisProposal(declined.ws, p);
    QCOMPARE(declined.dialogs.questions.size(), 1);
    QCOMPARE(declined.doc.zeroPointX, before.zeroPointX);
    QCOMPARE(declined.doc.editMinY, before.editMinY);
    QCOMPARE(declined.doc.workingPicture, before.workingPicture); // the marks came off

    Fixture accepted(400, 300);
    accepted.doc.decimalSeparator = ',';
    ReviewAxisProposal(accepted.ws, p);
    const Document& d = accepted.doc;
    QCOMPARE(QPoint(d.zeroPointX, d.zeroPointY), QPoint(60, 250));
    QCOMPARE(QPoint(d.xMaxPointX, d.xMaxPointY), QPoint(360, 250));
    QCOMPARE(QPoint(d.yMaxPointX, d.yMaxPointY), QPoint(60, 40));
    QCOMPARE(d.scaleX, ScaleKind::Log10);
    QCOMPARE(d.scaleY, ScaleKind::Linear);
    QCOMPARE(QStringList({d.editMinX, d.editMaxX, d.editMinY, d.editMaxY}),
             QStringList({"-2", "3", "0,5", "4,5"}));
    QCOMPARE(d.axisXMin, -2.0); // Enter was pressed: the values are read
    QCOMPARE(d.axisYMax, 4.5);

    // A partial proposal: the Y values unknown keep their texts, the points still move.
    Fixture partial(400, 300);
    p.y.status = AxisStatus::NoLabels;
    p.y.firstValue.reset(), p.y.lastValue.reset();
    ReviewAxisProposal(partial.ws, p);
    QVERIFY(partial.dialogs.questions.front().contains(
        partial.doc.texts.extra(ExtraText::AxesLabelsUnreadable).arg("Y")));
    QCOMPARE(partial.doc.editMaxY, before.editMaxY);
    QCOMPARE(partial.doc.scaleY, before.scaleY);
    QCOMPARE(partial.doc.zeroPointY, 250);

    // Labels unread because the reader's data are not installed say so, in the window and in
    // the JSON answer, instead of calling the labels unreadable.
    struct NoDataReader : LabelReader {
        QString read(const QImage&) override { return {}; }
        bool dataMissing() const override { return true; }
    } noData;
    QImage blank(60, 40, QImage::Format_RGB32);
    blank.fill(Qt::white);
    p.labelDataMissing = FindAxes(blank, noData).labelDataMissing;
    QVERIFY(p.labelDataMissing);
    Fixture withoutData(400, 300);
    ReviewAxisProposal(withoutData.ws, p);
    const QString summary = withoutData.dialogs.questions.front();
    QVERIFY(summary.contains(withoutData.doc.texts.extra(ExtraText::AxesLabelDataMissing)));
    QVERIFY(
        !summary.contains(withoutData.doc.texts.extra(ExtraText::AxesLabelsUnreadable).arg("Y")));
    const QJsonObject json = QJsonDocument::fromJson(ProposalJson(p)).object();
    QCOMPARE(json["missing"].toArray(), QJsonArray{"label_data_missing"});
    QCOMPARE(json["y_axis"].toObject()["status"].toString(), QString("label_data_missing"));
}

QTEST_GUILESS_MAIN(TestFindAxes)
#include "test_findaxes.moc"
