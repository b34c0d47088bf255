#include "recognition/chart/categoryaxis.h"

#include <algorithm>
#include <cmath>

#include "recognition/chart/wholechart.h"

namespace kurvana {

namespace {

/// A category: its name and its place along the axis line.
struct Category {
    QString name;
    double along = 0;
};

/// The categories of an axis that has no numbers but at least two labels read as words, in the
/// order of their values: left to right, or bottom to top.
std::vector<Category> categoriesOf(const AxisReading& axis) {
    std::vector<Category> categories;
    if (!axis.line || axis.firstValue)
        return categories;
    for (const AxisLabel& label : axis.labels)
        if (!label.words.isEmpty())
            categories.push_back({label.words, label.along});
    // Along an upright line the picture's rows grow downwards: the first category is lowest.
    const bool upright = axis.line->upright;
    std::sort(categories.begin(), categories.end(),
              [upright](const Category& a, const Category& b) {
                  return upright ? a.along > b.along : a.along < b.along;
              });
    if (categories.size() < 2)
        categories.clear();
    return categories;
}

/// Half the smallest distance between neighbouring categories: a bar further off its nearest
/// category belongs to none.
double reachOf(const std::vector<Category>& categories) {
    double smallest = INFINITY;
    for (std::size_t i = 1; i < categories.size(); ++i)
        smallest = std::min(smallest, std::abs(categories[i].along - categories[i - 1].along));
    return smallest / 2;
}

/// Each bar on its category's place, named by it.
void placeBars(const AxisReading& axis, const std::vector<Category>& categories,
               SeriesReading& series) {
    const bool upright = axis.line->upright;
    const double reach = reachOf(categories);
    series.extras.resize(series.points.size());
    for (std::size_t i = 0; i < series.points.size(); ++i) {
        QPointF& point = series.points[i];
        const double along = upright ? point.y() : point.x();
        const auto nearest = std::min_element(
            categories.begin(), categories.end(), [along](const Category& a, const Category& b) {
                return std::abs(a.along - along) < std::abs(b.along - along);
            });
        if (std::abs(nearest->along - along) > reach)
            continue;
        const QPointF place = axis.line->pointAt(nearest->along);
        (upright ? point.ry() : point.rx()) = upright ? place.y() : place.x();
        series.extras[i].label = nearest->name;
    }
}

/// The axis calibrated on its categories: numbers 1 .. count at the first and last.
void calibrate(AxisReading& axis, const std::vector<Category>& categories) {
    axis.firstAlong = categories.front().along;
    axis.lastAlong = categories.back().along;
    axis.firstValue = 1;
    axis.lastValue = double(categories.size());
    axis.logarithmic = axis.date = false;
    axis.status = categories.size() >= 3 ? AxisStatus::Found : AxisStatus::Unchecked;
    for (AxisLabel& label : axis.labels)
        label.used = !label.words.isEmpty();
}

} // namespace

void UseCategoryAxis(ChartReading& reading) {
    const bool anyBars =
        std::any_of(reading.series.begin(), reading.series.end(),
                    [](const SeriesReading& s) { return s.kind == SeriesKind::Bars; });
    if (!anyBars)
        return;
    AxisProposal& axes = reading.axes;
    // Vertical bars name their categories along X, horizontal ones along Y.
    AxisReading* axis = nullptr;
    if (axes.y.firstValue && !categoriesOf(axes.x).empty())
        axis = &axes.x;
    else if (axes.x.firstValue && !categoriesOf(axes.y).empty())
        axis = &axes.y;
    if (axis == nullptr)
        return;
    const std::vector<Category> categories = categoriesOf(*axis);
    for (SeriesReading& series : reading.series)
        if (series.kind == SeriesKind::Bars)
            placeBars(*axis, categories, series);
    calibrate(*axis, categories);
    PlaceReferencePoints(axes);
    if (axes.complete())
        std::erase(reading.problems, ChartProblem::PartialAxes);
}

} // namespace kurvana
