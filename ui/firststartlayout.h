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

/// The outer size of a main window at `topLeft` that shows `shown` (the picture as the view
/// draws it) whole, with `chrome` (menu, tool and status bars, margins, frame) around it, as far
/// as the screen allows: the window keeps a column free for the tool windows to its right and
/// stays on the screen; it is never smaller than `smallest`.
QSize MainWindowShowingPicture(const QRect& screen, QPoint topLeft, QSize shown, QSize chrome,
                               QSize smallest);

} // namespace kurvana
