#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include <QPoint>
#include <QPolygonF>
#include <QString>

#include "recognition/axes/axislines.h"
#include "recognition/axes/axisrule.h"
#include "recognition/axes/axisticks.h"
#include "recognition/axes/keystone.h"

class QImage;

namespace kurvana {

enum class ScaleKind;

class LabelReader;

/// How far the finder got on one axis.
enum class AxisStatus {
    NoLine,         ///< no axis line
    NoLabels,       ///< a line, but no label beside its ticks could be read
    LabelsDisagree, ///< labels read, but no linear or logarithmic rule fits most of them
    Unchecked,      ///< only two labels: a rule through them cannot be checked
    Found,          ///< at least three labels, and most of them, follow one rule
};

/// A label beside a tick, as read.
struct AxisLabel {
    QString text;
    std::optional<double> value;
    double along = 0;  ///< its tick's position on the axis line
    QPolygonF outline; ///< picture coordinates
    bool used = false; ///< it follows the axis's rule
    /// The label read as words where its numbers made no axis (category names, month names).
    QString words;
};

/// What the finder made of one axis.
struct AxisReading {
    AxisStatus status = AxisStatus::NoLine;
    std::optional<AxisLine> line;
    std::vector<AxisTick> ticks;
    std::vector<AxisLabel> labels;
    bool logarithmic = false;
    /// The labels are dates (months or days, not only years): the values are day counts
    /// (core/datetime.h) on a linear axis, proposed as a date axis.
    bool date = false;
    /// The ticks that carry the reference points: the first and last labelled ticks following
    /// the rule (the first and last ticks, or the line's ends, when the labels failed).
    double firstAlong = 0, lastAlong = 0;
    /// The Input window numbers at those ticks (exponents on a logarithmic axis), when known.
    std::optional<double> firstValue, lastValue;
};

/// A calibration proposed from the chart itself.
struct AxisProposal {
    AxisReading x, y;
    /// The three reference points, rounded to the pixel a user would click; present when both
    /// axis lines were found.
    std::optional<QPoint> zero, xMax, yMax;
    /// The Y max point before rounding: the calibration truncates the length of the Y axis,
    /// and the click that puts it in place makes up for that.
    QPointF yMaxExact;
    /// Four reference points, when the chart is seen at an angle (a photographed page); the
    /// three above are then only its nearest three-point calibration.
    std::optional<PerspectiveProposal> perspective;
    /// The label reader's data are not installed: no label was read for that reason alone.
    bool labelDataMissing = false;

    bool complete() const {
        return x.status == AxisStatus::Found && y.status == AxisStatus::Found && zero.has_value();
    }
    bool empty() const { return !x.line && !y.line; }
};

/// Looks for the axes of the chart in `picture`: the lowest long level line and the leftmost
/// long upright line with labelled ticks, their labels read by `reader` and checked against
/// one linear or decimal-logarithmic rule per axis, and the reference points on the first and
/// last labelled ticks. Labels that name months or days (`2021-06`, `Jan 2021`, `Jun`,
/// `2021-06-15`) make a date axis, linear in day counts; labels that are only years stay
/// numbers, as they read and as a user types them. Nothing in the picture is changed. When `cancel`
/// is given and becomes true, the search stops at its next step and gives the empty proposal.
AxisProposal FindAxes(const QImage& picture, LabelReader& reader,
                      const std::atomic_bool* cancel = nullptr);

/// Puts the three reference points of `proposal` on the first and last reference ticks of
/// its axes, as FindAxes does, after an axis's reference ticks changed (a category axis).
void PlaceReferencePoints(AxisProposal& proposal);

/// The scale kind the axis's labels call for: date, decimal logarithmic or linear.
ScaleKind ProposedScaleKind(const AxisReading& axis);

/// The proposal as JSON: the reference points, the four Input window values, the scale kinds,
/// the ticks and labels read, and what could not be found ("label_data_missing" when the label
/// reader's data are not installed, in place of the axes' "labels_unreadable").
QByteArray ProposalJson(const AxisProposal& proposal);

} // namespace kurvana
