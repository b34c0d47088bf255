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

/// More steps than this from From to To are refused: the list would be useless and the search
/// would block the program for a long time.
constexpr long long kMaxFixedSteps = 1000000;

/// ButtonOnDeltaXClick without showing the window: draws the upright axes and the current line
/// as a green polyline on a white search copy that covers the current picture. A line with
/// fewer than three points shows message M21 and returns false, the copy untouched.
bool PrepareFixedStepSearch(Workspace& ws);

/// ButtonFindPointClick: for c = From, From + Step, ... up to To, the lowest green pixel of the
/// column of c gives a line "c<TAB>Y<CR><LF>"; every searched column is painted red on the
/// search copy. Returns the list. A From, To or Step that is not a number, a Step of 0 or
/// below, or too many steps throw CommandError before anything changes.
QString FixedStepSearch(Workspace& ws, const QString& fromText, const QString& toText,
                        const QString& stepText);

} // namespace kurvana
