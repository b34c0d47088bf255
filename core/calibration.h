#pragma once

#include <optional>

#include <QPointF>

#include <cstdint>

namespace kurvana {

struct Document;
struct Workspace;
enum class ScaleKind;

/// A picture pixel in the rotated frame: u along the X axis from the zero point (positive
/// towards the X max point), v across it (positive where picture y decreases). Whole pixels,
/// truncated toward zero; a value within 1e-6 of a whole number counts as that number.
struct RotatedPoint {
    std::int32_t u = 0;
    std::int32_t v = 0;
};

/// Axis values of a point.
struct AxisValues {
    double x = 0;
    double y = 0;
};

/// The rotated-frame position of the picture pixel (x, y). Throws CommandError when the result
/// does not fit a 32-bit integer.
RotatedPoint ToRotatedFrame(const Document& doc, int x, int y);

/// Axis values of a rotated-frame position under the document's axis values and scale kinds.
/// Throws CommandError when an axis length is 0 (an axis shorter than one pixel).
AxisValues ToAxisValues(const Document& doc, std::int32_t u, std::int32_t v, std::int32_t xLength,
                        std::int32_t yLength);

/// base raised to t, as the conversion evaluates it: exactly 1 for t = 0, square-and-multiply
/// in extended precision for whole exponents up to 2147483647 in magnitude, exp(t ln base)
/// otherwise.
long double ExtendedPower(long double base, long double t);

/// An exponent t on an axis of the given kind (a ScaleKind) as its value: 10^t, base^t or t.
long double ApplyScale(ScaleKind kind, long double t);

/// Refreshes xAxisLength and yAxisLength from the reference points and recomputes the values
/// of every stored point of all five lines. Throws CommandError (values untouched) when an axis
/// is shorter than one pixel.
void RecomputeValues(Document& doc);

/// Sorts the current line ascending by X value, stably, when sorting is on and the line holds
/// at least three points; n is the line's nextRow.
void SortCurrentLine(Document& doc, int n);

/// Reads the four axis texts into the axis values (MaxX, MaxY, MinX, MinY, stopping at the
/// first text that is not a number), then recomputes, sorts the current line and refreshes the
/// table. The common end of every change of points or calibration.
void RefreshValues(Workspace& ws);

/// Enter in the Input window: RefreshValues, recorded as one undoable step (the typed axis
/// texts, and the values and order they give).
void TakeAxisValues(Workspace& ws);

/// A scale kind chosen in Setup for the X (or Y) axis: one undoable step, the values computed
/// in the new kind at once, so that nothing shows or exports values of another kind. Choosing
/// the kind the axis has changes nothing.
void SetScaleKind(Workspace& ws, bool xAxis, ScaleKind kind);

/// Step 1 of RefreshValues alone: the four axis texts into the axis values.
void ReadAxisTexts(Document& doc);

/// Axis values at the picture pixel (x, y), as the status-bar readout computes them (lengths
/// refreshed, rotX/rotY filled).
AxisValues ValuesAtPixel(Document& doc, int x, int y);

/// Axis values at a position between pixels (an error-bar end, a marker centre): the values
/// at the four pixels around it weighed by nearness, on logarithmic axes in exponents. Uses the
/// axis lengths the last recomputation left; nothing when the calibration cannot convert.
std::optional<AxisValues> ValuesAtPosition(const Document& doc, QPointF at);

} // namespace kurvana
