#include "core/clicks.h"

#include <cmath>
#include <vector>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/nudge.h"
#include "core/strokesnap.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

/// The distance between two pixels: the root of an integer sum of squares, held as a double.
double distance(int x0, int y0, int x1, int y1) {
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

int truncated(long double value) {
    return static_cast<int>(std::trunc(value));
}

/// The Y max point on the perpendicular through the zero point, at distance length, on the
/// upper side of the X axis.
void placeYMaxOnPerpendicular(Document& doc, double length) {
    doc.yMaxPointX = doc.zeroPointX - truncated(std::sin(doc.axisAngle) * length);
    doc.yMaxPointY = doc.zeroPointY - truncated(std::cos(doc.axisAngle) * length);
}

void refuseCoincidingAxisPoints(const Document& doc, int zeroX, int zeroY, int xMaxX, int xMaxY) {
    if (zeroX == xMaxX && zeroY == xMaxY)
        throw CommandError(doc.texts.extra(ExtraText::XMaxOnZeroPoint));
}

/// A three-point reference point placed means a three-point calibration: the frame's points
/// stay for when it is chosen again. Called with the axes removed, as they follow the frame.
void leavePerspectiveOrPolar(Document& doc) {
    doc.frame = CalibrationFrame::ThreePoint;
}

void pictureAndAxesChanged(Workspace& ws) {
    ToggleAxes(ws.doc);
    ws.view.pictureChanged();
    RefreshValues(ws);
}

int cursorForMode(const Document& doc, int mode) {
    switch (mode) {
    case ModeMarks:
        return doc.cursorIndex - 1;
    case ModeZeroPoint:
    case ModeXMaxPoint:
    case ModeYMaxPoint:
    case ModeFramePoint:
    case ModeHandScroll:
        return CursorCross;
    case ModeZone:
        return CursorSizeAll;
    case ModeEraser:
        return CursorEraser;
    case ModeColourPick:
        return CursorPipette;
    case ModeFindMarkers:
    case ModeFindBars:
        return CursorCross;
    default:
        return CursorDefault;
    }
}

} // namespace

int ScreenToPicture(int screen, long double viewScale) {
    return static_cast<int>(std::trunc(static_cast<long double>(screen) / viewScale));
}

void SetInputMode(Workspace& ws, int mode) {
    ws.doc.inputMode = mode;
    ws.doc.pictureCursor = cursorForMode(ws.doc, mode);
    ws.view.controlsChanged();
}

void SelectLine(Workspace& ws, int line) {
    ws.doc.currentLine = line;
    ws.view.controlsChanged();
}

void ToggleAutoCorrect(Workspace& ws) {
    ws.doc.autoCorrectOn = !ws.doc.autoCorrectOn;
    ws.view.controlsChanged();
}

void PictureMouseUp(Workspace& ws) {
    ws.doc.handScrollActive = false;
    if (ws.history)
        ws.history->endDrag(ws.doc); // an eraser drag is one step, press to release
}

void RemoveNearPoints(Workspace& ws, int x, int y, int tolerance) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    std::vector<QRect> removedMarks;
    for (int r = 1; r <= doc.nextRow.at(line) - 1; ++r) {
        if (WithinSquare(doc.pointX(line, r), doc.pointY(line, r), x, y, tolerance)) {
            removedMarks.push_back(
                MarkArea(doc.pointX(line, r), doc.pointY(line, r), doc.markDiameter));
            doc.removeRow(line, r);
        }
    }
    // RedrawMarks and ToggleAxes, restoring only what the removed marks covered: erasing by
    // dragging runs this on every mouse move over pictures of tens of megapixels.
    ws.view.pictureChanged(RestoreMarksAndAxes(doc, removedMarks));
}

void PlaceZeroPoint(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    refuseCoincidingAxisPoints(doc, x, y, doc.xMaxPointX, doc.xMaxPointY);
    ToggleAxes(doc);
    leavePerspectiveOrPolar(doc);
    const double length = distance(doc.zeroPointX, doc.zeroPointY, doc.yMaxPointX, doc.yMaxPointY);
    doc.zeroPointX = x;
    doc.zeroPointY = y;
    doc.axisAngle = axisAngleFor(doc);
    placeYMaxOnPerpendicular(doc, length);
    pictureAndAxesChanged(ws);
}

void PlaceXMaxPoint(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    refuseCoincidingAxisPoints(doc, doc.zeroPointX, doc.zeroPointY, x, y);
    ToggleAxes(doc);
    leavePerspectiveOrPolar(doc);
    const double length = distance(doc.zeroPointX, doc.zeroPointY, doc.yMaxPointX, doc.yMaxPointY);
    doc.xMaxPointX = x;
    doc.xMaxPointY = y;
    const double toXMax = distance(doc.zeroPointX, doc.zeroPointY, x, y);
    if (doc.zeroPointY == doc.xMaxPointY) {
        doc.axisAngle = 0.0L;
    } else {
        const long double c = (static_cast<long double>(doc.xMaxPointX) - doc.zeroPointX) / toXMax;
        const long double s = (static_cast<long double>(doc.zeroPointY) - doc.xMaxPointY) / toXMax;
        doc.axisAngle = std::atan(s / c); // c = 0 (vertical axis) gives exactly +-pi/2
    }
    // This decimal constant, not pi/2: the Y max point has always been placed with it.
    const long double phi = doc.axisAngle + 1.570795L;
    doc.yMaxPointY = doc.zeroPointY - truncated(std::sin(phi) * length);
    doc.yMaxPointX = doc.zeroPointX + truncated(std::cos(phi) * length);
    pictureAndAxesChanged(ws);
}

void PlaceYMaxPoint(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    ToggleAxes(doc);
    leavePerspectiveOrPolar(doc);
    // The click gives only the length: the Y max point stays on the perpendicular, above the
    // X axis, whichever side was clicked.
    placeYMaxOnPerpendicular(doc, distance(doc.zeroPointX, doc.zeroPointY, x, y));
    pictureAndAxesChanged(ws);
}

void AddPoint(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    if (doc.nextRow.at(line) >= kClickRowLimit) {
        ws.dialogs.information(doc.texts.message(7));
        return;
    }
    // The duplicate test compares the raw click with the stored (snapped) positions.
    for (int r = 1; r < doc.nextRow.at(line); ++r)
        if (doc.pointX(line, r) == x && doc.pointY(line, r) == y)
            return;
    QPoint point(x, y);
    if (doc.autoCorrectOn)
        point = SnapClick(doc, x, y);
    doc.appendPoint(line, point.x(), point.y());
    ws.view.pictureChanged(DrawMark(doc, point.x(), point.y(), doc.markDiameter, line));
    RefreshValues(ws);
}

void ErasePoints(Workspace& ws, int x, int y) {
    RemoveNearPoints(ws, x, y, 9);
    RemoveNearPoints(ws, x, y, 9);
    ws.view.pictureChanged(RestoreMarksAndAxes(ws.doc));
    RefreshValues(ws);
}

void EraseOnMove(Workspace& ws, int x, int y) {
    // Into the drag's step; a move whose press left no step open (an undo in between) is a
    // step of its own, never a change outside the history.
    const RecordedStep step(ws, StepKind::Erase);
    RemoveNearPoints(ws, x, y, 9);
    RefreshValues(ws);
}

void PictureMouseDown(Workspace& ws, int screenX, int screenY, unsigned shiftState) {
    Document& doc = ws.doc;
    const int x = ScreenToPicture(screenX, doc.viewScale);
    const int y = ScreenToPicture(screenY, doc.viewScale);

    if (shiftState == RightButton && doc.inputMode == ModeMarks) {
        doc.pictureCursor = doc.cursorIndex;
        if (++doc.cursorIndex > 6)
            doc.cursorIndex = 1;
        ws.view.controlsChanged();
        return;
    }
    if (shiftState == (ShiftKey | LeftButton)) {
        SelectPointForNudge(ws, x, y);
        return;
    }
    const bool ctrlClick = shiftState == (CtrlKey | LeftButton);
    switch (doc.inputMode) {
    case ModeNone:
        ws.dialogs.information(doc.texts.message(1));
        break;
    case ModeMarks:
        if (ctrlClick) {
            const RecordedStep step(ws, StepKind::RemovePoints);
            RemoveNearPoints(ws, x, y, 2);
            RefreshValues(ws);
        } else {
            const RecordedStep step(ws, StepKind::AddPoint);
            AddPoint(ws, x, y);
        }
        break;
    case ModeZeroPoint: {
        const RecordedStep step(ws, StepKind::ZeroPoint);
        PlaceZeroPoint(ws, x, y);
        break;
    }
    case ModeXMaxPoint: {
        const RecordedStep step(ws, StepKind::XMaxPoint);
        PlaceXMaxPoint(ws, x, y);
        break;
    }
    case ModeYMaxPoint: {
        const RecordedStep step(ws, StepKind::YMaxPoint);
        PlaceYMaxPoint(ws, x, y);
        break;
    }
    case ModeFramePoint:
        PlaceFramePoint(ws, x, y);
        break;
    case ModeEraser: {
        // The step stays open while the button is held: the moves erase into it.
        DragStep drag(ws, StepKind::Erase);
        ErasePoints(ws, x, y);
        drag.holdForRelease();
        break;
    }
    case ModeColourPick:
        ws.view.takeColourSample();
        break;
    case ModeFindMarkers:
    case ModeFindBars:
        ws.view.recogniseClick(doc.inputMode, x, y);
        break;
    case ModeHandScroll:
        doc.handLastX = x;
        doc.handLastY = y;
        doc.handScrollActive = true;
        break;
    default: // zone marking: the zone is painted while dragging
        break;
    }
}

} // namespace kurvana
