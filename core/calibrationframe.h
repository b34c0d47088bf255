#pragma once

#include <array>
#include <optional>

#include "core/calibration.h"
#include "core/projective.h"

namespace kurvana {

struct Document;
struct Workspace;
enum class CalibrationFrame;

/// The conversion of the perspective or polar frame, made once per recomputation: perspective
/// takes pixels through the projective transform of the four points into exponents, then
/// applies the scale kinds; polar gives X = angle and Y = radius.
class FrameConversion {
public:
    /// The document's frame; throws CommandError when it is unusable (three of the four points
    /// on one line, their values in another order, the polar reference on the centre).
    static FrameConversion Of(const Document& doc);

    AxisValues at(int x, int y) const;

private:
    explicit FrameConversion(const Document& doc) : doc_(doc) {}
    const Document& doc_;
    std::optional<Projective> toExponents_;
};

/// The document's perspective frame: picture points to exponents. Nothing when unusable.
std::optional<Projective> PerspectiveToExponents(const Document& doc);

/// The inverse of the document's perspective frame: exponents to picture points. Nothing when
/// the frame is unusable.
std::optional<Projective> PerspectiveToPicture(const Document& doc);

/// The upright rectangle of picture pixels the column searches look in: from the zero point
/// to the X max point across, from the Y max point down to the zero point; in the perspective
/// frame the largest such rectangle inside its quadrilateral, so that the searches stay clear
/// of a frame that is no longer upright.
struct SearchArea {
    long long left = 0, right = 0, top = 0, bottom = 0;
};
SearchArea ColumnSearchArea(const Document& doc);


/// The numbers the frame's conversion depends on besides the pixel (a cache key).
std::array<long double, 16> FrameNumbers(const Document& doc);

/// Reads the frame's typed texts into its numbers; throws CommandError on a text that is not a
/// number. Then writes the nearest three-point calibration into the reference points, the axis
/// texts and values, so that the data file holds sensible values for programs without frames.
void ReadFrameTexts(Document& doc);

/// The Input window's choice of frame. A frame chosen for the first time starts from the
/// current three-point calibration, so that it converts as before until its points move.
void ChooseFrame(Workspace& ws, CalibrationFrame frame);

/// A click in ModeFramePoint: places frame point framePoint and moves on to the next one, so
/// that four clicks round the plot place the four corners.
void PlaceFramePoint(Workspace& ws, int x, int y);

/// The number of points the frame has (4 perspective, 2 polar: centre and reference, 0 else).
int FramePointCount(const Document& doc);

} // namespace kurvana
