#include "gridcheck.h"

#include <array>
#include <cmath>

namespace e2e {

namespace {

/// Cyan laid half-transparently over paper or grid grey: blue and green well above red.
bool gridColoured(QRgb pixel) {
    return qBlue(pixel) - qRed(pixel) > 60 && qGreen(pixel) - qRed(pixel) > 60;
}

/// The chart's own drawing: anything but white paper.
bool chartInk(QRgb pixel) {
    return qRed(pixel) < 250 || qGreen(pixel) < 250 || qBlue(pixel) < 250;
}

/// Centres of the runs of positions `from` .. `to` for which `test` holds.
template <typename Test> std::vector<int> runCentres(int from, int to, Test test) {
    std::vector<int> centres;
    int start = -1;
    for (int i = from; i <= to + 1; ++i) {
        const bool on = i <= to && test(i);
        if (on && start < 0)
            start = i;
        if (!on && start >= 0) {
            centres.push_back((start + i - 1) / 2);
            start = -1;
        }
    }
    return centres;
}

/// Whether the chart has ink at `position` or a pixel beside it, across the sample positions.
template <typename Ink> bool onChartLine(int position, const std::array<int, 3>& across, Ink ink) {
    int hits = 0;
    for (const int a : across)
        for (int d = -1; d <= 1; ++d)
            if (ink(position + d, a)) {
                ++hits;
                break;
            }
    return hits >= 2; // a curve may cover the grid at one of them
}

} // namespace

GridMatch MatchCheckGrid(const QImage& screen, const QImage& chart, const KnownChart& known,
                         QPoint origin) {
    const auto shown = [&](int x, int y) {
        const QPoint p = origin + QPoint(x, y);
        return screen.rect().contains(p) && gridColoured(screen.pixel(p));
    };
    const auto ink = [&](int x, int y) {
        return chart.rect().contains(x, y) && chartInk(chart.pixel(x, y));
    };
    const int left = known.zeroPoint.x(), right = known.xMaxPoint.x();
    const int bottom = known.zeroPoint.y(), top = known.yMaxPoint.y();
    const auto between = [](int a, int b, double f) { return int(std::lround(a + f * (b - a))); };
    const std::array<int, 3> rows{between(bottom, top, 0.2), between(bottom, top, 0.45),
                                  between(bottom, top, 0.7)};
    const std::array<int, 3> columns{between(left, right, 0.2), between(left, right, 0.45),
                                     between(left, right, 0.7)};

    GridMatch match;
    for (const int x : runCentres(left - 5, right + 5, [&](int x) {
             return shown(x, rows[0]) && shown(x, rows[1]) && shown(x, rows[2]);
         })) {
        ++match.vertical;
        if (onChartLine(x, rows, [&](int position, int row) { return ink(position, row); }))
            ++match.verticalOnChart;
    }
    for (const int y : runCentres(top - 5, bottom + 5, [&](int y) {
             return shown(columns[0], y) && shown(columns[1], y) && shown(columns[2], y);
         })) {
        ++match.horizontal;
        if (onChartLine(y, columns,
                        [&](int position, int column) { return ink(column, position); }))
            ++match.horizontalOnChart;
    }
    return match;
}

} // namespace e2e
