#pragma once

#include "core/document.h"

namespace kurvana {

struct Workspace;
struct BarSearch;
struct FoundBar;

/// What a bar's point carries besides its value: the ends of its error bar (Y ends on a
/// vertical bar, X ends on a horizontal one) in picture pixels.
PointExtras BarExtras(const BarSearch& search, const FoundBar& bar);

/// Find bars: a click at (x, y) on one bar adds one point per bar of that colour standing on
/// the same base line to the current line (the bar's centre and the value at its end), sorted
/// as the line's settings say, with their marks, as one undoable step. The status bar says how
/// many were found. Throws CommandError, changing nothing, when no bar lies under the click.
/// Returns the number of points added.
int FindBarsAt(Workspace& ws, int x, int y);

} // namespace kurvana
