#pragma once

#include <optional>

namespace kurvana {

struct Workspace;
struct FoundMarker;
struct PointExtras;
struct MarkerFinding;

/// A marker's error-bar ends as its point keeps them.
PointExtras MarkerExtras(const FoundMarker& marker);

/// Find markers' result in the document: one point per marker of `finding` added to the current
/// line, at its centre rounded to the nearest pixel, sorted as the line's settings say, with
/// their marks and error-bar ends, as one undoable step. The status bar says how many were
/// found. Throws CommandError, changing nothing, when it holds no marker (none under the click).
/// Returns the number of points added.
int AddFoundMarkers(Workspace& ws, const std::optional<MarkerFinding>& finding);

/// Find markers from a click at (x, y), the search on this thread behind the busy cursor, then
/// AddFoundMarkers. `tolerance` widens (above 1) or narrows the match of shape and colour.
int FindMarkersAt(Workspace& ws, int x, int y, double tolerance = 1);

} // namespace kurvana
