#pragma once

#include <QPoint>

class QImage;

namespace kurvana {

struct Document;

/// How far from a click autocorrection looks for a stroke: the reach of the probe star.
constexpr double kStrokeReach = 6.5;

/// Moves a click onto the centre of the nearest stroke of any colour: a pixel is ink when it
/// stands out clearly from the paper around the click; the stroke nearest to the click decides
/// the ink colour, and the point goes to the centre of that stroke's cross-section nearest to
/// the click, each pixel weighted by how strongly it is inked, rounded to the nearest pixel.
/// The click stays where it is when no stroke lies within reach. Only pixels of the picture
/// count, so a moved click always lies inside the picture. Reads `picture` only (the
/// program passes the clean picture, so marks and the axes drawing never pull a click).
QPoint SnapToStroke(const QImage& picture, int x, int y);

/// Autocorrection of a click by the rule chosen in Setup.
QPoint SnapClick(Document& doc, int x, int y);

} // namespace kurvana
