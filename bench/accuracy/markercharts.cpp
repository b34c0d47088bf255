#include "bench/accuracy/markercharts.h"

#include <QRandomGenerator>
#include <QTextStream>

namespace kurvana::accuracy {

namespace {

/// Roughly how many pixels wide pngcairo draws a marker of point size 1.
constexpr double kPixelsPerPointSize = 7;

QString colourText(QRgb c) {
    return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0'));
}

ChartLayout frame(int width, int height, bool log, bool jpeg) {
    ChartLayout layout;
    layout.width = width;
    layout.height = height;
    layout.logX = layout.logY = log;
    layout.xMin = layout.yMin = log ? 1 : 0;
    layout.xMax = layout.yMax = log ? 1000 : 10;
    layout.jpeg = jpeg;
    return layout;
}

/// Places the series' markers in cells of a grid over the frame, each series in its own
/// cells, each marker at a whole pixel anywhere in the middle of its cell (so gnuplot's own
/// rounding to whole pixels moves nothing). `pairs` puts a second marker of the same series
/// beside each, overlapping it by up to half its width.
void place(MarkerChart& chart, int perSeries, bool pairs, bool bars, quint32 seed) {
    QRandomGenerator random(seed);
    const ChartLayout& l = chart.layout;
    double largest = 0;
    for (const MarkerSeries& s : chart.series)
        largest = std::max(largest, s.pointSize * kPixelsPerPointSize);
    const int cell = int(std::max(3.5 * largest, bars ? 70.0 : 20.0));
    const int columns = (l.right() - l.left() - 2 * cell) / cell;
    const int rows = (l.bottom() - l.top() - 2 * cell) / cell;
    int next = 0;
    for (MarkerSeries& s : chart.series)
        for (int i = 0; i < perSeries && next < columns * rows; ++i, ++next) {
            // Cells in a scrambled order so that series mix over the frame.
            const int index = int((std::int64_t(next) * 7919) % (columns * rows));
            const int cx = l.left() + cell + (index % columns) * cell + cell / 2;
            const int cy = l.top() + cell + (index / columns) * cell + cell / 2;
            const int jitter = std::max(1, cell / 6);
            const QPoint c(cx + random.bounded(-jitter, jitter + 1),
                           cy + random.bounded(-jitter, jitter + 1));
            s.centres.push_back(c);
            if (bars) {
                const int up = random.bounded(int(s.pointSize * kPixelsPerPointSize) + 4, cell / 2);
                const int down =
                    random.bounded(int(s.pointSize * kPixelsPerPointSize) + 4, cell / 2);
                s.bars.emplace_back(c.y() - up, c.y() + down);
            }
            if (pairs) {
                const double size = s.pointSize * kPixelsPerPointSize;
                const double apart = size * (0.5 + 0.5 * random.generateDouble());
                const double angle = random.generateDouble() * 6.283;
                s.centres.push_back(c + QPoint(int(std::lround(apart * std::cos(angle))),
                                               int(std::lround(apart * std::sin(angle)))));
            }
        }
}

QString dataBlock(const MarkerChart& chart, const MarkerSeries& s, int index) {
    QString text;
    QTextStream out(&text);
    out << "$S" << index << " << EOD\n";
    for (std::size_t i = 0; i < s.centres.size(); ++i) {
        const auto [x, y] = chart.layout.valuesAt(s.centres[i]);
        out << QString::number(x, 'g', 12) << ' ' << QString::number(y, 'g', 12);
        if (!s.bars.empty()) {
            const double top =
                chart.layout.valuesAt(QPointF(s.centres[i].x(), s.bars[i].first)).second;
            const double bottom =
                chart.layout.valuesAt(QPointF(s.centres[i].x(), s.bars[i].second)).second;
            out << ' ' << QString::number(bottom, 'g', 12) << ' ' << QString::number(top, 'g', 12);
        }
        out << '\n';
    }
    out << "EOD\n";
    return text;
}

QString script(const MarkerChart& chart, const QString& folder) {
    QString text = GnuplotFrame(chart.layout, folder + "/chart.png");
    QTextStream out(&text);
    if (chart.gridInColour)
        out << "set grid xtics ytics lc rgb '" << colourText(chart.series[0].colour)
            << "' lw 1 dt 1\n";
    if (chart.capSize >= 0)
        out << "set bars " << chart.capSize << "\n";
    for (std::size_t i = 0; i < chart.series.size(); ++i)
        out << dataBlock(chart, chart.series[i], int(i));
    out << "plot ";
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        const MarkerSeries& s = chart.series[i];
        const char* style = !s.bars.empty() ? "yerrorbars" : s.joined ? "linespoints" : "points";
        out << (i ? ", " : "") << "$S" << i << " with " << style << " pt " << s.pointType << " ps "
            << s.pointSize << " lw " << s.lineWidth << " lc rgb '" << colourText(s.colour) << "'";
    }
    out << "\n";
    return text;
}

MarkerSeries seriesOf(int pointType, double pointSize, QRgb colour, double lineWidth = 1,
                      bool joined = false) {
    MarkerSeries s;
    s.pointType = pointType;
    s.pointSize = pointSize;
    s.colour = colour;
    s.lineWidth = lineWidth;
    s.joined = joined;
    return s;
}

MarkerChart chartOf(QString name, ChartLayout layout, std::vector<MarkerSeries> series) {
    return {std::move(name), layout, std::move(series)};
}

} // namespace

std::vector<MarkerChart> MarkerCharts(bool quick) {
    std::vector<MarkerChart> charts;
    const QRgb red = qRgb(220, 20, 20), blue = qRgb(20, 40, 210), green = qRgb(0, 140, 0),
               black = qRgb(0, 0, 0);
    // Every point type, filled and open, at about 4, 5 and 20 pixels.
    const int types[] = {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int type : types)
        for (double ps : {0.6, 0.75, 2.8}) {
            if (quick && (type > 5 || ps > 1))
                continue;
            MarkerChart c = chartOf(QString("pt %1 ps %2").arg(type).arg(ps),
                                    frame(1000, 800, false, false), {{type, ps, blue}});
            place(c, 60, false, false, quint32(type * 10 + ps * 10));
            charts.push_back(c);
        }
    if (quick)
        return charts;
    MarkerChart four = chartOf("4 series, 2 of one colour", frame(1400, 1000, false, false),
                               {{7, 1.5, red}, {9, 1.5, red}, {4, 1.5, blue}, {12, 1.5, green}});
    place(four, 50, false, false, 4);
    charts.push_back(four);
    MarkerChart overlaps =
        chartOf("overlapping pairs", frame(1200, 900, false, false), {{7, 2, blue}});
    place(overlaps, 40, true, false, 5);
    charts.push_back(overlaps);
    MarkerChart joined = chartOf("joining lines", frame(1200, 900, false, false),
                                 {{6, 1.5, red, true}, {9, 1.5, blue, true}});
    place(joined, 40, false, false, 6);
    charts.push_back(joined);
    MarkerChart grid = chartOf("grid lines of the colour", frame(1200, 900, false, false),
                               {{7, 1.5, black}, {6, 1.5, black}});
    grid.gridInColour = true;
    place(grid, 40, false, false, 7);
    charts.push_back(grid);
    MarkerChart caps = chartOf("error bars, caps", frame(1400, 1000, false, false),
                               {{7, 1.5, blue}, {8, 1.5, red}});
    caps.capSize = 2;
    place(caps, 30, false, true, 8);
    charts.push_back(caps);
    MarkerChart bare = caps;
    bare.name = "error bars, no caps";
    bare.capSize = 0;
    charts.push_back(bare);
    MarkerChart log =
        chartOf("log axes", frame(1200, 900, true, false), {{5, 1.5, green}, {13, 1.5, blue}});
    place(log, 50, false, false, 9);
    charts.push_back(log);
    // Beyond the sizes and widths above: markers of 8 and 28 pixels, outlines and strokes two
    // pixels wide (joined by lines as wide), and overlapping pairs of open markers.
    MarkerChart sizes = chartOf("sizes 8 and 28 px", frame(2000, 1400, false, false),
                                {seriesOf(6, 1.15, red), seriesOf(9, 4, blue),
                                 seriesOf(13, 1.15, green), seriesOf(4, 4, black)});
    place(sizes, 30, false, false, 10);
    charts.push_back(sizes);
    MarkerChart wide = chartOf("line width 2", frame(1400, 1000, false, false),
                               {seriesOf(6, 2, red, 2, true), seriesOf(8, 2, blue, 2),
                                seriesOf(12, 2, green, 2), seriesOf(2, 2, black, 2)});
    place(wide, 30, false, false, 11);
    charts.push_back(wide);
    MarkerChart openPairs = chartOf("overlapping pairs, open", frame(1400, 1000, false, false),
                                    {seriesOf(6, 2, blue), seriesOf(8, 2, red)});
    place(openPairs, 30, true, false, 12);
    charts.push_back(openPairs);
    MarkerChart jpeg = four;
    jpeg.name = "JPEG q75, 4 series";
    jpeg.layout.jpeg = true;
    charts.push_back(jpeg);
    MarkerChart jpegBars = caps;
    jpegBars.name = "JPEG q75, error bars";
    jpegBars.layout.jpeg = true;
    charts.push_back(jpegBars);
    return charts;
}

QImage RenderMarkerChart(const MarkerChart& chart, const QString& folder) {
    return RenderScript(chart.layout, script(chart, folder), folder);
}

} // namespace kurvana::accuracy
