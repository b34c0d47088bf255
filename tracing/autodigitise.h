#pragma once

class QImage;

namespace kurvana {

struct Workspace;

/// The fixed bands in which automatic digitising looks for the axes.
constexpr int kAxisRowFirst = 150, kAxisRowLast = 1000;       ///< X axis rows ...
constexpr int kAxisRowBandLeft = 20, kAxisRowBandRight = 200; ///< ... counted over these columns
constexpr int kAxisColumnFirst = 20, kAxisColumnLast = 200;   ///< Y axis columns ...
constexpr int kAxisColumnBandTop = 20, kAxisColumnBandBottom = 350; ///< ... over these rows

/// Dark for automatic digitising: each component below 100.
bool IsAutoDark(const QImage& picture, int x, int y);

/// The row of rows 150..1000 with the most dark pixels in columns 20..200; the first (upper)
/// one on a tie; 0 when the band holds no dark pixel.
int FindXAxisRow(const QImage& picture);

/// The column of columns 20..200 with the most dark pixels in rows 20..350; the first (left)
/// one on a tie; 0 when the band holds no dark pixel.
int FindYAxisColumn(const QImage& picture);

/// MenuAvtomatClick / ButtonWorkAvtomatClick: after the question (M10, line, CR, M11) the axes
/// found in their bands become the new calibration, and 30 columns right of the Y axis each
/// give the current line the first dark pixel, from the X axis upward, with at least
/// `threshold` dark side neighbours. A band without any dark pixel throws CommandError after
/// the question, with nothing changed.
void AutomaticDigitising(Workspace& ws, int threshold);

} // namespace kurvana
