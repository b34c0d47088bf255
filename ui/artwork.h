#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace kurvana {

/// Number of images in the toolbar image list (indices 0 .. kToolbarImageCount - 1).
constexpr int kToolbarImageCount = 41;

/// Side of a toolbar image in pixels.
constexpr int kToolbarImageSize = 18;

/// Screen densities the toolbar images are drawn for: 1 to 3 device pixels per pixel.
constexpr int kToolbarImageScales = 3;

/// Side of a picture cursor in pixels.
constexpr int kCursorSize = 32;

/// Image number `index` of the toolbar image list, 18 x 18 pixels, drawn on first use and
/// kept in the pixmap cache: 0 open picture, 1 picture from clipboard, 2 copy table,
/// 3 data table, 4 hand scrolling, 6 setup, 7 clear line, 8 zero point, 9 X max point,
/// 10 Y max point, 11 set marks, 12..16 line 1..5, 21 snap, 22 fixed step along X, 23 eraser,
/// 24 clean-up, 25 pipette, 26 colour line search, 27 1:1, 28 1:2, 29 1:4, 30 1:8, 31 2:1,
/// 32 4:1, 33 8:1, 34 cursor choice, 35 paint zone, 36 search in zone; 5 and 17..20 are
/// spare tiles. An index outside the list gives a null pixmap. With `scale` 2 or 3 the image
/// is drawn at that many device pixels per pixel, for high-density screens.
QPixmap ToolbarImage(int index, int scale = 1);

/// Image number `index` as an icon holding the drawings for every kToolbarImageScales, so that
/// a toolbar on a screen with a device pixel ratio of 2 shows a sharp image, not an enlarged one.
QIcon ToolbarIcon(int index);

/// Picture cursor number `n` (1..8), 32 x 32, black on a white halo: 1 diagonal cross,
/// 2 upright cross, 3 pointing hand, 4 sight, 5 and 6 arrow, 7 eraser, 8 pipette. Any other
/// number gives the platform's arrow.
QCursor ProgramCursor(int n);

} // namespace kurvana
