#include "recognition/markers/markercommand.h"

#include <cmath>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"
#include "recognition/markers/findmarkers.h"

namespace kurvana {

namespace {
/// The status bar panel that reports what a search found.
constexpr int kSearchStatusPanel = 3;
} // namespace

int FindMarkersAt(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    std::optional<MarkerFinding> finding;
    {
        const BusyCursor busy(ws.view);
        finding = FindMarkers(doc.cleanPicture, {x, y});
    }
    if (!finding || finding->markers.empty())
        throw CommandError(doc.texts.extra(ExtraText::NoMarkerFound));
    const RecordedStep step(ws, StepKind::FindMarkers);
    const int line = doc.currentLine;
    int added = 0;
    for (const FoundMarker& marker : finding->markers) {
        if (doc.nextRow.at(line) > kLastRow)
            break;
        const int px = int(std::lround(marker.centre.x())),
                  py = int(std::lround(marker.centre.y()));
        doc.appendPoint(line, px, py);
        DrawMark(doc, px, py, doc.markDiameter, line);
        ++added;
    }
    ws.view.pictureChanged();
    ws.view.setStatusText(kSearchStatusPanel, doc.texts.extra(ExtraText::MarkersFound).arg(added));
    RefreshValues(ws);
    return added;
}

} // namespace kurvana
