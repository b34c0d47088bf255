#include "bench/accuracy/wholescore.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace kurvana::accuracy {

namespace {

std::optional<double> yAt(const std::vector<QPointF>& curve, double x) {
    if (curve.empty() || x < curve.front().x() || x > curve.back().x())
        return std::nullopt;
    const auto after = std::lower_bound(curve.begin(), curve.end(), x,
                                        [](QPointF p, double v) { return p.x() < v; });
    if (after == curve.begin())
        return after->y();
    const QPointF b = *after, a = *(after - 1);
    const double t = b.x() > a.x() ? (x - a.x()) / (b.x() - a.x()) : 0;
    return a.y() + t * (b.y() - a.y());
}

double curveScore(const ScoredSeries& truth, const ScoredSeries& found, double yRange) {
    double error = 0;
    for (const QPointF& p : truth.points) {
        const auto y = yAt(found.points, p.x());
        error += y ? std::min(1.0, std::abs(*y - p.y()) / (0.01 * yRange)) : 1;
    }
    return truth.points.empty() ? 0 : 1 - error / double(truth.points.size());
}

double markerScore(const ScoredSeries& truth, const ScoredSeries& found, double xRange,
                   double yRange) {
    double kept = 0;
    for (const QPointF& p : truth.points) {
        double nearest = 1;
        for (const QPointF& q : found.points)
            nearest = std::min(nearest, std::hypot((q.x() - p.x()) / (0.01 * xRange),
                                                   (q.y() - p.y()) / (0.01 * yRange)));
        kept += 1 - nearest;
    }
    const std::size_t n = std::max(truth.points.size(), found.points.size());
    return n ? kept / double(n) : 0;
}

} // namespace

ChartScore ScoreChart(const std::vector<ScoredSeries>& truth,
                      const std::vector<ScoredSeries>& found, double xRange, double yRange) {
    std::vector<std::tuple<double, std::size_t, std::size_t>> pairs;
    for (std::size_t t = 0; t < truth.size(); ++t)
        for (std::size_t f = 0; f < found.size(); ++f)
            pairs.emplace_back(truth[t].markers ? markerScore(truth[t], found[f], xRange, yRange)
                                                : curveScore(truth[t], found[f], yRange),
                               t, f);
    std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<bool> trueTaken(truth.size()), foundTaken(found.size());
    ChartScore score;
    score.seriesScores.assign(truth.size(), 0);
    double sum = 0;
    for (const auto& [s, t, f] : pairs) {
        if (trueTaken[t] || foundTaken[f])
            continue;
        trueTaken[t] = foundTaken[f] = true;
        sum += std::max(0.0, s);
        score.seriesScores[t] = s;
        if (!truth[t].name.isEmpty()) {
            ++score.namesTotal;
            score.namesRight += found[f].name.trimmed() == truth[t].name;
        }
    }
    for (std::size_t t = 0; t < truth.size(); ++t)
        if (!trueTaken[t] && !truth[t].name.isEmpty())
            ++score.namesTotal;
    const std::size_t n = std::max(truth.size(), found.size());
    score.score = n ? sum / double(n) : 1;
    return score;
}

} // namespace kurvana::accuracy
