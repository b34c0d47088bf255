#include "bench/accuracy/wholechart.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTextStream>

#include "bench/accuracy/wholescore.h"
#include "recognition/chart/wholechart.h"
#include "recognition/ocr/tesseractreader.h"

namespace kurvana::accuracy {

namespace {

/// A curve's height as a share of the Y range over the share t of the X range: the same
/// function for gnuplot and for the truth.
struct Shape {
    const char* gnuplot; ///< in terms of t(x)
    std::function<double(double)> f;
};

const Shape kShapes[] = {
    {"0.42+0.28*sin(2*pi*1.3*t(x)+0.3)",
     [](double t) { return 0.42 + 0.28 * std::sin(2 * M_PI * 1.3 * t + 0.3); }},
    {"0.1+0.6*t(x)**2", [](double t) { return 0.1 + 0.6 * t * t; }},
    {"0.65-0.5*t(x)", [](double t) { return 0.65 - 0.5 * t; }},
    {"0.4+0.22*cos(2*pi*2.2*t(x))",
     [](double t) { return 0.4 + 0.22 * std::cos(2 * M_PI * 2.2 * t); }},
    {"0.15+0.5*exp(-((t(x)-0.55)/0.18)**2)",
     [](double t) { return 0.15 + 0.5 * std::exp(-std::pow((t - 0.55) / 0.18, 2)); }},
    {"0.25+0.35*t(x)+0.06*sin(2*pi*3*t(x))",
     [](double t) { return 0.25 + 0.35 * t + 0.06 * std::sin(2 * M_PI * 3 * t); }},
};

/// Series names: one word and several, capitals and small letters, digits and signs, so that
/// the legend reader meets more than one kind of name. A chart takes five in a row.
const char* const kNames[] = {"Pressure",  "Flow",     "Speed",    "Load",     "Heat",
                              "Flow rate", "T1 inlet", "sensor B", "Run 12",   "Voltage (V)",
                              "mean",      "Torque",   "x-drift",  "Outlet 3", "Level"};
constexpr int kNameCount = int(std::size(kNames));
const QRgb kColourSets[][5] = {
    {0x9400d3, 0x009e73, 0x56b4e9, 0xe69f00, 0x0072b2},
    {0xe41a1c, 0x377eb8, 0x4daf4a, 0x984ea3, 0xff7f00},
    {0x000000, 0xd62728, 0x1f77b4, 0x2ca02c, 0x8c564b},
};
const int kMarkerTypes[] = {7, 5, 9, 1, 2, 6};

struct SeriesCase {
    int shape = 0;
    bool markers = false;
    int dash = 1; ///< gnuplot dt: 1 solid, 2 dashed, 3 dotted
    int width = 2;
    QRgb colour = 0;
    int markerType = 7;
};

/// The plot box gnuplot used, in pixel indices: left, right, top, bottom.
struct PlotBox {
    double left = 0, right = 0, top = 0, bottom = 0;
};

struct WholeCase {
    int index = 0;
    QString name;
    int width = 800, height = 560;
    QString terminal = "pngcairo";
    QString font = "sans";
    bool legend = true, grid = false, frame = true, logX = false, logY = false, jpeg = false;
    bool blackAndWhite = false;
    bool joined = false;     ///< markers joined by lines (gnuplot's linespoints)
    int legendStyle = 0;     ///< 0 text right of sample, 1 gnuplot's default (text left), 2 boxed
    bool legendLeft = false; ///< in the top left corner rather than the top right
    bool legendOutside = false;    ///< right of the plot, in a margin of its own
    bool legendBelow = false;      ///< below the plot, under the tick labels
    bool legendHorizontal = false; ///< entries side by side in rows
    double legendFontScale = 1;    ///< the legend's letters against the tick labels'
    int sampleLength = 4;          ///< gnuplot's samplen, in character widths
    std::vector<SeriesCase> series;
    double xMin = 0, xMax = 10, yMin = 0, yMax = 100;
    /// The plot box of a first drawing: markers are then put on pixel centres. A terminal draws
    /// a marker at a whole pixel, so a value between pixels is not where its marker shows.
    std::optional<PlotBox> pixelGrid;
};

/// The name of the chart's series s: five names in a row of the list, from a place that
/// moves on with the chart's index.
const char* nameOf(const WholeCase& c, std::size_t s) {
    return kNames[(c.index * 4 + int(s)) % kNameCount];
}

double axisT(double v, bool log) {
    return log ? std::log10(v) : v;
}

/// Charts in colour; those after them are black and white, then lines and points.
constexpr int kColourCharts = 48, kBlackAndWhiteCharts = 8, kJoinedCharts = 6;

/// A spread of cases from one index: every feature varies with a different period.
WholeCase caseNumber(int i) {
    WholeCase c;
    c.index = i;
    const int widths[] = {500, 640, 800, 1000, 1200, 1600, 2000, 3000, 720};
    c.width = widths[i % 9];
    c.height = c.width * (i % 2 ? 3 : 2) / (i % 2 ? 5 : 3);
    const int count = 1 + i % 5;
    c.legend = i % 4 != 3;
    c.legendStyle = (i / 4) % 3;
    c.legendLeft = (i / 2) % 2 == 1;
    c.legendHorizontal = i % 7 == 3;
    c.legendBelow = (i / 3) % 5 == 4 && !c.legendHorizontal && i % 2 == 1;
    c.legendOutside = (i / 3) % 5 == 4 && !c.legendHorizontal && !c.legendBelow;
    const double fontScales[] = {1, 0.8, 1.3};
    c.legendFontScale = fontScales[(i / 6) % 3];
    const int sampleLengths[] = {4, 2, 6};
    c.sampleLength = sampleLengths[(i / 5) % 3];
    c.grid = i % 3 == 1;
    c.frame = i % 5 != 2;
    c.logX = i % 7 == 4;
    c.logY = i % 6 == 5;
    c.jpeg = i % 4 == 2;
    c.terminal = i % 8 == 6 ? "png" : "pngcairo";
    const char* fonts[] = {"sans", "serif", "DejaVu Sans Mono"};
    c.font = fonts[i % 3];
    c.xMin = c.logX ? 1 : 0, c.xMax = c.logX ? 1000 : 10;
    c.yMin = c.logY ? 0.01 : -50, c.yMax = c.logY ? 100 : 150;
    const QRgb* colours = kColourSets[(i / 3) % 3];
    const int markerMode = i % 10; // 0..5 curves only, 6..7 markers only, 8..9 both
    for (int s = 0; s < count; ++s) {
        SeriesCase sc;
        sc.shape = (s + i) % 6;
        sc.markers = markerMode >= 8 ? s % 2 == 1 : markerMode >= 6;
        sc.dash = (s + i / 2) % 3 == 0 && count > 1 ? 1 + (i + s) % 3 : 1;
        sc.width = 1 + (i + 2 * s) % 3;
        sc.colour = colours[s];
        sc.markerType = kMarkerTypes[(i + s) % 6];
        c.series.push_back(sc);
    }
    // Black and white, as journals print: every series black, told apart by its dashes or
    // marker, under gnuplot's own grey dotted grid.
    if (i >= kColourCharts + kBlackAndWhiteCharts) {
        // Lines and points: every marker series joined by a line through its markers.
        c.joined = true;
        for (std::size_t s = 0; s < c.series.size(); ++s)
            c.series[s].markers = s % 3 != 2;
    } else if (i >= kColourCharts) {
        c.blackAndWhite = true;
        c.series.resize(std::size_t(std::min(count, 3)));
        for (std::size_t s = 0; s < c.series.size(); ++s) {
            SeriesCase& sc = c.series[s];
            sc.colour = 0;
            sc.markers = i % 3 == 2 && s == 2;
            sc.dash = int(s) + 1;
            sc.width = 1 + int(s + std::size_t(i)) % 2;
        }
    }
    c.name = QString("%1 %2x%3 %4 series%5%6%7%8%9%10%11")
                 .arg(i, 2)
                 .arg(c.width)
                 .arg(c.height)
                 .arg(c.series.size())
                 .arg(c.legend ? " legend" : "", c.grid ? " grid" : "", c.frame ? "" : " open",
                      c.logX || c.logY ? " log" : "", c.jpeg ? " jpeg" : "",
                      c.terminal == "png" ? " libgd" : "")
                 .arg(c.blackAndWhite ? " black"
                      : c.joined      ? " joined"
                                      : "");
    return c;
}

constexpr int kMarkersPerSeries = 12;

/// Marker k's place as shares of the X and Y ranges, on a pixel centre of c.pixelGrid.
QPointF markerShares(const WholeCase& c, const SeriesCase& sc, int k) {
    double tx = (k + 0.5) / kMarkersPerSeries, ty = kShapes[sc.shape].f(tx);
    if (const auto& b = c.pixelGrid) {
        tx = (std::round(b->left + tx * (b->right - b->left)) - b->left) / (b->right - b->left);
        ty = (b->bottom - std::round(b->bottom - ty * (b->bottom - b->top))) / (b->bottom - b->top);
    }
    return {tx, ty};
}

/// The value at share t of an axis (t of the exponents on a logarithmic one).
double valueAt(double t, double low, double high, bool log) {
    const double v = axisT(low, log) + t * (axisT(high, log) - axisT(low, log));
    return log ? std::pow(10.0, v) : v;
}

QString script(const WholeCase& c, const QString& png) {
    QString text;
    QTextStream out(&text);
    out << "set term " << c.terminal << " size " << c.width << "," << c.height
        << " background rgb 'white' font '" << c.font << "," << std::max(8, c.width / 80) << "'\n"
        << "set output '" << png << "'\n"
        << "set lmargin at screen 0.12\nset rmargin at screen " << (c.legendOutside ? 0.75 : 0.95)
        << "\n"
        << "set bmargin at screen " << (c.legendBelow ? 0.22 : 0.1)
        << "\nset tmargin at screen 0.95\n"
        << "set xrange [" << c.xMin << ":" << c.xMax << "]\nset yrange [" << c.yMin << ":" << c.yMax
        << "]\n"
        << (c.logX ? "set logscale x\n" : "") << (c.logY ? "set logscale y\n" : "")
        << (c.grid ? (c.blackAndWhite ? "set grid\n" : "set grid lc rgb '#c8c8c8'\n") : "")
        << (c.frame ? "set tics out\n" : "set border 3\nset tics out nomirror\n");
    if (!c.legend)
        out << "unset key\n";
    else
        out << "set key "
            << (c.legendBelow     ? "below"
                : c.legendOutside ? "outside right top"
                                  : (c.legendLeft ? "top left" : "top right"))
            << (c.legendStyle == 1 ? "" : " reverse Left")
            << (c.legendStyle == 2 ? " box opaque" : "")
            << (c.legendHorizontal ? " horizontal" : "") << " samplen " << c.sampleLength
            << " font '" << c.font << ","
            << std::max(7, int(std::lround(c.legendFontScale * std::max(8, c.width / 80))))
            << "'\n";
    out << "t(x) = "
        << (c.logX ? QString("(log10(x)-%1)/%2")
                         .arg(std::log10(c.xMin))
                         .arg(std::log10(c.xMax / c.xMin))
                   : QString("(x-%1)/%2").arg(c.xMin).arg(c.xMax - c.xMin))
        << "\nY(f) = "
        << (c.logY
                ? QString("10**(%1+f*%2)").arg(std::log10(c.yMin)).arg(std::log10(c.yMax / c.yMin))
                : QString("%1+f*%2").arg(c.yMin).arg(c.yMax - c.yMin))
        << "\nset samples " << 4 * c.width << "\nplot ";
    for (std::size_t s = 0; s < c.series.size(); ++s) {
        const SeriesCase& sc = c.series[s];
        const QString colour = QString("#%1").arg(sc.colour, 6, 16, QChar('0'));
        out << (s ? ", " : "");
        if (sc.markers)
            out << "'-' with " << (c.joined ? "linespoints" : "points") << " pt " << sc.markerType
                << " ps " << 1 + 0.4 * sc.width;
        else
            out << "Y(" << kShapes[sc.shape].gnuplot << ") with lines lw " << sc.width << " dt "
                << sc.dash;
        out << " lc rgb '" << colour << "' title '" << nameOf(c, s) << "'";
    }
    out << "\n";
    for (const SeriesCase& sc : c.series)
        if (sc.markers) {
            for (int k = 0; k < kMarkersPerSeries; ++k) {
                const QPointF t = markerShares(c, sc, k);
                out << qSetRealNumberPrecision(12) << valueAt(t.x(), c.xMin, c.xMax, c.logX) << ' '
                    << valueAt(t.y(), c.yMin, c.yMax, c.logY) << "\n";
            }
            out << "e\n";
        }
    out << "print GPVAL_TERM_XMIN, GPVAL_TERM_XMAX, GPVAL_TERM_YMIN, GPVAL_TERM_YMAX\n";
    return text;
}

QImage render(const WholeCase& c, const QString& folder, PlotBox& box) {
    const QString png = folder + "/whole.png", path = folder + "/whole.gp";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script(c, png).toUtf8()) < 0)
        throw std::runtime_error("cannot write the gnuplot script");
    file.close();
    QProcess gnuplot;
    gnuplot.start("gnuplot", {path});
    if (!gnuplot.waitForFinished(120000) || gnuplot.exitCode() != 0)
        throw std::runtime_error("gnuplot failed: " + gnuplot.readAllStandardError().toStdString());
    // The plot box is the last line gnuplot prints; warnings may come before it.
    const QStringList printed =
        QString(gnuplot.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    const QStringList border =
        printed.isEmpty() ? QStringList() : printed.back().simplified().split(' ');
    QImage image(png);
    if (image.isNull() || border.size() < 4)
        throw std::runtime_error("gnuplot wrote no picture");
    box = {border[0].toDouble(), border[1].toDouble(), c.height - 1 - border[3].toDouble(),
           c.height - 1 - border[2].toDouble()};
    image = image.convertToFormat(QImage::Format_RGB32);
    if (c.jpeg) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 75);
        image = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
    }
    if (qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"))
        image.save(folder + "/../" + QString(c.name).simplified().replace(' ', '_') + ".png");
    return image;
}

std::vector<ScoredSeries> truthOf(const WholeCase& c) {
    std::vector<ScoredSeries> truth;
    for (std::size_t s = 0; s < c.series.size(); ++s) {
        const SeriesCase& sc = c.series[s];
        ScoredSeries t{sc.markers, {}, c.legend ? nameOf(c, s) : ""};
        const double xLow = axisT(c.xMin, c.logX), xSpan = axisT(c.xMax, c.logX) - xLow;
        const double yLow = axisT(c.yMin, c.logY), ySpan = axisT(c.yMax, c.logY) - yLow;
        const int n = sc.markers ? kMarkersPerSeries : 200;
        for (int k = 0; k < n; ++k) {
            const double share = (k + 0.5) / n;
            const QPointF m =
                sc.markers ? markerShares(c, sc, k) : QPointF(share, kShapes[sc.shape].f(share));
            t.points.emplace_back(xLow + m.x() * xSpan, yLow + m.y() * ySpan);
        }
        truth.push_back(t);
    }
    return truth;
}

/// The found series in axis units through the known plot box.
std::vector<ScoredSeries> foundOf(const WholeCase& c, const ChartReading& reading,
                                  const PlotBox& b) {
    const double xLow = axisT(c.xMin, c.logX), xSpan = axisT(c.xMax, c.logX) - xLow;
    const double yLow = axisT(c.yMin, c.logY), ySpan = axisT(c.yMax, c.logY) - yLow;
    std::vector<ScoredSeries> found;
    for (const SeriesReading& s : reading.series) {
        ScoredSeries f{s.kind != SeriesKind::Curve, {}, s.name};
        for (const QPointF& p : s.points)
            f.points.emplace_back(xLow + (p.x() - b.left) / (b.right - b.left) * xSpan,
                                  yLow + (b.bottom - p.y()) / (b.bottom - b.top) * ySpan);
        std::sort(f.points.begin(), f.points.end(),
                  [](QPointF a, QPointF q) { return a.x() < q.x(); });
        found.push_back(f);
    }
    return found;
}

/// What a chart's reading found, for looking into a loss (KURVANA_KEEP_CHARTS): the plot area,
/// each true series' score, each marker's offset from its true place (or where it was missed),
/// each curve's mean and largest misses (KURVANA_SIGNED: its signed miss at every tenth true
/// point), and each series found with some of its points.
void printDetails(const WholeCase& c, const ChartReading& reading, const PlotBox& box,
                  const ChartScore& score) {
    if (const QString range = qEnvironmentVariable("KURVANA_COLUMNS"); !range.isEmpty()) {
        const int from = range.section(',', 0, 0).toInt(), to = range.section(',', 1, 1).toInt(),
                  step = range.section(',', 2, 2).toInt();
        for (int x = from; x <= to; x += std::max(1, step)) {
            std::printf("    x %d true", x);
            const double share = (x - box.left) / (box.right - box.left);
            for (const SeriesCase& sc : c.series)
                if (!sc.markers)
                    std::printf(" %.1f",
                                box.bottom - kShapes[sc.shape].f(share) * (box.bottom - box.top));
            std::printf(" found");
            for (const SeriesReading& s : reading.series)
                for (const QPointF& p : s.points)
                    if (int(std::lround(p.x())) == x)
                        std::printf(" %.1f", p.y());
            std::printf("\n");
        }
    }
    std::printf("    area %d,%d %dx%d; box %.1f %.1f %.1f %.1f; true series %s\n",
                reading.plotArea.x(), reading.plotArea.y(), reading.plotArea.width(),
                reading.plotArea.height(), box.left, box.right, box.top, box.bottom,
                qPrintable([&] {
                    QString t;
                    for (std::size_t k = 0; k < c.series.size(); ++k)
                        t += QString(" %1%2:%3")
                                 .arg(c.series[k].markers ? "m" : "c")
                                 .arg(c.series[k].dash)
                                 .arg(score.seriesScores[k], 0, 'f', 3);
                    return t;
                }()));
    for (const SeriesCase& sc : c.series)
        if (!sc.markers) {
            const double unit = 0.01 * (box.bottom - box.top);
            double bestMean = 1e9;
            QString bestText;
            for (const SeriesReading& s : reading.series) {
                if (s.kind != SeriesKind::Curve || s.points.size() < 2)
                    continue;
                std::vector<QPointF> f = s.points;
                std::sort(f.begin(), f.end(), [](QPointF a, QPointF q) { return a.x() < q.x(); });
                double sum = 0;
                QString text;
                int bad = 0;
                for (int k = 0; k < 200; ++k) {
                    const double share = (k + 0.5) / 200;
                    const double x = box.left + share * (box.right - box.left);
                    const double y =
                        box.bottom - kShapes[sc.shape].f(share) * (box.bottom - box.top);
                    const auto after = std::lower_bound(
                        f.begin(), f.end(), x, [](QPointF p, double v) { return p.x() < v; });
                    double e = 1e3;
                    if (after != f.end() && after != f.begin()) {
                        const QPointF b = *after, a = *(after - 1);
                        e = a.y() + (x - a.x()) / (b.x() - a.x()) * (b.y() - a.y()) - y;
                    }
                    sum += std::min(std::abs(e), unit);
                    if (qEnvironmentVariableIsSet("KURVANA_SIGNED") && k % 10 == 0)
                        text += QString(" %1").arg(e, 0, 'f', 1);
                    if (std::abs(e) > 0.3 * unit && bad++ < 6)
                        text += QString(" x%1:%2").arg(x, 0, 'f', 0).arg(e, 0, 'f', 1);
                }
                if (sum / 200 < bestMean)
                    bestMean = sum / 200, bestText = QString("mean %1 px (unit %2) bad %3:%4")
                                                         .arg(bestMean, 0, 'f', 2)
                                                         .arg(unit, 0, 'f', 1)
                                                         .arg(bad)
                                                         .arg(text);
            }
            std::printf("    curve dt %d lw %d: %s\n", sc.dash, sc.width, qPrintable(bestText));
        }
    for (const SeriesCase& sc : c.series)
        if (sc.markers) {
            std::printf("    pt %d:", sc.markerType);
            for (int k = 0; k < kMarkersPerSeries; ++k) {
                const QPointF t = markerShares(c, sc, k);
                const QPointF at(box.left + t.x() * (box.right - box.left),
                                 box.bottom - t.y() * (box.bottom - box.top));
                double nearest = 1e9;
                QPointF off;
                for (const SeriesReading& s : reading.series)
                    for (const QPointF& q : s.points)
                        if (std::hypot(q.x() - at.x(), q.y() - at.y()) < nearest)
                            nearest = std::hypot(q.x() - at.x(), q.y() - at.y()), off = q - at;
                if (nearest > 2)
                    std::printf(" [missed at %.0f,%.0f]", at.x(), at.y());
                else
                    std::printf(" %.1f,%.1f", off.x(), off.y());
            }
            std::printf("\n");
        }
    for (const SeriesReading& s : reading.series)
        std::printf("    kind %d #%06x %zu points followed %.2f '%s'\n", int(s.kind),
                    s.colour & 0xFFFFFF, s.points.size(), s.followed, qPrintable(s.name)),
            std::printf("      at %s\n", qPrintable([&] {
                            QString t;
                            for (std::size_t k = 0; k < s.points.size();
                                 k += s.points.size() / 8 + 1)
                                t += QString(" %1,%2")
                                         .arg(s.points[k].x(), 0, 'f', 1)
                                         .arg(s.points[k].y(), 0, 'f', 1);
                            return t;
                        }()));
}

} // namespace

bool RunWholeCharts(bool quick, const QString& folder, const QString& only) {
    static TesseractReader reader;
    std::printf("\nWhole chart: score (1 - mean error in 1 %% of the Y range), series true/found, "
                "names right, seconds.\n%-52s %6s %5s %6s %6s\n",
                "chart", "score", "count", "names", "s");
    const int charts = quick ? 2 : kColourCharts + kBlackAndWhiteCharts + kJoinedCharts;
    int counted = 0, countRight = 0, namesRight = 0, namesTotal = 0;
    int legends = 0, legendsRight = 0; // charts with a legend, and those with every name right
    double sum = 0, worst = 2;
    double blackSum = 0, joinedSum = 0; // of the black-and-white and the joined charts
    int blackCounted = 0, joinedCounted = 0;
    QString worstName;
    for (int i = 0; i < charts; ++i) {
        WholeCase c = caseNumber(i);
        if (!c.name.contains(only))
            continue;
        PlotBox box;
        QImage picture = render(c, folder, box);
        if (std::any_of(c.series.begin(), c.series.end(), [](auto& s) { return s.markers; })) {
            c.pixelGrid = box;
            picture = render(c, folder, box);
        }
        const auto start = std::chrono::steady_clock::now();
        const ChartReading reading = ReadWholeChart(picture, reader);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double xSpan = axisT(c.xMax, c.logX) - axisT(c.xMin, c.logX);
        const double ySpan = axisT(c.yMax, c.logY) - axisT(c.yMin, c.logY);
        const ChartScore score = ScoreChart(truthOf(c), foundOf(c, reading, box), xSpan, ySpan);
        if (c.joined) { // reported on its own line, not judged against the targets
            ++joinedCounted, joinedSum += score.score;
            std::printf("%-52s %6.3f %2zu/%-2zu %2d/%-2d %6.2f\n", qPrintable(c.name), score.score,
                        c.series.size(), reading.series.size(), score.namesRight, score.namesTotal,
                        seconds);
            if (qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"))
                printDetails(c, reading, box, score);
            continue;
        }
        ++counted;
        sum += score.score;
        if (c.blackAndWhite)
            ++blackCounted, blackSum += score.score;
        if (score.score < worst)
            worst = score.score, worstName = c.name;
        const bool rightCount = reading.series.size() == c.series.size();
        countRight += rightCount;
        namesRight += score.namesRight;
        namesTotal += score.namesTotal;
        if (score.namesTotal > 0) {
            ++legends;
            legendsRight += score.namesRight == score.namesTotal;
        }
        std::printf("%-52s %6.3f %2zu/%-2zu %2d/%-2d %6.2f\n", qPrintable(c.name), score.score,
                    c.series.size(), reading.series.size(), score.namesRight, score.namesTotal,
                    seconds);
        if (qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS"))
            printDetails(c, reading, box, score);
        std::fflush(stdout);
    }
    if (counted == 0)
        return true;
    const double mean = sum / counted;
    const double countShare = 100.0 * countRight / counted;
    const double nameShare = namesTotal ? 100.0 * namesRight / namesTotal : 100;
    const bool met = mean >= 0.99 && worst >= 0.9 && countShare >= 95 && nameShare >= 90;
    std::printf("Whole chart: %d charts, mean score %.3f, worst %.3f (%s), series count right "
                "%.0f %%, names right %.0f %% (all of a chart's on %.0f %% of the charts with a "
                "legend)%s\n",
                counted, mean, worst, qPrintable(worstName), countShare, nameShare,
                legends ? 100.0 * legendsRight / legends : 100, met ? "  ok" : "  MISSED");
    if (blackCounted > 0 && blackCounted < counted)
        std::printf("Whole chart: mean score %.3f on the %d charts in colour, %.3f on the %d in "
                    "black and white\n",
                    (sum - blackSum) / (counted - blackCounted), counted - blackCounted,
                    blackSum / blackCounted, blackCounted);
    if (joinedCounted > 0)
        std::printf("Whole chart, lines and points (markers joined by lines; not judged against "
                    "the targets): mean score %.3f on %d charts\n",
                    joinedSum / joinedCounted, joinedCounted);
    // The smoke run's two charts show that the run works; the targets are the full set's.
    return met || quick;
}

} // namespace kurvana::accuracy
