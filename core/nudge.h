#pragma once

namespace kurvana {

struct Workspace;

/// Shift+left press at picture pixel (x, y): of the current line's points within +-2 pixels
/// the one in the highest row is selected, highlighted, magnified, and the nudging window
/// runs. Nothing happens when no point is near.
void SelectPointForNudge(Workspace& ws, int x, int y);

/// An arrow of the nudging window: moves the selected point by (dx, dy) pixels, carrying the
/// highlight; its mark and values stay until FinishNudge.
void NudgeSelectedPoint(Workspace& ws, int dx, int dy);

/// OK of the nudging window: the highlight goes, the mark moves, values are recomputed.
void FinishNudge(Workspace& ws);

} // namespace kurvana
