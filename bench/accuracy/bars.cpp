#include "bench/accuracy/bars.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include <QTextStream>

#include "bench/accuracy/charts.h"
#include "recognition/bars/barfinder.h"

namespace kurvana::accuracy {

namespace {

/// A bar in axis values: x from x0 to x1, y from y0 to y1 (for horizontal bars the value runs
/// along x).
struct ValueBox {
    double x0, x1, y0, y1;
};

struct BarSeries {
    QRgb colour;
    std::vector<ValueBox> boxes;
};

struct BarChartCase {
    ChartLayout layout;
    std::vector<BarSeries> series;
    bool horizontal = false;
    bool border = true;
    bool errorBars = false;
};

/// The error bars of the first series reach this far either side of a bar's end (values).
constexpr double kErrorReach = 0.6;

QString colourText(QRgb c) {
    return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0'));
}

/// gnuplot draws each series as rectangles (boxxyerror), the error bars of the first over them
/// (without a point: its default one is a paper-coloured dot that notches a narrow bar's end).
QString plotScript(const BarChartCase& c, const QString& png) {
    QString text = GnuplotFrame(c.layout, png);
    QTextStream out(&text);
    out << "set style fill solid 1.0 " << (c.border ? "border lc rgb 'black'" : "noborder")
        << "\nset bars 3\nplot ";
    for (std::size_t i = 0; i < c.series.size(); ++i)
        out << (i ? ", " : "") << "'-' using 1:2:3:4:5:6 with boxxyerror fc rgb '"
            << colourText(c.series[i].colour) << "'";
    if (c.errorBars)
        out << ", '-' using 1:2:3:4 with " << (c.horizontal ? "xerrorbars" : "yerrorbars")
            << " lc rgb 'black' lw 1.5 ps 0";
    out << "\n";
    for (const BarSeries& s : c.series) {
        for (const ValueBox& b : s.boxes)
            out << (b.x0 + b.x1) / 2 << ' ' << (b.y0 + b.y1) / 2 << ' ' << b.x0 << ' ' << b.x1
                << ' ' << b.y0 << ' ' << b.y1 << "\n";
        out << "e\n";
    }
    if (c.errorBars) {
        for (const ValueBox& b : c.series.front().boxes)
            if (c.horizontal)
                out << b.x1 << ' ' << (b.y0 + b.y1) / 2 << ' ' << b.x1 - kErrorReach << ' '
                    << b.x1 + kErrorReach << "\n";
            else
                out << (b.x0 + b.x1) / 2 << ' ' << b.y1 << ' ' << b.y1 - kErrorReach << ' '
                    << b.y1 + kErrorReach << "\n";
        out << "e\n";
    }
    return text;
}

BarChartCase vertical(const QString& name, int width, int height, int series, bool stacked) {
    BarChartCase c;
    c.layout = {name, width, height, false, false, 0, 9, 0, 10, {}};
    const QRgb colours[] = {qRgb(70, 110, 190), qRgb(230, 130, 40), qRgb(90, 170, 90)};
    for (int s = 0; s < series; ++s) {
        BarSeries bars{colours[s], {}};
        for (int i = 1; i <= 8; ++i) {
            const double value = 1.5 + std::fmod(2.7 * i + 1.9 * s, 6.0);
            if (stacked) {
                const double below = s == 0 ? 0 : 1.2 + std::fmod(1.3 * i, 2.0);
                bars.boxes.push_back({i - 0.3, i + 0.3, below, below + value * 0.5});
            } else {
                const double w = 0.7 / series;
                const double x0 = i - 0.35 + s * w;
                bars.boxes.push_back({x0, x0 + w * 0.9, 0, value});
            }
        }
        c.series.push_back(bars);
    }
    if (stacked) // the upper series stands on the lower one
        for (std::size_t i = 0; i < c.series[1].boxes.size(); ++i) {
            c.series[1].boxes[i].y0 = c.series[0].boxes[i].y1;
            c.series[1].boxes[i].y1 = c.series[1].boxes[i].y0 + 1 + 0.3 * double(i);
        }
    return c;
}

std::vector<BarChartCase> barCharts(bool quick) {
    std::vector<BarChartCase> charts;
    charts.push_back(vertical("bars 800 x 500, single", 800, 500, 1, false));
    if (quick)
        return charts;
    BarChartCase grouped = vertical("bars 1200 x 800, grouped, no border", 1200, 800, 3, false);
    grouped.border = false;
    charts.push_back(grouped);
    charts.push_back(vertical("bars 1000 x 700, stacked", 1000, 700, 2, true));
    BarChartCase errors = vertical("bars 900 x 600, error bars", 900, 600, 1, false);
    errors.errorBars = true;
    charts.push_back(errors);
    BarChartCase negative = vertical("bars 700 x 500, negative", 700, 500, 1, false);
    negative.layout.yMin = -6;
    negative.layout.yMax = 6;
    for (std::size_t i = 0; i < negative.series[0].boxes.size(); ++i)
        if (i % 2)
            negative.series[0].boxes[i].y1 = -negative.series[0].boxes[i].y1 * 0.8;
    charts.push_back(negative);
    BarChartCase horizontal;
    horizontal.layout = {"bars 900 x 700, horizontal", 900, 700, false, false, 0, 10, 0, 9, {}};
    horizontal.horizontal = true;
    BarSeries rows{qRgb(150, 60, 150), {}};
    for (int i = 1; i <= 8; ++i)
        rows.boxes.push_back({0, 1.2 + std::fmod(3.1 * i, 8.0), i - 0.3, i + 0.3});
    horizontal.series.push_back(rows);
    charts.push_back(horizontal);
    BarChartCase jpeg = grouped;
    jpeg.layout.name = "bars 1200 x 800, grouped, JPEG quality 75";
    jpeg.layout.jpeg = true;
    charts.push_back(jpeg);
    BarChartCase big = vertical("bars 3000 x 2000, single", 3000, 2000, 1, false);
    charts.push_back(big);
    BarChartCase levelErrors = horizontal;
    levelErrors.layout.name = "bars 900 x 700, horizontal, error bars";
    levelErrors.errorBars = true;
    charts.push_back(levelErrors);
    BarChartCase jpegErrors = vertical("bars 1000 x 600, error bars, JPEG", 1000, 600, 1, false);
    jpegErrors.errorBars = true;
    jpegErrors.layout.jpeg = true;
    charts.push_back(jpegErrors);
    jpegErrors = vertical("bars 1000 x 600, grouped, JPEG", 1000, 600, 2, false);
    jpegErrors.layout.jpeg = true;
    charts.push_back(jpegErrors);
    return charts;
}

struct BarFigures {
    int truth = 0, found = 0, extra = 0, within = 0;
    double sum = 0, max = 0;
    /// Error bars: drawn, found with both ends within a pixel, found where none is drawn.
    int errorTruth = 0, errorWithin = 0, errorExtra = 0;
};

/// Counts a found bar's error bar against the drawn one (on the first series only).
void measureErrorBar(const BarChartCase& c, const ValueBox& b, const FoundBar& bar, bool drawn,
                     BarFigures& f) {
    f.errorTruth += drawn;
    if (!bar.error) {
        return;
    }
    if (!drawn) {
        ++f.errorExtra;
        return;
    }
    const ChartLayout& l = c.layout;
    const double low = c.horizontal ? l.untilted(b.x1 - kErrorReach, 0).x()
                                    : l.untilted(0, b.y1 - kErrorReach).y();
    const double high = c.horizontal ? l.untilted(b.x1 + kErrorReach, 0).x()
                                     : l.untilted(0, b.y1 + kErrorReach).y();
    f.errorWithin += std::abs(bar.error->low - low) <= 1 && std::abs(bar.error->high - high) <= 1;
}

/// The true end of a bar in pixel indices, across the value axis.
double trueEnd(const BarChartCase& c, const ValueBox& b) {
    const ChartLayout& l = c.layout;
    if (c.horizontal)
        return l.untilted(b.x1, 0).x();
    return l.untilted(0, b.y1 >= b.y0 && b.y1 >= 0 ? std::max(b.y0, b.y1) : std::min(b.y0, b.y1))
        .y();
}

void measureSeries(const BarChartCase& c, const BarSeries& s, const QImage& picture, bool errorBars,
                   BarFigures& f) {
    const ChartLayout& l = c.layout;
    const ValueBox& first = s.boxes.front();
    const QPointF centre = l.untilted((first.x0 + first.x1) / 2, (first.y0 + first.y1) / 2);
    const std::optional<BarSearch> search =
        FindBars(picture, QPoint(int(std::lround(centre.x())), int(std::lround(centre.y()))));
    f.truth += int(s.boxes.size());
    if (!search)
        return;
    std::vector<bool> taken(search->bars.size(), false);
    for (const ValueBox& b : s.boxes) {
        const QPointF mid = l.untilted((b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2);
        const double across = c.horizontal ? mid.y() : mid.x();
        const double halfWidth =
            std::abs(c.horizontal ? l.untilted(0, b.y1).y() - l.untilted(0, b.y0).y()
                                  : l.untilted(b.x1, 0).x() - l.untilted(b.x0, 0).x()) /
            2;
        for (std::size_t k = 0; k < search->bars.size(); ++k)
            if (!taken[k] && std::abs(search->bars[k].centre - across) <= halfWidth) {
                taken[k] = true;
                ++f.found;
                const double error = std::abs(search->bars[k].end - trueEnd(c, b));
                f.sum += error;
                f.max = std::max(f.max, error);
                f.within += error <= 0.5;
                measureErrorBar(c, b, search->bars[k], errorBars, f);
                break;
            }
    }
    for (const bool t : taken)
        f.extra += !t;
}

} // namespace

bool RunBarCharts(bool quick, const QString& folder, const QString& only) {
    std::printf("\nFind bars: bars found, extra, ends within 0.5 px, mean and largest error (px);"
                " error bars with both ends within 1 px of the drawn ones, error bars where none"
                " is drawn.\n%-44s %5s %5s %5s %7s %5s %5s %7s %3s\n",
                "chart", "bars", "found", "extra", "<=0.5", "mean", "max", "err<=1", "+");
    bool allMet = true;
    for (BarChartCase& c : barCharts(quick)) {
        if (!c.layout.name.contains(only))
            continue;
        const QImage picture = RenderScript(c.layout, plotScript(c, folder + "/chart.png"), folder);
        BarFigures f;
        for (const BarSeries& s : c.series)
            measureSeries(c, s, picture, c.errorBars && &s == &c.series.front(), f);
        const double share = f.found ? 100.0 * f.within / f.found : 0;
        const bool met = f.found == f.truth && f.extra == 0 && share >= 99 &&
                         f.errorWithin == f.errorTruth && f.errorExtra == 0;
        allMet = allMet && met;
        std::printf("%-44s %5d %5d %5d %6.1f%% %5.2f %5.2f %3d/%-3d %3d%s\n",
                    qPrintable(c.layout.name), f.truth, f.found, f.extra, share,
                    f.found ? f.sum / f.found : 0.0, f.max, f.errorWithin, f.errorTruth,
                    f.errorExtra, met ? "  ok" : "  MISSED");
        std::fflush(stdout);
    }
    return allMet;
}

} // namespace kurvana::accuracy
