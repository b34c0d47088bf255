#include "recognition/axes/axiscommand.h"

#include "core/history.h"

#include <cmath>

#include <QImage>
#include <QLineF>
#include <QStringList>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/clicks.h"
#include "core/datetime.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/workspace.h"
#include "recognition/axes/findaxes.h"

namespace kurvana {

namespace {

/// A number as the Input window shows it: general format, the decimal separator in force.
QString inputText(const Document& doc, double value) {
    QString text = QString::number(value, 'g', 15);
    return text.replace('.', doc.decimalSeparator);
}

/// A proposed value as typed into the Input window: a date axis's labels name whole days.
QString axisInputText(const Document& doc, const AxisReading& axis, double value) {
    return axis.date ? FormatDayCount(value, DatePrecision::Days) : inputText(doc, value);
}

QString valueText(const Document& doc, const AxisReading& axis,
                  const std::optional<double>& value) {
    return value ? axisInputText(doc, axis, *value) : QString("?");
}

/// The click that puts the Y max point nearest its exact place. The calibration keeps only
/// the click's distance from the zero point (a root of whole pixels) and sets the point on the
/// perpendicular with each offset truncated; so the click is chosen among the pixels around the
/// exact place by where that rule would put the point. Called after the X axis is in place.
QPoint yMaxClick(const Document& doc, const AxisProposal& p) {
    QPoint best = *p.yMax;
    double bestMiss = INFINITY;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const QPoint click = *p.yMax + QPoint(dx, dy);
            const double length =
                std::hypot(double(click.x() - doc.zeroPointX), double(click.y() - doc.zeroPointY));
            const QPointF lands(doc.zeroPointX - std::trunc(std::sin(doc.axisAngle) * length),
                                doc.zeroPointY - std::trunc(std::cos(doc.axisAngle) * length));
            const double miss = QLineF(lands, p.yMaxExact).length();
            if (miss < bestMiss - 1e-9) {
                bestMiss = miss;
                best = click;
            }
        }
    return best;
}

void placePoints(Workspace& ws, const AxisProposal& p) {
    Document& doc = ws.doc;
    // The zero point cannot be put on the X max point; when the new zero point lands on the
    // old X max point, the X max point moves first.
    if (p.zero->x() == doc.xMaxPointX && p.zero->y() == doc.xMaxPointY)
        PlaceXMaxPoint(ws, p.xMax->x(), p.xMax->y());
    PlaceZeroPoint(ws, p.zero->x(), p.zero->y());
    PlaceXMaxPoint(ws, p.xMax->x(), p.xMax->y());
    const QPoint yMax = yMaxClick(ws.doc, p);
    PlaceYMaxPoint(ws, yMax.x(), yMax.y());
}

QString axisProblem(const Document& doc, const AxisReading& axis, const QString& name) {
    const Texts& t = doc.texts;
    switch (axis.status) {
    case AxisStatus::NoLine:
        return t.extra(ExtraText::AxesNoLine).arg(name);
    case AxisStatus::NoLabels:
        return t.extra(ExtraText::AxesLabelsUnreadable).arg(name);
    case AxisStatus::LabelsDisagree:
        return t.extra(ExtraText::AxesLabelsDisagree).arg(name);
    case AxisStatus::Unchecked:
        return t.extra(ExtraText::AxesRuleUnchecked).arg(name);
    case AxisStatus::Found:
        break;
    }
    QStringList dropped;
    for (const AxisLabel& label : axis.labels)
        if (label.value && !label.used)
            dropped << label.text;
    return dropped.isEmpty() ? QString()
                             : t.extra(ExtraText::AxesLabelsDropped).arg(name, dropped.join(", "));
}

QString scaleName(const Document& doc, const AxisReading& axis) {
    if (!axis.firstValue)
        return "?";
    if (axis.date)
        return doc.texts.extra(ExtraText::ScaleDate);
    return doc.texts.extra(axis.logarithmic ? ExtraText::AxesScaleLog10
                                            : ExtraText::AxesScaleLinear);
}

/// The marks of a proposal: a cross on each tick, the outline of each label read, and a
/// circle round each reference point, drawn in NOT-XOR so that drawing them twice takes them
/// off exactly.
std::vector<QPoint> proposalMarks(const Document& doc, const AxisProposal& p) {
    const QRect clip(0, 0, doc.workingPicture.width(), doc.workingPicture.height());
    std::vector<QPoint> marks;
    auto add = [&](const std::vector<QPoint>& pixels) {
        marks.insert(marks.end(), pixels.begin(), pixels.end());
    };
    for (const AxisReading* axis : {&p.x, &p.y}) {
        if (!axis->line)
            continue;
        for (const AxisTick& tick : axis->ticks) {
            const QPoint c = axis->line->pointAt(tick.along).toPoint();
            add(PolylinePixels({c + QPoint(-3, -3), c + QPoint(3, 3)}, 1, clip));
            add(PolylinePixels({c + QPoint(-3, 3), c + QPoint(3, -3)}, 1, clip));
        }
        for (const AxisLabel& label : axis->labels) {
            std::vector<QPoint> corners;
            for (const QPointF& corner : label.outline)
                corners.push_back(corner.toPoint());
            add(PolylinePixels(corners, 1, clip));
        }
    }
    std::vector<QPoint> circled;
    if (p.perspective)
        circled.assign(p.perspective->points.begin(), p.perspective->points.end());
    else
        for (const auto& point : {p.zero, p.xMax, p.yMax})
            if (point)
                circled.push_back(*point);
    for (const QPoint& point : circled)
        add(EllipseOutline(point.x() - 8, point.y() - 8, point.x() + 9, point.y() + 9));
    // Each pixel once: NOT-XOR twice on one pixel would cancel.
    std::sort(marks.begin(), marks.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}

} // namespace

void ApplyCalibrationProposal(Workspace& ws, const AxisProposal& p) {
    // The three points and the values are one step of the history, as the user sees them.
    const RecordedStep step(ws, StepKind::AxisValues);
    Document& doc = ws.doc;
    if (p.perspective) {
        ApplyPerspectiveProposal(ws, p);
        RefreshValues(ws);
        return;
    }
    if (doc.frame != CalibrationFrame::ThreePoint)
        ChooseFrame(ws, CalibrationFrame::ThreePoint);
    if (p.x.firstValue) {
        doc.scaleX = ProposedScaleKind(p.x);
        doc.editMinX = axisInputText(doc, p.x, *p.x.firstValue);
        doc.editMaxX = axisInputText(doc, p.x, *p.x.lastValue);
    }
    if (p.y.firstValue) {
        doc.scaleY = ProposedScaleKind(p.y);
        doc.editMinY = axisInputText(doc, p.y, *p.y.firstValue);
        doc.editMaxY = axisInputText(doc, p.y, *p.y.lastValue);
    }
    ws.view.documentSettingsChanged();
    if (p.zero && p.xMax && p.yMax)
        placePoints(ws, p);
    // Enter in an axis edit.
    RefreshValues(ws);
}

QString ProposalSummary(const Workspace& ws, const AxisProposal& p) {
    const Document& doc = ws.doc;
    const Texts& t = doc.texts;
    QStringList lines{t.extra(ExtraText::AxesProposalHeading)};
    if (p.perspective) {
        for (std::size_t i = 0; i < 4; ++i)
            lines << t.extra(ExtraText::AxesPerspectiveCorner)
                         .arg(p.perspective->points[i].x())
                         .arg(p.perspective->points[i].y())
                         .arg(inputText(doc, p.perspective->values[i].x()),
                              inputText(doc, p.perspective->values[i].y()));
    } else if (p.zero) {
        lines << t.extra(ExtraText::AxesZeroPointLine)
                     .arg(p.zero->x())
                     .arg(p.zero->y())
                     .arg(valueText(doc, p.x, p.x.firstValue), valueText(doc, p.y, p.y.firstValue));
        lines << t.extra(ExtraText::AxesXMaxPointLine)
                     .arg(p.xMax->x())
                     .arg(p.xMax->y())
                     .arg(valueText(doc, p.x, p.x.lastValue));
        lines << t.extra(ExtraText::AxesYMaxPointLine)
                     .arg(p.yMax->x())
                     .arg(p.yMax->y())
                     .arg(valueText(doc, p.y, p.y.lastValue));
    }
    lines << t.extra(ExtraText::AxesScales).arg(scaleName(doc, p.x), scaleName(doc, p.y));
    // Labels not read for want of the reader's data are that one problem, said once.
    if (p.labelDataMissing)
        lines << t.extra(ExtraText::AxesLabelDataMissing);
    for (const auto& [axis, name] : {std::pair{&p.x, "X"}, std::pair{&p.y, "Y"}}) {
        if (p.labelDataMissing && axis->status == AxisStatus::NoLabels)
            continue;
        const QString problem = axisProblem(doc, *axis, name);
        if (!problem.isEmpty())
            lines << problem;
    }
    lines << QString() << t.extra(ExtraText::AxesAcceptQuestion);
    return lines.join('\n');
}

void ReviewAxisProposal(Workspace& ws, const AxisProposal& p) {
    Document& doc = ws.doc;
    if (p.empty()) {
        ws.dialogs.information(doc.texts.extra(ExtraText::AxesNotFound));
        return;
    }
    const std::vector<QPoint> marks = proposalMarks(doc, p);
    const QRect area = BoundsOf(marks);
    NotXorPixels(doc.workingPicture, marks, 0x00FF00FF);
    ws.view.pictureChanged(area);
    const platform::Answer answer =
        ws.dialogs.question(ProposalSummary(ws, p), platform::QuestionButtons::YesNo);
    NotXorPixels(doc.workingPicture, marks, 0x00FF00FF);
    ws.view.pictureChanged(area);
    if (answer == platform::Answer::Yes)
        ApplyCalibrationProposal(ws, p);
}

} // namespace kurvana
