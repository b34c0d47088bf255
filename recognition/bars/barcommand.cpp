#include "recognition/bars/barcommand.h"

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"
#include "recognition/bars/barfinder.h"

namespace kurvana {

namespace {
/// The status bar panel that reports what a search found.
constexpr int kSearchStatusPanel = 3;
} // namespace

int FindBarsAt(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const std::optional<BarSearch> search = FindBars(doc.cleanPicture, {x, y});
    if (!search)
        throw CommandError(doc.texts.extra(ExtraText::NoBarFound));
    const RecordedStep step(ws, StepKind::FindBars);
    const int line = doc.currentLine;
    int added = 0;
    for (const FoundBar& bar : search->bars) {
        if (doc.nextRow.at(line) > kLastRow)
            break;
        const QPoint p = search->pointOf(bar);
        doc.appendPoint(line, p.x(), p.y());
        DrawMark(doc, p.x(), p.y(), doc.markDiameter, line);
        ++added;
    }
    ws.view.pictureChanged();
    ws.view.setStatusText(kSearchStatusPanel, doc.texts.extra(ExtraText::BarsFound).arg(added));
    RefreshValues(ws);
    return added;
}

} // namespace kurvana
