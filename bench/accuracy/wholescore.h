#pragma once

#include <vector>

#include <QPointF>
#include <QString>

namespace kurvana::accuracy {

/// A series in axis units (exponents on logarithmic axes): the truth or what was found.
struct ScoredSeries {
    bool markers = false;
    std::vector<QPointF> points; ///< curves: sorted by x
    QString name;
};

struct ChartScore {
    double score = 0;
    /// Of the true series with a name: those matched to a found series that bears exactly
    /// that name, case and all, after trimming the spaces round it.
    int namesRight = 0;
    int namesTotal = 0;               ///< true series with a name, matched or not
    std::vector<double> seriesScores; ///< per true series: its matched score, 0 when missing
};

/// The line-chart extraction score: true and found series matched one to one (best pairs
/// first); a matched curve scores 1 - the mean over its true points of
/// min(1, |y found at x - y true| / 1 % of the Y range) (1 where the found curve does not
/// reach x), a matched marker series 1 - the mean of min(1, distance in 1 % of the axis
/// ranges) to the nearest found point over the larger of the two point counts; the chart's
/// score is the sum over matched series divided by the larger of the two series counts.
ChartScore ScoreChart(const std::vector<ScoredSeries>& truth,
                      const std::vector<ScoredSeries>& found, double xRange, double yRange);

} // namespace kurvana::accuracy
