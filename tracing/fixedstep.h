#pragma once

#include <QString>

#include "platform/colour.h"

namespace kurvana {

struct Workspace;

/// Colours of the search copy (0x00BBGGRR). The column scan looks for the polyline's exact green.
constexpr Colour kSearchCopyBackground = 0xFFFFFF;
constexpr Colour kSearchCopyAxes = 0xFF0000;     // blue
constexpr Colour kSearchCopyPolyline = 0x008000; // green
constexpr Colour kSearchCopyColumn = 0x0000FF;   // red

/// The most lines one search lists. The number of steps is free (each costs a few nanoseconds
/// and no memory); the lines are not: the result box keeps every line as a text block of a few
/// hundred bytes, and ten million of them would take gigabytes.
constexpr long long kMaxFixedStepLines = 10000000;

/// ButtonOnDeltaXClick without showing the window: draws the upright axes and the current line
/// as a green polyline on a white search copy that covers the current picture. A line with
/// fewer than three points shows message M21 and returns false, the copy untouched.
bool PrepareFixedStepSearch(Workspace& ws);

/// ButtonFindPointClick: for c = From, From + Step, ... up to To, the lowest green pixel of the
/// column of c gives a line "c<TAB>Y<CR><LF>"; every searched column is painted red on the
/// search copy. Returns the list. A From, To or Step that is not a number, a Step of 0 or
/// below, or X min equal to X max throw CommandError before anything changes; a list that
/// would grow beyond kMaxFixedStepLines throws it during the search (the columns searched
/// stay red). The busy cursor shows while the columns are searched.
QString FixedStepSearch(Workspace& ws, const QString& fromText, const QString& toText,
                        const QString& stepText);

} // namespace kurvana
