#pragma once

#include <vector>

#include <QPoint>
#include <QString>

#include "platform/colour.h"

class QImage;

namespace kurvana {

struct Document;
struct Workspace;

/// The search kinds of the colour line search, as the radio buttons number them.
enum SearchKind : int {
    SearchByColour = 1,
    SearchBlack = 2,
    SearchSpecial = 3,
    SearchTolerant = 4 ///< near the search colour; the centre of the first run per column
};

/// The largest colour distance: from black to white.
constexpr int kMaxColourDistance = 441;
/// The tolerance the window starts with: wide enough for the anti-aliased core of a 2-pixel
/// stroke and for JPEG noise at quality 75, narrow enough to leave the paper, and the grey
/// anti-aliased edges of a black curve when a dark purple is sought (those lie 120 away).
constexpr int kDefaultTolerance = 110;

/// The pixel test of a colour line search: exact search colour, pure black, strongly red, or
/// within `tolerance` of the search colour (distance in the RGB cube).
struct ColourLineTest {
    int kind = SearchByColour;
    int searchR = 0, searchG = 0, searchB = 0;
    int tolerance = kDefaultTolerance; ///< kind 4 only

    bool matches(Colour colour) const;
    /// Squared distance of a colour from the search colour.
    int distanceSquared(Colour colour) const;
};

/// The columns a search visits: count columns from startX, step pixels apart; in each the rows
/// topY..bottomY from the top. Wide enough for any reference points, so nothing overflows.
struct ColourColumns {
    long long startX = 0;
    long long step = 1;
    long long count = 0;
    long long topY = 0;
    long long bottomY = 0;
};

/// The most columns one search visits: the line is emptied first, so they fit rows 1..1000.
constexpr long long kMaxColourColumns = 1000;

/// The count typed into the search window as a whole number other than 0. Throws CommandError
/// otherwise, before anything has changed.
int ParseSearchCount(const Document& doc, const QString& countText);

/// The upright rectangle 4 pixels inside the reference points, and the step and column count
/// for `count` wanted points, both rounded half to even (width 90, count 20: step 4, 22 columns).
ColourColumns PlanColourColumns(const Document& doc, int count);

/// The topmost matching pixel of every planned column, in column order. Pixels outside the
/// picture are white. Reads the picture through its row pointers; the picture is Format_RGB32.
std::vector<QPoint> ScanColourColumns(const QImage& picture, const ColourLineTest& test,
                                      const ColourColumns& columns);

/// Kind 4: in every planned column, the centre of the first run of matching pixels from the
/// top, each pixel weighted by its closeness to the search colour, rounded to the nearest
/// pixel. Only the picture's own pixels are searched.
std::vector<QPoint> ScanColourRunCentres(const QImage& picture, const ColourLineTest& test,
                                         const ColourColumns& columns);

/// ButtonFindClick: empties the current line, makes the topmost match of each column its
/// points (kind 4: the centre of the first matching run, on the clean picture), draws their
/// marks and refreshes the values. A count that is not a whole number or is 0 throws
/// CommandError before anything changes.
void FindColourLine(Workspace& ws, int kind, const QString& countText,
                    int tolerance = kDefaultTolerance);

} // namespace kurvana
