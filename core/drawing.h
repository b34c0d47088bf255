#pragma once

#include <vector>

#include <QPoint>
#include <QRect>

#include "platform/colour.h"

class QImage;

namespace kurvana {

struct Document;

/// Pixels of the outline of the ellipse inscribed in the box (left, top) to (right, bottom),
/// right and bottom edges excluded, each pixel once.
std::vector<QPoint> EllipseOutline(int left, int top, int right, int bottom);

/// Pixels of a polyline drawn with a round-ish pen `width` pixels wide, each pixel once,
/// clipped to `clip` (pixels beyond it are dropped before they are generated).
std::vector<QPoint> PolylinePixels(const std::vector<QPoint>& points, int width, const QRect& clip);

/// Sets each pixel (inside the picture) to `colour`: the copy pen mode.
void PaintPixels(QImage& image, const std::vector<QPoint>& pixels, Colour colour);

/// Sets each pixel (inside the picture) to the complement of (pen XOR pixel): the NOT-XOR pen
/// mode. Applying the same pixels and pen twice restores every pixel exactly.
void NotXorPixels(QImage& image, const std::vector<QPoint>& pixels, Colour pen);

/// Bounding rectangle of a set of pixels (empty for none).
QRect BoundsOf(const std::vector<QPoint>& pixels);

/// Draws the mark of a point of `line` at (x, y): a circle outline 2d + 1 pixels across in the
/// line's colour, copy mode. Returns the area touched.
QRect DrawMark(Document& doc, int x, int y, int d, int line);

/// Restores the working picture from the clean picture and draws the marks of lines 1..5,
/// rows in ascending order. Callers follow it with ToggleAxes.
void RedrawMarks(Document& doc);

/// RedrawMarks followed by ToggleAxes, restoring only what can differ when the picture is
/// known: the areas of `removedMarks` (marks of points that were just removed) and whatever
/// was drawn over the picture since the last restore. The result equals the full restore.
/// Returns the area changed (empty: all).
QRect RestoreMarksAndAxes(Document& doc, const std::vector<QRect>& removedMarks = {});

/// The box a mark of (x, y) covers.
QRect MarkArea(int x, int y, int d);

/// Draws (or removes) the axes: Y max point -> zero point -> X max point, NOT-XOR in the axes
/// colour, 3 pixels wide. Returns the area touched.
QRect ToggleAxes(Document& doc);

/// Draws (or removes) the blue nudging highlight circle at (x, y). Returns the area touched.
QRect ToggleHighlight(Document& doc, int x, int y, int d);

/// Draws (or removes) a zone trail circle around (x, y): red, NOT-XOR, the circle inscribed in
/// (x - 10, y - 10) to (x + 10, y + 10). Returns the area touched.
QRect ToggleZoneCircle(Document& doc, int x, int y);

} // namespace kurvana
