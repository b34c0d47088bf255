#pragma once

#include <QPoint>

namespace kurvana {

struct Document;

/// Moves a click onto the middle of the stroke near it: the mean (truncated) of the first ink
/// pixel of each ray of the probe star; the click unchanged when no ray meets ink. Reads the
/// working picture (outside it is white) and leaves the last probe in probeColor/probeR/G/B.
QPoint SnapToInk(Document& doc, int x, int y);

} // namespace kurvana
