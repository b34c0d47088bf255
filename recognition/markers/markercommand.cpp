#include "recognition/markers/markercommand.h"

#include <cmath>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/foundpoints.h"
#include "core/history.h"
#include "core/workspace.h"
#include "recognition/markers/findmarkers.h"

namespace kurvana {

namespace {
/// The status bar panel that reports what a search found.
constexpr int kSearchStatusPanel = 3;
} // namespace

PointExtras MarkerExtras(const FoundMarker& marker) {
    PointExtras extras;
    if (marker.upright) {
        extras.yLow = marker.upright->low;
        extras.yHigh = marker.upright->high;
    }
    if (marker.level) {
        extras.xLow = marker.level->low;
        extras.xHigh = marker.level->high;
    }
    return extras;
}

int AddFoundMarkers(Workspace& ws, const std::optional<MarkerFinding>& finding) {
    Document& doc = ws.doc;
    if (!finding || finding->markers.empty())
        throw CommandError(doc.texts.extra(ExtraText::NoMarkerFound));
    const RecordedStep step(ws, StepKind::FindMarkers);
    const int line = doc.currentLine;
    std::vector<FoundPoint> points;
    for (const FoundMarker& marker : finding->markers)
        points.push_back(
            {{int(std::lround(marker.centre.x())), int(std::lround(marker.centre.y()))},
             MarkerExtras(marker)});
    const int added = AppendFoundPoints(doc, line, points);
    doc.lineInfo.at(line).kind = SeriesKind::Markers;
    doc.lineInfo.at(line).colour =
        qRgb(int(finding->kind.colour >> 16 & 0xFF), int(finding->kind.colour >> 8 & 0xFF),
             int(finding->kind.colour & 0xFF));
    ws.view.pictureChanged();
    ws.view.setStatusText(kSearchStatusPanel, doc.texts.extra(ExtraText::MarkersFound).arg(added));
    RefreshValues(ws);
    return added;
}

int FindMarkersAt(Workspace& ws, int x, int y, double tolerance) {
    std::optional<MarkerFinding> finding;
    {
        const BusyCursor busy(ws.view);
        finding = FindMarkers(ws.doc.cleanPicture, {x, y}, {tolerance});
    }
    return AddFoundMarkers(ws, finding);
}

} // namespace kurvana
