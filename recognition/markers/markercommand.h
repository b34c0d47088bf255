#pragma once

namespace kurvana {

struct Workspace;
struct FoundMarker;
struct PointExtras;

/// A marker's error-bar ends as its point keeps them.
PointExtras MarkerExtras(const FoundMarker& marker);

/// Find markers: a click at (x, y) on one marker adds one point per marker of that kind (shape,
/// size and colour) to the current line, at its centre rounded to the nearest pixel, sorted as
/// the line's settings say, with their marks, as one undoable step. The status bar says how
/// many were found. Throws CommandError, changing nothing, when no marker lies under the click.
/// Returns the number of points added.
int FindMarkersAt(Workspace& ws, int x, int y);

} // namespace kurvana
