#include "bench/accuracy/wholebars.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <QTextStream>

#include "bench/accuracy/charts.h"
#include "recognition/chart/wholechart.h"
#include "recognition/ocr/tesseractreader.h"

namespace kurvana::accuracy {

namespace {

/// A bar in axis values: from x0 to x1 and y0 to y1; the value end is y1 (x1 when horizontal).
struct Box {
    double x0, x1, y0, y1;
};

struct Series {
    QRgb colour;
    std::vector<Box> boxes;
};

struct WholeBarCase {
    ChartLayout layout;
    std::vector<Series> series;
    bool horizontal = false;
    QStringList categories; ///< the category axis's labels at 1, 2, ..; none: numbered
};

const QRgb kColours[] = {qRgb(70, 110, 190), qRgb(230, 130, 40), qRgb(90, 170, 90)};
const char* const kFruit[] = {"Apples", "Pears", "Plums", "Figs", "Limes", "Dates", "Kiwis"};

QString colourText(QRgb c) {
    return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0'));
}

QString plotScript(const WholeBarCase& c, const QString& png) {
    QString text = GnuplotFrame(c.layout, png);
    QTextStream out(&text);
    if (!c.categories.isEmpty()) {
        out << (c.horizontal ? "set ytics (" : "set xtics (");
        for (int i = 0; i < c.categories.size(); ++i)
            out << (i ? ", " : "") << '"' << c.categories[i] << "\" " << i + 1;
        out << ")\n";
    }
    out << "set style fill solid 1.0 border lc rgb 'black'\nplot ";
    for (std::size_t i = 0; i < c.series.size(); ++i)
        out << (i ? ", " : "") << "'-' using 1:2:3:4:5:6 with boxxyerror fc rgb '"
            << colourText(c.series[i].colour) << "'";
    out << "\n";
    for (const Series& s : c.series) {
        for (const Box& b : s.boxes)
            out << (b.x0 + b.x1) / 2 << ' ' << (b.y0 + b.y1) / 2 << ' ' << b.x0 << ' ' << b.x1
                << ' ' << b.y0 << ' ' << b.y1 << "\n";
        out << "e\n";
    }
    return text;
}

/// `count` categories of `series` bars side by side (or stacked), values varying.
WholeBarCase barCase(const QString& name, int width, int height, int series, int count,
                     bool stacked, bool named) {
    WholeBarCase c;
    c.layout = {name, width, height, false, false, 0.4, count + 0.6, 0, 10, {}};
    for (int s = 0; s < series; ++s) {
        Series bars{kColours[s], {}};
        for (int i = 1; i <= count; ++i) {
            const double value = 1.5 + std::fmod(2.7 * i + 1.9 * s, 6.0);
            const double w = stacked ? 0.6 : 0.7 / series;
            const double x0 = stacked ? i - 0.3 : i - 0.35 + s * w;
            const double below =
                stacked && s > 0 ? c.series.back().boxes[std::size_t(i - 1)].y1 : 0;
            bars.boxes.push_back(
                {x0, x0 + (stacked ? w : w * 0.9), below, below + (stacked ? value / 2 : value)});
        }
        c.series.push_back(bars);
    }
    if (named)
        for (int i = 0; i < count; ++i)
            c.categories << kFruit[i];
    return c;
}

std::vector<WholeBarCase> cases(bool quick) {
    std::vector<WholeBarCase> all;
    all.push_back(barCase("whole bars 800 x 500, single, categories", 800, 500, 1, 6, false, true));
    if (quick)
        return all;
    all.push_back(barCase("whole bars 900 x 600, single, numbered", 900, 600, 1, 7, false, false));
    all.push_back(
        barCase("whole bars 1000 x 600, grouped, categories", 1000, 600, 2, 5, false, true));
    all.push_back(
        barCase("whole bars 1200 x 800, grouped 3, numbered", 1200, 800, 3, 6, false, false));
    all.push_back(barCase("whole bars 900 x 600, stacked, categories", 900, 600, 2, 5, true, true));
    WholeBarCase jpeg =
        barCase("whole bars 1000 x 700, grouped, categories, JPEG", 1000, 700, 2, 6, false, true);
    jpeg.layout.jpeg = true;
    all.push_back(jpeg);
    WholeBarCase level;
    level.layout = {"whole bars 900 x 700, horizontal, categories",
                    900,
                    700,
                    false,
                    false,
                    0,
                    10,
                    0.4,
                    5.6,
                    {}};
    level.horizontal = true;
    Series rows{kColours[0], {}};
    for (int i = 1; i <= 5; ++i) {
        rows.boxes.push_back({0, 1.2 + std::fmod(3.1 * i, 8.0), i - 0.3, i + 0.3});
        level.categories << kFruit[i - 1];
    }
    level.series.push_back(rows);
    all.push_back(level);
    return all;
}

struct Figures {
    int bars = 0, found = 0, within = 0, labelled = 0, numbered = 0, seriesRight = 0;
    double max = 0;
};

/// The found series of the colour nearest `colour`, kind bars; nothing when none is near.
const SeriesReading* seriesOf(const ChartReading& reading, QRgb colour) {
    const SeriesReading* best = nullptr;
    int bestMiss = 40;
    for (const SeriesReading& s : reading.series) {
        const int miss = std::max({std::abs(qRed(s.colour) - qRed(colour)),
                                   std::abs(qGreen(s.colour) - qGreen(colour)),
                                   std::abs(qBlue(s.colour) - qBlue(colour))});
        if (s.kind == SeriesKind::Bars && miss < bestMiss)
            best = &s, bestMiss = miss;
    }
    return best;
}

/// The category number a found point's place gives on the category axis proposed.
double categoryAt(const ChartReading& reading, const WholeBarCase& c, QPointF point) {
    const AxisReading& axis = c.horizontal ? reading.axes.y : reading.axes.x;
    if (!axis.line || !axis.firstValue || axis.firstAlong == axis.lastAlong)
        return NAN;
    const double along = c.horizontal ? point.y() : point.x();
    return *axis.firstValue + (along - axis.firstAlong) / (axis.lastAlong - axis.firstAlong) *
                                  (*axis.lastValue - *axis.firstValue);
}

void measure(const WholeBarCase& c, const ChartReading& reading, Figures& f) {
    const ChartLayout& l = c.layout;
    for (const Series& s : c.series) {
        f.bars += int(s.boxes.size());
        const SeriesReading* found = seriesOf(reading, s.colour);
        if (!found)
            continue;
        f.seriesRight += found->points.size() == s.boxes.size();
        // Both in the order across the value axis: left to right, or top to bottom.
        std::vector<Box> truth = s.boxes;
        std::sort(truth.begin(), truth.end(), [&](const Box& a, const Box& b) {
            return c.horizontal ? a.y0 > b.y0 : a.x0 < b.x0;
        });
        for (std::size_t i = 0; i < truth.size() && i < found->points.size(); ++i) {
            const Box& b = truth[i];
            const QPointF p = found->points[i];
            const double end = c.horizontal ? l.untilted(b.x1, 0).x() : l.untilted(0, b.y1).y();
            const double error = std::abs((c.horizontal ? p.x() : p.y()) - end);
            ++f.found;
            f.within += error <= 0.5;
            f.max = std::max(f.max, error);
            if (c.categories.isEmpty())
                continue;
            const int category = int(std::lround(
                c.horizontal ? (b.y0 + b.y1) / 2 : std::floor((b.x0 + b.x1) / 2 + 0.5)));
            const QString label = i < found->extras.size() ? found->extras[i].label : QString();
            f.labelled += label == c.categories[category - 1];
            f.numbered += std::abs(categoryAt(reading, c, p) - category) <= 0.02;
        }
    }
}

} // namespace

bool RunWholeBarCharts(bool quick, const QString& folder, const QString& only) {
    static TesseractReader reader;
    std::printf("\nWhole chart, bars: bars, found, ends within 0.5 px, largest error (px), "
                "category names and numbers right, series right, axes complete.\n"
                "%-50s %4s %5s %6s %5s %5s %5s %6s %4s\n",
                "chart", "bars", "found", "<=0.5", "max", "names", "nums", "series", "axes");
    bool allMet = true;
    for (const WholeBarCase& c : cases(quick)) {
        if (!c.layout.name.contains(only))
            continue;
        const QImage picture = RenderScript(c.layout, plotScript(c, folder + "/chart.png"), folder);
        const ChartReading reading = ReadWholeChart(picture, reader);
        Figures f;
        measure(c, reading, f);
        if (qEnvironmentVariableIsSet("KURVANA_KEEP_CHARTS")) {
            picture.save(folder + "/" + c.layout.name + ".png");
            for (const AxisLabel& label : reading.axes.x.labels)
                std::printf("    x label '%s' '%s' at %.1f\n", qPrintable(label.text),
                            qPrintable(label.words), label.along);
            for (const AxisLabel& label : reading.axes.y.labels)
                std::printf("    y label '%s' '%s' at %.1f\n", qPrintable(label.text),
                            qPrintable(label.words), label.along);
            for (const SeriesReading& s : reading.series) {
                std::printf("    kind %d #%06x:", int(s.kind), s.colour & 0xFFFFFF);
                for (std::size_t i = 0; i < s.points.size(); ++i)
                    std::printf(" %.1f,%.1f '%s'", s.points[i].x(), s.points[i].y(),
                                i < s.extras.size() ? qPrintable(s.extras[i].label) : "");
                std::printf("\n");
            }
        }
        const bool named = !c.categories.isEmpty();
        const bool met = f.found == f.bars && f.within * 100 >= f.bars * 99 &&
                         f.seriesRight == int(c.series.size()) &&
                         reading.series.size() == c.series.size() && reading.axes.complete() &&
                         (!named || (f.labelled == f.bars && f.numbered == f.bars));
        allMet = allMet && met;
        std::printf("%-50s %4d %5d %5.1f%% %5.2f %2d/%-2d %2d/%-2d %3d/%-2zu %4s%s\n",
                    qPrintable(c.layout.name), f.bars, f.found,
                    f.found ? 100.0 * f.within / f.found : 0.0, f.max, named ? f.labelled : 0,
                    named ? f.bars : 0, named ? f.numbered : 0, named ? f.bars : 0,
                    int(reading.series.size()), c.series.size(),
                    reading.axes.complete() ? "yes" : "no", met ? "  ok" : "  MISSED");
        std::fflush(stdout);
    }
    return allMet;
}

} // namespace kurvana::accuracy
