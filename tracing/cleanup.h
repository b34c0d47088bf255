#pragma once

class QImage;

namespace kurvana {

struct Workspace;

/// Dark for the clean-up: each component at or below its limit.
struct DarkLimits {
    int r = 0, g = 0, b = 0;
};

/// The clean-up pass: for x = 2..width-2 (outer), y = 2..height-2 (inner), a dark pixel with at
/// most one dark pixel among its eight neighbours is painted white, in place, so a pixel
/// painted white is no longer dark for the pixels visited after it. Pixels outside the picture
/// read white. The result equals that column-by-column rule exactly; the picture is
/// Format_RGB32.
void CleanUpPass(QImage& picture, int width, int height, const DarkLimits& limits);

/// ButtonClearImageClick: cleans a copy of the clean picture (busy cursor, view 1:1), asks M13,
/// keeps the cleaned picture as the clean picture on Yes and discards it otherwise, then shows
/// the marks and the axes again.
void CleanUpPicture(Workspace& ws);

} // namespace kurvana
