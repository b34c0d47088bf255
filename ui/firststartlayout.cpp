#include "ui/firststartlayout.h"

#include <algorithm>
#include <array>

namespace kurvana {

namespace {

constexpr int kGap = 8;
/// Narrower than this, the room right of the main window takes no table: the windows go below.
constexpr int kNarrowestColumn = 320;
constexpr QSize kSmallestTable(200, 150);

/// Input and magnifier side by side from `at` when the screen is wide enough, else one below
/// the other.
void placeInputAndZoom(FirstStartPlaces& places, const QRect& screen, QPoint at, QSize input,
                       QSize zoom) {
    places.input = QRect(at, input);
    const QPoint beside(places.input.right() + 1 + kGap, at.y());
    places.zoom = beside.x() + zoom.width() <= screen.right() + 1
                      ? QRect(beside, zoom)
                      : QRect(QPoint(at.x(), places.input.bottom() + 1 + kGap), zoom);
}

/// A column right of the main window: the table at its top, Input and magnifier below it.
FirstStartPlaces toTheRight(const QRect& screen, const QRect& main, QSize table, QSize input,
                            QSize zoom) {
    FirstStartPlaces places;
    const int x = main.right() + 1 + kGap;
    const int width = std::clamp(screen.right() + 1 - x, kSmallestTable.width(), table.width());
    const int below = std::max(input.height(), zoom.height()) + kGap;
    const int height = std::clamp(screen.bottom() + 1 - main.top() - below, kSmallestTable.height(),
                                  table.height());
    places.table = QRect(x, main.top(), width, height);
    placeInputAndZoom(places, screen, QPoint(x, places.table.bottom() + 1 + kGap), input, zoom);
    return places;
}

/// A row below the main window: the table at its left, Input and magnifier right of it.
FirstStartPlaces below(const QRect& screen, const QRect& main, QSize table, QSize input,
                       QSize zoom) {
    FirstStartPlaces places;
    const int y = main.bottom() + 1 + kGap;
    const int tools = std::max(input.width(), zoom.width()) + kGap;
    const int width =
        std::clamp(screen.right() + 1 - main.left() - tools, kSmallestTable.width(), table.width());
    const int height = std::clamp(screen.bottom() + 1 - y, kSmallestTable.height(), table.height());
    places.table = QRect(main.left(), y, width, height);
    placeInputAndZoom(places, screen, QPoint(places.table.right() + 1 + kGap, y), input, zoom);
    return places;
}

/// The first place, row by row from the screen's top left, where a box of `size` covers none of
/// the windows; the bottom right corner when there is none.
QRect freePlace(const QRect& screen, const std::array<QRect, 4>& taken, QSize size) {
    for (int y = screen.top(); y + size.height() <= screen.bottom() + 1; y += kGap)
        for (int x = screen.left(); x + size.width() <= screen.right() + 1; x += kGap) {
            const QRect box(QPoint(x, y), size);
            if (std::none_of(taken.begin(), taken.end(),
                             [&box](const QRect& r) { return r.intersects(box); }))
                return box;
        }
    return QRect(QPoint(screen.right() + 1 - size.width(), screen.bottom() + 1 - size.height()),
                 size);
}

} // namespace

FirstStartPlaces PlaceBesideMainWindow(const QRect& screen, const QRect& main, QSize table,
                                       QSize input, QSize zoom, QSize about) {
    FirstStartPlaces places = screen.right() - main.right() - kGap >= kNarrowestColumn
                                  ? toTheRight(screen, main, table, input, zoom)
                                  : below(screen, main, table, input, zoom);
    places.about = freePlace(screen, {main, places.table, places.input, places.zoom}, about);
    // Without room for it anywhere, the About box rather covers a tool window than the chart.
    if (places.about.intersects(main))
        places.about = freePlace(screen, {main, main, main, main}, about);
    return places;
}

QSize MainWindowShowingPicture(const QRect& screen, QPoint topLeft, QSize shown, QSize chrome,
                               QSize smallest) {
    const QSize wanted = shown + chrome;
    const int widthLeft = screen.right() + 1 - topLeft.x() - kGap - kNarrowestColumn;
    const int heightLeft = screen.bottom() + 1 - topLeft.y();
    return QSize(std::max(smallest.width(), std::min(wanted.width(), widthLeft)),
                 std::max(smallest.height(), std::min(wanted.height(), heightLeft)));
}

} // namespace kurvana
