#include "recognition/bars/barcommand.h"

#include "core/calibration.h"
#include "core/document.h"
#include "core/foundpoints.h"
#include "core/history.h"
#include "core/workspace.h"
#include "recognition/bars/barfinder.h"

namespace kurvana {

namespace {
/// The status bar panel that reports what a search found.
constexpr int kSearchStatusPanel = 3;
} // namespace

PointExtras BarExtras(const BarSearch& search, const FoundBar& bar) {
    PointExtras extras;
    if (bar.error && search.horizontal) {
        extras.xLow = bar.error->low;
        extras.xHigh = bar.error->high;
    } else if (bar.error) {
        extras.yLow = bar.error->low;
        extras.yHigh = bar.error->high;
    }
    return extras;
}

int FindBarsAt(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const std::optional<BarSearch> search = FindBars(doc.cleanPicture, {x, y});
    if (!search)
        throw CommandError(doc.texts.extra(ExtraText::NoBarFound));
    const RecordedStep step(ws, StepKind::FindBars);
    const int line = doc.currentLine;
    std::vector<FoundPoint> points;
    for (const FoundBar& bar : search->bars)
        points.push_back({search->pointOf(bar), BarExtras(*search, bar)});
    const int added = AppendFoundPoints(doc, line, points);
    doc.lineInfo.at(line).kind = SeriesKind::Bars;
    doc.lineInfo.at(line).colour = search->colour | 0xFF000000u;
    ws.view.pictureChanged();
    ws.view.setStatusText(kSearchStatusPanel, doc.texts.extra(ExtraText::BarsFound).arg(added));
    RefreshValues(ws);
    return added;
}

} // namespace kurvana
