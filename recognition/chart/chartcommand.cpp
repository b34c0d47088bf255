#include "recognition/chart/chartcommand.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"
#include "io/seriesnames.h"
#include "recognition/axes/axiscommand.h"
#include "recognition/chart/chartapply.h"
#include "recognition/chart/wholechart.h"

namespace kurvana {

namespace {

ExtraText kindText(SeriesKind kind) {
    switch (kind) {
    case SeriesKind::Markers:
        return ExtraText::ChartKindMarkers;
    case SeriesKind::Bars:
        return ExtraText::ChartKindBars;
    default:
        break;
    }
    return ExtraText::ChartKindCurve;
}

/// The colour Find axes marks its reference points in.
constexpr Colour kReferenceMarkColour = 0x00FF00FF;

int seriesLines(const ChartReading& reading) {
    return int(std::min<std::size_t>(reading.series.size(), kLineCount));
}

/// The calibration part of the list, without Find axes' closing question.
QString calibrationSummary(const Workspace& ws, const ChartReading& reading) {
    if (reading.axes.empty())
        return ws.doc.texts.extra(ExtraText::ChartCalibrationKept);
    QStringList lines = ProposalSummary(ws, reading.axes).split('\n');
    while (!lines.isEmpty() && lines.back() != QString())
        lines.removeLast(); // the question and the empty line before it
    if (!lines.isEmpty())
        lines.removeLast();
    return lines.join('\n');
}

/// What a series' marks cover: its path, or a small circle round each marker or bar end.
std::vector<QPoint> seriesMarks(const Document& doc, const SeriesReading& series) {
    const QRect clip(0, 0, doc.workingPicture.width(), doc.workingPicture.height());
    std::vector<QPoint> marks;
    if (series.kind == SeriesKind::Curve) {
        std::vector<QPoint> path;
        for (const QPointF& p : series.points)
            path.push_back(p.toPoint());
        marks = PolylinePixels(path, 1, clip);
    } else {
        for (const QPointF& p : series.points) {
            const QPoint c = p.toPoint();
            const std::vector<QPoint> ring =
                EllipseOutline(c.x() - 4, c.y() - 4, c.x() + 5, c.y() + 5);
            marks.insert(marks.end(), ring.begin(), ring.end());
        }
    }
    // Each pixel once: NOT-XOR twice on one pixel would cancel.
    std::sort(marks.begin(), marks.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}

/// Marks every series in its line's colour (NOT-XOR: on white paper the colour itself, and
/// drawing the same marks again takes them off exactly). Returns the area touched.
QRect toggleSeriesMarks(Document& doc, const ChartReading& reading) {
    QRect area;
    std::vector<QPoint> circles;
    for (const auto& point : {reading.axes.zero, reading.axes.xMax, reading.axes.yMax})
        if (point) {
            const std::vector<QPoint> ring =
                EllipseOutline(point->x() - 8, point->y() - 8, point->x() + 9, point->y() + 9);
            circles.insert(circles.end(), ring.begin(), ring.end());
        }
    NotXorPixels(doc.workingPicture, circles, kReferenceMarkColour);
    area = BoundsOf(circles);
    for (int i = 0; i < seriesLines(reading); ++i) {
        const std::vector<QPoint> marks = seriesMarks(doc, reading.series[std::size_t(i)]);
        NotXorPixels(doc.workingPicture, marks, doc.lineColor.at(std::size_t(i + 1)));
        area = area.united(BoundsOf(marks));
    }
    return area;
}

} // namespace

QString ChartReadingSummary(const Workspace& ws, const ChartReading& reading) {
    const Texts& t = ws.doc.texts;
    QStringList lines{calibrationSummary(ws, reading), QString(),
                      t.extra(ExtraText::ChartProposalHeading)};
    for (int i = 0; i < seriesLines(reading); ++i) {
        const SeriesReading& s = reading.series[std::size_t(i)];
        lines << t.extra(ExtraText::ChartSeriesLine)
                     .arg(i + 1)
                     .arg(t.extra(kindText(s.kind)), ColourName(s.colour))
                     .arg(s.points.size())
                     .arg(s.name.isEmpty() ? t.extra(ExtraText::ChartNoName) : '"' + s.name + '"');
        if (s.kind == SeriesKind::Curve && s.followed < 0.995)
            lines << t.extra(ExtraText::ChartCurveLost)
                         .arg(i + 1)
                         .arg(int(std::floor(s.followed * 100)));
    }
    if (reading.series.empty())
        lines << t.extra(ExtraText::ChartNoSeries);
    if (reading.seriesLeftOut > 0)
        lines << t.extra(ExtraText::ChartTooManySeries).arg(reading.seriesLeftOut);
    lines << QString() << t.extra(ExtraText::ChartAcceptQuestion);
    return lines.join('\n');
}

bool ReviewChartReading(Workspace& ws, const ChartReading& reading,
                        const ChartApplyOptions& options) {
    Document& doc = ws.doc;
    if (reading.series.empty() && reading.axes.empty()) {
        ws.dialogs.information(doc.texts.extra(ExtraText::ChartNothingFound));
        return false;
    }
    const QRect area = toggleSeriesMarks(doc, reading);
    ws.view.pictureChanged(area);
    const platform::Answer answer =
        ws.dialogs.question(ChartReadingSummary(ws, reading), platform::QuestionButtons::YesNo);
    toggleSeriesMarks(doc, reading);
    ws.view.pictureChanged(area);
    if (answer != platform::Answer::Yes)
        return false;
    const RecordedStep step(ws, StepKind::DigitiseChart);
    ApplyChartReading(ws, reading, options);
    return true;
}

} // namespace kurvana
