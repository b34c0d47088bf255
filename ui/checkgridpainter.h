#pragma once

class QIcon;
class QPainter;
class QRect;
class QSizeF;

namespace kurvana {

struct Document;

/// Paints the calibration check grid over the exposed part of the picture control: the lines
/// in the grid colour of the settings and their value labels in the table's number format.
/// `pictureToControl` is the control's size over the picture's (the view scale, as stretched).
/// Only the painter is drawn on, never a picture of the document.
void PaintCheckGrid(QPainter& painter, const Document& doc, const QRect& exposed,
                    const QSizeF& pictureToControl);

/// The toolbar image of the check-grid button: a small tilted grid over a chart frame.
QIcon CheckGridIcon();

} // namespace kurvana
