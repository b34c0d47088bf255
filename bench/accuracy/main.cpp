// The accuracy run: charts drawn by gnuplot with known functions, digitised by the program's
// own commands, every point measured against the true curve. Exits 1 when a target is missed.

#include <cstdio>

#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include "bench/accuracy/bars.h"
#include "bench/accuracy/charts.h"
#include "bench/accuracy/measure.h"
#include "bench/accuracy/polar.h"
#include "bench/accuracy/wholebars.h"
#include "bench/accuracy/wholechart.h"
#include "tracing/colourline.h"

using namespace kurvana;
using namespace kurvana::accuracy;

namespace {

QString cell(const Figures& f) {
    if (f.points == 0)
        return QString("%1").arg("no points", 27);
    return QString("%1 %2% %3% %4 %5 %6% %7%")
        .arg(f.points, 4)
        .arg(f.shareWithin1(), 5, 'f', 1)
        .arg(f.shareWithin15(), 5, 'f', 1)
        .arg(f.mean(), 4, 'f', 2)
        .arg(f.max, 5, 'f', 2)
        .arg(f.shareWithinRange(), 5, 'f', 1)
        .arg(f.rangeLimit > 0 ? 100 * f.max / (f.rangeLimit / 0.003) : 0, 5, 'f', 3);
}

/// The targets: on level charts that are not JPEG at least 99 % within 1 pixel and a mean
/// below 0.5; on the tilted and the JPEG chart at least 95 % within 1.5 pixels; on the
/// photographed charts (calibrated on the four frame corners) at least 99 % of the points with
/// values within 0.3 % of the axis ranges of the truth.
bool meetsTarget(const ChartLayout& chart, const Figures& f) {
    if (f.points == 0)
        return false;
    if (chart.photographed())
        return f.shareWithinRange() >= 99;
    if (chart.tiltDegrees != 0 || chart.jpeg)
        return f.shareWithin15() >= 95;
    return f.shareWithin1() >= 99 && f.mean() < 0.5;
}

/// The polar charts: clicks with autocorrection and the colour line search (which must give the
/// points in order of the path round the whole turn), each point's angle and radius against the
/// nearest point of the true curve. Target: at least 98 % within 0.3 % of the radius range and
/// 0.3 degree (a whole pixel spans 0.3 degree 134 pixels from the centre: closer in, a point on
/// the stroke's centre can miss the angle by a pixel's width). False when a chart could not be
/// drawn.
bool measurePolarCharts(const QString& only, const QString& folder, bool& allMet) {
    for (const PolarChart& chart : PolarCharts()) {
        if (!chart.name.contains(only))
            continue;
        QImage picture;
        try {
            picture = RenderPolarChart(chart, folder);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(chart.name), error.what());
            return false;
        }
        const std::vector<PolarCurveFigures> figures = MeasurePolarChart(chart, picture);
        std::printf("\n%s\n%-18s %-8s %5s %14s %11s %8s\n", qPrintable(chart.name), "curve",
                    "method", "n", "<=0.3%,0.3deg", "max radius", "max deg");
        for (std::size_t i = 0; i < figures.size(); ++i)
            for (const auto& [method, f] :
                 {std::pair{"snap", figures[i].snapped}, {"search", figures[i].searched}}) {
                const double share = f.points ? 100.0 * f.within / f.points : 0;
                // The search must also follow the curve round in order, the whole turn.
                const bool ordered = f.inPathOrder && f.widestGapDegrees < 5;
                const bool met = f.points > 0 && share >= 98 && ordered;
                allMet = allMet && met;
                std::printf("%-18s %-8s %5d %13.1f%% %10.3f%% %8.3f%s%s\n",
                            qPrintable(chart.curves[i].name), method, f.points, share,
                            f.maxRadiusShare, f.maxDegrees, ordered ? "" : "  (out of order)",
                            met ? "  ok" : "  MISSED");
            }
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(1024); // megabytes: the 35-megapixel chart
    const QStringList args = app.arguments();
    const bool quick = args.contains("--quick");
    int tolerance = kDefaultTolerance;
    if (const int i = int(args.indexOf("--tolerance")); i >= 0 && i + 1 < args.size())
        tolerance = args[i + 1].toInt();
    QString only; // --chart TEXT: just the charts whose name contains TEXT
    if (const int i = int(args.indexOf("--chart")); i >= 0 && i + 1 < args.size())
        only = args[i + 1];
    QTemporaryDir folder;
    std::printf("Points within 1 and 1.5 pixels of the true curve, mean and largest distance "
                "(pixels); points within 0.3 %% of the shorter axis range and the largest "
                "distance in %% of it.\nTolerance %d. [dark] and [exact]: the older rules, for "
                "comparison.\n",
                tolerance);
    bool allMet = true;
    for (const ChartLayout& chart : AccuracyCharts(quick)) {
        if (!chart.name.contains(only))
            continue;
        QImage picture;
        try {
            picture = RenderChart(chart, folder.path());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(chart.name), error.what());
            return 2;
        }
        const std::vector<CurveFigures> figures = MeasureChart(chart, picture, tolerance);
        std::printf("\n%s\n%-18s %-8s %5s %6s %6s %4s %5s %6s %6s\n", qPrintable(chart.name),
                    "curve", "method", "n", "<=1", "<=1.5", "mean", "max", "<=.3%", "max%");
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const CurveFigures& f = figures[i];
            const auto row = [&](const char* method, const Figures& g, bool target) {
                const bool met = !target || meetsTarget(chart, g);
                allMet = allMet && met;
                std::printf("%-18s %-8s %s%s\n", qPrintable(chart.curves[i].name), method,
                            qPrintable(cell(g)), target ? (met ? "  ok" : "  MISSED") : "");
            };
            row("snap", f.snapped, true);
            row("[dark]", f.snappedDarkOnly, false);
            row("search", f.tolerantSearch, true);
            row("[exact]", f.exactSearch, false);
        }
        std::fflush(stdout);
    }
    if (!measurePolarCharts(only, folder.path(), allMet))
        return 2;
    try {
        allMet = RunBarCharts(quick, folder.path(), only) && allMet;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bar charts: %s\n", error.what());
        return 2;
    }
    try {
        allMet = RunWholeCharts(quick, folder.path(), only) && allMet;
        allMet = RunWholeBarCharts(quick, folder.path(), only) && allMet;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "whole charts: %s\n", error.what());
        return 2;
    }
    std::printf("\n%s\n", allMet ? "Every target met." : "A target was missed.");
    return allMet ? 0 : 1;
}
