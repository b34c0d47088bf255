#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kurvana {

/// Where the tool windows go on a first start (no settings file yet), as outer rectangles
/// (frame included) on the screen.
struct FirstStartPlaces {
    QRect table;
    QRect input;
    QRect zoom;
    QRect about;
};

/// Places the table, Input and magnifier windows beside the main window so that none covers
/// it: in a column to its right when the screen leaves room there, otherwise in a row below
/// it. The table shrinks (not below a usable size) to fit; the About box goes where it covers
/// none of the four windows, or into the screen's bottom right corner when there is no such
/// place. `screen` is the available screen area; every size includes the window frame.
FirstStartPlaces PlaceBesideMainWindow(const QRect& screen, const QRect& main, QSize table,
                                       QSize input, QSize zoom, QSize about);

} // namespace kurvana
