#pragma once

#include <QPoint>

namespace kurvana {

struct Document;
struct Workspace;

/// What the probe star around a centre sees: how many ink pixels (a pixel read by two rays
/// counts twice) and their mean position, truncated toward zero.
struct StarInk {
    int count = 0;
    QPoint centre;
};

/// Reads the eight rays of the probe star around (cx, cy) on the working picture and counts
/// every ink pixel.
StarInk InkInProbeStar(Document& doc, int cx, int cy);

/// ButtonPasteLineClick: a new zone starts (zoneCount 1) and the zone marking mode begins.
void ButtonPasteLineClick(Workspace& ws);

/// The zone painting of a mouse move in zone marking mode with exactly the left button held:
/// a new trail circle at (px, py) once the mouse is more than 10 pixels (|dx| + |dy|) from the
/// last one, while the zone has room.
void PaintZoneOnMove(Workspace& ws, int px, int py);

/// ButtonFindOnLineClick: asks whether to replace the current line, then turns every trail
/// circle into a point at the middle of the ink its probe star sees. Cancel removes the circles
/// and keeps the trail. A line that reaches the click limit stops taking points (message M07).
void ButtonFindOnLineClick(Workspace& ws);

} // namespace kurvana
