#include "core/nudge.h"

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"

namespace kurvana {

void SelectPointForNudge(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    // Every arrow pressed until OK is one step.
    const RecordedStep step(ws, StepKind::MovePoint);
    int selected = 0;
    // No early stop: of several points in the box the one stored last wins, not the nearest.
    for (int r = 1; r < doc.nextRow.at(line); ++r)
        if (WithinSquare(doc.pointX(line, r), doc.pointY(line, r), x, y, 2))
            selected = r;
    if (selected == 0)
        return;
    doc.nudgeRow = selected;
    doc.nudgeLine = line;
    const int px = doc.pointX(line, selected);
    const int py = doc.pointY(line, selected);
    ws.view.pictureChanged(ToggleHighlight(doc, px, py, doc.markDiameter));
    ws.view.showMagnifier(px, py);
    ws.view.runNudgeWindow();
}

void NudgeSelectedPoint(Workspace& ws, int dx, int dy) {
    Document& doc = ws.doc;
    std::int32_t& px = doc.pointX(doc.nudgeLine, doc.nudgeRow);
    std::int32_t& py = doc.pointY(doc.nudgeLine, doc.nudgeRow);
    ws.view.pictureChanged(ToggleHighlight(doc, px, py, doc.markDiameter));
    px += dx;
    py += dy;
    ws.view.pictureChanged(ToggleHighlight(doc, px, py, doc.markDiameter));
    ws.view.showMagnifier(px, py);
}

void FinishNudge(Workspace& ws) {
    Document& doc = ws.doc;
    const int remembered = doc.currentLine;
    doc.currentLine = doc.nudgeLine;
    const int px = doc.pointX(doc.nudgeLine, doc.nudgeRow);
    const int py = doc.pointY(doc.nudgeLine, doc.nudgeRow);
    ToggleHighlight(doc, px, py, doc.markDiameter);
    DrawMark(doc, px, py, doc.markDiameter, doc.nudgeLine);
    doc.currentLine = remembered;
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
    RefreshValues(ws);
}

} // namespace kurvana
