#pragma once

#include <QRect>
#include <QString>

namespace kurvana {

struct Document;

/// Takes the calibration saved in `path` into `doc`, nothing else (no picture, no points): a
/// data file (a name ending in ".gra": its reference points, axis texts and scale kinds), or a
/// JSON file holding a whole export ({"picture", "calibration", "lines"}) or only its
/// `calibration` object, in any of the three frames. The axis texts are read, so that a text
/// that is no value fails here. Throws CommandError naming the file and the reason; the
/// document may then hold part of the calibration. The values are not recomputed.
void LoadCalibration(Document& doc, const QString& path);

/// The picture area the calibration's reference points span: the rectangle around the zero,
/// X max and Y max points (and the fourth corner of the parallelogram they make, for tilted
/// axes), around the four points of a perspective frame, or the square around a polar frame's
/// circle through its reference point. Where a reused calibration says the data lie.
QRect CalibratedArea(const Document& doc);

} // namespace kurvana
