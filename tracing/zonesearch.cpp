#include "tracing/zonesearch.h"

#include <cmath>
#include <cstdlib>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/probestar.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr int kZoneSpacing = 10; ///< a new circle only beyond this |dx| + |dy|

int truncatedMean(long long sum, int n) {
    return static_cast<int>(std::trunc(static_cast<long double>(sum) / n));
}

void toggleTrailCircles(Workspace& ws) {
    Document& doc = ws.doc;
    for (int j = 1; j < doc.zoneCount; ++j)
        ToggleZoneCircle(doc, doc.zoneX.at(j), doc.zoneY.at(j));
    ws.view.pictureChanged();
}

void showDefaultCursor(Workspace& ws) {
    ws.doc.pictureCursor = CursorDefault;
    ws.view.controlsChanged();
}

/// The search routine over the trail. Each point's mark is drawn at once, so the probes of the
/// following circles see it. Returns false when the line filled up before the trail's end.
bool searchTrail(Workspace& ws) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    bool room = true;
    for (int j = 1; j < doc.zoneCount; ++j) {
        const StarInk ink = InkInProbeStar(doc, doc.zoneX.at(j), doc.zoneY.at(j));
        if (ink.count == 0)
            continue;
        if (doc.nextRow.at(line) >= kClickRowLimit) {
            room = false;
            break;
        }
        doc.appendPoint(line, ink.centre.x(), ink.centre.y());
        DrawMark(doc, ink.centre.x(), ink.centre.y(), doc.markDiameter, line);
    }
    doc.zoneCount = 0;
    ws.view.pictureChanged();
    return room;
}

} // namespace

StarInk InkInProbeStar(Document& doc, int cx, int cy) {
    // Each probe sets the probe fields as Document::probe does, reading the picture's rows
    // through one pointer: the search runs the star up to a thousand times.
    const QImage& picture = doc.workingPicture;
    const int width = picture.width();
    const int height = picture.height();
    const uchar* const bits = picture.constBits();
    const qsizetype stride = picture.bytesPerLine();
    int n = 0;
    long long sumX = 0;
    long long sumY = 0;
    for (const ProbeRay& ray : kProbeStar)
        for (int s = 1; s <= kProbesPerRay; ++s) {
            const int x = cx + ray.startX + s * ray.stepX;
            const int y = cy + ray.startY + s * ray.stepY;
            const bool inside = x >= 0 && y >= 0 && x < width && y < height;
            doc.probeColor =
                inside ? colourFromQRgb(reinterpret_cast<const QRgb*>(bits + y * stride)[x])
                       : kOutsideColour;
            doc.splitColor(doc.probeColor);
            if (doc.probeIsInk()) {
                ++n;
                sumX += x;
                sumY += y;
            }
        }
    if (n == 0)
        return {};
    return {n, QPoint(truncatedMean(sumX, n), truncatedMean(sumY, n))};
}

void ButtonPasteLineClick(Workspace& ws) {
    ws.doc.zoneCount = 1; // the entries and the last centre stay as they are
    SetInputMode(ws, ModeZone);
}

void PaintZoneOnMove(Workspace& ws, int px, int py) {
    Document& doc = ws.doc;
    const long long travel = std::llabs(static_cast<long long>(doc.lastZoneX) - px) +
                             std::llabs(static_cast<long long>(doc.lastZoneY) - py);
    if (travel <= kZoneSpacing || doc.zoneCount >= kZoneLimit)
        return;
    const QRect area = ToggleZoneCircle(doc, px, py);
    doc.lastZoneX = px;
    doc.lastZoneY = py;
    doc.zoneX.at(doc.zoneCount) = px;
    doc.zoneY.at(doc.zoneCount) = py;
    ++doc.zoneCount;
    ws.view.pictureChanged(area);
}

void ButtonFindOnLineClick(Workspace& ws) {
    Document& doc = ws.doc;
    doc.inputMode = ModeNone;
    ws.view.controlsChanged();
    if (doc.zoneCount < 1) {
        ws.dialogs.information(doc.texts.message(9));
        return;
    }
    const QString question =
        doc.texts.message(2) + doc.texts.message(3) + QString::number(doc.currentLine);
    const auto answer = ws.dialogs.question(question, platform::QuestionButtons::YesNoCancel);
    if (answer == platform::Answer::Cancel) {
        // Drawing each circle once more removes it; the trail stays for a later search.
        showDefaultCursor(ws);
        toggleTrailCircles(ws);
        return;
    }
    const RecordedStep step(ws, StepKind::ZoneSearch);
    if (answer == platform::Answer::Yes) {
        ClearLineData(ws);
    } else {
        ws.view.pictureChanged(RestoreMarksAndAxes(doc)); // RedrawMarks and ToggleAxes
    }
    // The restored picture no longer shows the circles: the search reads the curve itself.
    if (!searchTrail(ws))
        ws.dialogs.information(doc.texts.message(7));
    RefreshValues(ws);
    showDefaultCursor(ws);
}

} // namespace kurvana
