#include <QtTest>

#include <functional>

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/datetime.h"
#include "core/document.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "io/calibrationsource.h"
#include "io/datafile.h"
#include "platform/scripteddialogs.h"
#include "recognition/axes/datelabels.h"
#include "recognition/bars/barcommand.h"
#include "recognition/bars/barfinder.h"
#include "recognition/chart/chartapply.h"
#include "recognition/chart/chartcommand.h"
#include "recognition/chart/wholechart.h"
#include "recognition/ocr/tesseractreader.h"

using namespace kurvana;

namespace {

const QColor kBarColour(70, 110, 190), kOtherColour(220, 120, 40);

/// A chart of bars drawn anti-aliased at fractional positions, as plotting programs draw them:
/// the bars to find in one colour, other things (a second series, stacked segments below) in
/// another, black axes and error bars over the bars' ends, and a legend swatch of the bars'
/// colour away from the base.
struct BarChart {
    QList<QRectF> bars;
    QList<QRectF> others;
    bool horizontal = false;
    bool errorBars = false;
    QImage draw() const {
        QImage picture(420, 320, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QRectF& r : others)
            painter.fillRect(r, kOtherColour);
        for (const QRectF& r : bars)
            painter.fillRect(r, kBarColour);
        painter.fillRect(QRectF(340.2, 20.4, 14, 9), kBarColour); // the legend's swatch
        painter.setPen(QPen(Qt::black, 1.2));
        painter.drawLine(QPointF(30, 280.5), QPointF(400, 280.5));
        painter.drawLine(QPointF(30.5, 10), QPointF(30.5, 300));
        if (errorBars)
            for (const QRectF& r : bars) {
                const double x = r.center().x();
                painter.drawLine(QPointF(x, r.top() - 12), QPointF(x, r.top() + 9));
                painter.drawLine(QPointF(x - 4, r.top() - 12), QPointF(x + 4, r.top() - 12));
            }
        return picture;
    }
};

/// Two curves of a gnuplot chart that cross three times, with a legend naming them; the plot
/// box gnuplot used (left, right, top, bottom in pixel indices) to place their truth.
/// The whole chart read in the plot area (20, 20)-(404, 319) of a drawn picture.
ChartReading readPlotArea(const QImage& picture) {
    ChartReadingOptions options;
    options.plotArea = QRect(20, 20, 385, 300);
    static TesseractReader reader;
    return ReadWholeChart(picture, reader, options);
}

using RowOf = std::function<double(double)>;

/// Strokes the path along `row` (painter rows, moved down by `down`) from column 40 to 390
/// with the painter's pen.
void strokeAlong(QPainter& painter, const RowOf& row, double down = 0) {
    QPainterPath path(QPointF(40, row(40) + down));
    for (int x = 41; x <= 390; ++x)
        path.lineTo(x, row(x) + down);
    painter.drawPath(path);
}

/// Whether the series' points between columns 45 and 385, but for those `skip` leaves out,
/// lie within `within` rows of `row` (painter rows, whose pixel centres lie half a row down).
bool followsRow(const SeriesReading& s, const RowOf& row, double within,
                const std::function<bool(double)>& skip = {}) {
    for (const QPointF& p : s.points)
        if (p.x() > 45 && p.x() < 385 && !(skip && skip(p.x())) &&
            std::abs(p.y() - row(p.x() - 0.5) + 0.5) > within) {
            qWarning("off the row at %g: %g", p.x(), p.y());
            return false;
        }
    return true;
}

/// The bluish series of the whole chart read in the plot area (20, 20)-(404, 319).
std::optional<SeriesReading> blueSeriesOf(const QImage& picture) {
    const ChartReading reading = readPlotArea(picture);
    for (const SeriesReading& s : reading.series)
        if (qBlue(s.colour) > qRed(s.colour))
            return s;
    return std::nullopt;
}

struct CrossingCurves {
    QImage picture;
    double left = 0, right = 0, top = 0, bottom = 0;
    /// The true row of curve `i` at picture column x.
    double rowAt(int i, double x) const {
        const double t = (x - left) / (right - left) * 10;
        const double value = i == 0 ? 0.6 * std::sin(t) : 0.8 * std::cos(0.7 * t);
        return bottom - (value + 1) / 2 * (bottom - top);
    }
};

std::optional<CrossingCurves> drawCrossingCurves(const QString& folder) {
    const QString png = folder + "/crossing.png";
    const QString script =
        QString("set term pngcairo size 700,460 font 'sans,10'; set output '%1'; "
                "set xrange [0:10]; set yrange [-1:1]; set key top right reverse Left; "
                "set samples 2800; plot 0.6*sin(x) lw 2 lc rgb '#1f5fbf' title 'Speed', "
                "0.8*cos(0.7*x) lw 2 lc rgb '#d02020' title 'Heat'; "
                "print GPVAL_TERM_XMIN, GPVAL_TERM_XMAX, GPVAL_TERM_YMIN, GPVAL_TERM_YMAX")
            .arg(png);
    QProcess gnuplot;
    gnuplot.start("gnuplot", {"-e", script});
    if (!gnuplot.waitForFinished(60000) || gnuplot.exitCode() != 0)
        return std::nullopt;
    const QStringList box = QString(gnuplot.readAllStandardError()).simplified().split(' ');
    CrossingCurves chart;
    chart.picture = QImage(png).convertToFormat(QImage::Format_RGB32);
    if (box.size() != 4 || chart.picture.isNull())
        return std::nullopt;
    chart.left = box[0].toDouble();
    chart.right = box[1].toDouble();
    chart.top = chart.picture.height() - 1 - box[3].toDouble();
    chart.bottom = chart.picture.height() - 1 - box[2].toDouble();
    return chart;
}

/// A gnuplot chart of a sine and a cosine (drawn by the two `with` clauses given, titled
/// `names`) with the key set as `key` says, in `font`, kept as JPEG of quality 75 where asked;
/// null where gnuplot fails.
QImage drawKeyedChart(const QString& folder, const QString& key, const QString& font,
                      const QStringList& with, const QStringList& names, bool jpeg) {
    const QString png = folder + "/keyed.png";
    const QString script =
        QString("set term pngcairo size 640,426 font '%1,9'; set output '%2'; set grid; "
                "set xrange [0:10]; set yrange [-1.5:2.5]; set key top right %3; set samples 50; "
                "plot sin(x) %4 title '%5', cos(x) %6 title '%7'")
            .arg(font, png, key, with[0].contains(" lc ") ? with[0] : with[0] + " lc rgb '#1f78b4'",
                 names[0], with[1].contains(" lc ") ? with[1] : with[1] + " lc rgb '#e31a1c'",
                 names[1]);
    QProcess gnuplot;
    gnuplot.start("gnuplot", {"-e", script});
    if (!gnuplot.waitForFinished(60000) || gnuplot.exitCode() != 0)
        return {};
    QImage picture(png);
    if (jpeg && !picture.isNull()) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPG", 75);
        picture = QImage::fromData(bytes, "JPG");
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

/// Pixel centres are whole numbers: a painter coordinate p is the pixel coordinate p - 0.5.
double Pixel(double painter) {
    return painter - 0.5;
}

} // namespace

Q_DECLARE_METATYPE(BarChart)

class TestRecognisers : public QObject {
    Q_OBJECT
private slots:
    void wholeChartGivesEachCurveItsColourNameAndStrokeCentre() {
        if (QStandardPaths::findExecutable("gnuplot").isEmpty())
            QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
        QTemporaryDir folder;
        const auto chart = drawCrossingCurves(folder.path());
        QVERIFY(chart);
        static TesseractReader reader;
        const ChartReading reading = ReadWholeChart(chart->picture, reader);
        QCOMPARE(int(reading.series.size()), 2);
        QVERIFY(reading.problems.empty());
        // Largest first: the longer curve, the sine's three waves, is the blue one.
        const QRgb colours[] = {qRgb(0x1f, 0x5f, 0xbf), qRgb(0xd0, 0x20, 0x20)};
        const char* names[] = {"Speed", "Heat"};
        for (int i = 0; i < 2; ++i) {
            const SeriesReading& s = reading.series[std::size_t(i)];
            QCOMPARE(s.kind, SeriesKind::Curve);
            QVERIFY2(std::abs(qRed(s.colour) - qRed(colours[i])) <= 12 &&
                         std::abs(qGreen(s.colour) - qGreen(colours[i])) <= 12 &&
                         std::abs(qBlue(s.colour) - qBlue(colours[i])) <= 12,
                     qPrintable(QString::number(s.colour, 16)));
            if (reader.available())
                QCOMPARE(s.name, QString(names[i]));
            // Over the whole width, under the frame to its ends, through the crossings, on its
            // own curve's centre.
            QVERIFY(s.points.size() >= std::size_t(0.97 * (chart->right - chart->left)));
            QVERIFY2(
                s.points.front().x() <= chart->left + 1 && s.points.back().x() >= chart->right - 1,
                qPrintable(QString("%1 %2").arg(s.points.front().x()).arg(s.points.back().x())));
            int within = 0;
            for (const QPointF& p : s.points)
                within += std::abs(p.y() - chart->rowAt(i, p.x())) <= 1;
            QVERIFY2(within >= int(0.99 * double(s.points.size())),
                     qPrintable(QString("%1 of %2").arg(within).arg(s.points.size())));
        }
        // The window's review: No changes nothing, Yes is one step that one Undo takes back.
        Document doc;
        platform::ScriptedDialogs dialogs;
        ViewHooks view;
        History history;
        Workspace ws{doc, dialogs, view, &history};
        InstallNewPicture(ws, chart->picture);
        history.reset(doc, false);
        const QImage shown = doc.workingPicture.copy();
        const QPoint zero(doc.zeroPointX, doc.zeroPointY);
        dialogs.answers = {platform::Answer::No, platform::Answer::Yes};
        QVERIFY(!ReviewChartReading(ws, reading, {}));
        QVERIFY(doc.workingPicture == shown && !history.canUndo() && doc.pointCount(1) == 0);
        QVERIFY(ReviewChartReading(ws, reading, {}));
        QVERIFY(doc.pointCount(1) > 100 && doc.pointCount(2) > 100);
        QVERIFY(QPoint(doc.zeroPointX, doc.zeroPointY) != zero);
        history.undo(ws);
        QCOMPARE(QPoint(doc.zeroPointX, doc.zeroPointY), zero);
        QVERIFY(doc.pointCount(1) == 0 && doc.pointCount(2) == 0 && !history.canUndo());
    }
    // Legends of other looks than the one above: each series gets its own entry's name.
    void wholeChartNamesSeriesFromLegendsOfEveryStyle_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QStringList>("with");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("jpeg");
        // The box tight round the text, touching its last letters; a monospaced font's wide
        // spaces between the words of a name; JPEG specks round the letters.
        QTest::newRow("boxed, monospaced, JPEG")
            << "reverse Left box"
            << "DejaVu Sans Mono" << QStringList{"with lines lw 2", "with lines lw 1 dt 2"}
            << QStringList{"Flow rate", "Outlet 3"} << true;
        // Text left of its sample; a marker taller than a word of small letters only.
        QTest::newRow("markers right of the names")
            << ""
            << "sans" << QStringList{"with points pt 5 ps 1.5", "with lines lw 2"}
            << QStringList{"mean", "sensor B"} << false;
        // A margin of its own right of the plot, its samples paler than their curves in JPEG.
        QTest::newRow("outside the plot")
            << "outside reverse Left"
            << "serif" << QStringList{"with lines lw 1", "with lines lw 3"}
            << QStringList{"Heat", "Load"} << true;
        // Lines and points: each series is its markers, named from a sample that carries one.
        QTest::newRow("lines and points")
            << ""
            << "sans" << QStringList{"with linespoints pt 7 ps 1.2", "with linespoints pt 5 ps 1.2"}
            << QStringList{"Flow", "Level"} << false;
        // Open markers and crosses do not widen the line's run, but add ink round it.
        QTest::newRow("lines and open points")
            << ""
            << "sans" << QStringList{"with linespoints pt 6 ps 1", "with linespoints pt 2 ps 1"}
            << QStringList{"Flow", "Level"} << false;
        // Two curves of one colour told apart by their samples' dashes.
        QTest::newRow("solid and dashed black")
            << "reverse Left"
            << "sans" << QStringList{"with lines lw 2 lc black", "with lines lw 2 lc black dt 2"}
            << QStringList{"Speed", "Torque"} << false;
    }
    void wholeChartNamesSeriesFromLegendsOfEveryStyle() {
        QFETCH(QString, key);
        QFETCH(QString, font);
        QFETCH(QStringList, with);
        QFETCH(QStringList, names);
        QFETCH(bool, jpeg);
        if (QStandardPaths::findExecutable("gnuplot").isEmpty())
            QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
        static TesseractReader reader;
        if (!reader.available())
            QSKIP("Tesseract's English data are not installed");
        QTemporaryDir folder;
        const QImage picture = drawKeyedChart(folder.path(), key, font, with, names, jpeg);
        QVERIFY(!picture.isNull());
        const ChartReading reading = ReadWholeChart(picture, reader);
        QCOMPARE(int(reading.series.size()), 2);
        for (const SeriesReading& s : reading.series) {
            // Of one colour, the cosine is the one that starts high.
            const SeriesReading& other = reading.series[&s == &reading.series[0] ? 1 : 0];
            const bool first = s.colour == other.colour
                                   ? s.points.front().y() > other.points.front().y()
                                   : qBlue(s.colour) > qRed(s.colour);
            QCOMPARE(s.name, names[first ? 0 : 1]);
            if (with[0].contains("linespoints")) { // 50 samples, some under the frame
                QCOMPARE(s.kind, SeriesKind::Markers);
                QVERIFY2(s.points.size() >= 46, qPrintable(QString::number(s.points.size())));
            }
        }
    }
    // Under a kept polar calibration a closed curve is followed round the centre, whole and in
    // the order of its path.
    void wholeChartFollowsAClosedPolarCurveRound() {
        QImage picture(400, 400, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 2));
            painter.drawEllipse(QPointF(200.5, 200.5), 150, 90);
        }
        Document doc;
        doc.frame = CalibrationFrame::Polar;
        doc.polar.centreX = doc.polar.centreY = 200;
        doc.polar.referenceX = 300;
        doc.polar.referenceY = 200;
        ChartReadingOptions options;
        options.plotArea = QRect(20, 20, 360, 360);
        options.polarRays = PlanPolarRays(doc, 360);
        static TesseractReader reader;
        const ChartReading reading = ReadWholeChart(picture, reader, options);
        QCOMPARE(int(reading.series.size()), 1);
        const std::vector<QPointF>& path = reading.series[0].points;
        QVERIFY2(path.size() >= 355, qPrintable(QString::number(path.size())));
        QVERIFY(std::abs(path.front().x() - 350) <= 1.5 && std::abs(path.front().y() - 200) <= 1);
        for (std::size_t i = 1; i < path.size(); ++i)
            QVERIFY2(QLineF(path[i - 1], path[i]).length() < 4, qPrintable(QString::number(i)));
    }

    // A curve is followed both ways from where it starts: leftwards down a steep dashed part the
    // slope leads across each gap to the next dash, as it does rightwards.
    void wholeChartFollowsASteepDashedCurveBothWays() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            QPen dashed(QColor(0x1f, 0x5f, 0xbf), 2);
            dashed.setDashPattern({2, 3});
            painter.setPen(dashed);
            painter.drawLine(QPointF(40.5, 40.5), QPointF(250.5, 300.5));
            painter.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 2));
            painter.drawLine(QPointF(250.5, 300.5), QPointF(390.5, 260.5));
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 1);
        const std::vector<QPointF>& points = reading.series[0].points;
        QVERIFY2(points.size() >= 340, qPrintable(QString::number(points.size())));
        for (const QPointF& p : points) {
            if (p.x() < 45 || p.x() > 385)
                continue; // the stroke's ends are rounded over a few columns
            const double row =
                p.x() < 250 ? 40 + (p.x() - 40) * 260 / 210 : 300 - (p.x() - 250) * 40 / 140;
            QVERIFY2(std::abs(p.y() - row) <= 2,
                     qPrintable(QString("%1 %2").arg(p.x()).arg(p.y())));
        }
    }

    // Two curves of one colour, a solid and a dashed black one as papers print them, are two
    // series, each on its own stroke.
    void wholeChartReadsTwoCurvesOfOneColour_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<QList<qreal>>("dashes");
        QTest::newRow("dashed 2 px") << 2.0 << QList<qreal>{4, 3};
        // Far less ink than the solid curve, but off its path.
        QTest::newRow("dotted 1 px") << 1.0 << QList<qreal>{1, 4};
    }

    void wholeChartReadsTwoCurvesOfOneColour() {
        QFETCH(double, width);
        QFETCH(QList<qreal>, dashes);
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const auto solidRow = [](double x) { return 80 + 30 * std::sin(x / 60.0); };
        const auto dashedRow = [](double x) { return 310 - 0.5 * (x - 40); };
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            QPen dashed(Qt::black, width);
            dashed.setDashPattern(dashes);
            for (int x = 40; x < 390; ++x) {
                painter.setPen(QPen(Qt::black, 2));
                painter.drawLine(QPointF(x, solidRow(x)), QPointF(x + 1, solidRow(x + 1)));
            }
            painter.setPen(dashed);
            strokeAlong(painter, dashedRow);
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 2);
        for (const SeriesReading& s : reading.series) {
            QVERIFY2(s.points.size() >= 300, qPrintable(QString::number(s.points.size())));
            const auto row = std::abs(s.points[150].y() - solidRow(s.points[150].x())) < 2
                                 ? solidRow
                                 : dashedRow;
            QVERIFY(followsRow(s, row, 1.5));
        }
    }

    // Solid, dashed and dotted black curves that cross, as journals print them, without a
    // legend: each keeps to its own stroke away from the crossings; the steep dotted one's
    // points lie on the curve through its dots, not on the dots' column runs, which climb in
    // steps; and a crossing that looks like a legend entry inside a curve's bounds does not
    // make that curve the legend's box.
    void wholeChartKeepsBlackDashedAndDottedCurvesApartWhereTheyCross() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const RowOf solid = [](double x) { return 290 - 0.0015 * std::pow(x - 40, 2); };
        const RowOf dashed = [](double x) { return 110 + 0.35 * x; };
        const RowOf dotted = [](double x) { return 165 + 85 * std::cos(x / 48.0); };
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            for (const auto& [row, width, dashes] : {std::tuple{solid, 2.0, QList<qreal>{}},
                                                     std::tuple{dashed, 1.0, QList<qreal>{5, 5}},
                                                     std::tuple{dotted, 2.0, QList<qreal>{1, 3}}}) {
                QPen pen(Qt::black, width);
                if (!dashes.isEmpty())
                    pen.setDashPattern(dashes);
                painter.setPen(pen);
                strokeAlong(painter, row);
            }
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 3);
        for (const SeriesReading& s : reading.series) {
            const QPointF at = s.points[s.points.size() / 2];
            RowOf row = solid;
            for (const RowOf& r : {dashed, dotted})
                if (std::abs(r(at.x()) - at.y()) < std::abs(row(at.x()) - at.y()))
                    row = r;
            const auto nearCrossing = [&](double x) {
                for (const RowOf& r : {solid, dashed, dotted})
                    if (std::abs(r(x) - row(x)) > 0.1 && std::abs(r(x) - row(x)) < 16)
                        return true;
                return false;
            };
            QVERIFY(followsRow(s, row, 3.0, nearCrossing));
        }
    }

    // Two dotted curves of one colour that touch keep their own bends past the meeting: the
    // follower cannot tell the dots apart there, but the bends tell.
    void wholeChartKeepsDottedCurvesOfOneColourApartWhereTheyMeet() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const auto lineRow = [](double x) { return 100 + 0.45 * x; };
        const auto bentRow = [](double x) { return 98 + 0.45 * x + 0.003 * std::pow(x - 210, 2); };
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            QPen dotted(QColor(0x1f, 0x5f, 0xbf), 1.5);
            dotted.setDashPattern({1, 3});
            painter.setPen(dotted);
            strokeAlong(painter, lineRow);
            strokeAlong(painter, bentRow);
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 2);
        for (const SeriesReading& s : reading.series) {
            const RowOf row = std::abs(s.points.front().y() - lineRow(s.points.front().x())) < 3
                                  ? RowOf(lineRow)
                                  : RowOf(bentRow);
            // Where they lie over 3 px apart.
            QVERIFY(followsRow(s, row, 3.0, [](double x) { return std::abs(x - 210) <= 45; }));
        }
    }

    // Black strokes that look like the chart's structure stay data: a curve running along a
    // light grey grid line, and a nearly level dashed one whose dashes stand in a row like the
    // letters of a word (there is no legend).
    void wholeChartKeepsBlackCurvesAlongGridLinesAndDashesInARow() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const auto alongGrid = [](double x) {
            return x < 200 ? 140.0 : 140 - 0.004 * std::pow(x - 200, 2);
        };
        const auto dashedRow = [](double x) { return 280 - 0.05 * x; };
        {
            QPainter painter(&picture);
            painter.setPen(QColor(200, 200, 200));
            for (int y = 80; y <= 320; y += 60)
                painter.drawLine(20, y, 404, y);
            painter.setRenderHint(QPainter::Antialiasing);
            for (const auto& [row, dashes] : {std::pair{RowOf(alongGrid), QList<qreal>{}},
                                              std::pair{RowOf(dashedRow), QList<qreal>{5, 6}}}) {
                QPen pen(Qt::black, 2);
                if (!dashes.isEmpty())
                    pen.setDashPattern(dashes);
                painter.setPen(pen);
                strokeAlong(painter, row, 0.5); // on the grid line's pixel row
            }
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 2);
        for (const SeriesReading& s : reading.series) {
            QVERIFY2(s.points.size() >= 330, qPrintable(QString::number(s.points.size())));
            const RowOf row = s.points[10].y() < 200 ? RowOf(alongGrid) : RowOf(dashedRow);
            QVERIFY(followsRow(
                s, [&](double x) { return row(x + 0.5) + 0.5; }, 1.5));
        }
    }

    // A dashed curve whose last dash ends in a gap before the frame runs on to the frame, as
    // its stroke does: its points reach the frame's edge on the curve's bend.
    void wholeChartRunsADashedCurveOnToTheFrame() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const RowOf row = [](double x) { return 150 + 0.0008 * std::pow(x - 200, 2); };
        {
            QPainter painter(&picture);
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(QRectF(30.5, 30.5, 370, 280)); // the frame, 31 to 401
            painter.setRenderHint(QPainter::Antialiasing);
            QPen dashed(QColor(0x1f, 0x5f, 0xbf), 2);
            dashed.setDashPattern({4, 4}); // 8 px on, 8 px off
            dashed.setDashOffset(4);       // the last dash ends 5 px before the frame
            painter.setPen(dashed);
            QPainterPath path(QPointF(32, row(32)));
            for (int x = 33; x <= 400; ++x)
                path.lineTo(x, row(x));
            painter.drawPath(path);
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 1);
        const SeriesReading& s = reading.series[0];
        QVERIFY2(s.points.back().x() >= 398, qPrintable(QString::number(s.points.back().x())));
        QVERIFY(followsRow(s, row, 1.0));
    }

    // Markers of a curve's colour off its path are a series of their own; the curve's
    // pieces cut by them are not, and the colour's other curves are still read.
    void wholeChartReadsMarkersOfACurvesColour_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<double>("slope"); // of the dashed curve, which passes (200, rowAt200)
        QTest::addColumn<double>("rowAt200");
        QTest::newRow("open circles") << QColor(0x1f, 0x5f, 0xbf) << false << -0.1 << 280.0;
        // Its dashes pass right beside a square, in the square's rows like a word's letters.
        QTest::newRow("black squares") << QColor(Qt::black) << true << -1.0 << 222.0;
    }

    void wholeChartReadsMarkersOfACurvesColour() {
        QFETCH(QColor, colour);
        QFETCH(bool, filled);
        QFETCH(double, slope);
        QFETCH(double, rowAt200);
        const RowOf dashedRow = [&](double x) { return rowAt200 + slope * (x - 200); };
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QList<QPointF> centres;
        for (int k = 0; k < 8; ++k)
            centres.append(QPointF(60.5 + 42 * k, 250.5 - 8 * k));
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(colour, 1.5));
            for (int x = 40; x < 390; ++x)
                painter.drawLine(QPointF(x, 90 + 40 * std::sin(x / 50.0)),
                                 QPointF(x + 1, 90 + 40 * std::sin((x + 1) / 50.0)));
            // A dashed curve of the colour too, read with the markers set aside.
            QPen dashed(colour, 1.5);
            dashed.setDashPattern({4, 3});
            painter.setPen(dashed);
            strokeAlong(painter, dashedRow);
            painter.setPen(QPen(colour, 1.2));
            for (const QPointF& c : centres)
                if (filled)
                    painter.fillRect(QRect(int(c.x()) - 5, int(c.y()) - 5, 11, 11), colour);
                else
                    painter.drawEllipse(c, 5, 5);
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 3);
        QCOMPARE(reading.series[0].kind, SeriesKind::Curve);
        QCOMPARE(reading.series[1].kind, SeriesKind::Curve);
        const SeriesReading& markers = reading.series[2];
        QCOMPARE(markers.kind, SeriesKind::Markers);
        QCOMPARE(int(markers.points.size()), 8);
        for (int k = 0; k < 8; ++k)
            QVERIFY(std::hypot(markers.points[k].x() + 0.5 - centres[k].x(),
                               markers.points[k].y() + 0.5 - centres[k].y()) < 0.3);
        // Away from the markers the dashed curve passes.
        QVERIFY(followsRow(reading.series[1], dashedRow, 1.5, [&](double x) {
            return std::any_of(centres.begin(), centres.end(),
                               [&](QPointF c) { return std::abs(c.x() - x) < 10; });
        }));
    }

    // A thin stroke that JPEG greyed in places stays one series: the grey stretches lie on its
    // path.
    void wholeChartKeepsAStrokeGreyedInPlacesOneSeries() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            for (int x = 40; x < 390; ++x) {
                const int y = int(170 + 90 * std::sin(x / 50.0));
                painter.setPen(x % 40 < 12 ? QColor(90, 90, 90) : QColor(0x1f, 0x5f, 0xbf));
                painter.drawLine(x, y, x, int(170 + 90 * std::sin((x + 1) / 50.0)));
            }
        }
        const ChartReading reading = readPlotArea(picture);
        QCOMPARE(int(reading.series.size()), 1);
        QVERIFY2(reading.series[0].points.size() >= 330,
                 qPrintable(QString::number(reading.series[0].points.size())));
    }

    // Thin crosses cut into pieces where other strokes run through them are still markers:
    // most of their colour's ink lies in whole crosses, though the pieces are many.
    void wholeChartTakesCrossesCutByOtherStrokesForMarkers() {
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QColor blue(0x1f, 0x5f, 0xbf);
        QList<QPointF> centres;
        for (int k = 0; k < 8; ++k)
            centres.append(QPointF(60.5 + 42 * k, 170.5 + 90 * std::sin(k * 0.9)));
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(blue, 1.5));
            for (const QPointF& c : centres) {
                painter.drawLine(c + QPointF(-7, -7), c + QPointF(7, 7));
                painter.drawLine(c + QPointF(-7, 7), c + QPointF(7, -7));
            }
            painter.setPen(QPen(QColor(0xd0, 0x20, 0x20), 3));
            for (const int k : {2, 5})
                painter.drawLine(centres[k] + QPointF(-15, 0), centres[k] + QPointF(15, 0));
        }
        const std::optional<SeriesReading> crosses = blueSeriesOf(picture);
        QVERIFY(crosses);
        QCOMPARE(crosses->kind, SeriesKind::Markers);
        QCOMPARE(int(crosses->points.size()), 8);
        // At their crossing: the paper closed in between the arms does not pull them aside.
        // Painted centres are pixel centres; the points are pixel indices.
        for (const QPointF& p : crosses->points) {
            double nearest = 1e9;
            for (const QPointF& c : centres)
                nearest = std::min(nearest, std::hypot(p.x() + 0.5 - c.x(), p.y() + 0.5 - c.y()));
            QVERIFY2(nearest <= 0.12,
                     qPrintable(QString("%1,%2 off by %3").arg(p.x()).arg(p.y()).arg(nearest)));
        }
    }

    // A marker under another series' filled marker is missing only where paper shows: what
    // shows of it is judged, also where the dot hides most of it.
    void wholeChartFindsACrossUnderAnotherSeriesDot_data() {
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("above");
        QTest::newRow("over its middle") << 4.5 << 0.0;
        QTest::newRow("over most of it") << 6.5 << 3.5;
    }

    void wholeChartFindsACrossUnderAnotherSeriesDot() {
        QFETCH(double, radius);
        QFETCH(double, above);
        QImage picture(420, 340, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QColor blue(0x1f, 0x5f, 0xbf), orange(0xe6, 0x9f, 0x00);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(blue, 1.5));
            for (int k = 0; k < 8; ++k) {
                const QPointF c(60.5 + 42 * k, 170.5 + 90 * std::sin(k * 0.9));
                painter.drawLine(c + QPointF(-7, -7), c + QPointF(7, 7));
                painter.drawLine(c + QPointF(-7, 7), c + QPointF(7, -7));
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(orange);
            for (int k = 0; k < 8; ++k) // the dots, one of them over the fourth cross
                painter.drawEllipse(k == 3 ? QPointF(186.5, 170.5 - above + 90 * std::sin(2.7))
                                           : QPointF(81.5 + 42 * k, 250.5 - 10 * k),
                                    k == 3 ? radius : 4.5, k == 3 ? radius : 4.5);
        }
        const std::optional<SeriesReading> crosses = blueSeriesOf(picture);
        QVERIFY(crosses);
        QCOMPARE(crosses->kind, SeriesKind::Markers);
        QCOMPARE(int(crosses->points.size()), 8);
    }

    // The batch form: one chart to standard output, then a calibration reused over several
    // inputs, one of them unreadable.
    void digitiseCommandReadsChartsAndReusesACalibration() {
        if (QStandardPaths::findExecutable("gnuplot").isEmpty())
            QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
        QTemporaryDir folder;
        const auto chart = drawCrossingCurves(folder.path());
        QVERIFY(chart);
        const QString picture = folder.filePath("chart.png");
        QVERIFY(chart->picture.save(picture));
        QProcess program;
        program.start(KURVANA_PROGRAM, {"--digitise", "--format", "json", picture});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QByteArray exported = program.readAllStandardOutput();
        const QJsonArray lines = QJsonDocument::fromJson(exported).object()["lines"].toArray();
        QCOMPARE(lines.size(), 2);
        for (const QJsonValue& line : lines) {
            QCOMPARE(line["kind"].toString(), QString("curve"));
            QVERIFY(line["points"].toArray().size() > 100);
        }
        QFile calibration(folder.filePath("calibration.json"));
        QVERIFY(calibration.open(QIODevice::WriteOnly) && calibration.write(exported) > 0);
        calibration.close();
        const QString out = folder.filePath("out");
        program.start(KURVANA_PROGRAM,
                      {"--digitise", "--format", "csv", "--calibration", calibration.fileName(),
                       "-o", out, picture, folder.filePath("missing.png")});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QFile::exists(out + "/chart.csv"));
        // The same calibration from a data file, over two pictures of one stem: each keeps
        // its own output.
        Document calibrated;
        LoadCalibration(calibrated, calibration.fileName());
        QFile data(folder.filePath("calibration.gra"));
        const auto bytes = DataFileBytes(DataFileFromDocument(calibrated, "chart.bmp"));
        QVERIFY(bytes && data.open(QIODevice::WriteOnly) && data.write(*bytes) > 0);
        data.close();
        QVERIFY(chart->picture.save(folder.filePath("chart.bmp")));
        program.start(KURVANA_PROGRAM, {"--digitise", "--format", "json", "--calibration",
                                        data.fileName(), picture, folder.filePath("chart.bmp")});
        QVERIFY(program.waitForFinished(60000));
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
        for (const QString output : {"chart.png.json", "chart.bmp.json"}) {
            QFile written(folder.filePath(output));
            QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(output));
            QCOMPARE(QJsonDocument::fromJson(written.readAll()).object()["lines"].toArray().size(),
                     2);
        }
        program.start(KURVANA_PROGRAM, {"--digitise", folder.filePath("missing.png")});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 2);
    }
    // A time series: the date labels make a date axis, and the CSV's X column holds its dates.
    void digitiseCommandGivesATimeSeriesItsDates() {
        if (QStandardPaths::findExecutable("gnuplot").isEmpty())
            QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
        QTemporaryDir folder;
        const QString picture = folder.filePath("series.png");
        QProcess gnuplot;
        gnuplot.start("gnuplot", {"-e", QString("set term pngcairo size 800,500; set output '%1'; "
                                                "set xdata time; set timefmt '%Y-%m-%d'; "
                                                "set xrange ['2021-01-01':'2022-01-01']; "
                                                "set format x '%Y-%m'; set xtics ('2021-01-01', "
                                                "'2021-05-01', '2021-09-01', '2022-01-01'); "
                                                "set yrange [0:10]; plot 5+3*sin(x/3e6) lw 2 "
                                                "notitle")
                                            .arg(picture)});
        QVERIFY(gnuplot.waitForFinished(60000) && gnuplot.exitCode() == 0);
        QProcess program;
        program.start(KURVANA_PROGRAM, {"--digitise", "--format", "csv", picture});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        QStringList rows =
            QString(program.readAllStandardOutput()).split("\r\n", Qt::SkipEmptyParts);
        QVERIFY(rows.size() > 100);
        rows.removeFirst(); // the header
        const double start = *DayCountOf(2021, 1, 1), end = *DayCountOf(2022, 1, 1);
        const double unixEpoch = *DayCountOf(1970, 1, 1);
        int right = 0;
        std::optional<double> first, last;
        for (const QString& row : rows) {
            const std::optional<double> day = ParseDayCount(row.section(',', 0, 0), QLocale::c());
            QVERIFY2(day, qPrintable(row));
            first = first.value_or(*day), last = *day;
            const double y = 5 + 3 * std::sin((*day - unixEpoch) * 86400 / 3e6);
            right += std::abs(row.section(',', 1, 1).toDouble() - y) <= 0.1; // 1 % of the axis
        }
        // The curve's ends are a stroke's width inside the frame: two pixels, two days here.
        QVERIFY2(std::abs(*first - start) <= 2 && std::abs(*last - end) <= 2,
                 qPrintable(rows.front() + " .. " + rows.back()));
        QVERIFY2(right >= 0.99 * rows.size(), qPrintable(QString::number(right)));
    }
    // Bars over words: each bar its category's name and number, in a line of kind bars.
    void digitiseCommandNamesTheBarsOfACategoryChart() {
        if (QStandardPaths::findExecutable("gnuplot").isEmpty())
            QSKIP("gnuplot is not installed (tools/setup.sh installs gnuplot-nox)");
        QTemporaryDir folder;
        const QString picture = folder.filePath("fruit.png");
        QProcess gnuplot;
        gnuplot.start("gnuplot",
                      {"-e", QString("set term pngcairo size 800,500; set output '%1'; "
                                     "set style fill solid 1.0 border lc rgb 'black'; "
                                     "set boxwidth 0.6; set xrange [0.4:4.6]; set yrange [0:10]; "
                                     "set xtics ('Apples' 1, 'Pears' 2, 'Plums' 3, 'Limes' 4); "
                                     "plot '+' using ($0+1):(2+1.7*$0) every ::0::3 with boxes "
                                     "lc rgb '#4670be' notitle")
                                 .arg(picture)});
        QVERIFY(gnuplot.waitForFinished(60000) && gnuplot.exitCode() == 0);
        QProcess program;
        program.start(KURVANA_PROGRAM, {"--digitise", "--format", "json", picture});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QJsonArray lines =
            QJsonDocument::fromJson(program.readAllStandardOutput()).object()["lines"].toArray();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0]["kind"].toString(), QString("bars"));
        const QJsonArray points = lines[0]["points"].toArray();
        const char* names[] = {"Apples", "Pears", "Plums", "Limes"};
        QCOMPARE(points.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(points[i]["label"].toString(), QString(names[i]));
            QVERIFY2(std::abs(points[i]["x"].toDouble() - (i + 1)) <= 0.02 &&
                         std::abs(points[i]["y"].toDouble() - (2 + 1.7 * i)) <= 0.05,
                     qPrintable(QJsonDocument(points[i].toObject()).toJson()));
        }
    }
    void everyBarOfTheClickedColourIsFoundAtItsEnd_data() {
        QTest::addColumn<BarChart>("chart");
        QTest::addColumn<bool>("negative");
        BarChart plain;
        for (int i = 0; i < 6; ++i)
            plain.bars << QRectF(48.3 + 55 * i, 280.5 - (30 + 37 * i), 22.4, 30 + 37 * i);
        BarChart grouped = plain;
        for (const QRectF& r : plain.bars)
            grouped.others << r.translated(23.0, 0).adjusted(0, 15, 0, 0);
        grouped.errorBars = true;
        BarChart negative;
        for (int i = 0; i < 5; ++i)
            negative.bars << QRectF(60.6 + 60 * i, 150.5, 26.2, 20.3 + 21 * i);
        negative.bars << QRectF(360.6, 100.2, 26.2, 50.3); // one positive among them
        BarChart horizontal;
        horizontal.horizontal = true;
        for (int i = 0; i < 5; ++i)
            horizontal.bars << QRectF(31.0, 60.4 + 42 * i, 70.3 + 51 * i, 24.6);
        BarChart histogram; // touching bars
        for (int i = 0; i < 7; ++i)
            histogram.bars << QRectF(40 + 30 * i, 280.5 - (40 + 23 * (i % 4) + 5 * i), 30,
                                     40 + 23 * (i % 4) + 5 * i);
        BarChart stacked; // the clicked colour sits on other segments
        for (int i = 0; i < 5; ++i) {
            const double below = 40 + 20 * i;
            stacked.others << QRectF(50.4 + 64 * i, 280.5 - below, 30.2, below);
            stacked.bars << QRectF(50.4 + 64 * i, 280.5 - below - 35 - 9 * i, 30.2, 35 + 9 * i);
        }
        QTest::newRow("plain") << plain << false;
        QTest::newRow("grouped, error bars") << grouped << false;
        QTest::newRow("negative") << negative << true;
        QTest::newRow("horizontal") << horizontal << false;
        QTest::newRow("histogram") << histogram << false;
        QTest::newRow("stacked") << stacked << false;
    }
    void everyBarOfTheClickedColourIsFoundAtItsEnd() {
        QFETCH(BarChart, chart);
        QFETCH(bool, negative);
        const QRectF clicked = chart.bars.front();
        const std::optional<BarSearch> search = FindBars(chart.draw(), clicked.center().toPoint());
        QVERIFY(search.has_value());
        QCOMPARE(search->horizontal, chart.horizontal);
        QCOMPARE(int(search->bars.size()), int(chart.bars.size()));
        QList<QRectF> truth = chart.bars;
        std::sort(truth.begin(), truth.end(), [&chart](const QRectF& a, const QRectF& b) {
            return chart.horizontal ? a.top() < b.top() : a.left() < b.left();
        });
        for (int i = 0; i < truth.size(); ++i) {
            const QRectF& r = truth[i];
            const FoundBar& bar = search->bars[std::size_t(i)];
            const bool down = r.top() >= 150 && negative;
            const double centre = Pixel(chart.horizontal ? r.center().y() : r.center().x());
            const double end = chart.horizontal ? r.right() : (down ? r.bottom() : r.top());
            QVERIFY2(std::abs(bar.centre - centre) <= 0.5, qPrintable(QString::number(i)));
            // The end lies within half a pixel of the true edge.
            QVERIFY2(std::abs(bar.end - Pixel(end)) <= 0.5,
                     qPrintable(QString("bar %1: end %2, edge %3").arg(i).arg(bar.end).arg(end)));
            QCOMPARE(bar.negative, down);
            // The error bar's ends: its cap's centre line, and where its stroke (square pen
            // ends) stops inside the bar; no error bar where none is drawn.
            QCOMPARE(bar.error.has_value(), chart.errorBars);
            if (bar.error)
                QVERIFY2(std::abs(bar.error->high - Pixel(r.top() - 12)) <= 1 &&
                             std::abs(bar.error->low - Pixel(r.top() + 9.6)) <= 1,
                         qPrintable(QString("bar %1: %2 .. %3, top %4")
                                        .arg(i)
                                        .arg(bar.error->low)
                                        .arg(bar.error->high)
                                        .arg(r.top())));
        }
    }

    void aClickBesideTheBarsFindsNothing() {
        BarChart chart;
        chart.bars << QRectF(100, 200, 30, 80.5);
        QVERIFY(!FindBars(chart.draw(), {250, 150})); // on the paper
        QVERIFY(!FindBars(chart.draw(), {200, 280})); // on the axis line
        QVERIFY(!FindBars(QImage(), {0, 0}));
    }

    void theBarsBecomeOnePointEachInOneUndoableStep() {
        Document doc;
        platform::ScriptedDialogs dialogs;
        ViewHooks view;
        History history;
        Workspace ws{doc, dialogs, view, &history};
        BarChart chart;
        for (int i = 0; i < 4; ++i)
            chart.bars << QRectF(60 + 70 * i, 280.5 - 50 * (i + 1), 30, 50 * (i + 1));
        InstallNewPicture(ws, chart.draw());
        history.reset(doc, false);
        doc.currentLine = 2;
        QCOMPARE(FindBarsAt(ws, 75, 260), 4);
        QCOMPARE(doc.pointCount(2), 4);
        QCOMPARE(QPoint(doc.pointX(2, 1), doc.pointY(2, 1)),
                 QPoint(75, 230)); // 74.5 rounds up; the edge lies on 230
        QCOMPARE(QPoint(doc.pointX(2, 4), doc.pointY(2, 4)), QPoint(285, 80));
        QCOMPARE(history.stepCount(), std::size_t(1));
        history.undo(ws);
        QCOMPARE(doc.pointCount(2), 0);
        QVERIFY_THROWS_EXCEPTION(CommandError, FindBarsAt(ws, 20, 20));
        QVERIFY(!history.canUndo());
    }

    // Tick labels of time axes as plotting programs write them, in the order along the axis.
    void dateLabelsGiveTheirDayCounts_data() {
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("dates"); // empty: not a date axis
        QTest::newRow("years") << QStringList{"2019", "2020", "2021"}
                               << QStringList{"2019-01-01", "2020-01-01", "2021-01-01"};
        QTest::newRow("months over a new year")
            << QStringList{"Nov", "Dec", "Jan 2021", "Feb", "Mar"}
            << QStringList{"2020-11-01", "2020-12-01", "2021-01-01", "2021-02-01", "2021-03-01"};
        QTest::newRow("iso days") << QStringList{"2024-02-28", "2024-02-29", "2024-03-01"}
                                  << QStringList{"2024-02-28", "2024-02-29", "2024-03-01"};
        QTest::newRow("year and months") << QStringList{"2021-06", "2021/09", "Dec 2021"}
                                         << QStringList{"2021-06-01", "2021-09-01", "2021-12-01"};
        QTest::newRow("days named") << QStringList{"15 Jun 2021", "15 July 2021"}
                                    << QStringList{"2021-06-15", "2021-07-15"};
        QTest::newRow("plain numbers") << QStringList{"0", "10", "20"} << QStringList{};
        QTest::newRow("two years only") << QStringList{"2020", "2021"} << QStringList{};
        QTest::newRow("no year at all") << QStringList{"Jan", "Feb", "Mar"} << QStringList{};
        QTest::newRow("not in order")
            << QStringList{"2021-03", "2021-01", "2021-05"} << QStringList{};
        QTest::newRow("no such day") << QStringList{"2023-02-29", "2023-03-01"} << QStringList{};
    }
    void dateLabelsGiveTheirDayCounts() {
        QFETCH(QStringList, labels);
        QFETCH(QStringList, dates);
        const auto counts = DayCountsOfLabels(std::vector<QString>(labels.begin(), labels.end()));
        QCOMPARE(counts.has_value(), !dates.isEmpty());
        for (int i = 0; i < dates.size(); ++i)
            QCOMPARE(FormatDayCount((*counts)[std::size_t(i)], DatePrecision::Days), dates[i]);
    }
};

QTEST_GUILESS_MAIN(TestRecognisers)
#include "test_recognisers.moc"
